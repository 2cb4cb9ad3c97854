// The array commands: matrix arithmetic against independent computations,
// singular and oversized input, linear programs with known optima, and the
// macro keywords.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "commands/matrix_commands.h"
#include "macros/macro_interpreter.h"
#include "test_support.h"

namespace tw::test {
namespace {

using Matrix = std::vector<std::vector<double>>;

class ArrayTest : public ProgramTest {
 public:
  CellRange range(const std::string& text) {
    ParsedRange p = ParseRange(ws, text);
    EXPECT_TRUE(p.ok) << text;
    return p.range;
  }
  // The rows of m from the cell at (row, col).
  void put(int row, int col, const Matrix& m) {
    for (size_t r = 0; r < m.size(); ++r)
      for (size_t c = 0; c < m[r].size(); ++c)
        ASSERT_TRUE(EnterNumber(ws, row + static_cast<int>(r), col + static_cast<int>(c), m[r][c]));
  }
  Matrix get(int row, int col, int rows, int cols) {
    Matrix m(static_cast<size_t>(rows), std::vector<double>(static_cast<size_t>(cols)));
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c)
        m[static_cast<size_t>(r)][static_cast<size_t>(c)] =
            ws.CellNumber(ws.FindCell(row + r, col + c));
    return m;
  }
  CommandResult run(ArrayPage page, const std::string& first, const std::string& second,
                    const std::string& output) {
    CommandContext cx = frame.context();
    return ArrayCommand(cx, page, range(first), second.empty() ? CellRange{} : range(second),
                        range(output));
  }
  bool absent(int row, int col) { return ws.FindCell(row, col) == kNoCell; }
  int cellCount() {
    int n = 0;
    ws.ForEachCell(CellRange::of(0, 0, kRows - 1, kColumns - 1), [&](CellHandle, Cell&) {
      ++n;
      return true;
    });
    return n;
  }
};

// Well conditioned: entries in [-1, 1] and n added to the diagonal.
Matrix randomMatrix(int rows, int cols, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> dist(-1, 1);
  Matrix m(static_cast<size_t>(rows), std::vector<double>(static_cast<size_t>(cols)));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      m[static_cast<size_t>(r)][static_cast<size_t>(c)] = dist(gen) + (r == c ? rows : 0);
  return m;
}

double cofactorDeterminant(const Matrix& m) {
  const size_t n = m.size();
  if (n == 1) return m[0][0];
  double det = 0;
  for (size_t j = 0; j < n; ++j) {
    Matrix minor;
    for (size_t r = 1; r < n; ++r) {
      std::vector<double> row;
      for (size_t c = 0; c < n; ++c)
        if (c != j) row.push_back(m[r][c]);
      minor.push_back(row);
    }
    det += (j % 2 ? -1 : 1) * m[0][j] * cofactorDeterminant(minor);
  }
  return det;
}

TEST_F(ArrayTest, AddSubtractReadLabelsAsZeroAndMayOverwriteTheirInput) {
  put(0, 0, {{1, 2}, {3, 4}});
  put(0, 2, {{10, 20}, {30, 40.5}});
  enter("B2", "'text");  // reads 0
  run(ArrayPage::Add, "A1..B2", "C1..D2", "E1..Z99");
  EXPECT_EQ(get(0, 4, 2, 2), (Matrix{{11, 22}, {33, 40.5}}));
  EXPECT_EQ(cell("E1")->type(), CellType::Integer);
  EXPECT_EQ(cell("F2")->type(), CellType::Real);
  EXPECT_TRUE(absent(2, 4));  // only the first range's shape is written
  // The second range is read at the first's offsets, however small it is
  // given; the output over the first range sees its old values.
  run(ArrayPage::Subtract, "A1..B2", "C1", "A1");
  EXPECT_EQ(get(0, 0, 2, 2), (Matrix{{-9, -18}, {-27, -40.5}}));
}

TEST_F(ArrayTest, MultiplyAndTransposeWriteTheirShapes) {
  const Matrix a{{1, 2, 3}, {4, 5, 6}}, b{{7, 8}, {9, 10}, {11, 12}};
  put(0, 0, a);
  put(0, 4, b);
  run(ArrayPage::Multiply, "A1..C2", "E1..F3", "H1");
  Matrix expected(2, std::vector<double>(2, 0));
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j)
      for (int k = 0; k < 3; ++k) expected[i][j] += a[i][k] * b[k][j];
  EXPECT_EQ(get(0, 7, 2, 2), expected);
  EXPECT_TRUE(absent(0, 9) && absent(2, 7));

  run(ArrayPage::Transpose, "A1..C2", "", "A10");
  EXPECT_EQ(get(9, 0, 3, 2), (Matrix{{1, 4}, {2, 5}, {3, 6}}));
  EXPECT_TRUE(absent(9, 2) && absent(12, 0));
}

TEST_F(ArrayTest, OverflowIsWrittenAsErrNeverAsInfinity) {
  put(0, 0, {{1e308}});
  put(0, 1, {{1e308}});
  run(ArrayPage::Multiply, "A1", "B1", "C1");
  EXPECT_TRUE(isErr("C1"));
  run(ArrayPage::Add, "A1", "B1", "D1");
  EXPECT_TRUE(isErr("D1"));
  put(2, 0, {{1e308, 1e308}, {1, -1e308}});
  run(ArrayPage::Determinant, "A3..B4", "", "E1");
  EXPECT_TRUE(isErr("E1"));
}

TEST_F(ArrayTest, InvertSmallCasesAndSingularInput) {
  put(0, 0, {{2, 0}, {0, 4}});
  run(ArrayPage::Invert, "A1..B2", "", "D1");
  EXPECT_EQ(get(0, 3, 2, 2), (Matrix{{0.5, 0}, {0, 0.25}}));

  // A zero column, and a singular matrix whose elimination leaves only rounding.
  for (const Matrix& m : {Matrix{{1, 0}, {2, 0}}, Matrix{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}}) {
    put(10, 0, m);
    const int before = cellCount();
    const std::string in = m.size() == 2 ? "A11..B12" : "A11..C13";
    EXPECT_FALSE(run(ArrayPage::Invert, in, "", "H11").ok);
    EXPECT_EQ(host.errors.back(), kArrayDeterminantZeroMessage);
    EXPECT_FALSE(run(ArrayPage::ESolve, in, "", "H11").ok);
    EXPECT_EQ(host.errors.back(), kArrayDeterminantZeroMessage);
    EXPECT_EQ(cellCount(), before);
    run(ArrayPage::Determinant, in, "", "H11");
    EXPECT_EQ(number("H11"), 0);
    EXPECT_EQ(cell("H11")->type(), CellType::Integer);
  }
}

TEST_F(ArrayTest, InverseTimesOriginalIsTheIdentity) {
  for (int n : {5, 30}) {
    const Matrix a = randomMatrix(n, n, 7u + static_cast<unsigned>(n));
    put(0, 0, a);
    ASSERT_TRUE(run(ArrayPage::Invert, RangeText(CellRange::of(0, 0, n - 1, n - 1), 0), "",
                    RangeText(CellRange::cell(40, 0), 0))
                    .ok);
    const Matrix inv = get(40, 0, n, n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        double sum = 0;
        for (int k = 0; k < n; ++k) sum += inv[i][k] * a[k][j];
        EXPECT_NEAR(sum, i == j ? 1 : 0, 1e-9) << n << " " << i << "," << j;
      }
    EXPECT_TRUE(absent(40 + n, 0) && absent(40, n));
  }
}

TEST_F(ArrayTest, ESolveGivesOneColumnPerRightHandSide) {
  put(0, 0, {{2, 1, 5}, {1, 3, 10}});
  run(ArrayPage::ESolve, "A1..C2", "", "E1");
  EXPECT_NEAR(number("E1"), 1, 1e-12);
  EXPECT_NEAR(number("E2"), 3, 1e-12);
  EXPECT_TRUE(absent(0, 5));

  // 30 equations, two right-hand sides: the residuals vanish.
  const int n = 30;
  const Matrix m = randomMatrix(n, n + 2, 99);
  put(10, 0, m);
  ASSERT_TRUE(run(ArrayPage::ESolve, "A11..AF40", "", "A50").ok);
  const Matrix x = get(49, 0, n, 2);
  EXPECT_TRUE(absent(49, 2));
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < n; ++i) {
      double sum = 0;
      for (int j = 0; j < n; ++j) sum += m[i][j] * x[j][k];
      EXPECT_NEAR(sum, m[i][n + k], 1e-9) << i << " rhs " << k;
    }

  // A square input has nothing to solve for.
  const int beeps = host.beeps;
  EXPECT_FALSE(run(ArrayPage::ESolve, "A1..B2", "", "E10").ok);
  EXPECT_GT(host.beeps, beeps);
  EXPECT_TRUE(absent(9, 4));
}

TEST_F(ArrayTest, DeterminantAgainstCofactorExpansion) {
  put(0, 0, {{0, 1}, {1, 0}});
  run(ArrayPage::Determinant, "A1..B2", "", "D1");
  EXPECT_EQ(number("D1"), -1);

  const Matrix m{{2, -1, 0, 3}, {1, 4, 2, -2}, {0, 5, -3, 1}, {3, 0, 1, 2}};
  put(10, 0, m);
  run(ArrayPage::Determinant, "A11..D14", "", "F11..H20");
  EXPECT_NEAR(number("F11"), cofactorDeterminant(m), 1e-9);
  EXPECT_TRUE(absent(11, 5) && absent(10, 6));

  const Matrix r = randomMatrix(6, 6, 3);
  put(20, 0, r);
  run(ArrayPage::Determinant, "A21..F26", "", "H21");
  const double expected = cofactorDeterminant(r);
  EXPECT_NEAR(number("H21"), expected, 1e-9 * std::fabs(expected));
}

TEST_F(ArrayTest, WorkingMatrixLimitLeavesTheSheetUnchanged) {
  put(0, 0, randomMatrix(31, 31, 5));
  const int before = cellCount();
  for (ArrayPage page :
       {ArrayPage::Invert, ArrayPage::ESolve, ArrayPage::Determinant, ArrayPage::Linear}) {
    host.errors.clear();
    EXPECT_FALSE(run(page, "A1..E31", "", "AK1").ok);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], kArraySizeMessage);
  }
  // 61 columns are too many even for 30 rows.
  host.errors.clear();
  EXPECT_FALSE(run(ArrayPage::ESolve, "A1..BI30", "", "A40").ok);
  EXPECT_EQ(host.errors.back(), kArraySizeMessage);
  EXPECT_EQ(cellCount(), before);
  // The arithmetic pages have no limit.
  EXPECT_TRUE(run(ArrayPage::Transpose, "A1..E31", "", "AK1").ok);
  EXPECT_EQ(number("BO5"), number("E31"));
}

TEST_F(ArrayTest, ResultsRecalculateTheSheetAndUndoTakesThemBack) {
  put(0, 0, {{2, 0}, {0, 4}});
  enter("G1", "@SUM(D1..E2)");
  run(ArrayPage::Invert, "A1..B2", "", "D1");
  EXPECT_EQ(number("G1"), 0.75);
  EXPECT_TRUE(ws.modified);
  frame.execute("UNDO");
  EXPECT_EQ(cell("D1") ? cell("D1")->type() : CellType::Blank, CellType::Blank);
  EXPECT_EQ(number("G1"), 0);
}

TEST_F(ArrayTest, ProtectedTargetsAreSkipped) {
  put(0, 0, {{2, 0}, {0, 4}});
  enter("D1", "7");
  cell("D1")->format &= ~kFormatProtected;
  enter("E1", "'keep");
  ws.settings.protection = true;
  EXPECT_TRUE(run(ArrayPage::Invert, "A1..B2", "", "D1").ok);
  EXPECT_EQ(number("D1"), 0.5);
  EXPECT_EQ(text("E1"), "keep");
  EXPECT_TRUE(absent(1, 3));
  // Labels too, without a message per cell.
  ws.settings.protection = false;
  enter("A11", "1");
  enter("B11", "'LE");
  enter("C11", "4");
  enter("A12", "1");
  ws.settings.protection = true;
  host.errors.clear();
  EXPECT_TRUE(run(ArrayPage::Linear, "A11..C12", "", "D1").ok);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(text("D1"), "Objective");
  EXPECT_EQ(text("E1"), "keep");
  EXPECT_TRUE(absent(1, 3));
}

TEST_F(ArrayTest, BadInputBeepsAndChangesNothing) {
  CommandContext cx = frame.context();
  const int beeps = host.beeps;
  EXPECT_FALSE(ArrayCommand(cx, ArrayPage::Add, range("A1..B2"), CellRange{}, range("D1")).ok);
  EXPECT_FALSE(ArrayCommand(cx, ArrayPage::Invert, CellRange{}, CellRange{}, range("D1")).ok);
  EXPECT_FALSE(ArrayCommand(cx, ArrayPage::Transpose, range("A1"), CellRange{}, CellRange{}).ok);
  EXPECT_EQ(host.beeps, beeps + 3);
  EXPECT_EQ(cellCount(), 0);
}

// --- Linear programs ---------------------------------------------------------------

class LinearTest : public ArrayTest {
 public:
  // Rows of cells: a number, or a label when the text starts with "'".
  void sheet(int row, const std::vector<std::vector<std::string>>& rows) {
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c)
        if (!rows[r][c].empty())
          EnterCell(ws, rows[r][c], row + static_cast<int>(r), static_cast<int>(c));
  }
};

TEST_F(LinearTest, MaximumWithLessOrEqualRows) {
  sheet(0, {{"1", "1", "'LE", "4"}, {"1", "3", "'le", "6"}, {"3", "2", "", "'MAX"}});
  ASSERT_TRUE(run(ArrayPage::Linear, "A1..D3", "", "F1..G2").ok);
  EXPECT_EQ(text("F1"), "Objective");
  EXPECT_EQ(number("G1"), 12);
  EXPECT_EQ(text("F2"), "X1");
  EXPECT_EQ(number("G2"), 4);
  EXPECT_EQ(text("F3"), "X2");
  EXPECT_EQ(number("G3"), 0);
  EXPECT_TRUE(absent(3, 5) && absent(3, 6));  // one row per coefficient column
}

TEST_F(LinearTest, MinimumWithGreaterOrEqualRows) {
  sheet(0, {{"1", "1", "'GE", "4"}, {"1", "3", "'GE", "6"}, {"2", "3", "", "'min"}});
  ASSERT_TRUE(run(ArrayPage::Linear, "A1..D3", "", "F1").ok);
  EXPECT_NEAR(number("G1"), 9, 1e-9);
  EXPECT_NEAR(number("G2"), 3, 1e-9);
  EXPECT_NEAR(number("G3"), 1, 1e-9);
  // The same program with its rows given as LE of the negated sides.
  sheet(10, {{"-1", "-1", "'LE", "-4"}, {"-1", "-3", "'LE", "-6"}, {"2", "3", "", "'MIN"}});
  ASSERT_TRUE(run(ArrayPage::Linear, "A11..D13", "", "F11").ok);
  EXPECT_NEAR(number("G11"), 9, 1e-9);
  EXPECT_NEAR(number("G12"), 3, 1e-9);
}

TEST_F(LinearTest, EqualityRowsHoldExactly) {
  // As GE the first row would leave the maximum unbounded.
  sheet(0, {{"1", "1", "'EQ", "5"}, {"1", "0", "'LE", "3"}, {"2", "1", "", ""}});
  ASSERT_TRUE(run(ArrayPage::Linear, "A1..D3", "", "F1").ok);
  EXPECT_NEAR(number("G1"), 8, 1e-9);
  EXPECT_NEAR(number("G2"), 3, 1e-9);
  EXPECT_NEAR(number("G3"), 2, 1e-9);
  // Mixed rows, three variables: minimise x + 2y + 3z with x + y + z = 10,
  // x <= 4, y >= 3: x = 4, y = 6, z = 0.
  sheet(10, {{"1", "1", "1", "'EQ", "10"},
             {"1", "0", "0", "'LE", "4"},
             {"0", "1", "0", "'GE", "3"},
             {"1", "2", "3", "", "'MIN"}});
  ASSERT_TRUE(run(ArrayPage::Linear, "A11..E14", "", "G11").ok);
  EXPECT_NEAR(number("H11"), 16, 1e-9);
  EXPECT_NEAR(number("H12"), 4, 1e-9);
  EXPECT_NEAR(number("H13"), 6, 1e-9);
  EXPECT_NEAR(number("H14"), 0, 1e-9);
  EXPECT_EQ(text("G14"), "X3");
  EXPECT_TRUE(absent(14, 6));
}

TEST_F(LinearTest, ObjectiveLabelComesFromTheObjectiveRowsFirstCell) {
  // The label reads 0 as X1's coefficient: maximise 2 X2 with X1 + X2 <= 3.
  sheet(0, {{"1", "1", "'LE", "3"}, {"\"Profit", "2", "", "'MAX"}});
  ASSERT_TRUE(run(ArrayPage::Linear, "A1..D2", "", "F1").ok);
  EXPECT_EQ(text("F1"), "Profit");
  EXPECT_EQ(number("G1"), 6);
  EXPECT_EQ(number("G3"), 3);
}

TEST_F(LinearTest, UnboundedInfeasibleAndMalformedProgramsWriteNothing) {
  sheet(0, {{"1", "-1", "'LE", "1"}, {"1", "1", "", "'MAX"}});
  sheet(10, {{"1", "1", "'LE", "2"}, {"1", "1", "'GE", "5"}, {"1", "1", "", "'MAX"}});
  sheet(20, {{"1", "1", "'EQ", "2"}, {"1", "1", "'EQ", "3"}, {"1", "1", "", "'MIN"}});
  sheet(30, {{"1", "1", "4", "4"}, {"1", "1", "", "'MAX"}});
  const int before = cellCount();

  EXPECT_FALSE(run(ArrayPage::Linear, "A1..D2", "", "F1").ok);
  EXPECT_EQ(host.errors.back(), kLinearUnboundedMessage);
  EXPECT_FALSE(run(ArrayPage::Linear, "A11..D13", "", "F1").ok);
  EXPECT_EQ(host.errors.back(), kLinearInfeasibleMessage);
  EXPECT_FALSE(run(ArrayPage::Linear, "A21..D23", "", "F1").ok);
  EXPECT_EQ(host.errors.back(), kLinearInfeasibleMessage);

  // No relation label, or no room for one, or no constraint.
  const int beeps = host.beeps;
  EXPECT_FALSE(run(ArrayPage::Linear, "A31..D32", "", "F1").ok);
  EXPECT_FALSE(run(ArrayPage::Linear, "A31..B32", "", "F1").ok);
  EXPECT_FALSE(run(ArrayPage::Linear, "A31..D31", "", "F1").ok);
  EXPECT_EQ(host.beeps, beeps + 3);
  EXPECT_EQ(cellCount(), before);
}

TEST_F(LinearTest, DegenerateProgramEnds) {
  // A degenerate vertex at the origin (three constraints through it) that
  // textbook pivoting rules can cycle on.
  sheet(0, {{"0.5", "-5.5", "-2.5", "9", "'LE", "0"},
            {"0.5", "-1.5", "-0.5", "1", "'LE", "0"},
            {"1", "0", "0", "0", "'LE", "1"},
            {"10", "-57", "-9", "-24", "", "'MAX"}});
  ASSERT_TRUE(run(ArrayPage::Linear, "A1..F4", "", "H1").ok);
  EXPECT_NEAR(number("I1"), 1, 1e-9);
  EXPECT_NEAR(number("I2"), 1, 1e-9);
  EXPECT_NEAR(number("I4"), 1, 1e-9);
}

// --- Keywords ----------------------------------------------------------------------

TEST_F(ArrayTest, MacroKeywordsRunThePages) {
  put(0, 0, {{2, 0}, {0, 4}});
  put(0, 2, {{1, 2}, {3, 4}});
  put(4, 0, {{2, 1, 5}, {1, 3, 10}});
  EnterCell(ws, "'LE", 10, 2);
  put(10, 0, {{1, 1}});
  put(10, 3, {{4}});
  put(11, 0, {{3, 2}});
  program.macros.RunMacroText(
      "{MATADD A1..B2,C1..D2,F1}{MATSUB A1..B2,C1..D2,H1}{MATMLT A1..B2,C1..D2,J1}"
      "{MATINV A1..B2,L1}{MATSLV A5..C6,N1}{MATDET C1..D2,P1}{MATLIN A11..D12,R1}");
  ASSERT_FALSE(program.macros.endedByError());
  EXPECT_EQ(get(0, 5, 2, 2), (Matrix{{3, 2}, {3, 8}}));
  EXPECT_EQ(get(0, 7, 2, 2), (Matrix{{1, -2}, {-3, 0}}));
  EXPECT_EQ(get(0, 9, 2, 2), (Matrix{{2, 4}, {12, 16}}));
  EXPECT_EQ(get(0, 11, 2, 2), (Matrix{{0.5, 0}, {0, 0.25}}));
  EXPECT_NEAR(number("N2"), 3, 1e-12);
  EXPECT_NEAR(number("P1"), -2, 1e-12);
  EXPECT_EQ(text("R1"), "Objective");
  EXPECT_EQ(number("S1"), 12);
  EXPECT_EQ(number("S2"), 4);

  const CommandEntry* inv = frame.commands().find("MATINV");
  ASSERT_NE(inv, nullptr);
  EXPECT_EQ(inv->params[1].prompt, "Invert:Output Range");
  EXPECT_EQ(frame.commands().find("MATADD")->params[0].prompt, "Add:First Range");
  EXPECT_EQ(frame.commands().find("MATDET")->params[1].kind, ArgKind::Address);
  // An argument left out is refused, not taken from the selection.
  const int beeps = host.beeps;
  frame.execute("MATINV", {Arg::ofRange(range("A1..B2"))});
  EXPECT_GT(host.beeps, beeps);
}

}  // namespace
}  // namespace tw::test
