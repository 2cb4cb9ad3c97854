// libFuzzer target for the line splitter of Parse and the text import: the
// input is one line (its first byte picks the separator), taken from UTF-8
// when it reads as such, split into fields and entered into a row of
// cells; every field must be entered and no cell may be blank afterwards.
//   CXX=clang++ cmake -S . -B fuzz-build -DTALLOWAY_FUZZ=ON -DTALLOWAY_UI=OFF -DTALLOWAY_TESTS=OFF
//   cmake --build fuzz-build --target fuzz_parse && fuzz-build/bench/fuzz_parse -max_total_time=600
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/headless_frame.h"
#include "commands/parse_commands.h"
#include "core/cell.h"
#include "core/charset.h"
#include "core/worksheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4096) return 0;
  static tw::HeadlessProgram* program = [] {
    auto* p = new tw::HeadlessProgram;
    p->frame.execute("FILENEW");
    return p;
  }();
  tw::Worksheet& ws = program->frame.active()->worksheet();
  program->frame.execute("BLANK", {tw::Arg::ofRange(tw::CellRange::of(0, 0, 2, 255))});
  char separator = (data[0] & 1) ? '.' : ',';
  std::string line(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (tw::looksLikeUtf8(line)) {
    line = tw::utf8ToWindows1252(line);
    if (line.size() > size) abort();  // never longer than what it came from
  }
  std::vector<tw::ParsedField> fields = tw::SplitLine(line, separator);
  int col = data[0] % 200;
  int written = tw::SplitLineIntoCells(ws, line, 1, col, separator);
  if (written != static_cast<int>(std::min<size_t>(fields.size(), tw::kColumns - col))) abort();
  for (int c = col; c < col + written; ++c) {
    tw::CellHandle h = ws.FindCell(1, c);
    if (h == tw::kNoCell || ws.cell(h).type() == tw::CellType::Blank) abort();
  }
  program->host.errors.clear();
  return 0;
}
