// dBase import and export through the commands: what each field type
// becomes in a cell, the record range and the sheet's end, damaged files
// and protected cells that leave the worksheet as it was, the progress
// gauge, the fields and records export writes, and export then import.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "commands/dbase_commands.h"
#include "commands/sheet_commands.h"
#include "core/display_format.h"
#include "files/dbase_file.h"
#include "files/dbase_test_support.h"
#include "test_support.h"

namespace tw::test {
namespace {

class ProgressHost : public HeadlessHost {
 public:
  void showProgress(int percent) override { progress.push_back(percent); }
  std::vector<int> progress;
};

class DbaseTest : public ::testing::Test, public SheetHelpers<DbaseTest> {
 public:
  DbaseTest() : session(host), ws(withLibrary(session).openWorksheet("TEST.WKS")) {}

  CommandContext context() { return CommandContext{session, &ws}; }
  std::string table(const std::string& name, const std::vector<TableField>& fields,
                    const std::vector<std::string>& records, const TableLayout& layout = {}) {
    std::string path = dir.file(name);
    writeBytes(path, tableBytes(fields, records, layout));
    return path;
  }
  CommandResult import(const std::string& path, const std::string& at = "A1", long first = 1,
                       long count = 0) {
    auto [row, col] = this->at(at);
    CommandContext cx = context();
    return ImportDbase(cx, path, row, col, first, count);
  }
  CommandResult exportRange(const std::string& path, const std::string& range) {
    CommandContext cx = context();
    return ExportDbase(cx, path, ParseRange(ws, range).range);
  }
  // Every cell with its kind, format and content, and the column widths.
  std::string dump() {
    std::ostringstream out;
    ws.ForEachCell(CellRange::of(0, 0, kRows - 1, kColumns - 1), [&](CellHandle h, Cell& c) {
      out << c.row << ',' << int(c.column) << ':' << int(c.kind) << '/' << int(c.format) << '='
          << CellInputText(ws, h) << ';';
      return true;
    });
    for (int col = 0; col < kColumns; ++col) out << ws.columnWidth[col] << ' ';
    return out.str();
  }
  uint8_t format(const std::string& address) { return cell(address)->format; }

  ProgressHost host;
  Session session;
  Worksheet& ws;
  TempDir dir;
};

// --- Import ---------------------------------------------------------------

TEST_F(DbaseTest, FieldTypesBecomeNumbersDatesAndLabels) {
  const std::vector<TableField> fields = {
      {"NAME", 'C', 12},  {"AMOUNT", 'N', 9, 2}, {"BORN", 'D', 8}, {"OK", 'L', 1},
      {"NOTES", 'M', 10}, {"RATE", 'F', 6, 3},   {"CODE", 'X', 2}};
  const std::string path = table(
      "TYPES.DBF", fields,
      {recordOf(fields, {"^Alice", "    12.50", "19870301", "T", "         1", " 0.125", "ab"}),
       recordOf(fields, {"Deleted Guy", "    99.00", "19791222", "F"}, true),
       recordOf(fields, {"  two spaces", "        .", "20240131", "?", "", "     9"}),
       recordOf(fields, {"Bob", "  - 1 234", "", "Y", "        12", "  1e2", "xy"}),
       recordOf(fields, {"", "     oops", "2024133", " ", "abc", "12ab"})});
  ASSERT_TRUE(import(path).ok);
  EXPECT_TRUE(host.errors.empty());

  // Names with the worksheet's label prefix and the fields' formats.
  EXPECT_EQ(input("A1"), "'NAME");
  EXPECT_EQ(input("G1"), "'CODE");
  EXPECT_EQ(format("A1"), 0xF5);  // text
  EXPECT_EQ(format("B1"), 0x82);  // fixed, 2 decimals
  EXPECT_EQ(format("C1"), 0xF9);  // D4
  EXPECT_EQ(format("D1"), 0xF5);
  EXPECT_EQ(format("E1"), 0xF5);
  EXPECT_EQ(format("F1"), 0xFF);  // other types: default
  EXPECT_EQ(format("G1"), 0xFF);

  // The deleted record is skipped: four records fill rows 2 to 5.
  EXPECT_EQ(input("A2"), "'^Alice");  // "'" in front, whatever the text begins with
  EXPECT_EQ(number("B2"), 12.5);
  EXPECT_EQ(number("C2"), 31837);  // 1 March 1987
  EXPECT_EQ(input("D2"), "'T");
  EXPECT_EQ(input("E2"), "'         1");  // a memo's block number, as it is
  EXPECT_EQ(number("F2"), 0.125);
  EXPECT_EQ(input("G2"), "'ab");
  EXPECT_EQ(format("B2") & 0x7F, 2);  // the records get their field's format too
  EXPECT_EQ(format("C2") & 0x7F, 0x79);

  EXPECT_EQ(input("A3"), "'  two spaces");  // leading spaces kept, padding gone
  ASSERT_NE(cell("B3"), nullptr);
  EXPECT_EQ(cell("B3")->type(), CellType::Integer);  // "." alone is 0
  EXPECT_EQ(number("B3"), 0);
  EXPECT_EQ(number("C3"), 45322);
  EXPECT_EQ(input("D3"), "'?");
  EXPECT_EQ(cell("E3"), nullptr);  // blank fields make no cell
  EXPECT_EQ(number("F3"), 9);

  EXPECT_EQ(number("B4"), -1234);  // the spaces removed
  EXPECT_EQ(cell("C4"), nullptr);
  EXPECT_EQ(number("F4"), 100);

  EXPECT_EQ(input("B5"), "'oops");     // not a number: kept as a label
  EXPECT_EQ(input("C5"), "'2024133");  // not a date
  EXPECT_EQ(cell("D5"), nullptr);      // a logical field holding a space: unknown, blank
  EXPECT_EQ(input("E5"), "'abc");
  EXPECT_EQ(cell("A5"), nullptr);
  EXPECT_EQ(input("F5"), "'12ab");
  EXPECT_EQ(cell("A6"), nullptr);

  // Each column as wide as its field, in characters of eight pixels.
  EXPECT_EQ(ws.columnWidth[0], 96);
  EXPECT_EQ(ws.columnWidth[3], 8);
  EXPECT_EQ(ws.columnWidth[7], kDefaultSize);
}

TEST_F(DbaseTest, RecordRangeAndTheSheetsLastRow) {
  std::vector<std::string> records;
  for (int i = 1; i <= 10; ++i) records.push_back((i == 4 ? "*" : " ") + std::to_string(i % 10));
  const std::string path = table("TEN.DBF", {{"N", 'N', 1}}, records);

  ASSERT_TRUE(import(path, "B2", 3, 4).ok);  // records 3 to 6, 4 deleted
  EXPECT_EQ(input("B2"), "'N");
  EXPECT_EQ(number("B3"), 3);
  EXPECT_EQ(number("B4"), 5);
  EXPECT_EQ(number("B5"), 6);
  EXPECT_EQ(cell("B6"), nullptr);

  ASSERT_TRUE(import(path, "C1", 9, 100).ok);  // more than there are
  EXPECT_EQ(number("C2"), 9);
  EXPECT_EQ(number("C3"), 0);
  EXPECT_EQ(cell("C4"), nullptr);

  ASSERT_TRUE(import(path, "D1", 11).ok);  // beyond the last: the names only
  EXPECT_EQ(input("D1"), "'N");
  EXPECT_EQ(cell("D2"), nullptr);

  ASSERT_TRUE(import(path, "E8190").ok);  // rows run out after two records
  EXPECT_EQ(number("E8191"), 1);
  EXPECT_EQ(number("E8192"), 2);

  ASSERT_TRUE(import(path, "F8192").ok);
  EXPECT_EQ(input("F8192"), "'N");
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(DbaseTest, ExistingCellsAreReplacedAndFormulasFollow) {
  enter("A2", "'old");
  enter("B2", "123");
  enter("C1", "+A2+B2");
  enter("C2", "@SUM(B2..B3)");
  const std::vector<TableField> fields = {{"A", 'N', 3}, {"B", 'C', 2}};
  ASSERT_TRUE(import(table("T.DBF", fields,
                           {recordOf(fields, {"  7", ""}), recordOf(fields, {" 12", "xy"})}))
                  .ok);
  EXPECT_EQ(number("A2"), 7);
  EXPECT_EQ(cell("B2")->type(), CellType::Blank);  // the record's blank field
  EXPECT_EQ(number("C1"), 7);
  EXPECT_EQ(input("B3"), "'xy");
  EXPECT_EQ(input("C2"), "@SUM(B2..B3)");

  // Manual recalculation leaves the formulas for CALC.
  ws.settings.manualRecalc = true;
  CommandResult r = import(table("U.DBF", {{"A", 'N', 3}}, {"  40"}));
  EXPECT_FALSE(r.recalculated);
  EXPECT_EQ(number("A2"), 40);
  EXPECT_EQ(number("C1"), 7);

  // Undo takes the import back.
  CommandContext cx = context();
  UndoLastCommand(cx);
  EXPECT_EQ(number("A2"), 7);
}

TEST_F(DbaseTest, DamagedFilesAndProtectedCellsLeaveTheSheetAsItWas) {
  enter("A1", "'keep");
  enter("B3", "42");
  SetColumnWidth(ws, 0, 0, 20);
  const std::string before = dump();
  const std::vector<TableField> fields = {{"A", 'C', 4}, {"B", 'N', 5}};
  const std::string good = tableBytes(fields, {" abcd   12", " efgh   34"});

  // The reader's own tests take every check; these are one of each kind.
  std::string count = good;
  putLE(count, 4, 1000, 4);  // more records than the file holds
  const std::vector<std::string> damaged = {"", good.substr(0, 20), good.substr(0, good.size() - 3),
                                            count};
  for (size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string path = dir.file("BAD" + std::to_string(i) + ".DBF");
    writeBytes(path, damaged[i]);
    host.errors.clear();
    EXPECT_FALSE(import(path).ok);
    EXPECT_EQ(host.errors, std::vector<std::string>{kDbaseReadMessage});
    EXPECT_FALSE(DbaseFileSummary(path).has_value());
    EXPECT_EQ(dump(), before);
  }
  host.errors.clear();
  EXPECT_FALSE(import(dir.file("MISSING.DBF")).ok);
  EXPECT_EQ(host.errors, std::vector<std::string>{kDbaseReadMessage});

  // More than 256 fields: nothing imported.
  std::vector<TableField> many(257, TableField{"F", 'C', 1});
  const std::string wide = table("WIDE.DBF", many, {" " + std::string(257, 'x')});
  host.errors.clear();
  EXPECT_FALSE(import(wide).ok);
  EXPECT_EQ(host.errors, std::vector<std::string>{"Field count Exceeds 256"});
  EXPECT_EQ(DbaseFileSummary(wide)->fields, 257);
  EXPECT_EQ(dump(), before);

  // Protected cells in the way.
  ws.settings.protection = true;
  const std::string path = dir.file("GOOD.DBF");
  writeBytes(path, good);
  host.errors.clear();
  EXPECT_FALSE(import(path).ok);
  EXPECT_EQ(host.errors, std::vector<std::string>{"Protected Cell"});
  EXPECT_EQ(dump(), before);
  // Unprotected cells take it.
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 2; ++c) ws.cell(ws.GetOrCreateCell(r, c)).format &= 0x7F;
  host.errors.clear();
  EXPECT_TRUE(import(path).ok);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(number("B3"), 34);
}

TEST_F(DbaseTest, SummaryAndProgressGauge) {
  std::vector<std::string> records;
  for (int i = 0; i < 300; ++i) records.push_back(i < 10 ? "*x" : " y");
  const std::string path = table("GAUGE.DBF", {{"C", 'C', 1}, {"D", 'N', 0}}, records);
  auto summary = DbaseFileSummary(path);
  ASSERT_TRUE(summary.has_value());
  EXPECT_EQ(summary->fields, 2);
  EXPECT_EQ(summary->records, 300);
  ASSERT_TRUE(import(path).ok);
  EXPECT_EQ(host.progress, (std::vector<int>{42, 85, -1}));  // after 128 and 256 of 300
  EXPECT_EQ(input("A291"), "'y");
  EXPECT_EQ(cell("A292"), nullptr);
  EXPECT_EQ(ws.columnWidth[1], 8);  // a field of no length: one character
}

TEST_F(DbaseTest, FieldsBeyondTheLastColumnAreLeftOut) {
  ASSERT_TRUE(
      import(table("T.DBF", {{"A", 'C', 1}, {"B", 'C', 1}, {"C", 'C', 1}}, {" abc"}), "IU1").ok);
  EXPECT_EQ(input("IU2"), "'a");
  EXPECT_EQ(input("IV2"), "'b");
}

TEST_F(DbaseTest, EveryCorpusFileImportsWithItsRecords) {
  const std::string root = corpusRoot();
  if (root.empty()) GTEST_SKIP() << "no corpus";
  // Fields, records and deleted records as the corpus describes its files.
  struct Expected {
    const char* file;
    int fields;
    long records;
    long deleted;
  };
  const std::vector<Expected> expected = {
      {"infused-dbase_03.dbf", 31, 14, 0}, {"infused-dbase_83.dbf", 15, 67, 0},
      {"infused-dbase_8b.dbf", 6, 10, 0},  {"dbffile-pyacfl.dbf", 20, 45, 30},
      {"dbfread-people.dbf", 2, 3, 1},     {"tika-testdbf.dbf", 3, 20, 0},
  };
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(root + "/dbf")) {
    if (entry.path().extension() != ".dbf") continue;
    ++files;
    const std::string path = entry.path().string();
    SCOPED_TRACE(path);
    Worksheet& sheet = session.openWorksheet("C" + std::to_string(files) + ".WKS");
    CommandContext cx{session, &sheet};
    host.errors.clear();
    ASSERT_TRUE(ImportDbase(cx, path, 0, 0, 1, 0).ok);
    EXPECT_TRUE(host.errors.empty());
    for (const Expected& e : expected) {
      if (entry.path().filename() != e.file) continue;
      auto summary = DbaseFileSummary(path);
      ASSERT_TRUE(summary.has_value());
      EXPECT_EQ(summary->fields, e.fields);
      EXPECT_EQ(summary->records, e.records);
      // Every live record fills one row, and every record has a first
      // field in these files; the row after the last is empty.
      long rows = e.records - e.deleted;
      EXPECT_EQ(sheet.maxRow, rows);
      EXPECT_EQ(sheet.maxCol, e.fields - 1);
    }
  }
  EXPECT_GE(files, 6);

  // Values as the files hold them.
  CommandContext cx = context();
  ASSERT_TRUE(ImportDbase(cx, root + "/dbf/dbfread-people.dbf", 0, 0, 1, 0).ok);
  EXPECT_EQ(text("A2"), "Alice");
  EXPECT_EQ(number("B2"), 31837);  // 19870301
  EXPECT_EQ(text("A3"), "Bob");
  EXPECT_EQ(number("B3"), 29537);  // 19801112
  EXPECT_EQ(cell("A4"), nullptr);  // the deleted one
  ASSERT_TRUE(ImportDbase(cx, root + "/dbf/infused-dbase_8b.dbf", 0, 4, 1, 0).ok);
  EXPECT_EQ(text("E1"), "CHARACTER");
  EXPECT_EQ(number("F2"), 1);
  EXPECT_EQ(format("F1"), 0x82);
  EXPECT_EQ(number("G2"), 25569);  // 19700101
  EXPECT_EQ(number("G5"), 2);      // 19000101
  EXPECT_EQ(number("G6"), 366);    // 19001231
  EXPECT_EQ(cell("G10"), nullptr);
  EXPECT_EQ(text("H2"), "Y");
  EXPECT_DOUBLE_EQ(number("I2"), 1.23456789012346);
  EXPECT_EQ(text("J2"), "         1");
  EXPECT_EQ(ws.columnWidth[4], 254);  // C100: as wide as a column goes
}

// --- Export ---------------------------------------------------------------

TEST_F(DbaseTest, NameAndFixedAmountGiveCharacterAndNumericFields) {
  enter("A1", "'Name");
  enter("B1", "'Amount");
  enter("A2", "'Widget");
  enter("B2", "12.5");
  enter("A3", "'Gadget");
  enter("B3", "-3");
  enter("A4", "'Nothing");
  enter("B4", "-0.001");      // rounds to zero, written without a sign
  cell("B1")->format = 0x82;  // F2
  SetColumnWidth(ws, 0, 0, 10);
  SetColumnWidth(ws, 1, 1, 8);
  const std::string path = dir.file("OUT.DBF");
  ASSERT_TRUE(exportRange(path, "A1..B4").ok);
  const std::string b = readBytes(path);
  DbaseHeader h;
  ASSERT_TRUE(ParseDbaseHeader(b, b.size(), h));
  EXPECT_EQ(h.version, 3);
  EXPECT_EQ(h.recordCount, 3u);
  EXPECT_EQ(h.headerLength, 32 * 2 + 33);
  EXPECT_EQ(h.recordLength, 1 + 10 + 8);
  ASSERT_EQ(h.fields.size(), 2u);
  EXPECT_EQ(h.fields[0].name, "Name");
  EXPECT_EQ(h.fields[0].type, 'C');
  EXPECT_EQ(h.fields[0].length, 10);
  EXPECT_EQ(h.fields[1].name, "Amount");
  EXPECT_EQ(h.fields[1].type, 'N');
  EXPECT_EQ(h.fields[1].length, 8);
  EXPECT_EQ(h.fields[1].decimals, 2);
  EXPECT_EQ(b.substr(h.headerLength),
            " Widget       12.50 Gadget       -3.00 Nothing       0.00\x1A");
  const DbaseDate today = dbaseToday();
  EXPECT_EQ(h.updated.year, today.year);
  EXPECT_EQ(h.updated.month, today.month);
}

TEST_F(DbaseTest, ExportedValuesByFieldAndCell) {
  enter("A1", "'WHEN");
  cell("A1")->format = 0x79;  // D4: a date field
  enter("B1", "'N");          // F0, two characters wide
  cell("B1")->format = 0x80;
  SetColumnWidth(ws, 1, 1, 2);
  enter("C1", "'TEXT_FIELD_NAME");
  SetColumnWidth(ws, 2, 2, 6);
  enter("D1", "7");           // a number as name
  cell("D1")->format = 0x22;  // currency: a character field
  // E1 absent: a character field without a name.

  enter("A2", "45351");  // 29 February 2024
  enter("B2", "99");
  enter("C2", "'a long label");  // wider than its column: the field widens
  enter("D2", "0.1");
  enter("E2", "3");
  cell("E2")->format = 0x79;  // a date in a character field
  enter("B3", "100");         // too wide for the field
  enter("C3", "2.5");
  enter("D3", "@ERR");
  enter("A4", "'x");
  enter("B4", "-9.6");
  enter("C4", "+\"ab\"&\"c\"");

  const std::string path = dir.file("OUT.DBF");
  ASSERT_TRUE(exportRange(path, "A1..E4").ok);
  const std::string b = readBytes(path);
  DbaseHeader h;
  ASSERT_TRUE(ParseDbaseHeader(b, b.size(), h));
  ASSERT_EQ(h.fields.size(), 5u);
  EXPECT_EQ(std::string(1, h.fields[0].type) + h.fields[1].type + h.fields[2].type +
                h.fields[3].type + h.fields[4].type,
            "DNCCC");
  EXPECT_EQ(h.fields[0].length, 8);
  EXPECT_EQ(h.fields[2].name, "TEXT_FIELD");
  EXPECT_EQ(h.fields[3].name, "7");
  EXPECT_EQ(h.fields[4].name, "");
  EXPECT_EQ(h.fields[4].length, 9);  // the default width
  const std::string records = b.substr(h.headerLength);
  const size_t n = h.recordLength;
  ASSERT_EQ(records.size(), 3 * n + 1);
  const std::string nine(9, ' ');
  EXPECT_EQ(records.substr(0, n),
            " 20240229"
            "99"
            "a long label"
            "0.1      "
            "19000102 ");
  EXPECT_EQ(records.substr(n, n), " " + std::string(8, ' ') + "**" + "2.5         " + nine + nine);
  EXPECT_EQ(records.substr(2 * n, n),
            " x       "
            "**"
            "abc         " +
                nine + nine);
}

TEST_F(DbaseTest, ExportThenImportGivesTheSameCells) {
  enter("A1", "'Item");
  enter("B1", "'Price");
  enter("C1", "'Sold");
  enter("D1", "'Count");
  cell("A1")->format = 0xF5;
  cell("B1")->format = 0x83;
  cell("C1")->format = 0xF9;  // D4
  cell("D1")->format = 0x80;
  for (int c = 0; c < 4; ++c) SetColumnWidth(ws, c, c, 12);
  enter("A2", "'Apples");
  enter("B2", "1.125");
  enter("C2", "25404");  // 20 July 1969
  enter("D2", "-40000");
  enter("A3", "'  spaced");
  enter("C3", "2");
  enter("D3", "0");
  enter("B4", "-0.5");
  enter("A5", "'last");
  const std::string path = dir.file("ROUND.DBF");
  ASSERT_TRUE(exportRange(path, "A1..D5").ok);

  Worksheet& back = session.openWorksheet("BACK.WKS");
  CommandContext cx{session, &back};
  ASSERT_TRUE(ImportDbase(cx, path, 0, 0, 1, 0).ok);
  for (int row = 0; row <= 4; ++row)
    for (int col = 0; col <= 3; ++col) {
      SCOPED_TRACE(ws.addressText(row, col));
      CellHandle a = ws.FindCell(row, col), b = back.FindCell(row, col);
      EXPECT_EQ(a == kNoCell, b == kNoCell);
      if (a == kNoCell || b == kNoCell) continue;
      EXPECT_EQ(CellInputText(ws, a), CellInputText(back, b));
      if (row == 0) {
        EXPECT_EQ(ws.cell(a).format & 0x7F, back.cell(b).format & 0x7F);
      }
    }
  EXPECT_EQ(back.columnWidth[2], 80);  // a date field: wide enough for its full date
  EXPECT_EQ(back.columnWidth[3], 96);
}

// A text longer than its column is wide widens its field: nothing is cut.
TEST_F(DbaseTest, ALongTextWidensItsField) {
  enter("A1", "'Note");
  const std::string note(120, 'n');
  enter("A2", "'" + note);
  const std::string path = dir.file("LONG.DBF");
  ASSERT_TRUE(exportRange(path, "A1..A2").ok);
  Worksheet& back = session.openWorksheet("LONG.WKS");
  CommandContext cx{session, &back};
  ASSERT_TRUE(ImportDbase(cx, path, 0, 0, 1, 0).ok);
  EXPECT_EQ(back.LabelText(back.FindCell(1, 0)), note);
}

TEST_F(DbaseTest, AFailedWriteLeavesTheTargetWhole) {
  enter("A1", "'A");
  enter("A2", "'new");
  const std::string path = dir.file("KEEP.DBF");
  writeBytes(path, "old table");
  std::filesystem::create_directory(path + ".part");  // where the new bytes would go
  EXPECT_FALSE(exportRange(path, "A1..A2").ok);
  EXPECT_EQ(host.errors, std::vector<std::string>{kDbaseWriteMessage});
  EXPECT_EQ(readBytes(path), "old table");
  host.errors.clear();
  EXPECT_FALSE(exportRange(dir.file("NO/SUCH/DIR.DBF"), "A1..A2").ok);
  EXPECT_EQ(host.errors, std::vector<std::string>{kDbaseWriteMessage});

  std::filesystem::remove(path + ".part");
  EXPECT_TRUE(exportRange(path, "A1..A2").ok);
  EXPECT_EQ(DbaseFileSummary(path)->records, 1);
  EXPECT_FALSE(std::filesystem::exists(path + ".part"));
}

}  // namespace
}  // namespace tw::test
