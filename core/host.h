// The engine's only window on the outside world. The desktop program and the
// headless host (command line, tests) implement it; the engine never includes
// a toolkit, never writes to a terminal and never blocks on one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

struct CellRange;

enum class Answer { Yes, No, Cancel };

class Host {
 public:
  virtual ~Host() = default;

  // The one modal error box: "Error:" followed by the message, one OK button.
  virtual void showErrorBox(const std::string& message) = 0;
  virtual void beep() = 0;
  // Mode indicator text such as "READY", "EDIT", " WAIT! ".
  virtual void setMode(const std::string& /*mode*/) {}
  // Progress gauge, 0..100; a negative value hides it.
  virtual void showProgress(int /*percent*/) {}
  // A cell's row changed and should be drawn again (row < 0: everything).
  virtual void redrawRow(int /*row*/) {}
  virtual void refreshInputLine() {}
  virtual Answer askYesNoCancel(const std::string& /*question*/, const std::string& /*caption*/) {
    return Answer::Cancel;
  }
  // The selection of the active worksheet window, for the range word RANGE.
  virtual bool currentSelection(CellRange& /*range*/) { return false; }
  // The current cell of the active worksheet window, for the range word CURSOR.
  virtual bool currentCell(int& /*row*/, int& /*col*/) { return false; }

  // System facts.
  virtual std::string userName() { return "user"; }
  virtual std::string osVersion() { return "6.1"; }
  virtual std::string currentDirectory();
  virtual double secondsSinceMidnight();
  virtual int daySerialToday();
};

}  // namespace tw
