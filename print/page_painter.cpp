#include "print/page_painter.h"

#include "core/canvas.h"
#include "core/cell_painter.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

constexpr const char* kHeaderTypeface = "Arial";

// One line of header or footer text in the box's height, its parts aligned.
void paintAlignedLine(Canvas& canvas, const Font& font, const Rect& box, const std::string& text) {
  AlignedParts parts = alignedParts(text);
  canvas.setFont(font);
  canvas.setTextColour(0);
  auto draw = [&](const std::string& part, int x) {
    if (!part.empty()) canvas.drawText(x, box.y, part);
  };
  draw(parts.left, box.x);
  if (!parts.centre.empty())
    draw(parts.centre, box.x + (box.width - canvas.measureText(font, parts.centre).width) / 2);
  if (!parts.right.empty())
    draw(parts.right, box.right() - canvas.measureText(font, parts.right).width);
}

}  // namespace

void paintPrintedPage(Canvas& canvas, const Worksheet& ws, const PageGeometry& g,
                      const PrintedPage& page, const PageFacts& facts) {
  const PrintOptions& o = ws.settings.print;
  canvas.fillRectangle({0, 0, g.pageWidth, g.pageHeight}, 0xFFFFFF);

  GridGeometry grid;
  grid.rows = page.rows;
  grid.cols = page.columns;
  int y = g.bodyTop();
  for (int row : page.rows) {
    grid.rowY.push_back(y);
    y += printedRowHeight(ws, row, g.scale);
  }
  grid.rowY.push_back(y);
  int x = g.left;
  for (int col : page.columns) {
    grid.colX.push_back(x);
    x += printedColumnWidth(ws, col, g.scale);
  }
  grid.colX.push_back(x);

  GridStyle style;
  style.width = g.left + g.bodyWidth();
  style.height = g.bodyTop() + g.bodyHeight();
  style.headers = false;
  style.gridLines = o.grid;
  style.gridColour = 0x000000;
  style.cursorFrame = false;
  style.windowFont.typeface = ws.settings.font.typeface;
  style.windowFont.size = gridTextPoints(ws);
  style.zoom = g.scale;
  DrawContext ctx;
  ctx.printing = true;
  ctx.monochrome = ws.session().settings().printBlack;
  ctx.currentCellShown = false;
  if (!page.rows.empty() && !page.columns.empty()) paintGrid(canvas, ws, grid, ctx, style);

  Font font;
  font.typeface = kHeaderTypeface;
  font.size = g.textPoints;
  const int width = g.bodyWidth();
  canvas.setPen({0, 1, LineStyle::Solid});
  if (!ws.settings.printHeader.empty() || o.headerLine) {
    paintAlignedLine(canvas, font, {g.left, g.top, width, g.lineHeight},
                     expandPageCodes(ws.settings.printHeader, facts));
    if (o.headerLine) {
      int ruleY = g.top + g.lineHeight + g.lineHeight / 2;
      canvas.drawLine({{g.left, ruleY}, {g.left + width - 1, ruleY}});
    }
  }
  const int footerTop = g.pageHeight - g.bottom - g.lineHeight;
  if (!ws.settings.printFooter.empty() || o.footerLine) {
    paintAlignedLine(canvas, font, {g.left, footerTop, width, g.lineHeight},
                     expandPageCodes(ws.settings.printFooter, facts));
    if (o.footerLine) {
      int ruleY = footerTop - g.lineHeight / 2;
      canvas.drawLine({{g.left, ruleY}, {g.left + width - 1, ruleY}});
    }
  }
  if (o.frame) {
    canvas.setBrush({0, FillStyle::None});
    canvas.drawRectangle({0, 0, g.pageWidth, g.pageHeight});
    canvas.drawRectangle({g.left, g.bodyTop(), width, g.bodyHeight()});
  }
}

}  // namespace tw
