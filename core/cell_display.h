// What a cell shows: its text at a width, how it is aligned, whether it may
// run on over its neighbours, its font, and the colours it is drawn in. The
// worksheet window, printing and the text outputs (the command line's
// display column, print to a text file) all ask here, so that a cell reads
// the same everywhere. Widths are pixels; text widths come from a measure,
// fixed-pitch where there is no display.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/cell.h"

namespace tw {

class Worksheet;

// A cell's font as drawing needs it.
struct CellFont {
  uint8_t face = 255;  // index into the program's font names; 255 = the window's font
  int size = 0;        // points; 0 = the window's size
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const CellFont&) const = default;
};
CellFont cellFontOf(const Cell& c);

// Left text starts this far inside the cell; right text ends this far inside.
constexpr int kTextInset = 4;

// What a cell keeps clear of its edges, in the measure's units: a number's
// text, and a repeating label's copies.
struct CellMargins {
  int number;
  int fill;
};

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int textWidth(std::string_view text, const CellFont& font) = 0;
  // On a screen or paper text keeps off the grid lines.
  // A number ends kTextInset pixels inside its cell, so that much stays clear.
  virtual CellMargins margins() const { return {kTextInset, 8}; }
};

// Eight pixels a character: how headless runs and text files lay cells out.
// A character cell has no edge to keep clear of.
class FixedTextMeasure : public TextMeasure {
 public:
  int textWidth(std::string_view text, const CellFont&) override {
    return 8 * static_cast<int>(text.size());
  }
  CellMargins margins() const override { return {0, 0}; }
};

enum class TextAlign : uint8_t { Left, Right, Centre };

enum class ShowKind : uint8_t {
  Nothing,  // blank, hidden, or no text
  Number,   // a number in its format, or a row of x when it does not fit
  Text,     // a label or a string result: may spill when left-aligned
  Listing,  // a formula shown as its text (the text format)
  Fill,     // a repeating label: the copies that fit
  Picture,  // a picture label: text is the file name
  Error,    // "ERR"
};

struct CellShow {
  ShowKind kind = ShowKind::Nothing;
  std::string text;
  TextAlign align = TextAlign::Left;
  bool stretch = false;  // a picture stretched to the cell
  // A left-aligned label or listing may run on over empty neighbours.
  bool spills() const {
    return (kind == ShowKind::Text || kind == ShowKind::Listing) && align == TextAlign::Left &&
           !text.empty();
  }
};

struct FormatOptions;

// The cell as shown in a cell of widthPixels; options are the worksheet's
// (formatOptions), given when many cells are shown at once.
CellShow cellShows(const Worksheet& ws, const Cell& c, int widthPixels, TextMeasure& measure,
                   const FormatOptions& options);
CellShow cellShows(const Worksheet& ws, const Cell& c, int widthPixels, TextMeasure& measure);

// The 16-entry screen-colour table, as 0x00BBGGRR words.
extern const uint32_t kPalette[16];
// 0x00BBGGRR to 0xRRGGBB.
inline uint32_t toRgb(uint32_t bgr) {
  return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}
// The palette entry that bits 24-27 of a colour word name, as 0xRRGGBB.
uint32_t paletteRgb(uint32_t word);

// How a cell is drawn beside its text: where, for which output.
struct CellLook {
  bool printing = false;    // white paper, black text
  bool monochrome = false;  // black text
  bool title = false;       // in the frozen title rows or columns
};
// The background (0xRRGGBB) of a cell of row, c null when there is none.
uint32_t cellFill(const Worksheet& ws, const Cell* c, int row, const CellLook& look);
uint32_t cellTextColour(const Worksheet& ws, const Cell* c, const CellLook& look);

}  // namespace tw
