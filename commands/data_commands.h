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

// DATAFILL range, start, step, kind, flag (1: by row); SPEEDFILL [range].
void addDataCommands(CommandTable& table);

}  // namespace tw
