// Query extraction (number, pattern and formula criteria, alternatives,
// output columns) and what-if tables with one and two inputs.
#include <gtest/gtest.h>

#include "commands/query_commands.h"
#include "macros/macro_interpreter.h"
#include "test_support.h"

namespace tw::test {
namespace {

TEST(LabelPatternTest, WildcardsNegationAndContains) {
  EXPECT_TRUE(labelPatternMatches("a*", "anna"));
  EXPECT_FALSE(labelPatternMatches("a*", "Anna")) << "case matters";
  EXPECT_TRUE(labelPatternMatches("~a*", "Bob"));
  EXPECT_FALSE(labelPatternMatches("~a*", "al"));
  EXPECT_TRUE(labelPatternMatches("b?b", "bob"));
  EXPECT_FALSE(labelPatternMatches("b?b", "bobs")) << "no star: the lengths agree";
  EXPECT_FALSE(labelPatternMatches("b?b", "bo"));
  EXPECT_TRUE(labelPatternMatches("b*xyz", "b")) << "after the star nothing counts";
  EXPECT_TRUE(labelPatternMatches("...son", "JOHNSON & CO"));
  EXPECT_TRUE(labelPatternMatches("...SON", "Hudson"));
  EXPECT_FALSE(labelPatternMatches("...son", "Smith"));
  EXPECT_TRUE(labelPatternMatches("", ""));
  EXPECT_FALSE(labelPatternMatches("", "x"));
}

class QueryTest : public ProgramTest {
 public:
  QueryTest() {
    // A1..C6: NAME, AMOUNT, CITY and five records.
    const char* rows[][3] = {{"NAME", "AMOUNT", "CITY"},  {"anna", "50", "Leeds"},
                             {"bob", "150", "York"},      {"alan", "5", "Hull"},
                             {"Johnson", "220", "Leeds"}, {"carla", "5", "York"}};
    for (int r = 0; r < 6; ++r)
      for (int c = 0; c < 3; ++c) enter(address(r, c), rows[r][c]);
    // Output headers at H1: CITY, NAME, and one that names no field.
    enter("H1", "CITY");
    enter("I1", "NAME");
    enter("J1", "PHONE");
    enter("J2", "'kept");
  }
  static std::string address(int row, int col) {
    return std::string(1, static_cast<char>('A' + col)) + std::to_string(row + 1);
  }
  void query(const std::string& criteria) {
    program.macros.RunMacroText("{DATAQUERY A1..C6," + criteria + ",H1..J1}");
    ASSERT_FALSE(program.macros.endedByError());
  }
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (int r = 2; cell("I" + std::to_string(r)); ++r)
      out.push_back(text("I" + std::to_string(r)));
    return out;
  }
};

TEST_F(QueryTest, PatternsNumbersAndFormulas) {
  enter("E1", "NAME");
  enter("E2", "a*");
  query("E1..E2");
  EXPECT_EQ(names(), (std::vector<std::string>{"anna", "alan"}));
  EXPECT_EQ(text("H3"), "Hull");
  EXPECT_EQ(text("J2"), "kept") << "a column that names no field is left alone";

  frame.execute("UNDO");
  enter("E2", "'...son");  // typed with its prefix: a leading period starts a number
  query("E1..E2");
  EXPECT_EQ(names(), (std::vector<std::string>{"Johnson"}));

  frame.execute("UNDO");
  enter("E1", "AMOUNT");
  enter("E2", "5");
  query("E1..E2");
  EXPECT_EQ(names(), (std::vector<std::string>{"alan", "carla"}));

  // A formula written against the first record tests each record in turn.
  frame.execute("UNDO");
  enter("E2", "+B2>100");
  query("E1..E2");
  EXPECT_EQ(names(), (std::vector<std::string>{"bob", "Johnson"}));
  EXPECT_EQ(input("E2"), "+B2>100") << "the criterion itself is unchanged";
}

TEST_F(QueryTest, RowsAreAlternativesAndCriteriaInARowAllHold) {
  enter("E1", "CITY");
  enter("F1", "AMOUNT");
  enter("E2", "York");
  enter("F2", "5");
  enter("E3", "Leeds");
  query("E1..F3");
  // York AND 5, then Leeds (AMOUNT blank: any).
  EXPECT_EQ(names(), (std::vector<std::string>{"carla", "anna", "Johnson"}));

  // A record that two rows match is written twice; numbers come as values.
  frame.execute("UNDO");
  enter("E3", "~Hull");
  enter("F3", "");
  enter("K1", "AMOUNT");
  program.macros.RunMacroText("{DATAQUERY A1..C6,E1..F3,H1..K1}");
  EXPECT_EQ(names(), (std::vector<std::string>{"carla", "anna", "bob", "Johnson", "carla"}));
  EXPECT_EQ(cell("K2")->type(), CellType::Integer);
  EXPECT_EQ(number("K2"), 5);
}

TEST_F(QueryTest, ErrValuesAndStringResultsAndUnsetCriteria) {
  enter("B3", "@ERR");
  enter("A4", "+\"al\"&\"an\"");
  enter("K1", "AMOUNT");
  enter("E1", "CITY");
  enter("E2", "Hull");
  enter("E3", "York");
  program.macros.RunMacroText("{DATAQUERY A1..C6,E1..E3,H1..K1}");
  EXPECT_EQ(text("I2"), "alan");
  EXPECT_EQ(cell("I2")->type(), CellType::Label) << "a string result is written as its text";
  EXPECT_EQ(text("I3"), "bob");
  EXPECT_EQ(input("K3"), "@ERR");
  EXPECT_TRUE(cell("K3")->isErr());
  // A criteria row with a field name that is not in the database matches nothing.
  frame.execute("UNDO");
  enter("E1", "COUNTRY");
  query("E1..E3");
  EXPECT_TRUE(names().empty());
  // Without a criteria range nothing happens.
  CommandContext cx = frame.context();
  EXPECT_FALSE(QueryExtract(cx, CellRange::of(0, 0, 5, 2), kEmptyRange, CellRange::of(0, 7, 0, 9),
                            QueryMode::Extract)
                   .ok);
  EXPECT_GE(host.beeps, 1);
}

// The output may lie over the records: they are read before any is written.
TEST_F(QueryTest, AnOutputOverTheRecordsReadsThemAsTheyWere) {
  enter("E1", "NAME");
  enter("E2", "'bob");
  enter("E3", "'anna");
  program.macros.RunMacroText("{DATAQUERY A1..C6,E1..E3,A1..C1}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(text("A2"), "bob");
  EXPECT_EQ(number("B2"), 150);
  EXPECT_EQ(text("A3"), "anna");
  EXPECT_EQ(number("B3"), 50);
  EXPECT_EQ(text("C3"), "Leeds");
}

class WhatIfTest : public ProgramTest {};

TEST_F(WhatIfTest, OneInputTableStoresValuesAndRestoresTheInput) {
  enter("C1", "+A1*2");
  enter("D1", "+A1+100");
  enter("B2", "1");
  enter("B3", "2");
  enter("B4", "'x");
  enter("B5", "4");
  program.macros.RunMacroText("{DATATABLE B1..D5,A1}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(number("C2"), 2);
  EXPECT_EQ(number("C3"), 4);
  EXPECT_EQ(cell("C4"), nullptr) << "a label among the values leaves its row";
  EXPECT_EQ(number("C5"), 8);
  EXPECT_EQ(number("D5"), 104);
  EXPECT_EQ(cell("C2")->type(), CellType::Integer) << "a value, not a formula";
  // The input cell was blank (made by the formula's reference): blank again.
  ASSERT_NE(cell("A1"), nullptr);
  EXPECT_EQ(cell("A1")->type(), CellType::Blank);
  EXPECT_EQ(number("C1"), 0);
}

TEST_F(WhatIfTest, TwoInputTableAndRestoredFormulaInput) {
  enter("A1", "+Z1+1");  // the first input is a formula, and comes back as one
  enter("Z1", "2");
  enter("A2", "5");
  enter("D1", "+A1*A2");
  enter("D2", "1");
  enter("D3", "2");
  enter("E1", "10");
  enter("F1", "20");
  program.macros.RunMacroText("{DATATABLE D1..F3,A1,A2}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(number("E2"), 10);
  EXPECT_EQ(number("F2"), 20);
  EXPECT_EQ(number("E3"), 20);
  EXPECT_EQ(number("F3"), 40);
  EXPECT_EQ(input("A1"), "+Z1+1");
  EXPECT_EQ(number("A1"), 3);
  EXPECT_EQ(number("A2"), 5);
  EXPECT_EQ(number("D1"), 15);
  enter("Z1", "4");
  EXPECT_EQ(number("D1"), 25) << "the restored formula is linked again";
}

TEST_F(WhatIfTest, ErrResultsAndAProtectedInput) {
  enter("C1", "@ERR+A1");
  enter("B2", "1");
  program.macros.RunMacroText("{DATATABLE B1..C2,A1}");
  EXPECT_EQ(input("C2"), "@ERR");
  // Under protection an input cell that is not unprotected refuses the table.
  enter("B3", "2");
  enter("C1", "+A1");
  ws.settings.protection = true;
  program.macros.RunMacroText("{DATATABLE B1..C3,A1}");
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), kProtectedInputMessage);
  EXPECT_EQ(input("C3"), "") << "nothing written";
}

}  // namespace
}  // namespace tw::test
