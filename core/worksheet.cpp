#include "core/worksheet.h"

#include <algorithm>

#include "core/dependencies.h"
#include "core/display_format.h"
#include "core/session.h"
#include "core/undo.h"

namespace tw {

Worksheet::Worksheet(Session& session, std::string wsName)
    : name(std::move(wsName)), session_(session) {
  columnWidth.fill(kDefaultSize);
  rowHeight.fill(kDefaultSize);
  settings = session.settings().worksheetDefaults;
}

Worksheet::~Worksheet() = default;

CellHandle Worksheet::FindCellAtOrAfter(int row, int col, CellHandle* predecessor) const {
  if (predecessor) *predecessor = kNoCell;
  if (!validRow(row)) return kNoCell;
  CellHandle prev = kNoCell;
  CellHandle h = rowHeads[row];
  // Walks that go down a column come back to the same place in each row:
  // start from where the last search in this row stopped when that lies
  // before the column sought.
  CellHandle hint = rowHint_[row];
  if (hint != kNoCell && pool_[hint].column < col) {
    prev = hint;
    h = pool_[hint].next;
  }
  if (h != kNoCell && pool_[h].column < col) {
    // Further along: the row's index, when it has one, gives a nearer start.
    if (uint16_t slot = rowIndexSlot_[row]; slot && !rowIndexes_[slot - 1].empty()) {
      const std::vector<RowIndexEntry>& index = rowIndexes_[slot - 1];
      auto after = std::partition_point(index.begin(), index.end(),
                                        [&](const RowIndexEntry& e) { return e.column < col; });
      if (after != index.begin()) {
        CellHandle start = (after - 1)->cell;
        if ((after - 1)->column > pool_[h].column) {
          prev = start;
          h = pool_[start].next;
        }
      }
    }
    int steps = 0;
    while (h != kNoCell && pool_[h].column < col) {
      prev = h;
      h = pool_[h].next;
      ++steps;
    }
    if (steps > kIndexAfterSteps) buildRowIndex(row);
  }
  if (prev != kNoCell) rowHint_[row] = prev;
  if (predecessor) *predecessor = prev;
  return h;
}

void Worksheet::buildRowIndex(int row) const {
  uint16_t& slot = rowIndexSlot_[row];
  if (!slot) {
    rowIndexes_.emplace_back();
    slot = static_cast<uint16_t>(rowIndexes_.size());
  }
  std::vector<RowIndexEntry>& index = rowIndexes_[slot - 1];
  index.clear();
  size_t k = 0;
  for (CellHandle h = rowHeads[row]; h != kNoCell; h = pool_[h].next, ++k)
    if (k % kRowIndexStep == 0) index.push_back({h, pool_[h].column});
}

CellHandle Worksheet::FindCell(int row, int col) const {
  if (!validColumn(col)) return kNoCell;
  CellHandle h = FindCellAtOrAfter(row, col);
  return (h != kNoCell && pool_[h].column == col) ? h : kNoCell;
}

CellHandle Worksheet::GetOrCreateCell(int row, int col) {
  if (!validAddress(row, col)) {
    session_.error().raise(kErrOutOfRange, "Out of Range");
    return kNoCell;
  }
  modified = true;
  CellHandle prev;
  CellHandle h = FindCellAtOrAfter(row, col, &prev);
  if (h != kNoCell && pool_[h].column == col) return h;
  return insertCell(prev, h, row, col);
}

CellHandle Worksheet::GetOrCreateCellAfter(CellHandle after, int row, int col) {
  if (after == kNoCell || !validAddress(row, col) || pool_[after].row != row ||
      pool_[after].column >= col)
    return GetOrCreateCell(row, col);
  CellHandle prev = after;
  CellHandle next = pool_[after].next;
  while (next != kNoCell && pool_[next].column < col) {
    prev = next;
    next = pool_[next].next;
  }
  modified = true;
  if (next != kNoCell && pool_[next].column == col) return next;
  return insertCell(prev, next, row, col);
}

CellHandle Worksheet::insertCell(CellHandle prev, CellHandle next, int row, int col) {
  CellHandle made = pool_.allocate(templateCell);
  if (made == kNoCell) {
    session_.error().raise(0, "Out of Memory");
    return kNoCell;
  }
  linkBetween(made, prev, next, row, col);
  return made;
}

void Worksheet::linkBetween(CellHandle h, CellHandle prev, CellHandle next, int row, int col) {
  rowChanged(row);
  if (row > maxRow) maxRow = static_cast<int16_t>(row);
  if (col > maxCol) maxCol = static_cast<int16_t>(col);
  Cell& c = pool_[h];
  c.column = static_cast<uint8_t>(col);
  c.row = static_cast<int16_t>(row);
  c.next = next;
  if (prev != kNoCell)
    pool_[prev].next = h;
  else
    rowHeads[row] = h;
}

void Worksheet::UnlinkCell(CellHandle h, CellHandle predecessor, int row) {
  rowChanged(row);
  if (rowHint_[row] == h) rowHint_[row] = predecessor;
  if (predecessor != kNoCell)
    pool_[predecessor].next = pool_[h].next;
  else
    rowHeads[row] = pool_[h].next;
  pool_[h].next = kNoCell;
}

void Worksheet::UnlinkFromRow(CellHandle h) {
  int row = pool_[h].row;
  CellHandle prev;
  CellHandle at = FindCellAtOrAfter(row, pool_[h].column, &prev);
  if (at == h) UnlinkCell(h, prev, row);
}

void Worksheet::LinkCellAt(CellHandle h, int row, int col) {
  CellHandle prev;
  CellHandle next = FindCellAtOrAfter(row, col, &prev);
  linkBetween(h, prev, next, row, col);
  modified = true;
}

void Worksheet::RemoveCell(CellHandle h) {
  UnlinkFromRow(h);
  pool_.release(h);
  modified = true;
}

void Worksheet::ClearCell(CellHandle h) {
  if (h == kNoCell) return;
  Cell& c = pool_[h];
  if (c.type() == CellType::Blank) return;
  if (isFormula(&c)) UnregisterDependencies(*this, h);
  if (c.type() == CellType::StringFormula) freePString(c.value.text);
  freePString(c.content);
  c.kind = static_cast<uint8_t>(CellType::Blank);
  c.value.raw = 0;
}

void Worksheet::FreeAllCells() {
  pool_.clear();
  rowHeads.fill(kNoCell);
  rowHint_.fill(kNoCell);
  rowIndexSlot_.fill(0);
  rowIndexes_.clear();
  markSettled(false);
  maxRow = 0;
  maxCol = 0;
}

double Worksheet::CellNumber(CellHandle h) const {
  return h == kNoCell ? 0 : numberValue(pool_[h]);
}

uint8_t Worksheet::effectiveFormat(const Cell& c) const {
  uint8_t f = c.format & kFormatMask;
  return f == kFormatGlobal ? (settings.globalFormat & kFormatMask) : f;
}

std::string Worksheet::CellText(CellHandle h) const {
  if (h == kNoCell) return {};
  const Cell& c = pool_[h];
  switch (c.type()) {
    case CellType::StringFormula:
      return "'" + std::string(pstringView(c.value.text));
    case CellType::NumberFormula:
    case CellType::Real:
    case CellType::Integer:
      return FormatNumber(20, effectiveFormat(c), CellNumber(h), formatOptions(*this));
    case CellType::Label:
      return std::string(pstringView(c.content));
    default:
      return {};
  }
}

std::string Worksheet::LabelText(CellHandle h) const {
  if (h == kNoCell) return {};
  const Cell& c = pool_[h];
  if (c.type() == CellType::StringFormula) return std::string(pstringView(c.value.text));
  if (c.type() == CellType::Label) {
    std::string_view t = pstringView(c.content);
    return std::string(t.empty() ? t : t.substr(1));
  }
  return {};
}

void Worksheet::registerRange(CellRange* range) {
  extraRanges_.push_back(range);
}

void Worksheet::unregisterRange(CellRange* range) {
  extraRanges_.erase(std::remove(extraRanges_.begin(), extraRanges_.end(), range),
                     extraRanges_.end());
}

static void forgetIfCorner(CellRange& r, int row, int col) {
  if (!r.valid()) return;
  if ((r.row1 == row && r.col1 == col) || (r.row2 == row && r.col2 == col)) r = kEmptyRange;
}

void Worksheet::forgetRangesAt(int row, int col) {
  for (CellRange& r : settings.ranges) forgetIfCorner(r, row, col);
  for (CellRange* r : extraRanges_) forgetIfCorner(*r, row, col);
  for (RangeName& n : names.entries()) forgetIfCorner(n.range, row, col);
}

}  // namespace tw
