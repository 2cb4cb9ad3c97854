// Cut, copy and paste through the headless program's clipboard.
#include "commands/clipboard_commands.h"

#include "macros/macro_interpreter.h"
#include "test_support.h"

namespace tw::test {
namespace {

class Clipboard : public ProgramTest {
 public:
  void run(const std::string& macro) { program.macros.RunMacroText(macro); }
  void otherProgramCopied(const std::string& text) {
    host.clipboardData = ClipboardData{};
    host.clipboardData.hasText = true;
    host.clipboardData.text = text;
  }
};

TEST_F(Clipboard, ABlockComesBackAsTypedWithItsAttributes) {
  enter("B1", "4");
  enter("A1", "+B1*2");
  enter("B2", "'x;y");  // a ";" of its own
  cell("A1")->colour = 0x40ABCDEF;
  cell("A1")->style = 0x21;
  cell("A1")->format = 0x02 | kFormatProtected;
  run("{EDITCOPY A1..B2}");
  EXPECT_EQ(host.clipboardData.text, "8.00\t4\r\n\tx;y\r\n");  // as shown, in F2
  run("{EDITPASTE D5}");
  // The formula's text, entered afresh: it names B1 still.
  EXPECT_EQ(input("D5"), "+B1*2");
  EXPECT_EQ(number("D5"), 8);
  EXPECT_EQ(cell("D5")->colour, 0x40ABCDEFu);
  EXPECT_EQ(cell("D5")->style, 0x21);
  EXPECT_EQ(cell("D5")->format, 0x02 | kFormatProtected);
  EXPECT_EQ(number("E5"), 4);
  EXPECT_EQ(input("E6"), "'x;y");
  EXPECT_EQ(cell("D6"), nullptr);  // an empty position stays empty
}

TEST_F(Clipboard, PlainTextFromAnotherProgramKeepsItsRowsAndItsSemicolons) {
  otherProgramCopied("1\t2\r\n\r\nabc;def\t=3\n4");
  run("{EDITPASTE A1}");
  EXPECT_EQ(number("A1"), 1);
  EXPECT_EQ(number("B1"), 2);
  EXPECT_EQ(cell("A2"), nullptr);  // the empty line is an empty row
  EXPECT_EQ(text("A3"), "abc;def");
  EXPECT_EQ(text("B3"), "=3");
  EXPECT_EQ(number("A4"), 4);
  // A line of plain text keeps 255 characters: what follows is dropped.
  otherProgramCopied("'" + std::string(200, 'q') + "\t" + std::string(54, 'r') + "\t5");
  run("{EDITPASTE C10}");
  EXPECT_EQ(text("C10").size(), 200u);
  EXPECT_EQ(text("D10").size(), 53u);
  EXPECT_EQ(cell("E10"), nullptr);
}

TEST_F(Clipboard, APasteStopsAtAFormulaThatDoesNotCompile) {
  otherProgramCopied("1\t+@SUM(\t3");
  run("{EDITPASTE A1}");
  EXPECT_EQ(number("A1"), 1);
  EXPECT_EQ(cell("B1"), nullptr);
  EXPECT_EQ(cell("C1"), nullptr);
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), "Syntax Error in pasted text at B1");
}

TEST_F(Clipboard, CutErasesAndCopyKeepsTheLastUndo) {
  enter("A1", "5");
  enter("A2", "6");
  run("{BLANK A1}");
  run("{EDITCOPY A2}");
  run("{UNDO}");  // still the erase's
  EXPECT_EQ(number("A1"), 5);
  run("{EDITCUT A1..A2}");
  EXPECT_EQ(typeCode(cell("A1")), uint8_t(CellType::Blank));
  // Into another worksheet.
  frame.execute("FILENEW");
  Worksheet& other = frame.active()->worksheet();
  run("{EDITPASTE B2}");
  EXPECT_EQ(other.CellNumber(other.FindCell(1, 1)), 5);
  EXPECT_EQ(other.CellNumber(other.FindCell(2, 1)), 6);
}

TEST_F(Clipboard, ABlockTooLargeIsRefusedAndNothingIsCut) {
  std::string label = "'" + std::string(200, 'z');
  for (int r = 1; r <= 400; ++r) enter("A" + std::to_string(r), label);
  host.clipboardData = ClipboardData{};
  run("{EDITCUT A1..A400}");
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), "Block too large for the clipboard");
  EXPECT_FALSE(host.clipboardData.hasText);
  EXPECT_EQ(text("A400").size(), 200u);
}

TEST_F(Clipboard, TheEditMenuAndItsKeys) {
  enter("A1", "7");
  keys("{CTRL+C}{RIGHT}{CTRL+V}");
  EXPECT_EQ(number("B1"), 7);
  // Without the Windows control keys, Ctrl+V is no paste.
  session.settings().windowsControlKeys = false;
  keys("{RIGHT}{CTRL+V}");
  EXPECT_EQ(cell("C1"), nullptr);
  keys("/ep");
  EXPECT_EQ(number("C1"), 7);
}

}  // namespace
}  // namespace tw::test
