#include "core/recalc.h"

#include <new>
#include <vector>

#include "core/evaluator.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

struct WalkFrame {
  CellHandle cell;
  uint32_t link;
};

// Builds the evaluation order in post-order; evaluated backwards it puts
// every formula after all the formulas it depends on. A formula met again
// while still on the walk's path (a cycle) is placed there, which cuts the
// cycle without a message.
class Walker {
 public:
  Walker(Worksheet& ws, std::vector<CellHandle>& list, std::vector<WalkFrame>& stack)
      : pool_(ws.pool()), list_(list), stack_(stack) {}

  void walkFrom(CellHandle start) {
    Cell& s = pool_[start];
    if (s.kind & kKindVisited) return;
    s.kind |= kKindVisited;
    CellHandle current = start;
    uint32_t link = s.dependents;
    for (;;) {
      while (link != 0) {
        CellHandle d = pool_.link(link).cell;
        Cell& dc = pool_[d];
        if (!(dc.kind & kKindVisited)) {
          stack_.push_back({current, link});
          dc.kind |= kKindVisited;
          current = d;
          link = dc.dependents;
        } else {
          if (!(dc.kind & kKindPlaced)) cycleCut = true;  // d is on the walk's path
          place(d);
          link = pool_.link(link).next;
        }
      }
      place(current);
      if (stack_.empty()) return;
      current = stack_.back().cell;
      link = pool_.link(stack_.back().link).next;
      stack_.pop_back();
    }
  }

  bool cycleCut = false;

 private:
  void place(CellHandle h) {
    Cell& c = pool_[h];
    if (c.kind & kKindPlaced) return;
    if (isFormula(&c)) {
      c.kind |= kKindPlaced;
      list_.push_back(h);
    } else {
      c.kind &= ~(kKindVisited | kKindPlaced);
    }
  }

  CellPool& pool_;
  std::vector<CellHandle>& list_;
  std::vector<WalkFrame>& stack_;
};

void clearMarks(Worksheet& ws) {
  ws.ForEachCell(CellRange::of(0, 0, ws.maxRow, ws.maxCol), [](CellHandle, Cell& c) {
    c.kind &= ~(kKindVisited | kKindPlaced);
    return true;
  });
}

void evaluateBackwards(Worksheet& ws, const std::vector<CellHandle>& list) {
  Evaluator& ev = ws.session().evaluator();
  for (auto it = list.rbegin(); it != list.rend(); ++it) ev.EvaluateCell(ws, *it);
}

}  // namespace

void RecalcFrom(Worksheet& ws, CellHandle cell) {
  if (cell == kNoCell) return;
  ws.cell(cell).kind &= (kKindTypeMask | kKindErr);
  std::vector<CellHandle> list;
  std::vector<WalkFrame> stack;
  try {
    Walker(ws, list, stack).walkFrom(cell);
  } catch (const std::bad_alloc&) {
    clearMarks(ws);
    return;
  }
  evaluateBackwards(ws, list);
}

namespace {

// True when every formula met was placed after what it depends on (no cycle
// cut, no overflow) and evaluated.
template <class Visit>
bool recalcWalk(Worksheet& ws, Visit&& visit) {
  Session& s = ws.session();
  if (s.recalcBusy) return false;
  s.recalcBusy = true;
  std::vector<CellHandle> list;
  std::vector<WalkFrame> stack;
  bool overflow = false;
  Walker walker(ws, list, stack);
  try {
    visit(walker);
  } catch (const std::bad_alloc&) {
    overflow = true;
  }
  evaluateBackwards(ws, list);
  if (overflow) clearMarks(ws);
  s.recalcBusy = false;
  if (overflow) s.ShowError("Calc Stack Exceeded");
  return !overflow && !walker.cycleCut;
}

bool recalcWhole(Worksheet& ws) {
  return recalcWalk(ws, [&](Walker& walker) {
    ws.ForEachCell(CellRange::of(0, 0, ws.maxRow, ws.maxCol), [&](CellHandle h, Cell&) {
      walker.walkFrom(h);
      return true;
    });
  });
}

}  // namespace

void RecalcRange(Worksheet& ws, const CellRange& range) {
  recalcWalk(ws, [&](Walker& walker) {
    ws.ForEachCell(range, [&](CellHandle h, Cell&) {
      walker.walkFrom(h);
      return true;
    });
  });
}

void RecalcCells(Worksheet& ws, const std::vector<CellHandle>& cells) {
  recalcWalk(ws, [&](Walker& walker) {
    for (CellHandle h : cells) walker.walkFrom(h);
  });
}

namespace {

// The program settings that formula values depend on: the separators that
// number texts use and read, and the order of dates read from text.
uint32_t valueSettings(const Session& session) {
  const ProgramSettings& s = session.settings();
  return uint32_t(uint8_t(s.decimalSeparator)) | uint32_t(uint8_t(s.thousandsSeparator)) << 8 |
         uint32_t(uint8_t(s.argumentSeparator)) << 16 | uint32_t(s.usDates) << 24 |
         uint32_t(s.twoDigitYears) << 25;
}

}  // namespace

void RecalcAll(Worksheet& ws) {
  Evaluator& ev = ws.session().evaluator();
  bool seenBefore = ev.unsettledSeen;
  ev.unsettledSeen = false;
  bool complete = recalcWhole(ws);
  // Settled: a second run would give every formula the value it has now.
  ws.markSettled(complete && !ev.unsettledSeen);
  ws.settledUnder = valueSettings(ws.session());
  ev.unsettledSeen = ev.unsettledSeen || seenBefore;
}

void RecalcAllWindows(Session& session) {
  // Nothing changed since every worksheet was last recalculated whole, and
  // no file is linked whose values the run would read again: the run would
  // change nothing.
  bool settled = session.links().files().empty();
  uint32_t now = valueSettings(session);
  for (const auto& ws : session.worksheets())
    settled = settled && ws->settled() && ws->settledUnder == now;
  if (settled) return;
  if (session.beforeRecalcAll) session.beforeRecalcAll();
  for (const auto& ws : session.worksheets()) {
    CurrentWorksheetScope scope(session, ws.get());
    RecalcAll(*ws);
  }
}

}  // namespace tw
