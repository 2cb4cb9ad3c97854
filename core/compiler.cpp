#include "core/compiler.h"

#include <cmath>
#include <string>
#include <vector>

#include "core/char_case.h"
#include "core/function_table.h"
#include "core/number_text.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

// Internal operator characters by precedence, lowest first. Equal
// precedence associates to the left.
enum Prec : int {
  kSpace = 1,
  kSeparator,
  kHash,
  kOr,
  kAnd,
  kNot,
  kEqual,
  kLess,
  kGreater,
  kNotEqual,
  kLessEqual,
  kGreaterEqual,
  kPlus,
  kMinus,
  kTimes,
  kDivide,
  kPower,
  kUnaryMinus,
  kUnaryPlus,
  kConcat,
};

constexpr uint8_t kNoOpcode = 0xFF;

uint8_t opcodeFor(int prec) {
  switch (prec) {
    case kOr:
      return op::kOr;
    case kAnd:
      return op::kAnd;
    case kNot:
      return op::kNot;
    case kEqual:
      return op::kEqual;
    case kLess:
      return op::kLess;
    case kGreater:
      return op::kGreater;
    case kNotEqual:
      return op::kNotEqual;
    case kLessEqual:
      return op::kLessEqual;
    case kGreaterEqual:
      return op::kGreaterEqual;
    case kPlus:
      return op::kAdd;
    case kMinus:
      return op::kSubtract;
    case kTimes:
      return op::kMultiply;
    case kDivide:
      return op::kDivide;
    case kPower:
      return op::kPower;
    case kUnaryMinus:
      return op::kNegate;
    case kUnaryPlus:
      return op::kUnaryPlus;
    case kConcat:
      return op::kConcat;
    default:
      return kNoOpcode;  // space, separator and "#" emit nothing
  }
}

class Compiler {
 public:
  Compiler(Worksheet& ws)
      : ws_(ws),
        separator_(ws.session().settings().argumentSeparator),
        decimal_(ws.session().settings().decimalSeparator) {}

  bool run(std::string_view text, FormulaCode& out) {
    pos_ = 2;
    int separators = compileExpression(text);
    if (failed_ || separators != 0 || external_ != 0) return false;
    if (usedRange_ && !usedFunction_) return false;  // a bare range such as +A1..B2
    out.bytes[pos_] = op::kEnd;
    out.bytes[0] = static_cast<uint8_t>(pos_);
    out.bytes[1] = 0;
    std::memcpy(out.bytes + 2, buf_ + 2, pos_ - 2);
    return true;
  }

 private:
  static constexpr int kMaxDepth = 64;

  bool isOperator(char c) const {
    switch (c) {
      case ' ':
      case '#':
      case '=':
      case '<':
      case '>':
      case '+':
      case '-':
      case '*':
      case '/':
      case '^':
      case '&':
        return true;
      default:
        return c == separator_;
    }
  }

  void fail() { failed_ = true; }

  void emit(uint8_t b) {
    // Leave room for the end mark: the code's last index must stay below 240.
    if (pos_ >= kMaxCode - 1) {
      fail();
      return;
    }
    buf_[pos_++] = b;
  }
  void emitU16(uint16_t v) {
    emit(uint8_t(v));
    emit(uint8_t(v >> 8));
  }
  void emitWord(uint32_t w) {
    for (int k = 0; k < 4; ++k) emit(uint8_t(w >> (8 * k)));
  }

  // Reduces the operator at text[i] to its internal character; 0 on failure.
  int reduce(std::string_view text, size_t i, size_t& used) const {
    char c = text[i];
    char n = i + 1 < text.size() ? text[i + 1] : '\0';
    used = 1;
    if (c == separator_) return kSeparator;
    switch (c) {
      case ' ':
        return kSpace;
      case '+':
        return kPlus;
      case '-':
        return kMinus;
      case '*':
        return kTimes;
      case '/':
        return kDivide;
      case '^':
        return kPower;
      case '&':
        return kConcat;
      case '=':
        if (n == '>') {
          used = 2;
          return kGreaterEqual;
        }
        if (n == '<') {
          used = 2;
          return kLessEqual;
        }
        return kEqual;
      case '<':
        if (n == '=') {
          used = 2;
          return kLessEqual;
        }
        if (n == '>') {
          used = 2;
          return kNotEqual;
        }
        return kLess;
      case '>':
        if (n == '=') {
          used = 2;
          return kGreaterEqual;
        }
        if (n == '<') {
          used = 2;
          return kNotEqual;
        }
        return kGreater;
      case '#':
        if (startsWithNoCase(text, i, "#AND#")) {
          used = 5;
          return kAnd;
        }
        if (startsWithNoCase(text, i, "#OR#")) {
          used = 4;
          return kOr;
        }
        return 0;
      default:
        return 0;
    }
  }

  // Index of the ")" matching the "(" at open, skipping quoted text; npos
  // when unbalanced.
  static size_t matchParen(std::string_view t, size_t open) {
    int depth = 0;
    for (size_t k = open; k < t.size(); ++k) {
      char c = t[k];
      if (c == '"') {
        size_t close = t.find('"', k + 1);
        if (close == std::string_view::npos) return std::string_view::npos;
        k = close;
      } else if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (--depth == 0) return k;
      }
    }
    return std::string_view::npos;
  }

  // A number so far that ends in its exponent letter keeps the sign that
  // follows it (1.5E+3), since a listed constant may be written that way.
  bool mantissaBeforeExponent(std::string_view s) const {
    if (s.size() < 2 || (s.back() != 'E' && s.back() != 'e')) return false;
    bool digit = false;
    for (size_t k = 0; k + 1 < s.size(); ++k) {
      char c = s[k];
      if (c >= '0' && c <= '9')
        digit = true;
      else if (c != decimal_)
        return false;
    }
    return digit;
  }

  // Compiles one expression; returns the separators counted at its level.
  int compileExpression(std::string_view source) {
    if (++depth_ > kMaxDepth) {
      fail();
      return 0;
    }
    std::string text(source);
    text += ' ';  // flushes the operator stack at the end
    size_t i = 0;
    if (text[0] == '+') i = 1;
    std::vector<int> stack;
    bool expectOperand = true;
    int separators = 0;
    while (i < text.size() && !failed_) {
      char c = text[i];
      if (isOperator(c)) {
        size_t used;
        int prec = reduce(text, i, used);
        if (prec == 0) {
          fail();
          break;
        }
        if (prec == kSeparator) ++separators;
        if (expectOperand) {
          // Prefix operators bind to what follows and never pop the stack.
          if (prec == kPlus)
            stack.push_back(kUnaryPlus);
          else if (prec == kMinus)
            stack.push_back(kUnaryMinus);
          else
            fail();
          i += used;
          continue;
        }
        while (!stack.empty() && stack.back() >= prec) {
          if (uint8_t o = opcodeFor(stack.back()); o != kNoOpcode) emit(o);
          stack.pop_back();
        }
        if (prec == kSpace) {
          // A space ends the expression: what follows it ("10 -3") would
          // leave a second value that no operator joins, and be lost.
          if (text.find_first_not_of(' ', i) != std::string::npos) fail();
          break;
        }
        stack.push_back(prec);
        expectOperand = true;
        i += used;
        continue;
      }
      if (!expectOperand && external_ == 0) {
        fail();
        break;
      }
      if (c == '[') {
        size_t close = text.find(']', i);
        if (close == std::string::npos) {
          fail();
          break;
        }
        compileExternal(std::string_view(text).substr(i + 1, close - i - 1));
        i = close + 1;
        expectOperand = true;
        continue;
      }
      size_t j = i;
      while (j < text.size()) {
        char d = text[j];
        if (d == '"') {
          size_t close = text.find('"', j + 1);
          if (close == std::string::npos) {
            fail();
            break;
          }
          j = close + 1;
        } else if (d == '(') {
          size_t close = matchParen(text, j);
          if (close == std::string::npos) {
            fail();
            break;
          }
          j = close + 1;
        } else if (d == '[') {
          break;
        } else if (isOperator(d)) {
          if ((d == '+' || d == '-') &&
              mantissaBeforeExponent(std::string_view(text).substr(i, j - i))) {
            ++j;
            continue;
          }
          break;
        } else {
          ++j;
        }
      }
      if (failed_) break;
      separators += compileOperand(std::string_view(text).substr(i, j - i));
      i = j;
      expectOperand = false;
    }
    // The appended space has already failed an expression that ends in an operator.
    while (!stack.empty()) {
      if (uint8_t o = opcodeFor(stack.back()); o != kNoOpcode) emit(o);
      stack.pop_back();
    }
    --depth_;
    return separators;
  }

  // Compiles one operand; returns separators that a parenthesised group
  // adds to the enclosing level.
  int compileOperand(std::string_view s) {
    if (s.empty()) {
      fail();
      return 0;
    }
    std::vector<uint8_t> postfix;
    size_t end = s.size();
    if (s[0] != '"') {
      while (end > 0 && (s[end - 1] == '%' || s[end - 1] == '!')) {
        postfix.push_back(s[end - 1] == '%' ? op::kPercent : op::kFactorial);
        --end;
      }
    }
    std::string_view core = s.substr(0, end);
    int separators = 0;
    if (core.empty()) {
      fail();
      return 0;
    }
    size_t open = core[0] == '"' ? std::string_view::npos : core.find('(');
    if (open != std::string_view::npos) {
      size_t close = matchParen(core, open);
      if (close != core.size() - 1) {
        fail();
        return 0;
      }
      std::string_view inner = core.substr(open + 1, close - open - 1);
      if (open == 0) {
        separators = compileExpression(inner);
        emit(op::kParen);
      } else if (core[0] == '@') {
        compileFunction(core.substr(1, open - 1), inner, true);
      } else {
        fail();
      }
    } else if (core[0] == '@') {
      compileFunction(core.substr(1), {}, false);
    } else if (core[0] == '$' || upperChar(core[0]) != lowerChar(core[0])) {
      compileReference(core);
    } else if (core[0] == '"') {
      compileString(core);
    } else {
      compileNumber(core);
    }
    for (auto it = postfix.rbegin(); it != postfix.rend(); ++it) emit(*it);
    return separators;
  }

  void compileFunction(std::string_view rawName, std::string_view args, bool parens) {
    std::string name = upperCased(rawName);
    if (name.empty()) {
      fail();
      return;
    }
    int count = 0;
    if (parens) {
      count = compileExpression(args) + 1;
      if (failed_) return;
    }
    usedFunction_ = true;
    const FunctionTable& table = ws_.session().functionTable();
    if (uint8_t opcode = table.find(name)) {
      uint8_t c = table.operandClass(opcode);
      if (!parens) {
        if (c != cls::kArgs0) fail();
        emit(opcode);
      } else if (c == cls::kList) {
        if (count < 1 || count > 255) return fail();
        emit(opcode);
        emit(static_cast<uint8_t>(count));
      } else if (fixedArgumentCount(c) > 0 && fixedArgumentCount(c) == count) {
        emit(opcode);
      } else {
        fail();
      }
      return;
    }
    if (int index = ws_.functions.find(name)) {
      int declared = ws_.functions.get(index)->argumentCount;
      if (parens ? declared != count : declared != 0) return fail();
      emit(op::kUserFunction);
      emit(static_cast<uint8_t>(index));
      return;
    }
    if (int n = ws_.names.NameFromText(name)) {
      CellRange r = ws_.names.entry(n).range;
      int width = std::abs(r.col2 - r.col1) + 1;
      if (!r.valid() || !parens || count != width) return fail();
      emit(op::kRangeFunction);
      emitRange(r, kAbsRow1 | kAbsCol1 | kAbsRow2 | kAbsCol2);
      return;
    }
    fail();
  }

  uint32_t referenceWord(int row, int col, bool rowAbs, bool colAbs) {
    CellHandle h = ws_.GetOrCreateCell(row, col);
    if (h == kNoCell) {
      fail();
      return 0;
    }
    return h | (rowAbs ? kRowAbsoluteBit : 0) | (colAbs ? kColAbsoluteBit : 0);
  }

  void emitRange(const CellRange& r, uint8_t flags) {
    if (r.isSingleCell()) {
      uint32_t w = referenceWord(r.row1, r.col1, flags & kAbsRow1, flags & kAbsCol1);
      emit(op::kRef);
      emitWord(w);
      return;
    }
    uint32_t second = referenceWord(r.row2, r.col2, flags & kAbsRow2, flags & kAbsCol2);
    uint32_t first = referenceWord(r.row1, r.col1, flags & kAbsRow1, flags & kAbsCol1);
    emit(op::kRange);
    emitWord(second);
    emitWord(first);
  }

  void compileReference(std::string_view text) {
    ParsedRange p = ParseRange(ws_, text, kStrictRange);
    if (!p.ok || !p.range.valid()) return fail();
    if (external_ != 0) {
      // The range in the other file fills the pending placeholder.
      const CellRange& r = p.range;
      int16_t corners[4] = {r.col1, r.row1, r.col2, r.row2};
      for (int k = 0; k < 4; ++k) writeU16(buf_ + external_ + 2 * k, uint16_t(corners[k]));
      external_ = 0;
      return;
    }
    if (!p.range.isSingleCell()) usedRange_ = true;
    emitRange(p.range, p.absFlags);
  }

  void compileString(std::string_view text) {
    if (text.size() < 2 || text.back() != '"' || text.find('"', 1) != text.size() - 1)
      return fail();
    emit(op::kString);
    for (char c : text.substr(1, text.size() - 2)) {
      if (c == '\0') return fail();
      emit(static_cast<uint8_t>(c));
    }
    emit(0);
  }

  void compileNumber(std::string_view text) {
    if (external_ != 0) return fail();
    if (auto x = parseNumberText(text, decimal_)) {
      double v = *x;
      if (v == std::trunc(v) && std::fabs(v) < 32767) {
        emit(op::kInteger);
        emitU16(static_cast<uint16_t>(static_cast<int16_t>(v)));
      } else {
        uint8_t b[8];
        std::memcpy(b, &v, 8);
        emit(op::kConstant);
        for (uint8_t byte : b) emit(byte);
      }
      return;
    }
    // A name that does not start like an address, such as 1ST.
    if (ws_.names.NameFromText(text) > 0) return compileReference(text);
    fail();
  }

  void compileExternal(std::string_view file) {
    if (external_ != 0 || file.empty()) return fail();
    std::string path(file);
    if (path[0] != '/') path = ws_.session().host().currentDirectory() + "/" + path;
    emit(op::kExternal);
    external_ = pos_;
    for (int k = 0; k < 8; ++k) emit(0);
    for (char c : path) {
      if (c == '\0') return fail();
      emit(static_cast<uint8_t>(c));
    }
    emit(0);
  }

  Worksheet& ws_;
  char separator_;
  char decimal_;
  uint8_t buf_[256] = {};
  size_t pos_ = 2;
  size_t external_ = 0;  // position of a placeholder waiting for its range
  bool failed_ = false;
  bool usedRange_ = false;
  bool usedFunction_ = false;
  int depth_ = 0;
};

}  // namespace

bool CompileFormula(Worksheet& ws, std::string_view text, FormulaCode& out) {
  bool ok = text.size() <= kMaxText && Compiler(ws).run(text, out);
  if (!ok) ws.session().error().raise();
  return ok;
}

}  // namespace tw
