// The canvas over a QPainter: the screen, printers, PDF writers and images
// all draw through it. The cache it is given keeps fonts, text widths, laid
// out texts and pictures between paints, so that repainting the same cells
// does not measure or shape their text again.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QStaticText>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/canvas.h"

namespace tw {

class QtCanvasCache {
 public:
  // base gives the typeface and size of fonts that name none.
  explicit QtCanvasCache(QFont base = QFont()) : base_(std::move(base)) {}
  void setBase(const QFont& base);
  const QFont& base() const { return base_; }
  void clear();

  // The font's index in the cache, making its QFont on first use.
  int fontIndex(const Font& font);
  const QFont& font(int index) const { return fonts_[index].second; }
  int width(int fontIndex, std::string_view text);
  const QStaticText& staticText(int fontIndex, std::string_view text);
  const QImage* picture(const std::string& path);

 private:
  static std::string key(int fontIndex, std::string_view text);

  QFont base_;
  std::vector<std::pair<Font, QFont>> fonts_;
  std::unordered_map<std::string, int> widths_;
  std::unordered_map<std::string, QStaticText> texts_;
  std::unordered_map<std::string, QImage> pictures_;
};

class QtCanvas : public Canvas {
 public:
  QtCanvas(QPainter& painter, QtCanvasCache& cache) : painter_(painter), cache_(cache) {}

  void setPen(const Pen& pen) override;
  void setBrush(const Brush& brush) override;
  void setFont(const Font& font) override;
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
  void drawPictureFile(const Rect& target, const std::string& path, bool stretch) override;

 private:
  void shapePen();
  void textPen();

  QPainter& painter_;
  QtCanvasCache& cache_;
  int font_ = -1;
  int angle_ = 0;
  Pen pen_;
  uint32_t textColour_ = 0;
  bool textPen_ = false;  // the painter's pen is the text colour's
  uint32_t textPenColour_ = 0;
};

QColor qtColour(uint32_t rgb);

}  // namespace tw
