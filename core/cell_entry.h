// Cell entry: one line of text becomes a label, a number or a formula; and
// the inverse, the text editing starts from.
#pragma once

#include <string>
#include <string_view>

#include "core/cell.h"

namespace tw {

class Worksheet;

enum class EntryResult {
  Stored,
  Nothing,      // an empty text for a cell that does not exist
  Refused,      // protected cell or a cell that could not be made; message shown
  SyntaxError,  // the formula does not compile; the cell is unchanged, no message
};

// The whole entry of text typed for (row, col). A syntax error leaves the
// error flag raised so that the input line keeps the text for correction.
EntryResult EnterCell(Worksheet& ws, std::string_view text, int row, int col);
// How commands store a computed number. Skips protected or missing cells
// under global protection; recalculates from the cell unless a command has
// switched recalculation off for a bulk update.
bool EnterNumber(Worksheet& ws, int row, int col, double x);
// Stores x as Integer when it is whole and its magnitude is below 32767,
// else as Real. The cell's content must already be clear.
void storeNumber(Cell& c, double x);

// The text editing starts from: a formula listed, a Real with enough digits
// to read back the same double, an Integer's digits, a label with its prefix.
std::string CellInputText(const Worksheet& ws, CellHandle h);

struct CellDescriptionText {
  std::string description;  // such as " [F2 w12]"
  std::string content;      // the input text, or "* Protected *"
  bool editable = true;
};
CellDescriptionText CellDescription(const Worksheet& ws, int row, int col);

}  // namespace tw
