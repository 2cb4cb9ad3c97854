// The block of settings each worksheet keeps for itself and saves in its file.
// A new worksheet starts from a copy of the program's defaults (settings file).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/cell_address.h"

namespace tw {

// The seven worksheet colours, in the order the file and settings keep them.
enum WorksheetColour {
  kBackgroundColour,
  kBorderColour,
  kValueColour,
  kNegativeColour,
  kLabelColour,
  kProtectedColour,
  kCursorColour,
  kWorksheetColourCount
};

// Print margins in inches, in the order of the settings file.
enum Margin {
  kMarginTop,
  kMarginLeft,
  kMarginRight,
  kMarginBottom,
  kMarginHeader,
  kMarginFooter,
  kMarginCount
};

// The ranges the data and print commands remember between uses. Copy, move,
// insert and delete keep them pointing at the same cells.
enum RememberedRange {
  kSortData,
  kSortKey1,
  kSortKey2,
  kSortKey3,
  kSortKey4,
  kQueryInput,
  kQueryCriteria,
  kQueryOutput,
  kWhatIfInput1,
  kWhatIfInput2,
  kWhatIfTable,
  kPrintRange,
  kRememberedRangeCount
};

// Layout of one grid pane as the file keeps it.
struct PaneLayout {
  int16_t leftColumn = 0;
  int16_t topRow = 0;
  int16_t cursorColumn = 0;
  int16_t cursorRow = 0;
};

// A graph definition as the worksheet file carries it: the Lotus part of
// the GRAPH record and the program's own part that follows it in the
// extension section. The graph settings map the fields; the file keeps the
// bytes whole so that nothing read is lost on the next save.
constexpr size_t kGraphBytes = 437;
constexpr size_t kGraphExtensionBytes = 385;
constexpr size_t kMaxNamedGraphs = 50;
struct GraphRecord {
  std::array<uint8_t, kGraphBytes> lotus = emptyLotusGraph();
  std::array<uint8_t, kGraphExtensionBytes> extension{};
  bool operator==(const GraphRecord&) const = default;

  // Thirteen ranges lead the Lotus part (X, A..F, and six data-label
  // ranges); unset ranges hold -1 in their first column.
  static std::array<uint8_t, kGraphBytes> emptyLotusGraph() {
    std::array<uint8_t, kGraphBytes> b{};
    for (size_t r = 0; r < 13; ++r) b[r * 8] = b[r * 8 + 1] = 0xFF;
    return b;
  }
};
struct NamedGraph {
  std::string name;  // upper case, at most 12 characters
  GraphRecord graph;
  bool operator==(const NamedGraph&) const = default;
};

// One macro button placed on the worksheet, as the macro-button part reads
// it: caption, macro text, anchor cell, offsets and size.
constexpr size_t kButtonBytes = 297;
constexpr size_t kMaxButtons = 256;
using ButtonRecord = std::array<uint8_t, kButtonBytes>;

// The worksheet window's font.
struct WorksheetFont {
  int16_t height = 0;    // 0: the program's default
  uint8_t style = 0;     // bit 0 bold, 1 italic, 2 underline
  std::string typeface;  // empty: the program's default; at most 80 characters
  bool operator==(const WorksheetFont&) const = default;
};

// A span of fixed title columns or rows of the first pane.
struct FixedSpan {
  int16_t from = 0;
  int16_t to = 0;
  bool operator==(const FixedSpan&) const = default;
};

constexpr int kMaxSheets = 64;  // the tab bar offers A..BL

// How the worksheet prints, beside the print range (a remembered range),
// the margins, the header and the footer.
constexpr int kMinPrintScale = 10;
constexpr int kMaxPrintScale = 150;
struct PrintOptions {
  CellRange borderRows{};     // printed at the top of every page
  CellRange borderColumns{};  // printed at the left of every line
  bool headerLine = false;    // a rule under the header
  bool footerLine = false;    // a rule above the footer
  int16_t scale = 100;        // per cent
  bool frame = false;         // outline the page and the body
  bool grid = false;          // print the grid lines
  bool mono = true;           // graphs in black and white
  bool landscape = false;
  bool operator==(const PrintOptions&) const = default;
};

struct WorksheetSettings {
  // The block the settings file supplies to every new worksheet.
  bool protection = false;           // PRO=
  bool negativeInColour = false;     // NEG=
  bool zerosHidden = false;          // ZERO=
  bool banding = true;               // BAND=
  bool manualRecalc = false;         // MCALC=
  bool threeD = false;               // 3DON=
  bool binsLowerInclusive = true;    // DIST=
  char labelPrefix = '\'';           // PREFIX=
  std::string currencyPrefix = "$";  // CURR=
  std::string currencySuffix = " ";  // CURS=
  std::array<uint32_t, kWorksheetColourCount> colours{
      0x00FFFFFF, 0x00E0FFFF, 0x41FFFFFF, 0x4CFFFFFF, 0x42FFFFFF, 0x07800000, 0x0FFF0000};
  std::array<double, kMarginCount> margins{0.5, 0.5, 0.5, 0.5, 0.5, 0.5};

  // The worksheet's own state beside the defaults block.
  uint8_t globalFormat = 0x71;  // General
  // The size of columns and rows without one of their own, pixels.
  int16_t defaultColumnPixels = 72;  // nine characters of eight pixels
  int16_t defaultRowPixels = 20;
  // Grid lines: 1 horizontal, 2 vertical, 4 kept for the options.
  uint8_t gridLines = 0x03;
  bool undoEnabled = true;
  bool showUnprotected = false;
  uint8_t keptByte = 0;  // a byte of the settings name kept unchanged through files
  std::array<CellRange, kRememberedRangeCount> ranges{};
  std::array<uint8_t, 4> sortOrder{0xFF, 0xFF, 0xFF, 0xFF};
  uint8_t whatIfKind = 0;
  std::string printHeader;
  std::string printFooter;
  std::string printSetup;
  PrintOptions print;
  CellRange titleRows{};
  CellRange titleColumns{};
  uint8_t split = 0;  // 0 none, 1 or 0xFF the two orientations
  bool syncHorizontal = false;
  bool syncVertical = false;
  uint8_t activePane = 0;
  PaneLayout panes[2];
  int16_t currentTab = 0;
  int16_t windowHeight = 0;  // the window's size when saved; 0 = not known
  int16_t windowWidth = 0;
  FixedSpan fixedColumns;  // the first pane's frozen columns and rows
  FixedSpan fixedRows;
  // Rows per sheet: 0 for one undivided sheet, else a power of two that
  // makes at most kMaxSheets sheets.
  int16_t sheetRows = 0;
  // One name per sheet tab; an empty name shows the tab's letters.
  std::vector<std::string> tabNames;
  WorksheetFont font;
  // The regression settings: the independent and dependent ranges, and
  // one byte per variable of which the low three bits count.
  std::array<CellRange, 2> regressionRanges{};
  std::array<uint8_t, 10> regressionVariables{};
  // The current graph and the named graphs (at most kMaxNamedGraphs).
  GraphRecord graph;
  std::vector<NamedGraph> namedGraphs;
  std::vector<ButtonRecord> buttons;
  // Document texts.
  std::string title;
  std::string comments;
  std::string userName;
  double creationTime = 0;
  double creationDate = 0;
};

}  // namespace tw
