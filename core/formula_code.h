// The formula byte code: a length-prefixed reverse-Polish string whose
// layout is that of the worksheet files. Byte 0 holds N, the index of the
// last byte; byte 1 is 0; the code runs from byte 2; byte N is the end mark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/cell.h"
#include "core/function_table.h"

namespace tw {

class Worksheet;

namespace op {
constexpr uint8_t kConstant = 0x00;  // 8-byte double
constexpr uint8_t kRef = 0x01;       // one reference word
constexpr uint8_t kRange = 0x02;     // second corner's word, then the first's
constexpr uint8_t kEnd = 0x03;
constexpr uint8_t kParen = 0x04;
constexpr uint8_t kInteger = 0x05;   // int16
constexpr uint8_t kString = 0x06;    // text, NUL
constexpr uint8_t kExternal = 0x07;  // four int16 corners, path, NUL
constexpr uint8_t kNegate = 0x08;
constexpr uint8_t kAdd = 0x09;
constexpr uint8_t kSubtract = 0x0A;
constexpr uint8_t kMultiply = 0x0B;
constexpr uint8_t kDivide = 0x0C;
constexpr uint8_t kPower = 0x0D;
constexpr uint8_t kEqual = 0x0E;
constexpr uint8_t kNotEqual = 0x0F;
constexpr uint8_t kLessEqual = 0x10;
constexpr uint8_t kGreaterEqual = 0x11;
constexpr uint8_t kLess = 0x12;
constexpr uint8_t kGreater = 0x13;
constexpr uint8_t kAnd = 0x14;
constexpr uint8_t kOr = 0x15;
constexpr uint8_t kNot = 0x16;
constexpr uint8_t kUnaryPlus = 0x17;
constexpr uint8_t kConcat = 0x18;
constexpr uint8_t kPercent = 0x19;
constexpr uint8_t kFactorial = 0x1A;
constexpr uint8_t kFirstFunction = 0x1F;
constexpr uint8_t kLastFunction = 0xBB;
constexpr uint8_t kUserFunction = 0xFE;   // 1-byte index follows
constexpr uint8_t kRangeFunction = 0xFF;  // a 0x01 or 0x02 operand follows
}  // namespace op

// Operand classes: what follows an opcode and how many arguments it takes.
namespace cls {
constexpr uint8_t kConstant = 0, kRef = 1, kRange = 2, kEnd = 3, kParen = 4, kInteger = 5,
                  kString = 6, kExternal = 7, kUnary = 8, kBinary = 9, kArgs0 = 10, kArgs1 = 11,
                  kArgs2 = 12, kArgs3 = 13, kArgs4 = 14, kList = 15, kPostfix = 16,
                  kUserFunction = 254;
}  // namespace cls

// In-memory reference word: the handle in bits 0-29, row absolute in bit 31,
// column absolute in bit 30. Zero is a reference whose cell was destroyed.
constexpr uint32_t kRowAbsoluteBit = 0x80000000u;
constexpr uint32_t kColAbsoluteBit = 0x40000000u;
inline uint32_t readWord(const uint8_t* p) {
  uint32_t w;
  std::memcpy(&w, p, 4);
  return w;
}
inline void writeWord(uint8_t* p, uint32_t w) {
  std::memcpy(p, &w, 4);
}
inline uint16_t readU16(const uint8_t* p) {
  return uint16_t(p[0] | (p[1] << 8));
}
inline void writeU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline double readDouble(const uint8_t* p) {
  double d;
  std::memcpy(&d, p, 8);
  return d;
}

constexpr size_t kMaxCode = 240;  // a code is well formed when N < 240

// A formula code outside a cell: bytes[0] = N, bytes[N] = 0x03.
struct FormulaCode {
  uint8_t bytes[256] = {};
  size_t size() const { return size_t(bytes[0]) + 1; }
  bool wellFormed() const { return bytes[0] < kMaxCode && bytes[bytes[0]] == op::kEnd; }
};

inline bool wellFormedCode(const uint8_t* code) {
  return code && code[0] >= 2 && code[0] < kMaxCode && code[code[0]] == op::kEnd;
}

// The position after the opcode at pos and its operand, or 0 when the
// operand would run past the last byte (index last). Every code walker uses
// this rule.
size_t WalkCode(const FunctionTable& table, const uint8_t* code, size_t pos, size_t last);

class UserFunctionTable;

// The check every formula read from a file passes before it is linked: a
// walk that stays inside the code and ends at its last byte, known opcodes
// only, a stack that never runs dry and ends with one value, user functions
// that exist with at most 10 arguments, and references on the sheet. The
// code is in file form, for a cell in column col.
bool formulaCodeValid(const FunctionTable& table, const uint8_t* code, int col,
                      const UserFunctionTable& functions);

// Converts every reference operand between the in-memory form and the
// position-independent form, relative to the formula cell (row, col). In the
// file form a word with bit 15 set holds a 14-bit relative offset; a
// destroyed reference is 0xFFFF, 0xFFFF. Converting to memory creates the
// cells referred to; a reference off the sheet becomes destroyed and the
// result is false.
enum class ReferenceForm { Memory, File };
bool ConvertReferences(Worksheet& ws, uint8_t* code, int row, int col, ReferenceForm to);

// Moves the relative references of in-memory code by the deltas, as a copy
// from one cell to another does: absolute coordinates stay, relative rows
// wrap at the sheet's 8192 rows, a relative column that leaves columns 0 to
// 255 becomes a destroyed reference (ERR), and so does a whole range when
// either corner does. Missing cells are created; false when one could not be.
bool RelocateReferences(Worksheet& ws, uint8_t* code, int rowDelta, int colDelta);

// Calls onRef(position) for each single reference and onRange(position)
// for each range, the position being that of the first reference word (a
// range's second word follows 4 bytes on).
template <class R, class G>
void forEachReferenceOperand(const FunctionTable& table, uint8_t* code, R&& onRef, G&& onRange) {
  size_t last = code[0];
  for (size_t pos = 2; pos < last;) {
    uint8_t opcode = code[pos];
    size_t next = WalkCode(table, code, pos, last);
    if (next == 0 || opcode == op::kEnd) return;
    if (opcode == op::kRef)
      onRef(pos + 1);
    else if (opcode == op::kRange)
      onRange(pos + 1);
    pos = next;
  }
}

// Calls fn(wordPosition) for each reference word of class 1 and 2 operands.
template <class F>
void forEachReferenceWord(const FunctionTable& table, const uint8_t* code, F&& fn) {
  size_t last = code[0];
  for (size_t pos = 2; pos < last;) {
    uint8_t opcode = code[pos];
    size_t next = WalkCode(table, code, pos, last);
    if (next == 0) return;
    if (opcode == op::kRef) {
      fn(pos + 1);
    } else if (opcode == op::kRange) {
      fn(pos + 1);
      fn(pos + 5);
    } else if (opcode == op::kEnd) {
      return;
    }
    pos = next;
  }
}

}  // namespace tw
