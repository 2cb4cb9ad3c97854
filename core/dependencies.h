// The dependency graph: every cell lists the formula cells that refer to it.
#pragma once

#include "core/cell.h"

namespace tw {

class Worksheet;

// Links the formula into the list of every cell it names (each cell of each
// range), creating missing cells as Blanks. A formula is registered at most
// once between two unregistrations; nothing is registered while the error
// flag is raised.
void RegisterDependencies(Worksheet& ws, CellHandle formula);
// Removes the formula's links; missing cells are skipped.
void UnregisterDependencies(Worksheet& ws, CellHandle formula);
// Before a cell record is destroyed while formulas still refer to it: each
// dependent loses its links, its references to the cell become destroyed
// (a range with such a corner loses both corners), its surviving references
// are linked again, and it is marked ERR and recalculated. Remembered ranges
// and range names with a corner on the cell are reset; the cell's content is
// freed.
void DetachReferencesTo(Worksheet& ws, CellHandle cell);

}  // namespace tw
