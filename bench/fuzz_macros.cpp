// libFuzzer target for macro text and the interpreter that runs it: the
// input (up to its first NUL) is run as a macro, and also written into cells
// and run from there, in a headless program with a few cells and names; what
// follows the NUL gives the scripted answers, one per line. Files are written
// only under a scratch directory.
//   CXX=clang++ cmake -S . -B fuzz-build -DTALLOWAY_FUZZ=ON -DTALLOWAY_UI=OFF -DTALLOWAY_TESTS=OFF
//   cmake --build fuzz-build --target fuzz_macros && fuzz-build/bench/fuzz_macros
//   -max_total_time=600
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "cli/headless_frame.h"
#include "core/cell_entry.h"
#include "core/worksheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = [] {
    std::string d = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                    "/fuzz_macros_" + std::to_string(getpid());
    mkdir(d.c_str(), 0700);
    if (chdir(d.c_str()) != 0) return std::string("/tmp");
    return d;
  }();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t nul = input.find('\0');
  std::string_view text = input.substr(0, nul);
  if (text.size() > 600) return 0;

  tw::HeadlessProgram program;
  program.session.settings().backups = false;
  // A macro that loops for ever is broken as a person would break it.
  int polls = 0;
  program.host.onPoll = [&] {
    if (++polls > 3000) program.macros.RequestBreak();
  };
  if (nul != std::string_view::npos) {
    std::string_view rest = input.substr(nul + 1);
    while (!rest.empty() && program.host.scripted.size() < 8) {
      size_t end = rest.find('\n');
      std::string answer(rest.substr(0, end));
      if (answer.find('/') != std::string::npos) answer = dir + "/f.wks";
      program.host.scripted.push_back(answer);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
  }
  program.frame.execute("FILENEW");
  tw::Worksheet& ws = program.frame.active()->worksheet();
  tw::EnterCell(ws, "3", 0, 0);
  tw::EnterCell(ws, "+A1*2", 1, 0);
  tw::EnterCell(ws, "'{LET A1,A1+1}{RETURN}", 0, 25);
  tw::EnterCell(ws, "'{BRANCH Z1}", 1, 25);
  ws.names.DefineName("SUB", tw::CellRange::cell(0, 25));
  ws.names.DefineName("I", tw::CellRange::cell(0, 2));
  ws.names.DefineName("LOOP", tw::CellRange::cell(1, 25));
  std::string macro(text);
  program.macros.RunMacroText(macro);
  // The same text in cells, a line each, run from its first, in whichever
  // worksheet the macro left active.
  if (!program.frame.active()) return 0;
  tw::Worksheet& now = program.frame.active()->worksheet();
  int row = 10;
  size_t start = 0;
  while (start <= macro.size() && row < 20) {
    size_t end = macro.find('\n', start);
    std::string line =
        macro.substr(start, end == std::string::npos ? std::string::npos : end - start);
    tw::EnterCell(now, "'" + line.substr(0, 230), row++, 24);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  program.session.error().clear();
  if (program.frame.active()) program.macros.RunMacroAt(10, 24);
  program.frame.closeAll(tw::CloseMode::DiscardUnasked);
  return 0;
}
