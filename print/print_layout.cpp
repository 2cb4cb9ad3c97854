#include "print/print_layout.h"

#include <algorithm>
#include <cmath>

#include "core/cell.h"
#include "core/display_format.h"
#include "core/host.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

// Device pixels to logical units (screen pixels) at the device's resolution.
int logical(double devicePixels, int dpi) {
  return static_cast<int>(std::lround(devicePixels * kScreenPixelsPerInch / std::max(dpi, 1)));
}

}  // namespace

double gridTextPoints(const Worksheet& ws) {
  int16_t h = ws.settings.font.height;
  return h > 0 ? h : 10.0;
}

PageGeometry PageLayout(const PageMetrics& printer, const Worksheet& ws) {
  const WorksheetSettings& s = ws.settings;
  PageGeometry g;
  g.scale = std::clamp<int>(s.print.scale, kMinPrintScale, kMaxPrintScale);
  g.pageWidth = logical(printer.width, printer.dpiX);
  g.pageHeight = logical(printer.height, printer.dpiY);
  // Margins are whole printer pixels first, as the printer places them.
  auto margin = [&](Margin m, int dpi) {
    double inches = std::clamp(s.margins[m], 0.0, 100.0);
    return logical(std::round(inches * dpi), dpi);
  };
  g.top = margin(kMarginTop, printer.dpiY);
  g.bottom = margin(kMarginBottom, printer.dpiY);
  g.left = margin(kMarginLeft, printer.dpiX);
  g.right = margin(kMarginRight, printer.dpiX);
  double points = gridTextPoints(ws);
  g.lineHeight = logical(points * printer.dpiY / 72.0 * g.scale / 100.0, printer.dpiY);
  g.textPoints = points * g.scale / 100.0;
  return g;
}

int printedColumnWidth(const Worksheet& ws, int col, int scale) {
  return ws.columnPixels(col) * scale / 100;
}

int printedRowHeight(const Worksheet& ws, int row, int scale) {
  return ws.rowPixels(row) * scale / 100;
}

RowMarker rowMarker(const Worksheet& ws, int row, int firstCol) {
  CellHandle h = ws.FindCell(row, firstCol);
  if (h == kNoCell) return RowMarker::None;
  const Cell& c = ws.cell(h);
  if (c.type() != CellType::Label) return RowMarker::None;
  std::string_view text = pstringView(c.content);
  if (text.empty() || text[0] != '|') return RowMarker::None;
  if (text.size() > 1 && (text[1] == '<' || text[1] == '>')) return RowMarker::None;
  return text.starts_with("|::") ? RowMarker::PageBreak : RowMarker::Hidden;
}

Pagination Paginate(const Worksheet& ws, const CellRange& range, const PageGeometry& g) {
  Pagination out;
  out.geometry = g;
  if (!range.valid()) return out;
  const CellRange r = range.ordered();
  const PrintOptions& o = ws.settings.print;
  std::vector<int> borderCols, borderRows;
  if (o.borderColumns.valid()) {
    CellRange b = o.borderColumns.ordered();
    for (int c = b.col1; c <= b.col2; ++c) borderCols.push_back(c);
  }
  if (o.borderRows.valid()) {
    CellRange b = o.borderRows.ordered();
    for (int row = b.row1; row <= b.row2; ++row) borderRows.push_back(row);
  }
  int borderWidth = 0, borderHeight = 0;
  for (int c : borderCols) borderWidth += printedColumnWidth(ws, c, g.scale);
  for (int row : borderRows) borderHeight += printedRowHeight(ws, row, g.scale);
  const int bodyWidth = g.bodyWidth(), bodyHeight = g.bodyHeight();
  if (!borderRows.empty() && borderHeight > bodyHeight) {
    out.bordersTooTall = true;
    return out;
  }

  // The rows that print, and where pages must break, are the same for every strip.
  std::vector<int> printed;
  std::vector<bool> breakAfter;
  for (int row = r.row1; row <= r.row2; ++row) {
    RowMarker m = rowMarker(ws, row, r.col1);
    if (m == RowMarker::None) {
      printed.push_back(row);
      breakAfter.push_back(false);
    } else if (m == RowMarker::PageBreak && !printed.empty()) {
      breakAfter.back() = true;
    }
  }

  int number = 0;
  for (int first = r.col1; first <= r.col2;) {
    // A strip takes columns while they fit beside the border columns, and
    // at least one.
    std::vector<int> strip;
    int width = borderWidth;
    for (int c = first; c <= r.col2; ++c) {
      int w = printedColumnWidth(ws, c, g.scale);
      if (!strip.empty() && width + w > bodyWidth) break;
      strip.push_back(c);
      width += w;
    }
    first = strip.back() + 1;

    auto startPage = [&] {
      PrintedPage p;
      p.number = ++number;
      p.columns = borderCols;
      p.columns.insert(p.columns.end(), strip.begin(), strip.end());
      p.borderColumns = static_cast<int>(borderCols.size());
      p.rows = borderRows;
      p.borderRows = static_cast<int>(borderRows.size());
      out.pages.push_back(std::move(p));
      return borderHeight;
    };
    int height = startPage();
    bool rowsOnPage = false;
    for (size_t i = 0; i < printed.size(); ++i) {
      int h = printedRowHeight(ws, printed[i], g.scale);
      // A row taller than the body still prints, alone on its page.
      if (rowsOnPage && height + h > bodyHeight) {
        height = startPage();
        rowsOnPage = false;
      }
      out.pages.back().rows.push_back(printed[i]);
      height += h;
      rowsOnPage = true;
      if (breakAfter[i] && i + 1 < printed.size()) {
        height = startPage();
        rowsOnPage = false;
      }
    }
  }
  return out;
}

PageFacts pageFactsNow(const Worksheet& ws, int page) {
  PageFacts f;
  f.page = page;
  Host& host = ws.session().host();
  f.date = DateText(kFormatD1 & 0x0F, host.daySerialToday());
  int seconds = static_cast<int>(host.secondsSinceMidnight());
  f.time = TimeText(kFormatT2 & 0x0F, seconds / 3600, seconds / 60 % 60, seconds % 60);
  std::string_view name = ws.hasFileName ? std::string_view(ws.fileName) : ws.name;
  size_t slash = name.find_last_of("/\\:");
  f.fileName = std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
  return f;
}

std::string expandPageCodes(std::string_view text, const PageFacts& facts) {
  std::string out;
  out.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '#') {
      out += std::to_string(facts.page);
      continue;
    }
    if (c == '@') {
      out += facts.date;
      continue;
    }
    if (c == '^' && i + 1 < text.size()) {
      char code = text[i + 1];
      const std::string* with = nullptr;
      std::string page;
      if (code == 'P') {
        page = std::to_string(facts.page);
        with = &page;
      } else if (code == 'D') {
        with = &facts.date;
      } else if (code == 'T') {
        with = &facts.time;
      } else if (code == 'F') {
        with = &facts.fileName;
      }
      if (with) {
        out += *with;
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

AlignedParts alignedParts(std::string_view text) {
  std::vector<std::string_view> parts;
  size_t from = 0;
  while (parts.size() < 2) {
    size_t bar = text.find('|', from);
    if (bar == std::string_view::npos) break;
    parts.push_back(text.substr(from, bar - from));
    from = bar + 1;
  }
  parts.push_back(text.substr(from));
  AlignedParts a;
  if (parts.size() == 1) {
    a.centre = parts[0];
  } else if (parts.size() == 2) {
    a.left = parts[0];
    a.right = parts[1];
  } else {
    a.left = parts[0];
    a.centre = parts[1];
    a.right = parts[2];
  }
  return a;
}

}  // namespace tw
