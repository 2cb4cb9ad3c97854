// The menu bar as plain data: captions with their "&" mnemonics, the
// accelerators shown beside them, the command (or the frame's dialog) each
// item runs, and whether it is enabled, checked or shown. The desktop
// program builds its Qt menus from it; the frame moves through it with the
// slash key, Alt, the arrows and mnemonics, in the window and headless alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw {

struct MenuItem {
  std::string caption;      // "Save &As..."
  std::string accelerator;  // "Ctrl+Z"; shown only, the frame acts on it
  std::string command;      // the command or dialog it runs
  std::string argument;     // given to the command: a recent file's name
  std::string name;         // the item's name in the form, where it has one (NM0, Mhist)
  std::string hint;         // shown in the status line while highlighted
  std::vector<MenuItem> items;
  bool submenu = false;
  bool separator = false;
  bool enabled = true;
  bool checkable = false;
  bool checked = false;
  bool visible = true;

  // The caption without "&" markers and without what follows a tab.
  std::string text() const;
  // The mnemonic's letter in upper case, or 0.
  char mnemonic() const;
  // Can be highlighted: shown, not a separator.
  bool selectable() const { return visible && !separator; }
  bool operator==(const MenuItem&) const = default;
};

using MenuBar = std::vector<MenuItem>;

// What the menus show beside their fixed items.
struct MenuState {
  bool haveWindow = false;
  bool canUndo = false;
  bool manualRecalc = false;
  bool split = false;
  bool syncHorizontal = false;
  bool syncVertical = false;
  bool macroBar = false;             // the macro-button bar shown
  std::vector<std::string> windows;  // the open windows' captions, in order
  int activeWindow = -1;
  std::vector<std::string> recentFiles;  // newest first
  int recentShown = 5;                   // HSIZE=
  bool operator==(const MenuState&) const = default;
};

// The program's menus, with the items set from the state.
MenuBar buildMenuBar(const MenuState& state);

// Where the keyboard is in the menus: the highlighted menu of the bar, then
// the highlighted item of each open menu. Empty when the menus are closed.
struct MenuCursor {
  std::vector<int> path;

  bool open() const { return !path.empty(); }
  // Whether the bar's highlighted menu has dropped down.
  bool droppedDown() const { return path.size() >= 2; }
};

// The items the cursor's deepest level chooses among (the bar itself when
// no menu has dropped down), and the highlighted one.
const std::vector<MenuItem>& currentItems(const MenuBar& bar, const MenuCursor& cursor);
const MenuItem* highlighted(const MenuBar& bar, const MenuCursor& cursor);
// The next selectable item from index in the direction (+1 or -1), wrapping;
// -1 when there is none.
int nextSelectable(const std::vector<MenuItem>& items, int index, int direction);
// The selectable item with this mnemonic (compared in upper case), or -1.
int itemWithMnemonic(const std::vector<MenuItem>& items, char letter);
// The item whose accelerator is this text, searched through every menu.
const MenuItem* itemWithAccelerator(const MenuBar& bar, std::string_view accelerator);
// The path of captions to the highlighted item, as "File > Save As...".
std::string describe(const MenuBar& bar, const MenuCursor& cursor);

}  // namespace tw
