// How one row of a worksheet window is drawn: backgrounds, text, alignment,
// spilling labels, x-fill, colours and borders, worked out without a
// toolkit. The window paints the result; text widths come from the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell_address.h"

namespace tw {

class Worksheet;

// A cell's font as the painter needs it.
struct CellFont {
  uint8_t face = 255;  // index into the worksheet's font names; 255 = the window's font
  int size = 0;        // points; 0 = the window's size
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const CellFont&) const = default;
};

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int textWidth(std::string_view text, const CellFont& font) = 0;
};

enum class TextAlign { Left, Right, Centre };

// The 16-entry colour palette, as 0x00BBGGRR words.
extern const uint32_t kPalette[16];

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
  CellFont font;
  uint8_t borders = 0;
  bool picture = false;  // a "|<" or "|>" label: text holds the file name
  bool stretch = false;
};

// Left text starts this far inside the cell; right text ends this far inside.
constexpr int kTextInset = 4;

std::vector<CellDraw> layoutRow(const Worksheet& ws, int row, const DrawContext& ctx,
                                TextMeasure& measure);

// 0x00BBGGRR to 0xRRGGBB.
inline uint32_t toRgb(uint32_t bgr) {
  return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

}  // namespace tw
