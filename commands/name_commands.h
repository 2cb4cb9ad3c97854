// The bulk operations on range names: names built from a block of labels,
// and the table of all names written into the sheet.
#pragma once

#include "core/cell_address.h"

namespace tw {

class Worksheet;

// Each row of the source holds a name in its first column and a range text
// (an address, two addresses joined by "..", or a name) in the next one.
// Blank or all-digit names are skipped. Stops with "Max names (240) Exceeded"
// when the table is full.
void BuildNames(Worksheet& ws, const CellRange& source);

// Every name as a left-aligned label in the target's column, its range text
// beside it, one name per row from the target's first cell down. The first
// entry cell entry refuses ends the table.
void NameTable(Worksheet& ws, const CellRange& target);

}  // namespace tw

namespace tw {

class CommandTable;

// RANGECREATE name, range; RANGEDELETE name; RANGERESET; RANGETABLE range;
// RANGEBUILD range.
void addNameCommands(CommandTable& table);

}  // namespace tw
