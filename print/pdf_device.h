// Pages written as a PDF file by the program's own writer, for runs without
// a desktop (talloway-cli). Text is set in the standard Courier faces, whose
// characters all have one width, so that what is measured is exactly what is
// printed; a size of 10 points gives 7 pixels a character, about what the
// screen's faces take. The file appears only when the job finishes; an
// aborted job leaves whatever was there before.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/canvas.h"
#include "core/page_device.h"

namespace tw {

enum class PaperSize { Letter, A4 };

// The paper the system names (/etc/papersize, or the PAPERSIZE variable):
// A4 for "a4", else Letter.
PaperSize systemPaperSize();

// The drawing of one page as PDF operators, in logical units (1/96 inch)
// with y downwards on a page of the given height in points.
class PdfCanvas : public Canvas {
 public:
  explicit PdfCanvas(double pageHeightPoints);

  void setPen(const Pen& pen) override { pen_ = pen; }
  void setBrush(const Brush& brush) override { brush_ = brush; }
  void setFont(const Font& font) override { font_ = font; }
  void setTextColour(uint32_t rgb) override { textColour_ = rgb; }
  void drawLine(Line line) override;
  void drawLines(const std::vector<Line>& lines) override;
  void drawPolyline(const std::vector<Point>& points) override;
  void drawPolygon(const std::vector<Point>& points) override;
  void drawRectangle(const Rect& r) override;
  void fillRectangle(const Rect& r, uint32_t rgb) override;
  void drawEllipse(const Rect& bounds) override;
  void drawArc(const Rect& bounds, double startAngle, double spanAngle) override;
  void drawPie(const Rect& bounds, double startAngle, double spanAngle) override;
  void drawText(int x, int y, std::string_view text) override;
  TextMetrics measureText(const Font& font, std::string_view text) override;
  void setClip(const Rect& r) override;
  void clearClip() override;
  void drawBitmap(const Rect& target, const Bitmap& bitmap) override;
  // The engine reads no picture files; they are left out of the page.
  void drawPictureFile(const Rect&, const std::string&, bool) override {}

  // The page's content stream, closed.
  std::string finish();
  const std::vector<Bitmap>& images() const { return images_; }

 private:
  void strokeColour(uint32_t rgb);
  void fillColour(uint32_t rgb);
  void applyPen();
  void restoreClipState();
  void strokePath(const std::string& path);
  void fillPath(const std::string& path, bool andStroke);
  void hatch(const std::string& path, const Rect& bounds);
  std::string arcPath(const Rect& bounds, double start, double span, bool moveFirst) const;

  std::string out_;
  Pen pen_;
  Brush brush_;
  Font font_;
  uint32_t textColour_ = 0;
  bool clipped_ = false;
  // What the stream has set, to set again only what changes.
  int64_t stroke_ = -1, fill_ = -1;
  int lineWidth_ = -1;
  LineStyle dash_ = LineStyle::Solid;
  bool dashSet_ = false;
  std::vector<Bitmap> images_;
};

class PdfDevice : public PageDevice {
 public:
  PdfDevice(std::string path, PaperSize paper, bool landscape);
  ~PdfDevice() override;

  PageMetrics metrics() const override;
  std::string name() const override { return "PDF: " + path_; }
  Canvas* beginPage() override;
  bool endPage() override;
  bool finish() override;
  void abort() override;

  int pages() const { return static_cast<int>(pages_.size()); }

 private:
  struct PageOut {
    std::string content;
    std::vector<Bitmap> images;
  };
  std::string path_;
  double width_ = 612, height_ = 792;  // points
  std::unique_ptr<PdfCanvas> canvas_;
  std::vector<PageOut> pages_;
  bool done_ = false;
};

// The whole PDF file of the pages, each a content stream in logical units.
std::string pdfDocument(double widthPoints, double heightPoints,
                        const std::vector<std::string>& contents,
                        const std::vector<std::vector<Bitmap>>& images);

}  // namespace tw
