// The dependency graph: every cell lists the formula cells that refer to it.
#pragma once

#include <vector>

#include "core/cell.h"

namespace tw {

class Worksheet;

// Links the formula into the list of every cell it names (each cell of each
// range), creating missing cells as Blanks. A formula is registered at most
// once between two unregistrations; nothing is registered while the error
// flag is raised.
void RegisterDependencies(Worksheet& ws, CellHandle formula);
// The same for many formulas, with the lists registering them one after
// another in the given order would make, but reaching the cells row by row:
// a range down a column costs a walk of the sheet's memory once for all the
// formulas, not once each. Stops when the error flag is raised.
void RegisterDependenciesInOrder(Worksheet& ws, const std::vector<CellHandle>& formulas);
// Removes the formula's links; missing cells are skipped.
void UnregisterDependencies(Worksheet& ws, CellHandle formula);
// Before a cell record is destroyed while formulas still refer to it: each
// dependent loses its links, its references to the cell become destroyed
// (a range with such a corner loses both corners), its surviving references
// are linked again, and it is marked ERR and recalculated. Remembered ranges
// and range names with a corner on the cell are reset; the cell's content is
// freed.
void DetachReferencesTo(Worksheet& ws, CellHandle cell);
// The formulas on the cell's list of dependents.
std::vector<CellHandle> DependentsOf(Worksheet& ws, CellHandle cell);
// The part of DetachReferencesTo that leaves registration to the caller,
// who has unregistered the dependents (found with DependentsOf before) and
// registers them again later: their references to the cell become
// destroyed and they are marked ERR; what is left of the cell's list of
// dependents is dropped.
void NullReferencesTo(Worksheet& ws, CellHandle cell, const std::vector<CellHandle>& dependents);

}  // namespace tw
