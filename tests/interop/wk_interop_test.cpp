// Worksheet files across programs: files written by other programs load
// and show their formulas' values as stored; a file saved here is read by
// Gnumeric's ssconvert with the same values, labels and formula results.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include "files/wks_test_support.h"
#include "files/worksheet_file.h"
#include "functions/function_library.h"
#include "interop/csv.h"
#include "test_support.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

std::string corpusDirectory() {
  std::string root = corpusRoot();
  return root.empty() ? root : root + "/wk";
}

// A stored number as the loader keeps it: exponents 0 (but zero), 1, 894
// and 2039 and above read as 0.
double kept(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, 8);
  int e = static_cast<int>((bits >> 52) & 0x7FF);
  return (e == 0 || e == 1 || e == 894 || e >= 2039) ? 0 : x;
}

struct CachedFormula {
  int col = 0, row = 0;
  bool err = false;
  std::optional<std::string> text;
  double number = 0;
};

// The formulas of a file's first section with what they hold, read by the
// record rules alone; formulas the loader refuses by rule are left out.
std::vector<CachedFormula> cachedFormulas(const Bytes& b) {
  std::vector<CachedFormula> out;
  for (const FileRecord& r : fileRecords(b, 0)) {
    int type = (r.type >> 8) && (r.type & 0xFF) <= 0x10 ? (r.type & 0xFF) : r.type;
    if (type == 0x10 && r.body.size() >= 15) {
      size_t k = r.body[13] | (r.body[14] << 8);
      int col = r.body[1] | (r.body[2] << 8), row = r.body[3] | (r.body[4] << 8);
      if (k > r.body.size() - 15 || k + 1 >= 240 || k < 2 || col > 255 || row > 8191) continue;
      CachedFormula f;
      f.col = col;
      f.row = row;
      f.err = r.body[11] == 0xF0 && r.body[12] == 0x7F;
      double v;
      std::memcpy(&v, r.body.data() + 5, 8);
      f.number = kept(v);
      out.push_back(f);
    } else if (type == 0x33 && !out.empty() && r.body.size() >= 5) {
      int col = r.body[1] | (r.body[2] << 8), row = r.body[3] | (r.body[4] << 8);
      if (out.back().col == col && out.back().row == row)
        out.back().text = std::string(reinterpret_cast<const char*>(r.body.data() + 5));
    }
  }
  return out;
}

TEST(Corpus, EveryFileLoadsAndShowsItsFormulasStoredValues) {
  std::string dir = corpusDirectory();
  if (dir.empty()) GTEST_SKIP() << "the corpus of worksheet files is not there";
  int files = 0, formulas = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string path = entry.path().string();
    SCOPED_TRACE(path);
    ++files;
    HeadlessHost host;
    Session session(host);
    installFunctionLibrary(session);
    Worksheet& ws = session.openWorksheet("CORPUS.WKS");
    LoadOptions asStored;
    asStored.after = AfterLoad::NoLink;
    LoadReport report;
    ASSERT_TRUE(Load(ws, path, asStored, &report));
    for (const CachedFormula& f : cachedFormulas(readFile(path))) {
      const Cell* c = ws.cellAt(f.row, f.col);
      ASSERT_NE(c, nullptr) << f.col << "," << f.row;
      ASSERT_TRUE(isFormula(c)) << f.col << "," << f.row;
      ++formulas;
      if (f.text) {
        EXPECT_EQ(c->type(), CellType::StringFormula);
        EXPECT_FALSE(c->isErr());
        EXPECT_EQ(ws.LabelText(ws.FindCell(f.row, f.col)), *f.text);
      } else if (f.err) {
        EXPECT_TRUE(c->isErr());
      } else {
        EXPECT_EQ(c->value.number, f.number) << f.col << "," << f.row;
      }
    }
    // The whole load, linking and recalculating, on a worksheet of its own.
    Worksheet& full = session.openWorksheet("FULL.WKS");
    EXPECT_TRUE(Load(full, path));
  }
  EXPECT_GE(files, 14);
  EXPECT_GE(formulas, 1000);
}

// --- Read by Gnumeric --------------------------------------------------------

class Ssconvert : public SheetTest {
 protected:
  TempDir dir;
};

TEST_F(Ssconvert, ReadsTheSameValuesLabelsAndResults) {
  if (!haveSsconvert()) GTEST_SKIP() << "ssconvert (Debian package gnumeric) is not installed";
  const std::vector<std::pair<const char*, const char*>> entries = {
      {"A1", "42"},
      {"A2", "-7"},
      {"A3", "3.14159265358979"},
      {"A4", "0.00001"},
      {"A5", "123456789.125"},
      {"A6", "-32768"},
      {"B1", "'left"},
      {"B2", "\"right"},
      {"B3", "^centre"},
      {"B4", "\\="},
      {"B5", "'12 apples"},
      {"B6", "''quoted"},
      {"C1", "+A1*2"},
      {"C2", "+A1+A2"},
      {"C3", "+C1-C2"},
      {"C4", "+D5+1"},
      {"D5", "5"},
      {"C5", "+$A$1+$A$2"},
      {"C6", "+A$1*$A2"},
      {"C7", "@SUM(A1..A5)"},
      {"C8", "@AVG(A1..A3)"},
      {"C9", "@MAX(A1..A5)"},
      {"C10", "+\"ab\"&\"cd\""},
      {"C11", "+B1&\"!\""},
      {"C12", "@ERR"},
      {"C13", "+A1/0"},
      {"C14", "+C13+1"},
      {"D1", "@SUM(TOTAL)"},
      {"D2", "+RATE*100"},
      {"E200", "+A1+$C$7"},
      {"F1", "+E200-1"},
      {"D3", "@COUNT(TOTAL)"},
  };
  ws.names.DefineName("TOTAL", CellRange::of(0, 0, 4, 0));
  ws.names.DefineName("RATE", CellRange::cell(3, 0));
  for (auto [address, text] : entries)
    ASSERT_EQ(enter(address, text), EntryResult::Stored) << address;
  ASSERT_TRUE(isErr("C12"));
  ASSERT_TRUE(isErr("C14"));
  ASSERT_EQ(cell("C10")->type(), CellType::StringFormula);

  std::string file = dir.file("SHEET.WK1"), csv = dir.file("sheet.csv");
  ASSERT_TRUE(Save(ws, file));
  std::string command = "ssconvert '" + file + "' '" + csv + "' > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::stringstream text;
  text << std::ifstream(csv).rdbuf();
  auto rows = parseCsv(text.str());
  auto field = [&](int row, int col) -> std::string {
    return row < static_cast<int>(rows.size()) && col < static_cast<int>(rows[row].size())
               ? rows[row][col]
               : std::string();
  };

  int compared = 0;
  ws.ForEachCell(CellRange::of(0, 0, ws.maxRow, ws.maxCol), [&](CellHandle h, Cell& c) {
    std::string address = ws.addressText(c.row, c.column);
    std::string got = field(c.row, c.column);
    SCOPED_TRACE(address + " read as \"" + got + "\"");
    if (isFormula(&c) && c.isErr()) {
      EXPECT_TRUE(!got.empty() && got[0] == '#');
    } else if (isNumber(&c)) {
      double expected = ws.CellNumber(h);
      char* end = nullptr;
      double x = std::strtod(got.c_str(), &end);
      EXPECT_TRUE(end && *end == '\0' && !got.empty());
      EXPECT_NEAR(x, expected, std::fabs(expected) * 1e-14);
    } else if (isText(&c)) {
      EXPECT_EQ(got, ws.LabelText(h));
    } else {
      EXPECT_EQ(got, "");
    }
    ++compared;
    return true;
  });
  EXPECT_GE(compared, static_cast<int>(entries.size()));
}

}  // namespace
}  // namespace tw::test
