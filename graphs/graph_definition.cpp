#include "graphs/graph_definition.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/char_case.h"
#include "core/program_settings.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

// --- The Lotus part's offsets -----------------------------------------------------------------
constexpr size_t kRanges = 0;  // 13 ranges of 8 bytes: X, A..F, labels A..F
constexpr size_t kType = 104;
constexpr size_t kGrid = 105;
constexpr size_t kColourFlag = 106;
// 107..112: a byte per series that other programs write (their line formats); kept as read.
constexpr size_t kLabelPlaces = 113;  // 6 bytes: 0 centre, 1 right, 2 below, 3 left, 4 above
constexpr size_t kXScale = 119;       // manual flag, lower, upper
constexpr size_t kYScale = 136;
constexpr size_t kTitles = 153;   // 4 of 40 bytes
constexpr size_t kLegends = 313;  // 6 of 20 bytes
constexpr size_t kXFormat = 433;
constexpr size_t kYFormat = 434;
// 435..436: the X labels' skip factor; kept as read.

// --- The program's own part ------------------------------------------------------------------
constexpr uint8_t kExtensionMark = 'T';
constexpr size_t kMark = 0;
constexpr size_t kFonts = 2;  // 7 of 23 bytes: length, 20 characters, size, style
constexpr size_t kFontBytes = 23;
constexpr size_t kColours = 163;      // 15: elements 1..15
constexpr size_t kBackColours = 178;  // 6
constexpr size_t kSeries = 184;       // 6 of 5 bytes
constexpr size_t kIntervals = 214;    // X intervals, X divisions, Y intervals, Y divisions
constexpr size_t kAxisFlags = 218;    // 0x80 X exponential, 0x40 Y exponential
constexpr size_t kOptions = 219;      // grid, solid, table
constexpr size_t kOverlay = 220;      // length and 12 characters
constexpr size_t kName = 233;
constexpr size_t kAngle = 246;  // 16 bits
constexpr size_t kLabelTable = 248;

int16_t i16(const uint8_t* p) {
  return static_cast<int16_t>(p[0] | p[1] << 8);
}
void putI16(uint8_t* p, int v) {
  p[0] = static_cast<uint8_t>(v & 0xFF);
  p[1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}
double f64(const uint8_t* p) {
  double d;
  std::memcpy(&d, p, 8);
  return std::isfinite(d) ? d : 0;
}
void putF64(uint8_t* p, double d) {
  if (!std::isfinite(d)) d = 0;
  std::memcpy(p, &d, 8);
}
CellRange rangeAt(const uint8_t* p) {
  CellRange r{i16(p), i16(p + 2), i16(p + 4), i16(p + 6)};
  if (r.col1 < 0 || r.row1 < 0 || !validAddress(r.row1, r.col1) || !validAddress(r.row2, r.col2))
    return kEmptyRange;
  return r;
}
void putRange(uint8_t* p, const CellRange& r) {
  if (!r.valid()) {
    putI16(p, -1);
    putI16(p + 2, 0);
    putI16(p + 4, 0);
    putI16(p + 6, 0);
    return;
  }
  putI16(p, r.col1);
  putI16(p + 2, r.row1);
  putI16(p + 4, r.col2);
  putI16(p + 6, r.row2);
}
std::string textAt(const uint8_t* p, size_t width) {
  size_t n = 0;
  while (n < width && p[n]) ++n;
  return std::string(reinterpret_cast<const char*>(p), n);
}
void putText(uint8_t* p, size_t width, const std::string& s) {
  std::memset(p, 0, width);
  std::memcpy(p, s.data(), std::min(s.size(), width - 1));
}
std::string shortAt(const uint8_t* p, size_t width) {
  size_t n = std::min<size_t>(p[0], width);
  return std::string(reinterpret_cast<const char*>(p + 1), n);
}
void putShort(uint8_t* p, size_t width, const std::string& s) {
  std::memset(p, 0, width + 1);
  size_t n = std::min(s.size(), width);
  p[0] = static_cast<uint8_t>(n);
  std::memcpy(p + 1, s.data(), n);
}

uint8_t lotusPlace(uint8_t place) {
  switch (place) {
    case kLabelAbove:
      return 4;
    case kLabelBelow:
      return 2;
    case kLabelLeft:
      return 3;
    case kLabelRight:
      return 1;
    default:
      return 0;
  }
}
uint8_t placeOfLotus(uint8_t b) {
  switch (b) {
    case 4:
      return kLabelAbove;
    case 2:
      return kLabelBelow;
    case 3:
      return kLabelLeft;
    case 1:
      return kLabelRight;
    default:
      return kLabelNone;
  }
}

template <class T>
T within(int v, int lo, int hi, T otherwise) {
  return v >= lo && v <= hi ? static_cast<T>(v) : otherwise;
}

}  // namespace

bool isThreeD(uint8_t t) {
  return t == kGraphStrip || t == kGraphWall || t == kGraphPie3D || t == kGraphDonut ||
         t == kGraphBar3D || t == kGraphStacked3D;
}
bool hasNumericX(uint8_t t) {
  return t == kGraphXY || t == kGraphCumulative || t == kGraphRadar || t == kGraphDelta ||
         t == kGraphPolar || t == kGraphContour;
}
bool isStacked(uint8_t t) {
  return t == kGraphStacked || t == kGraphArea || t == kGraphStacked3D;
}
bool isPieType(uint8_t t) {
  return t == kGraphPie || t == kGraphPie3D || t == kGraphDonut;
}
bool isBarType(uint8_t t) {
  return t == kGraphBar || t == kGraphStacked || t == kGraphBar3D || t == kGraphStacked3D;
}

bool GraphDefinition::complete() const {
  if (!ranges[0].valid()) return false;
  return std::any_of(ranges.begin() + 1, ranges.end(),
                     [](const CellRange& r) { return r.valid(); });
}

uint32_t graphColour(uint8_t n) {
  static constexpr uint32_t kTable[16] = {
      0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
      0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  return kTable[n & 15];
}

GraphDefinition defaultGraph(const ProgramSettings& settings) {
  GraphDefinition g;
  // Series in blue, red, green, fuchsia, teal and olive on white.
  const uint8_t fore[6] = {9, 12, 2, 13, 3, 6};
  for (int s = 0; s < kSeriesCount; ++s) {
    g.colours[s + 1] = fore[s];
    g.backColours[s] = 15;
    g.series[s].mark = static_cast<uint8_t>(s + 1);
    g.series[s].hatch = static_cast<uint8_t>(s % 7 + 1);
  }
  g.colours[kElementBackground] = 15;
  g.colours[kElementPlot] = 15;
  for (int e = kElementMainTitle; e <= kElementLegend; ++e) g.colours[e] = 0;
  const int size = std::clamp(settings.graphSize, 4, 72);
  for (GraphFont& f : g.fonts) {
    f.typeface = settings.graphFont.substr(0, kMaxGraphTypeface);
    f.size = static_cast<uint8_t>(size);
  }
  g.fonts[kFontMain].size = static_cast<uint8_t>(std::min(size + 4, 72));
  g.fonts[kFontMain].style = 1;
  const uint8_t form = static_cast<uint8_t>(std::clamp(settings.graphForm, 0, 255));
  g.x.format = g.y.format = form;
  return g;
}

GraphDefinition decodeGraph(const GraphRecord& record, const ProgramSettings& settings) {
  GraphDefinition g = defaultGraph(settings);
  const uint8_t* b = record.lotus.data();
  for (int r = 0; r < 7; ++r) g.ranges[r] = rangeAt(b + kRanges + 8 * r);
  for (int r = 0; r < 6; ++r) g.labelRanges[r] = rangeAt(b + kRanges + 8 * (7 + r));
  g.type = b[kType] < kGraphTypeCount ? b[kType] : static_cast<uint8_t>(kGraphBar);
  g.grid = b[kGrid] & 3;
  for (int s = 0; s < 6; ++s) g.labelPlaces[s] = placeOfLotus(b[kLabelPlaces + s]);
  g.x.manual = b[kXScale] != 0;
  g.x.lower = f64(b + kXScale + 1);
  g.x.upper = f64(b + kXScale + 9);
  g.y.manual = b[kYScale] != 0;
  g.y.lower = f64(b + kYScale + 1);
  g.y.upper = f64(b + kYScale + 9);
  for (int t = 0; t < 4; ++t) g.headings[t] = textAt(b + kTitles + 40 * t, kMaxHeading);
  for (int l = 0; l < 6; ++l) g.legends[l] = textAt(b + kLegends + 20 * l, kMaxLegend);
  g.x.format = b[kXFormat];
  g.y.format = b[kYFormat];

  const uint8_t* e = record.extension.data();
  if (e[kMark] != kExtensionMark) {
    // A graph of another program, or never set: the formats it left at 0
    // are the settings' graph format.
    if (g.x.format == 0 && g.y.format == 0)
      g.x.format = g.y.format = defaultGraph(settings).x.format;
    return g;
  }
  for (int f = 0; f < kGraphFontCount; ++f) {
    const uint8_t* p = e + kFonts + kFontBytes * f;
    g.fonts[f].typeface = shortAt(p, kMaxGraphTypeface);
    g.fonts[f].size = within<uint8_t>(p[21], 1, 144, g.fonts[f].size);
    g.fonts[f].style = p[22] & 7;
  }
  for (int c = 1; c <= 15; ++c) g.colours[c] = e[kColours + c - 1] & 15;
  for (int s = 0; s < 6; ++s) {
    g.backColours[s] = e[kBackColours + s] & 15;
    const uint8_t* p = e + kSeries + 5 * s;
    SeriesFormat& f = g.series[s];
    f.mark = within<uint8_t>(p[0], 1, 16, f.mark);
    f.hatch = within<uint8_t>(p[1], 1, 8, f.hatch);
    f.thickness = within<uint8_t>(p[2], 1, 5, f.thickness);
    f.style = within<uint8_t>(p[3], 1, 6, f.style);
    f.option = p[4] & 3;
  }
  g.x.intervals = e[kIntervals];
  g.x.divisions = e[kIntervals + 1];
  g.y.intervals = e[kIntervals + 2];
  g.y.divisions = e[kIntervals + 3];
  g.x.exponential = e[kAxisFlags] & 0x80;
  g.y.exponential = e[kAxisFlags] & 0x40;
  g.grid = e[kOptions] & 3;
  g.solidGrid = e[kOptions] & 4;
  g.legendTable = e[kOptions] & 8;
  g.overlay = graphName(shortAt(e + kOverlay, kMaxGraphName));
  g.name = graphName(shortAt(e + kName, kMaxGraphName));
  g.angle = within<int>(i16(e + kAngle), 0, 90, 45);
  for (int s = 0; s < 6; ++s) g.labelTable[s] = e[kLabelTable + s];
  return g;
}

void encodeGraph(const GraphDefinition& g, GraphRecord& record) {
  uint8_t* b = record.lotus.data();
  for (int r = 0; r < 7; ++r) putRange(b + kRanges + 8 * r, g.ranges[r]);
  for (int r = 0; r < 6; ++r) putRange(b + kRanges + 8 * (7 + r), g.labelRanges[r]);
  b[kType] = g.type;
  b[kGrid] = g.grid & 3;
  b[kColourFlag] = 0xFF;
  for (int s = 0; s < 6; ++s) b[kLabelPlaces + s] = lotusPlace(g.labelPlaces[s]);
  b[kXScale] = g.x.manual ? 0xFF : 0;
  putF64(b + kXScale + 1, g.x.lower);
  putF64(b + kXScale + 9, g.x.upper);
  b[kYScale] = g.y.manual ? 0xFF : 0;
  putF64(b + kYScale + 1, g.y.lower);
  putF64(b + kYScale + 9, g.y.upper);
  for (int t = 0; t < 4; ++t)
    putText(b + kTitles + 40 * t, 40, g.headings[t].substr(0, kMaxHeading));
  for (int l = 0; l < 6; ++l)
    putText(b + kLegends + 20 * l, 20, g.legends[l].substr(0, kMaxLegend));
  b[kXFormat] = g.x.format;
  b[kYFormat] = g.y.format;

  uint8_t* e = record.extension.data();
  e[kMark] = kExtensionMark;
  e[kMark + 1] = 1;
  for (int f = 0; f < kGraphFontCount; ++f) {
    uint8_t* p = e + kFonts + kFontBytes * f;
    putShort(p, kMaxGraphTypeface, g.fonts[f].typeface);
    p[21] = g.fonts[f].size;
    p[22] = g.fonts[f].style & 7;
  }
  for (int c = 1; c <= 15; ++c) e[kColours + c - 1] = g.colours[c] & 15;
  for (int s = 0; s < 6; ++s) {
    e[kBackColours + s] = g.backColours[s] & 15;
    uint8_t* p = e + kSeries + 5 * s;
    const SeriesFormat& f = g.series[s];
    p[0] = f.mark;
    p[1] = f.hatch;
    p[2] = f.thickness;
    p[3] = f.style;
    p[4] = f.option & 3;
  }
  e[kIntervals] = g.x.intervals;
  e[kIntervals + 1] = g.x.divisions;
  e[kIntervals + 2] = g.y.intervals;
  e[kIntervals + 3] = g.y.divisions;
  e[kAxisFlags] = static_cast<uint8_t>((g.x.exponential ? 0x80 : 0) | (g.y.exponential ? 0x40 : 0));
  e[kOptions] =
      static_cast<uint8_t>((g.grid & 3) | (g.solidGrid ? 4 : 0) | (g.legendTable ? 8 : 0));
  putShort(e + kOverlay, kMaxGraphName, graphName(g.overlay));
  putShort(e + kName, kMaxGraphName, graphName(g.name));
  putI16(e + kAngle, g.angle);
  for (int s = 0; s < 6; ++s) e[kLabelTable + s] = g.labelTable[s];
}

// --- The worksheet's graphs --------------------------------------------------------------

GraphDefinition currentGraph(const Worksheet& ws) {
  return decodeGraph(ws.settings.graph, ws.session().settings());
}

void setCurrentGraph(Worksheet& ws, const GraphDefinition& g) {
  GraphRecord before = ws.settings.graph;
  encodeGraph(g, ws.settings.graph);
  if (!(before == ws.settings.graph)) ws.modified = true;
}

GraphDefinition namedGraph(const Worksheet& ws, int index) {
  const auto& list = ws.settings.namedGraphs;
  if (index < 1 || index > static_cast<int>(list.size())) return currentGraph(ws);
  GraphDefinition g = decodeGraph(list[index - 1].graph, ws.session().settings());
  g.name = list[index - 1].name;
  return g;
}

std::string graphName(std::string_view name) {
  return upperCased(name.substr(0, std::min(name.size(), kMaxGraphName)));
}

int FindGraph(const Worksheet& ws, std::string_view name) {
  std::string key = graphName(name);
  const auto& list = ws.settings.namedGraphs;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].name == key) return static_cast<int>(i) + 1;
  return 0;
}

int SaveGraphAs(Worksheet& ws, std::string_view name) {
  std::string key = graphName(name);
  if (key.empty()) return 0;
  GraphDefinition g = currentGraph(ws);
  g.name = key;
  NamedGraph entry;
  entry.name = key;
  entry.graph = ws.settings.graph;
  encodeGraph(g, entry.graph);
  auto& list = ws.settings.namedGraphs;
  int at = FindGraph(ws, key);
  if (at > 0) {
    list[at - 1] = entry;
  } else {
    if (list.size() >= kMaxNamedGraphs) return 0;
    list.push_back(entry);
    at = static_cast<int>(list.size());
  }
  ws.modified = true;
  return at;
}

int UseGraph(Worksheet& ws, std::string_view name) {
  int at = FindGraph(ws, name);
  if (at <= 0) return 0;
  ws.settings.graph = ws.settings.namedGraphs[at - 1].graph;
  ws.modified = true;
  return at;
}

int DeleteGraph(Worksheet& ws, std::string_view name) {
  int at = FindGraph(ws, name);
  if (at <= 0) return 0;
  ws.settings.namedGraphs.erase(ws.settings.namedGraphs.begin() + (at - 1));
  ws.modified = true;
  return at;
}

int NewGraphName(Worksheet& ws) {
  if (ws.settings.namedGraphs.size() >= kMaxNamedGraphs) return -1;
  for (int k = 1;; ++k) {
    std::string name = "GRAPH" + std::to_string(k);
    if (FindGraph(ws, name) == 0) return SaveGraphAs(ws, name);
  }
}

}  // namespace tw
