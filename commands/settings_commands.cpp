#include "commands/settings_commands.h"

#include <charconv>
#include <vector>

#include "commands/sheet_commands.h"
#include "core/char_case.h"
#include "core/display_format.h"
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
  g.toolbarFile = p.toolMacros;
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
  p.toolMacros = g.toolbarFile.empty() ? "TALWAY.MAC" : g.toolbarFile;
  return CommandResult::everything();
}

}  // namespace tw

namespace tw {

namespace {

std::optional<int> numberIn(std::string_view text) {
  int n = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return n;
}

std::vector<std::string_view> items(std::string_view text) {
  std::vector<std::string_view> out;
  while (!text.empty()) {
    size_t comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    if (!item.empty()) out.push_back(item);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return out;
}

CommandResult redrawn(Worksheet& ws) {
  ws.modified = true;
  CommandResult r = CommandResult::everything();
  r.layoutChanged = true;
  return r;
}

// One GENOPTION item on the worksheet's settings.
void option(Worksheet& ws, std::string_view item) {
  WorksheetSettings& s = ws.settings;
  char letter = upperChar(item[0]);
  std::string_view rest = item.substr(1);
  char second = rest.empty() ? 0 : upperChar(rest[0]);
  bool yes = second == 'Y';
  auto gridBit = [&](uint8_t bit) {
    s.gridLines = static_cast<uint8_t>(yes ? (s.gridLines | bit) : (s.gridLines & ~bit));
  };
  switch (letter) {
    case '3':
      s.threeD = yes;
      break;
    case 'A':
      SetRecalcMode(ws, second == 'N');
      break;
    case 'H':
      gridBit(1);
      break;
    case 'V':
      gridBit(2);
      break;
    case 'S':
      gridBit(4);
      break;
    case 'C':
      s.labelPrefix = '^';
      break;
    case 'L':
      s.labelPrefix = '\'';
      break;
    case 'R':
      s.labelPrefix = '"';
      break;
    case 'D':
      if (std::optional<int> n = numberIn(rest); n && *n >= 0 && *n <= 7)
        s.sheetRows = static_cast<int16_t>(*n == 0 ? 0 : kRows >> *n);
      break;
    case 'O':
      if (std::optional<int> n = numberIn(rest))
        s.defaultColumnPixels = static_cast<int16_t>(columnPixelsOf(*n));
      break;
    case 'W':
      if (std::optional<int> n = numberIn(rest))
        s.defaultRowPixels = static_cast<int16_t>(sizeInPixels(*n));
      break;
    // The options of the general-settings dialog, each set by Y (Z by N).
    case 'B':
      s.banding = yes;
      break;
    case 'I':
      s.binsLowerInclusive = yes;
      break;
    case 'N':
      s.negativeInColour = yes;
      break;
    case 'P':
      s.protection = yes;
      break;
    case 'U':
      s.showUnprotected = yes;
      break;
    case 'Z':
      s.zerosHidden = second == 'N';
      break;
    default:
      break;
  }
}

}  // namespace

FontSpec parseFontSpec(std::string_view text) {
  FontSpec f;
  std::string_view fields[4];
  for (int i = 0; i < 4; ++i) {
    size_t comma = text.find(',');
    fields[i] = text.substr(0, comma);
    if (comma == std::string_view::npos) {
      text = {};
      break;
    }
    text.remove_prefix(comma + 1);
  }
  if (!fields[0].empty()) f.typeface = std::string(fields[0].substr(0, 80));
  if (std::optional<int> n = numberIn(fields[1]); n && *n > 0 && *n < 200) f.size = *n;
  if (!fields[2].empty()) {
    uint8_t style = 0;
    for (char c : fields[2]) {
      char u = upperChar(c);
      if (u == 'B') style |= 1;
      if (u == 'I') style |= 2;
      if (u == 'U') style |= 4;
    }
    f.style = style;
  }
  if (std::optional<int> n = numberIn(fields[3])) f.colour = *n;
  return f;
}

void addSettingsCommands(CommandTable& t) {
  t.add({"GENFORMAT", {{ArgKind::Text, "Format code"}}, [](CommandContext& cx, const Args& a) {
           cx.ws->settings.globalFormat =
               static_cast<uint8_t>(ParseFormatCode(textArg(a, 0).substr(0, 8)) & kFormatMask);
           return redrawn(*cx.ws);
         }});
  t.add({"GENFONT",
         {{ArgKind::Text, "Font (typeface,size,style,colour)"}},
         [](CommandContext& cx, const Args& a) {
           FontSpec f = parseFontSpec(textArg(a, 0));
           WorksheetFont& font = cx.ws->settings.font;
           if (f.typeface) font.typeface = *f.typeface;
           if (f.size) font.height = static_cast<int16_t>(*f.size);
           if (f.style) font.style = *f.style;
           return redrawn(*cx.ws);
         }});
  t.add({"GENCOLOR",
         {{ArgKind::Integer, "Item (0 to 6)"},
          {ArgKind::Integer, "High value"},
          {ArgKind::Integer, "Colour"},
          {ArgKind::Integer, "Mode (0 to 3)"}},
         [](CommandContext& cx, const Args& a) {
           double item = numberArg(a, 0);
           if (item < 0 || item >= static_cast<int>(kWorksheetColourCount))
             return CommandResult::failed();
           // The mode's two bits, 0: 00, 1: 10, 2: 01, 3: 11, are the top two.
           static const uint32_t kModes[] = {0x00000000, 0x80000000, 0x40000000, 0xC0000000};
           int mode = static_cast<int>(numberArg(a, 3)) & 3;
           uint32_t high = static_cast<uint32_t>(static_cast<int64_t>(numberArg(a, 1))) & 0x3F;
           uint32_t low = static_cast<uint32_t>(static_cast<int64_t>(numberArg(a, 2))) & 0xFFFFFF;
           cx.ws->settings.colours[static_cast<int>(item)] = kModes[mode] | (high << 24) | low;
           return redrawn(*cx.ws);
         }});
  t.add({"GENOPTION", {{ArgKind::Text, "Options"}}, [](CommandContext& cx, const Args& a) {
           const std::string text = textArg(a, 0);  // the items point into it
           for (std::string_view item : items(text)) option(*cx.ws, item);
           return redrawn(*cx.ws);
         }});
  t.add({"GENADV",
         {{ArgKind::Text, "Setting"}},
         [](CommandContext& cx, const Args& a) {
           std::string item = textArg(a, 0);
           ProgramSettings& p = cx.session.settings();
           if (item.size() < 2) return CommandResult::failed();
           char letter = upperChar(item[0]);
           if (letter == 'A') {
             p.argumentSeparator = item[1];
           } else if (letter == 'T') {
             p.thousandsSeparator = item[1];
           } else if (letter == 'D') {
             p.decimalSeparator = item[1];
           } else if (letter == 'C' && item.size() >= 3 && cx.ws) {
             std::string sign = item.substr(2, 2);
             if (upperChar(item[1]) == 'P') cx.ws->settings.currencyPrefix = sign;
             if (upperChar(item[1]) == 'S') cx.ws->settings.currencySuffix = sign;
           } else {
             return CommandResult::failed();
           }
           if (cx.ws) cx.ws->modified = true;
           return CommandResult::everything();
         },
         Needs::Nothing});
}

}  // namespace tw
