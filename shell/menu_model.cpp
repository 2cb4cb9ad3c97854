#include "shell/menu_model.h"

#include "core/char_case.h"
#include "core/file_names.h"
#include "core/program_settings.h"

namespace tw {

namespace {

MenuItem item(std::string caption, std::string command, std::string accelerator = {}) {
  MenuItem i;
  i.caption = std::move(caption);
  i.command = std::move(command);
  i.accelerator = std::move(accelerator);
  return i;
}

MenuItem separator() {
  MenuItem i;
  i.separator = true;
  return i;
}

MenuItem menu(std::string caption, std::vector<MenuItem> items) {
  MenuItem i;
  i.caption = std::move(caption);
  i.submenu = true;
  i.items = std::move(items);
  return i;
}

MenuItem check(std::string caption, std::string command, std::string argument, bool on) {
  MenuItem i = item(std::move(caption), std::move(command));
  i.argument = std::move(argument);
  i.checkable = true;
  i.checked = on;
  return i;
}

// Entry k of the recent files: "&k name" without the directory.
MenuItem recentItem(const MenuState& s, int k) {
  MenuItem i;
  i.name = "NM" + std::to_string(k);
  i.command = "FILEOPEN";
  int shown = std::min<int>(static_cast<int>(s.recentFiles.size()), kMaxRecentFiles);
  if (k < shown) {
    const std::string& full = s.recentFiles[k];
    std::string_view base = baseName(full);
    size_t cut = base.find_last_of(":\\");
    if (cut != std::string_view::npos) base = base.substr(cut + 1);
    i.caption = "&" + std::to_string(k) + " " + std::string(base);
    i.argument = full;
  } else {
    i.visible = false;
  }
  return i;
}

// Without a window only what makes or opens one, the program's own
// dialogs and the arrangement of windows can run.
void disableWorksheetItems(std::vector<MenuItem>& items) {
  static const std::string_view kWindowless[] = {"FILENEW",    "FILEOPEN",   "FILEEXIT",
                                                 "CALC",       "WINDOWTILE", "WINDOWCASCADE",
                                                 "WINDOWNEXT", "SYSTEMINFO", "GENERALSETTINGS",
                                                 "MACROBAR"};
  for (MenuItem& i : items) {
    disableWorksheetItems(i.items);
    if (i.command.empty()) continue;
    bool windowless = false;
    for (std::string_view c : kWindowless) windowless |= i.command == c;
    if (!windowless) i.enabled = false;
  }
}

}  // namespace

std::string MenuItem::text() const {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '\t') break;
    if (caption[i] == '&' && i + 1 < caption.size()) {
      out += caption[++i];
      continue;
    }
    out += caption[i];
  }
  return out;
}

char MenuItem::mnemonic() const {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return upperChar(caption[i + 1]);
  }
  return 0;
}

MenuBar buildMenuBar(const MenuState& s) {
  std::vector<MenuItem> file = {item("&New", "FILENEW"),
                                item("&Open...", "FILEOPEN"),
                                item("&Save", "FILESAVE"),
                                item("Save &As...", "FILESAVEAS"),
                                item("&Close", "FILECLOSE"),
                                separator(),
                                item("&Import...", "FILEIMPORTDIALOG"),
                                item("&Export...", "FILEEXPORTDIALOG"),
                                item("&Merge...", "FILEMERGEDIALOG"),
                                separator(),
                                item("&Print...", "PRINT"),
                                item("Print Pre&view...", "PRINTPREVIEW"),
                                item("Print to &File...", "PRINTFILE")};
  file[0].name = "New1";
  file[1].name = "Open1";
  file[2].name = "Save1";
  file[3].name = "SaveAs1";
  MenuItem recentSeparator = separator();
  recentSeparator.visible = !s.recentFiles.empty();
  file.push_back(recentSeparator);
  for (int k = 0; k < 5; ++k) file.push_back(recentItem(s, k));
  std::vector<MenuItem> more;
  for (int k = 5; k < kMaxRecentFiles; ++k) more.push_back(recentItem(s, k));
  MenuItem moreMenu = menu("More", std::move(more));
  moreMenu.name = "Mhist";
  moreMenu.visible = s.recentFiles.size() > 5;
  file.push_back(moreMenu);
  file.push_back(separator());
  file.push_back(item("E&xit", "FILEEXIT"));

  std::vector<MenuItem> edit = {
      item("&Undo\tCtrl+Z", "UNDO", "Ctrl+Z"),       separator(),
      item("Cu&t\tCtrl+X", "EDITCUT", "Ctrl+X"),     item("&Copy\tCtrl+C", "EDITCOPY", "Ctrl+C"),
      item("&Paste\tCtrl+V", "EDITPASTE", "Ctrl+V"), item("&Delete\tDel", "ERASE")};
  edit[0].enabled = s.canUndo;

  std::vector<MenuItem> names = {
      item("&Names...", "RANGENAME"),    item("&Create...", "RANGECREATE"),
      item("&Delete...", "RANGEDELETE"), item("&Reset", "RANGERESET"),
      item("&Table...", "RANGETABLE"),   item("&Build...", "RANGEBUILD")};
  std::vector<MenuItem> values = {item("&Value", "COPYVAL"), item("&Scale", "COPYSCALE"),
                                  item("&Invert", "COPYINV"), item("&Transpose", "COPYTRANS"),
                                  item("&Formula", "COPYFORM")};
  std::vector<MenuItem> insert = {item("&Row", "INSERTROW"), item("&Column", "INSERTCOL"),
                                  item("&Across Row", "INSERTROWS"),
                                  item("&Page Break", "PAGEBREAK")};
  std::vector<MenuItem> remove = {item("&Row", "DELETEROW"), item("&Column", "DELETECOL"),
                                  item("&Across Row", "DELETEROWS")};
  std::vector<MenuItem> attributes = {
      item("&Format", "PROPFORMAT"), item("&Shade", "PROPSHADE"), item("&Typeface", "PROPTYPEFACE"),
      item("&Prefix", "PROPPREFIX"), item("&Lock", "PROPLOCK"),   item("&Border", "PROPBORDER")};
  std::vector<MenuItem> range = {item("&Copy", "COPY"),
                                 item("&Move", "MOVE"),
                                 item("&Erase", "BLANK"),
                                 menu("Va&lues", values),
                                 item("Copy S&pecial...", "COPYDIALOG"),
                                 separator(),
                                 menu("&Insert", insert),
                                 menu("&Delete", remove),
                                 separator(),
                                 item("P&roperties...", "PROPERTIES"),
                                 menu("&Attributes", attributes),
                                 item("&Format...", "RANGEFORMAT"),
                                 item("&Width / Height...", "WIDTHHEIGHT"),
                                 item("&Go To...\tF5", "GOTO", "F5"),
                                 menu("&Names", names)};

  auto page = [](const char* caption, const char* number) {
    MenuItem i = item(caption, "GRAPHSETTINGS");
    i.argument = number;
    return i;
  };
  std::vector<MenuItem> graph = {item("&View\tF12", "GRAPH", "F12"),
                                 item("&Quick Graph", "QUICKGRAPH"),
                                 separator(),
                                 page("&Type...", "0"),
                                 page("&Ranges...", "1"),
                                 page("&Options...", "2"),
                                 page("&Scales...", "3"),
                                 page("&Names...", "4"),
                                 page("&Headings...", "5"),
                                 page("&Colors...", "6"),
                                 page("&Fonts...", "7"),
                                 page("&Legends...", "8")};
  auto dataPage = [](const char* caption, const char* command, int number, const char* hint = "") {
    MenuItem i = item(caption, command);
    i.argument = std::to_string(number);
    i.hint = hint;
    return i;
  };
  std::vector<MenuItem> data = {dataPage("&Fill", "DATADIALOG", 0),
                                dataPage("&Sort", "DATADIALOG", 1),
                                dataPage("&Query", "DATADIALOG", 2),
                                dataPage("&Bin", "DATADIALOG", 3),
                                dataPage("&Parse", "DATADIALOG", 4),
                                dataPage("&GoalSeek", "DATADIALOG", 5),
                                dataPage("&Regress", "DATADIALOG", 6),
                                dataPage("&MultiRegress", "DATADIALOG", 7),
                                dataPage("&Table", "DATADIALOG", 8),
                                dataPage("F&orm", "DATADIALOG", 9),
                                separator(),
                                item("Table &1 Input", "WHATIF1"),
                                item("Table &2 Inputs", "WHATIF2")};
  std::vector<MenuItem> array = {
      dataPage("&Add", "ARRAYDIALOG", 0, "Add: Source1, Source2, Desti"),
      dataPage("&Subtract", "ARRAYDIALOG", 1, "Subtract: Source1, Source2, Desti"),
      dataPage("&Multiply", "ARRAYDIALOG", 2, "Multiply: Source1, Source2, Desti"),
      dataPage("&Transpose", "ARRAYDIALOG", 3, "Transpose: S1,O1"),
      dataPage("&Invert", "ARRAYDIALOG", 4, "Invert: S1,O1"),
      dataPage("&E-Solve", "ARRAYDIALOG", 5, "Equation Solve: S1,O1"),
      dataPage("&Determinate", "ARRAYDIALOG", 6, "Determinate: S1,O1"),
      dataPage("&Linear", "ARRAYDIALOG", 7, "Linear Equations: S1,O1")};
  std::vector<MenuItem> recalc = {check("&Automatic", "RECALCMODE", "0", !s.manualRecalc),
                                  check("&Manual", "RECALCMODE", "1", s.manualRecalc)};
  std::vector<MenuItem> tools = {item("&Calc\tF9", "CALC", "F9"),
                                 menu("&Recalculation", recalc),
                                 separator(),
                                 item("R&un Macro...\tF3", "MACRORUN", "F3"),
                                 item("&Macro Step", "MACROSTEP", "Shift+F3"),
                                 separator(),
                                 item("&General Settings...", "GENERALSETTINGS"),
                                 separator(),
                                 item("&Find/Replace...", "FINDREPLACE"),
                                 item("&Justify ...", "JUSTIFY"),
                                 item("&Word...", "WORDEDIT"),
                                 item("&Audit...", "AUDIT")};
  tools[0].name = "Calc1";
  tools[4].name = "Macro1";

  MenuItem split = check("&Split", "WINDOWSPLIT", {}, s.split);
  MenuItem syncH = check("Synchronise &Horizontally", "WINDOWSYNC", "1", s.syncHorizontal);
  MenuItem syncV = check("Synchronise &Vertically", "WINDOWSYNC", "2", s.syncVertical);
  syncH.enabled = syncV.enabled = s.split;
  std::vector<MenuItem> window = {split,
                                  syncH,
                                  syncV,
                                  item("&Tile", "WINDOWTILE"),
                                  item("&Cascade", "WINDOWCASCADE"),
                                  item("&Next", "WINDOWNEXT"),
                                  check("Show &Macro Buttons", "MACROBAR", {}, s.macroBar)};
  window.back().name = "MacroBar1";
  // The open windows, the active one checked, numbered as their mnemonics.
  if (!s.windows.empty()) window.push_back(separator());
  for (size_t i = 0; i < s.windows.size(); ++i) {
    std::string number = std::to_string(i + 1);
    std::string caption = (i < 9 ? "&" + number : number) + " " + s.windows[i];
    window.push_back(check(caption, "WINDOWSHOW", number, static_cast<int>(i) == s.activeWindow));
  }
  std::vector<MenuItem> help = {item("&Document Information...", "DOCINFO"),
                                item("&System Information...", "SYSTEMINFO")};

  MenuBar bar = {menu("&File", file),   menu("&Edit", edit),     menu("&Range", range),
                 menu("&Data", data),   menu("&Array", array),   menu("&Graph", graph),
                 menu("&Tools", tools), menu("&Window", window), menu("&Help", help)};
  if (!s.haveWindow) disableWorksheetItems(bar);
  return bar;
}

const std::vector<MenuItem>& currentItems(const MenuBar& bar, const MenuCursor& c) {
  if (c.path.size() < 2) return bar;
  const std::vector<MenuItem>* items = &bar;
  for (size_t i = 0; i + 1 < c.path.size(); ++i) items = &(*items)[c.path[i]].items;
  return *items;
}

const MenuItem* highlighted(const MenuBar& bar, const MenuCursor& c) {
  if (!c.open()) return nullptr;
  const std::vector<MenuItem>& items = currentItems(bar, c);
  int i = c.path.back();
  return i >= 0 && i < static_cast<int>(items.size()) ? &items[i] : nullptr;
}

int nextSelectable(const std::vector<MenuItem>& items, int index, int direction) {
  int n = static_cast<int>(items.size());
  for (int step = 1; step <= n; ++step) {
    int i = ((index + direction * step) % n + n) % n;
    if (items[i].selectable()) return i;
  }
  return -1;
}

int itemWithMnemonic(const std::vector<MenuItem>& items, char letter) {
  char want = upperChar(letter);
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].selectable() && items[i].mnemonic() == want) return static_cast<int>(i);
  return -1;
}

const MenuItem* itemWithAccelerator(const MenuBar& bar, std::string_view accelerator) {
  for (const MenuItem& m : bar) {
    if (!m.accelerator.empty() && sameText(m.accelerator, accelerator)) return &m;
    if (const MenuItem* found = itemWithAccelerator(m.items, accelerator)) return found;
  }
  return nullptr;
}

std::string describe(const MenuBar& bar, const MenuCursor& c) {
  std::string out;
  const std::vector<MenuItem>* items = &bar;
  for (int i : c.path) {
    if (i < 0 || i >= static_cast<int>(items->size())) break;
    if (!out.empty()) out += " > ";
    out += (*items)[i].text();
    items = &(*items)[i].items;
  }
  return out;
}

}  // namespace tw
