#include "commands/dbase_commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <new>
#include <string_view>
#include <vector>

#include "commands/sheet_commands.h"
#include "core/cell.h"
#include "core/cell_entry.h"
#include "core/day_serial.h"
#include "core/display_format.h"
#include "core/host.h"
#include "core/number_text.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"
#include "files/dbase_file.h"
#include "core/replace_file.h"

namespace tw {

namespace {

constexpr long kGaugeEvery = 128;
constexpr const char* kProtectedMessage = "Protected Cell";
constexpr const char* kMemoryMessage = "Out of Memory";

bool isDateFormat(uint8_t format) {
  format &= kFormatMask;
  return format == kFormatD1 || format == kFormatD2 || format == kFormatD3 || format == kFormatD4 ||
         format == kFormatD5;
}

bool numericType(char type) {
  return type == 'N' || type == 'F';
}

// The format byte a field's cells get.
uint8_t fieldFormat(const DbaseField& f) {
  switch (f.type) {
    case 'C':
    case 'L':
    case 'M':
      return kFormatText | kFormatProtected;
    case 'D':
      return kFormatD4 | kFormatProtected;
    case 'N':
      return static_cast<uint8_t>(std::min(f.decimals, 15)) | kFormatProtected;
    default:
      return kFormatDefault | kFormatProtected;
  }
}

// A field's text without the padding other programs write after it
// (spaces, or NULs); a NUL inside becomes a space, as cell texts end at one
// when saved.
std::string paddedText(std::string_view bytes) {
  size_t end = bytes.size();
  while (end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0')) --end;
  std::string text(bytes.substr(0, end));
  std::replace(text.begin(), text.end(), '\0', ' ');
  return text;
}

// What one field value becomes.
struct Value {
  enum Kind { Empty, Number, Label } kind = Empty;
  double number = 0;
  std::string text;  // without prefix
};

bool digits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int toInt(std::string_view s) {
  int v = 0;
  for (char c : s) v = v * 10 + (c - '0');
  return v;
}

Value fieldValue(const DbaseField& f, std::string_view bytes) {
  Value v;
  std::string text = paddedText(bytes);
  if (numericType(f.type)) {
    std::string packed;
    for (char c : text)
      if (c != ' ') packed += c;
    if (packed.empty()) return v;
    if (packed == ".") {
      v.kind = Value::Number;
      return v;
    }
    // The file's numbers always use the point, whatever the program's separator.
    if (auto x = parseNumberText(packed, '.')) {
      v.kind = Value::Number;
      v.number = *x;
      return v;
    }
  } else if (f.type == 'D') {
    size_t lead = text.find_first_not_of(' ');
    if (lead == std::string::npos) return v;
    std::string_view d = std::string_view(text).substr(lead);
    if (d.size() == 8 && digits(d)) {
      int month = toInt(d.substr(4, 2)), day = toInt(d.substr(6, 2));
      if (month >= 1 && month <= 12 && day >= 1 && day <= 31) {
        v.kind = Value::Number;
        v.number = DateSerial(toInt(d.substr(0, 4)), month, day);
        return v;
      }
    }
  }
  // Text, and what a numeric or date field holds that is not one, as a
  // label; the leading spaces of a number or date are its alignment.
  if (numericType(f.type) || f.type == 'D')
    text.erase(0, std::min(text.size(), text.find_first_not_of(' ')));
  if (text.empty()) return v;
  v.kind = Value::Label;
  v.text = std::move(text);
  return v;
}

// Puts the cells of one row in rising column order, the search for each
// starting at the last cell made.
class RowStore {
 public:
  RowStore(Worksheet& ws, int row) : ws_(ws), row_(row) {}
  // The cell at col with its content cleared; null when no record could be had.
  Cell* cleared(int col) {
    CellHandle h = ws_.GetOrCreateCellAfter(last_, row_, col);
    if (h == kNoCell) return nullptr;
    last_ = h;
    ws_.ClearCell(h);
    Cell& c = ws_.cell(h);
    c.kind &= kKindTypeMask;
    return &c;
  }
  void clearIfThere(int col) {
    if (CellHandle h = ws_.FindCell(row_, col)) {
      ws_.ClearCell(h);
      ws_.cell(h).kind &= kKindTypeMask;
    }
  }

 private:
  Worksheet& ws_;
  int row_;
  CellHandle last_ = kNoCell;
};

void setLabel(Cell& c, char prefix, std::string_view text) {
  std::string label(1, prefix);
  label.append(text.substr(0, kMaxText - 1));
  c.value.raw = 0;
  c.content = makePString(label);
  c.setType(CellType::Label);
}

// Whether every cell of the area may be entered under global protection.
bool areaUnprotected(Worksheet& ws, const CellRange& area) {
  long open = 0;
  ws.ForEachCell(area, [&](CellHandle, Cell& c) {
    if (!c.isProtected()) ++open;
    return true;
  });
  return open == (area.row2 - area.row1 + 1L) * (area.col2 - area.col1 + 1L);
}

CommandResult finished(Worksheet& ws, bool ok) {
  ws.modified = true;
  CommandResult out = CommandResult::everything();
  out.layoutChanged = true;
  if (!ws.settings.manualRecalc) {
    RecalcAll(ws);
    out.recalculated = true;
  }
  out.ok = ok;
  return out;
}

}  // namespace

std::optional<DbaseSummary> DbaseFileSummary(const std::string& path) {
  DbaseReader reader;
  if (!reader.open(path)) return std::nullopt;
  return DbaseSummary{static_cast<int>(reader.header().fields.size()),
                      static_cast<long>(reader.header().recordCount)};
}

CommandResult ImportDbase(CommandContext& cx, const std::string& path, int row, int col,
                          long firstRecord, long count) {
  if (!cx.ws || !validAddress(row, col)) return CommandResult::failed();
  Worksheet& ws = *cx.ws;
  DbaseReader reader;
  if (!reader.open(path)) {
    cx.session.ShowError(kDbaseReadMessage);
    return CommandResult::failed();
  }
  const DbaseHeader& header = reader.header();
  if (header.fields.size() > static_cast<size_t>(kDbaseMaxFields)) {
    cx.session.ShowError(kDbaseFieldCountMessage);
    return CommandResult::failed();
  }
  const int fields = std::min<int>(static_cast<int>(header.fields.size()), kColumns - col);
  const uint32_t first = static_cast<uint32_t>(std::clamp<long>(firstRecord, 1, 0xFFFFFFFFL) - 1);
  const uint32_t available = first < header.recordCount ? header.recordCount - first : 0;
  const uint32_t total =
      count <= 0 ? available : static_cast<uint32_t>(std::min<long>(count, available));
  const int rowsLeft = kRows - 1 - row;

  const int lastRow = row + static_cast<int>(std::min<long>(total, rowsLeft));
  if (ws.settings.protection &&
      !areaUnprotected(ws, CellRange::of(row, col, lastRow, col + fields - 1))) {
    cx.session.ShowError(kProtectedMessage);
    return CommandResult::failed();
  }

  Host& host = cx.host();
  TakeUndoSnapshot(ws);
  std::vector<uint8_t> formats(static_cast<size_t>(fields));
  bool ok = true;
  try {
    RowStore names(ws, row);
    for (int i = 0; i < fields; ++i) {
      const DbaseField& f = header.fields[static_cast<size_t>(i)];
      formats[static_cast<size_t>(i)] = fieldFormat(f);
      Cell* c = names.cleared(col + i);
      if (!c) throw std::bad_alloc();
      setLabel(*c, ws.settings.labelPrefix, f.name);
      c->format = formats[static_cast<size_t>(i)];
      // A date shows in the full date form, a character more than the
      // field's eight: the column takes it so that the dates do not
      // show as overflow.
      SetColumnWidth(ws, col + i, col + i, f.type == 'D' ? std::max(f.length, 10) : f.length);
    }

    int next = row + 1;
    long done = 0;
    const bool read = reader.forEachRecord(first, total, [&](uint32_t, std::string_view record) {
      if (++done % kGaugeEvery == 0)
        host.showProgress(static_cast<int>(done * 100 / std::max<long>(total, 1)));
      if (recordDeleted(record)) return true;
      if (next >= kRows) return false;
      RowStore cells(ws, next);
      for (int i = 0; i < fields; ++i) {
        const DbaseField& f = header.fields[static_cast<size_t>(i)];
        Value v = fieldValue(f, fieldBytes(record, f));
        if (v.kind == Value::Empty) {
          cells.clearIfThere(col + i);
          continue;
        }
        Cell* c = cells.cleared(col + i);
        if (!c) throw std::bad_alloc();
        if (v.kind == Value::Number)
          storeNumber(*c, v.number);
        else
          setLabel(*c, '\'', v.text);
        c->format = static_cast<uint8_t>((c->format & kFormatProtected) |
                                         (formats[static_cast<size_t>(i)] & kFormatMask));
      }
      ++next;
      return true;
    });
    if (!read) {
      cx.session.ShowError(kDbaseReadMessage);
      ok = false;
    }
  } catch (const std::bad_alloc&) {
    cx.session.error().clear();
    cx.session.ShowError(kMemoryMessage);
    ok = false;
  }
  host.showProgress(-1);
  return finished(ws, ok);
}

namespace {

// A number in fixed notation with the decimals, without the C library's locale.
std::string fixedText(double x, int decimals) {
  char buffer[400];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return {};
  std::string text(buffer, end);
  // A small negative that rounds to zero is written without its sign.
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string dateText(double serial) {
  CalendarDate d = SerialToDate(std::floor(serial));
  if (d.year < 1 || d.year > 9999) return {};
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", d.year, d.month, d.day);
  return buffer;
}

// A text that does not fit a numeric field is not cut: the field is filled
// with "*" so that no reader takes it for another number.
std::string fitted(std::string text, const DbaseField& f, bool rightAligned) {
  const size_t length = static_cast<size_t>(f.length);
  if (text.size() > length) return std::string(length, '*');
  if (rightAligned) text.insert(0, length - text.size(), ' ');
  return text;
}

std::string exportedValue(const Worksheet& ws, CellHandle h, const DbaseField& f) {
  if (h == kNoCell) return {};
  const Cell& c = ws.cell(h);
  if (isNumber(&c)) {
    if (c.isErr()) return {};
    const double x = numberValue(c);
    if (f.type == 'D' || isDateFormat(ws.effectiveFormat(c))) return dateText(x);
    if (f.type == 'N') return fitted(fixedText(x, f.decimals), f, true);
    return fitted(GeneralText(x, '.'), f, false);
  }
  if (isText(&c)) return ws.LabelText(h);
  return {};
}

}  // namespace

CommandResult ExportDbase(CommandContext& cx, const std::string& path, const CellRange& range) {
  if (!cx.ws || !range.valid()) return CommandResult::failed();
  Worksheet& ws = *cx.ws;
  const CellRange r = range.ordered();
  if (!validAddress(r.row1, r.col1) || !validAddress(r.row2, r.col2))
    return CommandResult::failed();
  try {
    std::vector<DbaseField> fields;
    for (int col = r.col1; col <= r.col2; ++col) {
      DbaseField f;
      f.length = columnCharacters(ws, col);
      if (CellHandle h = ws.FindCell(r.row1, col); h != kNoCell) {
        const Cell& c = ws.cell(h);
        if (isText(&c))
          f.name = ws.LabelText(h);
        else if (isNumber(&c) && !c.isErr())
          f.name = GeneralText(numberValue(c), '.');
        const uint8_t format = c.format & kFormatMask;
        if ((format >> 4) == 0) {
          f.type = 'N';
          f.decimals = format & 0x0F;
        } else if (isDateFormat(format)) {
          f.type = 'D';
          f.length = 8;
        }
      }
      if (f.type == 'C') {
        // A text longer than its column is narrow widens the field rather
        // than being cut.
        for (int row = r.row1 + 1; row <= r.row2; ++row)
          if (CellHandle h = ws.FindCell(row, col); h != kNoCell && isText(&ws.cell(h)))
            f.length = std::max<int>(f.length, static_cast<int>(ws.LabelText(h).size()));
        f.length = std::min(f.length, 254);
      }
      fields.push_back(std::move(f));
    }
    DbaseWriter writer(std::move(fields), dbaseToday());
    std::vector<std::string> values(writer.fields().size());
    for (int row = r.row1 + 1; row <= r.row2; ++row) {
      for (size_t i = 0; i < values.size(); ++i)
        values[i] =
            exportedValue(ws, ws.FindCell(row, r.col1 + static_cast<int>(i)), writer.fields()[i]);
      writer.addRecord(values);
    }
    if (ReplaceFileWith(path, writer.finish())) return CommandResult{};
  } catch (const std::bad_alloc&) {
  }
  cx.session.ShowError(kDbaseWriteMessage);
  return CommandResult::failed();
}

}  // namespace tw
