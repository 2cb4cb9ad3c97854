// The interpreter through the headless program: macros in cells, run as a
// person would start them, checked through the cells and what was shown.
#include "macros/macro_interpreter.h"

#include <filesystem>
#include <fstream>

#include "test_support.h"

namespace tw::test {
namespace {

class Macros : public ProgramTest {
 public:
  // Cells of column Z from row 1 down, as labels.
  void macro(std::initializer_list<std::string> lines, int startRow = 0) {
    int row = startRow;
    for (const std::string& line : lines) EnterCell(ws, "'" + line, row++, 25);
    session.error().clear();
  }
  void run(int row = 0) { program.macros.RunMacroAt(row, 25); }
  void name(const std::string& n, const std::string& address) {
    ParsedRange p = ParseRange(ws, address);
    ws.names.DefineName(n, p.range);
  }
  std::string lastError() { return host.errors.empty() ? std::string() : host.errors.back(); }
};

TEST_F(Macros, ABlankStartEndsAtOnceAndCellsRunDownToTheFirstBlank) {
  run(5);
  EXPECT_FALSE(program.macros.macroRunning());
  EXPECT_TRUE(host.errors.empty());
  macro({"{LET A1,1}", "{LET A2,2}"});
  EnterCell(ws, "'{LET A3,3}", 3, 25);  // after the blank row 3
  run();
  EXPECT_EQ(number("A1"), 1);
  EXPECT_EQ(number("A2"), 2);
  EXPECT_EQ(cell("A3"), nullptr);
  EXPECT_FALSE(session.macroRunning);
}

TEST_F(Macros, LetStoresNumbersTextsAndNothingForFailures) {
  enter("B1", "4");
  program.macros.RunMacroText("{LET A1,B1*2}{LET A2,\"words\"}{LET A3 B1+1}{LET A4,1/}");
  EXPECT_EQ(number("A1"), 8);
  EXPECT_EQ(text("A2"), "words");
  EXPECT_EQ(number("A3"), 5);
  EXPECT_EQ(cell("A4"), nullptr);
  ws.settings.protection = true;
  program.macros.RunMacroText("{LET A1,9}");
  EXPECT_EQ(lastError(), "Protected Cell");
  EXPECT_EQ(number("A1"), 8);
  EXPECT_TRUE(program.macros.endedByError());
}

TEST_F(Macros, CountedLoopsRunAtLeastOnceAndTestAtNext) {
  name("I", "C1");
  program.macros.RunMacroText("{FOR I,5,3,1}{LET B1,B1+1}{NEXT}");
  EXPECT_EQ(number("B1"), 1);
  EXPECT_EQ(number("C1"), 5);
  program.macros.RunMacroText("{FOR I,1,3,1}{LET B2,B2+I}{NEXT}");
  EXPECT_EQ(number("B2"), 6);  // 1 + 2 + 3
  EXPECT_EQ(number("C1"), 3);
  // Down by a negative step, and bounds past 32 bits without overflow.
  program.macros.RunMacroText("{FOR I,3,1,-1}{LET B3,B3*10+I}{NEXT}");
  EXPECT_EQ(number("B3"), 321);
  program.macros.RunMacroText("{FOR I,2147483646,2147483647,1}{LET B4,B4+1}{NEXT}");
  EXPECT_EQ(number("B4"), 2);
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(Macros, ConditionsTestAboveZeroAndExactlyOne) {
  macro({"{IF -1}{LET A1,1}", "{IF 0.5}{LET A2,1}", "{WHILE 2,SUB}{LET A3,1}"});
  macro({"{LET A9,1}", "{RETURN}"}, 20);
  name("SUB", "Z21");
  run();
  EXPECT_EQ(cell("A1"), nullptr);  // -1 skips the rest of the cell
  EXPECT_EQ(number("A2"), 1);
  EXPECT_EQ(cell("A9"), nullptr);  // only exactly 1 calls
  EXPECT_EQ(number("A3"), 1);
}

TEST_F(Macros, WhileLoopsAsLongAsTheyLikeWithoutFillingTheStack) {
  name("SUB", "Z21");
  macro({"{WHILE A1<50,SUB}{LET B1,A1}"});
  macro({"{LET A1,A1+1}{RETURN}"}, 20);
  run();
  EXPECT_EQ(number("B1"), 50);
  EXPECT_TRUE(host.errors.empty()) << lastError();
}

TEST_F(Macros, CallsNestToTwentyAndTheLimitsSayWhy) {
  // A subroutine that calls itself until A1 reaches the depth asked.
  name("DEEP", "Z21");
  // A blank cell ends the whole macro: a subroutine returns with {RETURN}.
  macro({"{LET A1,A1+1}{IF A1<LIMIT}{CALL DEEP}", "{LET A2,A2+1}{RETURN}"}, 20);
  name("LIMIT", "B9");
  enter("B9", "20");
  macro({"{CALL DEEP}"});
  run();
  EXPECT_EQ(number("A1"), 20);
  EXPECT_EQ(number("A2"), 20);  // every level returned
  EXPECT_TRUE(host.errors.empty()) << lastError();
  enter("A1", "0");
  enter("B9", "21");
  run();
  EXPECT_EQ(lastError(), "Stack Overflow, Nesting>20 ");
  program.macros.RunMacroText("{RETURN}");
  EXPECT_EQ(lastError(), "Stack Underflow, Level<1");
  name("J", "C1");
  program.macros.RunMacroText(
      "{FOR J,1,1,1}{FOR J,1,1,1}{FOR J,1,1,1}{FOR J,1,1,1}{FOR J,1,1,1}{FOR J,1,1,1}");
  EXPECT_EQ(lastError(), "FOR LOOPS>5");
  program.macros.RunMacroText("{NEXT}");
  EXPECT_EQ(lastError(), "NEXT without FOR");
  macro({"{XYZ}"}, 30);
  run(30);
  EXPECT_EQ(lastError(), "Syntax Error:Z31");
  EXPECT_TRUE(program.macros.endedByError());
}

TEST_F(Macros, BranchQuitRestartAndExit) {
  name("THERE", "Z11");
  macro({"{LET A1,1}{BRANCH THERE}{LET A2,1}"});
  macro({"{LET A3,1}{QUIT}{LET A4,1}"}, 10);
  run();
  EXPECT_EQ(number("A1"), 1);
  EXPECT_EQ(cell("A2"), nullptr);
  EXPECT_EQ(number("A3"), 1);
  EXPECT_EQ(cell("A4"), nullptr);
  // EXIT leaves the level without going back: the subroutine's cells go on.
  name("SUB", "Z21");
  macro({"{CALL SUB}{LET B1,1}"}, 30);
  macro({"{EXIT}{LET B2,1}", "{LET B3,1}"}, 20);
  run(30);
  EXPECT_EQ(cell("B1"), nullptr);
  EXPECT_EQ(number("B2"), 1);
  EXPECT_EQ(number("B3"), 1);
}

TEST_F(Macros, KeystrokesBuildAModelThroughTheInputLine) {
  macro({"Price{RIGHT}12.5~", "{LEFT}{DOWN}Qty{RIGHT}4~", "{DOWN}+{UP}*{UP 2}~",
         "{GOTO D1}{EDIT}{BS 4}Total~"});
  run();
  EXPECT_EQ(text("A1"), "Price");
  EXPECT_EQ(number("B1"), 12.5);
  EXPECT_EQ(number("B2"), 4);
  EXPECT_EQ(input("B3"), "+B2*B1");
  EXPECT_EQ(number("B3"), 50);
  // {EDIT} of an empty cell beeps, Backspace in READY does nothing, and the
  // rest is typed as a new entry.
  EXPECT_EQ(text("D1"), "Total");
  EXPECT_EQ(host.mode, "READY");
}

TEST_F(Macros, MenusOfTheFrameAndOfTheMacro) {
  enter("A1", "0.5");
  host.scripted = {"code=P0"};
  program.macros.RunMacroText("{HOME}/rf");
  EXPECT_EQ(cell("A1")->format & kFormatMask, ParseFormatCode("P0"));
  // A macro menu: the items, their descriptions, the title right of them.
  macro({"First", "Second"}, 0);
  for (int r : {0, 1, 2}) EnterCell(ws, "'x", r, 26);
  EnterCell(ws, "'First", 10, 25);
  EnterCell(ws, "'Second", 10, 26);
  EnterCell(ws, "'one", 11, 25);
  EnterCell(ws, "'two", 11, 26);
  EnterCell(ws, "'Pick one", 11, 27);
  EnterCell(ws, "'{LET C1,1}", 12, 25);
  EnterCell(ws, "'{LET C1,2}", 12, 26);
  EnterCell(ws, "'{LET C1,3}", 12, 27);  // Esc lands right of the last item
  name("MENU", "Z11");
  host.scripted = {"Second"};
  program.macros.RunMacroText("{MENUBRANCH MENU}");
  EXPECT_EQ(number("C1"), 2);
  host.scripted = {"{ESC}"};
  program.macros.RunMacroText("{MENUBRANCH MENU}");
  EXPECT_EQ(number("C1"), 3);
}

TEST_F(Macros, InputsTakeScriptedAnswersAndStopWhenNoneIsLeft) {
  host.scripted = {"q", "{DOWN}", "north", "3*4", "~"};
  program.macros.RunMacroText(
      "{GET A1}{GET A2}{GETLABEL \"Where?\",A3}{GETNUMBER \"How many\"&\"?\",A4}{?}{LET A5,1}");
  EXPECT_EQ(text("A1"), "q");
  EXPECT_EQ(text("A2"), "{DOWN}");
  EXPECT_EQ(text("A3"), "north");
  EXPECT_EQ(number("A4"), 12);
  EXPECT_EQ(number("A5"), 1);
  EXPECT_EQ(host.asked[2], "the input box \"Where?\"");
  EXPECT_EQ(host.asked[3], "the input box \"How many?\"");
  program.macros.RunMacroText("{GET B1}{LET B2,1}");
  EXPECT_EQ(host.unanswered, "a key");
  EXPECT_EQ(cell("B2"), nullptr);
  EXPECT_FALSE(session.macroRunning);
}

TEST_F(Macros, StepModeShowsEachCellAndWaits) {
  macro({"{LET A1,1}", "{LET A2,2}"});
  host.scripted = {"~", "~"};
  program.macros.RunMacroAt(0, 25, true);
  EXPECT_EQ(number("A2"), 2);
  EXPECT_TRUE(host.scripted.empty());
  EXPECT_EQ(host.asked.size(), 2u);
  // F3 and Shift+F3 ask for the cell; without a key left the macro stops.
  keys("{SHIFT+F3}Z1~");
  EXPECT_EQ(host.unanswered, "a key");
}

TEST_F(Macros, TheWaysAMacroStarts) {
  macro({"{LET A1,A1+1}"});
  name("\\K", "Z1");
  keys("{CTRL+K}");
  EXPECT_EQ(number("A1"), 1);
  keys("{F3}Z1~");
  EXPECT_EQ(number("A1"), 2);
  keys("/tuZ1~");  // Tools > Run Macro
  EXPECT_EQ(number("A1"), 3);
  // A worksheet with an AUTOEXEC range runs it when it is opened.
  TempDir dir;
  name("AUTOEXEC", "Z1");
  std::string path = dir.file("auto.wk1");
  ASSERT_TRUE(frame.execute("FILESAVEAS", {Arg::ofText(path), Arg::ofNumber(0)}).ok);
  frame.closeAll();
  ASSERT_TRUE(frame.execute("FILEOPEN", {Arg::ofText(path)}).ok);
  Worksheet& opened = frame.active()->worksheet();
  EXPECT_EQ(opened.CellNumber(opened.FindCell(0, 0)), 4);
  // One asked for while another runs waits for it to end.
  EnterCell(opened, "'{LET B1,B1+1}{LET C1,B1}", 0, 25);
  program.macros.RunMacroText("/tuZ1~{LET D1,C1}");        // Tools > Run Macro
  EXPECT_EQ(opened.CellNumber(opened.FindCell(0, 3)), 0);  // not run yet when D1 was set
  EXPECT_EQ(opened.CellNumber(opened.FindCell(0, 2)), 1);  // but it ran afterwards
}

TEST_F(Macros, BreakStopsTheMacroAtTheNextCharacter) {
  macro({"{DOWN}{LET A1,1}", "{LET A2,1}"});
  auto forward = host.keySink;
  host.keySink = [&](const KeyPress& k) {
    if (k.key == Key::Down) program.macros.RequestBreak();
    forward(k);
  };
  run();
  EXPECT_EQ(lastError(), "Break! Z1");
  EXPECT_EQ(cell("A2"), nullptr);
  // A stale break request does not stop the next macro started from text.
  host.keySink = forward;
  program.macros.RunMacroText("{LET A3,1}");
  EXPECT_EQ(number("A3"), 1);
}

TEST_F(Macros, CursorWidthsTitlesAndTheScreenCommands) {
  program.macros.RunMacroText(
      "{GOTO C5}{XDN}{COLWIDTH D1,12}{ROWHEIGHT ,30}{ANCHOR 1}{RIGHT}{DOWN}");
  EXPECT_EQ(window->row(), 6);
  EXPECT_EQ(window->col(), 3);
  EXPECT_EQ(ws.columnPixels(3), 96);
  EXPECT_EQ(ws.rowPixels(5), 30);  // the cursor's row when the cell is omitted
  EXPECT_EQ(window->selection(), CellRange::of(5, 2, 6, 3));
  program.macros.RunMacroText("{ANCHOR 0}{BORDER 1,C4}");
  EXPECT_EQ(window->selection(), CellRange::cell(6, 3));
  EXPECT_EQ(ws.settings.titleRows.row2, 3);
  program.macros.RunMacroText("{BORDER 0,A1}{BEEP 3}");
  EXPECT_FALSE(ws.settings.titleRows.valid());
  int beeps = host.beeps;
  program.macros.RunMacroText("{BEEP 2}");
  EXPECT_EQ(host.beeps, beeps + 2);
  // What needs a screen stops a headless run and says why.
  program.macros.RunMacroText("{VIEWZOOM 150}{LET A1,1}");
  EXPECT_EQ(lastError(), "VIEWZOOM needs the desktop program: it shows a window");
  EXPECT_EQ(cell("A1"), nullptr);
  program.macros.RunMacroText("{PLAYWAVE \"x.wav\",2}");
  EXPECT_EQ(host.sounds, std::vector<std::string>{"x.wav|2"});
}

TEST_F(Macros, FileInputAndOutputKeepTheirResultCodes) {
  TempDir dir;
  std::string file = dir.file("out.txt");
  enter("B1", "'" + file);
  program.macros.RunMacroText(
      "{OPEN 1,2,B1}{WRITE 1,\"a\"}{WRITELN 1,\"b\"}{CLOSE 1}{APPEND 2,B1}{WRITELN 2,7*6}"
      "{CLOSE 2}{LET A1,@IORESULT}");
  std::ifstream in(file, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(all, "ab\r\n42\r\n");
  EXPECT_EQ(number("A1"), 0);
  enter("B2", "'" + dir.file("missing.txt"));
  enter("B3", "'" + dir.file("no/such/dir/f.txt"));
  program.macros.RunMacroText(
      "{OPEN 3,1,B2}{LET A2,@IORESULT}{OPEN 3,2,B3}{LET A3,@IORESULT}"
      "{CLOSE 9}{LET A4,@IORESULT}{OPEN 99,2,B1}{LET A5,@IORESULT}");
  EXPECT_EQ(number("A2"), 2);        // file not found
  EXPECT_EQ(number("A3"), 3);        // path not found
  EXPECT_EQ(number("A4"), 6);        // a file number that is not open
  EXPECT_EQ(number("A5"), 6);        // outside the table
  EXPECT_TRUE(host.errors.empty());  // none of them stops the macro
  enter("B4", "'" + dir.file("made"));
  program.macros.RunMacroText("{MKDIR B4}{LET A6,@IORESULT}{RMDIR B4}{LET A7,@IORESULT}");
  EXPECT_EQ(number("A6"), 0);
  EXPECT_EQ(number("A7"), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.file("made")));
}

TEST_F(Macros, FileCommandsSettingsAndNames) {
  TempDir dir;
  enter("B1", "'" + dir.file("kept.wk1"));
  program.macros.RunMacroText(
      "{LET A1,1}{FILESAVEAS B1,0}{FILEDOC 0,\"A title\"}{RANGECREATE \"totals\",A1..A3}"
      "{GENFORMAT \"F2\"}{GENCOLOR 2,3,255,1}{GENOPTION \"D2,O12,ZN,HN\"}{GENADV \"CPEUR\"}"
      "{RANGECREATE \"B7\",A1}{LET A2,1}");
  EXPECT_TRUE(std::filesystem::exists(dir.file("kept.wk1")));
  EXPECT_EQ(ws.settings.title, "A title");
  EXPECT_EQ(ws.names.count(), 1);  // B7 reads as an address: refused, and the macro stops
  EXPECT_EQ(lastError(), "Invalid Range Name");
  EXPECT_EQ(cell("A2"), nullptr);
  EXPECT_EQ(ws.settings.globalFormat, ParseFormatCode("F2"));
  EXPECT_EQ(ws.settings.colours[2], 0x830000FFu);
  EXPECT_EQ(ws.settings.sheetRows, 2048);
  EXPECT_EQ(ws.settings.defaultColumnPixels, 96);
  EXPECT_TRUE(ws.settings.zerosHidden);
  EXPECT_EQ(ws.settings.gridLines & 1, 0);
  EXPECT_EQ(ws.settings.currencyPrefix, "EU");
  program.macros.RunMacroText("{RANGETABLE D1}{RANGEDELETE \"TOTALS\"}");
  EXPECT_EQ(text("D1"), "TOTALS");
  EXPECT_EQ(ws.names.count(), 0);
  // FILERETRIEVE closes the windows, opens the file and ends the macro.
  program.macros.RunMacroText("{FILERETRIEVE B1,1}{LET A9,1}");
  ASSERT_EQ(frame.windows().size(), 1u);
  Worksheet& back = frame.active()->worksheet();
  EXPECT_EQ(back.fileName, dir.file("kept.wk1"));
  EXPECT_EQ(back.FindCell(8, 0), kNoCell);
  // FILEPICK enters the chosen name; FILEERASE deletes a file.
  host.scripted = {dir.file("kept.wk1")};
  program.macros.RunMacroText("{FILEPICK \"*.WK1\",\"Worksheets (*.wk1)\",C1}{FILEERASE C1}");
  EXPECT_EQ(back.LabelText(back.FindCell(0, 2)), dir.file("kept.wk1"));
  EXPECT_FALSE(std::filesystem::exists(dir.file("kept.wk1")));
  // A file command's failure ends the macro with its message.
  program.macros.RunMacroText("{FILEIMPORT \"no such file.txt\",A1}");
  EXPECT_EQ(lastError(), "File Not Found");
}

}  // namespace
}  // namespace tw::test
