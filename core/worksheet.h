// One open worksheet: its cell store (a sorted list of cell records per
// row), its extent, its settings block, range names, widths and heights.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/cell.h"
#include "core/cell_address.h"
#include "core/cell_pool.h"
#include "core/range_names.h"
#include "core/user_functions.h"
#include "core/worksheet_settings.h"

namespace tw {

class Session;
class UndoSnapshot;

constexpr uint16_t kDefaultSize = 255;    // a column or row without a size of its own
constexpr int kDefaultColumnPixels = 72;  // a new worksheet's: nine characters of eight pixels
constexpr int kDefaultRowPixels = 20;

class Worksheet {
 public:
  Worksheet(Session& session, std::string name);
  ~Worksheet();
  Worksheet(const Worksheet&) = delete;
  Worksheet& operator=(const Worksheet&) = delete;

  Session& session() const { return session_; }

  // --- Cell store ---------------------------------------------------------
  // The first cell of the row at or after col; *predecessor gets the last
  // cell passed (kNoCell when none), for an insertion that follows.
  CellHandle FindCellAtOrAfter(int row, int col, CellHandle* predecessor = nullptr) const;
  CellHandle FindCell(int row, int col) const;
  // kNoCell with the error "Out of Range" (101) off the sheet, or when
  // memory runs out. Marks the worksheet modified.
  CellHandle GetOrCreateCell(int row, int col);
  // The same for callers that visit a row's cells in rising column order
  // (file loading): after is a cell of the row left of col, or kNoCell; the
  // search starts there instead of at the row's head.
  CellHandle GetOrCreateCellAfter(CellHandle after, int row, int col);
  void UnlinkCell(CellHandle cell, CellHandle predecessor, int row);
  // Unlinks the cell from its row, wherever it stands in it.
  void UnlinkFromRow(CellHandle cell);
  // Links a record that is in no row list at (row, col), where no cell is,
  // giving it that position; the extent grows to cover it.
  void LinkCellAt(CellHandle cell, int row, int col);
  // Unlinks the cell and frees its record. Its links to other cells, its
  // dependents and its content must be gone already.
  void RemoveCell(CellHandle cell);
  // After a command has relinked a row's list by hand.
  void forgetRowHint(int row) {
    rowHint_[row] = kNoCell;
    rowChanged(row);
  }
  // Erases content (dropping the formula's links); attributes and the
  // record's own dependents stay.
  void ClearCell(CellHandle cell);
  // Frees every cell with its links and content; the extent returns to 0.
  void FreeAllCells();

  // Calls fn(handle, cell) for every existing cell of the range, row by row,
  // in column order. fn returns false to stop; the result says whether the
  // walk ran to its end. fn may create cells and start nested walks.
  template <class F>
  bool ForEachCell(const CellRange& range, F&& fn) {
    CellRange r = range.ordered();
    if (!r.valid()) return true;
    int lastRow = std::min<int>(r.row2, kRows - 1);
    for (int row = std::max<int>(r.row1, 0); row <= lastRow; ++row) {
      for (CellHandle h = FindCellAtOrAfter(row, r.col1); h != kNoCell;) {
        Cell& c = pool_[h];
        if (c.column > r.col2) break;
        if (!fn(h, c)) return false;
        h = pool_[h].next;
      }
    }
    return true;
  }

  Cell& cell(CellHandle h) { return pool_[h]; }
  const Cell& cell(CellHandle h) const { return pool_[h]; }
  Cell* cellPtr(CellHandle h) { return h ? &pool_[h] : nullptr; }
  const Cell* cellPtr(CellHandle h) const { return h ? &pool_[h] : nullptr; }
  Cell* cellAt(int row, int col) { return cellPtr(FindCell(row, col)); }
  CellPool& pool() { return pool_; }

  // --- Values -------------------------------------------------------------
  double CellNumber(CellHandle h) const;
  // Numbers formatted at width 20 in the cell's format, labels with their
  // prefix, string results after "'".
  std::string CellText(CellHandle h) const;
  // A label without its prefix, or a formula's string result.
  std::string LabelText(CellHandle h) const;
  // The cell's display format, the worksheet's global one for 0x7F.
  uint8_t effectiveFormat(const Cell& c) const;

  // --- Text forms with this worksheet's sheet division -----------------------
  std::string addressText(int row, int col, bool rowAbs = false, bool colAbs = false) const {
    return AddressText(row, col, rowAbs, colAbs, settings.sheetRows);
  }
  std::string rangeText(const CellRange& r, uint8_t absFlags = 0) const {
    return RangeText(r, settings.sheetRows, absFlags);
  }

  // --- Remembered ranges ----------------------------------------------------
  // Ranges kept by commands and settings that must let go of a destroyed
  // cell. The worksheet's own settings ranges are always included.
  void registerRange(CellRange* range);
  void unregisterRange(CellRange* range);
  template <class F>
  void forEachRegisteredRange(F&& fn) {
    for (CellRange* r : extraRanges_) fn(*r);
  }
  // Resets every remembered range and range name with a corner on (row, col).
  void forgetRangesAt(int row, int col);

  // --- Sizes ----------------------------------------------------------------
  int columnPixels(int col) const {
    return columnWidth[col] == kDefaultSize ? settings.defaultColumnPixels : columnWidth[col];
  }
  int rowPixels(int row) const {
    return rowHeight[row] == kDefaultSize ? settings.defaultRowPixels : rowHeight[row];
  }

  // --- Public state ---------------------------------------------------------
  std::string name;      // upper-cased file name, the key of the open table
  std::string fileName;  // the file it is saved to, case as typed
  bool hasFileName = false;
  // Its file was read only in part: saving over it would lose the rest, so
  // a plain Save asks for a name.
  bool readInPart = false;
  // Set by every change, and cleared by saving. A change also ends the
  // settled state: the values no longer are what a whole recalculation left.
  class ChangeFlag {
   public:
    ChangeFlag& operator=(bool changed) {
      changed_ = changed;
      if (changed) settled_ = false;
      return *this;
    }
    operator bool() const { return changed_; }

   private:
    friend class Worksheet;
    bool changed_ = false;
    bool settled_ = false;
  };
  ChangeFlag modified;
  // Every formula has the value a whole recalculation gives it, and a second
  // one would change none (RecalcAll decides; any change ends it).
  bool settled() const { return modified.settled_; }
  void markSettled(bool settled) { modified.settled_ = settled; }
  // The program settings that values depend on (separators, date order),
  // as they were when the worksheet settled.
  uint32_t settledUnder = 0;
  int useCount = 0;

  std::array<CellHandle, kRows> rowHeads{};
  int16_t maxRow = 0;  // highest row and column at which a cell was ever made
  int16_t maxCol = 0;
  Cell templateCell;
  WorksheetSettings settings;
  RangeNameTable names;
  UserFunctionTable functions;
  std::array<uint16_t, kColumns> columnWidth;  // pixels; kDefaultSize = default
  std::array<uint16_t, kRows> rowHeight;       // pixels; kDefaultSize = default
  std::unique_ptr<UndoSnapshot> undo;

 private:
  // A new record for (row, col) linked between prev (kNoCell: the row's
  // head) and next.
  CellHandle insertCell(CellHandle prev, CellHandle next, int row, int col);
  // Gives the record (row, col) and links it between prev (kNoCell: the
  // row's head) and next; the extent grows to cover it.
  void linkBetween(CellHandle h, CellHandle prev, CellHandle next, int row, int col);
  // The row's list gained or lost a cell: its index no longer holds.
  void rowChanged(int row) {
    if (uint16_t slot = rowIndexSlot_[row]) rowIndexes_[slot - 1].clear();
  }
  void buildRowIndex(int row) const;

  Session& session_;
  CellPool pool_;
  // Per row, a cell of the row's list where the last search passed; a search
  // for a column beyond it starts there. Only unlinking a cell can make it
  // stale, and UnlinkCell moves it back.
  mutable std::array<CellHandle, kRows> rowHint_{};
  // Rows whose searches walk far keep every kRowIndexStep-th cell of their
  // list, in column order, so that a search starts at most that many cells
  // before its column whatever order columns are visited in. A row gets a
  // slot the first time it needs one (rows of a few cells never do); a
  // change to the row's list empties it until the next long search.
  static constexpr size_t kRowIndexStep = 8;
  static constexpr int kIndexAfterSteps = 3 * kRowIndexStep;
  mutable std::array<uint16_t, kRows> rowIndexSlot_{};  // 0: none, else slot + 1
  struct RowIndexEntry {
    CellHandle cell;
    uint8_t column;  // the cell's, so that a search reads no cell records
  };
  mutable std::vector<std::vector<RowIndexEntry>> rowIndexes_;
  std::vector<CellRange*> extraRanges_;
};

}  // namespace tw
