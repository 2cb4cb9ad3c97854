#include "files/settings_file.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

namespace tw {

namespace fs = std::filesystem;

namespace {

// Ordinary lines are cut here; lines holding paths are not.
constexpr size_t kLineLength = 80;
// Bounds what one line of a damaged file can cost; longer than any path.
constexpr size_t kLongestLine = 8192;
// The formats list is shown in a dialog; a damaged file must not grow it
// without end.
constexpr size_t kMostFormats = 255;
// The File menu keeps at most this many recent files.
constexpr size_t kMostRecentFiles = 10;
// The worksheet file keeps margins as 16-bit hundredths of an inch.
constexpr double kWidestMargin = 327.67;

// ---------------------------------------------------------------------------
// The keys, in the order and sections in which they are written.

enum class Form {
  kSection,
  kBoolean,
  kInteger,
  kColour,
  kReal,
  kCharacter,
  kText,
  kPath,
  kFormats,
  kHistory,
  kWriteOnly,
};

enum class CharacterRule { kAny, kLabelPrefix, kSeparator };

using FieldRef = std::variant<std::monostate, bool*, int*, uint32_t*, double*, char*, std::string*,
                              std::vector<NamedFormat>*, std::vector<std::string>*>;

struct Entry {
  std::string_view key;  // "[Flags]" for a section header
  Form form;
  FieldRef field{};
  int minimum = 0;  // integers
  int maximum = 0;
  size_t maxLength = 0;  // texts; 0 = no limit
  bool emptyKeepsValue = false;
  CharacterRule characterRule = CharacterRule::kAny;
  std::string writtenValue{};  // write-only keys
};

Entry section(std::string_view header) {
  return {header, Form::kSection};
}
Entry boolean(std::string_view key, bool& b) {
  return {key, Form::kBoolean, &b};
}
Entry integer(std::string_view key, int& v, int lo, int hi) {
  return {key, Form::kInteger, &v, lo, hi};
}
Entry colour(std::string_view key, uint32_t& c) {
  return {key, Form::kColour, &c};
}
Entry real(std::string_view key, double& d) {
  return {key, Form::kReal, &d};
}
Entry character(std::string_view key, char& c, CharacterRule rule) {
  Entry e{key, Form::kCharacter, &c};
  e.characterRule = rule;
  return e;
}
Entry text(std::string_view key, std::string& t, size_t maxLength) {
  Entry e{key, Form::kText, &t};
  e.maxLength = maxLength;
  return e;
}
Entry path(std::string_view key, std::string& t, bool emptyKeepsValue) {
  Entry e{key, Form::kPath, &t};
  e.emptyKeepsValue = emptyKeepsValue;
  return e;
}
Entry writeOnly(std::string_view key, std::string value) {
  Entry e{key, Form::kWriteOnly};
  e.writtenValue = std::move(value);
  return e;
}

std::vector<Entry> layout(ProgramSettings& s, const std::string& programDirectory) {
  WorksheetSettings& w = s.worksheetDefaults;
  auto& c = w.colours;
  auto& m = w.margins;
  return {
      section("[Directories]"),
      writeOnly("START=", programDirectory),
      path("SAVE=", s.saveDirectory, true),
      path("LOAD=", s.loadDirectory, true),
      section("[Formats]"),
      {"FORMAT=", Form::kFormats, &s.formats},
      section("[Flags]"),
      boolean("PRO=", w.protection),
      boolean("NEG=", w.negativeInColour),
      boolean("ZERO=", w.zerosHidden),
      boolean("BAND=", w.banding),
      boolean("MCALC=", w.manualRecalc),
      boolean("3DON=", w.threeD),
      boolean("DIST=", w.binsLowerInclusive),
      boolean("TIPS=", s.tips),
      boolean("USDATE=", s.usDates),
      boolean("QBAR=", s.quickBar),
      boolean("MBAR=", s.macroBar),
      boolean("SBAR=", s.statusBar),
      boolean("WINCTRL=", s.windowsControlKeys),
      boolean("PREOPEN=", s.preopen),
      boolean("MDIMAX=", s.maximised),
      boolean("OCFDS=", s.oldFileDialogs),
      boolean("RDTSC=", s.timeStampCounter),
      boolean("UNDO=", s.undo),
      boolean("BACKUPS=", s.backups),
      boolean("PBGRID=", s.printBlack),
      section("[Chars]"),
      character("PREFIX=", w.labelPrefix, CharacterRule::kLabelPrefix),
      text("CURR=", w.currencyPrefix, 2),
      text("CURS=", w.currencySuffix, 2),
      character("SEP=", s.argumentSeparator, CharacterRule::kSeparator),
      character("COMMA=", s.thousandsSeparator, CharacterRule::kSeparator),
      character("PERIOD=", s.decimalSeparator, CharacterRule::kSeparator),
      section("[Colors]"),
      colour("BKCLR=", c[kBackgroundColour]),
      colour("BDCLR=", c[kBorderColour]),
      colour("VALCLR=", c[kValueColour]),
      colour("NEGCLR=", c[kNegativeColour]),
      colour("LBLCLR=", c[kLabelColour]),
      colour("PROCLR=", c[kProtectedColour]),
      colour("CURCLR=", c[kCursorColour]),
      colour("GRIDCLR=", s.gridColour),
      section("[Files]"),
      path("AUTOEXEC=", s.autoexec, false),
      path("TOOLMAC=", s.toolMacros, true),
      writeOnly("TOOLGL=", ""),
      integer("HSIZE=", s.historySize, 0, static_cast<int>(kMostRecentFiles)),
      {"HIST=", Form::kHistory, &s.history},
      section("[Defaults]"),
      writeOnly("SCALE=", "100"),
      integer("GFORM=", s.graphForm, 0, 255),
      text("GFONT=", s.graphFont, 40),
      integer("GSIZE=", s.graphSize, 1, 999),
      integer("PRELOAD=", s.preload, 0, 4),
      section("[Printer]"),
      boolean("PMONO=", s.printMono),
      boolean("PFRAME=", s.printFrame),
      integer("PORIENT=", s.printOrientation, 0, 1),
      real("MTTR=", m[kMarginTop]),
      real("MLTR=", m[kMarginLeft]),
      real("MRTR=", m[kMarginRight]),
      real("MBTR=", m[kMarginBottom]),
      real("MTHR=", m[kMarginHeader]),
      real("MBFR=", m[kMarginFooter]),
  };
}

// ---------------------------------------------------------------------------
// Text helpers. None of them depend on the C library's locale, which the
// desktop program sets from the user's environment.

bool isSpace(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view v) {
  while (!v.empty() && isSpace(v.front())) v.remove_prefix(1);
  while (!v.empty() && isSpace(v.back())) v.remove_suffix(1);
  return v;
}

bool hasControlBytes(std::string_view v) {
  for (char c : v) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return true;
  }
  return false;
}

bool isAsciiAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char upperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Reads one line of at most `limit` bytes; the rest of a longer line is
// skipped and `cut` set. False at the end of the input.
bool readLine(std::streambuf& in, std::string& line, size_t limit, bool& cut) {
  line.clear();
  cut = false;
  using Traits = std::streambuf::traits_type;
  Traits::int_type ch = in.sbumpc();
  if (Traits::eq_int_type(ch, Traits::eof())) return false;
  while (!Traits::eq_int_type(ch, Traits::eof()) && Traits::to_char_type(ch) != '\n') {
    if (line.size() < limit)
      line.push_back(Traits::to_char_type(ch));
    else
      cut = true;
    ch = in.sbumpc();
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

// A number in decimal (with the decimal point or the program's decimal
// separator, exponent allowed) or, after "$", in hexadecimal.
std::optional<double> parseNumber(std::string_view v, char decimalSeparator) {
  v = trimmed(v);
  if (v.empty()) return std::nullopt;
  if (v.front() == '$') {
    v.remove_prefix(1);
    uint64_t x = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), x, 16);
    if (ec != std::errc() || end != v.data() + v.size() || v.empty()) return std::nullopt;
    return static_cast<double>(x);
  }
  std::string digits(v);
  if (digits.front() == '+') digits.erase(0, 1);
  if (decimalSeparator != '.' && digits.find('.') == std::string::npos)
    for (char& c : digits)
      if (c == decimalSeparator) c = '.';
  double x = 0;
  auto [end, ec] =
      std::from_chars(digits.data(), digits.data() + digits.size(), x, std::chars_format::general);
  if (ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(x))
    return std::nullopt;
  return x;
}

// Integers are rounded half away from zero.
std::optional<long long> parseInteger(std::string_view v, char decimalSeparator) {
  auto x = parseNumber(v, decimalSeparator);
  if (!x || std::fabs(*x) > 9.0e15) return std::nullopt;
  return std::llround(*x);
}

bool validCharacter(char c, CharacterRule rule) {
  switch (rule) {
    case CharacterRule::kLabelPrefix:
      return c == '\'' || c == '"' || c == '^' || c == '\\' || c == '|';
    case CharacterRule::kSeparator:
      // A letter or digit as a separator would make numbers and formulas
      // unreadable.
      return !hasControlBytes(std::string_view(&c, 1)) && !isAsciiAlphanumeric(c);
    case CharacterRule::kAny:
      break;
  }
  return true;
}

// One line of the settings file applied to s.
void applyLine(const std::string& raw, bool cut, std::vector<Entry>& entries, ProgramSettings& s,
               int processorType, bool& formatsSeen, bool& historySeen) {
  size_t eq = raw.find('=');
  if (eq == std::string::npos) return;
  std::string_view key(raw.data(), eq + 1);
  Entry* entry = nullptr;
  for (Entry& e : entries) {
    if (e.key == key && e.form != Form::kSection) {
      entry = &e;
      break;
    }
  }
  if (entry == nullptr || entry->form == Form::kWriteOnly) return;

  bool holdsPath = entry->form == Form::kPath || entry->form == Form::kHistory;
  // A path that did not fit would name another file.
  if (holdsPath && cut) return;
  std::string_view line(raw);
  if (!holdsPath && line.size() > kLineLength) line = line.substr(0, kLineLength);

  if (entry->form == Form::kCharacter) {
    // Taken before comments are dropped: ";" is a sound separator.
    if (eq + 1 >= line.size()) return;
    char c = line[eq + 1];
    if (validCharacter(c, entry->characterRule)) *std::get<char*>(entry->field) = c;
    return;
  }

  if (size_t semicolon = line.find(';'); semicolon != std::string_view::npos)
    line = line.substr(0, semicolon);
  std::string_view value = line.substr(eq + 1);

  switch (entry->form) {
    case Form::kBoolean: {
      bool b = value.find("TRUE") != std::string_view::npos;
      if (entry->key == "RDTSC=" && processorType != kTimeStampProcessorType) b = false;
      *std::get<bool*>(entry->field) = b;
      break;
    }
    case Form::kInteger: {
      auto x = parseInteger(value, s.decimalSeparator);
      if (x && *x >= entry->minimum && *x <= entry->maximum)
        *std::get<int*>(entry->field) = static_cast<int>(*x);
      break;
    }
    case Form::kColour: {
      auto x = parseInteger(value, s.decimalSeparator);
      if (x && *x >= 0 && *x <= 0xFFFFFFFFLL)
        *std::get<uint32_t*>(entry->field) = static_cast<uint32_t>(*x);
      break;
    }
    case Form::kReal: {
      auto x = parseNumber(value, s.decimalSeparator);
      // Adding 0.0 turns a read "-0" into 0.
      if (x && *x >= 0 && *x <= kWidestMargin) *std::get<double*>(entry->field) = *x + 0.0;
      break;
    }
    case Form::kText:
      if (!hasControlBytes(value))
        *std::get<std::string*>(entry->field) = std::string(value.substr(0, entry->maxLength));
      break;
    case Form::kPath:
      if (hasControlBytes(value) || (value.empty() && entry->emptyKeepsValue)) break;
      *std::get<std::string*>(entry->field) = std::string(value);
      break;
    case Form::kFormats: {
      auto& formats = *std::get<std::vector<NamedFormat>*>(entry->field);
      size_t comma = value.find(',');
      std::string_view code = trimmed(value.substr(0, comma));
      std::string_view description =
          comma == std::string_view::npos ? std::string_view() : trimmed(value.substr(comma + 1));
      if (code.empty() || hasControlBytes(value)) break;
      // The file's list replaces the built-in one rather than extending it.
      if (!formatsSeen) formats.clear();
      formatsSeen = true;
      if (formats.size() < kMostFormats)
        formats.push_back({std::string(code), std::string(description)});
      break;
    }
    case Form::kHistory: {
      auto& history = *std::get<std::vector<std::string>*>(entry->field);
      if (value.empty() || hasControlBytes(value)) break;
      if (!historySeen) history.clear();
      historySeen = true;
      // The file lists the newest first, as the list keeps them.
      if (history.size() < kMostRecentFiles) history.emplace_back(value);
      break;
    }
    case Form::kSection:
    case Form::kCharacter:
    case Form::kWriteOnly:
      break;
  }
}

// ---------------------------------------------------------------------------
// Writing.

// A line break inside a value would start a line of its own.
std::string_view oneLine(std::string_view v) {
  size_t end = v.find_first_of("\r\n");
  return end == std::string_view::npos ? v : v.substr(0, end);
}

void appendInteger(std::string& out, long long x) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x);
  out.append(buffer, end);
}

void appendColour(std::string& out, uint32_t c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.push_back('$');
  for (int shift = 28; shift >= 0; shift -= 4) out.push_back(kHex[(c >> shift) & 0xF]);
}

void appendReal(std::string& out, double x) {
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 2);
  if (ec == std::errc())
    out.append(buffer, end);
  else
    out.append("0.00");
}

std::string settingsText(ProgramSettings s, const std::string& programDirectory) {
  std::string out;
  auto line = [&out](std::string_view key, std::string_view value) {
    out.append(key);
    out.append(oneLine(value));
    out.push_back('\n');
  };
  for (const Entry& e : layout(s, programDirectory)) {
    switch (e.form) {
      case Form::kSection:
        out.push_back('\n');
        line(e.key, "");
        break;
      case Form::kBoolean:
        line(e.key, *std::get<bool*>(e.field) ? "TRUE" : "FALSE");
        break;
      case Form::kInteger:
        out.append(e.key);
        appendInteger(out, *std::get<int*>(e.field));
        out.push_back('\n');
        break;
      case Form::kColour:
        out.append(e.key);
        appendColour(out, *std::get<uint32_t*>(e.field));
        out.push_back('\n');
        break;
      case Form::kReal:
        out.append(e.key);
        appendReal(out, *std::get<double*>(e.field));
        out.push_back('\n');
        break;
      case Form::kCharacter:
        line(e.key, std::string_view(std::get<char*>(e.field), 1));
        break;
      case Form::kText:
      case Form::kPath:
        line(e.key, *std::get<std::string*>(e.field));
        break;
      case Form::kFormats:
        for (const NamedFormat& f : *std::get<std::vector<NamedFormat>*>(e.field))
          line(e.key, f.code + "," + f.description);
        break;
      case Form::kHistory:
        for (const std::string& name : *std::get<std::vector<std::string>*>(e.field))
          line(e.key, name);
        break;
      case Form::kWriteOnly:
        line(e.key, e.writtenValue);
        break;
    }
  }
  return out;
}

bool writeWholeFile(const std::string& name, const std::string& contents) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  out.close();
  return !out.fail();
}

// Tries to create a file, since permissions alone do not tell (read-only
// mounts, ownership).
bool directoryWritable(const std::string& directory) {
  std::error_code ec;
  if (!fs::is_directory(directory, ec)) return false;
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path probe = fs::path(directory) / (".talloway-probe-" + std::to_string(stamp));
  if (fs::exists(probe, ec)) return false;
  bool writable = false;
  {
    std::ofstream out(probe, std::ios::binary);
    writable = static_cast<bool>(out);
  }
  if (writable) fs::remove(probe, ec);
  return writable;
}

std::string withoutTrailingSlash(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string nonEmptyEnvironment(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? std::string(v) : std::string();
}

}  // namespace

std::string settingsDirectory(const std::string& programDirectory) {
  std::error_code ec;
  if (std::string home = nonEmptyEnvironment("TALLOWAY_HOME"); !home.empty()) {
    fs::create_directories(home, ec);
    return withoutTrailingSlash(home);
  }
  if (!programDirectory.empty() && directoryWritable(programDirectory))
    return withoutTrailingSlash(programDirectory);
  std::string base = nonEmptyEnvironment("XDG_CONFIG_HOME");
  if (base.empty() || base.front() != '/') {
    std::string home = nonEmptyEnvironment("HOME");
    if (home.empty()) return withoutTrailingSlash(programDirectory);
    base = withoutTrailingSlash(home) + "/.config";
  }
  std::string dir = withoutTrailingSlash(base) + "/talloway";
  fs::create_directories(dir, ec);
  return dir;
}

std::string settingsBackupName(const std::string& path) {
  if (path.empty()) return path;
  std::string backup = path;
  backup.back() = 'b';
  return backup;
}

bool ReadSettings(const std::string& path, ProgramSettings& s, int processorType,
                  const std::string& programDirectory) {
  std::error_code ec;
  std::string directory = programDirectory;
  if (directory.empty()) {
    fs::path absolute = fs::absolute(path, ec);
    directory = ec ? fs::path(path).parent_path().string() : absolute.parent_path().string();
  }
  s.saveDirectory = directory;
  s.loadDirectory = directory;

  if (fs::is_directory(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<Entry> entries = layout(s, directory);
  bool formatsSeen = false;
  bool historySeen = false;
  std::string raw;
  bool cut = false;
  bool first = true;
  while (readLine(*in.rdbuf(), raw, kLongestLine, cut)) {
    if (first && raw.starts_with("\xEF\xBB\xBF")) raw.erase(0, 3);
    first = false;
    applyLine(raw, cut, entries, s, processorType, formatsSeen, historySeen);
  }

  // The formula scanner cannot tell arguments from decimals when both use
  // one character; neither value of such a pair can be trusted.
  if (s.argumentSeparator == s.decimalSeparator) {
    const ProgramSettings defaults;
    s.argumentSeparator = defaults.argumentSeparator;
    s.decimalSeparator = defaults.decimalSeparator;
  }
  // New worksheets print as the printer section says.
  PrintOptions& print = s.worksheetDefaults.print;
  print.mono = s.printMono;
  print.frame = s.printFrame;
  print.landscape = s.printOrientation == 1;
  return true;
}

bool WriteSettings(const std::string& path, const ProgramSettings& s,
                   const std::string& programDirectory) {
  if (path.empty()) return false;
  const std::string temporary = path + ".new";
  std::error_code ec;
  if (!writeWholeFile(temporary, settingsText(s, programDirectory))) {
    fs::remove(temporary, ec);
    return false;
  }

  const std::string backup = settingsBackupName(path);
  bool backedUp = false;
  if (fs::exists(path, ec)) {
    fs::remove(backup, ec);
    fs::rename(path, backup, ec);
    backedUp = !ec;
  }
  fs::rename(temporary, path, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    if (backedUp) fs::rename(backup, path, ignored);
    return false;
  }
  return true;
}

bool ReadUserFunctions(const std::string& path, UserFunctionTable& table) {
  table.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;

  auto upperCased = [](std::string line) {
    for (char& c : line) c = upperAscii(c);
    return line;
  };
  std::string raw;
  bool cut = false;
  while (table.count() < UserFunctionTable::kMaxFunctions &&
         readLine(*in.rdbuf(), raw, kLongestLine, cut)) {
    std::string line = upperCased(raw);
    line.resize(std::min(line.size(), line.find(';')));
    std::string_view definition = trimmed(line);
    if (definition.empty()) continue;

    UserFunction f;
    size_t comma = definition.find(',');
    f.name = std::string(trimmed(definition.substr(0, comma)));
    if (comma != std::string_view::npos) {
      std::string_view count = trimmed(definition.substr(comma + 1));
      int n = 0;
      auto [end, ec] = std::from_chars(count.data(), count.data() + count.size(), n);
      if (ec == std::errc::result_out_of_range && !count.empty() && count.front() != '-')
        n = UserFunctionTable::kMaxArguments;
      f.argumentCount = std::clamp(n, 0, UserFunctionTable::kMaxArguments);
    }

    // The formula line. With ";" as the argument separator a formula holds
    // semicolons of its own, so only one outside parentheses and quotes
    // starts a comment.
    if (!readLine(*in.rdbuf(), raw, kLongestLine, cut)) break;
    std::string formula = upperCased(raw);
    int depth = 0;
    bool quoted = false;
    for (size_t i = 0; i < formula.size(); ++i) {
      char c = formula[i];
      if (c == '"') quoted = !quoted;
      if (quoted) continue;
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (c == ';' && depth <= 0) {
        formula.resize(i);
        break;
      }
    }
    f.formula = std::string(trimmed(formula).substr(0, 255));
    if (!f.name.empty()) table.add(std::move(f));
  }
  return true;
}

}  // namespace tw
