// Commands on the worksheet as a whole and on its grid: column widths and
// row heights, Undo, recalculation and its mode, and moving the cursor.
#pragma once

#include "commands/command.h"

namespace tw {

class Worksheet;
class CommandTable;

// Sizes are pixels from 8 to 254; a column width in characters is eight
// pixels a character, brought into that range.
constexpr int kSmallestSize = 8;
constexpr int kLargestSize = 254;
constexpr int kPixelsPerCharacter = 8;
int sizeInPixels(int pixels);
int columnPixelsOf(int characters);
// A column's width in whole characters, as the width dialog shows it.
int columnCharacters(const Worksheet& ws, int col);

// The one way sizes change: by the rule above; the worksheet is marked changed.
CommandResult SetColumnWidth(Worksheet& ws, int col1, int col2, int characters);
CommandResult SetColumnPixels(Worksheet& ws, int col, int pixels);
CommandResult SetRowHeight(Worksheet& ws, int row1, int row2, int pixels);

// The one setter of the recalculation mode.
CommandResult SetRecalcMode(Worksheet& ws, bool manual);

CommandResult UndoLastCommand(CommandContext& cx);

// COLWIDTH, ROWHEIGHT (one column or row), COLUMNWIDTH, ROWHEIGHTS (every
// column or row of a range), UNDO, CALC (every open worksheet), RECALC (the
// worksheet), RECALCMODE, GOTO.
void addSheetCommands(CommandTable& table);

}  // namespace tw
