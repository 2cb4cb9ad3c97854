// A host without a display: it records what the engine shows, answers
// questions from a script and can echo error boxes to a stream. Used by
// talloway-cli and by the tests.
#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "core/cell_address.h"
#include "core/host.h"

namespace tw {

class HeadlessHost : public Host {
 public:
  explicit HeadlessHost(std::ostream* errors = nullptr) : echo_(errors) {}

  void showErrorBox(const std::string& message) override;
  void beep() override { ++beeps; }
  void setMode(const std::string& mode) override { this->mode = mode; }
  Answer askYesNoCancel(const std::string& question, const std::string& caption) override;
  bool currentSelection(CellRange& range) override;
  bool currentCell(int& row, int& col) override;
  std::string userName() override;

  std::vector<std::string> errors;  // every message shown, without "Error:"
  std::vector<std::string> questions;
  std::deque<Answer> answers;  // taken in turn; Cancel when none is left
  int beeps = 0;
  std::string mode = "READY";
  CellRange selection{};
  int cursorRow = 0;
  int cursorCol = 0;

 private:
  std::ostream* echo_;
};

}  // namespace tw
