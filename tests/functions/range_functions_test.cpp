#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

#include "core/cell_entry.h"
#include "core/compiler.h"
#include "core/formula_code.h"
#include "core/user_functions.h"
#include "test_support.h"

namespace tw::test {
namespace {

using RangeFunctions = SheetTest;

constexpr double kErr = -12345.678;  // marks an expected ERR in the tables

struct Case {
  const char* formula;
  double value;
};

void expectCases(SheetTest& t, std::initializer_list<Case> cases, double tolerance = 0) {
  for (const Case& c : cases) {
    EvalResult r = t.eval(c.formula);
    if (c.value == kErr) {
      EXPECT_TRUE(r.error) << c.formula << " gave " << r.number;
      continue;
    }
    EXPECT_FALSE(r.error) << c.formula;
    EXPECT_FALSE(r.isString) << c.formula << " gave " << r.text;
    if (tolerance > 0)
      EXPECT_NEAR(r.number, c.value, tolerance) << c.formula;
    else
      EXPECT_DOUBLE_EQ(r.number, c.value) << c.formula;
  }
}

struct TextCase {
  const char* formula;
  const char* text;
};

void expectTexts(SheetTest& t, std::initializer_list<TextCase> cases) {
  for (const TextCase& c : cases) {
    EvalResult r = t.eval(c.formula);
    EXPECT_FALSE(r.error) << c.formula;
    EXPECT_TRUE(r.isString) << c.formula << " gave " << r.number;
    EXPECT_EQ(r.text, c.text) << c.formula;
  }
}

// Fills a column from the given values, starting at `top` (such as "A1").
void column(SheetTest& t, const std::string& top, std::initializer_list<const char*> values) {
  auto [row, col] = t.at(top);
  for (const char* v : values) {
    if (*v) EnterCell(t.ws, v, row, col);
    ++row;
  }
  t.session.error().clear();
}

void storeAt(Worksheet& ws, int row, int col, double x) {
  storeNumber(ws.cell(ws.GetOrCreateCell(row, col)), x);
}

TEST_F(RangeFunctions, ListAggregates) {
  column(*this, "A1", {"1", "'label", "3"});
  column(*this, "B1", {"'x", "'y", "\"z"});
  enter("C1", "1/0");
  enter("C2", "5");
  expectCases(*this, {
                         {"@SUM(A1..A3)", 4},
                         {"@COUNT(A1..A3)", 2},
                         {"@AVG(A1..A3)", 2},
                         {"@MIN(A1..A3)", 1},
                         {"@MAX(A1..A3)", 3},
                         {"@SUM(A3..A1)", 4},
                         {"@SUM(A1..A3,10,A1)", 15},
                         {"@COUNT(\"x\",1)", 2},
                         {"@AVG(\"x\",4)", 2},
                         // The first value sets both ends, whatever its sign.
                         {"@MAX(-3,-7)", -3},
                         {"@MIN(4,9)", 4},
                         // No numbers at all.
                         {"@SUM(B1..B3)", 0},
                         {"@COUNT(B1..B3)", 0},
                         {"@MIN(B1..B3)", 0},
                         {"@MAX(B1..B3)", 0},
                         {"@AVG(B1..B3)", kErr},
                         // ERR in a range or in a single value.
                         {"@SUM(C1..C2)", kErr},
                         {"@MAX(C2..C1)", kErr},
                         {"@COUNT(1,C1)", kErr},
                         {"@SUM(C2,@ERR)", kErr},
                         {"@SUM(A1..A3,C1)", kErr},
                         // Variance.
                         {"@VAR(1,2,3,4)", 1.25},
                         {"@VARU(1,2,3,4)", 1.6666666666666667},
                         {"@STD(1,2,3,4)", std::sqrt(1.25)},
                         {"@STDU(1,2,3,4)", std::sqrt(5.0 / 3.0)},
                         {"@VAR(A1..A3,5)", 8.0 / 3.0},
                         {"@VAR(5)", 0},
                         {"@VARU(5)", kErr},
                         {"@STDU(B1..B3,7)", kErr},
                         {"@VAR(B1..B3)", kErr},
                     });
}

TEST_F(RangeFunctions, CountIsNotLimitedTo16Bits) {
  // 5 columns of 8000 rows: 40,000 cells holding 1..40000.
  for (int row = 0; row < 8000; ++row)
    for (int col = 0; col < 5; ++col) storeAt(ws, row, col, row * 5 + col + 1);
  expectCases(*this, {{"@COUNT(A1..E8000)", 40000},
                      {"@SUM(A1..E8000)", 40000.0 * 40001.0 / 2},
                      {"@AVG(A1..E8000)", 20000.5},
                      {"@MAX(A1..E8000)", 40000}});
}

TEST_F(RangeFunctions, RangesInOtherWorksheetFiles) {
  Worksheet& other = session.openWorksheet("/tmp/OTHER.WK1");
  other.hasFileName = true;
  other.fileName = "/tmp/other.wk1";
  for (int row = 0; row < 3; ++row) storeAt(other, row, 0, row + 1);
  session.setCurrent(&ws);
  expectCases(*this, {{"@SUM([/tmp/other.wk1]A1..A3)", 6},
                      {"@COUNT([/tmp/other.wk1]A1..A9)", 3},
                      {"@ROWS([/tmp/other.wk1]A1..A9)", 9},
                      {"@SUM([/tmp/missing.wk1]A1..A3)", kErr}});
}

TEST_F(RangeFunctions, DatabaseFunctions) {
  column(*this, "A1", {"5", "12", "8", "20", "11"});
  column(*this, "B1", {"1", "2", "3", "4", "5"});
  expectCases(*this, {
                         {"@QSUM(@X>10,A1..A5,1)", 11},
                         {"@QCOUNT(@X>10,A1..A5,1)", 3},
                         {"@QAVG(@X>10,A1..A5,1)", 11.0 / 3},
                         {"@QMIN(@X>10,A1..A5,1)", 2},
                         {"@QMAX(@X>10,A1..A5,1)", 5},
                         {"@QVAR(@X>10,A1..A5,1)", 14.0 / 9},
                         {"@QSTD(@X>10,A1..A5,1)", std::sqrt(14.0 / 9)},
                         {"@QSUM(@X>10,A1..A5,0)", 43},
                         {"@QSUM(@X>100,A1..A5,1)", 0},
                         {"@QAVG(@X>100,A1..A5,1)", kErr},
                         {"@QSUM(@X>10,A1..A5,1)+@QSUM(@X<10,A1..A5,1)", 15},
                         // The criterion as a string, and one with separators inside.
                         {"@QSUM(\"@X>10\",A1..A5,1)", 11},
                         {"@QSUM(@IF(@X>10,1,0),A1..A5,1)", 11},
                         // Database and list functions inside a criterion keep
                         // their own sums.
                         {"@QSUM(@X>@AVG(A1..A5),A1..A5,1)", 6},
                         {"@QSUM(@X>@QAVG(@X>0,A1..A5,0),A1..A5,1)", 6},
                         {"@QCOUNT(@QCOUNT(@X<9,A1..A5,0)=2,A1..A5,0)", 5},
                     });
  enter("B2", "1/0");
  expectCases(*this, {{"@QSUM(@X>10,A1..A5,1)", kErr}, {"@QSUM(@X<10,A1..A5,1)", 4}});
}

TEST_F(RangeFunctions, DatabaseCriterionFollowsTheArgumentSeparator) {
  column(*this, "A1", {"5", "12", "8", "20", "11"});
  column(*this, "B1", {"1", "2", "3", "4", "5"});
  session.settings().argumentSeparator = ';';
  expectCases(*this, {{"@QSUM(@X>10;A1..A5;1)", 11}, {"@QSUM(@IF(@X>10;1;0);A1..A5;1)", 11}});
  enter("C1", "@QCOUNT(@X>10;A1..A5;0)");
  EXPECT_EQ(number("C1"), 3);
}

TEST_F(RangeFunctions, TableLookups) {
  column(*this, "A1", {"1", "4", "6", "9"});
  column(*this, "B1", {"5", "10", "20", "40"});
  column(*this, "C1", {"100", "200", "300", "'four"});
  // The same table laid out across rows 10 and 11.
  const char* keys[] = {"1", "4", "6", "9"};
  const char* values[] = {"5", "10", "20", "40"};
  for (int c = 0; c < 4; ++c) {
    EnterCell(ws, keys[c], 9, c);
    EnterCell(ws, values[c], 10, c);
  }
  expectCases(*this, {
                         {"@VTABLE(5,A1..C4,2)", 200},
                         {"@VTABLE(4,A1..C4,1)", 10},
                         {"@VTABLE(5,A1..C4,0)", 4},
                         {"@VTABLE(100,A1..C4,1)", 40},
                         {"@VTABLE(0.5,A1..C4,1)", kErr},
                         {"@VTABLE(9,A1..C4,3)", kErr},
                         {"@HTABLE(5,A10..D11,1)", 10},
                         {"@HTABLE(9,A10..D11,1)", 40},
                         {"@HTABLE(0,A10..D11,1)", kErr},
                         {"@HTABLE(5,A10..D11,2)", kErr},
                         {"@VTERP(5,A1..B4,1)", 15},
                         {"@VTERP(1,A1..B4,1)", 5},
                         {"@VTERP(9,A1..B4,1)", 40},  // the last key needs no next row
                         {"@VTERP(10,A1..B4,1)", kErr},
                         {"@HTERP(7,A10..D11,1)", 20 + (1.0 / 3) * 20},
                         {"@HTERP(9,A10..D11,1)", 40},
                     });
  EXPECT_EQ(eval("@VTABLE(9,A1..C4,2)").text, "four");
}

TEST_F(RangeFunctions, TableLookupKeysThatAreNotUsable) {
  // A label among numeric keys is passed over. Vertically the row just
  // above the stopping key is taken, horizontally the last usable key.
  column(*this, "A1", {"1", "'x", "6"});
  column(*this, "B1", {"10", "20", "30"});
  EnterCell(ws, "1", 9, 0);
  EnterCell(ws, "'x", 9, 1);
  EnterCell(ws, "6", 9, 2);
  EnterCell(ws, "10", 10, 0);
  EnterCell(ws, "20", 10, 1);
  EnterCell(ws, "30", 10, 2);
  expectCases(
      *this,
      {{"@VTABLE(3,A1..B3,1)", 20}, {"@HTABLE(3,A10..C11,1)", 10}, {"@VTABLE(7,A1..B3,1)", 30}});
  // Text keys compare as text, and every cell is a key.
  column(*this, "D1", {"'apple", "'melon", "'pear"});
  column(*this, "E1", {"1", "2", "3"});
  expectCases(*this, {{"@VTABLE(\"banana\",D1..E3,1)", 1},
                      {"@VTABLE(\"pear\",D1..E3,1)", 3},
                      {"@VTABLE(\"aaa\",D1..E3,1)", kErr},
                      {"@VTERP(\"banana\",D1..E3,1)", kErr}});
}

TEST_F(RangeFunctions, IndexAndCellInspection) {
  column(*this, "A1", {"1", "'label", "3"});
  enter("B1", "+A2");
  enter("E5", "77");
  enter("B7", "^centred");
  enter("C7", "12.5");
  expectCases(*this, {
                         {"@INDEX(A1..C3,1,1)", 1},
                         {"@INDEX(A1..C3,1,3)", 3},
                         {"@INDEX(A1..C3,5,5)", 77},
                         {"@INDEX(A1..C3,3,3)", 0},
                         {"@COLS(A1..C4)", 3},
                         {"@ROWS(C4..A1)", 4},
                         {"@COLS(B2)", 1},
                         {"@ROWS((B2))", 1},
                         {"@N(A1)", 1},
                         {"@N(A2..A3)", 0},
                         {"@COUNTA(A1..C3)", 4},
                         {"@CELL(\"row\",B7..C9)", 7},
                         {"@CELL(\"col\",B7..C9)", 2},
                         {"@CELL(\"type\",B7)", 4},
                         {"@CELL(\"type\",C7)", 2},
                         {"@CELL(\"type\",B1)", 0},
                         {"@CELL(\"TYPE\",Z99)", 6},
                         {"@CELL(\"width\",A1)", 72},
                         {"@CELL(\"nonsense\",A1)", kErr},
                         {"@ISNUM(A1)", 1},
                         {"@ISNUM(A2)", 0},
                         {"@ISSTR(A2)", 1},
                         {"@ISSTR(B1)", 1},
                         {"@ISNUM(@ERR)", 0},
                         {"@@(\"a3\")*2", 6},
                         {"@ISSTR(@@(\"A2\"))", 1},
                         {"@@(\"Q\")", kErr},
                     });
  expectTexts(*this, {
                         {"@INDEX(A1..C3,1,2)", "label"},
                         {"@INDEX(A1..C3,2,1)", "label"},
                         {"@S(A2)", "label"},
                         {"@S(A1)", ""},
                         {"@CELL(\"address\",B7..C9)", "B7"},
                         {"@CELL(\"contents\",B7)", "^centred"},
                         {"@CELL(\"contents\",C7)", "12.5"},
                         {"@CELL(\"prefix\",B7)", "^"},
                         {"@CELL(\"format\",C7)", ""},  // never formatted: the byte defers
                         {"@@(\"a2\")", "label"},
                     });
  host.cursorRow = 6;
  host.cursorCol = 2;
  expectCases(*this, {{"@CELLPT(\"row\")", 7}, {"@CELLPT(\"type\")", 2}});
}

TEST_F(RangeFunctions, RangeStatistics) {
  column(*this, "A1", {"2", "4", "4", "6"});
  column(*this, "B1", {"1", "2", "6"});
  column(*this, "C1", {"1", ""});
  column(*this, "D1", {"2", ""});
  column(*this, "E1", {"-1", "1"});
  column(*this, "F1", {"5", "5", "5"});
  // A1..A4: mean 4, deviations -2 0 0 2. B1..B3: mean 3, deviations -2 -1 3.
  double s = std::sqrt(8.0 / 3);
  expectCases(*this, {
                         {"@MEDIAN(A1..A4)", 4},
                         {"@MEDIAN(B1..B3)", 2},
                         {"@MEDIAN(C1..D2)", 0.5},
                         {"@MEDIAN(B1..B2)", 1.5},
                         {"@MEDIAN(F1)", 5},
                         {"@AVEDEV(A1..A4)", 1},
                         {"@AVEDEV(B1..B3)", 2},
                         {"@SKEW(A1..A4)", 0},
                         {"@SKEW(B1..B3)", 6 / (7 * std::sqrt(7.0))},
                         {"@KURT(A1..A4)", 32 / (4 * (8.0 / 3) * (8.0 / 3)) - 3},
                         {"@COV(A1..A4)", s / 4},
                         {"@COV(E1..E2)", kErr},   // mean 0
                         {"@SKEW(F1..F3)", kErr},  // no spread
                         {"@AVEDEV(A1)", kErr},    // a single value
                     });
}

TEST_F(RangeFunctions, MedianOfManyValues) {
  // Multiplying by 37 modulo m scrambles 0..m-1, as 37 is prime to 1001 and 1000.
  for (int i = 0; i < 1001; ++i) storeAt(ws, i, 0, (i * 37) % 1001 + 1);
  for (int i = 0; i < 1000; ++i) storeAt(ws, i, 1, (i * 37) % 1000 + 1);
  for (int i = 0; i < 1000; ++i) storeAt(ws, i, 2, i % 10);
  expectCases(*this, {{"@MEDIAN(A1..A1001)", 501},
                      {"@MEDIAN(B1..B1000)", 500.5},
                      {"@MEDIAN(C1..C1000)", 4.5},
                      {"@MEDIAN(C1..C1001)", 4}});  // one empty position reads as 0
}

TEST_F(RangeFunctions, Matrices) {
  column(*this, "A1", {"1", "3"});
  column(*this, "B1", {"2", "4"});
  column(*this, "C1", {"7", "8"});
  // [[0,1,2],[1,0,3],[4,-3,8]] needs a row swap at the first pivot.
  column(*this, "A5", {"0", "1", "4"});
  column(*this, "B5", {"1", "0", "-3"});
  column(*this, "C5", {"2", "3", "8"});
  // Rank-deficient: the second row is twice the first.
  column(*this, "E1", {"1", "2"});
  column(*this, "F1", {"2", "4"});
  column(*this, "G1", {"1e-8", "0"});
  expectCases(*this, {
                         {"@TRACE(A1..B2)", 5},
                         {"@TRACE(A1..C2)", kErr},
                         {"@DET(A1..B2)", -2},
                         {"@DET(A5..C7)", -2},
                         {"@DET(E1..F2)", 0},
                         {"@DET(A1..C2)", kErr},
                         {"@DET(A1..U21)", kErr},  // 21 rows
                         {"@RANK(A1..B2)", 2},
                         {"@RANK(E1..F2)", 1},
                         {"@RANK(A1..C2)", 2},
                         {"@RANK(A5..C7)", 3},
                         {"@RANK(G1..G2)", 0},
                         {"@RANK(A1..BI2)", kErr},  // 61 columns
                         {"@PSUM(A1..B2,E1..F2)", 1 * 1 + 3 * 2 + 2 * 2 + 4 * 4},
                         {"@PSUM(A1..B2,E1..E2)", kErr},
                         // Means 2.5 and 2.25; deviations (-1.5,0.5,-0.5,1.5) and
                         // (-1.25,-0.25,-0.25,1.75).
                         {"@COVAR(A1..B2,E1..F2)", (1.875 - 0.125 + 0.125 + 2.625) / 4},
                     });
}

TEST_F(RangeFunctions, Interpolation) {
  // x keys 1, 2, 4 in B30..D30; y keys 10, 20, 40 in A31..A33; values x + y.
  const double xs[] = {1, 2, 4}, ys[] = {10, 20, 40};
  for (int i = 0; i < 3; ++i) {
    storeAt(ws, 29, i + 1, xs[i]);
    storeAt(ws, 30 + i, 0, ys[i]);
    for (int j = 0; j < 3; ++j) storeAt(ws, 30 + i, j + 1, xs[j] + ys[i]);
  }
  expectCases(*this, {
                         {"@XYTERP(A30..D33,3,30)", 33},
                         {"@XYTERP(A30..D33,1,10)", 11},
                         {"@XYTERP(A30..D33,2,20)", 22},
                         {"@XYTERP(A30..D33,4,40)", 44},
                         {"@XYTERP(A30..D33,1.5,15)", 16.5},
                         {"@XYTERP(A30..D33,0.5,10)", kErr},
                         {"@XYTERP(A30..D33,5,10)", kErr},
                         {"@XYTERP(A30..D33,2,45)", kErr},
                     });
  storeAt(ws, 29, 2, 1);  // a key step that is not positive
  expectCases(*this, {{"@XYTERP(A30..D33,1,10)", kErr}});
}

TEST_F(RangeFunctions, FormulasEvaluatedRepeatedly) {
  // Romberg's method is exact for polynomials up to degree 7.
  expectCases(*this,
              {
                  {"@INTG(\"@X^2\",0,3)", 9},
                  {"@INTG(\"@x^5\",0,2)", 64.0 / 6},
                  {"@INTG(\"2\",0,3)", 6},
                  {"@INTG(\"@X\",1,0)", -0.5},
                  {"@INTG(\"@X\",0,1)+@X", 0.5},  // X is back to 0 afterwards
                  {"@INTG(\"1/@X\",0,1)", kErr},
                  {"@INTG(\"1+\",0,1)", kErr},
                  {"@INTG(5,0,1)", kErr},
                  {"@RECUR(\"(@X+2/@X)/2\",1,1e-12)", std::sqrt(2.0)},
                  {"@RECUR(\"@X/2\",1,0.1)", 0.0625},
                  {"@RECUR(\"@X+1\",0,0.5)", kErr},
                  {"@RECUR(\"1/@X\",0,1)", kErr},
                  {"@X", 0},
              },
              1e-12);
}

TEST_F(RangeFunctions, UserDefinedFunctions) {
  ws.functions.add({"DOUBLE", "@A(1)*2", 1});
  ws.functions.add({"ADD2", "@A(1)+@A(2)", 2});
  // Its own argument must survive the call of another function inside it.
  ws.functions.add({"OUTER", "@A(1)+@DOUBLE(@A(1)+1)+@A(1)", 1});
  ws.functions.add({"GREET", "\"hi \"&@A(1)", 1});
  ws.functions.add({"ROWOF", "@CELL(\"row\",@A(1))", 1});
  ws.functions.add({"LOOP", "@LOOP(@A(1))+1", 1});
  ws.functions.add({"TWICE", "@TWICE(@A(1))+@TWICE(@A(1))", 1});
  // Recursion that stops: the nested ERR below the last level is not chosen.
  ws.functions.add({"DOWN", "@IF(@A(1)<=0,0,@DOWN(@A(1)-1)+1)", 1});
  ws.functions.add({"TOTAL", "@SUM(@A(1),@A(2),@A(3))", 3});
  ws.functions.add({"ARGS", "@A(11)", 0});
  enter("B7", "'text");
  enter("B8", "4");
  expectCases(*this, {
                         {"@DOUBLE(21)", 42},
                         {"@DOUBLE(@DOUBLE(3))", 12},
                         {"@ADD2(1,@DOUBLE(5))", 11},
                         {"@OUTER(5)", 22},
                         {"@TOTAL(1,2,3)", 6},
                         {"@ROWOF(B7)", 7},
                         {"@DOUBLE(B8)", 8},
                         {"@DOUBLE(@ERR)", kErr},
                         {"@ARGS", kErr},
                         {"@A(1)", 0},
                         {"@LOOP(1)", kErr},
                         {"@TWICE(1)", kErr},
                         {"@DOWN(5)", 5},
                     });
  expectTexts(*this, {{"@GREET(\"bob\")", "hi bob"}});
  enter("C1", "@DOUBLE(B8)+@LOOP(2)");
  EXPECT_TRUE(isErr("C1"));
  enter("C2", "@DOUBLE(B8)");
  EXPECT_EQ(number("C2"), 8);
}

TEST_F(RangeFunctions, SumAndTableLookupSpeed) {
  for (int row = 0; row < 5000; ++row) {
    storeAt(ws, row, 0, row);
    storeAt(ws, row, 1, 5000 + row);
  }
  for (int row = 0; row < 8000; ++row) {
    storeAt(ws, row, 2, row);
    storeAt(ws, row, 3, 2.0 * row);
  }
  FormulaCode sum, lookup;
  ASSERT_TRUE(CompileFormula(ws, "@SUM(A1..B5000)", sum));
  ASSERT_TRUE(CompileFormula(ws, "@VTABLE(1e9,C1..D8000,1)", lookup));
  Evaluator& ev = session.evaluator();
  EXPECT_EQ(ev.EvaluateCode(ws, sum.bytes).number, 9999.0 * 10000 / 2);
  EXPECT_EQ(ev.EvaluateCode(ws, lookup.bytes).number, 2.0 * 7999);
  // Bounds far above the expected tens of microseconds: they catch work that
  // grows faster than the range, not machine noise.
  auto time = [&](const FormulaCode& code, int runs) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) ev.EvaluateCode(ws, code.bytes);
    std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
    return d.count() / runs;
  };
  EXPECT_LT(time(sum, 50), 2e-2);
  EXPECT_LT(time(lookup, 50), 2e-2);
}

}  // namespace
}  // namespace tw::test
