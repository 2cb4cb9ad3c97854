// The engine's host in the desktop program: message boxes, the beep, the
// mode indicator and the gauge of the main window, the active window's cell
// and selection, and the system's facts.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/host.h"

namespace tw {

class TForm1;

class QtHost : public Host {
 public:
  explicit QtHost(TForm1& main) : main_(main) {}

  void showErrorBox(const std::string& message) override;
  void beep() override;
  void setMode(const std::string& mode) override;
  void showProgress(int percent) override;
  void redrawRow(int row) override;
  Answer askYesNoCancel(const std::string& question, const std::string& caption) override;
  bool currentSelection(CellRange& range) override;
  bool currentCell(int& row, int& col) override;
  std::string userName() override;
  std::string osVersion() override;

  // Tests switch the modal boxes off; what would have been shown is kept,
  // and questions take the scripted answers (Cancel when none is left).
  bool quiet = false;
  std::vector<std::string> shown;
  std::vector<std::string> asked;
  std::deque<Answer> answers;

 private:
  TForm1& main_;
};

}  // namespace tw
