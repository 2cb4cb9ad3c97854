// Printing in the desktop program: the printers Qt knows and a "PDF File"
// beside them, the job's pages drawn through the Qt canvas on a QPrinter,
// and the "Printer Status" window with its cancel button.
//
// The printer works at the layout's own unit, 96 dots per inch: every
// length of a page is a whole dot, fonts keep their point sizes, and the
// output (PDF, or the PDF a Linux print system takes) stays vector.
#pragma once

#include <QDialog>
#include <QPrinter>
#include <memory>
#include <string>
#include <vector>

#include "core/page_device.h"

class QLabel;
class QProgressBar;

namespace tw {

inline constexpr const char* kPdfPrinterName = "PDF File";

class PrinterChoice {
 public:
  PrinterChoice();
  std::vector<std::string> names() const;  // the system's printers, then "PDF File"
  std::string current() const { return current_; }
  void choose(const std::string& name);
  bool toPdf() const { return current_ == kPdfPrinterName; }
  // A printer set up as chosen, in the orientation, at 96 dots per inch.
  std::unique_ptr<QPrinter> make(bool landscape) const;
  PageMetrics page(bool landscape) const;
  // The page setup dialog: paper, margins the printer keeps, orientation.
  bool setup(QWidget* parent);

 private:
  std::string current_;
  QPageLayout layout_;
  bool layoutSet_ = false;
};

// A job on a QPrinter; a PDF is written beside its name and renamed over
// it when the job finishes, so that an aborted job leaves the old file.
class QtPageDevice : public PageDevice {
 public:
  QtPageDevice(std::unique_ptr<QPrinter> printer, std::string name, std::string pdfPath);
  ~QtPageDevice() override;
  PageMetrics metrics() const override;
  std::string name() const override { return name_; }
  Canvas* beginPage() override;
  bool endPage() override;
  bool finish() override;
  void abort() override;

 private:
  struct Drawing;
  std::unique_ptr<QPrinter> printer_;
  std::string name_;
  std::string pdfPath_;
  std::unique_ptr<Drawing> drawing_;
  bool started_ = false;
  bool done_ = false;
};

// "Printer Status": the printer, "Page: ", "Line: ", the gauge and Cancel.
class TAbortForm : public QDialog {
 public:
  explicit TAbortForm(QWidget* parent);
  void show(const PrintStatus& status);
  bool cancelled() const { return cancelled_; }

 private:
  QLabel* printer_;
  QLabel* page_;
  QLabel* line_;
  QProgressBar* gauge_;
  bool cancelled_ = false;
};

}  // namespace tw
