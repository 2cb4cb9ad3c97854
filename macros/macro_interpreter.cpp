#include "macros/macro_interpreter.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "core/cell_entry.h"
#include "core/char_case.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/number_text.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "macros/macro_keywords.h"
#include "macros/macro_translate.h"

namespace tw {

namespace {

constexpr char kEnter = 0x0D;

// The key a byte of the line stands for; Key::None for bytes that deliver nothing.
KeyPress keyOf(unsigned char c) {
  switch (c) {
    case 0x02:
      return KeyPress::of(Key::BigLeft);
    case 0x03:
      return KeyPress::of(Key::F9);
    case 0x04:
      return KeyPress::of(Key::Right);
    case 0x05:
      return KeyPress::of(Key::F2);
    case 0x06:
      return KeyPress::of(Key::F5);
    case 0x07:
      return KeyPress::of(Key::Home);
    case 0x08:
      return KeyPress::of(Key::Backspace);
    case 0x09:
      return KeyPress::of(Key::BigRight);
    case 0x0A:
      return KeyPress::of(Key::Alt);
    case 0x0B:
      return KeyPress::of(Key::Left);
    case 0x0D:
      return KeyPress::of(Key::Enter);
    case 0x0E:
      return KeyPress::of(Key::PageUp);
    case 0x0F:
      return KeyPress::of(Key::End);
    case 0x10:
      return KeyPress::of(Key::Down);
    case 0x11:
      return KeyPress::of(Key::PageDown);
    case 0x12:
      return KeyPress::of(Key::Insert);
    case 0x13:
      return KeyPress::of(Key::Delete);
    case 0x18:
      return KeyPress::of(Key::F4);
    case 0x19:
      return KeyPress::of(Key::Up);
    case 0x1A:
      return KeyPress::of(Key::F6);
    case 0x1B:
      return KeyPress::of(Key::Escape);
    case 0x1C:
      return KeyPress::of(Key::F1);
    case 0x1D:
      return KeyPress::of(Key::F10);
    case 0x00:
    case 0x14:
      return {};
    default:
      if (c < 0x20) return {};
      return KeyPress::character(static_cast<char>(c));
  }
}

// How GET stores a key that is not a character: the macro language's name.
std::string keyText(const KeyPress& k) {
  switch (k.key) {
    case Key::Character:
      return std::string(1, k.ch);
    case Key::Enter:
      return "~";
    case Key::Escape:
      return "{ESC}";
    case Key::Left:
      return "{LEFT}";
    case Key::Right:
      return "{RIGHT}";
    case Key::Up:
      return "{UP}";
    case Key::Down:
      return "{DOWN}";
    case Key::Home:
      return "{HOME}";
    case Key::End:
      return "{END}";
    case Key::PageUp:
      return "{PGUP}";
    case Key::PageDown:
      return "{PGDN}";
    case Key::Backspace:
      return "{BS}";
    case Key::Delete:
      return "{DEL}";
    case Key::Insert:
      return "{INS}";
    case Key::F2:
      return "{EDIT}";
    case Key::F4:
      return "{ABS}";
    case Key::F5:
      return "{GOTO}";
    case Key::F9:
      return "{CALC}";
    default:
      return {};
  }
}

// The result codes IORESULT reports for the common failures, as the file
// system's own codes were numbered where the program was born.
int ioCode(const std::error_code& ec, bool pathMissing) {
  if (!ec) return 0;
  switch (ec.value()) {
    case ENOENT:
      return pathMissing ? 3 : 2;
    case ENOTDIR:
      return 3;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return 5;
    case EBADF:
      return 6;
    default:
      return ec.value();
  }
}

bool parentMissing(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  std::error_code ec;
  return !parent.empty() && !std::filesystem::is_directory(parent, ec);
}

}  // namespace

MacroInterpreter::MacroInterpreter(Frame& frame) : frame_(frame), session_(frame.session()) {
  frame_.setMacroRunner(this);
  // The macro's cells follow a command that moves them.
  session_.adjustMacroPosition = [this](Worksheet& ws, int dr, int dc, const CellRange& w) {
    if (!macroRunning() || worksheet() != &ws) return;
    auto shift = [&](int& row, int& col) {
      if (row < w.row1 || row > w.row2 || col < w.col1 || col > w.col2) return;
      row = std::clamp(row + dr, 0, kRows - 1);
      col = std::clamp(col + dc, 0, kColumns - 1);
    };
    shift(nextRow_, nextCol_);
    shift(lineRow_, lineCol_);
    for (ReturnPoint& p : levels_)
      if (p.row != kTextRow) shift(p.row, p.col);
    for (LoopFrame& l : loops_) shift(l.row, l.col);
  };
}

MacroInterpreter::~MacroInterpreter() {
  session_.adjustMacroPosition = nullptr;
  frame_.setMacroRunner(nullptr);
}

Worksheet* MacroInterpreter::worksheet() {
  return frame_.active() ? &frame_.active()->worksheet() : nullptr;
}

bool MacroInterpreter::macroRunning() const {
  return session_.macroRunning;
}

void MacroInterpreter::runMacroAt(int row, int col, bool step) {
  RunMacroAt(row, col, step);
}

void MacroInterpreter::runMacroText(const std::string& text) {
  RunMacroText(text);
}

void MacroInterpreter::requestBreak() {
  RequestBreak();
}

// --- Starting and stopping ------------------------------------------------------------

void MacroInterpreter::RunMacroAt(int row, int col, bool step) {
  if (session_.macroRunning) {
    pending_.push_back({row, col, step});
    return;
  }
  start();
  step_ = step;
  nextRow_ = row;
  nextCol_ = col;
  if (LoadMacroCell()) MacroLoop();
  finish();
}

// How a line of the worksheet is translated: its separator, its names, and
// repeat counts evaluated as formulas in it.
TranslateContext MacroInterpreter::translateContext(Worksheet& ws) {
  TranslateContext cx;
  cx.separator = session_.settings().argumentSeparator;
  cx.isRangeName = [&ws](std::string_view n) { return ws.names.FindName(n) > 0; };
  cx.evaluate = [this, &ws](std::string_view f) -> std::optional<double> {
    EvalResult r = session_.evaluator().EvaluateText(ws, f);
    session_.error().clear();
    if (r.error || r.isString) return std::nullopt;
    return r.number;
  };
  return cx;
}

void MacroInterpreter::RunMacroText(const std::string& text) {
  if (session_.macroRunning) {
    session_.host().beep();
    return;
  }
  start();
  Worksheet* ws = worksheet();
  if (!ws) return finish();
  text_ = TranslateMacroLine(text, translateContext(*ws));
  text_ += '\0';
  line_ = text_;
  lineRow_ = kTextRow;
  lineCol_ = 0;
  pos_ = 0;
  nextRow_ = kTextRow;  // the macro ends when the text is used up
  MacroLoop();
  finish();
}

void MacroInterpreter::start() {
  session_.macroRunning = true;
  stopped_ = false;
  breakRequested_ = false;
  endedByError_ = false;
  levels_.clear();
  loops_.clear();
  keys_.clear();
  evalError_ = false;
}

// After the loop: a macro asked to start meanwhile runs now.
void MacroInterpreter::finish() {
  if (session_.macroRunning)
    PlayKeys();
  else if (!stopped_)
    endedByError_ = true;  // a command's message stopped it
  if (!stopped_) StopMacro();
  while (!pending_.empty() && !session_.macroRunning) {
    PendingStart next = pending_.front();
    pending_.erase(pending_.begin());
    RunMacroAt(next.row, next.col, next.step);
  }
}

void MacroInterpreter::StopMacro() {
  session_.macroRunning = false;
  stopped_ = true;
  breakRequested_ = false;
  levels_.clear();
  loops_.clear();
  step_ = false;
  frame_.showMacroStep({});
  frame_.refreshAll();
}

void MacroInterpreter::RequestBreak() {
  if (!session_.macroRunning) return;
  breakRequested_ = true;
  session_.host().beep();
}

void MacroInterpreter::MacroError(const std::string& text) {
  endedByError_ = true;
  keys_.clear();
  StopMacro();
  session_.ShowError(text);
}

std::string MacroInterpreter::address() const {
  if (lineRow_ < 0 || !frame_.active()) return {};
  return frame_.active()->worksheet().addressText(lineRow_, lineCol_);
}

// --- Reading the macro -----------------------------------------------------------------

bool MacroInterpreter::loadLine(int row, int col) {
  if (row == kTextRow) {
    session_.host().pollEvents();
    line_ = text_;
    lineRow_ = kTextRow;
    nextRow_ = kTextRow;
    return true;
  }
  session_.host().pollEvents();
  Worksheet* ws = worksheet();
  if (!ws || !validAddress(row, col)) return false;
  CellHandle h = ws->FindCell(row, col);
  if (!hasContent(ws->cellPtr(h))) return false;
  line_ = TranslateMacroLine(ws->LabelText(h), translateContext(*ws));
  line_ += '\0';
  lineRow_ = row;
  lineCol_ = col;
  nextRow_ = row + 1;
  nextCol_ = col;
  return true;
}

bool MacroInterpreter::LoadMacroCell() {
  if (nextRow_ < 0) {
    StopMacro();
    return false;
  }
  Worksheet* ws = worksheet();
  CellHandle h =
      ws && validAddress(nextRow_, nextCol_) ? ws->FindCell(nextRow_, nextCol_) : kNoCell;
  if (!ws || !hasContent(ws->cellPtr(h))) {
    StopMacro();
    return false;
  }
  if (step_) {
    Host& host = session_.host();
    host.beep();
    host.showMode(Mode::Step);
    frame_.showMacroStep(ws->addressText(nextRow_, nextCol_) + " : " + CellInputText(*ws, h));
    if (!host.waitForKey()) {
      StopMacro();
      return false;
    }
    host.showMode(frame_.mode());
  }
  if (!loadLine(nextRow_, nextCol_)) {
    StopMacro();
    return false;
  }
  pos_ = 0;
  return true;
}

char MacroInterpreter::NextMacroChar() {
  while (session_.macroRunning) {
    if (pos_ >= line_.size()) {
      if (!LoadMacroCell()) return 0;
      continue;
    }
    if (breakRequested_) {
      MacroError("Break! " + address());
      return 0;
    }
    char c = line_[pos_++];
    if (c == 0) continue;
    return c;
  }
  return 0;
}

void MacroInterpreter::MacroLoop() {
  while (session_.macroRunning) {
    char c = NextMacroChar();
    if (!session_.macroRunning) break;
    if (c == kCommandByte) {
      PlayKeys();
      if (!session_.macroRunning) break;
      char letter = pos_ < line_.size() ? line_[pos_++] : 0;
      command(letter);
      continue;
    }
    if (keys_.size() > 100) PlayKeys();
    keys_ += c;
  }
  // A command's own message (a protected cell, a failed file) stops the
  // macro too; that is an error end.
  if (!endedByError_ && !keys_.empty()) PlayKeys();
}

void MacroInterpreter::PlayKeys() {
  if (keys_.empty()) return;
  std::vector<KeyPress> keys;
  keys.reserve(keys_.size());
  for (char c : keys_) {
    KeyPress k = keyOf(static_cast<unsigned char>(c));
    if (k.key == Key::None) continue;
    k.synthetic = true;
    keys.push_back(k);
  }
  keys_.clear();
  Host& host = session_.host();
  host.deliverKeys(keys);
  // A command runs only when the keys before it have been taken.
  host.settleKeys();
}

// --- Argument readers --------------------------------------------------------------------

std::string MacroInterpreter::ReadRawArg() {
  std::string out;
  while (pos_ < line_.size()) {
    char c = line_[pos_];
    // A missing argument reads as empty: what follows (a command, a key)
    // is not taken into it.
    if (static_cast<unsigned char>(c) < 0x20 && c != kEnter) break;
    ++pos_;
    if (c == kEnter) break;
    if (out.size() < 240) out += c;
  }
  return out;
}

std::optional<CellRange> MacroInterpreter::addressOrCursor(const std::string& raw,
                                                           bool firstCorner) {
  WindowState* w = frame_.active();
  if (!w) return std::nullopt;
  if (raw.empty() || sameText(raw, "CURSOR")) return CellRange::cell(w->row(), w->col());
  ParsedRange p = ParseRange(w->worksheet(), raw, kRangeWords | kSingleDot);
  session_.error().clear();
  if (!p.ok || !p.range.valid()) {
    evalError_ = true;
    return std::nullopt;
  }
  CellRange r = p.range.ordered();
  return firstCorner ? CellRange::cell(r.row1, r.col1) : r;
}

std::optional<CellRange> MacroInterpreter::ReadRangeArg(bool firstCorner) {
  evalError_ = false;
  return addressOrCursor(ReadRawArg(), firstCorner);
}

double MacroInterpreter::ReadNumberArg() {
  evalError_ = false;
  std::string raw = ReadRawArg();
  if (sameText(raw, "TRUE")) return 1;
  if (sameText(raw, "FALSE")) return 0;
  Worksheet* ws = worksheet();
  if (raw.empty() || !ws) return 0;
  if (raw[0] != '+' && raw[0] != '-') raw.insert(0, 1, '+');
  EvalResult r = session_.evaluator().EvaluateText(*ws, raw);
  session_.error().clear();
  if (r.error || r.isString) {
    evalError_ = true;
    return 0;
  }
  return r.number;
}

int64_t MacroInterpreter::ReadIntegerArg() {
  double x = ReadNumberArg();
  if (!std::isfinite(x)) return 0;
  if (std::fabs(x) < 2147483647.0) return std::llround(x);
  return x < 0 ? -2147483647 : 2147483647;
}

std::string MacroInterpreter::ReadStringArg() {
  evalError_ = false;
  std::string raw = ReadRawArg();
  Worksheet* ws = worksheet();
  if (raw.empty() || !ws) return {};
  char first = raw[0];
  if (first != '(' && first != '+' && first != '-' && first != '@') raw.insert(0, 1, '+');
  EvalResult r = session_.evaluator().EvaluateText(*ws, raw);
  session_.error().clear();
  if (r.error) {
    evalError_ = true;
    return {};
  }
  return r.isString ? r.text : GeneralText(r.number, session_.settings().decimalSeparator);
}

std::string MacroInterpreter::readPrompt() {
  std::string raw = ReadRawArg();
  Worksheet* ws = worksheet();
  if (raw.empty() || !ws) return raw;
  char c = raw[0];
  bool formula = c == '"' || c == '(' || c == '+' || c == '-' || c == '@' || (c >= '0' && c <= '9');
  if (!formula) return raw;
  EvalResult r = session_.evaluator().EvaluateText(*ws, c == '"' ? "+" + raw : raw);
  session_.error().clear();
  if (r.error) return raw;
  return r.isString ? r.text : GeneralText(r.number, session_.settings().decimalSeparator);
}

// --- Control flow -----------------------------------------------------------------------

void MacroInterpreter::PushReturn(size_t pos) {
  if (static_cast<int>(levels_.size()) >= kMaxLevels) {
    MacroError("Stack Overflow, Nesting>20 ");
    return;
  }
  levels_.push_back({lineRow_, lineCol_, pos});
}

void MacroInterpreter::PopReturn() {
  if (levels_.empty()) {
    MacroError("Stack Underflow, Level<1");
    return;
  }
  ReturnPoint r = levels_.back();
  levels_.pop_back();
  if (!loadLine(r.row, r.col)) {
    StopMacro();
    return;
  }
  pos_ = std::min(r.pos, line_.size());
}

void MacroInterpreter::JumpTo(const std::optional<CellRange>& target) {
  if (evalError_ || !target) {
    MacroError("Syntax Error:" + address());
    return;
  }
  nextRow_ = target->row1;
  nextCol_ = target->col1;
  LoadMacroCell();
}

void MacroInterpreter::call(const std::optional<CellRange>& target) {
  PushReturn(pos_);
  if (session_.macroRunning) JumpTo(target);
}

void MacroInterpreter::menuBranch(const std::optional<CellRange>& at) {
  Worksheet* ws = worksheet();
  if (!ws || !at || evalError_) {
    MacroError("Syntax Error:" + address());
    return;
  }
  int row = at->row1, col = at->col1;
  MenuRequest menu;
  int count = 0;
  while (count < 15 && validColumn(col + count)) {
    CellHandle h = ws->FindCell(row, col + count);
    if (!hasContent(ws->cellPtr(h))) break;
    menu.items.push_back(ws->LabelText(h));
    menu.descriptions.push_back(ws->LabelText(ws->FindCell(row + 1, col + count)));
    ++count;
  }
  std::string title = ws->LabelText(ws->FindCell(row + 1, col + count));
  menu.title = title.empty() ? "Menu" : title;
  if (count == 0) {
    StopMacro();
    return;
  }
  int chosen = session_.host().macroMenu(menu);
  chosen = std::clamp(chosen, 1, count + 1);
  nextRow_ = row + 2;
  nextCol_ = col + chosen - 1;
  LoadMacroCell();
}

// --- Commands ------------------------------------------------------------------------------

bool MacroInterpreter::screenNeeded(const char* keyword) {
  if (session_.host().hasDisplay()) return false;
  MacroError(std::string(keyword) + " needs the desktop program: it shows a window");
  return true;
}

void MacroInterpreter::letCell(const std::optional<CellRange>& at, const std::string& raw) {
  Worksheet* ws = worksheet();
  if (!ws || !at) {
    MacroError("Syntax Error:" + address());
    return;
  }
  std::string formula = raw;
  if (sameText(raw, "TRUE")) formula = "1";
  if (sameText(raw, "FALSE")) formula = "0";
  if (!formula.empty() && formula[0] != '+' && formula[0] != '-' && formula[0] != '(' &&
      formula[0] != '@')
    formula.insert(0, 1, '+');
  EvalResult r;
  if (!formula.empty()) {
    r = session_.evaluator().EvaluateText(*ws, formula);
    session_.error().clear();
  } else {
    r.error = true;
  }
  int row = at->row1, col = at->col1;
  if (!r.error && !r.isString) {
    CellHandle h = ws->FindCell(row, col);
    if (ws->settings.protection && (h == kNoCell || ws->cell(h).isProtected())) {
      session_.ShowError("Protected Cell");
      return;
    }
    EnterNumber(*ws, row, col, r.number);
    session_.host().cellsChanged(*ws, CellRange::of(row, 0, row, kColumns - 1));
    return;
  }
  // Text, or nothing when the value does not evaluate, goes in as typed.
  EnterCell(*ws, r.error ? std::string() : r.text, row, col);
  session_.error().clear();
}

void MacroInterpreter::setIo(int code) const {
  session_.ioResult = code;
}

void MacroInterpreter::command(char letter) {
  Host& host = session_.host();
  switch (letter) {
    case 'G':  // BRANCH
      JumpTo(ReadRangeArg(true));
      return;
    case 'C':  // CALL: an empty argument calls the cell under the cursor
      call(ReadRangeArg(true));
      return;
    case 'R':  // RETURN
      PopReturn();
      return;
    case 'I':  // IF: only a value above 0 goes on with the cell
      if (!(ReadNumberArg() > 0)) pos_ = line_.size();
      return;
    case 0x16: {  // FOR counter, start, stop, step
      std::optional<CellRange> counter = ReadRangeArg(true);
      int64_t first = ReadIntegerArg(), stop = ReadIntegerArg(), step = ReadIntegerArg();
      Worksheet* ws = worksheet();
      if (!counter || !ws) {
        MacroError("Syntax Error:" + address());
        return;
      }
      if (static_cast<int>(loops_.size()) >= kMaxLoops) {
        MacroError("FOR LOOPS>5");
        return;
      }
      EnterNumber(*ws, counter->row1, counter->col1, static_cast<double>(first));
      loops_.push_back({counter->row1, counter->col1, stop, step});
      PushReturn(pos_);
      return;
    }
    case 0x17: {  // NEXT
      if (loops_.empty() || levels_.empty()) {
        MacroError("NEXT without FOR");
        return;
      }
      LoopFrame& loop = loops_.back();
      Worksheet* ws = worksheet();
      double value = ws ? ws->CellNumber(ws->FindCell(loop.row, loop.col)) : 0;
      // Whole numbers of any size, without the overflow of 32-bit counters.
      int64_t v = std::isfinite(value) ? static_cast<int64_t>(std::llround(value)) : 0;
      bool done = loop.step > 0 ? v >= loop.stop : v <= loop.stop;
      if (done) {
        loops_.pop_back();
        levels_.pop_back();
        return;
      }
      EnterNumber(*ws, loop.row, loop.col, static_cast<double>(v + loop.step));
      ReturnPoint back = levels_.back();
      if (!loadLine(back.row, back.col)) {
        StopMacro();
        return;
      }
      pos_ = std::min(back.pos, line_.size());
      return;
    }
    case 'W': {                              // WHILE condition, address
      size_t at = pos_ >= 2 ? pos_ - 2 : 0;  // the command byte itself
      double condition = ReadNumberArg();
      std::optional<CellRange> target = ReadRangeArg(true);
      if (condition != 1) return;
      // The return point is the WHILE, so that it is tested again.
      PushReturn(at);
      if (session_.macroRunning) JumpTo(target);
      return;
    }
    case 'H':  // RESTART
      if (levels_.size() > 1) levels_.resize(1);
      return;
    case 'J':  // EXIT
      if (!levels_.empty()) levels_.pop_back();
      return;
    case 'Q':  // QUIT
      StopMacro();
      return;
    case 'M':  // MENUBRANCH
      menuBranch(ReadRangeArg(true));
      return;
    case '9': {  // ONERROR
      std::string raw = ReadRawArg();
      onError_ = sameText(raw, "NUL") ? std::string() : raw;
      return;
    }
    case '?': {
      char which = pos_ < line_.size() ? line_[pos_++] : '0';
      std::optional<CellRange> at;
      if (which == '1') at = ReadRangeArg(true);
      std::optional<KeyPress> k = host.waitForKey();
      if (!k) {
        StopMacro();
        return;
      }
      if (which != '1') return;
      Worksheet* ws = worksheet();
      if (!ws || !at) {
        MacroError("Syntax Error:" + address());
        return;
      }
      EnterCell(*ws, std::string(1, ws->settings.labelPrefix) + keyText(*k), at->row1, at->col1);
      session_.error().clear();
      return;
    }
    case 'L':
    case 'N': {  // GETLABEL, GETNUMBER
      std::string prompt = readPrompt();
      std::optional<CellRange> at = ReadRangeArg(true);
      std::optional<std::string> typed = host.inputBox(prompt, prompt, "");
      Worksheet* ws = worksheet();
      if (!typed) {
        StopMacro();
        return;
      }
      if (!ws || !at) {
        MacroError("Syntax Error:" + address());
        return;
      }
      std::string text = *typed;
      if (letter == 'L') text.insert(0, 1, ws->settings.labelPrefix);
      EnterCell(*ws, text, at->row1, at->col1);
      session_.error().clear();
      return;
    }
    case 'E': {  // LET
      std::optional<CellRange> at = ReadRangeArg(true);
      letCell(at, ReadRawArg());
      return;
    }
    case 0x01: {  // DELAY: without processing window messages
      int64_t ms = ReadIntegerArg();
      if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<int64_t>(ms, 60000)));
      return;
    }
    case 'B':
      host.beep();
      return;
    case 'T': {  // TONE
      int64_t frequency = ReadIntegerArg(), duration = ReadIntegerArg();
      if (screenNeeded("TONE")) return;
      host.playTone(static_cast<int>(frequency), static_cast<int>(duration));
      return;
    }
    case '[': {  // PLAYWAVE (and BREAKON, which shares its token)
      std::string file = ReadStringArg();
      int64_t mode = ReadIntegerArg();
      if (mode == 4 && screenNeeded("PLAYWAVE")) return;
      host.playSound(file, static_cast<int>(mode));
      return;
    }
    case 'U':
      frame_.refreshAll();
      return;
    case 'u':
      frame_.execute("UNDO");
      return;
    case 'K':
      ReadRawArg();  // the range is read; the whole worksheet is recalculated
      frame_.execute("RECALC");
      return;
    case '@': {
      std::optional<CellRange> at = ReadRangeArg(true);
      if (at) frame_.execute("GOTO", {Arg::ofRange(*at)});
      return;
    }
    case 0x02:  // XDN
      frame_.moveCursor(1, 0);
      return;
    case 'x':
      frame_.setAnchor(ReadIntegerArg() == 1);
      return;
    case 'w': {  // BORDER: the frozen titles
      int64_t type = ReadIntegerArg();
      std::optional<CellRange> at = ReadRangeArg(true);
      if (type > 3 || type < 0 || !at) return;
      frame_.freezeTitles(static_cast<int>(type), at->row1, at->col1);
      return;
    }
    case 'a':
    case 'r': {  // COLWIDTH, ROWHEIGHT
      std::optional<CellRange> at = ReadRangeArg(true);
      int64_t size = ReadIntegerArg();
      if (at)
        frame_.execute(letter == 'a' ? "COLWIDTH" : "ROWHEIGHT",
                       {Arg::ofRange(*at), Arg::ofNumber(static_cast<double>(size))});
      return;
    }
    case '.':  // INRANGE: no action
      return;
    case kFileIoByte:
      fileIo(pos_ < line_.size() ? line_[pos_++] : 0);
      return;
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
      if (!tableCommand(std::string{kCommandByte, letter})) MacroError("Syntax Error:" + address());
      return;
    case 'b':
    case 'c':
    case 'd':
    case 'e':
    case 'f':
    case 'g':
    case 'h':
    case 'm':
    case 'p':
    case 'v': {
      char second = pos_ < line_.size() ? line_[pos_++] : 0;
      commandOf(letter, second);
      return;
    }
    default:
      MacroError("Syntax Error:" + address());
      return;
  }
}

// The commands of the families: those the interpreter carries out itself,
// and those of the command layer, read by the kinds of their arguments.
void MacroInterpreter::commandOf(char family, char letter) {
  Host& host = session_.host();
  if (family == 'f') {
    switch (letter) {
      case 'R': {  // FILERETRIEVE: every window closes, the file opens, the macro ends
        std::string name = ReadStringArg();
        bool unasked = ReadIntegerArg() != 0;
        StopMacro();
        if (frame_.closeAll(unasked ? CloseMode::DiscardUnasked : CloseMode::Ask))
          frame_.execute("FILEOPEN", {Arg::ofText(name)});
        return;
      }
      case 'f': {  // FILEFOCUS
        std::string name = ReadStringArg();
        if (screenNeeded("FILEFOCUS")) return;
        frame_.focusWorksheet(name);
        return;
      }
      case 'E': {  // FILEERASE
        std::string name = ReadStringArg();
        std::error_code ec;
        // A file only: a directory is not erased by this command.
        if (std::filesystem::is_directory(name, ec))
          ec = std::make_error_code(std::errc::permission_denied);
        else if (!std::filesystem::remove(name, ec) && !ec)
          ec = std::make_error_code(std::errc::no_such_file_or_directory);
        setIo(ioCode(ec, parentMissing(name)));
        return;
      }
      case 'p': {  // FILEPICK name, filter, cell
        std::string name = upperCased(ReadStringArg());
        std::string filter = ReadStringArg();
        std::optional<CellRange> at = ReadRangeArg(true);
        FileRequest request;
        request.title = "TALLOWAY OPEN";
        request.name = name;
        if (!filter.empty()) request.filters = {filter};
        std::optional<std::string> chosen = host.openFileName(request);
        Worksheet* ws = worksheet();
        if (!chosen) {
          StopMacro();
          return;
        }
        if (ws && at) {
          EnterCell(*ws, std::string(1, '\'') + *chosen, at->row1, at->col1);
          session_.error().clear();
        }
        return;
      }
      default:
        break;
    }
  }
  if (family == 'b' && (letter == 'n' || letter == 'd')) {
    // RANGECREATE and RANGEDELETE: the macro's name is cut to eight characters.
    std::string name = ReadStringArg().substr(0, 8);
    Args args{name.empty() ? Arg{} : Arg::ofText(name)};
    if (letter == 'n') {
      size_t at = pos_;
      bool omitted = ReadRawArg().empty();
      pos_ = at;
      std::optional<CellRange> r = ReadRangeArg(false);
      args.push_back(omitted ? Arg{} : r ? Arg::ofRange(*r) : Arg{});
    }
    frame_.execute(letter == 'n' ? "RANGECREATE" : "RANGEDELETE", args);
    return;
  }
  if (family == 'v') {
    switch (letter) {
      case 'v': {  // VIEW
        std::string items = upperCased(ReadStringArg());
        if (screenNeeded("VIEW")) return;
        frame_.showBars(items);
        return;
      }
      case 'z': {  // VIEWZOOM
        int64_t percent = ReadIntegerArg();
        if (screenNeeded("VIEWZOOM")) return;
        frame_.setZoom(static_cast<int>(std::clamp<int64_t>(percent, 20, 200)));
        return;
      }
      default:
        break;
    }
  }
  if (!tableCommand(std::string{kCommandByte, family, letter}))
    MacroError("Syntax Error:" + address());
}

bool MacroInterpreter::tableCommand(const std::string& token) {
  // The keywords of the token, and the first of them the command layer has.
  const CommandEntry* entry = nullptr;
  for (const MacroKeyword& k : MacroKeywordTable())
    if (k.token == token)
      if ((entry = frame_.commands().find(k.name))) break;
  if (!entry) return false;
  Args args;
  for (const Param& p : entry->params) {
    switch (p.kind) {
      case ArgKind::Address:
      case ArgKind::Range: {
        // An omitted argument is unset: the command decides what that means.
        size_t at = pos_;
        std::string raw = ReadRawArg();
        if (raw.empty()) {
          args.push_back(Arg{});
          break;
        }
        pos_ = at;
        std::optional<CellRange> r = ReadRangeArg(p.kind == ArgKind::Address);
        args.push_back(r ? Arg::ofRange(*r) : Arg{});
        break;
      }
      case ArgKind::Number:
        args.push_back(Arg::ofNumber(ReadNumberArg()));
        break;
      case ArgKind::Integer:
        args.push_back(Arg::ofNumber(static_cast<double>(ReadIntegerArg())));
        break;
      case ArgKind::Text: {
        std::string t = ReadStringArg();
        args.push_back(t.empty() ? Arg{} : Arg::ofText(t));
        break;
      }
    }
  }
  frame_.execute(entry->name, args);
  return true;
}

// --- File input and output ---------------------------------------------------------------

void MacroInterpreter::fileIo(char letter) {
  auto fileNumber = [&]() -> int {
    int64_t n = ReadIntegerArg();
    return n >= 0 && n < kFiles ? static_cast<int>(n) : -1;
  };
  auto open = [&](int n, int mode, const std::string& name) {
    if (n < 0) return setIo(6);
    files_[n].reset();
    std::ios::openmode how = std::ios::binary;
    if (mode == 1)
      how |= std::ios::in;
    else if (mode == 2)
      how |= std::ios::out | std::ios::trunc;
    else
      how |= std::ios::out | std::ios::app;
    errno = 0;
    auto f = std::make_unique<std::fstream>(name, how);
    if (!*f) {
      int e = errno ? errno : ENOENT;
      return setIo(ioCode(std::error_code(e, std::generic_category()), parentMissing(name)));
    }
    files_[n] = std::move(f);
    setIo(0);
  };
  auto write = [&](bool line) {
    int n = fileNumber();
    std::string text = ReadStringArg();
    if (n < 0 || !files_[n]) return setIo(6);
    *files_[n] << text;
    if (line) *files_[n] << "\r\n";
    files_[n]->flush();
    setIo(*files_[n] ? 0 : 5);
  };
  std::error_code ec;
  switch (letter) {
    case 'O': {
      int n = fileNumber();
      int mode = static_cast<int>(ReadIntegerArg());
      open(n, mode, ReadStringArg());
      return;
    }
    case 'A': {
      int n = fileNumber();
      open(n, 3, ReadStringArg());
      return;
    }
    case 'C': {
      int n = fileNumber();
      if (n < 0 || !files_[n]) return setIo(6);
      files_[n].reset();
      return setIo(0);
    }
    case 'W':
      return write(false);
    case 'F':
      return write(true);
    case 'H': {
      std::string path = ReadStringArg();
      if (path.empty()) return;
      std::filesystem::current_path(path, ec);
      return setIo(ioCode(ec, true));
    }
    case 'M': {
      std::string path = ReadStringArg();
      std::filesystem::create_directory(path, ec);
      return setIo(ioCode(ec, parentMissing(path)));
    }
    case 'D': {
      std::string path = ReadStringArg();
      if (!std::filesystem::is_directory(path, ec)) return setIo(3);
      std::filesystem::remove(path, ec);
      return setIo(ioCode(ec, true));
    }
    default:
      MacroError("Syntax Error:" + address());
      return;
  }
}

}  // namespace tw
