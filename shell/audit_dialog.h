// "Audit Cell References" (TAuditDlg): the cell store and its dependency
// links shown four ways. Tree: a cell and the formulas that refer to it,
// down to a depth. Overview: a map of the used area by kind of cell.
// Stats: a shaded bar per kind. XRef: each cell of a range with the cells
// that refer to it. Nothing in the sheet changes.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell_address.h"
#include "core/fields_model.h"

namespace tw {

class Canvas;
class Host;
class Session;
class Worksheet;

// The legend's kinds: formulas (with string results), reals, integers,
// labels, blanks.
inline constexpr int kAuditKinds = 5;
const char* auditKindName(int kind);
uint32_t auditKindColour(int kind);  // 0xRRGGBB

struct CellKindCounts {
  std::array<long, 8> byType{};  // by the low three bits of the kind byte
  int lastRow = -1;              // the last row that holds a cell
  int lastColumn = -1;           // the highest column used
  long total = 0;
  long count(int auditKind) const;  // the legend's kind
  long scale() const;               // the largest of the legend's counts
};
CellKindCounts CountCellKinds(const Worksheet& ws);

struct TreeLine {
  int level = 0;
  std::string address;
  std::string text;  // "A1: +B1*2"
};

class AuditModel : public FieldsModel {
 public:
  enum Page { kTree, kOverview, kStats, kXRef };
  static constexpr size_t kMostTreeLines = 20000;

  AuditModel(Worksheet& ws, int row, int col, const CellRange& selection);
  std::string_view form() const override { return "Audit"; }
  std::string caption() const override { return "Audit Cell References"; }

  // Builds the Tree and XRef pages from the fields; called when they change.
  void rebuild();
  const std::vector<TreeLine>& tree() const { return tree_; }
  int totalReferences() const { return static_cast<int>(tree_.size()) - 1; }
  int deepest() const { return deepest_; }
  const std::vector<std::string>& xref() const { return xref_; }
  const CellKindCounts& counts() const { return counts_; }
  std::string lastCellText() const;  // "Range:" of the Overview
  // A click on a tree line: its address becomes the cell.
  void chooseTreeLine(size_t line);
  // The point-mode prompts; the cell's answer keeps only its first address.
  static const char* cellPrompt() { return "TREE: Specify Cell"; }
  static const char* rangePrompt() { return "XREF: Specify Range"; }
  void pointedAt(std::string_view field, std::string_view text);

  void drawOverview(Canvas& canvas, int width, int height) const;
  // fontSize 14 on the screen, 12 printed.
  void drawStats(Canvas& canvas, int width, int height, double fontSize) const;
  // The XRef report as printed, one text line each.
  std::vector<std::string> xrefReport() const;
  // "&Print": the Stats page to the printer, or the XRef report. False when
  // no printer job could be opened.
  bool print(Host& host, int page) const;

  Session& session() const;

  int page = kTree;
  std::string cell;
  int depth = 1;
  std::string range;
  std::string pointField;

 private:
  void addTree(int cellRow, int cellCol, int level);
  Worksheet& ws_;
  std::vector<TreeLine> tree_;
  int deepest_ = 0;
  std::vector<std::string> xref_;
  CellKindCounts counts_;
};

}  // namespace tw
