// libFuzzer target for dBase tables: each input is written to a file, its
// summary read, imported into a worksheet (all of it, and a record range at
// another cell), exported again, and the export read back and imported: the
// writer must always make a table the reader takes, and a second round of
// export and import must write the same bytes as the first.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "cli/headless_host.h"
#include "commands/dbase_commands.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/function_library.h"

namespace {

std::string scratch(const char* suffix) {
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(dir) + "/talloway-fuzz-" + std::to_string(getpid()) + suffix;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string input = scratch(".DBF");
  static const std::string output = scratch("-out.DBF");
  {
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  tw::HeadlessHost host;
  tw::Session session(host);
  tw::installFunctionLibrary(session);
  tw::Worksheet& ws = session.openWorksheet("FUZZ.WKS");
  tw::CommandContext cx{session, &ws};

  auto summary = tw::DbaseFileSummary(input);
  tw::CommandResult all = tw::ImportDbase(cx, input, 0, 0, 1, 0);
  const bool unreadable =
      !all.ok && !host.errors.empty() && host.errors.front() == tw::kDbaseReadMessage;
  if (summary.has_value() == unreadable) std::abort();  // the summary and the import disagree
  // A range of records near the sheet's corner, so both ends are met.
  tw::ImportDbase(cx, input, 8180, 250, 2, 15);
  if (!all.ok || !summary) return 0;

  const int fields = std::min(summary->fields, tw::kColumns);
  const int rows = static_cast<int>(std::min<long>(summary->records, 40));
  tw::CellRange range = tw::CellRange::of(0, 0, rows, std::max(fields - 1, 0));
  if (!tw::ExportDbase(cx, output, range).ok) std::abort();
  auto again = tw::DbaseFileSummary(output);
  if (!again || again->fields != fields || again->records != rows) std::abort();
  // What an export writes is what the next round writes again, once the
  // first has brought the cells to the field's forms (the date bytes aside).
  auto reexport = [&](const std::string& from, const char* name, const std::string& to) {
    tw::Worksheet& sheet = session.openWorksheet(name);
    tw::CommandContext sx{session, &sheet};
    if (!tw::ImportDbase(sx, from, 0, 0, 1, 0).ok) std::abort();
    if (!tw::ExportDbase(sx, to, range).ok) std::abort();
    std::ifstream in(to, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes.size() > 4 ? bytes.substr(4) : bytes;
  };
  static const std::string second = scratch("-2.DBF");
  static const std::string third = scratch("-3.DBF");
  if (reexport(output, "TWO.WKS", second) != reexport(second, "THREE.WKS", third)) std::abort();
  return 0;
}
