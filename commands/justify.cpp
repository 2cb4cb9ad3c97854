#include "commands/justify.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "core/cell.h"
#include "core/cell_display.h"
#include "core/cell_entry.h"
#include "core/cell_painter.h"
#include "core/host.h"
#include "core/program_settings.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"

namespace tw {

namespace {

constexpr const char* kTooSmall = " RANGE to Small. Expand it!";

using Measure = std::function<int(std::string_view)>;

// What justify reads of a cell: its input text, a label's without the prefix.
std::string justifyText(const Worksheet& ws, int row, int col) {
  CellHandle h = ws.FindCell(row, col);
  if (h == kNoCell) return {};
  if (ws.cell(h).type() == CellType::Label) return ws.LabelText(h);
  return CellInputText(ws, h);
}

// Double blanks become one; one blank goes from either end.
std::string cleaned(std::string t) {
  for (size_t at; (at = t.find("  ")) != std::string::npos;) t.erase(at, 1);
  if (!t.empty() && t.front() == ' ') t.erase(0, 1);
  if (!t.empty() && t.back() == ' ') t.pop_back();
  return t;
}

void dropLeadingBlanks(std::string& s) {
  s.erase(0, std::min(s.find_first_not_of(' '), s.size()));
}

class Pourer {
 public:
  Pourer(int lineWidth, const Measure& width) : lineWidth_(lineWidth), width_(width) {}

  bool fits(std::string_view s) const {
    return s.size() <= kJustifyLineLength && width_(s) <= lineWidth_;
  }

  // The longest prefix that fits, at least one character so that the
  // stream always shortens.
  size_t longestFitting(std::string_view s) const {
    size_t lo = 1, hi = std::min(s.size(), kJustifyLineLength);
    if (!fits(s.substr(0, 1))) return 1;
    while (lo < hi) {
      size_t mid = (lo + hi + 1) / 2;
      if (fits(s.substr(0, mid)))
        lo = mid;
      else
        hi = mid - 1;
    }
    return lo;
  }

  // Cuts lines off the stream while it is too wide; false when more than
  // maxLines would be needed.
  bool cut(std::string& stream, std::vector<std::string>& lines, size_t maxLines) const {
    while (!fits(stream)) {
      dropLeadingBlanks(stream);
      if (fits(stream)) break;
      if (lines.size() >= maxLines) return false;
      size_t n = longestFitting(stream);
      size_t at = n;
      // Back to the blank before the point, so that words stay whole.
      size_t blank = stream.rfind(' ', n);
      if (blank != std::string::npos && blank > 0) at = blank;
      std::string line = stream.substr(0, at);
      while (!line.empty() && line.back() == ' ') line.pop_back();
      lines.push_back(std::move(line));
      stream.erase(0, at);
      dropLeadingBlanks(stream);
    }
    return true;
  }

  // Blanks added after each gap between words, left to right, pass after
  // pass, until one more would make the line too wide; a line of one word
  // gets them at its end.
  void spread(std::string& line) const {
    if (line.empty() || line.back() == '.') return;
    size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) return;
    bool gaps = line.find(' ', first) != std::string::npos &&
                line.find_last_not_of(' ') > line.find(' ', first);
    if (!gaps) {
      while (width_(line) < lineWidth_) {
        line += ' ';
        if (!fits(line)) {
          line.pop_back();
          return;
        }
      }
      return;
    }
    while (width_(line) < lineWidth_) {
      size_t i = first;
      while (true) {
        size_t gap = line.find(' ', i);
        if (gap == std::string::npos) break;
        size_t end = line.find_first_not_of(' ', gap);
        if (end == std::string::npos) break;  // trailing blanks are no gap
        line.insert(end, 1, ' ');
        if (!fits(line)) {
          line.erase(end, 1);
          return;
        }
        i = end + 1;
      }
    }
  }

 private:
  int lineWidth_;
  const Measure& width_;
};

}  // namespace

Font justifyFont(const Worksheet& ws, int row, int col) {
  Font f;
  f.typeface = "Arial";
  f.size = kDefaultPointSize;
  CellHandle h = ws.FindCell(row, col);
  if (h == kNoCell) return f;
  const Cell& c = ws.cell(h);
  CellFont cf = cellFontOf(c);
  const auto& names = ws.session().settings().fontNames;
  if (cf.face != 255 && cf.face < names.size()) f.typeface = names[cf.face];
  if (cf.size > 0) f.size = cf.size;
  f.bold = cf.bold;
  f.italic = cf.italic;
  f.underline = cf.underline;
  return f;
}

CommandResult JustifyRange(CommandContext& cx, const CellRange& range, int widthPixels, bool pad) {
  Worksheet& ws = *cx.ws;
  Session& session = cx.session;
  if (!range.valid() || widthPixels <= 4) {
    cx.host().beep();
    return CommandResult::failed();
  }
  const CellRange r = range.ordered();
  const int rows = r.row2 - r.row1 + 1;
  const long long cells = static_cast<long long>(rows) * (r.col2 - r.col1 + 1);
  const int read = static_cast<int>(std::min<long long>(cells, kJustifyCells));
  auto rowOf = [&](int k) { return r.row1 + k % rows; };
  auto colOf = [&](int k) { return r.col1 + k / rows; };

  const Font font = justifyFont(ws, r.row1, r.col1);
  Host& host = cx.host();
  const Measure width = [&host, &font](std::string_view s) { return host.textWidth(s, font); };
  const Pourer pour(widthPixels - 4, width);

  std::vector<std::string> lines;
  std::string stream;
  bool fitsRange = true;
  for (int k = 0; k < read && fitsRange; ++k) {
    std::string t = justifyText(ws, rowOf(k), colOf(k));
    if (pad) t = cleaned(std::move(t));
    if (!t.empty() && t.front() != ' ' && !stream.empty() && stream.back() != ' ') stream += ' ';
    stream += t;
    fitsRange = pour.cut(stream, lines, static_cast<size_t>(read));
  }
  dropLeadingBlanks(stream);
  if (fitsRange && !stream.empty()) {
    if (lines.size() >= static_cast<size_t>(read))
      fitsRange = false;
    else
      lines.push_back(stream);
  }
  if (!fitsRange) {
    session.ShowError(kTooSmall);
    return CommandResult::failed();
  }
  if (pad)
    for (size_t i = 0; i + 1 < lines.size(); ++i) pour.spread(lines[i]);

  // Under protection every cell read must be open to change, and every
  // cell a line goes to must exist, before anything changes.
  if (ws.settings.protection) {
    for (int k = 0; k < read; ++k) {
      CellHandle h = ws.FindCell(rowOf(k), colOf(k));
      bool needed = static_cast<size_t>(k) < lines.size();
      if ((h == kNoCell && needed) || (h != kNoCell && ws.cell(h).isProtected())) {
        session.ShowError("Protected Cell");
        return CommandResult::failed();
      }
    }
  }

  TakeUndoSnapshot(ws);
  for (int k = 0; k < read; ++k) {
    CellHandle h = ws.FindCell(rowOf(k), colOf(k));
    if (h != kNoCell && ws.cell(h).type() != CellType::Blank) ws.ClearCell(h);
  }
  ws.modified = true;
  if (!ws.settings.manualRecalc) RecalcRange(ws, r);
  const std::string prefix(1, ws.settings.labelPrefix);
  for (size_t k = 0; k < lines.size(); ++k) {
    int at = static_cast<int>(k);
    EntryResult e = EnterCell(ws, prefix + lines[k], rowOf(at), colOf(at));
    session.error().clear();
    if (e != EntryResult::Stored) break;
  }
  return CommandResult::everything();
}

std::vector<std::string> editorLines(const Worksheet& ws, const CellRange& selection) {
  std::vector<std::string> lines;
  if (!selection.valid()) return lines;
  const CellRange r = selection.ordered();
  for (int row = r.row1; row <= r.row2; ++row)
    lines.push_back(CellInputText(ws, ws.FindCell(row, r.col1)));
  return lines;
}

CommandResult EnterEditorLines(CommandContext& cx, int row, int col,
                               const std::vector<std::string>& lines) {
  Worksheet& ws = *cx.ws;
  Session& session = cx.session;
  if (ws.settings.protection || !validAddress(row, col)) {
    cx.host().beep();
    return CommandResult::failed();
  }
  TakeUndoSnapshot(ws);
  const std::string prefix(1, ws.settings.labelPrefix);
  for (size_t i = 0; i < lines.size() && row + static_cast<int>(i) < kRows; ++i) {
    const int at = row + static_cast<int>(i);
    std::string line = lines[i].substr(0, kMaxText);
    if (line == CellInputText(ws, ws.FindCell(at, col))) continue;
    EntryResult e = EnterCell(ws, line, at, col);
    session.error().clear();
    // What does not compile is kept as typed, as a label, rather than lost.
    if (e == EntryResult::SyntaxError) {
      e = EnterCell(ws, (prefix + line).substr(0, kMaxText), at, col);
      session.error().clear();
    }
    if (e == EntryResult::Refused) break;
  }
  return CommandResult::everything();
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (true) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

void addJustifyCommands(CommandTable& t) {
  t.add({"JUSTIFY",
         {{ArgKind::Range, "Justify Range"},
          {ArgKind::Number, "Width"},
          {ArgKind::Integer, "Pad", true}},
         [](CommandContext& cx, const Args& a) {
           const double w = numberArg(a, 1);
           if (!std::isfinite(w) || w <= 4 || w > 1e6) {
             cx.host().beep();
             return CommandResult::failed();
           }
           return JustifyRange(cx, rangeArg(cx, a, 0, ArgKind::Range), static_cast<int>(w),
                               numberArg(a, 2) != 0);
         }});
  t.add({"WORDEDIT",
         {{ArgKind::Address, "WORD: First Cell"}, {ArgKind::Text, "Lines"}},
         [](CommandContext& cx, const Args& a) {
           CellRange at = rangeArg(cx, a, 0, ArgKind::Address).ordered();
           if (!at.valid()) {
             cx.host().beep();
             return CommandResult::failed();
           }
           return EnterEditorLines(cx, at.row1, at.col1, splitLines(textArg(a, 1)));
         }});
}

}  // namespace tw
