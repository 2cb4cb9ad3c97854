#include "commands/data_commands.h"

#include <cmath>

#include "commands/block_commands.h"
#include "core/cell.h"
#include "core/cell_address.h"
#include "core/cell_entry.h"
#include "core/host.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

constexpr int kGaugeEvery = 2048;

// Recalculation waits until the fill is done.
struct BulkUpdate {
  Session& session;
  bool was;
  explicit BulkUpdate(Session& s) : session(s), was(s.bulkUpdate) { session.bulkUpdate = true; }
  ~BulkUpdate() { session.bulkUpdate = was; }
};

bool whole(double x) {
  return std::isfinite(x) && x == std::trunc(x) && std::fabs(x) < 9.0e15;
}

}  // namespace

CommandResult FillRange(CommandContext& cx, const CellRange& range, FillType type, bool byRow,
                        double step, double start) {
  Worksheet& ws = *cx.ws;
  if (!range.valid() || !std::isfinite(step) || !std::isfinite(start))
    return CommandResult::failed();
  const CellRange r = range.ordered();
  TakeUndoSnapshot(ws);
  Host& host = cx.host();
  const bool integers = type == FillType::Linear && whole(start) && whole(step);
  long long count = 0;
  const long long istart = integers ? static_cast<long long>(start) : 0;
  const long long istep = integers ? static_cast<long long>(step) : 0;
  double v = start;
  bool stopped = false;
  {
    BulkUpdate bulk(cx.session);
    const int outer1 = byRow ? r.row1 : r.col1, outer2 = byRow ? r.row2 : r.col2;
    const int inner1 = byRow ? r.col1 : r.row1, inner2 = byRow ? r.col2 : r.row2;
    for (int o = outer1; o <= outer2 && !stopped; ++o)
      for (int i = inner1; i <= inner2; ++i) {
        const int row = byRow ? o : i, col = byRow ? i : o;
        double value = integers ? static_cast<double>(istart + count * istep) : v;
        if (!std::isfinite(value)) {
          cx.session.ShowError(kFillOverflowMessage);
          stopped = true;
          break;
        }
        CellHandle h = ws.FindCell(row, col);
        bool skip = ws.settings.protection && (h == kNoCell || ws.cell(h).isProtected());
        if (!skip && !EnterNumber(ws, row, col, value)) {
          cx.session.ShowError("Out of Memory");
          stopped = true;
          break;
        }
        ++count;
        if (!integers) {
          if (type == FillType::Linear)
            v += step;
          else if (type == FillType::Multiply)
            v *= step;
          else
            v = std::pow(v, step);
        }
        if (count % kGaugeEvery == 0)
          host.showProgress(
              static_cast<int>(count * 100 / ((outer2 - outer1 + 1LL) * (inner2 - inner1 + 1LL))));
      }
  }
  host.showProgress(-1);
  ws.modified = true;
  if (!ws.settings.manualRecalc) RecalcRange(ws, CellRange::of(0, 0, ws.maxRow, ws.maxCol));
  CommandResult out = CommandResult::everything();
  out.ok = !stopped;
  return out;
}

CommandResult SpeedFill(CommandContext& cx, const CellRange& selection) {
  Worksheet& ws = *cx.ws;
  if (!selection.valid()) return CommandResult::failed();
  const CellRange s = selection.ordered();
  CellHandle h = ws.FindCell(s.row1, s.col1);
  const Cell* t = h == kNoCell ? nullptr : &ws.cell(h);
  if (t && t->type() == CellType::Label) {
    std::string text = ws.LabelText(h);
    if (text.size() == 1 &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
      // A column's letter: the labels count on through the columns.
      TakeUndoSnapshot(ws);
      int column = (text[0] & ~0x20) - 'A';
      BulkUpdate bulk(cx.session);
      for (int row = s.row1; row <= s.row2; ++row)
        for (int col = s.col1; col <= s.col2 && column < kColumns; ++col, ++column)
          EnterCell(ws, "'" + ColumnLetters(column), row, col);
      cx.session.error().clear();
      ws.modified = true;
      if (!ws.settings.manualRecalc) RecalcRange(ws, s);
      return CommandResult::everything();
    }
  }
  if (t && (isFormula(t) || t->type() == CellType::Label))
    return CopyOrMove(cx, false, CellRange::cell(s.row1, s.col1), s);
  double start = t ? numberValue(*t) : 0;
  bool byRow = s.col2 - s.col1 >= s.row2 - s.row1;
  return FillRange(cx, s, FillType::Linear, byRow, 1, start);
}

void addDataCommands(CommandTable& t) {
  t.add({"DATAFILL",
         {{ArgKind::Range, "FILL: Output Range"},
          {ArgKind::Number, "Start"},
          {ArgKind::Number, "Step"},
          {ArgKind::Integer, "Kind (1 add, 2 multiply, 3 power)", true},
          {ArgKind::Integer, "By row (1)", true}},
         [](CommandContext& cx, const Args& a) {
           int kind = static_cast<int>(numberArg(a, 3));
           FillType type = kind == 2   ? FillType::Multiply
                           : kind == 3 ? FillType::Power
                                       : FillType::Linear;
           bool byRow = static_cast<int>(numberArg(a, 4)) == 1;
           return FillRange(cx, rangeArg(cx, a, 0, ArgKind::Range), type, byRow, numberArg(a, 2),
                            numberArg(a, 1));
         }});
  t.add({"SPEEDFILL",
         {{ArgKind::Range, "FILL: Output Range", true}},
         [](CommandContext& cx, const Args& a) {
           return SpeedFill(cx, rangeArg(cx, a, 0, ArgKind::Range));
         }});
}

}  // namespace tw
