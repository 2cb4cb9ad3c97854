// Fill and Speed Fill: the series kinds and orders, exact integer series,
// protection, overflow, and what Speed Fill does with each kind of first cell.
#include <gtest/gtest.h>

#include "commands/data_commands.h"
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
