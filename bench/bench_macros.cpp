// Macro benchmarks: a loop of 10,000 {LET} iterations, and translating lines.
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLOWAY_BENCH=ON
//   cmake --build build-bench --target bench_macros && build-bench/bench/bench_macros
#include <benchmark/benchmark.h>

#include "cli/headless_frame.h"
#include "core/cell_address.h"
#include "core/worksheet.h"
#include "macros/macro_translate.h"

namespace tw {
namespace {

void BM_LetLoop10000(benchmark::State& state) {
  HeadlessProgram program;
  program.frame.execute("FILENEW");
  Worksheet& ws = program.frame.active()->worksheet();
  ws.names.DefineName("I", CellRange::cell(0, 2));
  for (auto _ : state) program.macros.RunMacroText("{FOR I,1,10000,1}{LET B1,B1+I}{NEXT}");
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_LetLoop10000)->Unit(benchmark::kMillisecond);

void BM_TranslateLine(benchmark::State& state) {
  TranslateContext cx;
  cx.isRangeName = [](std::string_view) { return false; };
  for (auto _ : state)
    benchmark::DoNotOptimize(
        TranslateMacroLine("{GOTO B2}Total~{LET B3,@SUM(B1..B2)}{DOWN 3}{RIGHT}", cx));
}
BENCHMARK(BM_TranslateLine);

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
