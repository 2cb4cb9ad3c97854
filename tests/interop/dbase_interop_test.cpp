// dBase tables across programs: a table exported here is read by Gnumeric's
// ssconvert with the same field names, numbers, texts, dates and blanks, and
// the records it skips are the deleted ones.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "commands/dbase_commands.h"
#include "commands/sheet_commands.h"
#include "files/dbase_file.h"
#include "interop/csv.h"
#include "test_support.h"

namespace tw::test {
namespace {

class DbaseSsconvert : public SheetTest {
 protected:
  std::vector<std::vector<std::string>> convert(const std::string& dbf) {
    const std::string csv = dir.file("out.csv");
    std::string command = "ssconvert '" + dbf + "' '" + csv + "' > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return readCsv(csv);
  }
  TempDir dir;
};

TEST_F(DbaseSsconvert, ReadsTheExportedNamesAndValues) {
  if (!haveSsconvert()) GTEST_SKIP() << "ssconvert (Debian package gnumeric) is not installed";
  // The last name is cut to ten characters.
  const std::vector<std::pair<const char*, const char*>> entries = {
      {"A1", "'Item"},       {"B1", "'Price"},       {"C1", "'Sold"},
      {"D1", "'Count"},      {"E1", "'DESCRIPTION"}, {"A2", "'Apples"},
      {"B2", "1.25"},        {"C2", "25404"},        {"D2", "-40000"},
      {"E2", "'red, crisp"}, {"A3", "'Pears"},       {"B3", "-0.5"},
      {"D3", "0"},           {"E3", "'\"quoted\""},  {"A4", "'Plums"},
      {"C4", "45351"},       {"D4", "123456789"},    {"B5", "1000.75"},
      {"E5", "'last one"},
  };
  for (auto [address, text] : entries)
    ASSERT_EQ(enter(address, text), EntryResult::Stored) << address;
  cell("B1")->format = 0x82;  // F2
  cell("C1")->format = 0xF9;  // D4
  cell("D1")->format = 0x80;  // F0
  SetColumnWidth(ws, 0, 0, 10);
  SetColumnWidth(ws, 1, 1, 10);
  SetColumnWidth(ws, 3, 3, 12);
  SetColumnWidth(ws, 4, 4, 20);
  const std::string path = dir.file("TABLE.DBF");
  CommandContext cx{session, &ws};
  ASSERT_TRUE(ExportDbase(cx, path, CellRange::of(0, 0, 4, 4)).ok);

  auto rows = convert(path);
  std::stringstream csv;
  csv << std::ifstream(dir.file("out.csv")).rdbuf();
  SCOPED_TRACE(csv.str());
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Item", "Price", "Sold", "Count", "DESCRIPTIO"}));
  auto field = [&](size_t r, size_t c) { return c < rows[r].size() ? rows[r][c] : std::string(); };
  auto numberAt = [&](size_t r, size_t c) {
    std::string t = field(r, c);
    char* end = nullptr;
    double x = std::strtod(t.c_str(), &end);
    EXPECT_TRUE(!t.empty() && end && *end == '\0') << t;
    return x;
  };
  EXPECT_EQ(field(1, 0), "Apples");
  EXPECT_EQ(numberAt(1, 1), 1.25);
  EXPECT_EQ(field(1, 2), "1969/07/20");
  EXPECT_EQ(numberAt(1, 3), -40000);
  EXPECT_EQ(field(1, 4), "red, crisp");
  EXPECT_EQ(numberAt(2, 1), -0.5);
  // A blank date is spaces in the file, and ssconvert keeps them as text.
  EXPECT_EQ(field(2, 2).find_first_not_of(' '), std::string::npos);
  EXPECT_EQ(numberAt(2, 3), 0);
  EXPECT_EQ(field(2, 4), "\"quoted\"");
  // A blank number is spaces too, which ssconvert reads as empty or as 0.
  EXPECT_TRUE(field(3, 1) == "" || field(3, 1) == "0") << field(3, 1);
  EXPECT_EQ(field(3, 2), "2024/02/29");
  EXPECT_EQ(numberAt(3, 3), 123456789);
  EXPECT_EQ(field(4, 0), "");  // blank text
  EXPECT_EQ(numberAt(4, 1), 1000.75);
  EXPECT_EQ(field(4, 4), "last one");
}

TEST_F(DbaseSsconvert, CorpusFilesGiveTheSameLiveRecordsThere) {
  if (!haveSsconvert()) GTEST_SKIP() << "ssconvert (Debian package gnumeric) is not installed";
  const std::string root = corpusRoot();
  if (root.empty()) GTEST_SKIP() << "no corpus";
  for (const char* name : {"dbfread-people.dbf", "dbffile-pyacfl.dbf", "tika-testdbf.dbf"}) {
    SCOPED_TRACE(name);
    const std::string path = root + "/dbf/" + name;
    auto rows = convert(path);
    Worksheet& sheet = session.openWorksheet(std::string(name) + ".WKS");
    CommandContext cx{session, &sheet};
    ASSERT_TRUE(ImportDbase(cx, path, 0, 0, 1, 0).ok);
    ASSERT_EQ(static_cast<int>(rows.size()), sheet.maxRow + 1);
    for (size_t c = 0; c < rows[0].size(); ++c)
      EXPECT_EQ(rows[0][c], sheet.LabelText(sheet.FindCell(0, static_cast<int>(c))));
  }
}

}  // namespace
}  // namespace tw::test
