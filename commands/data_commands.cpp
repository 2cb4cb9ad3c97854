#include "commands/data_commands.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "commands/block_commands.h"
#include "core/cell.h"
#include "core/cell_address.h"
#include "core/cell_entry.h"
#include "core/dependencies.h"
#include "core/formula_code.h"
#include "core/host.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

constexpr int kGaugeEvery = 2048;

bool whole(double x) {
  return std::isfinite(x) && x == std::trunc(x) && std::fabs(x) < 9.0e15;
}

}  // namespace

CommandResult FillRange(CommandContext& cx, const CellRange& range, FillType type, bool byRow,
                        double step, double start) {
  Worksheet& ws = *cx.ws;
  if (!range.valid() || !std::isfinite(step) || !std::isfinite(start))
    return CommandResult::failed();
  const CellRange r = range.ordered();
  TakeUndoSnapshot(ws);
  Host& host = cx.host();
  // Whole series are counted exactly while every term stays within a
  // double's exact integers; beyond that the series adds as reals.
  const double cells = (r.row2 - r.row1 + 1.0) * (r.col2 - r.col1 + 1.0);
  const bool integers = type == FillType::Linear && whole(start) && whole(step) &&
                        std::fabs(start) + std::fabs(step) * cells < 9.0e15;
  long long count = 0;
  const long long istart = integers ? static_cast<long long>(start) : 0;
  const long long istep = integers ? static_cast<long long>(step) : 0;
  double v = start;
  bool stopped = false;
  {
    BulkUpdateScope bulk(cx.session);
    const int outer1 = byRow ? r.row1 : r.col1, outer2 = byRow ? r.row2 : r.col2;
    const int inner1 = byRow ? r.col1 : r.row1, inner2 = byRow ? r.col2 : r.row2;
    for (int o = outer1; o <= outer2 && !stopped; ++o)
      for (int i = inner1; i <= inner2; ++i) {
        const int row = byRow ? o : i, col = byRow ? i : o;
        double value = integers ? static_cast<double>(istart + count * istep) : v;
        if (!std::isfinite(value)) {
          cx.session.ShowError(kFillOverflowMessage);
          stopped = true;
          break;
        }
        CellHandle h = ws.FindCell(row, col);
        bool skip = ws.settings.protection && (h == kNoCell || ws.cell(h).isProtected());
        if (!skip && !EnterNumber(ws, row, col, value)) {
          cx.session.ShowError("Out of Memory");
          stopped = true;
          break;
        }
        ++count;
        if (!integers) {
          if (type == FillType::Linear)
            v += step;
          else if (type == FillType::Multiply)
            v *= step;
          else
            v = std::pow(v, step);
        }
        if (count % kGaugeEvery == 0)
          host.showProgress(
              static_cast<int>(count * 100 / ((outer2 - outer1 + 1LL) * (inner2 - inner1 + 1LL))));
      }
  }
  host.showProgress(-1);
  ws.modified = true;
  if (!ws.settings.manualRecalc) RecalcRange(ws, CellRange::of(0, 0, ws.maxRow, ws.maxCol));
  CommandResult out = CommandResult::everything();
  out.ok = !stopped;
  return out;
}

CommandResult SpeedFill(CommandContext& cx, const CellRange& selection) {
  Worksheet& ws = *cx.ws;
  if (!selection.valid()) return CommandResult::failed();
  const CellRange s = selection.ordered();
  CellHandle h = ws.FindCell(s.row1, s.col1);
  const Cell* t = h == kNoCell ? nullptr : &ws.cell(h);
  if (t && t->type() == CellType::Label) {
    std::string text = ws.LabelText(h);
    if (text.size() == 1 &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
      // A column's letter: the labels count on through the columns.
      TakeUndoSnapshot(ws);
      int column = (text[0] & ~0x20) - 'A';
      BulkUpdateScope bulk(cx.session);
      for (int row = s.row1; row <= s.row2; ++row)
        for (int col = s.col1; col <= s.col2 && column < kColumns; ++col, ++column)
          EnterCell(ws, "'" + ColumnLetters(column), row, col);
      cx.session.error().clear();
      ws.modified = true;
      if (!ws.settings.manualRecalc) RecalcRange(ws, s);
      return CommandResult::everything();
    }
  }
  if (t && (isFormula(t) || t->type() == CellType::Label))
    return CopyOrMove(cx, false, CellRange::cell(s.row1, s.col1), s);
  double start = t ? numberValue(*t) : 0;
  bool byRow = s.col2 - s.col1 >= s.row2 - s.row1;
  return FillRange(cx, s, FillType::Linear, byRow, 1, start);
}

namespace {

// A row's key: a number, or a text compared byte by byte (an absent cell is
// the empty text).
struct SortKeyValue {
  bool numeric = false;
  double number = 0;
  std::string text;
};

SortKeyValue keyOf(const Worksheet& ws, int row, int col) {
  SortKeyValue k;
  CellHandle h = ws.FindCell(row, col);
  if (h == kNoCell) return k;
  const Cell& c = ws.cell(h);
  if (isNumber(&c)) {
    k.numeric = true;
    k.number = numberValue(c);
  } else if (c.type() == CellType::Label || c.type() == CellType::StringFormula) {
    k.text = std::string(pstringView(c.content));
  }
  return k;
}

// The run test: both absent, equal numbers, the same label text with its
// prefix, or the same string result.
bool sameKey(const Worksheet& ws, int rowA, int rowB, int col) {
  CellHandle a = ws.FindCell(rowA, col), b = ws.FindCell(rowB, col);
  const Cell* ca = a == kNoCell ? nullptr : &ws.cell(a);
  const Cell* cb = b == kNoCell ? nullptr : &ws.cell(b);
  bool emptyA = !ca || ca->type() == CellType::Blank, emptyB = !cb || cb->type() == CellType::Blank;
  if (emptyA || emptyB) return emptyA && emptyB;
  if (isNumber(ca) && isNumber(cb)) return numberValue(*ca) == numberValue(*cb);
  if (ca->type() == CellType::Label && cb->type() == CellType::Label)
    return pstringView(ca->content) == pstringView(cb->content);
  if (ca->type() == CellType::StringFormula && cb->type() == CellType::StringFormula)
    return ws.LabelText(a) == ws.LabelText(b);
  return false;
}

// Against presorted input: ten exchanges of mirrored entries in runs of a
// fifth of the count.
template <class T>
void scramble(std::vector<T>& v, size_t first, size_t last) {
  size_t count = last - first + 1;
  if (count <= 10) return;
  size_t len = count / 5, s = first;
  for (int t = 0; t < 10 && s <= last; ++t) {
    size_t e = std::min(s + len, last);
    size_t h = (e - s + 1) / 2;
    if (h % 2) --h;
    for (size_t k = 0; k <= h && s + k < e - k; ++k) std::swap(v[s + k], v[e - k]);
    s += h == 0 ? 1 : h;
  }
}

// Quicksort with the interval's last entry as pivot.
template <class T, class Less>
void quicksort(std::vector<T>& v, long lo, long hi, const Less& less) {
  while (lo < hi) {
    const T pivot = v[hi];
    long i = lo;
    for (long j = lo; j < hi; ++j)
      if (less(v[j], pivot)) std::swap(v[i++], v[j]);
    std::swap(v[i], v[hi]);
    // The smaller side by recursion, the larger by the loop: the depth stays small.
    if (i - lo < hi - i) {
      quicksort(v, lo, i - 1, less);
      lo = i + 1;
    } else {
      quicksort(v, i + 1, hi, less);
      hi = i - 1;
    }
  }
}

// Sorts entries [a, b] of order (row numbers) on the key column.
void sortRows(const Worksheet& ws, std::vector<int>& order, size_t a, size_t b, int col,
              bool ascending) {
  struct Entry {
    int row;
    SortKeyValue key;
  };
  std::vector<Entry> numbers, texts;
  for (size_t i = a; i <= b; ++i) {
    Entry e{order[i], keyOf(ws, order[i], col)};
    (e.key.numeric ? numbers : texts).push_back(std::move(e));
  }
  auto byNumber = [](const Entry& x, const Entry& y) { return x.key.number < y.key.number; };
  auto byText = [](const Entry& x, const Entry& y) { return x.key.text < y.key.text; };
  scramble(numbers, 0, numbers.empty() ? 0 : numbers.size() - 1);
  scramble(texts, 0, texts.empty() ? 0 : texts.size() - 1);
  quicksort(numbers, 0, static_cast<long>(numbers.size()) - 1, byNumber);
  quicksort(texts, 0, static_cast<long>(texts.size()) - 1, byText);
  std::vector<int> sorted;
  for (const Entry& e : numbers) sorted.push_back(e.row);
  for (const Entry& e : texts) sorted.push_back(e.row);
  if (!ascending) std::reverse(sorted.begin(), sorted.end());
  std::copy(sorted.begin(), sorted.end(), order.begin() + static_cast<ptrdiff_t>(a));
}

}  // namespace

CommandResult SortRange(CommandContext& cx) {
  Worksheet& ws = *cx.ws;
  WorksheetSettings& s = ws.settings;
  if (!s.ranges[kSortData].valid() || !s.ranges[kSortKey1].valid()) return {};
  const CellRange r = s.ranges[kSortData].ordered();
  std::vector<std::pair<int, bool>> keys;  // column, ascending
  const RememberedRange keyRanges[] = {kSortKey1, kSortKey2, kSortKey3, kSortKey4};
  for (int k = 0; k < 4; ++k) {
    if (!s.ranges[keyRanges[k]].valid()) break;
    keys.push_back({s.ranges[keyRanges[k]].ordered().col1, s.sortOrder[k] != 0});
  }
  for (const auto& key : keys)
    if (key.first < r.col1 || key.first > r.col2) {
      cx.session.ShowError(kSortKeyOutsideMessage);
      return CommandResult::failed();
    }
  const int n = r.row2 - r.row1 + 1;
  if (n < 2) return {};
  TakeUndoSnapshot(ws);

  // The work arrays: the new order of the rows and each row's cells inside
  // the range's columns, which move as one unit. Nothing has changed yet
  // when they cannot be had.
  std::vector<int> order;
  std::vector<std::vector<CellHandle>> units;
  try {
    order.resize(static_cast<size_t>(n));
    units.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      order[static_cast<size_t>(i)] = r.row1 + i;
      ws.ForEachCell(CellRange::of(r.row1 + i, r.col1, r.row1 + i, r.col2),
                     [&](CellHandle h, Cell&) {
                       units[static_cast<size_t>(i)].push_back(h);
                       return true;
                     });
    }
  } catch (const std::bad_alloc&) {
    cx.session.ShowError(kSortMemoryMessage);
    return CommandResult::failed();
  }

  try {
    sortRows(ws, order, 0, order.size() - 1, keys[0].first, keys[0].second);
    for (size_t k = 1; k < keys.size(); ++k) {
      for (size_t a = 0; a < order.size();) {
        size_t b = a;
        auto equalSoFar = [&](size_t x) {
          for (size_t p = 0; p < k; ++p)
            if (!sameKey(ws, order[a], order[x], keys[p].first)) return false;
          return true;
        };
        while (b + 1 < order.size() && equalSoFar(b + 1)) ++b;
        if (b > a) sortRows(ws, order, a, b, keys[k].first, keys[k].second);
        a = b + 1;
      }
    }
  } catch (const std::exception&) {
    cx.session.ShowError(kSortErrorMessage);
    return CommandResult::failed();
  }

  // Formulas outside the range that refer into it hold positions while the
  // rows move, and are bound again at the same positions after.
  std::vector<CellHandle> outside;
  ws.ForEachCell(r, [&](CellHandle h, Cell&) {
    for (CellHandle f : DependentsOf(ws, h)) {
      const Cell& fc = ws.cell(f);
      if (!r.contains(fc.row, fc.column)) outside.push_back(f);
    }
    return true;
  });
  std::sort(outside.begin(), outside.end());
  outside.erase(std::unique(outside.begin(), outside.end()), outside.end());
  for (CellHandle f : outside) {
    UnregisterDependencies(ws, f);
    Cell& fc = ws.cell(f);
    ConvertReferences(ws, fc.content, fc.row, fc.column, ReferenceForm::File);
  }
  cx.session.error().clear();

  for (auto& unit : units)
    for (CellHandle h : unit) ws.UnlinkFromRow(h);
  for (int i = 0; i < n; ++i) {
    const auto& unit = units[static_cast<size_t>(order[static_cast<size_t>(i)] - r.row1)];
    for (CellHandle h : unit) ws.LinkCellAt(h, r.row1 + i, ws.cell(h).column);
  }

  for (CellHandle f : outside) {
    Cell& fc = ws.cell(f);
    ConvertReferences(ws, fc.content, fc.row, fc.column, ReferenceForm::Memory);
    cx.session.error().clear();
    RegisterDependencies(ws, f);
  }
  cx.session.error().clear();
  ws.modified = true;
  if (!s.manualRecalc) RecalcAll(ws);
  return CommandResult::everything();
}

CommandResult SortSelection(CommandContext& cx, const CellRange& selection, bool ascending) {
  Worksheet& ws = *cx.ws;
  if (!selection.valid()) return CommandResult::failed();
  ws.settings.ranges[kSortData] = selection.ordered();
  ws.settings.ranges[kSortKey1] = selection.ordered();
  uint8_t kept = ws.settings.sortOrder[0];
  ws.settings.sortOrder[0] = ascending ? 1 : 0;
  CommandResult out = SortRange(cx);
  ws.settings.sortOrder[0] = kept;
  return out;
}

void addDataCommands(CommandTable& t) {
  t.add({"DATAFILL",
         {{ArgKind::Range, "FILL: Output Range"},
          {ArgKind::Number, "Start"},
          {ArgKind::Number, "Step"},
          {ArgKind::Integer, "Kind (1 add, 2 multiply, 3 power)", true},
          {ArgKind::Integer, "By row (1)", true}},
         [](CommandContext& cx, const Args& a) {
           int kind = static_cast<int>(numberArg(a, 3));
           FillType type = kind == 2   ? FillType::Multiply
                           : kind == 3 ? FillType::Power
                                       : FillType::Linear;
           bool byRow = static_cast<int>(numberArg(a, 4)) == 1;
           return FillRange(cx, rangeArg(cx, a, 0, ArgKind::Range), type, byRow, numberArg(a, 2),
                            numberArg(a, 1));
         }});
  // The data range, then up to four keys with their order flags (1 ascending);
  // a key not given ends the list.
  t.add({"DATASORT",
         {{ArgKind::Range, "SORT:Data Range"},
          {ArgKind::Range, "SORT:Prime Range"},
          {ArgKind::Integer, "Order 1 (1 ascending)", true},
          {ArgKind::Range, "SORT:Second Range", true},
          {ArgKind::Integer, "Order 2", true},
          {ArgKind::Range, "", true},
          {ArgKind::Integer, "Order 3", true},
          {ArgKind::Range, "", true},
          {ArgKind::Integer, "Order 4", true}},
         [](CommandContext& cx, const Args& a) {
           WorksheetSettings& s = cx.ws->settings;
           s.ranges[kSortData] = rangeArg(cx, a, 0, ArgKind::Range).ordered();
           const RememberedRange keys[] = {kSortKey1, kSortKey2, kSortKey3, kSortKey4};
           bool ended = false;
           for (int k = 0; k < 4; ++k) {
             size_t at = 1 + 2 * static_cast<size_t>(k);
             bool given = a.size() > at && a[at].given && a[at].range.valid();
             ended = ended || !given;
             s.ranges[keys[k]] = ended ? kEmptyRange : a[at].range.ordered();
             if (!ended) s.sortOrder[k] = static_cast<int>(numberArg(a, at + 1)) == 1 ? 1 : 0;
           }
           cx.ws->modified = true;
           return SortRange(cx);
         }});
  for (bool ascending : {true, false})
    t.add({ascending ? "SORTASCEND" : "SORTDESCEND",
           {{ArgKind::Range, "SORT:Data Range", true}},
           [ascending](CommandContext& cx, const Args& a) {
             return SortSelection(cx, rangeArg(cx, a, 0, ArgKind::Range), ascending);
           }});
  t.add({"SPEEDFILL",
         {{ArgKind::Range, "FILL: Output Range", true}},
         [](CommandContext& cx, const Args& a) {
           return SpeedFill(cx, rangeArg(cx, a, 0, ArgKind::Range));
         }});
}

}  // namespace tw
