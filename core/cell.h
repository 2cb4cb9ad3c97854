// The cell record and the tests every part of the program makes on it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace tw {

// A cell record's handle in its worksheet's pool; 0 is "no cell". Handles
// fit in 30 bits so that a formula reference word can carry two flags.
using CellHandle = uint32_t;
constexpr CellHandle kNoCell = 0;
constexpr uint32_t kHandleMask = 0x3FFFFFFF;

constexpr int kRows = 8192;
constexpr int kColumns = 256;
constexpr int kMaxText = 240;  // cell texts, labels, formula code, strings

enum class CellType : uint8_t {
  StringFormula = 0,
  NumberFormula = 1,
  Real = 2,
  Integer = 3,
  Label = 4,
  Blank = 5,
};
// What the tests below see for a cell that does not exist.
constexpr uint8_t kMissingType = 255;

// Bits of Cell::kind beside the type.
constexpr uint8_t kKindTypeMask = 0x07;
constexpr uint8_t kKindErr = 0x08;       // the formula's last result is ERR
constexpr uint8_t kKindUnlinked = 0x10;  // formula read from a file, not yet linked
constexpr uint8_t kKindVisited = 0x20;   // recalculation walk mark
constexpr uint8_t kKindPlaced = 0x40;    // already in the evaluation order

// Bits of Cell::format.
constexpr uint8_t kFormatMask = 0x7F;
constexpr uint8_t kFormatProtected = 0x80;
constexpr uint8_t kFormatGlobal = 0x7F;  // use the worksheet's global format

// Bits of Cell::colour.
constexpr uint32_t kColourRgbMask = 0x00FFFFFF;
constexpr uint32_t kColourAutoText = 0x40000000;
constexpr uint32_t kColourAutoBack = 0x80000000;
constexpr uint32_t kDefaultColour = 0xC0000000;

// A length-prefixed byte string as cells hold it: byte 0 is the length,
// the characters follow. Owned by the cell that points at it.
using PString = uint8_t*;

// One packed record per cell that has content, attributes or dependents.
struct Cell {
  CellHandle next = kNoCell;  // next cell of the same row (higher column)
  uint32_t dependents = 0;    // first DependentLink index, 0 = none
  uint8_t font = 255;         // 255 = the worksheet's default font
  uint8_t size = 0;           // point size; 0 = the window's default
  uint8_t style = 0;          // bits 0-3 font style, 4-6 alignment, 7 ignore style
  uint8_t borders = 0;        // four 2-bit codes: left, bottom, right, top
  uint32_t colour = kDefaultColour;
  uint8_t format = 0xFF;  // bits 0-6 display format, bit 7 protected
  uint8_t column = 0;
  int16_t row = 0;
  uint8_t kind = static_cast<uint8_t>(CellType::Blank);
  PString content = nullptr;  // label text with prefix, or FormulaCode
  union Value {
    double number;  // Real, NumberFormula
    int16_t integer;
    PString text;  // StringFormula result (null = empty)
    uint64_t raw;
  } value{.raw = 0};

  CellType type() const { return static_cast<CellType>(kind & kKindTypeMask); }
  void setType(CellType t) { kind = static_cast<uint8_t>((kind & ~kKindTypeMask) | uint8_t(t)); }
  bool isErr() const { return (kind & kKindErr) != 0; }
  bool isProtected() const { return (format & kFormatProtected) != 0; }
  bool hasDefaultAttributes() const {
    return font == 255 && size == 0 && style == 0 && borders == 0 && colour == kDefaultColour;
  }
};

// What a cell holds, as readers of values see it: its type, or Error for a
// formula whose result is ERR (and for any kind byte that is not a type).
enum class CellClass : uint8_t {
  StringResult = 0,
  NumberFormula = 1,
  Real = 2,
  Integer = 3,
  Label = 4,
  Blank = 5,
  Error = 6,
};
inline CellClass classify(const Cell& c) {
  uint8_t k = c.kind & (kKindTypeMask | kKindErr);
  return k <= 5 ? static_cast<CellClass>(k) : CellClass::Error;
}

inline uint8_t typeCode(const Cell* c) {
  return c ? (c->kind & kKindTypeMask) : kMissingType;
}
inline bool isFormula(const Cell* c) {
  return typeCode(c) <= 1;
}
inline bool isNumber(const Cell* c) {
  uint8_t t = typeCode(c);
  return t >= 1 && t <= 3;
}
inline bool isText(const Cell* c) {
  uint8_t t = typeCode(c);
  return t == 0 || t == 4;
}
inline bool hasContent(const Cell* c) {
  uint8_t t = typeCode(c);
  return t != 5 && t != kMissingType;
}

// The number a cell holds: 0 for an ERR result, a text or a blank.
inline double numberValue(const Cell& c) {
  switch (c.type()) {
    case CellType::NumberFormula:
      return c.isErr() ? 0 : c.value.number;
    case CellType::Real:
      return c.value.number;
    case CellType::Integer:
      return c.value.integer;
    default:
      return 0;
  }
}

static_assert(sizeof(Cell) == 40, "the cell record is 40 bytes; pools and undo rely on it");

// Length-prefixed strings (at most 255 bytes), in an allocation of their
// own (makePString, freed by freePString) or in a block of texts that a
// cell pool made in bulk, which goes with the pool (freePString leaves such
// a string's place unused). The address tells them apart: the allocator
// gives even addresses, and a pool places its texts at odd ones.
static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ >= 2);
PString makePString(std::string_view text);
PString makePString(const uint8_t* bytes, size_t length);
inline bool isBlockText(const uint8_t* s) {
  return (reinterpret_cast<uintptr_t>(s) & 1) != 0;
}
inline void freePString(PString& s) {
  if (s && !isBlockText(s)) delete[] s;
  s = nullptr;
}
inline std::string_view pstringView(const uint8_t* s) {
  return s ? std::string_view(reinterpret_cast<const char*>(s + 1), s[0]) : std::string_view();
}

}  // namespace tw
