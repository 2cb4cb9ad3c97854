#include "commands/insert_delete.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "commands/block_commands.h"
#include "core/cell_entry.h"
#include "core/dependencies.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

int rowsPerPage(const Worksheet& ws) {
  int p = ws.settings.sheetRows;
  return p > 0 && p < kRows ? p : kRows;
}

void sortUnique(std::vector<CellHandle>& v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
}

// The formulas whose links an operation changes, with their links let go
// while cells change places and taken again afterwards; and the cells that
// go, whose references become ERR.
class Relinker {
 public:
  explicit Relinker(Worksheet& ws) : ws_(ws) {}

  // The formulas that depend on the cell: a range over the cell may change
  // its shape.
  void dependentsOf(CellHandle h) {
    std::vector<CellHandle> d = DependentsOf(ws_, h);
    affected_.insert(affected_.end(), d.begin(), d.end());
  }
  // A cell that will be freed: its formula lets go of its links, and the
  // formulas that name it will lose those references.
  void doomed(CellHandle h) {
    std::vector<CellHandle> d = DependentsOf(ws_, h);
    affected_.insert(affected_.end(), d.begin(), d.end());
    if (isFormula(&ws_.cell(h))) affected_.push_back(h);
    doomed_.emplace_back(h, std::move(d));
  }
  void release() {
    sortUnique(affected_);
    for (CellHandle f : affected_) UnregisterDependencies(ws_, f);
  }
  // Frees a doomed cell, after release.
  void free(CellHandle h, const std::vector<CellHandle>& dependents) {
    NullReferencesTo(ws_, h, dependents);
    ws_.pool().release(h);
    gone_.push_back(h);
  }
  const std::vector<std::pair<CellHandle, std::vector<CellHandle>>>& doomedCells() const {
    return doomed_;
  }
  // Registers the survivors again; returns them for the recalculation.
  std::vector<CellHandle> relink() {
    sortUnique(gone_);
    std::vector<CellHandle> survivors;
    for (CellHandle f : affected_)
      if (!std::binary_search(gone_.begin(), gone_.end(), f)) survivors.push_back(f);
    ws_.session().error().clear();
    for (CellHandle f : survivors) RegisterDependencies(ws_, f);
    return survivors;
  }

 private:
  Worksheet& ws_;
  std::vector<CellHandle> affected_;
  std::vector<std::pair<CellHandle, std::vector<CellHandle>>> doomed_;
  std::vector<CellHandle> gone_;
};

// The cells of a row's list, in order.
std::vector<CellHandle> rowCells(Worksheet& ws, int row) {
  std::vector<CellHandle> cells;
  for (CellHandle h = ws.rowHeads[row]; h != kNoCell; h = ws.cell(h).next) cells.push_back(h);
  return cells;
}

void relinkRow(Worksheet& ws, int row, const std::vector<CellHandle>& cells) {
  ws.rowHeads[row] = cells.empty() ? kNoCell : cells.front();
  for (size_t i = 0; i < cells.size(); ++i)
    ws.cell(cells[i]).next = i + 1 < cells.size() ? cells[i + 1] : kNoCell;
  ws.forgetRowHint(row);
}

// Deleting moves a corner that lay in the deleted block to the block's
// first row (column), and the corners after it, up to the window's end,
// back by the count.
void collapseRemembered(Worksheet& ws, bool rows, int first, int count, int windowEnd) {
  auto collapse = [&](int16_t& v) {
    if (v < first || v > windowEnd) return;
    v = static_cast<int16_t>(v < first + count ? first : v - count);
  };
  ForEachRememberedRange(ws, [&](CellRange& r) {
    if (rows) {
      collapse(r.row1);
      collapse(r.row2);
    } else {
      collapse(r.col1);
      collapse(r.col2);
    }
  });
  if (ws.session().adjustMacroPosition) {
    CellRange window = rows ? CellRange::of(first, 0, windowEnd, kColumns - 1)
                            : CellRange::of(0, first, kRows - 1, kColumns - 1);
    ws.session().adjustMacroPosition(ws, rows ? -count : 0, rows ? 0 : -count, window);
  }
}

bool columnEngine(CommandContext& cx, int a, int b, bool insert) {
  Worksheet& ws = *cx.ws;
  const int lastRow = ws.maxRow;
  if (insert) {
    // Cells in the last columns would be pushed off the sheet.
    for (int row = 0; row <= lastRow; ++row)
      for (CellHandle h = ws.FindCellAtOrAfter(row, kColumns - b); h != kNoCell;
           h = ws.cell(h).next)
        if (ws.cell(h).column >= a) {
          cx.session.ShowError("Cells in last Column");
          return false;
        }
  }
  Relinker links(ws);
  for (int row = 0; row <= lastRow; ++row) {
    if (insert) {
      if (CellHandle h = ws.FindCell(row, a)) links.dependentsOf(h);
    } else {
      for (CellHandle h = ws.FindCellAtOrAfter(row, a); h != kNoCell && ws.cell(h).column < a + b;
           h = ws.cell(h).next)
        links.doomed(h);
    }
  }
  links.release();
  std::unordered_map<CellHandle, const std::vector<CellHandle>*> doomed;
  for (const auto& [h, deps] : links.doomedCells()) doomed[h] = &deps;
  for (int row = 0; row <= lastRow; ++row) {
    if (ws.rowHeads[row] == kNoCell) continue;
    std::vector<CellHandle> cells = rowCells(ws, row);
    std::vector<CellHandle> kept;
    kept.reserve(cells.size());
    for (CellHandle h : cells) {
      Cell& c = ws.cell(h);
      if (c.column < a) {
        kept.push_back(h);
      } else if (insert) {
        c.column = static_cast<uint8_t>(c.column + b);
        kept.push_back(h);
      } else if (c.column < a + b) {
        links.free(h, *doomed[h]);
      } else {
        c.column = static_cast<uint8_t>(c.column - b);
        kept.push_back(h);
      }
    }
    relinkRow(ws, row, kept);
  }
  // Widths move with their columns.
  auto& w = ws.columnWidth;
  if (insert) {
    std::move_backward(w.begin() + a, w.end() - b, w.end());
    std::fill(w.begin() + a, w.begin() + a + b, kDefaultSize);
    ws.maxCol = static_cast<int16_t>(std::min(kColumns - 1, ws.maxCol + b));
  } else {
    std::move(w.begin() + a + b, w.end(), w.begin() + a);
    std::fill(w.end() - b, w.end(), kDefaultSize);
    if (ws.maxCol >= a) ws.maxCol = static_cast<int16_t>(std::max(a - 1, ws.maxCol - b));
    if (ws.maxCol < 0) ws.maxCol = 0;
  }
  std::vector<CellHandle> survivors = links.relink();
  if (!ws.settings.manualRecalc) RecalcCells(ws, survivors);
  return true;
}

// Rows a .. a+b-1 inside the page that ends at row g.
bool rowEngine(CommandContext& cx, int a, int b, int g, bool insert) {
  Worksheet& ws = *cx.ws;
  const int lastRow = std::min<int>(g, ws.maxRow);
  if (insert) {
    // The last rows of the page would be pushed out of it.
    for (int row = std::max(a, g - b + 1); row <= g; ++row)
      if (ws.rowHeads[row] != kNoCell) {
        cx.session.ShowError("CELLS in bottom row");
        return false;
      }
  }
  if (a > lastRow) return true;  // nothing below: only the remembered ranges move
  const int f = std::min(a + b - 1, g);
  Relinker links(ws);
  if (insert) {
    for (CellHandle h = ws.rowHeads[a]; h != kNoCell; h = ws.cell(h).next) links.dependentsOf(h);
  } else {
    for (int row = a; row <= std::min(f, lastRow); ++row)
      for (CellHandle h = ws.rowHeads[row]; h != kNoCell; h = ws.cell(h).next) links.doomed(h);
  }
  // A range that crosses the page's end changes its shape too.
  if (g + 1 < kRows)
    for (CellHandle h = ws.rowHeads[g + 1]; h != kNoCell; h = ws.cell(h).next)
      links.dependentsOf(h);
  links.release();

  auto renumber = [&](int row) {
    for (CellHandle h = ws.rowHeads[row]; h != kNoCell; h = ws.cell(h).next)
      ws.cell(h).row = static_cast<int16_t>(row);
    ws.forgetRowHint(row);
  };
  auto& heights = ws.rowHeight;
  if (insert) {
    int l = lastRow;
    while (l > a && ws.rowHeads[l] == kNoCell) --l;
    for (int row = l; row >= a; --row) {
      std::swap(ws.rowHeads[row], ws.rowHeads[row + b]);
      renumber(row + b);
      ws.forgetRowHint(row);
    }
    std::move_backward(heights.begin() + a, heights.begin() + g + 1 - b, heights.begin() + g + 1);
    std::fill(heights.begin() + a, heights.begin() + a + b, kDefaultSize);
    if (ws.maxRow >= a && ws.maxRow <= g)
      ws.maxRow = static_cast<int16_t>(std::min(g, ws.maxRow + b));
  } else {
    const int count = f - a + 1;
    std::unordered_map<CellHandle, const std::vector<CellHandle>*> doomed;
    for (const auto& [h, deps] : links.doomedCells()) doomed[h] = &deps;
    for (int row = a; row <= std::min(f, lastRow); ++row) {
      std::vector<CellHandle> cells = rowCells(ws, row);
      ws.rowHeads[row] = kNoCell;
      ws.forgetRowHint(row);
      for (CellHandle h : cells) links.free(h, *doomed[h]);
    }
    for (int row = f + 1; row <= lastRow; ++row) {
      ws.rowHeads[row - count] = ws.rowHeads[row];
      ws.rowHeads[row] = kNoCell;
      renumber(row - count);
      ws.forgetRowHint(row);
    }
    std::move(heights.begin() + f + 1, heights.begin() + g + 1, heights.begin() + a);
    std::fill(heights.begin() + g + 1 - count, heights.begin() + g + 1, kDefaultSize);
    if (ws.maxRow >= a && ws.maxRow <= g)
      ws.maxRow = static_cast<int16_t>(std::max(std::max(a - 1, 0), ws.maxRow - count));
  }
  std::vector<CellHandle> survivors = links.relink();
  if (!ws.settings.manualRecalc) RecalcCells(ws, survivors);
  return true;
}

// One operation on one page (or on the columns), with the remembered
// ranges shifted after it.
bool dispatch(CommandContext& cx, int op, int first, int last, bool& anyRows) {
  Worksheet& ws = *cx.ws;
  const bool insert = (op & kOpInsert) != 0;
  const int count = last - first + 1;
  if (op & kOpColumns) {
    if (!columnEngine(cx, first, count, insert)) return false;
    if (insert)
      AdjustRemembered(ws, 0, count, CellRange::of(0, first, kRows - 1, kColumns - 1));
    else
      collapseRemembered(ws, false, first, count, kColumns - 1);
    return true;
  }
  const int pageRows = rowsPerPage(ws);
  const int g = pageRows * (last / pageRows + 1) - 1;
  const int n = std::min(count, g - first + 1);
  if (!rowEngine(cx, first, n, g, insert)) return false;
  anyRows = true;
  if (insert)
    AdjustRemembered(ws, n, 0, CellRange::of(first, 0, g, kColumns - 1));
  else
    collapseRemembered(ws, true, first, n, g);
  return true;
}

}  // namespace

CommandResult InsertDelete(CommandContext& cx, int op, const CellRange& range, bool acrossPages) {
  Worksheet& ws = *cx.ws;
  if (!range.valid()) return CommandResult::failed();
  CellRange r = range.ordered();
  if (op & kOpPageBreak) {
    EntryResult e = EnterCell(ws, "|::", r.row1, r.col1);
    CommandResult out;
    out.ok = e == EntryResult::Stored;
    out.changed.push_back(CellRange::of(r.row1, 0, r.row1, kColumns - 1));
    return out;
  }
  const bool columns = (op & kOpColumns) != 0;
  TakeUndoSnapshot(ws);
  bool anyRows = false;
  bool ok = true;
  if (columns) {
    ok = dispatch(cx, op, r.col1, r.col2, anyRows);
  } else if (acrossPages) {
    const int pageRows = rowsPerPage(ws);
    int first = r.row1 % pageRows, last = first + std::min(r.row2 - r.row1, pageRows - 1 - first);
    for (int page = 0; page < kRows / pageRows && ok; ++page)
      ok = dispatch(cx, op, first + page * pageRows, last + page * pageRows, anyRows);
  } else {
    ok = dispatch(cx, op, r.row1, r.row2, anyRows);
  }
  ws.modified = true;
  if (!(op & kOpInsert) && !ws.settings.manualRecalc) {
    CellRange current = columns ? CellRange::of(0, r.col1, ws.maxRow, r.col2)
                                : CellRange::of(r.row1, 0, r.row2, ws.maxCol);
    RecalcRange(ws, current);
  }
  CommandResult out;
  out.ok = ok;
  out.allChanged = true;
  out.layoutChanged = true;
  return out;
}

void addInsertDeleteCommands(CommandTable& t) {
  struct Entry {
    const char* name;
    int op;
    bool across;
    const char* prompt;
  };
  static const Entry kEntries[] = {
      {"INSERTROW", kOpRows | kOpInsert, false, "INSERT Row : Specify Range"},
      {"DELETEROW", kOpRows, false, "DELETE Row : Specify Range"},
      {"INSERTCOL", kOpColumns | kOpInsert, false, "INSERT Col : Specify Range"},
      {"DELETECOL", kOpColumns, false, "Delete Col : Specify Range"},
      {"INSERTROWS", kOpRows | kOpInsert, true, "INSERT Row : Specify Range"},
      {"DELETEROWS", kOpRows, true, "DELETE Row : Specify Range"},
      {"PAGEBREAK", kOpRows | kOpInsert | kOpPageBreak, false, "INSERT PageBreak : Specify Row"},
  };
  // The speed buttons: the selection's rows or columns, inserted (1) or
  // deleted (-1); after a delete the cursor goes to the selection's corner.
  for (bool rows : {true, false}) {
    t.add({rows ? "ROWSBUTTON" : "COLUMNSBUTTON",
           {{ArgKind::Integer, ""}, {ArgKind::Range, "", true}},
           [rows](CommandContext& cx, const Args& a) {
             bool insert = numberArg(a, 0) > 0;
             CellRange r = rangeArg(cx, a, 1, ArgKind::Range).ordered();
             int op = (rows ? kOpRows : kOpColumns) | (insert ? kOpInsert : 0);
             CommandResult out = InsertDelete(cx, op, r, false);
             if (!insert && out.ok && r.valid()) {
               out.moveCursor = true;
               out.cursorRow = r.row1;
               out.cursorCol = r.col1;
             }
             return out;
           }});
  }
  for (const Entry& e : kEntries) {
    int op = e.op;
    bool across = e.across;
    t.add({e.name, {{ArgKind::Range, e.prompt}}, [op, across](CommandContext& cx, const Args& a) {
             return InsertDelete(cx, op, rangeArg(cx, a, 0, ArgKind::Range), across);
           }});
  }
}

}  // namespace tw
