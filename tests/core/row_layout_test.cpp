#include "core/row_layout.h"

#include "test_support.h"

namespace tw::test {
namespace {

// Every character seven pixels wide, as a fixed-pitch font would be.
struct FixedMeasure : TextMeasure {
  int textWidth(std::string_view text, const CellFont&) override {
    return 7 * static_cast<int>(text.size());
  }
};

class RowLayout : public SheetTest {
 public:
  // Columns A..F of 72 pixels each.
  std::vector<CellDraw> row(int r, DrawContext ctx = {}) {
    ctx.firstCol = 0;
    ctx.lastCol = 5;
    ctx.columnX.clear();
    for (int c = 0; c <= 6; ++c) ctx.columnX.push_back(72 * c);
    if (ctx.currentRow == -1) ctx.currentCellShown = false;
    return layoutRow(ws, r, ctx, measure);
  }
  FixedMeasure measure;
};

TEST_F(RowLayout, NumbersThatDoNotFitBecomeXAndNeverSpill) {
  enter("A1", "123456789012");
  enter("B1", "12.5");
  std::vector<CellDraw> cells = row(0);
  // 72 pixels, less the 4 a number keeps clear, hold nine whole x of seven pixels.
  EXPECT_EQ(cells[0].text, std::string(9, 'x'));
  EXPECT_EQ(cells[0].clipWidth, 72);
  EXPECT_EQ(cells[1].text, "12.5 ");
  EXPECT_EQ(cells[1].align, TextAlign::Right);
}

TEST_F(RowLayout, LabelsSpillOverEmptyNeighboursUpToTheFirstFilled) {
  enter("A1", "a label long enough for three cells of this width");
  auto [r, c] = at("B1");
  ws.GetOrCreateCell(r, c);  // a Blank record: still empty
  enter("D1", "5");
  std::vector<CellDraw> cells = row(0);
  EXPECT_EQ(cells[0].clipWidth, 3 * 72);
  EXPECT_TRUE(cells[1].text.empty());
  EXPECT_TRUE(cells[2].text.empty());
  EXPECT_EQ(cells[3].text, "5 ");
  // A short label keeps to its cell.
  enter("A2", "short");
  EXPECT_EQ(row(1)[0].clipWidth, 72);
}

TEST_F(RowLayout, PrefixesAndAlignmentBits) {
  enter("A1", "\"right");
  enter("B1", "^centre");
  enter("C1", "\\-");
  enter("D1", "\\ab");
  enter("E1", "'left");
  cell("E1")->style = 2 << 4;  // the alignment command's "right"
  std::vector<CellDraw> cells = row(0);
  EXPECT_EQ(cells[0].align, TextAlign::Right);
  EXPECT_EQ(cells[0].text, "right");
  EXPECT_EQ(cells[1].align, TextAlign::Centre);
  // (72 - 8) / 7 copies of the character.
  EXPECT_EQ(cells[2].text, std::string(9, '-'));
  EXPECT_EQ(cells[3].text, std::string(9, 'a'));  // only the character after the prefix
  EXPECT_EQ(cells[4].align, TextAlign::Right);
}

TEST_F(RowLayout, ErrTextFormatAndHidden) {
  enter("A1", "+1/0");
  enter("B1", "+2*3");
  cell("B1")->format = kFormatText;
  enter("C1", "42");
  cell("C1")->format = kFormatHidden;
  enter("D1", "+\"str\"");
  std::vector<CellDraw> cells = row(0);
  EXPECT_EQ(cells[0].text, "ERR");
  EXPECT_EQ(cells[1].text, "+2*3");
  EXPECT_TRUE(cells[2].text.empty());
  EXPECT_EQ(cells[3].text, "str");
}

TEST_F(RowLayout, BackgroundsAndTextColours) {
  WorksheetSettings& s = ws.settings;
  s.banding = true;
  enter("A1", "-5");
  enter("B1", "'text");
  enter("A2", "1");
  // Banding shades the first, third, ... rows.
  EXPECT_EQ(row(0)[0].fill, toRgb(s.colours[kBorderColour] & 0xFFFFFF));
  EXPECT_EQ(row(1)[0].fill, toRgb(s.colours[kBackgroundColour] & 0xFFFFFF));
  s.banding = false;
  EXPECT_EQ(row(0)[0].fill, toRgb(s.colours[kBackgroundColour] & 0xFFFFFF));
  // Automatic text colours by type; negatives in colour when asked.
  EXPECT_EQ(row(0)[1].textColour, toRgb(kPalette[(s.colours[kLabelColour] >> 24) & 15]));
  EXPECT_EQ(row(0)[0].textColour, toRgb(kPalette[(s.colours[kValueColour] >> 24) & 15]));
  s.negativeInColour = true;
  EXPECT_EQ(row(0)[0].textColour, toRgb(kPalette[(s.colours[kNegativeColour] >> 24) & 15]));
  // A cell's own fill and text colour.
  cell("B1")->colour = 0x05000000 | 0x00FF00;  // green fill (0x00BBGGRR), palette entry 5
  EXPECT_EQ(row(0)[1].fill, 0x00FF00u);
  EXPECT_EQ(row(0)[1].textColour, toRgb(kPalette[5]));

  DrawContext ctx;
  ctx.currentRow = 0;
  ctx.currentCol = 0;
  ctx.selection = CellRange::of(0, 1, 1, 2);
  ctx.titleRows = CellRange::of(1, 0, 1, 5);
  std::vector<CellDraw> first = row(0, ctx);
  EXPECT_EQ(first[0].fill, toRgb(s.colours[kCursorColour] & 0xFFFFFF));
  EXPECT_EQ(first[1].fill, 0xFF0000u);  // the selection
  EXPECT_EQ(first[1].textColour, 0xFFFFFFu);
  EXPECT_EQ(row(1, ctx)[4].fill, 0x80FFFFu);  // a frozen title row
  ctx.printing = true;
  EXPECT_EQ(row(0, ctx)[1].fill, 0xFFFFFFu);
  EXPECT_EQ(row(0, ctx)[1].textColour, 0u);
}

}  // namespace
}  // namespace tw::test
