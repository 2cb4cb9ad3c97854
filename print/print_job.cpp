#include "print/print_job.h"

#include <algorithm>

#include "core/canvas.h"
#include "core/cell_display.h"
#include "core/row_layout.h"
#include "core/worksheet.h"
#include "print/page_painter.h"

namespace tw {

CellRange printedRange(const Worksheet& ws, bool all) {
  if (all) {
    if (ws.maxRow < 0 || ws.maxCol < 0) return kEmptyRange;
    return CellRange::of(0, 0, ws.maxRow, ws.maxCol);
  }
  const CellRange& r = ws.settings.ranges[kPrintRange];
  return r.valid() ? r.ordered() : kEmptyRange;
}

PrintOutcome printPages(Worksheet& ws, const CellRange& range, PageDevice& device, int only,
                        const std::function<bool(const PrintStatus&)>& status) {
  if (!range.valid()) return PrintOutcome::Nothing;
  const CellRange r = range.ordered();
  Pagination p = Paginate(ws, r, PageLayout(device.metrics(), ws));
  if (p.bordersTooTall) return PrintOutcome::BordersTooTall;
  bool anyRows = std::any_of(p.pages.begin(), p.pages.end(), [](const PrintedPage& pg) {
    return pg.rows.size() > size_t(pg.borderRows);
  });
  if (p.pages.empty() || !anyRows) return PrintOutcome::Nothing;

  PrintStatus s;
  s.printer = device.name();
  const int rows = r.row2 - r.row1 + 1;
  for (const PrintedPage& page : p.pages) {
    if (only > 0 && page.number != only) continue;
    s.page = page.number;
    if (status) {
      // The gauge follows the lines of the page, as they are drawn.
      for (size_t i = page.borderRows; i < page.rows.size(); ++i) {
        int row = page.rows[i];
        s.line = row - r.row1 + 1;
        s.percent = (row - r.row1 + 1) * 100 / (rows + 1);
        if (!status(s)) {
          device.abort();
          return PrintOutcome::Cancelled;
        }
      }
    }
    Canvas* canvas = device.beginPage();
    if (!canvas) {
      device.abort();
      return PrintOutcome::DeviceFailed;
    }
    paintPrintedPage(*canvas, ws, p.geometry, page, pageFactsNow(ws, page.number));
    if (!device.endPage()) {
      device.abort();
      return PrintOutcome::DeviceFailed;
    }
  }
  return device.finish() ? PrintOutcome::Printed : PrintOutcome::DeviceFailed;
}

std::string rangeAsText(const Worksheet& ws, const CellRange& range) {
  std::string out;
  if (!range.valid()) return out;
  const CellRange r = range.ordered();
  FixedTextMeasure measure;
  DrawContext ctx;
  ctx.printing = true;
  ctx.currentCellShown = false;
  ctx.firstCol = r.col1;
  ctx.lastCol = r.col2;
  int x = 0;
  for (int c = r.col1; c <= r.col2; ++c) {
    ctx.columnX.push_back(x);
    x += ws.columnPixels(c);
  }
  ctx.columnX.push_back(x);
  const size_t lineWidth = static_cast<size_t>(x / FixedMetrics::kCharWidth);
  std::string line;
  for (int row = r.row1; row <= r.row2; ++row) {
    line.assign(lineWidth, ' ');
    for (const CellDraw& d : layoutRow(ws, row, ctx, measure)) {
      if (d.text.empty() || d.picture) continue;
      int start = d.x / FixedMetrics::kCharWidth;
      int width = d.width / FixedMetrics::kCharWidth;
      int room = std::max(width, d.clipWidth / FixedMetrics::kCharWidth);
      int length = static_cast<int>(d.text.size());
      int at = start;
      if (d.align == TextAlign::Right)
        at = start + width - length;
      else if (d.align == TextAlign::Centre)
        at = start + (width - length) / 2;
      for (int i = 0; i < length; ++i) {
        int pos = at + i;
        if (pos < start || pos >= start + room || pos >= static_cast<int>(lineWidth)) continue;
        line[pos] = d.text[i];
      }
    }
    size_t end = line.find_last_not_of(' ');
    out.append(line, 0, end == std::string::npos ? 0 : end + 1);
    out += "\r\n";
  }
  return out;
}

std::string printFileName(const std::string& name) {
  size_t slash = name.find_last_of('/');
  std::string_view base = slash == std::string::npos ? std::string_view(name)
                                                     : std::string_view(name).substr(slash + 1);
  return base.find('.') == std::string_view::npos ? name + ".prn" : name;
}

}  // namespace tw
