// A canvas that draws on another one moved by an offset: a graph drawn at
// its own origin lands inside a page's margins.
#pragma once

#include "core/canvas.h"

namespace tw {

class OffsetCanvas : public Canvas {
 public:
  OffsetCanvas(Canvas& target, int dx, int dy) : t_(target), dx_(dx), dy_(dy) {}

  void setPen(const Pen& pen) override { t_.setPen(pen); }
  void setBrush(const Brush& brush) override { t_.setBrush(brush); }
  void setFont(const Font& font) override { t_.setFont(font); }
  void setTextColour(uint32_t rgb) override { t_.setTextColour(rgb); }
  void drawLine(Line l) override { t_.drawLine({p(l.from), p(l.to)}); }
  void drawLines(const std::vector<Line>& lines) override {
    std::vector<Line> moved;
    moved.reserve(lines.size());
    for (const Line& l : lines) moved.push_back({p(l.from), p(l.to)});
    t_.drawLines(moved);
  }
  void drawPolyline(const std::vector<Point>& points) override { t_.drawPolyline(ps(points)); }
  void drawPolygon(const std::vector<Point>& points) override { t_.drawPolygon(ps(points)); }
  void drawRectangle(const Rect& r) override { t_.drawRectangle(rc(r)); }
  void fillRectangle(const Rect& r, uint32_t rgb) override { t_.fillRectangle(rc(r), rgb); }
  void drawEllipse(const Rect& b) override { t_.drawEllipse(rc(b)); }
  void drawArc(const Rect& b, double start, double span) override {
    t_.drawArc(rc(b), start, span);
  }
  void drawPie(const Rect& b, double start, double span) override {
    t_.drawPie(rc(b), start, span);
  }
  void drawText(int x, int y, std::string_view text) override {
    t_.drawText(x + dx_, y + dy_, text);
  }
  TextMetrics measureText(const Font& font, std::string_view text) override {
    return t_.measureText(font, text);
  }
  void setClip(const Rect& r) override { t_.setClip(rc(r)); }
  void clearClip() override { t_.clearClip(); }
  void drawBitmap(const Rect& target, const Bitmap& bitmap) override {
    t_.drawBitmap(rc(target), bitmap);
  }
  void drawPictureFile(const Rect& target, const std::string& path, bool stretch) override {
    t_.drawPictureFile(rc(target), path, stretch);
  }

 private:
  Point p(Point q) const { return {q.x + dx_, q.y + dy_}; }
  Rect rc(const Rect& r) const { return {r.x + dx_, r.y + dy_, r.width, r.height}; }
  std::vector<Point> ps(const std::vector<Point>& points) const {
    std::vector<Point> out;
    out.reserve(points.size());
    for (Point q : points) out.push_back(p(q));
    return out;
  }

  Canvas& t_;
  int dx_, dy_;
};

}  // namespace tw
