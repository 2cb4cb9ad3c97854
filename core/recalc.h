// Recalculation by dependency: a change re-evaluates exactly the formulas
// that depend on it, each once and after everything it depends on.
#pragma once

#include <vector>

#include "core/cell.h"
#include "core/cell_address.h"

namespace tw {

class Worksheet;
class Session;

// The cell and every formula that depends on it, directly or not.
void RecalcFrom(Worksheet& ws, CellHandle cell);
// Every formula of the used area. Does nothing while a full recalculation
// runs; shows "Calc Stack Exceeded" when memory for the walk runs out.
void RecalcAll(Worksheet& ws);
void RecalcRange(Worksheet& ws, const CellRange& range);
// The cells and every formula that depends on them, in one evaluation order.
void RecalcCells(Worksheet& ws, const std::vector<CellHandle>& cells);
// Every open worksheet in turn.
void RecalcAllWindows(Session& session);

}  // namespace tw
