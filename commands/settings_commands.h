// The general settings: the worksheet's options and characters, which also
// become the defaults of new worksheets and of the settings file, and the
// program's own options and separators.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "commands/command.h"

namespace tw {

struct ProgramSettings;

struct GeneralSettings {
  // The worksheet's, and the defaults'.
  bool protection = false;
  bool negativeInColour = false;
  bool showZeros = true;
  bool banding = true;
  bool automaticRecalc = true;
  bool binsLowerInclusive = true;
  char labelPrefix = '\'';
  std::string currencyPrefix = "$";
  std::string currencySuffix = " ";
  // The worksheet's own.
  bool markUnprotected = false;
  bool undo = true;
  // The program's.
  bool backups = true;
  bool usDates = true;
  bool tips = true;
  bool windowsControlKeys = true;
  bool oldFileDialogs = false;
  bool printBlack = false;
  bool twoDigitYears = false;
  char argumentSeparator = ',';
  char thousandsSeparator = ',';
  char decimalSeparator = '.';
  std::string toolbarFile = "TALWAY.MAC";  // the macro-button bar's definitions
};

// The settings as they stand: the worksheet's when there is one, else the defaults.
GeneralSettings generalSettingsOf(const ProgramSettings& program, const Worksheet* ws);
// False with the message when the settings cannot be taken.
bool checkGeneralSettings(const GeneralSettings& g, std::string& message);
CommandResult ApplyGeneralSettings(CommandContext& cx, const GeneralSettings& g);

}  // namespace tw

namespace tw {

class CommandTable;

// The font text of GENFONT and the graph fonts: up to four fields
// separated by ",": typeface, size, style letters (B, I, U), colour. An
// empty field leaves that part as it is.
struct FontSpec {
  std::optional<std::string> typeface;
  std::optional<int> size;
  std::optional<uint8_t> style;  // 1 bold, 2 italic, 4 underline
  std::optional<int> colour;
};
FontSpec parseFontSpec(std::string_view text);

// GENFORMAT code, GENFONT font text, GENCOLOR item, high, low, mode, GENOPTION
// items, GENADV item.
void addSettingsCommands(CommandTable& table);

}  // namespace tw
