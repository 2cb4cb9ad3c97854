// Where a worksheet window's pane draws its rows and columns: the frozen
// title rows and columns of the first pane, then the scrolled part from the
// pane's top row and left column, as far as the pane's size reaches; and
// which cell or header edge lies under a point.
#pragma once

#include "core/cell_painter.h"

namespace tw {

class Worksheet;
struct Pane;

struct PaneBox {
  int width = 0;  // the cells' area ends here (the scroll bar excluded)
  int height = 0;
  int headerHeight = 0;
  int rowHeaderWidth = 0;
};

// zoom is the window's per cent: rows and columns are drawn at that size.
GridGeometry paneGeometry(const Worksheet& ws, const Pane& pane, int paneIndex, const PaneBox& box,
                          int zoom = 100);
// The rows and columns that fit whole, told to the pane for paging.
void updateVisibleCounts(Pane& pane, const GridGeometry& g, const PaneBox& box);
// The cell under a point; false over the headers or past the last cell,
// with row and col still set to the row and column under the point.
bool cellAtPoint(const GridGeometry& g, const PaneBox& box, Point p, int& row, int& col);
// The column whose right edge (in the column header) or the row whose
// bottom edge (in the row header) is within reach of the point, or -1.
int columnEdgeAt(const GridGeometry& g, const PaneBox& box, Point p);
int rowEdgeAt(const GridGeometry& g, const PaneBox& box, Point p);

}  // namespace tw
