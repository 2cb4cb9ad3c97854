// The state of one worksheet window apart from its widgets: the panes with
// their scroll positions and cursors, the selection, the split, End mode.
#pragma once

#include <string>
#include <vector>

#include "core/cell_address.h"
#include "core/keys.h"
#include "shell/user_buttons.h"

namespace tw {

class Worksheet;

struct Pane {
  int topRow = 0;
  int leftCol = 0;
  int row = 0;  // the current cell
  int col = 0;
  // The selection runs from the anchor to the current cell while anchored.
  bool anchored = false;
  int anchorRow = 0;
  int anchorCol = 0;
  // Rows and columns that fit in the pane, told by the widget.
  int visibleRows = 20;
  int visibleCols = 8;

  CellRange selection() const {
    return anchored ? CellRange::of(anchorRow, anchorCol, row, col).ordered()
                    : CellRange::cell(row, col);
  }
};

class WindowState {
 public:
  explicit WindowState(Worksheet& ws) : ws_(&ws) {}

  Worksheet& worksheet() const { return *ws_; }
  Pane& pane() { return panes_[active_]; }
  const Pane& pane() const { return panes_[active_]; }
  Pane& pane(int i) { return panes_[i]; }
  const Pane& pane(int i) const { return panes_[i]; }
  int activePane() const { return active_; }
  int row() const { return pane().row; }
  int col() const { return pane().col; }
  CellRange selection() const { return pane().selection(); }

  // Moves the current cell; extend keeps (or sets) the anchor so that the
  // selection grows, otherwise the selection collapses to the cell.
  void moveTo(int row, int col, bool extend = false);
  void move(Direction d, int count = 1, bool extend = false);
  void pageDown(bool extend = false) { move(Direction::Down, pane().visibleRows, extend); }
  void pageUp(bool extend = false) { move(Direction::Up, pane().visibleRows, extend); }
  // "." while pointing: the range is anchored at the current cell.
  void anchorHere();
  // Held by a macro's ANCHOR: cursor moves extend the selection until released.
  bool anchorHeld = false;
  void collapse();
  // Keeps the current cell inside the pane's visible area.
  void scrollToCursor();

  // End mode: End toggles it; Home or an arrow in it jumps and leaves it.
  bool endMode() const { return endMode_; }
  void toggleEndMode() { endMode_ = !endMode_; }
  void endHome(bool extend = false);
  void endArrow(Direction d, bool extend = false);

  // The split: the second pane starts where the first one is, unless it
  // keeps a layout of its own (one restored from the worksheet's file).
  enum class SecondPane { FromFirst, AsItIs };
  bool split() const { return split_; }
  void setSplit(bool on, SecondPane second = SecondPane::FromFirst);
  bool syncHorizontal = false;
  bool syncVertical = false;
  // F6: to the other pane when split; otherwise the current view changes
  // places with the second pane's remembered view.
  void otherPane();

  // Sheet tabs of a divided worksheet: tab k keeps the row within its sheet.
  int sheetCount() const;
  int currentSheet() const;
  void chooseSheet(int k);

  std::string caption;
  int zoom = 100;  // per cent, 20 to 200: cells and their fonts are drawn at this size
  std::vector<PlacedButton> userButtons;  // drawn on the window, saved with the worksheet

 private:
  void follow(int from, int oldTop);

  Worksheet* ws_;
  Pane panes_[2];
  int active_ = 0;
  bool split_ = false;
  bool endMode_ = false;
};

}  // namespace tw
