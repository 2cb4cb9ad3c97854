// The one-level undo: a copy of the used area of the worksheet (cells with
// their attributes, formulas in position-independent form) and of the
// column widths and row heights, taken before a command changes cells in
// bulk and put back by Edit/Undo.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/cell.h"

namespace tw {

class Worksheet;

class UndoSnapshot {
 public:
  // Discards any previous snapshot and copies the widths and heights.
  // False (with "Out of UNDO memory!" shown) when memory runs out.
  bool begin(Worksheet& ws);
  // Copies every cell of the used area.
  bool snapshot(Worksheet& ws);
  // Puts the copy back in place of the current cells, links the formulas
  // again and recalculates the sheet; the snapshot is then gone.
  bool restore(Worksheet& ws);
  bool empty() const { return !taken_; }
  void clear();
  size_t cellCount() const { return cells_.size(); }

 private:
  struct SavedCell {
    uint8_t font, size, style, borders;
    uint32_t colour;
    uint8_t format, column;
    int16_t row;
    uint8_t kind;
    uint32_t payload;  // offset of the content in bytes_, or the 8 value bytes' index
    uint64_t value;
  };
  bool fail(Worksheet& ws);

  bool taken_ = false;
  std::array<uint16_t, 256> widths_{};
  std::vector<uint16_t> heights_;
  std::vector<SavedCell> cells_;
  std::vector<uint8_t> bytes_;  // contents, one length-prefixed string after another
};

// Begin and snapshot in one, when the worksheet's undo setting is on.
void TakeUndoSnapshot(Worksheet& ws);

}  // namespace tw
