// The command layer through the frame that every way in uses.
#include "commands/command.h"

#include <filesystem>
#include <fstream>

#include "commands/file_commands.h"
#include "commands/sheet_commands.h"
#include "core/char_case.h"
#include "core/undo.h"
#include "files/worksheet_file.h"
#include "test_support.h"

namespace tw::test {
namespace {

class Commands : public ProgramTest {
 public:
  CellRange range(const std::string& text) {
    ParsedRange p = ParseRange(ws, text);
    EXPECT_TRUE(p.ok) << text;
    return p.range;
  }
};

TEST_F(Commands, RangeFormatChangesOnlyUnprotectedCellsWhenProtectionIsOn) {
  enter("A1", "1.5");
  enter("A2", "2.5");
  cell("A2")->format &= ~kFormatProtected;  // unlocked
  ws.settings.protection = true;
  ws.modified = false;
  CommandResult r =
      frame.execute("RANGEFORMAT", {Arg::ofRange(range("A1..A3")), Arg::ofText("F2")});
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(cell("A1")->format & kFormatMask, ws.templateCell.format & kFormatMask);
  EXPECT_EQ(cell("A2")->format, ParseFormatCode("F2"));  // still unlocked
  EXPECT_EQ(cell("A3"), nullptr);                        // a new cell would be locked: none is made
  EXPECT_TRUE(ws.modified);
  ASSERT_EQ(r.changed.size(), 1u);
  EXPECT_EQ(r.changed[0], range("A1..A3"));
  // Without protection every cell changes, and Undo takes it back.
  ws.settings.protection = false;
  frame.execute("RANGEFORMAT", {Arg::ofRange(range("A1..A3")), Arg::ofText("C0")});
  EXPECT_EQ(cell("A1")->format & kFormatMask, ParseFormatCode("C0"));
  EXPECT_NE(cell("A3"), nullptr);
  EXPECT_TRUE(frame.execute("UNDO").ok);
  EXPECT_EQ(cell("A1")->format & kFormatMask, ws.templateCell.format & kFormatMask);
  // A second Undo has nothing to take back: a beep.
  int beeps = host.beeps;
  EXPECT_FALSE(frame.execute("UNDO").ok);
  EXPECT_EQ(host.beeps, beeps + 1);
}

TEST_F(Commands, WidthsAndHeightsFollowOneRule) {
  frame.execute("COLWIDTH", {Arg::ofRange(range("B1")), Arg::ofNumber(12)});
  EXPECT_EQ(ws.columnPixels(1), 96);
  EXPECT_EQ(columnCharacters(ws, 1), 12);
  frame.execute("COLWIDTH", {Arg::ofRange(range("B1")), Arg::ofNumber(0)});
  EXPECT_EQ(ws.columnPixels(1), 8);  // one character at the least
  frame.execute("COLUMNWIDTH", {Arg::ofRange(range("C1..E1")), Arg::ofNumber(500)});
  EXPECT_EQ(ws.columnPixels(2), 254);
  EXPECT_EQ(ws.columnPixels(4), 254);
  EXPECT_EQ(ws.columnPixels(5), kDefaultColumnPixels);
  SetColumnPixels(ws, 6, 3);  // a drag with the mouse
  EXPECT_EQ(ws.columnPixels(6), 8);
  frame.execute("ROWHEIGHTS", {Arg::ofRange(range("A2..A3")), Arg::ofNumber(300)});
  EXPECT_EQ(ws.rowPixels(1), 254);
  EXPECT_EQ(ws.rowPixels(2), 254);
  EXPECT_EQ(ws.rowPixels(3), kDefaultRowPixels);
  // The cursor's cell when no cell is given.
  window->moveTo(0, 7);
  frame.execute("ROWHEIGHT", {Arg{}, Arg::ofNumber(30)});
  EXPECT_EQ(ws.rowPixels(0), 30);
  EXPECT_TRUE(ws.modified);
}

TEST_F(Commands, RecalculationModeAndCalc) {
  enter("A1", "1");
  enter("A2", "+A1*10");
  frame.execute("RECALCMODE", {Arg::ofNumber(1)});
  EXPECT_TRUE(ws.settings.manualRecalc);
  EXPECT_TRUE(view.manual);  // the panel says "Manual"
  enter("A1", "5");
  EXPECT_EQ(number("A2"), 10);
  CommandResult r = frame.execute("CALC");
  EXPECT_TRUE(r.recalculated);
  EXPECT_EQ(number("A2"), 50);
  frame.execute("RECALCMODE", {Arg::ofNumber(0)});
  EXPECT_FALSE(view.manual);
  enter("A1", "6");
  EXPECT_EQ(number("A2"), 60);
}

TEST_F(Commands, SaveGivesTheWorksheetItsNewNameAndAsksOnlyWhenItHasNone) {
  TempDir dir;
  std::string path = dir.file("books.wks");
  enter("A1", "7");
  // Never saved: Save asks for a name.
  host.scripted = {path};
  CommandResult r = frame.execute("FILESAVE");
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.renamed);
  EXPECT_EQ(ws.fileName, path);
  EXPECT_EQ(ws.name, upperCased(path));
  EXPECT_FALSE(ws.modified);
  EXPECT_EQ(window->caption, path);
  EXPECT_EQ(session.settings().history.front(), path);
  EXPECT_EQ(session.settings().saveDirectory, dir.path());
  EXPECT_TRUE(host.scripted.empty());
  // Saved once: Save goes to the same file without a question.
  enter("A1", "8");
  r = frame.execute("FILESAVE");
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.renamed);
  EXPECT_TRUE(host.unanswered.empty());
  // A cancelled Save As changes nothing.
  host.scripted = {"{ESC}"};
  EXPECT_FALSE(frame.execute("FILESAVEAS").ok);
  EXPECT_EQ(ws.fileName, path);
  // A name without an extension gets .WKS; the window layout goes with it.
  window->moveTo(4, 2);
  std::string other = dir.file("second");
  host.scripted = {other};
  ASSERT_TRUE(frame.execute("FILESAVEAS").ok);
  EXPECT_EQ(ws.fileName, other + ".WKS");
  EXPECT_EQ(ws.settings.panes[0].cursorRow, 4);
  EXPECT_TRUE(std::filesystem::exists(other + ".WKS"));
  // So does a name given without the dialog, so that opening it finds it.
  std::string third = dir.file("third");
  ASSERT_TRUE(frame.execute("FILESAVEAS", {Arg::ofText(third), Arg::ofNumber(0)}).ok);
  EXPECT_EQ(ws.fileName, third + ".WKS");
  EXPECT_TRUE(frame.execute("FILEOPEN", {Arg::ofText(third)}).ok);
  EXPECT_EQ(frame.windows().size(), 1u);
}

// A file read only in part says so in its window, and a plain Save does not
// write the part over the whole file without asking.
TEST_F(Commands, AFileReadInPartIsNamedSoAndSaveAsksForAName) {
  TempDir dir;
  std::string whole = dir.file("whole.wk1");
  for (int r = 0; r < 200; ++r) enter("A" + std::to_string(r + 1), std::to_string(r));
  ASSERT_TRUE(frame.execute("FILESAVEAS", {Arg::ofText(whole), Arg::ofNumber(0)}).ok);
  std::string bytes;
  {
    std::ifstream in(whole, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::string cut = dir.file("cut.wk1");
  std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  ASSERT_TRUE(frame.execute("FILEOPEN", {Arg::ofText(cut)}).ok);
  WindowState* w = frame.active();
  EXPECT_EQ(w->caption, cut + kReadInPartCaption);
  EXPECT_TRUE(w->worksheet().readInPart);
  // Save asks; given up, the file on disk is as it was.
  host.scripted = {"{ESC}"};
  EXPECT_FALSE(frame.execute("FILESAVE").ok);
  EXPECT_EQ(std::filesystem::file_size(cut), bytes.size() / 2);
  // Saved under a name, the window is named by it and Save asks no more.
  std::string kept = dir.file("kept.wk1");
  host.scripted = {kept};
  ASSERT_TRUE(frame.execute("FILESAVE").ok);
  EXPECT_EQ(w->caption, kept);
  EXPECT_TRUE(frame.execute("FILESAVE").ok);
  EXPECT_TRUE(host.unanswered.empty());
}

TEST_F(Commands, FilesOpenIntoWindowsAndCloseAsking) {
  TempDir dir;
  std::string path = dir.file("kept.wk1");
  enter("B2", "'kept");
  window->moveTo(30, 5);
  ASSERT_TRUE(frame.execute("FILESAVEAS", {Arg::ofText(path), Arg::ofNumber(0)}).ok);
  ASSERT_TRUE(frame.execute("FILENEW").ok);
  EXPECT_EQ(frame.windows().size(), 2u);
  EXPECT_EQ(frame.active()->worksheet().name, "SHEET2.WKS");
  // Opening a file already open brings its window forward.
  ASSERT_TRUE(frame.execute("FILEOPEN", {Arg::ofText(path)}).ok);
  EXPECT_EQ(frame.windows().size(), 2u);
  EXPECT_EQ(frame.active(), window);
  ASSERT_TRUE(frame.execute("FILECLOSE").ok);
  EXPECT_EQ(frame.windows().size(), 1u);
  // Opened again: the window shows the cursor the file kept, and says so.
  ASSERT_TRUE(frame.execute("FILEOPEN", {Arg::ofText(path)}).ok);
  EXPECT_EQ(frame.active()->row(), 30);
  EXPECT_EQ(frame.active()->col(), 5);
  EXPECT_EQ(view.address, "F31");
  // A changed worksheet asks; Cancel keeps it, No lets it go.
  EnterCell(frame.active()->worksheet(), "1", 0, 0);
  host.answers = {Answer::Cancel};
  EXPECT_FALSE(frame.execute("FILECLOSE").ok);
  EXPECT_EQ(frame.windows().size(), 2u);
  host.answers = {Answer::No};
  EXPECT_TRUE(frame.execute("FILECLOSE").ok);
  EXPECT_EQ(frame.windows().size(), 1u);
  EXPECT_EQ(host.questions.size(), 2u);
  // A file that is not a worksheet is refused with the program's message.
  std::string junk = dir.file("junk.wks");
  std::ofstream(junk) << "not a worksheet";
  EXPECT_FALSE(frame.execute("FILEOPEN", {Arg::ofText(junk)}).ok);
  EXPECT_EQ(host.errors.back(), "Invalid WKS File!");
}

TEST_F(Commands, NamesThroughTheTable) {
  EXPECT_TRUE(
      frame.execute("RANGECREATE", {Arg::ofText("sales"), Arg::ofRange(range("B2..C4"))}).ok);
  EXPECT_EQ(ws.names.entries()[0].name, "SALES");
  EXPECT_FALSE(frame.execute("RANGECREATE", {Arg::ofText("2024"), Arg::ofRange(range("A1"))}).ok);
  EXPECT_EQ(host.errors.back(), " All Digits in Name!");
  EXPECT_FALSE(frame.execute("RANGECREATE", {Arg::ofText("B7"), Arg::ofRange(range("A1"))}).ok);
  EXPECT_TRUE(frame.execute("RANGETABLE", {Arg::ofRange(range("E1"))}).ok);
  EXPECT_EQ(text("E1"), "SALES");
  EXPECT_EQ(text("F1"), "B2..C4");
  EXPECT_TRUE(frame.execute("RANGEDELETE", {Arg::ofText("Sales")}).ok);
  EXPECT_FALSE(frame.execute("RANGEDELETE", {Arg::ofText("Sales")}).ok);
  frame.execute("RANGECREATE", {Arg::ofText("X"), Arg::ofRange(range("A1"))});
  frame.execute("RANGERESET");
  EXPECT_EQ(ws.names.count(), 0);
  // Unknown commands beep and fail; commands that need a worksheet refuse without one.
  EXPECT_FALSE(frame.execute("NOSUCHTHING").ok);
  ws.modified = false;
  frame.closeAll();
  EXPECT_FALSE(frame.execute("RANGERESET").ok);
}

}  // namespace
}  // namespace tw::test
