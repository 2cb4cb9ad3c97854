#include "core/formula_code.h"

#include "core/worksheet.h"

namespace tw {

size_t WalkCode(const uint8_t* code, size_t pos, size_t last) {
  if (pos > last) return 0;
  uint8_t c = operandClass(code[pos]);
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
  forEachReferenceWord(code, [&](size_t at) {
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

}  // namespace tw
