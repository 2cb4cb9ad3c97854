// Printing benchmarks of the engine (built with -DTALLOWAY_BENCH=ON):
//   cmake --build build-bench --target bench_print && build-bench/bench/bench_print
// Lays out and writes a PDF of a 5,000-row range of eight columns (numbers
// in several formats and labels), about 110 pages, with the program's own
// writer; and writes the same range as a text file. The desktop's PDF
// through Qt is timed by qt_bench_print.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "cli/headless_host.h"
#include "core/cell_entry.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/function_library.h"
#include "print/pdf_device.h"
#include "print/print_job.h"

namespace {

using namespace tw;

struct Sheet {
  HeadlessHost host;
  Session session{host};
  Worksheet* ws;
  Sheet() {
    installFunctionLibrary(session);
    ws = &session.openWorksheet("PRINT.WKS");
    const uint8_t formats[] = {0x02, 0x22, 0x31, 0x42, 0x71, 0x79, 0x12};
    for (int r = 0; r < 5000; ++r)
      for (int c = 0; c < 8; ++c) {
        if (c == 0) {
          EnterCell(*ws, "'Line " + std::to_string(r + 1) + " of the report", r, c);
        } else {
          EnterCell(*ws, std::to_string((r - 2500) * 12.345 + c), r, c);
          ws->cellAt(r, c)->format = formats[(r + c) % 7];
        }
      }
    ws->settings.printHeader = "Report|^F|Page #";
    ws->settings.print.grid = true;
  }
};

void BM_PdfOf5000Rows(benchmark::State& state) {
  Sheet s;
  std::string path = (std::filesystem::temp_directory_path() / "bench_print.pdf").string();
  int pages = 0;
  for (auto _ : state) {
    PdfDevice device(path, PaperSize::Letter, false);
    benchmark::DoNotOptimize(printPages(*s.ws, CellRange::of(0, 0, 4999, 7), device));
    pages = static_cast<int>(std::filesystem::file_size(path));
  }
  state.counters["bytes"] = pages;
  std::filesystem::remove(path);
}
BENCHMARK(BM_PdfOf5000Rows)->Unit(benchmark::kMillisecond);

void BM_TextOf5000Rows(benchmark::State& state) {
  Sheet s;
  for (auto _ : state) benchmark::DoNotOptimize(rangeAsText(*s.ws, CellRange::of(0, 0, 4999, 7)));
}
BENCHMARK(BM_TextOf5000Rows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
