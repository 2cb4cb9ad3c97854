#include "core/dependencies.h"

#include <vector>

#include "core/formula_code.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

// Adds formula at the head of target's list. Since a formula registers all
// its references in one pass, a repeat within that pass finds itself at the
// head; that keeps registration constant-time per link. A formula that names
// one cell or one range cannot repeat itself, and does not read the head.
void addLink(Worksheet& ws, CellHandle target, CellHandle formula, bool mayRepeat) {
  Cell& t = ws.cell(target);
  if (mayRepeat && t.dependents != 0 && ws.pool().link(t.dependents).cell == formula) return;
  t.dependents = ws.pool().newLink(formula, t.dependents);
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

// Calls span(row, col1, col2) for each run of cells the formula names:
// single references and every row of every range. Destroyed references are
// skipped.
template <class F>
void forEachReferencedSpan(Worksheet& ws, const uint8_t* code, F&& span) {
  const FunctionTable& table = ws.session().functionTable();
  size_t last = code[0];
  for (size_t pos = 2; pos < last;) {
    uint8_t opcode = code[pos];
    size_t next = WalkCode(table, code, pos, last);
    if (next == 0 || opcode == op::kEnd) return;
    if (opcode == op::kRef) {
      CellHandle h = readWord(code + pos + 1) & kHandleMask;
      if (h != kNoCell) span(ws.cell(h).row, ws.cell(h).column, ws.cell(h).column);
    } else if (opcode == op::kRange) {
      CellHandle a = readWord(code + pos + 1) & kHandleMask;
      CellHandle b = readWord(code + pos + 5) & kHandleMask;
      if (a != kNoCell && b != kNoCell) {
        CellRange r =
            CellRange::of(ws.cell(a).row, ws.cell(a).column, ws.cell(b).row, ws.cell(b).column)
                .ordered();
        for (int row = r.row1; row <= r.row2; ++row) span(row, r.col1, r.col2);
      }
    }
    pos = next;
  }
}

void registerLinks(Worksheet& ws, CellHandle formula) {
  const uint8_t* code = ws.cell(formula).content;
  if (!code) return;
  int operands = 0;
  forEachReferenceOperand(
      ws.session().functionTable(), const_cast<uint8_t*>(code), [&](size_t) { ++operands; },
      [&](size_t) { ++operands; });
  bool mayRepeat = operands > 1;
  forEachReferencedSpan(ws, code, [&](int row, int col1, int col2) {
    // Along the row from one cell to the next, not from the row's head each time.
    CellHandle target = kNoCell;
    for (int col = col1; col <= col2; ++col) {
      target = ws.GetOrCreateCellAfter(target, row, col);
      if (target != kNoCell) addLink(ws, target, formula, mayRepeat);
    }
  });
}

}  // namespace

void RegisterDependencies(Worksheet& ws, CellHandle formula) {
  if (ws.session().error().raised) return;
  registerLinks(ws, formula);
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
