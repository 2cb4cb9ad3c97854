#include "cli/headless_host.h"

#include <cstdlib>

namespace tw {

void HeadlessHost::showErrorBox(const std::string& message) {
  errors.push_back(message);
  if (echo_) *echo_ << "Error:" << message << '\n';
}

Answer HeadlessHost::askYesNoCancel(const std::string& question, const std::string& caption) {
  questions.push_back(caption + "|" + question);
  if (answers.empty()) return Answer::Cancel;
  Answer a = answers.front();
  answers.pop_front();
  return a;
}

bool HeadlessHost::currentSelection(CellRange& range) {
  range = selection.valid() ? selection : CellRange::cell(cursorRow, cursorCol);
  return true;
}

bool HeadlessHost::currentCell(int& row, int& col) {
  row = cursorRow;
  col = cursorCol;
  return true;
}

std::string HeadlessHost::userName() {
  const char* u = std::getenv("USER");
  return u && *u ? u : "user";
}

}  // namespace tw
