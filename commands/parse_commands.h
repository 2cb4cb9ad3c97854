// Parse: text held in cells split into fields, each entered into its own
// cell left to right, so that lines of text become numbers and labels in
// adjacent columns. The line splitter serves the text import as well.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/command.h"

namespace tw {

class CommandTable;
class Worksheet;

// One field of a line: its text as entered, and whether it was quoted
// (a quoted field is always a label).
struct ParsedField {
  std::string text;
  bool quoted = false;
};

// The fields of a line: separated by blanks, ";" or the argument separator
// (runs count as one); double quotes group a field. A "+", "-", "(" or "@"
// after a number starts a new field (10+20 is 10 and +20), except a sign
// after its exponent (1E+3); inside a word it belongs to the word
// (well-known).
std::vector<ParsedField> SplitLine(std::string_view line, char argumentSeparator);

// Enters the fields of a line into (row, col), (row, col + 1), ... through
// cell entry; a field that does not compile is stored as a label. Parse
// separates with the argument separator, the text import with the
// thousands separator. Returns the number of cells written.
int SplitLineIntoCells(Worksheet& ws, std::string_view line, int row, int col, char separator);

// Splits every cell of the range that held text (a label or a string
// result) when the command began; its first field replaces the cell.
CommandResult ParseRange(CommandContext& cx, const CellRange& range);

// DATAPARSE range.
void addParseCommands(CommandTable& table);

}  // namespace tw
