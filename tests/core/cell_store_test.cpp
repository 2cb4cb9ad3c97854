#include <algorithm>
#include <numeric>
#include <random>

#include "core/dependencies.h"
#include "core/formula_code.h"
#include "core/range_parse.h"
#include "test_support.h"

namespace tw::test {
namespace {

using CellStore = SheetTest;

TEST_F(CellStore, FindAndCreateAtTheEdgesOfTheSheet) {
  EXPECT_EQ(ws.FindCell(8192, 0), kNoCell);
  EXPECT_EQ(ws.FindCell(-1, 0), kNoCell);
  EXPECT_EQ(ws.FindCell(0, 256), kNoCell);
  EXPECT_EQ(ws.GetOrCreateCell(8192, 0), kNoCell);
  EXPECT_TRUE(session.error().raised);
  EXPECT_EQ(session.error().message, "Out of Range");
  EXPECT_EQ(session.error().code, 101);
  session.error().clear();
  EXPECT_EQ(ws.GetOrCreateCell(0, -1), kNoCell);
  session.error().clear();

  CellHandle a = ws.GetOrCreateCell(5, 3);
  ASSERT_NE(a, kNoCell);
  EXPECT_EQ(ws.GetOrCreateCell(5, 3), a);
  EXPECT_EQ(ws.FindCell(5, 3), a);
  EXPECT_EQ(ws.maxRow, 5);
  EXPECT_EQ(ws.maxCol, 3);
  CellHandle corner = ws.GetOrCreateCell(8191, 255);
  ASSERT_NE(corner, kNoCell);
  EXPECT_EQ(ws.cell(corner).row, 8191);
  EXPECT_EQ(ws.cell(corner).column, 255);
  // The template's attributes come with every new cell.
  EXPECT_EQ(ws.cell(a).format, 0xFF);
  EXPECT_EQ(ws.cell(a).colour, kDefaultColour);
  EXPECT_EQ(ws.cell(a).type(), CellType::Blank);
}

TEST_F(CellStore, RowListsStaySortedUnderAnyCreationOrder) {
  std::vector<int> columns(256);
  std::iota(columns.begin(), columns.end(), 0);
  std::mt19937 random(7);
  for (int row : {0, 1, 100}) {
    std::shuffle(columns.begin(), columns.end(), random);
    for (int c : columns) ASSERT_NE(ws.GetOrCreateCell(row, c), kNoCell);
    int expected = 0;
    for (CellHandle h = ws.rowHeads[row]; h; h = ws.cell(h).next)
      EXPECT_EQ(ws.cell(h).column, expected++);
    EXPECT_EQ(expected, 256);
  }
  // Descending order is the worst case for the predecessor bookkeeping.
  for (int c = 200; c >= 0; c -= 10) ws.GetOrCreateCell(7, c);
  int last = -1;
  for (CellHandle h = ws.rowHeads[7]; h; h = ws.cell(h).next) {
    EXPECT_GT(ws.cell(h).column, last);
    last = ws.cell(h).column;
  }
}

TEST_F(CellStore, ClearingKeepsTheRecordWithItsAttributes) {
  enter("B2", "abc");
  Cell* c = cell("B2");
  c->format = 0x02;  // F2, unprotected
  c->colour = 0x800000FF;
  c->borders = 0x55;
  ws.ClearCell(handle("B2"));
  c = cell("B2");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->type(), CellType::Blank);
  EXPECT_EQ(c->content, nullptr);
  EXPECT_EQ(c->format, 0x02);
  EXPECT_EQ(c->colour, 0x800000FFu);
  EXPECT_EQ(c->borders, 0x55);
}

TEST_F(CellStore, ForEachCellStopsAndNests) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) ws.GetOrCreateCell(r, c);
  std::vector<std::pair<int, int>> seen;
  bool finished = ws.ForEachCell(CellRange::of(3, 2, 1, 1), [&](CellHandle, Cell& c) {
    seen.push_back({c.row, c.column});
    return true;
  });
  EXPECT_TRUE(finished);
  std::vector<std::pair<int, int>> expected{{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 1}, {3, 2}};
  EXPECT_EQ(seen, expected);

  int visits = 0;
  finished =
      ws.ForEachCell(CellRange::of(0, 0, 3, 3), [&](CellHandle, Cell&) { return ++visits < 5; });
  EXPECT_FALSE(finished);
  EXPECT_EQ(visits, 5);

  int inner = 0;
  ws.ForEachCell(CellRange::of(0, 0, 1, 1), [&](CellHandle, Cell&) {
    ws.ForEachCell(CellRange::of(2, 2, 3, 3), [&](CellHandle, Cell&) { return ++inner > 0; });
    return true;
  });
  EXPECT_EQ(inner, 16);
}

TEST_F(CellStore, ValuesAndTexts) {
  enter("A1", "12");
  enter("A2", "12.5");
  enter("A3", "'label");
  enter("A4", "+\"str\"");
  enter("A5", "+1/0");
  EXPECT_EQ(number("A1"), 12);
  EXPECT_EQ(number("A2"), 12.5);
  EXPECT_EQ(number("A3"), 0);
  EXPECT_EQ(number("A5"), 0);  // an ERR result counts as 0
  EXPECT_EQ(number("Z99"), 0);
  EXPECT_EQ(text("A3"), "label");
  EXPECT_EQ(text("A4"), "str");
  EXPECT_EQ(ws.CellText(handle("A3")), "'label");
  EXPECT_EQ(ws.CellText(handle("A4")), "'str");
  EXPECT_EQ(ws.CellText(handle("A1")), "12 ");  // general format with its suffix
}

TEST(Addresses, ColumnLettersAndAddressTexts) {
  EXPECT_EQ(ColumnLetters(0), "A");
  EXPECT_EQ(ColumnLetters(25), "Z");
  EXPECT_EQ(ColumnLetters(26), "AA");
  EXPECT_EQ(ColumnLetters(51), "AZ");
  EXPECT_EQ(ColumnLetters(255), "IV");
  EXPECT_EQ(AddressText(0, 0, false, false, 0), "A1");
  EXPECT_EQ(AddressText(8191, 255, true, true, 0), "$IV$8192");
  EXPECT_EQ(AddressText(4, 1, true, false, 8192), "B$5");
  EXPECT_EQ(AddressText(2048, 0, false, false, 2048), "B:A1");
  EXPECT_EQ(AddressText(2048 + 4, 2, false, true, 2048), "B:$C5");
  EXPECT_EQ(RangeText(CellRange::of(0, 0, 2, 2), 0), "A1..C3");
  EXPECT_EQ(RangeText(CellRange::cell(3, 3), 0), "D4");
  EXPECT_EQ(RangeText(kEmptyRange, 0), "");
  EXPECT_EQ(RangeText(CellRange::of(0, 0, 1, 1), 0, kAbsRow1 | kAbsCol2), "A$1..$B2");
}

struct ParseCase {
  const char* text;
  bool ok;
  CellRange range;
  uint8_t flags;
};

TEST_F(CellStore, ParseRangeCases) {
  const ParseCase cases[] = {
      {"a1..c3", true, CellRange::of(0, 0, 2, 2), 0},
      {"$B$2", true, CellRange::cell(1, 1), kAbsRow1 | kAbsCol1},
      {"C3..A1", true, CellRange::of(2, 2, 0, 0), 0},
      {"A1..$B$2", true, CellRange::of(0, 0, 1, 1), kAbsRow2 | kAbsCol2},
      {"IV8192", true, CellRange::cell(8191, 255), 0},
      {"A8193", true, CellRange::cell(0, 0), 0},  // row numbers wrap
      {"A0", false, {}, 0},
      {"IW1", false, {}, 0},
      {"A1.B2", false, {}, 0},  // one dot does not split in a formula
      {"A1x", false, {}, 0},
      {"A1..", false, {}, 0},
      {"A", false, {}, 0},
      {"1", false, {}, 0},
      {"AAAA1", false, {}, 0},
      {"A12345678901", false, {}, 0},
      {"RANGE", false, {}, 0},  // only range prompts know the words
  };
  for (const ParseCase& c : cases) {
    session.error().clear();
    ParsedRange p = ParseRange(ws, c.text);
    EXPECT_EQ(p.ok, c.ok) << c.text;
    EXPECT_EQ(session.error().raised, !c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(p.range, c.range) << c.text;
      EXPECT_EQ(p.absFlags, c.flags) << c.text;
    }
  }
  ParsedRange empty = ParseRange(ws, "");
  EXPECT_TRUE(empty.ok);
  EXPECT_FALSE(empty.range.valid());
}

TEST_F(CellStore, ParseRangeInPromptsNamesAndSheets) {
  host.cursorRow = 4;
  host.cursorCol = 2;
  host.selection = CellRange::of(1, 1, 3, 3);
  EXPECT_EQ(ParseRange(ws, "cursor", kRangeWords).range, CellRange::cell(4, 2));
  EXPECT_EQ(ParseRange(ws, "RANGE", kRangeWords).range, CellRange::of(1, 1, 3, 3));
  EXPECT_EQ(ParseRange(ws, "A1.B5", kSingleDot).range, CellRange::of(0, 0, 4, 1));

  ws.names.DefineName("sales", CellRange::of(0, 0, 9, 0));
  ParsedRange p = ParseRange(ws, "Sales");
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.range, CellRange::of(0, 0, 9, 0));
  EXPECT_EQ(p.absFlags, 0);
  EXPECT_EQ(ParseRange(ws, "$SALES").absFlags, 0x0F);

  ws.settings.sheetRows = 2048;
  EXPECT_EQ(ParseRange(ws, "B:A1").range, CellRange::cell(2048, 0));
  EXPECT_EQ(ParseRange(ws, "D:C10..D:D20").range, CellRange::of(3 * 2048 + 9, 2, 3 * 2048 + 19, 3));
  EXPECT_EQ(ws.addressText(2048, 0), "B:A1");
}

TEST_F(CellStore, DetachingACellMakesItsDependentsErrAndDropsTheirLinks) {
  enter("A1", "5");
  enter("B1", "7");
  enter("C1", "+A1+B1");
  enter("D1", "@SUM(A1..A3)");
  enter("E1", "+A1");
  ws.names.DefineName("HERE", CellRange::cell(0, 0));
  ws.settings.ranges[kPrintRange] = CellRange::of(0, 0, 5, 5);
  ws.settings.ranges[kSortData] = CellRange::of(1, 1, 5, 5);
  CellHandle a1 = handle("A1");
  DetachReferencesTo(ws, a1);

  EXPECT_TRUE(isErr("C1"));
  EXPECT_TRUE(isErr("D1"));
  EXPECT_EQ(input("C1"), "+ERR+B1");
  EXPECT_EQ(input("E1"), "+ERR");
  // A range that lost a corner loses both corners.
  EXPECT_EQ(input("D1"), "@SUM(ERR..ERR)");
  EXPECT_EQ(ws.cell(a1).dependents, 0u);
  // The surviving reference of C1 is still linked; the range of D1 no longer.
  int b1Links = 0;
  for (uint32_t l = cell("B1")->dependents; l; l = ws.pool().link(l).next) ++b1Links;
  EXPECT_EQ(b1Links, 1);
  EXPECT_EQ(cell("A2")->dependents, 0u);
  EXPECT_FALSE(ws.names.entry(1).range.valid());
  EXPECT_FALSE(ws.settings.ranges[kPrintRange].valid());
  EXPECT_TRUE(ws.settings.ranges[kSortData].valid());
  // Entering into B1 still recalculates C1, which stays ERR.
  enter("B1", "8");
  EXPECT_TRUE(isErr("C1"));
}

TEST_F(CellStore, FreeAllCellsEmptiesTheSheet) {
  enter("A1", "1");
  enter("C9", "+A1");
  ws.FreeAllCells();
  EXPECT_EQ(ws.FindCell(0, 0), kNoCell);
  EXPECT_EQ(ws.FindCell(8, 2), kNoCell);
  EXPECT_EQ(ws.maxRow, 0);
  EXPECT_EQ(ws.maxCol, 0);
  EXPECT_EQ(ws.pool().liveCells(), 0u);
  EXPECT_EQ(ws.pool().liveLinks(), 0u);
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

// Texts made in bulk sit one after another and go with the pool; one freed
// alone leaves its place, one of its own is freed with it.
TEST(CellPoolTexts, BulkTextsAndTextsOfTheirOwnFreeTheirOwnWay) {
  CellPool pool;
  std::vector<PString> texts;
  for (int i = 0; i < 5000; ++i) texts.push_back(pool.makeText("'label " + std::to_string(i)));
  EXPECT_EQ(pstringView(texts[0]), "'label 0");
  EXPECT_EQ(pstringView(texts[4999]), "'label 4999");
  EXPECT_GT(texts[1], texts[0]);
  EXPECT_LE(texts[1], texts[0] + 10) << "laid out one after another";
  for (PString t : texts) ASSERT_TRUE(isBlockText(t));
  EXPECT_EQ(pstringView(pool.makeText(std::string(300, 'x'))).size(), 255u);
  EXPECT_EQ(pstringView(pool.makeText("")), "");
  PString own = makePString("own");
  EXPECT_FALSE(isBlockText(own));
  freePString(own);
  EXPECT_EQ(own, nullptr);
  freePString(texts[7]);
  EXPECT_EQ(texts[7], nullptr);
  EXPECT_EQ(pstringView(texts[8]), "'label 8") << "its neighbour stays";
  // Cells holding either kind are freed with the pool.
  CellHandle a = pool.allocate(Cell{}), b = pool.allocate(Cell{});
  pool[a].content = pool.makeText("'bulk");
  pool[a].kind = static_cast<uint8_t>(CellType::Label);
  pool[b].content = makePString("'own");
  pool[b].kind = static_cast<uint8_t>(CellType::Label);
  pool.release(a);
  pool.clear();
  EXPECT_EQ(pool.liveCells(), 0u);
}

}  // namespace
}  // namespace tw::test
