#include "core/cell_display.h"

#include <algorithm>

#include "core/display_format.h"
#include "core/formula_lister.h"
#include "core/worksheet.h"

namespace tw {

const uint32_t kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                               0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                               0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

namespace {

constexpr uint32_t kTitleFill = 0x80FFFF;  // RGB(128, 255, 255)
constexpr uint32_t kWhite = 0xFFFFFF;

// A number's text, or a row of x filling the cell when it does not fit. The
// spaces a format puts after a number (room for a closing parenthesis) are
// dropped when only they do not fit.
std::string numberText(const Cell& c, uint8_t format, int width, const CellFont& font,
                       TextMeasure& measure, const FormatOptions& options) {
  int zero = std::max(1, measure.textWidth("0", font));
  int room = width - measure.margins().number;
  std::string t = FormatNumber(width / zero, format, numberValue(c), options);
  if (measure.textWidth(t, font) <= room) return t;
  while (!t.empty() && t.back() == ' ') t.pop_back();
  if (measure.textWidth(t, font) <= room) return t;
  int xw = std::max(1, measure.textWidth("x", font));
  return std::string(std::max(0, room / xw), 'x');
}

void showLabel(CellShow& s, const Cell& c, int width, const CellFont& font, TextMeasure& measure) {
  std::string_view label = pstringView(c.content);
  char prefix = label.empty() ? '\'' : label[0];
  std::string_view body = label.empty() ? label : label.substr(1);
  s.kind = ShowKind::Text;
  switch (prefix) {
    case '"':
      s.align = TextAlign::Right;
      break;
    case '^':
      s.align = TextAlign::Centre;
      break;
    case '\\': {
      // As many copies of the character after the prefix as fit.
      std::string unit(body.empty() ? std::string_view(" ") : body.substr(0, 1));
      int unitWidth = std::max(1, measure.textWidth(unit, font));
      int copies = std::max(0, (width - measure.margins().fill) / unitWidth);
      s.kind = ShowKind::Fill;
      s.text.reserve(unit.size() * copies);
      for (int i = 0; i < copies; ++i) s.text += unit;
      return;
    }
    case '|':
      if (body.size() > 1 && (body[0] == '<' || body[0] == '>')) {
        s.kind = ShowKind::Picture;
        s.stretch = body[0] == '<';
        s.text = std::string(body.substr(1));
        return;
      }
      break;
    default:
      break;
  }
  s.text = std::string(body);
}

}  // namespace

CellFont cellFontOf(const Cell& c) {
  CellFont f;
  f.face = c.font;
  f.size = c.size;
  if (!(c.style & 0x80)) {
    f.bold = c.style & 1;
    f.italic = c.style & 2;
    f.underline = c.style & 4;
  }
  return f;
}

CellShow cellShows(const Worksheet& ws, const Cell& c, int width, TextMeasure& measure) {
  return cellShows(ws, c, width, measure, formatOptions(ws));
}

CellShow cellShows(const Worksheet& ws, const Cell& c, int width, TextMeasure& measure,
                   const FormatOptions& options) {
  CellShow s;
  uint8_t format = ws.effectiveFormat(c);
  CellFont font = cellFontOf(c);
  CellClass k = classify(c);
  switch (k) {
    case CellClass::StringResult:
      if (format == kFormatHidden) break;
      if (format == kFormatText) {
        s.kind = ShowKind::Listing;
        s.text = ListFormula(ws, c.content);
      } else {
        s.kind = ShowKind::Text;
        s.text = std::string(pstringView(c.value.text));
      }
      break;
    case CellClass::NumberFormula:
    case CellClass::Real:
    case CellClass::Integer:
      s.align = TextAlign::Right;
      if (format == kFormatHidden) break;
      if (k == CellClass::NumberFormula && format == kFormatText) {
        s.kind = ShowKind::Listing;
        s.text = ListFormula(ws, c.content);
        s.align = TextAlign::Left;
        break;
      }
      s.kind = ShowKind::Number;
      s.text = numberText(c, format, width, font, measure, options);
      break;
    case CellClass::Label:
      if (format == kFormatHidden) break;
      showLabel(s, c, width, font, measure);
      break;
    case CellClass::Blank:
      break;
    case CellClass::Error:
      s.kind = ShowKind::Error;
      s.text = "ERR";
      s.align = TextAlign::Right;
      break;
  }
  if (s.kind == ShowKind::Picture) return s;
  switch ((c.style >> 4) & 7) {
    case 1:
      s.align = TextAlign::Left;
      break;
    case 2:
      s.align = TextAlign::Right;
      break;
    case 3:
      s.align = TextAlign::Centre;
      break;
    default:
      break;
  }
  return s;
}

uint32_t paletteRgb(uint32_t word) {
  return toRgb(kPalette[(word >> 24) & 0x0F]);
}

uint32_t cellFill(const Worksheet& ws, const Cell* c, int row, const CellLook& look) {
  const WorksheetSettings& s = ws.settings;
  if (look.printing) return kWhite;
  if (look.title) return kTitleFill;
  uint32_t fill = toRgb(s.colours[kBackgroundColour] & kColourRgbMask);
  if (s.banding && row % 2 == 0) fill = toRgb(s.colours[kBorderColour] & kColourRgbMask);
  if (s.showUnprotected && c && !c->isProtected())
    fill = toRgb(s.colours[kProtectedColour] & kColourRgbMask);
  if (c && !(c->colour & kColourAutoBack)) fill = toRgb(c->colour & kColourRgbMask);
  return fill;
}

uint32_t cellTextColour(const Worksheet& ws, const Cell* c, const CellLook& look) {
  const WorksheetSettings& s = ws.settings;
  if (look.monochrome || look.printing) return 0;
  if (s.showUnprotected && c && !c->isProtected()) return paletteRgb(s.colours[kProtectedColour]);
  if (c && !(c->colour & kColourAutoText)) return paletteRgb(c->colour);
  uint32_t word = s.colours[kValueColour];
  if (c && isText(c)) word = s.colours[kLabelColour];
  if (c && isNumber(c) && numberValue(*c) < 0 && s.negativeInColour)
    word = s.colours[kNegativeColour];
  return paletteRgb(word);
}

}  // namespace tw
