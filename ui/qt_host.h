// The engine's host in the desktop program: message boxes, the beep, the
// mode indicator and the gauge of the main window, redrawing the windows of
// a worksheet, input boxes, file dialogs and the frame's dialogs, key
// delivery to whatever has the keyboard, timers, and the system's facts.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QTimer>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/host.h"
#include "ui/qt_print.h"

namespace tw {

class TForm1;

class QtHost : public Host {
 public:
  explicit QtHost(TForm1& main);

  void showErrorBox(const std::string& message) override;
  void beep() override;
  void showMode(Mode mode) override;
  void showProgress(int percent) override;
  void cellsChanged(const Worksheet& ws, const CellRange& range) override;
  Answer askYesNoCancel(const std::string& question, const std::string& caption) override;
  std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<std::string> openFileName(const FileRequest& request) override;
  std::optional<std::string> saveFileName(const FileRequest& request) override;
  bool runDialog(DialogModel& model) override;
  int macroMenu(const MenuRequest& request) override;
  void deliverKeys(const std::vector<KeyPress>& keys) override;
  void settleKeys() override;
  void pollEvents() override;
  void playSound(const std::string& file, int mode) override;
  void setClipboard(const ClipboardData& data) override;
  ClipboardData clipboard() override;
  std::optional<KeyPress> waitForKey() override;
  void runLater(int milliseconds, std::function<void()> fn) override;
  bool currentSelection(CellRange& range) override;
  bool currentCell(int& row, int& col) override;
  std::string userName() override;
  std::string osVersion() override;
  std::vector<std::string> printerNames() override { return printers_.names(); }
  std::string currentPrinter() override { return printers_.current(); }
  void choosePrinter(const std::string& name) override { printers_.choose(name); }
  bool printerPage(bool landscape, PageMetrics& page) override;
  bool printerSetup() override;
  // A PDF file's name is asked in the save dialog (and, for tests, always:
  // quiet runs print to PDF files only).
  std::unique_ptr<PageDevice> openPrintJob(const PrintRequest& request) override;
  bool printStatus(const PrintStatus& status) override;
  bool renderPicture(int width, int height, const std::function<void(Canvas&)>& draw,
                     Bitmap& out) override;
  bool writePicture(const std::string& path, PictureFile kind, int width, int height,
                    const std::function<void(Canvas&)>& draw) override;
  void setClipboardBitmap(const Bitmap& bitmap) override;
  int textWidth(std::string_view text, const Font& font) override;
  void printStatusDone() override;

  // A key the main window caught for waitForKey; false when none is awaited.
  bool takeAwaitedKey(const KeyPress& k);

  // Tests switch the modal boxes off: what would have been shown is kept,
  // questions take the answers, boxes, file dialogs and dialogs the scripted
  // texts (Cancel, or nothing, when none is left).
  bool quiet = false;
  std::vector<std::string> shown;
  std::vector<std::string> asked;
  std::deque<Answer> answers;
  std::deque<std::string> scripted;
  std::vector<PrintStatus> printStatuses;  // quiet runs: the status window's updates

 private:
  std::optional<std::string> nextScripted();
  void deliverNext();
  void scheduleDelivery();

  TForm1& main_;
  PrinterChoice printers_;
  std::unique_ptr<TAbortForm> status_;
  std::unique_ptr<QProcess> sound_;
  bool looping_ = false;
  std::deque<KeyPress> keys_;
  bool deliveryScheduled_ = false;
  QElapsedTimer sincePoll_;
  bool awaiting_ = false;
  std::optional<KeyPress> awaited_;
};

}  // namespace tw
