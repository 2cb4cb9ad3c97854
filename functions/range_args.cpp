#include "functions/range_args.h"

#include <cstdlib>
#include <string>

#include "core/formula_code.h"
#include "core/session.h"

namespace tw {

namespace {

bool rangeAtPosition(Evaluator& ev, EvalState& st, size_t pos, RangeRef& out) {
  const uint8_t* code = st.code;
  const FunctionTable& table = ev.session().functionTable();
  size_t last = code[0];
  if (pos < 2 || pos >= last || WalkCode(table, code, pos, last) == 0) return false;
  Worksheet& ws = *st.ws;
  switch (code[pos]) {
    case op::kRef: {
      CellHandle h = readWord(code + pos + 1) & kHandleMask;
      if (h == kNoCell) return false;
      const Cell& c = ws.cell(h);
      out.ws = &ws;
      out.r = CellRange::cell(c.row, c.column);
      return true;
    }
    case op::kRange: {
      CellHandle a = readWord(code + pos + 1) & kHandleMask;
      CellHandle b = readWord(code + pos + 5) & kHandleMask;
      if (a == kNoCell || b == kNoCell) return false;
      const Cell& ca = ws.cell(a);
      const Cell& cb = ws.cell(b);
      out.ws = &ws;
      out.r = CellRange::of(ca.row, ca.column, cb.row, cb.column).ordered();
      return true;
    }
    case op::kExternal: {
      auto corner = [&](int k) { return static_cast<int16_t>(readU16(code + pos + 1 + 2 * k)); };
      int c1 = corner(0), r1 = corner(1), c2 = corner(2), r2 = corner(3);
      if (!validAddress(r1, c1) || !validAddress(r2, c2)) return false;
      std::string path(reinterpret_cast<const char*>(code + pos + 9));
      Worksheet* other = ev.session().findExternal(path);
      if (!other) return false;
      out.ws = other;
      out.r = CellRange::of(r1, c1, r2, c2).ordered();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

bool rangeOfSlot(Evaluator& ev, EvalState& st, int index, RangeRef& out) {
  const Slot& s = st.slots[index];
  if (s.rangeAt != 0) return rangeAtPosition(ev, st, s.rangeAt, out);
  size_t pos = st.positions[index];
  uint8_t opcode = pos < 2 || pos > st.code[0] ? op::kEnd : st.code[pos];
  if (opcode == op::kParen || opcode == op::kUnaryPlus) {
    // (A1) and +A1 still name the cell: find where the value's code begins
    // and accept it when that is the reference with only marks after it.
    std::vector<size_t> starts;
    if (!argumentStarts(*st.ws, st.code, pos + 1, 1, starts)) return false;
    size_t start = starts[0];
    if (st.code[start] != op::kRef) return false;
    for (size_t p = start + 5; p <= pos; ++p)
      if (st.code[p] != op::kParen && st.code[p] != op::kUnaryPlus) return false;
    pos = start;
  }
  return rangeAtPosition(ev, st, pos, out);
}

bool rangeArgument(Evaluator& ev, EvalState& st, int n, RangeRef& out) {
  return rangeOfSlot(ev, st, st.sp - st.argCount + n, out);
}

bool readMatrix(const RangeRef& range, NumberMatrix& out) {
  out.rows = range.rows();
  out.columns = range.columns();
  out.values.assign(static_cast<size_t>(range.positions()), 0.0);
  bool ok = true;
  const CellRange& r = range.r;
  forEachStoredCell(*range.ws, r, [&](CellHandle, const Cell& c) {
    double x = 0;
    CellNumeric k = numericValue(c, x);
    if (k == CellNumeric::Error) ok = false;
    if (k == CellNumeric::Value)
      out.values[size_t(c.column - r.col1) * out.rows + size_t(c.row - r.row1)] = x;
    return true;
  });
  return ok;
}

bool argumentStarts(const Worksheet& ws, const uint8_t* code, size_t stop, int count,
                    std::vector<size_t>& starts) {
  const FunctionTable& table = ws.session().functionTable();
  size_t last = code[0];
  std::vector<size_t> stack;
  size_t pos = 2;
  while (pos < stop) {
    uint8_t opcode = code[pos];
    size_t next = WalkCode(table, code, pos, last);
    if (next == 0) return false;
    size_t pops = 0;
    bool pushes = true;
    if (opcode == op::kRangeFunction) {
      // The operand after it names the range and is not pushed; the
      // function takes one argument per column of the range.
      if (next > last || (code[next] != op::kRef && code[next] != op::kRange)) return false;
      CellHandle a = readWord(code + next + 1) & kHandleMask;
      CellHandle b = code[next] == op::kRange ? readWord(code + next + 5) & kHandleMask : a;
      if (a == kNoCell || b == kNoCell) return false;
      pops = static_cast<size_t>(std::abs(ws.cell(a).column - ws.cell(b).column) + 1);
      next = WalkCode(table, code, next, last);
      if (next == 0) return false;
    } else {
      uint8_t c = table.operandClass(opcode);
      switch (c) {
        case cls::kConstant:
        case cls::kRef:
        case cls::kRange:
        case cls::kInteger:
        case cls::kString:
        case cls::kExternal:
          break;
        case cls::kParen:
        case cls::kUnary:
        case cls::kPostfix:
          pops = 1;
          break;
        case cls::kBinary:
          pops = 2;
          break;
        case cls::kList:
          pops = code[pos + 1];
          break;
        case cls::kUserFunction: {
          const UserFunction* f = ws.functions.get(code[pos + 1]);
          pops = f ? static_cast<size_t>(f->argumentCount) : 0;
          break;
        }
        default:
          if (c >= cls::kArgs0 && c <= cls::kArgs4) {
            pops = c - cls::kArgs0;
            break;
          }
          pushes = false;  // the end mark
          break;
      }
    }
    if (!pushes || stack.size() < pops) return false;
    size_t start = pops ? stack[stack.size() - pops] : pos;
    stack.resize(stack.size() - pops);
    stack.push_back(start);
    pos = next;
  }
  if (pos != stop || stack.size() < static_cast<size_t>(count)) return false;
  starts.assign(stack.end() - count, stack.end());
  return true;
}

}  // namespace tw
