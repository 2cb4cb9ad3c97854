#include "core/cell_entry.h"

#include <cmath>

#include "core/compiler.h"
#include "core/day_serial.h"
#include "core/dependencies.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/formula_lister.h"
#include "core/number_text.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

bool isLabelPrefix(char c) {
  return c == '\'' || c == '"' || c == '^' || c == '\\' || c == '|';
}

bool startsValue(char c, char decimal) {
  return (c >= '0' && c <= '9') || c == decimal || c == '!' || c == '%' || c == '(' || c == '+' ||
         c == '-' || c == '@';
}

enum class Kind { Number, Formula, Label };

}  // namespace

void storeNumber(Cell& c, double x) {
  if (x != std::trunc(x) || std::fabs(x) >= 32767) {
    c.setType(CellType::Real);
    c.value.number = x;
  } else {
    c.setType(CellType::Integer);
    c.value.raw = 0;
    c.value.integer = static_cast<int16_t>(x);
  }
}

EntryResult EnterCell(Worksheet& ws, std::string_view text, int row, int col) {
  Session& session = ws.session();
  Host& host = session.host();
  CellHandle h = ws.FindCell(row, col);
  bool protectionOn = ws.settings.protection;
  if (h != kNoCell) {
    if (ws.cell(h).isProtected() && protectionOn) {
      session.ShowError("Protected Cell");
      return EntryResult::Refused;
    }
  } else {
    if (text.empty()) return EntryResult::Nothing;
    if (protectionOn) {
      session.ShowError("Protected Cell");
      return EntryResult::Refused;
    }
    if (!validAddress(row, col)) {
      session.error().raise(kErrOutOfRange, "Out of Range");
      session.showPendingError();
      return EntryResult::Refused;
    }
  }

  // Decide what the text is before the cell changes, so that a formula that
  // does not compile leaves the old content in place.
  const char decimal = session.settings().decimalSeparator;
  uint8_t f =
      h != kNoCell ? (ws.cell(h).format & kFormatMask) : (ws.templateCell.format & kFormatMask);
  Kind kind = Kind::Label;
  double number = 0;
  FormulaCode code;
  char first = text.empty() ? '\0' : text[0];
  bool dateEntry = false;
  if (first != '(' && first != '*' && first != '@' && !text.empty()) {
    bool dateFormat = (f == kFormatD4 || f == kFormatD5) && text.find('/') != text.npos &&
                      first != '+' && first != '-';
    bool timeFormat = (f == kFormatT3 || f == kFormatT4) && text.find(':') != text.npos;
    if (dateFormat || timeFormat) {
      std::string packed;
      for (char c : text)
        if (c != ' ') packed += c;
      if (!packed.empty() && hasDateFields(packed)) {
        number = dateFormat ? DateValue(packed, f == kFormatD4) : TimeValue(packed);
        if (std::isfinite(number)) {
          kind = Kind::Number;
          dateEntry = true;
        }
      }
    }
  }
  if (!dateEntry && !text.empty() && startsValue(first, decimal) && f != kFormatLabel) {
    if (auto x = parseNumberText(text, decimal)) {
      kind = Kind::Number;
      number = *x;
    } else {
      session.error().clear();
      if (!CompileFormula(ws, text, code)) {
        ws.modified = true;
        session.error().raise();
        return EntryResult::SyntaxError;
      }
      kind = Kind::Formula;
    }
  }

  if (h != kNoCell) {
    ws.ClearCell(h);
    ws.modified = true;
  } else {
    h = ws.GetOrCreateCell(row, col);
    if (h == kNoCell) {
      session.showPendingError();
      return EntryResult::Refused;
    }
  }
  Cell& c = ws.cell(h);
  c.kind &= kKindTypeMask;
  c.setType(CellType::Label);
  bool hadDependents = c.dependents != 0;
  bool manual = ws.settings.manualRecalc;

  switch (kind) {
    case Kind::Number:
      storeNumber(c, number);
      break;
    case Kind::Formula:
      c.content = makePString(code.bytes + 1, code.bytes[0]);
      c.setType(CellType::NumberFormula);
      c.value.raw = 0;
      session.error().clear();
      RegisterDependencies(ws, h);
      if (manual || !hadDependents) session.evaluator().EvaluateCell(ws, h);
      break;
    case Kind::Label: {
      c.value.raw = 0;
      std::string label;
      if (text.empty() || !isLabelPrefix(first)) label += ws.settings.labelPrefix;
      label += text;
      if (label.size() > kMaxText) label.resize(kMaxText);
      c.content = makePString(label);
      break;
    }
  }
  // The row holds what spills from the cell or into it; a recalculation
  // may have changed any cell.
  if (!manual && hadDependents) {
    RecalcFrom(ws, h);
    host.cellsChanged(ws, kEmptyRange);
  } else {
    host.cellsChanged(ws, CellRange::of(row, 0, row, kColumns - 1));
  }
  return EntryResult::Stored;
}

bool EnterNumber(Worksheet& ws, int row, int col, double x) {
  if (!std::isfinite(x)) return false;
  CellHandle h = ws.FindCell(row, col);
  if (ws.settings.protection && (h == kNoCell || ws.cell(h).isProtected())) return false;
  if (h == kNoCell) h = ws.GetOrCreateCell(row, col);
  if (h == kNoCell) return false;
  ws.ClearCell(h);
  Cell& c = ws.cell(h);
  c.kind &= kKindTypeMask;
  storeNumber(c, x);
  ws.modified = true;
  if (!ws.session().bulkUpdate) RecalcFrom(ws, h);
  return true;
}

std::string CellInputText(const Worksheet& ws, CellHandle h) {
  if (h == kNoCell) return {};
  const Cell& c = ws.cell(h);
  switch (c.type()) {
    case CellType::StringFormula:
    case CellType::NumberFormula:
      return c.content ? ListFormula(ws, c.content) : std::string();
    case CellType::Real:
      return roundTripText(c.value.number, ws.session().settings().decimalSeparator);
    case CellType::Integer:
      return std::to_string(c.value.integer);
    case CellType::Label:
      return std::string(pstringView(c.content));
    default:
      return {};
  }
}

CellDescriptionText CellDescription(const Worksheet& ws, int row, int col) {
  CellDescriptionText out;
  bool protectionOn = ws.settings.protection;
  CellHandle h = ws.FindCell(row, col);
  if (h == kNoCell || (ws.cell(h).isProtected() && protectionOn)) {
    if (protectionOn) {
      out.description = "Pr ";
      out.content = "* Protected *";
      out.editable = false;
    }
    return out;
  }
  const Cell& c = ws.cell(h);
  std::string d;
  if ((c.format & kFormatMask) != kFormatGlobal) d = FormatCode(c.format, protectionOn);
  if (c.style != 0) d += "," + std::to_string(c.style);
  if (validColumn(col) && ws.columnWidth[col] != kDefaultSize) {
    if (!d.empty()) d += ' ';
    d += "w" + std::to_string(ws.columnWidth[col] / 8);
  }
  if (!d.empty()) d = " [" + d + "]";
  if (d.size() > 40) d.resize(40);
  out.description = d;
  out.content = CellInputText(ws, h);
  return out;
}

}  // namespace tw
