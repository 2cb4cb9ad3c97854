#include "commands/query_commands.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/cell.h"
#include "core/cell_entry.h"
#include "core/char_case.h"
#include "core/dependencies.h"
#include "core/evaluator.h"
#include "core/formula_code.h"
#include "core/host.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

const Cell* cellOf(const Worksheet& ws, int row, int col) {
  return ws.cellPtr(ws.FindCell(row, col));
}

bool blank(const Cell* c) {
  return !c || c->type() == CellType::Blank;
}

// A header's text: a label with its prefix, a string result, a number as
// its input text.
std::string headerText(const Worksheet& ws, int row, int col) {
  CellHandle h = ws.FindCell(row, col);
  if (h == kNoCell) return {};
  const Cell& c = ws.cell(h);
  if (c.type() == CellType::Label) return std::string(pstringView(c.content));
  if (c.type() == CellType::StringFormula) return ws.LabelText(h);
  return CellInputText(ws, h);
}

// The input column whose header reads exactly name, if any.
std::optional<int> fieldColumn(const Worksheet& ws, const CellRange& input, int row, int col) {
  std::string name = headerText(ws, row, col);
  if (name.empty()) return std::nullopt;
  for (int c = input.col1; c <= input.col2; ++c)
    if (headerText(ws, input.row1, c) == name) return c;
  return std::nullopt;
}

}  // namespace

bool labelPatternMatches(std::string_view pattern, std::string_view text) {
  bool negate = !pattern.empty() && pattern[0] == '~';
  if (negate) pattern.remove_prefix(1);
  bool match = true;
  if (pattern.substr(0, 3) == "...") {
    match = upperCased(text).find(upperCased(pattern.substr(3))) != std::string::npos;
  } else {
    size_t i = 0;
    for (; i < pattern.size() && pattern[i] != '*'; ++i)
      if (i >= text.size() || (pattern[i] != '?' && pattern[i] != text[i])) {
        match = false;
        break;
      }
    if (match && i == pattern.size()) match = text.size() == pattern.size();
  }
  return match != negate;
}

namespace {

// One criterion of a criteria row, ready to test records with.
struct Criterion {
  int column = 0;             // the input column it tests
  CellHandle cell = kNoCell;  // evaluation may create cells: no pointers kept
};

class RecordTest {
 public:
  RecordTest(Worksheet& ws, int firstRecord) : ws_(ws), firstRecord_(firstRecord) {}

  bool matches(const Criterion& k, int row) {
    const Cell* field = cellOf(ws_, row, k.column);
    const Cell& c = ws_.cell(k.cell);
    switch (c.type()) {
      case CellType::Integer:
      case CellType::Real:
        return field && isNumber(field) && !field->isErr() && numberValue(*field) == numberValue(c);
      case CellType::Label: {
        if (!field) return false;
        std::string text;
        if (field->type() == CellType::Label || field->type() == CellType::StringFormula)
          text = ws_.LabelText(ws_.FindCell(row, k.column));
        return labelPatternMatches(ws_.LabelText(k.cell), text);
      }
      case CellType::NumberFormula:
      case CellType::StringFormula:
        return formulaMatches(k, row);
      default:
        return true;
    }
  }

 private:
  // The criterion's formula moved down to the record, as if it had been
  // written against this record instead of the first one.
  bool formulaMatches(const Criterion& k, int row) {
    const uint8_t* code = ws_.cell(k.cell).content;
    if (!code) return false;
    std::vector<uint8_t> moved(code, code + code[0] + 1);
    Session& session = ws_.session();
    RelocateReferences(ws_, moved.data(), row - firstRecord_, 0);
    session.error().clear();
    EvalResult r = session.evaluator().EvaluateCode(ws_, moved.data(), k.cell);
    session.error().clear();
    return !r.error && !r.isString && r.number == 1;
  }

  Worksheet& ws_;
  int firstRecord_;
};

// Text through cell entry; what does not compile goes in as a label.
void enterText(Worksheet& ws, const std::string& text, int row, int col) {
  if (EnterCell(ws, text, row, col) == EntryResult::SyntaxError) {
    ws.session().error().clear();
    EnterCell(ws, std::string(1, ws.settings.labelPrefix) + text, row, col);
  }
  ws.session().error().clear();
}

// A record's field as it is copied: a number's value, a label's stored
// text, a string result's text, or ERR. Taken before anything is written,
// so that an output range over the records reads them as they were.
struct FieldCopy {
  enum Kind : uint8_t { None, Number, Label, Text, Err } kind = None;
  double number = 0;
  std::string text;
};

FieldCopy fieldOf(const Worksheet& ws, int row, int col) {
  FieldCopy f;
  CellHandle h = ws.FindCell(row, col);
  const Cell* c = ws.cellPtr(h);
  if (!c) return f;
  if (isFormula(c) && c->isErr()) {
    f.kind = FieldCopy::Err;
  } else if (isNumber(c)) {
    f.kind = FieldCopy::Number;
    f.number = numberValue(*c);
  } else if (c->type() == CellType::Label) {
    f.kind = FieldCopy::Label;
    f.text = std::string(pstringView(c->content));
  } else if (c->type() == CellType::StringFormula) {
    f.kind = FieldCopy::Text;
    f.text = ws.LabelText(h);
  }
  return f;
}

void writeField(Worksheet& ws, const FieldCopy& f, int row, int col) {
  switch (f.kind) {
    case FieldCopy::Err:
      EnterCell(ws, "@ERR", row, col);
      break;
    case FieldCopy::Number:
      EnterNumber(ws, row, col, f.number);
      break;
    case FieldCopy::Label:
      EnterCell(ws, f.text, row, col);
      break;
    case FieldCopy::Text:
      enterText(ws, f.text, row, col);
      break;
    case FieldCopy::None:
      break;
  }
  ws.session().error().clear();
}

}  // namespace

CommandResult QueryExtract(CommandContext& cx, const CellRange& inputRange,
                           const CellRange& criteriaRange, const CellRange& outputRange,
                           QueryMode mode) {
  Worksheet& ws = *cx.ws;
  if (mode != QueryMode::Extract) return {};
  if (!inputRange.valid() || !criteriaRange.valid() || !outputRange.valid()) {
    cx.host().beep();
    return CommandResult::failed();
  }
  const CellRange input = inputRange.ordered(), criteria = criteriaRange.ordered(),
                  output = outputRange.ordered();
  ws.settings.ranges[kQueryInput] = input;
  ws.settings.ranges[kQueryCriteria] = criteria;
  ws.settings.ranges[kQueryOutput] = output;
  TakeUndoSnapshot(ws);

  // Which input column each output column copies.
  std::vector<std::pair<int, int>> copies;  // output column, input column
  for (int c = output.col1; c <= output.col2; ++c)
    if (auto f = fieldColumn(ws, input, output.row1, c)) copies.push_back({c, *f});
  std::vector<std::optional<int>> criteriaFields;
  for (int c = criteria.col1; c <= criteria.col2; ++c)
    criteriaFields.push_back(fieldColumn(ws, input, criteria.row1, c));

  // The records to write, found before any is written: an output range
  // below or beside the records must not feed the search.
  const int firstRecord = input.row1 + 1;
  RecordTest test(ws, firstRecord);
  std::vector<int> found;
  for (int cr = criteria.row1 + 1; cr <= criteria.row2; ++cr) {
    std::vector<Criterion> row;
    bool impossible = false;
    for (int c = criteria.col1; c <= criteria.col2; ++c) {
      CellHandle k = ws.FindCell(cr, c);
      if (blank(ws.cellPtr(k))) continue;
      const std::optional<int>& field = criteriaFields[static_cast<size_t>(c - criteria.col1)];
      if (!field) {
        impossible = true;
        break;
      }
      row.push_back({*field, k});
    }
    if (impossible || row.empty()) continue;
    for (int r = firstRecord; r <= input.row2; ++r) {
      bool all = true;
      for (const Criterion& k : row)
        if (!test.matches(k, r)) {
          all = false;
          break;
        }
      if (all) found.push_back(r);
    }
  }

  // Output stops at the sheet's last row.
  const size_t rows = std::min(found.size(), static_cast<size_t>(kRows - 1 - output.row1));
  std::vector<FieldCopy> fields;
  fields.reserve(rows * copies.size());
  for (size_t k = 0; k < rows; ++k)
    for (const auto& copy : copies) fields.push_back(fieldOf(ws, found[k], copy.second));
  for (size_t k = 0, at = 0; k < rows; ++k)
    for (const auto& copy : copies)
      writeField(ws, fields[at++], output.row1 + 1 + static_cast<int>(k), copy.first);
  ws.modified = true;
  if (!ws.settings.manualRecalc) RecalcAll(ws);
  return CommandResult::everything();
}

namespace {

// An input cell's record as it was before the table, put back afterwards
// exactly: a blank stays blank, a formula gets its code and links again.
struct SavedInput {
  int row = 0, col = 0;
  bool existed = false;
  uint8_t kind = 0;
  uint64_t raw = 0;
  std::vector<uint8_t> content;

  void save(const Worksheet& ws) {
    const Cell* c = cellOf(ws, row, col);
    existed = c != nullptr;
    if (!c) return;
    kind = c->kind & kKindTypeMask;
    raw = c->type() == CellType::StringFormula ? 0 : c->value.raw;
    if (c->content) content.assign(c->content, c->content + c->content[0] + 1);
  }

  void restore(Worksheet& ws) const {
    CellHandle h = ws.FindCell(row, col);
    if (h == kNoCell) return;
    ws.ClearCell(h);
    Cell& c = ws.cell(h);
    c.kind = existed ? kind : static_cast<uint8_t>(CellType::Blank);
    c.value.raw = existed ? raw : 0;
    if (existed && !content.empty()) c.content = makePString(content.data() + 1, content[0]);
    if (isFormula(&c)) {
      c.setType(CellType::NumberFormula);
      c.value.raw = 0;
      RegisterDependencies(ws, h);
      ws.session().evaluator().EvaluateCell(ws, h);
    }
    ws.session().error().clear();
    RecalcFrom(ws, h);
  }
};

bool numericValue(const Worksheet& ws, int row, int col, double& v) {
  const Cell* c = cellOf(ws, row, col);
  if (!c || !isNumber(c) || c->isErr()) return false;
  v = numberValue(*c);
  return true;
}

// The formula cell's current result into (row, col).
void storeResult(Worksheet& ws, int fromRow, int fromCol, int row, int col) {
  CellHandle h = ws.FindCell(fromRow, fromCol);
  const Cell* c = ws.cellPtr(h);
  if (!c) return;
  if (isFormula(c) && c->isErr()) {
    EnterCell(ws, "@ERR", row, col);
  } else if (isNumber(c)) {
    EnterNumber(ws, row, col, numberValue(*c));
  } else if (c->type() == CellType::StringFormula) {
    enterText(ws, ws.LabelText(h), row, col);
  }
  ws.session().error().clear();
}

}  // namespace

CommandResult WhatIfTable(CommandContext& cx, int kind) {
  Worksheet& ws = *cx.ws;
  WorksheetSettings& s = ws.settings;
  CellRange& in1 = s.ranges[kWhatIfInput1];
  CellRange& in2 = s.ranges[kWhatIfInput2];
  const CellRange table = s.ranges[kWhatIfTable].ordered();
  if ((kind != 1 && kind != 2) || !in1.valid() || !table.valid() || (kind == 2 && !in2.valid())) {
    cx.host().beep();
    return CommandResult::failed();
  }
  in1 = CellRange::cell(in1.row1, in1.col1);
  if (in2.valid()) in2 = CellRange::cell(in2.row1, in2.col1);
  std::vector<SavedInput> inputs(static_cast<size_t>(kind));
  inputs[0].row = in1.row1;
  inputs[0].col = in1.col1;
  if (kind == 2) {
    inputs[1].row = in2.row1;
    inputs[1].col = in2.col1;
  }
  for (const SavedInput& i : inputs) {
    const Cell* c = cellOf(ws, i.row, i.col);
    if (s.protection && (!c || c->isProtected())) {
      cx.session.ShowError(kProtectedInputMessage);
      return CommandResult::failed();
    }
  }
  s.whatIfKind = static_cast<uint8_t>(kind);
  TakeUndoSnapshot(ws);
  for (SavedInput& i : inputs) i.save(ws);

  const int r0 = table.row1, c0 = table.col1;
  for (int c = c0 + 1; c <= table.col2; ++c)
    for (int r = r0 + 1; r <= table.row2; ++r) {
      double v1 = 0, v2 = 0;
      if (!numericValue(ws, r, c0, v1)) continue;
      if (kind == 2 && !numericValue(ws, r0, c, v2)) continue;
      const int formulaCol = kind == 1 ? c : c0;
      if (ws.FindCell(r0, formulaCol) == kNoCell) continue;
      EnterNumber(ws, inputs[0].row, inputs[0].col, v1);
      if (kind == 2) EnterNumber(ws, inputs[1].row, inputs[1].col, v2);
      storeResult(ws, r0, formulaCol, r, c);
    }
  for (auto it = inputs.rbegin(); it != inputs.rend(); ++it) it->restore(ws);
  ws.modified = true;
  return CommandResult::everything();
}

void addQueryCommands(CommandTable& t) {
  t.add({"DATAQUERY",
         {{ArgKind::Range, "QUESTION:Input Range"},
          {ArgKind::Range, "QUESTION:Criterion Range"},
          {ArgKind::Range, "QUESTION:Output Range"}},
         [](CommandContext& cx, const Args& a) {
           return QueryExtract(cx, rangeArg(cx, a, 0, ArgKind::Range),
                               rangeArg(cx, a, 1, ArgKind::Range),
                               rangeArg(cx, a, 2, ArgKind::Range), QueryMode::Extract);
         }});
  // The two-input table when a second input cell is given.
  t.add({"DATATABLE",
         {{ArgKind::Range, "TABLE:Output Range"},
          {ArgKind::Address, "TABLE:First Range"},
          {ArgKind::Address, "TABLE:Second Range", true}},
         [](CommandContext& cx, const Args& a) {
           WorksheetSettings& s = cx.ws->settings;
           s.ranges[kWhatIfTable] = rangeArg(cx, a, 0, ArgKind::Range).ordered();
           s.ranges[kWhatIfInput1] = rangeArg(cx, a, 1, ArgKind::Address);
           bool two = a.size() > 2 && a[2].given && a[2].range.valid();
           s.ranges[kWhatIfInput2] = two ? a[2].range : kEmptyRange;
           cx.ws->modified = true;
           return WhatIfTable(cx, two ? 2 : 1);
         }});
  // The same tables asked for as the menus ask: the input cells first,
  // then the table.
  t.add({"WHATIF1",
         {{ArgKind::Address, "TABLE 1: Specify Input Cell"}, {ArgKind::Range, "Output Range"}},
         [](CommandContext& cx, const Args& a) {
           WorksheetSettings& s = cx.ws->settings;
           s.ranges[kWhatIfInput1] = rangeArg(cx, a, 0, ArgKind::Address);
           s.ranges[kWhatIfInput2] = kEmptyRange;
           s.ranges[kWhatIfTable] = rangeArg(cx, a, 1, ArgKind::Range).ordered();
           cx.ws->modified = true;
           return WhatIfTable(cx, 1);
         }});
  t.add({"WHATIF2",
         {{ArgKind::Address, "TABLE 2: Specify FIRST Input Cell"},
          {ArgKind::Address, "Specify SECOND Cell"},
          {ArgKind::Range, "Output Range"}},
         [](CommandContext& cx, const Args& a) {
           WorksheetSettings& s = cx.ws->settings;
           s.ranges[kWhatIfInput1] = rangeArg(cx, a, 0, ArgKind::Address);
           s.ranges[kWhatIfInput2] = rangeArg(cx, a, 1, ArgKind::Address);
           s.ranges[kWhatIfTable] = rangeArg(cx, a, 2, ArgKind::Range).ordered();
           cx.ws->modified = true;
           return WhatIfTable(cx, 2);
         }});
}

}  // namespace tw
