#include "cli/headless_frame.h"

#include "graphs/graph_frame.h"
#include "print/print_frame.h"

#include "files/program_session.h"

namespace tw {

void HeadlessFrameView::showInput(const std::string& text, size_t c, bool r, bool a) {
  input = text;
  caret = c;
  red = r;
  active = a;
}

void HeadlessFrameView::showPrompt(bool open, const std::string& title, const std::string& text) {
  promptOpen = open;
  promptTitle = title;
  promptText = text;
}

void HeadlessFrameView::showMenu(const MenuCursor& cursor) {
  menu = frame && cursor.open() ? describe(frame->menuBar(), cursor) : std::string();
}

HeadlessProgram::HeadlessProgram(std::ostream* errors)
    : host(errors), session(host), frame(prepareSession(session), view) {
  addGraphFrame(frame);
  addPrintFrame(frame);
  view.frame = &frame;
  host.keySink = [this](const KeyPress& k) { frame.key(k); };
  host.selectionSource = [this](CellRange& r) {
    if (!frame.active()) return false;
    r = frame.active()->selection();
    return true;
  };
  host.cellSource = [this](int& row, int& col) {
    if (!frame.active()) return false;
    row = frame.active()->row();
    col = frame.active()->col();
    return true;
  };
}

void HeadlessProgram::type(const std::vector<KeyPress>& keys) {
  std::vector<KeyPress> typed = keys;
  for (KeyPress& k : typed) k.synthetic = true;
  host.deliverKeys(typed);
}

}  // namespace tw
