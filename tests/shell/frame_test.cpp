#include "shell/frame.h"

#include "shell/navigation.h"
#include "test_support.h"

namespace tw::test {
namespace {

class FrameTest : public ProgramTest {
 public:
  void type(const std::string& text) {
    for (char c : text) frame.key(KeyPress::character(c));
  }
  void press(Key k, bool shift = false) { frame.key(KeyPress::of(k, shift)); }
};

TEST_F(FrameTest, TypingAFormulaAndANumberShowsTheRecalculatedValue) {
  window->moveTo(0, 1);  // B1
  type("+A1*2");
  EXPECT_EQ(host.mode, "VALUE");
  press(Key::Enter);
  EXPECT_EQ(host.mode, "READY");
  EXPECT_EQ(view.input, "+A1*2");
  window->moveTo(0, 0);
  type("5");
  press(Key::Enter);
  EXPECT_EQ(number("B1"), 10);
  EXPECT_GT(host.redraws, 0);
}

TEST_F(FrameTest, ModesFollowTheFirstCharacter) {
  type("a");
  EXPECT_EQ(host.mode, "LABEL");
  press(Key::Escape);  // clears the text but keeps the entry open
  EXPECT_EQ(host.mode, "?");
  EXPECT_TRUE(frame.entryActive());
  type("(");
  EXPECT_EQ(host.mode, "VALUE");
  press(Key::Escape);
  press(Key::Escape);
  EXPECT_EQ(host.mode, "READY");
  EXPECT_FALSE(frame.entryActive());
  press(Key::F2);
  EXPECT_EQ(host.mode, "EDIT");
}

TEST_F(FrameTest, PointingAppendsAddresses) {
  window->moveTo(2, 2);  // C3
  type("+");
  press(Key::Right);
  EXPECT_EQ(host.mode, "POINT");
  EXPECT_EQ(frame.inputText(), "+D3");
  press(Key::Down);
  EXPECT_EQ(frame.inputText(), "+D4");
  type(".");
  press(Key::Right);
  press(Key::Down);
  EXPECT_EQ(frame.inputText(), "+D4..E5");
  press(Key::F4);  // the second corner's marking cycles
  EXPECT_EQ(frame.inputText(), "+D4..$E$5");
  type("*2");
  EXPECT_EQ(frame.inputText(), "+D4..$E$5*2");
  EXPECT_EQ(window->row(), 2);  // back at the entry's cell
  EXPECT_EQ(window->col(), 2);
}

TEST_F(FrameTest, ALabelAndAnArrowCommitAndMove) {
  type("A");
  press(Key::Right);
  EXPECT_EQ(input("A1"), "'A");
  EXPECT_EQ(window->col(), 1);
  EXPECT_EQ(host.mode, "READY");
}

TEST_F(FrameTest, ASyntaxErrorKeepsTheTextInRed) {
  type("+A1*");
  // "*" ends the text, so the arrow would point; Enter commits instead.
  press(Key::Enter);
  EXPECT_TRUE(view.red);
  EXPECT_EQ(host.mode, "EDIT");
  EXPECT_EQ(frame.inputText(), "+A1*");
  EXPECT_EQ(host.beeps, 1);
  EXPECT_EQ(cell("A1")->type(), CellType::Blank);
  press(Key::Backspace);
  press(Key::Enter);
  EXPECT_EQ(host.mode, "READY");
  EXPECT_EQ(input("A1"), "+A1");
}

TEST_F(FrameTest, EditingUsesTheCaretAndF9Evaluates) {
  enter("A1", "123");
  press(Key::F2);
  EXPECT_EQ(frame.inputText(), "123");
  press(Key::Left);
  press(Key::Left);
  type("9");
  EXPECT_EQ(frame.inputText(), "1923");
  press(Key::Insert);  // overwrite
  type("x");
  EXPECT_EQ(frame.inputText(), "19x3");
  press(Key::Escape);
  press(Key::Escape);
  type("2*@PI");
  press(Key::F9);
  EXPECT_EQ(frame.inputText(), "6.28318530717959");
}

TEST_F(FrameTest, RangePrompts) {
  std::vector<std::string> answers;
  auto record = [&](const std::string& t) { answers.push_back(t); };
  frame.OpenRangePrompt("COPY: From Range", record, CellRange::of(0, 0, 4, 2));
  EXPECT_EQ(host.mode, "RANGE");
  EXPECT_EQ(view.promptTitle, " COPY: From Range");
  EXPECT_EQ(view.promptText, "A1..C5");
  frame.clearRunOnCancel();
  press(Key::Escape);
  EXPECT_TRUE(answers.empty());
  EXPECT_FALSE(view.promptOpen);

  // A dialog field gets its default back on cancel.
  frame.OpenRangePrompt("NAME: Specify Range", record, CellRange::of(1, 1, 2, 2));
  press(Key::Escape);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0], "B2..C3");

  // Pointing and anchoring rewrite the text; the cursor comes back.
  window->moveTo(3, 3);
  frame.OpenRangePrompt("ERASE: Specify Range", record, CellRange::cell(3, 3));
  press(Key::Right);
  type(".");
  press(Key::Down);
  press(Key::Down);
  EXPECT_EQ(view.promptText, "E4..E6");
  press(Key::Enter);
  EXPECT_EQ(answers.back(), "E4..E6");
  EXPECT_EQ(window->row(), 3);
  EXPECT_EQ(window->col(), 3);
  EXPECT_EQ(host.mode, "READY");

  // Typed texts, single dots and the range words are accepted.
  EXPECT_EQ(frame.parsePromptRange("A1.B5"), CellRange::of(0, 0, 4, 1));
  EXPECT_EQ(frame.parsePromptRange("cursor"), CellRange::cell(3, 3));
  EXPECT_EQ(frame.parsePromptRange("garbage!"), std::nullopt);
  EXPECT_EQ(frame.parsePromptRange(""), std::nullopt);
}

TEST_F(FrameTest, GotoAndEndMode) {
  press(Key::F5);
  type("Q20");
  press(Key::Enter);
  EXPECT_EQ(window->row(), 19);
  EXPECT_EQ(window->col(), 16);
  enter("A1", "1");
  enter("A2", "1");
  enter("A3", "1");
  enter("A7", "1");
  enter("C9", "1");
  window->moveTo(0, 0);
  press(Key::End);
  press(Key::Down);
  EXPECT_EQ(window->row(), 2);  // last filled before the gap
  press(Key::End);
  press(Key::Down);
  EXPECT_EQ(window->row(), 6);  // next filled after the gap
  press(Key::End);
  press(Key::Down);
  EXPECT_EQ(window->row(), 8191);  // past the used area
  press(Key::End);
  press(Key::Home);
  EXPECT_EQ(window->row(), 8);
  EXPECT_EQ(window->col(), 2);
  EXPECT_FALSE(window->endMode());
  EXPECT_EQ(endMove(ws, 0, 5, Direction::Left).column, 0);
}

TEST_F(FrameTest, SlashOpensTheMenu) {
  type("/");
  EXPECT_EQ(view.menu, "File");
  EXPECT_EQ(host.mode, "MENU");
  EXPECT_FALSE(frame.entryActive());
}

TEST_F(FrameTest, RecentFiles) {
  session.settings().historySize = 10;
  for (int i = 0; i < 12; ++i) frame.AddRecentFile("/data/f" + std::to_string(i) + ".wks");
  ASSERT_EQ(frame.recentFiles().size(), 10u);
  EXPECT_EQ(frame.recentFiles().front(), "/data/f11.wks");  // newest first, shown as "&0"
  EXPECT_EQ(frame.recentFiles().back(), "/data/f2.wks");
  frame.AddRecentFile("/DATA/F5.WKS");
  EXPECT_EQ(frame.recentFiles().size(), 10u);
  EXPECT_EQ(frame.recentFiles().front(), "/DATA/F5.WKS");
  session.settings().historySize = 3;
  frame.AddRecentFile("/data/new.wks");
  EXPECT_EQ(frame.recentFiles().size(), 3u);
}

TEST_F(FrameTest, SheetTabsAndSplitPanes) {
  ws.settings.sheetRows = 2048;
  window->moveTo(5, 3);
  window->chooseSheet(2);
  EXPECT_EQ(window->row(), 2 * 2048 + 5);
  EXPECT_EQ(window->sheetCount(), 4);
  ws.settings.sheetRows = 0;
  EXPECT_EQ(window->sheetCount(), 1);
  window->chooseSheet(1);  // one sheet: no tabs to choose
  EXPECT_EQ(window->row(), 2 * 2048 + 5);

  window->moveTo(0, 0);
  window->setSplit(true);
  window->syncHorizontal = true;
  window->pane().visibleCols = 5;
  window->moveTo(0, 30);
  EXPECT_EQ(window->pane(1).leftCol, window->pane(0).leftCol);
  press(Key::F6);
  EXPECT_EQ(window->activePane(), 1);
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

TEST_F(FrameTest, SplitPanesScrollTogether) {
  window->setSplit(true);
  window->syncVertical = true;
  Pane& top = window->pane(0);
  top.visibleRows = 10;
  // Panes whose top rows are close move one row with the active pane.
  window->moveTo(10, 0);
  EXPECT_EQ(top.topRow, 1);
  EXPECT_EQ(window->pane(1).topRow, 1);
  // Panes far apart: the other takes the active pane's top row.
  window->pane(1).topRow = 500;
  window->moveTo(11, 0);
  EXPECT_EQ(window->pane(1).topRow, 2);
  window->setSplit(false);
  EXPECT_EQ(window->activePane(), 0);
}

}  // namespace
}  // namespace tw::test
