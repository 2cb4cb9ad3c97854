#include <random>

#include "core/compiler.h"
#include "core/formula_code.h"
#include "core/formula_lister.h"
#include "test_support.h"

namespace tw::test {
namespace {

class Compiler : public SheetTest {
 protected:
  // The code of a formula entered in B1, in file form, as hex bytes.
  std::string code(const std::string& formula, const std::string& where = "B1") {
    auto [row, col] = at(where);
    FormulaCode fc;
    session.error().clear();
    if (!CompileFormula(ws, formula, fc)) {
      session.error().clear();
      return "FAIL";
    }
    ConvertReferences(ws, fc.bytes, row, col, ReferenceForm::File);
    static const char* const kHex = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < fc.size(); ++i) {
      if (i) s += ' ';
      s += kHex[fc.bytes[i] >> 4];
      s += kHex[fc.bytes[i] & 15];
    }
    return s;
  }
  bool compiles(const std::string& formula) { return code(formula) != "FAIL"; }
};

TEST_F(Compiler, ByteExactCodes) {
  struct {
    const char* formula;
    const char* bytes;
  } cases[] = {
      // A1 from B1 is one column left: 0xBFFF, same row: 0x8000.
      {"+A1*2", "0B 00 01 FF BF 00 80 05 02 00 0B 03"},
      {"3", "05 00 05 03 00 03"},
      {"-3", "06 00 05 03 00 08 03"},
      {"3.5", "0B 00 00 00 00 00 00 00 00 0C 40 03"},
      {"32767", "0B 00 00 00 00 00 00 C0 FF DF 40 03"},
      {"32766", "05 00 05 FE 7F 03"},
      {"@SUM(A1..B2,5)", "10 00 02 00 80 01 80 FF BF 00 80 05 05 00 50 02 03"},
      {"@PI", "03 00 26 03"},
      {"@NOT(A1)", "08 00 01 FF BF 00 80 16 03"},
      {"1#AND#0", "09 00 05 01 00 05 00 00 14 03"},
      {"1#OR#0", "09 00 05 01 00 05 00 00 15 03"},
      {"\"ab\"", "06 00 06 61 62 00 03"},
      {"$A$1", "07 00 01 00 00 00 00 03"},
      {"(1)", "06 00 05 01 00 04 03"},
      {"5%", "06 00 05 05 00 19 03"},
      {"3!", "06 00 05 03 00 1A 03"},
      {"1.5E+3", "05 00 05 DC 05 03"},
      {"2.5E-1", "0B 00 00 00 00 00 00 00 00 D0 3F 03"},
      {"1<>2", "09 00 05 01 00 05 02 00 0F 03"},
      {"1><2", "09 00 05 01 00 05 02 00 0F 03"},
      {"1=<2", "09 00 05 01 00 05 02 00 10 03"},
      {"1=>2", "09 00 05 01 00 05 02 00 11 03"},
      {"\"a\"&\"b\"", "09 00 06 61 00 06 62 00 18 03"},
  };
  for (const auto& c : cases) EXPECT_EQ(code(c.formula), c.bytes) << c.formula;
}

TEST_F(Compiler, PrecedenceAndAssociativity) {
  struct {
    const char* formula;
    double value;
  } cases[] = {
      {"2^3^2", 64},      {"-2^2", 4},  {"2^-2", 0.25}, {"1+2*3", 7},    {"(1+2)*3", 9},
      {"10-2-3", 5},      {"1-2+3", 2}, {"8/4/2", 1},   {"2*3^2", 18},   {"1+2=3", 1},
      {"2<3#AND#3<4", 1}, {"1+2&3", 1}, {"--5", 5},     {"-(-(5))", 5},  {"1+-2", -1},
      {"+5", 5},          {"2*-3", -6}, {"3>=3", 1},    {"1e3+1", 1001}, {"2E-1*10", 2},
  };
  for (const auto& c : cases) {
    EvalResult r = eval(c.formula);
    EXPECT_FALSE(r.error) << c.formula;
    EXPECT_DOUBLE_EQ(r.number, c.value) << c.formula;
  }
}

TEST_F(Compiler, Failures) {
  const char* failing[] = {
      "+A1..B2",    // a bare range
      "@PI()",      // an empty argument
      "@ABS(1,2)",  // wrong count
      "@SUM()",    "@IF(1,2)", "@NOSUCH(1)", "@",     "@(A1)",
      "1 *2",  // space before an operator
      "1+",        "*2",       "(1",         "1)",    "((1)",   "\"abc",   "A0", "IW1",   "1.2.3",
      "@SUM(A1,)", "1,2",      "[file]",     "[file", "5[f]A1", "1#XOR#2", "1#", "A1(2)", "\"a\"b",
  };
  for (const char* f : failing) EXPECT_FALSE(compiles(f)) << f;
  EXPECT_TRUE(compiles("@SUM(A1..B2)"));
  // A space between two operands would leave two values, and the first would
  // be lost: such a text does not compile. Trailing spaces end the formula.
  for (const char* f : {"1 +2", "10 -3", "1 -2*3", "A1 A2"}) EXPECT_FALSE(compiles(f)) << f;
  EXPECT_TRUE(compiles("1+2  "));
}

TEST_F(Compiler, TheCodeStaysWithin240Bytes) {
  // "1" takes three bytes and each "+1" four more; the code from byte 2 may
  // take 237 bytes so that the end mark stays below index 240.
  auto sum = [](int terms) {
    std::string f = "1";
    for (int i = 0; i < terms; ++i) f += "+1";
    return f;
  };
  EXPECT_TRUE(compiles(sum(58)));
  EXPECT_FALSE(compiles(sum(59)));
  EXPECT_FALSE(compiles(std::string(241, '1')));
  EXPECT_TRUE(compiles("\"" + std::string(235, 'x') + "\""));
  EXPECT_FALSE(compiles("\"" + std::string(236, 'x') + "\""));
}

TEST_F(Compiler, CreatesTheCellsItNames) {
  EXPECT_EQ(handle("Q17"), kNoCell);
  EXPECT_TRUE(compiles("+Q17+@SUM(R1..R3)"));
  ASSERT_NE(handle("Q17"), kNoCell);
  EXPECT_EQ(cell("Q17")->type(), CellType::Blank);
  // The corners are the compiler's; linking the formula makes the rest.
  EXPECT_NE(handle("R1"), kNoCell);
  EXPECT_NE(handle("R3"), kNoCell);
}

TEST_F(Compiler, NamesFunctionsAndOtherFiles) {
  ws.names.DefineName("TOTAL", CellRange::cell(4, 2));
  ws.names.DefineName("BLOCK", CellRange::of(0, 0, 1, 1));
  ws.names.DefineName("1ST", CellRange::cell(0, 0));
  EXPECT_EQ(code("+TOTAL*2", "A1"), code("+C5*2", "A1"));
  EXPECT_EQ(code("+$TOTAL*2", "A1"), code("+$C$5*2", "A1"));
  EXPECT_EQ(code("@SUM(BLOCK)", "D1"), code("@SUM(A1..B2)", "D1"));
  EXPECT_EQ(code("+1ST", "D1"), code("+A1", "D1"));

  UserFunction twice{"TWICE", "@A(1)*2", 1};
  ws.functions.add(twice);
  ws.functions.add(UserFunction{"ZERO", "0", 0});
  EXPECT_EQ(code("@TWICE(3)"), "07 00 05 03 00 FE 01 03");
  EXPECT_EQ(code("@ZERO"), "04 00 FE 02 03");
  EXPECT_FALSE(compiles("@TWICE(1,2)"));
  EXPECT_FALSE(compiles("@TWICE"));

  // A named range as a function: its width is the argument count.
  ws.names.DefineName("FN", CellRange::of(10, 0, 11, 1));
  EXPECT_EQ(code("@FN(1,2)", "D1"), "12 00 05 01 00 05 02 00 FF 02 01 00 0B 00 00 00 0A 00 03");
  EXPECT_FALSE(compiles("@FN(1)"));

  // A reference into another file keeps the path and the corners.
  std::string ext = code("@SUM([/tmp/other.wk1]A1..B3)");
  EXPECT_EQ(ext.substr(0, 35), "1C 00 07 00 00 00 00 01 00 02 00 2F");
  EXPECT_TRUE(compiles("+[data.wks]C4"));
}

TEST_F(Compiler, SeparatorAndDecimalFromTheSettings) {
  session.settings().argumentSeparator = ';';
  session.settings().decimalSeparator = ',';
  EXPECT_TRUE(compiles("@MOD(7;2,5)"));
  EXPECT_FALSE(compiles("@MOD(7,2)"));  // "7,2" is one number now
  EXPECT_DOUBLE_EQ(eval("@MOD(7;2,5)").number, 2);
  EXPECT_DOUBLE_EQ(eval("1,5E+1").number, 15);
}

// Random text must either compile or fail; never crash or read out of bounds.
TEST_F(Compiler, RandomTextNeverBreaksIt) {
  const std::string alphabet = "AB1$.,;:+-*/^&=<>#()@\"[]!% eE0SUMIF";
  std::mt19937 random(12345);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    int length = random() % 40;
    for (int k = 0; k < length; ++k) text += alphabet[random() % alphabet.size()];
    FormulaCode fc;
    if (CompileFormula(ws, text, fc)) {
      EXPECT_TRUE(fc.wellFormed()) << text;
      eval(text);
    }
    session.error().clear();
  }
}

}  // namespace
}  // namespace tw::test
