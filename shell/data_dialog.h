// The data commands' dialog (TSortDlg, ten pages: fill, sort, query, bin,
// parse, goal seek, regress, multiple regression, what-if table, data form)
// and the array dialog (TMatrixDlg, eight pages), as fields that the Qt
// forms and scripted answers fill alike. OK runs the visible page's
// command through its macro keyword, so the dialog, the slash keys, macros
// and talloway-cli reach the same command.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/analysis_commands.h"
#include "commands/command.h"
#include "core/fields_model.h"

namespace tw {

class Worksheet;

// The multiple regression's check box grid as the macro keyword's items
// ("A01,B1": x1's constant and x, x2's x); ParseTermItems reads them back.
std::string termGridText(const TermMasks& grid);

// What the data dialog keeps between its openings beside what the
// worksheet remembers.
struct DataDialogMemory {
  bool opened = false;  // the first opening takes the selection
  std::string fillOutput, fillStart = "0", fillStep = "1";
  int fillType = 1;   // 1 Linear, 2 Multiply, 3 Power
  int fillOrder = 1;  // 1 by row, 2 by column
  std::string binInput, binOutput, parseInput;
  std::string goalInput, goalOutput, goalDesire, goalTolerance = "0.000001";
  std::string multiX, multiY, multiOutput, regressOutput, formRange;
};

class DataDialogModel : public FieldsModel {
 public:
  enum Page { kFill, kSort, kQuery, kBin, kParse, kGoal, kRegress, kMultiRegress, kTable, kForm };
  static constexpr int kPageCount = 10;
  static const char* pageName(int page);

  DataDialogModel(Worksheet& ws, DataDialogMemory& memory, int page, const CellRange& selection);
  std::string_view form() const override { return "Data"; }
  std::string caption() const override;
  bool check(std::string& message) override;

  // The range field a double-click asks for in point mode, and its prompt
  // ("SORT:Prime Range").
  std::string pointPrompt(std::string_view field) const;
  // Leaving Start, Step, Desire or Tolerance: the text evaluated and written
  // back as a number; false when it is not one.
  bool leaveNumberField(std::string& text) const;
  void resetSort();   // the Data, 1 and 2 fields
  void resetQuery();  // the three query fields

  // The command the visible page runs, with its arguments; false when the
  // page has nothing to run (the message says why, or is empty for a beep).
  bool command(std::string& keyword, Args& args, std::string& message) const;
  // Keeps the fields the dialog remembers for its next opening.
  void remember();

  int page = kFill;
  std::string pointField;  // set by a double-click on a range field
  // The fields, as typed.
  std::string fillOutput, fillStart, fillStep;
  int fillType = 1, fillOrder = 1;
  std::string sortData;
  std::array<std::string, 4> sortKeys;
  std::array<bool, 4> ascending{};
  std::string queryInput, queryCriteria, queryOutput;
  std::string binInput, binOutput;
  bool binLowerInclusive = true;
  std::string parseInput;
  std::string goalInput, goalOutput, goalDesire, goalTolerance;
  std::string regressX, regressY, regressOutput;
  std::string multiX, multiY, multiOutput;
  TermMasks terms{};
  std::string tableInput1, tableInput2, tableOutput;
  std::string formRange;

 private:
  std::optional<CellRange> range(const std::string& text) const;
  std::string rangeText(const CellRange& r) const;
  std::optional<double> number(const std::string& text) const;

  Worksheet& ws_;
  DataDialogMemory& memory_;
};

class ArrayDialogModel : public FieldsModel {
 public:
  enum Page { kAdd, kSubtract, kMultiply, kTranspose, kInvert, kESolve, kDeterminant, kLinear };
  static constexpr int kPageCount = 8;
  static const char* pageName(int page);
  static const char* keyword(int page);

  ArrayDialogModel(Worksheet& ws, int page, const CellRange& selection);
  std::string_view form() const override { return "Array"; }
  std::string caption() const override;
  bool check(std::string& message) override;
  // Pages 0 to 2 have a second source.
  bool hasSecond() const { return page <= kMultiply; }
  std::string pointPrompt(std::string_view field) const;
  bool command(std::string& keyword, Args& args, std::string& message) const;

  int page = kAdd;
  std::string pointField;
  std::string first, second, output;

 private:
  std::optional<CellRange> range(const std::string& text) const;
  Worksheet& ws_;
};

}  // namespace tw
