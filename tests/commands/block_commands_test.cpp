// Copy, move, erase, the value copies, and inserting and deleting rows and
// columns, run as macros run them (the way --run reaches them).
#include "commands/block_commands.h"

#include "core/undo.h"
#include "macros/macro_interpreter.h"
#include "shell/range_name_dialog.h"
#include "test_support.h"

namespace tw::test {
namespace {

class Blocks : public ProgramTest {
 public:
  void run(const std::string& macro) { program.macros.RunMacroText(macro); }
  std::string lastError() { return host.errors.empty() ? std::string() : host.errors.back(); }
  CellRange named(const std::string& name) {
    int n = ws.names.FindName(name);
    return n > 0 ? ws.names.entry(n).range.ordered() : kEmptyRange;
  }
  CellRange range(const std::string& text) { return ParseRange(ws, text).range; }
};

TEST_F(Blocks, CopyAdjustsRelativeReferencesAndKeepsAbsoluteOnes) {
  enter("B1", "1");
  enter("B2", "2");
  enter("A1", "+B1");
  enter("C1", "+$B$1*10");
  run("{COPY A1,A2..A5}{COPY C1,C2..C3}");
  EXPECT_EQ(input("A2"), "+B2");
  EXPECT_EQ(input("A5"), "+B5");
  EXPECT_EQ(number("A2"), 2);
  EXPECT_EQ(input("C3"), "+$B$1*10");
  EXPECT_EQ(number("C3"), 10);
  // Each copy links its own cells: a new B3 shows in A3.
  enter("B3", "7");
  EXPECT_EQ(number("A3"), 7);
}

TEST_F(Blocks, CopyShapesRepeatRowsAndColumnsAndABlockNeedsOnlyItsCorner) {
  enter("A1", "1");
  enter("B1", "2");
  run("{COPY A1..B1,D1..D3}");
  EXPECT_EQ(number("D3"), 1);
  EXPECT_EQ(number("E3"), 2);
  enter("A5", "5");
  enter("A6", "6");
  run("{COPY A5..A6,C5..E5}");
  EXPECT_EQ(number("E6"), 6);
  // Two by two to one cell writes two by two; the target's far corner is ignored.
  enter("B5", "7");
  enter("B6", "8");
  run("{COPY A5..B6,G10..G10}");
  EXPECT_EQ(number("G10"), 5);
  EXPECT_EQ(number("H11"), 8);
}

TEST_F(Blocks, AnOverlappingCopyReadsTheSourceAsItWas) {
  for (int i = 1; i <= 4; ++i) enter("A" + std::to_string(i), std::to_string(i));
  enter("B1", "+A1*2");
  run("{COPY A1..B4,A2}");
  EXPECT_EQ(number("A2"), 1);
  EXPECT_EQ(number("A5"), 4);
  EXPECT_EQ(input("B2"), "+A2*2");
  EXPECT_EQ(number("B2"), 2);
  // Shifted one column right over itself.
  enter("D1", "1");
  enter("E1", "2");
  enter("F1", "3");
  run("{COPY D1..F1,E1}");
  EXPECT_EQ(number("E1"), 1);
  EXPECT_EQ(number("F1"), 2);
  EXPECT_EQ(number("G1"), 3);
}

TEST_F(Blocks, ReferencesCopiedOffTheTopWrapAndOffTheLeftAreErr) {
  enter("B5", "+B4");
  run("{COPY B5,B1}");
  EXPECT_EQ(input("B1"), "+B8192");
  enter("B7", "+A7");
  run("{COPY B7,A7}");
  EXPECT_TRUE(isErr("A7"));
}

TEST_F(Blocks, CopiedStringFormulasGetTheirOwnResults) {
  enter("A1", "'x");
  enter("B1", "+A1&\"!\"");
  run("{COPY A1..B1,A2}");
  EXPECT_EQ(text("B2"), "x!");
  enter("A2", "'y");
  EXPECT_EQ(text("B2"), "y!");
  EXPECT_EQ(text("B1"), "x!");
}

TEST_F(Blocks, AnEmptySourceBlanksTheTargetButNotAProtectedOne) {
  enter("B1", "5");
  enter("B2", "6");
  cell("B1")->colour = 0x40123456;
  cell("B1")->format &= ~kFormatProtected;
  ws.settings.protection = true;
  run("{COPY A1..A2,B1}");  // A1 and A2 hold nothing
  EXPECT_EQ(typeCode(cell("B1")), uint8_t(CellType::Blank));
  EXPECT_EQ(cell("B1")->colour, 0x40123456u);
  EXPECT_EQ(number("B2"), 6);  // locked
}

TEST_F(Blocks, ACopyOffTheSheetChangesNothing) {
  enter("A1", "1");
  enter("A2", "2");
  run("{COPY A1..A2,IV8192}");
  EXPECT_EQ(lastError(), "Copy Error");
  EXPECT_EQ(cell("IV8192"), nullptr);
}

TEST_F(Blocks, MoveTakesEveryReferenceAlongAndEmptiesWhatItCovers) {
  enter("B1", "5");
  enter("C1", "+B1");
  enter("D1", "9");
  enter("E1", "+D1");
  run("{MOVE B1,D1}");
  EXPECT_EQ(input("C1"), "+D1");
  EXPECT_EQ(number("C1"), 5);
  EXPECT_TRUE(isErr("E1"));  // its cell was replaced
  EXPECT_EQ(cell("B1"), nullptr);
  // A moved formula keeps naming the cells it named.
  enter("G1", "+C1*2");
  run("{MOVE G1,G5}");
  EXPECT_EQ(input("G5"), "+C1*2");
  EXPECT_EQ(number("G5"), 10);
}

TEST_F(Blocks, MoveStretchesRangesWhoseCornerItTakes) {
  ws.names.DefineName("BLOCK", range("A1..A10"));
  for (int i = 1; i <= 3; ++i) enter("A" + std::to_string(i), std::to_string(i));
  enter("B1", "@SUM(A1..A3)");
  run("{MOVE A1..A3,C1}");
  EXPECT_EQ(named("BLOCK"), range("A1..C10"));  // first corner moved, second not
  EXPECT_EQ(input("B1"), "@SUM(C1..C3)");
  // Moving the last corner stretches the sum, and the cells it now covers are linked.
  run("{MOVE C3,C6}");
  EXPECT_EQ(input("B1"), "@SUM(C1..C6)");
  EXPECT_EQ(number("B1"), 6);
  enter("C5", "10");
  EXPECT_EQ(number("B1"), 16);
}

TEST_F(Blocks, MoveAndCopyCanBeUndone) {
  enter("A1", "1");
  enter("B1", "+A1");
  run("{MOVE A1,A5}");
  EXPECT_EQ(input("B1"), "+A5");
  run("{UNDO}");
  EXPECT_EQ(number("A1"), 1);
  EXPECT_EQ(input("B1"), "+A1");
  EXPECT_EQ(cell("A5"), nullptr);
}

TEST_F(Blocks, EraseSkipsLockedCellsAndRecalculates) {
  enter("A1", "1");
  enter("A2", "2");
  enter("B1", "@SUM(A1..A2)");
  cell("A1")->format &= ~kFormatProtected;
  ws.settings.protection = true;
  run("{BLANK A1..A2}");
  EXPECT_EQ(typeCode(cell("A1")), uint8_t(CellType::Blank));
  EXPECT_EQ(number("A2"), 2);
  EXPECT_EQ(number("B1"), 2);
}

TEST_F(Blocks, ValueCopiesTransposeScaleInvertAndFormulaText) {
  enter("A1", "1");
  enter("B1", "2");
  enter("C1", "+A1+B1");
  run("{COPYTRANS A1..C1,E1}");
  EXPECT_EQ(number("E1"), 1);
  EXPECT_EQ(number("E3"), 3);
  EXPECT_EQ(typeCode(cell("E3")), uint8_t(CellType::Integer));
  run("{COPYSCALE A1..C1,A2,1.5}");
  EXPECT_EQ(number("C2"), 4.5);
  enter("D1", "0");
  run("{COPYINV B1..D1,A3}");
  EXPECT_EQ(number("A3"), 0.5);
  EXPECT_TRUE(isErr("C3"));  // 1/0
  // The formula's text, not adjusted: it names the same cells.
  run("{COPYFORM C1,C5}");
  EXPECT_EQ(input("C5"), "+A1+B1");
  EXPECT_EQ(number("C5"), 3);
  // In place, formulas become their values.
  run("{COPYVAL C1,C1}");
  EXPECT_EQ(typeCode(cell("C1")), uint8_t(CellType::Integer));
}

TEST_F(Blocks, ValueCopyOfALabelAndOfAStringResult) {
  enter("A1", "\"right");
  enter("B1", "+\"=\"&\"x\"");
  run("{COPYVAL A1..B1,A2}");
  EXPECT_EQ(input("A2"), "\"right");
  EXPECT_EQ(text("B2"), "=x");
  EXPECT_EQ(typeCode(cell("B2")), uint8_t(CellType::Label));
}

TEST_F(Blocks, InsertedRowsWidenTheSumsThatSpanThem) {
  enter("A1", "1");
  enter("A10", "2");
  enter("A20", "@SUM(A1..A10)");
  ws.settings.ranges[kPrintRange] = range("B30..C40");
  run("{INSERTROW A5..A6}");
  EXPECT_EQ(input("A22"), "@SUM(A1..A12)");
  EXPECT_EQ(cell("A20"), nullptr);
  EXPECT_EQ(number("A12"), 2);
  EXPECT_EQ(ws.settings.ranges[kPrintRange], range("B32..C42"));
  enter("A5", "10");
  EXPECT_EQ(number("A22"), 13);
}

TEST_F(Blocks, DeletedColumnsTurnTheirReferencesToErr) {
  enter("A1", "+C1");
  enter("A2", "@SUM(A3..E3)");
  enter("A4", "@SUM(C3..E3)");
  enter("D3", "4");
  ws.columnWidth[3] = 100;  // D
  run("{DELETECOL C1}");
  EXPECT_TRUE(isErr("A1"));
  EXPECT_EQ(input("A2"), "@SUM(A3..D3)");
  EXPECT_EQ(number("A2"), 4);
  EXPECT_TRUE(isErr("A4"));
  EXPECT_EQ(number("C3"), 4);
  EXPECT_EQ(ws.columnWidth[2], 100);  // the width went with its column
}

TEST_F(Blocks, DeletingRowsPullsCornersInTheBlockToItsFirstRow) {
  ws.names.DefineName("SPAN", range("A6..B10"));
  enter("A20", "1");
  run("{DELETEROW A5..A7}");
  EXPECT_EQ(named("SPAN"), range("A5..B7"));
  EXPECT_EQ(number("A17"), 1);
  // Beyond the last used row only the remembered ranges move.
  ws.settings.ranges[kPrintRange] = range("A100..A110");
  run("{DELETEROW A50}");
  EXPECT_EQ(ws.settings.ranges[kPrintRange], range("A99..A109"));
}

TEST_F(Blocks, CornersInEitherOrderMeanTheSameColumns) {
  enter("A1", "1");
  enter("D1", "4");
  run("{DELETECOL C5..A5}");
  EXPECT_EQ(number("A1"), 4);
  EXPECT_EQ(cell("D1"), nullptr);
}

TEST_F(Blocks, InsertsThatWouldPushCellsOffTheSheetChangeNothing) {
  enter("A8192", "1");
  ws.settings.ranges[kPrintRange] = range("A10..A20");
  run("{INSERTROW A3}");
  EXPECT_EQ(lastError(), "CELLS in bottom row");
  EXPECT_EQ(number("A8192"), 1);
  EXPECT_EQ(ws.settings.ranges[kPrintRange], range("A10..A20"));
  enter("IV1", "2");
  run("{INSERTCOL B1}");
  EXPECT_EQ(lastError(), "Cells in last Column");
  EXPECT_EQ(number("IV1"), 2);
}

TEST_F(Blocks, RowOperationsStayInTheirPageAndAcrossRowReachesEveryPage) {
  ws.settings.sheetRows = 2048;  // four pages
  enter("A11", "1");
  enter("A2059", "2");  // row 11 of the second page
  run("{INSERTROW A10}");
  EXPECT_EQ(number("A12"), 1);
  EXPECT_EQ(number("A2059"), 2);
  // "Across Row" is a menu item's; no keyword names it.
  frame.execute("INSERTROWS", {Arg::ofRange(range("A10"))});
  EXPECT_EQ(number("A13"), 1);
  EXPECT_EQ(number("A2060"), 2);
  run("{UNDO}");  // one snapshot for every page
  EXPECT_EQ(number("A12"), 1);
  EXPECT_EQ(number("A2059"), 2);
}

TEST_F(Blocks, TheMenuAsksForTheSourceThenTheTarget) {
  enter("A1", "+B1");
  enter("B1", "4");
  enter("B2", "5");
  // The source prompt starts from the selection (A1); the target is typed.
  keys("/rc~A2~");
  EXPECT_EQ(input("A2"), "+B2");
  EXPECT_EQ(number("A2"), 5);
  // Esc at either prompt cancels.
  keys("/rm~{ESC}");
  EXPECT_EQ(input("A1"), "+B1");
  EXPECT_EQ(host.mode, "READY");
  // The Copy dialog: kind, ranges and factor.
  host.scripted.push_back("kind=scale;from=B1..B2;to=D1;factor=3");
  frame.invoke("COPYDIALOG");
  EXPECT_EQ(number("D1"), 12);
  EXPECT_EQ(number("D2"), 15);
  // Edit > Delete, and the Del key, erase the selection.
  keys("{GOTO}D1~{DEL}");
  EXPECT_EQ(typeCode(cell("D1")), uint8_t(CellType::Blank));
}

TEST_F(Blocks, TheSpeedButtonsTakeTheSelectionsRows) {
  enter("A5", "5");
  enter("A6", "6");
  enter("C1", "1");
  window->moveTo(3, 1);
  window->moveTo(4, 1, true);  // B4..B5
  frame.execute("ROWSBUTTON", {Arg::ofNumber(-1)});
  EXPECT_EQ(number("A4"), 6);
  EXPECT_EQ(window->row(), 3);  // the selection's first corner
  EXPECT_EQ(window->col(), 1);
  frame.execute("COLUMNSBUTTON", {Arg::ofNumber(1)});
  EXPECT_EQ(number("D1"), 1);
}

TEST_F(Blocks, APageBreakIsALabelEnteredAtTheRow) {
  run("{GOTO C4}");
  frame.execute("PAGEBREAK");
  EXPECT_EQ(input("C4"), "|::");
}

TEST_F(Blocks, ARunningMacroFollowsItsCellsWhenRowsAreInserted) {
  enter("Z1", "'{INSERTROW Z1}");
  enter("Z2", "'{LET A1,A1+1}");
  program.macros.RunMacroAt(0, 25);
  EXPECT_EQ(number("A1"), 1);  // the next cell ran once, from its new row
  EXPECT_EQ(input("Z3"), "'{LET A1,A1+1}");
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

class RangeNameDialog : public ProgramTest {};

TEST_F(RangeNameDialog, TheDialogCreatesDeletesBuildsAndTablesNames) {
  RangeNameModel m(frame, "A1");
  m.name = "sales";
  m.range = "B2..C4";
  m.create();
  EXPECT_EQ(m.message, "");
  ASSERT_EQ(m.entries().size(), 1u);
  EXPECT_EQ(m.entries()[0], (std::pair<std::string, std::string>{"SALES", "B2..C4"}));
  EXPECT_EQ(m.total(), "Total: 1");
  m.name = "2024";
  m.create();
  EXPECT_EQ(m.message, " All Digits in Name!");
  EXPECT_EQ(m.entries().size(), 1u);
  // Build from a block of labels, then the table of every name.
  enter("E1", "'my name");
  enter("F1", "'A1..A3");
  enter("E2", "'");
  enter("F2", "'B1");
  m.source = "E1..F2";
  m.build();
  ASSERT_EQ(m.entries().size(), 2u);
  EXPECT_EQ(m.entries()[0].first, "MYNAME");
  m.target = "H1";
  m.table();
  EXPECT_EQ(input("H1"), "'MYNAME");
  EXPECT_EQ(text("I2"), "B2..C4");
  // Picking an entry fills the fields; Delete needs a name that exists.
  m.pick(1);
  EXPECT_EQ(m.name, "SALES");
  EXPECT_TRUE(m.canDelete());
  m.remove();
  EXPECT_EQ(m.entries().size(), 1u);
  EXPECT_EQ(m.name, "");
  int beeps = host.beeps;
  m.name = "NOSUCH";
  m.remove();
  EXPECT_EQ(host.beeps, beeps + 1);
  // Reset asks first.
  host.scripted.push_back("N");
  m.reset();
  EXPECT_EQ(m.entries().size(), 1u);
  host.scripted.push_back("Y");
  m.reset();
  EXPECT_TRUE(m.entries().empty());
}

TEST_F(RangeNameDialog, TheDialogFromTheMenuAndPointingAtAField) {
  // A button pressed through the scripted answer, then OK.
  host.scripted.push_back("name=top;range=A1..A2;press=create");
  keys("/rnn");
  EXPECT_EQ(ws.names.FindName("TOP") > 0, true);
  // Pointing: the dialog closes, the prompt takes the range, the dialog
  // comes back with it.
  host.scripted.push_back("name=low;point=range");
  host.scripted.push_back("press=create");
  frame.invoke("RANGENAME");
  ASSERT_TRUE(frame.promptOpen());
  keys("B3..B9~");
  int n = ws.names.FindName("LOW");
  ASSERT_GT(n, 0);
  EXPECT_EQ(ws.names.entry(n).range, ParseRange(ws, "B3..B9").range);
}

}  // namespace
}  // namespace tw::test
