// Fill and Speed Fill: the series kinds and orders, exact integer series,
// protection, overflow, and what Speed Fill does with each kind of first cell.
#include <gtest/gtest.h>

#include <algorithm>

#include "commands/data_commands.h"
#include "core/display_format.h"
#include "macros/macro_interpreter.h"
#include "test_support.h"

namespace tw::test {
namespace {

class FillTest : public ProgramTest {
 public:
  std::vector<double> column(int col, int from, int to) {
    std::vector<double> out;
    for (int r = from; r <= to; ++r) out.push_back(ws.CellNumber(ws.FindCell(r, col)));
    return out;
  }
  CommandResult fill(const CellRange& r, FillType type, bool byRow, double step, double start) {
    CommandContext cx = frame.context();
    return FillRange(cx, r, type, byRow, step, start);
  }
};

TEST_F(FillTest, SeriesAddMultiplyAndRaise) {
  fill(CellRange::of(0, 0, 4, 0), FillType::Linear, false, 2, 1);
  EXPECT_EQ(column(0, 0, 4), (std::vector<double>{1, 3, 5, 7, 9}));
  EXPECT_EQ(cell("A1")->type(), CellType::Integer);
  fill(CellRange::of(0, 1, 4, 1), FillType::Multiply, false, 2, 1);
  EXPECT_EQ(column(1, 0, 4), (std::vector<double>{1, 2, 4, 8, 16}));
  fill(CellRange::of(0, 2, 3, 2), FillType::Power, false, 2, 2);
  EXPECT_EQ(column(2, 0, 3), (std::vector<double>{2, 4, 16, 256}));
  // Reals accumulate; whole numbers are counted exactly to the end.
  fill(CellRange::of(0, 3, 9, 3), FillType::Linear, false, 0.1, 0.1);
  double v = 0.1;
  for (int r = 0; r < 10; ++r, v += 0.1) EXPECT_EQ(ws.CellNumber(ws.FindCell(r, 3)), v) << r;
  fill(CellRange::of(0, 4, 8191, 4), FillType::Linear, false, 1, 1);
  EXPECT_EQ(ws.CellNumber(ws.FindCell(8191, 4)), 8192);
  EXPECT_EQ(ws.cell(ws.FindCell(8191, 4)).type(), CellType::Integer);
  fill(CellRange::of(0, 5, 1, 5), FillType::Linear, false, 1, 40000);
  EXPECT_EQ(cell("F1")->type(), CellType::Real);  // too large for the integer kind
}

TEST_F(FillTest, RowOrderRunsAcrossEachRowFirst) {
  fill(CellRange::of(0, 0, 1, 2), FillType::Linear, true, 1, 1);
  EXPECT_EQ(number("C1"), 3);
  EXPECT_EQ(number("A2"), 4);
  fill(CellRange::of(0, 0, 1, 2), FillType::Linear, false, 1, 1);
  EXPECT_EQ(number("A2"), 2);
  EXPECT_EQ(number("B1"), 3);
}

TEST_F(FillTest, FormulasSeeTheFilledValuesAndUndoTakesThemBack) {
  enter("B1", "@SUM(A1..A3)");
  fill(CellRange::of(0, 0, 2, 0), FillType::Linear, false, 1, 1);
  EXPECT_EQ(number("B1"), 6);
  frame.execute("UNDO");
  EXPECT_EQ(cell("A1") ? cell("A1")->type() : CellType::Blank, CellType::Blank);
}

TEST_F(FillTest, ProtectionSkipsCellsAndOverflowStops) {
  enter("A2", "5");
  cell("A2")->format &= 0x7F;  // unprotected
  ws.settings.protection = true;
  fill(CellRange::of(0, 0, 2, 0), FillType::Linear, false, 1, 10);
  EXPECT_EQ(cell("A1"), nullptr);  // no cell: skipped
  EXPECT_EQ(number("A2"), 11);
  ws.settings.protection = false;
  EXPECT_FALSE(fill(CellRange::of(0, 1, 20, 1), FillType::Power, false, 10, 10).ok);
  EXPECT_EQ(host.errors.back(), kFillOverflowMessage);
  EXPECT_EQ(number("B3"), 1e100);  // the cells before the overflow stay
  EXPECT_EQ(cell("B4"), nullptr);
  // A whole series whose terms pass the exact integers adds as reals
  // instead of wrapping round.
  EXPECT_TRUE(fill(CellRange::of(0, 2, 1999, 2), FillType::Linear, false, 8e15, 0).ok);
  EXPECT_EQ(number("C2"), 8e15);
  EXPECT_EQ(number("C2000"), 1999 * 8e15);
}

TEST_F(FillTest, SpeedFillContinuesTheFirstCell) {
  CommandContext cx = frame.context();
  enter("A1", "10");
  SpeedFill(cx, CellRange::of(0, 0, 0, 4));
  EXPECT_EQ(number("E1"), 14);
  enter("A2", "'A");
  SpeedFill(cx, CellRange::of(1, 0, 1, 4));
  EXPECT_EQ(text("E2"), "E");
  EXPECT_EQ(input("C2"), "'C");
  enter("A3", "'xy");  // not a column's letter: copied
  SpeedFill(cx, CellRange::of(2, 0, 2, 2));
  EXPECT_EQ(text("C3"), "xy");
  enter("A4", "+A1*2");
  SpeedFill(cx, CellRange::of(3, 0, 3, 2));
  EXPECT_EQ(input("C4"), "+C1*2");  // references adjust as a copy does
  EXPECT_EQ(number("C4"), 24);
  // A taller selection counts down its columns.
  SpeedFill(cx, CellRange::of(5, 5, 7, 5));
  EXPECT_EQ(number("F8"), 2);
}

TEST_F(FillTest, TheKeywordFillsAsAsked) {
  program.macros.RunMacroText("{DATAFILL A1..C1,5,5,1,1}{DATAFILL A3..A5,1,3,2}");
  EXPECT_EQ(number("C1"), 15);
  EXPECT_EQ(number("A5"), 9);
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

class SortTest : public ProgramTest {
 public:
  void sortOn(const std::string& data, const std::string& key, bool ascending) {
    CellRange d = ParseRange(ws, data).range.ordered();
    ws.settings.ranges[kSortData] = d;
    ws.settings.ranges[kSortKey1] = ParseRange(ws, key).range.ordered();
    ws.settings.sortOrder[0] = ascending ? 1 : 0;
    CommandContext cx = frame.context();
    SortRange(cx);
  }
  std::vector<std::string> shown(int col, int from, int to) {
    std::vector<std::string> out;
    for (int r = from; r <= to; ++r) out.push_back(input(ws.addressText(r, col)));
    return out;
  }
};

TEST_F(SortTest, NumbersComeBeforeTextsAndDescendingReversesAll) {
  enter("A1", "3");
  enter("A2", "'b");
  enter("A3", "1");
  enter("A5", "'a");  // A4 stays empty
  for (int r = 0; r < 5; ++r) enter("B" + std::to_string(r + 1), "'row" + std::to_string(r + 1));
  sortOn("A1..B5", "A1", true);
  EXPECT_EQ(shown(0, 0, 4), (std::vector<std::string>{"1", "3", "", "'a", "'b"}));
  // The rows moved whole.
  EXPECT_EQ(shown(1, 0, 4),
            (std::vector<std::string>{"'row3", "'row1", "'row4", "'row5", "'row2"}));
  sortOn("A1..B5", "A1", false);
  EXPECT_EQ(shown(0, 0, 4), (std::vector<std::string>{"'b", "'a", "", "3", "1"}));
  frame.execute("UNDO");
  EXPECT_EQ(shown(0, 0, 4), (std::vector<std::string>{"1", "3", "", "'a", "'b"}));
}

TEST_F(SortTest, FormulasFollowTheirRowsOrKeepTheirPositions) {
  for (int r = 1; r <= 5; ++r) {
    enter("A" + std::to_string(r), std::to_string(6 - r));  // 5, 4, 3, 2, 1
    enter("C" + std::to_string(r), "+A" + std::to_string(r) + "*10");
  }
  enter("E1", "+C5");  // outside the range: keeps pointing at C5
  enter("E2", "@SUM(C1..C2)");
  EXPECT_EQ(number("E1"), 10);
  sortOn("A1..C5", "A1", true);
  EXPECT_EQ(shown(0, 0, 4), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  // Each row's formula still refers to its own row's cell.
  EXPECT_EQ(input("C1"), "+A1*10");
  EXPECT_EQ(number("C1"), 10);
  EXPECT_EQ(number("C5"), 50);
  EXPECT_EQ(input("E1"), "+C5");
  EXPECT_EQ(number("E1"), 50);
  EXPECT_EQ(number("E2"), 30);
  // Changing a moved cell recalculates what refers to it.
  enter("A5", "7");
  EXPECT_EQ(number("C5"), 70);
  EXPECT_EQ(number("E1"), 70);
}

TEST_F(SortTest, LaterKeysSortRunsOfEqualEarlierKeys) {
  const char* rows[][2] = {{"'x", "3"}, {"'y", "1"}, {"'x", "1"}, {"'y", "2"}, {"'x", "2"}};
  for (int r = 0; r < 5; ++r) {
    enter("A" + std::to_string(r + 1), rows[r][0]);
    enter("B" + std::to_string(r + 1), rows[r][1]);
  }
  program.macros.RunMacroText("{DATASORT A1..B5,A1,1,B1,0}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(shown(0, 0, 4), (std::vector<std::string>{"'x", "'x", "'x", "'y", "'y"}));
  EXPECT_EQ(shown(1, 0, 4), (std::vector<std::string>{"3", "2", "1", "2", "1"}));
  EXPECT_EQ(ws.settings.ranges[kSortKey2], CellRange::of(0, 1, 0, 1));
  EXPECT_FALSE(ws.settings.ranges[kSortKey3].valid());
}

TEST_F(SortTest, ManyRowsSortAndOneRowStays) {
  for (int r = 0; r < 500; ++r)
    enter("A" + std::to_string(r + 1), std::to_string((r * 7919) % 500));
  sortOn("A1..A500", "A1", true);
  for (int r = 0; r < 500; ++r) ASSERT_EQ(number("A" + std::to_string(r + 1)), r) << r;
  sortOn("A1..A500", "A1", false);
  EXPECT_EQ(number("A1"), 499);
  // Already sorted input and a one-row range.
  sortOn("A1..A500", "A1", false);
  EXPECT_EQ(number("A500"), 0);
  enter("C1", "2");
  enter("D1", "1");
  sortOn("C1..D1", "C1", true);
  EXPECT_EQ(number("C1"), 2);
  // The button sorts the selection on its first column.
  CommandContext cx = frame.context();
  ws.settings.sortOrder[0] = 0;
  SortSelection(cx, CellRange::of(0, 0, 2, 0), true);
  EXPECT_EQ(number("A1"), 497);
  EXPECT_EQ(ws.settings.sortOrder[0], 0) << "the key's own flag comes back";
}

// The sheet's order against an ordering of the same keys made here: numbers
// by value before texts byte by byte (a blank as the empty text) when
// ascending, the reverse when descending; the second key within equal first keys.
TEST_F(SortTest, TwoKeysAgreeWithAnIndependentOrdering) {
  struct Row {
    bool numeric;
    double number;
    std::string text;  // stored text with prefix, "" for a blank
    int second;
  };
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) % 1000; };
  std::vector<Row> rows;
  for (int r = 0; r < 300; ++r) {
    Row row{};
    unsigned kind = next() % 4;
    std::string a = "A" + std::to_string(r + 1);
    if (kind == 0) {
      row.numeric = true;
      row.number = static_cast<double>(next() % 7) / 2;
      enter(a, GeneralText(row.number));
    } else if (kind == 1) {
      row.text = std::string(next() % 2 ? "'" : "^") + static_cast<char>('a' + next() % 3);
      enter(a, row.text);
    } else if (kind == 2) {
      row.text = "'B";
      enter(a, row.text);
    }  // else blank
    row.second = static_cast<int>(next() % 5);
    enter("B" + std::to_string(r + 1), std::to_string(row.second));
    enter("C" + std::to_string(r + 1), "+B" + std::to_string(r + 1) + "*2");
    rows.push_back(row);
  }
  for (bool ascending : {true, false}) {
    auto firstLess = [ascending](const Row& x, const Row& y) {
      bool less = x.numeric != y.numeric ? x.numeric
                  : x.numeric            ? x.number < y.number
                                         : x.text < y.text;
      bool greater = x.numeric != y.numeric ? y.numeric
                     : x.numeric            ? x.number > y.number
                                            : x.text > y.text;
      return ascending ? less : greater;
    };
    std::vector<Row> expected = rows;
    std::stable_sort(expected.begin(), expected.end(), [&](const Row& x, const Row& y) {
      if (firstLess(x, y)) return true;
      if (firstLess(y, x)) return false;
      return x.second > y.second;  // the second key descending
    });
    program.macros.RunMacroText(std::string("{DATASORT A1..C300,A1,") + (ascending ? "1" : "0") +
                                ",B1,0}");
    ASSERT_FALSE(program.macros.endedByError());
    for (int r = 0; r < 300; ++r) {
      const Row& e = expected[static_cast<size_t>(r)];
      std::string n = std::to_string(r + 1);
      ASSERT_EQ(input("A" + n), e.numeric ? GeneralText(e.number) : e.text) << ascending << r;
      ASSERT_EQ(number("B" + n), e.second) << ascending << r;
      ASSERT_EQ(number("C" + n), 2 * e.second) << "the row moved whole";
    }
  }
}

TEST_F(SortTest, AKeyOutsideTheDataIsRefused) {
  enter("A1", "2");
  enter("A2", "1");
  program.macros.RunMacroText("{DATASORT A1..A2,B1,1}");
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), kSortKeyOutsideMessage);
  EXPECT_EQ(number("A1"), 2);
}

}  // namespace
}  // namespace tw::test
