#include "core/cell_address.h"

#include <algorithm>

namespace tw {

CellRange CellRange::ordered() const {
  CellRange r = *this;
  if (r.col1 > r.col2) std::swap(r.col1, r.col2);
  if (r.row1 > r.row2) std::swap(r.row1, r.row2);
  return r;
}

bool CellRange::contains(int row, int col) const {
  return col >= col1 && col <= col2 && row >= row1 && row <= row2;
}

std::string ColumnLetters(int col) {
  std::string s;
  if (col < 26) {
    s += char('A' + std::max(col, 0));
  } else {
    s += char('A' + col / 26 - 1);
    s += char('A' + col % 26);
  }
  return s;
}

static bool divided(int sheetRows) {
  return sheetRows != 0 && sheetRows != 8192;
}

std::string AddressText(int row, int col, bool rowAbsolute, bool colAbsolute, int sheetRows) {
  row &= 0x1FFF;
  std::string s;
  if (divided(sheetRows)) {
    s = ColumnLetters(row / sheetRows);
    s += ':';
    row %= sheetRows;
  }
  if (colAbsolute) s += '$';
  s += ColumnLetters(col);
  if (rowAbsolute) s += '$';
  s += std::to_string(row + 1);
  return s;
}

std::string RangeText(const CellRange& range, int sheetRows, uint8_t absFlags) {
  if (!range.valid()) return {};
  std::string s =
      AddressText(range.row1, range.col1, absFlags & kAbsRow1, absFlags & kAbsCol1, sheetRows);
  if (!range.isSingleCell()) {
    s += "..";
    s += AddressText(range.row2, range.col2, absFlags & kAbsRow2, absFlags & kAbsCol2, sheetRows);
  }
  return s;
}

ParsedCorner parseCorner(std::string_view t, int sheetRows) {
  ParsedCorner p;
  size_t i = 0;
  int sheet = 0;
  auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || c == '_'; };
  // Column letters, possibly a sheet prefix followed by ":" and the column.
  for (int part = 0; part < 2; ++part) {
    if (i < t.size() && t[i] == '$') {
      p.colAbsolute = true;
      ++i;
    }
    int value = -1;
    size_t letters = 0;
    while (i < t.size() && isLetter(t[i])) {
      if (++letters > 3) return p;
      value = static_cast<unsigned char>(t[i]) + 26 * value - 39;
      ++i;
    }
    if (letters == 0) return p;
    if (part == 0 && i < t.size() && t[i] == ':') {
      sheet = value;
      p.colAbsolute = false;
      ++i;
      continue;
    }
    p.col = value;
    break;
  }
  if (i < t.size() && t[i] == '$') {
    p.rowAbsolute = true;
    ++i;
  }
  size_t digits = 0;
  int number = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
    if (++digits > 5) return p;
    number = number * 10 + (t[i] - '0');
    ++i;
  }
  if (digits == 0 || i != t.size()) return p;
  int divide = divided(sheetRows) ? sheetRows : 0;
  int row = number + sheet * divide - 1;
  p.row = row >= 0 ? row % 8192 : row;
  p.ok = true;
  return p;
}

}  // namespace tw
