// libFuzzer target for the print settings given as text: the items of the
// margin and option commands, header and footer texts with their codes, and
// the layout that follows from whatever they set, down to a drawn page and
// the text form. Input: four texts separated by newlines (margins, options,
// header, footer), then bytes that set the border ranges and the range.
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/headless_host.h"
#include "core/cell_entry.h"
#include "core/recording_canvas.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/function_library.h"
#include "print/page_painter.h"
#include "print/print_commands.h"
#include "print/print_job.h"
#include "print/recording_device.h"

namespace {

std::string_view nextLine(std::string_view& in) {
  size_t nl = in.find('\n');
  std::string_view line = in.substr(0, nl);
  in = nl == std::string_view::npos ? std::string_view() : in.substr(nl + 1);
  return line;
}

tw::CellRange rangeOf(std::string_view& in) {
  if (in.size() < 4) return tw::kEmptyRange;
  auto b = reinterpret_cast<const uint8_t*>(in.data());
  tw::CellRange r = tw::CellRange::of(b[0] % 64, b[1] % 12, b[2] % 64, b[3] % 12);
  in.remove_prefix(4);
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tw::HeadlessHost host;
  static tw::Session session(host);
  static tw::Worksheet* ws = [] {
    tw::installFunctionLibrary(session);
    tw::Worksheet& w = session.openWorksheet("FUZZ.WKS");
    for (int r = 0; r < 64; ++r)
      for (int c = 0; c < 12; ++c)
        tw::EnterCell(w, (r * 7 + c) % 5 == 0 ? "'|::" : "'cell " + std::to_string(r * c), r, c);
    tw::EnterCell(w, "|hidden", 5, 0);
    return &w;
  }();
  ws->settings = session.settings().worksheetDefaults;
  std::string_view in(reinterpret_cast<const char*>(data), size);
  tw::applyMarginItems(ws->settings, nextLine(in), '.');
  tw::applyOptionItems(ws->settings.print, nextLine(in), '.');
  ws->settings.printHeader = std::string(nextLine(in)).substr(0, 240);
  ws->settings.printFooter = std::string(nextLine(in)).substr(0, 240);
  ws->settings.print.borderRows = rangeOf(in);
  ws->settings.print.borderColumns = rangeOf(in);
  tw::CellRange range = rangeOf(in);
  if (!range.valid()) range = tw::CellRange::of(0, 0, 63, 11);
  tw::PageMetrics m{72 + static_cast<int>(size % 600), 72 + static_cast<int>(size % 300),
                    200 + static_cast<int>(size * 37 % 5000),
                    200 + static_cast<int>(size * 53 % 7000)};
  tw::Pagination p = tw::Paginate(*ws, range, tw::PageLayout(m, *ws));
  if (!p.pages.empty() && p.pages.size() < 5000) {
    tw::RecordingCanvas canvas;
    tw::paintPrintedPage(canvas, *ws, p.geometry, p.pages.back(), tw::pageFactsNow(*ws, 7));
  }
  (void)tw::rangeAsText(*ws, range);
  (void)tw::expandPageCodes(ws->settings.printHeader, tw::PageFacts{3, "^D#", "^T@", "^F^P"});
  return 0;
}
