// Turning a range text (A1..C3, $B$2, B:A1, a range name, RANGE, CURSOR)
// into a range of the worksheet.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/cell_address.h"

namespace tw {

class Worksheet;

struct ParsedRange {
  CellRange range;       // as typed: corners are not put in order
  uint8_t absFlags = 0;  // AbsoluteFlag bits of the two corners
  bool ok = false;       // false: not a range; the error flag is raised
  int nameNumber = 0;    // the range name's entry when the text was one
};

enum RangeTextOption : unsigned {
  kStrictRange = 0,
  kRangeWords = 1,  // RANGE and CURSOR name the selection and the current cell
  kSingleDot = 2,   // A1.B5 as well as A1..B5
};

// An empty text gives the empty range with ok set.
ParsedRange ParseRange(Worksheet& ws, std::string_view text, unsigned options = kStrictRange);

}  // namespace tw
