// The macro-button bar: its lines and their fields, the toolbar and glyph
// files, scrolling and hit testing, the Define Button dialog, and a click
// running its macro through the frame.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/bmp_file.h"
#include "shell/dialog_models.h"
#include "shell/macro_bar.h"
#include "test_support.h"

namespace tw::test {
namespace {

std::string fileText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

Bitmap picture(int w, int h, uint32_t colour) {
  Bitmap b;
  b.width = w;
  b.height = h;
  b.pixels.assign(size_t(w) * size_t(h), colour);
  return b;
}

uint32_t glyphAt(const MacroBar& bar, int k, int x, int y) {
  return bar.strip().pixels[size_t(k * kGlyphSide + y) * kGlyphSide + size_t(x)];
}

TEST(MacroBar, FieldsOfALine) {
  MacroBar bar;
  ASSERT_TRUE(bar.setItem(0, "Sum|Adds up|{LET A1,1}|more"));
  ASSERT_TRUE(bar.setItem(1, "{BEEP}"));
  ASSERT_TRUE(bar.setItem(2, "Nm|hint"));
  ASSERT_TRUE(bar.setItem(3, "X| |{BEEP}"));
  ASSERT_TRUE(bar.setItem(5, "Z||"));
  EXPECT_FALSE(bar.setItem(50, "too far"));
  EXPECT_FALSE(bar.setItem(-1, "x"));
  EXPECT_EQ(bar.items().size(), 6u) << "a gap filled with empty items";

  EXPECT_EQ(bar.name(0), "Sum");
  EXPECT_EQ(bar.label(0), "Su");
  EXPECT_EQ(bar.macro(0), "{LET A1,1}|more") << "only the first two fields are dropped";
  EXPECT_EQ(bar.toolTip(0), "Adds up");
  EXPECT_EQ(bar.macro(1), "{BEEP}") << "without a \"|\" the whole line runs";
  EXPECT_EQ(bar.toolTip(1), kUnassignedMacro);
  EXPECT_EQ(bar.macro(2), "hint") << "a field without its \"|\" is not dropped";
  EXPECT_EQ(bar.toolTip(2), "hint");
  EXPECT_EQ(bar.toolTip(3), kUnassignedMacro) << "a hint of one space";
  EXPECT_EQ(bar.toolTip(4), kUnassignedMacro) << "an empty item";
  EXPECT_EQ(bar.toolTip(5), kUnassignedMacro) << "an empty hint";
  EXPECT_EQ(bar.toolTip(40), kUnassignedMacro) << "no item";
  EXPECT_EQ(bar.label(40), "");
  EXPECT_EQ(bar.macro(-3), "");
}

TEST(MacroBar, ScrollingAndHitTesting) {
  MacroBar bar;
  EXPECT_FALSE(bar.scrollUp()) << "up stops at 0";
  EXPECT_EQ(bar.lowestTop(440), 32);  // 52 - 440 div 22
  EXPECT_EQ(bar.lowestTop(450), 32);
  for (int i = 0; i < 32; ++i) EXPECT_TRUE(bar.scrollDown(440));
  EXPECT_FALSE(bar.scrollDown(440));
  EXPECT_EQ(bar.top(), 32);
  EXPECT_TRUE(bar.scrollUp());
  EXPECT_EQ(bar.top(), 31);
  while (bar.scrollUp()) {
  }
  EXPECT_EQ(bar.top(), 0);

  // Rows start 8 pixels down, 20 each.
  EXPECT_EQ(bar.buttonAt(7), -1);
  EXPECT_EQ(bar.buttonAt(8), 0);
  EXPECT_EQ(bar.buttonAt(27), 0);
  EXPECT_EQ(bar.buttonAt(28), 1);
  EXPECT_EQ(bar.rowTop(1), 28);
  EXPECT_EQ(bar.buttonAt(8 + 49 * 20), 49);
  EXPECT_EQ(bar.buttonAt(8 + 50 * 20), -1) << "past the fiftieth";
  bar.scrollDown(440);
  bar.scrollDown(440);
  EXPECT_EQ(bar.buttonAt(8), 2);
  EXPECT_EQ(bar.rowTop(2), 8);
  EXPECT_EQ(bar.rowTop(0), -32) << "scrolled out above";
}

TEST(MacroBar, ToolbarAndGlyphFiles) {
  TempDir dir;
  MacroBar bar;
  EXPECT_FALSE(bar.readItems(dir.file("TALWAY.MAC")));
  EXPECT_TRUE(bar.items().empty()) << "a missing file gives an empty bar";

  {
    std::ofstream f(dir.file("TALWAY.MAC"), std::ios::binary);
    f << "Ab|First|{BEEP}\r\n\r\nCd|Second|x\r|y\n";
    for (int i = 0; i < 60; ++i) f << "L" << i << "\n";
  }
  ASSERT_TRUE(bar.readItems(dir.file("TALWAY.MAC")));
  ASSERT_EQ(bar.items().size(), 50u);
  EXPECT_EQ(bar.item(0), "Ab|First|{BEEP}") << "the CR is not part of the line";
  EXPECT_EQ(bar.item(1), "");
  EXPECT_EQ(bar.item(2), "Cd|Second|x\r|y") << "only a trailing CR goes";
  EXPECT_EQ(bar.item(49), "L46");
  ASSERT_TRUE(bar.writeItems(dir.file("OUT.MAC")));
  MacroBar again;
  ASSERT_TRUE(again.readItems(dir.file("OUT.MAC")));
  EXPECT_EQ(again.items(), bar.items());
  EXPECT_EQ(fileText(dir.file("OUT.MAC")).substr(0, 17), "Ab|First|{BEEP}\n\n");
  EXPECT_FALSE(bar.writeItems(dir.file("none/OUT.MAC")));

  // The strip starts in the button face; a file covering part of it
  // replaces only that part.
  EXPECT_EQ(bar.strip().width, 20);
  EXPECT_EQ(bar.strip().height, 1000);
  EXPECT_EQ(glyphAt(bar, 49, 19, 19), kButtonFace);
  ASSERT_TRUE(writeBmpFile(dir.file("small.bmp"), picture(10, 30, 0xFF0000FF)));
  ASSERT_TRUE(bar.readGlyphs(dir.file("small.bmp")));
  EXPECT_EQ(glyphAt(bar, 0, 9, 0), 0xFF0000FFu);
  EXPECT_EQ(glyphAt(bar, 0, 10, 0), kButtonFace);
  EXPECT_EQ(glyphAt(bar, 1, 0, 9), 0xFF0000FFu);
  EXPECT_EQ(glyphAt(bar, 1, 0, 10), kButtonFace);
  { std::ofstream(dir.file("bad.bmp")) << "BM not really"; }
  EXPECT_FALSE(bar.readGlyphs(dir.file("bad.bmp")));
  EXPECT_EQ(glyphAt(bar, 0, 0, 0), 0xFF0000FFu) << "a bad file leaves the strip";
  ASSERT_TRUE(bar.writeGlyphs(dir.file(kGlyphFileName)));
  MacroBar loaded;
  ASSERT_TRUE(loaded.readGlyphs(dir.file(kGlyphFileName)));
  EXPECT_EQ(loaded.strip().pixels, bar.strip().pixels);
}

TEST(MacroBar, AnotherToolbarFile) {
  TempDir dir;
  MacroBar bar;
  bar.setItem(0, "Ab|First|{BEEP}");
  ASSERT_TRUE(bar.scrollDown(100));
  // A new name keeps the buttons (they go to it at the end); the old file
  // holds them too.
  ASSERT_TRUE(bar.switchFile(dir.file("TALWAY.MAC"), dir.file("NEW.MAC")));
  EXPECT_EQ(bar.item(0), "Ab|First|{BEEP}");
  EXPECT_EQ(fileText(dir.file("TALWAY.MAC")), "Ab|First|{BEEP}\n");
  // A file that is there is read, from its first button.
  { std::ofstream(dir.file("OTHER.MAC"), std::ios::binary) << "Cd|Second|x\r\n"; }
  ASSERT_TRUE(bar.switchFile(dir.file("NEW.MAC"), dir.file("OTHER.MAC")));
  EXPECT_EQ(bar.items(), std::vector<std::string>{"Cd|Second|x"});
  EXPECT_EQ(bar.top(), 0);
  EXPECT_EQ(fileText(dir.file("NEW.MAC")), "Ab|First|{BEEP}\n");
  EXPECT_FALSE(bar.switchFile(dir.file("none/X.MAC"), dir.file("TALWAY.MAC")))
      << "the old file could not be written";
  EXPECT_EQ(bar.item(0), "Ab|First|{BEEP}") << "the new one is read all the same";
}

TEST(MacroBar, DefineButtonDialog) {
  TempDir dir;
  MacroBar bar;
  bar.setItem(0, "Old|Old hint|{BEEP}");
  bar.setGlyph(0, picture(20, 20, 0xFF112233));
  {
    MacroButtonDialogModel m(bar, 0);
    EXPECT_EQ(m.field("Edit1"), "Old");
    EXPECT_EQ(m.field("Edit2"), "Old hint");
    EXPECT_EQ(m.field("Memo1"), "{BEEP}");
    EXPECT_EQ(m.picture().pixels[0], 0xFF112233u) << "a copy of the glyph";
    EXPECT_FALSE(m.setField("Edit1", "a|b")) << "a name cannot split the line";
    EXPECT_FALSE(m.setField("Edit2", "two\nlines"));
    // Reset empties the fields and blanks the picture; OK writes that.
    m.reset();
    EXPECT_EQ(m.field("Edit1"), "");
    m.apply();
    EXPECT_EQ(bar.item(0), "||");
    EXPECT_EQ(glyphAt(bar, 0, 0, 0), kButtonFace);
    EXPECT_EQ(bar.toolTip(0), kUnassignedMacro);
  }

  // The memo's lines are joined without separator and cut at 255; a small
  // picture is centred in the button face.
  bar.setGlyph(3, picture(20, 20, 0xFF445566));
  MacroButtonDialogModel m(bar, 3);
  ASSERT_TRUE(m.setField("Edit1", "Go"));
  ASSERT_TRUE(m.setField("Edit2", "Goes"));
  ASSERT_TRUE(m.setField("Memo1", "{LET A1,\r\n2}\n" + std::string(300, 'x')));
  ASSERT_TRUE(writeBmpFile(dir.file("dot.bmp"), picture(4, 6, 0xFFABCDEF)));
  EXPECT_FALSE(m.loadPicture(dir.file("missing.bmp")));
  EXPECT_EQ(m.picture().width, 20) << "a failed load keeps the picture";
  ASSERT_TRUE(m.loadPicture(dir.file("dot.bmp")));
  m.apply();
  std::string expected = "Go|Goes|" + ("{LET A1,2}" + std::string(300, 'x')).substr(0, 255);
  EXPECT_EQ(bar.item(3), expected);
  EXPECT_EQ(bar.macro(3).size(), 255u);
  EXPECT_EQ(glyphAt(bar, 3, 8, 7), 0xFFABCDEFu);  // (20-4)/2, (20-6)/2
  EXPECT_EQ(glyphAt(bar, 3, 11, 12), 0xFFABCDEFu);
  EXPECT_EQ(glyphAt(bar, 3, 7, 7), kButtonFace) << "the old glyph is gone";
  EXPECT_EQ(glyphAt(bar, 3, 12, 12), kButtonFace);
  EXPECT_EQ(glyphAt(bar, 4, 0, 0), kButtonFace) << "the next glyph untouched";

  // Blank Glyph alone leaves the fields; a picture larger than 20 x 20 is
  // cut to the cell.
  MacroButtonDialogModel blank(bar, 3);
  blank.blankPicture();
  blank.apply();
  EXPECT_EQ(bar.item(3), expected);
  EXPECT_EQ(glyphAt(bar, 3, 8, 7), kButtonFace);
  bar.setGlyph(3, picture(30, 40, 0xFF010203));
  EXPECT_EQ(glyphAt(bar, 3, 19, 19), 0xFF010203u);
  EXPECT_EQ(glyphAt(bar, 4, 0, 0), kButtonFace);
}

TEST(MacroBar, TheFocusRectangleRunsFromTheButtonToTheDialog) {
  Rect button{10, 100, 18, 20}, dialog{300, 200, 418, 320};
  std::vector<Rect> steps = focusRectangleSteps(button, dialog);
  ASSERT_EQ(steps.size(), 21u);
  EXPECT_EQ(steps.front().x, 10);
  EXPECT_EQ(steps.front().width, 18);
  EXPECT_EQ(steps.back().y, 200);
  EXPECT_EQ(steps.back().height, 320);
  EXPECT_EQ(steps[10].x, 155) << "half way";
  EXPECT_EQ(steps[10].width, 218);
  for (size_t i = 1; i < steps.size(); ++i) EXPECT_GE(steps[i].width, steps[i - 1].width);
}

TEST(MacroBar, TheShippedGlyphStrip) {
  MacroBar bar;
  ASSERT_TRUE(bar.readGlyphs(std::string(TALLOWAY_DATA) + "/" + kGlyphFileName));
  // Fifty pictures, no two alike, each with the button face in its corner.
  for (int k = 0; k < kMacroButtons; ++k) {
    EXPECT_EQ(glyphAt(bar, k, 0, 0), kButtonFace) << k;
    for (int j = 0; j < k; ++j) EXPECT_NE(bar.glyph(k).pixels, bar.glyph(j).pixels) << k << j;
  }
}

class MacroBarProgram : public ProgramTest {};

TEST_F(MacroBarProgram, TheMenuItemShowsAndHidesTheBar) {
  auto item = [&]() -> const MenuItem* {
    for (const MenuItem& m : frame.menuBar())
      for (const MenuItem& i : m.items)
        if (i.name == "MacroBar1") return &i;
    return nullptr;
  };
  ASSERT_TRUE(item());
  EXPECT_EQ(item()->caption, "Show &Macro Buttons");
  EXPECT_TRUE(item()->checkable);
  EXPECT_EQ(item()->checked, session.settings().macroBar);
  bool was = session.settings().macroBar;
  frame.execute("MACROBAR");
  EXPECT_EQ(session.settings().macroBar, !was);
  EXPECT_EQ(item()->checked, !was);
  frame.execute("MACROBAR");
  EXPECT_EQ(session.settings().macroBar, was);
  // It stays available without a worksheet window.
  frame.closeAll(CloseMode::DiscardUnasked);
  ASSERT_TRUE(item());
  EXPECT_TRUE(item()->enabled);
}

TEST_F(MacroBarProgram, AClickRunsItsMacroThroughTheFrame) {
  MacroBar bar;
  bar.setItem(0, "Le|Sets A1|{LET A1,42}");
  bar.setItem(1, "{LET A2,7}");
  bar.setItem(2, "Sp|Space| ");
  EXPECT_TRUE(runMacroButton(frame, bar.macro(0)));
  EXPECT_EQ(number("A1"), 42);
  EXPECT_TRUE(runMacroButton(frame, bar.macro(1)));
  EXPECT_EQ(number("A2"), 7);
  EXPECT_FALSE(runMacroButton(frame, bar.macro(2))) << "a macro of one space does nothing";
  EXPECT_FALSE(runMacroButton(frame, bar.macro(9)));
  EXPECT_EQ(host.beeps, 0);

  // Keys typed by the macro reach the worksheet too.
  bar.setItem(3, "Ty|Types|hello~");
  EXPECT_TRUE(runMacroButton(frame, bar.macro(3)));
  EXPECT_EQ(text("A1"), "hello");

  // The Define Button dialog through the host's answers.
  host.scripted.push_back("Edit1=Ne;Edit2=New;Memo1={LET B1,3}");
  EXPECT_TRUE(defineMacroButton(host, bar, 4));
  EXPECT_EQ(host.asked.back(), "the dialog \"Define Button\"");
  EXPECT_EQ(bar.item(4), "Ne|New|{LET B1,3}");
  host.scripted.push_back("cancel");
  EXPECT_FALSE(defineMacroButton(host, bar, 4));
  EXPECT_EQ(bar.item(4), "Ne|New|{LET B1,3}") << "cancel changes nothing";
  EXPECT_FALSE(defineMacroButton(host, bar, 50));

  // Clicking the picture asks the host for a bitmap file; a file that is
  // not one beeps and keeps the picture.
  TempDir dir;
  ASSERT_TRUE(writeBmpFile(dir.file("dot.bmp"), picture(4, 4, 0xFF00FF00)));
  { std::ofstream(dir.file("text.bmp")) << "not a picture"; }
  MacroButtonDialogModel m(bar, 4, &host);
  int beeps = host.beeps;
  host.scripted.push_back(dir.file("text.bmp"));
  m.choosePicture();
  EXPECT_EQ(host.asked.back(), "the file dialog \"Open\"");
  EXPECT_EQ(host.beeps, beeps + 1);
  EXPECT_EQ(m.picture().pixels, blankGlyph().pixels);
  host.scripted.push_back(dir.file("dot.bmp"));
  m.choosePicture();
  EXPECT_EQ(m.picture().width, 4);
  host.scripted.push_back("{ESC}");
  m.choosePicture();
  EXPECT_EQ(m.picture().width, 4) << "a cancelled dialog keeps the picture";
  EXPECT_EQ(host.beeps, beeps + 1);

  // Without a worksheet window nothing runs.
  frame.closeAll(CloseMode::DiscardUnasked);
  ASSERT_TRUE(frame.windows().empty());
  EXPECT_FALSE(runMacroButton(frame, bar.macro(0)));
}

TEST_F(MacroBarProgram, TheToolbarFileIsAGeneralSetting) {
  EXPECT_EQ(generalSettingsOf(session.settings(), &ws).toolbarFile, "TALWAY.MAC");
  host.scripted.push_back("toolbar=/tmp/MINE.MAC");
  frame.invoke("GENERALSETTINGS");
  EXPECT_EQ(session.settings().toolMacros, "/tmp/MINE.MAC");
  // The dialog's browse button asks for a toolbar file.
  GeneralSettingsModel m(generalSettingsOf(session.settings(), &ws));
  m.host = &host;
  host.scripted.push_back("/home/me/OTHER.MAC");
  m.chooseToolbarFile();
  EXPECT_EQ(host.asked.back(), "the file dialog \"Toolbar File\"");
  EXPECT_EQ(m.field("toolbar"), "/home/me/OTHER.MAC");
  // An emptied field is the default name again.
  host.scripted.push_back("toolbar=");
  frame.invoke("GENERALSETTINGS");
  EXPECT_EQ(session.settings().toolMacros, "TALWAY.MAC");
}

}  // namespace
}  // namespace tw::test
