// Graphs: the definition's bytes, the named graphs, Quick Graph, the
// scales and layout, what each type draws, the macro keywords, and the
// pictures and printed page of a graph.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/recording_canvas.h"
#include "files/worksheet_file.h"
#include "core/bmp_file.h"
#include "graphs/graph_commands.h"
#include "graphs/graph_definition.h"
#include "graphs/graph_draw.h"
#include "macros/macro_interpreter.h"
#include "print/print_commands.h"
#include "print/recording_device.h"
#include "test_support.h"

namespace tw::test {
namespace {

class GraphTest : public ProgramTest {
 public:
  // Months in A1..A4, two series in B and C.
  void fill() {
    const char* months[] = {"'Jan", "'Feb", "'Mar", "'Apr"};
    const double b[] = {10, 25, -5, 18}, c[] = {7, 12, 15, 9};
    for (int r = 0; r < 4; ++r) {
      EnterCell(ws, months[r], r, 0);
      EnterCell(ws, std::to_string(b[r]), r, 1);
      EnterCell(ws, std::to_string(c[r]), r, 2);
    }
  }
  GraphDefinition barGraph() {
    GraphDefinition g = currentGraph(ws);
    g.type = kGraphBar;
    g.ranges[0] = CellRange::of(0, 0, 3, 0);
    g.ranges[1] = CellRange::of(0, 1, 3, 1);
    g.ranges[2] = CellRange::of(0, 2, 3, 2);
    return g;
  }
  void run(const std::string& macro) {
    program.macros.RunMacroText(macro);
    ASSERT_FALSE(program.macros.endedByError()) << macro;
  }
};

std::vector<std::string> texts(const RecordingCanvas& c) {
  std::vector<std::string> out;
  for (const DrawOp& op : c.ops())
    if (op.kind == DrawKind::Text) out.push_back(op.text);
  return out;
}

TEST_F(GraphTest, TheDefinitionRoundTripsThroughItsBytesAndTheFile) {
  GraphDefinition g = barGraph();
  g.type = kGraphStacked3D;
  g.labelRanges[1] = CellRange::of(0, 3, 3, 3);
  g.labelPlaces = {kLabelAbove, kLabelBelow, kLabelLeft, kLabelRight, kLabelNone, kLabelAbove};
  g.headings = {"Main", "Second", "X title", "Y title"};
  g.legends[0] = "North";
  g.legends[5] = std::string(30, 'L');  // cut to 19
  g.colours[3] = 12;
  g.backColours[2] = 4;
  g.fonts[kFontLegend] = {"Courier New", 9, 3};
  g.series[4] = {16, 8, 5, 6, 2};
  g.x = {true, -2.5, 7.25, 0x22, 4, 2, false};
  g.y = {false, 0, 0, 0x71, 8, 0, true};
  g.grid = 3;
  g.solidGrid = true;
  g.legendTable = true;
  g.overlay = "other";
  g.angle = 30;
  setCurrentGraph(ws, g);
  EXPECT_TRUE(ws.modified);
  GraphDefinition back = currentGraph(ws);
  g.legends[5].resize(kMaxLegend);
  g.overlay = "OTHER";
  EXPECT_EQ(back, g);
  // The Lotus part says what other programs read: type, ranges, titles.
  const auto& lotus = ws.settings.graph.lotus;
  EXPECT_EQ(lotus[104], kGraphStacked3D);
  EXPECT_EQ(lotus[105], 3);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&lotus[153])), "Main");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&lotus[313])), "North");
  EXPECT_EQ(lotus[113], 4);  // above
  EXPECT_EQ(lotus[433], 0x22);
  ASSERT_EQ(SaveGraphAs(ws, "sales"), 1);

  TempDir dir;
  ASSERT_TRUE(Save(ws, dir.file("G.WK1")));
  Worksheet& other = session.openWorksheet("OTHER.WK1");
  ASSERT_TRUE(Load(other, dir.file("G.WK1")));
  EXPECT_EQ(currentGraph(other), g);
  ASSERT_EQ(FindGraph(other, "SALES"), 1);
  GraphDefinition named = namedGraph(other, 1);
  EXPECT_EQ(named.name, "SALES");
  EXPECT_EQ(named.type, kGraphStacked3D);
}

TEST_F(GraphTest, AGraphOfAnotherProgramGetsTheDefaults) {
  GraphRecord foreign;  // the Lotus part only, formats left at 0
  foreign.lotus[104] = kGraphLine;
  GraphDefinition g = decodeGraph(foreign, session.settings());
  EXPECT_EQ(g.type, kGraphLine);
  EXPECT_EQ(g.x.format, 113);  // GFORM
  EXPECT_EQ(g.fonts[kFontValues].typeface, "Arial");
  EXPECT_EQ(g.fonts[kFontValues].size, 12);
  EXPECT_EQ(g.colours[kElementBackground], 15);
  EXPECT_FALSE(g.complete());
  foreign.lotus[104] = 200;  // no such type
  EXPECT_EQ(decodeGraph(foreign, session.settings()).type, kGraphBar);
}

TEST_F(GraphTest, NamedGraphsAreFoundReplacedDeletedAndCounted) {
  GraphDefinition g = barGraph();
  setCurrentGraph(ws, g);
  EXPECT_EQ(SaveGraphAs(ws, "a"), 1);
  EXPECT_EQ(SaveGraphAs(ws, "b"), 2);
  EXPECT_EQ(SaveGraphAs(ws, "ABCDEFGHIJKLMNOP"), 3);
  // Cut to twelve characters before comparing: the same graph.
  EXPECT_EQ(FindGraph(ws, "abcdefghijklXYZ"), 3);
  EXPECT_EQ(SaveGraphAs(ws, "ABCDEFGHIJKLzzz"), 3);
  EXPECT_EQ(ws.settings.namedGraphs.size(), 3u);
  EXPECT_EQ(SaveGraphAs(ws, "d"), 4);
  EXPECT_EQ(SaveGraphAs(ws, "e"), 5);
  EXPECT_EQ(DeleteGraph(ws, "ABCDEFGHIJKL"), 3);
  EXPECT_EQ(FindGraph(ws, "D"), 3);
  EXPECT_EQ(FindGraph(ws, "E"), 4);
  EXPECT_EQ(DeleteGraph(ws, "none"), 0);
  EXPECT_EQ(UseGraph(ws, "none"), 0);

  // GRAPH1, GRAPH2 ... whichever is free first.
  EXPECT_EQ(NewGraphName(ws), 5);
  EXPECT_EQ(ws.settings.namedGraphs[4].name, "GRAPH1");
  while (ws.settings.namedGraphs.size() < kMaxNamedGraphs) ASSERT_GT(NewGraphName(ws), 0);
  EXPECT_EQ(NewGraphName(ws), -1);
  EXPECT_EQ(SaveGraphAs(ws, "ONE MORE"), 0);
  EXPECT_EQ(ws.settings.namedGraphs.size(), kMaxNamedGraphs);
  program.macros.RunMacroText("{GRAPHNAME 0,\"ONE MORE\"}");
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), "Named Graphs>50");
  EXPECT_EQ(ws.settings.namedGraphs.size(), kMaxNamedGraphs);
  CommandContext cx = frame.context();
  EXPECT_TRUE(QuickGraph(cx, CellRange::of(0, 0, 3, 2)).empty());
  EXPECT_EQ(host.errors.back(), kMaxGraphsMessage);
}

TEST_F(GraphTest, QuickGraphTakesTheSelectionsColumns) {
  fill();
  CommandContext cx = frame.context();
  EXPECT_TRUE(QuickGraph(cx, CellRange::of(0, 0, 0, 2)).empty());  // one row: not enough
  std::string name = QuickGraph(cx, CellRange::of(0, 0, 3, 2));
  EXPECT_EQ(name, "GRAPH1");
  EXPECT_EQ(session.quickGraphName, "GRAPH1");
  GraphDefinition g = currentGraph(ws);
  EXPECT_EQ(g.ranges[0], CellRange::of(0, 0, 3, 0));
  EXPECT_EQ(g.ranges[1], CellRange::of(0, 1, 3, 1));
  EXPECT_EQ(g.ranges[2], CellRange::of(0, 2, 3, 2));
  EXPECT_FALSE(g.ranges[3].valid());
  EXPECT_TRUE(g.complete());
  EXPECT_EQ(namedGraph(ws, 1).ranges, g.ranges);
}

TEST_F(GraphTest, ScalesFollowTheTypeAndTheData) {
  fill();
  GraphDefinition g = barGraph();
  GraphData d = readGraphData(ws, g);
  ASSERT_EQ(d.x.size(), 4u);
  EXPECT_EQ(d.xTexts[1], "Feb");
  GraphScales s = ComputeScales(g, d);
  // Four categories: the axis runs from 1 to 5.
  EXPECT_TRUE(s.categories);
  EXPECT_EQ(s.x.min, 1);
  EXPECT_EQ(s.x.max, 5);
  EXPECT_EQ(s.y.min, -5);
  EXPECT_EQ(s.y.max, 25);
  g.type = kGraphStacked;
  s = ComputeScales(g, readGraphData(ws, g));
  EXPECT_EQ(s.y.max, 25 + 15);  // the sums of the maxima
  EXPECT_EQ(s.y.min, 0);        // of the minima, 2, but bars stand on zero
  g.type = kGraphArea;
  s = ComputeScales(g, readGraphData(ws, g));
  EXPECT_EQ(s.y.min, -5 + 7);
  g.type = kGraphCumulative;
  s = ComputeScales(g, readGraphData(ws, g));
  EXPECT_EQ(s.y.max, 48);  // the larger total
  g.y.manual = true;
  g.y.lower = -100;
  g.y.upper = 100;
  s = ComputeScales(g, readGraphData(ws, g));
  EXPECT_EQ(s.y.min, -100);
  EXPECT_EQ(s.y.step, 40);

  // An exponential axis over 3 .. 700 runs over three decades, 1 to 1000.
  AxisRange e = exponentialAxis(3, 700, true);
  EXPECT_DOUBLE_EQ(e.min, 1);
  EXPECT_DOUBLE_EQ(e.max, 1000);
  EXPECT_EQ(e.intervals, 3);
  EXPECT_DOUBLE_EQ(e.step, 10);
  // On it a value of 0 or below has no place; 10 lies a third of the way up.
  GraphLayout l;
  l.left = 0;
  l.right = 300;
  l.top = 0;
  l.bottom = 300;
  l.xFactor = 1;
  l.yFactor = 300 / std::log(1000.0);
  GraphScales es;
  es.x = {0, 300, 1, 300, false};
  es.y = e;
  EXPECT_FALSE(mapPoint(l, es, 5, 0));
  EXPECT_FALSE(mapPoint(l, es, 5, -3));
  ASSERT_TRUE(mapPoint(l, es, 5, 10));
  EXPECT_EQ(mapPoint(l, es, 5, 10)->y, 200);
  // No major intervals: one.
  g.type = kGraphLine;
  g.y.intervals = 0;
  EXPECT_EQ(ComputeScales(g, readGraphData(ws, g)).y.intervals, 1);
}

TEST_F(GraphTest, BarsAreCentredOnTheirCategoriesAndTheZeroLineShowsForNegatives) {
  fill();
  GraphDefinition g = barGraph();
  g.ranges[2] = kEmptyRange;
  RecordingCanvas c;
  GraphFrame f = graphFrame(c, ws, g, 700, 350);
  std::vector<DrawnElement> drawn = DrawGraph(c, ws, g, 700, 350);
  std::vector<Rect> bars;
  for (const DrawnElement& e : drawn)
    if (e.element == -1) bars.push_back(e.rect);
  ASSERT_EQ(bars.size(), 4u);
  for (size_t k = 0; k < 4; ++k) {
    std::optional<Point> centre = mapPoint(f.layout, f.scales, k + 1.5, 0);
    ASSERT_TRUE(centre);
    EXPECT_NEAR(bars[k].x + bars[k].width / 2, centre->x, 2) << k;
  }
  auto zeroLine = [&](const RecordingCanvas& canvas, const GraphFrame& fr) {
    std::optional<Point> z = mapPoint(fr.layout, fr.scales, 1, 0);
    for (const DrawOp& op : canvas.ops())
      if (op.kind == DrawKind::Line && op.points.size() == 2 && z && op.points[0].y == z->y &&
          op.points[1].y == z->y && op.points[0].x == fr.layout.left &&
          op.pen.style == LineStyle::Solid)
        return true;
    return false;
  };
  EXPECT_TRUE(zeroLine(c, f));
  EnterCell(ws, "5", 2, 1);  // no negative left: bars from 0
  RecordingCanvas c2;
  DrawGraph(c2, ws, g, 700, 350);
  EXPECT_FALSE(zeroLine(c2, graphFrame(c2, ws, g, 700, 350)));
  // The element under a bar's middle is its point.
  EXPECT_EQ(elementAt(drawn, {bars[1].x + bars[1].width / 2, bars[1].y + bars[1].height / 2}), -1);
  EXPECT_EQ(elementAt(drawn, {2, 2}), kElementBackground);
}

TEST_F(GraphTest, TwelveIntervalsPutTheLabelsOnTwoRows) {
  for (int r = 0; r < 12; ++r) {
    EnterCell(ws, "'M" + std::to_string(r + 1), r, 0);
    EnterCell(ws, std::to_string(r * 3), r, 1);
  }
  GraphDefinition g = currentGraph(ws);
  g.type = kGraphLine;
  g.ranges[0] = CellRange::of(0, 0, 11, 0);
  g.ranges[1] = CellRange::of(0, 1, 11, 1);
  RecordingCanvas c;
  EXPECT_TRUE(graphFrame(c, ws, g, 640, 480).layout.twoLabelRows);
  g.ranges[0] = CellRange::of(0, 0, 9, 0);
  EXPECT_FALSE(graphFrame(c, ws, g, 640, 480).layout.twoLabelRows);
}

TEST_F(GraphTest, AnIncompleteGraphSaysSo) {
  fill();
  GraphDefinition g = currentGraph(ws);
  g.ranges[0] = CellRange::of(0, 0, 3, 0);  // X, no series
  RecordingCanvas c;
  EXPECT_TRUE(DrawGraph(c, ws, g, 400, 300).empty());
  EXPECT_EQ(texts(c), (std::vector<std::string>{kGraphUndefined}));
}

TEST_F(GraphTest, PieSlicesFollowTheirValuesAndExplosions) {
  fill();
  EnterCell(ws, "5", 2, 1);  // all positive
  GraphDefinition g = barGraph();
  g.type = kGraphPie;
  g.ranges[2] = CellRange::of(0, 2, 3, 2);  // explosions 7, 12, 15, 9 per cent
  RecordingCanvas c;
  DrawGraph(c, ws, g, 600, 400);
  std::vector<double> spans;
  std::vector<uint32_t> colours;
  for (const DrawOp& op : c.ops())
    if (op.kind == DrawKind::Pie) {
      spans.push_back(op.span);
      colours.push_back(op.brush.colour);
    }
  ASSERT_EQ(spans.size(), 4u);
  EXPECT_NEAR(spans[1], 25.0 / 58 * 360, 1e-9);
  // Without a colour series, slice k takes colour k of the table.
  EXPECT_EQ(colours, (std::vector<uint32_t>{graphColour(0), graphColour(1), graphColour(2), graphColour(3)}));
  // An explosion above 100 leaves the slice out.
  EnterCell(ws, "150", 1, 2);
  RecordingCanvas c2;
  DrawGraph(c2, ws, g, 600, 400);
  int slices = 0;
  for (const DrawOp& op : c2.ops()) slices += op.kind == DrawKind::Pie;
  EXPECT_EQ(slices, 3);
  std::vector<std::string> t = texts(c2);
  EXPECT_EQ(std::find(t.begin(), t.end(), "Feb"), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "Jan"), t.end());
}

TEST_F(GraphTest, ARowLegendSharesTheBottomStrip) {
  fill();
  GraphDefinition g = barGraph();
  g.legends[0] = "North";
  g.legends[1] = "South";
  RecordingCanvas c;
  DrawGraph(c, ws, g, 700, 350);
  int north = -1, south = -1, height = 0;
  for (const DrawOp& op : c.ops()) {
    if (op.kind != DrawKind::Text) continue;
    if (op.text == "North") north = op.rect.x;
    if (op.text == "South") south = op.rect.x;
  }
  height = c.measureText(Font{"Arial", 12 * 350 / 350.0 * 72 / 96}, "Hg").height();
  int w = static_cast<int>(std::lround(0.7 * height));
  int slot = (700 - 3 * w) / 2;
  EXPECT_EQ(north, 3 * w + 2 * w);
  EXPECT_EQ(south, 3 * w + slot + 2 * w);
}

TEST_F(GraphTest, EveryTypeDrawsWithinItsCanvas) {
  fill();
  GraphDefinition g = barGraph();
  g.ranges[3] = CellRange::of(0, 1, 3, 1);
  g.ranges[4] = CellRange::of(0, 2, 3, 2);
  g.labelRanges[0] = CellRange::of(0, 0, 3, 0);
  g.labelPlaces[0] = kLabelAbove;
  g.legends = {"A", "B", "C", "D", "", ""};
  for (bool table : {false, true})
    for (uint8_t type = 0; type < kGraphTypeCount; ++type) {
      g.type = type;
      g.legendTable = table;
      RecordingCanvas c;
      std::vector<DrawnElement> drawn = DrawGraph(c, ws, g, 500, 350);
      EXPECT_FALSE(drawn.empty()) << int(type);
      bool series = std::any_of(drawn.begin(), drawn.end(), [](const DrawnElement& e) {
        return e.element >= 1 && e.element <= 6;
      });
      // Contour draws from the X grid, which is one column here.
      if (type != kGraphContour) {
        EXPECT_TRUE(series) << "type " << int(type);
      }
      for (const DrawOp& op : c.ops()) {
        if (op.kind == DrawKind::Text) {
          EXPECT_FALSE(op.text.empty());
        }
      }
    }
}

TEST_F(GraphTest, MacroKeywordsSetTheCurrentGraph) {
  fill();
  run("{GRAPHTYPE 2,\"B\"}{GRAPHSERIES 0,A1..A4}{GRAPHSERIES 1,B1..B4}{GRAPHLEGEND 1,\"North\",0}"
      "{GRAPHHEADING 0,\"Sales\"}{GRAPHHEADING 3,\"Units\"}{GRAPHLABEL 0,C1..C4,1}"
      "{GRAPHFONT 0,\"Times,20,1\"}{GRAPHSCALE 1,\"ML-10U30K4D2FF1\"}{GRAPHSCALE 0,\"E\"}"
      "{GRAPHOPTIONS 1,\"F12B3M0H5T2S3O2\"}{GRAPHOPTIONS 0,\"GBSI7O8\"}");
  GraphDefinition g = currentGraph(ws);
  EXPECT_EQ(g.type, kGraphBar);
  EXPECT_EQ(g.ranges[0], CellRange::of(0, 0, 3, 0));
  EXPECT_EQ(g.legends[0], "North");
  EXPECT_EQ(g.headings[0], "Sales");
  EXPECT_EQ(g.headings[3], "Units");
  EXPECT_EQ(g.labelRanges[0], CellRange::of(0, 2, 3, 2));
  EXPECT_EQ(g.labelTable[0], 1);
  EXPECT_EQ(g.fonts[kFontMain].typeface, "Times");
  EXPECT_EQ(g.fonts[kFontMain].size, 20);
  EXPECT_TRUE(g.y.manual);
  EXPECT_EQ(g.y.lower, -10);
  EXPECT_EQ(g.y.upper, 30);
  EXPECT_EQ(g.y.intervals, 4);
  EXPECT_EQ(g.y.divisions, 2);
  EXPECT_EQ(g.y.format, ParseFormatCode("F1"));
  EXPECT_TRUE(g.x.exponential);
  EXPECT_EQ(g.colours[1], 12);
  EXPECT_EQ(g.backColours[0], 3);
  EXPECT_EQ(g.series[0].mark, 1);
  EXPECT_EQ(g.series[0].hatch, 5);
  EXPECT_EQ(g.series[0].thickness, 2);
  EXPECT_EQ(g.series[0].style, 3);
  EXPECT_EQ(g.series[0].option, 2);
  EXPECT_EQ(g.grid, 3);
  EXPECT_TRUE(g.solidGrid);
  EXPECT_EQ(g.colours[kElementPlot], 7);
  EXPECT_EQ(g.colours[kElementBackground], 8);

  run("{GRAPHTYPE 3,\"B\"}");
  EXPECT_EQ(currentGraph(ws).type, kGraphBar3D);
  run("{GRAPHTYPE 2,\"Q\"}");  // no such letter: the type stays
  EXPECT_EQ(currentGraph(ws).type, kGraphBar3D);
  run("{GRAPHLABEL 2,C1..C4,9}");  // a series outside 1..6 changes nothing
  EXPECT_EQ(currentGraph(ws).labelTable[2], 0);
  run("{GRAPHNAME 0,\"first\"}{GRAPHTYPE 2,\"P\"}{GRAPHNAME 1,\"FIRST\"}");
  EXPECT_EQ(currentGraph(ws).type, kGraphBar3D);
  run("{GRAPHNAME 2,\"first\"}");
  EXPECT_EQ(FindGraph(ws, "FIRST"), 0);
}

TEST_F(GraphTest, BitmapFilesAreWindowsBitmaps) {
  Bitmap b;
  b.width = 3;
  b.height = 2;
  b.pixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFF123456};
  std::string bytes = bmpBytes(b);
  ASSERT_EQ(bytes.size(), 54u + 2 * 12);  // rows of 9 bytes padded to 12
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(
        static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
        static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint8_t>(bytes[at + 3]) << 24);
  };
  EXPECT_EQ(u32(2), bytes.size());
  EXPECT_EQ(u32(18), 3u);
  EXPECT_EQ(u32(22), 2u);
  // The bottom row first, each pixel blue, green, red.
  EXPECT_EQ(static_cast<uint8_t>(bytes[54]), 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(bytes[54 + 6]), 0x56);
  EXPECT_EQ(static_cast<uint8_t>(bytes[54 + 8]), 0x12);
  EXPECT_EQ(static_cast<uint8_t>(bytes[54 + 12 + 2]), 0xFF);  // the top row's red
  EXPECT_TRUE(bmpBytes(Bitmap{}).empty());
}

TEST_F(GraphTest, PrintGraphPutsTheGraphInsideTheMargins) {
  fill();
  setCurrentGraph(ws, barGraph());
  ASSERT_EQ(SaveGraphAs(ws, "SALES"), 1);
  struct Kept {
    std::vector<DrawOp> ops;
    bool finished = false;
  } kept;
  struct Device : RecordingPageDevice {
    Kept& k;
    explicit Device(Kept& kk) : k(kk) {}
    ~Device() override {
      if (!pages.empty()) k.ops = pages[0]->ops();
      k.finished = finished;
    }
  };
  host.printer = [&](const PrintRequest&) { return std::make_unique<Device>(kept); };
  ws.settings.margins[kMarginLeft] = 1;
  ws.settings.margins[kMarginTop] = 2;
  ws.settings.print.scale = 50;
  int beeps = host.beeps;
  run("{PRINTGRAPH \"sales\"}");
  EXPECT_TRUE(kept.finished);
  EXPECT_GT(host.beeps, beeps);
  // The background fill: at one inch and two inches, half the room left.
  ASSERT_FALSE(kept.ops.empty());
  const DrawOp& back = kept.ops.front();
  EXPECT_EQ(back.kind, DrawKind::Fill);
  EXPECT_EQ(back.rect.x, 96);
  EXPECT_EQ(back.rect.y, 192);
  EXPECT_EQ(back.rect.width, (768 - 96 - 48) / 2);
  EXPECT_EQ(back.rect.height, (1008 - 192 - 48) / 2);
  // No such graph: nothing happens.
  kept = {};
  run("{PRINTGRAPH \"none\"}");
  EXPECT_FALSE(kept.finished);
  // The print dialog's Named Graph prints it too.
  host.scripted.push_back("what=graph;graph=SALES;button=print");
  frame.invoke("PRINT");
  EXPECT_TRUE(kept.finished);
  EXPECT_TRUE(host.unanswered.empty());
}

// The worksheets of other programs that carry a graph: it decodes and draws;
// the scatter in the survey file plots its 230 points.
TEST_F(GraphTest, CorpusGraphsDecodeAndDraw) {
  if (corpusRoot().empty()) GTEST_SKIP() << "no corpus";
  const std::string corpus = corpusRoot() + "/wk";
  int drawn = 0;
  for (const auto& e : std::filesystem::directory_iterator(corpus)) {
    Worksheet& other = session.openWorksheet("C" + std::to_string(drawn++) + ".WK1");
    if (!Load(other, e.path().string())) continue;
    session.error().clear();
    GraphDefinition g = currentGraph(other);
    RecordingCanvas c;
    std::vector<DrawnElement> elements = DrawGraph(c, other, g, 640, 480);
    if (e.path().filename() == "opf-peyneval.wk1") {
      EXPECT_EQ(g.type, kGraphXY);
      EXPECT_EQ(g.ranges[0], CellRange::of(1, 2, 230, 2));
      EXPECT_EQ(g.ranges[1], CellRange::of(1, 3, 230, 3));
      EXPECT_EQ(g.grid, 1);
      EXPECT_TRUE(g.headings[2].empty()) << "no stray text is read as a title";
      int points = static_cast<int>(std::count_if(
          elements.begin(), elements.end(), [](const DrawnElement& d) { return d.element == -1; }));
      EXPECT_EQ(points, 230);
    }
  }
  EXPECT_GT(drawn, 4);
}

}  // namespace
}  // namespace tw::test
