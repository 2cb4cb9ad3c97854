// libFuzzer target for keystroke texts and the frame they drive: the input
// is read as --keys text (what follows the first NUL byte gives the scripted
// answers, one per line) and typed into a headless program with a few cells,
// so that entry, pointing, prompts, menus and the commands they reach all
// meet strange sequences. Files are written only under a scratch directory.
//   CXX=clang++ cmake -S . -B fuzz-build -DTALLOWAY_FUZZ=ON -DTALLOWAY_UI=OFF -DTALLOWAY_TESTS=OFF
//   cmake --build fuzz-build --target fuzz_keys && fuzz-build/bench/fuzz_keys -max_total_time=600
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "cli/headless_frame.h"
#include "core/cell_entry.h"
#include "core/worksheet.h"
#include "shell/key_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = [] {
    std::string d = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                    "/fuzz_keys_" + std::to_string(getpid());
    mkdir(d.c_str(), 0700);
    if (chdir(d.c_str()) != 0) return std::string("/tmp");
    return d;
  }();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t nul = input.find('\0');
  std::string_view keys = input.substr(0, nul);
  if (keys.size() > 400) return 0;  // long inputs only repeat what short ones reach

  tw::HeadlessProgram program;
  program.session.settings().backups = false;
  if (nul != std::string_view::npos) {
    std::string_view rest = input.substr(nul + 1);
    while (!rest.empty() && program.host.scripted.size() < 8) {
      size_t end = rest.find('\n');
      std::string answer(rest.substr(0, end));
      // Files the answers name stay in the scratch directory.
      if (answer.find('/') != std::string::npos) answer = dir + "/f.wks";
      program.host.scripted.push_back(answer);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
  }
  program.frame.execute("FILENEW");
  tw::Worksheet& ws = program.frame.active()->worksheet();
  tw::EnterCell(ws, "12", 0, 0);
  tw::EnterCell(ws, "+A1*2", 1, 0);
  tw::EnterCell(ws, "'label", 0, 1);
  ws.names.DefineName("NAMED", tw::CellRange::of(0, 0, 1, 1));
  tw::KeyText text = tw::parseKeyText(keys);
  program.type(text.keys);
  program.frame.closeAll(tw::CloseMode::DiscardUnasked);
  return 0;
}
