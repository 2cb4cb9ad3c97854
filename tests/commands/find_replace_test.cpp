// Find and replace: the visiting order, restarts, the case option, the
// refusals, replacements that cell entry or the cell's length would not
// take, and the REPLACE keyword.
#include <gtest/gtest.h>

#include "commands/find_replace.h"
#include "core/cell.h"
#include "macros/macro_interpreter.h"
#include "test_support.h"

namespace tw::test {
namespace {

class FindReplaceTest : public ProgramTest {
 public:
  // The engine over the whole worksheet, texts given.
  FindReplace engine(const std::string& find, const std::string& replacement = {}) {
    FindReplace e;
    e.setScope(true, kEmptyRange);
    e.setSearch(find);
    e.setReplacement(replacement);
    return e;
  }
  std::string at(const FindReplace& e) { return ws.addressText(e.row(), e.col()); }
};

TEST_F(FindReplaceTest, FindNextVisitsRowByRowAndBeepsAtTheEnd) {
  enter("A1", "'cat");
  enter("B1", "'dog");
  enter("C1", "'cat");
  enter("A2", "'cat");
  enter("C3", "'cat");
  FindReplace e = engine("cat");
  ASSERT_TRUE(e.FindNext(ws));
  EXPECT_EQ(at(e), "A1") << "the first search takes the scope's first cell";
  ASSERT_TRUE(e.FindNext(ws));
  EXPECT_EQ(at(e), "C1");
  ASSERT_TRUE(e.FindNext(ws));
  EXPECT_EQ(at(e), "A2");
  ASSERT_TRUE(e.FindNext(ws));
  EXPECT_EQ(at(e), "C3");
  int beeps = host.beeps;
  EXPECT_FALSE(e.FindNext(ws));
  EXPECT_FALSE(e.FindNext(ws)) << "past the scope's last cell";
  EXPECT_EQ(host.beeps, beeps + 2);
  // A new search text starts again from the first cell.
  e.setSearch("dog");
  ASSERT_TRUE(e.FindNext(ws));
  EXPECT_EQ(at(e), "B1");
  // A range scope visits only its cells; the start cell given is used when
  // it lies in the scope.
  e.setSearch("cat");
  e.setScope(false, CellRange::of(0, 1, 2, 2));
  e.startAt(1, 0);
  ASSERT_TRUE(e.FindNext(ws));
  EXPECT_EQ(at(e), "C1") << "A2 lies outside B1..C3";
  e.setScope(true, kEmptyRange);
  e.startAt(1, 0);
  ASSERT_TRUE(e.FindNext(ws));
  EXPECT_EQ(at(e), "A2");
  // Every search text is remembered once, the newest first, ten at most.
  for (int k = 0; k < 12; ++k) {
    e.setSearch("w" + std::to_string(k % 11));
    e.FindNext(ws);
  }
  ASSERT_EQ(e.history().size(), 10u);
  EXPECT_EQ(e.history()[0], "w0");
  EXPECT_EQ(e.history()[1], "w10");
  EXPECT_EQ(e.history()[9], "w2");
}

TEST_F(FindReplaceTest, FormulasAreListedAndCompiledAgain) {
  enter("A1", "5");
  enter("B1", "7");
  enter("C1", "+A1*2");
  FindReplace e = engine("A1", "B1");
  EXPECT_EQ(e.ReplaceAll(ws), 1);
  EXPECT_EQ(input("C1"), "+B1*2");
  EXPECT_EQ(number("C1"), 14);
  enter("B1", "8");
  EXPECT_EQ(number("C1"), 16) << "the new reference is a link";
  // A number is entered again as a number, a label keeps its prefix.
  enter("A2", "1234");
  enter("B2", "^abc");
  EXPECT_EQ(engine("23", "99").ReplaceAll(ws), 1);
  EXPECT_EQ(cell("A2")->type(), CellType::Integer);
  EXPECT_EQ(number("A2"), 1994);
  EXPECT_EQ(engine("b", "x").ReplaceAll(ws), 1);
  EXPECT_EQ(input("B2"), "^axc");
  // Undo puts back what Replace All changed.
  frame.execute("UNDO");
  EXPECT_EQ(input("B2"), "^abc");
}

TEST_F(FindReplaceTest, TheCaseOptionUpperCasesBothSides) {
  enter("A1", "@SUM(B1..B2)");
  FindReplace e = engine("sum");
  EXPECT_FALSE(e.FindNext(ws)) << "sum is not SUM";
  e.setCaseInsensitive(true);
  e.setSearch("Sum");
  ASSERT_TRUE(e.FindNext(ws));
  EXPECT_EQ(at(e), "A1");
  // Only a to z change case: the program's table, whatever the locale.
  enter("A3", "'caf\xE9");
  FindReplace accent = engine("CAF\xC9");
  accent.setCaseInsensitive(true);
  EXPECT_FALSE(accent.FindNext(ws));
  accent.setSearch("CAF\xE9");
  EXPECT_TRUE(accent.FindNext(ws));
}

TEST_F(FindReplaceTest, ReplacingOneAtATime) {
  enter("A1", "'aaa");
  enter("A2", "'a");
  FindReplace e = engine("a", "b");
  ASSERT_TRUE(e.ReplaceOne(ws));
  EXPECT_EQ(input("A1"), "'aaa") << "after a restart Replace only finds";
  EXPECT_EQ(at(e), "A1");
  ASSERT_TRUE(e.ReplaceOne(ws));
  EXPECT_EQ(input("A1"), "'baa");
  EXPECT_EQ(at(e), "A1") << "the cell still holds the text";
  e.ReplaceOne(ws);
  e.ReplaceOne(ws);
  EXPECT_EQ(input("A1"), "'bbb");
  EXPECT_EQ(at(e), "A2");
  EXPECT_EQ(e.counter(), 3);
  int beeps = host.beeps;
  EXPECT_FALSE(e.ReplaceOne(ws)) << "the last one replaced, nothing left";
  EXPECT_EQ(input("A2"), "'b");
  EXPECT_EQ(host.beeps, beeps + 1);
  // Past the scope's end a replace beeps and changes nothing.
  EXPECT_FALSE(e.ReplaceOne(ws));
  EXPECT_EQ(host.beeps, beeps + 2);
}

TEST_F(FindReplaceTest, ReplaceAllEmptiesEveryCellAndCountsAfresh) {
  enter("A1", "'aaa");
  enter("B5", "'banana");
  FindReplace e = engine("a", "b");
  EXPECT_EQ(e.ReplaceAll(ws), 6);
  EXPECT_EQ(input("A1"), "'bbb");
  EXPECT_EQ(input("B5"), "'bbnbnb");
  EXPECT_FALSE(e.replaceAllEnabled());
  e.setSearch("n");
  EXPECT_TRUE(e.replaceAllEnabled()) << "a new search text enables it again";
  EXPECT_EQ(e.ReplaceAll(ws), 2) << "the counter starts again";
  EXPECT_EQ(input("B5"), "'bbbbbb");
}

TEST_F(FindReplaceTest, CircularReplacementsAreRefused) {
  enter("A1", "'x");
  FindReplace e = engine("x", "xx");
  EXPECT_EQ(e.ReplaceAll(ws), -1);
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), "Circular Replace Detected");
  EXPECT_EQ(input("A1"), "'x");
  // Compared upper-cased whatever the option.
  host.errors.clear();
  FindReplace upper = engine("X", "axb");
  EXPECT_FALSE(upper.ReplaceOne(ws));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "Circular Replace Detected");
}

TEST_F(FindReplaceTest, WhatACellCannotTakeLeavesItAndTheSearchMovesOn) {
  // Not compiling: the formula stays as it was.
  enter("A1", "+A5*2");
  enter("B1", "'A5 note");
  FindReplace e = engine("A5", "A6)");
  EXPECT_EQ(e.ReplaceAll(ws), 1);
  EXPECT_EQ(input("A1"), "+A5*2");
  EXPECT_EQ(cell("A1")->type(), CellType::NumberFormula);
  EXPECT_EQ(input("B1"), "'A6) note");
  // Longer than a cell holds: unchanged, and the next cell is replaced.
  enter("A2", "'" + std::string(230, 'y') + "Q");
  enter("B2", "'Q");
  EXPECT_EQ(engine("Q", "ZZZZZZZZZZ").ReplaceAll(ws), 1);
  EXPECT_EQ(input("A2").size(), 232u);
  EXPECT_EQ(input("B2"), "'ZZZZZZZZZZ");
  // Exactly 240 characters still fit.
  enter("A3", "'" + std::string(237, 'y') + "W");
  EXPECT_EQ(engine("W", "RS").ReplaceAll(ws), 1);
  EXPECT_EQ(input("A3").size(), 240u);
  // A number would be left empty: it stays.
  enter("A4", "7");
  int beeps = host.beeps;
  EXPECT_EQ(engine("7", "").ReplaceAll(ws), 0);
  EXPECT_EQ(number("A4"), 7);
  EXPECT_GT(host.beeps, beeps);
  // A listing that brings the text back would be found for ever.
  enter("C1", "+A4+0.5");
  ASSERT_EQ(input("C1"), "+A4+0.5");
  EXPECT_EQ(engine("0.5", ".5").ReplaceAll(ws), 0);
  EXPECT_EQ(input("C1"), "+A4+0.5");
  EXPECT_EQ(number("C1"), 7.5);
}

TEST_F(FindReplaceTest, ProtectedCellsArePassedOver) {
  enter("A1", "'old");
  enter("A2", "'old");
  enter("A3", "'old");
  cell("A2")->format &= static_cast<uint8_t>(~kFormatProtected);
  ws.settings.protection = true;
  EXPECT_EQ(engine("old", "new").ReplaceAll(ws), 1);
  EXPECT_EQ(input("A1"), "'old");
  EXPECT_EQ(input("A2"), "'new");
  EXPECT_EQ(input("A3"), "'old");
  // One at a time, the refusal is the cell entry's message and the search
  // goes on to the next match.
  FindReplace one = engine("old", "new");
  ASSERT_TRUE(one.ReplaceOne(ws));
  EXPECT_EQ(at(one), "A1");
  host.errors.clear();
  ASSERT_TRUE(one.ReplaceOne(ws));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "Protected Cell");
  EXPECT_EQ(input("A1"), "'old");
  EXPECT_EQ(at(one), "A3");
}

TEST_F(FindReplaceTest, TheKeywordIgnoresTheCaseUnlessBitZeroIsSet) {
  enter("A1", "@SUM(B1..B2)");
  enter("A2", "@SUM(B1..B2)");
  enter("A3", "@SUM(B1..B2)");
  enter("B1", "2");
  enter("B2", "4");
  program.macros.RunMacroText("{REPLACE 1,A1..A3,\"sum\",\"avg\"}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(input("A1"), "@SUM(B1..B2)") << "bit 0 set: the case counts";
  program.macros.RunMacroText("{REPLACE 2,A1..A2,\"sum\",\"avg\"}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(input("A1"), "@AVG(B1..B2)");
  EXPECT_EQ(number("A2"), 3);
  EXPECT_EQ(input("A3"), "@SUM(B1..B2)") << "outside the range";
  program.macros.RunMacroText("{REPLACE 0,A1..A3,\"B\",\"b+\"}");
  EXPECT_EQ(host.errors.back(), "Circular Replace Detected");
}

}  // namespace
}  // namespace tw::test
