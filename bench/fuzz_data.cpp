// libFuzzer target for the data and array commands: the input fills a
// block of cells (numbers, relation and pattern labels, criteria formulas,
// blanks) and then names commands with ranges over that block: queries,
// what-if tables, bins, regressions with term items taken from the input,
// goal seeks, sorts, fills and every array page including linear programs.
//   CXX=clang++ cmake -S . -B fuzz-build -DTALLOWAY_FUZZ=ON -DTALLOWAY_UI=OFF -DTALLOWAY_TESTS=OFF
//   cmake --build fuzz-build --target fuzz_data && fuzz-build/bench/fuzz_data -max_total_time=600
#include <cstdint>
#include <string>

#include "cli/headless_frame.h"
#include "core/cell_address.h"
#include "core/cell_entry.h"
#include "core/worksheet.h"
#include "macros/macro_interpreter.h"

namespace {

const char* const kTexts[] = {"'LE",       "'GE",   "'EQ",    "'MIN", "'a*",      "'~b?", "'...x",
                              "'x",        "+A2>3", "+B2",    "@ERR", "+A1*A1-2", "'",    "'NAME",
                              "+C1&\"s\"", "1E300", "-1E300", "0.5",  "@NA"};

std::string rangeText(uint8_t a, uint8_t b) {
  int r1 = a & 7, c1 = (a >> 3) & 7, r2 = b & 7, c2 = (b >> 3) & 7;
  return tw::AddressText(r1, c1, false, false, 0) + ".." + tw::AddressText(r2, c2, false, false, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 64 || size > 4096) return 0;
  static tw::HeadlessProgram* program = [] {
    auto* p = new tw::HeadlessProgram;
    p->frame.execute("FILENEW");
    return p;
  }();
  tw::Worksheet& ws = program->frame.active()->worksheet();
  program->frame.execute("BLANK", {tw::Arg::ofRange(tw::CellRange::of(0, 0, 80, 40))});
  ws.settings.protection = false;
  // The first 64 bytes fill A1..H8.
  for (int k = 0; k < 64; ++k) {
    uint8_t b = data[k];
    std::string text;
    if (b < 120)
      text = std::to_string(static_cast<int>(b) - 20);
    else if (b < 120 + sizeof(kTexts) / sizeof(*kTexts))
      text = kTexts[b - 120];
    else if (b < 200)
      continue;
    else
      text = std::to_string((b - 200) / 7.0);
    tw::EnterCell(ws, text, k / 8, k % 8);
  }
  static const char* const kCommands[] = {
      "DATAQUERY %,%,%",  "DATATABLE %,%,%",    "DATATABLE %,%",
      "DATABIN %,%",      "DATAREGRESS %,%,%",  "DATAMULREG %,%,%,\"$\"",
      "DATAGOAL %,%,#,#", "DATASORT %,%,1,%,0", "DATAFILL %,#,#,2,1",
      "MATADD %,%,%",     "MATSUB %,%,%",       "MATMLT %,%,%",
      "MATINV %,%",       "MATSLV %,%",         "MATDET %,%",
      "MATLIN %,%"};
  // Then commands, each from a few bytes; a term text runs to the next NUL.
  size_t at = 64;
  std::string macro;
  while (at + 8 <= size && macro.size() < 2000) {
    std::string pattern = kCommands[data[at] % (sizeof(kCommands) / sizeof(*kCommands))];
    size_t arg = at + 1;
    std::string line = "{";
    for (char c : pattern) {
      if (c == '%') {
        if (arg + 1 >= size) break;
        line += rangeText(data[arg], data[arg + 1]);
        arg += 2;
      } else if (c == '#') {
        if (arg >= size) break;
        line += std::to_string(static_cast<int>(data[arg++]) - 100);
      } else if (c == '$') {
        for (; arg < size && data[arg] && data[arg] != '"' && data[arg] != '}'; ++arg)
          line += static_cast<char>(data[arg]);
      } else {
        line += c;
      }
    }
    macro += line + "}";
    at = arg + 1;
  }
  program->macros.RunMacroText(macro);
  program->host.errors.clear();
  program->host.asked.clear();
  return 0;
}
