// Draws a block of a worksheet's cells on a canvas: the headers, each row's
// fills, texts, grid lines and borders, and the frame of the current cell,
// as the worksheet window shows them. Printing draws its pages with the same
// code, so a printed cell looks as it does on the screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/canvas.h"
#include "core/row_layout.h"

namespace tw {

class Worksheet;

// Which rows and columns are drawn where: frozen titles first, then the
// scrolled part. rowY and colX hold each one's top or left edge, and one
// more entry for the edge after the last.
struct GridGeometry {
  std::vector<int> rows;
  std::vector<int> cols;
  std::vector<int> rowY;
  std::vector<int> colX;

  // The position of a row or column in the lists, or -1 when it is not drawn.
  int rowIndex(int row) const;
  int colIndex(int col) const;
};

struct GridStyle {
  int width = 0;  // the surface, pixels
  int height = 0;
  bool headers = true;  // the column letters and row numbers
  int headerHeight = 0;
  int rowHeaderWidth = 0;
  uint32_t headerFill = 0xC0C0C0;
  uint32_t headerSelectedFill = 0xA7A7A7;
  uint32_t headerText = 0x000000;
  uint32_t headerLine = 0x808080;  // the lines between the headers' cells
  // The headers of these rows and columns are shaded (the active pane's selection).
  CellRange marked{};
  bool gridLines = true;  // as the worksheet's settings ask (horizontal, vertical)
  uint32_t gridColour = 0xC0C0C0;
  uint32_t background = 0xFFFFFF;  // past the last row and column
  bool cursorFrame = true;         // a frame around ctx's current cell
  Font windowFont;                 // cells with the default font use it, the headers too
  int zoom = 100;                  // per cent: the cells' fonts are drawn at this size
};

// A text the painter drew in a cell, for tests.
struct DrawnText {
  int row;
  int col;
  std::string text;
};

// The point size a font of size 0 stands for when it must be scaled.
inline constexpr double kDefaultPointSize = 10;

// The canvas font of a cell font: the program's typeface names, the
// worksheet's own typeface, or the window's font; its size scaled by zoom
// per cent.
Font canvasFont(const Worksheet& ws, const CellFont& f, const Font& windowFont, int zoom = 100);

// ctx gives the current cell, selection, titles and output kind; its column
// fields are filled here. drawn, when given, collects the cells' texts.
void paintGrid(Canvas& canvas, const Worksheet& ws, const GridGeometry& geometry, DrawContext ctx,
               const GridStyle& style, std::vector<DrawnText>* drawn = nullptr);

}  // namespace tw
