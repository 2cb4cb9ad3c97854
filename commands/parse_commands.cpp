#include "commands/parse_commands.h"

#include "core/cell.h"
#include "core/cell_entry.h"
#include "core/program_settings.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

bool formulaStart(char c) {
  return c == '(' || c == '+' || c == '-' || c == '@';
}

// The field so far reads as a number (digits, a point, an exponent).
bool numberSoFar(std::string_view s) {
  if (s.empty()) return false;
  bool digit = false;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9')
      digit = true;
    else if (c == '.' || c == 'E' || c == 'e')
      continue;
    else if ((c == '+' || c == '-') && i == 0)
      continue;
    else
      return false;
  }
  return digit;
}

}  // namespace

std::vector<ParsedField> SplitLine(std::string_view line, char argumentSeparator) {
  auto separator = [argumentSeparator](char c) {
    return c == ' ' || c == ';' || c == argumentSeparator;
  };
  std::vector<ParsedField> fields;
  size_t p = 0;
  while (true) {
    while (p < line.size() && separator(line[p])) ++p;
    if (p >= line.size()) break;
    ParsedField f;
    bool inside = false;
    size_t start = p;
    for (; p < line.size(); ++p) {
      char c = line[p];
      if (c == '"') {
        inside = !inside;
        if (!inside) f.quoted = true;
        continue;
      }
      if (inside) {
        f.text += c;
        continue;
      }
      if (separator(c)) break;
      if (formulaStart(c) && p > start) {
        char before = line[p - 1];
        bool exponentSign = (c == '+' || c == '-') && (before == 'E' || before == 'e');
        if (!exponentSign && numberSoFar(f.text)) break;
      }
      f.text += c;
    }
    fields.push_back(std::move(f));
  }
  return fields;
}

int SplitLineIntoCells(Worksheet& ws, std::string_view line, int row, int col, char separator) {
  Session& session = ws.session();
  int written = 0;
  for (const ParsedField& f : SplitLine(line, separator)) {
    if (col >= kColumns) break;
    std::string text = f.quoted || f.text.empty() ? "'" + f.text : f.text;
    if (EnterCell(ws, text, row, col) == EntryResult::SyntaxError) {
      session.error().clear();
      EnterCell(ws, "'" + f.text, row, col);
    }
    session.error().clear();
    ++written;
    ++col;
  }
  return written;
}

CommandResult ParseRange(CommandContext& cx, const CellRange& range) {
  Worksheet& ws = *cx.ws;
  if (!range.valid()) {
    cx.host().beep();
    return CommandResult::failed();
  }
  const CellRange r = range.ordered();
  TakeUndoSnapshot(ws);
  // The texts as they stand before any field is written, so that fields
  // landing in later cells of the range are not split again.
  struct Line {
    int row, col;
    std::string text;
  };
  std::vector<Line> lines;
  ws.ForEachCell(r, [&](CellHandle h, Cell& c) {
    if (c.type() == CellType::Label || c.type() == CellType::StringFormula)
      lines.push_back({c.row, c.column, ws.LabelText(h)});
    return true;
  });
  {
    BulkUpdateScope bulk(cx.session);
    const char separator = cx.session.settings().argumentSeparator;
    for (const Line& l : lines) SplitLineIntoCells(ws, l.text, l.row, l.col, separator);
  }
  ws.modified = true;
  if (!ws.settings.manualRecalc) RecalcAll(ws);
  return CommandResult::everything();
}

void addParseCommands(CommandTable& t) {
  t.add({"DATAPARSE",
         {{ArgKind::Range, "PARSE: Specify Range"}},
         [](CommandContext& cx, const Args& a) {
           return ParseRange(cx, rangeArg(cx, a, 0, ArgKind::Range));
         }});
}

}  // namespace tw
