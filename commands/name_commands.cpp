#include "commands/name_commands.h"

#include <algorithm>
#include <new>
#include <string>

#include "core/cell_entry.h"
#include "core/range_names.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

// A label's text without its prefix or a string formula's result, at most 20 characters.
std::string shortText(const Worksheet& ws, int row, int col) {
  return ws.LabelText(ws.FindCell(row, col)).substr(0, 20);
}

}  // namespace

void BuildNames(Worksheet& ws, const CellRange& source) {
  if (!source.valid()) return;
  CellRange r = source.ordered();
  Session& session = ws.session();
  try {
    for (int row = r.row1; row <= r.row2; ++row) {
      if (ws.names.full()) {
        session.ShowError("Max names (" + std::to_string(RangeNameTable::kMaxNames) + ") Exceeded");
        return;
      }
      std::string rangeText = shortText(ws, row, r.col1 + 1);
      std::string name = shortText(ws, row, r.col1);
      std::erase(name, ' ');
      if (name.empty() ||
          std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
        continue;
      ParsedRange parsed = ParseRange(ws, rangeText, kRangeWords | kSingleDot);
      session.error().clear();
      ws.names.DefineName(name, parsed.ok ? parsed.range : kEmptyRange);
    }
  } catch (const std::bad_alloc&) {
    session.ShowError("Error Creating Names");
  }
  ws.modified = true;
}

void NameTable(Worksheet& ws, const CellRange& target) {
  if (!target.valid()) return;
  int row = target.row1, col = target.col1;
  for (const RangeName& entry : std::vector<RangeName>(ws.names.entries())) {
    if (row >= kRows) return;
    if (EnterCell(ws, "'" + entry.name, row, col) == EntryResult::Refused) return;
    if (entry.range.valid() &&
        EnterCell(ws, "'" + ws.rangeText(entry.range), row, col + 1) == EntryResult::Refused)
      return;
    ++row;
  }
}

}  // namespace tw
