#include "core/recording_canvas.h"

#include <algorithm>

namespace tw {

namespace {

Rect boundsOf(const std::vector<Point>& points) {
  if (points.empty()) return {};
  int x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
  for (const Point& p : points) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

}  // namespace

DrawOp RecordingCanvas::make(DrawKind kind, const Rect& r) const {
  DrawOp op;
  op.kind = kind;
  op.rect = r;
  op.pen = pen_;
  op.brush = brush_;
  op.font = font_;
  op.colour = textColour_;
  op.clip = clip_;
  return op;
}

void RecordingCanvas::drawLine(Line line) {
  DrawOp op = make(DrawKind::Line, boundsOf({line.from, line.to}));
  op.points = {line.from, line.to};
  ops_.push_back(std::move(op));
}

void RecordingCanvas::drawLines(const std::vector<Line>& lines) {
  for (const Line& l : lines) drawLine(l);
}

void RecordingCanvas::drawPolyline(const std::vector<Point>& points) {
  DrawOp op = make(DrawKind::Polyline, boundsOf(points));
  op.points = points;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::drawPolygon(const std::vector<Point>& points) {
  DrawOp op = make(DrawKind::Polygon, boundsOf(points));
  op.points = points;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::drawRectangle(const Rect& r) {
  ops_.push_back(make(DrawKind::Rectangle, r));
}

void RecordingCanvas::fillRectangle(const Rect& r, uint32_t rgb) {
  DrawOp op = make(DrawKind::Fill, r);
  op.colour = rgb;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::drawEllipse(const Rect& bounds) {
  ops_.push_back(make(DrawKind::Ellipse, bounds));
}

void RecordingCanvas::drawArc(const Rect& bounds, double startAngle, double spanAngle) {
  DrawOp op = make(DrawKind::Arc, bounds);
  op.start = startAngle;
  op.span = spanAngle;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::drawPie(const Rect& bounds, double startAngle, double spanAngle) {
  DrawOp op = make(DrawKind::Pie, bounds);
  op.start = startAngle;
  op.span = spanAngle;
  ops_.push_back(std::move(op));
}

void RecordingCanvas::drawText(int x, int y, std::string_view text) {
  TextMetrics m = FixedMetrics::of(text);
  DrawOp op = make(DrawKind::Text, {x, y, m.width, m.height()});
  op.text = text;
  ops_.push_back(std::move(op));
}

TextMetrics RecordingCanvas::measureText(const Font&, std::string_view text) {
  return FixedMetrics::of(text);
}

void RecordingCanvas::drawBitmap(const Rect& target, const Bitmap&) {
  ops_.push_back(make(DrawKind::Bitmap, target));
}

void RecordingCanvas::drawPictureFile(const Rect& target, const std::string& path, bool stretch) {
  DrawOp op = make(DrawKind::Picture, target);
  op.text = path;
  op.stretch = stretch;
  ops_.push_back(std::move(op));
}

std::vector<DrawOp> RecordingCanvas::ofKind(DrawKind kind) const {
  std::vector<DrawOp> out;
  for (const DrawOp& op : ops_)
    if (op.kind == kind) out.push_back(op);
  return out;
}

const DrawOp* RecordingCanvas::findText(std::string_view text) const {
  for (const DrawOp& op : ops_)
    if (op.kind == DrawKind::Text && op.text == text) return &op;
  return nullptr;
}

std::optional<uint32_t> RecordingCanvas::fillAt(Point p) const {
  std::optional<uint32_t> colour;
  for (const DrawOp& op : ops_)
    if (op.kind == DrawKind::Fill && op.rect.contains(p)) colour = op.colour;
  return colour;
}

}  // namespace tw
