#include "commands/name_commands.h"

#include <algorithm>
#include <new>
#include <string>

#include "commands/command.h"
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

namespace tw {

namespace {

bool allDigits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

CommandResult namesChanged(Worksheet& ws) {
  ws.modified = true;
  return {};
}

}  // namespace

void addNameCommands(CommandTable& t) {
  t.add({"RANGECREATE",
         {{ArgKind::Text, "Range name"}, {ArgKind::Range, "NAME: Specify Range"}},
         [](CommandContext& cx, const Args& a) {
           Worksheet& ws = *cx.ws;
           std::string name = RangeNameTable::normalise(textArg(a, 0));
           CellRange r = rangeArg(cx, a, 1, ArgKind::Range);
           if (name.empty() || allDigits(name)) {
             cx.session.ShowError(" All Digits in Name!");
             return CommandResult::failed();
           }
           if (ws.names.FindName(name) <= 0 && ws.names.full()) {
             cx.session.ShowError("Max names (" + std::to_string(RangeNameTable::kMaxNames) +
                                  ") Exceeded");
             return CommandResult::failed();
           }
           if (!r.valid() || ws.names.DefineName(name, r) == 0) {
             cx.session.ShowError("Invalid Range Name");
             return CommandResult::failed();
           }
           return namesChanged(ws);
         }});
  t.add({"RANGEDELETE", {{ArgKind::Text, "Range name"}}, [](CommandContext& cx, const Args& a) {
           if (cx.ws->names.DeleteName(textArg(a, 0)) <= 0) {
             cx.host().beep();
             return CommandResult::failed();
           }
           return namesChanged(*cx.ws);
         }});
  t.add({"RANGERESET", {}, [](CommandContext& cx, const Args&) {
           cx.ws->names.ResetNames();
           return namesChanged(*cx.ws);
         }});
  t.add(
      {"RANGETABLE", {{ArgKind::Range, "TABLE: To Range"}}, [](CommandContext& cx, const Args& a) {
         CellRange r = rangeArg(cx, a, 0, ArgKind::Range);
         NameTable(*cx.ws, r);
         CommandResult out;
         out.changed.push_back(CellRange::of(r.row1, r.col1,
                                             std::min(kRows - 1, r.row1 + cx.ws->names.count()),
                                             std::min(kColumns - 1, r.col1 + 1)));
         return out;
       }});
  t.add({"RANGEBUILD",
         {{ArgKind::Range, "BUILD: FROM Range"}},
         [](CommandContext& cx, const Args& a) {
           BuildNames(*cx.ws, rangeArg(cx, a, 0, ArgKind::Range));
           return CommandResult{};
         }});
}

}  // namespace tw
