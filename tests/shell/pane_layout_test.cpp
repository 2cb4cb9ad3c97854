#include "shell/pane_layout.h"

#include "shell/window_state.h"
#include "test_support.h"

namespace tw::test {
namespace {

TEST_F(SheetTest, PaneGeometryPutsFrozenTitlesFirstAndFindsCellsAndEdges) {
  ws.settings.titleRows = CellRange::of(0, 0, 1, 255);      // rows 1 and 2
  ws.settings.titleColumns = CellRange::of(0, 0, 8191, 0);  // column A
  ws.columnWidth[2] = 40;
  ws.rowHeight[10] = 30;
  Pane p;
  p.topRow = 10;
  p.leftCol = 2;
  PaneBox box{48 + 72 + 40 + 72 * 2 + 10, 20 + 20 * 2 + 30 + 20 * 3 + 5, 20, 48};
  GridGeometry g = paneGeometry(ws, p, 0, box);
  ASSERT_GE(g.rows.size(), 5u);
  EXPECT_EQ(g.rows[0], 0);
  EXPECT_EQ(g.rows[1], 1);
  EXPECT_EQ(g.rows[2], 10);
  EXPECT_EQ(g.rowY[2], 60);
  EXPECT_EQ(g.rowY[3], 90);  // row 11 is 30 pixels high
  EXPECT_EQ(g.cols[0], 0);
  EXPECT_EQ(g.cols[1], 2);
  EXPECT_EQ(g.colX[2], 48 + 72 + 40);
  // Only whole rows and columns count for paging: the last of each is cut.
  updateVisibleCounts(p, g, box);
  EXPECT_EQ(p.visibleRows, 6);
  EXPECT_EQ(p.visibleCols, 4);
  int row = -1, col = -1;
  EXPECT_TRUE(cellAtPoint(g, box, {48 + 72 + 5, 65}, row, col));
  EXPECT_EQ(row, 10);
  EXPECT_EQ(col, 2);
  EXPECT_FALSE(cellAtPoint(g, box, {10, 65}, row, col));  // the row header
  EXPECT_EQ(columnEdgeAt(g, box, {48 + 72 + 40 + 2, 5}), 2);
  EXPECT_EQ(columnEdgeAt(g, box, {48 + 72 + 40 + 2, 25}), -1);  // below the header
  EXPECT_EQ(rowEdgeAt(g, box, {5, 91}), 10);
  // The second pane has no titles of its own.
  GridGeometry second = paneGeometry(ws, p, 1, box);
  EXPECT_EQ(second.rows[0], 10);
  EXPECT_EQ(second.cols[0], 2);
  // A zoomed window draws rows and columns at its size; hidden ones stay hidden.
  ws.columnWidth[3] = 0;
  GridGeometry zoomed = paneGeometry(ws, p, 1, {2000, 1000, 20, 48}, 150);
  EXPECT_EQ(zoomed.rowY[1] - zoomed.rowY[0], 45);
  EXPECT_EQ(zoomed.colX[1] - zoomed.colX[0], 60);
  EXPECT_EQ(zoomed.colX[2] - zoomed.colX[1], 0);
}

}  // namespace
}  // namespace tw::test

#include "shell/window_placement.h"

namespace tw::test {
namespace {

TEST(WindowPlacement, NewWindowsCascadeFullyVisibleAtAUsefulSize) {
  for (int n = 0; n < 40; ++n) {
    Rect r = cascadePlace(n, 1000, 600);
    EXPECT_GE(r.x, 0);
    EXPECT_LE(r.right(), 1000) << n;
    EXPECT_LE(r.bottom(), 600) << n;
    EXPECT_EQ(r.width, 750);
    EXPECT_EQ(r.height, 450);
  }
  EXPECT_EQ(cascadePlace(1, 1000, 600).x, kCascadeStep);
  EXPECT_EQ(cascadePlace(7, 1000, 600).x, 0);  // 150 pixels of room: seven steps, then over
  // A small area: the window takes all of it rather than shrinking below use.
  Rect small = cascadePlace(3, 400, 250);
  EXPECT_EQ(small.width, 400);
  EXPECT_EQ(small.height, 250);
  EXPECT_EQ(small.x, 0);
}

TEST(WindowPlacement, TilesFillTheAreaWithoutOverlap) {
  std::vector<Rect> t = tilePlaces(5, 900, 600);
  ASSERT_EQ(t.size(), 5u);
  int area = 0;
  for (const Rect& r : t) area += r.width * r.height;
  EXPECT_EQ(area, 900 * 600);
  EXPECT_EQ(t[3].width, 450);  // the last row's two share its width
  EXPECT_TRUE(tilePlaces(0, 900, 600).empty());
}

}  // namespace
}  // namespace tw::test
