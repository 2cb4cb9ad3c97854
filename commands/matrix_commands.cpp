#include "commands/matrix_commands.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "core/cell.h"
#include "core/cell_address.h"
#include "core/cell_entry.h"
#include "core/char_case.h"
#include "core/host.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

// A block of doubles, row by row.
struct Block {
  int rows = 0;
  int cols = 0;
  std::vector<double> v;

  Block() = default;
  Block(int r, int c) : rows(r), cols(c), v(static_cast<size_t>(r) * static_cast<size_t>(c), 0.0) {}
  double& at(int r, int c) { return v[static_cast<size_t>(r) * static_cast<size_t>(cols) + c]; }
  double at(int r, int c) const {
    return v[static_cast<size_t>(r) * static_cast<size_t>(cols) + c];
  }
};

struct LabelResult {
  int row;
  int col;
  std::string text;
};

// What a page writes: labels at their cells, then a block of numbers from
// (row, col). Nothing is written until the whole result is known, so an
// output that overlaps the input reads the input as it was.
struct Results {
  int row = 0;
  int col = 0;
  Block numbers;
  std::vector<LabelResult> labels;
};

int rowsOf(const CellRange& r) {
  return r.row2 - r.row1 + 1;
}
int colsOf(const CellRange& r) {
  return r.col2 - r.col1 + 1;
}

// Labels, blanks, ERR results and cells off the sheet read 0.
double valueAt(const Worksheet& ws, int row, int col) {
  if (!validAddress(row, col)) return 0;
  return ws.CellNumber(ws.FindCell(row, col));
}

// rows x cols values from (row, col), whatever range they lie in.
Block readBlock(const Worksheet& ws, int row, int col, int rows, int cols) {
  Block b(rows, cols);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) b.at(r, c) = valueAt(ws, row + r, col + c);
  return b;
}

bool writable(const Worksheet& ws, int row, int col) {
  if (!validAddress(row, col)) return false;
  CellHandle h = ws.FindCell(row, col);
  // Protected cells are passed over quietly, as EnterNumber does, so that a
  // large block does not raise one message per cell.
  return !ws.settings.protection || (h != kNoCell && !ws.cell(h).isProtected());
}

CommandResult writeResults(CommandContext& cx, const Results& out) {
  Worksheet& ws = *cx.ws;
  TakeUndoSnapshot(ws);
  bool ok = true;
  {
    BulkUpdateScope bulk(cx.session);
    for (const LabelResult& l : out.labels)
      if (writable(ws, l.row, l.col)) EnterCell(ws, "'" + l.text, l.row, l.col);
    for (int r = 0; r < out.numbers.rows && ok; ++r)
      for (int c = 0; c < out.numbers.cols; ++c) {
        const int row = out.row + r, col = out.col + c;
        if (!writable(ws, row, col)) continue;
        const double x = out.numbers.at(r, c);
        if (!std::isfinite(x)) {
          // No cell holds an infinity or NaN: the cell shows ERR instead.
          EnterCell(ws, "@ERR", row, col);
        } else if (!EnterNumber(ws, row, col, x)) {
          cx.session.ShowError("Out of Memory");
          ok = false;
          break;
        }
      }
  }
  cx.session.error().clear();
  ws.modified = true;
  if (!ws.settings.manualRecalc) RecalcAll(ws);
  CommandResult result = CommandResult::everything();
  result.ok = ok;
  return result;
}

CommandResult refuse(CommandContext& cx) {
  cx.host().beep();
  return CommandResult::failed();
}

CommandResult fail(CommandContext& cx, const char* message) {
  cx.session.ShowError(message);
  return CommandResult::failed();
}

// --- Add, subtract, multiply, transpose ---

Results combine(const Worksheet& ws, const CellRange& a, const CellRange& b, bool subtract) {
  Results out;
  const int rows = rowsOf(a), cols = colsOf(a);
  Block x = readBlock(ws, a.row1, a.col1, rows, cols);
  Block y = readBlock(ws, b.row1, b.col1, rows, cols);
  out.numbers = Block(rows, cols);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      out.numbers.at(r, c) = subtract ? x.at(r, c) - y.at(r, c) : x.at(r, c) + y.at(r, c);
  return out;
}

// The inner dimension is A's column count; B is read that many rows deep.
Results multiply(const Worksheet& ws, const CellRange& a, const CellRange& b) {
  Results out;
  const int m = rowsOf(a), p = colsOf(a), n = colsOf(b);
  Block x = readBlock(ws, a.row1, a.col1, m, p);
  Block y = readBlock(ws, b.row1, b.col1, p, n);
  out.numbers = Block(m, n);
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j) {
      double sum = 0;
      for (int k = 0; k < p; ++k) sum += x.at(i, k) * y.at(k, j);
      out.numbers.at(i, j) = sum;
    }
  return out;
}

Results transpose(const Worksheet& ws, const CellRange& a) {
  Results out;
  const int rows = rowsOf(a), cols = colsOf(a);
  Block x = readBlock(ws, a.row1, a.col1, rows, cols);
  out.numbers = Block(cols, rows);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) out.numbers.at(c, r) = x.at(r, c);
  return out;
}

// --- Elimination: invert, solve, determinant ---

enum class Elimination { Done, Singular, ZeroDivisor, Overflow };

// Gaussian elimination with partial pivoting over the first n columns of the
// n rows of m, carrying the columns after them along; counts the row
// exchanges. A pivot candidate counts as zero when it is within rounding of
// zero for its row's size (n units of the last place of the row's largest
// entry): a singular matrix then reads as singular instead of leaving a
// residue of 1e-16 that would be divided by.
Elimination eliminate(Block& m, int n, int& exchanges) {
  const int width = m.cols;
  std::vector<double> tolerance(static_cast<size_t>(n));
  for (int r = 0; r < n; ++r) {
    double largest = 0;
    for (int c = 0; c < n; ++c) largest = std::max(largest, std::fabs(m.at(r, c)));
    tolerance[static_cast<size_t>(r)] = n * DBL_EPSILON * largest;
  }
  exchanges = 0;
  for (int i = 0; i < n; ++i) {
    int best = -1;
    for (int r = i; r < n; ++r) {
      const double a = std::fabs(m.at(r, i));
      if (a > tolerance[static_cast<size_t>(r)] && (best < 0 || a > std::fabs(m.at(best, i))))
        best = r;
    }
    if (best < 0) return Elimination::Singular;
    if (best != i) {
      for (int c = 0; c < width; ++c) std::swap(m.at(i, c), m.at(best, c));
      std::swap(tolerance[static_cast<size_t>(i)], tolerance[static_cast<size_t>(best)]);
      ++exchanges;
    }
    const double pivot = m.at(i, i);
    if (!std::isfinite(pivot)) return Elimination::Overflow;
    if (pivot == 0) return Elimination::ZeroDivisor;
    for (int r = i + 1; r < n; ++r) {
      const double factor = m.at(r, i) / pivot;
      if (factor == 0) continue;
      m.at(r, i) = 0;
      for (int c = i + 1; c < width; ++c) m.at(r, c) -= factor * m.at(i, c);
    }
  }
  return Elimination::Done;
}

// Checks the size limit of the pages that work in the fixed working matrix.
bool withinWorkingSize(const CellRange& r) {
  return rowsOf(r) <= kArrayMaxRows && colsOf(r) <= kArrayMaxColumns;
}

// Invert ([A | I]) and E-Solve ([A | B]): one solution column per right-hand
// column, written down the output's columns.
CommandResult solve(CommandContext& cx, const CellRange& in, const CellRange& output, bool invert) {
  const Worksheet& ws = *cx.ws;
  const int n = rowsOf(in);
  const int inputCols = colsOf(in);
  if (!invert && inputCols == n) return refuse(cx);  // no right-hand side to solve for
  const int width = invert ? 2 * n : std::max(inputCols, n);
  Block m(n, width);
  const int loaded = invert ? std::min(inputCols, n) : inputCols;
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < loaded; ++c) m.at(r, c) = valueAt(ws, in.row1 + r, in.col1 + c);
  if (invert)
    for (int r = 0; r < n; ++r) m.at(r, n + r) = 1;

  int exchanges = 0;
  switch (eliminate(m, n, exchanges)) {
    case Elimination::Singular:
      return fail(cx, kArrayDeterminantZeroMessage);
    case Elimination::ZeroDivisor:
    case Elimination::Overflow:
      return fail(cx, kArrayPivotMessage);
    case Elimination::Done:
      break;
  }
  Results out;
  out.row = output.row1;
  out.col = output.col1;
  out.numbers = Block(n, width - n);
  for (int k = 0; k < width - n; ++k)
    for (int i = n - 1; i >= 0; --i) {
      double sum = m.at(i, n + k);
      for (int j = i + 1; j < n; ++j) sum -= m.at(i, j) * out.numbers.at(j, k);
      const double d = m.at(i, i);
      if (d == 0) return fail(cx, kArrayPivotMessage);
      out.numbers.at(i, k) = sum / d;
    }
  return writeResults(cx, out);
}

CommandResult determinant(CommandContext& cx, const CellRange& in, const CellRange& output) {
  const int n = rowsOf(in);
  // The n x n part; columns the input lacks read 0.
  Block m(n, n);
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < std::min(n, colsOf(in)); ++c)
      m.at(r, c) = valueAt(*cx.ws, in.row1 + r, in.col1 + c);
  int exchanges = 0;
  double det = 0;
  switch (eliminate(m, n, exchanges)) {
    case Elimination::Singular:
      break;
    case Elimination::ZeroDivisor:
      cx.session.ShowError(kArrayDeterminantDivideMessage);
      break;
    case Elimination::Overflow:
      det = HUGE_VAL;  // written as ERR
      break;
    case Elimination::Done:
      det = exchanges % 2 ? -1 : 1;
      for (int i = 0; i < n; ++i) det *= m.at(i, i);
      break;
  }
  Results out;
  out.row = output.row1;
  out.col = output.col1;
  out.numbers = Block(1, 1);
  out.numbers.at(0, 0) = det;
  return writeResults(cx, out);
}

// --- Linear programming ---

enum class Relation { LE, GE, EQ };

// The tableau of the simplex method. Big M is carried symbolically: the
// objective is two rows, M's multiple and the rest, and reduced costs compare
// first on M's part. That is the method with M taken larger than any input
// could need, without the rounding a numeric M of 1e9 and more brings into
// the objective row.
struct Simplex {
  int rows = 0;                  // constraint rows; the objective's two rows follow
  int columns = 0;               // variable, slack, surplus and artificial columns; the
                                 // right-hand side follows
  Block t;                       // (rows + 2) x (columns + 1)
  std::vector<int> basis;        // the column basic in each constraint row
  std::vector<bool> artificial;  // by column
  double epsEntry = 0;           // smallest entry a pivot may be
  double epsCost = 0;            // smallest reduced cost that counts as negative

  int costRow() const { return rows; }
  int mRow() const { return rows + 1; }
  double& rhs(int r) { return t.at(r, columns); }

  void pivot(int pr, int pc) {
    const double p = t.at(pr, pc);
    if (p != 1)
      for (int c = 0; c <= columns; ++c) t.at(pr, c) /= p;
    t.at(pr, pc) = 1;
    for (int r = 0; r < rows + 2; ++r) {
      const double f = t.at(r, pc);
      if (r == pr || f == 0) continue;
      for (int c = 0; c <= columns; ++c) t.at(r, c) -= f * t.at(pr, c);
      t.at(r, pc) = 0;
    }
    basis[static_cast<size_t>(pr)] = pc;
  }

  // The entering column, or -1 at the optimum. Reduced costs compare on M's
  // part first; phaseM tells whether some column still lowers it. The
  // column is the most negative one, or under Bland's rule the first
  // negative one. An artificial column that has left the basis never comes
  // back.
  int entering(bool bland, bool& phaseM) const {
    phaseM = false;
    for (int c = 0; c < columns && !phaseM; ++c)
      phaseM = !artificial[static_cast<size_t>(c)] && t.at(mRow(), c) < -epsEntry;
    const int keyRow = phaseM ? mRow() : costRow();
    const double eps = phaseM ? epsEntry : epsCost;
    int best = -1;
    for (int c = 0; c < columns; ++c) {
      if (artificial[static_cast<size_t>(c)]) continue;
      if (!phaseM && std::fabs(t.at(mRow(), c)) > epsEntry) continue;
      const double key = t.at(keyRow, c);
      if (key >= -eps) continue;
      if (bland) return c;
      if (best < 0 || key < t.at(keyRow, best)) best = c;
    }
    return best;
  }

  double artificialSum() {
    double sum = 0;
    for (int r = 0; r < rows; ++r)
      if (artificial[static_cast<size_t>(basis[static_cast<size_t>(r)])]) sum += rhs(r);
    return sum;
  }
};

std::string upperLabel(const Worksheet& ws, int row, int col) {
  if (!validAddress(row, col)) return {};
  CellHandle h = ws.FindCell(row, col);
  return upperCased(ws.LabelText(h));
}

// Rows 1..R-1 are constraints (coefficients, a relation label LE, GE or EQ,
// the right-hand side); row R is the objective (coefficients, then MIN in
// its last cell to minimise). The output is the objective's label and value,
// then X1, X2, ... with the variables' values.
CommandResult linear(CommandContext& cx, const CellRange& in, const CellRange& output) {
  const Worksheet& ws = *cx.ws;
  const int R = rowsOf(in), C = colsOf(in);
  if (R < 2 || C < 3) return refuse(cx);
  const int vars = C - 2, constraints = R - 1;
  const int objectiveRow = in.row1 + R - 1;

  Block a = readBlock(ws, in.row1, in.col1, constraints, vars);
  std::vector<double> b(static_cast<size_t>(constraints)), c(static_cast<size_t>(vars));
  std::vector<Relation> relation(static_cast<size_t>(constraints));
  for (int r = 0; r < constraints; ++r) {
    const std::string rel = upperLabel(ws, in.row1 + r, in.col1 + C - 2).substr(0, 2);
    if (rel == "LE")
      relation[static_cast<size_t>(r)] = Relation::LE;
    else if (rel == "GE")
      relation[static_cast<size_t>(r)] = Relation::GE;
    else if (rel == "EQ")
      relation[static_cast<size_t>(r)] = Relation::EQ;
    else
      return refuse(cx);  // not a constraint row
    b[static_cast<size_t>(r)] = valueAt(ws, in.row1 + r, in.col1 + C - 1);
  }
  for (int j = 0; j < vars; ++j) c[static_cast<size_t>(j)] = valueAt(ws, objectiveRow, in.col1 + j);
  const bool minimise = upperLabel(ws, objectiveRow, in.col1 + C - 1).starts_with("MIN");
  std::string objectiveLabel = "Objective";
  if (CellHandle h = ws.FindCell(objectiveRow, in.col1); h != kNoCell) {
    const CellType type = ws.cell(h).type();
    if (type == CellType::Label || type == CellType::StringFormula) {
      std::string text = ws.LabelText(h);
      if (!text.empty()) objectiveLabel = text;
    }
  }

  // A negative right-hand side is turned round, so that every starting
  // basic variable is non-negative.
  for (int r = 0; r < constraints; ++r) {
    const size_t sr = static_cast<size_t>(r);
    if (b[sr] >= 0) continue;
    b[sr] = -b[sr];
    for (int j = 0; j < vars; ++j) a.at(r, j) = -a.at(r, j);
    if (relation[sr] != Relation::EQ)
      relation[sr] = relation[sr] == Relation::LE ? Relation::GE : Relation::LE;
  }

  // Columns: the variables; a slack for each LE row; a surplus for each GE
  // row; an artificial for each GE and EQ row. An equality carries only its
  // artificial: a surplus would let it hold as "greater or equal".
  Simplex s;
  s.rows = constraints;
  int extra = 0;
  for (Relation rel : relation) extra += rel == Relation::GE ? 2 : 1;
  s.columns = vars + extra;
  s.t = Block(constraints + 2, s.columns + 1);
  s.basis.assign(static_cast<size_t>(constraints), 0);
  s.artificial.assign(static_cast<size_t>(s.columns), false);
  double largestEntry = 1, largestCost = 1;
  for (int r = 0; r < constraints; ++r)
    for (int j = 0; j < vars; ++j) {
      s.t.at(r, j) = a.at(r, j);
      largestEntry = std::max(largestEntry, std::fabs(a.at(r, j)));
    }
  for (int j = 0; j < vars; ++j) {
    // The tableau maximises; a minimum is the maximum of the negated objective.
    s.t.at(s.costRow(), j) = minimise ? c[static_cast<size_t>(j)] : -c[static_cast<size_t>(j)];
    largestCost = std::max(largestCost, std::fabs(c[static_cast<size_t>(j)]));
  }
  s.epsEntry = 1e-9 * largestEntry;
  s.epsCost = 1e-9 * largestCost;
  int next = vars;
  for (int r = 0; r < constraints; ++r) {
    const Relation rel = relation[static_cast<size_t>(r)];
    s.rhs(r) = b[static_cast<size_t>(r)];
    if (rel == Relation::LE) {
      s.t.at(r, next) = 1;
      s.basis[static_cast<size_t>(r)] = next++;
      continue;
    }
    if (rel == Relation::GE) s.t.at(r, next++) = -1;
    s.t.at(r, next) = 1;
    s.artificial[static_cast<size_t>(next)] = true;
    s.t.at(s.mRow(), next) = 1;
    s.basis[static_cast<size_t>(r)] = next++;
  }
  // The artificial columns start basic: their M is taken out of the objective
  // row.
  for (int r = 0; r < constraints; ++r)
    if (s.artificial[static_cast<size_t>(s.basis[static_cast<size_t>(r)])])
      for (int col = 0; col <= s.columns; ++col) s.t.at(s.mRow(), col) -= s.t.at(r, col);

  const double largestRhs =
      std::max(1.0, b.empty() ? 0.0 : std::fabs(*std::max_element(b.begin(), b.end())));
  const double epsValue = 1e-9 * largestRhs;
  const int limit = 50 * (constraints + 1 + s.columns + 1);
  // A run of pivots that do not move the point may cycle; Bland's rule,
  // taken until the point moves again, cannot.
  int stalled = 0;
  for (int iteration = 0;; ++iteration) {
    if (iteration >= limit) return fail(cx, kLinearTooLargeMessage);
    const bool bland = stalled > constraints;
    bool phaseM = false;
    const int pc = s.entering(bland, phaseM);
    // Nothing left to take out of M's part while an artificial stays
    // positive: no point meets every constraint.
    if (!phaseM && s.artificialSum() > epsValue) return fail(cx, kLinearInfeasibleMessage);
    if (pc < 0) break;
    // The leaving row: the smallest ratio, the first of equal ones (under
    // Bland's rule the one whose basic column comes first).
    int pr = -1;
    double bound = 1e20;
    bool positive = false;
    for (int r = 0; r < constraints; ++r) {
      const double e = s.t.at(r, pc);
      if (e <= s.epsEntry) continue;
      positive = true;
      const double ratio = std::max(0.0, s.rhs(r)) / e;
      if (pr >= 0 && bland && std::fabs(ratio - bound) <= epsValue) {
        if (s.basis[static_cast<size_t>(r)] < s.basis[static_cast<size_t>(pr)]) pr = r;
      } else if (ratio < bound) {
        bound = ratio;
        pr = r;
      }
    }
    if (!positive) return fail(cx, kLinearUnboundedMessage);
    if (pr < 0) return fail(cx, kLinearTooLargeMessage);
    stalled = bound <= epsValue ? stalled + 1 : 0;
    s.pivot(pr, pc);
    for (int r = 0; r < constraints; ++r)
      if (!std::isfinite(s.rhs(r))) return fail(cx, kLinearTooLargeMessage);
  }

  // Each variable is read from the row where its column is the unit column.
  std::vector<double> x(static_cast<size_t>(vars), 0.0);
  for (int r = 0; r < constraints; ++r) {
    const int col = s.basis[static_cast<size_t>(r)];
    if (col < vars) {
      double v = s.rhs(r);
      x[static_cast<size_t>(col)] = std::fabs(v) <= epsValue ? 0 : v;
    }
  }
  // The value from the original coefficients, with their signs.
  double value = 0;
  for (int j = 0; j < vars; ++j) value += c[static_cast<size_t>(j)] * x[static_cast<size_t>(j)];

  Results out;
  out.row = output.row1;
  out.col = output.col1 + 1;
  out.numbers = Block(vars + 1, 1);
  out.numbers.at(0, 0) = value;
  out.labels.push_back({output.row1, output.col1, objectiveLabel});
  for (int j = 0; j < vars; ++j) {
    out.numbers.at(j + 1, 0) = x[static_cast<size_t>(j)];
    out.labels.push_back({output.row1 + j + 1, output.col1, "X" + std::to_string(j + 1)});
  }
  return writeResults(cx, out);
}

}  // namespace

const char* ArrayPageName(ArrayPage page) {
  switch (page) {
    case ArrayPage::Add:
      return "Add";
    case ArrayPage::Subtract:
      return "Subtract";
    case ArrayPage::Multiply:
      return "Multiply";
    case ArrayPage::Transpose:
      return "Transpose";
    case ArrayPage::Invert:
      return "Invert";
    case ArrayPage::ESolve:
      return "ESolve";
    case ArrayPage::Determinant:
      return "Determinate";
    case ArrayPage::Linear:
      return "Linear";
  }
  return "";
}

CommandResult ArrayCommand(CommandContext& cx, ArrayPage page, const CellRange& first,
                           const CellRange& second, const CellRange& output) {
  if (!cx.ws) return refuse(cx);
  const bool twoInputs =
      page == ArrayPage::Add || page == ArrayPage::Subtract || page == ArrayPage::Multiply;
  if (!first.valid() || !output.valid() || (twoInputs && !second.valid())) return refuse(cx);
  const CellRange a = first.ordered();
  const CellRange b = twoInputs ? second.ordered() : CellRange{};
  const CellRange o = output.ordered();
  if (!validAddress(a.row1, a.col1) || !validAddress(a.row2, a.col2) ||
      !validAddress(o.row1, o.col1) ||
      (twoInputs && (!validAddress(b.row1, b.col1) || !validAddress(b.row2, b.col2))))
    return refuse(cx);

  const Worksheet& ws = *cx.ws;
  Results out;
  switch (page) {
    case ArrayPage::Add:
    case ArrayPage::Subtract:
      out = combine(ws, a, b, page == ArrayPage::Subtract);
      break;
    case ArrayPage::Multiply:
      out = multiply(ws, a, b);
      break;
    case ArrayPage::Transpose:
      out = transpose(ws, a);
      break;
    case ArrayPage::Invert:
    case ArrayPage::ESolve:
    case ArrayPage::Determinant:
    case ArrayPage::Linear:
      if (!withinWorkingSize(a)) return fail(cx, kArraySizeMessage);
      if (page == ArrayPage::Determinant) return determinant(cx, a, o);
      if (page == ArrayPage::Linear) return linear(cx, a, o);
      return solve(cx, a, o, page == ArrayPage::Invert);
  }
  out.row = o.row1;
  out.col = o.col1;
  return writeResults(cx, out);
}

namespace {

std::string prompt(ArrayPage page, const char* field) {
  return std::string(ArrayPageName(page)) + ":" + field + " Range";
}

bool given(const Args& args, size_t n) {
  return n < args.size() && args[n].given && args[n].range.valid();
}

}  // namespace

void addMatrixCommands(CommandTable& t) {
  // Prompts are string_views: their texts live as long as the program.
  static const std::vector<std::string> prompts = [] {
    std::vector<std::string> p;
    for (ArrayPage page : {ArrayPage::Add, ArrayPage::Subtract, ArrayPage::Multiply}) {
      p.push_back(prompt(page, "First"));
      p.push_back(prompt(page, "Second"));
      p.push_back(prompt(page, "Output"));
    }
    for (ArrayPage page : {ArrayPage::Transpose, ArrayPage::Invert, ArrayPage::ESolve,
                           ArrayPage::Determinant, ArrayPage::Linear}) {
      p.push_back(prompt(page, "Input"));
      p.push_back(prompt(page, "Output"));
    }
    return p;
  }();

  struct TwoInputs {
    const char* name;
    ArrayPage page;
  };
  const TwoInputs twoInputs[] = {
      {"MATADD", ArrayPage::Add}, {"MATSUB", ArrayPage::Subtract}, {"MATMLT", ArrayPage::Multiply}};
  size_t at = 0;
  for (const TwoInputs& k : twoInputs) {
    const ArrayPage page = k.page;
    t.add({k.name,
           {{ArgKind::Range, prompts[at]},
            {ArgKind::Range, prompts[at + 1]},
            {ArgKind::Range, prompts[at + 2]}},
           [page](CommandContext& cx, const Args& args) {
             if (!given(args, 0) || !given(args, 1) || !given(args, 2)) return refuse(cx);
             return ArrayCommand(cx, page, rangeArg(cx, args, 0, ArgKind::Range),
                                 rangeArg(cx, args, 1, ArgKind::Range),
                                 rangeArg(cx, args, 2, ArgKind::Range));
           }});
    at += 3;
  }

  struct OneInput {
    const char* name;
    ArrayPage page;
    ArgKind result;
  };
  // MATTRANS is the array dialog's transpose; the macro language has no
  // keyword for it.
  const OneInput oneInput[] = {{"MATTRANS", ArrayPage::Transpose, ArgKind::Range},
                               {"MATINV", ArrayPage::Invert, ArgKind::Range},
                               {"MATSLV", ArrayPage::ESolve, ArgKind::Range},
                               {"MATDET", ArrayPage::Determinant, ArgKind::Address},
                               {"MATLIN", ArrayPage::Linear, ArgKind::Range}};
  for (const OneInput& k : oneInput) {
    const ArrayPage page = k.page;
    const ArgKind result = k.result;
    t.add({k.name,
           {{ArgKind::Range, prompts[at]}, {result, prompts[at + 1]}},
           [page, result](CommandContext& cx, const Args& args) {
             if (!given(args, 0) || !given(args, 1)) return refuse(cx);
             return ArrayCommand(cx, page, rangeArg(cx, args, 0, ArgKind::Range), CellRange{},
                                 rangeArg(cx, args, 1, result));
           }});
    at += 2;
  }
}

}  // namespace tw
