// The main window's behaviour apart from its widgets: the input line with
// its modes and pointing, range prompts, key routing between the input line
// and the worksheet windows, and the recent-files list. Widgets forward
// keys here and draw what the FrameView calls tell them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/cell_address.h"
#include "shell/keys.h"
#include "shell/window_state.h"

namespace tw {

class Session;
class Worksheet;

enum class Mode { Ready, Edit, Value, Label, Question, Point, Range, Wait };

struct ModeLook {
  const char* text;
  uint8_t colour;  // high nibble background, low nibble text: screen-colour indexes
};
ModeLook modeLook(Mode m);

// What the widgets must show when the shell's state changes.
class FrameView {
 public:
  virtual ~FrameView() = default;
  virtual void showMode(Mode mode) = 0;
  virtual void showInput(const std::string& text, size_t caret, bool red, bool active) = 0;
  virtual void showAddress(const std::string& text) = 0;
  virtual void showDescription(const std::string& /*text*/) {}
  // open false hides the prompt bar.
  virtual void showPrompt(bool open, const std::string& title, const std::string& text) = 0;
  // The window's cursor, selection or scroll position changed.
  virtual void cursorMoved(WindowState& w) = 0;
  // Rows of the window's worksheet changed; row < 0 means all.
  virtual void cellsChanged(WindowState& w, int row) = 0;
  virtual void openMenu() {}
  virtual void beep() {}
  virtual void showRecalcMode(bool /*manual*/) {}
  virtual void showEndMode(bool /*on*/) {}
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

class Frame {
 public:
  static constexpr int kMaxRecent = 10;

  Frame(Session& session, FrameView& view) : session_(session), view_(view) {}

  // --- Windows -----------------------------------------------------------------
  WindowState& addWindow(Worksheet& ws);
  void removeWindow(WindowState& w);
  void activate(WindowState* w);
  WindowState* active() { return active_; }
  const std::vector<std::unique_ptr<WindowState>>& windows() const { return windows_; }
  WindowState* windowFor(const Worksheet& ws);

  // --- Keys --------------------------------------------------------------------
  // A key typed anywhere in the frame; false when the shell does not use it.
  bool key(const KeyPress& k);
  // The input line was clicked: an entry starts in edit mode.
  void clickInputLine();

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
  void setInsert(bool on) { insert_ = on; }
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
  // The recent files live in the program settings, newest first; at most
  // the configured count (HSIZE=) and never more than ten are kept.
  void AddRecentFile(const std::string& name);
  const std::vector<std::string>& recentFiles() const;
  // Updates the address panel, description and input line for the cursor.
  void UpdateCellIndicators();
  void setWaiting(bool on);
  // Called when a window's cursor was moved by the mouse.
  void cursorMovedByMouse(WindowState& w);

 private:
  bool keyInEntry(const KeyPress& k);
  bool keyInPrompt(const KeyPress& k);
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
  void goToPrompt();
  static bool endsWithOperator(const std::string& text);

  Session& session_;
  FrameView& view_;
  std::vector<std::unique_ptr<WindowState>> windows_;
  WindowState* active_ = nullptr;

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

}  // namespace tw
