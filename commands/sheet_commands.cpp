#include "commands/sheet_commands.h"

#include <algorithm>
#include <cmath>

#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

int rounded(double x) {
  if (!std::isfinite(x)) return 0;
  return static_cast<int>(std::clamp(std::lround(x), -100000L, 100000L));
}

CommandResult sizes() {
  CommandResult r = CommandResult::everything();
  r.layoutChanged = true;
  return r;
}

}  // namespace

int sizeInPixels(int pixels) {
  return std::clamp(pixels, kSmallestSize, kLargestSize);
}

int columnPixelsOf(int characters) {
  return sizeInPixels(std::clamp(characters, 1, kLargestSize) * kPixelsPerCharacter);
}

int columnCharacters(const Worksheet& ws, int col) {
  return ws.columnPixels(col) / kPixelsPerCharacter;
}

CommandResult SetColumnWidth(Worksheet& ws, int col1, int col2, int characters) {
  int pixels = columnPixelsOf(characters);
  for (int c = std::max(col1, 0); c <= std::min(col2, kColumns - 1); ++c)
    ws.columnWidth[c] = static_cast<uint16_t>(pixels);
  ws.modified = true;
  return sizes();
}

CommandResult SetColumnPixels(Worksheet& ws, int col, int pixels) {
  if (!validColumn(col)) return CommandResult::failed();
  ws.columnWidth[col] = static_cast<uint16_t>(sizeInPixels(pixels));
  ws.modified = true;
  return sizes();
}

CommandResult SetRowHeight(Worksheet& ws, int row1, int row2, int pixels) {
  for (int r = std::max(row1, 0); r <= std::min(row2, kRows - 1); ++r)
    ws.rowHeight[r] = static_cast<uint16_t>(sizeInPixels(pixels));
  ws.modified = true;
  return sizes();
}

CommandResult SetRecalcMode(Worksheet& ws, bool manual) {
  ws.settings.manualRecalc = manual;
  ws.modified = true;
  return {};
}

CommandResult UndoLastCommand(CommandContext& cx) {
  Worksheet& ws = *cx.ws;
  if (!ws.undo || ws.undo->empty()) {
    cx.host().beep();
    return CommandResult::failed();
  }
  cx.host().showMode(Mode::Wait);
  ws.undo->restore(ws);
  CommandResult r = sizes();
  r.recalculated = true;
  return r;
}

void addSheetCommands(CommandTable& t) {
  t.add(
      {"COLWIDTH",
       {{ArgKind::Address, "COLUMN WIDTH: Specify Cell"}, {ArgKind::Integer, "Width (characters)"}},
       [](CommandContext& cx, const Args& a) {
         CellRange r = rangeArg(cx, a, 0, ArgKind::Address);
         return SetColumnWidth(*cx.ws, r.col1, r.col1, rounded(numberArg(a, 1)));
       }});
  t.add(
      {"COLUMNWIDTH",
       {{ArgKind::Range, "COLUMN WIDTH: Specify Range"}, {ArgKind::Integer, "Width (characters)"}},
       [](CommandContext& cx, const Args& a) {
         CellRange r = rangeArg(cx, a, 0, ArgKind::Range);
         return SetColumnWidth(*cx.ws, r.col1, r.col2, rounded(numberArg(a, 1)));
       }});
  t.add({"ROWHEIGHT",
         {{ArgKind::Address, "ROW HEIGHT: Specify Cell"}, {ArgKind::Integer, "Height (pixels)"}},
         [](CommandContext& cx, const Args& a) {
           CellRange r = rangeArg(cx, a, 0, ArgKind::Address);
           return SetRowHeight(*cx.ws, r.row1, r.row1, rounded(numberArg(a, 1)));
         }});
  t.add({"ROWHEIGHTS",
         {{ArgKind::Range, "ROW HEIGHT: Specify Range"}, {ArgKind::Integer, "Height (pixels)"}},
         [](CommandContext& cx, const Args& a) {
           CellRange r = rangeArg(cx, a, 0, ArgKind::Range);
           return SetRowHeight(*cx.ws, r.row1, r.row2, rounded(numberArg(a, 1)));
         }});
  t.add({"UNDO", {}, [](CommandContext& cx, const Args&) { return UndoLastCommand(cx); }});
  t.add({"CALC",
         {},
         [](CommandContext& cx, const Args&) {
           cx.host().showMode(Mode::Wait);
           RecalcAllWindows(cx.session);
           CommandResult r = CommandResult::everything();
           r.recalculated = true;
           return r;
         },
         Needs::Nothing});
  // The range is read as the macro language writes it; the whole worksheet
  // is recalculated.
  t.add({"RECALC",
         {{ArgKind::Range, "RECALC: Specify Range", true}},
         [](CommandContext& cx, const Args&) {
           cx.host().showMode(Mode::Wait);
           RecalcAll(*cx.ws);
           CommandResult r = CommandResult::everything();
           r.recalculated = true;
           return r;
         }});
  t.add({"RECALCMODE",
         {{ArgKind::Integer, "Manual recalculation (1) or automatic (0)"}},
         [](CommandContext& cx, const Args& a) {
           return SetRecalcMode(*cx.ws, numberArg(a, 0) != 0);
         }});
  t.add({"GOTO", {{ArgKind::Address, "GOTO: Specify Cell"}}, [](CommandContext& cx, const Args& a) {
           CellRange r = rangeArg(cx, a, 0, ArgKind::Address);
           CommandResult out;
           if (!validAddress(r.row1, r.col1)) return CommandResult::failed();
           out.moveCursor = true;
           out.cursorRow = r.row1;
           out.cursorCol = r.col1;
           return out;
         }});
}

}  // namespace tw
