// Graph drawing through Qt, as the graph window and bitmaps draw (built with
// -DTALLOWAY_BENCH=ON):
//   cmake --build build-bench --target qt_bench_graph
//   QT_QPA_PLATFORM=offscreen build-bench/ui/qt_bench_graph
// Prints the time to draw a line graph of six 8,000-point series into a
// 1600 x 1000 bitmap, lines only and with marks, the best of five runs.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cli/headless_host.h"
#include "core/cell_entry.h"
#include "core/recording_canvas.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/function_library.h"
#include "graphs/graph_draw.h"
#include "ui/picture_writer.h"

using namespace tw;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  HeadlessHost host;
  Session session(host);
  installFunctionLibrary(session);
  Worksheet& ws = session.openWorksheet("GRAPH.WKS");
  const int n = 8000;
  for (int r = 0; r < n; ++r) {
    EnterNumber(ws, r, 0, r);
    for (int s = 1; s <= 6; ++s) EnterNumber(ws, r, s, std::sin(r / 300.0 + s) * 100 + s * 20);
  }
  GraphDefinition g = currentGraph(ws);
  g.type = kGraphLine;
  for (int s = 0; s <= 6; ++s) g.ranges[s] = CellRange::of(0, s, n - 1, s);
  g.headings[0] = "Six series";
  g.legends = {"A", "B", "C", "D", "E", "F"};
  {
    QElapsedTimer t;
    t.start();
    GraphData d = readGraphData(ws, g);
    std::printf("reading the cells: %.1f ms\n", t.nsecsElapsed() / 1e6);
    RecordingCanvas rc;
    t.restart();
    DrawGraph(rc, ws, g, 1600, 1000);
    std::printf("the drawing, recorded without Qt: %.1f ms (%zu calls)\n", t.nsecsElapsed() / 1e6,
                rc.ops().size());
  }
  for (uint8_t option : {uint8_t(1), uint8_t(3)}) {
    for (SeriesFormat& f : g.series) f.option = option;
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
      Bitmap b;
      QElapsedTimer t;
      t.start();
      renderPixels(
          1600, 1000, [&](Canvas& c) { DrawGraph(c, ws, g, 1600, 1000); }, b);
      best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    std::printf("line graph, 6 x %d points, 1600 x 1000, %s: %.1f ms\n", n,
                option == 1 ? "lines" : "lines and marks", best);
  }
  return 0;
}
