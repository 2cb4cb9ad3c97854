#include "shell/audit_dialog.h"

#include <algorithm>
#include <cmath>

#include "core/canvas.h"
#include "core/cell.h"
#include "core/cell_address.h"
#include "core/cell_entry.h"
#include "core/dependencies.h"
#include "core/host.h"
#include "core/page_device.h"
#include "core/range_parse.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

constexpr const char* kKindNames[kAuditKinds] = {"Formula", "Real", "Integer", "String", "Blank"};
constexpr uint32_t kKindColours[kAuditKinds] = {0x0000FF, 0x008000, 0xFF0000, 0x808000, 0xFFFFFF};

// The legend's kind of a cell's type (-1: none of them).
int auditKindOf(uint8_t type) {
  switch (static_cast<CellType>(type)) {
    case CellType::StringFormula:
    case CellType::NumberFormula:
      return 0;
    case CellType::Real:
      return 1;
    case CellType::Integer:
      return 2;
    case CellType::Label:
      return 3;
    case CellType::Blank:
      return 4;
    default:
      return -1;
  }
}

const char* xrefKindName(uint8_t type) {
  switch (static_cast<CellType>(type)) {
    case CellType::StringFormula:
    case CellType::NumberFormula:
      return "Form";
    case CellType::Real:
      return "Real";
    case CellType::Integer:
      return "Integer";
    case CellType::Label:
      return "String";
    case CellType::Blank:
      return "Blank";
    default:
      return "?";
  }
}

std::string address(const Worksheet& ws, int row, int col) {
  return ws.addressText(row, col);
}

}  // namespace

const char* auditKindName(int kind) {
  return kind >= 0 && kind < kAuditKinds ? kKindNames[kind] : "";
}
uint32_t auditKindColour(int kind) {
  return kind >= 0 && kind < kAuditKinds ? kKindColours[kind] : 0;
}

long CellKindCounts::count(int kind) const {
  switch (kind) {
    case 0:
      return byType[0] + byType[1];
    case 1:
      return byType[2];
    case 2:
      return byType[3];
    case 3:
      return byType[4];
    case 4:
      return byType[5];
    default:
      return 0;
  }
}

long CellKindCounts::scale() const {
  long most = 0;
  for (int k = 0; k < kAuditKinds; ++k) most = std::max(most, count(k));
  return most;
}

CellKindCounts CountCellKinds(const Worksheet& ws) {
  CellKindCounts c;
  const_cast<Worksheet&>(ws).ForEachCell(CellRange::of(0, 0, kRows - 1, kColumns - 1),
                                         [&](CellHandle, Cell& cell) {
                                           ++c.byType[cell.kind & kKindTypeMask];
                                           c.lastRow = std::max<int>(c.lastRow, cell.row);
                                           c.lastColumn = std::max<int>(c.lastColumn, cell.column);
                                           ++c.total;
                                           return true;
                                         });
  return c;
}

AuditModel::AuditModel(Worksheet& ws, int row, int col, const CellRange& selection) : ws_(ws) {
  cell = address(ws, row, col);
  range = selection.valid() ? ws.rangeText(selection.ordered()) : cell;
  addText("cell", cell, 255);
  addField(
      "depth", [this] { return std::to_string(depth); },
      [this](std::string_view v) {
        std::optional<int> d = integerOf(v);
        if (!d || *d < 1 || *d > 1000) return false;
        depth = *d;
        return true;
      });
  addText("range", range, 255);
  // "press=Print": the Stats page or the XRef report to the printer.
  addField(
      "press", [] { return std::string(); },
      [this](std::string_view v) {
        if (v != "Print") return false;
        rebuild();
        if (!print(ws_.session().host(), page)) ws_.session().ShowError("Unable to Print");
        return true;
      });
  addField(
      "page", [this] { return std::to_string(page); },
      [this](std::string_view v) {
        std::optional<int> p = integerOf(v);
        if (!p || *p < kTree || *p > kXRef) return false;
        page = *p;
        return true;
      });
  rebuild();
}

void AuditModel::addTree(int row, int col, int level) {
  if (tree_.size() >= kMostTreeLines) return;
  CellHandle h = ws_.FindCell(row, col);
  TreeLine line;
  line.level = level;
  line.address = address(ws_, row, col);
  bool hidden = ws_.settings.protection && (h == kNoCell || ws_.cell(h).isProtected());
  line.text = line.address + ": " + (hidden ? std::string("Protected") : CellInputText(ws_, h));
  tree_.push_back(std::move(line));
  deepest_ = std::max(deepest_, level);
  if (h == kNoCell || level >= depth) return;
  for (CellHandle d : DependentsOf(ws_, h)) {
    const Cell& c = ws_.cell(d);
    addTree(c.row, c.column, level + 1);
  }
}

void AuditModel::rebuild() {
  tree_.clear();
  deepest_ = 0;
  ParsedRange at = ParseRange(ws_, cell, kRangeWords | kSingleDot);
  ws_.session().error().clear();
  if (at.ok && at.range.valid()) {
    addTree(at.range.row1, at.range.col1, 0);
  }

  xref_.clear();
  ParsedRange r = ParseRange(ws_, range, kRangeWords | kSingleDot);
  ws_.session().error().clear();
  if (r.ok && r.range.valid()) {
    ws_.ForEachCell(r.range.ordered(), [&](CellHandle h, Cell& c) {
      uint8_t type = c.kind & kKindTypeMask;
      std::vector<CellHandle> refs = DependentsOf(ws_, h);
      std::string first = address(ws_, c.row, c.column) + ":" + xrefKindName(type) + " " +
                          std::to_string(type) + ":" + std::to_string(refs.size()) + ":";
      std::string line = first;
      for (size_t k = 0; k < refs.size(); ++k) {
        const Cell& d = ws_.cell(refs[k]);
        std::string a = address(ws_, d.row, d.column);
        if (k % 8 == 7) {  // before the 8th, 16th, ... a line of its own
          xref_.push_back(line);
          line = ":" + a;
        } else {
          line += (line.back() == ':' ? "" : ",") + a;
        }
      }
      if (line != ":") xref_.push_back(line);
      return true;
    });
  }
  counts_ = CountCellKinds(ws_);
}

std::string AuditModel::lastCellText() const {
  if (counts_.total == 0) return address(ws_, 0, 0);
  return address(ws_, counts_.lastRow, counts_.lastColumn);
}

Session& AuditModel::session() const {
  return ws_.session();
}

void AuditModel::chooseTreeLine(size_t k) {
  if (k >= tree_.size()) return;
  cell = tree_[k].address;
  rebuild();
}

void AuditModel::pointedAt(std::string_view field, std::string_view text) {
  if (field == "cell") {
    // A range answered for the cell keeps its first address.
    cell = std::string(text.substr(0, text.find('.')));
  } else {
    range = std::string(text);
  }
  rebuild();
}

void AuditModel::drawOverview(Canvas& c, int width, int height) const {
  c.fillRectangle({0, 0, width, height}, 0xFFFFFF);
  Font font;
  font.size = 8;
  c.setFont(font);
  c.setTextColour(0);
  const int left = 40, top = 16, bottom = 28;
  const int mapW = std::max(1, width - left - 8), mapH = std::max(1, height - top - bottom);
  const int cols = counts_.lastColumn + 1, rows = counts_.lastRow + 1;
  if (cols > 0 && rows > 0) {
    auto xOf = [&](int col) {
      return left + static_cast<int>(static_cast<long>(col) * mapW / cols);
    };
    auto yOf = [&](int row) {
      return top + static_cast<int>(static_cast<long>(row) * mapH / rows);
    };
    const_cast<Worksheet&>(ws_).ForEachCell(
        CellRange::of(0, 0, kRows - 1, kColumns - 1), [&](CellHandle, Cell& cell) {
          int kind = auditKindOf(cell.kind & kKindTypeMask);
          if (kind < 0) return true;
          int x0 = xOf(cell.column), y0 = yOf(cell.row);
          int x1 = std::max(x0 + 1, xOf(cell.column + 1)), y1 = std::max(y0 + 1, yOf(cell.row + 1));
          c.fillRectangle({x0, y0, x1 - x0, y1 - y0}, kind == 4 ? 0xC0C0C0 : kKindColours[kind]);
          return true;
        });
    // Column letters and row numbers, each left out where it would run
    // into the one before.
    int lastEnd = -1000;
    for (int col = 0; col < cols; ++col) {
      std::string letters = ColumnLetters(col);
      int x = xOf(col);
      int w = c.measureText(font, letters).width;
      if (x < lastEnd + 2) continue;
      c.drawText(x, top - 3, letters);
      lastEnd = x + w;
    }
    int lastBottom = -1000;
    TextMetrics m = c.measureText(font, "0");
    for (int row = 0; row < rows; ++row) {
      int y = yOf(row);
      if (y < lastBottom + 1) continue;
      c.drawText(2, y + m.ascent, std::to_string(row + 1));
      lastBottom = y + m.height();
    }
  }
  // The legend along the bottom.
  int x = left;
  for (int k = 0; k < kAuditKinds; ++k) {
    c.setPen(Pen{});
    c.setBrush(Brush{k == 4 ? 0xC0C0C0 : kKindColours[k]});
    c.drawRectangle({x, height - bottom + 8, 12, 12});
    c.drawText(x + 16, height - bottom + 19, kKindNames[k]);
    x += 24 + c.measureText(font, kKindNames[k]).width;
  }
}

void AuditModel::drawStats(Canvas& c, int width, int height, double fontSize) const {
  c.fillRectangle({0, 0, width, height}, 0xFFFFFF);
  Font font;
  font.size = fontSize;
  c.setFont(font);
  c.setTextColour(0);
  TextMetrics m = c.measureText(font, "0");
  c.drawText(8, m.ascent + 4, "Relative Proportion of Cells");
  const int band = std::max(1, (height - 48) / kAuditKinds);
  const long scale = counts_.scale();
  for (int k = 0; k < kAuditKinds; ++k) {
    const int y = 32 + k * band;
    const long n = counts_.count(k);
    c.drawText(4, y + m.ascent, kKindNames[k]);
    c.drawText(4, y + m.ascent + m.height(), std::to_string(n));
    int length = scale > 0 ? static_cast<int>(n * (width - 96) / scale) : 0;
    const int h = std::max(1, band - 8);
    const uint32_t base = kKindColours[k];
    for (int line = 0; line < h && length > 0; ++line) {
      double f = std::sin((line + h / 4.0) * M_PI / h);
      auto shade = [f](uint32_t component) {
        double v = component * f;
        return static_cast<uint32_t>(std::clamp(v, component / 4.0, 255.0));
      };
      uint32_t rgb = (shade((base >> 16) & 0xFF) << 16) | (shade((base >> 8) & 0xFF) << 8) |
                     shade(base & 0xFF);
      c.fillRectangle({64, y + line, length, 1}, rgb);
    }
    std::string share =
        counts_.total == 0 ? "-NA-" : std::to_string(n * 100 / counts_.total) + " %";
    c.drawText(64 + length + 6, y + h / 2 + m.ascent / 2, share);
  }
}

std::vector<std::string> AuditModel::xrefReport() const {
  std::vector<std::string> out;
  out.push_back("");
  out.push_back(ws_.name + " : Cross Reference Report " + range);
  out.push_back("");
  out.push_back("CELL\t TYPE\t COUNT\t: REFERENCES");
  out.push_back(" ================================");
  for (std::string line : xref_) {
    std::replace(line.begin(), line.end(), ':', '\t');
    out.push_back(line);
  }
  return out;
}

bool AuditModel::print(Host& host, int which) const {
  PrintRequest request;
  request.title = "Audit";
  std::unique_ptr<PageDevice> device = host.openPrintJob(request);
  if (!device) return false;
  PageMetrics pm = device->metrics();
  if (which == kStats) {
    Canvas* c = device->beginPage();
    if (!c) return device->abort(), false;
    drawStats(*c, pm.width, pm.height, 12);
    return device->endPage() && device->finish();
  }
  Font font;
  font.typeface = "Courier";
  font.size = 10;
  std::vector<std::string> lines = xrefReport();
  size_t at = 0;
  while (at < lines.size()) {
    Canvas* c = device->beginPage();
    if (!c) return device->abort(), false;
    c->setFont(font);
    c->setTextColour(0);
    TextMetrics m = c->measureText(font, "X");
    int step = std::max(1, m.height());
    int tab = std::max(1, m.width * 10);
    for (int y = m.ascent; at < lines.size() && y + m.descent <= pm.height; y += step, ++at) {
      // Tabs as columns ten characters apart.
      int x = 0;
      size_t from = 0;
      const std::string& l = lines[at];
      while (true) {
        size_t t = l.find('\t', from);
        std::string_view part = std::string_view(l).substr(from, t - from);
        c->drawText(x, y, part);
        if (t == std::string::npos) break;
        x = (x + c->measureText(font, part).width) / tab * tab + tab;
        from = t + 1;
      }
    }
    if (!device->endPage()) return device->abort(), false;
  }
  return device->finish();
}

}  // namespace tw
