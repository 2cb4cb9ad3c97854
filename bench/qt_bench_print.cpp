// Printing through Qt, as the desktop program prints (built with -DTALLOWAY_BENCH=ON):
//   cmake --build build-bench --target qt_bench_print
//   QT_QPA_PLATFORM=offscreen build-bench/ui/qt_bench_print
// Prints the time to lay out and write a PDF of a 5,000-row range of eight
// columns (about 110 pages) through QPrinter, and the page count.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/headless_host.h"
#include "core/cell_entry.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/function_library.h"
#include "print/print_job.h"
#include "ui/qt_print.h"

using namespace tw;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  HeadlessHost host;
  Session session(host);
  installFunctionLibrary(session);
  Worksheet& ws = session.openWorksheet("PRINT.WKS");
  const uint8_t formats[] = {0x02, 0x22, 0x31, 0x42, 0x71, 0x79, 0x12};
  for (int r = 0; r < 5000; ++r)
    for (int c = 0; c < 8; ++c) {
      if (c == 0) {
        EnterCell(ws, "'Line " + std::to_string(r + 1) + " of the report", r, c);
      } else {
        EnterCell(ws, std::to_string((r - 2500) * 12.345 + c), r, c);
        ws.cellAt(r, c)->format = formats[(r + c) % 7];
      }
    }
  ws.settings.printHeader = "Report|^F|Page #";
  ws.settings.print.grid = true;
  std::string path = (std::filesystem::temp_directory_path() / "qt_bench_print.pdf").string();
  PrinterChoice printers;
  printers.choose(kPdfPrinterName);
  for (int run = 0; run < 3; ++run) {
    QElapsedTimer t;
    t.start();
    QtPageDevice device(printers.make(false), "PDF", path);
    PrintOutcome o = printPages(ws, CellRange::of(0, 0, 4999, 7), device);
    double ms = t.nsecsElapsed() / 1e6;
    std::printf("PDF of 5000 rows through Qt: %.1f ms (%s, %ju bytes)\n", ms,
                o == PrintOutcome::Printed ? "printed" : "failed",
                static_cast<uintmax_t>(std::filesystem::file_size(path)));
  }
  std::filesystem::remove(path);
  return 0;
}
