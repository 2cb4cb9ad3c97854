// The one drawing surface of the program: the worksheet window's cells,
// graphs and printed pages all draw through it. The desktop program draws
// on the screen, printers, PDF and picture files through its Qt canvas; the
// recording canvas keeps what was drawn for tests and headless runs.
// Coordinates are device pixels (or points, on paper), y downwards; colours
// are 0xRRGGBB; texts are Windows-1252.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  int right() const { return x + width; }  // one past the last pixel
  int bottom() const { return y + height; }
  bool empty() const { return width <= 0 || height <= 0; }
  bool contains(Point p) const { return p.x >= x && p.x < right() && p.y >= y && p.y < bottom(); }
  Rect intersected(const Rect& o) const;
  bool operator==(const Rect&) const = default;
};

struct Line {
  Point from;
  Point to;
  bool operator==(const Line&) const = default;
};

enum class LineStyle : uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, None };

struct Pen {
  uint32_t colour = 0;
  int width = 1;
  LineStyle style = LineStyle::Solid;
  bool operator==(const Pen&) const = default;
};

enum class FillStyle : uint8_t {
  None,
  Solid,
  Horizontal,
  Vertical,
  ForwardDiagonal,
  BackwardDiagonal,
  Cross,
  DiagonalCross,
};

struct Brush {
  uint32_t colour = 0xFFFFFF;
  FillStyle style = FillStyle::Solid;
  bool operator==(const Brush&) const = default;
};

struct Font {
  std::string typeface;  // empty: the surface's own default typeface
  double size = 0;       // points; 0: the surface's default size
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int angle = 0;  // tenths of a degree, counter-clockwise
  bool operator==(const Font&) const = default;
};

struct TextMetrics {
  int width = 0;
  int ascent = 0;
  int descent = 0;
  int height() const { return ascent + descent; }
};

// A picture held in memory: rows from the top, each pixel 0xAARRGGBB.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void setPen(const Pen& pen) = 0;
  virtual void setBrush(const Brush& brush) = 0;
  virtual void setFont(const Font& font) = 0;
  virtual void setTextColour(uint32_t rgb) = 0;

  virtual void drawLine(Line line) = 0;
  // Many separate lines with the current pen, drawn in one go.
  virtual void drawLines(const std::vector<Line>& lines) = 0;
  virtual void drawPolyline(const std::vector<Point>& points) = 0;
  // Filled with the brush and outlined with the pen (a None pen: no outline).
  virtual void drawPolygon(const std::vector<Point>& points) = 0;
  virtual void drawRectangle(const Rect& r) = 0;
  virtual void fillRectangle(const Rect& r, uint32_t rgb) = 0;
  virtual void drawEllipse(const Rect& bounds) = 0;
  // Angles in degrees, counter-clockwise from three o'clock.
  virtual void drawArc(const Rect& bounds, double startAngle, double spanAngle) = 0;
  virtual void drawPie(const Rect& bounds, double startAngle, double spanAngle) = 0;

  // The text's box has its top-left corner at (x, y), turned by the font's angle.
  virtual void drawText(int x, int y, std::string_view text) = 0;
  virtual TextMetrics measureText(const Font& font, std::string_view text) = 0;

  // Drawing is cut to the rectangle until the clip is set again or cleared.
  virtual void setClip(const Rect& r) = 0;
  virtual void clearClip() = 0;

  virtual void drawBitmap(const Rect& target, const Bitmap& bitmap) = 0;
  // A picture file named by a cell: stretched to the target, or at its own
  // size from the target's corner. Nothing is drawn when it cannot be read.
  virtual void drawPictureFile(const Rect& target, const std::string& path, bool stretch) = 0;
};

// Text measured without a display: every character is the same width.
// Headless runs and text output lay cells out with it.
struct FixedMetrics {
  static constexpr int kCharWidth = 8;
  static constexpr int kAscent = 13;
  static constexpr int kDescent = 3;
  static TextMetrics of(std::string_view text) {
    return {static_cast<int>(text.size()) * kCharWidth, kAscent, kDescent};
  }
};

}  // namespace tw
