#include "functions/system_functions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/cell.h"
#include "core/cell_address.h"
#include "core/cell_pool.h"
#include "core/evaluator.h"
#include "core/file_names.h"
#include "core/formula_code.h"
#include "core/link_table.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/handler_support.h"

namespace tw {

namespace {

constexpr double kVersion = 1.601;
constexpr double kTotalMemory = 66842640;
constexpr size_t kLinkTextLimit = 80;
constexpr size_t kLinkAddressLimit = 10;

std::string_view trimmed(std::string_view s) {
  size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  size_t last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

bool isLetter(char c) {
  return c >= 'A' && c <= 'Z';
}

// A name without a leading "/" is relative to the program's current directory.
std::string resolvedPath(std::string_view name, const std::string& directory) {
  if (!name.empty() && name[0] == '/') return std::string(name);
  std::string path = directory;
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace

LinkReference parseLinkReference(std::string_view text, const std::string& directory,
                                 int sheetRows) {
  LinkReference out;
  text = text.substr(0, std::min(text.size(), kLinkTextLimit));
  size_t arrow = text.find('>');
  if (arrow == std::string_view::npos) return out;
  std::string_view file = trimmed(text.substr(0, arrow));
  std::string reference = upperCased(trimmed(text.substr(arrow + 1)));
  if (file.empty()) return out;

  // Sheet tabs are named A..Z, AA, AB, ... like columns.
  int sheet = 0;
  std::string_view address = reference;
  if (size_t colon = reference.find(':'); colon != std::string::npos) {
    std::string_view name = std::string_view(reference).substr(0, colon);
    if (name.empty() || name.size() > 2 || !std::all_of(name.begin(), name.end(), isLetter))
      return out;
    sheet = name.size() == 1 ? name[0] - 'A' : 26 * (name[0] - 'A' + 1) + (name[1] - 'A');
    address = std::string_view(reference).substr(colon + 1);
  }
  if (address.empty() || address.size() > kLinkAddressLimit) return out;
  ParsedCorner corner = parseCorner(address, 0);
  if (!corner.ok || !validAddress(corner.row, corner.col)) return out;
  bool divided = sheetRows > 0 && sheetRows < kRows;
  // Without a division of the asking worksheet a sheet other than A has no
  // rows to stand for; guessing one would fetch a wrong cell silently.
  if (sheet > 0 && !divided) return out;
  long row = corner.row + static_cast<long>(sheet) * (divided ? sheetRows : 0);
  if (row >= kRows) return out;
  out.row = static_cast<int>(row);
  out.col = corner.col;
  out.path = resolvedPath(file, directory);
  out.ok = true;
  return out;
}

namespace {

void fnLINK(Evaluator& ev, EvalState& st) {
  Session& session = ev.session();
  LinkReference ref = parseLinkReference(argumentText(ev, st, 1), session.host().currentDirectory(),
                                         st.ws->settings.sheetRows);
  if (!ref.ok) {
    st.error = true;
    ev.setResult(st, 1);
    return;
  }
  const LinkCell& cell = session.links().request(ref.path, ref.row, ref.col);
  if (!cell.loaded)
    ev.setResultString(st, "N/A");
  else if (cell.isText)
    ev.setResultString(st, cell.text);
  else
    giveResult(ev, st, {cell.number, false});
}

void fnAUTO(Evaluator& ev, EvalState& st) {
  ev.setResult(st, st.ws->settings.manualRecalc ? 0 : 1);
}

void fnPROTECT(Evaluator& ev, EvalState& st) {
  ev.setResult(st, st.ws->settings.protection ? 1 : 0);
}

void fnVERSION(Evaluator& ev, EvalState& st) {
  ev.setResult(st, kVersion);
}

void fnDOSVER(Evaluator& ev, EvalState& st) {
  ev.setResultString(st, "N/A");
}

// "6.1", "10.0.19045" or "6.1.0-17-amd64": the first two numbers.
void fnOSVER(Evaluator& ev, EvalState& st) {
  std::string v = ev.session().host().osVersion();
  std::array<int, 2> parts{0, 0};
  const char* p = v.data();
  const char* end = v.data() + v.size();
  for (int& part : parts) {
    while (p < end && (*p < '0' || *p > '9')) ++p;
    auto r = std::from_chars(p, end, part);
    if (r.ec != std::errc()) part = 0;
    p = r.ptr;
    while (p < end && *p >= '0' && *p <= '9') ++p;  // digits beyond an int's range
  }
  ev.setResult(st, (parts[0] * 1000.0 + parts[1]) / 1000);
}

void fnPATH(Evaluator& ev, EvalState& st) {
  ev.setResultString(st, ev.session().host().currentDirectory());
}

void fnFILENAME(Evaluator& ev, EvalState& st) {
  Worksheet* ws = ev.session().current();
  if (!ws) ws = st.ws;
  ev.setResultString(st, ws->hasFileName && !ws->fileName.empty() ? ws->fileName : ws->name);
}

void fnIORESULT(Evaluator& ev, EvalState& st) {
  Session& session = ev.session();
  int code = session.ioResult;
  session.ioResult = 0;
  ev.setResult(st, code);
}

// What the open worksheets hold in cell records and dependency links.
double memoryHeld(Session& session) {
  double held = 0;
  for (const auto& ws : session.worksheets()) {
    held += static_cast<double>(ws->pool().liveCells()) * sizeof(Cell);
    held += static_cast<double>(ws->pool().liveLinks()) * sizeof(DependentLink);
  }
  return held;
}

void fnMEMAVAIL(Evaluator& ev, EvalState& st) {
  double x = argumentNumber(ev, st, 1);
  switch (integerRule(x)) {
    case 0:
      ev.setResult(st, kTotalMemory);
      break;
    case 1:
      ev.setResult(st, kTotalMemory - memoryHeld(ev.session()));
      break;
    case 2:
      ev.setResult(st, memoryHeld(ev.session()));
      break;
    default:
      ev.setResult(st, x);
      break;
  }
}

void fnQVIEW(Evaluator& ev, EvalState& st) {
  switch (argumentInteger(ev, st, 1)) {
    case 0:
      ev.setResult(st, ev.session().activeWindow);
      break;
    case 1:
      ev.setResult(st, ev.session().activationCount);
      break;
    default:
      st.error = true;
      ev.setResult(st, 1);
      break;
  }
}

void fnHEX(Evaluator& ev, EvalState& st) {
  double x = argumentNumber(ev, st, 1);
  if (x > 65535) {
    st.error = true;
    ev.setResult(st, 1);
    return;
  }
  auto pattern = static_cast<uint16_t>(integerRule(x));
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s = "$";
  for (int shift = 12; shift >= 0; shift -= 4) s += kDigits[(pattern >> shift) & 0xF];
  ev.setResultString(st, s);
}

// Up to eight characters, so the value fits 32 bits; read without a sign,
// so DEC("FFFF") is 65535 as HEX(65535) was "$FFFF".
void fnDEC(Evaluator& ev, EvalState& st) {
  std::string s = argumentText(ev, st, 1);
  if (s.size() >= 9) {
    st.error = true;
    ev.setResult(st, 1);
    return;
  }
  std::string_view digits(s);
  if (!digits.empty() && digits[0] == '$') digits.remove_prefix(1);
  uint32_t v = 0;
  auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v, 16);
  if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size()) {
    st.error = true;
    ev.setResult(st, 1);
    return;
  }
  ev.setResult(st, v);
}

void fnFILEINFO(Evaluator& ev, EvalState& st) {
  namespace fs = std::filesystem;
  Session& session = ev.session();
  int kind = argumentInteger(ev, st, 1);
  auto fail = [&] {
    st.error = true;
    ev.setResult(st, 1);
  };
  if (kind == 4) {
    ev.setResultString(st, session.lastFileMessage);
    return;
  }
  if (kind < 1 || kind > 3) return fail();
  std::string name = argumentText(ev, st, 2);
  if (name.empty()) return fail();
  // A name not found as given is looked up without case, so DATA.WKS finds data.wks.
  std::string given = resolvedPath(name, session.host().currentDirectory());
  fs::path path = findExistingFile(given).value_or(given);
  std::error_code ec;
  fs::file_status status = fs::status(path, ec);
  bool regular = !ec && fs::is_regular_file(status);
  if (kind == 3) {
    if (ec || !fs::exists(status)) return fail();
    int bits = 0;
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) bits |= 0x01;
    if (fs::is_directory(status))
      bits |= 0x10;
    else
      bits |= 0x20;
    ev.setResult(st, bits);
    return;
  }
  bool openable = regular && std::ifstream(path, std::ios::binary).is_open();
  if (kind == 2) {
    ev.setResult(st, openable ? 1 : 0);
    return;
  }
  if (!openable) return fail();
  uintmax_t size = fs::file_size(path, ec);
  if (ec) return fail();
  ev.setResult(st, static_cast<double>(size));
}

// Degrees, minutes and seconds, each truncated. The seconds get a slack of
// at most a millisecond, scaled to the rounding error of the fraction, so
// that 10.2 degrees reads 10:12:00 and not 10:11:59 from the binary 0.1999...
void fnDMS(Evaluator& ev, EvalState& st) {
  double x = argumentNumber(ev, st, 1);
  double ax = std::fabs(x);
  double degrees = std::floor(ax);
  double slack = std::min(1e-6 + ax * 1e-12, 1e-3);
  double seconds = (ax - degrees) * 3600 + slack;
  double minutes = std::floor(seconds / 60);
  seconds = std::floor(seconds - minutes * 60);
  if (seconds >= 60) {
    seconds -= 60;
    ++minutes;
  }
  if (minutes >= 60) {
    minutes -= 60;
    ++degrees;
  }
  std::array<char, 400> buf;
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), degrees, std::chars_format::fixed, 0);
  std::string s(buf.data(), r.ptr);
  auto twoDigits = [](double v) {
    int n = static_cast<int>(v);
    return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
  };
  s += ':' + twoDigits(minutes) + ':' + twoDigits(seconds);
  if (x < 0 && (degrees != 0 || minutes != 0 || seconds != 0)) s.insert(0, 1, '-');
  ev.setResultString(st, s);
}

}  // namespace

void installSystemFunctions(FunctionTable& t) {
  t.define(0x7B, "LINK", cls::kArgs1, fnLINK);
  t.define(0x8B, "MEMAVAIL", cls::kArgs1, fnMEMAVAIL);
  t.define(0x8D, "DOSVER", cls::kArgs0, fnDOSVER);
  t.define(0x8E, "VERSION", cls::kArgs0, fnVERSION);
  t.define(0x8F, "AUTO", cls::kArgs0, fnAUTO);
  t.define(0x90, "PROTECT", cls::kArgs0, fnPROTECT);
  t.define(0x91, "QVIEW", cls::kArgs1, fnQVIEW);
  t.define(0x92, "HEX", cls::kArgs1, fnHEX);
  t.define(0x93, "DEC", cls::kArgs1, fnDEC);
  t.define(0x94, "PATH", cls::kArgs0, fnPATH);
  t.define(0x97, "FILEINFO", cls::kArgs2, fnFILEINFO);
  t.define(0x98, "IORESULT", cls::kArgs0, fnIORESULT);
  t.define(0x9C, "FILENAME", cls::kArgs0, fnFILENAME);
  t.define(0xB4, "DMS", cls::kArgs1, fnDMS);
  t.define(0xBA, "OSVER", cls::kArgs0, fnOSVER);
}

}  // namespace tw
