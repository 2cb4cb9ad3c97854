// The Transfer dialog (TTransdlg) that Import and Export open after the
// file dialog: the target cell of an import, the source range of an
// export, or the target and the records of a dBase import; and the Merge
// dialog (TMergeDlg) over the worksheet loader's combine mode. OK builds
// the keyword and arguments the frame runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/command.h"
#include "core/fields_model.h"

namespace tw {

class Worksheet;

// The kinds, in the order of the file dialogs' filters: three for Import,
// four for Export.
enum class TransferKind {
  ImportText,
  ImportValues,
  ImportDbase,
  ExportWorksheet,
  ExportQuoted,
  ExportComma,
  ExportDbase
};

// The file dialogs' filters and the extension a name without one gets.
std::vector<std::string> importFilters();
std::vector<std::string> exportFilters();
TransferKind importKind(int filter);
TransferKind exportKind(int filter);
const char* transferExtension(TransferKind kind);
// The name as the dialog gave it, with the kind's extension when it has none.
std::string withTransferExtension(const std::string& name, TransferKind kind);

class TransferModel : public FieldsModel {
 public:
  TransferModel(Worksheet& ws, TransferKind kind, std::string file, const CellRange& selection,
                int row, int col);
  std::string_view form() const override { return "Transfer"; }
  std::string caption() const override { return "Transfer"; }
  bool check(std::string& message) override;

  std::string title() const;  // "Import Text", "Export WKS", ...
  bool isImport() const { return kind <= TransferKind::ImportDbase; }
  bool isDbaseImport() const { return kind == TransferKind::ImportDbase; }
  // The range prompt of the field a double click points at.
  std::string pointPrompt(std::string_view field) const;
  bool command(std::string& keyword, Args& args, std::string& message) const;

  TransferKind kind;
  std::string file;
  std::string target, source, dbaseTarget;  // PE1, PE2, pe3
  bool allRecords = true;
  std::string start = "1", stop;
  int fields = -1;  // the dBase file's counts, -1 when it could not be read
  long records = -1;
  std::string pointField;

 private:
  Worksheet& ws_;
};

class MergeModel : public FieldsModel {
 public:
  // byFormula: the second filter of the file dialog was chosen.
  MergeModel(Worksheet& ws, std::string file, bool byFormula, const CellRange& selection);
  std::string_view form() const override { return "Merge"; }
  std::string caption() const override { return byFormula ? "Merge by Formula" : "Merge Value"; }
  bool check(std::string& message) override;
  bool actionsEnabled() const { return !byFormula; }
  static const char* pointPrompt() { return "Specify Insert Cell"; }
  bool command(std::string& keyword, Args& args, std::string& message) const;

  std::string file;
  bool byFormula = false;
  std::string insertAt;
  bool all = true;
  std::vector<std::string> names;  // "NAME A1..B5", as the file lists them
  std::string range;               // the box's text
  int action = 1;                  // 1 replace, 2 sum, 3 difference
  std::string pointField;

 private:
  Worksheet& ws_;
};

}  // namespace tw
