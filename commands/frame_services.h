// What the frame offers the parts of the program that add commands and
// dialogs of their own above the command layer (graphs, printing) without
// knowing the frame: its command table and dialogs, the active window's
// context, range prompts, and the graph window.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "commands/command.h"

namespace tw {

class CommandTable;

class FrameServices {
 public:
  virtual ~FrameServices() = default;
  virtual Session& session() = 0;
  virtual CommandTable& commandTable() = 0;
  // A dialog opened by a menu item or the slash keys by the command's name.
  virtual void addForm(const std::string& name, std::function<void()> open) = 0;
  // The menu item's argument, for the dialog it opens (the page, say).
  virtual const std::string& formArgument() const = 0;
  // The active window's worksheet, cursor and selection (no worksheet: none open).
  virtual CommandContext context() = 0;
  // Shows what a command did in the windows.
  virtual void showResult(const CommandResult& result, Worksheet* ws) = 0;
  // The range prompt with the title, from a start; then gets the answer's
  // text while the same window is still active.
  virtual void pointAtRange(const std::string& title, std::function<void(const std::string&)> then,
                            const CellRange& start) = 0;
  // A range text as the prompts take it; nullopt when it is none.
  virtual std::optional<CellRange> promptRange(const std::string& text) = 0;
  // The graph window over a named graph (from 1) or the current one (0).
  virtual void showGraph(int graph, bool maximised, int closeAfterMs, bool modal) = 0;
};

}  // namespace tw
