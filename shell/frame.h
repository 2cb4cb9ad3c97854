// The main window's behaviour apart from its widgets: the windows and the
// active one, the input line with its modes and pointing, range prompts,
// the menus and their keys, and running commands, from the menus, the
// keys, macros and the command line alike. Widgets forward keys here and
// draw what the FrameView calls tell them; everything the engine asks of
// the outside world goes through the session's host.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/command.h"
#include "commands/frame_services.h"
#include "core/cell_address.h"
#include "core/host.h"
#include "core/keys.h"
#include "core/program_settings.h"
#include "shell/menu_model.h"
#include "shell/window_state.h"

namespace tw {

// Follows the name of a window whose file was read only in part.
inline constexpr const char* kReadInPartCaption = " (read only in part)";

class Session;
class Worksheet;

// What the frame's widgets must show when the frame's state changes.
class FrameView {
 public:
  virtual ~FrameView() = default;
  virtual void showInput(const std::string& text, size_t caret, bool red, bool active) = 0;
  virtual void showAddress(const std::string& text) = 0;
  virtual void showDescription(const std::string& /*text*/) {}
  // open false hides the prompt bar.
  virtual void showPrompt(bool open, const std::string& title, const std::string& text) = 0;
  // The window's cursor, selection or scroll position changed.
  virtual void cursorMoved(WindowState& w) = 0;
  // A window was made for the state (it then becomes active), or is going.
  virtual void windowOpened(WindowState& /*w*/) {}
  virtual void windowClosing(WindowState& /*w*/) {}
  // The window's caption, split or tabs changed.
  virtual void windowChanged(WindowState& /*w*/) {}
  // The menus' items or states changed (recent files, checks).
  virtual void menusChanged() {}
  // The keyboard moved in the menus (closed when the cursor is empty).
  virtual void showMenu(const MenuCursor& /*cursor*/) {}
  virtual void showRecalcMode(bool /*manual*/) {}
  virtual void showEndMode(bool /*on*/) {}
  virtual void showInsert(bool /*on*/) {}
  virtual void arrangeWindows(Arrangement /*how*/) {}
  virtual void exitProgram() {}
  // The cell a macro in step mode is about to run ("A5 : {LET ...}"); empty when none.
  virtual void showMacroStep(const std::string& /*text*/) {}
  // Which bars show: the quick buttons, the macro buttons, the status bar.
  virtual void showBars(bool /*quick*/, bool /*macro*/, bool /*status*/) {}
  // The settings name another toolbar file; previous is the one the bar was read from.
  virtual void toolbarFileChanged(const std::string& /*previous*/) {}
  // The graph window over a named graph (index from 1) or the current one
  // (0): maximised or not, closing itself after the time when it is above
  // 0, and waiting until it closes when modal (a running macro waits).
  virtual void showGraph(int /*graph*/, bool /*maximised*/, int /*closeAfterMs*/, bool /*modal*/) {}
};

// What runs macros, for the frame's ways of starting one (F3, Ctrl with a
// letter, AUTOEXEC); the macro interpreter, above the frame, implements it.
class MacroRunner {
 public:
  virtual ~MacroRunner() = default;
  // A start asked for while a macro runs waits until it ends.
  virtual void runMacroAt(int row, int col, bool step) = 0;
  // Text run as one macro cell (the macro buttons); beeps while one runs.
  virtual void runMacroText(const std::string& text) = 0;
  virtual bool macroRunning() const = 0;
  virtual void requestBreak() = 0;
};

struct RangePrompt {
  std::string title;
  CellRange defaultRange;
  std::function<void(const std::string&)> continuation;
  int savedRow = 0;
  int savedCol = 0;
  bool runOnCancel = true;
  std::string text;
  bool typed = false;  // the user typed into the prompt: pointing no longer rewrites it
};

class RangeNameModel;
class PropertiesModel;

class Frame : private Workspace, public FrameServices {
 public:
  Frame(Session& session, FrameView& view);
  ~Frame() override;

  Session& session() override { return session_; }
  const CommandTable& commands() const { return commands_; }
  // --- FrameServices: for graphs and printing --------------------------------------
  CommandTable& commandTable() override { return commands_; }
  void addForm(const std::string& name, std::function<void()> open) override {
    forms_[name] = std::move(open);
  }
  const std::string& formArgument() const override { return formArgument_; }
  void showResult(const CommandResult& r, Worksheet* ws) override { show(r, ws); }
  void pointAtRange(const std::string& title, std::function<void(const std::string&)> then,
                    const CellRange& start) override;
  std::optional<CellRange> promptRange(const std::string& text) override {
    return parsePromptRange(text);
  }
  void showGraph(int graph, bool maximised, int closeAfterMs, bool modal) override {
    view_.showGraph(graph, maximised, closeAfterMs, modal);
  }

  // --- Windows -----------------------------------------------------------------
  // A window of its own for a worksheet of the session; it becomes active.
  WindowState& addWindow(Worksheet& ws);
  // Closes the window: asks to save a changed worksheet (CloseMode::Ask),
  // refuses while an entry or prompt is pending. False when it stays open.
  bool closeWindow(WindowState& w, CloseMode mode = CloseMode::Ask);
  // Closing the whole program: every window, each asking in turn.
  bool closeAll(CloseMode mode = CloseMode::Ask);
  void activate(WindowState* w);
  WindowState* active() { return active_; }
  const std::vector<std::unique_ptr<WindowState>>& windows() const { return windows_; }
  WindowState* windowFor(const Worksheet& ws);
  // Opens what the program starts with: the file given, else the start-up
  // worksheet when there is one, else a new worksheet when the settings ask.
  void startUp(const std::string& startFile, const std::string& settingsDirectory,
               const std::string& programDirectory);

  // --- Commands ------------------------------------------------------------------
  // Runs a command with the arguments given, for the active window; what it
  // changed is shown. Unknown commands beep and fail.
  CommandResult execute(std::string_view command, const Args& args = {});
  // Runs a command as a menu does: a dialog of the frame when it has one,
  // otherwise asking for each argument not given (ranges through prompts,
  // the others through input boxes). argument, when not empty, is the first.
  void invoke(std::string_view command, const std::string& argument = {});
  // The commands that open a dialog of the frame.
  std::vector<std::string> dialogCommands() const {
    std::vector<std::string> names;
    for (const auto& [name, open] : forms_) names.push_back(name);
    return names;
  }
  CommandContext context() override;

  // --- Keys --------------------------------------------------------------------
  // A key typed anywhere in the frame; false when the frame does not use it.
  bool key(const KeyPress& k);
  // The input line was clicked: an entry starts in edit mode.
  void clickInputLine();

  // --- Menus -------------------------------------------------------------------
  // Built when first asked for: a run that never shows its menus does not
  // build them.
  const MenuBar& menuBar() const {
    if (!menuBuilt_) {
      menuBar_ = buildMenuBar(menuState_);
      menuBuilt_ = true;
    }
    return menuBar_;
  }
  const MenuCursor& menuCursor() const { return menuCursor_; }
  bool menuOpen() const { return menuCursor_.open(); }
  // Highlights the menu bar's first menu, or drops down the one of a mnemonic.
  void openMenu(char mnemonic = 0);
  void closeMenu();
  // Builds the menus afresh from the frame's state.
  void refreshMenus();
  // A menu item chosen with the mouse: the menus close, the item runs.
  void chooseMenuItem(const MenuItem& item);

  // --- The input line ------------------------------------------------------------
  bool entryActive() const { return inputActive_ || editFlag_; }
  bool pointing() const { return pointing_; }
  bool editFlag() const { return editFlag_; }
  const std::string& inputText() const { return text_; }
  size_t caret() const { return caret_; }
  bool inputRed() const { return red_; }
  Mode mode() const;
  // Starts a fresh entry with a typed character.
  void startEntry(char first);
  // F2: edits the current cell's contents, caret at the end.
  void editCurrentCell();
  // Enter: hands the text to cell entry; false when it did not compile.
  bool CommitEntry();
  void CancelEntry();
  void setInsert(bool on);
  void setEnterMoves(bool on, Direction d = Direction::Down) {
    enterMoves_ = on;
    enterDirection_ = d;
  }
  bool insertMode() const { return insert_; }

  // --- Range prompts ---------------------------------------------------------------
  void OpenRangePrompt(const std::string& title, std::function<void(const std::string&)> then,
                       const CellRange& defaultRange);
  // Commands that must not run when cancelled clear the flag after opening.
  void clearRunOnCancel() {
    if (prompt_) prompt_->runOnCancel = false;
  }
  bool promptOpen() const { return prompt_.has_value(); }
  const std::optional<RangePrompt>& prompt() const { return prompt_; }
  void setPromptText(const std::string& text);
  void acceptPrompt();
  void cancelPrompt();
  // The continuation's side: a range text as the prompts accept it.
  std::optional<CellRange> parsePromptRange(const std::string& text);

  // --- Other frame state -----------------------------------------------------------
  // The recent files live in the program settings, newest first.
  void AddRecentFile(const std::string& name);
  const std::vector<std::string>& recentFiles() const;
  // Updates the address panel, description and input line for the cursor.
  void UpdateCellIndicators();
  void setWaiting(bool on);
  // Called when a window's cursor was moved by the mouse.
  void cursorMovedByMouse(WindowState& w);
  void toggleSplit(WindowState& w);

  // --- What macros do to the windows ---------------------------------------------
  void setMacroRunner(MacroRunner* runner) { macros_ = runner; }
  MacroRunner* macroRunner() const { return macros_; }
  void showMacroStep(const std::string& text) { view_.showMacroStep(text); }
  // Draws every window again and describes the cursor's cell.
  void refreshAll();
  void moveCursor(int rows, int cols);
  // On: the selection is anchored at the cursor, so that moves extend it.
  void setAnchor(bool on);
  // Frozen titles of the active window's worksheet: bit 1 the rows from the
  // top visible row to row, bit 2 the columns from the left one to col; 0 none.
  void freezeTitles(int type, int row, int col);
  // Brings the window whose file name is the name forward; false when none is.
  bool focusWorksheet(const std::string& name);
  // VIEW's items: Q, M, S each followed by 1 to show that bar, else to hide it.
  void showBars(const std::string& items);
  void setZoom(int percent);

 private:
  // Workspace: the windows as commands see them.
  Worksheet* newWorksheet() override;
  Worksheet* openWorksheet(const std::string& path) override;
  bool closeWorksheet(Worksheet& ws, CloseMode mode) override;
  void storeLayout(Worksheet& ws) override;
  void arrangeWindows(Arrangement how) override;
  void exitProgram() override;

  void menuClosed();
  void addFrameCommands();
  void addForms();
  // The Range Name dialog, again after each range pointed at on the sheet.
  void showRangeNames(std::shared_ptr<RangeNameModel> model);
  // The Properties dialog, and again after its range was pointed at.
  void showProperties(std::shared_ptr<PropertiesModel> model, CellRange selection);

  void show(const CommandResult& r, Worksheet* ws);
  // Asks for the arguments from `from` on, then runs the command.
  void gather(const CommandEntry& entry, Args args, size_t from);

  bool keyInEntry(const KeyPress& k);
  bool keyInPrompt(const KeyPress& k);
  bool keyInMenu(const KeyPress& k);
  // Hides the prompt and puts the cursor back; the prompt is handed back.
  RangePrompt closePrompt();
  bool keyInWindow(const KeyPress& k);
  bool moveKey(WindowState& w, const KeyPress& k, bool extend);
  void startPointing();
  void updatePointText();
  void cycleAbsolute();
  void insertChar(char c);
  void endEntry();
  void refreshInput();
  void refreshMode();
  static bool endsWithOperator(const std::string& text);

  // Runs the start-up macro of a worksheet just opened, when it has one.
  void runAutoexec(Worksheet& ws);

  Session& session_;
  FrameView& view_;
  MacroRunner* macros_ = nullptr;
  CommandTable commands_;
  std::map<std::string, std::function<void()>> forms_;
  std::string formArgument_;  // the menu item's argument, for the form it opens
  std::vector<std::unique_ptr<WindowState>> windows_;
  WindowState* active_ = nullptr;
  MenuState menuState_;
  mutable MenuBar menuBar_;
  mutable bool menuBuilt_ = false;
  MenuCursor menuCursor_;
  bool menusStale_ = false;

  std::string text_;
  size_t caret_ = 0;
  bool inputActive_ = false;
  bool editFlag_ = false;
  bool red_ = false;
  bool pointing_ = false;
  std::string pointBase_;
  int pointFlags_ = 0;  // F4 cycles the absolute marking of the pointed address
  bool insert_ = true;
  bool enterMoves_ = false;
  Direction enterDirection_ = Direction::Down;
  bool waiting_ = false;
  int savedRow_ = 0, savedCol_ = 0;  // the cell the entry is for, while pointing moves
  std::optional<RangePrompt> prompt_;
};

// The key's name as accelerators are written: "Ctrl+Z", "F9", "Shift+F3".
std::string acceleratorText(const KeyPress& k);

}  // namespace tw
