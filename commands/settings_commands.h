// The general settings: the worksheet's options and characters, which also
// become the defaults of new worksheets and of the settings file, and the
// program's own options and separators.
#pragma once

#include <string>

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
};

// The settings as they stand: the worksheet's when there is one, else the defaults.
GeneralSettings generalSettingsOf(const ProgramSettings& program, const Worksheet* ws);
// False with the message when the settings cannot be taken.
bool checkGeneralSettings(const GeneralSettings& g, std::string& message);
CommandResult ApplyGeneralSettings(CommandContext& cx, const GeneralSettings& g);

}  // namespace tw
