#include "shell/dialog_models.h"

#include <charconv>

#include "core/char_case.h"
#include "core/day_serial.h"
#include "core/display_format.h"
#include "core/host.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "files/system_memory.h"

namespace tw {

namespace {}  // namespace

// --- Format ------------------------------------------------------------------------

FormatModel::FormatModel(std::vector<NamedFormat> formats) : formats_(std::move(formats)) {
  if (!formats_.empty()) choose(0);
  addText("code", code, 8);
  addField(
      "item", [this] { return std::to_string(chosen_); },
      [this](std::string_view v) {
        std::optional<int> n = integerOf(v);
        if (!n || *n < 0 || *n >= static_cast<int>(formats_.size())) return false;
        choose(*n);
        return true;
      });
}

void FormatModel::choose(int index) {
  if (index < 0 || index >= static_cast<int>(formats_.size())) return;
  chosen_ = index;
  code = formats_[index].code;
}

bool FormatModel::check(std::string& message) {
  if (code.empty()) {
    message = "Choose a format or type its code.";
    return false;
  }
  return true;
}

std::string FormatModel::sample() const {
  return FormatNumber(12, ParseFormatCode(code), -1234.5678, FormatOptions{});
}

// --- Width and height ----------------------------------------------------------------

WidthHeightModel::WidthHeightModel(int width, int height)
    : value(width), width_(width), height_(height) {
  addField(
      "what", [this] { return std::string(column_ ? "column" : "row"); },
      [this](std::string_view v) {
        std::string u = upperCased(v);
        if (u != "COLUMN" && u != "ROW") return false;
        setColumn(u == "COLUMN");
        return true;
      });
  addField(
      "value", [this] { return std::to_string(value); },
      [this](std::string_view v) {
        std::optional<int> n = integerOf(v);
        if (!n) return false;
        value = *n;
        return true;
      });
}

void WidthHeightModel::setColumn(bool on) {
  if (on == column_) return;
  column_ = on;
  value = on ? width_ : height_;
}

bool WidthHeightModel::check(std::string& message) {
  if (value < lowest() || value > highest()) {
    message = (column_ ? "A column is 1 to 31 characters wide." : "A row is 8 to 254 pixels high.");
    return false;
  }
  return true;
}

// --- Copy ---------------------------------------------------------------------------

CopyModel::CopyModel(std::string f, std::string t) : from(std::move(f)), to(std::move(t)) {
  addField(
      "kind", [this] { return std::string(kKindNames[kind]); },
      [this](std::string_view v) {
        std::string l = upperCased(v);
        for (int k = 0; k < 5; ++k)
          if (l == upperCased(kKindNames[k]) || l == std::to_string(k)) {
            kind = k;
            return true;
          }
        return false;
      });
  addText("from", from, 80);
  addText("to", to, 80);
  addText("factor", factor, 40);
}

double CopyModel::factorValue() const {
  double x = 0;
  auto [end, ec] = std::from_chars(factor.data(), factor.data() + factor.size(), x);
  return ec == std::errc() && end == factor.data() + factor.size() ? x : 1.0;
}

bool CopyModel::check(std::string& message) {
  if (from.empty() || to.empty()) {
    message = "Give the range to copy from and the range to copy to.";
    return false;
  }
  double x = 0;
  auto [end, ec] = std::from_chars(factor.data(), factor.data() + factor.size(), x);
  if (kind == 3 && (ec != std::errc() || end != factor.data() + factor.size())) {
    message = "The factor is a number.";
    return false;
  }
  return true;
}

// --- Properties -----------------------------------------------------------------------

PropertiesModel::PropertiesModel(Properties start, std::string r, uint8_t p,
                                 std::vector<std::string> faces)
    : values(start), range(std::move(r)), page(p), typefaces(std::move(faces)) {
  values.mask = 0;
  addText("range", range, 80);
  auto number = [this](const char* name, uint8_t bit, auto setter, int lowest, long long highest) {
    addField(
        name, [] { return std::string(); },
        [this, bit, setter, lowest, highest](std::string_view v) {
          long long n = 0;
          auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n, 10);
          if (ec != std::errc() || end != v.data() + v.size() || n < lowest || n > highest)
            return false;
          setter(n);
          changed(bit);
          return true;
        });
  };
  addField(
      "format", [this] { return std::to_string(values.format); },
      [this](std::string_view v) {
        values.format = ParseFormatCode(std::string(v).substr(0, 8)) & kFormatMask;
        changed(kPageFormat);
        return true;
      });
  number(
      "shade", kPageShade, [this](long long n) { values.background = uint32_t(n); }, 0, 0xFFFFFF);
  addField(
      "default", [this] { return std::string(values.defaultShade ? "1" : "0"); },
      [this](std::string_view v) {
        std::string u = upperCased(v);
        values.defaultShade = u == "1" || u == "Y" || u == "YES" || u == "ON" || u == "TRUE";
        changed(kPageShade);
        return true;
      });
  number(
      "font", kPageTypeface, [this](long long n) { values.font = uint8_t(n); }, 0, 255);
  number(
      "size", kPageTypeface, [this](long long n) { values.size = uint8_t(n); }, 0, 255);
  number(
      "style", kPageTypeface, [this](long long n) { values.styleBits = uint8_t(n); }, 0, 7);
  number(
      "colour", kPageTypeface, [this](long long n) { values.textColour = uint8_t(n); }, 0, 15);
  addField(
      "prefix", [] { return std::string(); },
      [this](std::string_view v) {
        std::string u = upperCased(v);
        if (u == "LEFT")
          values.prefix = PrefixChoice::Left;
        else if (u == "CENTER" || u == "CENTRE")
          values.prefix = PrefixChoice::Center;
        else if (u == "RIGHT")
          values.prefix = PrefixChoice::Right;
        else
          return false;
        changed(kPagePrefix);
        return true;
      });
  addField(
      "lock", [this] { return std::string(values.locked ? "enable" : "disable"); },
      [this](std::string_view v) {
        std::string u = upperCased(v);
        if (u != "ENABLE" && u != "DISABLE") return false;
        values.locked = u == "ENABLE";
        changed(kPageLock);
        return true;
      });
  addField(
      "line", [] { return std::string(); },
      [this](std::string_view v) {
        std::string u = upperCased(v);
        if (u == "NONE")
          values.line = BorderLine::None;
        else if (u == "SINGLE")
          values.line = BorderLine::Single;
        else if (u == "THICK")
          values.line = BorderLine::Thick;
        else
          return false;
        changed(kPageBorder);
        return true;
      });
  addField(
      "where", [] { return std::string(); },
      [this](std::string_view v) {
        std::string u = upperCased(v);
        if (u == "IN")
          values.where = BorderWhere::In;
        else if (u == "OUT")
          values.where = BorderWhere::Out;
        else if (u == "ALL")
          values.where = BorderWhere::All;
        else if (u == "CLEAR")
          values.where = BorderWhere::Clear;
        else
          return false;
        changed(kPageBorder);
        return true;
      });
  addField(
      "point", [] { return std::string(); },
      [this](std::string_view) {
        pointAtRange = true;
        return true;
      });
}

bool PropertiesModel::check(std::string& message) {
  if (pointAtRange) return true;
  if (!canApply()) {
    message = "Change a page first.";
    return false;
  }
  if (range.empty()) {
    message = "Give the range.";
    return false;
  }
  return true;
}

// --- General settings ------------------------------------------------------------------

GeneralSettingsModel::GeneralSettingsModel(GeneralSettings v) : values(std::move(v)) {
  GeneralSettings& g = values;
  addFlag("protect", g.protection);
  addFlag("negative", g.negativeInColour);
  addFlag("zeros", g.showZeros);
  addFlag("banding", g.banding);
  addFlag("autocalc", g.automaticRecalc);
  addFlag("bins", g.binsLowerInclusive);
  addFlag("unprotected", g.markUnprotected);
  addFlag("undo", g.undo);
  addFlag("backups", g.backups);
  addFlag("usdates", g.usDates);
  addFlag("tips", g.tips);
  addFlag("controlkeys", g.windowsControlKeys);
  addFlag("olddialogs", g.oldFileDialogs);
  addFlag("printblack", g.printBlack);
  addFlag("twodigityears", g.twoDigitYears);
  addChar("prefix", g.labelPrefix);
  addChar("separator", g.argumentSeparator);
  addChar("thousands", g.thousandsSeparator);
  addChar("decimal", g.decimalSeparator);
  addText("currencybefore", g.currencyPrefix, 255);
  addText("currencyafter", g.currencySuffix, 255);
  addText("toolbar", g.toolbarFile, 255);
}

void GeneralSettingsModel::chooseToolbarFile() {
  if (!host) return;
  FileRequest request;
  request.title = "Toolbar File";
  request.filters = {"Toolbar (*.mac)"};
  std::optional<std::string> path = host->openFileName(request);
  if (path) values.toolbarFile = *path;
}

// --- Document information -----------------------------------------------------------------

DocumentInfoModel::DocumentInfoModel(const Worksheet& ws)
    : title(ws.settings.title),
      comments(ws.settings.comments),
      file(ws.hasFileName ? ws.fileName : ws.name),
      user(ws.settings.userName) {
  created = "not saved yet";
  if (ws.settings.creationDate != 0)
    created = DateText(2, ws.settings.creationDate) + " " +
              FormatNumber(12, 0x77, ws.settings.creationTime, FormatOptions{});
  addText("title", title, 80);
  addText("comments", comments, 255);
  addReadOnly("file", [this] { return file; });
  addReadOnly("user", [this] { return user; });
  addReadOnly("created", [this] { return created; });
}

// --- System information ---------------------------------------------------------------------

SystemInfoModel::SystemInfoModel(Session& session) {
  size_t cells = 0;
  for (const auto& ws : session.worksheets()) cells += ws->pool().liveCells();
  Host& host = session.host();
  facts = {{"Program", "TALLOWAY 1.601"},
           {"Operating system", host.osVersion()},
           {"User", host.userName()},
           {"Free memory", std::to_string(availableMemoryBytes() / (1024 * 1024)) + " MB"},
           {"Open worksheets", std::to_string(session.worksheets().size())},
           {"Cells in use", std::to_string(cells)},
           {"Directory", host.currentDirectory()}};
  for (const Fact& f : facts) {
    std::string key = f.label;
    addReadOnly(key, [this, key] {
      for (const Fact& g : facts)
        if (g.label == key) return g.value;
      return std::string();
    });
  }
}

}  // namespace tw
