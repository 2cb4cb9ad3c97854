#include "shell/frame.h"

#include <algorithm>

#include "core/cell_entry.h"
#include "core/char_case.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

// --- Modes and the input line -----------------------------------------------------------

Mode Frame::mode() const {
  if (waiting_) return Mode::Wait;
  if (menuCursor_.open()) return Mode::Menu;
  if (prompt_) return Mode::Range;
  if (pointing_) return Mode::Point;
  if (editFlag_) return Mode::Edit;
  if (inputActive_) {
    if (text_.empty()) return Mode::Question;
    char c = text_[0];
    if (c == '(' || c == '+' || c == '-' || c == '@' || (c >= '0' && c <= '9')) return Mode::Value;
    return Mode::Label;
  }
  return Mode::Ready;
}

void Frame::setWaiting(bool on) {
  waiting_ = on;
  refreshMode();
}

void Frame::refreshMode() {
  session_.host().showMode(mode());
}

void Frame::refreshInput() {
  view_.showInput(text_, caret_, red_, entryActive());
  refreshMode();
}

void Frame::setInsert(bool on) {
  insert_ = on;
  view_.showInsert(on);
}

bool Frame::endsWithOperator(const std::string& text) {
  if (text.empty()) return false;
  switch (text.back()) {
    case '&':
    case '(':
    case '*':
    case '+':
    case ',':
    case '-':
    case '/':
    case '<':
    case '=':
    case '>':
    case '@':
      return true;
    default:
      return false;
  }
}

void Frame::startEntry(char first) {
  if (!active_) return;
  inputActive_ = true;
  editFlag_ = false;
  red_ = false;
  pointing_ = false;
  text_.assign(1, first);
  caret_ = 1;
  savedRow_ = active_->row();
  savedCol_ = active_->col();
  refreshInput();
}

void Frame::clickInputLine() {
  if (!active_ || prompt_) return;
  if (!entryActive()) {
    text_ = CellInputText(active_->worksheet(),
                          active_->worksheet().FindCell(active_->row(), active_->col()));
    caret_ = text_.size();
    savedRow_ = active_->row();
    savedCol_ = active_->col();
  }
  editFlag_ = true;
  inputActive_ = true;
  refreshInput();
}

void Frame::editCurrentCell() {
  if (!active_) return;
  Worksheet& ws = active_->worksheet();
  if (!entryActive()) {
    CellDescriptionText d = CellDescription(ws, active_->row(), active_->col());
    if (!d.editable) {
      session_.host().beep();
      return;
    }
    text_ = d.content;
    caret_ = text_.size();
    savedRow_ = active_->row();
    savedCol_ = active_->col();
  }
  if (pointing_) pointing_ = false;
  editFlag_ = true;
  inputActive_ = true;
  refreshInput();
}

void Frame::insertChar(char c) {
  if (text_.size() >= 255 && (insert_ || caret_ >= text_.size())) {
    session_.host().beep();
    return;
  }
  if (!insert_ && caret_ < text_.size())
    text_[caret_] = c;
  else
    text_.insert(caret_, 1, c);
  ++caret_;
  red_ = false;
  refreshInput();
}

void Frame::endEntry() {
  text_.clear();
  caret_ = 0;
  inputActive_ = editFlag_ = pointing_ = red_ = false;
  refreshMode();
  UpdateCellIndicators();
}

bool Frame::CommitEntry() {
  if (!active_) return false;
  WindowState& w = *active_;
  if (pointing_) {
    pointing_ = false;
    w.moveTo(savedRow_, savedCol_);
  }
  Worksheet& ws = w.worksheet();
  EntryResult r = EnterCell(ws, text_, savedRow_, savedCol_);
  if (r == EntryResult::SyntaxError) {
    session_.error().clear();
    session_.host().beep();
    red_ = true;
    editFlag_ = true;
    inputActive_ = true;
    caret_ = text_.size();
    refreshInput();
    return false;
  }
  session_.error().clear();
  endEntry();
  refreshMenus();  // Undo and the like follow the worksheet
  if (enterMoves_) {
    w.move(enterDirection_);
    view_.cursorMoved(w);
  }
  UpdateCellIndicators();
  return true;
}

void Frame::CancelEntry() {
  if (pointing_ && active_) {
    active_->moveTo(savedRow_, savedCol_);
    view_.cursorMoved(*active_);
  }
  endEntry();
}

// --- Pointing --------------------------------------------------------------------------

void Frame::startPointing() {
  pointing_ = true;
  pointBase_ = text_;
  pointFlags_ = 0;
  active_->moveTo(savedRow_, savedCol_);
}

void Frame::updatePointText() {
  WindowState& w = *active_;
  const Pane& p = w.pane();
  // F4's four states: relative, both absolute, row absolute, column absolute.
  auto flagsFor = [](int state) -> uint8_t {
    switch (state & 3) {
      case 1:
        return kAbsRow1 | kAbsCol1;
      case 2:
        return kAbsRow1;
      case 3:
        return kAbsCol1;
      default:
        return 0;
    }
  };
  uint8_t first = flagsFor(pointFlags_ & 3), second = flagsFor((pointFlags_ >> 2) & 3);
  const Worksheet& ws = w.worksheet();
  std::string address;
  if (p.anchored && (p.anchorRow != p.row || p.anchorCol != p.col)) {
    address = ws.addressText(p.anchorRow, p.anchorCol, first & kAbsRow1, first & kAbsCol1) + ".." +
              ws.addressText(p.row, p.col, second & kAbsRow1, second & kAbsCol1);
  } else {
    address = ws.addressText(p.row, p.col, first & kAbsRow1, first & kAbsCol1);
  }
  text_ = pointBase_ + address;
  caret_ = text_.size();
  refreshInput();
}

void Frame::cycleAbsolute() {
  const Pane& p = active_->pane();
  bool range = p.anchored && (p.anchorRow != p.row || p.anchorCol != p.col);
  if (range)
    pointFlags_ = (pointFlags_ & 3) | ((((pointFlags_ >> 2) + 1) & 3) << 2);
  else
    pointFlags_ = (pointFlags_ & ~3) | ((pointFlags_ + 1) & 3);
  updatePointText();
}

// --- Keys --------------------------------------------------------------------------------

bool Frame::key(const KeyPress& k) {
  if (waiting_) return false;
  if (menuCursor_.open()) return keyInMenu(k);
  if (prompt_) return keyInPrompt(k);
  if (entryActive()) return keyInEntry(k);
  return keyInWindow(k);
}

bool Frame::moveKey(WindowState& w, const KeyPress& k, bool extend) {
  switch (k.key) {
    case Key::Left:
      if (w.endMode())
        w.endArrow(Direction::Left, extend);
      else
        w.move(Direction::Left, k.ctrl ? std::max(1, w.pane().visibleCols) : 1, extend);
      break;
    case Key::Right:
      if (w.endMode())
        w.endArrow(Direction::Right, extend);
      else
        w.move(Direction::Right, k.ctrl ? std::max(1, w.pane().visibleCols) : 1, extend);
      break;
    case Key::Up:
      if (w.endMode())
        w.endArrow(Direction::Up, extend);
      else
        w.move(Direction::Up, 1, extend);
      break;
    case Key::Down:
      if (w.endMode())
        w.endArrow(Direction::Down, extend);
      else
        w.move(Direction::Down, 1, extend);
      break;
    case Key::PageUp:
      w.pageUp(extend);
      break;
    case Key::PageDown:
      w.pageDown(extend);
      break;
    case Key::Home:
      if (w.endMode())
        w.endHome(extend);
      else
        w.moveTo(0, 0, extend);
      break;
    default:
      return false;
  }
  view_.showEndMode(w.endMode());
  view_.cursorMoved(w);
  return true;
}

bool Frame::keyInWindow(const KeyPress& k) {
  // The menus' keys work with or without a window.
  if (k.key == Key::Alt || k.key == Key::F10) {
    openMenu();
    return true;
  }
  if (k.alt && k.key == Key::Character) {
    if (itemWithMnemonic(menuBar(), k.ch) < 0) return false;
    openMenu(k.ch);
    return true;
  }
  // Ctrl with a letter or digit runs the macro named "\" and that character,
  // once the key has been handled.
  if (k.ctrl && !k.alt && k.key == Key::Character && macros_ && active_) {
    char c = upperChar(k.ch);
    std::string name = std::string("\\") + c;
    Worksheet& ws = active_->worksheet();
    int n = ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) ? ws.names.FindName(name) : 0;
    if (n > 0 && ws.names.entry(n).range.valid()) {
      CellRange r = ws.names.entry(n).range.ordered();
      MacroRunner* runner = macros_;
      session_.host().runLater(26, [runner, r] { runner->runMacroAt(r.row1, r.col1, false); });
      return true;
    }
  }
  if (k.ctrl) {
    std::string accelerator = acceleratorText(k);
    // Ctrl+X, C and V are the clipboard's only with the Windows control keys.
    bool clipboardKey =
        accelerator == "Ctrl+X" || accelerator == "Ctrl+C" || accelerator == "Ctrl+V";
    const MenuItem* item = clipboardKey && !session_.settings().windowsControlKeys
                               ? nullptr
                               : itemWithAccelerator(menuBar(), accelerator);
    if (item) {
      if (item->enabled)
        invoke(item->command, item->argument);
      else
        session_.host().beep();
      return true;
    }
  }
  if (k.key == Key::Character && k.ch == '/' && !k.ctrl) {
    openMenu();
    return true;
  }
  if (!active_) return false;
  WindowState& w = *active_;
  switch (k.key) {
    case Key::Character:
      if (k.ctrl || static_cast<unsigned char>(k.ch) < 32) return false;
      startEntry(k.ch);
      return true;
    case Key::End:
      w.toggleEndMode();
      view_.showEndMode(w.endMode());
      return true;
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
    case Key::PageUp:
    case Key::PageDown:
    case Key::Home:
      moveKey(w, k, k.shift || w.anchorHeld);
      UpdateCellIndicators();
      return true;
    case Key::F2:
      editCurrentCell();
      return true;
    case Key::F5:
      invoke("GOTO");
      return true;
    case Key::F3:
      invoke(k.shift ? "MACROSTEP" : "MACRORUN");
      return true;
    case Key::F6:
      w.otherPane();
      view_.cursorMoved(w);
      UpdateCellIndicators();
      return true;
    case Key::F9:
      execute("CALC");
      return true;
    case Key::F12:
      invoke("GRAPH");
      return true;
    case Key::Delete:
      // Edit > Delete: the selection is erased, without a prompt.
      execute("ERASE");
      return true;
    case Key::Insert:
      // The toggle holds for the next entry too.
      setInsert(!insert_);
      return true;
    case Key::BigLeft:
      w.move(Direction::Left, std::max(1, w.pane().visibleCols), k.shift);
      view_.cursorMoved(w);
      UpdateCellIndicators();
      return true;
    case Key::BigRight:
      w.move(Direction::Right, std::max(1, w.pane().visibleCols), k.shift);
      view_.cursorMoved(w);
      UpdateCellIndicators();
      return true;
    case Key::Enter:
    case Key::Escape:
    case Key::Tab:
      return true;
    default:
      return false;
  }
}

bool Frame::keyInEntry(const KeyPress& k) {
  WindowState* w = active_;
  switch (k.key) {
    case Key::Enter:
      CommitEntry();
      return true;
    case Key::Escape:
      if (pointing_) {
        active_->moveTo(savedRow_, savedCol_);
        view_.cursorMoved(*active_);
        pointing_ = false;
        text_ = pointBase_;
        caret_ = text_.size();
        refreshInput();
      } else if (!text_.empty()) {
        text_.clear();
        caret_ = 0;
        editFlag_ = false;
        inputActive_ = true;
        red_ = false;
        refreshInput();
      } else {
        CancelEntry();
      }
      return true;
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
    case Key::Home:
    case Key::PageUp:
    case Key::PageDown: {
      if (!w) return false;
      bool vertical = k.key == Key::Up || k.key == Key::Down;
      if (pointing_) {
        if (k.key == Key::Home && !w->endMode()) {
          w->moveTo(0, 0, w->pane().anchored);
          view_.cursorMoved(*w);
        } else {
          moveKey(*w, k, w->pane().anchored || k.shift);
        }
        updatePointText();
        return true;
      }
      bool paging = k.key == Key::PageUp || k.key == Key::PageDown;
      if (!paging && (!editFlag_ || vertical) && endsWithOperator(text_)) {
        startPointing();
        if (k.key == Key::Home)
          w->moveTo(0, 0);
        else
          moveKey(*w, k, false);
        view_.cursorMoved(*w);
        updatePointText();
        return true;
      }
      if (editFlag_ && !vertical && !paging) {
        if (k.key == Key::Left && caret_ > 0) --caret_;
        if (k.key == Key::Right && caret_ < text_.size()) ++caret_;
        if (k.key == Key::Home) caret_ = 0;
        refreshInput();
        return true;
      }
      // The arrow enters the data and moves on.
      if (CommitEntry()) {
        moveKey(*active_, k, false);
        UpdateCellIndicators();
      }
      return true;
    }
    case Key::End:
      caret_ = text_.size();
      refreshInput();
      return true;
    case Key::Backspace:
      if (pointing_) {
        pointing_ = false;
        active_->moveTo(savedRow_, savedCol_);
        view_.cursorMoved(*active_);
        text_ = pointBase_;
        caret_ = text_.size();
      } else if (caret_ > 0) {
        text_.erase(--caret_, 1);
      }
      red_ = false;
      refreshInput();
      return true;
    case Key::Delete:
      if (!pointing_ && caret_ < text_.size()) text_.erase(caret_, 1);
      refreshInput();
      return true;
    case Key::Insert:
      setInsert(!insert_);
      return true;
    case Key::F2:
      if (pointing_) {
        pointing_ = false;
        active_->moveTo(savedRow_, savedCol_);
        view_.cursorMoved(*active_);
      }
      editFlag_ = true;
      refreshInput();
      return true;
    case Key::F4:
      if (pointing_) cycleAbsolute();
      return true;
    case Key::F9: {
      EvalResult r = session_.evaluator().EvaluateText(active_->worksheet(), text_);
      session_.error().clear();
      if (!r.error) {
        text_ = r.isString ? r.text : GeneralText(r.number, session_.settings().decimalSeparator);
        caret_ = text_.size();
        refreshInput();
      }
      return true;
    }
    case Key::Character:
      if (pointing_) {
        if (k.ch == '.') {
          active_->anchorHere();
          updatePointText();
          return true;
        }
        pointing_ = false;
        active_->moveTo(savedRow_, savedCol_);
        view_.cursorMoved(*active_);
      }
      if (static_cast<unsigned char>(k.ch) >= 32) insertChar(k.ch);
      return true;
    case Key::Tab:
      return true;
    default:
      return false;
  }
}

// --- Range prompts ---------------------------------------------------------------------

void Frame::OpenRangePrompt(const std::string& title, std::function<void(const std::string&)> then,
                            const CellRange& defaultRange) {
  if (!active_) return;
  if (entryActive()) CancelEntry();
  RangePrompt p;
  p.title = title;
  p.defaultRange = defaultRange;
  p.continuation = std::move(then);
  p.savedRow = active_->row();
  p.savedCol = active_->col();
  p.text = active_->worksheet().rangeText(defaultRange);
  prompt_ = std::move(p);
  active_->collapse();
  view_.showPrompt(true, " " + title, prompt_->text);
  refreshMode();
  UpdateCellIndicators();
}

void Frame::setPromptText(const std::string& text) {
  if (!prompt_) return;
  prompt_->text = text.substr(0, 255);
  prompt_->typed = true;
  view_.showPrompt(true, " " + prompt_->title, prompt_->text);
}

bool Frame::keyInPrompt(const KeyPress& k) {
  RangePrompt& p = *prompt_;
  WindowState* w = active_;
  switch (k.key) {
    case Key::Enter:
      acceptPrompt();
      return true;
    case Key::Escape:
      cancelPrompt();
      return true;
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
    case Key::Home:
    case Key::PageUp:
    case Key::PageDown:
      if (!w) return false;
      moveKey(*w, k, w->pane().anchored || k.shift);
      p.typed = false;
      cursorMovedByMouse(*w);
      return true;
    case Key::End:
      if (w) {
        w->toggleEndMode();
        view_.showEndMode(w->endMode());
      }
      return true;
    case Key::Backspace:
      if (!p.text.empty()) p.text.pop_back();
      p.typed = true;
      view_.showPrompt(true, " " + p.title, p.text);
      return true;
    case Key::Character:
      if (k.ch == '.' && !p.typed && w) {
        w->anchorHere();
        cursorMovedByMouse(*w);
        return true;
      }
      if (static_cast<unsigned char>(k.ch) < 32) return true;
      if (!p.typed) p.text.clear();
      if (p.text.size() < 255) p.text += k.ch;
      p.typed = true;
      view_.showPrompt(true, " " + p.title, p.text);
      return true;
    default:
      return true;
  }
}

void Frame::cursorMovedByMouse(WindowState& w) {
  if (prompt_ && &w == active_ && !prompt_->typed) {
    prompt_->text = w.worksheet().rangeText(w.selection());
    view_.showPrompt(true, " " + prompt_->title, prompt_->text);
  } else if (pointing_ && &w == active_) {
    updatePointText();
  }
  UpdateCellIndicators();
}

RangePrompt Frame::closePrompt() {
  RangePrompt p = std::move(*prompt_);
  prompt_.reset();
  view_.showPrompt(false, {}, {});
  if (active_) {
    active_->moveTo(p.savedRow, p.savedCol);
    view_.cursorMoved(*active_);
  }
  refreshMode();
  return p;
}

void Frame::acceptPrompt() {
  if (!prompt_) return;
  RangePrompt p = closePrompt();
  if (p.continuation) p.continuation(p.text);
  UpdateCellIndicators();
}

void Frame::cancelPrompt() {
  if (!prompt_) return;
  RangePrompt p = closePrompt();
  if (p.runOnCancel && p.continuation && active_)
    p.continuation(active_->worksheet().rangeText(p.defaultRange).substr(0, 20));
  UpdateCellIndicators();
}

std::optional<CellRange> Frame::parsePromptRange(const std::string& text) {
  if (!active_ || text.empty()) return std::nullopt;
  ParsedRange p = ParseRange(active_->worksheet(), text, kRangeWords | kSingleDot);
  session_.error().clear();
  if (!p.ok || !p.range.valid()) return std::nullopt;
  return p.range;
}

// --- Indicators and recent files ----------------------------------------------------------------

void Frame::UpdateCellIndicators() {
  if (!active_) {
    view_.showAddress({});
    if (!entryActive()) view_.showInput({}, 0, false, false);
    return;
  }
  WindowState& w = *active_;
  Worksheet& ws = w.worksheet();
  if (prompt_)
    view_.showAddress(ws.rangeText(w.selection()));
  else
    view_.showAddress(ws.addressText(w.row(), w.col()));
  CellDescriptionText d = CellDescription(ws, w.row(), w.col());
  view_.showDescription(d.description);
  if (!entryActive()) view_.showInput(d.content, d.content.size(), false, false);
}

const std::vector<std::string>& Frame::recentFiles() const {
  return session_.settings().history;
}

void Frame::AddRecentFile(const std::string& name) {
  addRecentFile(session_.settings(), name);
  refreshMenus();
}

}  // namespace tw
