#include "ui/qt_canvas.h"

#include <QFontMetrics>
#include <QPolygon>

#include "ui/text_codec.h"

namespace tw {

namespace {

QRect qtRect(const Rect& r) {
  return QRect(r.x, r.y, r.width, r.height);
}
// Outlines cover the rectangle's last pixels, as fills do.
QRect outline(const Rect& r) {
  return QRect(r.x, r.y, r.width - 1, r.height - 1);
}

Qt::PenStyle penStyle(LineStyle s) {
  switch (s) {
    case LineStyle::Solid:
      return Qt::SolidLine;
    case LineStyle::Dash:
      return Qt::DashLine;
    case LineStyle::Dot:
      return Qt::DotLine;
    case LineStyle::DashDot:
      return Qt::DashDotLine;
    case LineStyle::DashDotDot:
      return Qt::DashDotDotLine;
    case LineStyle::None:
      return Qt::NoPen;
  }
  return Qt::SolidLine;
}

Qt::BrushStyle brushStyle(FillStyle s) {
  switch (s) {
    case FillStyle::None:
      return Qt::NoBrush;
    case FillStyle::Solid:
      return Qt::SolidPattern;
    case FillStyle::Horizontal:
      return Qt::HorPattern;
    case FillStyle::Vertical:
      return Qt::VerPattern;
    case FillStyle::ForwardDiagonal:
      return Qt::FDiagPattern;
    case FillStyle::BackwardDiagonal:
      return Qt::BDiagPattern;
    case FillStyle::Cross:
      return Qt::CrossPattern;
    case FillStyle::DiagonalCross:
      return Qt::DiagCrossPattern;
  }
  return Qt::SolidPattern;
}

QPolygon polygon(const std::vector<Point>& points) {
  QPolygon p;
  p.reserve(static_cast<int>(points.size()));
  for (const Point& q : points) p << QPoint(q.x, q.y);
  return p;
}

}  // namespace

QColor qtColour(uint32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// --- The cache ---------------------------------------------------------------------

void QtCanvasCache::setBase(const QFont& base) {
  if (base == base_) return;
  base_ = base;
  clear();
}

void QtCanvasCache::clear() {
  fonts_.clear();
  widths_.clear();
  texts_.clear();
  pictures_.clear();
}

int QtCanvasCache::fontIndex(const Font& font) {
  for (size_t i = 0; i < fonts_.size(); ++i)
    if (fonts_[i].first == font) return static_cast<int>(i);
  QFont q = base_;
  if (!font.typeface.empty()) q.setFamily(toQt(font.typeface));
  if (font.size > 0) q.setPointSizeF(font.size);
  q.setBold(font.bold);
  q.setItalic(font.italic);
  q.setUnderline(font.underline);
  fonts_.emplace_back(font, q);
  return static_cast<int>(fonts_.size()) - 1;
}

std::string QtCanvasCache::key(int fontIndex, std::string_view text) {
  std::string k(reinterpret_cast<const char*>(&fontIndex), sizeof fontIndex);
  k.append(text);
  return k;
}

int QtCanvasCache::width(int index, std::string_view text) {
  std::string k = key(index, text);
  auto it = widths_.find(k);
  if (it != widths_.end()) return it->second;
  int w = QFontMetrics(font(index)).horizontalAdvance(toQt(text));
  if (widths_.size() > 20000) widths_.clear();
  widths_.emplace(std::move(k), w);
  return w;
}

const QStaticText& QtCanvasCache::staticText(int index, std::string_view text) {
  std::string k = key(index, text);
  auto it = texts_.find(k);
  if (it == texts_.end()) {
    if (texts_.size() > 8000) texts_.clear();
    QStaticText st(toQt(text));
    st.setTextFormat(Qt::PlainText);
    st.prepare(QTransform(), font(index));
    it = texts_.emplace(std::move(k), std::move(st)).first;
  }
  return it->second;
}

const QImage* QtCanvasCache::picture(const std::string& path) {
  auto it = pictures_.find(path);
  if (it == pictures_.end()) it = pictures_.emplace(path, QImage(pathToQt(path))).first;
  return it->second.isNull() ? nullptr : &it->second;
}

// --- The canvas --------------------------------------------------------------------

void QtCanvas::setPen(const Pen& pen) {
  pen_ = pen;
  painter_.setPen(QPen(qtColour(pen.colour), pen.width, penStyle(pen.style)));
  textPen_ = false;
}

// Text draws with a pen of the text colour; shapes put the canvas's pen back.
void QtCanvas::shapePen() {
  if (textPen_) setPen(pen_);
}

void QtCanvas::textPen() {
  if (textPen_ && textPenColour_ == textColour_) return;
  painter_.setPen(qtColour(textColour_));
  textPen_ = true;
  textPenColour_ = textColour_;
}

void QtCanvas::setBrush(const Brush& brush) {
  painter_.setBrush(QBrush(qtColour(brush.colour), brushStyle(brush.style)));
}

void QtCanvas::setFont(const Font& font) {
  font_ = cache_.fontIndex(font);
  angle_ = font.angle;
  painter_.setFont(cache_.font(font_));
}

void QtCanvas::drawLine(Line l) {
  shapePen();
  painter_.drawLine(l.from.x, l.from.y, l.to.x, l.to.y);
}

void QtCanvas::drawLines(const std::vector<Line>& lines) {
  shapePen();
  QVector<QLine> q;
  q.reserve(static_cast<int>(lines.size()));
  for (const Line& l : lines) q.append(QLine(l.from.x, l.from.y, l.to.x, l.to.y));
  painter_.drawLines(q);
}

void QtCanvas::drawPolyline(const std::vector<Point>& points) {
  shapePen();
  painter_.drawPolyline(polygon(points));
}

void QtCanvas::drawPolygon(const std::vector<Point>& points) {
  shapePen();
  painter_.drawPolygon(polygon(points));
}

void QtCanvas::drawRectangle(const Rect& r) {
  shapePen();
  painter_.drawRect(outline(r));
}

void QtCanvas::fillRectangle(const Rect& r, uint32_t rgb) {
  if (r.empty()) return;
  painter_.fillRect(qtRect(r), qtColour(rgb));
}

void QtCanvas::drawEllipse(const Rect& bounds) {
  shapePen();
  painter_.drawEllipse(outline(bounds));
}

void QtCanvas::drawArc(const Rect& bounds, double startAngle, double spanAngle) {
  shapePen();
  painter_.drawArc(outline(bounds), qRound(startAngle * 16), qRound(spanAngle * 16));
}

void QtCanvas::drawPie(const Rect& bounds, double startAngle, double spanAngle) {
  shapePen();
  painter_.drawPie(outline(bounds), qRound(startAngle * 16), qRound(spanAngle * 16));
}

void QtCanvas::drawText(int x, int y, std::string_view text) {
  if (font_ < 0) setFont(Font{});
  textPen();
  const QStaticText& st = cache_.staticText(font_, text);
  if (angle_ == 0) {
    painter_.drawStaticText(QPoint(x, y), st);
  } else {
    painter_.save();
    painter_.translate(x, y);
    painter_.rotate(-angle_ / 10.0);
    painter_.drawStaticText(QPoint(0, 0), st);
    painter_.restore();
  }
}

TextMetrics QtCanvas::measureText(const Font& font, std::string_view text) {
  int index = cache_.fontIndex(font);
  QFontMetrics fm(cache_.font(index));
  return {text.empty() ? 0 : cache_.width(index, text), fm.ascent(), fm.descent()};
}

void QtCanvas::setClip(const Rect& r) {
  painter_.setClipRect(qtRect(r));
}

void QtCanvas::clearClip() {
  painter_.setClipping(false);
}

void QtCanvas::drawBitmap(const Rect& target, const Bitmap& bitmap) {
  if (bitmap.width <= 0 || bitmap.height <= 0 ||
      bitmap.pixels.size() < size_t(bitmap.width) * size_t(bitmap.height))
    return;
  QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
               bitmap.width * 4, QImage::Format_ARGB32);
  painter_.drawImage(qtRect(target), image);
}

void QtCanvas::drawPictureFile(const Rect& target, const std::string& path, bool stretch) {
  const QImage* image = cache_.picture(path);
  if (!image) return;
  if (stretch)
    painter_.drawImage(qtRect(target), *image);
  else
    painter_.drawImage(QPoint(target.x, target.y), *image);
}

}  // namespace tw
