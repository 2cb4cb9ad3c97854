#include "commands/name_commands.h"

#include "core/range_names.h"
#include "test_support.h"

namespace tw::test {
namespace {

TEST(RangeNames, SortedUpperCaseAndLimited) {
  RangeNameTable t;
  EXPECT_LT(t.DefineName("sales", CellRange::cell(0, 0)), 0);  // new entries come back negative
  EXPECT_EQ(t.DefineName("Sales", CellRange::cell(1, 1)), 1);
  EXPECT_EQ(t.DefineName("SALES", CellRange::cell(2, 2)), 1);
  EXPECT_EQ(t.count(), 1);
  EXPECT_EQ(t.entry(1).range, CellRange::cell(2, 2));
  t.DefineName("B", CellRange::cell(0, 1));
  t.DefineName("AB", CellRange::cell(0, 2));
  t.DefineName("A", CellRange::cell(0, 3));
  std::vector<std::string> order;
  for (const RangeName& n : t.entries()) order.push_back(n.name);
  EXPECT_EQ(order, (std::vector<std::string>{"A", "AB", "B", "SALES"}));
  EXPECT_EQ(t.FindName("ab"), 2);
  EXPECT_EQ(t.FindName("AA"), -2);  // would go before AB
  EXPECT_EQ(t.FindName("ZZZ"), -5);

  EXPECT_EQ(t.DefineName("2024", CellRange::cell(0, 0)), 0);
  // Q2024 is also the address of a cell, which a name must not hide.
  EXPECT_EQ(t.DefineName("Q2024", CellRange::cell(0, 0)), 0);
  EXPECT_LT(t.DefineName("QTR2024", CellRange::cell(0, 0)), 0);
  EXPECT_EQ(t.DefineName("", CellRange::cell(0, 0)), 0);
  EXPECT_EQ(t.DefineName("A1", CellRange::cell(0, 0)), 0);  // reads as an address
  EXPECT_EQ(t.DefineName("IV8192", CellRange::cell(0, 0)), 0);
  EXPECT_EQ(t.DefineName("G!ABCD", CellRange::cell(0, 0)), 0);  // the file's settings name
  EXPECT_LT(t.DefineName("IW1", CellRange::cell(0, 0)), 0);     // no such column

  // Fourteen characters are kept as twelve; the short lookup reads eleven.
  t.DefineName("LONGNAMEOFTEN", CellRange::cell(5, 5));
  EXPECT_GT(t.FindName("LONGNAMEOFTE"), 0);
  EXPECT_EQ(t.NameFromText("LONGNAMEOFTE"), 0);
  EXPECT_GT(t.NameFromText("$LONGNAMEOFTE"), 0);

  EXPECT_EQ(t.DeleteName("missing"), 0);
  int at = t.FindName("AB");
  EXPECT_EQ(t.DeleteName("ab"), at);
  EXPECT_LT(t.FindName("AB"), 0);
  t.ResetNames();
  EXPECT_EQ(t.count(), 0);

  for (int i = 0; i < RangeNameTable::kMaxNames; ++i)
    EXPECT_NE(t.DefineName("NAME" + std::to_string(i), {}), 0);
  EXPECT_TRUE(t.full());
  EXPECT_EQ(t.DefineName("ONEMORE", CellRange::cell(0, 0)), 0);
  EXPECT_EQ(t.DefineName("NAME7", CellRange::cell(1, 1)),
            t.FindName("NAME7"));  // redefining still works
}

using NameCommands = SheetTest;

TEST_F(NameCommands, BuildFromABlockOfLabels) {
  enter("A1", "my name");
  enter("B1", "C3..D9");
  enter("A2", "");
  enter("B2", "E1");
  enter("A3", "'2024");
  enter("B3", "E2");
  enter("A4", "total");
  enter("B4", "E5");
  enter("A5", "alias");
  enter("B5", "total");
  BuildNames(ws, CellRange::of(0, 0, 4, 1));
  EXPECT_EQ(ws.names.count(), 3);
  ASSERT_GT(ws.names.FindName("MYNAME"), 0);
  EXPECT_EQ(ws.names.entry(ws.names.FindName("MYNAME")).range, CellRange::of(2, 2, 8, 3));
  EXPECT_EQ(ws.names.entry(ws.names.FindName("ALIAS")).range, CellRange::cell(4, 4));
  EXPECT_LT(ws.names.FindName("2024"), 0);
}

TEST_F(NameCommands, BuildStopsWhenTheTableIsFull) {
  for (int i = 0; i < RangeNameTable::kMaxNames - 1; ++i)
    ws.names.DefineName("NAME" + std::to_string(i), {});
  enter("A1", "first");
  enter("B1", "A1");
  enter("A2", "second");
  enter("B2", "A2");
  BuildNames(ws, CellRange::of(0, 0, 1, 1));
  EXPECT_GT(ws.names.FindName("FIRST"), 0);
  EXPECT_LT(ws.names.FindName("SECOND"), 0);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "Max names (240) Exceeded");
}

TEST_F(NameCommands, TableWritesNamesAndRanges) {
  ws.names.DefineName("BLOCK", CellRange::of(0, 0, 4, 1));
  ws.names.DefineName("ONE", CellRange::cell(2, 0));
  ws.names.DefineName("UNSET", kEmptyRange);
  NameTable(ws, CellRange::cell(9, 3));
  EXPECT_EQ(input("D10"), "'BLOCK");
  EXPECT_EQ(text("E10"), "A1..B5");
  EXPECT_EQ(input("D11"), "'ONE");
  EXPECT_EQ(text("E11"), "A3");
  EXPECT_EQ(input("D12"), "'UNSET");
  EXPECT_EQ(cell("E12"), nullptr);
  // A protected cell ends the table.
  ws.settings.protection = true;
  NameTable(ws, CellRange::cell(20, 3));
  EXPECT_EQ(cell("D21"), nullptr);
}

}  // namespace
}  // namespace tw::test
