#include "core/dependencies.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "core/formula_code.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

// Adds formula at the head of target's list. A formula registers all its
// references to a row in one go, so a repeat finds itself at the head:
// registration stays constant-time per link. Links made since `mark` (see
// CellPool::linkMark) are all the formula's own, so with a mark the head's
// index tells a repeat without reading the link.
void addLink(Worksheet& ws, CellHandle target, CellHandle formula, uint32_t mark) {
  Cell& t = ws.cell(target);
  uint32_t head = t.dependents;
  if (head != 0 && (mark ? head >= mark : ws.pool().link(head).cell == formula)) return;
  t.dependents = ws.pool().newLink(formula, head);
}

void removeLink(Worksheet& ws, CellHandle target, CellHandle formula) {
  CellPool& pool = ws.pool();
  uint32_t prev = 0;
  for (uint32_t i = ws.cell(target).dependents; i != 0; i = pool.link(i).next) {
    if (pool.link(i).cell == formula) {
      uint32_t next = pool.link(i).next;
      if (prev)
        pool.link(prev).next = next;
      else
        ws.cell(target).dependents = next;
      pool.freeLink(i);
      return;
    }
    prev = i;
  }
}

// Calls area(range) for each rectangle the formula names, corners in
// order, in the order of its code (a single reference is a range of one
// cell); destroyed references are skipped.
template <class F>
void forEachReferencedArea(Worksheet& ws, const uint8_t* code, F&& area) {
  const FunctionTable& table = ws.session().functionTable();
  auto add = [&](const uint8_t* first, const uint8_t* second) {
    CellHandle a = readWord(first) & kHandleMask;
    CellHandle b = readWord(second) & kHandleMask;
    if (a == kNoCell || b == kNoCell) return;
    const Cell& ca = ws.cell(a);
    const Cell& cb = ws.cell(b);
    area(CellRange::of(std::min(ca.row, cb.row), std::min(ca.column, cb.column),
                       std::max(ca.row, cb.row), std::max(ca.column, cb.column)));
  };
  size_t last = code[0];
  for (size_t pos = 2; pos < last;) {
    uint8_t opcode = code[pos];
    size_t next = WalkCode(table, code, pos, last);
    if (next == 0 || opcode == op::kEnd) return;
    if (opcode == op::kRef)
      add(code + pos + 1, code + pos + 1);
    else if (opcode == op::kRange)
      add(code + pos + 1, code + pos + 5);
    pos = next;
  }
}

// Calls span(row, col1, col2) for each run of cells the formula names:
// single references and every row of every range.
template <class F>
void forEachReferencedSpan(Worksheet& ws, const uint8_t* code, F&& span) {
  forEachReferencedArea(ws, code, [&](const CellRange& r) {
    for (int row = r.row1; row <= r.row2; ++row) span(row, r.col1, r.col2);
  });
}

// Links the formula into the cells col1..col2 of the row, made if missing,
// along the row from one cell to the next, not from the row's head each time.
void linkSpan(Worksheet& ws, CellHandle formula, uint32_t mark, int row, int col1, int col2) {
  CellHandle target = kNoCell;
  for (int col = col1; col <= col2; ++col) {
    target = ws.GetOrCreateCellAfter(target, row, col);
    if (target != kNoCell) addLink(ws, target, formula, mark);
  }
}

void registerLinks(Worksheet& ws, CellHandle formula) {
  const uint8_t* code = ws.cell(formula).content;
  if (!code) return;
  uint32_t mark = ws.pool().linkMark();
  forEachReferencedSpan(
      ws, code, [&](int row, int col1, int col2) { linkSpan(ws, formula, mark, row, col1, col2); });
}

// One rectangle a formula names, in the order of the batch's formulas and
// of their operands.
struct NamedArea {
  int row1, row2;
  uint8_t col1, col2;
  CellHandle formula;
};

// Adds the formula's areas to the batch's; whether one of them is more than
// a row high.
bool collectAreas(Worksheet& ws, CellHandle formula, std::vector<NamedArea>& areas) {
  const uint8_t* code = ws.cell(formula).content;
  if (!code) return false;
  bool tall = false;
  forEachReferencedArea(ws, code, [&](const CellRange& r) {
    areas.push_back(
        {r.row1, r.row2, static_cast<uint8_t>(r.col1), static_cast<uint8_t>(r.col2), formula});
    tall = tall || r.row2 > r.row1;
  });
  return tall;
}

// Links the areas' formulas row by row. In each row the areas are taken in
// their batch order, so every cell's list gets its formulas in the order
// one formula after another would give it, and a formula's own areas on
// the row follow each other (its repeats still find it at the head).
void linkAreas(Worksheet& ws, const std::vector<NamedArea>& areas) {
  const ErrorState& error = ws.session().error();
  // The formula whose areas are being linked, and the pool's mark when it
  // began: its areas follow each other, so every link since is its own.
  CellHandle current = kNoCell;
  uint32_t mark = 0;
  auto linkRow = [&](const NamedArea& a, int row) {
    if (a.formula != current) {
      current = a.formula;
      mark = ws.pool().linkMark();
    }
    linkSpan(ws, a.formula, mark, row, a.col1, a.col2);
  };
  if (std::none_of(areas.begin(), areas.end(),
                   [](const NamedArea& a) { return a.row2 > a.row1; })) {
    // Rows of one: each area's cells are reached as cheaply in the batch's order.
    for (const NamedArea& a : areas) {
      linkRow(a, a.row1);
      if (error.raised) return;
    }
    return;
  }
  std::vector<uint32_t> byTop(areas.size());
  for (uint32_t i = 0; i < byTop.size(); ++i) byTop[i] = i;
  auto higher = [&](uint32_t a, uint32_t b) { return areas[a].row1 < areas[b].row1; };
  if (!std::is_sorted(byTop.begin(), byTop.end(), higher))
    std::stable_sort(byTop.begin(), byTop.end(), higher);
  std::vector<uint32_t> active, merged;
  size_t nextTop = 0;
  for (int row = 0; nextTop < byTop.size() || !active.empty(); ++row) {
    if (active.empty()) row = std::max(row, areas[byTop[nextTop]].row1);
    if (nextTop < byTop.size() && areas[byTop[nextTop]].row1 == row) {
      size_t from = nextTop;
      while (nextTop < byTop.size() && areas[byTop[nextTop]].row1 == row) ++nextTop;
      // The sort was stable: the newcomers are in batch order already.
      auto begin = byTop.begin() + static_cast<long>(from);
      auto end = byTop.begin() + static_cast<long>(nextTop);
      merged.clear();
      std::merge(active.begin(), active.end(), begin, end, std::back_inserter(merged));
      active.swap(merged);
    }
    size_t kept = 0;
    for (uint32_t i : active) {
      const NamedArea& a = areas[i];
      linkRow(a, row);
      if (error.raised) return;
      if (a.row2 > row) active[kept++] = i;
    }
    active.resize(kept);
  }
}

}  // namespace

void RegisterDependencies(Worksheet& ws, CellHandle formula) {
  if (ws.session().error().raised) return;
  registerLinks(ws, formula);
}

void RegisterDependenciesInOrder(Worksheet& ws, const std::vector<CellHandle>& formulas) {
  // A batch begins with a formula that names a range more than a row high
  // (the others are linked at once, as cheaply), and ends when its areas
  // fill a batch, so that their own memory stays small beside the links.
  constexpr size_t kBatchAreas = 1 << 12;
  std::vector<NamedArea> areas;
  for (CellHandle formula : formulas) {
    if (ws.session().error().raised) return;
    bool first = areas.empty();
    bool tall = collectAreas(ws, formula, areas);
    if ((first && !tall) || areas.size() >= kBatchAreas) {
      linkAreas(ws, areas);
      areas.clear();
    }
  }
  if (!ws.session().error().raised) linkAreas(ws, areas);
}

void UnregisterDependencies(Worksheet& ws, CellHandle formula) {
  const uint8_t* code = ws.cell(formula).content;
  if (!code) return;
  forEachReferencedSpan(ws, code, [&](int row, int col1, int col2) {
    for (CellHandle target = ws.FindCellAtOrAfter(row, col1);
         target != kNoCell && ws.cell(target).column <= col2; target = ws.cell(target).next)
      removeLink(ws, target, formula);
  });
}

namespace {

// Destroys every reference of the formula's code to the cell; a range with
// such a corner loses both.
void nullReferences(Worksheet& ws, CellHandle formula, CellHandle cell) {
  uint8_t* code = ws.cell(formula).content;
  if (!code) return;
  auto names = [&](const uint8_t* p) { return (readWord(p) & kHandleMask) == cell; };
  forEachReferenceOperand(
      ws.session().functionTable(), code,
      [&](size_t at) {
        if (names(code + at)) writeWord(code + at, 0);
      },
      [&](size_t at) {
        if (names(code + at) || names(code + at + 4)) {
          writeWord(code + at, 0);
          writeWord(code + at + 4, 0);
        }
      });
}

void dropLinks(Worksheet& ws, CellHandle cell) {
  Cell& c = ws.cell(cell);
  while (c.dependents != 0) {
    uint32_t next = ws.pool().link(c.dependents).next;
    ws.pool().freeLink(c.dependents);
    c.dependents = next;
  }
}

}  // namespace

std::vector<CellHandle> DependentsOf(Worksheet& ws, CellHandle cell) {
  std::vector<CellHandle> dependents;
  for (uint32_t i = ws.cell(cell).dependents; i != 0; i = ws.pool().link(i).next)
    dependents.push_back(ws.pool().link(i).cell);
  return dependents;
}

void NullReferencesTo(Worksheet& ws, CellHandle cell, const std::vector<CellHandle>& dependents) {
  for (CellHandle d : dependents) {
    nullReferences(ws, d, cell);
    ws.cell(d).kind |= kKindErr;
  }
  dropLinks(ws, cell);
}

void DetachReferencesTo(Worksheet& ws, CellHandle cell) {
  std::vector<CellHandle> dependents = DependentsOf(ws, cell);
  for (CellHandle d : dependents) {
    UnregisterDependencies(ws, d);
    nullReferences(ws, d, cell);
    registerLinks(ws, d);
    ws.cell(d).kind |= kKindErr;
  }
  // Whatever links remain on the cell belonged to formulas that no longer
  // name it; drop them.
  dropLinks(ws, cell);
  Cell& c = ws.cell(cell);
  ws.forgetRangesAt(c.row, c.column);
  if (c.type() == CellType::StringFormula) freePString(c.value.text);
  if (isFormula(&c)) UnregisterDependencies(ws, cell);
  freePString(c.content);
  c.kind = static_cast<uint8_t>(CellType::Blank);
  c.value.raw = 0;
  for (CellHandle d : dependents) RecalcFrom(ws, d);
}

}  // namespace tw
