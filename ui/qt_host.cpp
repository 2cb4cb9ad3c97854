#include "ui/qt_host.h"

#include <QApplication>
#include <QMessageBox>
#include <QSysInfo>
#include <cstdlib>

#include "core/cell_address.h"
#include "shell/frame.h"
#include "ui/main_window.h"
#include "ui/text_codec.h"

namespace tw {

void QtHost::showErrorBox(const std::string& message) {
  shown.push_back(message);
  if (quiet) return;
  QMessageBox box(QMessageBox::NoIcon, "TALLOWAY", "Error:" + toQt(message), QMessageBox::Ok,
                  &main_);
  box.exec();
}

void QtHost::beep() {
  QApplication::beep();
}

void QtHost::setMode(const std::string& mode) {
  main_.showModeText(toQt(mode));
}

void QtHost::showProgress(int percent) {
  main_.showGauge(percent);
}

void QtHost::redrawRow(int) {
  main_.refreshWindows();
}

Answer QtHost::askYesNoCancel(const std::string& question, const std::string& caption) {
  asked.push_back(question);
  if (quiet) {
    if (answers.empty()) return Answer::Cancel;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  // The question's line break is a carriage return where the program was born.
  QString text = toQt(question).replace('\r', '\n');
  auto r = QMessageBox::question(&main_, toQt(caption), text,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  return r == QMessageBox::Yes ? Answer::Yes : (r == QMessageBox::No ? Answer::No : Answer::Cancel);
}

bool QtHost::currentSelection(CellRange& range) {
  WindowState* w = main_.frame().active();
  if (!w) return false;
  range = w->selection();
  return true;
}

bool QtHost::currentCell(int& row, int& col) {
  WindowState* w = main_.frame().active();
  if (!w) return false;
  row = w->row();
  col = w->col();
  return true;
}

std::string QtHost::userName() {
  for (const char* key : {"USER", "LOGNAME"})
    if (const char* u = std::getenv(key); u && *u) return u;
  return "user";
}

std::string QtHost::osVersion() {
  return QSysInfo::kernelVersion().toStdString();
}

}  // namespace tw
