// "Justify" (TJustifyDlg): the range, the line width in units of 4 pixels
// and the pad flag; OK runs JUSTIFY. "Word" (TWordDlg): the texts of the
// selection's first column as the lines of an edit box; OK runs WORDEDIT.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/command.h"
#include "core/fields_model.h"

namespace tw {

class Worksheet;

class JustifyDialogModel : public FieldsModel {
 public:
  JustifyDialogModel(Worksheet& ws, const CellRange& selection);
  std::string_view form() const override { return "Justify"; }
  std::string caption() const override { return "Justify"; }
  bool check(std::string& message) override;

  // The range typed or pointed at; the width follows it when it reads as a
  // range: the columns' pixel widths added up, divided by 4.
  void setRange(std::string_view text);
  // Leaving the width box: its text evaluated and written back as a
  // number; false when it is not one.
  bool leaveWidth(std::string_view text);
  std::string pointPrompt() const { return "Justify Range"; }

  // JUSTIFY with the range, the width in pixels and the pad flag; false with
  // the message when a field does not hold what the command takes.
  bool command(std::string& keyword, Args& args, std::string& message) const;

  std::string pointField;  // "range" after a double click
  std::string rangeText;
  std::string width;  // units of 4 pixels
  bool pad = false;

 private:
  std::optional<CellRange> range() const;
  std::optional<double> widthValue() const;

  Worksheet& ws_;
};

class WordDialogModel : public FieldsModel {
 public:
  WordDialogModel(Worksheet& ws, const CellRange& selection);
  std::string_view form() const override { return "Word"; }
  std::string caption() const override { return "Word"; }

  // The lines as one text, separated by line ends.
  std::string text() const;
  void setText(std::string_view text);
  // WORDEDIT with the first cell and the lines.
  void command(std::string& keyword, Args& args) const;

  // Answers reach the lines as line1, line2, ... (a line past the end adds
  // one), the whole box as "text" and the number of lines as "count".
  std::vector<std::string> fieldNames() const override;
  std::string field(std::string_view name) const override;
  bool setField(std::string_view name, std::string_view value) override;

  std::vector<std::string> lines;
  int row = 0;  // the first cell the lines go to
  int col = 0;

 private:
  std::optional<size_t> lineIndex(std::string_view name) const;
};

}  // namespace tw
