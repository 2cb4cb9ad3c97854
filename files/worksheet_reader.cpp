// Load and ListNames: the record stream read back into a worksheet, into
// another worksheet at a destination (combine), or into the link table.
// Files come from anywhere, so every length and field is checked before use
// and every formula is checked before it is linked.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "core/dependencies.h"
#include "core/file_names.h"
#include "core/formula_code.h"
#include "core/recalc.h"
#include "core/session.h"
#include "core/undo.h"
#include "core/worksheet.h"
#include "files/system_memory.h"
#include "files/wks_records.h"
#include "files/worksheet_file.h"
#include "files/worksheet_file_internal.h"

namespace tw {

using namespace wks;

namespace {

MemoryProbe gMemoryProbe = availableMemoryBytes;

constexpr int kMemoryCheckRecords = 32;
// Below this much available memory the load stops rather than pushing the
// machine into swapping or the out-of-memory killer.
constexpr uint64_t kLowMemoryBytes = 16ull << 20;

constexpr const char kMsgMemory[] = "Out of Memory/File may be truncated";
constexpr const char kMsgInvalidFormula[] = "Invalid Formula was deleted!";
constexpr const char kMsgDisk[] = "Disk Error";

constexpr char kCentrePrefix = '^';

bool isLabelPrefix(char c) {
  return c == '\'' || c == '"' || c == '^' || c == '\\' || c == '|';
}

// A value whose biased exponent is 0 (with any bit set), 1, 894 or 2039 to
// 2047 is not a number this program keeps: it becomes 0.
double cleanNumber(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, 8);
  int e = static_cast<int>((bits >> 52) & 0x7FF);
  if (e == 0 || e == 1 || e == 894 || e >= 2039) return 0;
  return x;
}

// A range as four words; -1 in the first corner, or a corner off the
// sheet, gives the empty range.
CellRange readRange(const uint8_t* p) {
  CellRange r{i16(p), i16(p + 2), i16(p + 4), i16(p + 6)};
  if (r.col1 == -1 || r.row1 == -1) return kEmptyRange;
  if (!validAddress(r.row1, r.col1) || !validAddress(r.row2, r.col2)) return kEmptyRange;
  return r;
}

// The characters of a text field up to its first 0 (or its end).
std::string_view fieldText(const uint8_t* p, size_t n) {
  const void* nul = std::memchr(p, 0, n);
  size_t length = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - p) : n;
  return {reinterpret_cast<const char*>(p), length};
}

// A length byte and up to width characters.
std::string shortStringField(const uint8_t* p, size_t width) {
  size_t n = std::min<size_t>(p[0], width);
  return std::string(reinterpret_cast<const char*>(p + 1), n);
}

bool hasErrValue(const uint8_t* v) {
  return v[6] == 0xF0 && v[7] == 0x7F;
}

// Buffered input over a regular file.
// The file read through a buffer of our own: a record costs a copy or two,
// not a stream call per field.
class FileInput {
 public:
  FileInput() = default;
  FileInput(const FileInput&) = delete;
  FileInput& operator=(const FileInput&) = delete;
  ~FileInput() {
    if (file_) std::fclose(file_);
  }
  bool open(const std::string& path) {
    if (!isRegularFile(path)) return false;
    file_ = std::fopen(path.c_str(), "rb");
    return file_ != nullptr;
  }
  // False on a short read or an I/O error.
  bool read(uint8_t* dst, size_t n) {
    while (n > 0) {
      if (pos_ == end_ && !refill()) return false;
      size_t take = std::min(n, end_ - pos_);
      std::memcpy(dst, buffer_.data() + pos_, take);
      pos_ += take;
      dst += take;
      n -= take;
    }
    return true;
  }
  // The next n bytes where they lie in the buffer, when they lie there whole
  // with room to spare after them; nullptr otherwise (read() then copies).
  // The bytes stay valid until the next call. The spare room keeps a field
  // read past a short record inside the buffer.
  const uint8_t* take(size_t n) {
    if (end_ - pos_ < n || pos_ + n + kSpare > buffer_.size()) return nullptr;
    const uint8_t* at = buffer_.data() + pos_;
    pos_ += n;
    return at;
  }
  bool atEnd() { return pos_ == end_ && !refill(); }
  bool failed() const { return error_; }

 private:
  bool refill() {
    if (!file_) return false;
    pos_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (end_ == 0 && std::ferror(file_)) error_ = true;
    return end_ > 0;
  }

  static constexpr size_t kSpare = 4096;
  std::FILE* file_ = nullptr;
  std::array<uint8_t, 1 << 16> buffer_{};
  size_t pos_ = 0;
  size_t end_ = 0;
  bool error_ = false;
};

struct Record {
  uint16_t word = 0;  // the type word as read
  uint16_t type = 0;  // the record's kind (low byte when attribute bits are set)
  uint16_t length = 0;
  uint32_t colour = kDefaultColour;
  const uint8_t* body = nullptr;
};

enum class ReadResult { Record, End, Truncated };

class RecordInput {
 public:
  explicit RecordInput(FileInput& in) : in_(in), body_(65536) {}

  ReadResult next(Record& r) {
    uint8_t copied[4];
    if (in_.atEnd()) return ReadResult::End;
    const uint8_t* head = in_.take(4);
    if (!head) {
      if (!in_.read(copied, 4)) return ReadResult::Truncated;
      head = copied;
    }
    r.word = u16(head);
    r.length = u16(head + 2);
    r.type = r.word;
    r.colour = kDefaultColour;
    uint8_t low = r.word & 0xFF, high = r.word >> 8;
    // A cell record's high byte carries its colours.
    if (high != 0 && low >= kBlank && low <= kFormula) {
      r.type = low;
      r.colour = (uint32_t(high & 0x0F) << 24) | kPalette[r.word >> 12];
    }
    // Parsed where it lies in the read buffer; copied only across its end.
    if (const uint8_t* body = in_.take(r.length)) {
      r.body = body;
      return ReadResult::Record;
    }
    if (!in_.read(body_.data(), r.length)) return ReadResult::Truncated;
    r.body = body_.data();
    return ReadResult::Record;
  }
  // Bytes outside any record (the trailers' marks); false when fewer remain.
  bool raw(uint8_t* dst, size_t n) { return in_.read(dst, n); }

 private:
  FileInput& in_;
  std::vector<uint8_t> body_;
};

// The settings name of the file: "G!" and four bytes, at least 6 characters.
bool isSettingsName(std::string_view name) {
  return name.size() >= 6 && name.starts_with("G!");
}

// A NAME record (or its flagged form) as a name and a range; false when the
// record is too short, too long or is the settings name.
bool parseName(const Record& r, std::string& name, CellRange& range, bool& settings) {
  settings = false;
  size_t nameField;
  if (r.type == kName) {
    if (r.length < kNameField + 8 || r.length > kLongestName) return false;
    nameField = kNameField;
  } else {
    if (r.length < 10 || r.length > kLongestName + 1) return false;
    nameField = r.length - 9;
  }
  std::string_view text = fieldText(r.body, std::min(nameField, kNameField));
  range = readRange(r.body + nameField);
  if (isSettingsName(text)) {
    settings = true;
    name.assign(text);
    return true;
  }
  name = RangeNameTable::normalise(text);
  return !name.empty();
}

class Reader {
 public:
  Reader(Session& session, Worksheet* ws, const LoadOptions& options, const std::string& linkKey,
         LoadReport& report)
      : session_(session), ws_(ws), options_(options), linkKey_(linkKey), report_(report) {}

  bool run(const std::string& path);

 private:
  bool combining() const { return options_.mode == LoadMode::Combine; }
  bool linking() const { return options_.mode == LoadMode::Link; }
  bool retrieving() const { return options_.mode == LoadMode::Retrieve; }
  bool arithmetic() const { return options_.arithmetic != CombineArithmetic::Replace; }

  void message(const std::string& text) {
    if (std::find(report_.messages.begin(), report_.messages.end(), text) == report_.messages.end())
      report_.messages.push_back(text);
  }
  // Only the first bad record of a load is reported.
  void badRecord(const Record& r) {
    if (badRecordSeen_) return;
    badRecordSeen_ = true;
    static const char* const kHex = "0123456789ABCDEF";
    std::string text = "Error at Record:";
    uint8_t t = static_cast<uint8_t>(r.word);
    text += kHex[t >> 4];
    text += kHex[t & 15];
    text += '[';
    for (int shift = 12; shift >= 0; shift -= 4) text += kHex[(r.length >> shift) & 15];
    text += ']';
    message(text);
  }

  // The system is asked once at the start: after that the figure is what
  // was free less what the records read since can have taken (a cell record
  // and the record's bytes). Only an estimate near the bound asks again.
  bool memoryLow() {
    if (records_ % kMemoryCheckRecords != 0) return false;
    uint64_t taken = bytesTaken_ - takenAtProbe_;
    uint64_t left = memoryFigure_ > taken ? memoryFigure_ - taken : 0;
    if (!memoryProbed_ || left <= 2 * kLowMemoryBytes) {
      memoryFigure_ = gMemoryProbe();
      takenAtProbe_ = bytesTaken_;
      memoryProbed_ = true;
      left = memoryFigure_;
    }
    return left <= kLowMemoryBytes;
  }
  void taken(const Record& r) { bytesTaken_ += sizeof(Cell) + r.length; }

  bool resolveSource(const std::string& path);
  void resetWorksheet();
  bool readSectionOne(RecordInput& input);
  void readExtension(RecordInput& input);
  void applySettingsRecord(const Record& r);
  void applyExtensionRecord(const Record& r);
  void cellRecord(const Record& r);
  void linkCell(const Record& r, int row, int col);
  void nameRecord(const Record& r);
  void finish();
  void linkFormulas();

  // The cell a record stores into, ready for new content; kNoCell when the
  // position is off the sheet or memory runs out.
  CellHandle takeCell(int row, int col);
  void clearForContent(CellHandle h);
  void storeNumber(const Record& r, int row, int col, double x, bool integer);

  Session& session_;
  Worksheet* ws_;
  const LoadOptions& options_;
  const std::string& linkKey_;
  LoadReport& report_;

  long records_ = 0;
  bool memoryProbed_ = false;
  uint64_t memoryFigure_ = 0;
  uint64_t bytesTaken_ = 0;
  uint64_t takenAtProbe_ = 0;
  bool stopped_ = false;
  bool badRecordSeen_ = false;

  // Combine: the part of the file taken and where it goes.
  CellRange source_{0, 0, kColumns - 1, kRows - 1};
  int rowOffset_ = 0;
  int columnOffset_ = 0;
  bool takeNames_ = true;

  // The cell each row was given last, where the search for the row's next
  // cell starts: files list a row's cells in rising columns (by rows, or by
  // columns as some writers do).
  std::vector<CellHandle> rowHints_ = std::vector<CellHandle>(kRows, kNoCell);
  CellHandle lastFormula_ = kNoCell;  // the formula a STRING record belongs to
  int lastFormulaRow_ = -1, lastFormulaCol_ = -1;
  std::vector<CellHandle> formulas_;
  std::vector<std::pair<int, int>> standardWidths_;  // COLW1: column, pixels
  bool extensionWidths_ = false;
  std::array<uint8_t, 256> fontMap_;
  std::vector<std::string> tabs_;
  int tabRecords_ = 0;
  size_t namedGraphExtensions_ = 0;
};

bool Reader::resolveSource(const std::string& path) {
  if (!combining()) return true;
  const std::string& text = options_.source;
  CellRange src = source_;
  bool named = false;
  if (!text.empty()) {
    std::string upper = upperCased(text);
    size_t dots = upper.find("..");
    int sheetRows = ws_->settings.sheetRows;
    ParsedCorner a = parseCorner(std::string_view(upper).substr(0, dots), sheetRows);
    ParsedCorner b = dots == std::string::npos
                         ? a
                         : parseCorner(std::string_view(upper).substr(dots + 2), sheetRows);
    if (a.ok && b.ok && validAddress(a.row, a.col) && validAddress(b.row, b.col)) {
      src = CellRange::of(a.row, a.col, b.row, b.col).ordered();
    } else {
      named = true;
      std::vector<RangeName> names;
      readFileNames(path, names);
      std::string key = RangeNameTable::normalise(text);
      auto it = std::find_if(names.begin(), names.end(),
                             [&](const RangeName& n) { return n.name == key; });
      if (it == names.end() || !it->range.valid()) {
        report_.sourceFound = false;
        return false;
      }
      src = it->range.ordered();
    }
  }
  source_ = src;
  rowOffset_ = options_.destinationRow - src.row1;
  columnOffset_ = options_.destinationColumn - src.col1;
  takeNames_ = !named;
  return true;
}

void Reader::resetWorksheet() {
  Worksheet& ws = *ws_;
  ws.FreeAllCells();
  ws.names.ResetNames();
  bool undo = ws.settings.undoEnabled;
  ws.settings = session_.settings().worksheetDefaults;
  ws.settings.undoEnabled = undo;
  ws.columnWidth.fill(kDefaultSize);
  ws.rowHeight.fill(kDefaultSize);
  ws.functions = session_.programFunctions();
  ws.undo.reset();
}

bool Reader::run(const std::string& path) {
  report_.title = combining() ? "MERGE [ " + options_.source : "RETRIEVE";
  FileInput file;
  if (!file.open(path)) return false;
  report_.opened = true;
  if (!resolveSource(path)) return false;
  fontMap_.fill(255);
  if (retrieving()) resetWorksheet();

  RecordInput input(file);
  bool complete = false;
  try {
    complete = readSectionOne(input);
    if (complete && retrieving() && !stopped_) readExtension(input);
  } catch (const std::bad_alloc&) {
    message(kMsgMemory);
  }
  if (file.failed()) message(kMsgDisk);
  try {
    finish();
  } catch (const std::bad_alloc&) {
    message(kMsgMemory);
  }
  return true;
}

bool Reader::readSectionOne(RecordInput& input) {
  Record r;
  for (;;) {
    ReadResult got = input.next(r);
    if (got != ReadResult::Record) {
      message(kMsgDisk);
      return false;
    }
    ++records_;
    taken(r);
    switch (r.type) {
      case kEof:
        return true;
      case kBlank:
      case kInteger:
      case kNumber:
      case kLabel:
      case kFormula:
      case kString:
        cellRecord(r);
        break;
      case kName:
      case kNameWithFlag:
        nameRecord(r);
        break;
      default:
        if (retrieving()) applySettingsRecord(r);
        break;
    }
    if (!stopped_ && memoryLow()) {
      message(kMsgMemory);
      stopped_ = true;
    }
    if (stopped_) return false;
  }
}

void Reader::readExtension(RecordInput& input) {
  // Two bytes follow the first end record; a second byte of 0x1A means the
  // file has no extension section (as other programs write them).
  uint8_t mark[2];
  Record r;
  if (!input.raw(mark, 2) || mark[1] == kTrailerMark) return;
  ws_->functions.clear();
  for (;;) {
    ReadResult got = input.next(r);
    // The section ends with its own end record; a file that stops before
    // it has lost the rest.
    if (got != ReadResult::Record) {
      message(kMsgDisk);
      return;
    }
    ++records_;
    taken(r);
    if (r.word == kBof || r.word == kEof) return;
    applyExtensionRecord(r);
    if (memoryLow()) {
      message(kMsgMemory);
      stopped_ = true;
      return;
    }
  }
}

CellHandle Reader::takeCell(int row, int col) {
  Worksheet& ws = *ws_;
  CellHandle h = ws.GetOrCreateCellAfter(rowHints_[row], row, col);
  if (h == kNoCell) {
    if (session_.error().code != kErrOutOfRange) {
      message(kMsgMemory);
      stopped_ = true;
    }
    session_.error().clear();
    return kNoCell;
  }
  rowHints_[row] = h;
  clearForContent(h);
  return h;
}

void Reader::clearForContent(CellHandle h) {
  Cell& c = ws_->cell(h);
  if (c.type() == CellType::Blank) return;
  if (c.kind & kKindUnlinked) {
    // Loaded a moment ago and never registered with the cells it names.
    if (c.type() == CellType::StringFormula) freePString(c.value.text);
    freePString(c.content);
    c.kind = static_cast<uint8_t>(CellType::Blank);
    c.value.raw = 0;
  } else {
    ws_->ClearCell(h);
  }
}

void Reader::storeNumber(const Record& r, int row, int col, double x, bool integer) {
  Worksheet& ws = *ws_;
  if (arithmetic()) {
    CellHandle existing = ws.FindCell(row, col);
    const Cell* e = ws.cellPtr(existing);
    // Formulas and labels at the destination stay as they are.
    if (e && (isFormula(e) || e->type() == CellType::Label)) return;
    double base = isNumber(e) ? ws.CellNumber(existing) : 0;
    x = options_.arithmetic == CombineArithmetic::Add ? base + x : base - x;
    CellHandle h = takeCell(row, col);
    if (h == kNoCell) return;
    Cell& c = ws.cell(h);
    if (!isNumber(e)) c.format = r.body[0];
    c.setType(CellType::Real);
    c.value.number = cleanNumber(x);
    return;
  }
  CellHandle h = takeCell(row, col);
  if (h == kNoCell) return;
  Cell& c = ws.cell(h);
  c.format = r.body[0];
  c.colour = r.colour;
  if (integer) {
    c.kind = static_cast<uint8_t>(CellType::Integer);
    c.value.raw = 0;
    c.value.integer = static_cast<int16_t>(x);
  } else {
    c.kind = static_cast<uint8_t>(CellType::Real);
    c.value.number = x;
  }
}

void Reader::linkCell(const Record& r, int row, int col) {
  LinkTable& links = session_.links();
  switch (r.type) {
    case kInteger:
      if (r.length >= 7) links.supplyNumber(linkKey_, row, col, i16(r.body + 5));
      break;
    case kNumber:
      if (r.length >= 13) links.supplyNumber(linkKey_, row, col, cleanNumber(f64(r.body + 5)));
      break;
    case kFormula:
      if (r.length >= 13)
        links.supplyNumber(linkKey_, row, col,
                           hasErrValue(r.body + 5) ? 0 : cleanNumber(f64(r.body + 5)));
      break;
    case kLabel:
    case kString: {
      std::string_view text = fieldText(r.body + 5, r.length - 5);
      if (text.size() > kMaxText) break;
      if (r.type == kLabel && !text.empty() && isLabelPrefix(text[0])) text.remove_prefix(1);
      links.supplyText(linkKey_, row, col, text);
      break;
    }
    default:
      break;
  }
}

void Reader::cellRecord(const Record& r) {
  static constexpr uint16_t kMinimum[] = {5, 7, 13, 5, 15};  // BLANK..FORMULA
  size_t minimum = r.type == kString ? kCellHeader : kMinimum[r.type - kBlank];
  if (r.length < minimum) return badRecord(r);
  int fileCol = u16(r.body + 1), fileRow = u16(r.body + 3);
  if (!validAddress(fileRow, fileCol)) return badRecord(r);
  if (linking()) return linkCell(r, fileRow, fileCol);
  if (!source_.contains(fileRow, fileCol)) return;
  int row = fileRow + rowOffset_, col = fileCol + columnOffset_;
  if (!validAddress(row, col)) return;
  Worksheet& ws = *ws_;
  bool valuesOnly = combining() && (options_.content == CombineContent::ValuesOnly || arithmetic());

  switch (r.type) {
    case kBlank: {
      if (arithmetic()) return;
      CellHandle h = takeCell(row, col);
      if (h == kNoCell) return;
      ws.cell(h).format = r.body[0];
      ws.cell(h).colour = r.colour;
      return;
    }
    case kInteger:
      return storeNumber(r, row, col, i16(r.body + 5), !arithmetic());
    case kNumber:
      return storeNumber(r, row, col, cleanNumber(f64(r.body + 5)), false);
    case kLabel: {
      if (arithmetic()) return;
      std::string_view text = fieldText(r.body + 5, r.length - 5);
      if (text.size() > kMaxText) return;  // over-long: skipped
      // Put together on the stack: the text goes straight into the pool.
      char prefixed[kMaxText];
      std::string_view label = text;
      if (text.empty() || !isLabelPrefix(text[0])) {
        size_t length = std::min<size_t>(text.size(), kMaxText - 1);
        prefixed[0] = ws.settings.labelPrefix;
        std::copy_n(text.data(), length, prefixed + 1);
        label = std::string_view(prefixed, length + 1);
      }
      CellHandle h = takeCell(row, col);
      if (h == kNoCell) return;
      Cell& c = ws.cell(h);
      c.format = r.body[0];
      c.colour = r.colour;
      c.content = ws.pool().makeText(label);
      c.kind = static_cast<uint8_t>(CellType::Label);
      return;
    }
    case kFormula: {
      lastFormula_ = kNoCell;
      lastFormulaRow_ = fileRow;
      lastFormulaCol_ = fileCol;
      const uint8_t* value = r.body + 5;
      size_t k = u16(r.body + 13);
      if (k > size_t(r.length) - 15) return badRecord(r);
      if (k + 1 >= kMaxCode) return;  // over-long: skipped
      if (valuesOnly) {
        // ERR and string results are no numbers to add or subtract.
        if (arithmetic() && hasErrValue(value)) return;
        double x = cleanNumber(f64(value));
        return storeNumber(r, row, col, x, false);
      }
      const uint8_t* code = r.body + 15;
      if (k == 0 || (k == 1 && code[0] == op::kEnd)) {
        message(kMsgInvalidFormula);
        ++report_.formulasDeleted;
        return;
      }
      CellHandle h = takeCell(row, col);
      if (h == kNoCell) return;
      uint8_t bytes[kMaxCode + 1];
      bytes[0] = static_cast<uint8_t>(k + 1);
      bytes[1] = 0;
      std::memcpy(bytes + 2, code, k);
      Cell& c = ws.cell(h);
      c.format = r.body[0];
      c.colour = r.colour;
      c.content = makePString(bytes + 1, k + 1);
      if (hasErrValue(value)) {
        c.kind = static_cast<uint8_t>(CellType::NumberFormula) | kKindErr | kKindUnlinked;
        c.value.number = -1.0;
      } else {
        c.kind = static_cast<uint8_t>(CellType::NumberFormula) | kKindUnlinked;
        c.value.number = cleanNumber(f64(value));
      }
      formulas_.push_back(h);
      lastFormula_ = h;
      return;
    }
    case kString: {
      if (arithmetic()) return;
      std::string_view text = fieldText(r.body + 5, r.length - 5);
      if (text.size() > kMaxText) return;  // over-long: skipped
      bool follows = fileRow == lastFormulaRow_ && fileCol == lastFormulaCol_;
      if (valuesOnly) {
        if (!follows) return;
        std::string label(1, ws.settings.labelPrefix);
        label.append(text.substr(0, kMaxText - 1));
        CellHandle h = takeCell(row, col);
        if (h == kNoCell) return;
        Cell& c = ws.cell(h);
        c.content = ws.pool().makeText(label);
        c.kind = static_cast<uint8_t>(CellType::Label);
        return;
      }
      CellHandle f = follows ? lastFormula_ : kNoCell;
      if (f != kNoCell && ws.cell(f).row == row && ws.cell(f).column == col &&
          (ws.cell(f).kind & kKindUnlinked) && isFormula(&ws.cell(f))) {
        Cell& c = ws.cell(f);
        if (c.type() == CellType::StringFormula) freePString(c.value.text);
        c.value.raw = 0;
        c.kind = static_cast<uint8_t>(CellType::StringFormula) | kKindUnlinked;
        if (!text.empty()) c.value.text = ws.pool().makeText(text);
        return;
      }
      // A string result without its formula.
      CellHandle h = takeCell(row, col);
      if (h == kNoCell) return;
      ws.cell(h).content = makePString(std::string(1, kCentrePrefix) + "<ERROR>");
      ws.cell(h).kind = static_cast<uint8_t>(CellType::Label);
      return;
    }
    default:
      return;
  }
}

void Reader::nameRecord(const Record& r) {
  if (linking()) return;
  std::string name;
  CellRange range;
  bool settings = false;
  if (!parseName(r, name, range, settings)) {
    if (r.length < kNameField + 8 && r.type == kName) badRecord(r);
    return;
  }
  WorksheetSettings& s = ws_->settings;
  if (settings) {
    if (!retrieving()) return;
    uint8_t kept = static_cast<uint8_t>(name[2]);
    uint8_t flags = static_cast<uint8_t>(name[3]);
    s.keptByte = kept == 255 ? 0 : kept;
    s.zerosHidden = (flags & 1) != 0;
    s.negativeInColour = (flags & 4) != 0;
    return;
  }
  if (combining()) {
    if (!takeNames_) return;
    if (range.valid()) {
      range = CellRange::of(range.row1 + rowOffset_, range.col1 + columnOffset_,
                            range.row2 + rowOffset_, range.col2 + columnOffset_);
      if (!validAddress(range.row1, range.col1) || !validAddress(range.row2, range.col2)) return;
    }
  }
  ws_->names.DefineStoredName(name, range);
}

void Reader::applySettingsRecord(const Record& r) {
  WorksheetSettings& s = ws_->settings;
  const uint8_t* b = r.body;
  size_t n = r.length;
  auto pane = [&](PaneLayout& p) {
    if (n < 16) return badRecord(r);
    CellAddress cursor{i16(b), i16(b + 2)};
    if (validAddress(cursor.row, cursor.column)) {
      p.cursorColumn = cursor.column;
      p.cursorRow = cursor.row;
    }
    s.globalFormat = b[4];
    if (validAddress(i16(b + 14), i16(b + 12))) {
      p.leftColumn = i16(b + 12);
      p.topRow = i16(b + 14);
    }
  };
  switch (r.type) {
    case kCalcMode:
      if (n >= 1) s.manualRecalc = b[0] == 0;
      break;
    case kSplit:
      if (n >= 1) s.split = b[0] == 0 ? 0 : (b[0] == 1 ? 1 : 0xFF);
      break;
    case kSync:
      if (n >= 1) s.syncHorizontal = s.syncVertical = b[0] != 0;
      break;
    case kWindow1:
      pane(s.panes[0]);
      break;
    case kWindow2:
      pane(s.panes[1]);
      break;
    case kColumnWidth1:
      if (n < 3) return badRecord(r);
      if (u16(b) < kColumns && b[2] != 0)
        standardWidths_.emplace_back(u16(b), std::min(b[2] * 8, 254));
      break;
    case kTable:
      if (n < 25) return badRecord(r);
      s.whatIfKind = b[0];
      s.ranges[kWhatIfTable] = readRange(b + 1);
      s.ranges[kWhatIfInput1] = readRange(b + 9);
      s.ranges[kWhatIfInput2] = readRange(b + 17);
      break;
    case kQueryRange:
      if (n < 24) return badRecord(r);
      s.ranges[kQueryInput] = readRange(b);
      s.ranges[kQueryCriteria] = readRange(b + 8);
      s.ranges[kQueryOutput] = readRange(b + 16);
      break;
    case kPrintRangeRecord:
    case kSortRange:
    case kKeyRange:
    case kKeyRange2: {
      if (n < 8) return badRecord(r);
      RememberedRange which = r.type == kPrintRangeRecord ? kPrintRange
                              : r.type == kSortRange      ? kSortData
                              : r.type == kKeyRange       ? kSortKey1
                                                          : kSortKey2;
      s.ranges[which] = readRange(b);
      break;
    }
    case kProtect:
      if (n >= 1) s.protection = b[0] != 0;
      break;
    case kFooter:
      s.printFooter.assign(fieldText(b, n).substr(0, kMaxPrintText));
      break;
    case kHeader:
      s.printHeader.assign(fieldText(b, n).substr(0, kMaxPrintText));
      break;
    case kMargins: {
      if (n < 10) return badRecord(r);
      auto hundredths = [](double inches) { return std::round(inches * 100) / 100; };
      constexpr double kCharacter = 0.0125 * 8.5;
      s.margins[kMarginLeft] = hundredths(u16(b) * kCharacter);
      s.margins[kMarginRight] = std::max(0.0, hundredths(8.5 - u16(b + 2) * kCharacter));
      s.margins[kMarginTop] = hundredths(u16(b + 6) * 11.0 / 60.0);
      s.margins[kMarginBottom] = hundredths(u16(b + 8) * 11.0 / 60.0);
      break;
    }
    case kLabelFormat:
      if (n >= 1 && isLabelPrefix(static_cast<char>(b[0]))) s.labelPrefix = static_cast<char>(b[0]);
      break;
    case kTitles:
      if (n < 16) return badRecord(r);
      s.titleRows = readRange(b);
      s.titleColumns = readRange(b + 8);
      break;
    case kGraph:
      s.graph.lotus = GraphRecord::emptyLotusGraph();
      std::memcpy(s.graph.lotus.data(), b, std::min<size_t>(n, kGraphBytes));
      break;
    case kNamedGraph: {
      if (n < kNameField) return badRecord(r);
      if (s.namedGraphs.size() >= kMaxNamedGraphs) break;
      NamedGraph g;
      g.name = RangeNameTable::normalise(fieldText(b, kNameField));
      std::memcpy(g.graph.lotus.data(), b + kNameField,
                  std::min<size_t>(n - kNameField, kGraphBytes));
      s.namedGraphs.push_back(std::move(g));
      break;
    }
    case kCursorPane:
      if (n >= 1) s.activePane = b[0] == 2 ? 1 : 0;
      break;
    default:
      break;  // CALCORDER, RANGE, SETUP and records of other programs
  }
}

void Reader::applyExtensionRecord(const Record& r) {
  Worksheet& ws = *ws_;
  WorksheetSettings& s = ws.settings;
  const uint8_t* b = r.body;
  size_t n = r.length;
  switch (r.word) {
    case kExtGraph:
      if (n == kGraphExtensionBytes) std::memcpy(s.graph.extension.data(), b, n);
      break;
    case kExtNamedGraph:
      if (namedGraphExtensions_ < s.namedGraphs.size() && n == kGraphExtensionBytes)
        std::memcpy(s.namedGraphs[namedGraphExtensions_].graph.extension.data(), b, n);
      ++namedGraphExtensions_;
      break;
    case kExtButton:
      if (n == kButtonBytes && s.buttons.size() < kMaxButtons) {
        ButtonRecord button;
        std::memcpy(button.data(), b, n);
        s.buttons.push_back(button);
      }
      break;
    case kExtSortKeys:
      if (n < 18) return badRecord(r);
      s.ranges[kSortKey1] = readRange(b);
      s.sortOrder[0] = b[8];
      s.ranges[kSortKey2] = readRange(b + 9);
      s.sortOrder[1] = b[17];
      break;
    case kExtRegression:
      if (n < 26) return badRecord(r);
      s.regressionRanges[0] = readRange(b);
      s.regressionRanges[1] = readRange(b + 8);
      for (size_t i = 0; i < s.regressionVariables.size(); ++i)
        s.regressionVariables[i] = b[16 + i] & 7;
      break;
    case kExtColours:
      if (n < 28) return badRecord(r);
      for (size_t i = 0; i < s.colours.size(); ++i) s.colours[i] = u32(b + 4 * i);
      break;
    case kExtMargins: {
      if (n < 24) return badRecord(r);
      const Margin order[] = {kMarginTop,    kMarginLeft,   kMarginRight,
                              kMarginBottom, kMarginHeader, kMarginFooter};
      for (size_t i = 0; i < 6; ++i)
        s.margins[order[i]] = std::max(0, static_cast<int32_t>(u32(b + 4 * i))) / 100.0;
      break;
    }
    case kExtTab:
      if (tabRecords_++ == 0) tabs_.clear();
      if (tabs_.size() < kMaxSheets) tabs_.emplace_back(fieldText(b, n).substr(0, kMaxTabName));
      break;
    case kExtUserFunction: {
      if (n < kUserFunctionBytes) return badRecord(r);
      UserFunction f;
      f.name = shortStringField(b, 13);
      f.formula = shortStringField(b + 14, 255);
      f.argumentCount = static_cast<int>(std::min<uint32_t>(u32(b + 270), 10));
      if (!f.name.empty()) ws.functions.add(std::move(f));
      break;
    }
    case kExtFontName: {
      if (n < 3) return badRecord(r);
      uint16_t index = u16(b);
      if (index >= 255) break;
      std::string name(fieldText(b + 2, n - 2).substr(0, kMaxWindowText));
      auto& list = session_.settings().fontNames;
      auto it = std::find_if(list.begin(), list.end(),
                             [&](const std::string& f) { return sameFileName(f, name); });
      if (it != list.end()) {
        fontMap_[index] = static_cast<uint8_t>(it - list.begin());
      } else if (!name.empty() && list.size() < 255) {
        // A typeface the list does not have is kept by name, so that saving
        // again does not lose it.
        list.push_back(name);
        fontMap_[index] = static_cast<uint8_t>(list.size() - 1);
      }
      break;
    }
    case kExtWindowFont:
      if (n < 5) return badRecord(r);
      s.font.height = i16(b);
      s.font.style = b[2];
      s.font.typeface.assign(fieldText(b + 4, n - 4).substr(0, kMaxWindowText));
      break;
    case kExtWindow: {
      if (n < kShortWindowLayoutBytes) return badRecord(r);
      s.currentTab = static_cast<int16_t>(std::clamp<int>(i16(b), 0, kMaxSheets - 1));
      s.split = b[2] == 0 ? 0 : (b[2] == 1 ? 1 : 0xFF);
      s.syncHorizontal = b[3] != 0;
      s.syncVertical = b[4] != 0;
      s.activePane = b[5] ? 1 : 0;
      auto pane = [&](PaneLayout& p, const uint8_t* q) {
        if (validAddress(i16(q + 2), i16(q))) {
          p.leftColumn = i16(q);
          p.topRow = i16(q + 2);
        }
        if (validAddress(i16(q + 6), i16(q + 4))) {
          p.cursorColumn = i16(q + 4);
          p.cursorRow = i16(q + 6);
        }
      };
      pane(s.panes[0], b + 6);
      s.windowHeight = std::max<int16_t>(0, i16(b + 14));
      s.windowWidth = std::max<int16_t>(0, i16(b + 16));
      pane(s.panes[1], b + 18);
      if (n >= kWindowLayoutBytes) {
        auto span = [](const uint8_t* q, int limit) {
          FixedSpan f{i16(q), i16(q + 2)};
          if (f.from < 0 || f.to < 0 || f.from >= limit || f.to >= limit) f = {};
          return f;
        };
        s.fixedColumns = span(b + 26, kColumns);
        s.fixedRows = span(b + 30, kRows);
      }
      break;
    }
    case kExtTitle:
      s.title.assign(fieldText(b, n).substr(0, kMaxWindowText));
      break;
    case kExtComments:
      s.comments.assign(fieldText(b, n).substr(0, kMaxCommentText));
      break;
    case kExtUserName:
      s.userName.assign(fieldText(b, n).substr(0, kMaxWindowText));
      break;
    case kExtCreation:
      if (n < 16) return badRecord(r);
      s.creationTime = cleanNumber(f64(b));
      s.creationDate = cleanNumber(f64(b + 8));
      break;
    case kExtPrintOptions: {
      if (n < kPrintOptionsBytes) return badRecord(r);
      PrintOptions& p = s.print;
      p.borderRows = readRange(b);
      p.borderColumns = readRange(b + 8);
      uint8_t flags = b[16];
      p.headerLine = flags & 1;
      p.footerLine = flags & 2;
      p.frame = flags & 4;
      p.grid = flags & 8;
      p.mono = flags & 16;
      p.landscape = flags & 32;
      p.scale = static_cast<int16_t>(
          std::clamp<int>(static_cast<int16_t>(u16(b + 17)), kMinPrintScale, kMaxPrintScale));
      break;
    }
    case kExtAttributes: {
      if (n < 12) return badRecord(r);
      int row = u16(b), col = u16(b + 2);
      if (!validAddress(row, col)) return badRecord(r);
      Cell* c = ws.cellAt(row, col);
      if (!c) break;
      c->font = b[4] == 255 ? 255 : fontMap_[b[4]];
      c->size = b[5];
      c->style = b[6];
      c->borders = b[7];
      c->colour = u32(b + 8);
      break;
    }
    case kExtColumnWidth:
      if (n < 3) return badRecord(r);
      if (u16(b) < kColumns) ws.columnWidth[u16(b)] = b[2];
      extensionWidths_ = true;
      break;
    case kExtRowHeight:
      if (n < 3) return badRecord(r);
      if (u16(b) < kRows) ws.rowHeight[u16(b)] = b[2];
      break;
    default:
      break;  // the view record and records of later versions
  }
}

void Reader::finish() {
  if (linking()) {
    session_.links().finishFile(linkKey_);
    return;
  }
  Worksheet& ws = *ws_;
  if (retrieving()) {
    if (!extensionWidths_)
      for (auto [col, pixels] : standardWidths_)
        ws.columnWidth[col] = static_cast<uint16_t>(pixels);
    if (tabRecords_ > 0) {
      // The number of tabs is the number of sheets: a power of two up to 64.
      int sheets = tabRecords_;
      bool divided = sheets >= 2 && sheets <= kMaxSheets && (sheets & (sheets - 1)) == 0;
      ws.settings.sheetRows = divided ? static_cast<int16_t>(kRows / sheets) : 0;
      ws.settings.tabNames = tabs_;
      if (!divided) ws.settings.tabNames.resize(std::min<size_t>(tabs_.size(), 1));
    }
    int sheets = ws.settings.sheetRows ? kRows / ws.settings.sheetRows : 1;
    if (ws.settings.currentTab >= sheets) ws.settings.currentTab = 0;
  }
  linkFormulas();
}

void Reader::linkFormulas() {
  Worksheet& ws = *ws_;
  // A cell given a formula twice by the file is listed twice. Cells are
  // mostly made in the order the file lists them, and so is this list.
  if (!std::is_sorted(formulas_.begin(), formulas_.end()))
    std::sort(formulas_.begin(), formulas_.end());
  formulas_.erase(std::unique(formulas_.begin(), formulas_.end()), formulas_.end());
  std::vector<CellHandle> linked;
  linked.reserve(formulas_.size());
  for (CellHandle h : formulas_) {
    Cell& c = ws.cell(h);
    if (!(c.kind & kKindUnlinked) || !isFormula(&c) || !c.content) continue;
    if (!formulaCodeValid(session_.functionTable(), c.content, c.column, ws.functions)) {
      if (c.type() == CellType::StringFormula) freePString(c.value.text);
      freePString(c.content);
      c.kind = static_cast<uint8_t>(CellType::Blank);
      c.value.raw = 0;
      ++report_.formulasDeleted;
      message(kMsgInvalidFormula);
      continue;
    }
    ConvertReferences(ws, c.content, c.row, c.column, ReferenceForm::Memory);
    session_.error().clear();
    linked.push_back(h);
  }
  if (options_.after == AfterLoad::NoLink) return;
  RegisterDependenciesInOrder(ws, linked);
  for (CellHandle h : linked) ws.cell(h).kind &= ~kKindUnlinked;
  session_.error().clear();
  RecalcAll(ws);
}

}  // namespace

// --- Entry points ---------------------------------------------------------

bool readFileNames(const std::string& path, std::vector<RangeName>& names) {
  FileInput file;
  if (!file.open(path)) return false;
  RecordInput input(file);
  Record r;
  try {
    while (input.next(r) == ReadResult::Record && r.type != kEof) {
      if (r.type != kName && r.type != kNameWithFlag) continue;
      std::string name;
      CellRange range;
      bool settings = false;
      if (parseName(r, name, range, settings) && !settings) names.push_back({name, range});
    }
  } catch (const std::bad_alloc&) {
  }
  return true;
}

bool loadFile(Session& session, Worksheet* ws, const std::string& path, const LoadOptions& options,
              const std::string& linkKey, LoadReport& report) {
  return Reader(session, ws, options, linkKey, report).run(path);
}

MemoryProbe setMemoryProbe(MemoryProbe probe) {
  MemoryProbe previous = gMemoryProbe;
  gMemoryProbe = probe ? probe : availableMemoryBytes;
  return previous;
}

}  // namespace tw
