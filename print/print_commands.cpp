#include "print/print_commands.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/host.h"
#include "core/number_text.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "core/replace_file.h"
#include "graphs/graph_definition.h"
#include "graphs/graph_draw.h"
#include "print/offset_canvas.h"
#include "print/print_job.h"

namespace tw {

namespace {

constexpr size_t kMaxPrintText = 240;

std::string jobTitle(const Worksheet& ws) {
  return ws.hasFileName ? ws.fileName : ws.name;
}

// The items of a margin or option text: a letter and the number after it.
struct Item {
  char letter;
  bool hasNumber;
  double number;
};

std::optional<std::vector<Item>> itemsOf(std::string_view text, char decimal) {
  std::vector<Item> out;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == ' ' || c == ',' || c == ';') {
      ++i;
      continue;
    }
    if (!std::isalpha(static_cast<unsigned char>(c))) return std::nullopt;
    Item item{static_cast<char>(std::toupper(static_cast<unsigned char>(c))), false, 0};
    size_t j = ++i;
    while (j < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == decimal ||
            ((text[j] == '-' || text[j] == '+') && j == i)))
      ++j;
    if (j > i) {
      std::optional<double> x = parseNumberText(text.substr(i, j - i), decimal);
      if (!x) return std::nullopt;
      item.hasNumber = true;
      item.number = *x;
    }
    out.push_back(item);
    i = j;
  }
  return out;
}

void setPrintRange(Worksheet& ws, const CellRange& r) {
  if (ws.settings.ranges[kPrintRange] == r) return;
  ws.settings.ranges[kPrintRange] = r;
  ws.modified = true;
}

CommandResult settingsChanged(Worksheet& ws) {
  ws.modified = true;
  return {};
}

}  // namespace

CommandResult PrintCellRange(CommandContext& cx, const CellRange& range, int page) {
  Worksheet& ws = *cx.ws;
  Host& host = cx.host();
  if (!range.valid()) return {};  // an undefined range prints nothing
  PrintRequest request{jobTitle(ws), ws.settings.print.landscape};
  std::unique_ptr<PageDevice> device = host.openPrintJob(request);
  if (!device) {
    if (host.printerNames().empty()) cx.session.ShowError(kNoPrinterMessage);
    return CommandResult::failed();
  }
  host.showMode(Mode::Wait);
  PrintOutcome outcome = printPages(ws, range, *device, page, [&](const PrintStatus& s) {
    host.pollEvents();
    return host.printStatus(s);
  });
  host.printStatusDone();
  switch (outcome) {
    case PrintOutcome::Printed:
    case PrintOutcome::Nothing:
      return {};
    case PrintOutcome::Cancelled:
      return CommandResult::failed();
    case PrintOutcome::BordersTooTall:
      cx.session.ShowError(kBordersTooTallMessage);
      return CommandResult::failed();
    case PrintOutcome::DeviceFailed:
      cx.session.ShowError(kPrinterErrorMessage);
      return CommandResult::failed();
  }
  return {};
}

CommandResult PrintGraph(CommandContext& cx, int graph, GraphMargins which) {
  Worksheet& ws = *cx.ws;
  Host& host = cx.host();
  GraphDefinition g = graph > 0 ? namedGraph(ws, graph) : currentGraph(ws);
  const bool landscape = ws.settings.print.landscape;
  std::unique_ptr<PageDevice> device = host.openPrintJob({jobTitle(ws), landscape});
  if (!device) {
    if (host.printerNames().empty()) cx.session.ShowError(kNoPrinterMessage);
    return CommandResult::failed();
  }
  PageMetrics m = device->metrics();
  // Margins in inches, placed in whole printer pixels, then in the page's units.
  auto logical = [](double inches, int dpi) {
    return static_cast<int>(
        std::lround(std::round(inches * dpi) * kScreenPixelsPerInch / std::max(dpi, 1)));
  };
  double top, bottom, left, right;
  int scale = std::clamp<int>(ws.settings.print.scale, kMinPrintScale, kMaxPrintScale);
  if (which == GraphMargins::QuickPrint) {
    left = right = 0.5;
    top = bottom = landscape ? 0.5 : m.heightInches() / 4;
    scale = 100;
  } else {
    top = ws.settings.margins[kMarginTop];
    bottom = ws.settings.margins[kMarginBottom];
    left = ws.settings.margins[kMarginLeft];
    right = ws.settings.margins[kMarginRight];
  }
  const int pageWidth = logical(m.widthInches(), m.dpiX),
            pageHeight = logical(m.heightInches(), m.dpiY);
  const int x = logical(left, m.dpiX), y = logical(top, m.dpiY);
  const int width = (pageWidth - x - logical(right, m.dpiX)) * scale / 100;
  const int height = (pageHeight - y - logical(bottom, m.dpiY)) * scale / 100;
  if (width < 16 || height < 16) {
    device->abort();
    cx.session.ShowError(kPrinterErrorMessage);
    return CommandResult::failed();
  }
  Canvas* canvas = device->beginPage();
  if (!canvas) {
    device->abort();
    cx.session.ShowError(kPrinterErrorMessage);
    return CommandResult::failed();
  }
  OffsetCanvas moved(*canvas, x, y);
  GraphView view;
  view.mono = ws.settings.print.mono;
  DrawGraph(moved, ws, g, width, height, view);
  if (!device->endPage() || !device->finish()) {
    device->abort();
    cx.session.ShowError(kPrinterErrorMessage);
    return CommandResult::failed();
  }
  host.beep();
  return {};
}

CommandResult PrintRange(CommandContext& cx, bool all, int page) {
  return PrintCellRange(cx, printedRange(*cx.ws, all), page);
}

CommandResult PrintToFile(CommandContext& cx, const std::string& given, const CellRange& range) {
  Worksheet& ws = *cx.ws;
  std::string name = given;
  if (name.empty()) {
    ProgramSettings& settings = cx.session.settings();
    FileRequest request;
    request.title = "Print to File";
    request.directory = settings.saveDirectory;
    request.name = "*.prn";
    request.filters = {"ASCII (*.prn)", "ASCII (*.txt)"};
    std::optional<std::string> chosen = cx.host().saveFileName(request);
    if (!chosen || chosen->empty()) return CommandResult::failed();
    name = *chosen;
  }
  if (!range.valid()) return {};
  if (!ReplaceFileWith(printFileName(name), rangeAsText(ws, range))) {
    cx.session.ShowError(kPrintFileErrorMessage);
    return CommandResult::failed();
  }
  return {};
}

bool applyMarginItems(WorksheetSettings& s, std::string_view text, char decimal) {
  std::optional<std::vector<Item>> items = itemsOf(text, decimal);
  if (!items) return false;
  for (const Item& item : *items) {
    Margin m;
    switch (item.letter) {
      case 'L':
        m = kMarginLeft;
        break;
      case 'R':
        m = kMarginRight;
        break;
      case 'T':
        m = kMarginTop;
        break;
      case 'B':
        m = kMarginBottom;
        break;
      default:
        return false;
    }
    if (!item.hasNumber || item.number < 0 || item.number > 100) return false;
    s.margins[m] = item.number;
  }
  return true;
}

bool applyOptionItems(PrintOptions& o, std::string_view text, char decimal) {
  std::optional<std::vector<Item>> items = itemsOf(text, decimal);
  if (!items) return false;
  for (const Item& item : *items) {
    switch (item.letter) {
      case 'L':
        o.landscape = true;
        break;
      case 'P':
        o.landscape = false;
        break;
      case 'S':
        if (!item.hasNumber) return false;
        o.scale =
            static_cast<int16_t>(std::clamp<double>(item.number, kMinPrintScale, kMaxPrintScale));
        break;
      case 'F':
        o.frame = item.hasNumber && item.number == 1;
        break;
      case 'G':
        o.grid = item.hasNumber && item.number == 1;
        break;
      case 'M':
        o.mono = item.hasNumber && item.number == 1;
        break;
      default:
        return false;
    }
  }
  return true;
}

void addPrintCommands(CommandTable& t) {
  t.add({"PRINTRANGE",
         {{ArgKind::Range, "PRINT: Specify Range"}},
         [](CommandContext& cx, const Args& a) {
           CellRange r = rangeArg(cx, a, 0, ArgKind::Range).ordered();
           setPrintRange(*cx.ws, r);
           return PrintCellRange(cx, r);
         }});
  t.add({"PRINTALL", {}, [](CommandContext& cx, const Args&) { return PrintRange(cx, true); }});
  // A named graph on a page of its own; nothing happens without such a graph.
  t.add({"PRINTGRAPH", {{ArgKind::Text, "Graph name"}}, [](CommandContext& cx, const Args& a) {
           int index = FindGraph(*cx.ws, textArg(a, 0));
           if (index == 0) return CommandResult{};
           return PrintGraph(cx, index);
         }});
  // One page of the print range's layout, as the preview numbers them.
  t.add({"PRINTPAGE", {{ArgKind::Integer, "Page"}}, [](CommandContext& cx, const Args& a) {
           int page = static_cast<int>(numberArg(a, 0));
           if (page < 1) return CommandResult::failed();
           return PrintRange(cx, false, page);
         }});
  t.add({"PRINTFILE",
         {{ArgKind::Text, "File name", true}, {ArgKind::Range, "PRINT: Specify Range"}},
         [](CommandContext& cx, const Args& a) {
           CellRange r = rangeArg(cx, a, 1, ArgKind::Range).ordered();
           setPrintRange(*cx.ws, r);
           return PrintToFile(cx, textArg(a, 0), r);
         }});
  for (bool header : {true, false}) {
    t.add({header ? "PRINTHEAD" : "PRINTFOOT",
           {{ArgKind::Text, header ? "Header" : "Footer", true}, {ArgKind::Integer, "", true}},
           [header](CommandContext& cx, const Args& a) {
             std::string text = textArg(a, 0).substr(0, kMaxPrintText);
             (header ? cx.ws->settings.printHeader : cx.ws->settings.printFooter) = text;
             return settingsChanged(*cx.ws);
           }});
  }
  // 0 the border columns, 1 the border rows; no range clears them.
  t.add(
      {"PRINTBORDER",
       {{ArgKind::Integer, "Kind (0 columns, 1 rows)"}, {ArgKind::Range, "BORDER: Specify Range"}},
       [](CommandContext& cx, const Args& a) {
         int kind = static_cast<int>(numberArg(a, 0));
         if (kind != 0 && kind != 1) return CommandResult::failed();
         CellRange r = a.size() > 1 && a[1].given ? a[1].range.ordered() : kEmptyRange;
         PrintOptions& o = cx.ws->settings.print;
         (kind == 0 ? o.borderColumns : o.borderRows) = r;
         return settingsChanged(*cx.ws);
       }});
  t.add({"PRINTMARGIN",
         {{ArgKind::Text, "Margins (L, R, T, B and inches)"}},
         [](CommandContext& cx, const Args& a) {
           if (!applyMarginItems(cx.ws->settings, textArg(a, 0),
                                 cx.session.settings().decimalSeparator)) {
             cx.host().beep();
             return CommandResult::failed();
           }
           return settingsChanged(*cx.ws);
         }});
  t.add({"PRINTOPTION",
         {{ArgKind::Text, "Options (L, P, S, F, G, M)"}},
         [](CommandContext& cx, const Args& a) {
           if (!applyOptionItems(cx.ws->settings.print, textArg(a, 0),
                                 cx.session.settings().decimalSeparator)) {
             cx.host().beep();
             return CommandResult::failed();
           }
           return settingsChanged(*cx.ws);
         }});
}

}  // namespace tw
