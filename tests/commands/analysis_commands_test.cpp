// The analysis commands: bins in both types, the straight-line fit against
// a fit computed here, undefined fits as ERR, the fit over chosen terms and
// its formula text, goal seek's search and its failures, and the keywords.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "commands/analysis_commands.h"
#include "core/number_text.h"
#include "macros/macro_interpreter.h"
#include "test_support.h"

namespace tw::test {
namespace {

class AnalysisFixture : public ProgramTest {
 public:
  CellRange r(const std::string& text) {
    ParsedRange p = ParseRange(ws, text);
    EXPECT_TRUE(p.ok) << text;
    return p.range.ordered();
  }
  void column(const std::string& first, const std::vector<double>& values) {
    auto [row, col] = at(first);
    for (size_t i = 0; i < values.size(); ++i)
      EnterNumber(ws, row + static_cast<int>(i), col, values[i]);
  }
  // Every value in the sheet is a finite number.
  void expectAllFinite() {
    ws.ForEachCell(CellRange::of(0, 0, kRows - 1, kColumns - 1), [&](CellHandle, Cell& c) {
      EXPECT_TRUE(std::isfinite(numberValue(c))) << c.row << "," << int(c.column);
      return true;
    });
  }
  // A value written as the ERR entry.
  void expectErr(const std::string& address) {
    EXPECT_TRUE(isErr(address)) << address;
    EXPECT_EQ(input(address), "@ERR") << address;
  }
  // Deterministic pseudo-random numbers in [0, 1).
  double next() {
    seed_ = seed_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(seed_ >> 11) / 9007199254740992.0;
  }

 private:
  uint64_t seed_ = 12345;
};

// --- Bins -------------------------------------------------------------------------------

class BinTest : public AnalysisFixture {};

TEST_F(BinTest, BothTypesCountTheExampleValues) {
  column("A1", {5, 10, 15, 25});
  column("C1", {10, 20});
  CommandContext cx = frame.context();
  ws.settings.binsLowerInclusive = false;  // a< x <= b
  ASSERT_TRUE(BinCount(cx, r("A1..A4"), r("C1..C2")).ok);
  EXPECT_EQ(number("D1"), 2);
  EXPECT_EQ(number("D2"), 1);
  EXPECT_EQ(number("D3"), 1);
  EXPECT_EQ(number("E1"), 0.5);
  EXPECT_EQ(number("E2"), 0.25);
  EXPECT_EQ(number("E3"), 0.25);
  EXPECT_EQ(cell("D1")->type(), CellType::Integer);

  ws.settings.binsLowerInclusive = true;  // a<= x <b: 10 moves up a bin
  BinCount(cx, r("A1..A4"), r("C1..C2"));
  EXPECT_EQ(number("D1"), 1);
  EXPECT_EQ(number("D2"), 2);
  EXPECT_EQ(number("D3"), 1);
  EXPECT_EQ(number("E2"), 0.5);

  // A value on the last bound goes to the row below only when lower bounds count.
  enter("A4", "20");
  BinCount(cx, r("A1..A4"), r("C1..C2"));
  EXPECT_EQ(number("D3"), 1);
  ws.settings.binsLowerInclusive = false;
  BinCount(cx, r("A1..A4"), r("C1..C2"));
  EXPECT_EQ(number("D2"), 2);
  EXPECT_EQ(number("D3"), 0);
  EXPECT_TRUE(ws.modified);
}

TEST_F(BinTest, OnlyNumbersAreCountedAndEveryRowSharesTheWhole) {
  enter("A1", "5");
  enter("A2", "'12");    // a label
  enter("A3", "@ERR");   // an ERR result
  enter("A5", "+A1*3");  // 15 by formula; A4 stays empty
  enter("A6", "25");
  enter("B1", "7");  // the second column does not count
  column("C1", {10, 20});
  CommandContext cx = frame.context();
  ws.settings.binsLowerInclusive = true;
  BinCount(cx, r("A1..B6"), r("C1..C2"));
  EXPECT_EQ(number("D1"), 1);
  EXPECT_EQ(number("D2"), 1);
  EXPECT_EQ(number("D3"), 4);  // 25 and the three rows that hold no number
  EXPECT_DOUBLE_EQ(number("E1"), 1.0 / 6);
  EXPECT_DOUBLE_EQ(number("E3"), 4.0 / 6);
  // Undo takes the counts away again.
  frame.execute("UNDO");
  EXPECT_EQ(cell("D1"), nullptr);
}

TEST_F(BinTest, UnsetRangesAndTheSheetEdgeBeepAndKeepTheData) {
  column("A1", {1, 2});
  enter("IU1", "5");
  CommandContext cx = frame.context();
  int beeps = host.beeps;
  EXPECT_FALSE(BinCount(cx, kEmptyRange, r("C1")).ok);
  EXPECT_FALSE(BinCount(cx, r("A1..A2"), kEmptyRange).ok);
  EXPECT_EQ(host.beeps, beeps + 2);
  // Bins in the next-to-last column: the share column is off the sheet.
  EXPECT_FALSE(BinCount(cx, r("A1..A2"), r("IU1")).ok);
  EXPECT_EQ(number("IV1"), 2);
  EXPECT_EQ(number("A2"), 2);
  EXPECT_GT(host.beeps, beeps + 2);
}

// --- Regress ----------------------------------------------------------------------------

class RegressTest : public AnalysisFixture {
 public:
  CommandResult regress(const std::string& x, const std::string& y, const std::string& out) {
    CommandContext cx = frame.context();
    return Regress(cx, r(x), r(y), r(out));
  }
};

TEST_F(RegressTest, AnExactLineGivesItsElevenResultsAndFormula) {
  column("A1", {1, 2, 3});
  column("B1", {2, 4, 6});
  ASSERT_TRUE(regress("A1..A3", "B1..B3", "D1").ok);
  const char* labels[] = {"Intercept", "Slope",     "R^2",       "Sum x^2", "Sum y^2", "Sum x*y",
                          "Count",     "Sigma x^2", "Sigma y^2", "RegErr",  "SlopeErr"};
  const double values[] = {0, 2, 1, 14, 56, 28, 3, 2.0 / 3, 8.0 / 3, 0, 0};
  for (int i = 0; i < 11; ++i) {
    std::string row = std::to_string(i + 1);
    EXPECT_EQ(text("D" + row), labels[i]);
    EXPECT_NEAR(number("E" + row), values[i], 1e-12) << labels[i];
  }
  EXPECT_EQ(text("D12"), "Formula:");
  EXPECT_EQ(input("E12"), "+2*@X");  // no intercept part for b = 0
  EXPECT_EQ(cell("E12")->type(), CellType::NumberFormula);
  EXPECT_EQ(ws.settings.regressionRanges[0], r("A1..A3"));
  EXPECT_EQ(ws.settings.regressionRanges[1], r("B1..B3"));

  // Two-dimensional ranges pair up cell by cell.
  column("G1", {1, 2});
  column("H1", {3, 4});
  column("I1", {3, 5});
  column("J1", {7, 9});
  regress("G1..H2", "I1..J2", "L1");
  EXPECT_EQ(number("M7"), 4);
  EXPECT_NEAR(number("M1"), 1, 1e-12);
  EXPECT_NEAR(number("M2"), 2, 1e-12);

  // A slope in exponent form still makes a formula.
  column("O1", {1, 2, 3});
  column("P1", {1e-20, 2e-20, 3e-20});
  regress("O1..O3", "P1..P3", "R1");
  EXPECT_EQ(cell("S12")->type(), CellType::NumberFormula) << input("S12");
  EXPECT_FALSE(isErr("S12"));
}

TEST_F(RegressTest, NoisyDataMatchesAnIndependentFit) {
  std::vector<double> xs, ys;
  for (int i = 0; i < 60; ++i) {
    xs.push_back(1000 + 100 * next());
    ys.push_back(3 - 0.7 * xs.back() + 5 * (next() - 0.5));
  }
  column("A1", xs);
  column("B1", ys);
  regress("A1..A60", "B1..B60", "D1");

  // The textbook sums, in extended precision.
  long double n = 60, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (size_t i = 0; i < xs.size(); ++i) {
    long double x = xs[i], y = ys[i];
    sx += x, sy += y, sxx += x * x, syy += y * y, sxy += x * y;
  }
  long double dx = n * sxx - sx * sx, dy = n * syy - sy * sy, dxy = n * sxy - sx * sy;
  long double m = dxy / dx, b = (sy - m * sx) / n, r2 = dxy * dxy / (dx * dy);
  long double vx = dx / (n * n), vy = dy / (n * n);
  long double regErr = std::sqrt(n * (1 - r2) * vy / (n - 2));
  long double slopeErr = regErr / std::sqrt(n * vx);
  auto near = [&](const std::string& a, long double expected) {
    EXPECT_NEAR(number(a), static_cast<double>(expected),
                1e-9 * std::max(1.0L, std::fabs(expected)))
        << a;
  };
  const long double expected[] = {b, m, r2, sxx, syy, sxy, n, vx, vy, regErr, slopeErr};
  for (int i = 0; i < 11; ++i) near("E" + std::to_string(i + 1), expected[i]);
  EXPECT_LT(number("E2"), 0);
  // The formula (a negative slope in it) evaluates the line at @X.
  EXPECT_EQ(cell("E12")->type(), CellType::NumberFormula);
  session.evaluator().integrationX = 1050;
  RecalcAll(ws);
  EXPECT_NEAR(number("E12"), static_cast<double>(b + m * 1050), 1e-9);
}

TEST_F(RegressTest, LabelsAndErrAreNotCountedButNumericFormulasAre) {
  enter("A1", "1");
  enter("A2", "'a");
  enter("A3", "+A1+1");
  enter("A4", "@ERR");
  enter("A5", "3");
  column("B1", {2, 100, 4, 100, 6});
  enter("A6", "4");  // no partner
  regress("A1..A6", "B1..B6", "D1");
  EXPECT_EQ(number("E7"), 3);
  EXPECT_NEAR(number("E2"), 2, 1e-12);
  EXPECT_NEAR(number("E1"), 0, 1e-12);
}

TEST_F(RegressTest, UndefinedQuantitiesAreWrittenAsErr) {
  // All x equal: no line; the x variance is 0, the sums stay numbers.
  column("A1", {0.1, 0.1, 0.1});
  column("B1", {1, 2, 3});
  regress("A1..A3", "B1..B3", "D1");
  for (const char* a : {"E1", "E2", "E3", "E10", "E11", "E12"}) expectErr(a);
  EXPECT_EQ(number("E8"), 0);
  EXPECT_NEAR(number("E9"), 2.0 / 3, 1e-12);
  EXPECT_EQ(number("E7"), 3);

  // All y equal: a flat line with no spread about it; R^2 has no value.
  column("G1", {1, 2, 3});
  column("H1", {5, 5, 5});
  regress("G1..G3", "H1..H3", "J1");
  EXPECT_NEAR(number("K1"), 5, 1e-12);
  EXPECT_EQ(number("K2"), 0);
  expectErr("K3");
  EXPECT_EQ(number("K10"), 0);
  EXPECT_EQ(number("K11"), 0);
  EXPECT_FALSE(isErr("K12"));
  EXPECT_NEAR(number("K12"), 5, 1e-12);

  // A single pair.
  enter("M1", "4");
  enter("N1", "7");
  regress("M1", "N1", "P1");
  EXPECT_EQ(number("Q7"), 1);
  for (const char* a : {"Q1", "Q2", "Q3", "Q10", "Q11"}) expectErr(a);

  // A line met up to rounding: RegErr is of rounding's size, never a root of a negative.
  std::vector<double> xs, ys;
  for (int i = 1; i <= 30; ++i) xs.push_back(0.1 * i), ys.push_back(0.3 * (0.1 * i) + 0.7);
  column("S1", xs);
  column("T1", ys);
  regress("S1..S30", "T1..T30", "V1");
  EXPECT_FALSE(isErr("W10"));
  EXPECT_GE(number("W10"), 0);
  EXPECT_LT(number("W10"), 1e-12);
  EXPECT_LE(number("W3"), 1);
  expectAllFinite();
}

TEST_F(RegressTest, BadRangesBeepAndAFailedWriteShowsCalcError) {
  int beeps = host.beeps;
  CommandContext cx = frame.context();
  EXPECT_FALSE(Regress(cx, kEmptyRange, r("B1..B3"), r("D1")).ok);
  EXPECT_FALSE(Regress(cx, r("A1..A3"), kEmptyRange, r("D1")).ok);
  EXPECT_EQ(host.beeps, beeps + 2);
  // No pairs: nothing is written.
  enter("A1", "'x");
  enter("B1", "1");
  regress("A1..A3", "B1..B3", "D1");
  EXPECT_EQ(cell("D1"), nullptr);

  // An output off the sheet's foot.
  column("A1", {1, 2, 3});
  column("B1", {2, 4, 6});
  EXPECT_FALSE(regress("A1..A3", "B1..B3", "D8190").ok);
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), kCalcErrorMessage);
  EXPECT_EQ(number("B3"), 6);
}

// --- MultiRegress -----------------------------------------------------------------------

class MultiRegressTest : public AnalysisFixture {
 public:
  CommandResult fit(const std::string& x, const std::string& y, const std::string& out,
                    const TermMasks& masks) {
    CommandContext cx = frame.context();
    return MultiRegress(cx, r(x), r(y), r(out), masks);
  }
};

TEST_F(MultiRegressTest, AQuadraticIsRecoveredWithItsFormula) {
  std::vector<double> xs, ys;
  for (int x = 1; x <= 6; ++x) xs.push_back(x), ys.push_back(1 + 2 * x + 3 * x * x);
  column("A1", xs);
  column("B1", ys);
  TermMasks masks{};
  masks[kTermConstant] = masks[kTermLinear] = masks[kTermSquare] = 1;
  ASSERT_TRUE(fit("A1..A6", "B1..B6", "D1", masks).ok);
  EXPECT_EQ(text("D1"), "Const");
  EXPECT_EQ(text("D2"), "x1");
  EXPECT_EQ(text("D3"), "x1^2");
  EXPECT_NEAR(number("E1"), 1, 1e-9);
  EXPECT_NEAR(number("E2"), 2, 1e-9);
  EXPECT_NEAR(number("E3"), 3, 1e-9);
  EXPECT_EQ(text("D4"), "Formula:");
  ASSERT_EQ(cell("E4")->type(), CellType::NumberFormula);
  EXPECT_NE(input("E4").find("*@X^2"), std::string::npos) << input("E4");
  EXPECT_NEAR(number("E4"), 6, 1e-9);  // the formula at the first x, 1
  EXPECT_EQ(text("D5"), "Result:");
  EXPECT_NEAR(number("E5"), 6, 1e-9);
  EXPECT_EQ(text("D6"), "R^2");
  EXPECT_NEAR(number("E6"), 1, 1e-12);
  EXPECT_EQ(ws.settings.regressionRanges[0], r("A1..A6"));
  EXPECT_EQ(ws.settings.regressionVariables[kTermSquare], 1);
  EXPECT_EQ(ws.settings.regressionVariables[kTermCube], 0);
}

TEST_F(MultiRegressTest, APlaneInTwoVariablesWritesItsFormulaOverTheFirstRow) {
  // Rows 2 to 13: x1 in A, x2 in B, y = 4 - 1.5 x1 + 2.5 x2 in C.
  std::vector<double> x1, x2, ys;
  for (int i = 0; i < 12; ++i) {
    x1.push_back(10 * next());
    x2.push_back(10 * next());
    ys.push_back(4 - 1.5 * x1.back() + 2.5 * x2.back());
  }
  column("A2", x1);
  column("B2", x2);
  column("C2", ys);
  TermMasks masks{};
  masks[kTermConstant] = 3;  // ticked for both: taken once
  masks[kTermLinear] = 3;
  fit("A2..B13", "C2..C13", "E2", masks);
  EXPECT_EQ(text("E2"), "Const");
  EXPECT_EQ(text("E3"), "x1");
  EXPECT_EQ(text("E4"), "x2");
  EXPECT_NEAR(number("F2"), 4, 1e-9);
  EXPECT_NEAR(number("F3"), -1.5, 1e-9);
  EXPECT_NEAR(number("F4"), 2.5, 1e-9);
  EXPECT_EQ(text("E5"), "Formula:");
  // A label naming the first row's cells; as a formula it gives that row's y.
  ASSERT_EQ(cell("F5")->type(), CellType::Label);
  std::string formula = text("F5");
  EXPECT_NE(formula.find("*A2"), std::string::npos) << formula;
  EXPECT_NE(formula.find("*B2"), std::string::npos) << formula;
  EXPECT_NEAR(eval(formula).number, ys[0], 1e-9) << formula;
  EXPECT_NEAR(number("F6"), ys[0], 1e-9);
  EXPECT_NEAR(number("F7"), 1, 1e-12);
}

TEST_F(MultiRegressTest, RootLogAndExponentialTermsAndTheirLabels) {
  std::vector<double> xs, ys;
  for (int i = 1; i <= 12; ++i) {
    double x = 0.5 * i;
    xs.push_back(x);
    ys.push_back(1 + 2 * std::sqrt(x) + 0.5 * std::log(x) + 0.01 * std::exp(x));
  }
  column("A1", xs);
  column("B1", ys);
  TermMasks masks{};
  masks[kTermConstant] = masks[kTermRootAbs] = masks[kTermLn] = masks[kTermExp] = 1;
  fit("A1..A12", "B1..B12", "D1", masks);
  EXPECT_EQ(text("D2"), "\xFBx1");
  EXPECT_EQ(text("D3"), "Ln(x1)");
  EXPECT_EQ(text("D4"), "e^x1");
  EXPECT_NEAR(number("E1"), 1, 1e-6);
  EXPECT_NEAR(number("E2"), 2, 1e-6);
  EXPECT_NEAR(number("E3"), 0.5, 1e-6);
  EXPECT_NEAR(number("E4"), 0.01, 1e-9);
  // The formula at the first x agrees with the fitted value written below it.
  ASSERT_EQ(cell("E5")->type(), CellType::NumberFormula);
  EXPECT_NEAR(number("E5"), ys[0], 1e-9);
  EXPECT_NEAR(number("E6"), ys[0], 1e-9);
}

TEST_F(MultiRegressTest, SystemsWithoutASolutionAreRefusedAndWriteNothing) {
  column("A1", {1, 2, 0, 4});
  column("B1", {1, 2, 0, 4});
  column("C1", {3, 5, 7, 9});
  TermMasks ln{};
  ln[kTermConstant] = ln[kTermLn] = 1;  // ln of 0
  EXPECT_FALSE(fit("A1..A4", "C1..C4", "E1", ln).ok);
  EXPECT_EQ(host.errors.back(), kCannotRegressMessage);
  TermMasks twins{};
  twins[kTermLinear] = 3;  // x1 and x2 are the same column
  host.errors.clear();
  EXPECT_FALSE(fit("A1..B4", "C1..C4", "E1", twins).ok);
  EXPECT_EQ(host.errors.size(), 1u);
  host.errors.clear();
  EXPECT_FALSE(fit("A1..A4", "C1..C4", "E1", TermMasks{}).ok);  // no terms
  EXPECT_EQ(host.errors.size(), 1u);
  TermMasks x3{};
  x3[kTermLinear] = 4;  // x3 of a one-column range: no terms either
  EXPECT_FALSE(fit("A1..A4", "C1..C4", "E1", x3).ok);
  enter("D2", "@ERR");
  TermMasks line{};
  line[kTermConstant] = line[kTermLinear] = 1;
  EXPECT_FALSE(fit("A1..A4", "D1..D4", "E1", line).ok);  // an ERR y
  EXPECT_EQ(cell("E1"), nullptr);
  EXPECT_EQ(host.errors.back(), kCannotRegressMessage);
}

TEST_F(MultiRegressTest, AFormulaPastTheCellLimitIsReplacedButTheCoefficientsStay) {
  std::vector<double> x1, x2, ys;
  for (int i = 0; i < 40; ++i) {
    x1.push_back(0.5 + 2 * next());
    x2.push_back(0.5 + 2 * next());
    ys.push_back(next());
  }
  column("A1", x1);
  column("B1", x2);
  column("C1", ys);
  TermMasks all{};
  all.fill(3);  // 17 terms over two variables
  ASSERT_TRUE(fit("A1..B40", "C1..C40", "E1", all).ok);
  EXPECT_EQ(text("E1"), "Const");
  EXPECT_EQ(text("E10"), "x2");
  EXPECT_EQ(text("E17"), "e^x2");
  EXPECT_TRUE(isNumber(cell("F17")) && !isErr("F17"));
  EXPECT_EQ(text("E18"), "Formula:");
  EXPECT_EQ(text("F18"), kFormulaTooLargeText);
  EXPECT_EQ(text("E20"), "R^2");
  expectAllFinite();
}

// --- GoalSeek ---------------------------------------------------------------------------

class GoalSeekTest : public AnalysisFixture {
 public:
  CommandResult seek(double desired, double tolerance = 0.000001) {
    CommandContext cx = frame.context();
    return GoalSeek(cx, r("A1"), r("B1"), desired, tolerance);
  }
};

TEST_F(GoalSeekTest, TheSquareRootOfTwo) {
  enter("A1", "1");
  enter("B1", "+A1^2");
  int beeps = host.beeps;
  ASSERT_TRUE(seek(2).ok);
  EXPECT_LT(std::fabs(number("B1") - 2), 0.000001);
  EXPECT_NEAR(number("A1"), std::sqrt(2.0), 1e-6);
  EXPECT_EQ(cell("A1")->type(), CellType::Real);
  EXPECT_EQ(host.beeps, beeps + 1);  // its end is heard
  EXPECT_EQ(host.mode, modeLook(Mode::Wait).text);
  frame.execute("UNDO");
  EXPECT_EQ(number("A1"), 1);
}

TEST_F(GoalSeekTest, FromZeroTheFirstStepTakesSlopeOne) {
  enter("A1", "0");
  enter("B1", "+3*A1");
  seek(6);
  EXPECT_NEAR(number("A1"), 2, 1e-6);
  // A missing input cell counts as 0 and is made.
  enter("D1", "+C1*2-4");
  CommandContext cx = frame.context();
  GoalSeek(cx, r("C1"), r("D1"), 0, 0.000001);
  EXPECT_NEAR(number("C1"), 2, 1e-9);
}

TEST_F(GoalSeekTest, WithoutSuccessTheEstimateStaysWithErr) {
  // Never reaches 0: the steps swing between 1 and -1.
  enter("A1", "1");
  enter("B1", "@ABS(A1)+1");
  seek(0);
  EXPECT_TRUE(isErr("A1"));
  std::string kept = input("A1");
  ASSERT_GT(kept.size(), 5u);
  EXPECT_EQ(kept.substr(kept.size() - 5), "+@ERR") << kept;
  size_t from = kept[0] == '+' ? 1 : 0;
  auto estimate = parseNumberText(kept.substr(from, kept.size() - 5 - from), '.');
  ASSERT_TRUE(estimate.has_value()) << kept;
  EXPECT_NEAR(std::fabs(*estimate), 1, 1e-6);

  // A constant output away from the target: zero slope at once.
  enter("A1", "1.5");
  enter("B1", "7");
  seek(3);
  EXPECT_NE(input("A1").find("1.5+@ERR"), std::string::npos) << input("A1");
  EXPECT_TRUE(isErr("A1"));
  expectAllFinite();
}

TEST_F(GoalSeekTest, AConstantAlreadyAtTheTargetSucceedsAndUnsetCellsBeep) {
  enter("A1", "1.5");
  enter("B1", "7");
  seek(7);
  EXPECT_FALSE(isErr("A1"));
  EXPECT_EQ(number("A1"), 1.5);
  EXPECT_EQ(cell("A1")->type(), CellType::Real);
  // Unset cells: a beep, and nothing changes.
  CommandContext cx = frame.context();
  int beeps = host.beeps;
  EXPECT_FALSE(GoalSeek(cx, kEmptyRange, r("B1"), 2, 0.000001).ok);
  EXPECT_FALSE(GoalSeek(cx, r("A1"), kEmptyRange, 2, 0.000001).ok);
  EXPECT_EQ(host.beeps, beeps + 2);
  EXPECT_EQ(number("A1"), 1.5);
}

// --- Keywords and the term items ----------------------------------------------------------

class AnalysisTermsTest : public AnalysisFixture {};

TEST_F(AnalysisTermsTest, ItemsTickKindsForTheirVariable) {
  TermMasks m = ParseTermItems("A012,B1,C8");
  EXPECT_EQ(m[0], 1);
  EXPECT_EQ(m[1], 3);
  EXPECT_EQ(m[2], 1);
  EXPECT_EQ(m[8], 4);
  EXPECT_EQ(m[3], 0);
  // Characters that are not kinds are passed over; empty items are nothing.
  m = ParseTermItems(",,A9x-7,,B 2,");
  EXPECT_EQ(m[7], 1);
  EXPECT_EQ(m[2], 2);
  EXPECT_EQ(m[0] | m[1] | m[3] | m[8], 0);
  // An item led by anything but A, B or C ticks nothing.
  m = ParseTermItems("D012,a1,1A,");
  for (uint8_t v : m) EXPECT_EQ(v, 0);
  EXPECT_EQ(ParseTermItems(""), TermMasks{});
  const std::string withNul{'A', '\0', '1'};
  EXPECT_EQ(ParseTermItems(withNul)[1], 1);
  // Any bytes at all: only the three variable bits can be set.
  for (int round = 0; round < 500; ++round) {
    std::string junk;
    int length = static_cast<int>(next() * 40);
    for (int i = 0; i < length; ++i) junk += static_cast<char>(next() * 256);
    for (uint8_t v : ParseTermItems(junk)) EXPECT_EQ(v & ~7, 0);
  }
}

class AnalysisKeywordTest : public AnalysisFixture {};

TEST_F(AnalysisKeywordTest, EachKeywordRunsItsCommand) {
  column("A1", {5, 10, 15, 25});
  column("C1", {10, 20});
  ws.settings.binsLowerInclusive = false;
  program.macros.RunMacroText("{DATABIN A1..A4,C1..C2}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(number("D1"), 2);
  EXPECT_EQ(number("D3"), 1);

  column("F1", {1, 2, 3});
  column("G1", {2, 4, 6});
  program.macros.RunMacroText("{DATAREGRESS F1..F3,G1..G3,I1}");
  EXPECT_NEAR(number("J2"), 2, 1e-12);

  std::vector<double> ys;
  for (int x = 1; x <= 3; ++x) ys.push_back(1 + 2 * x + 3 * x * x);
  column("H1", ys);
  program.macros.RunMacroText("{DATAMULREG F1..F3,H1..H3,L1,\"A0,A1,A2\"}");
  EXPECT_EQ(text("L3"), "x1^2");
  EXPECT_NEAR(number("M3"), 3, 1e-9);
  EXPECT_EQ(ws.settings.regressionVariables[kTermSquare], 1);

  // The tolerance comes first, the desired value second.
  enter("O1", "1");
  enter("P1", "+O1^2");
  program.macros.RunMacroText("{DATAGOAL O1,P1,0.000001,2}");
  EXPECT_NEAR(number("O1"), std::sqrt(2.0), 1e-6);
}

}  // namespace
}  // namespace tw::test
