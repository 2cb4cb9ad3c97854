#include "core/evaluator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/compiler.h"
#include "core/display_format.h"
#include "core/formula_code.h"
#include "core/function_table.h"
#include "core/numeric_rules.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

void EvalState::reset(Worksheet* w, CellHandle c, const uint8_t* formula) {
  ws = w;
  cell = c;
  code = formula;
  pc = 2;
  sp = 0;
  poolUsed = 0;
  error = false;
  fault = false;
  argCount = 0;
  opcode = 0;
  lastCell = kNoCell;
  lastSheet = w;
  acc.reset();
  queryCount = 0;
  inQuery = false;
  queryX = 0;
}

Evaluator::Evaluator(Session& session) : session_(session), table_(session.functionTable()) {}
Evaluator::~Evaluator() = default;

EvalState& Evaluator::acquire() {
  if (static_cast<size_t>(depth_) >= states_.size())
    states_.push_back(std::make_unique<EvalState>());
  EvalState& st = *states_[depth_++];
  current_ = &st;
  return st;
}

namespace {

// Releases the evaluation level when a scope ends.
class LevelGuard {
 public:
  LevelGuard(int& depth, EvalState*& current, std::vector<std::unique_ptr<EvalState>>& states)
      : depth_(depth), current_(current), states_(states) {}
  ~LevelGuard() {
    --depth_;
    current_ = depth_ > 0 ? states_[depth_ - 1].get() : nullptr;
  }

 private:
  int& depth_;
  EvalState*& current_;
  std::vector<std::unique_ptr<EvalState>>& states_;
};

}  // namespace

// --- Stack primitives ---------------------------------------------------------

void Evaluator::compact(EvalState& st) {
  uint8_t fresh[kStringPoolSize];
  size_t used = 0;
  for (int i = 1; i <= st.sp; ++i) {
    Slot& s = st.slots[i];
    if (s.type != SlotType::String) continue;
    size_t n = size_t(st.pool[s.text]) + 1;
    std::memcpy(fresh + used, st.pool + s.text, n);
    s.text = static_cast<uint16_t>(used);
    used += n;
  }
  std::memcpy(st.pool, fresh, used);
  st.poolUsed = used;
}

bool Evaluator::setString(EvalState& st, Slot& s, std::string_view text) {
  char copy[kMaxText];
  size_t n = std::min(text.size(), size_t(kMaxText));
  if (n != 0) std::memcpy(copy, text.data(), n);  // an empty view may have no data
  s.type = SlotType::Number;                      // not counted as live while the pool is compacted
  s.number = 0;
  if (st.poolUsed + n + 1 > kStringPoolSize) compact(st);
  s.type = SlotType::String;
  if (st.poolUsed + n + 1 > kStringPoolSize) {
    st.error = true;
    n = 0;
    if (st.poolUsed + 1 > kStringPoolSize) {
      s.type = SlotType::Number;
      return false;
    }
  }
  s.text = static_cast<uint16_t>(st.poolUsed);
  st.pool[st.poolUsed] = static_cast<uint8_t>(n);
  std::memcpy(st.pool + st.poolUsed + 1, copy, n);
  st.poolUsed += n + 1;
  return n == std::min(text.size(), size_t(kMaxText));
}

void Evaluator::PushNumber(EvalState& st, double x) {
  if (st.sp >= kStackSlots) {
    st.fault = true;
    return;
  }
  Slot& s = st.slots[++st.sp];
  s = Slot{};
  s.number = x;
}

void Evaluator::PushString(EvalState& st, std::string_view text) {
  PushNumber(st, 0);
  if (!st.fault) setString(st, st.top(), text);
}

void Evaluator::PushError(EvalState& st) {
  PushNumber(st, -1);
  if (!st.fault) st.top().error = true;
}

Slot Evaluator::Pop(EvalState& st) {
  if (st.sp <= 0) {
    st.fault = true;
    return Slot{};
  }
  return st.slots[st.sp--];
}

void Evaluator::PushCellValue(EvalState& st, Worksheet& ws, CellHandle h) {
  if (h == kNoCell) {
    PushString(st, {});
    if (!st.fault) {
      st.top().type = SlotType::Missing;
      st.top().error = true;
    }
    return;
  }
  const Cell& c = ws.cell(h);
  switch (classify(c)) {
    case CellClass::StringResult:
      PushString(st, pstringView(c.value.text));
      break;
    case CellClass::NumberFormula:
    case CellClass::Real:
      PushNumber(st, c.value.number);
      break;
    case CellClass::Integer:
      PushNumber(st, c.value.integer);
      break;
    case CellClass::Label: {
      std::string_view t = pstringView(c.content);
      PushString(st, t.empty() ? t : t.substr(1));
      break;
    }
    case CellClass::Blank:
      PushString(st, {});
      break;
    case CellClass::Error:
      PushError(st);
      break;
  }
  if (!st.fault) st.top().sourceCell = h;
}

void Evaluator::setResult(EvalState& st, double x) {
  if (st.argCount == 0) {
    PushNumber(st, x);
    return;
  }
  st.sp -= st.argCount - 1;
  Slot& s = st.top();
  s.number = x;
  s.type = SlotType::Number;
  s.rangeAt = 0;
}

void Evaluator::setResultString(EvalState& st, std::string_view text) {
  std::string copy(text.substr(0, kMaxText));
  if (st.argCount == 0) {
    PushString(st, copy);
    return;
  }
  st.sp -= st.argCount - 1;
  Slot& s = st.top();
  s.rangeAt = 0;
  setString(st, s, copy);
}

void unknownOpcode(Evaluator& ev, EvalState& st) {
  ev.setResult(st, -1);
  st.error = true;
}

// --- The operator opcodes -------------------------------------------------------

static std::string slotText(EvalState& st, const Slot& s, char decimal) {
  if (s.type == SlotType::Number) return GeneralText(s.number, decimal);
  return std::string(st.text(s));
}

void Evaluator::binary(EvalState& st, uint8_t opcode) {
  if (st.sp < 2) {
    st.fault = true;
    return;
  }
  Slot& a = st.slots[st.sp - 1];
  Slot& b = st.slots[st.sp];
  bool error = a.error || b.error;
  double x = a.number, y = b.number, r = 0;
  bool isString = false;
  std::string joined;
  switch (opcode) {
    case op::kAdd:
      r = x + y;
      break;
    case op::kSubtract:
      r = x - y;
      break;
    case op::kMultiply:
      r = x * y;
      break;
    case op::kDivide:
      if (y == 0) {
        st.error = true;
        r = 1;
      } else {
        r = x / y;
      }
      break;
    case op::kPower: {
      MathResult p = powerRule(x, y);
      r = p.value;
      if (p.error) st.error = true;
      break;
    }
    case op::kEqual:
    case op::kNotEqual:
    case op::kLessEqual:
    case op::kGreaterEqual:
    case op::kLess:
    case op::kGreater: {
      int c;
      if (b.type == SlotType::String && a.type == b.type) {
        int k = st.text(a).compare(st.text(b));
        c = k < 0 ? -1 : (k > 0 ? 1 : 0);
      } else {
        c = x < y ? -1 : (x > y ? 1 : 0);
        if (std::isnan(x) || std::isnan(y)) c = 2;
      }
      bool t = false;
      switch (opcode) {
        case op::kEqual:
          t = c == 0;
          break;
        case op::kNotEqual:
          t = c != 0;
          break;
        case op::kLessEqual:
          t = c <= 0;
          break;
        case op::kGreaterEqual:
          t = c >= 0 && c != 2;
          break;
        case op::kLess:
          t = c < 0;
          break;
        default:
          t = c > 0 && c != 2;
          break;
      }
      r = t ? 1 : 0;
      break;
    }
    case op::kAnd:
      r = static_cast<int16_t>(integerRule(x) & integerRule(y));
      break;
    case op::kOr:
      r = static_cast<int16_t>(integerRule(x) | integerRule(y));
      break;
    case op::kConcat: {
      char decimal = session_.settings().decimalSeparator;
      joined = slotText(st, a, decimal) + slotText(st, b, decimal);
      isString = true;
      break;
    }
    default:
      break;
  }
  --st.sp;
  Slot& out = st.top();
  out.rangeAt = 0;
  out.sourceCell = kNoCell;
  out.error = error || st.error;
  st.error = false;
  if (isString) {
    out.number = 0;
    setString(st, out, joined);
    if (st.error) out.error = true;
    st.error = false;
  } else {
    out.type = SlotType::Number;
    out.number = r;
  }
}

void Evaluator::external(EvalState& st, size_t at) {
  const uint8_t* code = st.code;
  size_t last = code[0];
  size_t next = WalkCode(table_, code, at, last);
  if (next == 0) {
    st.fault = true;
    return;
  }
  st.pc = next;
  auto corner = [&](int k) { return static_cast<int16_t>(readU16(code + at + 1 + 2 * k)); };
  int col = corner(0), row = corner(1);
  std::string path(reinterpret_cast<const char*>(code + at + 9));
  Worksheet* other = session_.findExternal(path);
  if (!other || !validAddress(row, col)) {
    PushError(st);
    st.top().type = SlotType::Missing;
  } else {
    CellHandle h = other->FindCell(row, col);
    PushCellValue(st, *other, h);
    st.lastCell = h;
    st.lastSheet = other;
  }
  if (!st.fault) st.top().rangeAt = static_cast<uint8_t>(at);
}

bool Evaluator::busyWith(const Worksheet& ws, CellHandle h) const {
  for (int d = 0; d < depth_; ++d)
    if (states_[d]->ws == &ws && states_[d]->cell == h) return true;
  return false;
}

// A function written in worksheet cells: the arguments go into the top row of
// the range, then the formula in its bottom-left cell is evaluated.
void Evaluator::rangeFunction(EvalState& st, size_t at) {
  (void)at;
  const uint8_t* code = st.code;
  size_t last = code[0];
  if (st.pc > last) {
    st.fault = true;
    return;
  }
  uint8_t operand = code[st.pc];
  size_t size = operand == op::kRef ? 5 : (operand == op::kRange ? 9 : 0);
  if (size == 0 || st.pc + size > last) {
    st.fault = true;
    return;
  }
  CellHandle a = readWord(code + st.pc + 1) & kHandleMask;
  CellHandle b = operand == op::kRange ? readWord(code + st.pc + 5) & kHandleMask : a;
  st.pc += size;
  Worksheet& ws = *st.ws;
  CellRange r{};
  if (a != kNoCell && b != kNoCell)
    r = CellRange::of(ws.cell(a).row, ws.cell(a).column, ws.cell(b).row, ws.cell(b).column)
            .ordered();
  int n = r.valid() ? r.col2 - r.col1 + 1 : 0;
  if (st.sp < n) {
    st.fault = true;
    return;
  }
  st.argCount = n;
  // One row would put the arguments over the formula itself.
  bool usable = r.valid() && r.row1 != r.row2;
  for (int i = 0; usable && i < n; ++i) {
    CellHandle target = ws.FindCell(r.row1, r.col1 + i);
    if (target != kNoCell && busyWith(ws, target)) usable = false;
  }
  CellHandle formula = usable ? ws.FindCell(r.row2, r.col1) : kNoCell;
  if (formula != kNoCell && busyWith(ws, formula)) usable = false;
  if (!usable) {
    unknownOpcode(*this, st);
    return;
  }
  for (int i = 0; i < n; ++i) {
    double x = st.slots[st.sp - n + 1 + i].number;
    CellHandle target = ws.GetOrCreateCell(r.row1, r.col1 + i);
    if (target == kNoCell) continue;
    ws.ClearCell(target);
    Cell& c = ws.cell(target);
    c.setType(CellType::Real);
    c.kind &= kKindTypeMask;
    c.value.number = x;
  }
  if (formula == kNoCell || !isFormula(ws.cellPtr(formula))) {
    setResult(st, 0);
    return;
  }
  EvalResult inner = EvaluateCode(ws, ws.cell(formula).content, formula);
  if (inner.isString)
    setResultString(st, inner.text);
  else
    setResult(st, inner.number);
  if (inner.error) st.error = true;
}

void Evaluator::callFunction(EvalState& st, uint8_t opcode) {
  uint8_t c = table_.operandClass(opcode);
  int n = 0;
  size_t last = st.code[0];
  if (c >= cls::kArgs0 && c <= cls::kArgs4) {
    n = c - cls::kArgs0;
  } else if (c == cls::kList) {
    if (st.pc >= last) {
      st.fault = true;
      return;
    }
    n = st.code[st.pc++];
  } else if (c == cls::kUserFunction) {
    if (st.pc >= last) {
      st.fault = true;
      return;
    }
    const UserFunction* f = st.ws->functions.get(st.code[st.pc++]);
    n = f ? f->argumentCount : 0;
    if (!f) opcode = 0x1B;  // no such function: ERR without touching the stack
  }
  if (st.sp < n) {
    st.fault = true;
    return;
  }
  bool anyError = false;
  for (int i = st.sp - n + 1; i <= st.sp; ++i)
    if (st.slots[i].error && st.slots[i].rangeAt == 0) anyError = true;
  st.opcode = opcode;
  st.argCount = n;
  const FunctionEntry& entry = table_[opcode];
  if (entry.unsettled) unsettledSeen = true;
  (entry.handler ? entry.handler : unknownOpcode)(*this, st);
  if (st.fault || st.sp < 1) {
    st.fault = true;
    return;
  }
  Slot& out = st.top();
  if (st.error || (anyError && entry.errors == ArgumentErrors::MakeErr)) out.error = true;
  st.error = false;
}

void Evaluator::step(EvalState& st, uint8_t opcode, size_t at) {
  const uint8_t* code = st.code;
  size_t last = code[0];
  auto need = [&](size_t bytes) {
    if (st.pc + bytes > last) {
      st.fault = true;
      return false;
    }
    return true;
  };
  switch (opcode) {
    case op::kConstant:
      if (!need(8)) return;
      PushNumber(st, readDouble(code + st.pc));
      st.pc += 8;
      break;
    case op::kRef: {
      if (!need(4)) return;
      CellHandle h = readWord(code + st.pc) & kHandleMask;
      st.pc += 4;
      PushCellValue(st, *st.ws, h);
      st.lastCell = h;
      st.lastSheet = st.ws;
      break;
    }
    case op::kRange: {
      if (!need(8)) return;
      CellHandle h = readWord(code + st.pc) & kHandleMask;
      CellHandle other = readWord(code + st.pc + 4) & kHandleMask;
      st.pc += 8;
      PushCellValue(st, *st.ws, h);
      if (st.fault) return;
      st.top().rangeAt = static_cast<uint8_t>(at);
      if (h == kNoCell || other == kNoCell) st.top().error = true;
      st.lastCell = h;
      st.lastSheet = st.ws;
      break;
    }
    case op::kEnd:
    case op::kParen:
      break;
    case op::kInteger:
      if (!need(2)) return;
      PushNumber(st, static_cast<int16_t>(readU16(code + st.pc)));
      st.pc += 2;
      break;
    case op::kString: {
      size_t end = st.pc;
      while (end <= last && code[end] != 0) ++end;
      if (end > last) {
        st.fault = true;
        return;
      }
      PushString(st, std::string_view(reinterpret_cast<const char*>(code + st.pc), end - st.pc));
      st.pc = end + 1;
      break;
    }
    case op::kExternal:
      unsettledSeen = true;
      external(st, at);
      break;
    case op::kNegate:
      if (st.sp < 1) {
        st.fault = true;
        return;
      }
      st.top().number = -st.top().number;
      st.top().type = SlotType::Number;
      break;
    case op::kUnaryPlus:
      if (st.sp < 1) st.fault = true;
      break;
    case op::kNot:
      if (st.sp < 1) {
        st.fault = true;
        return;
      }
      st.top().number = st.top().number == 0 ? 1 : 0;
      st.top().type = SlotType::Number;
      break;
    case op::kPercent:
      if (st.sp < 1) {
        st.fault = true;
        return;
      }
      st.top().number *= 0.01;
      st.top().type = SlotType::Number;
      break;
    case op::kFactorial: {
      if (st.sp < 1) {
        st.fault = true;
        return;
      }
      Slot& s = st.top();
      double n = std::nearbyint(s.number);
      s.type = SlotType::Number;
      if (!(n >= 0 && n <= 170)) {
        st.error = true;
        s.number = -1;
      } else {
        double p = 1;
        for (int k = 2; k <= static_cast<int>(n); ++k) p *= k;
        s.number = p;
      }
      break;
    }
    case op::kRangeFunction:
      unsettledSeen = true;
      rangeFunction(st, at);
      break;
    default:
      if ((opcode >= op::kAdd && opcode <= op::kOr) || opcode == op::kConcat) {
        binary(st, opcode);
        return;
      }
      callFunction(st, opcode);
      return;
  }
  if (opcode > op::kOr && !st.fault && st.sp >= 1) {
    Slot& t = st.top();
    if (st.error) t.error = true;
    if (opcode != op::kUnaryPlus) t.rangeAt = 0;
    st.error = false;
  }
}

EvalResult Evaluator::run(EvalState& st) {
  EvalResult result;
  if (!wellFormedCode(st.code)) {
    result.error = true;
    result.number = -1;
    return result;
  }
  size_t last = st.code[0];
  while (st.pc <= last && !st.fault) {
    size_t at = st.pc;
    uint8_t opcode = st.code[st.pc++];
    if (opcode == op::kEnd) break;
    step(st, opcode, at);
    if (st.sp >= 1) {
      st.positions[st.sp] = static_cast<uint8_t>(at);
      if (!std::isfinite(st.top().number)) st.fault = true;
    }
  }
  if (st.fault || st.sp < 1) {
    result.error = true;
    result.number = -1;
    return result;
  }
  const Slot& t = st.top();
  result.error = t.error;
  if (t.error) {
    result.number = -1;
  } else if (t.type == SlotType::String) {
    result.isString = true;
    result.text = std::string(st.text(t));
  } else {
    result.number = t.number;
  }
  return result;
}

void Evaluator::EvaluateCell(Worksheet& ws, CellHandle h) {
  Cell& c = ws.cell(h);
  c.kind &= kKindTypeMask;
  if (!isFormula(&c) || !c.content) return;
  EvalResult r;
  if (depth_ >= kMaxNesting) {
    r.error = true;
    r.number = -1;
  } else {
    EvalState& st = acquire();
    LevelGuard guard(depth_, current_, states_);
    st.reset(&ws, h, c.content);
    st.userArgs.clear();
    r = run(st);
  }
  Cell& cell = ws.cell(h);
  if (cell.type() == CellType::StringFormula) freePString(cell.value.text);
  if (r.isString) {
    cell.setType(CellType::StringFormula);
    cell.value.raw = 0;
    if (!r.text.empty()) cell.value.text = makePString(r.text);
  } else {
    cell.setType(CellType::NumberFormula);
    cell.value.number = r.error ? -1.0 : r.number;
  }
  if (r.error)
    cell.kind |= kKindErr;
  else
    cell.kind &= ~kKindErr;
}

EvalResult Evaluator::EvaluateCode(Worksheet& ws, const uint8_t* code, CellHandle context,
                                   const NestedOptions* options) {
  if (depth_ >= kMaxNesting) {
    EvalResult r;
    r.error = true;
    r.number = -1;
    return r;
  }
  EvalState* outer = current_;
  EvalState& st = acquire();
  LevelGuard guard(depth_, current_, states_);
  st.reset(&ws, context, code);
  if (options && options->arguments)
    st.userArgs = *options->arguments;
  else if (outer)
    st.userArgs = outer->userArgs;
  else
    st.userArgs.clear();
  if (options) {
    st.inQuery = options->inQuery;
    st.queryX = options->queryX;
  }
  return run(st);
}

EvalResult Evaluator::EvaluateText(Worksheet& ws, std::string_view text,
                                   const NestedOptions* options) {
  FormulaCode code;
  if (!CompileFormula(ws, text, code)) {
    ws.session().error().clear();
    EvalResult r;
    r.error = true;
    r.number = -1;
    return r;
  }
  return EvaluateCode(ws, code.bytes, kNoCell, options);
}

}  // namespace tw
