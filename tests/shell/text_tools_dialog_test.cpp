// The Find & Replace, Justify and Word dialogs: their fields and rules, and
// the frame running them from the menus with scripted answers.
#include <gtest/gtest.h>

#include "shell/find_dialog.h"
#include "shell/justify_dialog.h"
#include "test_support.h"

namespace tw::test {
namespace {

class TextToolsTest : public ProgramTest {
 public:
  void select(int row1, int col1, int row2, int col2) {
    window->moveTo(row1, col1);
    window->moveTo(row2, col2, true);
  }
};

TEST_F(TextToolsTest, FindAndReplaceFromTheToolsMenu) {
  enter("A1", "5");
  enter("B1", "7");
  enter("C1", "+A1*2");
  host.scripted.push_back("find=A1;replace=B1;press=All");
  keys("/tf");
  EXPECT_EQ(host.asked.back(), "the dialog \"Find & Replace\"");
  EXPECT_EQ(input("C1"), "+B1*2");
  EXPECT_EQ(number("C1"), 14);
  // The next opening shows what the last one left; Find Next moves the
  // cell pointer while the dialog stays.
  enter("B3", "'cat");
  enter("D5", "'a cat");
  window->moveTo(0, 0);
  host.scripted.push_back("find=cat;press=Next");
  frame.invoke("FINDREPLACE");
  EXPECT_EQ(window->row(), 2);
  EXPECT_EQ(window->col(), 1);
  host.scripted.push_back("press=Next");
  frame.invoke("FINDREPLACE");
  EXPECT_EQ(window->row(), 4);
  EXPECT_EQ(window->col(), 3);
  // Replace changes the found cell and goes on to the next match.
  host.scripted.push_back("replace=dog;press=Next;press=Replace;press=Replace");
  frame.invoke("FINDREPLACE");
  EXPECT_EQ(input("B3"), "'dog");
  EXPECT_EQ(input("D5"), "'a dog");
}

TEST_F(TextToolsTest, TheFirstOpeningTakesTheSelectionAndTheButtonsFollowTheRules) {
  enter("A1", "'x");
  enter("C2", "'x");
  enter("C3", "'y");
  select(1, 1, 2, 2);  // B2..C3
  FindDialogMemory memory;
  int shown = 0;
  FindDialogModel m(ws, memory, window->selection(), [&](const CommandResult&) { ++shown; });
  EXPECT_FALSE(m.global) << "more than a cell: Range";
  EXPECT_EQ(m.rangeText, "B2..C3");
  EXPECT_FALSE(m.canFind());
  EXPECT_FALSE(m.canReplace());
  int beeps = host.beeps;
  m.findNext();
  EXPECT_EQ(host.beeps, beeps + 1) << "a disabled button only beeps";
  m.setFind("x");
  EXPECT_TRUE(m.canFind());
  EXPECT_TRUE(m.canReplaceAll());
  EXPECT_FALSE(m.canReplace()) << "B2, where the search starts, is empty";
  m.findNext();
  EXPECT_EQ(m.field("cell"), "C2") << "A1 lies outside the range";
  EXPECT_TRUE(m.canReplace());
  EXPECT_EQ(shown, 1);
  m.setReplace("z");
  m.replaceAll();
  EXPECT_EQ(input("C2"), "'z");
  EXPECT_EQ(input("A1"), "'x");
  EXPECT_EQ(m.field("count"), "1");
  EXPECT_FALSE(m.canReplaceAll()) << "until the search text changes";
  m.setFind("y");
  EXPECT_TRUE(m.canReplaceAll());
  m.findNext();
  EXPECT_EQ(m.field("cell"), "C3");
  EXPECT_EQ(m.field("history"), "y|x") << "newest first, once each";
  // A later opening keeps the scope and texts, not the selection.
  FindDialogModel again(ws, memory, CellRange::cell(0, 0), nullptr);
  EXPECT_FALSE(again.global);
  EXPECT_EQ(again.findText, "y");
  EXPECT_EQ(again.replaceText, "z");
  // A range that does not read as one is the program's message.
  EXPECT_TRUE(again.setField("range", "B2.."));
  again.findNext();
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), "Invalid Search Range: B2..");
  // A single cell selected on a first opening: Global, from that cell on.
  FindDialogMemory fresh;
  enter("A5", "'x");
  FindDialogModel single(ws, fresh, CellRange::cell(2, 0), nullptr);
  EXPECT_TRUE(single.global);
  single.setFind("x");
  single.findNext();
  EXPECT_EQ(single.field("cell"), "A5");
}

TEST_F(TextToolsTest, TheSearchRangeIsPointedAt) {
  enter("A1", "'x");
  enter("A5", "'x");
  enter("A6", "'xx");
  host.scripted.push_back("find=x;replace=y;point=range");
  frame.invoke("FINDREPLACE");
  EXPECT_TRUE(view.promptOpen);
  EXPECT_EQ(view.promptTitle, " Specify Search Range");
  host.scripted.push_back("press=All");
  keys("A5..A6~");
  EXPECT_EQ(host.asked.size(), 2u);
  EXPECT_EQ(input("A1"), "'x");
  EXPECT_EQ(input("A5"), "'y");
  EXPECT_EQ(input("A6"), "'yy");
}

TEST_F(TextToolsTest, JustifyDialogPresetsAndRunsTheCommand) {
  select(0, 0, 0, 1);  // A1..B1: 144 pixels
  JustifyDialogModel m(ws, window->selection());
  EXPECT_EQ(m.rangeText, "A1..B1");
  EXPECT_EQ(m.width, "36");
  EXPECT_TRUE(m.setField("range", "A1..C1"));
  EXPECT_EQ(m.width, "54") << "the width follows the range";
  EXPECT_TRUE(m.setField("width", "2*9"));
  EXPECT_EQ(m.width, "18") << "evaluated when left";
  EXPECT_FALSE(m.setField("width", "\"x\""));
  EXPECT_EQ(m.width, "18");
  std::string keyword, message;
  Args args;
  ASSERT_TRUE(m.command(keyword, args, message));
  EXPECT_EQ(keyword, "JUSTIFY");
  ASSERT_EQ(args.size(), 3u);
  EXPECT_EQ(args[1].number, 72) << "units of 4 pixels";
  m.setField("range", "A1..");
  EXPECT_FALSE(m.check(message));
  EXPECT_EQ(message, "Invalid Justify Range: A1..");
  m.setField("range", "A1");
  m.setField("width", "1");
  EXPECT_FALSE(m.check(message)) << "no line left";

  enter("A1", "'one");
  enter("A2", "'two");
  enter("A3", "'six");
  window->moveTo(0, 0);
  host.scripted.push_back("point=1");
  frame.invoke("JUSTIFY");
  EXPECT_EQ(view.promptTitle, " Justify Range");
  host.scripted.push_back("pad=0");
  keys("A1..A3~");
  EXPECT_EQ(host.asked.back(), "the dialog \"Justify\"");
  EXPECT_EQ(text("A1"), "one two") << "18 units: 8 characters a line";
  EXPECT_EQ(text("A2"), "six");
}

TEST_F(TextToolsTest, WordEditsTheFirstColumnsLines) {
  enter("A1", "'alpha");
  enter("A2", "'beta");
  enter("B1", "'not read");
  select(0, 0, 1, 1);
  WordDialogModel m(ws, window->selection());
  EXPECT_EQ(m.field("count"), "2");
  EXPECT_EQ(m.field("line1"), "'alpha");
  EXPECT_EQ(m.field("text"), "'alpha\n'beta");
  EXPECT_FALSE(m.setField("line4", "x")) << "lines are added one at a time";
  EXPECT_TRUE(m.setField("count", "1"));
  EXPECT_EQ(m.field("text"), "'alpha");

  host.scripted.push_back("line2='gamma;line3=delta");
  frame.invoke("WORDEDIT");
  EXPECT_EQ(host.asked.back(), "the dialog \"Word\"");
  EXPECT_EQ(input("A1"), "'alpha");
  EXPECT_EQ(input("A2"), "'gamma");
  EXPECT_EQ(input("A3"), "'delta");
  EXPECT_EQ(input("B1"), "'not read");
  // Under protection no dialog, only a beep.
  ws.settings.protection = true;
  size_t asked = host.asked.size();
  int beeps = host.beeps;
  frame.invoke("WORDEDIT");
  EXPECT_EQ(host.asked.size(), asked);
  EXPECT_EQ(host.beeps, beeps + 1);
}

}  // namespace
}  // namespace tw::test
