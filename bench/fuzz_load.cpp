// libFuzzer target for the worksheet file reader: each input is written to
// a file and read in every load mode, its print settings laid out and its
// first page drawn, then saved and read back, so that the writer also meets
// whatever state a strange file leaves behind.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "cli/headless_host.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "files/worksheet_file.h"
#include "functions/function_library.h"
#include "print/page_painter.h"
#include "print/print_job.h"
#include "print/recording_device.h"

namespace {

std::string scratch(const char* suffix) {
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(dir) + "/talloway-fuzz-" + std::to_string(getpid()) + suffix;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string input = scratch(".WK1");
  static const std::string output = scratch("-out.WK1");
  {
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  tw::HeadlessHost host;
  tw::Session session(host);
  tw::installFunctionLibrary(session);
  session.settings().backups = false;
  tw::Worksheet& ws = session.openWorksheet("FUZZ.WKS");
  tw::Load(ws, input);

  tw::Worksheet& other = session.openWorksheet("OTHER.WKS");
  tw::LoadOptions merge;
  merge.mode = tw::LoadMode::Combine;
  merge.destinationRow = 3;
  merge.destinationColumn = 2;
  tw::Load(other, input, merge);
  merge.arithmetic = tw::CombineArithmetic::Subtract;
  merge.source = "A1..C9";
  tw::Load(other, input, merge);

  session.links().request(input, 0, 0);
  session.links().request(input, 2, 1);
  tw::loadLinkedFiles(session);

  std::vector<std::string> names;
  tw::ListNames(ws, input, names);

  // The print settings a file brings are laid out and the first page drawn.
  {
    tw::RecordingPageDevice device(tw::RecordingPageDevice::letterAt(300));
    tw::CellRange all = tw::printedRange(ws, true);
    tw::Pagination p = tw::Paginate(ws, all, tw::PageLayout(device.metrics(), ws));
    if (!p.pages.empty()) {
      tw::RecordingCanvas canvas;
      tw::paintPrintedPage(canvas, ws, p.geometry, p.pages.front(), tw::pageFactsNow(ws, 1));
    }
    tw::CellRange top = all;
    top.row2 = static_cast<int16_t>(std::min<int>(top.row2, top.row1 + 40));
    (void)tw::rangeAsText(ws, top);
  }

  if (tw::Save(ws, output)) {
    tw::Worksheet& again = session.openWorksheet("AGAIN.WKS");
    tw::Load(again, output);
  }
  return 0;
}
