#include "graphs/graph_window.h"

#include <algorithm>
#include <cmath>

#include "core/worksheet.h"

namespace tw {

GraphWindowModel::GraphWindowModel(Worksheet& ws, int graph) : ws_(ws), index_(graph) {
  reload();
  original_ = graph_;
}

void GraphWindowModel::reload() {
  graph_ = index_ > 0 ? namedGraph(ws_, index_) : currentGraph(ws_);
}

std::string GraphWindowModel::caption() const {
  return graph_.name.empty() ? "Graph" : "Graph: " + graph_.name;
}

void GraphWindowModel::paint(Canvas& canvas, int width, int height) {
  elements_ = DrawGraph(canvas, ws_, graph_, width, height);
  frame_ = graphFrame(canvas, ws_, graph_, width, height);
}

void GraphWindowModel::store() {
  if (index_ == 0) setCurrentGraph(ws_, graph_);
}

void GraphWindowModel::setLimits(double x0, double x1, double y0, double y1) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  if (!frame_.scales.categories) {
    graph_.x.manual = true;
    graph_.x.lower = x0;
    graph_.x.upper = x1;
  }
  graph_.y.manual = true;
  graph_.y.lower = y0;
  graph_.y.upper = y1;
  store();
}

void GraphWindowModel::zoomIn() {
  const AxisRange& x = frame_.scales.x;
  const AxisRange& y = frame_.scales.y;
  double dx = (x.max - x.min) / 4, dy = (y.max - y.min) / 4;
  setLimits(x.min + dx, x.max - dx, y.min + dy, y.max - dy);
}

void GraphWindowModel::zoomOut() {
  const AxisRange& x = frame_.scales.x;
  const AxisRange& y = frame_.scales.y;
  double dx = (x.max - x.min) / 2, dy = (y.max - y.min) / 2;
  setLimits(x.min - dx, x.max + dx, y.min - dy, y.max + dy);
}

void GraphWindowModel::zoomAll() {
  GraphData d = readGraphData(ws_, graph_);
  double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
  bool anyX = false, anyY = false;
  for (const auto& v : d.x)
    if (v) {
      x0 = anyX ? std::min(x0, *v) : *v;
      x1 = anyX ? std::max(x1, *v) : *v;
      anyX = true;
    }
  for (const SeriesData& s : d.series)
    for (const auto& v : s.values)
      if (v) {
        y0 = anyY ? std::min(y0, *v) : *v;
        y1 = anyY ? std::max(y1, *v) : *v;
        anyY = true;
      }
  setLimits(x0, x1, y0, y1);
}

void GraphWindowModel::reset() {
  graph_ = original_;
  store();
}

bool GraphWindowModel::zoomTo(const Rect& r) {
  if (r.width < 3 || r.height < 3) return false;
  double x0, y0, x1, y1;
  unmapPoint(frame_.layout, frame_.scales, {r.x, r.bottom()}, x0, y0);
  unmapPoint(frame_.layout, frame_.scales, {r.right(), r.y}, x1, y1);
  setLimits(x0, x1, y0, y1);
  return true;
}

int GraphWindowModel::select(Point p) {
  selected_ = elementAt(elements_, p);
  return selected_;
}

int GraphWindowModel::pageFor(int element, int& tab) {
  tab = 0;
  int series = std::abs(element);
  if (series >= 1 && series <= 6) {
    tab = series;
    return 2;  // Options, the series' tab
  }
  switch (element) {
    case kElementBackground:
    case kElementPlot:
      return 6;  // Colors
    case kElementMainTitle:
    case kElementSecondTitle:
    case kElementXTitle:
    case kElementYTitle:
      return 5;  // Headings
    case kElementXLabels:
      tab = 0;
      return 3;  // Scales: X
    case kElementYLabels:
      tab = 1;
      return 3;
    case kElementLegend:
      return 8;  // Legends
    default:
      return 0;
  }
}

std::string GraphWindowModel::attributesCaption() const {
  if (selected_ == 0) return "No Selection";
  return "&Attributes (" + std::to_string(selected_) + ")";
}

bool GraphWindowModel::keyCloses(const KeyPress& k) {
  return !k.ctrl && !k.shift && !k.alt;
}

}  // namespace tw
