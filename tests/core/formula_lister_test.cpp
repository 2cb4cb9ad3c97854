#include <random>

#include "core/compiler.h"
#include "core/formula_code.h"
#include "core/formula_lister.h"
#include "test_support.h"

namespace tw::test {
namespace {

class Lister : public SheetTest {
 protected:
  std::string list(const std::string& formula, NameSubstitution names = NameSubstitution::On) {
    FormulaCode fc;
    if (!CompileFormula(ws, formula, fc)) {
      session.error().clear();
      return "FAIL";
    }
    return ListFormula(ws, fc.bytes, names);
  }
};

TEST_F(Lister, ListsTheNormalisedForm) {
  struct {
    const char* formula;
    const char* listing;
  } cases[] = {
      {"+A1*2", "+A1*2"},
      {"(A1+1)*2", "(A1+1)*2"},
      {"-A1", "-A1"},
      {"5", "+5"},
      {"\"abc\"", "+\"abc\""},
      {"@SUM(A1..B2,5)", "@SUM(A1..B2,5)"},
      {"@SUM(b2..a1)", "@SUM(B2..A1)"},
      {"@NOT(A1)", "@NOT(A1)"},
      {"5%", "+5%"},
      {"3!", "+3!"},
      {"$a$1+a$2+$a3", "+$A$1+A$2+$A3"},
      {"1#and#0#or#1", "+1#AND#0#OR#1"},
      {"@PI", "@PI"},
      {"@IF(A1>=2,\"x\",@ERR)", "@IF(A1>=2,\"x\",@ERR)"},
      {"1=>2", "+1>=2"},
      {"2.5", "+2.5"},
      {"1e20", "+1E+20"},
      {"-(1)", "-(1)"},
      {"+[/data/x.wk1]A1..B2", "+[/data/x.wk1]A1..B2"},
  };
  for (const auto& c : cases) EXPECT_EQ(list(c.formula), c.listing) << c.formula;
}

TEST_F(Lister, RangeNamesReplaceTheirAddresses) {
  ws.names.DefineName("TOTAL", CellRange::cell(4, 2));
  ws.names.DefineName("BLOCK", CellRange::of(0, 0, 1, 1));
  EXPECT_EQ(list("+C5*2"), "+TOTAL*2");
  EXPECT_EQ(list("+$C$5*2"), "+$TOTAL*2");
  EXPECT_EQ(list("+$C5*2"), "+$C5*2");  // mixed flags would not read back
  EXPECT_EQ(list("@SUM(A1..B2)"), "@SUM(BLOCK)");
  EXPECT_EQ(list("@SUM(B2..A1)"), "@SUM(BLOCK)");
  EXPECT_EQ(list("+C5*2", NameSubstitution::Off), "+C5*2");
  // Twelve characters are found again only with the "$".
  ws.names.DefineName("TWELVELETTER", CellRange::cell(9, 9));
  EXPECT_EQ(list("+J10"), "+J10");
  EXPECT_EQ(list("+$J$10"), "+$TWELVELETTER");
}

TEST_F(Lister, MalformedCodeAndMissingPieces) {
  uint8_t noEnd[] = {4, 0, 0x05, 0x01, 0x00};
  EXPECT_EQ(ListFormula(ws, noEnd), "NOEND");
  uint8_t tooLong[] = {240, 0};
  EXPECT_EQ(ListFormula(ws, tooLong), "NOEND");
  // An opcode beyond the table takes one argument, as unassigned opcodes do.
  uint8_t unknown[] = {4, 0, 0x34, 0xC5, 0x03};
  EXPECT_EQ(ListFormula(ws, unknown), "+UKW(@TRUE)");
  uint8_t noFunction[] = {4, 0, 0xFE, 0x09, 0x03};
  EXPECT_EQ(ListFormula(ws, noFunction), "@NOFUN");
  uint8_t destroyed[] = {7, 0, 0x01, 0, 0, 0, 0, 0x03};
  EXPECT_EQ(ListFormula(ws, destroyed), "+ERR");
  uint8_t truncatedString[] = {4, 0, 0x06, 'a', 0x03};
  EXPECT_EQ(ListFormula(ws, truncatedString), "NOEND");
}

// One lister for many formulas in turn lists each as a lister of its own
// would, whatever the one before it left behind (an error, a deep stack).
TEST_F(Lister, AListerUsedAgainStartsAfresh) {
  FormulaLister lister(ws);
  uint8_t noEnd[] = {4, 0, 0x05, 0x01, 0x00};
  uint8_t unknown[] = {4, 0, 0x34, 0xC5, 0x03};
  std::vector<FormulaCode> codes(4);
  const char* formulas[] = {"@SUM(A1..B2,5)", "(((A1+1)*2)-3)/4", "+\"x\"&\"y\"", "+A1"};
  for (size_t i = 0; i < codes.size(); ++i) ASSERT_TRUE(CompileFormula(ws, formulas[i], codes[i]));
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(lister.list(noEnd), "NOEND");
    for (const FormulaCode& c : codes) EXPECT_EQ(lister.list(c.bytes), ListFormula(ws, c.bytes));
    EXPECT_EQ(lister.list(unknown), "+UKW(@TRUE)");
  }
  EXPECT_EQ(lister.list(codes[3].bytes), "+A1");
}

TEST_F(Lister, ConstantsKeepEveryDigit) {
  for (const char* f : {"0.1+0.2", "123456789012.5", "1.5E-300", "3.141592653589793"}) {
    FormulaCode a, b;
    ASSERT_TRUE(CompileFormula(ws, f, a)) << f;
    std::string text = ListFormula(ws, a.bytes);
    ASSERT_TRUE(CompileFormula(ws, text, b)) << text;
    EXPECT_EQ(std::string(a.bytes, a.bytes + a.size()), std::string(b.bytes, b.bytes + b.size()))
        << text;
  }
}

// Listing a compiled formula and compiling the listing again gives the same bytes.
TEST_F(Lister, RoundTripOfManyFormulas) {
  ws.names.DefineName("RATE", CellRange::cell(0, 7));
  ws.names.DefineName("DATA", CellRange::of(1, 0, 20, 3));
  ws.functions.add(UserFunction{"TAX", "@A(1)*0.2", 1});
  const std::vector<std::string> operands = {
      "A1",   "$B$2",  "C$3", "$D4",   "IV8192", "12",  "3.25", "0.001", "1E+100", "\"txt\"",
      "RATE", "$RATE", "@PI", "@TRUE", "(A1+2)", "-A1", "2%",   "4!",    "@NA",    "32767"};
  const std::vector<std::string> binary = {"+",  "-",  "*", "/", "^", "=",     "<>",
                                           "<=", ">=", "<", ">", "&", "#AND#", "#OR#"};
  const std::vector<std::string> calls = {
      "@SUM(A1..B9,{})",    "@AVG(DATA)",         "@IF({},{},{})",     "@ROUND({},2)",
      "@NOT({})",           "@CASE(2,{},{},{})",  "@MAX($A$1..B2,{})", "@TAX({})",
      "@MID(\"abc\",{},1)", "@VTABLE({},DATA,2)", "@ABS(-{})",         "@COUNT({})",
      "@SQRT(@ABS({}))",    "@LENGTH({}&\"x\")",  "@DATE(99,{},1)",    "@PMT({},0.01,12)"};
  std::mt19937 random(99);
  auto pick = [&](const std::vector<std::string>& v) { return v[random() % v.size()]; };
  auto operand = [&] {
    std::string o = pick(operands);
    if (random() % 3 == 0) {
      std::string call = pick(calls);
      size_t slot;
      while ((slot = call.find("{}")) != std::string::npos) call.replace(slot, 2, pick(operands));
      o = call;
    }
    return o;
  };
  int checked = 0;
  for (int i = 0; i < 400; ++i) {
    std::string f = operand();
    int terms = random() % 4;
    for (int k = 0; k < terms; ++k) f += pick(binary) + operand();
    if (random() % 5 == 0) f = "(" + f + ")*2";
    FormulaCode first, second;
    if (!CompileFormula(ws, f, first)) {
      session.error().clear();
      continue;
    }
    std::string listing = ListFormula(ws, first.bytes);
    ASSERT_TRUE(CompileFormula(ws, listing, second)) << f << " listed as " << listing;
    EXPECT_EQ(std::string(first.bytes, first.bytes + first.size()),
              std::string(second.bytes, second.bytes + second.size()))
        << f << " listed as " << listing;
    ++checked;
  }
  EXPECT_GT(checked, 300);
}

}  // namespace
}  // namespace tw::test
