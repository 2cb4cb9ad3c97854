// Function library benchmarks.
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLOWAY_BENCH=ON
//   cmake --build build-bench --target bench_functions && build-bench/bench/bench_functions
#include <benchmark/benchmark.h>

#include <string>

#include "cli/headless_host.h"
#include "core/cell_address.h"
#include "core/cell_entry.h"
#include "core/evaluator.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/function_library.h"

namespace tw {
namespace {

struct Fixture {
  HeadlessHost host;
  Session session{host};
  bool ready = (installFunctionLibrary(session), true);
  Worksheet& ws = session.openWorksheet("BENCH.WKS");
  CellHandle formula = kNoCell;

  void enter(int row, int col, const std::string& text) { EnterCell(ws, text, row, col); }
  void formulaAt(int row, int col, const std::string& text) {
    enter(row, col, text);
    formula = ws.FindCell(row, col);
  }
  void run(benchmark::State& state, int64_t items) {
    Evaluator& ev = session.evaluator();
    for (auto _ : state) ev.EvaluateCell(ws, formula);
    state.SetItemsProcessed(state.iterations() * items);
  }
};

// @SUM over 10,000 cells (two columns of 5,000), per cell.
void BM_Sum10000(benchmark::State& state) {
  Fixture f;
  for (int r = 0; r < 5000; ++r) {
    EnterNumber(f.ws, r, 0, r);
    EnterNumber(f.ws, r, 1, r * 0.5);
  }
  f.formulaAt(0, 5, "@SUM(A1..B5000)");
  f.run(state, 10000);
}
BENCHMARK(BM_Sum10000)->Unit(benchmark::kMicrosecond);

// @VTABLE with the key at the end of an 8,000-row table.
void BM_Vtable8000(benchmark::State& state) {
  Fixture f;
  for (int r = 0; r < 8000; ++r) {
    EnterNumber(f.ws, r, 0, r);
    EnterNumber(f.ws, r, 1, r * 2);
  }
  f.formulaAt(0, 5, "@VTABLE(7999,A1..B8000,1)");
  f.run(state, 1);
}
BENCHMARK(BM_Vtable8000)->Unit(benchmark::kMicrosecond);

// @QSUM over 8,000 records, per record.
void BM_Qsum8000(benchmark::State& state) {
  Fixture f;
  for (int r = 0; r < 8000; ++r) {
    EnterNumber(f.ws, r, 0, r % 100);
    EnterNumber(f.ws, r, 1, r);
  }
  f.formulaAt(0, 5, "@QSUM(@X>50,A1..A8000,1)");
  f.run(state, 8000);
}
BENCHMARK(BM_Qsum8000)->Unit(benchmark::kMillisecond);

// @MEDIAN over 480,000 cells (60 columns of 8,000), per cell.
void BM_MedianLarge(benchmark::State& state) {
  Fixture f;
  f.ws.settings.manualRecalc = true;
  for (int c = 0; c < 60; ++c)
    for (int r = 0; r < 8000; ++r) EnterNumber(f.ws, r, c, (r * 7919 + c * 104729) % 100003);
  f.formulaAt(0, 100, "@MEDIAN(A1..BH8000)");
  f.run(state, 60 * 8000);
}
BENCHMARK(BM_MedianLarge)->Unit(benchmark::kMillisecond);

// @DET of the largest matrix it takes, 20 by 20.
void BM_Det20(benchmark::State& state) {
  Fixture f;
  for (int r = 0; r < 20; ++r)
    for (int c = 0; c < 20; ++c) EnterNumber(f.ws, r, c, r == c ? 20 + r : (r * 31 + c * 17) % 7);
  f.formulaAt(0, 25, "@DET(A1..T20)");
  f.run(state, 1);
}
BENCHMARK(BM_Det20)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
