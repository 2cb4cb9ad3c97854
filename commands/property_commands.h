// The display attributes of cells over a range: the number format. The
// properties dialog, the format bar and their macro keywords add the other
// attributes here.
#pragma once

#include <cstdint>
#include <string>

#include "commands/command.h"

namespace tw {

class CommandTable;
class Worksheet;

// Every cell of the range gets the format (bits 0-6), created where
// missing; with the worksheet's protection on, protected cells keep theirs.
CommandResult SetRangeFormat(CommandContext& cx, const CellRange& range, uint8_t format);

// What the Properties dialog applies: the pages named in mask, with their values.
enum PropertyPage : uint8_t {
  kPageFormat = 0x01,
  kPageShade = 0x02,
  kPageTypeface = 0x04,
  kPagePrefix = 0x08,
  kPageLock = 0x10,
  kPageBorder = 0x20,
};
enum class PrefixChoice { Left, Center, Right };
enum class BorderLine { None, Single, Thick };
enum class BorderWhere { In, Out, All, Clear };
struct Properties {
  uint8_t mask = 0;
  uint8_t format = 0x7F;
  uint32_t background = 0xFFFFFF;  // RGB
  bool defaultShade = false;       // the automatic background
  uint8_t font = 255;
  uint8_t size = 0;
  uint8_t styleBits = 0;   // 1 bold, 2 italic, 4 underline
  uint8_t textColour = 0;  // index into the 16-entry screen colours
  PrefixChoice prefix = PrefixChoice::Left;
  bool locked = true;
  BorderLine line = BorderLine::None;
  BorderWhere where = BorderWhere::Clear;
};
// The pages' starting values, from the range's top-left cell.
Properties PropertiesOf(const Worksheet& ws, int row, int col);
// Every cell of the range, made where missing; with protection on,
// protected cells are skipped.
CommandResult ApplyProperties(CommandContext& cx, const CellRange& range, const Properties& p);

// The format bar's, on a range (the selection): the style byte from the
// cursor's cell with the bit toggled (alignment cleared), typeface, size,
// size a step up or down (rows follow), background and text colour, a
// format typed in the format box (which alone minds protection).
CommandResult ToggleStyleBit(CommandContext& cx, const CellRange& range, uint8_t bit);
CommandResult SetTypeface(CommandContext& cx, const CellRange& range, uint8_t font);
CommandResult SetPointSize(CommandContext& cx, const CellRange& range, int size);
CommandResult StepPointSize(CommandContext& cx, const CellRange& range, int step);
CommandResult SetBackground(CommandContext& cx, const CellRange& range, uint32_t rgb);
CommandResult SetTextColour(CommandContext& cx, const CellRange& range, uint32_t rgb);
CommandResult SetFormatFromBox(CommandContext& cx, const CellRange& range,
                               const std::string& entry);
CommandResult ToggleProtection(CommandContext& cx);

// The entry of the 16 screen colours nearest to an RGB colour (the least
// sum of differences of red, green and blue; the first on ties).
int nearestPaletteEntry(uint32_t rgb);
// A row high enough for its largest point size.
int rowPixelsForSize(const Worksheet& ws, int size);

// RANGEFORMAT range, format code; RANGELOCK, RANGEPREFIX, RANGECOLOR,
// RANGEJUSTIFY, BLOCKCASE; the format bar's commands.
void addPropertyCommands(CommandTable& table);

}  // namespace tw
