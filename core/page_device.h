// A print job's pages, as the engine sees them: the printer's resolution
// and printable area, and a canvas for each page. The desktop program prints
// through Qt (a printer, or a PDF file); the command line writes PDF files
// with the program's own writer; tests record the pages.
//
// Lengths: the device reports its page in its own pixels (dpiX by dpiY per
// inch). Each page's canvas draws in logical units of a screen pixel,
// 1/kScreenPixelsPerInch of an inch, mapped onto the device's pixels alike
// in both directions; every length of the print layout is in these units.
#pragma once

#include <memory>
#include <string>

namespace tw {

class Canvas;

inline constexpr int kScreenPixelsPerInch = 96;

struct PageMetrics {
  int dpiX = 600;
  int dpiY = 600;
  // The printable area in device pixels (the paper less the margins the
  // printer cannot reach).
  int width = 0;
  int height = 0;
  double widthInches() const { return dpiX > 0 ? static_cast<double>(width) / dpiX : 0; }
  double heightInches() const { return dpiY > 0 ? static_cast<double>(height) / dpiY : 0; }
  bool operator==(const PageMetrics&) const = default;
};

// What a job is opened with.
struct PrintRequest {
  std::string title;  // the job's name: the worksheet window's caption
  bool landscape = false;
};

class PageDevice {
 public:
  virtual ~PageDevice() = default;
  virtual PageMetrics metrics() const = 0;
  virtual std::string name() const = 0;  // the printer's, for the status window
  // Starts the next page; null when the device failed.
  virtual Canvas* beginPage() = 0;
  virtual bool endPage() = 0;
  // Ends the job: false when its output could not be completed.
  virtual bool finish() = 0;
  // Throws the job away: nothing of it is printed or left behind.
  virtual void abort() = 0;
};

// The "Printer Status" window's contents while a job runs.
struct PrintStatus {
  std::string printer;
  int page = 0;
  int line = 0;
  int percent = 0;
};

}  // namespace tw
