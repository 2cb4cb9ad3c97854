// Save: the standard records, the cells, the first trailer, the extension
// records and the second trailer, in the order other programs expect.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>
#include <vector>

#include "core/file_names.h"
#include "core/formula_code.h"
#include "core/session.h"
#include "core/worksheet.h"
#include "files/wks_records.h"
#include "files/worksheet_file.h"

namespace tw {

namespace fs = std::filesystem;
using namespace wks;

namespace {

// The 31 bytes of a window record that the reader does not use: column
// width 9, eight columns and twenty rows on screen, border 4 by 4, window
// width 72. The writer fills in the cursor, format and scroll position.
constexpr std::array<uint8_t, kWindowBytes> kWindowDefaults{0, 0, 0, 0, 0x71, 0, 9,  0, 8, 0, 20,
                                                            0, 0, 0, 0, 0,    0, 0,  0, 0, 0, 0,
                                                            0, 0, 4, 0, 4,    0, 72, 0, 0};

constexpr double kCharacterInches = 0.0125 * 8.5;  // one print column
constexpr double kLineInches = 11.0 / 60.0;        // one print line
constexpr uint16_t kPageLines = 66;

// Records go through one reusable body and a large buffer in front of the
// file; after the first failed write nothing more is written.
class RecordWriter {
 public:
  explicit RecordWriter(std::ofstream& out) : out_(out) { buffer_.reserve(kBufferSize); }

  void begin(uint16_t type) {
    type_ = type;
    body_.clear();
  }
  void u8(uint8_t v) { body_.push_back(v); }
  void u16(uint16_t v) {
    body_.push_back(uint8_t(v));
    body_.push_back(uint8_t(v >> 8));
  }
  void i16(int v) { u16(static_cast<uint16_t>(static_cast<int16_t>(v))); }
  void u32(uint32_t v) {
    for (int k = 0; k < 4; ++k) body_.push_back(uint8_t(v >> (8 * k)));
  }
  void f64(double d) {
    uint8_t b[8];
    std::memcpy(b, &d, 8);
    bytes(b, 8);
  }
  void bytes(const uint8_t* p, size_t n) { body_.insert(body_.end(), p, p + n); }
  // The characters up to any NUL, at most limit of them, then a 0.
  void text(std::string_view s, size_t limit) {
    s = s.substr(0, std::min(s.find('\0'), limit));
    bytes(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    u8(0);
  }
  // A length byte and the characters, padded to width bytes after it.
  void shortString(std::string_view s, size_t width) {
    s = s.substr(0, std::min({s.find('\0'), width, size_t(255)}));
    u8(static_cast<uint8_t>(s.size()));
    bytes(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    body_.insert(body_.end(), width - s.size(), 0);
  }
  void range(const CellRange& r) {
    i16(r.col1);
    i16(r.row1);
    i16(r.col2);
    i16(r.row2);
  }
  void end() {
    uint8_t head[4] = {uint8_t(type_), uint8_t(type_ >> 8), uint8_t(body_.size()),
                       uint8_t(body_.size() >> 8)};
    put(head, 4);
    put(body_.data(), body_.size());
  }
  void raw(const uint8_t* p, size_t n) { put(p, n); }
  bool finish() {
    flush();
    return ok_;
  }
  bool ok() const { return ok_; }

 private:
  static constexpr size_t kBufferSize = 1 << 16;
  void put(const uint8_t* p, size_t n) {
    if (buffer_.size() + n > kBufferSize) flush();
    buffer_.insert(buffer_.end(), p, p + n);
  }
  void flush() {
    if (ok_ && !buffer_.empty()) {
      out_.write(reinterpret_cast<const char*>(buffer_.data()),
                 static_cast<std::streamsize>(buffer_.size()));
      if (!out_) ok_ = false;
    }
    buffer_.clear();
  }

  std::ofstream& out_;
  std::vector<uint8_t> buffer_;
  std::vector<uint8_t> body_;
  uint16_t type_ = 0;
  bool ok_ = true;
};

// The whole worksheet or one extracted range, with what the records need.
class WorksheetWriter {
 public:
  WorksheetWriter(Worksheet& ws, RecordWriter& w, SaveScope scope, const CellRange& area)
      : ws_(ws), s_(ws.settings), w_(w), scope_(scope), area_(area) {}

  void writeAll() {
    w_.begin(kBof);
    w_.u16(kBofVersion);
    w_.end();
    w_.begin(kRange);
    w_.range(CellRange::of(0, 0, area_.row2 - area_.row1, area_.col2 - area_.col1));
    w_.end();
    if (scope_ == SaveScope::Full) writeSettings();
    writeCells();
    trailer(0x00);
    writeExtension();
    trailer(kTrailerMark);
  }

 private:
  void trailer(uint8_t second) {
    w_.begin(kEof);
    w_.end();
    const uint8_t mark[2] = {kTrailerMark, second};
    w_.raw(mark, 2);
  }

  void oneByte(uint16_t type, uint8_t v) {
    w_.begin(type);
    w_.u8(v);
    w_.end();
  }
  void oneRange(uint16_t type, const CellRange& r) {
    w_.begin(type);
    w_.range(r);
    w_.end();
  }
  void window(uint16_t type, const PaneLayout& pane) {
    std::array<uint8_t, kWindowBytes> b = kWindowDefaults;
    auto put = [&](size_t at, int v) {
      b[at] = uint8_t(v);
      b[at + 1] = uint8_t(v >> 8);
    };
    put(0, pane.cursorColumn);
    put(2, pane.cursorRow);
    b[4] = s_.globalFormat;
    put(12, pane.leftColumn);
    put(14, pane.topRow);
    w_.begin(type);
    w_.bytes(b.data(), b.size());
    w_.end();
  }
  void name(std::string_view text, const CellRange& r) {
    w_.begin(kName);
    std::array<uint8_t, kNameField> field{};
    std::memcpy(field.data(), text.data(), std::min(text.size(), kNameField - 1));
    w_.bytes(field.data(), field.size());
    w_.range(r);
    w_.end();
  }

  void writeSettings() {
    oneByte(kCalcMode, s_.manualRecalc ? 0 : 0xFF);
    oneByte(kSplit, s_.split);
    oneByte(kSync, (s_.syncHorizontal || s_.syncVertical) ? 0xFF : 0);
    window(kWindow1, s_.panes[0]);
    for (int col = 0; col < kColumns; ++col) {
      if (ws_.columnWidth[col] == kDefaultSize) continue;
      w_.begin(kColumnWidth1);
      w_.u16(static_cast<uint16_t>(col));
      w_.u8(static_cast<uint8_t>(std::clamp(ws_.columnWidth[col] / 8, 1, 255)));
      w_.end();
    }
    if (s_.split != 0) window(kWindow2, s_.panes[1]);

    // The settings name: the kept byte (0 goes out as 255), the display
    // flags, "P" and 1; its range is all zeros.
    const char settingsName[] = {
        'G',
        '!',
        static_cast<char>(s_.keptByte ? s_.keptByte : 255),
        static_cast<char>((s_.zerosHidden ? 1 : 2) | (s_.negativeInColour ? 4 : 0)),
        'P',
        1};
    name(std::string_view(settingsName, 6), CellRange::of(0, 0, 0, 0));
    for (const RangeName& n : ws_.names.entries()) name(n.name, n.range);

    w_.begin(kTable);
    w_.u8(s_.whatIfKind);
    w_.range(s_.ranges[kWhatIfTable]);
    w_.range(s_.ranges[kWhatIfInput1]);
    w_.range(s_.ranges[kWhatIfInput2]);
    w_.end();
    w_.begin(kQueryRange);
    w_.range(s_.ranges[kQueryInput]);
    w_.range(s_.ranges[kQueryCriteria]);
    w_.range(s_.ranges[kQueryOutput]);
    w_.u8(0);
    w_.end();
    oneRange(kPrintRangeRecord, s_.ranges[kPrintRange]);
    oneRange(kSortRange, s_.ranges[kSortData]);
    w_.begin(kKeyRange);
    w_.range(s_.ranges[kSortKey1]);
    w_.u8(0xFF);
    w_.end();
    w_.begin(kKeyRange2);
    w_.range(s_.ranges[kSortKey2]);
    w_.u8(0xFF);
    w_.end();
    oneByte(kProtect, s_.protection ? 0xFF : 0);
    textRecord(kFooter, s_.printFooter, kMaxPrintText);
    textRecord(kHeader, s_.printHeader, kMaxPrintText);
    textRecord(kSetup, s_.printSetup, kMaxPrintText);

    // Character and line margins for other programs; the exact inches go
    // into the extension section.
    auto chars = [](double inches) {
      return static_cast<uint16_t>(std::clamp(std::lround(inches / kCharacterInches), 0L, 240L));
    };
    auto lines = [](double inches) {
      return static_cast<uint16_t>(std::clamp(std::lround(inches / kLineInches), 0L, 64L));
    };
    w_.begin(kMargins);
    w_.u16(chars(s_.margins[kMarginLeft]));
    w_.u16(chars(8.5 - s_.margins[kMarginRight]));
    w_.u16(kPageLines);
    w_.u16(lines(s_.margins[kMarginTop]));
    w_.u16(lines(s_.margins[kMarginBottom]));
    w_.end();
    oneByte(kLabelFormat, static_cast<uint8_t>(s_.labelPrefix));
    w_.begin(kTitles);
    w_.range(s_.titleRows);
    w_.range(s_.titleColumns);
    w_.end();
    w_.begin(kGraph);
    w_.bytes(s_.graph.lotus.data(), kGraphBytes);
    w_.end();
    for (const NamedGraph& g : s_.namedGraphs) {
      w_.begin(kNamedGraph);
      std::array<uint8_t, kNameField> field{};
      std::memcpy(field.data(), g.name.data(), std::min(g.name.size(), kNameField - 1));
      w_.bytes(field.data(), field.size());
      w_.bytes(g.graph.lotus.data(), kGraphBytes);
      w_.end();
    }
  }

  void textRecord(uint16_t type, std::string_view text, size_t limit) {
    w_.begin(type);
    w_.text(text, limit);
    w_.end();
  }

  void header(uint16_t type, const Cell& c) {
    w_.begin(type);
    w_.u8(c.format);
    w_.u16(static_cast<uint16_t>(c.column - area_.col1));
    w_.u16(static_cast<uint16_t>(c.row - area_.row1));
  }

  void writeCells() {
    ws_.ForEachCell(area_, [&](CellHandle, Cell& c) {
      if (!w_.ok()) return false;
      switch (c.type()) {
        case CellType::Real:
          header(kNumber, c);
          w_.f64(c.value.number);
          break;
        case CellType::Integer:
          header(kInteger, c);
          w_.i16(c.value.integer);
          break;
        case CellType::Label: {
          header(kLabel, c);
          w_.text(pstringView(c.content), kMaxText);
          break;
        }
        case CellType::NumberFormula:
        case CellType::StringFormula:
          if (c.content && wellFormedCode(c.content)) {
            formula(c);
            break;
          }
          [[fallthrough]];
        default:
          header(kBlank, c);
          break;
      }
      w_.end();
      if (c.type() == CellType::StringFormula && c.content && wellFormedCode(c.content) &&
          !c.isErr()) {
        header(kString, c);
        w_.text(pstringView(c.value.text), kMaxText);
        w_.end();
      }
      return true;
    });
  }

  void formula(const Cell& c) {
    header(kFormula, c);
    // A string result goes into the STRING record that follows; the value
    // bytes then carry the ERR pattern, which tells readers to look there.
    if (c.isErr() || c.type() == CellType::StringFormula)
      w_.bytes(kErrValue.data(), kErrValue.size());
    else
      w_.f64(c.value.number);
    size_t n = c.content[0];
    std::memcpy(code_, c.content, n + 1);
    ConvertReferences(ws_, code_, c.row, c.column, ReferenceForm::File);
    w_.u16(static_cast<uint16_t>(n - 1));
    w_.bytes(code_ + 2, n - 1);
  }

  int sheetCount() const {
    int rows = s_.sheetRows;
    if (rows <= 0 || rows >= kRows || (rows & (rows - 1)) != 0) return 1;
    return std::min(kRows / rows, kMaxSheets);
  }

  void writeExtension() {
    const bool full = scope_ == SaveScope::Full;
    Session& session = ws_.session();
    if (full) {
      w_.begin(kExtGraph);
      w_.bytes(s_.graph.extension.data(), kGraphExtensionBytes);
      w_.end();
      for (const NamedGraph& g : s_.namedGraphs) {
        w_.begin(kExtNamedGraph);
        w_.bytes(g.graph.extension.data(), kGraphExtensionBytes);
        w_.end();
      }
      w_.begin(kExtView);
      w_.u8(static_cast<uint8_t>(session.activationCount));
      w_.u8(static_cast<uint8_t>(session.activeWindow));
      w_.end();
      for (const ButtonRecord& b : s_.buttons) {
        w_.begin(kExtButton);
        w_.bytes(b.data(), b.size());
        w_.end();
      }
      w_.begin(kExtSortKeys);
      w_.range(s_.ranges[kSortKey1]);
      w_.u8(s_.sortOrder[0] ? 0xFF : 0);
      w_.range(s_.ranges[kSortKey2]);
      w_.u8(s_.sortOrder[1] ? 0xFF : 0);
      w_.end();
      w_.begin(kExtRegression);
      w_.range(s_.regressionRanges[0]);
      w_.range(s_.regressionRanges[1]);
      w_.bytes(s_.regressionVariables.data(), s_.regressionVariables.size());
      w_.end();
    }
    w_.begin(kExtColours);
    for (uint32_t c : s_.colours) w_.u32(c);
    w_.end();
    if (full) {
      w_.begin(kExtMargins);
      for (double m :
           {s_.margins[kMarginTop], s_.margins[kMarginLeft], s_.margins[kMarginRight],
            s_.margins[kMarginBottom], s_.margins[kMarginHeader], s_.margins[kMarginFooter]}) {
        long hundredths = std::lround(std::clamp(m, -300.0, 300.0) * 100);
        w_.u32(static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(hundredths))));
      }
      w_.end();
      // One record per sheet: their number carries the sheet division.
      int sheets = sheetCount();
      for (int t = 0; t < sheets; ++t) {
        std::string_view name =
            t < static_cast<int>(s_.tabNames.size()) ? s_.tabNames[t] : std::string_view();
        if (sheets == 1 && name.empty()) break;
        textRecord(kExtTab, name, kMaxTabName);
      }
    }
    for (const UserFunction& f : ws_.functions.all()) {
      w_.begin(kExtUserFunction);
      w_.shortString(f.name, 13);
      w_.shortString(f.formula, 255);
      w_.u32(static_cast<uint32_t>(f.argumentCount));
      w_.end();
    }
    writeFontNames();
    w_.begin(kExtWindowFont);
    w_.i16(s_.font.height);
    w_.u16(s_.font.style);
    w_.text(s_.font.typeface, kMaxWindowText);
    w_.end();
    if (full) {
      writeWindowLayout();
      textRecord(kExtTitle, s_.title, kMaxWindowText);
      textRecord(kExtComments, s_.comments, kMaxCommentText);
      textRecord(kExtUserName, s_.userName, kMaxWindowText);
      w_.begin(kExtCreation);
      w_.f64(s_.creationTime);
      w_.f64(s_.creationDate);
      w_.end();
      const PrintOptions& p = s_.print;
      w_.begin(kExtPrintOptions);
      w_.range(p.borderRows);
      w_.range(p.borderColumns);
      w_.u8(static_cast<uint8_t>(p.headerLine | p.footerLine << 1 | p.frame << 2 | p.grid << 3 |
                                 p.mono << 4 | p.landscape << 5));
      w_.i16(p.scale);
      w_.end();
    }
    ws_.ForEachCell(area_, [&](CellHandle, Cell& c) {
      if (c.hasDefaultAttributes()) return true;
      w_.begin(kExtAttributes);
      w_.u16(static_cast<uint16_t>(c.row - area_.row1));
      w_.u16(static_cast<uint16_t>(c.column - area_.col1));
      w_.u8(c.font);
      w_.u8(c.size);
      w_.u8(c.style);
      w_.u8(c.borders);
      w_.u32(c.colour);
      w_.end();
      return w_.ok();
    });
    // A full save keeps every size; an extract those of its own columns and rows.
    const CellRange sized = full ? CellRange::of(0, 0, kRows - 1, kColumns - 1) : area_;
    for (int col = sized.col1; col <= sized.col2; ++col) {
      if (ws_.columnWidth[col] == kDefaultSize) continue;
      w_.begin(kExtColumnWidth);
      w_.u16(static_cast<uint16_t>(col - sized.col1));
      w_.u8(static_cast<uint8_t>(std::min<int>(ws_.columnWidth[col], 254)));
      w_.end();
    }
    for (int row = sized.row1; row <= sized.row2; ++row) {
      if (ws_.rowHeight[row] == kDefaultSize) continue;
      w_.begin(kExtRowHeight);
      w_.u16(static_cast<uint16_t>(row - sized.row1));
      w_.u8(static_cast<uint8_t>(std::min<int>(ws_.rowHeight[row], 254)));
      w_.end();
    }
  }

  void writeFontNames() {
    std::array<bool, 256> used{};
    ws_.ForEachCell(area_, [&](CellHandle, Cell& c) {
      used[c.font] = true;
      return true;
    });
    const auto& names = ws_.session().settings().fontNames;
    for (size_t i = 0; i < 255 && i < names.size(); ++i) {
      if (!used[i]) continue;
      w_.begin(kExtFontName);
      w_.u16(static_cast<uint16_t>(i));
      w_.text(names[i], kMaxWindowText);
      w_.end();
    }
  }

  void writeWindowLayout() {
    w_.begin(kExtWindow);
    w_.i16(s_.currentTab);
    w_.u8(s_.split);
    w_.u8(s_.syncHorizontal ? 1 : 0);
    w_.u8(s_.syncVertical ? 1 : 0);
    w_.u8(s_.activePane ? 1 : 0);
    const PaneLayout& a = s_.panes[0];
    const PaneLayout& b = s_.panes[1];
    for (int v : {a.leftColumn, a.topRow, a.cursorColumn, a.cursorRow}) w_.i16(v);
    w_.i16(s_.windowHeight);
    w_.i16(s_.windowWidth);
    for (int v : {b.leftColumn, b.topRow, b.cursorColumn, b.cursorRow}) w_.i16(v);
    for (int v : {s_.fixedColumns.from, s_.fixedColumns.to, s_.fixedRows.from, s_.fixedRows.to})
      w_.i16(v);
    w_.end();
  }

  Worksheet& ws_;
  WorksheetSettings& s_;
  RecordWriter& w_;
  SaveScope scope_;
  CellRange area_;
  uint8_t code_[256] = {};
};

// A name beside the target that no other file has; empty when none is
// found, as in a directory the program cannot look into.
std::string temporaryName(const std::string& target) {
  static std::mt19937_64 random(std::random_device{}());
  fs::path p(target);
  std::error_code ec;
  // Short, so that a target whose own name is near the system's limit fits.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string candidate =
        (p.parent_path() / (".tw" + std::to_string(random() % 100000000) + ".tmp")).string();
    if (!fs::exists(candidate, ec) && !ec) return candidate;
  }
  return {};
}

bool fail(Session& s, const std::string& message, int code) {
  s.ioResult = code;
  s.lastFileMessage = message;
  s.ShowError(message);
  return false;
}

}  // namespace

bool Save(Worksheet& ws, const std::string& fileName, SaveScope scope, const CellRange& range) {
  Session& session = ws.session();
  CellRange area = CellRange::of(0, 0, ws.maxRow, ws.maxCol);
  if (scope == SaveScope::Extract) {
    area = range.ordered();
    if (!area.valid() || !validAddress(area.row1, area.col1) || !validAddress(area.row2, area.col2))
      return fail(session, "Unable to Open File", 2);
  }
  // The file system cannot hold a name with a NUL byte in it: the name it
  // would see is another.
  if (fileName.empty() || fileName.find('\0') != std::string::npos)
    return fail(session, "Unable to Open File", 2);

  // Saving over a file whose name differs only in case replaces that file.
  std::string target = fileName;
  std::error_code ec;
  if (!fs::exists(target, ec))
    if (auto existing = findExistingFile(target); existing && isRegularFile(*existing))
      target = *existing;
  // Through a symbolic link the file it names is saved, and the link stays.
  if (fs::is_symlink(target, ec)) {
    fs::path resolved = fs::canonical(target, ec);
    if (ec) return fail(session, "Unable to Open File", 2);
    target = resolved.string();
  }
  // Only a regular file is replaced: a directory or a device keeps its name.
  if (fs::exists(target, ec) && !fs::is_regular_file(target, ec))
    return fail(session, "Unable to Open File", 5);

  if (scope == SaveScope::Full) {
    if (ws.settings.creationDate == 0) {
      Host& host = session.host();
      ws.settings.creationDate = host.daySerialToday();
      ws.settings.creationTime = host.secondsSinceMidnight() / 86400.0;
    }
    ws.settings.userName = session.host().userName();
  }

  const std::string temporary = temporaryName(target);
  if (temporary.empty()) return fail(session, "Unable to Open File", 2);
  bool written = false;
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return fail(session, "Unable to Open File", 2);
    RecordWriter w(out);
    WorksheetWriter(ws, w, scope, area).writeAll();
    written = w.finish();
    out.close();
    written = written && !out.fail();
  }
  if (!written) {
    fs::remove(temporary, ec);
    return fail(session, "Unable to CLOSE file", 101);
  }
  // A replaced file keeps its permissions; a new one has what the user's
  // umask gave the temporary file when it was made.
  if (fs::exists(target, ec)) fs::permissions(temporary, fs::status(target, ec).permissions(), ec);

  // The previous file becomes the backup, unless the worksheet is being
  // saved to the backup's own name (a worksheet opened from its backup).
  const std::string backup = backupFileName(target);
  bool backedUp = false;
  if (session.settings().backups && fs::exists(target, ec) && !sameFileName(backup, target) &&
      !fs::equivalent(backup, target, ec)) {
    fs::remove(backup, ec);
    fs::rename(target, backup, ec);
    if (ec) {
      fs::remove(temporary, ec);
      return fail(session, "Unable to CLOSE file", 101);
    }
    backedUp = true;
  }
  fs::rename(temporary, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    if (backedUp) fs::rename(backup, target, ignored);
    return fail(session, "Unable to CLOSE file", 101);
  }
  session.ioResult = 0;
  if (scope == SaveScope::Full) ws.modified = false;
  return true;
}

}  // namespace tw
