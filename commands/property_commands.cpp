#include "commands/property_commands.h"

#include <string>

#include "core/display_format.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

CommandResult SetRangeFormat(CommandContext& cx, const CellRange& range, uint8_t format) {
  Worksheet& ws = *cx.ws;
  CellRange r = range.ordered();
  if (!r.valid()) return CommandResult::failed();
  TakeUndoSnapshot(ws);
  bool protection = ws.settings.protection;
  for (int row = r.row1; row <= r.row2; ++row)
    for (int col = r.col1; col <= r.col2; ++col) {
      // A missing cell would be made protected, as the template is.
      if (protection && ws.templateCell.isProtected() && ws.FindCell(row, col) == kNoCell) continue;
      CellHandle h = ws.GetOrCreateCell(row, col);
      if (h == kNoCell) {
        cx.session.showPendingError();
        return CommandResult::failed();
      }
      Cell& c = ws.cell(h);
      if (protection && c.isProtected()) continue;
      c.format = static_cast<uint8_t>((c.format & kFormatProtected) | (format & kFormatMask));
    }
  ws.modified = true;
  CommandResult out;
  out.changed.push_back(r);
  return out;
}

void addPropertyCommands(CommandTable& t) {
  t.add({"RANGEFORMAT",
         {{ArgKind::Range, "FORMAT: Specify Range"}, {ArgKind::Text, "Format code"}},
         [](CommandContext& cx, const Args& a) {
           std::string code = textArg(a, 1).substr(0, 8);
           return SetRangeFormat(cx, rangeArg(cx, a, 0, ArgKind::Range), ParseFormatCode(code));
         }});
}

}  // namespace tw
