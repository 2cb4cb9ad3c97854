// Engine benchmarks: entry, undo, recalculation, evaluation, formats and listing.
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLOWAY_BENCH=ON
//   cmake --build build-bench --target bench_engine && build-bench/bench/bench_engine
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "cli/headless_host.h"
#include "core/cell_address.h"
#include "core/cell_entry.h"
#include "core/compiler.h"
#include "core/display_format.h"
#include "core/evaluator.h"
#include "core/formula_lister.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"
#include "functions/function_library.h"

namespace tw {
namespace {

struct Fixture {
  HeadlessHost host;
  Session session{host};
  bool ready = (installFunctionLibrary(session), true);
  Worksheet& ws = session.openWorksheet("BENCH.WKS");
};

// 200,000 formulas of the form +A1*2 spread over 25 columns, typed through cell entry.
void BM_EnterFormulas(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto f = std::make_unique<Fixture>();
    std::vector<std::pair<std::string, std::pair<int, int>>> entries;
    for (int i = 0; i < 200000; ++i) {
      int col = 1 + i % 25, row = (i / 25) % 8192;
      entries.push_back({"+" + AddressText(row, col - 1, false, false, 0) + "*2", {row, col}});
    }
    state.ResumeTiming();
    for (const auto& [text, at] : entries) EnterCell(f->ws, text, at.first, at.second);
    state.PauseTiming();
    f.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 200000);
}
BENCHMARK(BM_EnterFormulas)->Unit(benchmark::kMillisecond);

void BM_EnterNumbers(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto f = std::make_unique<Fixture>();
    state.ResumeTiming();
    for (int i = 0; i < 200000; ++i) EnterCell(f->ws, "1234.5", i % 8192, i / 8192);
    state.PauseTiming();
    f.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 200000);
}
BENCHMARK(BM_EnterNumbers)->Unit(benchmark::kMillisecond);

// A chain of n formulas, each the previous one plus 1, over the columns.
void buildChain(Fixture& f, int n) {
  f.ws.settings.manualRecalc = true;
  EnterCell(f.ws, "1", 0, 0);
  for (int i = 1; i < n; ++i) {
    int row = i % 8192, col = i / 8192;
    int prow = (i - 1) % 8192, pcol = (i - 1) / 8192;
    EnterCell(f.ws, "+" + AddressText(prow, pcol, false, false, 0) + "+1", row, col);
  }
}

void BM_UndoSnapshotAndRestore(benchmark::State& state) {
  Fixture f;
  for (int i = 0; i < 100000; ++i) {
    int row = i % 8192, col = i / 8192;
    if (i % 4 == 3)
      EnterCell(f.ws, "+" + AddressText((row + 1) % 8192, col, false, false, 0) + "*2", row, col);
    else
      EnterCell(f.ws, i % 2 ? "12.5" : "'label", row, col);
  }
  for (auto _ : state) {
    TakeUndoSnapshot(f.ws);
    f.ws.undo->restore(f.ws);
  }
  state.counters["cells"] = static_cast<double>(f.ws.pool().liveCells());
}
BENCHMARK(BM_UndoSnapshotAndRestore)->Unit(benchmark::kMillisecond);

void BM_RecalcAllChain(benchmark::State& state) {
  Fixture f;
  buildChain(f, 100000);
  for (auto _ : state) RecalcAll(f.ws);
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_RecalcAllChain)->Unit(benchmark::kMillisecond);

void BM_RecalcAllSums(benchmark::State& state) {
  Fixture f;
  f.ws.settings.manualRecalc = true;
  for (int r = 0; r < 1000; ++r)
    for (int c = 0; c < 10; ++c) EnterNumber(f.ws, r, c, r + c);
  for (int i = 0; i < 10000; ++i) {
    int row = i % 1000;
    EnterCell(f.ws, "@SUM(A" + std::to_string(row + 1) + "..J" + std::to_string(row + 1) + ")", row,
              10 + i / 1000);
  }
  for (auto _ : state) RecalcAll(f.ws);
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_RecalcAllSums)->Unit(benchmark::kMillisecond);

void BM_RecalcFromChainHead(benchmark::State& state) {
  Fixture f;
  buildChain(f, 10000);
  CellHandle head = f.ws.FindCell(0, 0);
  for (auto _ : state) RecalcFrom(f.ws, head);
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_RecalcFromChainHead)->Unit(benchmark::kMicrosecond);

void BM_RecalcFromOneDependent(benchmark::State& state) {
  Fixture f;
  EnterCell(f.ws, "1", 0, 0);
  EnterCell(f.ws, "+A1*2", 0, 1);
  CellHandle a1 = f.ws.FindCell(0, 0);
  for (auto _ : state) RecalcFrom(f.ws, a1);
}
BENCHMARK(BM_RecalcFromOneDependent);

void BM_EvaluateTextShort(benchmark::State& state) {
  Fixture f;
  EnterCell(f.ws, "3", 0, 0);
  for (auto _ : state)
    benchmark::DoNotOptimize(f.session.evaluator().EvaluateText(f.ws, "+A1*2+1"));
}
BENCHMARK(BM_EvaluateTextShort);

// A full screen: 60 rows by 20 columns of mixed formats.
void BM_FormatScreen(benchmark::State& state) {
  const uint8_t formats[] = {0x02, 0x12, 0x22, 0x2B, 0x31, 0x42,
                             0x52, 0x71, 0x72, 0x79, 0x77, 0x7C};
  FormatOptions options;
  std::vector<double> values;
  for (int i = 0; i < 1200; ++i) values.push_back((i - 600) * 123.456789 + i * 0.001);
  for (auto _ : state)
    for (int i = 0; i < 1200; ++i)
      benchmark::DoNotOptimize(FormatNumber(9, formats[i % 12], values[i], options));
  state.SetItemsProcessed(state.iterations() * 1200);
}
BENCHMARK(BM_FormatScreen)->Unit(benchmark::kMicrosecond);

void BM_ListFormula(benchmark::State& state) {
  Fixture f;
  const char* formulas[] = {"+A1*2", "@SUM(A1..B20,5)", "@IF(A1>=2,\"yes\",@ROUND(B2/3,2))",
                            "(A1+$B$2)*C$3-1.5E+20", "@PMT(A1,0.05/12,360)&\" per month\""};
  std::vector<FormulaCode> codes(5);
  for (int i = 0; i < 5; ++i) CompileFormula(f.ws, formulas[i], codes[i]);
  for (auto _ : state)
    for (const FormulaCode& c : codes) benchmark::DoNotOptimize(ListFormula(f.ws, c.bytes));
  state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_ListFormula);

void BM_MemoryPerRecord(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(sizeof(Cell));
  state.counters["bytes_per_cell"] = sizeof(Cell);
  state.counters["bytes_per_link"] = sizeof(DependentLink);
}
BENCHMARK(BM_MemoryPerRecord)->Iterations(1);

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
