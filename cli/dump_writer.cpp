#include "cli/dump_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "core/cell_display.h"
#include "core/cell_entry.h"
#include "core/display_format.h"
#include "core/formula_lister.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

namespace {

constexpr std::string_view kTypeNames[] = {"strformula", "numformula", "real",
                                           "integer",    "label",      "blank"};

std::string_view typeName(const Cell& c) {
  uint8_t t = c.kind & kKindTypeMask;
  return t <= 5 ? kTypeNames[t] : std::string_view("unknown");
}

// The shown text of a cell as the listing trims it.
void trimShown(CellShow& shown, int pixels) {
  std::string& t = shown.text;
  if (shown.kind == ShowKind::Picture) {
    t.clear();
    return;
  }
  while (shown.kind == ShowKind::Number && !t.empty() && t.back() == ' ') t.pop_back();
  size_t fits = static_cast<size_t>(std::max(pixels / 8, 0));
  if (t.size() > fits) t.resize(fits);
}

class DumpWriter {
 public:
  DumpWriter(const Worksheet& ws, std::ostream& out)
      : ws_(ws), out_(out), options_(formatOptions(ws)), lister_(ws) {
    decimal_ = ws.session().settings().decimalSeparator;
    divided_ = ws.settings.sheetRows > 0 && ws.settings.sheetRows < kRows;
    for (int col = 0; col < kColumns; ++col) {
      pixels_[col] = ws.columnPixels(col);
      std::string letters = ColumnLetters(col);
      letters_[col].assign(letters);
    }
    buffer_.reserve(kFlushAt + 4096);
  }
  ~DumpWriter() { flush(); }

  void cell(CellHandle h, const Cell& c) {
    address(c.row, c.column);
    buffer_ += '\t';
    buffer_ += typeName(c);
    if (c.isErr()) buffer_ += ":err";
    buffer_ += '\t';
    // The input text; an integer's is its value too.
    size_t inputAt = buffer_.size();
    switch (c.type()) {
      case CellType::StringFormula:
      case CellType::NumberFormula:
        if (c.content) buffer_ += lister_.list(c.content);
        break;
      case CellType::Real:
        appendRoundTrip(c.value.number);
        break;
      case CellType::Integer:
        appendInteger(c.value.integer);
        break;
      case CellType::Label:
        buffer_ += pstringView(c.content);
        break;
      default:
        break;
    }
    size_t inputEnd = buffer_.size();
    buffer_ += '\t';
    size_t valueAt = buffer_.size();
    if (c.type() == CellType::Integer ||
        (c.type() == CellType::Real &&
         GeneralTextIsShortest(c.value.number,
                               std::string_view(buffer_).substr(inputAt, inputEnd - inputAt)))) {
      // The input text is the value's general text too.
      buffer_.append(buffer_, inputAt, inputEnd - inputAt);
    } else if (c.type() == CellType::Real) {
      buffer_ += GeneralText(c.value.number, decimal_);
    } else {
      appendValue(h, c);
    }
    size_t valueEnd = buffer_.size();
    buffer_ += '\t';
    int pixels = pixels_[c.column];
    std::string_view typed;
    if (showsItsGeneralText(c, valueEnd - valueAt, pixels)) {
      // The value column already holds the text the cell shows.
      buffer_.append(buffer_, valueAt, valueEnd - valueAt);
    } else if (showsItsText(c, typed)) {
      buffer_ += typed.substr(0, static_cast<size_t>(std::max(pixels / 8, 0)));
    } else {
      FixedTextMeasure measure;
      CellShow shown = cellShows(ws_, c, pixels, measure, options_);
      trimShown(shown, pixels);
      buffer_ += shown.text;
    }
    buffer_ += '\n';
    if (buffer_.size() >= kFlushAt) flush();
  }

 private:
  static constexpr size_t kFlushAt = 1 << 16;

  // A number in the general format shows its general text (the value
  // column) when that fits its column, one character a column.
  bool showsItsGeneralText(const Cell& c, size_t length, int pixels) const {
    CellClass k = classify(c);
    if (k != CellClass::NumberFormula && k != CellClass::Real && k != CellClass::Integer)
      return false;
    if (ws_.effectiveFormat(c) != kFormatGeneral) return false;
    double x = numberValue(c);
    if (!std::isfinite(x) || (options_.zerosBlank && x == 0)) return false;
    return length > 0 && length <= static_cast<size_t>(std::max(pixels / 8, 0));
  }

  // A label or a string result shows its text as it stands, cut to the
  // column, unless its format hides it or lists the formula, or its prefix
  // repeats a character or names a picture.
  bool showsItsText(const Cell& c, std::string_view& text) const {
    if (c.isErr()) return false;
    uint8_t format = ws_.effectiveFormat(c);
    if (format == kFormatHidden) return false;
    if (c.type() == CellType::Label) {
      std::string_view label = pstringView(c.content);
      if (!label.empty() && (label[0] == '\\' || label[0] == '|')) return false;
      text = label.empty() ? label : label.substr(1);
      return true;
    }
    if (c.type() == CellType::StringFormula && format != kFormatText) {
      text = pstringView(c.value.text);
      return true;
    }
    return false;
  }

  void address(int row, int col) {
    if (divided_) {
      buffer_ += ws_.addressText(row, col);
      return;
    }
    buffer_ += letters_[col];
    appendInteger(row + 1);
  }

  // A real number's shortest round-trip text (as roundTripText writes it),
  // converted straight into the buffer.
  void appendRoundTrip(double x) {
    if (x == 0) {
      buffer_ += '0';
      return;
    }
    size_t at = buffer_.size();
    buffer_.resize(at + 32);
    char* first = buffer_.data() + at;
    auto [end, ec] = std::to_chars(first, first + 32, x);
    if (ec != std::errc()) end = first;
    for (char* p = first; p != end; ++p) {
      if (*p == 'e') *p = 'E';
      if (*p == '.') *p = decimal_;
    }
    buffer_.resize(static_cast<size_t>(end - buffer_.data()));
  }

  // A number's general text: its shortest round-trip text where the two
  // agree, converted once.
  void appendGeneral(double x) {
    size_t at = buffer_.size();
    appendRoundTrip(x);
    if (GeneralTextIsShortest(x, std::string_view(buffer_).substr(at))) return;
    buffer_.resize(at);
    buffer_ += GeneralText(x, decimal_);
  }

  void appendInteger(long v) {
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, v);
    buffer_.append(digits, end);
  }

  // The value column: ERR for a formula in error, the general form of a
  // number, a label without its prefix or a string result.
  void appendValue(CellHandle h, const Cell& c) {
    if (isFormula(&c) && c.isErr()) {
      buffer_ += "ERR";
      return;
    }
    switch (c.type()) {
      case CellType::NumberFormula:
        appendGeneral(ws_.CellNumber(h));
        break;
      case CellType::StringFormula:
        buffer_ += pstringView(c.value.text);
        break;
      case CellType::Label: {
        std::string_view label = pstringView(c.content);
        if (!label.empty()) buffer_ += label.substr(1);
        break;
      }
      default:
        break;
    }
  }

  void flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

  const Worksheet& ws_;
  std::ostream& out_;
  FormatOptions options_;
  FormulaLister lister_;
  char decimal_ = '.';
  bool divided_ = false;
  std::array<int, kColumns> pixels_{};
  std::array<std::string, kColumns> letters_;
  std::string buffer_;
};

}  // namespace

std::string cellTypeName(const Cell& c) {
  std::string name(typeName(c));
  if (c.isErr()) name += ":err";
  return name;
}

std::string cellValueText(const Worksheet& ws, CellHandle h) {
  if (h == kNoCell) return {};
  const Cell& c = ws.cell(h);
  char decimal = ws.session().settings().decimalSeparator;
  if (isFormula(&c) && c.isErr()) return "ERR";
  switch (c.type()) {
    case CellType::NumberFormula:
    case CellType::Real:
    case CellType::Integer:
      return GeneralText(ws.CellNumber(h), decimal);
    case CellType::StringFormula:
    case CellType::Label:
      return ws.LabelText(h);
    default:
      return {};
  }
}

std::string cellDisplayText(const Worksheet& ws, CellHandle h) {
  if (h == kNoCell) return {};
  const Cell& c = ws.cell(h);
  FixedTextMeasure measure;
  int pixels = ws.columnPixels(c.column);
  CellShow shown = cellShows(ws, c, pixels, measure);
  trimShown(shown, pixels);
  return shown.text;
}

void writeDump(Worksheet& ws, const CellRange& range, std::ostream& out) {
  DumpWriter writer(ws, out);
  ws.ForEachCell(range, [&](CellHandle h, Cell& c) {
    writer.cell(h, c);
    return true;
  });
}

}  // namespace tw
