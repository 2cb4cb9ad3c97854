// Program-wide settings, as the settings file holds them. The worksheet
// defaults among them form one block that every new worksheet copies.
#pragma once

#include <string>
#include <vector>

#include "core/worksheet_settings.h"

namespace tw {

struct NamedFormat {
  std::string code;         // short format code such as "F2"
  std::string description;  // such as "Fixed"
};

std::vector<NamedFormat> defaultFormatList();

struct ProgramSettings;
// Moves or adds a file name to the front of the recent files: an earlier
// entry of the same name (without case) goes, and when the list has reached
// the configured count (HSIZE=, at most kMaxRecentFiles) the oldest is dropped.
constexpr int kMaxRecentFiles = 10;
void addRecentFile(ProgramSettings& settings, const std::string& name);

struct ProgramSettings {
  // [Directories]
  std::string saveDirectory;  // SAVE=
  std::string loadDirectory;  // LOAD=
  // [Formats]
  std::vector<NamedFormat> formats = defaultFormatList();  // FORMAT=
  // [Flags] that are program-wide
  bool tips = true;                // TIPS=
  bool usDates = true;             // USDATE=
  bool quickBar = true;            // QBAR=
  bool macroBar = true;            // MBAR=
  bool statusBar = true;           // SBAR=
  bool windowsControlKeys = true;  // WINCTRL=
  bool preopen = true;             // PREOPEN=
  bool maximised = false;          // MDIMAX=
  bool oldFileDialogs = false;     // OCFDS=
  bool timeStampCounter = false;   // RDTSC=
  bool undo = true;                // UNDO=
  bool backups = true;             // BACKUPS=
  bool printBlack = false;         // PBGRID=
  // [Chars] that are program-wide
  char argumentSeparator = ',';   // SEP=
  char thousandsSeparator = ',';  // COMMA=
  char decimalSeparator = '.';    // PERIOD=
  // [Colors]
  uint32_t gridColour = 0x00C0C0C0;  // GRIDCLR=
  // [Files]
  std::string autoexec = "AUTOEXEC.WKS";  // AUTOEXEC=
  std::string toolMacros = "TALWAY.MAC";  // TOOLMAC=
  int historySize = 5;                    // HSIZE=
  std::vector<std::string> history;       // HIST=, most recent first
  // [Defaults]
  int graphForm = 113;              // GFORM=
  std::string graphFont = "Arial";  // GFONT=
  int graphSize = 12;               // GSIZE=
  int preload = 1;                  // PRELOAD=
  // [Printer]
  bool printMono = true;     // PMONO=
  bool printFrame = false;   // PFRAME=
  int printOrientation = 0;  // PORIENT=
  // Not in the file: shown by the general settings dialog.
  bool twoDigitYears = false;
  // Not in the file: the typefaces that cells' font indexes point into.
  std::vector<std::string> fontNames;

  // PRO..DIST, PREFIX, CURR, CURS, BKCLR..CURCLR, MTTR..MBFR.
  WorksheetSettings worksheetDefaults;
};

}  // namespace tw
