// The macro interpreter: plays a column of label cells as keystrokes and
// commands. Each cell is translated when it is loaded; characters gather in
// the keystroke buffer and are delivered to whatever has the keyboard
// before any command runs; commands read their arguments from the line with
// the argument readers and call the command layer through the frame. The
// level stack (20) holds return points, the loop stack (5) the counters of
// FOR loops.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/command.h"
#include "core/cell_address.h"
#include "macros/macro_translate.h"
#include "shell/frame.h"

namespace tw {

class Session;
class Worksheet;

class MacroInterpreter : public MacroRunner {
 public:
  static constexpr int kMaxLevels = 20;
  static constexpr int kMaxLoops = 5;
  static constexpr int kFiles = 16;  // file numbers 0 to 15

  explicit MacroInterpreter(Frame& frame);
  ~MacroInterpreter() override;

  // MacroRunner: the ways a macro is started. A start asked for while one
  // runs waits until it ends.
  void runMacroAt(int row, int col, bool step) override;
  void runMacroText(const std::string& text) override;
  bool macroRunning() const override;
  void requestBreak() override;

  void RunMacroAt(int row, int col, bool step = false);
  // Runs text as if it were one macro cell (the macro buttons, --run).
  void RunMacroText(const std::string& text);
  void StopMacro();
  void RequestBreak();
  // Stops the macro with "Error:" and the text.
  void MacroError(const std::string& text);

  // Whether the last macro ended by an error (its own, or a command's message).
  bool endedByError() const { return endedByError_; }
  const std::string& onErrorCell() const { return onError_; }

 private:
  struct ReturnPoint {
    int row;  // kTextRow: the text of RunMacroText
    int col;
    size_t pos;
  };
  struct LoopFrame {
    int row;
    int col;
    int64_t stop;
    int64_t step;
  };
  static constexpr int kTextRow = -2;

  Worksheet* worksheet();
  TranslateContext translateContext(Worksheet& ws);
  void start();
  void run();
  void finish();
  bool LoadMacroCell();
  bool loadLine(int row, int col);
  char NextMacroChar();
  void MacroLoop();
  void PlayKeys();
  void command(char letter);
  void commandOf(char family, char letter);
  void fileIo(char letter);
  bool tableCommand(const std::string& token);

  // The argument readers.
  std::string ReadRawArg();
  std::optional<CellRange> ReadRangeArg(bool firstCorner);
  double ReadNumberArg();
  int64_t ReadIntegerArg();
  std::string ReadStringArg();
  // The prompt of GETLABEL and GETNUMBER: a formula when it starts like one.
  std::string readPrompt();
  std::optional<CellRange> addressOrCursor(const std::string& raw, bool firstCorner);

  void PushReturn(size_t pos);
  void PopReturn();
  void JumpTo(const std::optional<CellRange>& target);
  void call(const std::optional<CellRange>& target);
  void menuBranch(const std::optional<CellRange>& at);
  std::string address() const;
  bool screenNeeded(const char* keyword);
  void letCell(const std::optional<CellRange>& at, const std::string& raw);
  void setIo(int code) const;

  Frame& frame_;
  Session& session_;
  bool breakRequested_ = false;
  bool step_ = false;
  bool endedByError_ = false;
  bool stopped_ = false;  // the interpreter itself ended the macro
  int nextRow_ = 0, nextCol_ = 0;
  int lineRow_ = 0, lineCol_ = 0;  // the cell the line came from
  std::string line_;
  size_t pos_ = 0;
  std::string text_;  // RunMacroText's translated text
  std::vector<ReturnPoint> levels_;
  std::vector<LoopFrame> loops_;
  std::string keys_;
  bool evalError_ = false;
  std::string onError_;
  std::unique_ptr<std::fstream> files_[kFiles];
  struct PendingStart {
    int row, col;
    bool step;
  };
  std::vector<PendingStart> pending_;
};

}  // namespace tw
