// The data commands' fill: a numeric series into a range (added, multiplied
// or raised by the step, in row or column order, whole series counted in
// integers so that they never drift), and Speed Fill, which continues the
// selection's first cell over the selection.
#pragma once

#include "commands/command.h"

namespace tw {

class CommandTable;

enum class FillType { Linear = 1, Multiply = 2, Power = 3 };

CommandResult FillRange(CommandContext& cx, const CellRange& range, FillType type, bool byRow,
                        double step, double start);
// A column letter continues as labels (A, B, C ...), a formula or label is
// copied over the selection, a number (or nothing) counts on by 1.
CommandResult SpeedFill(CommandContext& cx, const CellRange& selection);

inline constexpr const char* kFillOverflowMessage = "Number Too Large For A Cell";

// Sorts the rows of the remembered data range on up to four key columns
// (each key range's first column, with its ascending flag): numbers before
// texts when ascending, texts first when descending; the second key sorts
// runs equal in the first, and so on. Cells move with their rows inside the
// range's columns; formulas outside the range keep pointing at the same
// positions. Nothing happens without a data range and a first key; a key
// column outside the range's columns is refused.
CommandResult SortRange(CommandContext& cx);
// The Ascend/Descend button: the selection sorted on its first column.
CommandResult SortSelection(CommandContext& cx, const CellRange& selection, bool ascending);

inline constexpr const char* kSortMemoryMessage = "Insufficient Memory";
inline constexpr const char* kSortErrorMessage = "Error While Sorting";
inline constexpr const char* kSortKeyOutsideMessage = "Sort Key Outside Data Range";

// DATAFILL range, start, step, kind, flag (1: by row); SPEEDFILL [range];
// DATASORT data, key 1, order 1, ... key 4, order 4; SORTASCEND, SORTDESCEND.
void addDataCommands(CommandTable& table);

}  // namespace tw
