#include "core/row_layout.h"

#include "core/display_format.h"
#include "core/worksheet.h"

namespace tw {

namespace {

constexpr uint32_t kSelectionFill = 0xFF0000;  // RGB(255, 0, 0)
constexpr uint32_t kWhite = 0xFFFFFF;

bool inRange(const CellRange& r, int row, int col) {
  return r.valid() && r.ordered().contains(row, col);
}

}  // namespace

std::vector<CellDraw> layoutRow(const Worksheet& ws, int row, const DrawContext& ctx,
                                TextMeasure& measure) {
  std::vector<CellDraw> out;
  out.reserve(ctx.lastCol - ctx.firstCol + 1);
  const WorksheetSettings& s = ws.settings;
  const FormatOptions options = formatOptions(ws);
  // Cells of the row by column, existing ones only.
  std::vector<const Cell*> cells(ctx.lastCol - ctx.firstCol + 1, nullptr);
  for (CellHandle h = ws.FindCellAtOrAfter(row, ctx.firstCol); h; h = ws.cell(h).next) {
    const Cell& c = ws.cell(h);
    if (c.column > ctx.lastCol) break;
    cells[c.column - ctx.firstCol] = &c;
  }
  auto columnWidth = [&](int col) {
    int i = col - ctx.firstCol;
    return ctx.columnX[i + 1] - ctx.columnX[i];
  };
  // Where a spilling label already covers, neighbours draw no text of their own.
  int coveredUntil = -1;
  for (int col = ctx.firstCol; col <= ctx.lastCol; ++col) {
    const Cell* c = cells[col - ctx.firstCol];
    CellDraw d;
    d.col = col;
    d.x = ctx.columnX[col - ctx.firstCol];
    d.width = columnWidth(col);
    d.clipWidth = d.width;

    CellLook look;
    look.printing = ctx.printing;
    look.monochrome = ctx.monochrome;
    look.title = inRange(ctx.titleRows, row, col) || inRange(ctx.titleColumns, row, col);
    d.fill = cellFill(ws, c, row, look);
    d.textColour = cellTextColour(ws, c, look);
    d.spillColour = d.textColour;
    bool current = ctx.currentCellShown && row == ctx.currentRow && col == ctx.currentCol;
    bool selected = !current && inRange(ctx.selection, row, col) && !ctx.selection.isSingleCell();
    d.highlighted = (current || selected) && !ctx.printing;
    if (current && !ctx.printing) {
      d.fill = toRgb(s.colours[kCursorColour] & kColourRgbMask);
      if (!ctx.monochrome) d.textColour = paletteRgb(s.colours[kCursorColour]);
    }
    if (selected && !ctx.printing) {
      d.fill = kSelectionFill;
      d.textColour = kWhite;
    }
    if (c) {
      d.borders = c->borders;
      d.font = cellFontOf(*c);
    }
    if (!c || col <= coveredUntil) {
      out.push_back(std::move(d));
      continue;
    }

    CellShow shown = cellShows(ws, *c, d.width, measure, options);
    bool spills = shown.spills();
    d.align = shown.align;
    d.picture = shown.kind == ShowKind::Picture;
    d.stretch = shown.stretch;
    d.text = std::move(shown.text);
    // A label wider than its cell runs on over empty neighbours.
    if (spills) {
      int need = measure.textWidth(d.text, d.font) + kTextInset;
      int next = col + 1;
      while (need > d.clipWidth && next <= ctx.lastCol) {
        const Cell* n = cells[next - ctx.firstCol];
        if (n && hasContent(n)) break;
        d.clipWidth += columnWidth(next);
        coveredUntil = next;
        ++next;
      }
    }
    out.push_back(std::move(d));
  }
  return out;
}

}  // namespace tw
