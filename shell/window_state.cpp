#include "shell/window_state.h"

#include <algorithm>
#include <utility>

#include "core/worksheet.h"
#include "shell/navigation.h"

namespace tw {

void WindowState::moveTo(int row, int col, bool extend) {
  Pane& p = pane();
  row = std::clamp(row, 0, kRows - 1);
  col = std::clamp(col, 0, kColumns - 1);
  if (extend && !p.anchored) {
    p.anchored = true;
    p.anchorRow = p.row;
    p.anchorCol = p.col;
  } else if (!extend) {
    p.anchored = false;
  }
  p.row = row;
  p.col = col;
  scrollToCursor();
}

void WindowState::move(Direction d, int count, bool extend) {
  CellAddress a = stepFrom(row(), col(), d, count);
  Pane& p = pane();
  // Paging keeps the cursor's place in the pane.
  if (count > 1 && (d == Direction::Down || d == Direction::Up)) {
    int shift = a.row - p.row;
    p.topRow = std::clamp(p.topRow + shift, 0, std::max(0, kRows - p.visibleRows));
  }
  moveTo(a.row, a.column, extend);
}

void WindowState::anchorHere() {
  Pane& p = pane();
  p.anchored = true;
  p.anchorRow = p.row;
  p.anchorCol = p.col;
}

void WindowState::collapse() {
  pane().anchored = false;
}

void WindowState::scrollToCursor() {
  Pane& p = pane();
  int oldTop = p.topRow;
  int rows = std::max(1, p.visibleRows), cols = std::max(1, p.visibleCols);
  if (p.row < p.topRow) p.topRow = p.row;
  if (p.row >= p.topRow + rows) p.topRow = p.row - rows + 1;
  if (p.col < p.leftCol) p.leftCol = p.col;
  if (p.col >= p.leftCol + cols) p.leftCol = p.col - cols + 1;
  p.topRow = std::clamp(p.topRow, 0, kRows - 1);
  p.leftCol = std::clamp(p.leftCol, 0, kColumns - 1);
  follow(active_, oldTop);
}

void WindowState::follow(int from, int oldTop) {
  if (!split_) return;
  Pane& a = panes_[from];
  Pane& b = panes_[1 - from];
  if (syncHorizontal) b.leftCol = a.leftCol;
  if (syncVertical && a.topRow != oldTop) {
    // Panes close together move row by row; others jump to the same top row.
    int gap = b.topRow - oldTop;
    if (gap > -2 && gap < 2)
      b.topRow = std::clamp(b.topRow + (a.topRow > oldTop ? 1 : -1), 0, kRows - 1);
    else
      b.topRow = a.topRow;
  }
}

void WindowState::endHome(bool extend) {
  endMode_ = false;
  moveTo(ws_->maxRow, ws_->maxCol, extend);
}

void WindowState::endArrow(Direction d, bool extend) {
  endMode_ = false;
  CellAddress a = endMove(*ws_, row(), col(), d);
  moveTo(a.row, a.column, extend);
}

void WindowState::setSplit(bool on, SecondPane second) {
  if (on && !split_ && second == SecondPane::FromFirst) panes_[1] = panes_[0];
  split_ = on;
  if (!on) active_ = 0;
}

void WindowState::otherPane() {
  if (split_) {
    active_ = 1 - active_;
    return;
  }
  std::swap(panes_[0], panes_[1]);
}

int WindowState::sheetCount() const {
  int rows = ws_->settings.sheetRows;
  return rows > 0 && rows < kRows ? kRows / rows : 1;
}

int WindowState::currentSheet() const {
  int rows = ws_->settings.sheetRows;
  return rows > 0 && rows < kRows ? row() / rows : 0;
}

void WindowState::chooseSheet(int k) {
  int rows = ws_->settings.sheetRows;
  if (rows <= 0 || rows >= kRows || k < 0 || k >= sheetCount()) return;
  moveTo(k * rows + row() % rows, col());
  Pane& p = pane();
  p.topRow = std::max(k * rows, std::min(p.topRow, k * rows + rows - 1));
  scrollToCursor();
}

}  // namespace tw
