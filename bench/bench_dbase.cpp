// dBase benchmarks: importing a table of 8,000 records of 10 fields
// (characters, numbers with and without decimals, dates and logicals, one
// record in twenty deleted) into a new worksheet, and exporting it again.
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLOWAY_BENCH=ON
//   cmake --build build-bench --target bench_dbase && build-bench/bench/bench_dbase
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench_sheet.h"
#include "cli/headless_frame.h"
#include "commands/dbase_commands.h"
#include "core/worksheet.h"
#include "files/dbase_file.h"

namespace tw {
namespace {

constexpr int kRecords = 8000;

std::string scratch(const char* name) {
  return "/tmp/talloway-bench-" + std::to_string(getpid()) + name;
}

// The table, written once by the program's own writer.
const std::string& tablePath() {
  static const std::string path = [] {
    std::vector<DbaseField> fields = {
        {"NAME", 'C', 20},   {"CITY", 'C', 15},      {"AMOUNT", 'N', 12, 2}, {"COUNT", 'N', 6},
        {"RATE", 'N', 8, 4}, {"OPENED", 'D', 8},     {"CLOSED", 'D', 8},     {"ACTIVE", 'L', 1},
        {"CODE", 'C', 4},    {"BALANCE", 'N', 14, 2}};
    DbaseWriter w(fields, DbaseDate{2024, 5, 17});
    uint32_t seed = 7;
    auto next = [&] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    char buffer[64];
    for (int i = 0; i < kRecords; ++i) {
      std::vector<std::string> v;
      std::snprintf(buffer, sizeof buffer, "Customer %d", i);
      v.push_back(buffer);
      v.push_back(i % 3 ? "Springfield" : "Shelbyville");
      std::snprintf(buffer, sizeof buffer, "%12.2f", (next() % 10000000) / 100.0 - 20000);
      v.push_back(buffer);
      std::snprintf(buffer, sizeof buffer, "%6u", next() % 100000);
      v.push_back(buffer);
      std::snprintf(buffer, sizeof buffer, "%8.4f", (next() % 100000) / 10000.0);
      v.push_back(buffer);
      std::snprintf(buffer, sizeof buffer, "%04u%02u%02u", 1990 + next() % 30, 1 + next() % 12,
                    1 + next() % 28);
      v.push_back(buffer);
      v.push_back(i % 4 ? std::string(buffer) : std::string());
      v.push_back(i % 2 ? "T" : "F");
      std::snprintf(buffer, sizeof buffer, "X%d", i % 100);
      v.push_back(buffer);
      std::snprintf(buffer, sizeof buffer, "%14.2f", (next() % 100000000) / 100.0);
      v.push_back(buffer);
      w.addRecord(v);
    }
    std::string bytes = w.finish();
    // One record in twenty deleted.
    DbaseHeader h;
    if (ParseDbaseHeader(bytes, bytes.size(), h))
      for (size_t i = 0; i < kRecords; i += 20) bytes[h.headerLength + i * h.recordLength] = '*';
    std::string p = scratch(".DBF");
    if (FILE* f = std::fopen(p.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return p;
  }();
  return path;
}

struct Sheet : BenchSheet {
  Sheet() : BenchSheet(false) {}
};

void BM_Import8000RecordsOf10Fields(benchmark::State& state) {
  const std::string& path = tablePath();
  for (auto _ : state) {
    state.PauseTiming();
    auto s = std::make_unique<Sheet>();
    CommandContext cx = s->context();
    state.ResumeTiming();
    CommandResult r = ImportDbase(cx, path, 0, 0, 1, 0);
    state.PauseTiming();
    if (!r.ok || s->ws->FindCell(kRecords - kRecords / 20, 0) == kNoCell ||
        s->ws->FindCell(kRecords - kRecords / 20 + 1, 0) != kNoCell)
      state.SkipWithError("the import did not run");
    s.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Import8000RecordsOf10Fields)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_Export7600RecordsOf10Fields(benchmark::State& state) {
  auto s = std::make_unique<Sheet>();
  CommandContext cx = s->context();
  if (!ImportDbase(cx, tablePath(), 0, 0, 1, 0).ok) state.SkipWithError("no table");
  const std::string out = scratch("-out.DBF");
  for (auto _ : state) {
    CommandResult r = ExportDbase(cx, out, CellRange::of(0, 0, kRecords - kRecords / 20, 9));
    if (!r.ok) state.SkipWithError("the export did not run");
  }
  std::remove(out.c_str());
}
BENCHMARK(BM_Export7600RecordsOf10Fields)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace tw

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove(tw::tablePath().c_str());
  return 0;
}
