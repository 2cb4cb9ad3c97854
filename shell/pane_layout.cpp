#include "shell/pane_layout.h"

#include <algorithm>
#include <cstdlib>

#include "core/worksheet.h"
#include "shell/window_state.h"

namespace tw {

GridGeometry paneGeometry(const Worksheet& ws, const Pane& p, int paneIndex, const PaneBox& box,
                          int zoom) {
  GridGeometry g;
  auto rowPixels = [&](int r) { return ws.rowPixels(r) * zoom / 100; };
  auto columnPixels = [&](int c) { return ws.columnPixels(c) * zoom / 100; };
  const CellRange titleRows = ws.settings.titleRows.ordered();
  const CellRange titleCols = ws.settings.titleColumns.ordered();
  bool titles = paneIndex == 0;
  int y = box.headerHeight;
  if (titles && titleRows.valid())
    for (int r = titleRows.row1; r <= titleRows.row2 && y < box.height; ++r) {
      g.rows.push_back(r);
      g.rowY.push_back(y);
      y += rowPixels(r);
    }
  for (int r = p.topRow; r < kRows && y < box.height; ++r) {
    if (titles && titleRows.valid() && r >= titleRows.row1 && r <= titleRows.row2) continue;
    g.rows.push_back(r);
    g.rowY.push_back(y);
    y += rowPixels(r);
  }
  g.rowY.push_back(y);
  int x = box.rowHeaderWidth;
  if (titles && titleCols.valid())
    for (int c = titleCols.col1; c <= titleCols.col2 && x < box.width; ++c) {
      g.cols.push_back(c);
      g.colX.push_back(x);
      x += columnPixels(c);
    }
  for (int c = p.leftCol; c < kColumns && x < box.width; ++c) {
    if (titles && titleCols.valid() && c >= titleCols.col1 && c <= titleCols.col2) continue;
    g.cols.push_back(c);
    g.colX.push_back(x);
    x += columnPixels(c);
  }
  g.colX.push_back(x);
  return g;
}

void updateVisibleCounts(Pane& p, const GridGeometry& g, const PaneBox& box) {
  int rows = 0, cols = 0;
  for (size_t i = 0; i < g.rows.size(); ++i)
    if (g.rowY[i + 1] <= box.height) ++rows;
  for (size_t i = 0; i < g.cols.size(); ++i)
    if (g.colX[i + 1] <= box.width) ++cols;
  p.visibleRows = std::max(1, rows);
  p.visibleCols = std::max(1, cols);
}

bool cellAtPoint(const GridGeometry& g, const PaneBox& box, Point pt, int& row, int& col) {
  if (pt.x < box.rowHeaderWidth || pt.y < box.headerHeight) return false;
  for (size_t i = 0; i < g.rows.size(); ++i)
    if (pt.y >= g.rowY[i] && pt.y < g.rowY[i + 1]) row = g.rows[i];
  for (size_t i = 0; i < g.cols.size(); ++i)
    if (pt.x >= g.colX[i] && pt.x < g.colX[i + 1]) col = g.cols[i];
  return pt.y < g.rowY.back() && pt.x < g.colX.back();
}

int columnEdgeAt(const GridGeometry& g, const PaneBox& box, Point pt) {
  if (pt.y >= box.headerHeight) return -1;
  for (size_t i = 0; i < g.cols.size(); ++i)
    if (std::abs(pt.x - g.colX[i + 1]) <= 3) return g.cols[i];
  return -1;
}

int rowEdgeAt(const GridGeometry& g, const PaneBox& box, Point pt) {
  if (pt.x >= box.rowHeaderWidth) return -1;
  for (size_t i = 0; i < g.rows.size(); ++i)
    if (std::abs(pt.y - g.rowY[i + 1]) <= 2) return g.rows[i];
  return -1;
}

}  // namespace tw
