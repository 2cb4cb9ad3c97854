// The command layer's common ground. Every command is one function over a
// CommandContext (the session, the active worksheet, the cursor and the
// selection, and the workspace of windows when a frame runs it). It checks
// its input, takes the undo snapshot before it changes cells in bulk,
// changes them, marks the worksheet changed and returns what it changed.
// The table maps command names to entries with the kinds of their
// arguments, so that menus, dialogs, slash keys, macro keywords and
// talloway-cli all reach the same function.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell_address.h"

namespace tw {

class Host;
class Session;
class Worksheet;

// How a window is closed.
enum class CloseMode { Ask, SaveUnasked, DiscardUnasked };
enum class Arrangement { Tile, Cascade, Next };

// The windows and files, as the commands see them. The frame implements it;
// a command run without a frame finds none and refuses what needs windows.
class Workspace {
 public:
  virtual ~Workspace() = default;
  // A new empty worksheet in a window of its own; it becomes active.
  virtual Worksheet* newWorksheet() = 0;
  // The worksheet file in a new window, or the window that already holds it
  // brought forward; null when the file was refused (the message is shown).
  virtual Worksheet* openWorksheet(const std::string& path) = 0;
  // Closes every window of the worksheet; false when one stays open.
  virtual bool closeWorksheet(Worksheet& ws, CloseMode mode) = 0;
  // Puts the layout of the worksheet's window into its settings, before a save.
  virtual void storeLayout(Worksheet& ws) = 0;
  virtual void arrangeWindows(Arrangement how) = 0;
  virtual void exitProgram() = 0;
};

struct CommandContext {
  Session& session;
  Worksheet* ws = nullptr;  // the active worksheet; null when no window is open
  int row = 0;              // the cell cursor
  int col = 0;
  CellRange selection{};
  Workspace* workspace = nullptr;

  Host& host() const;
};

// The kinds of arguments, as the macro language reads them.
enum class ArgKind {
  Address,  // a cell; not given: the cursor's
  Range,    // a range; not given: the selection
  Number,
  Integer,
  Text,
};

struct Arg {
  bool given = false;
  CellRange range{};
  double number = 0;
  std::string text;

  static Arg ofRange(const CellRange& r) {
    Arg a;
    a.given = true;
    a.range = r;
    return a;
  }
  static Arg ofNumber(double x) {
    Arg a;
    a.given = true;
    a.number = x;
    return a;
  }
  static Arg ofText(std::string t) {
    Arg a;
    a.given = true;
    a.text = std::move(t);
    return a;
  }
};
using Args = std::vector<Arg>;

// What a command did, so that the windows show it.
struct CommandResult {
  bool ok = true;                  // false: refused or failed, the message shown
  std::vector<CellRange> changed;  // cells to draw again
  bool allChanged = false;         // every cell of the worksheet
  bool layoutChanged = false;      // widths, heights, titles: the panes' geometry
  bool recalculated = false;
  bool renamed = false;  // the worksheet has a new file name
  bool moveCursor = false;
  int cursorRow = 0;
  int cursorCol = 0;

  static CommandResult failed() {
    CommandResult r;
    r.ok = false;
    return r;
  }
  static CommandResult everything() {
    CommandResult r;
    r.allChanged = true;
    return r;
  }
};

struct Param {
  ArgKind kind;
  // The range prompt's title or the input box's caption, when a menu asks.
  std::string_view prompt;
  // Not asked for when a menu runs the command: the command asks itself
  // (a file dialog) or goes without.
  bool optional = false;
};

using CommandFunction = std::function<CommandResult(CommandContext&, const Args&)>;

// Whether a command needs an active worksheet.
enum class Needs { Worksheet, Nothing };

struct CommandEntry {
  std::string name;  // the macro keyword where there is one
  std::vector<Param> params;
  CommandFunction run;
  Needs needs = Needs::Worksheet;
};

class CommandTable {
 public:
  void add(CommandEntry entry);
  const CommandEntry* find(std::string_view name) const;  // name compared without case
  const std::vector<CommandEntry>& entries() const { return entries_; }

 private:
  std::vector<CommandEntry> entries_;  // sorted by name
};

// The range argument n: given, or the selection (a cell argument: the cursor).
CellRange rangeArg(const CommandContext& cx, const Args& args, size_t n, ArgKind kind);
double numberArg(const Args& args, size_t n);
std::string textArg(const Args& args, size_t n);

// Runs the entry after the checks every command shares: a worksheet where
// one is needed. The caller shows what the result says changed.
CommandResult runCommand(const CommandEntry& entry, CommandContext& cx, const Args& args);

// Every command of the command layer, by family.
void addWorksheetCommands(CommandTable& table);

}  // namespace tw
