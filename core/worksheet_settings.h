// The block of settings each worksheet keeps for itself and saves in its file.
// A new worksheet starts from a copy of the program's defaults (settings file).
#pragma once

#include <array>
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
enum Margin { kMarginTop, kMarginLeft, kMarginRight, kMarginBottom, kMarginHeader, kMarginFooter, kMarginCount };

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

struct WorksheetSettings {
  // The block the settings file supplies to every new worksheet.
  bool protection = false;       // PRO=
  bool negativeInColour = false; // NEG=
  bool zerosHidden = false;      // ZERO=
  bool banding = true;           // BAND=
  bool manualRecalc = false;     // MCALC=
  bool threeD = false;           // 3DON=
  bool binsLowerInclusive = true;  // DIST=
  char labelPrefix = '\'';       // PREFIX=
  std::string currencyPrefix = "$";  // CURR=
  std::string currencySuffix = " ";  // CURS=
  std::array<uint32_t, kWorksheetColourCount> colours{0x00FFFFFF, 0x00E0FFFF, 0x41FFFFFF, 0x4CFFFFFF,
                                                      0x42FFFFFF, 0x07800000, 0x0FFF0000};
  std::array<double, kMarginCount> margins{0.5, 0.5, 0.5, 0.5, 0.5, 0.5};

  // The worksheet's own state beside the defaults block.
  uint8_t globalFormat = 0x71;  // General
  bool undoEnabled = true;
  bool showUnprotected = false;
  uint8_t keptByte = 0;  // a byte of the settings name kept unchanged through files
  std::array<CellRange, kRememberedRangeCount> ranges{};
  std::array<uint8_t, 4> sortOrder{0xFF, 0xFF, 0xFF, 0xFF};
  uint8_t whatIfKind = 0;
  std::string printHeader;
  std::string printFooter;
  std::string printSetup;
  CellRange titleRows{};
  CellRange titleColumns{};
  uint8_t split = 0;  // 0 none, 1 or 0xFF the two orientations
  bool syncHorizontal = false;
  bool syncVertical = false;
  uint8_t activePane = 0;
  PaneLayout panes[2];
  int16_t currentTab = 0;
  int16_t sheetRows = 0;  // rows per sheet; 0 = one undivided sheet
  std::vector<std::string> tabNames;
  // Document texts.
  std::string title;
  std::string comments;
  std::string userName;
  double creationTime = 0;
  double creationDate = 0;
};

}  // namespace tw
