#include "commands/settings_commands.h"

#include "commands/sheet_commands.h"
#include "core/program_settings.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

GeneralSettings generalSettingsOf(const ProgramSettings& p, const Worksheet* ws) {
  const WorksheetSettings& w = ws ? ws->settings : p.worksheetDefaults;
  GeneralSettings g;
  g.protection = w.protection;
  g.negativeInColour = w.negativeInColour;
  g.showZeros = !w.zerosHidden;
  g.banding = w.banding;
  g.automaticRecalc = !w.manualRecalc;
  g.binsLowerInclusive = w.binsLowerInclusive;
  g.labelPrefix = w.labelPrefix;
  g.currencyPrefix = w.currencyPrefix;
  g.currencySuffix = w.currencySuffix;
  g.markUnprotected = w.showUnprotected;
  g.undo = w.undoEnabled;
  g.backups = p.backups;
  g.usDates = p.usDates;
  g.tips = p.tips;
  g.windowsControlKeys = p.windowsControlKeys;
  g.oldFileDialogs = p.oldFileDialogs;
  g.printBlack = p.printBlack;
  g.twoDigitYears = p.twoDigitYears;
  g.argumentSeparator = p.argumentSeparator;
  g.thousandsSeparator = p.thousandsSeparator;
  g.decimalSeparator = p.decimalSeparator;
  return g;
}

bool checkGeneralSettings(const GeneralSettings& g, std::string& message) {
  if (std::string_view("'\"^\\|").find(g.labelPrefix) == std::string_view::npos) {
    message = "The label prefix is one of ' \" ^ \\ |";
    return false;
  }
  if (g.argumentSeparator == g.decimalSeparator) {
    message = "The argument separator must differ from the decimal separator.";
    return false;
  }
  if (g.currencyPrefix.size() > 2 || g.currencySuffix.size() > 2) {
    message = "A currency sign has at most two characters.";
    return false;
  }
  return true;
}

CommandResult ApplyGeneralSettings(CommandContext& cx, const GeneralSettings& g) {
  std::string message;
  if (!checkGeneralSettings(g, message)) {
    cx.session.ShowError(message);
    return CommandResult::failed();
  }
  ProgramSettings& p = cx.session.settings();
  auto take = [&](WorksheetSettings& w) {
    w.protection = g.protection;
    w.negativeInColour = g.negativeInColour;
    w.zerosHidden = !g.showZeros;
    w.banding = g.banding;
    w.binsLowerInclusive = g.binsLowerInclusive;
    w.labelPrefix = g.labelPrefix;
    w.currencyPrefix = g.currencyPrefix;
    w.currencySuffix = g.currencySuffix;
  };
  take(p.worksheetDefaults);
  p.worksheetDefaults.manualRecalc = !g.automaticRecalc;
  if (cx.ws) {
    take(cx.ws->settings);
    SetRecalcMode(*cx.ws, !g.automaticRecalc);
    cx.ws->settings.showUnprotected = g.markUnprotected;
    cx.ws->settings.undoEnabled = g.undo;
    cx.ws->modified = true;
  }
  p.undo = g.undo;
  p.backups = g.backups;
  p.usDates = g.usDates;
  p.tips = g.tips;
  p.windowsControlKeys = g.windowsControlKeys;
  p.oldFileDialogs = g.oldFileDialogs;
  p.printBlack = g.printBlack;
  p.twoDigitYears = g.twoDigitYears;
  p.argumentSeparator = g.argumentSeparator;
  p.thousandsSeparator = g.thousandsSeparator;
  p.decimalSeparator = g.decimalSeparator;
  return CommandResult::everything();
}

}  // namespace tw
