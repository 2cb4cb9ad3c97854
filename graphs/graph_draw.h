// Drawing a graph definition on any canvas of a given size: the data read
// from the worksheet, the scales, the layout, the axes with their labels,
// ticks and grid, every graph type's series, the legend, the data labels
// and an overlay graph, with the list of drawn elements for pointing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/canvas.h"
#include "graphs/graph_definition.h"

namespace tw {

class Worksheet;

// The cells a definition names, paired column by column with the X range.
struct SeriesData {
  bool defined = false;
  std::vector<std::optional<double>> values;  // empty where a cell holds no number
  std::vector<std::string> labels;            // the data-label cells' texts
};
struct GraphData {
  std::vector<std::optional<double>> x;  // the X cells' numbers
  std::vector<std::string> xTexts;       // and what they show
  int xRows = 0;
  int xColumns = 0;
  std::array<SeriesData, kSeriesCount> series;
};
GraphData readGraphData(const Worksheet& ws, const GraphDefinition& g);

struct AxisRange {
  double min = 0;
  double max = 1;
  int intervals = 5;
  double step = 0.2;  // the factor between labels on an exponential axis
  bool exponential = false;
};
struct GraphScales {
  AxisRange x;
  AxisRange y;
  bool categories = true;  // the X axis runs 1 .. n + 1, one category per X cell
};
GraphScales ComputeScales(const GraphDefinition& g, const GraphData& data);

// The axis' limits widened to whole decades, and their number.
AxisRange exponentialAxis(double min, double max, bool yAxis);

struct GraphLayout {
  double unit = 1;  // H / 350
  int depth = 0;    // 3-D: round(20 u)
  int offset = 0;   // 3-D: round(6 u)
  Point depthVector;
  int left = 0, right = 0, top = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  double xFactor = 0, yFactor = 0;
  bool twoLabelRows = false;
};

struct DrawnElement {
  int element = 0;  // GraphElement, a series 1..6, or minus a series for its points
  Rect rect;
};

struct GraphView {
  int zoom = 100;     // per cent: font heights scale by it
  bool mono = false;  // black and white: white areas, black text and lines
  // The X and Y limits set by zooming in the window, over the definition's.
  std::optional<AxisRange> zoomX, zoomY;
};

inline constexpr const char* kGraphUndefined = "Graph Undefined!";

// Draws the definition (overlays to a depth of two) and returns the drawn
// elements in drawing order.
std::vector<DrawnElement> DrawGraph(Canvas& canvas, const Worksheet& ws, const GraphDefinition& g,
                                    int width, int height, const GraphView& view = {});

// The element under a point: the last drawn that holds it, or 0.
int elementAt(const std::vector<DrawnElement>& elements, Point p);

// A point's pixel on the layout, or nothing when it cannot be mapped.
std::optional<Point> mapPoint(const GraphLayout& layout, const GraphScales& scales, double x,
                              double y);
// The data values under a pixel (the inverse of mapPoint).
void unmapPoint(const GraphLayout& layout, const GraphScales& scales, Point p, double& x,
                double& y);

// The layout a drawing of that size gets, for the window's pointing.
struct GraphFrame {
  GraphScales scales;
  GraphLayout layout;
};
GraphFrame graphFrame(Canvas& canvas, const Worksheet& ws, const GraphDefinition& g, int width,
                      int height, const GraphView& view = {});

}  // namespace tw
