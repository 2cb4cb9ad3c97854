#include "commands/transfer_commands.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "commands/dbase_commands.h"
#include "commands/parse_commands.h"
#include "core/cell.h"
#include "core/cell_entry.h"
#include "core/char_case.h"
#include "core/charset.h"
#include "core/display_format.h"
#include "core/host.h"
#include "core/program_settings.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"
#include "core/replace_file.h"
#include "files/worksheet_file.h"

namespace tw {

namespace {

constexpr size_t kLongestLabelLine = 239;  // the prefix takes the cell's 240th character

bool readWhole(const std::string& file, std::string& bytes) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// The names of the files in the name's directory whose extension is the
// name's (any, for "*" or a name without one), sorted.
std::vector<std::string> matchingNames(const std::string& file) {
  namespace fs = std::filesystem;
  fs::path p(file);
  fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
  std::string ext = p.has_extension() ? upperCased(p.extension().string()) : std::string();
  if (ext == ".*") ext.clear();
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string name = it->path().filename().string();
    if (!ext.empty() && upperCased(it->path().extension().string()) != ext) continue;
    names.push_back(name.substr(0, 80));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

CommandResult ImportText(CommandContext& cx, const std::string& file, int row, int col,
                         TextImport mode) {
  Worksheet& ws = *cx.ws;
  std::vector<std::string> lines;
  if (mode == TextImport::FileNames) {
    lines = matchingNames(file);
  } else {
    std::string bytes;
    if (!readWhole(file, bytes)) {
      cx.session.ShowError(kImportMissingMessage);
      return CommandResult::failed();
    }
    if (looksLikeUtf8(bytes)) bytes = utf8ToWindows1252(bytes);
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(std::move(line));
    }
  }
  TakeUndoSnapshot(ws);
  const char prefix = ws.settings.labelPrefix;
  const char separator = cx.session.settings().thousandsSeparator;
  {
    BulkUpdateScope bulk(cx.session);
    int r = row, c = col;
    size_t done = 0;
    for (std::string& line : lines) {
      if (++done % 1024 == 0) cx.host().showProgress(static_cast<int>(done * 100 / lines.size()));
      if (r >= kRows) {  // the column is full: on in the next, from the first row
        r = row;
        ++c;
      }
      if (c >= kColumns) break;
      if (mode == TextImport::Values) {
        SplitLineIntoCells(ws, line, r, c, separator);
      } else {
        if (line.size() > kLongestLabelLine) line.resize(kLongestLabelLine);
        EnterCell(ws, std::string(1, prefix) + line, r, c);
      }
      cx.session.error().clear();
      ++r;
    }
  }
  cx.host().showProgress(-1);
  ws.modified = true;
  if (!ws.settings.manualRecalc) RecalcAll(ws);
  return CommandResult::everything();
}

namespace {

// A field as the text export writes it: cut to 80 characters, runs of
// blanks made one, a blank at either end dropped.
std::string tidied(std::string text) {
  if (text.size() > 80) text.resize(80);
  std::string out;
  for (char c : text)
    if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
  if (!out.empty() && out.front() == ' ') out.erase(0, 1);
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace

std::string exportedText(const Worksheet& ws, const CellRange& range, bool quoted) {
  const CellRange r = range.ordered();
  std::string out;
  for (int row = r.row1; row <= r.row2; ++row) {
    for (int col = r.col1; col <= r.col2; ++col) {
      CellHandle h = ws.FindCell(row, col);
      const Cell* c = ws.cellPtr(h);
      std::string text;
      if (c && isFormula(c) && c->isErr())
        text = "ERR";
      else if (c && isNumber(c))
        text = GeneralText(numberValue(*c));
      else if (c && (c->type() == CellType::Label || c->type() == CellType::StringFormula))
        text = ws.LabelText(h);
      text = tidied(std::move(text));
      if (quoted) {
        // A quote inside a quoted field is written twice.
        std::string q = "\"";
        for (char ch : text) q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
        text = q + "\"";
      }
      out += text;
      if (col < r.col2) out += ',';
    }
    out += "\r\n";
  }
  return out;
}

CommandResult ExportText(CommandContext& cx, const std::string& file, const CellRange& range,
                         bool quoted) {
  if (!range.valid() || file.empty()) {
    cx.host().beep();
    return CommandResult::failed();
  }
  if (!ReplaceFileWith(file, exportedText(*cx.ws, range, quoted))) {
    cx.session.ShowError(kExportWriteMessage);
    return CommandResult::failed();
  }
  return {};
}

CommandResult ExportWorksheet(CommandContext& cx, const std::string& file, const CellRange& range) {
  if (!range.valid() || file.empty()) {
    cx.host().beep();
    return CommandResult::failed();
  }
  return Save(*cx.ws, file, SaveScope::Extract, range.ordered()) ? CommandResult{}
                                                                 : CommandResult::failed();
}

CommandResult MergeFile(CommandContext& cx, const std::string& file, int row, int col,
                        const std::string& source, bool values, int action) {
  Worksheet& ws = *cx.ws;
  TakeUndoSnapshot(ws);
  unsigned bits = 0x10 | (values ? 0x04 : 0) | (action == 2 ? 2u : action == 3 ? 3u : 0u);
  LoadOptions options = LoadOptions::fromModeBits(bits, row, col, source);
  LoadReport report;
  if (!Load(ws, file, options, &report)) {
    if (report.opened && !report.sourceFound)
      cx.session.ShowError("Range Name Not Found: " + source);
    return CommandResult::failed();
  }
  return CommandResult::everything();
}

void addTransferCommands(CommandTable& t) {
  t.add({"FILEIMPORT",
         {{ArgKind::Text, "Import File"},
          {ArgKind::Address, "IMPORT: Specify Target"},
          {ArgKind::Integer, "Kind (0 text, 1 values, 2 file names, 3 dBase)", true}},
         [](CommandContext& cx, const Args& a) {
           CellRange at = rangeArg(cx, a, 1, ArgKind::Address);
           int kind = static_cast<int>(numberArg(a, 2));
           if (kind == 3) return ImportDbase(cx, textArg(a, 0), at.row1, at.col1, 1, 0);
           if (kind < 0 || kind > 2) {
             cx.host().beep();
             return CommandResult::failed();
           }
           return ImportText(cx, textArg(a, 0), at.row1, at.col1,
                             static_cast<TextImport>(kind + 1));
         }});
  t.add({"FILEEXPORT",
         {{ArgKind::Text, "Export File"},
          {ArgKind::Range, "EXTRACT: Specify Source"},
          {ArgKind::Integer, "Kind (0 worksheet, 1 quoted, 2 comma, 3 dBase)", true}},
         [](CommandContext& cx, const Args& a) {
           CellRange r = rangeArg(cx, a, 1, ArgKind::Range);
           switch (static_cast<int>(numberArg(a, 2))) {
             case 0:
               return ExportWorksheet(cx, textArg(a, 0), r);
             case 1:
               return ExportText(cx, textArg(a, 0), r, true);
             case 2:
               return ExportText(cx, textArg(a, 0), r, false);
             case 3:
               return ExportDbase(cx, textArg(a, 0), r);
             default:
               cx.host().beep();
               return CommandResult::failed();
           }
         }});
  // The Transfer dialog's dBase import: the records from the first asked
  // for, so many of them (0: all).
  t.add({"DBASEIMPORT",
         {{ArgKind::Text, "Import File"},
          {ArgKind::Address, "IMPORT DBASE: Specify Target"},
          {ArgKind::Integer, "First record", true},
          {ArgKind::Integer, "Records (0 all)", true}},
         [](CommandContext& cx, const Args& a) {
           CellRange at = rangeArg(cx, a, 1, ArgKind::Address);
           long first = std::max(1L, static_cast<long>(numberArg(a, 2)));
           return ImportDbase(cx, textArg(a, 0), at.row1, at.col1, first,
                              static_cast<long>(numberArg(a, 3)));
         }});
  // The options' first three characters choose the action; "F" anywhere
  // merges formulas rather than values.
  t.add({"FILEMERGE",
         {{ArgKind::Text, "Merge File"},
          {ArgKind::Address, "Specify Insert Cell"},
          {ArgKind::Text, "Source range", true},
          {ArgKind::Text, "Options", true}},
         [](CommandContext& cx, const Args& a) {
           CellRange at = rangeArg(cx, a, 1, ArgKind::Address);
           std::string options = upperCased(textArg(a, 3));
           std::string head = options.substr(0, 3);
           int action = head.find('S') != std::string::npos   ? 2
                        : head.find('D') != std::string::npos ? 3
                                                              : 1;
           bool values = options.find('F') == std::string::npos;
           return MergeFile(cx, textArg(a, 0), at.row1, at.col1, textArg(a, 2), values, action);
         }});
}

}  // namespace tw
