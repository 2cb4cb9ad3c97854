// Moving the cell cursor: plain steps and End-mode jumps.
#pragma once

#include "core/cell_address.h"
#include "core/keys.h"

namespace tw {

class Worksheet;

// One step in a direction, kept on the sheet.
CellAddress stepFrom(int row, int col, Direction d, int count = 1);

// End mode: when the next cell in the direction has content, to the last
// cell with content before the first without; otherwise to the first cell
// with content. Searching right or down past the used area ends at column
// 255 or row 8191; left or up stops at column 0 or row 0.
CellAddress endMove(const Worksheet& ws, int row, int col, Direction d);

}  // namespace tw
