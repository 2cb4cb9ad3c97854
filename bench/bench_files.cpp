// Saving and loading large worksheets: a million numbers, and a hundred
// thousand formulas (whose load includes linking and the recalculation).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/headless_host.h"
#include "core/cell_entry.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "files/worksheet_file.h"
#include "functions/function_library.h"

namespace {

using namespace tw;

std::string scratch(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("talloway-bench-" + std::to_string(getpid()) + "-" + name))
      .string();
}

struct Fixture {
  HeadlessHost host;
  Session session{host};
  Worksheet* ws = nullptr;
  std::string file;

  Fixture() {
    installFunctionLibrary(session);
    session.settings().backups = false;
  }
  ~Fixture() { std::filesystem::remove(file); }
};

// 4000 rows of 250 numbers.
Fixture& numbers() {
  static Fixture* f = [] {
    auto* fx = new Fixture;
    fx->ws = &fx->session.openWorksheet("NUMBERS.WKS");
    for (int row = 0; row < 4000; ++row)
      for (int col = 0; col < 250; ++col) {
        CellHandle h = fx->ws->GetOrCreateCell(row, col);
        Cell& c = fx->ws->cell(h);
        c.setType(CellType::Real);
        c.value.number = row * 0.5 + col;
      }
    fx->file = scratch("numbers.wk1");
    Save(*fx->ws, fx->file);
    return fx;
  }();
  return *f;
}

// 1000 rows: a number in column A, then 100 formulas each adding to its
// left neighbour and the row's first cell.
Fixture& formulas() {
  static Fixture* f = [] {
    auto* fx = new Fixture;
    fx->ws = &fx->session.openWorksheet("FORMULAS.WKS");
    fx->ws->settings.manualRecalc = true;
    for (int row = 0; row < 1000; ++row) {
      EnterCell(*fx->ws, std::to_string(row), row, 0);
      for (int col = 1; col <= 100; ++col) EnterCell(*fx->ws, "+A1+$A1*2", row, col);
    }
    fx->ws->settings.manualRecalc = false;
    RecalcAll(*fx->ws);
    fx->file = scratch("formulas.wk1");
    Save(*fx->ws, fx->file);
    return fx;
  }();
  return *f;
}

void save(benchmark::State& state, Fixture& f) {
  std::string out = f.file + ".out";
  for (auto _ : state) benchmark::DoNotOptimize(Save(*f.ws, out));
  std::filesystem::remove(out);
}

void load(benchmark::State& state, Fixture& f) {
  for (auto _ : state) {
    Worksheet& ws = f.session.openWorksheet("LOADED.WKS");
    benchmark::DoNotOptimize(Load(ws, f.file));
    state.PauseTiming();
    f.session.closeWorksheet(ws);
    state.ResumeTiming();
  }
}

void BM_SaveMillionNumbers(benchmark::State& state) {
  save(state, numbers());
}
void BM_LoadMillionNumbers(benchmark::State& state) {
  load(state, numbers());
}
void BM_SaveHundredThousandFormulas(benchmark::State& state) {
  save(state, formulas());
}
void BM_LoadHundredThousandFormulas(benchmark::State& state) {
  load(state, formulas());
}

BENCHMARK(BM_SaveMillionNumbers)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LoadMillionNumbers)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SaveHundredThousandFormulas)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LoadHundredThousandFormulas)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
