// Buttons drawn on a worksheet window: made from a drag, anchored to a
// cell, moved and resized, edited in their dialog, run, saved and read back.
#include "shell/user_buttons.h"

#include <gtest/gtest.h>

#include "core/worksheet.h"
#include "macros/macro_interpreter.h"
#include "test_support.h"

namespace tw::test {
namespace {

class UserButtonsTest : public ProgramTest {
 protected:
  UserButtonsTest() {
    ws.columnWidth[0] = 100;
    ws.columnWidth[1] = 50;
    ws.columnWidth[2] = 60;
    ws.rowHeight[0] = 20;
    ws.rowHeight[1] = 30;
    ws.rowHeight[2] = 25;
  }
  PlacedButton& button(size_t i = 0) { return window->userButtons.at(i); }
};

TEST_F(UserButtonsTest, CreationOrdersCornersAndGivesAClickItsSize) {
  ws.modified = false;
  size_t i = createUserButton(*window, {10, 5}, {12, 9}, "");
  EXPECT_TRUE(ws.modified) << "closing asks to save the new button";
  EXPECT_EQ(button(i).bounds(), (ButtonRect{10, 5, 40, 20}));
  EXPECT_EQ(button(i).data.macro, "{Beep}");
  EXPECT_EQ(button(i).data.caption, "");
  EXPECT_EQ(button(i).data.kind, 1);
  // Dragged up and to the left; 8 pixels is big enough.
  i = createUserButton(*window, {130, 60}, {110, 52}, "SALES_BY_QUARTER");
  EXPECT_EQ(button(i).bounds(), (ButtonRect{110, 52, 20, 8}));
  EXPECT_EQ(button(i).data.caption, "SALES_BY_QUARTER");  // 16 characters fit
  i = createUserButton(*window, {0, 0}, {7, 30}, "A_GRAPH_NAME_LONGER");
  EXPECT_EQ(button(i).data.width, 40);
  EXPECT_EQ(button(i).data.height, 30);
  EXPECT_EQ(button(i).data.caption, "A_GRAPH_NAME_LON");
}

TEST_F(UserButtonsTest, AnchorIsTheCellUnderTheTopLeftCorner) {
  createUserButton(*window, {0, 0}, {1, 1}, "");
  EXPECT_EQ(button().data.row, 0);
  EXPECT_EQ(button().data.col, 0);
  // Column B starts at 100, row 3 at 50.
  createUserButton(*window, {105, 57}, {106, 58}, "");
  EXPECT_EQ(button(1).data.col, 1);
  EXPECT_EQ(button(1).data.row, 2);
  EXPECT_EQ(button(1).data.x, 5);
  EXPECT_EQ(button(1).data.y, 7);
  // A corner on a cell's edge belongs to the cell that starts there.
  createUserButton(*window, {100, 20}, {101, 21}, "");
  EXPECT_EQ(button(2).data.col, 1);
  EXPECT_EQ(button(2).data.row, 1);
  EXPECT_EQ(button(2).data.x, 0);
  // Scrolled: the top-left visible cell is where the pixels count from.
  window->pane(0).topRow = 1;
  window->pane(0).leftCol = 1;
  createUserButton(*window, {55, 31}, {56, 32}, "");
  EXPECT_EQ(button(3).data.col, 2);
  EXPECT_EQ(button(3).data.row, 2);
  EXPECT_EQ(button(3).data.x, 5);
  EXPECT_EQ(button(3).data.y, 1);
}

TEST_F(UserButtonsTest, AZoomedWindowShowsButtonsAtItsSize) {
  ButtonRect stored{30, 20, 40, 20};
  EXPECT_EQ(shownBounds(stored, 100), stored);
  EXPECT_EQ(shownBounds(stored, 150), (ButtonRect{45, 30, 60, 30}));
  EXPECT_EQ(storedBounds(shownBounds(stored, 150), 150), stored);
  EXPECT_EQ(shownBounds(stored, 20), (ButtonRect{6, 4, 8, 4}));
  EXPECT_EQ(storedBounds({-3, 7, 1, 1}, 200), (ButtonRect{-2, 4, 1, 1})) << "rounded, never empty";
  EXPECT_EQ(shownBounds({0, 0, 1, 1}, 20).width, 1);
  EXPECT_EQ(storedPoint({45, 31}, 150), (Point{30, 21}));
  EXPECT_EQ(storedPoint({45, 31}, 0), (Point{45, 31})) << "no zoom is 100 per cent";
}

TEST_F(UserButtonsTest, PressesInsideMoveAndNearAnEdgeResize) {
  EXPECT_EQ(buttonHitTest(40, 20, 20, 10), kButtonMove);
  EXPECT_EQ(buttonHitTest(40, 20, 4, 4), kButtonMove);  // more than 3 inside
  EXPECT_EQ(buttonHitTest(40, 20, 3, 10), kButtonLeft);
  EXPECT_EQ(buttonHitTest(40, 20, 36, 10), kButtonRight);
  EXPECT_EQ(buttonHitTest(40, 20, 35, 10), kButtonMove);
  EXPECT_EQ(buttonHitTest(40, 20, 20, 0), kButtonTop);
  EXPECT_EQ(buttonHitTest(40, 20, 20, 19), kButtonBottom);
  EXPECT_EQ(buttonHitTest(40, 20, 1, 1), kButtonLeft | kButtonTop);
  EXPECT_EQ(buttonHitTest(40, 20, 39, 18), kButtonRight | kButtonBottom);

  ButtonRect r{100, 50, 40, 20};
  EXPECT_EQ(dragBounds(r, kButtonMove, 7, -5), (ButtonRect{107, 45, 40, 20}));
  EXPECT_EQ(dragBounds(r, kButtonLeft, 10, 99), (ButtonRect{110, 50, 30, 20}));
  EXPECT_EQ(dragBounds(r, kButtonRight, 10, 99), (ButtonRect{100, 50, 50, 20}));
  EXPECT_EQ(dragBounds(r, kButtonTop, 99, -10), (ButtonRect{100, 40, 40, 30}));
  EXPECT_EQ(dragBounds(r, kButtonBottom, 99, 5), (ButtonRect{100, 50, 40, 25}));
  EXPECT_EQ(dragBounds(r, kButtonLeft | kButtonBottom, -5, 5), (ButtonRect{95, 50, 45, 25}));
  // An edge dragged past the other one leaves a pixel.
  EXPECT_EQ(dragBounds(r, kButtonRight, -100, 0).width, 1);
}

TEST_F(UserButtonsTest, ApplyingBoundsReanchorsAndANegativeLeftBeeps) {
  createUserButton(*window, {5, 5}, {6, 6}, "");
  ASSERT_TRUE(applyButtonBounds(*window, 0, {160, 51, 30, 12}, host));
  EXPECT_EQ(button().bounds(), (ButtonRect{160, 51, 30, 12}));
  EXPECT_EQ(button().data.col, 2);
  EXPECT_EQ(button().data.row, 2);
  EXPECT_EQ(button().data.x, 10);
  EXPECT_EQ(button().data.y, 1);
  int beeps = host.beeps;
  EXPECT_FALSE(applyButtonBounds(*window, 0, {-1, 0, 30, 12}, host));
  EXPECT_EQ(host.beeps, beeps + 1);
  EXPECT_EQ(button().bounds(), (ButtonRect{160, 51, 30, 12}));
  EXPECT_EQ(button().data.col, 2);
  // A left edge at 0 is fine; a top above the window is not checked.
  EXPECT_TRUE(applyButtonBounds(*window, 0, {0, 0, 30, 12}, host));
  EXPECT_FALSE(applyButtonBounds(*window, 5, {0, 0, 30, 12}, host));  // no such button
}

TEST_F(UserButtonsTest, DialogSetsCaptionAndMacroOrDeletes) {
  createUserButton(*window, {5, 5}, {6, 6}, "");
  createUserButton(*window, {5, 50}, {6, 51}, "");
  UserButtonModel model(button().data);
  ASSERT_TRUE(model.setField("macro", "{LET A1,1}\r\n{LET B1,2}"));
  EXPECT_EQ(model.field("macro"), "{LET A1,1}{LET B1,2}");  // lines joined
  ASSERT_TRUE(model.setField("macro", std::string(300, 'x')));
  EXPECT_EQ(model.field("macro").size(), 255u);

  host.scripted.push_back("caption=Go;macro={LET A1,7}");
  EXPECT_TRUE(editUserButton(host, *window, 0));
  EXPECT_EQ(button().data.caption, "Go");
  EXPECT_EQ(button().data.macro, "{LET A1,7}");
  host.scripted.push_back("{ESC}");  // Cancel
  EXPECT_FALSE(editUserButton(host, *window, 0));
  EXPECT_EQ(button().data.caption, "Go");
  host.scripted.push_back("caption=Gone;delete=1");
  EXPECT_TRUE(editUserButton(host, *window, 0));
  ASSERT_EQ(window->userButtons.size(), 1u);
  EXPECT_EQ(button().top, 50);  // the other one stays
}

TEST_F(UserButtonsTest, RunningAButtonRunsItsMacro) {
  createUserButton(*window, {5, 5}, {6, 6}, "");
  button().data.macro = "{LET C3,42}";
  runUserButton(frame, *window, 0);
  EXPECT_EQ(number("C3"), 42);
  // The default macro beeps.
  int beeps = host.beeps;
  button().data.macro = "{Beep}";
  runUserButton(frame, *window, 0);
  EXPECT_EQ(host.beeps, beeps + 1);
  runUserButton(frame, *window, 9);  // no such button
  EXPECT_EQ(host.beeps, beeps + 2);
  // Pressed while a macro runs: a beep, and the macro does not run.
  button().data.macro = "{LET C3,7}";
  session.macroRunning = true;
  runUserButton(frame, *window, 0);
  session.macroRunning = false;
  EXPECT_EQ(host.beeps, beeps + 3);
  EXPECT_EQ(number("C3"), 42);
}

TEST_F(UserButtonsTest, SavedButtonsAreReadBackAtTheirCells) {
  TempDir dir;
  std::string path = dir.file("buttons.wk1");
  createUserButton(*window, {105, 57}, {145, 77}, "");
  button().data.caption = "Sum";
  button().data.macro = "{LET A1,@SUM(1,2)}";
  createUserButton(*window, {0, 0}, {1, 1}, "");
  ASSERT_TRUE(frame.execute("FILESAVEAS", {Arg::ofText(path), Arg::ofNumber(0)}).ok);
  EXPECT_EQ(ws.settings.buttons.size(), 2u);
  frame.closeAll();
  ASSERT_TRUE(frame.execute("FILEOPEN", {Arg::ofText(path)}).ok);
  WindowState& w = *frame.active();
  ASSERT_EQ(w.userButtons.size(), 2u);
  const PlacedButton& b = w.userButtons[0];
  EXPECT_EQ(b.data.caption, "Sum");
  EXPECT_EQ(b.data.macro, "{LET A1,@SUM(1,2)}");
  EXPECT_EQ(b.bounds(), (ButtonRect{105, 57, 40, 20}));
  EXPECT_EQ(b.data.kind, 0);
  EXPECT_EQ(w.userButtons[1].bounds(), (ButtonRect{0, 0, 40, 20}));
  runUserButton(frame, w, 0);
  Worksheet& opened = w.worksheet();
  EXPECT_EQ(opened.CellNumber(opened.FindCell(0, 0)), 3);
  // Saved again without change, the records are the same bytes.
  std::vector<ButtonRecord> before = opened.settings.buttons;
  ASSERT_TRUE(frame.execute("FILESAVE").ok);
  EXPECT_EQ(opened.settings.buttons, before);
}

TEST_F(UserButtonsTest, ButtonsReadIntoAScrolledWindowCountFromItsTopLeftCell) {
  UserButton b;
  b.row = 2;
  b.col = 2;
  b.x = 4;
  b.y = 6;
  WorksheetSettings s = ws.settings;
  s.buttons = {encodeButton(b)};
  s.panes[0].topRow = 1;
  s.panes[0].leftColumn = 1;
  restoreButtons(*window, s);  // the pane still shows A1
  ASSERT_EQ(window->userButtons.size(), 1u);
  EXPECT_EQ(window->userButtons[0].left, 150 + 4);
  EXPECT_EQ(window->userButtons[0].top, 50 + 6);
  window->pane(0).topRow = 1;
  window->pane(0).leftCol = 1;
  restoreButtons(*window, s);
  EXPECT_EQ(window->userButtons[0].left, 50 + 4);
  EXPECT_EQ(window->userButtons[0].top, 30 + 6);
  // An anchor left of the visible cells places the button left of the grid.
  window->pane(0).leftCol = 3;
  restoreButtons(*window, s);
  EXPECT_EQ(window->userButtons[0].left, -60 + 4);
}

}  // namespace
}  // namespace tw::test
