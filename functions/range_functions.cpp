#include "functions/range_functions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell_address.h"
#include "core/cell_entry.h"
#include "core/char_case.h"
#include "core/compiler.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/formula_code.h"
#include "core/numeric_rules.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/range_args.h"

namespace tw {

namespace {

constexpr int kMaxMatrixColumns = 60;
constexpr int kMaxDeterminantRows = 20;
constexpr double kRankZero = 1e-7;
constexpr int kRecurLimit = 20;
// Nested calls that one outermost call of a user-defined function may make,
// so that a function calling itself twice fails in a fraction of a second.
constexpr long kUserCallBudget = 100000;

// --- Results ------------------------------------------------------------------
// The handlers decide the result's error themselves: the first argument's
// slot may carry the error of a cell that the function does not look at.

void give(Evaluator& ev, EvalState& st, double x, bool error = false) {
  ev.setResult(st, x);
  Slot& s = st.top();
  s.error = false;
  s.sourceCell = kNoCell;
  if (error) st.error = true;
}

void giveText(Evaluator& ev, EvalState& st, std::string_view text) {
  ev.setResultString(st, text);
  Slot& s = st.top();
  s.error = false;
  s.sourceCell = kNoCell;
}

void fail(Evaluator& ev, EvalState& st) {
  give(ev, st, -1, true);
}

// A label's text without its prefix, or a string formula's result.
std::string_view cellText(const Cell& c) {
  switch (c.type()) {
    case CellType::StringFormula:
      return pstringView(c.value.text);
    case CellType::Label: {
      std::string_view t = pstringView(c.content);
      return t.empty() ? t : t.substr(1);
    }
    default:
      return {};
  }
}

// The value of a cell as INDEX and VTABLE return it.
void giveCell(Evaluator& ev, EvalState& st, Worksheet& ws, CellHandle h) {
  if (h == kNoCell) return give(ev, st, 0);
  const Cell& c = ws.cell(h);
  if (c.isErr()) return fail(ev, st);
  double x = 0;
  switch (c.type()) {
    case CellType::StringFormula:
    case CellType::Label:
      return giveText(ev, st, std::string(cellText(c)));
    default:
      numericValue(c, x);
      return give(ev, st, x);
  }
}

// A cell's number for the functions that read empties and text as 0;
// false when the cell holds ERR.
bool numberAt(Worksheet& ws, int row, int col, double& x) {
  x = 0;
  CellHandle h = cellAt(ws, row, col);
  return h == kNoCell || numericValue(ws.cell(h), x) != CellNumeric::Error;
}

// --- List aggregates ------------------------------------------------------------

enum class Aggregate { Sum, Avg, Count, Min, Max, Var, Std, VarU, StdU };

// Feeds every value of the list, last element first: a range gives its
// numeric cells, any other element its value as it is. False when a range
// cannot be read or holds ERR.
template <class F>
bool forEachListValue(Evaluator& ev, EvalState& st, F&& add) {
  bool ok = true;
  int base = st.sp - st.argCount;
  for (int i = st.argCount; i >= 1; --i) {
    const Slot& s = st.slots[base + i];
    if (s.rangeAt == 0) {
      add(s.number);
      continue;
    }
    RangeRef rr;
    if (!rangeOfSlot(ev, st, base + i, rr)) {
      ok = false;
      continue;
    }
    forEachStoredCell(*rr.ws, rr.r, [&](CellHandle, const Cell& c) {
      CellClass k = classify(c);
      if (k == CellClass::NumberFormula || k == CellClass::Real)
        add(c.value.number);
      else if (k == CellClass::Integer)
        add(static_cast<double>(c.value.integer));
      else if (k == CellClass::Error)
        ok = false;
      return true;
    });
  }
  return ok;
}

// The result of an aggregate from the accumulator of this evaluation level;
// `second` runs the second pass of the variance functions over the same values.
template <class Second>
void giveAggregate(Evaluator& ev, EvalState& st, Aggregate kind, bool ok, Second&& second) {
  Accumulator& acc = st.acc;
  bool none = acc.count == 0;
  switch (kind) {
    case Aggregate::Sum:
      return give(ev, st, none ? 0 : acc.sum, !ok);
    case Aggregate::Count:
      return give(ev, st, acc.count, !ok);
    case Aggregate::Min:
      return give(ev, st, none ? 0 : acc.minimum, !ok);
    case Aggregate::Max:
      return give(ev, st, none ? 0 : acc.maximum, !ok);
    case Aggregate::Avg:
      if (none) return fail(ev, st);
      return give(ev, st, acc.sum / acc.count, !ok);
    default:
      break;
  }
  bool unbiased = kind == Aggregate::VarU || kind == Aggregate::StdU;
  double n = acc.count;
  double divisor = unbiased ? n - 1 : n;
  if (none || divisor == 0 || !ok) return fail(ev, st);
  double mean = acc.sum / n;
  double squares = 0;
  second([&](double x) { squares += (x - mean) * (x - mean); });
  acc.mean = mean;
  acc.squares = squares;
  double v = squares / divisor;
  give(ev, st, kind == Aggregate::Std || kind == Aggregate::StdU ? std::sqrt(v) : v);
}

void listAggregate(Evaluator& ev, EvalState& st, Aggregate kind) {
  // Summed in a local so that the walk keeps it in registers.
  Accumulator acc;
  bool ok = forEachListValue(ev, st, [&](double x) { acc.add(x); });
  st.acc = acc;
  giveAggregate(ev, st, kind, ok, [&](auto&& add) { forEachListValue(ev, st, add); });
}

template <Aggregate K>
void fnList(Evaluator& ev, EvalState& st) {
  listAggregate(ev, st, K);
}

// --- Database functions -----------------------------------------------------------

// The criterion of the database function being dispatched: the code of its
// first argument, or the formula its string constant holds.
bool criterionCode(EvalState& st, FormulaCode& out) {
  std::vector<size_t> starts;
  if (!argumentStarts(*st.ws, st.code, st.pc - 1, 3, starts)) return false;
  const Slot& first = st.slots[st.sp - st.argCount + 1];
  if (st.code[starts[0]] == op::kString && first.type == SlotType::String) {
    std::string text(st.text(first));
    if (CompileFormula(*st.ws, text, out)) return true;
    st.ws->session().error().clear();
    return false;
  }
  size_t length = starts[1] - starts[0];
  if (length + 3 > kMaxCode) return false;
  out.bytes[0] = static_cast<uint8_t>(length + 2);
  out.bytes[1] = 0;
  std::memcpy(out.bytes + 2, st.code + starts[0], length);
  out.bytes[length + 2] = op::kEnd;
  return true;
}

void databaseAggregate(Evaluator& ev, EvalState& st, Aggregate kind) {
  // The criterion argument's own value (X outside a record) is not used.
  const Slot& offsetSlot = ev.argument(st, 3);
  int offset = integerRule(offsetSlot.number);
  RangeRef rr;
  FormulaCode criterion;
  if (offsetSlot.error || !rangeArgument(ev, st, 2, rr) || !criterionCode(st, criterion))
    return fail(ev, st);
  ++st.queryCount;
  bool keep = kind == Aggregate::Var || kind == Aggregate::Std;
  std::vector<double> matched;
  Worksheet& data = *rr.ws;
  NestedOptions options;
  options.inQuery = true;
  bool ok = true;
  st.acc.reset();
  forEachStoredCell(data, rr.r, [&](CellHandle, const Cell& c) {
    // Compiling a formula makes blank cells for what it names; they are not records.
    if (c.type() == CellType::Blank) return true;
    int row = c.row;
    int col = c.column + offset;
    double x = 0;
    numericValue(c, x);
    options.queryX = x;
    EvalResult r = ev.EvaluateCode(*st.ws, criterion.bytes, kNoCell, &options);
    if (r.error || (!r.isString && r.number != 0 && !validColumn(col))) {
      ok = false;
      return false;
    }
    if (r.isString || r.number == 0) return true;
    double v = 0;
    CellHandle target = cellAt(data, row, col);
    if (target != kNoCell && numericValue(data.cell(target), v) == CellNumeric::Error) {
      ok = false;
      return false;
    }
    st.acc.add(v);
    if (keep) matched.push_back(v);
    return true;
  });
  giveAggregate(ev, st, kind, ok, [&](auto&& add) {
    for (double v : matched) add(v);
  });
}

template <Aggregate K>
void fnDatabase(Evaluator& ev, EvalState& st) {
  databaseAggregate(ev, st, K);
}

// --- Table lookup --------------------------------------------------------------------

// VTABLE, HTABLE, VTERP, HTERP (x, range, offset). The scan along the key
// line stops at the first usable key above x or after the position one past
// the range; the match is the last usable key before that.
void tableLookup(Evaluator& ev, EvalState& st, bool vertical, bool interpolate) {
  const Slot& keySlot = ev.argument(st, 1);
  const Slot& offsetSlot = ev.argument(st, 3);
  RangeRef rr;
  bool byText = keySlot.type == SlotType::String;
  if (keySlot.error || offsetSlot.error || (interpolate && byText) || !rangeArgument(ev, st, 2, rr))
    return fail(ev, st);
  std::string key(st.text(keySlot));
  double x = keySlot.number;
  int offset = integerRule(offsetSlot.number);
  Worksheet& ws = *rr.ws;
  const CellRange& r = rr.r;
  if (offset > (vertical ? r.col2 - r.col1 : r.row2 - r.row1)) return fail(ev, st);

  int pastEnd = (vertical ? r.row2 : r.col2) + 1;
  int matched = -1;
  int stop = pastEnd;
  double k1 = 0, k2 = 0;
  CellPool& pool = ws.pool();
  int lastRow = std::min(pastEnd, kRows - 1);
  int keyRow = r.row1;
  CellHandle nextInRow = vertical ? kNoCell : firstCellFrom(ws, r.row1, r.col1);
  for (;;) {
    // The next key cell along the key column or row, and its position.
    const Cell* c;
    int p;
    if (vertical) {
      if (keyRow > lastRow) break;
      p = keyRow++;
      CellHandle h = ws.FindCellAtOrAfter(p, r.col1);
      if (h == kNoCell || pool[h].column != r.col1) continue;
      c = &pool[h];
    } else {
      if (nextInRow == kNoCell) break;
      c = &pool[nextInRow];
      nextInRow = c->next;
      p = c->column;
      if (p > pastEnd) break;
    }
    double k = 0;
    CellNumeric n = numericValue(*c, k);
    if (n == CellNumeric::Error) return fail(ev, st);
    if (!byText && n != CellNumeric::Value) continue;
    bool above = byText ? cellText(*c) > std::string_view(key) : k > x;
    if (above || p == pastEnd) {
      stop = p;
      k2 = k;
      break;
    }
    matched = p;
    k1 = k;
  }
  if (matched < 0) return fail(ev, st);
  // Vertically the row just above the stop is taken, horizontally the key's column.
  int line = vertical ? stop - 1 : matched;
  int row = vertical ? line : r.row1 + offset;
  int col = vertical ? r.col1 + offset : line;
  if (!validAddress(row, col)) return fail(ev, st);
  CellHandle result = cellAt(ws, row, col);
  if (!interpolate) return giveCell(ev, st, ws, result);

  double w1 = 0, w2 = 0;
  if (!numberAt(ws, row, col, w1)) return fail(ev, st);
  int nextRow = vertical ? row + 1 : row;
  int nextCol = vertical ? col : col + 1;
  if (cellAt(ws, nextRow, nextCol) == kNoCell) {
    if (x == k1) return give(ev, st, w1);
    return fail(ev, st);
  }
  if (!numberAt(ws, nextRow, nextCol, w2) || k2 == k1) return fail(ev, st);
  give(ev, st, w1 + (x - k1) / (k2 - k1) * (w2 - w1));
}

template <bool Vertical, bool Interpolate>
void fnTable(Evaluator& ev, EvalState& st) {
  tableLookup(ev, st, Vertical, Interpolate);
}

// XYTERP(range, x, y): the bracket of t along the keys from `first` to
// `last`: the first key at least t, or the one before it when t is below.
// `edge` is set when t is exactly the last key, which needs no step beyond.
struct Bracket {
  int at = 0;
  bool edge = false;
  double key = 0;
  double step = 0;
};

bool bracket(Worksheet& ws, const CellRange& r, bool alongRow, double t, Bracket& out) {
  int first = alongRow ? r.col1 + 1 : r.row1 + 1;
  int last = alongRow ? r.col2 : r.row2;
  auto keyAt = [&](int p, double& k) {
    return alongRow ? numberAt(ws, r.row1, p, k) : numberAt(ws, p, r.col1, k);
  };
  int stop = -1;
  double k = 0;
  for (int p = first; p <= last; ++p) {
    if (!keyAt(p, k)) return false;
    if (k >= t) {
      stop = p;
      break;
    }
  }
  if (stop < 0) return false;
  out.at = t < k ? stop - 1 : stop;
  if (out.at < first || !keyAt(out.at, out.key)) return false;
  if (out.at + 1 > last) {
    out.edge = true;
    return t == out.key;
  }
  double next = 0;
  if (!keyAt(out.at + 1, next)) return false;
  out.step = next - out.key;
  return out.step > 0;
}

void fnXYTERP(Evaluator& ev, EvalState& st) {
  const Slot& xs = ev.argument(st, 2);
  const Slot& ys = ev.argument(st, 3);
  double x = xs.number, y = ys.number;
  RangeRef rr;
  if (xs.error || ys.error || !rangeArgument(ev, st, 1, rr)) return fail(ev, st);
  Worksheet& ws = *rr.ws;
  Bracket bx, by;
  if (!bracket(ws, rr.r, true, x, bx) || !bracket(ws, rr.r, false, y, by)) return fail(ev, st);
  double dx = bx.edge ? 0 : (x - bx.key) / bx.step;
  bool ok = true;
  auto value = [&](int row, int col) {
    double v = 0;
    if (!numberAt(ws, row, col, v)) ok = false;
    return v;
  };
  auto along = [&](int row) {
    double left = value(row, bx.at);
    return bx.edge ? left : left + dx * (value(row, bx.at + 1) - left);
  };
  double m = along(by.at);
  double result = by.edge ? m : m + (y - by.key) * (along(by.at + 1) - m) / by.step;
  if (!ok) return fail(ev, st);
  give(ev, st, result);
}

// --- Cell inspection ----------------------------------------------------------------

void fnINDEX(Evaluator& ev, EvalState& st) {
  const Slot& colSlot = ev.argument(st, 2);
  const Slot& rowSlot = ev.argument(st, 3);
  RangeRef rr;
  if (colSlot.error || rowSlot.error || !rangeArgument(ev, st, 1, rr)) return fail(ev, st);
  int col = rr.r.col1 + integerRule(colSlot.number) - 1;
  int row = rr.r.row1 + integerRule(rowSlot.number) - 1;
  if (!validAddress(row, col)) return fail(ev, st);
  giveCell(ev, st, *rr.ws, cellAt(*rr.ws, row, col));
}

template <bool Columns>
void fnExtent(Evaluator& ev, EvalState& st) {
  RangeRef rr;
  if (!rangeArgument(ev, st, 1, rr)) return fail(ev, st);
  give(ev, st, Columns ? rr.columns() : rr.rows());
}

void fnS(Evaluator& ev, EvalState& st) {
  RangeRef rr;
  if (!rangeArgument(ev, st, 1, rr)) return fail(ev, st);
  CellHandle h = cellAt(*rr.ws, rr.r.row1, rr.r.col1);
  const Cell* c = rr.ws->cellPtr(h);
  if (c && c->isErr()) return fail(ev, st);
  giveText(ev, st, c && isText(c) ? std::string(cellText(*c)) : std::string());
}

void fnN(Evaluator& ev, EvalState& st) {
  RangeRef rr;
  double x = 0;
  if (!rangeArgument(ev, st, 1, rr) || !numberAt(*rr.ws, rr.r.row1, rr.r.col1, x))
    return fail(ev, st);
  give(ev, st, x);
}

void fnCOUNTA(Evaluator& ev, EvalState& st) {
  RangeRef rr;
  if (!rangeArgument(ev, st, 1, rr)) return fail(ev, st);
  double count = 0;
  forEachStoredCell(*rr.ws, rr.r, [&](CellHandle, const Cell& c) {
    if ((c.kind & kKindTypeMask) < 5) ++count;
    return true;
  });
  give(ev, st, count);
}

// The attribute's first three letters found among the eight names; 0 when none.
int attributeIndex(std::string_view attribute) {
  static constexpr std::string_view kNames = "ADDROWCOLCONTYPPREWIDFOR";
  if (attribute.empty()) return 0;
  std::string key = upperCased(attribute.substr(0, 3));
  size_t p = kNames.find(key);
  return p == std::string_view::npos ? 0 : static_cast<int>((p + 1 + 2) / 3);
}

// A blank cell with nothing of its own exists only because a formula names it.
bool placeholder(const Worksheet& ws, const Cell& c) {
  const Cell& t = ws.templateCell;
  return c.type() == CellType::Blank && c.format == t.format && c.font == t.font &&
         c.size == t.size && c.style == t.style && c.borders == t.borders && c.colour == t.colour;
}

void inspectCell(Evaluator& ev, EvalState& st, Worksheet& ws, int row, int col, int attribute) {
  CellHandle h = cellAt(ws, row, col);
  switch (attribute) {
    case 1:
      return giveText(ev, st, ws.addressText(row, col));
    case 2:
      return give(ev, st, row + 1);
    case 3:
      return give(ev, st, col + 1);
    case 4:
      return giveText(ev, st, CellInputText(ws, h));
    case 5:
      return give(ev, st, h == kNoCell || placeholder(ws, ws.cell(h)) ? 6 : typeCode(&ws.cell(h)));
    case 6:
      return giveText(ev, st, CellInputText(ws, h).substr(0, 1));
    case 7:
      return give(ev, st, ws.columnPixels(col));
    case 8:
      // The cell's own format byte: one that defers to the worksheet's
      // format has no text.
      return giveText(ev, st,
                      FormatCode((h ? ws.cell(h) : ws.templateCell).format & kFormatMask, false));
    default:
      return fail(ev, st);
  }
}

void fnCELL(Evaluator& ev, EvalState& st) {
  const Slot& a = ev.argument(st, 1);
  RangeRef rr;
  if (a.error || a.type != SlotType::String || !rangeArgument(ev, st, 2, rr)) return fail(ev, st);
  inspectCell(ev, st, *rr.ws, rr.r.row1, rr.r.col1, attributeIndex(st.text(a)));
}

void fnCELLPT(Evaluator& ev, EvalState& st) {
  const Slot& a = ev.argument(st, 1);
  if (a.type != SlotType::String) return fail(ev, st);
  Session& session = ev.session();
  Worksheet& ws = session.current() ? *session.current() : *st.ws;
  int row = 0, col = 0;
  if (!session.host().currentCell(row, col)) {
    const PaneLayout& pane = ws.settings.panes[ws.settings.activePane ? 1 : 0];
    row = pane.cursorRow;
    col = pane.cursorColumn;
  }
  if (!validAddress(row, col)) return fail(ev, st);
  inspectCell(ev, st, ws, row, col, attributeIndex(st.text(a)));
}

// ISNUM and ISSTR look at the cell loaded last, not at the argument's value.
template <bool Number>
void fnIsType(Evaluator& ev, EvalState& st) {
  const Cell* c = st.lastSheet ? st.lastSheet->cellPtr(st.lastCell) : nullptr;
  give(ev, st, (Number ? isNumber(c) : isText(c)) ? 1 : 0);
}

void fnAt(Evaluator& ev, EvalState& st) {
  const Slot& a = ev.argument(st, 1);
  if (a.type != SlotType::String) return fail(ev, st);
  std::string text = upperCased(st.text(a));
  ParsedCorner p = parseCorner(text, st.ws->settings.sheetRows);
  if (!p.ok || !validAddress(p.row, p.col)) return fail(ev, st);
  Worksheet& ws = *st.ws;
  CellHandle h = cellAt(ws, p.row, p.col);
  ev.Pop(st);
  // A position without a cell reads as a reference to a blank one does.
  if (h == kNoCell)
    ev.PushString(st, {});
  else
    ev.PushCellValue(st, ws, h);
  st.lastCell = h;
  st.lastSheet = &ws;
}

// --- Range statistics -----------------------------------------------------------------

// The k-th smallest value (1-based) without reordering: a pivot drawn from
// the values inside the bracket splits it, and the side holding rank k is
// kept. Each pass also draws the next pivot for either side.
double kthSmallest(const std::vector<double>& v, size_t k) {
  uint64_t seed = 0x9E3779B97F4A7C15ull;
  auto draw = [&]() {
    seed ^= seed << 13;
    seed ^= seed >> 7;
    seed ^= seed << 17;
    return seed;
  };
  double lo = -std::numeric_limits<double>::infinity();
  double hi = std::numeric_limits<double>::infinity();
  double pivot = v[v.size() / 2];
  for (;;) {
    size_t less = 0, equal = 0, leftSeen = 0, rightSeen = 0;
    double left = pivot, right = pivot;
    for (double x : v) {
      if (x < pivot) {
        ++less;
        if (x > lo && draw() % ++leftSeen == 0) left = x;
      } else if (x == pivot) {
        ++equal;
      } else if (x < hi && draw() % ++rightSeen == 0) {
        right = x;
      }
    }
    if (k <= less) {
      hi = pivot;
      pivot = left;
    } else if (k <= less + equal) {
      return pivot;
    } else {
      lo = pivot;
      pivot = right;
    }
  }
}

double median(const std::vector<double>& v) {
  size_t n = v.size();
  size_t k = (n + 1) / 2;
  double a = kthSmallest(v, k);
  if (n % 2 == 1) return a;
  // The next value up: a again when it repeats, else the least above it.
  size_t atMost = 0;
  double b = std::numeric_limits<double>::infinity();
  for (double x : v) {
    if (x <= a)
      ++atMost;
    else if (x < b)
      b = x;
  }
  if (atMost > k) b = a;
  return 0.5 * a + 0.5 * b;
}

enum class Statistic { Median, AveDev, Skew, Kurt, Cov };

void rangeStatistic(Evaluator& ev, EvalState& st, Statistic kind) {
  RangeRef rr;
  NumberMatrix m;
  if (!rangeArgument(ev, st, 1, rr) || !readMatrix(rr, m)) return fail(ev, st);
  const std::vector<double>& v = m.values;
  if (kind == Statistic::Median) return give(ev, st, median(v));
  double n = static_cast<double>(v.size());
  double sum = 0;
  for (double x : v) sum += x;
  double mean = sum / n;
  double absolute = 0, second = 0, third = 0, fourth = 0;
  for (double x : v) {
    double e = x - mean;
    double e2 = e * e;
    absolute += std::fabs(e);
    second += e2;
    third += e2 * e;
    fourth += e2 * e2;
  }
  if (n <= 1) return fail(ev, st);
  double var = second / (n - 1);
  if (var == 0) return fail(ev, st);
  double s = std::sqrt(std::fabs(var));
  switch (kind) {
    case Statistic::AveDev:
      return give(ev, st, absolute / n);
    case Statistic::Skew:
      return give(ev, st, third / (n * s * s * s));
    case Statistic::Kurt:
      return give(ev, st, fourth / (n * var * var) - 3);
    default:
      if (mean == 0) return fail(ev, st);
      return give(ev, st, s / mean);
  }
}

template <Statistic K>
void fnStatistic(Evaluator& ev, EvalState& st) {
  rangeStatistic(ev, st, K);
}

// --- Matrices -----------------------------------------------------------------------

bool readMatrixArgument(Evaluator& ev, EvalState& st, NumberMatrix& m) {
  RangeRef rr;
  return rangeArgument(ev, st, 1, rr) && rr.columns() <= kMaxMatrixColumns && readMatrix(rr, m);
}

void fnTRACE(Evaluator& ev, EvalState& st) {
  NumberMatrix m;
  if (!readMatrixArgument(ev, st, m)) return fail(ev, st);
  double sum = 0;
  for (int i = 0; i < std::min(m.rows, m.columns); ++i) sum += m.at(i, i);
  give(ev, st, sum, m.rows != m.columns);
}

void fnDET(Evaluator& ev, EvalState& st) {
  NumberMatrix m;
  if (!readMatrixArgument(ev, st, m) || m.rows != m.columns || m.rows > kMaxDeterminantRows)
    return fail(ev, st);
  int n = m.rows;
  std::array<std::array<double, kMaxDeterminantRows>, kMaxDeterminantRows> a{};
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) a[i][j] = m.at(i, j);
  double sign = 1;
  for (int k = 0; k < n; ++k) {
    if (a[k][k] == 0) {
      int swap = k + 1;
      while (swap < n && a[swap][k] == 0) ++swap;
      if (swap == n) return give(ev, st, 0);
      std::swap(a[k], a[swap]);
      sign = -sign;
    }
    for (int i = k + 1; i < n; ++i) {
      double f = a[i][k] / a[k][k];
      for (int j = k; j < n; ++j) a[i][j] -= f * a[k][j];
    }
  }
  double det = sign;
  for (int k = 0; k < n; ++k) det *= a[k][k];
  give(ev, st, det);
}

void fnRANK(Evaluator& ev, EvalState& st) {
  NumberMatrix m;
  if (!readMatrixArgument(ev, st, m)) return fail(ev, st);
  int rows = m.rows, cols = m.columns;
  std::vector<double> a(static_cast<size_t>(rows) * cols);
  auto at = [&](int i, int j) -> double& { return a[size_t(i) * cols + j]; };
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) at(i, j) = m.at(i, j);
  int rank = 0;
  for (int j = 0; j < cols && rank < rows; ++j) {
    int pivot = rank;
    for (int i = rank + 1; i < rows; ++i)
      if (std::fabs(at(i, j)) > std::fabs(at(pivot, j))) pivot = i;
    if (std::fabs(at(pivot, j)) <= kRankZero) continue;
    if (pivot != rank)
      for (int c = 0; c < cols; ++c) std::swap(at(pivot, c), at(rank, c));
    for (int i = rank + 1; i < rows; ++i) {
      double f = at(i, j) / at(rank, j);
      if (f == 0) continue;
      for (int c = j; c < cols; ++c) at(i, c) -= f * at(rank, c);
    }
    ++rank;
  }
  give(ev, st, rank);
}

// Mean over the numeric cells of a range; false when it has none or holds ERR.
bool numericMean(const RangeRef& rr, double& mean) {
  double sum = 0;
  size_t count = 0;
  bool ok = true;
  forEachStoredCell(*rr.ws, rr.r, [&](CellHandle, const Cell& c) {
    double x = 0;
    CellNumeric k = numericValue(c, x);
    if (k == CellNumeric::Value) {
      sum += x;
      ++count;
    }
    if (k == CellNumeric::Error) ok = false;
    return true;
  });
  if (count == 0) return false;
  mean = sum / static_cast<double>(count);
  return ok;
}

template <bool Covariance>
void fnPairs(Evaluator& ev, EvalState& st) {
  RangeRef r1, r2;
  NumberMatrix a, b;
  if (!rangeArgument(ev, st, 1, r1) || !rangeArgument(ev, st, 2, r2) || r1.rows() != r2.rows() ||
      r1.columns() != r2.columns() || !readMatrix(r1, a) || !readMatrix(r2, b))
    return fail(ev, st);
  double ma = 0, mb = 0;
  if (Covariance && (!numericMean(r1, ma) || !numericMean(r2, mb))) return fail(ev, st);
  double sum = 0;
  for (size_t i = 0; i < a.values.size(); ++i) sum += (a.values[i] - ma) * (b.values[i] - mb);
  give(ev, st, Covariance ? sum / static_cast<double>(a.values.size()) : sum);
}

// --- Numerical functions over a formula -----------------------------------------------

// Compiles the formula text of argument 1; false when it is not a string or
// does not compile.
bool formulaArgument(Evaluator& ev, EvalState& st, FormulaCode& code, std::string& text) {
  const Slot& f = ev.argument(st, 1);
  if (f.type != SlotType::String) return false;
  text = std::string(st.text(f));
  if (CompileFormula(*st.ws, text, code)) return true;
  st.ws->session().error().clear();
  return false;
}

// Keeps the integration variable of the caller around a nested use.
class IntegrationScope {
 public:
  explicit IntegrationScope(Evaluator& ev) : ev_(ev), saved_(ev.integrationX) {}
  ~IntegrationScope() { ev_.integrationX = saved_; }
  IntegrationScope(const IntegrationScope&) = delete;
  IntegrationScope& operator=(const IntegrationScope&) = delete;

 private:
  Evaluator& ev_;
  double saved_;
};

// INTG(formula, a, b): Romberg's method on trapezoid sums of 16, 32, 64 and
// 128 intervals. The coarser sums use every 2nd, 4th and 8th point of the
// finest one, whose abscissae are the same doubles.
void fnINTG(Evaluator& ev, EvalState& st) {
  FormulaCode code;
  std::string text;
  if (!formulaArgument(ev, st, code, text)) return fail(ev, st);
  double a = ev.argument(st, 2).number;
  double b = ev.argument(st, 3).number;
  bool usesX = text.find("@x") != std::string::npos || text.find("@X") != std::string::npos;
  constexpr int kFinest = 128;
  std::array<double, kFinest + 1> f{};
  {
    IntegrationScope scope(ev);
    double h = (b - a) / kFinest;
    for (int i = 0; i <= kFinest; ++i) {
      ev.integrationX = usesX ? a + i * h : 0;
      EvalResult r = ev.EvaluateCode(*st.ws, code.bytes);
      if (r.error) return fail(ev, st);
      f[i] = r.isString ? 0 : r.number;
    }
  }
  std::array<double, 4> t{};
  for (int round = 0; round < 4; ++round) {
    int n = 16 << round;
    int stride = kFinest / n;
    double h = (b - a) / n;
    double sum = 0;
    for (int i = 1; i <= n; ++i) sum += (f[(i - 1) * stride] + f[i * stride]) / 2 * h;
    t[round] = sum;
  }
  int left = 4;
  for (double d : {4.0, 16.0, 64.0}) {
    --left;
    for (int j = 0; j < left; ++j) t[j] = (d * t[j + 1] - t[j]) / (d - 1);
  }
  double result = t[0];
  if (!std::isfinite(result)) return fail(ev, st);
  give(ev, st, result);
}

// RECUR(formula, x0, tolerance): fixed-point iteration, at most 20 evaluations.
void fnRECUR(Evaluator& ev, EvalState& st) {
  FormulaCode code;
  std::string text;
  if (!formulaArgument(ev, st, code, text)) return fail(ev, st);
  double previous = ev.argument(st, 2).number;
  double tolerance = ev.argument(st, 3).number;
  IntegrationScope scope(ev);
  double x = previous;
  for (int k = 1; k <= kRecurLimit; ++k) {
    ev.integrationX = previous;
    EvalResult r = ev.EvaluateCode(*st.ws, code.bytes);
    if (r.error) return fail(ev, st);
    x = r.isString ? 0 : r.number;
    if (std::fabs(x - previous) < tolerance) return give(ev, st, x);
    previous = x;
  }
  give(ev, st, x, true);
}

void fnX(Evaluator& ev, EvalState& st) {
  give(ev, st, st.inQuery ? st.queryX : ev.integrationX);
}

// --- User-defined functions -----------------------------------------------------------

void fnA(Evaluator& ev, EvalState& st) {
  int n = integerRule(ev.argument(st, 1).number);
  if (n < 1 || n > UserFunctionTable::kMaxArguments) return give(ev, st, 1, true);
  if (static_cast<size_t>(n) > st.userArgs.size()) return give(ev, st, 0);
  const UserArgument& a = st.userArgs[n - 1];
  if (a.isString) return giveText(ev, st, std::string(a.text));
  give(ev, st, a.number);
}

// Replaces every "@A(n)" of the text by `with`.
void substituteArgument(std::string& text, int n, const std::string& with) {
  std::string number = std::to_string(n) + ")";
  for (size_t p = 0; (p = text.find('@', p)) != std::string::npos;) {
    bool match = p + 3 + number.size() <= text.size() &&
                 (text[p + 1] == 'A' || text[p + 1] == 'a') && text[p + 2] == '(' &&
                 text.compare(p + 3, number.size(), number) == 0;
    if (match) {
      text.replace(p, 3 + number.size(), with);
      p += with.size();
    } else {
      ++p;
    }
  }
}

// The address that stands for an argument read from a cell of this worksheet.
bool sourceAddress(EvalState& st, int index, std::string& address) {
  const Slot& s = st.slots[index];
  if (s.sourceCell == kNoCell) return false;
  size_t pos = s.rangeAt ? s.rangeAt : st.positions[index];
  if (pos <= st.code[0] && st.code[pos] == op::kExternal) return false;
  const Worksheet& ws = *st.ws;
  const Cell& c = ws.cell(s.sourceCell);
  address = ws.FindCell(c.row, c.column) == s.sourceCell ? ws.addressText(c.row, c.column) : "NIL";
  return true;
}

// Counts a user-defined function call as under way for its duration.
class UserCallScope {
 public:
  explicit UserCallScope(Evaluator& ev) : ev_(ev) { ++ev_.userCallDepth; }
  ~UserCallScope() { --ev_.userCallDepth; }
  UserCallScope(const UserCallScope&) = delete;
  UserCallScope& operator=(const UserCallScope&) = delete;

 private:
  Evaluator& ev_;
};

void fnUserFunction(Evaluator& ev, EvalState& st) {
  const UserFunction* f = st.ws->functions.get(st.code[st.pc - 1]);
  if (!f) return fail(ev, st);
  int m = st.argCount;
  std::vector<UserArgument> args(static_cast<size_t>(m));
  std::string text = f->formula;
  for (int n = m; n >= 1; --n) {
    int index = st.sp - m + n;
    const Slot& s = st.slots[index];
    UserArgument& a = args[n - 1];
    a.number = s.number;
    a.isString = s.type == SlotType::String;
    if (a.isString) a.text = std::string(st.text(s));
    // A text argument read from a cell is passed as the cell itself, so that
    // the function can use it where a reference is needed.
    std::string address;
    if (s.type != SlotType::Number && sourceAddress(st, index, address))
      substituteArgument(text, n, address);
  }
  if (ev.userCallDepth == 0) ev.userCallsLeft = kUserCallBudget;
  if (ev.userCallsLeft <= 0) return fail(ev, st);
  --ev.userCallsLeft;
  NestedOptions options;
  options.arguments = &args;
  EvalResult r;
  {
    UserCallScope scope(ev);
    r = ev.EvaluateText(*st.ws, text, &options);
  }
  if (r.isString)
    giveText(ev, st, r.text);
  else
    give(ev, st, r.number);
  if (r.error) st.error = true;
}

}  // namespace

void installRangeFunctions(FunctionTable& t) {
  t.define(0x50, "SUM", cls::kList, fnList<Aggregate::Sum>);
  t.define(0x51, "AVG", cls::kList, fnList<Aggregate::Avg>);
  t.define(0x52, "COUNT", cls::kList, fnList<Aggregate::Count>);
  t.define(0x53, "MIN", cls::kList, fnList<Aggregate::Min>);
  t.define(0x54, "MAX", cls::kList, fnList<Aggregate::Max>);
  t.define(0x57, "VAR", cls::kList, fnList<Aggregate::Var>);
  t.define(0x58, "STD", cls::kList, fnList<Aggregate::Std>);
  t.define(0x95, "VARU", cls::kList, fnList<Aggregate::VarU>);
  t.define(0x96, "STDU", cls::kList, fnList<Aggregate::StdU>);
  t.define(0x5B, "QSUM", cls::kArgs3, fnDatabase<Aggregate::Sum>, ArgumentErrors::Seen);
  t.define(0x5C, "QAVG", cls::kArgs3, fnDatabase<Aggregate::Avg>, ArgumentErrors::Seen);
  t.define(0x5D, "QCOUNT", cls::kArgs3, fnDatabase<Aggregate::Count>, ArgumentErrors::Seen);
  t.define(0x5E, "QMIN", cls::kArgs3, fnDatabase<Aggregate::Min>, ArgumentErrors::Seen);
  t.define(0x5F, "QMAX", cls::kArgs3, fnDatabase<Aggregate::Max>, ArgumentErrors::Seen);
  t.define(0x60, "QVAR", cls::kArgs3, fnDatabase<Aggregate::Var>, ArgumentErrors::Seen);
  t.define(0x61, "QSTD", cls::kArgs3, fnDatabase<Aggregate::Std>, ArgumentErrors::Seen);
  t.define(0x55, "VTABLE", cls::kArgs3, fnTable<true, false>, ArgumentErrors::Seen);
  t.define(0x5A, "HTABLE", cls::kArgs3, fnTable<false, false>, ArgumentErrors::Seen);
  t.define(0x7D, "VTERP", cls::kArgs3, fnTable<true, true>, ArgumentErrors::Seen);
  t.define(0x7C, "HTERP", cls::kArgs3, fnTable<false, true>, ArgumentErrors::Seen);
  t.define(0xB7, "XYTERP", cls::kArgs3, fnXYTERP, ArgumentErrors::Seen);
  t.define(0x62, "INDEX", cls::kArgs3, fnINDEX, ArgumentErrors::Seen);
  t.define(0x63, "COLS", cls::kArgs1, fnExtent<true>, ArgumentErrors::Seen);
  t.define(0x64, "ROWS", cls::kArgs1, fnExtent<false>, ArgumentErrors::Seen);
  t.define(0x6F, "S", cls::kArgs1, fnS, ArgumentErrors::Seen);
  t.define(0x70, "N", cls::kArgs1, fnN, ArgumentErrors::Seen);
  t.define(0x6C, "CELL", cls::kArgs2, fnCELL, ArgumentErrors::Seen);
  t.define(0x4F, "CELLPT", cls::kArgs1, fnCELLPT);
  t.define(0x44, "ISNUM", cls::kArgs1, fnIsType<true>, ArgumentErrors::Seen);
  t.define(0x45, "ISSTR", cls::kArgs1, fnIsType<false>, ArgumentErrors::Seen);
  t.define(0x73, "@", cls::kArgs1, fnAt);
  t.define(0xB5, "COUNTA", cls::kArgs1, fnCOUNTA, ArgumentErrors::Seen);
  t.define(0xA2, "MEDIAN", cls::kArgs1, fnStatistic<Statistic::Median>, ArgumentErrors::Seen);
  t.define(0xAA, "AVEDEV", cls::kArgs1, fnStatistic<Statistic::AveDev>, ArgumentErrors::Seen);
  t.define(0xAB, "SKEW", cls::kArgs1, fnStatistic<Statistic::Skew>, ArgumentErrors::Seen);
  t.define(0xAC, "KURT", cls::kArgs1, fnStatistic<Statistic::Kurt>, ArgumentErrors::Seen);
  t.define(0xAD, "COV", cls::kArgs1, fnStatistic<Statistic::Cov>, ArgumentErrors::Seen);
  t.define(0xA3, "DET", cls::kArgs1, fnDET, ArgumentErrors::Seen);
  t.define(0xA4, "RANK", cls::kArgs1, fnRANK, ArgumentErrors::Seen);
  t.define(0xA5, "TRACE", cls::kArgs1, fnTRACE, ArgumentErrors::Seen);
  t.define(0x8C, "PSUM", cls::kArgs2, fnPairs<false>, ArgumentErrors::Seen);
  t.define(0xBB, "COVAR", cls::kArgs2, fnPairs<true>, ArgumentErrors::Seen);
  t.define(0xB6, "INTG", cls::kArgs3, fnINTG);
  t.define(0xB8, "RECUR", cls::kArgs3, fnRECUR);
  t.define(0x8A, "X", cls::kArgs0, fnX);
  t.define(0xB3, "A", cls::kArgs1, fnA);
  t.define(op::kUserFunction, "", cls::kUserFunction, fnUserFunction);
}

}  // namespace tw
