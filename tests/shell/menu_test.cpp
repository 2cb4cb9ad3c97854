// The menus as data, and the keys that move through them.
#include "shell/menu_model.h"

#include "core/undo.h"
#include "shell/key_text.h"
#include "test_support.h"

namespace tw::test {
namespace {

TEST(MenuModel, CaptionsMnemonicsRecentFilesAndStates) {
  MenuState s;
  s.haveWindow = true;
  s.recentFiles = {"/data/new.wks", "/d/b.wk1", "/d/c.wk1", "/d/d.wk1", "/d/e.wk1", "/d/f.wk1"};
  MenuBar bar = buildMenuBar(s);
  const MenuItem& file = bar[0];
  EXPECT_EQ(file.text(), "File");
  EXPECT_EQ(file.mnemonic(), 'F');
  std::vector<std::string> names;
  for (const MenuItem& i : file.items)
    if (!i.name.empty() && i.visible) names.push_back(i.name + "=" + i.caption);
  EXPECT_EQ(names, (std::vector<std::string>{"New1=&New", "Open1=&Open...", "Save1=&Save",
                                             "SaveAs1=Save &As...", "NM0=&0 new.wks",
                                             "NM1=&1 b.wk1", "NM2=&2 c.wk1", "NM3=&3 d.wk1",
                                             "NM4=&4 e.wk1", "Mhist=More"}));
  const MenuItem* recent = nullptr;
  for (const MenuItem& i : file.items)
    if (i.name == "NM0") recent = &i;
  ASSERT_NE(recent, nullptr);
  EXPECT_EQ(recent->command, "FILEOPEN");
  EXPECT_EQ(recent->argument, "/data/new.wks");
  // Five files or fewer: no More submenu; none: no separator either.
  s.recentFiles.resize(2);
  bar = buildMenuBar(s);
  for (const MenuItem& i : bar[0].items) {
    if (i.name == "Mhist") {
      EXPECT_FALSE(i.visible);
    }
  }
  EXPECT_EQ(itemWithAccelerator(bar, "ctrl+z")->command, "UNDO");
  EXPECT_FALSE(itemWithAccelerator(bar, "Ctrl+Z")->enabled);  // nothing to undo
  // Without a window only what needs none can run.
  s.haveWindow = false;
  bar = buildMenuBar(s);
  EXPECT_TRUE(bar[0].items[0].enabled);   // New
  EXPECT_FALSE(bar[0].items[2].enabled);  // Save
  MenuItem odd;
  odd.caption = "Save &As...\tF12";
  EXPECT_EQ(odd.text(), "Save As...");
  odd.caption = "R&&D &Tools";
  EXPECT_EQ(odd.mnemonic(), 'T');
}

class MenuKeys : public ProgramTest {};

TEST_F(MenuKeys, SlashLettersArrowsAndEscape) {
  keys("/");
  EXPECT_EQ(view.menu, "File");
  EXPECT_EQ(host.mode, "MENU");
  keys("r");  // a letter drops its menu down
  EXPECT_EQ(view.menu, "Range > Copy");
  keys("{DOWN}{DOWN}");
  EXPECT_EQ(view.menu, "Range > Erase");
  keys("{DOWN}{RIGHT}");
  EXPECT_EQ(view.menu, "Range > Values > Value");
  keys("{LEFT}");
  EXPECT_EQ(view.menu, "Range > Values");
  keys("{UP}{UP}{UP}{UP}");  // up from the first item wraps to the last
  EXPECT_EQ(view.menu, "Range > Names");
  keys("{RIGHT}{RIGHT}");  // Right on an item: the next menu of the bar drops down
  EXPECT_EQ(view.menu, "Data > Fill");
  keys("{ESC}");
  EXPECT_EQ(view.menu, "Data");
  keys("{ESC}");
  EXPECT_EQ(view.menu, "");
  EXPECT_EQ(host.mode, "READY");
  // Up wraps from the first item to the last.
  keys("/t{UP}");
  EXPECT_EQ(view.menu, "Tools > Audit...");
  keys("{ESC}{ESC}");
  // A letter that no item has beeps and leaves the menus as they are.
  int beeps = host.beeps;
  keys("/q");
  EXPECT_EQ(host.beeps, beeps + 1);
  EXPECT_EQ(view.menu, "File");
  keys("{ESC}");
  // Alt with a letter drops its menu down; Alt alone closes the menus.
  frame.key(KeyPress{Key::Character, 'w', false, false, true});
  EXPECT_EQ(view.menu, "Window > Split");
  keys("{ALT}");
  EXPECT_EQ(view.menu, "");
}

TEST_F(MenuKeys, ChoosingRunsTheCommandAndItsPrompts) {
  enter("A1", "5");
  enter("A2", "+A1*2");
  keys("/tr");  // Tools > Recalculation, then its first item: Automatic
  EXPECT_EQ(view.menu, "Tools > Recalculation > Automatic");
  keys("{DOWN}~");
  EXPECT_TRUE(ws.settings.manualRecalc);
  EXPECT_EQ(view.menu, "");
  // Range > Go To asks for the cell through the prompt.
  keys("/rg");
  EXPECT_TRUE(view.promptOpen);
  EXPECT_EQ(view.promptTitle, " GOTO: Specify Cell");
  keys("C9~");
  EXPECT_EQ(window->row(), 8);
  EXPECT_EQ(window->col(), 2);
  // A cancelled prompt runs nothing.
  keys("/rg{RIGHT}{ESC}");
  EXPECT_EQ(window->col(), 2);
  // Ctrl+Z is Undo's accelerator.
  frame.execute("RANGEFORMAT", {Arg::ofRange(CellRange::cell(0, 0)), Arg::ofText("P2")});
  EXPECT_EQ(cell("A1")->format & kFormatMask, ParseFormatCode("P2"));
  keys("{CTRL+Z}");
  EXPECT_NE(cell("A1")->format & kFormatMask, ParseFormatCode("P2"));
}

TEST_F(MenuKeys, DialogsTakeTheirAnswers) {
  enter("B2", "1234.5");
  window->moveTo(1, 1);
  host.scripted = {"code=C2", "what=column;value=14", "what=column;value=99", "title=Budget"};
  keys("/rf");
  EXPECT_EQ(cell("B2")->format & kFormatMask, ParseFormatCode("C2"));
  EXPECT_EQ(host.asked.back(), "the dialog \"Format\"");
  keys("/rw");
  EXPECT_EQ(ws.columnPixels(1), 14 * 8);
  // A width the dialog cannot take is refused with its message.
  keys("/rw");
  EXPECT_EQ(ws.columnPixels(1), 14 * 8);
  EXPECT_EQ(host.errors.back(), "A column is 1 to 31 characters wide.");
  keys("/hd");
  EXPECT_EQ(ws.settings.title, "Budget");
  EXPECT_TRUE(host.unanswered.empty());
  keys("/hs");  // System Information: no answer left
  EXPECT_EQ(host.unanswered, "the dialog \"System Information\"");
}

TEST(KeyText, NamesCountsArgumentsAndBraces) {
  auto keysOf = [](std::string_view text) { return parseKeyText(text).keys; };
  std::vector<KeyPress> k = keysOf("a~{DOWN 3}{d}");
  ASSERT_EQ(k.size(), 6u);
  EXPECT_EQ(k[0], KeyPress::character('a'));
  EXPECT_EQ(k[1].key, Key::Enter);
  EXPECT_EQ(k[4].key, Key::Down);
  EXPECT_EQ(k[5].key, Key::Down);
  // A count below 1 is one key; names ignore case.
  EXPECT_EQ(keysOf("{down 0}").size(), 1u);
  EXPECT_EQ(keysOf("{Right -2}").size(), 1u);
  // What follows a name without a count is typed, each part then Enter.
  k = keysOf("{GOTO B7}");
  ASSERT_EQ(k.size(), 4u);
  EXPECT_EQ(k[0].key, Key::F5);
  EXPECT_EQ(k[1], KeyPress::character('B'));
  EXPECT_EQ(k[3].key, Key::Enter);
  EXPECT_EQ(keysOf("{EDIT}")[0].key, Key::F2);
  EXPECT_EQ(keysOf("{ABS}")[0].key, Key::F4);
  EXPECT_EQ(keysOf("{F12}")[0].key, Key::F12);
  k = keysOf("{CTRL+Z}{SHIFT+F3}");
  EXPECT_TRUE(k[0].ctrl);
  EXPECT_EQ(k[0].ch, 'Z');
  EXPECT_EQ(k[1].key, Key::F3);
  EXPECT_TRUE(k[1].shift);
  EXPECT_EQ(keysOf("{{}{}}")[0], KeyPress::character('{'));
  EXPECT_EQ(keysOf("{{}{}}")[1], KeyPress::character('}'));
  EXPECT_FALSE(parseKeyText("{NOSUCH}").error.empty());
  EXPECT_FALSE(parseKeyText("{DOWN").error.empty());
  EXPECT_FALSE(parseKeyText("{DOWN x}").error.empty());
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

class WindowMenu : public ProgramTest {};

TEST_F(WindowMenu, ListsTheWindowsAndSwitchesSynchronisation) {
  frame.execute("FILENEW");
  WindowState* second = frame.active();
  ASSERT_NE(second, window);
  frame.execute("WINDOWSHOW", {Arg::ofNumber(1)});
  EXPECT_EQ(frame.active(), window);
  // The synchronisation items need a split window.
  auto item = [&](const std::string& caption) -> const MenuItem* {
    for (const MenuItem& m : frame.menuBar())
      for (const MenuItem& i : m.items)
        if (i.caption == caption) return &i;
    return nullptr;
  };
  ASSERT_NE(item("Synchronise &Vertically"), nullptr);
  EXPECT_FALSE(item("Synchronise &Vertically")->enabled);
  frame.execute("WINDOWSPLIT");
  frame.execute("WINDOWSYNC", {Arg::ofNumber(2)});
  EXPECT_TRUE(window->syncVertical);
  EXPECT_TRUE(item("Synchronise &Vertically")->checked);
  EXPECT_TRUE(item("&1 " + window->caption.substr(window->caption.find_last_of('/') + 1))->checked);
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

class ToggleKeys : public ProgramTest {};

TEST_F(ToggleKeys, InsertInReadyModeSwitchesTheFlagForTheNextEntry) {
  EXPECT_TRUE(frame.insertMode());
  keys("{INS}");
  EXPECT_FALSE(frame.insertMode());
  // Overwriting: the typed character replaces the one under the caret.
  enter("A1", "'abc");
  keys("{EDIT}{HOME}z~");
  // The z took the prefix's place ("z'abc" had it been inserted); the
  // label then gets the default prefix.
  EXPECT_EQ(input("A1"), "'zabc");
  keys("{INS}");
  EXPECT_TRUE(frame.insertMode());
}

}  // namespace
}  // namespace tw::test
