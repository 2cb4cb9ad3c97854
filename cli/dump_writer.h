// The --dump listing: a line per stored cell of a range, tab-separated:
// address, kind, input text, value, and the text as the cell shows it in
// its column (one character a column, never spilling).
#pragma once

#include <ostream>
#include <string>

#include "core/cell.h"
#include "core/cell_address.h"

namespace tw {

class Worksheet;

// The kind as the listing names it ("numformula", "label:err" ...).
std::string cellTypeName(const Cell& c);
// The value column, and the shown text, of one cell.
std::string cellValueText(const Worksheet& ws, CellHandle h);
std::string cellDisplayText(const Worksheet& ws, CellHandle h);

// Writes the lines straight into one buffer that goes out in large pieces.
void writeDump(Worksheet& ws, const CellRange& range, std::ostream& out);

}  // namespace tw
