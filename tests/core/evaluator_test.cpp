#include <cmath>

#include "core/formula_code.h"
#include "test_support.h"

namespace tw::test {
namespace {

using Evaluation = SheetTest;

constexpr double kErr = -12345.678;  // marks an expected ERR in the tables

struct Case {
  const char* formula;
  double value;
};

void expectCases(SheetTest& t, std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EvalResult r = t.session.evaluator().EvaluateText(t.ws, c.formula);
    t.session.error().clear();
    if (c.value == kErr) {
      EXPECT_TRUE(r.error) << c.formula << " gave " << r.number;
    } else {
      EXPECT_FALSE(r.error) << c.formula;
      EXPECT_FALSE(r.isString) << c.formula;
      EXPECT_DOUBLE_EQ(r.number, c.value) << c.formula;
    }
  }
}

TEST_F(Evaluation, Operators) {
  expectCases(*this, {
                         {"1/0", kErr},
                         {"@ERR+1", kErr},
                         {"@NA+1", 0},
                         {"2#AND#1", 0},
                         {"3#OR#4", 7},
                         {"-1#AND#255", 255},
                         {"65535#OR#0", -1},
                         {"3e9#OR#0", 1},
                         {"@NOT(5)", 0},
                         {"@NOT(0)", 1},
                         {"0^0", 0},
                         {"0^-1", 0},
                         {"5^0", 1},
                         {"(-8)^(1/3)", kErr},
                         {"(-2)^3", -8},
                         {"2^-2", 0.25},
                         {"2^0.5", std::sqrt(2.0)},
                         {"2^65536", kErr},
                         {"10^308*10", kErr},
                         {"170!", 7.257415615307994e306},
                         {"171!", kErr},
                         {"4.6!", 120},
                         {"(-1)!", kErr},
                         {"50%", 0.5},
                         {"1<2", 1},
                         {"2<=1", 0},
                         {"\"abc\"=\"abc\"", 1},
                         {"\"abc\"=\"ABC\"", 0},
                         {"\"a\"<\"b\"", 1},
                         {"\"ab\"<\"abc\"", 1},
                         {"\"a\">5", 0},
                         {"\"a\"=0", 1},
                         {"@LENGTH(\"abc\")+0", 3},
                     });
}

TEST_F(Evaluation, StringsAndCellValues) {
  enter("A1", "'abc");
  enter("A2", "1.5");
  enter("B1", "+A1");
  EXPECT_EQ(cell("B1")->type(), CellType::StringFormula);
  EXPECT_EQ(text("B1"), "abc");
  enter("B2", "+A1+1");
  EXPECT_EQ(number("B2"), 1);
  enter("B3", "+Z99+1");  // a blank cell
  EXPECT_EQ(number("B3"), 1);
  enter("B4", "+\"ab\"&A2");
  EXPECT_EQ(text("B4"), "ab1.5");
  enter("B5", "+\"\"");
  EXPECT_EQ(cell("B5")->type(), CellType::StringFormula);
  EXPECT_EQ(cell("B5")->value.text, nullptr);
  enter("B6", "+B1&B4");
  EXPECT_EQ(text("B6"), "abcab1.5");
  // A cell whose formula is ERR makes its readers ERR.
  enter("C1", "+1/0");
  enter("C2", "+C1*0");
  EXPECT_TRUE(isErr("C2"));
  EXPECT_EQ(number("C2"), 0);
  EXPECT_EQ(cell("C2")->value.number, -1.0);
  // A string result that becomes a number frees the old string.
  enter("A1", "7");
  EXPECT_EQ(cell("B1")->type(), CellType::NumberFormula);
  EXPECT_EQ(number("B1"), 7);
}

TEST_F(Evaluation, ConcatenationIsCutAt240AndThePoolHoldsLongWork) {
  EvalResult r = eval("@REPEAT(\"x\",200)&@REPEAT(\"y\",200)");
  if (!r.error) {
    EXPECT_TRUE(r.isString);
    EXPECT_EQ(r.text.size(), 240u);
  }
  std::string f = "\"" + std::string(100, 'a') + "\"";
  std::string chain = f;
  for (int i = 0; i < 1; ++i) chain += "&" + f;
  r = eval(chain);
  EXPECT_EQ(r.text.size(), 200u);
}

TEST_F(Evaluation, AnErrArgumentMakesTheFunctionErr) {
  expectCases(*this, {
                         {"@ROUND(2.5,1/0)", kErr},
                         {"@MOD(1/0,2)", kErr},
                         {"@IF(1,5,@ERR)", 5},
                         {"@IF(0,@ERR,6)", 6},
                         {"@IF(@ERR,1,2)", kErr},
                         {"@ISERR(1/0)", 0 + 1},
                         {"@ISERR(5)", 0},
                         {"@ISNA(@NA)", 1},
                         {"@ISNA(-1)", 1},
                         {"@CASE(2,@ERR,7)", 7},
                         {"@CASE(1,@ERR,7)", kErr},
                     });
}

TEST_F(Evaluation, MalformedCodeIsErrNotACrash) {
  auto run = [&](std::vector<uint8_t> code) {
    return session.evaluator().EvaluateCode(ws, code.data());
  };
  EXPECT_TRUE(run({3, 0, 0x09, 0x03}).error);        // "+" with nothing to add
  EXPECT_TRUE(run({4, 0, 0x00, 0x01, 0x03}).error);  // a constant cut short
  EXPECT_TRUE(run({4, 0, 0x6A, 0x05, 0x03}).error);  // an opcode without a function
  EXPECT_TRUE(run({4, 0, 0x05, 0x01, 0x03}).error);  // an operand running into the end
  EXPECT_TRUE(run({2, 0, 0x03}).error);              // nothing at all
  std::vector<uint8_t> deep{0, 0};
  for (int i = 0; i < 236; ++i) deep.push_back(0x1F);  // @NA pushed again and again
  deep.push_back(0x03);
  deep[0] = static_cast<uint8_t>(deep.size() - 1);
  EvalResult r = run(deep);
  EXPECT_FALSE(r.error);
  EXPECT_EQ(r.number, -1);
  // Unknown opcodes pop their arguments and leave one ERR in their place.
  uint8_t two[] = {9, 0, 0x05, 1, 0, 0x05, 2, 0, 0x2A, 0x03};
  EXPECT_TRUE(session.evaluator().EvaluateCode(ws, two).error);
}

TEST_F(Evaluation, EvaluateTextNestsInsideAnEvaluation) {
  // A named-range function evaluates another formula in the middle of this one.
  ws.names.DefineName("SQ", CellRange::of(20, 0, 21, 0));
  enter("A22", "+A21*A21");
  expectCases(*this, {{"1+@SQ(3)*2", 19}, {"@SQ(@SQ(2))", 16}});
  EXPECT_EQ(number("A21"), 4);  // the last argument written
  // A one-row range would overwrite the formula itself.
  ws.names.DefineName("FLAT", CellRange::of(30, 0, 30, 1));
  expectCases(*this, {{"@FLAT(1,2)", kErr}});
}

TEST_F(Evaluation, ReferencesToOtherOpenWorksheets) {
  Worksheet& other = session.openWorksheet("/tmp/OTHER.WK1");
  other.hasFileName = true;
  other.fileName = "/tmp/other.wk1";
  EnterCell(other, "42", 2, 1);
  EnterCell(other, "'txt", 3, 1);
  session.setCurrent(&ws);
  expectCases(*this, {{"+[/tmp/other.wk1]B3*2", 84},
                      {"+[/tmp/missing.wk1]A1", kErr},
                      {"+[/tmp/other.wk1]Z99", kErr}});
  EXPECT_EQ(eval("+[/TMP/OTHER.WK1]B4").text, "txt");
}

}  // namespace
}  // namespace tw::test
