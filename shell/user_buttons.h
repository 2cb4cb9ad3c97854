// The push buttons a worksheet window carries (TMbtn) apart from their
// widgets: making one from a dragged rectangle, where it is anchored,
// moving and resizing it with the mouse, the "User Button" dialog (TBtndlg),
// running its macro, and keeping the buttons in the worksheet's settings.
//
// Positions are grid pixels measured from the top-left corner of the first
// pane's top-left visible cell (the cells' area, headers excluded). A
// button stays where it was put while the window scrolls; its anchor cell
// and offsets place it again when its worksheet is opened.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/canvas.h"
#include "core/fields_model.h"
#include "core/user_button.h"

namespace tw {

class Frame;
class Host;
class WindowState;
class Worksheet;
struct WorksheetSettings;

struct ButtonRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ButtonRect&) const = default;
};

// A button of a window: what its record keeps and where it is drawn.
struct PlacedButton {
  UserButton data;
  int left = 0;
  int top = 0;
  ButtonRect bounds() const { return {left, top, data.width, data.height}; }
};

// A window drawn at zoom per cent shows its buttons at that size, over the
// cells they were put on; the buttons keep their bounds at 100 per cent.
ButtonRect shownBounds(const ButtonRect& stored, int zoom);
ButtonRect storedBounds(const ButtonRect& shown, int zoom);
Point storedPoint(Point shown, int zoom);

// The top-left corner of a cell, relative to the top-left visible cell.
void cellCorner(const Worksheet& ws, int topRow, int leftCol, int row, int col, int& x, int& y);
// Sets the button's anchor to the cell under (x, y) and its offsets from
// that cell's corner.
void anchorAt(const Worksheet& ws, int topRow, int leftCol, int x, int y, UserButton& b);

// Which edges a press at (x, y) inside a button of that size takes: none
// (0) moves the whole button; within 3 pixels of an edge that edge moves,
// at a corner both.
enum ButtonEdge {
  kButtonMove = 0,
  kButtonLeft = 1,
  kButtonRight = 2,
  kButtonTop = 4,
  kButtonBottom = 8
};
int buttonHitTest(int width, int height, int x, int y);
// The bounds after the mouse moved (dx, dy) from the press; a size never
// falls below one pixel.
ButtonRect dragBounds(const ButtonRect& start, int edges, int dx, int dy);

// A button made from a drag between two grid points: corners ordered, a
// width under 8 becomes 40 and a height under 8 becomes 20; the macro is
// {Beep} and the caption the last Quick Graph's name (16 characters).
// Returns its index in the window's list.
size_t createUserButton(WindowState& w, Point from, Point to, const std::string& lastGraph);
// Applies new bounds from a move or resize; a left edge below 0 beeps and
// leaves the button as it was (false).
bool applyButtonBounds(WindowState& w, size_t index, const ButtonRect& r, Host& host);
void deleteUserButton(WindowState& w, size_t index);
// Runs the button's macro in its window's worksheet; a button pressed
// while a macro runs beeps.
void runUserButton(Frame& frame, WindowState& w, size_t index);

// The window's buttons as records, and the records as buttons placed from
// the first pane's top-left visible cell.
void storeButtons(const WindowState& w, WorksheetSettings& s);
void restoreButtons(WindowState& w, const WorksheetSettings& s);

// The "User Button" dialog: caption (Edit1), the macro memo's lines
// (Memo1, joined without separator and cut at 255), and Delete.
class UserButtonModel : public FieldsModel {
 public:
  explicit UserButtonModel(const UserButton& b);
  std::string_view form() const override { return "UserButton"; }
  std::string caption() const override { return "User Button"; }

  std::string buttonCaption;
  std::string macro;
  bool remove = false;  // "&Delete" closed the dialog
};

// Opens the dialog over the window's button; OK sets the caption and the
// macro, Delete takes the button away, Cancel changes nothing. False when
// nothing changed.
bool editUserButton(Host& host, WindowState& w, size_t index);

}  // namespace tw
