// Inserting and deleting whole rows and columns. Cells shift by relinking
// the cell store, so formulas keep their meaning; references to deleted
// cells become ERR; remembered ranges shift with the cells. Row operations
// stay inside the page (sheet) that holds the block's last row, and "Across
// Row" repeats one at the same row of every page.
#pragma once

#include "commands/command.h"

namespace tw {

class Worksheet;

// The operation code's bits.
enum InsertDeleteBits {
  kOpColumns = 1,
  kOpRows = 2,
  kOpInsert = 4,
  kOpPageBreak = 8,
};

// range's rows (or columns), in whichever order its corners are, give the
// first and the count. "Cells in last Column" or "CELLS in bottom row" when
// an insert would push cells off the sheet (or off the page); then nothing
// changes.
CommandResult InsertDelete(CommandContext& cx, int op, const CellRange& range, bool acrossPages);

// INSERTCOL, DELETECOL, INSERTROW, DELETEROW (a cell or a range), the
// across-page forms INSERTROWS and DELETEROWS, and PAGEBREAK.
void addInsertDeleteCommands(CommandTable& table);

}  // namespace tw
