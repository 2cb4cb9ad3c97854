#include <vector>

#include "test_support.h"

namespace tw::test {
namespace {

using Recalc = SheetTest;

int linkCount(Worksheet& ws, CellHandle h) {
  int n = 0;
  for (uint32_t l = ws.cell(h).dependents; l; l = ws.pool().link(l).next) ++n;
  return n;
}

TEST_F(Recalc, DiamondIsEvaluatedInDependencyOrder) {
  enter("A1", "1");
  enter("B1", "+A1*2");
  enter("C1", "+B1+A1");
  enter("D1", "+B1*C1");
  enter("A1", "5");
  EXPECT_EQ(number("B1"), 10);
  EXPECT_EQ(number("C1"), 15);
  EXPECT_EQ(number("D1"), 150);
}

TEST_F(Recalc, LongChainsInBothDirections) {
  // Down a column and back up another, so that the order differs from the
  // row-by-row order of the sheet.
  enter("A1", "1");
  for (int r = 2; r <= 3000; ++r)
    enter("A" + std::to_string(r), "+A" + std::to_string(r - 1) + "+1");
  enter("B3000", "+A3000+1");
  for (int r = 2999; r >= 1; --r)
    enter("B" + std::to_string(r), "+B" + std::to_string(r + 1) + "+1");
  EXPECT_EQ(number("B1"), 6000);
  enter("A1", "101");
  EXPECT_EQ(number("A3000"), 3100);
  EXPECT_EQ(number("B1"), 6100);
}

TEST_F(Recalc, CyclesAreCutWithoutAMessage) {
  enter("A1", "+B1+1");
  enter("B1", "+A1+1");
  EXPECT_EQ(number("A1"), 1);
  EXPECT_EQ(number("B1"), 2);
  RecalcAll(ws);
  EXPECT_TRUE(host.errors.empty());
  // Each cell of the cycle is evaluated once per recalculation: A1 = B1+1
  // is 3 in either order, and B1 is 2 (evaluated first) or 4 (after A1).
  double a = number("A1"), b = number("B1");
  EXPECT_EQ(a, 3);
  EXPECT_TRUE(b == 2 || b == 4) << b;
  // And once more on the next: the values move on, so the test fails when
  // nothing is evaluated.
  RecalcAll(ws);
  EXPECT_GT(number("A1"), a);
  enter("C1", "+C1+1");
  EXPECT_EQ(number("C1"), 1);
  RecalcAll(ws);
  EXPECT_EQ(number("C1"), 2);
}

TEST_F(Recalc, RangesLinkEveryCellAndErasingUnlinks) {
  enter("B1", "@SUM(A1..A100)");
  for (int r = 1; r <= 100; ++r) {
    CellHandle h = handle("A" + std::to_string(r));
    ASSERT_NE(h, kNoCell);
    EXPECT_EQ(linkCount(ws, h), 1);
  }
  enter("B2", "+B1*2");
  enter("A50", "3");
  EXPECT_EQ(number("B2"), 6);
  ws.ClearCell(handle("B1"));
  for (int r = 1; r <= 100; ++r) EXPECT_EQ(linkCount(ws, handle("A" + std::to_string(r))), 0);
  EXPECT_NE(handle("A7"), kNoCell);  // the blank records stay
}

TEST_F(Recalc, AFormulaNamingACellManyTimesIsLinkedOnce) {
  enter("D1", "@SUM(A1..A3)");  // one range: no repeat to look for
  enter("C1", "+A1+A1+@SUM(A1..B2)+@SUM(B1..B3)+B3");
  for (const char* a : {"A1", "A2"}) EXPECT_EQ(linkCount(ws, handle(a)), 2) << a;
  EXPECT_EQ(linkCount(ws, handle("A3")), 1);
  for (const char* a : {"B1", "B2", "B3"}) EXPECT_EQ(linkCount(ws, handle(a)), 1) << a;
  // The newest formula heads each list.
  EXPECT_EQ(ws.pool().link(ws.cell(handle("A1")).dependents).cell, handle("C1"));
  enter("B2", "4");
  EXPECT_EQ(number("C1"), 8);
  ws.ClearCell(handle("C1"));
  for (const char* a : {"A1", "A2", "A3"}) EXPECT_EQ(linkCount(ws, handle(a)), 1) << a;
  for (const char* a : {"B1", "B2", "B3"}) EXPECT_EQ(linkCount(ws, handle(a)), 0) << a;
  // Again while the freed links wait to be made again.
  enter("C1", "+B3+B3+@SUM(B1..B3)");
  for (const char* a : {"B1", "B2", "B3"}) EXPECT_EQ(linkCount(ws, handle(a)), 1) << a;
}

TEST_F(Recalc, ManualRecalculationWaitsForCalc) {
  enter("A1", "1");
  enter("B1", "+A1");
  ws.settings.manualRecalc = true;
  enter("A1", "5");
  EXPECT_EQ(number("B1"), 1);
  enter("C1", "+A1*3");  // a new formula is evaluated alone
  EXPECT_EQ(number("C1"), 15);
  RecalcAll(ws);
  EXPECT_EQ(number("B1"), 5);
  // Numbers stored by commands recalculate whatever the setting.
  EXPECT_TRUE(EnterNumber(ws, 0, 0, 7));
  EXPECT_EQ(number("B1"), 7);
}

TEST_F(Recalc, NestedRecalculationRequestsDoNothing) {
  enter("A1", "1");
  enter("B1", "+A1");
  session.recalcBusy = true;
  enter("A1", "2");  // RecalcFrom still runs: it is not a full recalculation
  EXPECT_EQ(number("B1"), 2);
  ws.settings.manualRecalc = true;
  enter("A1", "3");
  RecalcAll(ws);
  EXPECT_EQ(number("B1"), 2);
  session.recalcBusy = false;
  RecalcAll(ws);
  EXPECT_EQ(number("B1"), 3);
}

TEST_F(Recalc, ALargeSheetIsRecalculatedCompletely) {
  // 20,000 formulas: more than a fixed 16384-entry list could order.
  ws.settings.manualRecalc = true;
  enter("A1", "1");
  for (int r = 2; r <= 5000; ++r)
    enter("A" + std::to_string(r), "+A" + std::to_string(r - 1) + "+1");
  for (const char* col : {"B", "C", "D"})
    for (int r = 1; r <= 5000; ++r)
      enter(std::string(col) + std::to_string(r), "+A" + std::to_string(r) + "*2");
  enter("A1", "10");
  RecalcAll(ws);
  EXPECT_EQ(number("A5000"), 5009);
  EXPECT_EQ(number("D5000"), 10018);
  EXPECT_EQ(number("B1"), 20);
  EXPECT_TRUE(host.errors.empty());
  // No walk marks are left behind.
  bool marked = false;
  ws.ForEachCell(CellRange::of(0, 0, ws.maxRow, ws.maxCol), [&](CellHandle, Cell& c) {
    marked = marked || (c.kind & (kKindVisited | kKindPlaced));
    return true;
  });
  EXPECT_FALSE(marked);
}

TEST_F(Recalc, AllWindows) {
  Worksheet& second = session.openWorksheet("SECOND.WKS");
  EnterCell(second, "2", 0, 0);
  EnterCell(second, "+A1*2", 0, 1);
  second.settings.manualRecalc = true;
  EnterCell(second, "4", 0, 0);
  session.setCurrent(&ws);
  enter("A1", "1");
  ws.settings.manualRecalc = true;
  enter("B1", "+A1");
  enter("A1", "9");
  int hookRuns = 0;
  session.beforeRecalcAll = [&] { ++hookRuns; };
  RecalcAllWindows(session);
  EXPECT_EQ(hookRuns, 1);
  EXPECT_EQ(number("B1"), 9);
  EXPECT_EQ(second.CellNumber(second.FindCell(0, 1)), 8);
  EXPECT_EQ(session.current(), &ws);
}

// A whole recalculation that changed nothing and would change nothing if run
// again leaves the worksheet settled; recalculating every window then does
// nothing until something changes. The value is tampered with behind the
// worksheet's back to see whether a run happened.
TEST_F(Recalc, ASettledWorksheetIsNotRecalculatedAgainUntilItChanges) {
  enter("A1", "2");
  enter("B1", "+A1*3");
  RecalcAll(ws);
  ASSERT_TRUE(ws.settled());
  CellHandle b1 = ws.FindCell(0, 1);
  ws.cell(b1).value.number = 99;
  RecalcAllWindows(session);
  EXPECT_EQ(number("B1"), 99);  // skipped
  enter("C1", "1");             // any change ends the settled state
  EXPECT_FALSE(ws.settled());
  RecalcAllWindows(session);
  EXPECT_EQ(number("B1"), 6);
  EXPECT_TRUE(ws.settled());
  // Saving clears the changed flag, not the values' state.
  ws.modified = false;
  EXPECT_TRUE(ws.settled());
  // Values may depend on the separators: with other settings the run happens.
  ws.cell(b1).value.number = 99;
  session.settings().decimalSeparator = ',';
  RecalcAllWindows(session);
  EXPECT_EQ(number("B1"), 6);
  session.settings().decimalSeparator = '.';
}

// Whatever a second run could change keeps the worksheet unsettled: a
// cycle, chance, text read by address at run time, another file.
TEST_F(Recalc, CyclesChanceAndIndirectReadsAreNeverSettled) {
  for (const char* formula : {"+A1+1", "@RAND", "@@(\"B1\")", "@TODAY"}) {
    enter("A1", formula);
    enter("B1", "4");
    RecalcAll(ws);
    EXPECT_FALSE(ws.settled()) << formula;
  }
  enter("A1", "+A1+1");
  RecalcAll(ws);
  double before = number("A1");
  RecalcAllWindows(session);
  EXPECT_GT(number("A1"), before);
  // With the function gone, the state comes back.
  enter("A1", "+B1*2");
  RecalcAll(ws);
  EXPECT_TRUE(ws.settled());
}

}  // namespace
}  // namespace tw::test
