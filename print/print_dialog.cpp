#include "print/print_dialog.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/char_case.h"
#include "core/host.h"
#include "core/number_text.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "print/page_painter.h"
#include "print/print_job.h"

namespace tw {

namespace {

constexpr size_t kMaxPrintText = 240;

std::string marginNumber(double x) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 2);
  return ec == std::errc() ? std::string(buf, end) : "0.00";
}

std::string number(double x, int decimals) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
  return ec == std::errc() ? std::string(buf, end) : "0";
}

// A range typed in a field, as the range prompt takes it.
std::optional<CellRange> fieldRange(Worksheet& ws, std::string_view text) {
  ParsedRange p = ParseRange(ws, text, kRangeWords | kSingleDot);
  ws.session().error().clear();
  if (!p.ok || !p.range.valid()) return std::nullopt;
  return p.range.ordered();
}

}  // namespace

PageMetrics printerPageOrDefault(Host& host, bool landscape) {
  PageMetrics m;
  if (host.printerPage(landscape, m) && m.width > 0 && m.height > 0 && m.dpiX > 0 && m.dpiY > 0)
    return m;
  m = {600, 600, 600 * 8, 600 * 21 / 2};
  if (landscape) std::swap(m.width, m.height);
  return m;
}

// --- Settings -------------------------------------------------------------------------------

PrintSettings PrintSettings::of(const Worksheet& ws) {
  PrintSettings p;
  p.range = ws.settings.ranges[kPrintRange];
  p.margins = ws.settings.margins;
  p.header = ws.settings.printHeader;
  p.footer = ws.settings.printFooter;
  p.options = ws.settings.print;
  return p;
}

void PrintSettings::applyTo(Worksheet& ws) const {
  WorksheetSettings& s = ws.settings;
  if (s.ranges[kPrintRange] == range && s.margins == margins && s.printHeader == header &&
      s.printFooter == footer && s.print == options)
    return;
  s.ranges[kPrintRange] = range;
  s.margins = margins;
  s.printHeader = header;
  s.printFooter = footer;
  s.print = options;
  ws.modified = true;
}

// --- Print ----------------------------------------------------------------------------------

PrintModel::PrintModel(Worksheet& ws, Host& host, std::string selection)
    : settings(PrintSettings::of(ws)), ws_(ws), host_(host) {
  printers = host.printerNames();
  printer = host.currentPrinter();
  if (settings.range.valid()) {
    what = What::Range;
    rangeText = ws.rangeText(settings.range);
  } else {
    rangeText = std::move(selection);
  }
  PrintOptions& o = settings.options;
  addField(
      "printer", [this] { return printer; },
      [this](std::string_view v) {
        for (const std::string& p : printers)
          if (sameText(p, v)) {
            printer = p;
            return true;
          }
        return false;
      });
  addField(
      "what",
      [this] {
        return std::string(what == What::All ? "all" : what == What::Range ? "range" : "graph");
      },
      [this](std::string_view v) {
        if (sameText(v, "all"))
          what = What::All;
        else if (sameText(v, "range"))
          what = What::Range;
        else if (sameText(v, "graph"))
          what = What::Graph;
        else
          return false;
        return true;
      });
  addField(
      "graph", [this] { return graphChoices()[static_cast<size_t>(graph)]; },
      [this](std::string_view v) {
        std::vector<std::string> choices = graphChoices();
        for (size_t i = 0; i < choices.size(); ++i)
          if (sameText(choices[i], v)) {
            graph = static_cast<int>(i);
            return true;
          }
        return false;
      });
  addText("range", rangeText, 80);
  addFlag("grid", o.grid);
  addField(
      "button",
      [this] {
        return std::string(action == Action::Print         ? "print"
                           : action == Action::PrintToFile ? "file"
                                                           : "preview");
      },
      [this](std::string_view v) {
        if (sameText(v, "print"))
          action = Action::Print;
        else if (sameText(v, "file"))
          action = Action::PrintToFile;
        else if (sameText(v, "preview"))
          action = Action::Preview;
        else
          return false;
        return true;
      });
  // The options page.
  const std::pair<const char*, Margin> margins[] = {{"top", kMarginTop},
                                                    {"left", kMarginLeft},
                                                    {"bottom", kMarginBottom},
                                                    {"right", kMarginRight}};
  for (const auto& [name, m] : margins) {
    Margin which = m;
    addField(
        name, [this, which] { return marginText(which); },
        [this, which](std::string_view v) { return setMargin(which, v); });
  }
  addField(
      "rows", [this] { return bordersText(true); },
      [this](std::string_view v) { return setBorders(true, v); });
  addField(
      "cols", [this] { return bordersText(false); },
      [this](std::string_view v) { return setBorders(false, v); });
  addText("header", settings.header, kMaxPrintText);
  addFlag("headerline", o.headerLine);
  addText("footer", settings.footer, kMaxPrintText);
  addFlag("footerline", o.footerLine);
  addField(
      "scale", [this] { return std::to_string(settings.options.scale); },
      [this](std::string_view v) { return setScale(v); });
  addFlag("frame", o.frame);
  addFlag("mono", o.mono);
  addField(
      "orientation",
      [this] { return std::string(settings.options.landscape ? "landscape" : "portrait"); },
      [this](std::string_view v) {
        if (sameText(v, "landscape"))
          settings.options.landscape = true;
        else if (sameText(v, "portrait"))
          settings.options.landscape = false;
        else
          return false;
        return true;
      });
}

std::vector<std::string> PrintModel::graphChoices() const {
  std::vector<std::string> out{"- Default -"};
  for (const NamedGraph& g : ws_.settings.namedGraphs) out.push_back(g.name);
  return out;
}

std::string PrintModel::extentText() const {
  return ws_.rangeText(CellRange::of(0, 0, ws_.maxRow, ws_.maxCol));
}

CellRange PrintModel::chosenRange() const {
  if (what == What::All) return printedRange(ws_, true);
  return settings.range;
}

bool PrintModel::check(std::string& out) {
  message.clear();
  if (what == What::Range) {
    std::optional<CellRange> r = fieldRange(ws_, rangeText);
    if (!r) {
      out = message = "Invalid Range";
      return false;
    }
    settings.range = *r;
  }
  return true;
}

void PrintModel::defaultMargins() {
  settings.margins = ws_.session().settings().worksheetDefaults.margins;
}

std::string PrintModel::printerFacts() const {
  PageMetrics m = printerPageOrDefault(host_, settings.options.landscape);
  return "Resolution: " + std::to_string(m.dpiX) + " x " + std::to_string(m.dpiY) +
         " dpi\nPage: " + std::to_string(m.width) + " x " + std::to_string(m.height) +
         " pixels\nPage: " + number(m.widthInches(), 2) + " x " + number(m.heightInches(), 2) +
         " inches";
}

void PrintModel::setup() {
  host_.printerSetup();
}

void PrintModel::choosePrinter(const std::string& name) {
  printer = name;
  host_.choosePrinter(name);
}

std::string PrintModel::marginText(Margin m) const {
  return marginNumber(settings.margins[m]);
}

bool PrintModel::setMargin(Margin m, std::string_view text) {
  std::optional<double> x = parseNumberText(text, ws_.session().settings().decimalSeparator);
  if (!x || *x < 0 || *x > 100) return false;
  settings.margins[m] = std::round(*x * 100) / 100;
  return true;
}

bool PrintModel::setScale(std::string_view text) {
  std::optional<int> n = integerOf(text);
  if (!n) return false;
  settings.options.scale = static_cast<int16_t>(std::clamp(*n, kMinPrintScale, kMaxPrintScale));
  return true;
}

bool PrintModel::setBorders(bool rows, std::string_view text) {
  CellRange& target = rows ? settings.options.borderRows : settings.options.borderColumns;
  if (text.find_first_not_of(' ') == std::string_view::npos) {
    target = kEmptyRange;
    return true;
  }
  std::optional<CellRange> r = fieldRange(ws_, text);
  if (!r) return false;
  target = *r;
  return true;
}

std::string PrintModel::bordersText(bool rows) const {
  const CellRange& r = rows ? settings.options.borderRows : settings.options.borderColumns;
  return r.valid() ? ws_.rangeText(r) : std::string();
}

// --- Preview --------------------------------------------------------------------------------

PreviewModel::PreviewModel(Worksheet& ws, Host& host, CellRange printed)
    : range(printed), ws_(ws), host_(host) {
  paginate();
  addField(
      "page", [this] { return std::to_string(page); },
      [this](std::string_view v) {
        std::optional<int> n = integerOf(v);
        return n && setPage(*n);
      });
  addField(
      "text", [this] { return std::to_string(scale()); },
      [this](std::string_view v) {
        std::optional<int> n = integerOf(v);
        return n && setScale(*n);
      });
  addField(
      "button",
      [this] {
        return std::string(action == Action::PrintPage  ? "page"
                           : action == Action::PrintAll ? "all"
                                                        : "close");
      },
      [this](std::string_view v) {
        if (sameText(v, "page"))
          action = Action::PrintPage;
        else if (sameText(v, "all"))
          action = Action::PrintAll;
        else if (sameText(v, "close"))
          action = Action::Close;
        else
          return false;
        return true;
      });
}

void PreviewModel::paginate() {
  PageMetrics m = printerPageOrDefault(host_, ws_.settings.print.landscape);
  pagination_ = Paginate(ws_, range, PageLayout(m, ws_));
  page = std::clamp(page, 1, std::max(1, pageCount()));
}

std::string PreviewModel::countText() const {
  return "of " + std::to_string(pageCount());
}

bool PreviewModel::setPage(int p) {
  if (p < 1 || p > pageCount()) return false;
  page = p;
  return true;
}

int PreviewModel::scale() const {
  return ws_.settings.print.scale;
}

bool PreviewModel::setScale(int percent) {
  int16_t s = static_cast<int16_t>(std::clamp(percent, kMinPrintScale, kMaxPrintScale));
  if (s != ws_.settings.print.scale) {
    ws_.settings.print.scale = s;
    ws_.modified = true;
    paginate();
  }
  return true;
}

void PreviewModel::paint(Canvas& canvas) const {
  if (page < 1 || page > pageCount()) return;
  paintPrintedPage(canvas, ws_, pagination_.geometry, pagination_.pages[page - 1],
                   pageFactsNow(ws_, page));
}

void PreviewModel::zoomIn() {
  zoom = std::min(zoom * 5 / 4 + 1, 400);
}

void PreviewModel::zoomOut() {
  zoom = std::max(zoom * 4 / 5, 10);
}

void PreviewModel::zoomToFit(int width, int height) {
  const PageGeometry& g = pagination_.geometry;
  if (g.pageWidth <= 0 || g.pageHeight <= 0 || width <= 0 || height <= 0) return;
  zoom = std::clamp(std::min(width * 100 / g.pageWidth, height * 100 / g.pageHeight), 10, 400);
}

}  // namespace tw
