// The worksheet file: bytes written, round trips, combine, link mode,
// backups, files written by other programs, and files that are broken.
#include "files/worksheet_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "core/dependencies.h"
#include "core/file_names.h"
#include "core/formula_code.h"
#include "files/wks_records.h"
#include "test_support.h"
#include "wks_test_support.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

class FileTest : public SheetTest {
 protected:
  FileTest() { session.settings().fontNames = {"Arial", "Courier New", "Times New Roman"}; }

  // A second worksheet of the same session to load into.
  Worksheet& fresh(const std::string& name = "OTHER.WKS") { return session.openWorksheet(name); }
  Cell* at(Worksheet& w, const std::string& address) {
    auto [row, col] = SheetTest::at(address);
    return w.cellAt(row, col);
  }
  double num(Worksheet& w, const std::string& address) {
    auto [row, col] = SheetTest::at(address);
    return w.CellNumber(w.FindCell(row, col));
  }
  std::string label(Worksheet& w, const std::string& address) {
    auto [row, col] = SheetTest::at(address);
    return w.LabelText(w.FindCell(row, col));
  }
  std::string listed(Worksheet& w, const std::string& address) {
    auto [row, col] = SheetTest::at(address);
    return CellInputText(w, w.FindCell(row, col));
  }
  LoadReport load(Worksheet& w, const std::string& path, LoadOptions options = {}) {
    LoadReport report;
    Load(w, path, options, &report);
    return report;
  }

  TempDir dir;
};

// --- Bytes written ----------------------------------------------------------

TEST_F(FileTest, FileStartsWithBofAndRangeAndEndsWithBothTrailers) {
  enter("A1", "5.5");
  ASSERT_TRUE(Save(ws, dir.file("ONE.WKS")));
  Bytes b = readFile(dir.file("ONE.WKS"));
  ASSERT_GE(b.size(), 16u);
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 10), (Bytes{0, 0, 2, 0, 4, 4, 6, 0, 8, 0}));
  EXPECT_EQ(Bytes(b.end() - 6, b.end()), (Bytes{1, 0, 0, 0, 0x1A, 0x1A}));
  // The first trailer: the end record, 0x1A and 0.
  auto one = fileRecords(b, 0);
  size_t firstEnd = 0;
  for (const FileRecord& r : one) firstEnd += 4 + r.body.size();
  EXPECT_EQ(Bytes(b.begin() + firstEnd - 4, b.begin() + firstEnd + 2),
            (Bytes{1, 0, 0, 0, 0x1A, 0}));

  Worksheet& back = fresh();
  EXPECT_TRUE(load(back, dir.file("ONE.WKS")).messages.empty());
  ASSERT_NE(at(back, "A1"), nullptr);
  EXPECT_EQ(at(back, "A1")->type(), CellType::Real);
  EXPECT_EQ(at(back, "A1")->format, cell("A1")->format);
  EXPECT_EQ(num(back, "A1"), 5.5);
  EXPECT_FALSE(back.modified);
  EXPECT_TRUE(back.hasFileName);
}

TEST_F(FileTest, WriterEmitsEveryRecordInItsOrder) {
  enter("A1", "1.5");
  enter("B1", "+A1*2");
  enter("C1", "+\"x\"&\"y\"");
  ws.names.DefineName("TOTAL", CellRange::of(0, 0, 0, 1));
  ws.columnWidth[1] = 96;
  ws.rowHeight[0] = 30;
  cell("A1")->font = 1;
  ws.settings.split = 1;
  ws.settings.zerosHidden = true;
  ws.settings.negativeInColour = true;
  ws.settings.sheetRows = 4096;
  ws.settings.namedGraphs.push_back({"G1", {}});
  ws.settings.buttons.push_back({});
  ws.functions.add({"TWICE", "+A*2", 1});
  ASSERT_TRUE(Save(ws, dir.file("ORDER.WKS")));
  Bytes b = readFile(dir.file("ORDER.WKS"));

  auto one = fileRecords(b, 0);
  EXPECT_EQ(typeRuns(one),
            (std::vector<int>{0x00, 0x06, 0x02, 0x04, 0x05, 0x07, 0x08, 0x09, 0x0B, 0x18,
                              0x19, 0x1A, 0x1B, 0x1D, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28,
                              0x29, 0x2A, 0x2D, 0x2E, 0x0E, 0x10, 0x33, 0x01}));
  // The settings name comes first: "G!", the kept byte (0 written as 255),
  // the flags (1 hidden zeros, 4 negatives in colour), "P", 1; range zero.
  auto name = std::find_if(one.begin(), one.end(), [](auto& r) { return r.type == 0x0B; });
  ASSERT_NE(name, one.end());
  EXPECT_EQ(Bytes(name->body.begin(), name->body.begin() + 7),
            (Bytes{'G', '!', 255, 5, 'P', 1, 0}));
  EXPECT_EQ(Bytes(name->body.begin() + 16, name->body.end()), Bytes(8, 0));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>((name + 1)->body.data())), "TOTAL");
  // The string formula's value carries the ERR pattern; its STRING follows.
  auto formula = std::find_if(one.begin(), one.end(),
                              [](auto& r) { return r.type == 0x10 && r.body[1] == 2; });
  ASSERT_NE(formula, one.end());
  EXPECT_EQ(Bytes(formula->body.begin() + 5, formula->body.begin() + 13),
            (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x7F}));
  EXPECT_EQ((formula + 1)->type, 0x33);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>((formula + 1)->body.data() + 5)), "xy");

  auto two = fileRecords(b, 1);
  EXPECT_EQ(typeRuns(two), (std::vector<int>{45,  46,  7,   80,  29,  103, 110, 112, 114, 105, 116,
                                             118, 120, 122, 124, 126, 128, 130, 8,   11,  10,  1}));
  int tabs = static_cast<int>(
      std::count_if(two.begin(), two.end(), [](auto& r) { return r.type == 114; }));
  EXPECT_EQ(tabs, 2);
}

// --- Round trips -------------------------------------------------------------

TEST_F(FileTest, CellsRoundTrip) {
  enter("A1", "7");
  enter("A2", "-32768");
  enter("A3", "3.25");
  enter("A4", "1E+300");
  enter("B1", "'left");
  enter("B2", "\"right");
  enter("B3", "^centre");
  enter("B4", "\\-");
  enter("C1", "+A1*2");
  enter("C2", "+$A$1+A3");
  enter("C3", "@SUM(A1..A3)");
  enter("C4", "+C5");
  enter("D1", "+\"ab\"&\"cd\"");
  enter("D2", "+A1/0");
  enter("D3", "@ERR");
  cell("A1")->format = 0x02;  // F2, unprotected
  ws.GetOrCreateCell(9, 9);   // a blank record of its own
  ASSERT_TRUE(Save(ws, dir.file("CELLS.WK1")));

  Worksheet& back = fresh();
  EXPECT_TRUE(load(back, dir.file("CELLS.WK1")).messages.empty());
  for (const char* a : {"A1", "A2", "A3", "A4", "C1", "C2", "C3", "C4", "D2"})
    EXPECT_EQ(num(back, a), number(a)) << a;
  EXPECT_EQ(at(back, "A1")->type(), CellType::Integer);
  EXPECT_EQ(at(back, "A1")->format, 0x02);
  EXPECT_EQ(at(back, "A2")->type(), CellType::Real);  // -32768 is not a small integer
  for (const char* a : {"B1", "B2", "B3", "B4"}) EXPECT_EQ(listed(back, a), input(a)) << a;
  EXPECT_EQ(listed(back, "C1"), "+A1*2");
  EXPECT_EQ(listed(back, "C2"), "+$A$1+A3");
  EXPECT_EQ(listed(back, "C3"), "@SUM(A1..A3)");
  EXPECT_EQ(at(back, "D1")->type(), CellType::StringFormula);
  EXPECT_EQ(label(back, "D1"), "abcd");
  EXPECT_TRUE(at(back, "D2")->isErr());
  EXPECT_TRUE(at(back, "D3")->isErr());
  ASSERT_NE(back.cellAt(9, 9), nullptr);
  EXPECT_EQ(back.cellAt(9, 9)->type(), CellType::Blank);
  // The loaded formulas are linked: a change reaches them.
  EnterCell(back, "10", 0, 0);
  EXPECT_EQ(num(back, "C1"), 20);
  // Texts read from the file are replaced, erased and read again like any
  // others (they are kept in bulk with the cells).
  EnterCell(back, "'new", 0, 1);
  EnterCell(back, "+A1*3", 0, 2);
  back.ClearCell(back.FindCell(1, 1));
  EnterCell(back, "+\"x\"", 0, 3);
  EXPECT_EQ(label(back, "B1"), "new");
  EXPECT_EQ(num(back, "C1"), 30);
  EXPECT_EQ(label(back, "D1"), "x");
  EXPECT_TRUE(load(back, dir.file("CELLS.WK1")).messages.empty());
  EXPECT_EQ(listed(back, "B1"), "'left");
  EXPECT_EQ(label(back, "D1"), "abcd");
}

TEST_F(FileTest, AttributesWidthsHeightsAndFontsRoundTrip) {
  enter("A1", "1");
  enter("B2", "'x");
  Cell* a = cell("A1");
  a->font = 2;
  a->size = 14;
  a->style = 0x13;
  a->borders = 0x55;
  a->colour = 0x05123456;
  cell("B2")->colour = 0x80000000;
  ws.columnWidth[0] = 120;
  ws.columnWidth[200] = 16;
  ws.rowHeight[1] = 33;
  ws.rowHeight[8191] = 5;
  ASSERT_TRUE(Save(ws, dir.file("ATTR.WKS")));

  // Another session whose font list lacks Times New Roman keeps it by name.
  HeadlessHost otherHost;
  Session other(otherHost);
  other.settings().fontNames = {"Courier New"};
  Worksheet& back = other.openWorksheet("BACK.WKS");
  Load(back, dir.file("ATTR.WKS"));
  Cell* b = back.cellAt(0, 0);
  ASSERT_NE(b, nullptr);
  ASSERT_LT(b->font, other.settings().fontNames.size());
  EXPECT_EQ(other.settings().fontNames[b->font], "Times New Roman");
  EXPECT_EQ(b->size, 14);
  EXPECT_EQ(b->style, 0x13);
  EXPECT_EQ(b->borders, 0x55);
  EXPECT_EQ(b->colour, 0x05123456u);
  EXPECT_EQ(back.cellAt(1, 1)->colour, 0x80000000u);
  EXPECT_EQ(back.cellAt(1, 1)->font, 255);
  EXPECT_EQ(back.columnWidth, ws.columnWidth);
  EXPECT_EQ(back.rowHeight, ws.rowHeight);
}

TEST_F(FileTest, SettingsBlockRoundTrips) {
  WorksheetSettings& s = ws.settings;
  s.protection = true;
  s.manualRecalc = true;
  s.zerosHidden = true;
  s.negativeInColour = false;
  s.keptByte = 7;
  s.labelPrefix = '^';
  s.globalFormat = 0x02;
  s.colours = {1, 2, 3, 4, 5, 6, 0x0FFF0000};
  s.margins = {0.25, 0.75, 1.1, 0.6, 0.3, 0.45};
  s.printHeader = "Head|er";
  s.printFooter = std::string(250, 'f');
  s.printSetup = "\\027E";
  s.titleRows = CellRange::of(0, 0, 1, 255);
  s.titleColumns = CellRange::of(0, 0, 8191, 1);
  for (int i = 0; i < kRememberedRangeCount; ++i) s.ranges[i] = CellRange::of(i, i, i + 3, i + 1);
  s.ranges[kSortKey3] = kEmptyRange;  // keys 3 and 4 have no record
  s.ranges[kSortKey4] = kEmptyRange;
  s.sortOrder = {0xFF, 0, 0xFF, 0xFF};
  s.whatIfKind = 2;
  s.split = 0xFF;
  s.syncHorizontal = true;
  s.syncVertical = false;
  s.activePane = 1;
  s.panes[0] = {2, 3, 4, 5};
  s.panes[1] = {6, 7, 8, 9};
  s.windowHeight = 400;
  s.windowWidth = 640;
  s.fixedColumns = {0, 1};
  s.fixedRows = {0, 2};
  s.sheetRows = 2048;
  s.currentTab = 3;
  s.tabNames = {"Jan", "", "Mar", "AprilMayJune"};
  s.font = {-13, 3, "Courier New"};
  s.regressionRanges = {CellRange::of(1, 1, 9, 2), CellRange::of(1, 3, 9, 3)};
  s.regressionVariables = {1, 2, 3, 4, 5, 6, 7, 0, 1, 2};
  s.title = "Budget";
  s.comments = std::string(255, 'c');
  ws.functions.clear();
  ws.functions.add({"AREA", "+A*B", 2});
  ws.functions.add({"PI2", "@PI*2", 0});
  enter("A1", "1");
  ASSERT_TRUE(Save(ws, dir.file("SET.WKS")));
  EXPECT_NE(s.creationDate, 0);  // set at the first save
  EXPECT_EQ(s.userName, host.userName());

  Worksheet& back = fresh();
  EXPECT_TRUE(load(back, dir.file("SET.WKS")).messages.empty());
  const WorksheetSettings& t = back.settings;
  EXPECT_TRUE(t.protection);
  EXPECT_TRUE(t.manualRecalc);
  EXPECT_TRUE(t.zerosHidden);
  EXPECT_FALSE(t.negativeInColour);
  EXPECT_EQ(t.keptByte, 7);
  EXPECT_EQ(t.labelPrefix, '^');
  EXPECT_EQ(t.globalFormat, 0x02);
  EXPECT_EQ(t.colours, s.colours);
  for (int i = 0; i < kMarginCount; ++i) EXPECT_DOUBLE_EQ(t.margins[i], s.margins[i]) << i;
  EXPECT_EQ(t.printHeader, "Head|er");
  EXPECT_EQ(t.printFooter, std::string(240, 'f'));  // up to 240 are kept
  EXPECT_EQ(t.titleRows, s.titleRows);
  EXPECT_EQ(t.titleColumns, s.titleColumns);
  EXPECT_EQ(t.ranges, s.ranges);
  EXPECT_EQ(t.sortOrder[0], 0xFF);
  EXPECT_EQ(t.sortOrder[1], 0);
  EXPECT_EQ(t.whatIfKind, 2);
  EXPECT_EQ(t.split, 0xFF);
  EXPECT_TRUE(t.syncHorizontal);
  EXPECT_FALSE(t.syncVertical);
  EXPECT_EQ(t.activePane, 1);
  EXPECT_EQ(t.panes[0].leftColumn, 2);
  EXPECT_EQ(t.panes[0].cursorRow, 5);
  EXPECT_EQ(t.panes[1].topRow, 7);
  EXPECT_EQ(t.panes[1].cursorColumn, 8);
  EXPECT_EQ(t.windowHeight, 400);
  EXPECT_EQ(t.windowWidth, 640);
  EXPECT_EQ(t.fixedColumns, s.fixedColumns);
  EXPECT_EQ(t.fixedRows, s.fixedRows);
  EXPECT_EQ(t.sheetRows, 2048);
  EXPECT_EQ(t.currentTab, 3);
  EXPECT_EQ(t.tabNames, (std::vector<std::string>{"Jan", "", "Mar", "AprilMayJun"}));
  EXPECT_EQ(t.font, s.font);
  EXPECT_EQ(t.regressionRanges, s.regressionRanges);
  EXPECT_EQ(t.regressionVariables, s.regressionVariables);
  EXPECT_EQ(t.title, "Budget");
  EXPECT_EQ(t.comments, s.comments);
  EXPECT_EQ(t.userName, s.userName);
  EXPECT_EQ(t.creationDate, s.creationDate);
  EXPECT_EQ(t.creationTime, s.creationTime);
  ASSERT_EQ(back.functions.count(), 2);
  EXPECT_EQ(back.functions.get(1)->name, "AREA");
  EXPECT_EQ(back.functions.get(1)->formula, "+A*B");
  EXPECT_EQ(back.functions.get(1)->argumentCount, 2);
  EXPECT_EQ(back.functions.get(2)->name, "PI2");
}

TEST_F(FileTest, GraphsAndButtonsAreKeptByteForByte) {
  auto pattern = [](auto& a, int seed) {
    for (size_t i = 0; i < a.size(); ++i) a[i] = static_cast<uint8_t>(i * 7 + seed);
  };
  pattern(ws.settings.graph.lotus, 1);
  pattern(ws.settings.graph.extension, 2);
  for (int g = 0; g < 3; ++g) {
    NamedGraph named{"SALES" + std::to_string(g), {}};
    pattern(named.graph.lotus, 10 + g);
    pattern(named.graph.extension, 20 + g);
    ws.settings.namedGraphs.push_back(named);
  }
  ButtonRecord button;
  pattern(button, 5);
  ws.settings.buttons = {button, button};
  ASSERT_TRUE(Save(ws, dir.file("GRAPH.WKS")));
  Worksheet& back = fresh();
  Load(back, dir.file("GRAPH.WKS"));
  EXPECT_EQ(back.settings.graph, ws.settings.graph);
  EXPECT_EQ(back.settings.namedGraphs, ws.settings.namedGraphs);
  EXPECT_EQ(back.settings.buttons, ws.settings.buttons);
}

TEST_F(FileTest, NamesKeepTwelveCharactersAndUnsetRanges) {
  ws.names.DefineName("QUARTERLYSUM", CellRange::of(0, 0, 3, 0));
  ws.names.DefineName("QUARTERLYSUB", CellRange::of(5, 1, 5, 1));
  ws.names.DefineName("LOOSE", kEmptyRange);
  ASSERT_TRUE(Save(ws, dir.file("NAMES.WKS")));
  Worksheet& back = fresh();
  Load(back, dir.file("NAMES.WKS"));
  ASSERT_EQ(back.names.count(), 3);
  EXPECT_EQ(back.names.entry(back.names.FindName("QUARTERLYSUM")).range, CellRange::of(0, 0, 3, 0));
  EXPECT_EQ(back.names.entry(back.names.FindName("QUARTERLYSUB")).range, CellRange::of(5, 1, 5, 1));
  EXPECT_FALSE(back.names.entry(back.names.FindName("LOOSE")).range.valid());
  std::vector<std::string> list;
  ASSERT_TRUE(ListNames(ws, dir.file("NAMES.WKS"), list));
  EXPECT_EQ(list, (std::vector<std::string>{"LOOSE ", "QUARTERLYSUB B6", "QUARTERLYSUM A1..A4"}));
}

TEST_F(FileTest, SheetDivisionTravelsWithTheTabRecords) {
  ws.settings.sheetRows = 1024;  // eight sheets
  ASSERT_TRUE(Save(ws, dir.file("TABS.WKS")));
  Worksheet& back = fresh();
  Load(back, dir.file("TABS.WKS"));
  EXPECT_EQ(back.settings.sheetRows, 1024);
  EXPECT_EQ(back.settings.tabNames.size(), 8u);

  // Three tabs do not divide the sheet: the division is refused.
  FileBytes f;
  f.bof().number(0, 0, 1).eof().raw({0x1A, 0});
  for (const char* t : {"A", "B", "C"}) f.record(114, text0(t));
  f.record(120, join({le16(2), Bytes(24, 0)})).eof().raw({0x1A, 0x1A});
  f.write(dir.file("THREE.WKS"));
  Worksheet& three = fresh("THREE");
  Load(three, dir.file("THREE.WKS"));
  EXPECT_EQ(three.settings.sheetRows, 0);
  EXPECT_EQ(three.settings.currentTab, 0);
}

// --- Combine -------------------------------------------------------------

class CombineTest : public FileTest {
 protected:
  // The source: numbers, a formula with a relative and an absolute
  // reference, a string formula, a label, and two names.
  void SetUp() override {
    Worksheet& src = fresh("SOURCE.WKS");
    EnterCell(src, "10", 0, 0);                               // A1
    EnterCell(src, "2.5", 1, 0);                              // A2
    EnterCell(src, "+A1+$A$2", 2, 0);                         // A3
    EnterCell(src, "+\"s\"&\"t\"", 0, 1);                     // B1
    EnterCell(src, "'text", 1, 1);                            // B2
    EnterCell(src, "4", 2, 1);                                // B3
    src.names.DefineName("PART", CellRange::of(1, 0, 2, 1));  // A2..B3
    src.names.DefineName("ALL", CellRange::of(0, 0, 2, 1));
    ASSERT_TRUE(Save(src, dir.file("SOURCE.WKS")));
    session.setCurrent(&ws);
  }
  LoadOptions merge(int row, int col) {
    LoadOptions o;
    o.mode = LoadMode::Combine;
    o.destinationRow = row;
    o.destinationColumn = col;
    return o;
  }
};

TEST_F(CombineTest, WholeFileMovesCellsFormulasAndNames) {
  enter("Z1", "99");
  ws.settings.manualRecalc = false;
  LoadReport r = load(ws, dir.file("SOURCE.WKS"), merge(4, 2));  // at C5
  EXPECT_TRUE(r.messages.empty());
  EXPECT_EQ(r.title, "MERGE [ ");
  EXPECT_EQ(number("C5"), 10);
  EXPECT_EQ(input("C7"), "+C5+$A$2");  // relative moves, absolute stays
  EXPECT_EQ(text("D6"), "text");
  EXPECT_EQ(text("D5"), "st");
  EXPECT_EQ(number("Z1"), 99);  // what was there stays
  EXPECT_EQ(ws.names.entry(ws.names.FindName("PART")).range, CellRange::of(5, 2, 6, 3));
  EXPECT_TRUE(ws.modified);
  enter("C5", "1");
  EXPECT_EQ(number("C7"), 1);  // linked: A2 here is empty
}

TEST_F(CombineTest, ValuesOnlyTurnsFormulasIntoNumbersAndLabels) {
  ws.settings.labelPrefix = '"';
  LoadOptions o = merge(0, 0);
  o.content = CombineContent::ValuesOnly;
  load(ws, dir.file("SOURCE.WKS"), o);
  EXPECT_EQ(cell("A3")->type(), CellType::Real);
  EXPECT_EQ(number("A3"), 12.5);
  EXPECT_EQ(cell("B1")->type(), CellType::Label);
  EXPECT_EQ(input("B1"), "\"st");  // the worksheet's default prefix
}

TEST_F(CombineTest, AddAndSubtractOntoNumbersOnly) {
  enter("A1", "1");
  enter("A2", "+A1");    // a formula at the destination stays
  enter("B2", "'keep");  // a label stays
  LoadOptions o = merge(0, 0);
  o.arithmetic = CombineArithmetic::Add;
  load(ws, dir.file("SOURCE.WKS"), o);
  EXPECT_EQ(cell("A1")->type(), CellType::Real);  // a small integer becomes a number
  EXPECT_EQ(number("A1"), 11);
  EXPECT_EQ(input("A2"), "+A1");
  EXPECT_EQ(text("B2"), "keep");
  EXPECT_EQ(number("A3"), 12.5);  // the file's formula counts by its value
  EXPECT_EQ(number("B3"), 4);
  EXPECT_EQ(cell("B1"), nullptr);  // string results are not numbers
  o.arithmetic = CombineArithmetic::Subtract;
  load(ws, dir.file("SOURCE.WKS"), o);
  EXPECT_EQ(number("A1"), 1);
  EXPECT_EQ(number("B3"), 0);
}

TEST_F(CombineTest, SourceRangeOrNameSelectsCells) {
  LoadOptions o = merge(9, 4);  // E10
  o.source = "a2..b2";
  load(ws, dir.file("SOURCE.WKS"), o);
  EXPECT_EQ(number("E10"), 2.5);
  EXPECT_EQ(text("F10"), "text");
  EXPECT_EQ(cell("E11"), nullptr);
  EXPECT_GT(ws.names.FindName("PART"), 0);  // names come along with an address

  Worksheet& other = fresh("NAMED.WKS");
  o.source = "part";
  LoadReport r = load(other, dir.file("SOURCE.WKS"), o);
  EXPECT_EQ(r.title, "MERGE [ part");
  EXPECT_EQ(num(other, "E10"), 2.5);
  EXPECT_EQ(num(other, "F11"), 4);
  EXPECT_EQ(listed(other, "E11"), "+E9+$A$2");
  EXPECT_FALSE(hasContent(at(other, "E9")));  // outside the source
  EXPECT_EQ(other.names.count(), 0);          // not with a name

  o.source = "NOSUCH";
  Worksheet& none = fresh("NONE.WKS");
  EXPECT_FALSE(Load(none, dir.file("SOURCE.WKS"), o, &r));
  EXPECT_TRUE(r.opened);
  EXPECT_FALSE(r.sourceFound);
}

TEST(LoadOptions, ModeBits) {
  LoadOptions a = LoadOptions::fromModeBits(0x14);
  EXPECT_EQ(a.mode, LoadMode::Combine);
  EXPECT_EQ(a.content, CombineContent::ValuesOnly);
  LoadOptions b = LoadOptions::fromModeBits(0x04);
  EXPECT_EQ(b.mode, LoadMode::Link);
  LoadOptions c = LoadOptions::fromModeBits(0x13);
  EXPECT_EQ(c.arithmetic, CombineArithmetic::Subtract);
  EXPECT_EQ(c.content, CombineContent::Formulas);
  EXPECT_EQ(LoadOptions::fromModeBits(0x12).arithmetic, CombineArithmetic::Add);
  LoadOptions d = LoadOptions::fromModeBits(0x20);
  EXPECT_EQ(d.mode, LoadMode::Retrieve);
  EXPECT_EQ(d.after, AfterLoad::NoLink);
}

// --- Link mode, external references, no-link loads -------------------------------

TEST_F(FileTest, LinkModeFeedsTheLinkTableOnly) {
  enter("A1", "12");
  enter("B2", "^mid");
  enter("C3", "+\"r\"&\"s\"");
  enter("D4", "+A1*2");
  ASSERT_TRUE(Save(ws, dir.file("LINKED.WKS")));
  std::string key = dir.file("linked.wks");  // as a LINK formula might name it
  LinkTable& links = session.links();
  for (auto [r, c] : {std::pair{0, 0}, {1, 1}, {2, 2}, {3, 3}, {7, 7}}) links.request(key, r, c);
  links.request(dir.file("MISSING.WKS"), 0, 0);

  Worksheet& untouched = fresh("UNTOUCHED.WKS");
  host.errors.clear();
  loadLinkedFiles(session);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(untouched.maxRow, 0);
  EXPECT_EQ(untouched.cellAt(0, 0), nullptr);
  const LinkFile& file = links.all()[0];
  EXPECT_EQ(file.cells[0].number, 12);
  EXPECT_TRUE(file.cells[1].isText);
  EXPECT_EQ(file.cells[1].text, "mid");
  EXPECT_EQ(file.cells[2].text, "rs");
  EXPECT_EQ(file.cells[3].number, 24);
  EXPECT_TRUE(file.cells[4].loaded);  // absent cells count as read
  EXPECT_FALSE(links.all()[1].cells[0].loaded);
}

TEST_F(FileTest, ExternalReferencesReadFilesAsideFromTheWindows) {
  connectFiles(session);
  Worksheet& ext = fresh("EXT.WKS");
  EnterCell(ext, "21", 1, 1);  // B2
  EnterCell(ext, "+B2*2", 2, 1);
  ASSERT_TRUE(Save(ext, dir.file("ext.wk1")));
  session.closeWorksheet(ext);
  session.setCurrent(&ws);
  size_t open = session.worksheets().size();

  enter("A1", "+[" + dir.file("EXT.WK1") + "]B2+1");
  enter("A2", "+[" + dir.file("EXT.WK1") + "]B3");
  EXPECT_EQ(number("A1"), 22);
  EXPECT_EQ(number("A2"), 42);
  EXPECT_EQ(session.worksheets().size(), open);
  EXPECT_EQ(session.current(), &ws);

  fs::create_directory(dir.file("DIR.WKS"));
  enter("A3", "+[" + dir.file("DIR.WKS") + "]A1");
  EXPECT_TRUE(isErr("A3"));  // only regular files are opened
  EXPECT_TRUE(host.errors.empty());

  // Nothing changed here, but the other file did: recalculating every window
  // reads it again.
  RecalcAll(ws);
  Worksheet& changed = fresh("EXT2.WKS");
  EnterCell(changed, "30", 1, 1);
  ASSERT_TRUE(Save(changed, dir.file("ext.wk1")));
  session.closeWorksheet(changed);
  session.setCurrent(&ws);
  RecalcAllWindows(session);
  EXPECT_EQ(number("A1"), 31);
}

TEST_F(FileTest, NoLinkLoadKeepsFileValuesUntilLinked) {
  FileBytes f;
  f.bof().integer(0, 0, 5).formula(1, 0, 123, {0x01, 0xFF, 0xBF, 0x00, 0x80, 0x03}).eof();
  f.write(dir.file("NOLINK.WKS"));  // B1 = +A1 with a wrong cached value
  LoadOptions o;
  o.after = AfterLoad::NoLink;
  EXPECT_TRUE(load(ws, dir.file("NOLINK.WKS"), o).messages.empty());
  EXPECT_EQ(number("B1"), 123);
  EXPECT_EQ(input("B1"), "+A1");  // resolved, so it lists
  EXPECT_TRUE(cell("B1")->kind & kKindUnlinked);
  linkLoadedFormulas(ws);
  EXPECT_EQ(number("B1"), 5);
  enter("A1", "6");
  EXPECT_EQ(number("B1"), 6);
}

// --- Backups and failures -----------------------------------------------------

TEST_F(FileTest, BackupsKeepThePreviousFile) {
  session.settings().backups = true;
  enter("A1", "1");
  ASSERT_TRUE(Save(ws, dir.file("B.WK1")));
  enter("A1", "2");
  ASSERT_TRUE(Save(ws, dir.file("B.WK1")));
  ASSERT_TRUE(fs::exists(dir.file("B.WKB")));
  Worksheet& old = fresh("OLD");
  Load(old, dir.file("B.WKB"));
  EXPECT_EQ(num(old, "A1"), 1);

  // A worksheet opened from its backup saves over it without losing it.
  EnterCell(old, "3", 0, 0);
  ASSERT_TRUE(Save(old, old.fileName));
  Worksheet& again = fresh("AGAIN");
  Load(again, dir.file("B.WKB"));
  EXPECT_EQ(num(again, "A1"), 3);

  // Lower-case names get a lower-case backup; with backups off none is made.
  ASSERT_TRUE(Save(ws, dir.file("low.wks")));
  ASSERT_TRUE(Save(ws, dir.file("low.wks")));
  EXPECT_TRUE(fs::exists(dir.file("low.wkb")));
  session.settings().backups = false;
  ASSERT_TRUE(Save(ws, dir.file("NOBAK.WKS")));
  ASSERT_TRUE(Save(ws, dir.file("NOBAK.WKS")));
  EXPECT_FALSE(fs::exists(dir.file("NOBAK.WKB")));
  // Nothing is left behind but the files themselves.
  int files = 0;
  for (auto& e : fs::directory_iterator(dir.path()))
    files += e.path().filename().string()[0] != '.';
  EXPECT_EQ(files, 5);
}

TEST_F(FileTest, FailedSaveLeavesThePreviousFileAndTheModifiedFlag) {
  enter("A1", "1");
  ASSERT_TRUE(Save(ws, dir.file("KEEP.WKS")));
  EXPECT_FALSE(ws.modified);
  Bytes before = readFile(dir.file("KEEP.WKS"));
  enter("A1", "2");
  ::chmod(dir.path().c_str(), 0500);
  bool saved = Save(ws, dir.file("KEEP.WKS"));
  ::chmod(dir.path().c_str(), 0700);
  if (::geteuid() != 0) {  // root writes anyway
    EXPECT_FALSE(saved);
    EXPECT_TRUE(ws.modified);
    EXPECT_EQ(readFile(dir.file("KEEP.WKS")), before);
    ASSERT_FALSE(host.errors.empty());
  }
  host.errors.clear();
  ws.modified = true;
  EXPECT_FALSE(Save(ws, dir.file("NO/SUCH/DIR/X.WKS")));
  EXPECT_EQ(host.errors, (std::vector<std::string>{"Unable to Open File"}));
  EXPECT_TRUE(ws.modified);
  // A name with a NUL byte in it (a script's answer) is refused at once:
  // the file system would see another name.
  host.errors.clear();
  EXPECT_FALSE(Save(ws, std::string("\0\0x.WKS", 7)));
  EXPECT_FALSE(Save(ws, dir.file(std::string("a\0b.WKS", 7))));
  EXPECT_EQ(host.errors.size(), 2u);
  EXPECT_TRUE(ws.modified);

  // A directory holds the name: refused before anything is written, with
  // backups on or off; the directory keeps its name.
  fs::create_directory(dir.file("TAKEN.WKS"));
  for (bool backups : {true, false}) {
    session.settings().backups = backups;
    host.errors.clear();
    EXPECT_FALSE(Save(ws, dir.file("TAKEN.WKS")));
    EXPECT_EQ(host.errors, (std::vector<std::string>{"Unable to Open File"}));
    EXPECT_TRUE(fs::is_directory(dir.file("TAKEN.WKS")));
    EXPECT_FALSE(fs::exists(dir.file("TAKEN.WKB")));
  }
  EXPECT_TRUE(ws.modified);
  int files = 0;
  for (auto& e : fs::directory_iterator(dir.path()))
    files += e.path().filename().string()[0] == '.';
  EXPECT_EQ(files, 0);
}

TEST_F(FileTest, OpcodesWithoutAFunctionLoadListAndSaveUnchanged) {
  enter("B1", "@ABS(7)");
  ASSERT_TRUE(Save(ws, dir.file("UKW.WKS")));
  Bytes b = readFile(dir.file("UKW.WKS"));
  // The integer 7, then ABS (0x21) and the end mark: ABS becomes 0xC5.
  const Bytes abs7 = {0x05, 0x07, 0x00, 0x21, 0x03};
  auto at = std::search(b.begin(), b.end(), abs7.begin(), abs7.end());
  ASSERT_NE(at, b.end());
  at[3] = 0xC5;
  {
    std::ofstream out(dir.file("UKW.WKS"), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
  Worksheet& back = session.openWorksheet("BACK.WKS");
  EXPECT_TRUE(load(back, dir.file("UKW.WKS")).messages.empty());
  CellHandle h = back.FindCell(0, 1);
  ASSERT_NE(h, kNoCell);
  EXPECT_EQ(CellInputText(back, h), "+UKW(7)");
  EXPECT_TRUE(back.cell(h).isErr());
  ASSERT_TRUE(Save(back, dir.file("AGAIN.WKS")));
  Bytes again = readFile(dir.file("AGAIN.WKS"));
  const Bytes kept = {0x05, 0x07, 0x00, 0xC5, 0x03};
  EXPECT_NE(std::search(again.begin(), again.end(), kept.begin(), kept.end()), again.end());
}

TEST_F(FileTest, NamesThatReadAsAddressesAreKeptFromFiles) {
  // Other programs write names such as Q1 or FY24; they come back whole.
  enter("A5", "3");
  enter("B1", "@SUM(A5..B9)");
  ASSERT_EQ(ws.names.DefineName("FY24", CellRange::of(4, 0, 8, 1)), 0);  // typed: refused
  ASSERT_NE(ws.names.DefineStoredName("FY24", CellRange::of(4, 0, 8, 1)), 0);
  ASSERT_NE(ws.names.DefineStoredName("Q1", CellRange::cell(4, 0)), 0);
  ASSERT_TRUE(Save(ws, dir.file("NAMES.WK1")));
  Worksheet& back = session.openWorksheet("BACK.WK1");
  EXPECT_TRUE(load(back, dir.file("NAMES.WK1")).messages.empty());
  EXPECT_GT(back.names.FindName("FY24"), 0);
  EXPECT_GT(back.names.FindName("Q1"), 0);
  // The formula lists the range it names, which reads back the same.
  CellHandle h = back.FindCell(0, 1);
  EXPECT_EQ(CellInputText(back, h), "@SUM(A5..B9)");
  EXPECT_EQ(back.CellNumber(h), 3);
}

TEST_F(FileTest, SavesKeepLinksPermissionsAndLongNames) {
  enter("A1", "1");
  session.settings().backups = true;
  // Through a link: the file it names is saved (its backup beside it), the link stays.
  fs::create_directory(dir.file("real"));
  ASSERT_TRUE(Save(ws, dir.file("real/DATA.WKS")));
  fs::create_symlink(dir.file("real/DATA.WKS"), dir.file("LINK.WKS"));
  enter("A1", "2");
  ASSERT_TRUE(Save(ws, dir.file("LINK.WKS")));
  EXPECT_TRUE(fs::is_symlink(dir.file("LINK.WKS")));
  EXPECT_TRUE(fs::exists(dir.file("real/DATA.WKB")));
  Worksheet& again = session.openWorksheet("AGAIN.WKS");
  EXPECT_TRUE(load(again, dir.file("real/DATA.WKS")).opened);
  EXPECT_EQ(again.CellNumber(again.FindCell(0, 0)), 2);
  // A new file takes the user's umask; a replaced one keeps its mode.
  mode_t old = ::umask(077);
  ASSERT_TRUE(Save(ws, dir.file("PRIVATE.WKS")));
  ::umask(old);
  EXPECT_EQ(fs::status(dir.file("PRIVATE.WKS")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(dir.file("PRIVATE.WKS"),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(Save(ws, dir.file("PRIVATE.WKS")));
  EXPECT_EQ(fs::status(dir.file("PRIVATE.WKS")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // A name at the system's limit (255 bytes) still has room for the temporary file.
  std::string longName = std::string(251, 'n') + ".WKS";
  EXPECT_TRUE(Save(ws, dir.file(longName)));
  EXPECT_TRUE(fs::exists(dir.file(longName)));
}

TEST_F(FileTest, ExtractWritesTheRangeFromItsFirstCell) {
  enter("A1", "100");
  enter("C3", "1");
  enter("D3", "+C3*2");
  enter("D4", "+$A$1+C3");
  enter("C4", "'in");
  cell("C3")->colour = 0x01000000;
  ws.columnWidth[3] = 40;
  enter("E5", "9");  // outside
  ASSERT_TRUE(Save(ws, dir.file("EXT.WKS"), SaveScope::Extract, CellRange::of(3, 3, 2, 2)));
  EXPECT_TRUE(ws.modified);  // an extract does not save the worksheet
  Bytes b = readFile(dir.file("EXT.WKS"));
  auto one = fileRecords(b, 0);
  EXPECT_EQ(typeRuns(one), (std::vector<int>{0x00, 0x06, 0x0D, 0x10, 0x0F, 0x10, 0x01}));
  EXPECT_EQ(one[1].body, join({le16(0), le16(0), le16(1), le16(1)}));
  EXPECT_EQ(Bytes(one[2].body.begin() + 1, one[2].body.begin() + 5), Bytes(4, 0));  // C3 at A1

  Worksheet& back = fresh();
  Load(back, dir.file("EXT.WKS"));
  EXPECT_EQ(listed(back, "B1"), "+A1*2");
  EXPECT_EQ(listed(back, "B2"), "+$A$1+A1");
  EXPECT_EQ(num(back, "B1"), 2);
  EXPECT_EQ(label(back, "A2"), "in");
  EXPECT_EQ(at(back, "A1")->colour, 0x01000000u);
  EXPECT_EQ(back.columnWidth[1], 40);
  EXPECT_EQ(back.maxRow, 1);
}

// --- Files written by other programs -----------------------------------------

TEST_F(FileTest, ForeignFileEndingAtEofWithShortRelativeColumns) {
  FileBytes f;
  f.bof()
      .record(0x08, join({le16(2), {20}}))  // COLW1: C is 20 characters
      .record(0x28, join({le16(10), le16(70), le16(66), le16(6), le16(3)}))
      .integer(2, 0, 4)
      // K1 = C1 with the column as an 8-bit offset (8 to the left), and the
      // same reference in the 14-bit form.
      .formula(10, 0, 4, {0x01, 0xF8, 0x80, 0x00, 0x80, 0x03})
      .formula(10, 1, 4, {0x01, 0xF8, 0xBF, 0xFF, 0xBF, 0x03})
      .eof();
  f.write(dir.file("OTHER.WK1"));
  EXPECT_TRUE(load(ws, dir.file("OTHER.WK1")).messages.empty());
  EXPECT_EQ(ws.columnWidth[2], 160);
  EXPECT_EQ(input("K1"), "+C1");
  EXPECT_EQ(input("K2"), "+C1");
  EXPECT_EQ(number("K2"), 4);
  EXPECT_DOUBLE_EQ(ws.settings.margins[kMarginLeft], 1.06);
  EXPECT_DOUBLE_EQ(ws.settings.margins[kMarginRight], 1.06);
  EXPECT_DOUBLE_EQ(ws.settings.margins[kMarginTop], 1.1);
  EXPECT_DOUBLE_EQ(ws.settings.margins[kMarginBottom], 0.55);
}

TEST_F(FileTest, ForeignRecordsAttributeBitsNamesAndGraphs) {
  FileBytes f;
  f.bof()
      .name("G!\x07\x04P\x01", 0, 0, 0, 0)
      .name("SHORT", 1, 1, 2, 2)
      .record(0x47, join({text0("FLAGGED"), le16(0), le16(0), le16(0), le16(3), {1}}))
      .record(0x28, join({le16(0), le16(90), le16(66), le16(0), le16(0)}));
  for (int g = 0; g < 60; ++g)
    f.record(0x2E, join({text0("G" + std::to_string(g)), Bytes(14 - std::to_string(g).size(), 0),
                         Bytes(437, uint8_t(g))}));
  // A NUMBER whose type word carries text colour 0xE and palette entry 2.
  f.record(0x2E0E, join({cellHeader(0xF1, 0, 0), le64(1.5)}))
      .record(0x5401, Bytes(6, 0))  // another program's record
      .eof()
      .raw({0x1A, 0})
      .record(11, join({le16(0), {50}}))  // extension widths win over COLW1
      .eof()
      .raw({0x1A, 0x1A});
  f.write(dir.file("FOREIGN.WK1"));
  EXPECT_TRUE(load(ws, dir.file("FOREIGN.WK1")).messages.empty());
  EXPECT_EQ(cell("A1")->colour, 0x0E008000u);
  EXPECT_EQ(number("A1"), 1.5);
  EXPECT_EQ(ws.names.count(), 2);
  EXPECT_GT(ws.names.FindName("FLAGGED"), 0);
  EXPECT_EQ(ws.settings.keptByte, 7);
  EXPECT_TRUE(ws.settings.negativeInColour);
  EXPECT_FALSE(ws.settings.zerosHidden);
  EXPECT_EQ(ws.settings.margins[kMarginRight], 0);  // never below 0
  ASSERT_EQ(ws.settings.namedGraphs.size(), 50u);
  EXPECT_EQ(ws.settings.namedGraphs[49].name, "G49");
  EXPECT_EQ(ws.settings.namedGraphs[49].graph.lotus[0], 49);
  EXPECT_EQ(ws.columnWidth[0], 50);
  std::vector<std::string> list;
  ListNames(ws, dir.file("FOREIGN.WK1"), list);
  EXPECT_EQ(list, (std::vector<std::string>{"SHORT B2..C3", "FLAGGED A1..A4"}));
}

TEST_F(FileTest, NumbersAreCleanedAndOrphanStringsMarked) {
  auto bits = [](uint64_t b) {
    double d;
    std::memcpy(&d, &b, 8);
    return d;
  };
  const double unkept[] = {bits(1),                  // exponent 0, not zero
                           bits(uint64_t(1) << 52),  // exponent 1
                           bits(uint64_t(894) << 52),
                           bits(uint64_t(2039) << 52),
                           bits(0x7FF0000000000000),   // infinity
                           bits(0x7FF8000000000000)};  // NaN
  FileBytes f;
  f.bof();
  for (int i = 0; i < 6; ++i) f.number(0, i, unkept[i]);
  f.number(1, 0, bits(uint64_t(895) << 52))
      .number(1, 1, bits(uint64_t(2038) << 52))
      .formula(1, 2, bits(0x7FE0000000000001), {0x05, 0x01, 0x00, 0x03})
      .record(0x33, join({cellHeader(0xF1, 2, 0), text0("lost")}))
      .eof();
  f.write(dir.file("CLEAN.WKS"));
  LoadOptions asStored;
  asStored.after = AfterLoad::NoLink;
  EXPECT_TRUE(load(ws, dir.file("CLEAN.WKS"), asStored).messages.empty());
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ws.CellNumber(ws.FindCell(i, 0)), 0) << i;
  EXPECT_EQ(number("B1"), bits(uint64_t(895) << 52));
  EXPECT_EQ(number("B2"), bits(uint64_t(2038) << 52));
  EXPECT_EQ(cell("B3")->value.number, 0);  // a formula's value is cleaned as well
  EXPECT_EQ(input("C1"), "^<ERROR>");      // a string result without its formula
}

// --- Mended faults ------------------------------------------------------------

TEST_F(FileTest, LabelsAreLimitedByTheirTextNotTheirRecord) {
  std::string longest = "'" + std::string(239, 'x');
  enter("A1", longest);
  ASSERT_TRUE(Save(ws, dir.file("LONG.WKS")));
  auto one = fileRecords(readFile(dir.file("LONG.WKS")), 0);
  auto rec = std::find_if(one.begin(), one.end(), [](auto& r) { return r.type == 0x0F; });
  ASSERT_NE(rec, one.end());
  EXPECT_EQ(rec->body.size(), 246u);
  Worksheet& back = fresh();
  Load(back, dir.file("LONG.WKS"));
  EXPECT_EQ(listed(back, "A1"), longest);

  FileBytes f;
  f.bof().label(0, 0, "'" + std::string(240, 'y')).label(0, 1, "no prefix").eof();
  f.write(dir.file("OVER.WKS"));
  Worksheet& over = fresh("OVER");
  EXPECT_TRUE(load(over, dir.file("OVER.WKS")).messages.empty());
  EXPECT_EQ(at(over, "A1"), nullptr);  // too long for a cell: skipped
  EXPECT_EQ(listed(over, "A2"), "'no prefix");
}

TEST_F(FileTest, LoadedFormulasAreLinkedAsIfOneAfterAnother) {
  // Row sums, running totals down a column and column sums: ranges across
  // and down, overlapping, linked in rows by the loader.
  for (int r = 1; r <= 6; ++r) {
    std::string n = std::to_string(r);
    for (char c : std::string("ABCD")) enter(std::string(1, c) + n, std::to_string(r * 10 + c));
    enter("E" + n, "@SUM(A" + n + "..D" + n + ")");
    enter("F" + n, "@SUM($A$1..A" + n + ")+E" + n + "+E" + n);
  }
  for (char c : std::string("ABCDEF")) {
    std::string col(1, c);
    enter(col + "7", "@SUM(" + col + "1.." + col + "6)");
  }
  enter("G8", "@SUM(A1..F7)+A1");
  ASSERT_TRUE(Save(ws, dir.file("SUMS.WK1")));
  Worksheet& back = fresh();
  ASSERT_TRUE(load(back, dir.file("SUMS.WK1")).messages.empty());

  auto lists = [&] {
    std::vector<std::vector<CellHandle>> all;
    back.ForEachCell(CellRange::of(0, 0, back.maxRow, back.maxCol), [&](CellHandle h, Cell&) {
      all.push_back(DependentsOf(back, h));
      return true;
    });
    return all;
  };
  std::vector<std::vector<CellHandle>> loaded = lists();
  // The loader registers its formulas in the order their records made them.
  std::vector<CellHandle> formulas;
  back.ForEachCell(CellRange::of(0, 0, back.maxRow, back.maxCol), [&](CellHandle h, Cell& c) {
    if (isFormula(&c)) formulas.push_back(h);
    return true;
  });
  std::sort(formulas.begin(), formulas.end());
  for (CellHandle f : formulas) UnregisterDependencies(back, f);
  for (CellHandle f : formulas) RegisterDependencies(back, f);
  EXPECT_EQ(lists(), loaded);
  EXPECT_EQ(num(back, "G8"), number("G8"));
  EnterCell(back, "1000", 0, 0);
  EXPECT_EQ(num(back, "A7"), number("A7") - number("A1") + 1000);
}

TEST_F(FileTest, EveryLoadedFormulaIsCheckedBeforeLinking) {
  const std::vector<Bytes> bad = {
      {0x1C, 0x03},                                      // unknown opcode
      {0x05, 0x01, 0x00},                                // no end mark
      {0x09, 0x03},                                      // operator without operands
      {0x05, 0x01, 0x00, 0x05, 0x02, 0x00, 0x03},        // two values left
      {0x05, 0x01, 0x00, 0xFE, 0x09, 0x03},              // no such user function
      {0x01, 0x2C, 0x01, 0x00, 0x00, 0x03},              // absolute column 300
      {0x50, 0x00, 0x03},                                // a list of no arguments
      {0x00, 0x01, 0x02, 0x03},                          // a constant cut short
      {0x06, 'a', 'b', 0x03},                            // a string without its end
      {0x05, 0x01, 0x00, 0x03, 0x05, 0x02, 0x00, 0x03},  // an end mark inside
      {0x05, 0x01, 0x03},                                // an operand takes the end mark
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    FileBytes f;
    f.bof().formula(0, 0, 1, bad[i]).formula(1, 0, 0, {0x05, 0x07, 0x00, 0x03}).eof();
    f.write(dir.file("BAD.WKS"));
    Worksheet& w = fresh("BAD" + std::to_string(i));
    LoadReport r = load(w, dir.file("BAD.WKS"));
    EXPECT_EQ(r.messages, (std::vector<std::string>{"Invalid Formula was deleted!"})) << i;
    EXPECT_FALSE(isFormula(at(w, "A1"))) << i;
    EXPECT_EQ(num(w, "B1"), 7) << i;
  }
  // Only the end mark: not stored at all.
  FileBytes f;
  f.bof().formula(0, 0, 1, {0x03}).eof();
  f.write(dir.file("END.WKS"));
  Worksheet& w = fresh("END");
  EXPECT_EQ(load(w, dir.file("END.WKS")).formulasDeleted, 1);
  EXPECT_EQ(at(w, "A1"), nullptr);

  // User functions come from the extension section, after the cells.
  FileBytes u;
  u.bof()
      .formula(0, 0, 0, {0x05, 0x01, 0x00, 0xFE, 0x01, 0x03})
      .formula(0, 1, 0, {0x05, 0x01, 0x00, 0x05, 0x02, 0x00, 0xFE, 0x01, 0x03})
      .eof()
      .raw({0x1A, 0})
      .record(105, join({{4},
                         Bytes{'P', 'A', 'I', 'R'},
                         Bytes(9, 0),
                         {5},
                         Bytes{'+', 'A', '+', 'B', '1'},
                         Bytes(250, 0),
                         le32(2)}))
      .eof()
      .raw({0x1A, 0x1A});
  u.write(dir.file("USER.WKS"));
  Worksheet& uw = fresh("USER");
  EXPECT_EQ(load(uw, dir.file("USER.WKS")).formulasDeleted, 1);
  EXPECT_FALSE(isFormula(at(uw, "A1")));
  EXPECT_TRUE(isFormula(at(uw, "A2")));
}

TEST_F(FileTest, LyingLengthsAndFieldsAreBounded) {
  FileBytes f;
  f.bof()
      .record(0x0B, Bytes(10, 'N'))                                             // a NAME too short
      .record(0x10, join({cellHeader(0xF1, 0, 0), le64(1), le16(50), {0x03}}))  // code beyond
      .number(0, 9000, 1)                                                       // off the sheet
      .record(0x0E, Bytes(7, 0))  // a NUMBER too short
      .number(1, 1, 2)
      .eof()
      .raw({0x1A, 0})
      .record(116, join({le16(300), text0("Arial")}))                // font index out of range
      .record(8, join({le16(1), le16(1), {200, 9, 0, 0}, le32(0)}))  // unmapped font
      .record(120, Bytes(26, 0xFF))                                  // window fields off the sheet
      .record(45, Bytes(100, 1))                                     // graph record of another size
      .eof()
      .raw({0x1A, 0x1A});
  f.write(dir.file("LIES.WKS"));
  LoadReport r = load(ws, dir.file("LIES.WKS"));
  EXPECT_EQ(r.messages, (std::vector<std::string>{"Error at Record:0B[000A]"}));
  EXPECT_EQ(host.errors, r.messages);
  EXPECT_EQ(number("B2"), 2);
  EXPECT_EQ(cell("B2")->font, 255);
  EXPECT_EQ(cell("B2")->size, 9);
  EXPECT_EQ(ws.settings.currentTab, 0);
  EXPECT_EQ(ws.settings.panes[0].cursorRow, 0);
  EXPECT_EQ(ws.settings.graph.extension, GraphRecord{}.extension);
  EXPECT_EQ(cell("A1"), nullptr);
}

TEST_F(FileTest, TruncatedFilesAndOpenFailures) {
  FileBytes f;
  f.bof().number(0, 0, 1).number(0, 1, 2);
  Bytes cut = f.bytes;
  cut.resize(cut.size() - 3);  // the last record cut short
  FileBytes(f).write(dir.file("NOEOF.WKS"));
  FileBytes g;
  g.bytes = cut;
  g.write(dir.file("CUT.WKS"));
  for (const char* name : {"NOEOF.WKS", "CUT.WKS"}) {
    Worksheet& w = fresh(name);
    LoadReport r = load(w, dir.file(name));
    EXPECT_EQ(r.messages, (std::vector<std::string>{"Disk Error"})) << name;
    EXPECT_EQ(num(w, "A1"), 1) << name;  // what was read stays
  }
  host.errors.clear();
  EXPECT_FALSE(Load(ws, dir.file("ABSENT.WKS")));
  EXPECT_EQ(host.errors, (std::vector<std::string>{"Unable to Open File"}));
  EXPECT_EQ(session.ioResult, 2);

  // The start-up worksheet: no message when it is missing, no name when read.
  host.errors.clear();
  EXPECT_FALSE(Load(ws, dir.file("AUTOEXEC.WKS")));
  EXPECT_TRUE(host.errors.empty());
  enter("A1", "1");
  ASSERT_TRUE(Save(ws, dir.file("AUTOEXEC.WKS")));
  Worksheet& start = fresh("START");
  Load(start, dir.file("AUTOEXEC.WKS"));
  EXPECT_FALSE(start.hasFileName);
  EXPECT_EQ(num(start, "A1"), 1);
}

uint64_t tinyMemory() {
  return 1000;
}

TEST_F(FileTest, LowMemoryStopsTheLoadWithWhatWasRead) {
  FileBytes f;
  f.bof();
  for (int r = 0; r < 100; ++r) f.integer(0, r, r);
  f.eof();
  f.write(dir.file("MANY.WKS"));
  MemoryProbe previous = setMemoryProbe(tinyMemory);
  LoadReport r = load(ws, dir.file("MANY.WKS"));
  setMemoryProbe(previous);
  EXPECT_EQ(r.messages, (std::vector<std::string>{"Out of Memory/File may be truncated"}));
  EXPECT_EQ(number("A31"), 30);  // records 2..31 were cells
  EXPECT_EQ(cell("A32"), nullptr);
  EXPECT_TRUE(load(ws, dir.file("MANY.WKS")).messages.empty());
  EXPECT_EQ(number("A100"), 99);
}

// Free memory is asked for once per load while there is plenty, and again
// each time the estimate of what is left comes near the bound.
int probes = 0;
uint64_t countedMemory() {
  ++probes;
  return 1ull << 34;
}
uint64_t shrinkingMemory() {
  ++probes;
  return probes == 1 ? (32ull << 20) + (256 << 10) : 1000;  // the second ask finds it gone
}

TEST_F(FileTest, FreeMemoryIsAskedOnceWhileThereIsPlenty) {
  FileBytes f;
  f.bof();
  for (int r = 0; r < 20000; ++r) f.integer(r % 8, r / 8, r);
  f.eof();
  f.write(dir.file("LARGE.WKS"));
  probes = 0;
  MemoryProbe previous = setMemoryProbe(countedMemory);
  EXPECT_TRUE(load(ws, dir.file("LARGE.WKS")).messages.empty());
  EXPECT_EQ(probes, 1);
  // Records read where they lie in the read buffer, and across its ends.
  int wrong = 0;
  for (int k = 0; k < 20000; ++k) wrong += ws.CellNumber(ws.FindCell(k / 8, k % 8)) != k;
  EXPECT_EQ(wrong, 0);
  // Near the bound it asks again, and stops when the memory is gone.
  probes = 0;
  setMemoryProbe(shrinkingMemory);
  LoadReport r = load(ws, dir.file("LARGE.WKS"));
  setMemoryProbe(previous);
  EXPECT_EQ(r.messages, (std::vector<std::string>{"Out of Memory/File may be truncated"}));
  EXPECT_EQ(probes, 2);
}

// --- Names of files --------------------------------------------------------

TEST_F(FileTest, FileNamesKeepCaseAndAreFoundWithout) {
  EXPECT_EQ(backupFileName("/a/X.WK1"), "/a/X.WKB");
  EXPECT_EQ(backupFileName("/a/x.wks"), "/a/x.wkb");
  // The extension's letters decide, not its last character.
  EXPECT_EQ(backupFileName("/a/test1.wk1"), "/a/test1.wkb");
  EXPECT_EQ(backupFileName("/a/TEST1.WK1"), "/a/TEST1.WKB");
  EXPECT_EQ(backupFileName("/a.b/noext"), "/a.b/noexb");
  EXPECT_EQ(withWorksheetExtension("/a.b/budget"), "/a.b/budget.WKS");
  EXPECT_EQ(withWorksheetExtension("/a/budget.wk1"), "/a/budget.wk1");

  fs::create_directory(dir.file("Sub"));
  enter("A1", "8");
  ASSERT_TRUE(Save(ws, dir.file("Sub/budget.wks")));
  Worksheet& back = fresh();
  Load(back, dir.file("SUB/BUDGET"));
  EXPECT_EQ(num(back, "A1"), 8);
  EXPECT_EQ(back.fileName, dir.file("Sub/budget.wks"));
  // Saving by the other case replaces that file rather than adding one.
  ASSERT_TRUE(Save(back, dir.file("SUB/BUDGET.WKS")));
  EXPECT_FALSE(fs::exists(dir.file("Sub/BUDGET.WKS")) &&
               !fs::equivalent(dir.file("Sub/BUDGET.WKS"), dir.file("Sub/budget.wks")));
}

TEST_F(FileTest, FileOpenTestsActivatesAndRemembers) {
  FileBytes bad;
  bad.record(0x00, Bytes(4, 0));
  bad.write(dir.file("BAD.WKS"));
  EXPECT_FALSE(isWorksheetFile(dir.file("BAD.WKS")));
  EXPECT_EQ(openWorksheetFile(session, dir.file("BAD.WKS")), nullptr);
  EXPECT_EQ(host.errors, (std::vector<std::string>{"Invalid WKS File!"}));

  enter("A1", "3");
  ASSERT_TRUE(Save(ws, dir.file("GOOD.WKS")));
  size_t before = session.worksheets().size();
  Worksheet* opened = openWorksheetFile(session, dir.file("good.wks"));
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(session.worksheets().size(), before + 1);
  EXPECT_EQ(session.settings().history.front(), dir.file("GOOD.WKS"));
  session.setCurrent(&ws);
  EXPECT_EQ(openWorksheetFile(session, dir.file("GOOD.WKS")), opened);
  EXPECT_EQ(session.current(), opened);
  EXPECT_EQ(session.worksheets().size(), before + 1);
}

}  // namespace
}  // namespace tw::test
