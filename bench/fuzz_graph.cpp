// libFuzzer target for graph settings as files and macros give them: the
// bytes of a graph record (the Lotus part and the program's own part) are
// decoded, written back and decoded again to the same definition, then
// drawn over a small sheet; the scale and option items of the macro
// keywords are applied on the way. Input: 437 + 385 record bytes, then two
// lines of items.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "cli/headless_host.h"
#include "core/cell_entry.h"
#include "core/recording_canvas.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "functions/function_library.h"
#include "graphs/graph_commands.h"
#include "graphs/graph_definition.h"
#include "graphs/graph_draw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tw::HeadlessHost host;
  static tw::Session session(host);
  static tw::Worksheet* ws = [] {
    tw::installFunctionLibrary(session);
    tw::Worksheet& w = session.openWorksheet("FUZZ.WKS");
    for (int r = 0; r < 12; ++r)
      for (int c = 0; c < 8; ++c)
        tw::EnterCell(
            w, c == 0 ? "'L" + std::to_string(r) : std::to_string((r - 5) * (c + 1) * 1.5), r, c);
    tw::EnterCell(w, "'text", 3, 3);
    return &w;
  }();
  tw::GraphRecord record;
  size_t lotus = std::min(size, tw::kGraphBytes);
  std::memcpy(record.lotus.data(), data, lotus);
  size_t ext =
      size > tw::kGraphBytes ? std::min(size - tw::kGraphBytes, tw::kGraphExtensionBytes) : 0;
  if (ext) std::memcpy(record.extension.data(), data + tw::kGraphBytes, ext);
  tw::GraphDefinition g = tw::decodeGraph(record, session.settings());
  tw::GraphRecord again = record;
  tw::encodeGraph(g, again);
  tw::GraphDefinition back = tw::decodeGraph(again, session.settings());
  if (!(back == g)) __builtin_trap();  // what is written reads back the same

  std::string_view rest;
  if (size > tw::kGraphBytes + tw::kGraphExtensionBytes)
    rest = std::string_view(
        reinterpret_cast<const char*>(data) + tw::kGraphBytes + tw::kGraphExtensionBytes,
        size - tw::kGraphBytes - tw::kGraphExtensionBytes);
  size_t nl = rest.find('\n');
  tw::applyScaleItems(g.y, rest.substr(0, nl), '.');
  if (nl != std::string_view::npos)
    tw::applyOptionItems(g, static_cast<int>(size % 8), rest.substr(nl + 1), '.');
  // Keep the drawing to the sheet's cells so that every run stays quick.
  for (auto& r : g.ranges)
    if (r.valid()) r = tw::CellRange::of(r.row1 % 12, r.col1 % 8, r.row2 % 12, r.col2 % 8);
  for (auto& r : g.labelRanges)
    if (r.valid()) r = tw::CellRange::of(r.row1 % 12, r.col1 % 8, r.row2 % 12, r.col2 % 8);
  g.overlay.clear();
  tw::RecordingCanvas canvas;
  tw::GraphView view;
  view.zoom = 50 + static_cast<int>(size % 150);
  view.mono = size & 1;
  tw::DrawGraph(canvas, *ws, g, 64 + static_cast<int>(size % 900),
                48 + static_cast<int>(size % 700), view);
  return 0;
}
