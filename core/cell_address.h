// Cell addresses and ranges and their text forms (A1, $B$2, B:A1, A1..C3).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

struct CellAddress {
  int16_t column = 0;
  int16_t row = 0;
  bool operator==(const CellAddress&) const = default;
};

// Two corners, column first. The empty range has -1 in col1.
struct CellRange {
  int16_t col1 = -1;
  int16_t row1 = 0;
  int16_t col2 = 0;
  int16_t row2 = 0;

  static CellRange cell(int row, int col) {
    return {int16_t(col), int16_t(row), int16_t(col), int16_t(row)};
  }
  static CellRange of(int row1, int col1, int row2, int col2) {
    return {int16_t(col1), int16_t(row1), int16_t(col2), int16_t(row2)};
  }
  bool valid() const { return col1 != -1 && row1 != -1; }
  bool isSingleCell() const { return col1 == col2 && row1 == row2; }
  // Each pair of coordinates put in ascending order.
  CellRange ordered() const;
  bool contains(int row, int col) const;  // on an ordered range
  bool operator==(const CellRange&) const = default;
};

constexpr CellRange kEmptyRange{};

// Absolute flags of a parsed range, in the order the compiler needs them.
enum AbsoluteFlag : uint8_t {
  kAbsRow1 = 1,
  kAbsCol1 = 2,
  kAbsRow2 = 4,
  kAbsCol2 = 8,
};

inline bool validRow(int row) {
  return (row & ~0x1FFF) == 0;
}
inline bool validColumn(int col) {
  return (col & ~0xFF) == 0;
}
inline bool validAddress(int row, int col) {
  return validRow(row) && validColumn(col);
}

// "A".."Z", "AA".."IV". Also names sheets (0 = "A").
std::string ColumnLetters(int col);
// sheetRows 0 or 8192: an undivided worksheet.
std::string AddressText(int row, int col, bool rowAbsolute, bool colAbsolute, int sheetRows);
std::string RangeText(const CellRange& range, int sheetRows, uint8_t absFlags = 0);

// One corner of a range text: "$A$1", "B:A1". Letters and digits are bounded
// so that no run can overflow; trailing text fails.
struct ParsedCorner {
  int row = 0;
  int col = 0;
  bool rowAbsolute = false;
  bool colAbsolute = false;
  bool ok = false;  // syntactically an address (the position may still be off the sheet)
};
ParsedCorner parseCorner(std::string_view upperText, int sheetRows);

}  // namespace tw
