#include "ui/qt_print.h"

#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "ui/qt_canvas.h"
#include "ui/text_codec.h"

namespace tw {

// --- The printers -------------------------------------------------------------------------

PrinterChoice::PrinterChoice() {
  QString system = QPrinterInfo::defaultPrinterName();
  current_ = system.isEmpty() ? std::string(kPdfPrinterName) : fromQt(system);
}

std::vector<std::string> PrinterChoice::names() const {
  std::vector<std::string> out;
  for (const QString& n : QPrinterInfo::availablePrinterNames()) out.push_back(fromQt(n));
  out.push_back(kPdfPrinterName);
  return out;
}

void PrinterChoice::choose(const std::string& name) {
  if (name != current_) layoutSet_ = false;
  current_ = name;
}

std::unique_ptr<QPrinter> PrinterChoice::make(bool landscape) const {
  auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (toPdf()) {
    p->setOutputFormat(QPrinter::PdfFormat);
  } else {
    p->setPrinterName(toQt(current_));
  }
  if (layoutSet_) p->setPageLayout(layout_);
  p->setResolution(kScreenPixelsPerInch);
  p->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  // The worksheet's margins are laid out by the program; the printer keeps
  // only what it cannot reach.
  p->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  return p;
}

PageMetrics PrinterChoice::page(bool landscape) const {
  std::unique_ptr<QPrinter> p = make(landscape);
  QRect r = p->pageLayout().paintRectPixels(p->resolution());
  return {p->resolution(), p->resolution(), r.width(), r.height()};
}

bool PrinterChoice::setup(QWidget* parent) {
  std::unique_ptr<QPrinter> p = make(false);
  QPageSetupDialog d(p.get(), parent);
  if (d.exec() != QDialog::Accepted) return false;
  layout_ = p->pageLayout();
  layoutSet_ = true;
  return true;
}

// --- The job ------------------------------------------------------------------------------

struct QtPageDevice::Drawing {
  QPainter painter;
  QtCanvasCache cache;
  std::unique_ptr<QtCanvas> canvas;
};

QtPageDevice::QtPageDevice(std::unique_ptr<QPrinter> printer, std::string name, std::string pdfPath)
    : printer_(std::move(printer)), name_(std::move(name)), pdfPath_(std::move(pdfPath)) {
  if (!pdfPath_.empty()) printer_->setOutputFileName(pathToQt(pdfPath_ + ".part"));
}

QtPageDevice::~QtPageDevice() {
  if (!done_) abort();
}

PageMetrics QtPageDevice::metrics() const {
  QRect r = printer_->pageLayout().paintRectPixels(printer_->resolution());
  return {printer_->resolution(), printer_->resolution(), r.width(), r.height()};
}

Canvas* QtPageDevice::beginPage() {
  if (done_) return nullptr;
  if (!started_) {
    drawing_ = std::make_unique<Drawing>();
    if (!drawing_->painter.begin(printer_.get())) {
      drawing_.reset();
      return nullptr;
    }
    started_ = true;
    drawing_->painter.setRenderHint(QPainter::Antialiasing, false);
    drawing_->canvas = std::make_unique<QtCanvas>(drawing_->painter, drawing_->cache);
  } else if (!printer_->newPage()) {
    return nullptr;
  }
  return drawing_->canvas.get();
}

bool QtPageDevice::endPage() {
  return started_ && drawing_ && drawing_->painter.isActive();
}

bool QtPageDevice::finish() {
  if (done_) return false;
  done_ = true;
  bool ok = true;
  if (drawing_) ok = drawing_->painter.end();
  drawing_.reset();
  if (pdfPath_.empty()) return ok;
  std::error_code ec;
  std::string part = pdfPath_ + ".part";
  if (!ok) {
    std::filesystem::remove(part, ec);
    return false;
  }
  std::filesystem::rename(part, pdfPath_, ec);
  if (!ec) return true;
  std::filesystem::remove(part, ec);
  return false;
}

void QtPageDevice::abort() {
  if (done_) return;
  done_ = true;
  if (started_) printer_->abort();
  if (drawing_ && drawing_->painter.isActive()) drawing_->painter.end();
  drawing_.reset();
  if (!pdfPath_.empty()) {
    std::error_code ec;
    std::filesystem::remove(pdfPath_ + ".part", ec);
  }
}

// --- The status window ----------------------------------------------------------------------

TAbortForm::TAbortForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Printer Status");
  setModal(false);
  auto* v = new QVBoxLayout(this);
  printer_ = new QLabel(this);
  page_ = new QLabel(this);
  line_ = new QLabel(this);
  gauge_ = new QProgressBar(this);
  gauge_->setRange(0, 100);
  auto* cancel = new QPushButton("Cancel", this);
  v->addWidget(printer_);
  v->addWidget(page_);
  v->addWidget(line_);
  v->addWidget(gauge_);
  v->addWidget(cancel);
  connect(cancel, &QPushButton::clicked, this, [this] { cancelled_ = true; });
}

void TAbortForm::show(const PrintStatus& s) {
  printer_->setText(toQt(s.printer));
  page_->setText("Page: " + QString::number(s.page));
  line_->setText("Line: " + QString::number(s.line));
  gauge_->setValue(s.percent);
  if (!isVisible()) QDialog::show();
}

}  // namespace tw
