// Drawing benchmarks of the desktop program (needs Qt; built with -DTALLOWAY_BENCH=ON):
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLOWAY_BENCH=ON
//   cmake --build build-bench --target qt_bench_draw
//   QT_QPA_PLATFORM=offscreen build-bench/ui/qt_bench_draw
// Prints the time to draw a full window (60 rows by 20 columns of mixed
// formats, spilling labels and borders), to page from row 1 to row 8192,
// and to open a 1,000,000-cell worksheet and show its first screen.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/cell_entry.h"
#include "core/worksheet.h"
#include "files/worksheet_file.h"
#include "shell/window_state.h"
#include "ui/grid_pane.h"
#include "ui/main_window.h"
#include "ui/worksheet_window.h"

using namespace tw;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TForm1::Options o;
  o.readSettings = false;
  TForm1 main(o);
  main.host().quiet = true;
  main.resize(1900, 1300);
  main.show();
  TForm2* form = main.newWorksheet();
  app.processEvents();
  Worksheet& ws = form->state().worksheet();
  const uint8_t formats[] = {0x02, 0x22, 0x31, 0x42, 0x71, 0x79, 0x77, 0x12};
  for (int r = 0; r < 60; ++r)
    for (int c = 0; c < 20; ++c) {
      if (c % 5 == 0) {
        EnterCell(ws, "'A label that is long enough to spill over", r, c);
      } else {
        EnterCell(ws, std::to_string((r - 30) * 1234.5678 + c), r, c);
        Cell* cell = ws.cellAt(r, c);
        cell->format = formats[(r + c) % 8];
        cell->borders = (r + c) % 7 == 0 ? 0x55 : 0;
      }
    }
  // Exactly 20 columns of the default width and 60 rows.
  form->Grid1->resize(form->Grid1->rowHeaderWidth() + 20 * 72 + 16,
                      60 * 20 + form->Grid1->headerHeight());
  QImage image(form->Grid1->size(), QImage::Format_RGB32);
  const int frames = 200;
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < frames; ++i) form->Grid1->render(&image);
  std::printf("full window (60 x 20 cells): %.3f ms per frame\n", t.nsecsElapsed() / 1e6 / frames);
  t.restart();
  for (int i = 0; i < frames; ++i)
    form->Grid1->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
  std::printf("  of which the cells alone (no scroll bar): %.3f ms per frame\n",
              t.nsecsElapsed() / 1e6 / frames);

  {
    struct Fixed : TextMeasure {
      int textWidth(std::string_view t, const CellFont&) override { return 7 * int(t.size()); }
    } measure;
    DrawContext ctx;
    ctx.firstCol = 0;
    ctx.lastCol = 19;
    for (int c = 0; c <= 20; ++c) ctx.columnX.push_back(c * 72);
    t.restart();
    size_t n = 0;
    for (int i = 0; i < frames; ++i)
      for (int r = 0; r < 60; ++r) n += layoutRow(ws, r, ctx, measure).size();
    std::printf("  of which laying out the rows: %.3f ms per frame (%zu cells)\n",
                t.nsecsElapsed() / 1e6 / frames, n / frames);
  }

  WindowState& w = form->state();
  t.restart();
  int pages = 0;
  while (w.row() < kRows - 1) {
    w.pageDown();
    form->Grid1->render(&image);
    ++pages;
  }
  std::printf("Page Down from row 1 to row 8192: %d pages, %.3f ms per page\n", pages,
              t.nsecsElapsed() / 1e6 / pages);

  if (argc > 1 && std::string(argv[1]) == "--draw-only") {
    main.frame().closeAll(CloseMode::DiscardUnasked);
    return 0;
  }
  // A 1,000,000-cell worksheet: saved once, then opened and drawn.
  std::string path = (std::filesystem::temp_directory_path() / "talloway_million.wk1").string();
  {
    Worksheet& big = main.session().openWorksheet("BIG.WKS");
    for (int c = 0; c < 125; ++c)
      for (int r = 0; r < 8000; ++r) EnterNumber(big, r, c, r * 0.5 + c);
    Save(big, path);
    main.session().closeWorksheet(big);
  }
  t.restart();
  TForm2* opened = main.openFile(path);
  opened->Grid1->render(&image);
  std::printf("open a 1,000,000-cell worksheet and draw its first screen: %.1f ms\n",
              t.nsecsElapsed() / 1e6);
  std::filesystem::remove(path);
  main.frame().closeAll(CloseMode::DiscardUnasked);
  return 0;
}
