// A canvas that keeps every drawing call, with the pen, brush, font and
// clip in force, and measures text with fixed metrics. Tests check what was
// drawn through it; headless runs can list it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/canvas.h"

namespace tw {

enum class DrawKind : uint8_t {
  Line,
  Polyline,
  Polygon,
  Rectangle,
  Fill,
  Ellipse,
  Arc,
  Pie,
  Text,
  Bitmap,
  Picture,
};

struct DrawOp {
  DrawKind kind = DrawKind::Line;
  Rect rect;  // bounds; for text the box the fixed metrics give it
  std::vector<Point> points;
  std::string text;  // the text, or a picture's file name
  Pen pen;
  Brush brush;
  Font font;
  uint32_t colour = 0;  // a fill's colour, or a text's
  double start = 0;
  double span = 0;
  std::optional<Rect> clip;
  bool stretch = false;
};

class RecordingCanvas : public Canvas {
 public:
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
  void setClip(const Rect& r) override { clip_ = r; }
  void clearClip() override { clip_.reset(); }
  void drawBitmap(const Rect& target, const Bitmap& bitmap) override;
  void drawPictureFile(const Rect& target, const std::string& path, bool stretch) override;

  const std::vector<DrawOp>& ops() const { return ops_; }
  std::vector<DrawOp> ofKind(DrawKind kind) const;
  // The first text drawn that equals text, if any.
  const DrawOp* findText(std::string_view text) const;
  // The colour the last fill covering the point gave it, if any.
  std::optional<uint32_t> fillAt(Point p) const;
  void clear() { ops_.clear(); }

 private:
  DrawOp make(DrawKind kind, const Rect& r) const;

  std::vector<DrawOp> ops_;
  Pen pen_;
  Brush brush_;
  Font font_;
  uint32_t textColour_ = 0;
  std::optional<Rect> clip_;
};

}  // namespace tw
