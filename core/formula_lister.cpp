#include "core/formula_lister.h"

#include <cstdint>
#include <vector>

#include "core/formula_code.h"
#include "core/number_text.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

constexpr size_t kPoolBytes = 998;

class Lister {
 public:
  Lister(const Worksheet& ws, NameSubstitution names)
      : ws_(ws),
        table_(ws.session().functionTable()),
        names_(names == NameSubstitution::On),
        separator_(ws.session().settings().argumentSeparator),
        decimal_(ws.session().settings().decimalSeparator) {}

  std::string run(const uint8_t* code) {
    stack_.clear();
    used_ = 0;
    error_ = false;
    skipNext_ = false;
    if (!wellFormedCode(code)) return "NOEND";
    size_t last = code[0];
    for (size_t pos = 2; pos <= last && !error_;) {
      uint8_t opcode = code[pos];
      if (opcode == op::kEnd) break;
      size_t next = WalkCode(table_, code, pos, last);
      if (next == 0) return "NOEND";
      listOne(code, pos, next, last);
      pos = next;
    }
    if (error_) return "OVERFLOW";
    if (stack_.empty()) return "+";
    std::string result = stack_.back();
    char first = result.empty() ? '\0' : result[0];
    if (first != '(' && first != '-' && first != '@') result.insert(0, 1, '+');
    if (result.size() > kMaxText) return "OVERFLOW";
    return result;
  }

 private:
  // Texts that no longer fit the pool are dropped (kept empty).
  void push(std::string text) {
    if (text.size() > kMaxText) {
      error_ = true;
      text.clear();
    }
    if (used_ + text.size() + 1 > kPoolBytes) text.clear();
    used_ += text.size() + 1;
    stack_.push_back(std::move(text));
  }
  std::string pop() {
    if (stack_.empty()) return {};
    std::string t = std::move(stack_.back());
    stack_.pop_back();
    used_ -= t.size() + 1;
    return t;
  }

  std::string name(uint8_t opcode) const {
    std::string n;
    appendName(n, opcode);
    return n;
  }
  void appendName(std::string& out, uint8_t opcode) const {
    if (opcode > op::kLastFunction && opcode != op::kRangeFunction) {
      out += "UKW";
      return;
    }
    if (opcode > op::kFactorial || opcode == op::kNot) out += '@';
    out += table_[opcode].name;
  }

  // A range name designating exactly this range, if one reads back as it.
  const RangeName* nameFor(const CellRange& r, uint8_t flags, uint8_t allFlags) const {
    if (!names_) return nullptr;
    bool absolute = flags == allFlags;
    if (flags != 0 && !absolute) return nullptr;  // mixed: keep the address
    CellRange want = r.ordered();
    for (const RangeName& n : ws_.names.entries()) {
      if (!n.range.valid() || n.range.ordered() != want) continue;
      // A name that reads as an address would read back as that address.
      if (RangeNameTable::acceptable(n.name) == false) continue;
      // Without "$" only 11 characters are looked up when read back.
      if (!absolute && n.name.size() > 11) continue;
      return &n;
    }
    return nullptr;
  }

  std::string referenceText(uint32_t word) const {
    CellHandle h = word & kHandleMask;
    if (h == kNoCell) return "ERR";
    const Cell& c = ws_.cell(h);
    return ws_.addressText(c.row, c.column, word & kRowAbsoluteBit, word & kColAbsoluteBit);
  }

  static uint8_t wordFlags(uint32_t word, uint8_t rowBit, uint8_t colBit) {
    return ((word & kRowAbsoluteBit) ? rowBit : 0) | ((word & kColAbsoluteBit) ? colBit : 0);
  }

  // The text of a class 1 or 2 operand at pos.
  std::string operandText(const uint8_t* code, size_t pos) const {
    if (code[pos] == op::kRef) {
      uint32_t w = readWord(code + pos + 1);
      CellHandle h = w & kHandleMask;
      if (h == kNoCell) return "ERR";
      const Cell& c = ws_.cell(h);
      uint8_t flags = wordFlags(w, kAbsRow1, kAbsCol1);
      if (const RangeName* n =
              nameFor(CellRange::cell(c.row, c.column), flags, kAbsRow1 | kAbsCol1))
        return (flags ? "$" : "") + n->name;
      return referenceText(w);
    }
    uint32_t second = readWord(code + pos + 1), first = readWord(code + pos + 5);
    CellHandle hs = second & kHandleMask, hf = first & kHandleMask;
    if (hs != kNoCell && hf != kNoCell) {
      const Cell& a = ws_.cell(hs);
      const Cell& b = ws_.cell(hf);
      uint8_t flags = wordFlags(first, kAbsRow1, kAbsCol1) | wordFlags(second, kAbsRow2, kAbsCol2);
      if (const RangeName* n = nameFor(CellRange::of(a.row, a.column, b.row, b.column), flags,
                                       kAbsRow1 | kAbsCol1 | kAbsRow2 | kAbsCol2))
        return (flags ? "$" : "") + n->name;
    }
    // The corner stored second was typed first.
    return referenceText(first) + ".." + referenceText(second);
  }

  void arguments(const std::string& fname, int count) {
    if (count > static_cast<int>(stack_.size())) count = static_cast<int>(stack_.size());
    std::vector<std::string> args(count);
    for (int i = count - 1; i >= 0; --i) args[i] = pop();
    std::string text = fname + "(";
    for (int i = 0; i < count; ++i) {
      if (i) text += separator_;
      text += args[i];
      if (text.size() >= kMaxText) error_ = true;
    }
    text += ")";
    push(std::move(text));
  }

  void listOne(const uint8_t* code, size_t pos, size_t next, size_t last) {
    uint8_t opcode = code[pos];
    uint8_t c = table_.operandClass(opcode);
    if (opcode == op::kRangeFunction) {
      // The 0x01 or 0x02 operand that follows names the range.
      size_t operand = next;
      if (operand > last || (code[operand] != op::kRef && code[operand] != op::kRange) ||
          WalkCode(table_, code, operand, last) == 0) {
        error_ = true;
        return;
      }
      int width = 1;
      CellHandle a = readWord(code + operand + 1) & kHandleMask;
      CellHandle b = code[operand] == op::kRange ? readWord(code + operand + 5) & kHandleMask : a;
      if (a == kNoCell || b == kNoCell) {
        error_ = true;
        return;
      }
      const Cell& ca = ws_.cell(a);
      const Cell& cb = ws_.cell(b);
      width = std::abs(ca.column - cb.column) + 1;
      std::string target;
      const RangeName* n = nullptr;
      CellRange r = CellRange::of(ca.row, ca.column, cb.row, cb.column);
      for (const RangeName& e : ws_.names.entries())
        if (e.range.valid() && e.range.ordered() == r.ordered() &&
            RangeNameTable::acceptable(e.name))
          n = &e;
      if (n) {
        // Written without "$" when the short lookup finds it again.
        target = n->name.size() > 11 ? "$" + n->name : n->name;
      } else {
        const Cell& left = ca.column <= cb.column ? ca : cb;
        target = ws_.addressText(left.row, left.column, true, true);
      }
      arguments("@" + target, width);
      skipNext_ = true;
      return;
    }
    if (skipNext_) {
      skipNext_ = false;
      return;
    }
    switch (c) {
      case cls::kConstant:
        push(roundTripText(readDouble(code + pos + 1), decimal_));
        break;
      case cls::kRef:
      case cls::kRange:
        push(operandText(code, pos));
        break;
      case cls::kParen:
        push("(" + pop() + ")");
        break;
      case cls::kInteger:
        push(std::to_string(static_cast<int16_t>(readU16(code + pos + 1))));
        break;
      case cls::kString:
        push("\"" + std::string(reinterpret_cast<const char*>(code + pos + 1)) + "\"");
        break;
      case cls::kExternal: {
        auto corner = [&](int k) { return static_cast<int16_t>(readU16(code + pos + 1 + 2 * k)); };
        std::string text = "[" + std::string(reinterpret_cast<const char*>(code + pos + 9)) + "]";
        int c1 = corner(0), r1 = corner(1), c2 = corner(2), r2 = corner(3);
        if (!validAddress(r1, c1) || !validAddress(r2, c2)) {
          text += "ERR";
        } else {
          text += ws_.addressText(r1, c1);
          if (c1 != c2 || r1 != r2) text += ".." + ws_.addressText(r2, c2);
        }
        push(std::move(text));
        break;
      }
      case cls::kUnary:
        push(name(opcode) + pop());
        break;
      case cls::kBinary: {
        std::string b = pop();
        std::string a = pop();
        appendName(a, opcode);
        a += b;
        push(std::move(a));
        break;
      }
      case cls::kPostfix: {
        std::string a = pop();
        appendName(a, opcode);
        push(std::move(a));
        break;
      }
      case cls::kArgs0:
        push(name(opcode));
        break;
      case cls::kArgs1:
      case cls::kArgs2:
      case cls::kArgs3:
      case cls::kArgs4:
        arguments(name(opcode), c - cls::kArgs0);
        break;
      case cls::kList:
        arguments(name(opcode), code[pos + 1]);
        break;
      case cls::kUserFunction: {
        const UserFunction* f = ws_.functions.get(code[pos + 1]);
        if (!f) {
          push("@NOFUN");
          break;
        }
        if (f->argumentCount == 0)
          push("@" + f->name);
        else
          arguments("@" + f->name, f->argumentCount);
        break;
      }
      default:
        break;
    }
  }

  const Worksheet& ws_;
  const FunctionTable& table_;
  bool names_;
  char separator_;
  char decimal_;
  std::vector<std::string> stack_;
  size_t used_ = 0;
  bool error_ = false;
  bool skipNext_ = false;
};

}  // namespace

std::string ListFormula(const Worksheet& ws, const uint8_t* code, NameSubstitution names) {
  return Lister(ws, names).run(code);
}

class FormulaLister::Impl : public Lister {
 public:
  using Lister::Lister;
};

FormulaLister::FormulaLister(const Worksheet& ws, NameSubstitution names)
    : impl_(std::make_unique<Impl>(ws, names)) {}

FormulaLister::~FormulaLister() = default;

std::string FormulaLister::list(const uint8_t* code) {
  return impl_->run(code);
}

}  // namespace tw
