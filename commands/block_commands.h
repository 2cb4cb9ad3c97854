// The block engine: COPY with relative references adjusted, MOVE (cells
// relinked, so every reference and remembered range follows them), ERASE,
// and the value copies (formula text, value, transpose, scale, invert).
#pragma once

#include <functional>

#include "commands/command.h"

namespace tw {

class Worksheet;

enum class CopyKind { Formula = 0, Value = 1, Transpose = 2, Scale = 3, Invert = 4 };

// The target's shape: a many-column (or many-row) source, and any MOVE,
// keep only the target's first column (row); a one-cell source fills the
// target rectangle. "Copy Error" when the last cell written is off the sheet.
CommandResult CopyOrMove(CommandContext& cx, bool move, const CellRange& source,
                         const CellRange& target);
CommandResult EraseRange(CommandContext& cx, const CellRange& range);
CommandResult CopyValues(CommandContext& cx, CopyKind kind, const CellRange& source,
                         const CellRange& target, double factor);

// Shifts every remembered range corner that lies inside the window by the
// deltas: the data commands' ranges, the ranges of the current and of every
// named graph, range names, ranges commands registered, and the running
// macro's position. Each corner on its own, so a range stretches or shrinks.
void AdjustRemembered(Worksheet& ws, int rowDelta, int colDelta, const CellRange& window);
// Calls fn on every remembered range that is set (the running macro's
// position aside), graph ranges included; what fn leaves is kept.
void ForEachRememberedRange(Worksheet& ws, const std::function<void(CellRange&)>& fn);

// COPY, MOVE, BLANK, ERASE (the selection, unprompted), COPYFORM, COPYVAL,
// COPYTRANS, COPYSCALE, COPYINV, COPYVALUE (the copy dialog's kind).
void addBlockCommands(CommandTable& table);

}  // namespace tw
