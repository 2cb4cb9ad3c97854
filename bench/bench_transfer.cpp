// Transfer and text tool benchmarks: importing an 8,000-line text file of
// ten values each, exporting it again as comma text, and Replace All over
// 100,000 cells.
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLOWAY_BENCH=ON
//   cmake --build build-bench --target bench_transfer && build-bench/bench/bench_transfer
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_sheet.h"
#include "cli/headless_frame.h"
#include "commands/find_replace.h"
#include "commands/transfer_commands.h"
#include "core/cell_entry.h"
#include "core/worksheet.h"

namespace tw {
namespace {

struct Sheet : BenchSheet {
  Sheet() : BenchSheet(false) {}
};

std::string valuesFile() {
  static const std::string path = [] {
    std::string p = (std::filesystem::temp_directory_path() / "tw_bench_values.prn").string();
    std::ofstream out(p, std::ios::binary);
    for (int r = 0; r < 8000; ++r) {
      for (int c = 0; c < 10; ++c) out << (c ? " " : "") << (r * 10 + c) * 0.25;
      out << "\r\n";
    }
    return p;
  }();
  return path;
}

void BM_ImportText8000Lines10Values(benchmark::State& state) {
  const std::string file = valuesFile();
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Sheet>();
    CommandContext cx = s->context();
    state.ResumeTiming();
    bool ok = ImportText(cx, file, 0, 0, TextImport::Values).ok;
    state.PauseTiming();
    ok = ok && s->ws->FindCell(7999, 9) != kNoCell;
    s.reset();
    state.ResumeTiming();
    if (!ok) {
      state.SkipWithError("the import did not run");
      break;
    }
  }
}
BENCHMARK(BM_ImportText8000Lines10Values)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ExportComma80000Cells(benchmark::State& state) {
  auto s = std::make_unique<Sheet>();
  CommandContext cx = s->context();
  ImportText(cx, valuesFile(), 0, 0, TextImport::Values);
  const std::string out = (std::filesystem::temp_directory_path() / "tw_bench_export.prn").string();
  for (auto _ : state)
    if (!ExportText(cx, out, CellRange::of(0, 0, 7999, 9), false).ok) {
      state.SkipWithError("the export did not run");
      break;
    }
}
BENCHMARK(BM_ExportComma80000Cells)->Unit(benchmark::kMillisecond)->Iterations(10);

// 100,000 labels (A1..T5000), every other one holding the text replaced.
void BM_ReplaceAll100000Cells(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Sheet>();
    s->program.session.bulkUpdate = true;
    for (int r = 0; r < 5000; ++r)
      for (int c = 0; c < 20; ++c) EnterCell(*s->ws, (r + c) % 2 ? "'old text" : "'other", r, c);
    s->program.session.bulkUpdate = false;
    FindReplace f;
    f.setSearch("old");
    f.setReplacement("new");
    f.setScope(true, kEmptyRange);
    state.ResumeTiming();
    int n = f.ReplaceAll(*s->ws);
    state.PauseTiming();
    s.reset();
    state.ResumeTiming();
    if (n != 50000) {
      state.SkipWithError("not every cell was replaced");
      break;
    }
  }
}
BENCHMARK(BM_ReplaceAll100000Cells)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
