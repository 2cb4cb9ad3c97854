// Data command benchmarks: a sort of 8,000 rows on two keys, a fill of
// 100,000 cells, the inverse of a 30x30 matrix, a 20-variable linear
// program and a query over 8,000 records.
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLOWAY_BENCH=ON
//   cmake --build build-bench --target bench_data && build-bench/bench/bench_data
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_sheet.h"
#include "cli/headless_frame.h"
#include "commands/data_commands.h"
#include "commands/matrix_commands.h"
#include "commands/query_commands.h"
#include "core/cell_entry.h"
#include "core/worksheet.h"

namespace tw {
namespace {

struct Sheet : BenchSheet {
  Sheet() : BenchSheet(true) {}
};

uint32_t nextRandom(uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return seed >> 8;
}

// Timed around setup made afresh for each run.
template <class Setup, class Run>
void timed(benchmark::State& state, Setup setup, Run run) {
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Sheet>();
    setup(*s);
    CommandContext cx = s->context();
    state.ResumeTiming();
    bool ok = run(*s, cx);
    state.PauseTiming();
    s.reset();
    state.ResumeTiming();
    if (!ok) {
      state.SkipWithError("the command did not run");
      break;
    }
  }
}

// 8,000 rows of a label key with 26 values, a number key and a third
// column, sorted on the label ascending, then the number descending.
void BM_Sort8000RowsTwoKeys(benchmark::State& state) {
  timed(
      state,
      [](Sheet& s) {
        uint32_t seed = 7;
        for (int r = 0; r < 8000; ++r) {
          EnterCell(*s.ws, std::string("'") + static_cast<char>('a' + nextRandom(seed) % 26), r, 0);
          EnterNumber(*s.ws, r, 1, nextRandom(seed) % 1000);
          EnterNumber(*s.ws, r, 2, r);
        }
        WorksheetSettings& w = s.ws->settings;
        w.ranges[kSortData] = CellRange::of(0, 0, 7999, 2);
        w.ranges[kSortKey1] = CellRange::cell(0, 0);
        w.ranges[kSortKey2] = CellRange::cell(0, 1);
        w.sortOrder[0] = 1;
        w.sortOrder[1] = 0;
      },
      [](Sheet&, CommandContext& cx) { return SortRange(cx).ok; });
}
BENCHMARK(BM_Sort8000RowsTwoKeys)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_Fill100000Cells(benchmark::State& state) {
  timed(
      state, [](Sheet&) {},
      [](Sheet& s, CommandContext& cx) {
        return FillRange(cx, CellRange::of(0, 0, 4999, 19), FillType::Linear, true, 1, 1).ok &&
               s.ws->FindCell(4999, 19) != kNoCell;
      });
}
BENCHMARK(BM_Fill100000Cells)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_Invert30x30(benchmark::State& state) {
  timed(
      state,
      [](Sheet& s) {
        uint32_t seed = 3;
        for (int r = 0; r < 30; ++r)
          for (int c = 0; c < 30; ++c)
            EnterNumber(*s.ws, r, c,
                        (r == c ? 40 : 0) + static_cast<double>(nextRandom(seed) % 100) / 10);
      },
      [](Sheet& s, CommandContext& cx) {
        return ArrayCommand(cx, ArrayPage::Invert, CellRange::of(0, 0, 29, 29), kEmptyRange,
                            CellRange::cell(0, 40))
                   .ok &&
               s.ws->FindCell(29, 69) != kNoCell;
      });
}
BENCHMARK(BM_Invert30x30)->Unit(benchmark::kMillisecond)->Iterations(20);

// Maximise the sum of c_j x_j under 20 "LE" rows of positive coefficients.
void BM_LinearProgram20Variables(benchmark::State& state) {
  timed(
      state,
      [](Sheet& s) {
        uint32_t seed = 11;
        for (int r = 0; r < 20; ++r) {
          for (int c = 0; c < 20; ++c) EnterNumber(*s.ws, r, c, 1 + nextRandom(seed) % 9);
          EnterCell(*s.ws, "'LE", r, 20);
          EnterNumber(*s.ws, r, 21, 100 + nextRandom(seed) % 100);
        }
        for (int c = 0; c < 20; ++c) EnterNumber(*s.ws, 20, c, 1 + nextRandom(seed) % 20);
        EnterCell(*s.ws, "'MAX", 20, 21);
      },
      [](Sheet& s, CommandContext& cx) {
        return ArrayCommand(cx, ArrayPage::Linear, CellRange::of(0, 0, 20, 21), kEmptyRange,
                            CellRange::cell(0, 30))
                   .ok &&
               s.ws->FindCell(0, 31) != kNoCell;
      });
}
BENCHMARK(BM_LinearProgram20Variables)->Unit(benchmark::kMillisecond)->Iterations(20);

// 8,000 records of NAME, AMOUNT, CITY; the records of one city with an
// amount over 500 (a formula criterion beside a label one) extracted.
void BM_QueryExtract8000Records(benchmark::State& state) {
  timed(
      state,
      [](Sheet& s) {
        Worksheet& ws = *s.ws;
        EnterCell(ws, "NAME", 0, 0);
        EnterCell(ws, "AMOUNT", 0, 1);
        EnterCell(ws, "CITY", 0, 2);
        uint32_t seed = 5;
        const char* cities[] = {"'Leeds", "'York", "'Hull", "'Bath"};
        for (int r = 1; r <= 8000; ++r) {
          EnterCell(ws, "'name" + std::to_string(r), r, 0);
          EnterNumber(ws, r, 1, nextRandom(seed) % 1000);
          EnterCell(ws, cities[nextRandom(seed) % 4], r, 2);
        }
        EnterCell(ws, "CITY", 0, 5);
        EnterCell(ws, "AMOUNT", 0, 6);
        EnterCell(ws, "'York", 1, 5);
        EnterCell(ws, "+B2>500", 1, 6);
        EnterCell(ws, "NAME", 0, 8);
        EnterCell(ws, "AMOUNT", 0, 9);
      },
      [](Sheet& s, CommandContext& cx) {
        return QueryExtract(cx, CellRange::of(0, 0, 8000, 2), CellRange::of(0, 5, 1, 6),
                            CellRange::of(0, 8, 0, 9), QueryMode::Extract)
                   .ok &&
               s.ws->FindCell(1, 8) != kNoCell;
      });
}
BENCHMARK(BM_QueryExtract8000Records)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace tw

BENCHMARK_MAIN();
