#include "core/cell_painter.h"

#include "core/recording_canvas.h"
#include "test_support.h"

namespace tw::test {
namespace {

class CellPainter : public SheetTest {
 public:
  CellPainter() {
    // Row 1 only, columns A..D of 72 pixels after a 48-pixel row header.
    g.rows = {0};
    g.rowY = {20, 40};
    g.cols = {0, 1, 2, 3};
    g.colX = {48, 120, 192, 264, 336};
    style.width = 400;
    style.height = 60;
    style.headerHeight = 20;
    style.rowHeaderWidth = 48;
    style.gridColour = 0x123456;
    style.background = 0xABCDEF;
  }
  void paint() {
    DrawContext ctx;
    ctx.currentRow = 0;
    ctx.currentCol = 0;
    paintGrid(canvas, ws, g, ctx, style, &drawn);
  }
  bool hasLine(Line l, int width) {
    for (const DrawOp& op : canvas.ofKind(DrawKind::Line))
      if (op.points[0] == l.from && op.points[1] == l.to && op.pen.width == width &&
          op.pen.colour == 0)
        return true;
    return false;
  }

  GridGeometry g;
  GridStyle style;
  RecordingCanvas canvas;
  std::vector<DrawnText> drawn;
};

TEST_F(CellPainter, OneRowFillsTextsBordersAndTheCursor) {
  ws.settings.banding = false;
  enter("A1", "Hello");
  enter("B1", "12");
  enter("C1", "^mid");
  cell("C1")->borders = 0x55;  // a thin line on every side
  enter("D1", "'x");
  cell("D1")->colour = (cell("D1")->colour & ~kColourAutoBack & ~kColourRgbMask) | 0x0000FF;
  paint();

  // Backgrounds: the cursor's colour on A1, the worksheet's on B1, D1's own red.
  const WorksheetSettings& s = ws.settings;
  EXPECT_EQ(canvas.fillAt({50, 25}), toRgb(s.colours[kCursorColour] & 0xFFFFFF));
  EXPECT_EQ(canvas.fillAt({130, 25}), toRgb(s.colours[kBackgroundColour] & 0xFFFFFF));
  EXPECT_EQ(canvas.fillAt({270, 25}), 0xFF0000u);
  EXPECT_EQ(canvas.fillAt({390, 25}), 0xABCDEFu);  // past the last column

  // Texts at eight pixels a character, 16 high, centred in the 20-pixel row.
  const DrawOp* hello = canvas.findText("Hello");
  ASSERT_NE(hello, nullptr);
  EXPECT_EQ(hello->rect.x, 48 + kTextInset);
  EXPECT_EQ(hello->rect.y, 22);
  const DrawOp* twelve = canvas.findText("12 ");
  ASSERT_NE(twelve, nullptr);
  EXPECT_EQ(twelve->rect.right(), 192 - kTextInset);
  const DrawOp* mid = canvas.findText("mid");
  ASSERT_NE(mid, nullptr);
  EXPECT_EQ(mid->rect.x, 192 + (72 - 24) / 2);
  EXPECT_EQ(mid->colour, paletteRgb(s.colours[kLabelColour]));

  // C1's four thin borders, and the two-pixel frame of the current cell.
  EXPECT_TRUE(hasLine({{192, 20}, {192, 39}}, 1));
  EXPECT_TRUE(hasLine({{192, 39}, {263, 39}}, 1));
  EXPECT_TRUE(hasLine({{263, 20}, {263, 39}}, 1));
  EXPECT_TRUE(hasLine({{192, 20}, {263, 20}}, 1));
  std::vector<DrawOp> frames = canvas.ofKind(DrawKind::Rectangle);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].rect, (Rect{49, 21, 71, 19}));  // the pen falls inside A1
  EXPECT_EQ(frames[0].pen.width, 2);

  // Grid lines in the grid colour, the headers' letters and number.
  bool grid = false;
  for (const DrawOp& op : canvas.ofKind(DrawKind::Line)) grid |= op.pen.colour == 0x123456;
  EXPECT_TRUE(grid);
  for (const char* header : {"A", "B", "C", "D", "1"}) EXPECT_NE(canvas.findText(header), nullptr);
  ASSERT_EQ(drawn.size(), 4u);
  EXPECT_EQ(drawn[3].text, "x");
}

TEST_F(CellPainter, ASpillingLabelIsClippedAtTheFirstFilledCell) {
  enter("A1", "a label that runs on");
  enter("C1", "5");
  enter("A2", "a label that runs on");
  enter("C2", "6");
  g.rows = {0, 1};
  g.rowY = {20, 40, 60};
  style.headers = false;
  style.cursorFrame = false;
  paint();
  std::vector<const DrawOp*> first, second;
  const auto texts = canvas.ofKind(DrawKind::Text);
  for (const DrawOp& op : texts)
    if (op.text == "a label that runs on") (op.rect.y < 40 ? first : second).push_back(&op);
  // Too wide for A2 and B2 together: drawn cut at the start of C2.
  ASSERT_EQ(second.size(), 1u);
  ASSERT_TRUE(second[0]->clip.has_value());
  EXPECT_EQ(second[0]->clip->x, 48);
  EXPECT_EQ(second[0]->clip->right(), 192);
  // Under the cursor, A1's colours stay in A1: B1 shows the rest as the
  // label's own colour, not white on white.
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(*first[0]->clip, (Rect{48, 20, 72, 20}));
  EXPECT_EQ(*first[1]->clip, (Rect{120, 20, 72, 20}));
  EXPECT_EQ(first[1]->colour, cellTextColour(ws, ws.cellAt(0, 0), CellLook{}));
  EXPECT_NE(first[0]->colour, first[1]->colour);
  // A text that fits is drawn under the cell area's clip only.
  const DrawOp* five = canvas.findText("5 ");
  ASSERT_NE(five, nullptr);
  EXPECT_EQ(five->clip, (Rect{0, 0, 400, 60}));
}

TEST_F(CellPainter, APointerOverASpilledLabelShowsItInThePointersColours) {
  enter("A1", "a label that runs on and on");
  style.headers = false;
  DrawContext ctx;
  ctx.currentRow = 0;
  ctx.currentCol = 1;  // B1, under A1's text
  paintGrid(canvas, ws, g, ctx, style, &drawn);
  std::vector<DrawOp> pieces;
  for (const DrawOp& op : canvas.ofKind(DrawKind::Text))
    if (op.text == "a label that runs on and on") pieces.push_back(op);
  ASSERT_GE(pieces.size(), 3u);
  uint32_t own = cellTextColour(ws, ws.cellAt(0, 0), CellLook{});
  EXPECT_EQ(pieces[0].colour, own);                     // A1
  EXPECT_EQ(*pieces[1].clip, (Rect{120, 20, 72, 20}));  // B1, the pointer's
  EXPECT_NE(pieces[1].colour, own);
  EXPECT_EQ(pieces[2].colour, own);  // C1
}

TEST_F(CellPainter, AZoomedWindowScalesEveryCellFont) {
  CellFont big;
  big.size = 12;
  EXPECT_EQ(canvasFont(ws, big, Font{}, 150).size, 18);
  // The window's own size is a number once it must scale.
  EXPECT_EQ(canvasFont(ws, CellFont{}, Font{}, 100).size, 0);
  EXPECT_EQ(canvasFont(ws, CellFont{}, Font{"", 8}, 50).size, 4);
  EXPECT_EQ(canvasFont(ws, CellFont{}, Font{}, 200).size, 2 * kDefaultPointSize);
}

TEST(CellShows, TheSameRulesAtAnyMeasure) {
  HeadlessHost host;
  Session session(host);
  Worksheet& ws = withLibrary(session).openWorksheet("T.WKS");
  EnterCell(ws, "+\"str\"", 0, 0);
  ws.cellAt(0, 0)->format = kFormatHidden;
  EnterCell(ws, "\\-", 0, 1);
  EnterCell(ws, "1234567890", 0, 2);
  EnterCell(ws, "+1/0", 0, 3);
  FixedTextMeasure measure;
  // A hidden string result shows nothing, as every hidden cell.
  EXPECT_EQ(cellShows(ws, *ws.cellAt(0, 0), 72, measure).kind, ShowKind::Nothing);
  // Character cells keep no margin: nine dashes, and nine x for a number of
  // ten digits in nine characters.
  EXPECT_EQ(cellShows(ws, *ws.cellAt(0, 1), 72, measure).text, std::string(9, '-'));
  CellShow wide = cellShows(ws, *ws.cellAt(0, 2), 72, measure);
  EXPECT_EQ(wide.text, std::string(9, 'x'));
  EXPECT_EQ(wide.align, TextAlign::Right);
  // A number that fits only without its trailing space loses the space.
  EnterCell(ws, "123456789", 0, 4);
  ws.cellAt(0, 4)->format = ParseFormatCode("F0");
  EXPECT_EQ(cellShows(ws, *ws.cellAt(0, 4), 72, measure).text, "123456789");
  // On a screen the text keeps two pixels off the cell's edge.
  struct Screen : FixedTextMeasure {
    CellMargins margins() const override { return {2, 8}; }
  } screen;
  EXPECT_EQ(cellShows(ws, *ws.cellAt(0, 4), 72, screen).text, std::string(8, 'x'));
  EXPECT_EQ(cellShows(ws, *ws.cellAt(0, 1), 72, screen).text, std::string(8, '-'));
  EXPECT_EQ(cellShows(ws, *ws.cellAt(0, 3), 72, measure).kind, ShowKind::Error);
  EXPECT_EQ(classify(*ws.cellAt(0, 3)), CellClass::Error);
  EXPECT_EQ(classify(*ws.cellAt(0, 2)), CellClass::Real);
}

}  // namespace
}  // namespace tw::test
