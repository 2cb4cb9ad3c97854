// libFuzzer target for pasting: the input is put on the clipboard, as the
// program's own form when its first byte is odd and as plain text from
// another program otherwise, and pasted into a worksheet with a few cells,
// names and a protected corner; then the pasted block is copied again.
//   CXX=clang++ cmake -S . -B fuzz-build -DTALLOWAY_FUZZ=ON -DTALLOWAY_UI=OFF -DTALLOWAY_TESTS=OFF
//   cmake --build fuzz-build --target fuzz_paste && fuzz-build/bench/fuzz_paste -max_total_time=600
#include <cstdint>
#include <string>

#include "cli/headless_frame.h"
#include "commands/clipboard_commands.h"
#include "core/cell_entry.h"
#include "core/worksheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 70000) return 0;
  static tw::HeadlessProgram* program = [] {
    auto* p = new tw::HeadlessProgram;
    p->frame.execute("FILENEW");
    return p;
  }();
  tw::Worksheet& ws = program->frame.active()->worksheet();
  program->frame.execute("BLANK", {tw::Arg::ofRange(tw::CellRange::of(0, 0, 60, 30))});
  tw::EnterCell(ws, "5", 0, 0);
  tw::EnterCell(ws, "@SUM(A1..C9)", 10, 0);
  ws.names.DefineName("BLOCK", tw::CellRange::of(0, 0, 3, 3));
  ws.settings.protection = (data[0] & 2) != 0;
  tw::ClipboardData clip;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    clip.hasPrivate = true;
    clip.privateForm = text;
  } else {
    clip.hasText = true;
    clip.text = text;
  }
  program->host.clipboardData = clip;
  int row = (data[0] >> 2) & 7, col = (data[0] >> 5) & 7;
  program->frame.execute("EDITPASTE", {tw::Arg::ofRange(tw::CellRange::cell(row, col))});
  program->frame.execute("EDITCOPY", {tw::Arg::ofRange(tw::CellRange::of(0, 0, 20, 20))});
  program->session.error().clear();
  ws.settings.protection = false;
  program->host.errors.clear();
  return 0;
}
