// Block command benchmarks: COPY of one formula to 100,000 cells, MOVE of a
// 100,000-cell block, and a row inserted at row 1 of a 500,000-cell sheet.
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLOWAY_BENCH=ON
//   cmake --build build-bench --target bench_blocks && build-bench/bench/bench_blocks
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_sheet.h"
#include "cli/headless_frame.h"
#include "commands/block_commands.h"
#include "commands/insert_delete.h"
#include "core/cell_entry.h"
#include "core/worksheet.h"

namespace tw {
namespace {

struct Sheet : BenchSheet {
  Sheet() : BenchSheet(true) {}
};

// +A1*2 in B1, copied to B1..U5000 (each cell its own formula and links).
void BM_CopyFormulaTo100000Cells(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Sheet>();
    for (int r = 0; r < 5000; ++r) EnterNumber(*s->ws, r, 0, r);
    EnterCell(*s->ws, "+A1*2", 0, 1);
    CommandContext cx = s->context();
    state.ResumeTiming();
    CommandResult r = CopyOrMove(cx, false, CellRange::cell(0, 1), CellRange::of(0, 1, 4999, 20));
    state.PauseTiming();
    if (!r.ok || s->ws->FindCell(4999, 20) == kNoCell) state.SkipWithError("the copy did not run");
    s.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CopyFormulaTo100000Cells)->Unit(benchmark::kMillisecond)->Iterations(5);

// A block of 100,000 numbers and formulas (A1..T5000, every other column a
// formula on its left neighbour) moved 30 columns right.
void BM_Move100000CellBlock(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Sheet>();
    for (int r = 0; r < 5000; ++r)
      for (int c = 0; c < 20; c += 2) {
        EnterNumber(*s->ws, r, c, r + c);
        EnterCell(*s->ws, "+" + AddressText(r, c, false, false, 0) + "+1", r, c + 1);
      }
    CommandContext cx = s->context();
    state.ResumeTiming();
    CommandResult r = CopyOrMove(cx, true, CellRange::of(0, 0, 4999, 19), CellRange::cell(0, 30));
    state.PauseTiming();
    if (!r.ok || s->ws->FindCell(4999, 49) == kNoCell) state.SkipWithError("the move did not run");
    s.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Move100000CellBlock)->Unit(benchmark::kMillisecond)->Iterations(5);

// 500,000 cells (A1..BX8000 less a few) with a column of sums at the left.
void BM_InsertRowAtTopOf500000Cells(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Sheet>();
    for (int r = 0; r < 8000; ++r) {
      EnterCell(*s->ws, "@SUM(B" + std::to_string(r + 1) + "..BK" + std::to_string(r + 1) + ")", r,
                0);
      for (int c = 1; c < 63; ++c) EnterNumber(*s->ws, r, c, c);
    }
    CommandContext cx = s->context();
    state.ResumeTiming();
    InsertDelete(cx, kOpRows | kOpInsert, CellRange::cell(0, 0), false);
    state.PauseTiming();
    s.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_InsertRowAtTopOf500000Cells)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
