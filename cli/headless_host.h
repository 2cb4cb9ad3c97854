// A host without a display: it records what the engine shows, answers
// boxes, dialogs and questions from scripted answers, hands keys to the
// frame and runs what was asked to run later when the program is idle.
// Used by talloway-cli and by the tests.
#pragma once

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/cell_address.h"
#include "core/host.h"

namespace tw {

class HeadlessHost : public Host {
 public:
  explicit HeadlessHost(std::ostream* errors = nullptr) : echo_(errors) {}

  void showErrorBox(const std::string& message) override;
  void beep() override { ++beeps; }
  void showMode(Mode m) override { mode = modeLook(m).text; }
  void cellsChanged(const Worksheet& ws, const CellRange& range) override;
  Answer askYesNoCancel(const std::string& question, const std::string& caption) override;
  std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<std::string> openFileName(const FileRequest& request) override;
  std::optional<std::string> saveFileName(const FileRequest& request) override;
  bool runDialog(DialogModel& model) override;
  int macroMenu(const MenuRequest& request) override;
  void deliverKeys(const std::vector<KeyPress>& keys) override;
  std::optional<KeyPress> waitForKey() override;
  bool hasDisplay() override { return false; }
  void pollEvents() override {
    if (onPoll) onPoll();
  }
  void playTone(int, int) override { ++beeps; }
  void playSound(const std::string& file, int mode) override {
    sounds.push_back(file + "|" + std::to_string(mode));
  }
  void runLater(int milliseconds, std::function<void()> fn) override;
  bool currentSelection(CellRange& range) override;
  bool currentCell(int& row, int& col) override;
  std::string userName() override;
  void setClipboard(const ClipboardData& data) override { clipboardData = data; }
  ClipboardData clipboard() override { return clipboardData; }

  // Printing goes to the device this makes, when there is one (a PDF file
  // for --print-pdf, a recorder in tests); printerLabel names it.
  std::vector<std::string> printerNames() override;
  std::string currentPrinter() override;
  bool printerPage(bool landscape, PageMetrics& page) override;
  std::unique_ptr<PageDevice> openPrintJob(const PrintRequest& request) override;
  bool printStatus(const PrintStatus& status) override;
  std::function<std::unique_ptr<PageDevice>(const PrintRequest&)> printer;
  std::string printerLabel = "PDF";
  std::vector<PrintStatus> printStatuses;  // every update of the status window
  int cancelPrintAtPage = 0;               // the status window's button, pressed on that page

  // Pictures through the picture module; why the last one failed.
  bool renderPicture(int width, int height, const std::function<void(Canvas&)>& draw,
                     Bitmap& out) override;
  bool writePicture(const std::string& path, PictureFile kind, int width, int height,
                    const std::function<void(Canvas&)>& draw) override;
  void setClipboardBitmap(const Bitmap& bitmap) override;
  std::string pictureError;
  int clipboardBitmaps = 0;

  // Called at every poll: what stands in for a person pressing Esc.
  std::function<void()> onPoll;
  // Keys are handed to this, one at a time (the frame's key handler).
  std::function<void(const KeyPress&)> keySink;
  // Where the selection and cursor come from, when a frame is attached.
  std::function<bool(CellRange&)> selectionSource;
  std::function<bool(int&, int&)> cellSource;
  // Runs what waits for the program to be idle.
  void runPending();

  // Answers for boxes, dialogs and questions, taken in turn. "{ESC}"
  // cancels any of them. A question takes Y, N or C.
  std::deque<std::string> scripted;
  // Answers for questions only, before the scripted ones (for tests).
  std::deque<Answer> answers;
  // Set when something asked and no answer was left: what it was.
  std::string unanswered;

  std::vector<std::string> errors;  // every message shown, without "Error:"
  std::vector<std::string> questions;
  std::vector<std::string> asked;  // the boxes and dialogs shown, by caption
  int beeps = 0;
  int redraws = 0;
  std::string mode = "READY";
  CellRange selection{};
  int cursorRow = 0;
  int cursorCol = 0;
  std::deque<KeyPress> keys;  // keys still to be delivered
  std::vector<std::string> sounds;
  ClipboardData clipboardData;  // the program's clipboard, for this run

 private:
  // The next scripted answer, or nullopt (and unanswered set) when none is left.
  std::optional<std::string> next(const std::string& what);

  std::ostream* echo_;
  std::vector<std::function<void()>> later_;
  bool delivering_ = false;
};

}  // namespace tw
