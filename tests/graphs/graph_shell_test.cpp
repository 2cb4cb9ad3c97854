// The graph window's rules and the graph dialog's fields, without widgets;
// the frame's graph commands in a run without a display.
#include <gtest/gtest.h>

#include "core/recording_canvas.h"
#include "graphs/graph_dialog.h"
#include "graphs/graph_window.h"
#include "macros/macro_interpreter.h"
#include "test_support.h"

namespace tw::test {
namespace {

class GraphShellTest : public ProgramTest {
 public:
  GraphShellTest() {
    for (int r = 0; r < 5; ++r) {
      EnterCell(ws, std::to_string(r * 10), r, 0);
      EnterCell(ws, std::to_string(r * r), r, 1);
    }
    GraphDefinition g = currentGraph(ws);
    g.type = kGraphXY;
    g.ranges[0] = CellRange::of(0, 0, 4, 0);
    g.ranges[1] = CellRange::of(0, 1, 4, 1);
    setCurrentGraph(ws, g);
  }
};

TEST_F(GraphShellTest, ZoomingSetsManualLimitsAndResetRestores) {
  GraphWindowModel w(ws, 0);
  RecordingCanvas c;
  w.paint(c, 700, 350);
  w.zoomIn();  // the middle half: 0..40 becomes 10..30, 0..16 becomes 4..12
  GraphDefinition g = currentGraph(ws);
  EXPECT_TRUE(g.x.manual);
  EXPECT_DOUBLE_EQ(g.x.lower, 10);
  EXPECT_DOUBLE_EQ(g.x.upper, 30);
  EXPECT_DOUBLE_EQ(g.y.lower, 4);
  EXPECT_DOUBLE_EQ(g.y.upper, 12);
  w.paint(c, 700, 350);
  w.zoomOut();
  g = currentGraph(ws);
  EXPECT_DOUBLE_EQ(g.x.lower, 0);
  EXPECT_DOUBLE_EQ(g.x.upper, 40);
  w.zoomAll();
  EXPECT_DOUBLE_EQ(currentGraph(ws).y.upper, 16);
  w.reset();
  EXPECT_FALSE(currentGraph(ws).x.manual);

  // A dragged rectangle: the data values under its corners.
  w.paint(c, 700, 350);
  GraphFrame f = graphFrame(c, ws, currentGraph(ws), 700, 350);
  std::optional<Point> a = mapPoint(f.layout, f.scales, 10, 2),
                       b = mapPoint(f.layout, f.scales, 20, 8);
  ASSERT_TRUE(a && b);
  EXPECT_TRUE(w.zoomTo({a->x, b->y, b->x - a->x, a->y - b->y}));
  g = currentGraph(ws);
  EXPECT_NEAR(g.x.lower, 10, 0.2);
  EXPECT_NEAR(g.x.upper, 20, 0.2);
  EXPECT_NEAR(g.y.lower, 2, 0.2);
  EXPECT_NEAR(g.y.upper, 8, 0.2);
  EXPECT_FALSE(w.zoomTo({5, 5, 1, 1}));
}

TEST_F(GraphShellTest, SelectionFindsElementsAndTheirPages) {
  GraphWindowModel w(ws, 0);
  RecordingCanvas c;
  w.paint(c, 700, 350);
  EXPECT_EQ(w.attributesCaption(), "No Selection");
  EXPECT_EQ(w.select({1, 1}), kElementBackground);
  EXPECT_EQ(w.attributesCaption(), "&Attributes (7)");
  int tab = 0;
  EXPECT_EQ(GraphWindowModel::pageFor(-3, tab), 2);
  EXPECT_EQ(tab, 3);
  EXPECT_EQ(GraphWindowModel::pageFor(kElementMainTitle, tab), 5);
  EXPECT_EQ(GraphWindowModel::pageFor(kElementYLabels, tab), 3);
  EXPECT_EQ(tab, 1);
  EXPECT_EQ(GraphWindowModel::pageFor(kElementLegend, tab), 8);
  EXPECT_TRUE(GraphWindowModel::keyCloses(KeyPress::character(' ')));
  EXPECT_TRUE(GraphWindowModel::keyCloses(KeyPress::of(Key::Escape)));
  EXPECT_FALSE(GraphWindowModel::keyCloses(KeyPress::of(Key::F1, false, true)));
}

TEST_F(GraphShellTest, TheDialogEditsACopyThatOkMakesCurrent) {
  GraphDialogModel m(ws, 3);
  EXPECT_EQ(m.caption(), "Scale: Set X-Axis");
  std::string reason;
  ASSERT_TRUE(applyAnswer(m,
                          "type=16;a=B1..B5;b=A1..A5;main=Title;legend1=Squares;ylower=@SUM(1,2);"
                          "yupper=10*2;ymanual=1;ystep=4;grid=both;gridstyle=solid;s1mark=5;"
                          "inside=3;font0=Courier,20,1;place1=below;legendtype=table;xformat=F2",
                          reason))
      << reason;
  EXPECT_EQ(m.field("ylower"), "3");  // evaluated, shown back
  EXPECT_FALSE(m.setField("ylower", "no such thing("));
  EXPECT_FALSE(m.setField("a", "not a range"));
  EXPECT_FALSE(m.setField("type", "18"));
  EXPECT_EQ(currentGraph(ws).type, kGraphXY) << "nothing changes before OK";
  host.scripted.push_back("type=1;main=From the dialog");
  frame.invoke("GRAPHSETTINGS", "5");
  GraphDefinition g = currentGraph(ws);
  EXPECT_EQ(g.type, kGraphBar);
  EXPECT_EQ(g.headings[0], "From the dialog");

  // The Names page.
  GraphDialogModel names(ws, 4);
  names.name = "*bad";
  names.pressNew();
  EXPECT_FALSE(names.message.empty());
  names.name = "first";
  names.pressNew();
  EXPECT_EQ(names.names(), (std::vector<std::string>{"* Default *", "FIRST"}));
  names.name = "missing";
  names.pressMerge();
  EXPECT_TRUE(names.graph.overlay.empty());
  names.name = "FIRST";
  names.pressMerge();
  EXPECT_EQ(names.graph.overlay, "FIRST");
  EXPECT_TRUE(names.showWindow);
  names.pressReset();
  EXPECT_TRUE(names.graph.overlay.empty());
  names.pressDelete();
  EXPECT_EQ(names.names().size(), 1u);
}

TEST_F(GraphShellTest, GraphWindowsNeedTheDesktop) {
  program.macros.RunMacroText("{GRAPHVIEW 1,100}");
  EXPECT_TRUE(program.macros.endedByError());
  ASSERT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors.back(), "GRAPHVIEW needs the desktop program: it shows a window");
  keys("{F12}");
  EXPECT_EQ(host.errors.back(), "GRAPH needs the desktop program: it shows a window");
  // Quick Graph still makes the graph.
  frame.execute("QUICKGRAPH");
  EXPECT_EQ(session.quickGraphName, "");  // a one-cell selection: nothing
  window->moveTo(0, 0);
  window->moveTo(4, 1, true);
  frame.execute("QUICKGRAPH");
  EXPECT_EQ(session.quickGraphName, "GRAPH1");
}

}  // namespace
}  // namespace tw::test
