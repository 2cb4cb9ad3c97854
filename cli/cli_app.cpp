#include "cli/cli_app.h"

#include <charconv>
#include <fstream>
#include <functional>
#include <map>

#include "cli/headless_host.h"
#include "core/cell_display.h"
#include "core/cell_entry.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/file_names.h"
#include "core/formula_code.h"
#include "core/formula_lister.h"
#include "core/range_parse.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "files/settings_file.h"
#include "files/worksheet_file.h"
#include "functions/function_library.h"

namespace tw {

std::string cellTypeName(const Cell& c) {
  static const char* const kNames[] = {"strformula", "numformula", "real",
                                       "integer",    "label",      "blank"};
  uint8_t t = c.kind & kKindTypeMask;
  std::string name = t <= 5 ? kNames[t] : "unknown";
  if (c.isErr()) name += ":err";
  return name;
}

std::string cellValueText(const Worksheet& ws, CellHandle h) {
  if (h == kNoCell) return {};
  const Cell& c = ws.cell(h);
  char decimal = ws.session().settings().decimalSeparator;
  if (isFormula(&c) && c.isErr()) return "ERR";
  switch (c.type()) {
    case CellType::NumberFormula:
    case CellType::Real:
    case CellType::Integer:
      return GeneralText(ws.CellNumber(h), decimal);
    case CellType::StringFormula:
    case CellType::Label:
      return ws.LabelText(h);
    default:
      return {};
  }
}

std::string cellDisplayText(const Worksheet& ws, CellHandle h) {
  if (h == kNoCell) return {};
  const Cell& c = ws.cell(h);
  FixedTextMeasure measure;
  int pixels = ws.columnPixels(c.column);
  CellShow shown = cellShows(ws, c, pixels, measure);
  // The text as it stands in its cell, one character a column, never spilling.
  std::string& t = shown.text;
  if (shown.kind == ShowKind::Picture) return {};
  while (shown.kind == ShowKind::Number && !t.empty() && t.back() == ' ') t.pop_back();
  size_t fits = static_cast<size_t>(std::max(pixels / 8, 0));
  if (t.size() > fits) t.resize(fits);
  return t;
}

namespace {

struct Context {
  Session& session;
  Worksheet& ws;
  std::ostream& out;
  std::ostream& err;
  int failure = 2;  // the exit status when an action fails
};

using Params = std::vector<std::string>;

struct Action {
  int minParams;
  int maxParams;
  std::function<bool(Context&, const Params&)> run;
  // An option such as "--at" that belongs to this action, with its value.
  const char* ownOption = nullptr;
};

bool parseCell(Context& cx, const std::string& text, int& row, int& col) {
  ParsedRange p = ParseRange(cx.ws, text, kStrictRange);
  cx.session.error().clear();
  if (!p.ok || !p.range.valid() || !p.range.isSingleCell()) {
    cx.err << "talloway-cli: not a cell address: " << text << '\n';
    return false;
  }
  row = p.range.row1;
  col = p.range.col1;
  return true;
}

bool parseRangeArg(Context& cx, const std::string& text, CellRange& r) {
  ParsedRange p = ParseRange(cx.ws, text, kStrictRange | kSingleDot);
  cx.session.error().clear();
  if (!p.ok || !p.range.valid()) {
    cx.err << "talloway-cli: not a range: " << text << '\n';
    return false;
  }
  r = p.range.ordered();
  return true;
}

bool enterOne(Context& cx, const std::string& addr, const std::string& text) {
  int row, col;
  if (!parseCell(cx, addr, row, col)) return false;
  EnterCell(cx.ws, text, row, col);
  cx.session.error().clear();
  return true;
}

bool actEnter(Context& cx, const Params& p) {
  size_t eq = p[0].find('=');
  if (eq == std::string::npos) {
    cx.err << "talloway-cli: --enter needs ADDR=TEXT\n";
    return false;
  }
  return enterOne(cx, p[0].substr(0, eq), p[0].substr(eq + 1));
}

bool actEnterFile(Context& cx, const Params& p) {
  std::ifstream in(p[0], std::ios::binary);
  if (!in) {
    cx.err << "talloway-cli: cannot read " << p[0] << '\n';
    return false;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    size_t space = line.find(' ');
    std::string addr = line.substr(0, space);
    std::string text = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (!enterOne(cx, addr, text)) return false;
  }
  return true;
}

bool actDump(Context& cx, const Params& p) {
  CellRange r = CellRange::of(0, 0, cx.ws.maxRow, cx.ws.maxCol);
  if (!p.empty() && !parseRangeArg(cx, p[0], r)) return false;
  // Lines are gathered and written in large pieces: a dump can run to
  // millions of cells.
  std::string buffer;
  buffer.reserve(1 << 16);
  auto field = [&](const std::string& text, char end) {
    buffer += text;
    buffer += end;
  };
  cx.ws.ForEachCell(r, [&](CellHandle h, Cell& c) {
    field(cx.ws.addressText(c.row, c.column), '\t');
    field(cellTypeName(c), '\t');
    field(CellInputText(cx.ws, h), '\t');
    field(cellValueText(cx.ws, h), '\t');
    field(cellDisplayText(cx.ws, h), '\n');
    if (buffer.size() > (1 << 16) - 1024) {
      cx.out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      buffer.clear();
    }
    return true;
  });
  cx.out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  return true;
}

bool actCode(Context& cx, const Params& p) {
  int row, col;
  if (!parseCell(cx, p[0], row, col)) return false;
  CellHandle h = cx.ws.FindCell(row, col);
  if (h == kNoCell || !isFormula(cx.ws.cellPtr(h)) || !cx.ws.cell(h).content) {
    cx.out << '\n';
    return true;
  }
  const uint8_t* content = cx.ws.cell(h).content;
  std::vector<uint8_t> code(content, content + content[0] + 1);
  ConvertReferences(cx.ws, code.data(), row, col, ReferenceForm::File);
  static const char* const kHex = "0123456789ABCDEF";
  std::string line;
  for (size_t i = 0; i < code.size(); ++i) {
    if (i) line += ' ';
    line += kHex[code[i] >> 4];
    line += kHex[code[i] & 15];
  }
  cx.out << line << '\n';
  return true;
}

bool actEval(Context& cx, const Params& p) {
  EvalResult r = cx.session.evaluator().EvaluateText(cx.ws, p[0]);
  cx.session.error().clear();
  if (r.error)
    cx.out << "ERR\n";
  else if (r.isString)
    cx.out << r.text << '\n';
  else
    cx.out << GeneralText(r.number, cx.session.settings().decimalSeparator) << '\n';
  return true;
}

bool actWidth(Context& cx, const Params& p) {
  size_t eq = p[0].find('=');
  int n = 0;
  std::string colText = p[0].substr(0, eq == std::string::npos ? 0 : eq);
  ParsedCorner corner = parseCorner(colText + "1", 0);
  const char* first = p[0].data() + eq + 1;
  const char* last = p[0].data() + p[0].size();
  auto [end, ec] = std::from_chars(first, last, n);
  if (eq == std::string::npos || !corner.ok || !validColumn(corner.col) || ec != std::errc() ||
      end != last || n < 1 || n > 31) {
    cx.err << "talloway-cli: --width needs COL=N (N from 1 to 31)\n";
    return false;
  }
  cx.ws.columnWidth[corner.col] = static_cast<uint16_t>(n * 8);
  return true;
}

bool actFormat(Context& cx, const Params& p) {
  size_t eq = p[0].find('=');
  CellRange r;
  if (eq == std::string::npos || !parseRangeArg(cx, p[0].substr(0, eq), r)) {
    if (eq == std::string::npos) cx.err << "talloway-cli: --format needs RANGE=CODE\n";
    return false;
  }
  uint8_t format = ParseFormatCode(p[0].substr(eq + 1));
  for (int row = r.row1; row <= r.row2; ++row)
    for (int col = r.col1; col <= r.col2; ++col) {
      CellHandle h = cx.ws.GetOrCreateCell(row, col);
      if (h == kNoCell) continue;
      Cell& c = cx.ws.cell(h);
      c.format = static_cast<uint8_t>((c.format & kFormatProtected) | (format & kFormatMask));
    }
  return true;
}

bool actSave(Context& cx, const Params& p) {
  if (!Save(cx.ws, p[0])) {
    cx.failure = 1;
    return false;
  }
  cx.ws.fileName = p[0];
  cx.ws.hasFileName = true;
  cx.ws.name = upperCased(p[0]);
  return true;
}

bool actExtract(Context& cx, const Params& p) {
  CellRange r;
  if (!parseRangeArg(cx, p[0], r)) return false;
  if (!Save(cx.ws, p[1], SaveScope::Extract, r)) {
    cx.failure = 1;
    return false;
  }
  return true;
}

bool actMerge(Context& cx, const Params& p) {
  LoadOptions options;
  options.mode = LoadMode::Combine;
  bool haveDestination = false;
  for (size_t k = 1; k < p.size(); ++k) {
    std::string word = upperCased(p[k]);
    if (word == "VALUES") {
      options.content = CombineContent::ValuesOnly;
    } else if (word == "FORMULAS") {
      options.content = CombineContent::Formulas;
    } else if (word == "REPLACE") {
      options.arithmetic = CombineArithmetic::Replace;
    } else if (word == "ADD") {
      options.arithmetic = CombineArithmetic::Add;
    } else if (word == "SUBTRACT") {
      options.arithmetic = CombineArithmetic::Subtract;
    } else if (word == "--AT" && k + 1 < p.size()) {
      if (!parseCell(cx, p[++k], options.destinationRow, options.destinationColumn)) return false;
      haveDestination = true;
    } else if (options.source.empty()) {
      options.source = p[k];
    } else {
      cx.err << "talloway-cli: --merge: unexpected " << p[k] << '\n';
      return false;
    }
  }
  if (!haveDestination) {
    cx.err << "talloway-cli: --merge needs --at ADDR\n";
    return false;
  }
  LoadReport report;
  if (Load(cx.ws, p[0], options, &report)) return true;
  if (!report.opened) {
    cx.failure = 1;
  } else if (!report.sourceFound) {
    cx.err << "talloway-cli: " << p[0] << " has no range named " << options.source << '\n';
  }
  return false;
}

bool actName(Context& cx, const Params& p) {
  size_t eq = p[0].find('=');
  CellRange r;
  if (eq == std::string::npos || eq == 0) {
    cx.err << "talloway-cli: --name needs NAME=RANGE\n";
    return false;
  }
  if (!parseRangeArg(cx, p[0].substr(eq + 1), r)) return false;
  std::string name = p[0].substr(0, eq);
  if (cx.ws.names.DefineName(name, r) == 0) {
    cx.err << "talloway-cli: cannot define the range name " << name << '\n';
    return false;
  }
  cx.ws.modified = true;
  return true;
}

bool actUnname(Context& cx, const Params& p) {
  if (cx.ws.names.DeleteName(p[0]) <= 0) {
    cx.err << "talloway-cli: no range name " << p[0] << '\n';
    return false;
  }
  cx.ws.modified = true;
  return true;
}

bool actNames(Context& cx, const Params&) {
  for (const RangeName& n : cx.ws.names.entries())
    cx.out << n.name << ' ' << cx.ws.rangeText(n.range) << '\n';
  return true;
}

const std::map<std::string, Action>& actions() {
  static const std::map<std::string, Action> table = {
      {"--enter", {1, 1, actEnter}},
      {"--enter-file", {1, 1, actEnterFile}},
      {"--dump", {0, 1, actDump}},
      {"--code", {1, 1, actCode}},
      {"--recalc",
       {0, 0,
        [](Context& cx, const Params&) {
          RecalcAllWindows(cx.session);
          return true;
        }}},
      {"--eval", {1, 1, actEval}},
      {"--manual",
       {0, 0,
        [](Context& cx, const Params&) {
          cx.ws.settings.manualRecalc = true;
          return true;
        }}},
      {"--auto",
       {0, 0,
        [](Context& cx, const Params&) {
          cx.ws.settings.manualRecalc = false;
          return true;
        }}},
      {"--width", {1, 1, actWidth}},
      {"--format", {1, 1, actFormat}},
      {"--save", {1, 1, actSave}},
      {"--extract", {2, 2, actExtract}},
      {"--merge", {1, 6, actMerge, "--at"}},
      {"--name", {1, 1, actName}},
      {"--unname", {1, 1, actUnname}},
      {"--names", {0, 0, actNames}},
  };
  return table;
}

bool isAction(const std::string& a) {
  return a.size() > 2 && a[0] == '-' && a[1] == '-';
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  HeadlessHost host(&err);
  Session session(host);
  if (const char* home = std::getenv("TALLOWAY_HOME"); home && *home) {
    std::string dir = home;
    ReadSettings(dir + "/" + kSettingsFileName, session.settings(), 8664, dir);
    ReadUserFunctions(dir + "/" + kUserFunctionsFileName, session.programFunctions());
  }
  installFunctionLibrary(session);
  connectFiles(session);
  Worksheet& ws = session.openWorksheet("SHEET1.WKS");
  Context cx{session, ws, out, err};
  size_t i = 0;
  if (i < args.size() && !isAction(args[i])) {
    // The File Open test, then the load; either refusal has shown its message.
    const std::string& file = args[i++];
    if (!isWorksheetFile(file)) {
      session.ShowError("Invalid WKS File!");
      return 1;
    }
    LoadReport report;
    if (!Load(ws, file, LoadOptions{}, &report)) return 1;
  }
  while (i < args.size()) {
    auto it = actions().find(args[i]);
    if (it == actions().end()) {
      err << "talloway-cli: unknown action " << args[i] << '\n';
      return 2;
    }
    const Action& action = it->second;
    Params params;
    ++i;
    while (i < args.size() && static_cast<int>(params.size()) < action.maxParams) {
      bool own = action.ownOption && args[i] == action.ownOption && i + 1 < args.size();
      if (own) {
        params.push_back(args[i++]);
      } else if (static_cast<int>(params.size()) >= action.minParams && isAction(args[i])) {
        break;
      }
      params.push_back(args[i++]);
    }
    if (static_cast<int>(params.size()) < action.minParams) {
      err << "talloway-cli: " << it->first << " needs an argument\n";
      return 2;
    }
    if (!action.run(cx, params)) return cx.failure;
  }
  return 0;
}

}  // namespace tw
