#include "commands/analysis_commands.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "core/cell.h"
#include "core/cell_address.h"
#include "core/cell_entry.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/host.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

// What a result is when it is not defined; written into the sheet as ERR.
constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

// Writes results into cells. A number that is not finite becomes the ERR
// formula, so that no cell ever holds one. Once a write has failed (off the
// sheet, protected, no memory) the later ones are not attempted.
class ResultWriter {
 public:
  explicit ResultWriter(Worksheet& ws) : ws_(ws) {}

  bool number(int row, int col, double x) {
    if (!std::isfinite(x)) return entry(row, col, "@ERR");
    if (!writable(row, col)) return false;
    return done(EnterNumber(ws_, row, col, x));
  }
  bool label(int row, int col, const std::string& text) {
    if (!writable(row, col)) return false;
    return done(EnterCell(ws_, "'" + text, row, col) == EntryResult::Stored);
  }
  // A formula; one that does not compile is kept as a label, or named as
  // too large where the label would not hold it whole.
  bool entry(int row, int col, const std::string& text) {
    if (!writable(row, col)) return false;
    EntryResult r = EnterCell(ws_, text, row, col);
    if (r == EntryResult::SyntaxError) {
      ws_.session().error().clear();
      return label(row, col, text.size() < kMaxText ? text : kFormulaTooLargeText);
    }
    return done(r == EntryResult::Stored);
  }
  bool failed() const { return failed_; }

 private:
  bool writable(int row, int col) {
    if (failed_) return false;
    bool ok = validAddress(row, col);
    if (ok && ws_.settings.protection) {
      CellHandle h = ws_.FindCell(row, col);
      ok = h != kNoCell && !ws_.cell(h).isProtected();
    }
    return done(ok);
  }
  bool done(bool ok) {
    if (!ok) failed_ = true;
    return ok;
  }

  Worksheet& ws_;
  bool failed_ = false;
};

// The value of a cell that holds a number (a numeric formula included),
// or nothing for a label, an ERR result, a blank or no cell.
bool numericValue(const Worksheet& ws, int row, int col, double& out) {
  CellHandle h = ws.FindCell(row, col);
  if (h == kNoCell) return false;
  const Cell& c = ws.cell(h);
  if (!isNumber(&c) || c.isErr()) return false;
  out = numberValue(c);
  return true;
}

bool holdsErr(const Worksheet& ws, int row, int col) {
  CellHandle h = ws.FindCell(row, col);
  return h != kNoCell && ws.cell(h).isErr();
}

std::string general(const CommandContext& cx, double x) {
  return GeneralText(x, cx.session.settings().decimalSeparator);
}

CommandResult finish(CommandContext& cx, bool ok) {
  Worksheet& ws = *cx.ws;
  cx.session.error().clear();
  ws.modified = true;
  if (!ws.settings.manualRecalc) RecalcAll(ws);
  CommandResult out = CommandResult::everything();
  out.ok = ok;
  return out;
}

CommandResult refuse(CommandContext& cx) {
  cx.host().beep();
  return CommandResult::failed();
}

}  // namespace

// --- Bin --------------------------------------------------------------------------------

CommandResult BinCount(CommandContext& cx, const CellRange& data, const CellRange& bins) {
  if (!cx.ws || !data.valid() || !bins.valid()) return refuse(cx);
  Worksheet& ws = *cx.ws;
  const CellRange d = data.ordered(), b = bins.ordered();
  TakeUndoSnapshot(ws);

  std::vector<double> values;
  for (int row = d.row1; row <= d.row2; ++row) {
    double v;
    if (numericValue(ws, row, d.col1, v)) values.push_back(v);
  }
  // Shares are of all the data rows, empty ones included.
  double rest = d.row2 - d.row1 + 1;
  const double share = 1 / rest;
  const bool lowerIncluded = ws.settings.binsLowerInclusive;
  ResultWriter out(ws);
  {
    BulkUpdateScope bulk(cx.session);
    bool first = true;
    double previous = 0;
    for (int row = b.row1; row <= b.row2; ++row) {
      const double bound = ws.CellNumber(ws.FindCell(row, b.col1));
      long count = 0;
      for (double v : values) {
        bool in = lowerIncluded ? (first || previous <= v) && v < bound
                                : (first || previous < v) && v <= bound;
        if (in) ++count;
      }
      const double m = static_cast<double>(count);
      if (!out.number(row, b.col1 + 1, m) || !out.number(row, b.col1 + 2, m * share)) break;
      rest -= m;
      previous = bound;
      first = false;
    }
    if (!out.failed()) {
      out.number(b.row2 + 1, b.col1 + 1, rest);
      out.number(b.row2 + 1, b.col1 + 2, rest * share);
    }
  }
  if (out.failed()) cx.host().beep();
  return finish(cx, !out.failed());
}

// --- Regress ----------------------------------------------------------------------------

CommandResult Regress(CommandContext& cx, const CellRange& x, const CellRange& y,
                      const CellRange& output) {
  if (!cx.ws || !x.valid() || !y.valid() || !output.valid()) return refuse(cx);
  Worksheet& ws = *cx.ws;
  const CellRange rx = x.ordered(), ry = y.ordered(), ro = output.ordered();
  ws.settings.regressionRanges = {rx, ry};
  TakeUndoSnapshot(ws);

  // The pairs at the same offsets in both ranges where both cells hold numbers.
  std::vector<std::pair<double, double>> pairs;
  for (int dr = 0; dr <= rx.row2 - rx.row1 && ry.row1 + dr <= ry.row2; ++dr)
    for (int dc = 0; dc <= rx.col2 - rx.col1 && ry.col1 + dc <= ry.col2; ++dc) {
      double vx, vy;
      if (numericValue(ws, rx.row1 + dr, rx.col1 + dc, vx) &&
          numericValue(ws, ry.row1 + dr, ry.col1 + dc, vy))
        pairs.push_back({vx, vy});
    }
  if (pairs.empty()) {
    cx.host().beep();
    return finish(cx, false);
  }

  const double n = static_cast<double>(pairs.size());
  double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  bool xEqual = true, yEqual = true;
  for (const auto& [px, py] : pairs) {
    sx += px;
    sy += py;
    sxx += px * px;
    syy += py * py;
    sxy += px * py;
    xEqual = xEqual && px == pairs[0].first;
    yEqual = yEqual && py == pairs[0].second;
  }
  // Sums about the means, which keep their digits where the plain sums'
  // differences would cancel; all equal values give exactly zero.
  const double mx = sx / n, my = sy / n;
  double cxx = 0, cyy = 0, cxy = 0;
  for (const auto& [px, py] : pairs) {
    cxx += (px - mx) * (px - mx);
    cyy += (py - my) * (py - my);
    cxy += (px - mx) * (py - my);
  }
  if (xEqual) cxx = 0;
  if (yEqual) cyy = 0;
  if (xEqual || yEqual) cxy = 0;

  // No line through points that all share one x.
  const bool line = cxx > 0;
  const double slope = line ? cxy / cxx : kUndefined;
  const double intercept = line ? my - slope * mx : kUndefined;
  const double r2 = line && cyy > 0 ? std::min(1.0, cxy * cxy / (cxx * cyy)) : kUndefined;
  const double varX = cxx / n, varY = cyy / n;
  double regErr = kUndefined, slopeErr = kUndefined;
  if (line) {
    if (n <= 2 || cyy == 0) {
      regErr = slopeErr = 0;
    } else {
      // The spread about the line, (1 - r^2) * cyy, summed from the
      // residuals themselves: it cannot come out below 0, and a line met up
      // to rounding gives rounding's size instead of its square root.
      double residuals = 0;
      for (const auto& [px, py] : pairs) {
        const double e = py - (intercept + slope * px);
        residuals += e * e;
      }
      regErr = std::sqrt(residuals / (n - 2));
      slopeErr = regErr / std::sqrt(cxx);
    }
  }

  const std::pair<const char*, double> rows[] = {
      {"Intercept", intercept}, {"Slope", slope},   {"R^2", r2},           {"Sum x^2", sxx},
      {"Sum y^2", syy},         {"Sum x*y", sxy},   {"Count", n},          {"Sigma x^2", varX},
      {"Sigma y^2", varY},      {"RegErr", regErr}, {"SlopeErr", slopeErr}};
  ResultWriter out(ws);
  {
    BulkUpdateScope bulk(cx.session);
    int row = ro.row1;
    for (const auto& [name, value] : rows) {
      if (!out.label(row, ro.col1, name) || !out.number(row, ro.col1 + 1, value)) break;
      ++row;
    }
    if (!out.failed() && out.label(row, ro.col1, "Formula:")) {
      std::string formula = "@ERR";
      if (std::isfinite(intercept) && std::isfinite(slope)) {
        formula = intercept == 0 ? std::string() : "+" + general(cx, intercept);
        formula += "+" + general(cx, slope) + "*@X";
      }
      out.entry(row, ro.col1 + 1, formula);
    }
  }
  if (out.failed()) cx.session.ShowError(kCalcErrorMessage);
  return finish(cx, !out.failed());
}

// --- MultiRegress -----------------------------------------------------------------------

namespace {

struct Term {
  int variable;
  int kind;
};

constexpr const char* kTermLabels[kTermKinds] = {"Const", "x",     "x^2",   "x^3", "x^4",
                                                 "x^5",   "\xFBx", "Ln(x)", "e^x"};

// The label with every x numbered: x1, x2^3, Ln(x3).
std::string termLabel(const Term& t) {
  std::string out;
  for (const char* p = kTermLabels[t.kind]; *p; ++p) {
    out += *p;
    if (*p == 'x') out += static_cast<char>('1' + t.variable);
  }
  return out;
}

std::string termFormula(const Term& t, const std::string& var) {
  switch (t.kind) {
    case kTermLinear:
      return var;
    case kTermSquare:
    case kTermCube:
    case kTermFourth:
    case kTermFifth:
      return var + "^" + std::to_string(t.kind);
    case kTermRootAbs:
      return "@SQRT(" + var + ")";
    case kTermLn:
      return "@LN(@ABS(" + var + "))";
    case kTermExp:
      return "@EXP(" + var + ")";
    default:
      return {};
  }
}

// The term's value at x; false where it has none.
bool termValue(const Term& t, double x, double& out) {
  switch (t.kind) {
    case kTermConstant:
      out = 1;
      break;
    case kTermRootAbs:
      out = std::sqrt(std::fabs(x));
      break;
    case kTermLn:
      if (!(x > 0)) {
        out = 1;
        return false;
      }
      out = std::log(x);
      break;
    case kTermExp:
      out = std::exp(x);
      break;
    default:
      out = std::pow(x, t.kind);
      break;
  }
  return std::isfinite(out);
}

// Solves a * s = c by Gaussian elimination with partial pivoting; false
// for a singular system or a result that is not finite.
bool solve(std::vector<std::vector<double>>& a, std::vector<double>& c, std::vector<double>& s) {
  const size_t n = c.size();
  for (size_t i = 0; i < n; ++i) {
    size_t pivot = i;
    for (size_t r = i + 1; r < n; ++r)
      if (std::fabs(a[r][i]) > std::fabs(a[pivot][i])) pivot = r;
    if (a[pivot][i] == 0 || !std::isfinite(a[pivot][i])) return false;
    std::swap(a[i], a[pivot]);
    std::swap(c[i], c[pivot]);
    for (size_t r = i + 1; r < n; ++r) {
      const double factor = a[r][i] / a[i][i];
      for (size_t k = i; k < n; ++k) a[r][k] -= factor * a[i][k];
      c[r] -= factor * c[i];
    }
  }
  s.assign(n, 0);
  for (size_t i = n; i-- > 0;) {
    double sum = c[i];
    for (size_t k = i + 1; k < n; ++k) sum -= a[i][k] * s[k];
    if (a[i][i] == 0) return false;
    s[i] = sum / a[i][i];
    if (!std::isfinite(s[i])) return false;
  }
  return true;
}

}  // namespace

CommandResult MultiRegress(CommandContext& cx, const CellRange& x, const CellRange& y,
                           const CellRange& output, const std::array<uint8_t, 9>& termMasks) {
  if (!cx.ws || !x.valid() || !y.valid() || !output.valid()) return refuse(cx);
  Worksheet& ws = *cx.ws;
  const CellRange rx = x.ordered(), ry = y.ordered(), ro = output.ordered();
  ws.settings.regressionRanges = {rx, ry};
  for (size_t k = 0; k < termMasks.size(); ++k)
    ws.settings.regressionVariables[k] = termMasks[k] & 7;
  TakeUndoSnapshot(ws);

  const int variables = std::min(3, rx.col2 - rx.col1 + 1);
  std::vector<Term> terms;
  bool constant = false;
  for (int v = 0; v < variables; ++v)
    for (int k = 0; k < kTermKinds; ++k) {
      if (!((termMasks[k] >> v) & 1)) continue;
      if (k == kTermConstant) {
        if (constant) continue;
        constant = true;
      }
      terms.push_back({v, k});
    }
  const size_t count = terms.size();
  const int rows = std::min(rx.row2 - rx.row1, ry.row2 - ry.row1) + 1;

  // Every row's term values, then the normal equations.
  bool error = count == 0;
  std::vector<std::vector<double>> f(static_cast<size_t>(rows), std::vector<double>(count));
  std::vector<double> ys(static_cast<size_t>(rows));
  for (int i = 0; i < rows && !error; ++i) {
    const int row = rx.row1 + i;
    if (holdsErr(ws, ry.row1 + i, ry.col1)) error = true;
    ys[i] = ws.CellNumber(ws.FindCell(ry.row1 + i, ry.col1));
    for (size_t t = 0; t < count && !error; ++t) {
      const int col = rx.col1 + terms[t].variable;
      if (holdsErr(ws, row, col) ||
          !termValue(terms[t], ws.CellNumber(ws.FindCell(row, col)), f[i][t]))
        error = true;
    }
  }
  std::vector<std::vector<double>> a(count, std::vector<double>(count, 0));
  std::vector<double> c(count, 0), coefficient;
  if (!error) {
    for (int i = 0; i < rows; ++i)
      for (size_t s = 0; s < count; ++s) {
        for (size_t t = 0; t < count; ++t) a[s][t] += f[i][s] * f[i][t];
        c[s] += f[i][s] * ys[i];
      }
    error = !solve(a, c, coefficient);
  }
  if (error) {
    cx.session.ShowError(kCannotRegressMessage);
    return finish(cx, false);
  }

  // The fitted formula, its variables as @X or the first row's cells.
  const bool oneColumn = rx.col1 == rx.col2;
  std::string formula;
  for (size_t t = 0; t < count; ++t) {
    std::string number = general(cx, coefficient[t]);
    // A zero needs its sign too, or it would run into the term before.
    if (number.empty() || number[0] != '-') number.insert(0, 1, '+');
    formula += number;
    if (terms[t].kind != kTermConstant) {
      std::string var = oneColumn ? std::string("@X")
                                  : AddressText(rx.row1, rx.col1 + terms[t].variable, false, false,
                                                ws.settings.sheetRows);
      formula += "*" + termFormula(terms[t], var);
    }
  }
  // The cell's limit, with the label prefix where the text goes in as a label.
  const bool tooLarge = formula.size() + (oneColumn ? 0 : 1) > static_cast<size_t>(kMaxText);

  double fitted = 0, meanY = 0, ssTot = 0, ssRes = 0;
  for (int i = 0; i < rows; ++i) meanY += ys[i];
  meanY /= rows;
  for (int i = 0; i < rows; ++i) {
    double fit = 0;
    for (size_t t = 0; t < count; ++t) fit += coefficient[t] * f[i][t];
    if (i == 0) fitted = fit;
    ssTot += (ys[i] - meanY) * (ys[i] - meanY);
    ssRes += (fit - ys[i]) * (fit - ys[i]);
  }
  const double r2 = ssTot > 0 ? 1 - ssRes / ssTot : kUndefined;

  ResultWriter out(ws);
  {
    BulkUpdateScope bulk(cx.session);
    int row = ro.row1;
    for (size_t t = 0; t < count; ++t, ++row)
      if (!out.label(row, ro.col1, termLabel(terms[t])) ||
          !out.number(row, ro.col1 + 1, coefficient[t]))
        break;
    // The formula is evaluated at the first row's x.
    cx.session.evaluator().integrationX = ws.CellNumber(ws.FindCell(rx.row1, rx.col1));
    if (out.label(row, ro.col1, "Formula:")) {
      if (tooLarge)
        out.label(row, ro.col1 + 1, kFormulaTooLargeText);
      else if (oneColumn)
        out.entry(row, ro.col1 + 1, formula);
      else
        out.label(row, ro.col1 + 1, formula);
    }
    ++row;
    if (out.label(row, ro.col1, "Result:")) out.number(row, ro.col1 + 1, fitted);
    ++row;
    if (out.label(row, ro.col1, "R^2")) out.number(row, ro.col1 + 1, r2);
  }
  if (out.failed()) cx.session.ShowError(kCalcErrorMessage);
  return finish(cx, !out.failed());
}

// --- GoalSeek ---------------------------------------------------------------------------

CommandResult GoalSeek(CommandContext& cx, const CellRange& input, const CellRange& output,
                       double desired, double tolerance) {
  if (!cx.ws || !input.valid() || !output.valid()) return refuse(cx);
  Worksheet& ws = *cx.ws;
  const CellRange ri = input.ordered(), ro = output.ordered();
  const int inRow = ri.row1, inCol = ri.col1;
  TakeUndoSnapshot(ws);
  Host& host = cx.host();
  host.showMode(Mode::Wait);

  CellHandle in = ws.FindCell(inRow, inCol);
  if (in == kNoCell) in = ws.GetOrCreateCell(inRow, inCol);
  if (ws.FindCell(ro.row1, ro.col1) == kNoCell) ws.GetOrCreateCell(ro.row1, ro.col1);
  if (in == kNoCell || ws.FindCell(ro.row1, ro.col1) == kNoCell) {
    cx.session.showPendingError();
    return finish(cx, false);
  }

  double x = ws.CellNumber(in);
  bool success = false, wrote = true;
  {
    BulkUpdateScope live(cx.session, false);
    auto result = [&](double& y) {
      if (holdsErr(ws, ro.row1, ro.col1)) return false;
      y = ws.CellNumber(ws.FindCell(ro.row1, ro.col1));
      return true;
    };
    for (int pass = 0; pass < kGoalSeekPasses; ++pass) {
      const double near = 0.99 * x;
      double yNear = 0, y = 0;
      if (!(wrote = EnterNumber(ws, inRow, inCol, near))) break;
      const bool nearOk = result(yNear);
      if (!(wrote = EnterNumber(ws, inRow, inCol, x))) break;
      if (!result(y) || !nearOk) break;  // an ERR result gives no direction
      if (std::fabs(y - desired) < tolerance) {
        success = true;
        break;
      }
      const double slope = x == 0 ? 1 : (y - yNear) / (x - near);
      if (slope == 0 || !std::isfinite(slope)) break;
      const double next = x - (y - desired) / slope;
      if (!std::isfinite(next)) break;
      x = next;
    }
    // The last estimate stays in the formula, and the cell shows ERR.
    if (wrote && !success) {
      ResultWriter out(ws);
      out.entry(inRow, inCol, general(cx, x) + "+@ERR");
      wrote = !out.failed();
    }
  }
  host.beep();
  return finish(cx, wrote);
}

// --- Macro keywords ---------------------------------------------------------------------

TermMasks ParseTermItems(std::string_view text) {
  constexpr std::string_view variables = "ABC", kinds = "012345678";
  TermMasks masks{};
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view item = text.substr(start, end - start);
    start = end + 1;
    if (item.empty()) continue;
    const size_t v = variables.find(item[0]);
    if (v == std::string_view::npos) continue;
    for (char ch : item.substr(1)) {
      const size_t k = kinds.find(ch);
      if (k != std::string_view::npos) masks[k] |= static_cast<uint8_t>(1u << v);
    }
  }
  return masks;
}

namespace {

// The range argument as given; an omitted or unreadable one stays unset,
// and the command beeps.
CellRange givenRange(const Args& a, size_t n) {
  return n < a.size() && a[n].given && a[n].range.valid() ? a[n].range.ordered() : kEmptyRange;
}

}  // namespace

void addAnalysisCommands(CommandTable& t) {
  t.add({"DATABIN",
         {{ArgKind::Range, "BIN: Enter Analysis Range"}, {ArgKind::Range, "Enter Bin Range"}},
         [](CommandContext& cx, const Args& a) {
           return BinCount(cx, givenRange(a, 0), givenRange(a, 1));
         }});
  t.add({"DATAREGRESS",
         {{ArgKind::Range, "REGRESS:Independent Range"},
          {ArgKind::Range, "REGRESS:Dependent Range"},
          {ArgKind::Range, "REGRESS:Output Range"}},
         [](CommandContext& cx, const Args& a) {
           return Regress(cx, givenRange(a, 0), givenRange(a, 1), givenRange(a, 2));
         }});
  t.add({"DATAMULREG",
         {{ArgKind::Range, "MULTIREGRESS:Independent Range"},
          {ArgKind::Range, "MULTIREGRESS:Dependent Range"},
          {ArgKind::Range, "MULTIREGRESS:Output Range"},
          {ArgKind::Text, "Terms (such as A012,B1)"}},
         [](CommandContext& cx, const Args& a) {
           return MultiRegress(cx, givenRange(a, 0), givenRange(a, 1), givenRange(a, 2),
                               ParseTermItems(textArg(a, 3)));
         }});
  // The keyword's numbers come as tolerance, then desired value: the second
  // number read is the goal seek's first number argument.
  t.add({"DATAGOAL",
         {{ArgKind::Range, "GOAL:Input Range"},
          {ArgKind::Range, "GOAL:Output Range"},
          {ArgKind::Number, "Tolerance"},
          {ArgKind::Number, "Desired Value"}},
         [](CommandContext& cx, const Args& a) {
           return GoalSeek(cx, givenRange(a, 0), givenRange(a, 1), numberArg(a, 3),
                           numberArg(a, 2));
         }});
}

}  // namespace tw
