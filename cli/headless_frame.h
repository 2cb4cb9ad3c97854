// The program without a display: the headless host, the session and the
// frame over a view that records what the widgets would show. talloway-cli
// runs on it, and tests drive it as a person drives the desktop program.
#pragma once

#include <ostream>
#include <string>

#include "cli/headless_host.h"
#include "core/session.h"
#include "macros/macro_interpreter.h"
#include "shell/frame.h"

namespace tw {

class HeadlessFrameView : public FrameView {
 public:
  void showInput(const std::string& text, size_t caret, bool red, bool active) override;
  void showAddress(const std::string& text) override { address = text; }
  void showDescription(const std::string& text) override { description = text; }
  void showPrompt(bool open, const std::string& title, const std::string& text) override;
  void cursorMoved(WindowState&) override { ++moves; }
  void windowOpened(WindowState&) override { ++opened; }
  void windowClosing(WindowState&) override { ++closed; }
  void showMenu(const MenuCursor& cursor) override;
  void showRecalcMode(bool manual) override { this->manual = manual; }
  void showEndMode(bool on) override { endMode = on; }
  void arrangeWindows(Arrangement) override { ++arrangements; }
  void exitProgram() override { exitRequested = true; }

  Frame* frame = nullptr;  // for the menus' captions
  std::string input, address, description, promptTitle, promptText;
  // The path to the highlighted menu item, as "File > Save As..."; empty when closed.
  std::string menu;
  size_t caret = 0;
  bool red = false, active = false, promptOpen = false, manual = false, endMode = false;
  bool exitRequested = false;
  int moves = 0, opened = 0, closed = 0, arrangements = 0;
};

class HeadlessProgram {
 public:
  // Errors the program shows are echoed to the stream when one is given.
  explicit HeadlessProgram(std::ostream* errors = nullptr);

  // Types the keys in order, as a person would; what they start runs to the end.
  void type(const std::vector<KeyPress>& keys);

  HeadlessHost host;
  Session session;
  HeadlessFrameView view;
  Frame frame;
  MacroInterpreter macros{frame};
};

}  // namespace tw
