// How one row of a worksheet window is laid out: each cell's rectangle,
// fill, text, alignment, colour, font and borders, with labels spilling
// over empty neighbours. Worked out without a toolkit; the cell painter
// draws the result on a canvas, for the window and for printing alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/cell_address.h"
#include "core/cell_display.h"

namespace tw {

class Worksheet;

// What the window knows beyond the worksheet when it draws a row.
struct DrawContext {
  std::vector<int> columnX;  // left edge of each column from the first drawn, pixels
  int firstCol = 0;
  int lastCol = 0;
  bool printing = false;
  bool monochrome = false;
  bool currentCellShown = true;
  int currentRow = -1;
  int currentCol = -1;
  CellRange selection{};  // cells filled as selected (not when it is the current cell alone)
  CellRange titleRows{};  // frozen title rows and columns
  CellRange titleColumns{};
};

struct CellDraw {
  int col = 0;
  int x = 0;  // the cell's rectangle
  int width = 0;
  uint32_t fill = 0xFFFFFF;  // RGB as 0xRRGGBB
  uint32_t textColour = 0;   // RGB as 0xRRGGBB
  std::string text;
  TextAlign align = TextAlign::Left;
  int clipWidth = 0;  // the width the text may use, spills included
  // The colour of the part that spills over the neighbours: the cell's own,
  // which the cursor's or the selection's colour does not reach.
  uint32_t spillColour = 0;
  bool highlighted = false;  // the cursor's cell or the selection's: its own colours
  CellFont font;
  uint8_t borders = 0;
  bool picture = false;  // a "|<" or "|>" label: text holds the file name
  bool stretch = false;
};

std::vector<CellDraw> layoutRow(const Worksheet& ws, int row, const DrawContext& ctx,
                                TextMeasure& measure);

}  // namespace tw
