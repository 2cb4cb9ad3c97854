#include "commands/property_commands.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "commands/sheet_commands.h"
#include "core/cell_display.h"
#include "core/char_case.h"
#include "core/display_format.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

CommandResult SetRangeFormat(CommandContext& cx, const CellRange& range, uint8_t format) {
  Worksheet& ws = *cx.ws;
  CellRange r = range.ordered();
  if (!r.valid()) return CommandResult::failed();
  TakeUndoSnapshot(ws);
  bool protection = ws.settings.protection;
  for (int row = r.row1; row <= r.row2; ++row)
    for (int col = r.col1; col <= r.col2; ++col) {
      // A missing cell would be made protected, as the template is.
      if (protection && ws.templateCell.isProtected() && ws.FindCell(row, col) == kNoCell) continue;
      CellHandle h = ws.GetOrCreateCell(row, col);
      if (h == kNoCell) {
        cx.session.showPendingError();
        return CommandResult::failed();
      }
      Cell& c = ws.cell(h);
      if (protection && c.isProtected()) continue;
      c.format = static_cast<uint8_t>((c.format & kFormatProtected) | (format & kFormatMask));
    }
  ws.modified = true;
  CommandResult out;
  out.changed.push_back(r);
  return out;
}

namespace {

bool skipped(const Worksheet& ws, const Cell& c) {
  return ws.settings.protection && c.isProtected();
}

// Calls fn(cell, row, col) for every cell of the range, made where missing.
// False (the message shown) when a cell could not be made.
template <class F>
bool eachCell(CommandContext& cx, const CellRange& r, F&& fn) {
  Worksheet& ws = *cx.ws;
  for (int row = r.row1; row <= r.row2; ++row)
    for (int col = r.col1; col <= r.col2; ++col) {
      CellHandle h = ws.GetOrCreateCell(row, col);
      if (h == kNoCell) {
        cx.session.showPendingError();
        return false;
      }
      fn(ws.cell(h), row, col);
    }
  return true;
}

// The common frame of the attribute commands: the undo snapshot, the walk,
// the worksheet marked changed.
template <class F>
CommandResult attributes(CommandContext& cx, const CellRange& range, F&& fn) {
  CellRange r = range.ordered();
  if (!r.valid()) return CommandResult::failed();
  TakeUndoSnapshot(*cx.ws);
  CommandResult out;
  out.ok = eachCell(cx, r, fn);
  cx.ws->modified = true;
  out.changed.push_back(CellRange::of(r.row1, 0, r.row2, kColumns - 1));
  return out;
}

// A label's prefix replaced, its text kept (at most 240 characters).
void setPrefix(Cell& c, char prefix) {
  std::string_view old = pstringView(c.content);
  std::string text = std::string(1, prefix) + std::string(old.empty() ? old : old.substr(1));
  if (text.size() > kMaxText) text.resize(kMaxText);
  freePString(c.content);
  c.content = makePString(text);
}

bool labelPrefix(char c) {
  return c == '\'' || c == '"' || c == '^' || c == '\\' || c == '|';
}

}  // namespace

Properties PropertiesOf(const Worksheet& ws, int row, int col) {
  Properties p;
  CellHandle h = ws.FindCell(row, col);
  if (h == kNoCell) {
    p.locked = false;
    return p;
  }
  const Cell& c = ws.cell(h);
  p.format = c.format & kFormatMask;
  p.background = (c.colour & kColourAutoBack) ? 0xFFFFFF : (c.colour & kColourRgbMask);
  p.defaultShade = (c.colour & kColourAutoBack) != 0;
  p.textColour = static_cast<uint8_t>((c.colour >> 24) & 0x0F);
  p.font = c.font;
  p.size = c.size;
  p.styleBits = c.style & 0x07;
  p.locked = c.isProtected();
  return p;
}

CommandResult ApplyProperties(CommandContext& cx, const CellRange& range, const Properties& p) {
  CellRange r = range.ordered();
  if (!r.valid() || p.mask == 0) return CommandResult::failed();
  const char prefix = p.prefix == PrefixChoice::Left     ? '\''
                      : p.prefix == PrefixChoice::Center ? '^'
                                                         : '"';
  const uint8_t align = p.prefix == PrefixChoice::Left     ? 1
                        : p.prefix == PrefixChoice::Center ? 3
                                                           : 2;
  const uint8_t line = p.line == BorderLine::None     ? 0x00
                       : p.line == BorderLine::Single ? 0x55
                                                      : 0xAA;
  const uint32_t background = p.defaultShade ? kColourAutoBack : (p.background & kColourRgbMask);
  const uint8_t textColour = p.defaultShade ? 0 : (p.textColour & 0x0F);
  Worksheet& ws = *cx.ws;
  return attributes(cx, r, [&](Cell& c, int row, int col) {
    if (skipped(ws, c)) return;
    if (p.mask & kPageFormat)
      c.format = static_cast<uint8_t>((c.format & kFormatProtected) | (p.format & kFormatMask));
    if (p.mask & kPageShade) c.colour = (c.colour & 0x7F000000) | background;
    if (p.mask & kPageTypeface) {
      c.font = p.font;
      c.size = p.size;
      c.style = static_cast<uint8_t>((c.style & 0xF0) | (p.styleBits & 0x07));
      c.colour = (c.colour & 0x80FFFFFF) | (uint32_t(textColour) << 24);
    }
    if (p.mask & kPagePrefix) {
      if (c.type() == CellType::Label)
        setPrefix(c, prefix);
      else
        c.style = static_cast<uint8_t>((c.style & 0x8F) | (align << 4));
    }
    if (p.mask & kPageLock)
      c.format = static_cast<uint8_t>((c.format & kFormatMask) | (p.locked ? kFormatProtected : 0));
    if (p.mask & kPageBorder) {
      uint8_t edges = 0;
      if (col == r.col1) edges |= 0x03;
      if (row == r.row2) edges |= 0x0C;
      if (col == r.col2) edges |= 0x30;
      if (row == r.row1) edges |= 0xC0;
      uint8_t mask = p.where == BorderWhere::Out   ? edges
                     : p.where == BorderWhere::In  ? static_cast<uint8_t>(~edges)
                     : p.where == BorderWhere::All ? 0xFF
                                                   : 0x00;
      c.borders = line & mask;
    }
  });
}

CommandResult ToggleStyleBit(CommandContext& cx, const CellRange& range, uint8_t bit) {
  const Cell* at = cx.ws->cellAt(cx.row, cx.col);
  uint8_t style = static_cast<uint8_t>(((at ? at->style & 0x8F : 0) ^ bit));
  return attributes(cx, range, [&](Cell& c, int, int) { c.style = style; });
}

CommandResult SetTypeface(CommandContext& cx, const CellRange& range, uint8_t font) {
  return attributes(cx, range, [&](Cell& c, int, int) { c.font = font; });
}

CommandResult SetPointSize(CommandContext& cx, const CellRange& range, int size) {
  if (size < 0 || size > 255) return CommandResult::failed();
  return attributes(cx, range, [&](Cell& c, int, int) { c.size = static_cast<uint8_t>(size); });
}

int rowPixelsForSize(const Worksheet& ws, int size) {
  if (size <= 0) return ws.settings.defaultRowPixels;
  return std::clamp(std::max<int>(ws.settings.defaultRowPixels, size * 5 / 3 + 4), kSmallestSize,
                    kLargestSize);
}

CommandResult StepPointSize(CommandContext& cx, const CellRange& range, int step) {
  CellRange r = range.ordered();
  std::vector<int> largest(r.valid() ? r.row2 - r.row1 + 1 : 0, 0);
  CommandResult out = attributes(cx, r, [&](Cell& c, int row, int) {
    int size = c.size == 0 ? 16 : c.size;
    if (step > 0 && size + 1 < 50) ++size;
    if (step < 0 && size - 1 > 4) --size;
    c.size = static_cast<uint8_t>(size);
    largest[row - r.row1] = std::max(largest[row - r.row1], size);
  });
  if (!out.ok) return out;
  for (int row = r.row1; row <= r.row2; ++row)
    SetRowHeight(*cx.ws, row, row, rowPixelsForSize(*cx.ws, largest[row - r.row1]));
  out.layoutChanged = true;
  return out;
}

CommandResult SetBackground(CommandContext& cx, const CellRange& range, uint32_t rgb) {
  return attributes(cx, range, [&](Cell& c, int, int) {
    c.colour = (rgb & kColourRgbMask) | (c.colour & 0x4F000000);
  });
}

int nearestPaletteEntry(uint32_t rgb) {
  int best = 0, bestDistance = 1 << 30;
  for (int i = 0; i < 16; ++i) {
    uint32_t p = toRgb(kPalette[i]);
    int d = std::abs(int((p >> 16) & 0xFF) - int((rgb >> 16) & 0xFF)) +
            std::abs(int((p >> 8) & 0xFF) - int((rgb >> 8) & 0xFF)) +
            std::abs(int(p & 0xFF) - int(rgb & 0xFF));
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

CommandResult SetTextColour(CommandContext& cx, const CellRange& range, uint32_t rgb) {
  uint32_t index = static_cast<uint32_t>(nearestPaletteEntry(rgb));
  return attributes(cx, range,
                    [&](Cell& c, int, int) { c.colour = (index << 24) | (c.colour & 0xB0FFFFFF); });
}

CommandResult SetFormatFromBox(CommandContext& cx, const CellRange& range,
                               const std::string& entry) {
  std::string code = entry.substr(0, 2);
  if (size_t comma = code.find(','); comma != std::string::npos) code.resize(comma);
  return SetRangeFormat(cx, range, ParseFormatCode(code));
}

CommandResult ToggleProtection(CommandContext& cx) {
  cx.ws->settings.protection = !cx.ws->settings.protection;
  cx.ws->modified = true;
  return CommandResult::everything();
}

void addPropertyCommands(CommandTable& t) {
  t.add({"RANGEFORMAT",
         {{ArgKind::Range, "FORMAT: Specify Range"}, {ArgKind::Text, "Format code"}},
         [](CommandContext& cx, const Args& a) {
           std::string code = textArg(a, 1).substr(0, 8);
           return SetRangeFormat(cx, rangeArg(cx, a, 0, ArgKind::Range), ParseFormatCode(code));
         }});
  t.add({"RANGELOCK",
         {{ArgKind::Range, "PROPERTY : Specify Range"}, {ArgKind::Integer, "Lock (0 or 1)"}},
         [](CommandContext& cx, const Args& a) {
           Properties p;
           p.mask = kPageLock;
           p.locked = numberArg(a, 1) != 0;
           return ApplyProperties(cx, rangeArg(cx, a, 0, ArgKind::Range), p);
         }});
  t.add({"RANGEPREFIX",
         {{ArgKind::Range, "PROPERTY : Specify Range"}, {ArgKind::Text, "Label prefix"}},
         [](CommandContext& cx, const Args& a) {
           std::string text = textArg(a, 1);
           if (text.empty()) return CommandResult{};
           if (!labelPrefix(text[0])) {
             cx.host().beep();
             return CommandResult::failed();
           }
           Worksheet& ws = *cx.ws;
           return attributes(cx, rangeArg(cx, a, 0, ArgKind::Range), [&](Cell& c, int, int) {
             if (!skipped(ws, c) && c.type() == CellType::Label) setPrefix(c, text[0]);
           });
         }});
  t.add({"RANGECOLOR",
         {{ArgKind::Range, "PROPERTY : Specify Range"},
          {ArgKind::Integer, "Colour"},
          {ArgKind::Integer, "Attribute"}},
         [](CommandContext& cx, const Args& a) {
           uint32_t word = static_cast<uint32_t>((static_cast<int64_t>(numberArg(a, 2)) << 24) +
                                                 static_cast<int64_t>(numberArg(a, 1)));
           Worksheet& ws = *cx.ws;
           return attributes(cx, rangeArg(cx, a, 0, ArgKind::Range), [&](Cell& c, int, int) {
             if (!skipped(ws, c)) c.colour = word;
           });
         }});
  t.add({"RANGEJUSTIFY",
         {{ArgKind::Range, "PROPERTY : Specify Range"}, {ArgKind::Integer, "Alignment (0 to 3)"}},
         [](CommandContext& cx, const Args& a) {
           int align = static_cast<int>(numberArg(a, 1));
           if (align < 0 || align > 3) {
             cx.host().beep();
             return CommandResult::failed();
           }
           Worksheet& ws = *cx.ws;
           return attributes(cx, rangeArg(cx, a, 0, ArgKind::Range), [&](Cell& c, int, int) {
             if (!skipped(ws, c)) c.style = static_cast<uint8_t>((c.style & 0x8F) | (align << 4));
           });
         }});
  // 0 upper case, 1 lower case, 2 each word with a capital.
  t.add({"BLOCKCASE",
         {{ArgKind::Range, "PROPERTY : Specify Range"}, {ArgKind::Integer, "Case (0 to 2)"}},
         [](CommandContext& cx, const Args& a) {
           int kind = static_cast<int>(numberArg(a, 1));
           if (kind < 0 || kind > 2) {
             cx.host().beep();
             return CommandResult::failed();
           }
           Worksheet& ws = *cx.ws;
           CellRange r = rangeArg(cx, a, 0, ArgKind::Range).ordered();
           if (!r.valid()) return CommandResult::failed();
           TakeUndoSnapshot(ws);
           ws.ForEachCell(r, [&](CellHandle, Cell& c) {
             if (skipped(ws, c) || c.type() != CellType::Label || !c.content) return true;
             uint8_t* p = c.content;
             bool wordStart = true;
             for (int i = 2; i <= p[0]; ++i) {  // after the prefix
               char ch = static_cast<char>(p[i]);
               bool upper = kind == 0 || (kind == 2 && wordStart);
               p[i] = static_cast<uint8_t>(upper ? upperChar(ch) : lowerChar(ch));
               wordStart = ch == ' ';
             }
             return true;
           });
           ws.modified = true;
           CommandResult out;
           out.changed.push_back(CellRange::of(r.row1, 0, r.row2, kColumns - 1));
           return out;
         }});
  // The format bar's, on the selection.
  auto onSelection =
      [&t](const char* name, ArgKind kind,
           std::function<CommandResult(CommandContext&, const CellRange&, const Arg&)> fn) {
        t.add({name,
               {{kind, ""}, {ArgKind::Range, "", true}},
               [fn](CommandContext& cx, const Args& a) {
                 return fn(cx, rangeArg(cx, a, 1, ArgKind::Range), a.empty() ? Arg{} : a[0]);
               }});
      };
  onSelection("FORMATSTYLE", ArgKind::Integer,
              [](CommandContext& cx, const CellRange& r, const Arg& a) {
                return ToggleStyleBit(cx, r, static_cast<uint8_t>(a.number) & 0x07);
              });
  onSelection("FORMATFONT", ArgKind::Integer,
              [](CommandContext& cx, const CellRange& r, const Arg& a) {
                return SetTypeface(cx, r, static_cast<uint8_t>(a.number));
              });
  onSelection("FORMATSIZE", ArgKind::Number,
              [](CommandContext& cx, const CellRange& r, const Arg& a) {
                return SetPointSize(cx, r, static_cast<int>(a.number));
              });
  onSelection("FORMATSTEP", ArgKind::Integer,
              [](CommandContext& cx, const CellRange& r, const Arg& a) {
                return StepPointSize(cx, r, a.number < 0 ? -1 : 1);
              });
  onSelection("FORMATBACK", ArgKind::Integer,
              [](CommandContext& cx, const CellRange& r, const Arg& a) {
                return SetBackground(cx, r, static_cast<uint32_t>(a.number));
              });
  onSelection("FORMATTEXT", ArgKind::Integer,
              [](CommandContext& cx, const CellRange& r, const Arg& a) {
                return SetTextColour(cx, r, static_cast<uint32_t>(a.number));
              });
  onSelection("FORMATBOX", ArgKind::Text, [](CommandContext& cx, const CellRange& r, const Arg& a) {
    return SetFormatFromBox(cx, r, a.text);
  });
  t.add({"PROTECTSHEET", {}, [](CommandContext& cx, const Args&) { return ToggleProtection(cx); }});
}

}  // namespace tw
