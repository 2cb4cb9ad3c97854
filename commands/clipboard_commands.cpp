#include "commands/clipboard_commands.h"

#include <charconv>
#include <string>
#include <vector>

#include "commands/block_commands.h"
#include "core/cell_display.h"
#include "core/cell_entry.h"
#include "core/char_case.h"
#include "core/display_format.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

std::string trimmed(std::string_view s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  size_t b = s.find_last_not_of(' ');
  return std::string(s.substr(a, b - a + 1));
}

// The cell as the grid shows it, for other programs: a number in its
// format at a width it always fits, a repeating label at its column's.
std::string plainText(const Worksheet& ws, const Cell& c, const FormatOptions& options) {
  FixedTextMeasure measure;
  CellShow wide = cellShows(ws, c, 8 * 60, measure, options);
  if (wide.kind == ShowKind::Fill)
    return trimmed(cellShows(ws, c, ws.columnPixels(c.column), measure, options).text);
  return trimmed(wide.text);
}

// The cell as typed, then ";F" format ",C" colour ",T" typeface ",H" size ",S" style.
std::string privateText(const Worksheet& ws, CellHandle h) {
  const Cell& c = ws.cell(h);
  return CellInputText(ws, h) + ";F" + std::to_string(c.format) + ",C" + std::to_string(c.colour) +
         ",T" + std::to_string(c.font) + ",H" + std::to_string(c.size) + ",S" +
         std::to_string(c.style);
}

// A decimal integer, as the attribute list writes it.
bool integerOf(std::string_view s, int64_t& out) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

void applyAttributes(Cell& c, std::string_view list) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    std::string_view item =
        list.substr(start, comma == std::string_view::npos ? list.npos : comma - start);
    int64_t v = 0;
    if (item.size() >= 2 && integerOf(item.substr(1), v)) {
      switch (upperChar(item[0])) {
        case 'C':
          c.colour = static_cast<uint32_t>(v);
          break;
        case 'F':
          c.format = static_cast<uint8_t>(v);
          break;
        case 'H':
          c.size = static_cast<uint8_t>(v);
          break;
        case 'S':
          c.style = static_cast<uint8_t>(v);
          break;
        case 'T':
          c.font = static_cast<uint8_t>(v);
          break;
        default:
          break;
      }
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
}

// The lines of a clipboard text: each CR LF, CR or LF ends one, so an empty
// line keeps its row; a line end at the very end makes no further row.
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

}  // namespace

ClipboardData ClipboardForms(const Worksheet& ws, const CellRange& range) {
  ClipboardData out;
  CellRange r = range.ordered();
  FormatOptions options = formatOptions(ws);
  for (int row = r.row1; row <= r.row2; ++row) {
    for (int col = r.col1; col <= r.col2; ++col) {
      if (col > r.col1) {
        out.privateForm += '\t';
        out.text += '\t';
      }
      CellHandle h = ws.FindCell(row, col);
      if (h == kNoCell || ws.cell(h).type() == CellType::Blank) continue;
      out.privateForm += privateText(ws, h);
      out.text += plainText(ws, ws.cell(h), options);
    }
    out.privateForm += "\r\n";
    out.text += "\r\n";
  }
  out.hasPrivate = out.hasText = true;
  return out;
}

CommandResult CopyToClipboard(CommandContext& cx, const CellRange& range, bool cut) {
  Worksheet& ws = *cx.ws;
  if (!range.valid()) return CommandResult::failed();
  ClipboardData data = ClipboardForms(ws, range);
  // Both forms end with a NUL in the buffer.
  if (data.privateForm.size() + 1 > kClipboardBytes || data.text.size() + 1 > kClipboardBytes) {
    cx.session.ShowError("Block too large for the clipboard");
    return CommandResult::failed();
  }
  cx.host().setClipboard(data);
  if (!cut) return CommandResult{};  // nothing changed: the undo of the last edit stays
  return EraseRange(cx, range);
}

CommandResult PasteFromClipboard(CommandContext& cx, const CellRange& range) {
  Worksheet& ws = *cx.ws;
  if (!range.valid()) return CommandResult::failed();
  ClipboardData data = cx.host().clipboard();
  if (!data.hasPrivate && !data.hasText) return CommandResult{};
  const bool own = data.hasPrivate;
  std::string_view text = own ? data.privateForm : data.text;
  text = text.substr(0, text.find('\0'));
  if (text.size() + 1 > kClipboardBytes) {
    cx.session.ShowError("Block too large for the clipboard");
    return CommandResult::failed();
  }
  CellRange at = range.ordered();
  TakeUndoSnapshot(ws);
  CommandResult out;
  out.allChanged = true;
  Session& session = cx.session;
  int row = at.row1;
  for (std::string_view line : linesOf(text)) {
    if (!own && line.size() > kClipboardLine) line = line.substr(0, kClipboardLine);
    int col = at.col1;
    size_t start = 0;
    while (start <= line.size()) {
      size_t tab = line.find('\t', start);
      std::string_view field =
          line.substr(start, tab == std::string_view::npos ? line.npos : tab - start);
      std::string_view contents = field, attributes;
      bool hasAttributes = false;
      if (own) {
        size_t semi = field.rfind(';');
        if (semi != std::string_view::npos) {
          contents = field.substr(0, semi);
          attributes = field.substr(semi + 1);
          hasAttributes = true;
        }
      }
      if (!field.empty()) {
        if (!validAddress(row, col)) {
          session.ShowError("Out of Range");
          out.ok = false;
          return out;
        }
        EntryResult e = EnterCell(ws, contents, row, col);
        if (e == EntryResult::SyntaxError) {
          session.error().clear();
          session.ShowError("Syntax Error in pasted text at " + ws.addressText(row, col));
          out.ok = false;
          return out;
        }
        if (e == EntryResult::Refused) {
          out.ok = false;
          return out;
        }
        if (hasAttributes)
          if (Cell* c = ws.cellAt(row, col)) applyAttributes(*c, attributes);
      }
      ++col;
      if (tab == std::string_view::npos) break;
      start = tab + 1;
    }
    ++row;
  }
  ws.modified = true;
  return out;
}

void addClipboardCommands(CommandTable& t) {
  t.add({"EDITCOPY", {{ArgKind::Range, "", true}}, [](CommandContext& cx, const Args& a) {
           return CopyToClipboard(cx, rangeArg(cx, a, 0, ArgKind::Range), false);
         }});
  t.add({"EDITCUT", {{ArgKind::Range, "", true}}, [](CommandContext& cx, const Args& a) {
           return CopyToClipboard(cx, rangeArg(cx, a, 0, ArgKind::Range), true);
         }});
  t.add({"EDITPASTE", {{ArgKind::Address, "", true}}, [](CommandContext& cx, const Args& a) {
           return PasteFromClipboard(cx, rangeArg(cx, a, 0, ArgKind::Address));
         }});
}

}  // namespace tw
