#include "core/formula_code.h"

#include "core/session.h"
#include "core/user_functions.h"
#include "core/worksheet.h"

namespace tw {

size_t WalkCode(const FunctionTable& table, const uint8_t* code, size_t pos, size_t last) {
  if (pos > last) return 0;
  uint8_t c = table.operandClass(code[pos]);
  size_t next = pos + 1;
  switch (c) {
    case cls::kConstant:
      next += 8;
      break;
    case cls::kRef:
      next += 4;
      break;
    case cls::kRange:
      next += 8;
      break;
    case cls::kInteger:
      next += 2;
      break;
    case cls::kList:
    case cls::kUserFunction:
      next += 1;
      break;
    case cls::kExternal:
      next += 8;
      [[fallthrough]];
    case cls::kString:
      while (next <= last && code[next] != 0) ++next;
      if (next > last) return 0;
      ++next;  // past the NUL
      break;
    default:
      break;
  }
  return next <= last + 1 ? next : 0;
}

namespace {

uint16_t toFileWord(int target, int own, bool absolute) {
  if (absolute) return static_cast<uint16_t>(target);
  return static_cast<uint16_t>(0x8000 | ((target - own) & 0x3FFF));
}

}  // namespace

bool ConvertReferences(Worksheet& ws, uint8_t* code, int row, int col, ReferenceForm to) {
  bool ok = true;
  forEachReferenceWord(ws.session().functionTable(), code, [&](size_t at) {
    uint8_t* p = code + at;
    if (to == ReferenceForm::File) {
      uint32_t w = readWord(p);
      CellHandle h = w & kHandleMask;
      if (h == kNoCell) {
        writeU16(p, 0xFFFF);
        writeU16(p + 2, 0xFFFF);
        return;
      }
      const Cell& target = ws.cell(h);
      writeU16(p, toFileWord(target.column, col, w & kColAbsoluteBit));
      writeU16(p + 2, toFileWord(target.row, row, w & kRowAbsoluteBit));
      return;
    }
    uint16_t cw = readU16(p), rw = readU16(p + 2);
    if (cw == 0xFFFF && rw == 0xFFFF) {
      writeWord(p, 0);
      return;
    }
    // A relative column wraps at 256 so that both the 14-bit offsets written
    // here and the 8-bit offsets of some other writers resolve.
    int c = (cw & 0x8000) ? ((col + cw) & 0xFF) : (cw & 0x1FFF);
    int r = (rw & 0x8000) ? ((row + rw) & 0x1FFF) : (rw & 0x1FFF);
    CellHandle h = ws.GetOrCreateCell(r, c);
    if (h == kNoCell) {
      ok = false;
      writeWord(p, 0);
      return;
    }
    uint32_t w = h;
    if (!(cw & 0x8000)) w |= kColAbsoluteBit;
    if (!(rw & 0x8000)) w |= kRowAbsoluteBit;
    writeWord(p, w);
  });
  return ok;
}

bool RelocateReferences(Worksheet& ws, uint8_t* code, int rowDelta, int colDelta) {
  bool ok = true;
  auto moved = [&](uint32_t w) -> uint32_t {
    CellHandle h = w & kHandleMask;
    if (h == kNoCell) return 0;
    const Cell& target = ws.cell(h);
    int r = target.row, c = target.column;
    if (!(w & kRowAbsoluteBit)) r = ((r + rowDelta) % kRows + kRows) % kRows;
    if (!(w & kColAbsoluteBit)) {
      c += colDelta;
      if (c < 0 || c >= kColumns) return 0;
    }
    CellHandle n = ws.GetOrCreateCell(r, c);
    if (n == kNoCell) {
      ok = false;
      return 0;
    }
    return n | (w & (kRowAbsoluteBit | kColAbsoluteBit));
  };
  forEachReferenceOperand(
      ws.session().functionTable(), code,
      [&](size_t at) { writeWord(code + at, moved(readWord(code + at))); },
      [&](size_t at) {
        uint32_t a = moved(readWord(code + at));
        uint32_t b = a ? moved(readWord(code + at + 4)) : 0;
        if (!a || !b) a = b = 0;
        writeWord(code + at, a);
        writeWord(code + at + 4, b);
      });
  return ok;
}

// --- The check of loaded formulas -------------------------------------------

namespace {

bool knownOpcode(uint8_t o) {
  // 0xBC to 0xFD have no function: a file may hold them; they take one
  // argument and evaluate to ERR.
  return o <= op::kFactorial || (o >= op::kFirstFunction && o < op::kUserFunction) ||
         o == op::kUserFunction || o == op::kRangeFunction;
}

// A file-form reference word pair: relative words always resolve; absolute
// ones must name a column of 0..255 and a row of 0..8191.
bool referenceValid(const uint8_t* p) {
  uint16_t cw = readU16(p), rw = readU16(p + 2);
  if (cw == 0xFFFF && rw == 0xFFFF) return true;
  if (!(cw & 0x8000) && cw >= kColumns) return false;
  if (!(rw & 0x8000) && rw >= kRows) return false;
  return true;
}

int resolvedColumn(const uint8_t* p, int col) {
  uint16_t cw = readU16(p);
  return (cw & 0x8000) ? ((col + cw) & 0xFF) : cw;
}

}  // namespace

bool formulaCodeValid(const FunctionTable& table, const uint8_t* code, int col,
                      const UserFunctionTable& functions) {
  size_t last = code[0];
  if (last < 3 || last >= kMaxCode || code[1] != 0 || code[last] != op::kEnd) return false;
  int depth = 0;
  for (size_t pos = 2;;) {
    if (pos > last) return false;  // an operand took the end mark
    uint8_t o = code[pos];
    size_t next = WalkCode(table, code, pos, last);
    if (next == 0) return false;
    if (o == op::kEnd) return pos == last && depth == 1;
    if (!knownOpcode(o)) return false;
    auto pop = [&](int n) {
      if (depth < n) return false;
      depth += 1 - n;
      return true;
    };
    uint8_t c = table.operandClass(o);
    if (o == op::kRangeFunction) {
      // Followed by the range holding the function, as one operand.
      if (next > last || (code[next] != op::kRef && code[next] != op::kRange)) return false;
      size_t after = WalkCode(table, code, next, last);
      if (after == 0) return false;
      int width = 1;
      if (code[next] == op::kRef) {
        if (!referenceValid(code + next + 1)) return false;
      } else {
        if (!referenceValid(code + next + 1) || !referenceValid(code + next + 5)) return false;
        width =
            std::abs(resolvedColumn(code + next + 1, col) - resolvedColumn(code + next + 5, col)) +
            1;
      }
      if (!pop(width)) return false;
      next = after;
    } else {
      switch (c) {
        case cls::kConstant:
        case cls::kInteger:
        case cls::kString:
          ++depth;
          break;
        case cls::kRef:
          if (!referenceValid(code + pos + 1)) return false;
          ++depth;
          break;
        case cls::kRange:
          if (!referenceValid(code + pos + 1) || !referenceValid(code + pos + 5)) return false;
          ++depth;
          break;
        case cls::kExternal: {
          const uint8_t* q = code + pos + 1;
          if (!validAddress(int16_t(readU16(q + 2)), int16_t(readU16(q))) ||
              !validAddress(int16_t(readU16(q + 6)), int16_t(readU16(q + 4))))
            return false;
          ++depth;
          break;
        }
        case cls::kParen:
          break;
        case cls::kUnary:
        case cls::kPostfix:
          if (depth < 1) return false;
          break;
        case cls::kBinary:
          if (!pop(2)) return false;
          break;
        case cls::kArgs0:
        case cls::kArgs1:
        case cls::kArgs2:
        case cls::kArgs3:
        case cls::kArgs4:
          if (!pop(c - cls::kArgs0)) return false;
          break;
        case cls::kList: {
          int count = code[pos + 1];
          if (count < 1 || !pop(count)) return false;
          break;
        }
        case cls::kUserFunction: {
          const UserFunction* f = functions.get(code[pos + 1]);
          if (!f || f->argumentCount > UserFunctionTable::kMaxArguments) return false;
          if (!pop(f->argumentCount)) return false;
          break;
        }
        default:
          return false;
      }
    }
    if (depth > 255) return false;
    pos = next;
  }
}

}  // namespace tw
