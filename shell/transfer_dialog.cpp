#include "shell/transfer_dialog.h"

#include <charconv>

#include "commands/dbase_commands.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "files/worksheet_file.h"

namespace tw {

namespace {

std::optional<CellRange> parsed(Worksheet& ws, const std::string& text) {
  if (text.find_first_not_of(' ') == std::string::npos) return std::nullopt;
  ParsedRange p = ParseRange(ws, text, kRangeWords | kSingleDot);
  ws.session().error().clear();
  if (!p.ok || !p.range.valid()) return std::nullopt;
  return p.range.ordered();
}

std::optional<long> wholeNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  long v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

}  // namespace

std::vector<std::string> importFilters() {
  return {"ASCII (Import as Text) (*.prn)", "ASCII (Import as Values) (*.prn)", "dBase (*.dbf)"};
}

std::vector<std::string> exportFilters() {
  return {"Worksheet  (*.wks)", "ASCII (Quoted Text) (*.prn)",
          "ASCII (Comma Delimited Text) (*.prn)", "dBase (*.dbf)"};
}

TransferKind importKind(int filter) {
  return filter == 1   ? TransferKind::ImportValues
         : filter == 2 ? TransferKind::ImportDbase
                       : TransferKind::ImportText;
}

TransferKind exportKind(int filter) {
  return filter == 1   ? TransferKind::ExportQuoted
         : filter == 2 ? TransferKind::ExportComma
         : filter == 3 ? TransferKind::ExportDbase
                       : TransferKind::ExportWorksheet;
}

const char* transferExtension(TransferKind kind) {
  switch (kind) {
    case TransferKind::ImportDbase:
    case TransferKind::ExportDbase:
      return ".dbf";
    case TransferKind::ExportWorksheet:
      return ".wks";
    default:
      return ".prn";
  }
}

std::string withTransferExtension(const std::string& name, TransferKind kind) {
  size_t slash = name.find_last_of('/');
  std::string_view base = std::string_view(name).substr(slash == std::string::npos ? 0 : slash + 1);
  if (base.empty() || base.find('.') != std::string_view::npos) return name;
  return name + transferExtension(kind);
}

TransferModel::TransferModel(Worksheet& ws, TransferKind k, std::string fileName,
                             const CellRange& selection, int row, int col)
    : kind(k), file(std::move(fileName)), ws_(ws) {
  target = dbaseTarget = ws.addressText(row, col);
  source = selection.valid() ? ws.rangeText(selection.ordered()) : target;
  if (isDbaseImport()) {
    if (std::optional<DbaseSummary> s = DbaseFileSummary(file)) {
      fields = s->fields;
      records = s->records;
      stop = std::to_string(records);
    }
  }
  addText("target", target, 255);
  addText("source", source, 255);
  addText("dbaseTarget", dbaseTarget, 255);
  addFlag("all", allRecords);
  addText("start", start, 10);
  addText("stop", stop, 10);
  addReadOnly("fields", [this] { return std::to_string(fields); });
  addReadOnly("records", [this] { return std::to_string(records); });
}

std::string TransferModel::title() const {
  static const char* const kTitles[] = {"Import Text",        "Import Values",
                                        "Import Dbase",       "Export WKS",
                                        "Export Quoted Text", "Export Comma Delimited Text",
                                        "Export Dbase"};
  return kTitles[static_cast<int>(kind)];
}

std::string TransferModel::pointPrompt(std::string_view field) const {
  if (field == "source") return "EXTRACT: Specify Source";
  if (field == "dbaseTarget") return "IMPORT DBASE: Specify Target";
  return "IMPORT: Specify Target";
}

bool TransferModel::check(std::string& message) {
  const std::string& field = isDbaseImport() ? dbaseTarget : isImport() ? target : source;
  if (!parsed(ws_, field)) {
    message = "Invalid Range: " + field;
    return false;
  }
  if (isDbaseImport()) {
    if (records < 0) {
      message = kDbaseReadMessage;
      return false;
    }
    if (!allRecords && (!wholeNumber(start) || !wholeNumber(stop) || *wholeNumber(start) < 1 ||
                        *wholeNumber(stop) < *wholeNumber(start))) {
      message = "Invalid Record Range";
      return false;
    }
  }
  return true;
}

bool TransferModel::command(std::string& keyword, Args& args, std::string& message) const {
  args.clear();
  message.clear();
  std::optional<CellRange> at = parsed(ws_, isDbaseImport() ? dbaseTarget
                                            : isImport()    ? target
                                                            : source);
  if (!at) return false;
  args.push_back(Arg::ofText(file));
  args.push_back(Arg::ofRange(*at));
  switch (kind) {
    case TransferKind::ImportText:
    case TransferKind::ImportValues:
      keyword = "FILEIMPORT";
      args.push_back(Arg::ofNumber(kind == TransferKind::ImportText ? 0 : 1));
      return true;
    case TransferKind::ImportDbase: {
      keyword = "DBASEIMPORT";
      long first = allRecords ? 1 : wholeNumber(start).value_or(1);
      long last = allRecords ? 0 : wholeNumber(stop).value_or(first);
      args.push_back(Arg::ofNumber(static_cast<double>(first)));
      args.push_back(Arg::ofNumber(allRecords ? 0.0 : static_cast<double>(last - first + 1)));
      return true;
    }
    default:
      keyword = "FILEEXPORT";
      args.push_back(
          Arg::ofNumber(static_cast<int>(kind) - static_cast<int>(TransferKind::ExportWorksheet)));
      return true;
  }
}

MergeModel::MergeModel(Worksheet& ws, std::string fileName, bool formulas,
                       const CellRange& selection)
    : file(std::move(fileName)), byFormula(formulas), ws_(ws) {
  insertAt = selection.valid() ? ws.rangeText(selection.ordered()) : std::string("A1");
  ListNames(ws, file, names);
  if (!names.empty()) range = names.front();
  addText("insertAt", insertAt, 255);
  addFlag("all", all);
  addField(
      "range", [this] { return range; },
      [this](std::string_view v) {
        range = std::string(v);
        all = false;  // typing in the box chooses it
        return true;
      });
  addField(
      "action", [this] { return std::to_string(action); },
      [this](std::string_view v) {
        std::optional<long> a = wholeNumber(v);
        if (!a || *a < 1 || *a > 3) return false;
        action = static_cast<int>(*a);
        return true;
      });
}

bool MergeModel::check(std::string& message) {
  if (!parsed(ws_, insertAt)) {
    message = "Invalid Range: " + insertAt;
    return false;
  }
  return true;
}

bool MergeModel::command(std::string& keyword, Args& args, std::string& message) const {
  args.clear();
  message.clear();
  std::optional<CellRange> at = parsed(ws_, insertAt);
  if (!at) return false;
  keyword = "FILEMERGE";
  // The list shows "NAME A1..B5": the name is what stands before the blank.
  std::string source = all ? std::string() : range.substr(0, range.find(' '));
  std::string options = std::string(1, "RSD"[byFormula ? 0 : action - 1]) + (byFormula ? "F" : "");
  args = {Arg::ofText(file), Arg::ofRange(*at), Arg::ofText(source), Arg::ofText(options)};
  return true;
}

}  // namespace tw
