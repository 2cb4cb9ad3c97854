// A graph definition with every field, read from and written into the bytes
// the worksheet file keeps: the published Lotus layout of the GRAPH record
// (ranges, type, grid, label places, scales, titles, legends, formats) and
// the program's own 385 bytes after it (fonts, colours, series formats,
// intervals, options, overlay). Bytes neither part names are kept as read.
// And the named graphs of a worksheet.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/cell_address.h"
#include "core/worksheet_settings.h"

namespace tw {

class Worksheet;
struct ProgramSettings;

enum GraphType : uint8_t {
  kGraphXY = 0,
  kGraphBar = 1,
  kGraphPie = 2,
  kGraphStacked = 3,
  kGraphLine = 4,
  kGraphCumulative = 5,
  kGraphHighLow = 6,
  kGraphRadar = 7,
  kGraphArea = 8,
  kGraphDelta = 9,
  kGraphPolar = 10,
  kGraphStrip = 11,
  kGraphWall = 12,
  kGraphContour = 13,
  kGraphPie3D = 14,
  kGraphDonut = 15,
  kGraphBar3D = 16,
  kGraphStacked3D = 17,
  kGraphTypeCount = 18,
};

bool isThreeD(uint8_t type);
bool hasNumericX(uint8_t type);  // XY, cumulative, radar, delta, polar, contour
bool isStacked(uint8_t type);    // stacked bar, area, 3-D stacked bar
bool isPieType(uint8_t type);    // pie, 3-D pie, donut: no axes
bool isBarType(uint8_t type);    // bar, stacked bar and their 3-D forms

// Where a series' data labels go.
enum LabelPlace : uint8_t { kLabelAbove = 1, kLabelBelow, kLabelLeft, kLabelRight, kLabelNone };

// The seven graph fonts, and the elements whose colours the definition keeps.
enum GraphFontItem : uint8_t {
  kFontMain,
  kFontSecond,
  kFontXTitle,
  kFontYTitle,
  kFontValues,
  kFontLabels,
  kFontLegend,
  kGraphFontCount
};
// Element numbers: 1..6 series, 7 background, 8 plot area, 9..15 the fonts.
enum GraphElement : int {
  kElementBackground = 7,
  kElementPlot = 8,
  kElementMainTitle = 9,
  kElementSecondTitle = 10,
  kElementXTitle = 11,
  kElementYTitle = 12,
  kElementXLabels = 13,
  kElementYLabels = 14,
  kElementLegend = 15,
};

struct GraphFont {
  std::string typeface;  // up to 20 characters; empty: "Arial"
  uint8_t size = 12;
  uint8_t style = 0;  // 1 bold, 2 italic, 4 underline
  bool operator==(const GraphFont&) const = default;
};

struct SeriesFormat {
  uint8_t mark = 1;       // 1..16
  uint8_t hatch = 1;      // 1..8
  uint8_t thickness = 1;  // 1..5
  uint8_t style = 1;      // 1..6
  uint8_t option = 3;     // 0 none, 1 lines, 2 symbols, 3 both
  bool operator==(const SeriesFormat&) const = default;
};

struct AxisScale {
  bool manual = false;
  double lower = 0;
  double upper = 0;
  uint8_t format = 0x71;  // a display format byte
  uint8_t intervals = 5;  // major intervals (the "&Step: " field); 0 counts as 1
  uint8_t divisions = 0;  // minor divisions per major interval
  bool exponential = false;
  bool operator==(const AxisScale&) const = default;
};

constexpr int kSeriesCount = 6;
constexpr size_t kMaxGraphName = 12;
constexpr size_t kMaxHeading = 39;
constexpr size_t kMaxLegend = 19;
constexpr size_t kMaxGraphTypeface = 20;

struct GraphDefinition {
  std::string name;
  std::array<CellRange, 7> ranges{};       // X, then A..F
  std::array<CellRange, 6> labelRanges{};  // data labels of A..F
  uint8_t type = kGraphBar;
  std::array<uint8_t, 6> labelPlaces{kLabelNone, kLabelNone, kLabelNone,
                                     kLabelNone, kLabelNone, kLabelNone};
  std::array<std::string, 4> headings;  // main, second, X axis, Y axis
  std::array<std::string, 6> legends;
  // Colour numbers (0..15) by element number 1..15; index 0 unused.
  std::array<uint8_t, 16> colours{};
  std::array<uint8_t, 6> backColours{};
  std::array<GraphFont, kGraphFontCount> fonts{};
  std::array<SeriesFormat, 6> series{};
  AxisScale x, y;
  uint8_t grid = 0;                     // 0 none, 1 horizontal, 2 vertical, 3 both
  bool solidGrid = false;               // else dotted
  bool legendTable = false;             // else a row
  std::string overlay;                  // a named graph drawn over this one
  int angle = 45;                       // the 3-D depth's direction, degrees
  std::array<uint8_t, 6> labelTable{};  // set by the GRAPHLABEL keyword

  bool operator==(const GraphDefinition&) const = default;
  // The X range and at least one of the series A to F.
  bool complete() const;
  // The colour number of an element (1..15).
  uint8_t colourOf(int element) const { return colours[element & 15]; }
};

// A definition with the program's defaults (fonts and formats of the
// settings file, the standard colours).
GraphDefinition defaultGraph(const ProgramSettings& settings);
GraphDefinition decodeGraph(const GraphRecord& record, const ProgramSettings& settings);
// Writes the definition over the record's bytes, keeping those it does not name.
void encodeGraph(const GraphDefinition& graph, GraphRecord& record);

// The 16-entry colour table (0xRRGGBB), in colour-number order.
uint32_t graphColour(uint8_t number);

// --- The worksheet's graphs --------------------------------------------------------------

GraphDefinition currentGraph(const Worksheet& ws);
void setCurrentGraph(Worksheet& ws, const GraphDefinition& graph);
// A named graph's definition; index from 1.
GraphDefinition namedGraph(const Worksheet& ws, int index);

// Upper case, at most 12 characters.
std::string graphName(std::string_view name);
int FindGraph(const Worksheet& ws, std::string_view name);
// The current definition under the name: replaces a graph of that name or
// appends one; 0 when 50 exist already (the caller shows the message).
int SaveGraphAs(Worksheet& ws, std::string_view name);
int UseGraph(Worksheet& ws, std::string_view name);
int DeleteGraph(Worksheet& ws, std::string_view name);
// Saves the current definition as GRAPH1, GRAPH2, ... whichever is free
// first; -1 when 50 exist.
int NewGraphName(Worksheet& ws);

inline constexpr const char* kTooManyGraphsMessage = "Named Graphs>";
inline constexpr const char* kMaxGraphsMessage = "Max Graphs Exceeded";

}  // namespace tw
