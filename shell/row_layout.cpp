#include "shell/row_layout.h"

#include <algorithm>

#include "core/display_format.h"
#include "core/formula_lister.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

const uint32_t kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                               0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                               0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

namespace {

constexpr uint32_t kTitleFill = 0x80FFFF;      // RGB(128, 255, 255)
constexpr uint32_t kSelectionFill = 0xFF0000;  // RGB(255, 0, 0)
constexpr uint32_t kWhite = 0xFFFFFF;

uint32_t paletteRgb(uint32_t word) {
  return toRgb(kPalette[(word >> 24) & 0x0F]);
}

bool inRange(const CellRange& r, int row, int col) {
  return r.valid() && r.ordered().contains(row, col);
}

}  // namespace

std::vector<CellDraw> layoutRow(const Worksheet& ws, int row, const DrawContext& ctx,
                                TextMeasure& measure) {
  std::vector<CellDraw> out;
  const WorksheetSettings& s = ws.settings;
  const FormatOptions options = formatOptions(ws);
  // Cells of the row by column, existing ones only.
  std::vector<const Cell*> cells(ctx.lastCol - ctx.firstCol + 1, nullptr);
  for (CellHandle h = ws.FindCellAtOrAfter(row, ctx.firstCol); h; h = ws.cell(h).next) {
    const Cell& c = ws.cell(h);
    if (c.column > ctx.lastCol) break;
    cells[c.column - ctx.firstCol] = &c;
  }
  auto columnWidth = [&](int col) {
    int i = col - ctx.firstCol;
    return ctx.columnX[i + 1] - ctx.columnX[i];
  };
  // Where a spilling label already covers, neighbours draw no text of their own.
  int coveredUntil = -1;
  for (int col = ctx.firstCol; col <= ctx.lastCol; ++col) {
    const Cell* c = cells[col - ctx.firstCol];
    CellDraw d;
    d.col = col;
    d.x = ctx.columnX[col - ctx.firstCol];
    d.width = columnWidth(col);
    d.clipWidth = d.width;

    // Background.
    bool title = inRange(ctx.titleRows, row, col) || inRange(ctx.titleColumns, row, col);
    bool unprotectedMark = s.showUnprotected && c && !c->isProtected();
    if (ctx.printing) {
      d.fill = kWhite;
    } else if (title) {
      d.fill = kTitleFill;
    } else {
      d.fill = toRgb(s.colours[kBackgroundColour] & kColourRgbMask);
      if (s.banding && row % 2 == 0) d.fill = toRgb(s.colours[kBorderColour] & kColourRgbMask);
      if (unprotectedMark) d.fill = toRgb(s.colours[kProtectedColour] & kColourRgbMask);
      if (c && !(c->colour & kColourAutoBack)) d.fill = toRgb(c->colour & kColourRgbMask);
    }
    bool current = ctx.currentCellShown && row == ctx.currentRow && col == ctx.currentCol;
    bool selected = !current && inRange(ctx.selection, row, col) && !ctx.selection.isSingleCell();
    if (current && !ctx.printing) d.fill = toRgb(s.colours[kCursorColour] & kColourRgbMask);
    if (selected && !ctx.printing) d.fill = kSelectionFill;

    if (c) {
      d.borders = c->borders;
      d.font.face = c->font;
      d.font.size = c->size;
      if (!(c->style & 0x80)) {
        d.font.bold = c->style & 1;
        d.font.italic = c->style & 2;
        d.font.underline = c->style & 4;
      }
    }

    // Text colour.
    bool negative = c && isNumber(c) && numberValue(*c) < 0;
    if (ctx.monochrome || ctx.printing) {
      d.textColour = 0;
    } else if (unprotectedMark) {
      d.textColour = paletteRgb(s.colours[kProtectedColour]);
    } else if (!c || (c->colour & kColourAutoText)) {
      uint32_t word = s.colours[kValueColour];
      if (c && isText(c)) word = s.colours[kLabelColour];
      if (negative && s.negativeInColour) word = s.colours[kNegativeColour];
      d.textColour = paletteRgb(word);
    } else {
      d.textColour = paletteRgb(c->colour);
    }
    if (current && !ctx.printing && !ctx.monochrome)
      d.textColour = paletteRgb(s.colours[kCursorColour]);
    if (selected && !ctx.printing) d.textColour = kWhite;

    if (!c || col <= coveredUntil) {
      out.push_back(d);
      continue;
    }

    // Text by format and type.
    uint8_t format = ws.effectiveFormat(*c);
    bool isLabel = false;
    switch (c->kind & 0x0F) {
      case 0:  // string result
        d.text = format == kFormatText ? ListFormula(ws, c->content)
                                       : std::string(pstringView(c->value.text));
        isLabel = true;
        break;
      case 1:
      case 2:
      case 3: {
        d.align = TextAlign::Right;
        if (format == kFormatHidden) break;
        if ((c->kind & 0x0F) == 1 && format == kFormatText) {
          d.text = ListFormula(ws, c->content);
          d.align = TextAlign::Left;
          isLabel = true;
          break;
        }
        double x = numberValue(*c);
        int zero = std::max(1, measure.textWidth("0", d.font));
        std::string t = FormatNumber(d.width / zero, format, x, options);
        if (measure.textWidth(t, d.font) > d.width - 2) {
          // Too wide: a row of x characters filling the cell, never a spill.
          int xw = std::max(1, measure.textWidth("x", d.font));
          t.assign(std::max(0, (d.width - 2) / xw), 'x');
        }
        d.text = t;
        break;
      }
      case 4: {
        std::string_view label = pstringView(c->content);
        char prefix = label.empty() ? '\'' : label[0];
        std::string_view body = label.empty() ? label : label.substr(1);
        isLabel = true;
        if (format == kFormatHidden) break;
        switch (prefix) {
          case '"':
            d.align = TextAlign::Right;
            break;
          case '^':
            d.align = TextAlign::Centre;
            break;
          case '\\': {
            // Repeats the characters after the prefix across the cell.
            std::string unit(body.empty() ? " " : body);
            int unitWidth = std::max(1, measure.textWidth(unit, d.font));
            int copies = std::max(0, (d.width - 8) / unitWidth);
            std::string fill;
            for (int i = 0; i < copies; ++i) fill += unit;
            d.text = fill;
            isLabel = false;
            break;
          }
          case '|':
            if (body.size() > 1 && (body[0] == '<' || body[0] == '>')) {
              d.picture = true;
              d.stretch = body[0] == '<';
              d.text = std::string(body.substr(1));
              isLabel = false;
            }
            break;
          default:
            break;
        }
        if (prefix != '\\' && !d.picture) d.text = std::string(body);
        break;
      }
      default:
        if (c->kind & kKindErr) {
          d.text = "ERR";
          d.align = TextAlign::Right;
        }
        break;
    }
    if (c->isErr() && isFormula(c)) {
      d.text = "ERR";
      d.align = TextAlign::Right;
      isLabel = false;
    }
    switch ((c->style >> 4) & 7) {
      case 1:
        d.align = TextAlign::Left;
        break;
      case 2:
        d.align = TextAlign::Right;
        break;
      case 3:
        d.align = TextAlign::Centre;
        break;
      default:
        break;
    }
    // A label wider than its cell runs on over empty neighbours.
    if (isLabel && d.align == TextAlign::Left && !d.text.empty()) {
      int need = measure.textWidth(d.text, d.font) + kTextInset;
      int next = col + 1;
      while (need > d.clipWidth && next <= ctx.lastCol) {
        const Cell* n = cells[next - ctx.firstCol];
        if (n && hasContent(n)) break;
        d.clipWidth += columnWidth(next);
        coveredUntil = next;
        ++next;
      }
    }
    out.push_back(d);
  }
  return out;
}

}  // namespace tw
