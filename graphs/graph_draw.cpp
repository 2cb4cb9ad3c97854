#include "graphs/graph_draw.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "core/cell.h"
#include "core/cell_display.h"
#include "core/display_format.h"
#include "core/worksheet.h"

namespace tw {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kMaxAreaPoints = 500;
constexpr int kMaxStackedCategories = 500;

// --- Reading the cells ----------------------------------------------------------------------

// The cells of a range column by column, as the graph pairs them.
template <class F>
void eachCellByColumn(const CellRange& range, F&& f) {
  if (!range.valid()) return;
  CellRange r = range.ordered();
  for (int c = r.col1; c <= r.col2; ++c)
    for (int row = r.row1; row <= r.row2; ++row) f(row, c);
}

std::optional<double> numberAt(const Worksheet& ws, int row, int col) {
  CellHandle h = ws.FindCell(row, col);
  if (h == kNoCell) return std::nullopt;
  const Cell& c = ws.cell(h);
  if (!isNumber(&c) || c.isErr()) return std::nullopt;
  double v = numberValue(c);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

std::string shownAt(const Worksheet& ws, int row, int col) {
  CellHandle h = ws.FindCell(row, col);
  if (h == kNoCell) return {};
  FixedTextMeasure measure;
  CellShow s = cellShows(ws, ws.cell(h), 8 * 240, measure);
  std::string t = s.kind == ShowKind::Nothing || s.kind == ShowKind::Picture ? "" : s.text;
  size_t a = t.find_first_not_of(' ');
  size_t b = t.find_last_not_of(' ');
  return a == std::string::npos ? "" : t.substr(a, b - a + 1);
}

std::string formatValue(const Worksheet& ws, uint8_t format, double v) {
  std::string t = FormatNumber(24, format, v, formatOptions(ws));
  size_t a = t.find_first_not_of(' ');
  size_t b = t.find_last_not_of(' ');
  return a == std::string::npos ? "" : t.substr(a, b - a + 1);
}

// --- Scales -------------------------------------------------------------------------------------

double decade(double v) {
  double l = std::log10(std::fabs(v));
  double n = l >= 0 ? std::trunc(l + 0.1) : -std::trunc(std::fabs(l) + 0.1);
  return std::pow(10.0, n);
}

// A count of 0 major intervals is one interval.
int intervalsOf(const AxisScale& a) {
  return a.intervals == 0 ? 1 : a.intervals;
}

}  // namespace

GraphData readGraphData(const Worksheet& ws, const GraphDefinition& g) {
  GraphData d;
  if (g.ranges[0].valid()) {
    CellRange x = g.ranges[0].ordered();
    d.xRows = x.row2 - x.row1 + 1;
    d.xColumns = x.col2 - x.col1 + 1;
    eachCellByColumn(x, [&](int row, int col) {
      d.x.push_back(numberAt(ws, row, col));
      d.xTexts.push_back(shownAt(ws, row, col));
    });
  }
  // X cells that hold no number at all (month names, say) count 1, 2, 3 ...
  // on the types that place points at their X values.
  if (hasNumericX(g.type) && g.type != kGraphContour &&
      std::none_of(d.x.begin(), d.x.end(), [](const auto& v) { return v.has_value(); }))
    for (size_t k = 0; k < d.x.size(); ++k) d.x[k] = static_cast<double>(k + 1);
  const size_t n = d.x.size();
  for (int s = 0; s < kSeriesCount; ++s) {
    SeriesData& sd = d.series[s];
    sd.defined = g.ranges[s + 1].valid();
    sd.values.assign(n, std::nullopt);
    sd.labels.assign(n, {});
    if (sd.defined) {
      size_t k = 0;
      eachCellByColumn(g.ranges[s + 1], [&](int row, int col) {
        if (k < n) sd.values[k] = numberAt(ws, row, col);
        ++k;
      });
    }
    if (g.labelRanges[s].valid()) {
      size_t k = 0;
      eachCellByColumn(g.labelRanges[s], [&](int row, int col) {
        if (k < n) sd.labels[k] = shownAt(ws, row, col);
        ++k;
      });
    }
  }
  return d;
}

AxisRange exponentialAxis(double min, double max, bool yAxis) {
  AxisRange a;
  a.exponential = true;
  if (!(max > 0)) max = 1;
  if (!(min > 0)) min = std::min(1.0, max);
  double hi = decade(max), lo = decade(min);
  if (yAxis) {
    if (hi * 1.01 < max) hi *= 10;
    if (!(min * 1.01 >= lo)) lo *= 0.1;
  } else {
    if (hi < max) hi *= 10;
    if (lo > min) lo *= 0.1;
  }
  if (lo >= hi) hi = lo * 10;
  a.min = lo;
  a.max = hi;
  a.intervals = std::max(1, static_cast<int>(std::lround(std::log10(hi / lo) + 1e-16)));
  a.step = std::exp((std::log(hi) - std::log(lo)) / a.intervals);
  if (std::fabs(a.step - 10) < 0.0001) a.step = 10;
  return a;
}

GraphScales ComputeScales(const GraphDefinition& g, const GraphData& d) {
  GraphScales s;
  const size_t n = d.x.size();
  s.categories = !hasNumericX(g.type);
  // X.
  if (g.type == kGraphContour && !g.x.manual) {
    s.categories = false;
    s.x.min = 0;
    s.x.max = std::max(1, d.xRows - 1);
    s.x.intervals = static_cast<int>(s.x.max);
  } else if (s.categories) {
    s.x.min = 1;
    s.x.max = static_cast<double>(n) + 1;
    s.x.intervals = static_cast<int>(std::max<size_t>(n, 1));
  } else if (g.x.manual) {
    s.x.min = g.x.lower;
    s.x.max = g.x.upper;
    s.x.intervals = intervalsOf(g.x);
  } else {
    bool any = false;
    for (const auto& v : d.x)
      if (v) {
        s.x.min = any ? std::min(s.x.min, *v) : *v;
        s.x.max = any ? std::max(s.x.max, *v) : *v;
        any = true;
      }
    if (!any) s.x.min = 0, s.x.max = 1;
    s.x.intervals = intervalsOf(g.x);
  }
  // Y.
  if (g.type == kGraphContour && !g.y.manual) {
    s.y.min = 0;
    s.y.max = std::max(1, d.xColumns - 1);
    s.y.intervals = static_cast<int>(s.y.max);
  } else if (g.y.manual) {
    s.y.min = g.y.lower;
    s.y.max = g.y.upper;
    s.y.intervals = intervalsOf(g.y);
  } else {
    bool any = false, stacked = isStacked(g.type);
    double lo = 0, hi = 0;
    for (const SeriesData& sd : d.series) {
      if (!sd.defined) continue;
      bool has = false;
      double smin = 0, smax = 0, total = 0;
      for (const auto& v : sd.values)
        if (v) {
          smin = has ? std::min(smin, *v) : *v;
          smax = has ? std::max(smax, *v) : *v;
          total += *v;
          has = true;
        }
      if (!has) continue;
      if (g.type == kGraphCumulative) {
        smax = total;
        smin = 0;
      }
      if (stacked) {
        lo = any ? lo + smin : smin;
        hi = any ? hi + smax : smax;
      } else {
        lo = any ? std::min(lo, smin) : smin;
        hi = any ? std::max(hi, smax) : smax;
      }
      any = true;
    }
    // Bars stand on zero: automatic limits take it in, so the smallest bar shows.
    if (isBarType(g.type)) {
      lo = std::min(lo, 0.0);
      hi = std::max(hi, 0.0);
    }
    if (!any) lo = 0, hi = 1;
    s.y.min = lo;
    s.y.max = hi;
    s.y.intervals = intervalsOf(g.y);
  }
  if (g.x.exponential && !s.categories) s.x = exponentialAxis(s.x.min, s.x.max, false);
  if (g.y.exponential) s.y = exponentialAxis(s.y.min, s.y.max, true);
  for (AxisRange* a : {&s.x, &s.y}) {
    if (a->exponential) continue;
    if (a->intervals <= 0) a->intervals = 1;
    a->step = (a->max - a->min) / a->intervals;
    if (a->step == 0 || !std::isfinite(a->step)) a->step = 1;
  }
  return s;
}

std::optional<Point> mapPoint(const GraphLayout& l, const GraphScales& s, double x, double y) {
  // An exponential axis maps on its logarithmic scale; a value of 0 or below
  // has no place on it and is left out.
  auto coord = [](const AxisRange& a, double v, double factor) -> std::optional<double> {
    if (a.exponential) {
      if (!(v > 0) || !(a.min > 0)) return std::nullopt;
      return (std::log(v) - std::log(a.min)) * factor;
    }
    return (v - a.min) * factor;
  };
  std::optional<double> px = coord(s.x, x, l.xFactor), py = coord(s.y, y, l.yFactor);
  if (!px || !py || !std::isfinite(*px) || !std::isfinite(*py)) return std::nullopt;
  if (std::fabs(*px) > 1e7 || std::fabs(*py) > 1e7) return std::nullopt;
  return Point{l.left + static_cast<int>(std::lround(*px)),
               l.top + static_cast<int>(std::lround(l.height() - *py))};
}

void unmapPoint(const GraphLayout& l, const GraphScales& s, Point p, double& x, double& y) {
  auto back = [](const AxisRange& a, double pixels, double factor) {
    if (factor == 0) return a.min;
    double v = pixels / factor;
    if (a.exponential) return std::exp(std::log(a.min > 0 ? a.min : 1) + v);
    return a.min + v;
  };
  x = back(s.x, p.x - l.left, l.xFactor);
  y = back(s.y, l.height() - (p.y - l.top), l.yFactor);
}

int elementAt(const std::vector<DrawnElement>& elements, Point p) {
  for (auto it = elements.rbegin(); it != elements.rend(); ++it)
    if (it->rect.contains(p)) return it->element;
  return 0;
}

namespace {

// --- The drawing -----------------------------------------------------------------------------

FillStyle hatchStyle(uint8_t hatch) {
  switch (hatch) {
    case 1:
      return FillStyle::Solid;
    case 2:
      return FillStyle::Horizontal;
    case 3:
      return FillStyle::Vertical;
    case 4:
      return FillStyle::Cross;
    case 5:
      return FillStyle::ForwardDiagonal;
    case 6:
      return FillStyle::BackwardDiagonal;
    case 7:
      return FillStyle::DiagonalCross;
    default:
      return FillStyle::None;
  }
}

LineStyle lineStyle(uint8_t style) {
  switch (style) {
    case 2:
      return LineStyle::Dash;
    case 3:
      return LineStyle::Dot;
    case 4:
      return LineStyle::DashDot;
    case 5:
      return LineStyle::DashDotDot;
    case 6:
      return LineStyle::None;
    default:
      return LineStyle::Solid;
  }
}

uint32_t darker(uint32_t rgb, double keep) {
  auto part = [&](int shift) {
    return static_cast<uint32_t>(std::lround(((rgb >> shift) & 0xFF) * keep)) << shift;
  };
  return part(16) | part(8) | part(0);
}

class Painter {
 public:
  Painter(Canvas& canvas, const Worksheet& ws, const GraphDefinition& g, int w, int h,
          const GraphView& view, std::vector<DrawnElement>& elements)
      : c_(canvas), ws_(ws), g_(g), w_(w), h_(h), view_(view), elements_(elements) {}

  GraphFrame frame(bool overlay);
  void draw(bool overlay);

 private:
  Font font(int item) const;
  int textHeight(int item) { return c_.measureText(font(item), "Hg").height(); }
  int textWidth(int item, const std::string& t) { return c_.measureText(font(item), t).width; }
  uint32_t colour(int element) const;
  uint32_t seriesFore(int s) const { return view_.mono ? 0 : graphColour(g_.colours[s + 1]); }
  uint32_t seriesBack(int s) const {
    return view_.mono ? 0xFFFFFF : graphColour(g_.backColours[s]);
  }
  void text(int item, int element, int x, int y, const std::string& t, int angle = 0);
  void note(int element, const Rect& r) { elements_.push_back({element, r}); }
  void seriesPen(int s);
  void seriesBrush(int s);
  std::optional<Point> at(double x, double y) const { return mapPoint(l_, s_, x, y); }
  double categoryX(size_t k) const { return static_cast<double>(k) + 1.5; }
  std::string yText(double v) { return formatValue(ws_, g_.y.format, v); }
  std::string xText(double v) { return formatValue(ws_, g_.x.format, v); }

  void axes(bool overlay);
  void titles(bool overlay);
  void series();
  void lines(int s, bool steps, bool cumulative, bool marks);
  void mark(int s, Point p);
  void markPen(int s);
  void markShape(int s, Point p);
  void bars();
  void area();
  void highLow();
  void pie();
  void circular();
  void wall();
  void contour();
  void legend();
  void dataLabels();

  Canvas& c_;
  const Worksheet& ws_;
  const GraphDefinition& g_;
  int w_, h_;
  const GraphView& view_;
  std::vector<DrawnElement>& elements_;
  GraphData d_;
  GraphScales s_;
  GraphLayout l_;
  int legendBoxWidth_ = 0;
};

Font Painter::font(int item) const {
  const GraphFont& f = g_.fonts[item];
  Font out;
  out.typeface = f.typeface.empty() ? "Arial" : f.typeface;
  // Heights in pixels of the drawing: size × u, zoomed; the canvas takes points.
  double pixels = std::max(1.0, f.size * l_.unit * view_.zoom / 100.0);
  out.size = pixels * 72.0 / 96.0;
  out.bold = f.style & 1;
  out.italic = f.style & 2;
  out.underline = f.style & 4;
  return out;
}

uint32_t Painter::colour(int element) const {
  if (view_.mono) return element == kElementBackground || element == kElementPlot ? 0xFFFFFF : 0;
  return graphColour(g_.colourOf(element));
}

void Painter::text(int item, int element, int x, int y, const std::string& t, int angle) {
  if (t.empty()) return;
  Font f = font(item);
  f.angle = angle;
  c_.setFont(f);
  c_.setTextColour(colour(int{kElementMainTitle} + item));
  c_.drawText(x, y, t);
  TextMetrics m = c_.measureText(f, t);
  note(element,
       angle ? Rect{x, y - m.width, m.height(), m.width} : Rect{x, y, m.width, m.height()});
}

void Painter::seriesPen(int s) {
  const SeriesFormat& f = g_.series[s];
  // The thinnest line stays one pixel at any size; thicker ones grow with the drawing.
  int width = f.thickness <= 1
                  ? 1
                  : static_cast<int>(std::lround(f.thickness * std::max(1.0, l_.unit * 0.5)));
  c_.setPen({seriesFore(s), width, lineStyle(f.style)});
}

void Painter::seriesBrush(int s) {
  const SeriesFormat& f = g_.series[s];
  FillStyle style = hatchStyle(f.hatch);
  // A hatch is drawn in the fore colour over the back colour.
  c_.setBrush({seriesFore(s), style});
}

GraphFrame Painter::frame(bool overlay) {
  d_ = readGraphData(ws_, g_);
  s_ = ComputeScales(g_, d_);
  if (view_.zoomX && !s_.categories) s_.x = *view_.zoomX;
  if (view_.zoomY) s_.y = *view_.zoomY;
  l_ = {};
  l_.unit = h_ * 0.002857142857142857;
  if (isThreeD(g_.type)) {
    l_.depth = static_cast<int>(std::lround(20 * l_.unit));
    l_.offset = static_cast<int>(std::lround(6 * l_.unit));
    double a = g_.angle * kPi / 180;
    l_.depthVector = {static_cast<int>(std::floor(std::cos(a) * l_.depth + 0.5)),
                      -static_cast<int>(std::floor(std::sin(a) * l_.depth + 0.5))};
  }
  const int e = l_.offset;
  int labelWidth = textWidth(kFontValues, yText(s_.y.max));
  labelWidth = std::max(labelWidth, textWidth(kFontValues, yText(s_.y.min)));
  const int yTitle = textHeight(kFontYTitle);
  l_.left = labelWidth + yTitle + e;
  l_.right = w_ - labelWidth - l_.depthVector.x - e;
  if (!g_.overlay.empty() && !overlay) l_.right -= yTitle;
  int titles = (g_.headings[0].empty() ? 0 : textHeight(kFontMain)) +
               (g_.headings[1].empty() ? 0 : textHeight(kFontSecond));
  l_.top = titles + e - l_.depthVector.y + textHeight(kFontValues) / 2;
  l_.twoLabelRows = s_.x.intervals > 10;
  int rows = l_.twoLabelRows ? 2 : 1;
  bool anyLegend = false;
  for (int s = 0; s < kSeriesCount; ++s) anyLegend = anyLegend || !g_.legends[s].empty();
  int legendHeight = anyLegend && !g_.legendTable ? textHeight(kFontLegend) * 11 / 8 : 0;
  int xTitle = g_.headings[2].empty() ? 0 : textHeight(kFontXTitle);
  l_.bottom = h_ - 2 * e -
              static_cast<int>(textHeight(kFontValues) * rows + 1.5 * xTitle + legendHeight) - 2;
  if (anyLegend && g_.legendTable) {
    int widest = 0;
    for (int s = 0; s < kSeriesCount; ++s)
      widest = std::max(widest, textWidth(kFontLegend, g_.legends[s]));
    double w = 0.7 * textHeight(kFontLegend);
    legendBoxWidth_ = widest + static_cast<int>(3 * w);
    l_.right -= legendBoxWidth_ + static_cast<int>(1.5 * w);
  }
  l_.right = std::max(l_.right, l_.left + 1);
  l_.bottom = std::max(l_.bottom, l_.top + 1);
  auto span = [](const AxisRange& a) {
    return a.exponential ? (a.min > 0 && a.max > 0 ? std::log(a.max) - std::log(a.min) : 0)
                         : a.max - a.min;
  };
  double sx = span(s_.x), sy = span(s_.y);
  l_.xFactor = sx != 0 ? l_.width() / sx : 0;
  l_.yFactor = sy != 0 ? l_.height() / sy : 0;
  return {s_, l_};
}

void Painter::draw(bool overlay) {
  frame(overlay);
  const Rect plot{l_.left, l_.top, l_.width(), l_.height()};
  if (!overlay) {
    c_.fillRectangle({0, 0, w_, h_}, colour(kElementBackground));
    c_.setPen({0, 1, LineStyle::Solid});
    c_.setBrush({0, FillStyle::None});
    c_.drawRectangle({0, 0, w_, h_});
    note(kElementBackground, {0, 0, w_, h_});
  }
  if (!isPieType(g_.type)) {
    if (!overlay) {
      if (isThreeD(g_.type)) {
        // A box seen from the front: its back wall, floor and left wall in
        // depth, the front left open.
        Point dv = l_.depthVector;
        const uint32_t inside = colour(kElementPlot);
        c_.setPen({0x808080, 1, LineStyle::Solid});
        c_.setBrush({inside, FillStyle::Solid});
        c_.drawRectangle({plot.x + dv.x, plot.y + dv.y, plot.width, plot.height});
        c_.setBrush({darker(inside, 0.85), FillStyle::Solid});
        c_.drawPolygon({{plot.x, plot.bottom() - 1},
                        {plot.x + dv.x, plot.bottom() - 1 + dv.y},
                        {plot.right() - 1 + dv.x, plot.bottom() - 1 + dv.y},
                        {plot.right() - 1, plot.bottom() - 1}});
        c_.setBrush({darker(inside, 0.92), FillStyle::Solid});
        c_.drawPolygon({{plot.x, plot.y},
                        {plot.x + dv.x, plot.y + dv.y},
                        {plot.x + dv.x, plot.bottom() - 1 + dv.y},
                        {plot.x, plot.bottom() - 1}});
        c_.setPen({0, 1, LineStyle::Solid});
        c_.drawLines({{{plot.x, plot.y}, {plot.x, plot.bottom() - 1}},
                      {{plot.x, plot.bottom() - 1}, {plot.right() - 1, plot.bottom() - 1}}});
      } else {
        c_.fillRectangle(plot, colour(kElementPlot));
        c_.setPen({0, 1, LineStyle::Solid});
        c_.setBrush({0, FillStyle::None});
        c_.drawRectangle(plot);
      }
      note(kElementPlot, plot);
    }
  }
  titles(overlay);
  if (!isPieType(g_.type) && g_.type != kGraphRadar && g_.type != kGraphPolar &&
      g_.type != kGraphContour)
    axes(overlay);
  c_.setClip(
      isPieType(g_.type) || g_.type == kGraphRadar || g_.type == kGraphPolar
          ? Rect{0, 0, w_, h_}
          : Rect{plot.x, plot.y - l_.depth, plot.width + l_.depth + 1, plot.height + l_.depth + 1});
  series();
  c_.clearClip();
  if (g_.type == kGraphContour) axes(overlay);
  legend();
  dataLabels();
}

void Painter::titles(bool overlay) {
  if (overlay) {
    // The overlay's Y title at the right edge.
    if (!g_.headings[3].empty())
      text(kFontYTitle, kElementYTitle, w_ - textHeight(kFontYTitle) - 2,
           l_.top + (l_.height() + textWidth(kFontYTitle, g_.headings[3])) / 2, g_.headings[3],
           900);
    return;
  }
  int y = l_.offset;
  if (!g_.headings[0].empty()) {
    text(kFontMain, kElementMainTitle, (w_ - textWidth(kFontMain, g_.headings[0])) / 2, y,
         g_.headings[0]);
    y += textHeight(kFontMain);
  }
  if (!g_.headings[1].empty())
    text(kFontSecond, kElementSecondTitle, (w_ - textWidth(kFontSecond, g_.headings[1])) / 2, y,
         g_.headings[1]);
  if (!g_.headings[2].empty()) {
    int rows = l_.twoLabelRows ? 2 : 1;
    int ty = l_.bottom + textHeight(kFontValues) * rows + textHeight(kFontXTitle) / 4 + 2;
    text(kFontXTitle, kElementXTitle,
         l_.left + (l_.width() - textWidth(kFontXTitle, g_.headings[2])) / 2, ty, g_.headings[2]);
  }
  if (!g_.headings[3].empty())
    text(kFontYTitle, kElementYTitle, 5,
         l_.top + (l_.height() + textWidth(kFontYTitle, g_.headings[3])) / 2, g_.headings[3], 900);
}

void Painter::axes(bool overlay) {
  const Rect plot{l_.left, l_.top, l_.width(), l_.height()};
  const int valueHeight = textHeight(kFontValues);
  const int tick = std::max(3, static_cast<int>(std::lround(4 * l_.unit)));
  std::vector<Line> gridLines, ticks;
  // Y: labels from the top down.
  Rect yLabels{0, plot.y, 0, plot.height};
  for (int i = 0; i <= s_.y.intervals; ++i) {
    double v = s_.y.exponential ? s_.y.max / std::pow(s_.y.step, i) : s_.y.max - i * s_.y.step;
    if (i == s_.y.intervals) v = s_.y.min;
    std::optional<Point> p = at(s_.x.min, v);
    int y = p ? p->y : plot.y + plot.height * i / std::max(1, s_.y.intervals);
    std::string t = yText(v);
    int tw = textWidth(kFontValues, t);
    c_.setFont(font(kFontValues));
    c_.setTextColour(colour(kElementYLabels));
    if (overlay) {
      c_.drawText(plot.right() + l_.depthVector.x + 3, y - valueHeight / 2, t);
      yLabels.x = plot.right() + 3;
    } else {
      c_.drawText(plot.x - tw - 3, y - valueHeight / 2, t);
    }
    yLabels.width = std::max(yLabels.width, tw + 3);
    int x0 = overlay ? plot.right() : plot.x;
    ticks.push_back({{x0 - (overlay ? 0 : tick), y}, {x0 + (overlay ? tick : 0), y}});
    if ((g_.grid & 1) && i > 0 && i < s_.y.intervals)
      gridLines.push_back({{plot.x, y}, {plot.right() - 1, y}});
    // Minor ticks.
    if (i < s_.y.intervals) {
      if (s_.y.exponential) {
        for (int m = 2; m < 10; ++m) {
          std::optional<Point> q = at(s_.x.min, v / s_.y.step * m);
          if (q) ticks.push_back({{x0 - tick / 2, q->y}, {x0, q->y}});
        }
      } else if (g_.y.divisions > 1) {
        for (int m = 1; m < g_.y.divisions; ++m) {
          std::optional<Point> q = at(s_.x.min, v - s_.y.step * m / g_.y.divisions);
          if (q) ticks.push_back({{x0 - tick / 2, q->y}, {x0, q->y}});
        }
      }
    }
  }
  if (!overlay) yLabels.x = plot.x - yLabels.width;
  note(kElementYLabels, yLabels);
  // X labels.
  if (!overlay) {
    Rect xLabels{plot.x, plot.bottom(), plot.width, valueHeight * (l_.twoLabelRows ? 2 : 1) + 2};
    c_.setFont(font(kFontValues));
    c_.setTextColour(colour(kElementXLabels));
    if (s_.categories) {
      // More categories than the axis has room for: a label that would
      // run into the one before it on its row is left out, and so is a
      // tick or grid line on the pixel column of the one before.
      int lastRight[2] = {INT_MIN, INT_MIN};
      int lastEdge = INT_MIN;
      for (size_t k = 0; k < d_.xTexts.size(); ++k) {
        std::optional<Point> p = at(categoryX(k), s_.y.min);
        if (!p) continue;
        const std::string& t = d_.xTexts[k];
        int row = l_.twoLabelRows && (k % 2) ? 1 : 0;
        if (!t.empty() && p->x > lastRight[row]) {
          int tw = textWidth(kFontValues, t);
          int x = p->x - tw / 2;
          if (x > lastRight[row]) {
            c_.drawText(x, plot.bottom() + 2 + row * valueHeight, t);
            lastRight[row] = x + tw + 2;
          }
        }
        std::optional<Point> edge = at(static_cast<double>(k) + 1, s_.y.min);
        if (edge && (lastEdge == INT_MIN || edge->x > lastEdge + 1)) {
          lastEdge = edge->x;
          ticks.push_back({{edge->x, plot.bottom()}, {edge->x, plot.bottom() + tick}});
          if ((g_.grid & 2) && k > 0)
            gridLines.push_back({{edge->x, plot.y}, {edge->x, plot.bottom() - 1}});
        }
      }
    } else {
      for (int i = 0; i <= s_.x.intervals; ++i) {
        double v = s_.x.exponential ? s_.x.min * std::pow(s_.x.step, i) : s_.x.min + i * s_.x.step;
        if (i == s_.x.intervals) v = s_.x.max;
        std::optional<Point> p = at(v, s_.y.min);
        if (!p) continue;
        std::string t = xText(v);
        int row = l_.twoLabelRows && (i % 2) ? 1 : 0;
        c_.drawText(p->x - textWidth(kFontValues, t) / 2, plot.bottom() + 2 + row * valueHeight, t);
        ticks.push_back({{p->x, plot.bottom()}, {p->x, plot.bottom() + tick}});
        if ((g_.grid & 2) && i > 0 && i < s_.x.intervals)
          gridLines.push_back({{p->x, plot.y}, {p->x, plot.bottom() - 1}});
        if (i < s_.x.intervals && g_.x.divisions > 1 && !s_.x.exponential)
          for (int m = 1; m < g_.x.divisions; ++m)
            if (std::optional<Point> q = at(v + s_.x.step * m / g_.x.divisions, s_.y.min))
              ticks.push_back({{q->x, plot.bottom()}, {q->x, plot.bottom() + tick / 2}});
      }
    }
    note(kElementXLabels, xLabels);
  }
  c_.setPen({view_.mono ? 0u : 0x808080u, 1, g_.solidGrid ? LineStyle::Solid : LineStyle::Dot});
  c_.drawLines(gridLines);
  c_.setPen({0, 1, LineStyle::Solid});
  c_.drawLines(ticks);
  if (s_.y.min < 0 && s_.y.max > 0 && !s_.y.exponential)
    if (std::optional<Point> z = at(s_.x.min, 0))
      c_.drawLine({{plot.x, z->y}, {plot.right() - 1, z->y}});
}

void Painter::markPen(int s) {
  c_.setPen({seriesFore(s), 1, LineStyle::Solid});
  c_.setBrush({seriesFore(s), g_.series[s].mark > 8 ? FillStyle::Solid : FillStyle::None});
}

void Painter::mark(int s, Point p) {
  markPen(s);
  markShape(s, p);
}

// The mark alone, with the pen and brush markPen set.
void Painter::markShape(int s, Point p) {
  const int r = std::max(2, static_cast<int>(std::lround(3 * l_.unit)));
  const uint8_t m = g_.series[s].mark;
  switch ((m - 1) % 8) {
    case 0:
      c_.drawRectangle({p.x - r, p.y - r, 2 * r + 1, 2 * r + 1});
      break;
    case 1:
      c_.drawEllipse({p.x - r, p.y - r, 2 * r + 1, 2 * r + 1});
      break;
    case 2:
      c_.drawPolygon({{p.x, p.y - r}, {p.x + r, p.y + r}, {p.x - r, p.y + r}});
      break;
    case 3:
      c_.drawPolygon({{p.x, p.y - r}, {p.x + r, p.y}, {p.x, p.y + r}, {p.x - r, p.y}});
      break;
    case 4:
      c_.drawLines({{{p.x - r, p.y}, {p.x + r, p.y}}, {{p.x, p.y - r}, {p.x, p.y + r}}});
      break;
    case 5:
      c_.drawLines(
          {{{p.x - r, p.y - r}, {p.x + r, p.y + r}}, {{p.x - r, p.y + r}, {p.x + r, p.y - r}}});
      break;
    case 6:
      c_.drawLines({{{p.x - r, p.y}, {p.x + r, p.y}},
                    {{p.x, p.y - r}, {p.x, p.y + r}},
                    {{p.x - r, p.y - r}, {p.x + r, p.y + r}},
                    {{p.x - r, p.y + r}, {p.x + r, p.y - r}}});
      break;
    default:
      c_.drawPolygon({{p.x - r, p.y - r}, {p.x + r, p.y - r}, {p.x, p.y + r}});
      break;
  }
}

void Painter::lines(int s, bool steps, bool cumulative, bool marks) {
  const SeriesData& sd = d_.series[s];
  const SeriesFormat& f = g_.series[s];
  bool drawLines = f.option & 1, drawMarks = (f.option & 2) && marks;
  if (g_.type == kGraphLine || g_.type == kGraphStrip) drawLines = drawLines || f.option == 0;
  seriesPen(s);
  std::vector<Point> run;
  std::vector<Point> points;
  double total = 0;
  Rect bounds{l_.right, l_.bottom, 0, 0};
  auto flush = [&] {
    if (drawLines && run.size() > 1) {
      seriesPen(s);
      c_.drawPolyline(run);
    }
    run.clear();
  };
  for (size_t k = 0; k < sd.values.size(); ++k) {
    std::optional<double> v = sd.values[k];
    double xv = s_.categories ? categoryX(k) : (d_.x[k] ? *d_.x[k] : NAN);
    if (!v || std::isnan(xv)) {
      flush();
      continue;
    }
    total += *v;
    std::optional<Point> p = at(xv, cumulative ? total : *v);
    if (!p) {
      flush();
      continue;
    }
    if (g_.type == kGraphStrip) {
      // Each strip lies one depth step further back.
      int back = kSeriesCount - 1 - s;
      p->x += l_.depthVector.x * back / kSeriesCount;
      p->y += l_.depthVector.y * back / kSeriesCount;
    }
    if (steps && !run.empty()) run.push_back({p->x, run.back().y});
    run.push_back(*p);
    points.push_back(*p);
  }
  flush();
  if (drawMarks) {
    // Pen and brush once for the series; a mark within a pixel of the one
    // drawn before it adds nothing that shows.
    markPen(s);
    Point last{INT_MIN / 2, INT_MIN / 2};
    for (Point p : points) {
      if (std::abs(p.x - last.x) <= 1 && std::abs(p.y - last.y) <= 1) continue;
      markShape(s, p);
      last = p;
    }
  }
  for (Point p : points) {
    bounds.x = std::min(bounds.x, p.x - 3);
    bounds.y = std::min(bounds.y, p.y - 3);
    bounds.width = std::max(bounds.width, p.x + 3 - bounds.x);
    bounds.height = std::max(bounds.height, p.y + 3 - bounds.y);
  }
  if (!points.empty()) note(s + 1, bounds);
  for (Point p : points) note(-(s + 1), {p.x - 3, p.y - 3, 7, 7});
}

void Painter::bars() {
  const bool stacked = isStacked(g_.type);
  const bool deep = g_.type == kGraphBar3D || g_.type == kGraphStacked3D;
  int defined = 0;
  for (const SeriesData& sd : d_.series) defined += sd.defined ? 1 : 0;
  if (defined == 0) return;
  int slot = static_cast<int>(std::lround(l_.width() / std::max(1.0, s_.x.max - s_.x.min)));
  int gap = l_.depthVector.x;
  if (slot < 2 * gap) gap = 0;
  if (!deep) gap = std::max(gap, slot / 5);
  int perSlot = stacked ? 1 : defined;
  int barWidth =
      std::max(1, static_cast<int>(std::lround((slot - gap) / static_cast<double>(perSlot))));
  double baseValue = s_.y.min > 0 ? s_.y.min : (s_.y.max < 0 ? s_.y.max : 0);
  std::optional<Point> base0 = at(s_.x.min, baseValue);
  int baseline = base0 ? std::min(base0->y, l_.bottom) : l_.bottom;
  const size_t n = std::min<size_t>(d_.x.size(), stacked ? kMaxStackedCategories : d_.x.size());
  std::vector<double> up(n, 0), down(n, 0);
  int index = 0;
  for (int s = 0; s < kSeriesCount; ++s) {
    const SeriesData& sd = d_.series[s];
    if (!sd.defined) continue;
    Rect bounds{w_, h_, 0, 0};
    const size_t first = elements_.size();
    for (size_t k = 0; k < n; ++k) {
      if (!sd.values[k]) continue;
      double v = *sd.values[k];
      double from = 0, to = v;
      if (stacked) {
        double& pile = v >= 0 ? up[k] : down[k];
        from = pile;
        to = pile + v;
        pile = to;
      }
      std::optional<Point> centre = at(categoryX(k), to);
      std::optional<Point> start = stacked ? at(categoryX(k), from) : std::optional<Point>();
      if (!centre) continue;
      int x = centre->x - (slot - gap) / 2 + (stacked ? 0 : index * barWidth);
      int y0 = stacked && start ? start->y : baseline;
      int y1 = centre->y;
      Rect r{x, std::min(y0, y1), barWidth, std::abs(y1 - y0)};
      if (r.height == 0) r.height = 1;
      c_.fillRectangle(r, seriesBack(s));
      seriesBrush(s);
      c_.setPen({0, 1, LineStyle::Solid});
      c_.drawRectangle(r);
      if (deep) {
        Point dv = l_.depthVector;
        uint32_t fore = seriesFore(s);
        c_.setBrush({darker(fore, 0.5), FillStyle::Solid});
        c_.drawPolygon({{r.right(), r.y},
                        {r.right() + dv.x, r.y + dv.y},
                        {r.right() + dv.x, r.bottom() + dv.y},
                        {r.right(), r.bottom()}});
        c_.setBrush({darker(fore, 0.67), FillStyle::Solid});
        c_.drawPolygon({{r.x, r.y},
                        {r.x + dv.x, r.y + dv.y},
                        {r.right() + dv.x, r.y + dv.y},
                        {r.right(), r.y}});
      }
      note(-(s + 1), r);
      bounds.x = std::min(bounds.x, r.x);
      bounds.y = std::min(bounds.y, r.y);
      bounds.width = std::max(bounds.width, r.right() - bounds.x);
      bounds.height = std::max(bounds.height, r.bottom() - bounds.y);
    }
    // The series goes before its points, which are found first.
    if (bounds.width > 0)
      elements_.insert(elements_.begin() + static_cast<ptrdiff_t>(first),
                       DrawnElement{s + 1, bounds});
    ++index;
  }
}

void Painter::area() {
  const size_t n = std::min<size_t>(d_.x.size(), kMaxStackedCategories);
  std::vector<std::vector<Point>> tops;
  std::vector<double> pile(n, 0);
  std::vector<int> order;
  std::optional<Point> base = at(s_.x.min, std::max(s_.y.min, 0.0));
  int baseline = base ? base->y : l_.bottom;
  std::vector<Point> previous;
  for (size_t k = 0; k < n; ++k)
    if (std::optional<Point> p = at(categoryX(k), 0)) previous.push_back({p->x, baseline});
  std::vector<std::vector<Point>> lower, upper;
  for (int s = 0; s < kSeriesCount; ++s) {
    if (!d_.series[s].defined) continue;
    std::vector<Point> top;
    for (size_t k = 0; k < n; ++k) {
      pile[k] += d_.series[s].values[k].value_or(0);
      if (std::optional<Point> p = at(categoryX(k), pile[k])) top.push_back(*p);
    }
    lower.push_back(previous);
    upper.push_back(top);
    order.push_back(s);
    previous = top;
  }
  // F first, A last on top.
  for (int i = static_cast<int>(order.size()) - 1; i >= 0; --i) {
    int s = order[i];
    const auto& lo = lower[i];
    const auto& hi = upper[i];
    size_t count = std::min(lo.size(), hi.size());
    for (size_t from = 0; from + 1 < count; from += kMaxAreaPoints / 2 - 1) {
      size_t to = std::min(count, from + kMaxAreaPoints / 2);
      std::vector<Point> poly(hi.begin() + from, hi.begin() + to);
      for (size_t k = to; k-- > from;) poly.push_back(lo[k]);
      seriesBrush(s);
      c_.setPen({seriesFore(s), 1, LineStyle::Solid});
      c_.drawPolygon(poly);
    }
    if (count) note(s + 1, {l_.left, l_.top, l_.width(), l_.height()});
  }
}

void Painter::highLow() {
  const SeriesData& hi = d_.series[0];
  const SeriesData& lo = d_.series[1];
  const int half = std::max(2, textHeight(kFontLabels) / 2);
  c_.setFont(font(kFontLabels));
  c_.setTextColour(colour(int{kElementMainTitle} + kFontLabels));
  for (size_t k = 0; k < d_.x.size(); ++k) {
    double xv = categoryX(k);
    if (hi.defined && lo.defined && hi.values[k] && lo.values[k]) {
      std::optional<Point> a = at(xv, *hi.values[k]), b = at(xv, *lo.values[k]);
      if (a && b) {
        if (k == 0 || elements_.empty() || elements_.back().element != 1)
          note(1, {l_.left, l_.top, l_.width(), l_.height()});
        c_.setPen({view_.mono ? 0 : graphColour(1), 4, LineStyle::Solid});
        c_.drawLine({*a, *b});
        note(-1, {a->x - 2, std::min(a->y, b->y), 5, std::abs(a->y - b->y) + 1});
      }
    }
    for (int s = 2; s <= 3; ++s) {
      const SeriesData& sd = d_.series[s];
      if (!sd.defined || !sd.values[k]) continue;
      std::optional<Point> p = at(xv, *sd.values[k]);
      if (!p) continue;
      seriesPen(s);
      c_.drawLine({*p, {p->x + (s == 2 ? -half : half), p->y}});
      note(-(s + 1), {p->x - half, p->y - 2, 2 * half, 5});
    }
    if (g_.series[0].option & 2)
      for (int s = 0; s < 4; ++s)
        if (d_.series[s].defined && d_.series[s].values[k])
          if (std::optional<Point> p = at(xv, *d_.series[s].values[k]))
            c_.drawText(p->x + half + 2, p->y - half, yText(*d_.series[s].values[k]));
  }
}

void Painter::pie() {
  const SeriesData& values = d_.series[0];
  if (!values.defined) return;
  const SeriesData& explode = d_.series[1];
  const SeriesData& colours = d_.series[2];
  const bool deep = g_.type == kGraphPie3D || g_.type == kGraphDonut;
  double total = 0;
  for (const auto& v : values.values)
    if (v && *v > 0) total += *v;
  if (total <= 0) return;
  const int radius = std::max(1, l_.height() / 2);
  const Point centre{l_.left + l_.width() / 2, l_.top + l_.height() / 2};
  const int thickness = deep ? std::max(2, l_.depth) : 0;
  const double squash = deep ? 0.6 : 1.0;  // the tilt of a 3-D pie
  struct Slice {
    size_t k;
    double start, span;
    Point at;
    uint32_t colour;
  };
  std::vector<Slice> slices;
  double angle = 0;
  for (size_t k = 0; k < values.values.size(); ++k) {
    if (!values.values[k] || *values.values[k] <= 0) continue;
    double span = *values.values[k] / total * 360;
    if (angle + span > 360) span = 360 - angle;
    double ex = explode.defined && explode.values[k] ? *explode.values[k] : 0;
    double start = angle;
    angle += span;
    if (ex > 100) continue;  // left out
    double mid = (start + span / 2) * kPi / 180;
    Point c{centre.x + static_cast<int>(std::lround(std::cos(mid) * radius * ex / 100)),
            centre.y - static_cast<int>(std::lround(std::sin(mid) * radius * squash * ex / 100))};
    int number = colours.defined && colours.values[k] ? static_cast<int>(*colours.values[k])
                                                      : static_cast<int>(k % 16);
    uint32_t colour = view_.mono ? 0xFFFFFF : graphColour(static_cast<uint8_t>(number & 15));
    slices.push_back({k, start, span, c, colour});
  }
  // Farther slices first: those whose middle lies towards the top.
  if (deep)
    std::stable_sort(slices.begin(), slices.end(), [](const Slice& a, const Slice& b) {
      return std::sin((a.start + a.span / 2) * kPi / 180) >
             std::sin((b.start + b.span / 2) * kPi / 180);
    });
  auto box = [&](Point c, int dy) {
    return Rect{c.x - radius, c.y - static_cast<int>(radius * squash) + dy, 2 * radius,
                static_cast<int>(2 * radius * squash)};
  };
  for (const Slice& s : slices) {
    c_.setPen({0, 1, LineStyle::Solid});
    if (deep) {
      // The rim: one segment per 6 degrees, at least two.
      int pieces = std::max(2, static_cast<int>(std::ceil(s.span / 6)));
      c_.setBrush({view_.mono ? 0xFFFFFF : darker(s.colour, 0.75), FillStyle::Solid});
      for (int i = 0; i < pieces; ++i) {
        double a0 = (s.start + s.span * i / pieces) * kPi / 180;
        double a1 = (s.start + s.span * (i + 1) / pieces) * kPi / 180;
        if (std::sin((a0 + a1) / 2) > 0) continue;  // the back of the rim is hidden
        auto rim = [&](double a, int dy) {
          return Point{s.at.x + static_cast<int>(std::lround(std::cos(a) * radius)),
                       s.at.y - static_cast<int>(std::lround(std::sin(a) * radius * squash)) + dy};
        };
        c_.drawPolygon({rim(a0, 0), rim(a1, 0), rim(a1, thickness), rim(a0, thickness)});
      }
    }
    c_.setBrush({s.colour, FillStyle::Solid});
    c_.drawPie(box(s.at, 0), s.start, s.span);
    note(-1, box(s.at, 0));
  }
  if (g_.type == kGraphDonut) {
    c_.setBrush({colour(kElementBackground), FillStyle::Solid});
    Rect hole{centre.x - radius / 2, centre.y - static_cast<int>(radius * squash / 2), radius,
              static_cast<int>(radius * squash)};
    c_.drawEllipse(hole);
  }
  // Labels: the value at three quarters of the radius, the X text outside the rim.
  c_.setFont(font(kFontLabels));
  c_.setTextColour(colour(int{kElementMainTitle} + kFontLabels));
  const int lh = textHeight(kFontLabels);
  for (const Slice& s : slices) {
    double mid = (s.start + s.span / 2) * kPi / 180;
    auto along = [&](double r) {
      return Point{s.at.x + static_cast<int>(std::lround(std::cos(mid) * r)),
                   s.at.y - static_cast<int>(std::lround(std::sin(mid) * r * squash))};
    };
    std::string inside = values.labels[s.k].empty()
                             ? formatValue(ws_, 0x02, *values.values[s.k] / total * 100) + "%"
                             : values.labels[s.k];
    Point p = along(radius * 0.75);
    // On a dark slice the text is light.
    uint32_t sc = s.colour;
    int brightness = ((sc >> 16) & 0xFF) * 3 + ((sc >> 8) & 0xFF) * 6 + (sc & 0xFF);
    c_.setTextColour(
        brightness < 1000 && !view_.mono ? 0xFFFFFF : colour(int{kElementMainTitle} + kFontLabels));
    c_.drawText(p.x - textWidth(kFontLabels, inside) / 2, p.y - lh / 2, inside);
    c_.setTextColour(colour(int{kElementMainTitle} + kFontLabels));
    if (s.k < d_.xTexts.size() && !d_.xTexts[s.k].empty()) {
      Point q = along(radius + lh);
      int tw = textWidth(kFontLabels, d_.xTexts[s.k]);
      c_.drawText(std::cos(mid) >= 0 ? q.x : q.x - tw, q.y - lh / 2, d_.xTexts[s.k]);
    }
  }
  note(1, {centre.x - radius, centre.y - radius, 2 * radius, 2 * radius});
}

void Painter::circular() {
  const int lh = textHeight(kFontValues);
  const int R = std::max(1, l_.height() / 2 - lh);
  const Point centre{l_.left + l_.width() / 2, l_.top + l_.height() / 2};
  const bool radar = g_.type == kGraphRadar;
  // The circular axes.
  c_.setPen({0, 1, LineStyle::Solid});
  c_.setBrush({0, FillStyle::None});
  c_.drawEllipse({centre.x - R, centre.y - R, 2 * R + 1, 2 * R + 1});
  if (g_.grid & 1) {
    double ring = s_.y.intervals > 0 ? static_cast<double>(R) / s_.y.intervals : R / 2.0;
    c_.setPen({0x808080, 1, LineStyle::Dash});
    for (double r = ring; r < R - 0.5; r += ring) {
      int ri = static_cast<int>(std::lround(r));
      c_.drawEllipse({centre.x - ri, centre.y - ri, 2 * ri + 1, 2 * ri + 1});
    }
  }
  int k = s_.x.intervals;
  if (k % 2) ++k;
  double spoke = k > 0 ? 360.0 / k : 90;
  c_.setPen({0x808080, 1, LineStyle::Solid});
  c_.setFont(font(kFontValues));
  c_.setTextColour(colour(kElementXLabels));
  for (double a = 0; a < 359.999; a += spoke) {
    double rad = radar ? (90 - a) * kPi / 180 : a * kPi / 180;
    Point end{centre.x + static_cast<int>(std::lround(std::cos(rad) * R)),
              centre.y - static_cast<int>(std::lround(std::sin(rad) * R))};
    c_.drawLine({centre, end});
    std::string t = formatValue(ws_, g_.x.format, a) + "\xB0";
    int tw = textWidth(kFontValues, t);
    c_.drawText(end.x + (std::cos(rad) >= 0 ? 2 : -tw - 2), end.y - (std::sin(rad) >= 0 ? lh : 0),
                t);
  }
  const double ymax = s_.y.max != 0 ? s_.y.max : 1;
  for (int s = kSeriesCount - 1; s >= 0; --s) {
    const SeriesData& sd = d_.series[s];
    if (!sd.defined) continue;
    std::vector<Point> points;
    for (size_t i = 0; i < sd.values.size(); ++i) {
      if (!sd.values[i]) continue;
      // Angles in degrees, the unit the spokes are labelled in.
      double xv = (d_.x[i] ? *d_.x[i] : static_cast<double>(i)) * kPi / 180;
      double r = *sd.values[i] / ymax * R;
      double a = radar ? kPi / 2 - xv : xv;
      points.push_back({centre.x + static_cast<int>(std::lround(std::cos(a) * r)),
                        centre.y - static_cast<int>(std::lround(std::sin(a) * r))});
    }
    if (points.empty()) continue;
    if (hatchStyle(g_.series[s].hatch) != FillStyle::None && g_.series[s].hatch != 1) {
      seriesBrush(s);
      c_.setPen({seriesFore(s), 1, LineStyle::Solid});
      for (size_t i = 1; i < points.size(); ++i) c_.drawPolygon({points[i - 1], points[i], centre});
    }
    seriesPen(s);
    if (g_.series[s].option & 1 || g_.series[s].option == 0) c_.drawPolyline(points);
    if (g_.series[s].option & 2)
      for (Point p : points) mark(s, p);
    note(s + 1, {centre.x - R, centre.y - R, 2 * R, 2 * R});
  }
}

void Painter::wall() {
  // Each series a wall standing at its depth, from the floor to its values.
  std::optional<Point> floor = at(s_.x.min, std::max(s_.y.min, 0.0));
  int base = floor ? floor->y : l_.bottom;
  for (int s = kSeriesCount - 1; s >= 0; --s) {
    const SeriesData& sd = d_.series[s];
    if (!sd.defined) continue;
    int back = kSeriesCount - 1 - s;
    int dx = l_.depthVector.x * back / kSeriesCount, dy = l_.depthVector.y * back / kSeriesCount;
    std::vector<Point> top;
    for (size_t k = 0; k < sd.values.size(); ++k)
      if (sd.values[k])
        if (std::optional<Point> p = at(categoryX(k), *sd.values[k]))
          top.push_back({p->x + dx, p->y + dy});
    if (top.size() < 1) continue;
    std::vector<Point> poly = top;
    poly.push_back({top.back().x, base + dy});
    poly.push_back({top.front().x, base + dy});
    c_.setBrush({seriesFore(s), FillStyle::Solid});
    c_.setPen({0, 1, LineStyle::Solid});
    c_.drawPolygon(poly);
    c_.setBrush({darker(seriesFore(s), 0.67), FillStyle::Solid});
    std::vector<Point> cap;
    for (Point p : top) cap.push_back(p);
    for (size_t i = top.size(); i-- > 0;)
      cap.push_back(
          {top[i].x + l_.depthVector.x / kSeriesCount, top[i].y + l_.depthVector.y / kSeriesCount});
    c_.drawPolygon(cap);
    note(s + 1, {top.front().x, l_.top, top.back().x - top.front().x + 1, base - l_.top + 1});
  }
}

void Painter::contour() {
  // The X range's grid: each cell (but the last row and column) filled by
  // the mean of its corners, in ten levels from the first series' colours.
  if (d_.xRows < 2 || d_.xColumns < 2) return;
  double lo = 0, hi = 0;
  bool any = false;
  for (const auto& v : d_.x)
    if (v) {
      lo = any ? std::min(lo, *v) : *v;
      hi = any ? std::max(hi, *v) : *v;
      any = true;
    }
  if (!any) return;
  auto value = [&](int r, int c) { return d_.x[static_cast<size_t>(c) * d_.xRows + r]; };
  uint32_t cold = seriesBack(0) == 0xFFFFFF ? 0xFFFFFF : seriesBack(0), warm = seriesFore(0);
  for (int r = 0; r + 1 < d_.xRows; ++r)
    for (int c = 0; c + 1 < d_.xColumns; ++c) {
      double sum = 0;
      int n = 0;
      for (auto v : {value(r, c), value(r + 1, c), value(r, c + 1), value(r + 1, c + 1)})
        if (v) sum += *v, ++n;
      if (!n) continue;
      double t = hi > lo ? (sum / n - lo) / (hi - lo) : 0;
      int level = std::clamp(static_cast<int>(t * 10), 0, 9);
      double f = level / 9.0;
      auto mix = [&](int shift) {
        double a = (cold >> shift) & 0xFF, b = (warm >> shift) & 0xFF;
        return static_cast<uint32_t>(std::lround(a + (b - a) * f)) << shift;
      };
      uint32_t colour = view_.mono ? (level * 0x191919u) : (mix(16) | mix(8) | mix(0));
      std::optional<Point> p0 = at(r, c + 1), p1 = at(r + 1, c);
      if (!p0 || !p1) continue;
      c_.fillRectangle({p0->x, p0->y, p1->x - p0->x, p1->y - p0->y}, colour);
    }
  note(1, {l_.left, l_.top, l_.width(), l_.height()});
}

void Painter::series() {
  switch (g_.type) {
    case kGraphBar:
    case kGraphStacked:
    case kGraphBar3D:
    case kGraphStacked3D:
      bars();
      return;
    case kGraphArea:
      area();
      return;
    case kGraphHighLow:
      highLow();
      return;
    case kGraphPie:
    case kGraphPie3D:
    case kGraphDonut:
      pie();
      return;
    case kGraphRadar:
    case kGraphPolar:
      circular();
      return;
    case kGraphWall:
      wall();
      return;
    case kGraphContour:
      contour();
      return;
    default:
      break;
  }
  for (int s = kSeriesCount - 1; s >= 0; --s) {
    if (!d_.series[s].defined) continue;
    lines(s, g_.type == kGraphDelta, g_.type == kGraphCumulative, g_.type != kGraphStrip);
  }
}

void Painter::legend() {
  std::vector<int> entries;
  for (int s = 0; s < kSeriesCount; ++s)
    if (!g_.legends[s].empty()) entries.push_back(s);
  if (entries.empty()) return;
  const int fh = textHeight(kFontLegend);
  const int w = std::max(2, static_cast<int>(std::lround(0.7 * fh)));
  const bool box = isBarType(g_.type) || g_.type == kGraphArea || g_.type == kGraphRadar ||
                   g_.type == kGraphPolar || g_.type == kGraphStrip || g_.type == kGraphWall;
  auto sample = [&](int s, int x, int y) {
    if (box) {
      Rect r{x, y + fh / 2 - w / 2, w, w};
      c_.fillRectangle(r, seriesBack(s));
      seriesBrush(s);
      c_.setPen({0, 1, LineStyle::Solid});
      c_.drawRectangle(r);
    } else {
      seriesPen(s);
      c_.drawLine({{x - w / 2, y + fh / 2}, {x + w + w / 2, y + fh / 2}});
      if (g_.series[s].option & 2) mark(s, {x + w / 2, y + fh / 2});
    }
  };
  c_.setFont(font(kFontLegend));
  c_.setTextColour(colour(kElementLegend));
  if (g_.legendTable) {
    Rect r{l_.right + static_cast<int>(1.5 * w), l_.top, legendBoxWidth_,
           static_cast<int>(fh * 2.5 * entries.size()) + fh / 2};
    c_.fillRectangle(r, colour(kElementBackground));
    c_.setPen({0, 1, LineStyle::Solid});
    c_.setBrush({0, FillStyle::None});
    c_.drawRectangle(r);
    int y = r.y + fh;
    for (int s : entries) {
      sample(s, r.x + w / 2, y);
      c_.setFont(font(kFontLegend));
      c_.setTextColour(colour(kElementLegend));
      c_.drawText(r.x + 2 * w + w / 2, y, g_.legends[s]);
      y += static_cast<int>(fh * 2.5);
    }
    note(kElementLegend, r);
    return;
  }
  const int slot = (w_ - 3 * w) / static_cast<int>(entries.size());
  const int y = h_ - fh * 11 / 8;
  int x = 3 * w;
  for (int s : entries) {
    sample(s, x, y);
    c_.setFont(font(kFontLegend));
    c_.setTextColour(colour(kElementLegend));
    c_.drawText(x + 2 * w, y, g_.legends[s]);
    x += slot;
  }
  note(kElementLegend, {0, y, w_, fh});
}

void Painter::dataLabels() {
  if (isPieType(g_.type)) return;
  c_.setFont(font(kFontLabels));
  c_.setTextColour(colour(int{kElementMainTitle} + kFontLabels));
  const int lh = textHeight(kFontLabels);
  const int xw = textWidth(kFontLabels, "X");
  for (int s = 0; s < kSeriesCount; ++s) {
    const SeriesData& sd = d_.series[s];
    if (!sd.defined) continue;
    double total = 0;
    for (size_t k = 0; k < sd.values.size(); ++k) {
      if (!sd.values[k]) continue;
      total += *sd.values[k];
      if (sd.labels[k].empty()) continue;
      double xv = s_.categories ? categoryX(k) : (d_.x[k] ? *d_.x[k] : NAN);
      if (std::isnan(xv)) continue;
      std::optional<Point> p = at(xv, g_.type == kGraphCumulative ? total : *sd.values[k]);
      if (!p) continue;
      const std::string& t = sd.labels[k];
      int tw = textWidth(kFontLabels, t);
      switch (g_.labelPlaces[s]) {
        case kLabelAbove:
          c_.drawText(p->x - tw / 2, p->y - lh * 3 / 2, t);
          break;
        case kLabelBelow:
          c_.drawText(p->x - tw / 2, p->y + lh / 2, t);
          break;
        case kLabelLeft:
          c_.drawText(p->x - xw - tw, p->y - lh / 2, t);
          break;
        case kLabelRight:
          c_.drawText(p->x + xw, p->y - lh / 2, t);
          break;
        default:
          c_.drawText(p->x - tw / 2, p->y - lh / 2, t);
          break;
      }
    }
  }
}

}  // namespace

GraphFrame graphFrame(Canvas& canvas, const Worksheet& ws, const GraphDefinition& g, int width,
                      int height, const GraphView& view) {
  std::vector<DrawnElement> none;
  Painter p(canvas, ws, g, width, height, view, none);
  return p.frame(false);
}

std::vector<DrawnElement> DrawGraph(Canvas& canvas, const Worksheet& ws, const GraphDefinition& g,
                                    int width, int height, const GraphView& view) {
  std::vector<DrawnElement> elements;
  if (width <= 0 || height <= 0) return elements;
  if (!g.complete()) {
    canvas.fillRectangle({0, 0, width, height}, 0xFFFFFF);
    Font f;
    f.typeface = "Arial";
    f.size = std::max(8.0, height / 350.0 * 14 * view.zoom / 100.0);
    canvas.setFont(f);
    canvas.setTextColour(0);
    TextMetrics m = canvas.measureText(f, kGraphUndefined);
    canvas.drawText((width - m.width) / 2, (height - m.height()) / 2, kGraphUndefined);
    return elements;
  }
  Painter(canvas, ws, g, width, height, view, elements).draw(false);
  // Overlays: named graphs drawn over this one, two deep at most.
  const GraphDefinition* base = &g;
  GraphDefinition overlay;
  for (int depth = 0; depth < 2 && !base->overlay.empty(); ++depth) {
    int index = FindGraph(ws, base->overlay);
    if (index <= 0) break;
    overlay = namedGraph(ws, index);
    if (!overlay.complete()) break;
    GraphView v = view;
    v.zoomX.reset();
    v.zoomY.reset();
    GraphDefinition drawn = overlay;
    Painter(canvas, ws, drawn, width, height, v, elements).draw(true);
    base = &overlay;
  }
  return elements;
}

}  // namespace tw
