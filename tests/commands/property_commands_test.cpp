// The Properties dialog's pages, the format bar and the attribute keywords.
#include "commands/property_commands.h"

#include "macros/macro_interpreter.h"
#include "shell/dialog_models.h"
#include "test_support.h"

namespace tw::test {
namespace {

class CellProperties : public ProgramTest {
 public:
  CommandContext cx() {
    CommandContext c{session, &ws};
    c.row = window->row();
    c.col = window->col();
    return c;
  }
  CellRange range(const std::string& text) { return ParseRange(ws, text).range; }
  uint8_t borders(const std::string& a) { return cell(a) ? cell(a)->borders : 0; }
};

TEST_F(CellProperties, BordersOutInAllAndClearFollowTheCellsPlace) {
  Properties p;
  p.mask = kPageBorder;
  p.line = BorderLine::Single;
  p.where = BorderWhere::Out;
  CommandContext c = cx();
  ApplyProperties(c, range("B2..D4"), p);
  EXPECT_EQ(borders("B2"), 0x41);  // left and top
  EXPECT_EQ(borders("C3"), 0x00);
  EXPECT_EQ(borders("D4"), 0x14);  // bottom and right
  p.where = BorderWhere::In;
  ApplyProperties(c, range("B2..D4"), p);
  EXPECT_EQ(borders("C3"), 0x55);
  EXPECT_EQ(borders("B2"), 0x14);
  p.where = BorderWhere::Out;
  p.line = BorderLine::Thick;
  ApplyProperties(c, range("F6"), p);
  EXPECT_EQ(borders("F6"), 0xAA);  // one cell has all four edges
}

TEST_F(CellProperties, PrefixLockShadeTypefaceAndProtection) {
  enter("A1", "'abc");
  enter("A2", "5");
  Properties p;
  p.mask = kPagePrefix | kPageTypeface | kPageShade;
  p.prefix = PrefixChoice::Center;
  p.font = 2;
  p.size = 14;
  p.styleBits = 1;
  p.textColour = 9;
  p.background = 0x123456;
  CommandContext c = cx();
  ApplyProperties(c, range("A1..A2"), p);
  EXPECT_EQ(input("A1"), "^abc");
  EXPECT_EQ(cell("A2")->style & 0x70, 0x30);
  EXPECT_EQ(cell("A2")->font, 2);
  EXPECT_EQ(cell("A2")->size, 14);
  EXPECT_EQ(cell("A2")->colour & 0x0FFFFFFF, 0x09123456u);
  // With protection on, locked cells stay as they are.
  ws.settings.protection = true;
  p.mask = kPageShade;
  p.defaultShade = true;
  ApplyProperties(c, range("A1..A2"), p);
  EXPECT_EQ(cell("A2")->colour & kColourRgbMask, 0x123456u);
  ws.settings.protection = false;
  program.macros.RunMacroText("{RANGELOCK A2,0}{RANGEJUSTIFY A1,2}{RANGEPREFIX A1,\"'\"}");
  EXPECT_FALSE(cell("A2")->isProtected());
  EXPECT_EQ(cell("A1")->style & 0x70, 0x20);
  EXPECT_EQ(input("A1"), "'abc");
  program.macros.RunMacroText("{RANGECOLOR A2,255,2}");
  EXPECT_EQ(cell("A2")->colour, 0x020000FFu);
}

TEST_F(CellProperties, BlockCaseChangesLabelsOnly) {
  enter("A1", "'hello wide world");
  enter("A2", "12");
  program.macros.RunMacroText("{BLOCKCASE A1..A2,2}");
  EXPECT_EQ(text("A1"), "Hello Wide World");
  program.macros.RunMacroText("{BLOCKCASE A1,0}");
  EXPECT_EQ(text("A1"), "HELLO WIDE WORLD");
  program.macros.RunMacroText("{BLOCKCASE A1,1}");
  EXPECT_EQ(text("A1"), "hello wide world");
  EXPECT_EQ(number("A2"), 12);
}

TEST_F(CellProperties, TheFormatBarsSizesColoursAndStyles) {
  enter("A1", "1");
  enter("B1", "2");
  cell("A1")->size = 5;
  cell("B1")->size = 49;
  CommandContext c = cx();
  StepPointSize(c, range("A1..B1"), -1);
  EXPECT_EQ(cell("A1")->size, 5);
  StepPointSize(c, range("A1..B1"), 1);
  EXPECT_EQ(cell("B1")->size, 49);
  EXPECT_EQ(ws.rowPixels(0), rowPixelsForSize(ws, 49));
  StepPointSize(c, range("C1"), 1);
  EXPECT_EQ(cell("C1")->size, 17);  // the default size counts as 16
  // The nearest of the sixteen colours, the first on ties.
  EXPECT_EQ(nearestPaletteEntry(0xFE0101), 12);  // the table's red
  EXPECT_EQ(nearestPaletteEntry(0x7F7F7F), 8);
  SetTextColour(c, range("A1"), 0x0000F0);
  EXPECT_EQ((cell("A1")->colour >> 24) & 0x4F, 9u);  // blue, automatic text off
  SetBackground(c, range("A1"), 0xABCDEF);
  EXPECT_EQ(cell("A1")->colour & 0x80FFFFFF, 0x00ABCDEFu);
  // Bold on centred numbers: bold, and the alignment gone.
  cell("A1")->style = 0x30;
  ToggleStyleBit(c, range("A1..B1"), 1);
  EXPECT_EQ(cell("A1")->style, 0x01);
  EXPECT_EQ(cell("B1")->style, 0x01);
  // Only the format box minds protection.
  ws.settings.protection = true;
  SetFormatFromBox(c, range("A1"), "C2, Currency");
  EXPECT_NE(cell("A1")->format & kFormatMask, ParseFormatCode("C2"));
  SetTypeface(c, range("A1"), 3);
  EXPECT_EQ(cell("A1")->font, 3);
  frame.execute("PROTECTSHEET");
  EXPECT_FALSE(ws.settings.protection);
  SetFormatFromBox(c, range("A1"), "C2, Currency");
  EXPECT_EQ(cell("A1")->format & kFormatMask, ParseFormatCode("C2"));
}

TEST_F(CellProperties, TheDialogAppliesOnlyTheChangedPages) {
  enter("B2", "3");
  cell("B2")->colour = 0x40FFEEDD;
  keys("{GOTO}B2~");
  host.scripted.push_back("line=single;where=out;lock=disable");
  frame.invoke("PROPERTIES");
  EXPECT_EQ(borders("B2"), 0xFF & 0x55);
  EXPECT_FALSE(cell("B2")->isProtected());
  EXPECT_EQ(cell("B2")->colour, 0x40FFEEDDu);  // the shade page was not touched
  // One page from the menu; OK with nothing changed is refused with a message.
  host.scripted.push_back("");
  frame.invoke("PROPFORMAT");
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), "Change a page first.");
  host.scripted.push_back("format=P1");
  frame.invoke("PROPFORMAT");
  EXPECT_EQ(cell("B2")->format & kFormatMask, ParseFormatCode("P1"));
}

}  // namespace
}  // namespace tw::test
