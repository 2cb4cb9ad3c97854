#include "cli/cli_app.h"

#include <charconv>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

#include "cli/headless_frame.h"
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
#include "print/pdf_device.h"
#include "print/print_commands.h"
#include "shell/key_text.h"

namespace tw {

namespace {

struct Context {
  HeadlessProgram& program;
  Session& session;
  std::ostream& out;
  std::ostream& err;
  int failure = 2;  // the exit status when an action fails

  // The worksheet of the active window; the dispatcher makes sure there is one.
  Worksheet& ws() { return program.frame.active()->worksheet(); }
  Frame& frame() { return program.frame; }
};

using Params = std::vector<std::string>;

struct Action {
  int minParams;
  int maxParams;
  std::function<bool(Context&, const Params&)> run;
  // An option such as "--at" that belongs to this action, with its value.
  const char* ownOption = nullptr;
  bool needsWorksheet = true;
};

bool parseCell(Context& cx, const std::string& text, int& row, int& col) {
  ParsedRange p = ParseRange(cx.ws(), text, kStrictRange);
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
  ParsedRange p = ParseRange(cx.ws(), text, kStrictRange | kSingleDot);
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
  EntryResult e = EnterCell(cx.ws(), text, row, col);
  cx.session.error().clear();
  if (e == EntryResult::SyntaxError) {
    // The desktop keeps such a text on the input line for correction; here
    // it would be lost without a word.
    cx.err << "talloway-cli: " << addr << ": the formula does not compile: " << text << '\n';
    return false;
  }
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
  CellRange r = CellRange::of(0, 0, cx.ws().maxRow, cx.ws().maxCol);
  if (!p.empty() && !parseRangeArg(cx, p[0], r)) return false;
  writeDump(cx.ws(), r, cx.out);
  return true;
}

bool actCode(Context& cx, const Params& p) {
  int row, col;
  if (!parseCell(cx, p[0], row, col)) return false;
  CellHandle h = cx.ws().FindCell(row, col);
  if (h == kNoCell || !isFormula(cx.ws().cellPtr(h)) || !cx.ws().cell(h).content) {
    cx.out << '\n';
    return true;
  }
  const uint8_t* content = cx.ws().cell(h).content;
  std::vector<uint8_t> code(content, content + content[0] + 1);
  ConvertReferences(cx.ws(), code.data(), row, col, ReferenceForm::File);
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
  EvalResult r = cx.session.evaluator().EvaluateText(cx.ws(), p[0]);
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
      end != last) {
    cx.err << "talloway-cli: --width needs COL=N (N from 1 to 31)\n";
    return false;
  }
  return cx.frame()
      .execute("COLWIDTH", {Arg::ofRange(CellRange::cell(0, corner.col)), Arg::ofNumber(n)})
      .ok;
}

bool actFormat(Context& cx, const Params& p) {
  size_t eq = p[0].find('=');
  CellRange r;
  if (eq == std::string::npos || !parseRangeArg(cx, p[0].substr(0, eq), r)) {
    if (eq == std::string::npos) cx.err << "talloway-cli: --format needs RANGE=CODE\n";
    return false;
  }
  return cx.frame().execute("RANGEFORMAT", {Arg::ofRange(r), Arg::ofText(p[0].substr(eq + 1))}).ok;
}

bool actSave(Context& cx, const Params& p) {
  if (!cx.frame().execute("FILESAVEAS", {Arg::ofText(p[0]), Arg::ofNumber(0)}).ok) {
    cx.failure = 1;
    return false;
  }
  return true;
}

bool actExtract(Context& cx, const Params& p) {
  CellRange r;
  if (!parseRangeArg(cx, p[0], r)) return false;
  if (!Save(cx.ws(), p[1], SaveScope::Extract, r)) {
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
  if (Load(cx.ws(), p[0], options, &report)) return true;
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
  if (!cx.frame().execute("RANGECREATE", {Arg::ofText(name), Arg::ofRange(r)}).ok) {
    cx.err << "talloway-cli: cannot define the range name " << name << '\n';
    return false;
  }
  return true;
}

bool actUnname(Context& cx, const Params& p) {
  if (!cx.frame().execute("RANGEDELETE", {Arg::ofText(p[0])}).ok) {
    cx.err << "talloway-cli: no range name " << p[0] << '\n';
    return false;
  }
  return true;
}

// A macro from its cell (an address or a range name), or from the text given.
bool actMacro(Context& cx, const Params& p) {
  CellRange r;
  if (!parseRangeArg(cx, p[0], r)) return false;
  cx.program.macros.RunMacroAt(r.row1, r.col1);
  cx.failure = 1;
  return !cx.program.macros.endedByError();
}

bool actRun(Context& cx, const Params& p) {
  cx.program.macros.RunMacroText(p[0]);
  cx.failure = 1;
  return !cx.program.macros.endedByError();
}

// Keys typed into the program as a person would type them.
bool actKeys(Context& cx, const Params& p) {
  KeyText keys = parseKeyText(p[0]);
  if (!keys.error.empty()) {
    cx.err << "talloway-cli: --keys: " << keys.error << '\n';
    return false;
  }
  cx.program.type(keys.keys);
  return true;
}

// Print jobs from here on are written to the PDF file.
bool actPrinter(Context& cx, const Params& p) {
  std::string path = p[0];
  cx.program.host.printer = [path](const PrintRequest& r) -> std::unique_ptr<PageDevice> {
    return std::make_unique<PdfDevice>(path, systemPaperSize(), r.landscape);
  };
  cx.program.host.printerLabel = "PDF: " + path;
  return true;
}

// The range, else the print range, else everything, printed into a PDF file.
bool actPrintPdf(Context& cx, const Params& p) {
  CellRange r;
  if (p.size() > 1 && !parseRangeArg(cx, p[1], r)) return false;
  if (!actPrinter(cx, p)) return false;
  Worksheet& ws = cx.ws();
  if (p.size() < 2) r = ws.settings.ranges[kPrintRange];
  cx.failure = 1;
  if (!r.valid()) return cx.frame().execute("PRINTALL").ok;
  return cx.frame().execute("PRINTRANGE", {Arg::ofRange(r)}).ok;
}

bool actPrintText(Context& cx, const Params& p) {
  CellRange r;
  if (!parseRangeArg(cx, p[1], r)) return false;
  cx.failure = 1;
  return cx.frame().execute("PRINTFILE", {Arg::ofText(p[0]), Arg::ofRange(r)}).ok;
}

// --graph FILE [NAME] [WIDTHxHEIGHT]: the graph drawn into a .bmp, .png or .svg file.
bool actGraph(Context& cx, const Params& p) {
  std::string name;
  int width = 640, height = 480;
  for (size_t k = 1; k < p.size(); ++k) {
    size_t x = p[k].find_first_of("xX");
    int w = 0, h = 0;
    bool size = x != std::string::npos && x > 0;
    if (size) {
      auto [e1, c1] = std::from_chars(p[k].data(), p[k].data() + x, w);
      auto [e2, c2] = std::from_chars(p[k].data() + x + 1, p[k].data() + p[k].size(), h);
      size = c1 == std::errc() && c2 == std::errc() && e1 == p[k].data() + x &&
             e2 == p[k].data() + p[k].size();
    }
    if (size) {
      width = w;
      height = h;
    } else {
      name = p[k];
    }
  }
  cx.failure = 1;
  Args args{Arg::ofText(p[0]), name.empty() ? Arg{} : Arg::ofText(name), Arg::ofNumber(width),
            Arg::ofNumber(height)};
  bool ok = cx.frame().execute("GRAPHPICTURE", args).ok;
  if (!ok && !cx.program.host.pictureError.empty())
    cx.err << "talloway-cli: " << cx.program.host.pictureError << '\n';
  return ok;
}

bool actNames(Context& cx, const Params&) {
  for (const RangeName& n : cx.ws().names.entries())
    cx.out << n.name << ' ' << cx.ws().rangeText(n.range) << '\n';
  return true;
}

const std::map<std::string, Action>& actions() {
  static const std::map<std::string, Action> table = {
      {"--enter", {1, 1, actEnter}},
      {"--enter-file", {1, 1, actEnterFile}},
      {"--dump", {0, 1, actDump}},
      {"--code", {1, 1, actCode}},
      {"--recalc",
       {0, 0, [](Context& cx, const Params&) { return cx.frame().execute("CALC").ok; }}},
      {"--eval", {1, 1, actEval}},
      {"--manual",
       {0, 0,
        [](Context& cx, const Params&) {
          return cx.frame().execute("RECALCMODE", {Arg::ofNumber(1)}).ok;
        }}},
      {"--auto",
       {0, 0,
        [](Context& cx, const Params&) {
          return cx.frame().execute("RECALCMODE", {Arg::ofNumber(0)}).ok;
        }}},
      {"--width", {1, 1, actWidth}},
      {"--format", {1, 1, actFormat}},
      {"--save", {1, 1, actSave}},
      {"--extract", {2, 2, actExtract}},
      {"--merge", {1, 6, actMerge, "--at"}},
      {"--name", {1, 1, actName}},
      {"--unname", {1, 1, actUnname}},
      {"--names", {0, 0, actNames}},
      {"--keys", {1, 1, actKeys, nullptr, false}},
      {"--macro", {1, 1, actMacro}},
      {"--run", {1, 1, actRun}},
      {"--printer", {1, 1, actPrinter, nullptr, false}},
      {"--print-pdf", {1, 2, actPrintPdf}},
      {"--print-text", {2, 2, actPrintText}},
      {"--graph", {1, 3, actGraph}},
      // Answers are taken in turn by whatever asks; they are gathered first.
      {"--answer", {1, 1, [](Context&, const Params&) { return true; }, nullptr, false}},
  };
  return table;
}

bool isAction(const std::string& a) {
  return a.size() > 2 && a[0] == '-' && a[1] == '-';
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           Teardown teardown) {
  auto owner = std::make_unique<HeadlessProgram>(&err);
  // A process about to exit leaves its cells to the system instead of
  // freeing them one by one.
  struct Leave {
    std::unique_ptr<HeadlessProgram>& owner;
    bool leave;
    ~Leave() {
      if (leave) (void)owner.release();
    }
  } leave{owner, teardown == Teardown::LeaveToExit};
  HeadlessProgram& program = *owner;
  Session& session = program.session;
  if (const char* home = std::getenv("TALLOWAY_HOME"); home && *home) {
    std::string dir = home;
    ReadSettings(dir + "/" + kSettingsFileName, session.settings(), 8664, dir);
    ReadUserFunctions(dir + "/" + kUserFunctionsFileName, session.programFunctions());
  }
  for (size_t k = 0; k + 1 < args.size(); ++k)
    if (args[k] == "--answer") program.host.scripted.push_back(args[++k]);
  Context cx{program, session, out, err};
  size_t i = 0;
  bool partial = false;
  if (i < args.size() && !isAction(args[i])) {
    // The File Open test, then the load; either refusal has shown its message.
    session.lastLoadPartial = false;
    if (!program.frame.execute("FILEOPEN", {Arg::ofText(args[i])}).ok) return 1;
    if (session.lastLoadPartial) {
      // The actions still run on what was read; the status says it was not all.
      err << "talloway-cli: " << args[i] << " was read only in part\n";
      partial = true;
    }
    ++i;
  } else {
    program.frame.execute("FILENEW");
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
    if (action.needsWorksheet && !program.frame.active()) {
      err << "talloway-cli: " << it->first << ": no worksheet window is open\n";
      return 2;
    }
    if (!action.run(cx, params)) return cx.failure;
    if (!program.host.unanswered.empty()) {
      err << "talloway-cli: " << it->first << ": no answer was left for " << program.host.unanswered
          << " (give one with --answer)\n";
      return 2;
    }
  }
  return partial ? 1 : 0;
}

}  // namespace tw
