#include "core/range_parse.h"

#include <string>

#include "core/char_case.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

ParsedRange ParseRange(Worksheet& ws, std::string_view text, unsigned options) {
  ParsedRange out;
  std::string upper = upperCased(text.substr(0, 255));
  if (upper.empty()) {
    out.ok = true;
    return out;
  }
  auto fail = [&] {
    ws.session().error().raise();
    out.ok = false;
    return out;
  };
  Host& host = ws.session().host();
  if (options & kRangeWords) {
    if (upper == "RANGE") {
      CellRange selection;
      if (!host.currentSelection(selection)) return fail();
      out.range = selection;
      out.ok = true;
      return out;
    }
    if (upper == "CURSOR") {
      int row = 0, col = 0;
      if (!host.currentCell(row, col)) return fail();
      out.range = CellRange::cell(row, col);
      out.ok = true;
      return out;
    }
  }
  if (int n = ws.names.NameFromText(upper)) {
    out.range = ws.names.entry(n).range;
    out.nameNumber = n;
    out.absFlags = upper[0] == '$' ? (kAbsRow1 | kAbsCol1 | kAbsRow2 | kAbsCol2) : 0;
    out.ok = out.range.valid();
    if (!out.ok) ws.session().error().raise();
    return out;
  }
  std::string_view first = upper, second = upper;
  bool twoCorners = true;
  size_t dots = upper.find("..");
  if (dots != std::string::npos) {
    first = std::string_view(upper).substr(0, dots);
    second = std::string_view(upper).substr(dots + 2);
  } else if ((options & kSingleDot) && (dots = upper.find('.')) != std::string::npos) {
    first = std::string_view(upper).substr(0, dots);
    second = std::string_view(upper).substr(dots + 1);
  } else {
    twoCorners = false;
  }
  int sheetRows = ws.settings.sheetRows;
  ParsedCorner a = parseCorner(first, sheetRows);
  ParsedCorner b = parseCorner(second, sheetRows);
  if (!a.ok || !b.ok || !validAddress(a.row, a.col) || !validAddress(b.row, b.col)) return fail();
  out.range = CellRange::of(a.row, a.col, b.row, b.col);
  out.absFlags = (a.rowAbsolute ? kAbsRow1 : 0) | (a.colAbsolute ? kAbsCol1 : 0);
  if (twoCorners) out.absFlags |= (b.rowAbsolute ? kAbsRow2 : 0) | (b.colAbsolute ? kAbsCol2 : 0);
  out.ok = true;
  return out;
}

}  // namespace tw
