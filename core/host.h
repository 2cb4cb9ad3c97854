// The engine's only window on the outside world. The desktop program and the
// headless host (command line, tests) implement it; the engine never includes
// a toolkit, never writes to a terminal and never blocks on one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/keys.h"
#include "core/page_device.h"

namespace tw {

struct Bitmap;
class Canvas;
struct CellRange;
struct Font;
class DialogModel;
class Worksheet;

enum class Answer { Yes, No, Cancel };

// The mode indicator's states.
enum class Mode { Ready, Edit, Value, Label, Question, Point, Range, Wait, Menu, Step };

struct ModeLook {
  const char* text;
  uint8_t colour;  // high nibble background, low nibble text: screen-colour indexes
};
ModeLook modeLook(Mode m);

// What the open and save dialogs are asked.
struct FileRequest {
  std::string title;      // "TALLOWAY OPEN"
  std::string directory;  // where the dialog starts
  std::string name;       // the initial file name
  // Filters as the dialogs show them: "Worksheets (*.wks *.wk1)", ...
  std::vector<std::string> filters;
  // The filter shown first; the host leaves the one chosen here. A scripted
  // answer "NAME|N" chooses the N-th (from 1).
  mutable int filter = 0;
};

// Takes the "|N" of a scripted file answer into the request's filter.
std::string takeFilterChoice(std::string answer, const FileRequest& request);

// A macro menu: items with their descriptions, and the title.
struct MenuRequest {
  std::string title;
  std::vector<std::string> items;
  std::vector<std::string> descriptions;
};

// What the clipboard holds for a worksheet: the program's own form (each
// cell as typed with its attributes) and plain text for other programs.
// Texts are in the worksheet's character set (Windows-1252).
struct ClipboardData {
  bool hasPrivate = false;
  std::string privateForm;
  bool hasText = false;
  std::string text;
};

class Host {
 public:
  virtual ~Host() = default;

  // The one modal error box: "Error:" followed by the message, one OK button.
  virtual void showErrorBox(const std::string& message) = 0;
  virtual void beep() = 0;
  virtual void showMode(Mode /*mode*/) {}
  // Progress gauge, 0..100; a negative value hides it.
  virtual void showProgress(int /*percent*/) {}
  // Cells of a worksheet changed and should be drawn again; an invalid range
  // (the empty range) means every cell.
  virtual void cellsChanged(const Worksheet& /*ws*/, const CellRange& /*range*/) {}
  virtual Answer askYesNoCancel(const std::string& /*question*/, const std::string& /*caption*/) {
    return Answer::Cancel;
  }

  // --- Boxes and dialogs: nullopt or false when cancelled ---------------------
  virtual std::optional<std::string> inputBox(const std::string& /*caption*/,
                                              const std::string& /*prompt*/,
                                              const std::string& /*initial*/) {
    return std::nullopt;
  }
  virtual std::optional<std::string> openFileName(const FileRequest& /*request*/) {
    return std::nullopt;
  }
  virtual std::optional<std::string> saveFileName(const FileRequest& /*request*/) {
    return std::nullopt;
  }
  // Shows the dialog until it is accepted (its check passing) or cancelled.
  virtual bool runDialog(DialogModel& /*model*/) { return false; }
  // The chosen item's number from 1, or the number of items + 1 for Esc.
  virtual int macroMenu(const MenuRequest& request) {
    return static_cast<int>(request.items.size()) + 1;
  }

  // --- Keys and time ----------------------------------------------------------
  // Keys to be processed in order exactly as typed ones, by whatever has the
  // keyboard when each arrives.
  virtual void deliverKeys(const std::vector<KeyPress>& /*keys*/) {}
  // Returns when the keys delivered so far have been taken.
  virtual void settleKeys() {}
  // Lets the program answer the user during a long run (a macro calls it at
  // every cell), so that Esc can reach it.
  virtual void pollEvents() {}
  // Waits until a key is pressed and hands it over instead of acting on it;
  // nullopt when none will come.
  virtual std::optional<KeyPress> waitForKey() { return std::nullopt; }
  // Runs fn once, after at least the given time, when the program is idle.
  virtual void runLater(int /*milliseconds*/, std::function<void()> fn) { fn(); }

  // --- The clipboard -----------------------------------------------------------
  // Replaces what the clipboard holds with both forms.
  virtual void setClipboard(const ClipboardData& /*data*/) {}
  virtual ClipboardData clipboard() { return {}; }

  // --- Printing ------------------------------------------------------------------
  // The printers to choose from, and the one print jobs go to.
  virtual std::vector<std::string> printerNames() { return {}; }
  virtual std::string currentPrinter() { return {}; }
  virtual void choosePrinter(const std::string& /*name*/) {}
  // The chosen printer's page in the orientation; false when there is none.
  virtual bool printerPage(bool /*landscape*/, PageMetrics& /*page*/) { return false; }
  // The printer's own setup dialog; false when cancelled or there is none.
  virtual bool printerSetup() { return false; }
  // A job on the chosen printer; null when there is no printer or the user
  // cancelled (the name of a PDF file, say).
  virtual std::unique_ptr<PageDevice> openPrintJob(const PrintRequest& /*request*/) {
    return nullptr;
  }
  // The "Printer Status" window while a job prints, shown on the first call
  // and updated on the others; false once its button was pressed.
  virtual bool printStatus(const PrintStatus& /*status*/) { return true; }
  virtual void printStatusDone() {}

  // --- Pictures ------------------------------------------------------------------
  // A drawing made into pixels (bitmap files, the clipboard), or into a PNG
  // or SVG file; false when this host cannot make pictures or it failed.
  enum class PictureFile { Png, Svg };
  virtual bool renderPicture(int /*width*/, int /*height*/,
                             const std::function<void(Canvas&)>& /*draw*/, Bitmap& /*out*/) {
    return false;
  }
  virtual bool writePicture(const std::string& /*path*/, PictureFile /*kind*/, int /*width*/,
                            int /*height*/, const std::function<void(Canvas&)>& /*draw*/) {
    return false;
  }
  virtual void setClipboardBitmap(const Bitmap& /*bitmap*/) {}
  // The text's width in pixels on the screen in the font (an empty typeface
  // or size: the screen's default). Without a display every character is
  // FixedMetrics::kCharWidth pixels at 10 points, scaled by the size.
  virtual int textWidth(std::string_view text, const Font& font);

  // --- Sound and the screen ------------------------------------------------------
  // Whether there is a screen to show windows on.
  virtual bool hasDisplay() { return true; }
  virtual void playTone(int /*frequency*/, int /*duration*/) { beep(); }
  // A wave file: mode 1 plays it to the end first, 2 starts it, 3 loops it,
  // 4 shows a player; any other mode stops what plays.
  virtual void playSound(const std::string& /*file*/, int /*mode*/) {}

  // The selection of the active worksheet window, for the range word RANGE.
  virtual bool currentSelection(CellRange& /*range*/) { return false; }
  // The current cell of the active worksheet window, for the range word CURSOR.
  virtual bool currentCell(int& /*row*/, int& /*col*/) { return false; }

  // System facts.
  virtual std::string userName() { return "user"; }
  virtual std::string osVersion() { return "6.1"; }
  virtual std::string currentDirectory();
  virtual double secondsSinceMidnight();
  virtual int daySerialToday();
};

}  // namespace tw
