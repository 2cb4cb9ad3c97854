// Cells as lines of running text. Justify gathers the texts of a range into
// one stream of words and pours it back as lines no wider than a width in
// pixels, measured by the host in the font of the range's first cell,
// optionally spread with blanks to that width. The text editor's command
// enters edited lines down a column through cell entry.
#pragma once

#include <string>
#include <vector>

#include "commands/command.h"
#include "core/canvas.h"

namespace tw {

class Worksheet;

// Cells read and lines written, at most; and the longest line.
inline constexpr int kJustifyCells = 500;
inline constexpr size_t kJustifyLineLength = 239;

// The font justify measures in: the cell's typeface from the program's list
// ("Arial" for the default, 255) at its size (10 points for the default).
Font justifyFont(const Worksheet& ws, int row, int col);

// Reads the range's cells column by column, down each column, and writes
// the lines back into them as labels with the default prefix. widthPixels
// is the dialog's width (units of 4 pixels) times 4; lines are 4 pixels
// narrower. With pad, each text loses its double blanks and one blank at
// either end, and every line but the last (and those ending in ".") is
// spread to the width. " RANGE to Small. Expand it!" when the lines would
// not fit the range; it is then left as it was.
CommandResult JustifyRange(CommandContext& cx, const CellRange& range, int widthPixels, bool pad);

// The text editor's lines: the input text of each cell of the selection's
// first column, from its first row to its last.
std::vector<std::string> editorLines(const Worksheet& ws, const CellRange& selection);
// Enters the lines down the column from (row, col), extra lines below the
// selection included; a line as the cell already shows it is left alone,
// and one that does not compile is kept as a label. Under worksheet
// protection only a beep.
CommandResult EnterEditorLines(CommandContext& cx, int row, int col,
                               const std::vector<std::string>& lines);

// The lines of a text, split at line ends ("\r\n" or "\n").
std::vector<std::string> splitLines(std::string_view text);

// JUSTIFY range, width in pixels, pad flag; WORDEDIT first cell, lines
// (separated by line ends).
void addJustifyCommands(CommandTable& table);

}  // namespace tw
