// Parse: lines split into numbers, labels and formulas in adjacent cells.
#include <gtest/gtest.h>

#include "commands/parse_commands.h"
#include "macros/macro_interpreter.h"
#include "test_support.h"

namespace tw::test {
namespace {

std::vector<std::string> texts(const std::vector<ParsedField>& fields) {
  std::vector<std::string> out;
  for (const ParsedField& f : fields) out.push_back(f.quoted ? "\"" + f.text + "\"" : f.text);
  return out;
}

TEST(SplitLineTest, SeparatorsQuotesAndFormulaStarts) {
  using V = std::vector<std::string>;
  EXPECT_EQ(texts(SplitLine("12 abc 3.5", ',')), (V{"12", "abc", "3.5"}));
  EXPECT_EQ(texts(SplitLine("  ;;a,,b ; c  ", ',')), (V{"a", "b", "c"})) << "runs count as one";
  EXPECT_EQ(texts(SplitLine("10+20", ',')), (V{"10", "+20"}));
  EXPECT_EQ(texts(SplitLine("1E+3 2.5e-2", ',')), (V{"1E+3", "2.5e-2"}));
  EXPECT_EQ(texts(SplitLine("well-known +5 (3)", ',')), (V{"well-known", "+5", "(3)"}));
  EXPECT_EQ(texts(SplitLine("\"a b\";7", ',')), (V{"\"a b\"", "7"}));
  EXPECT_EQ(texts(SplitLine("x \"\" y", ',')), (V{"x", "\"\"", "y"}));
  EXPECT_EQ(texts(SplitLine("1.5.2", '.')), (V{"1", "5", "2"})) << "the list separator";
  EXPECT_TRUE(SplitLine("   ", ',').empty());
}

class ParseTest : public ProgramTest {};

TEST_F(ParseTest, CellsBecomeNumbersLabelsAndFormulas) {
  enter("A1", "'12 abc 3.5");
  enter("A2", "'10+20 \"a b\";7 (2");
  enter("A3", "42");
  enter("E3", "+\"1 2\"");
  program.macros.RunMacroText("{DATAPARSE A1..E3}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(cell("A1")->type(), CellType::Integer);
  EXPECT_EQ(number("A1"), 12);
  EXPECT_EQ(text("B1"), "abc");
  EXPECT_EQ(number("C1"), 3.5);
  EXPECT_EQ(number("A2"), 10);
  EXPECT_EQ(number("B2"), 20);
  EXPECT_EQ(text("C2"), "a b") << "quoted: one label, not split again";
  EXPECT_EQ(cell("C2")->type(), CellType::Label);
  EXPECT_EQ(number("D2"), 7);
  EXPECT_EQ(input("E2"), "'(2") << "what does not compile is kept as a label";
  EXPECT_EQ(number("A3"), 42) << "a number is left alone";
  EXPECT_EQ(number("E3"), 1) << "a string result is split too";
  EXPECT_EQ(number("F3"), 2);
  frame.execute("UNDO");
  EXPECT_EQ(text("A1"), "12 abc 3.5");
  EXPECT_EQ(cell("B1"), nullptr);
}

}  // namespace
}  // namespace tw::test
