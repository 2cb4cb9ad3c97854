#include "functions/text_date_functions.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "functions/system_functions.h"
#include "test_support.h"

namespace tw {
namespace {

using test::SheetTest;
using test::TempDir;

struct TextCase {
  const char* formula;
  const char* want;
};
struct NumberCase {
  const char* formula;
  double want;
};

class TextFunctionsTest : public SheetTest {
 protected:
  void expectText(const std::vector<TextCase>& cases) {
    for (const auto& c : cases) {
      EvalResult r = eval(c.formula);
      EXPECT_FALSE(r.error) << c.formula;
      EXPECT_TRUE(r.isString) << c.formula;
      EXPECT_EQ(r.text, c.want) << c.formula;
    }
  }
  void expectNumber(const std::vector<NumberCase>& cases, double tolerance = 0) {
    for (const auto& c : cases) {
      EvalResult r = eval(c.formula);
      EXPECT_FALSE(r.error) << c.formula;
      EXPECT_FALSE(r.isString) << c.formula;
      if (tolerance == 0)
        EXPECT_EQ(r.number, c.want) << c.formula;
      else
        EXPECT_NEAR(r.number, c.want, tolerance) << c.formula;
    }
  }
  void expectErr(const std::vector<const char*>& formulas) {
    for (const char* f : formulas) EXPECT_TRUE(eval(f).error) << f;
  }
};

TEST_F(TextFunctionsTest, PositionsCountFromOne) {
  expectText({{"@MID(\"abcdef\",2,3)", "bcd"},
              {"@MID(\"abcdef\",0,2)", "ab"},
              {"@MID(\"abcdef\",-4,2)", "ab"},
              {"@MID(\"abc\",4,1)", ""},
              {"@MID(\"abc\",2,-1)", ""},
              {"@LEFT(\"abc\",2)", "ab"},
              {"@LEFT(\"abc\",-1)", ""},
              {"@RIGHT(\"abc\",2)", "bc"},
              {"@RIGHT(\"abc\",5)", "abc"},
              {"@RIGHT(\"abc\",-2)", ""}});
  // p = 0 gives 0-based positions, p = 1 1-based ones; 0 also means "not found".
  expectNumber({{"@FIND(\"b\",\"abc\",0)", 1},
                {"@FIND(\"b\",\"abc\",1)", 2},
                {"@FIND(\"z\",\"abc\",1)", 0},
                {"@FIND(\"a\",\"abcabc\",2)", 4},
                {"@FIND(\"a\",\"abc\",4)", 0},
                {"@FIND(\"B\",\"abc\",1)", 0},
                {"@FIND(\"bc\",\"abc\",-3)", 1}});
}

TEST_F(TextFunctionsTest, CaseAndSpaces) {
  expectText({{"@UPPER(\"abc xyz 1!\")", "ABC XYZ 1!"},
              {"@LOWER(\"ABC XYZ 1!\")", "abc xyz 1!"},
              {"@UPPER(\"\xE9t\xE9\")", "\xE9T\xE9"},
              {"@PROPER(\"hello WORLD\")", "Hello World"},
              {"@PROPER(\"  two  spaces\")", "  Two  Spaces"},
              // Bit 0x20 also moves "@" to "`" and "[" .. "_" to "{" .. DEL.
              {"@PROPER(\"a@B[c_\")", "A`b{c\x7F"},
              {"@TRIM(\"   a  b \")", "a b"},
              {"@TRIM(\"    \")", ""},
              {"@CLEAN(\"a\"&@CHR(7)&\"b\"&@CHR(200)&@CHR(127)&@CHR(31))", "ab\x7F"}});
}

TEST_F(TextFunctionsTest, CodesLengthsAndComparison) {
  expectNumber({{"@LENGTH(\"hello\")", 5},
                {"@LENGTH(12.5)", 4},
                {"@ORD(\"A\")", 65},
                {"@ORD(\"\")", 0},
                {"@ORD(@CHR(200))", 200},
                {"@LENGTH(@CHR(0))", 1},
                {"@EXACT(\"abc\",\"abc\")", 1},
                {"@EXACT(\"abc\",\"ABC\")", 0}});
  expectText({{"@CHR(65)", "A"}, {"@CHR(321)", "A"}, {"@CHR(-191)", "A"}});
}

TEST_F(TextFunctionsTest, RepeatAndLongResultsStopAt240) {
  expectText(
      {{"@REPEAT(\"ab\",3)", "ababab"}, {"@REPEAT(\"ab\",0)", ""}, {"@REPEAT(\"\",100)", ""}});
  EvalResult r = eval("@REPEAT(\"abc\",32767)");
  ASSERT_TRUE(r.isString);
  EXPECT_EQ(r.text.size(), 240u);
  EXPECT_EQ(r.text.substr(237), "abc");
  // Two long texts joined and passed on are still cut, never overflowed.
  r = eval("@UPPER(@REPEAT(\"x\",200)&@REPEAT(\"y\",200))");
  ASSERT_TRUE(r.isString);
  EXPECT_EQ(r.text, std::string(200, 'X') + std::string(40, 'Y'));
  r = eval("@STR(1E300,2)");
  ASSERT_TRUE(r.isString);
  EXPECT_EQ(r.text.size(), 240u);
}

TEST_F(TextFunctionsTest, ValReadsTheLeadingNumber) {
  expectNumber({{"@VAL(\"12 345\")", 12345},
                {"@VAL(\" -2.5 \")", -2.5},
                {"@VAL(\"1.5.2\")", 1.5},
                {"@VAL(\"-2.5E2x\")", -250},
                {"@VAL(\"3E\")", 3},
                {"@VAL(\".5\")", 0.5},
                {"@VAL(\"1,234\")", 1},
                {"@VAL(\"abc\")", 0},
                {"@VAL(\"\")", 0},
                {"@VAL(\"1e-999\")", 0},
                {"@VAL(42)", 42}});
  expectErr({"@VAL(\"1e999\")"});
}

TEST_F(TextFunctionsTest, StrWritesFixedDecimals) {
  expectText({{"@STR(3.14159,2)", "3.14"},
              {"@STR(2.5,0)", "3"},
              {"@STR(0.125,2)", "0.13"},
              {"@STR(-0.001,2)", "0.00"},
              {"@STR(1234567,0)", "1234567"},
              {"@STR(5,-3)", "5"},
              {"@STR(1/3,40)", "0.333333333333333"}});
}

TEST_F(TextFunctionsTest, ProgramSeparatorsApply) {
  session.settings().argumentSeparator = ';';
  session.settings().decimalSeparator = ',';
  expectText({{"@STR(5/2;1)", "2,5"}, {"@STR(1234;2)", "1234,00"}});
  expectNumber({{"@VAL(\"2,5\")", 2.5}, {"@VAL(\"1.5\")", 1}, {"@LENGTH(1/4)", 4}});
}

// --- Dates and times -------------------------------------------------------------

class DateFunctionsTest : public TextFunctionsTest {};

// Serials from the proleptic Gregorian calendar (from 15 October 1582) and the
// Julian one before it, counted from 30 December 1899.
struct CalendarCase {
  int year, month, day;
  double serial;
};
const std::vector<CalendarCase> kCalendar = {
    {1899, 12, 30, 0},      {1899, 12, 31, 1},       {1900, 1, 1, 2},
    {1900, 2, 28, 60},      {1900, 3, 1, 61},        {1996, 12, 25, 35424},
    {1999, 12, 31, 36525},  {2000, 1, 1, 36526},     {2000, 2, 29, 36585},
    {2000, 3, 1, 36586},    {2100, 3, 1, 73110},     {9999, 12, 31, 2958465},
    {1700, 3, 1, -72987},   {1600, 2, 29, -109512},  {1582, 10, 15, -115858},
    {1582, 10, 4, -115859}, {1582, 10, 1, -115862},  {1500, 2, 29, -146027},
    {1500, 3, 1, -146026},  {1200, 12, 31, -255296}, {1000, 1, 1, -328711},
};

TEST_F(DateFunctionsTest, DateFollowsBothCalendars) {
  for (const auto& c : kCalendar) {
    if (c.year < 100) continue;  // years 0..99 stand for 1900..1999
    std::string f = "@DATE(" + std::to_string(c.year) + "," + std::to_string(c.month) + "," +
                    std::to_string(c.day) + ")";
    EvalResult r = eval(f);
    EXPECT_FALSE(r.error) << f;
    EXPECT_EQ(r.number, c.serial) << f;
  }
  expectNumber({{"@DATE(0,3,1)", 61},
                {"@DATE(96,12,25)", 35424},
                {"@DATE(-2000,1,1)", 36526},
                {"@DATE(1900,2,29)", 61},    // 1900 has no leap day
                {"@DATE(2000,1,0)", 36525},  // day 0 is the last of the month before
                {"@DATE(2000,13,1)", 36892},
                {"@DATE(2000.4,0.6,1.4)", 36526}});
}

TEST_F(DateFunctionsTest, DayMonthYearInvertTheCalendar) {
  std::vector<CalendarCase> cases = kCalendar;
  cases.push_back({1, 1, 1, -693595});
  cases.push_back({100, 3, 1, -657376});
  cases.push_back({2000, 2, 29, 36585.75});  // the time of day does not matter
  cases.push_back({1899, 12, 29, -0.5});     // 12:00 on the day before serial 0
  for (const auto& c : cases) {
    std::string s = std::to_string(c.serial);
    EXPECT_EQ(eval("@YEAR(" + s + ")").number, c.year) << s;
    EXPECT_EQ(eval("@MONTH(" + s + ")").number, c.month) << s;
    EXPECT_EQ(eval("@DAY(" + s + ")").number, c.day) << s;
  }
}

TEST_F(DateFunctionsTest, TimesAndTheQuarterSecond) {
  expectNumber({{"@TIME(10,30,0)", 0.4375},
                {"@TIME(0,-90,0)", -0.0625},
                {"@HOUR(0.4375)", 10},
                {"@MINUTE(0.4375)", 30},
                {"@SECOND(0.4375)", 0},
                {"@HOUR(36526.75)", 18},
                {"@HOUR(-0.25)", 18},
                // 59.9 s plus a quarter second carries into the next minute and hour...
                {"@SECOND(@TIME(10,59,59.9))", 0},
                {"@MINUTE(@TIME(10,59,59.9))", 0},
                {"@HOUR(@TIME(10,59,59.9))", 11},
                // ... 59.5 s does not reach it.
                {"@SECOND(@TIME(10,59,59.5))", 59},
                {"@HOUR(@TIME(23,59,59.9))", 0}},
               1e-12);
}

TEST_F(DateFunctionsTest, DateAndTimeTexts) {
  expectNumber({{"@DATEVAL(\"12/25/1996\")", 35424},
                {"@DATEVAL(\"12 25 96\")", 35424},
                // Minus signs belong to a field: "12-25-96" is the one field 12.
                {"@DATEVAL(\"12-25-96\")", 335},
                {"@TIMEVAL(\"1:30 PM\")", 0.5625},
                {"@TIMEVAL(\"12:00 pm\")", 0.5},
                {"@TIMEVAL(\"6:00:36\")", 0.250416666666666667},
                {"@TIMEVAL(\"-6:00\")", -0.25}},
               1e-12);
  session.settings().usDates = false;
  expectNumber({{"@DATEVAL(\"25/12/1996\")", 35424},
                // Month 25 of 1996 by the day-count formula: 14 January 1998.
                {"@DATEVAL(\"12/25/1996\")", 35809}});
}

TEST_F(DateFunctionsTest, HugeArgumentsStayFinite) {
  for (const char* f :
       {"@YEAR(1E300)", "@MONTH(-1E300)", "@DAY(1E15)", "@HOUR(1E300)", "@SECOND(-1E300)",
        "@DATE(1E300,1E300,1E300)", "@DATE(40000,-40000,9E9)", "@TIME(1E300,1E300,1E300)",
        "@DATEVAL(\"99999999999999999999/1/1\")", "@TIMEVAL(\"99999999999999999999:99\")"}) {
    EvalResult r = eval(f);
    EXPECT_FALSE(r.error) << f;
    EXPECT_TRUE(std::isfinite(r.number)) << f;
  }
}

// --- Financial functions -----------------------------------------------------------

class FinancialFunctionsTest : public TextFunctionsTest {};

TEST_F(FinancialFunctionsTest, AnnuitiesAgainstTextbookValues) {
  expectNumber({{"@PMT(1000,0.01,12)", 88.8487886783416},
                {"@PMT(100000,0.005,360)", 599.5505251527569},  // the 6 % 30-year mortgage
                {"@PV(100,0.05,10)", 772.1734929184818},
                {"@FV(100,0.05,10)", 1257.789253554884},
                {"@RATE(2000,1000,10)", 0.07177346253629313},
                {"@TERM(100,0.05,1257.789253554884)", 10},
                {"@CTERM(0.05,2000,1000)", 14.206699082890461}},
               1e-9);
  expectErr({"@PMT(1000,0,12)", "@PMT(1000,0.01,0)", "@PV(100,0,10)", "@FV(100,0,10)",
             "@PV(100,-1,10)", "@RATE(100,0,10)", "@RATE(100,50,0)", "@RATE(-100,50,2.5)",
             "@TERM(0,0.05,100)", "@TERM(100,0,100)", "@TERM(100,0.05,-5000)", "@CTERM(0.05,-1,1)",
             "@CTERM(-1,2,1)", "@PMT(1,1E10,100)"});
}

TEST_F(FinancialFunctionsTest, DepreciationSchedules) {
  // Cost 1000, salvage 100, five years: straight line 180 a year; sum of the
  // years' digits 5/15, 4/15, ... of 900; double declining 40 % of the book
  // value, the last year only down to the salvage.
  const double syd[] = {300, 240, 180, 120, 60};
  const double ddb[] = {400, 240, 144, 86.4, 29.6};
  EXPECT_EQ(eval("@SLN(1000,100,5)").number, 180);
  for (int k = 1; k <= 5; ++k) {
    std::string n = std::to_string(k);
    EXPECT_NEAR(eval("@SYD(1000,100,5," + n + ")").number, syd[k - 1], 1e-9) << k;
    EXPECT_NEAR(eval("@DDB(1000,100,5," + n + ")").number, ddb[k - 1], 1e-9) << k;
  }
  expectNumber({{"@DDB(1000,100,5,0)", 0}, {"@DDB(1000,100,5,2.4)", 240}}, 1e-9);
  expectErr(
      {"@DDB(1000,100,5,6)", "@SLN(1000,100,0)", "@SYD(1000,100,0,1)", "@SYD(1000,100,-1,1)"});
}

TEST_F(FinancialFunctionsTest, LoanAmortisation) {
  // 100000 over 360 months at 0.5 %: the schedule's first year.
  expectNumber({{"@BAL(100000,0.005,360,12)", 98771.98828772332},
                {"@ACI(100000,0.005,360,12)", 5966.594589556311},
                {"@PMTP(100000,0.005,360,1)", 99.5505251527569},
                {"@PMTP(100000,0.005,360,12)", 105.16475991456747},
                {"@BAL(100000,0.005,360,360)", 0},
                {"@BAL(100000,0.005,360,0)", 100000}},
               1e-6);
  expectErr({"@BAL(1000,0,12,1)", "@ACI(1000,-0.01,12,1)", "@PMTP(1000,0.01,0,1)"});
}

TEST_F(FinancialFunctionsTest, NetPresentValueWalksRowsThenColumns) {
  enter("A1", "100");
  enter("A2", "200");
  enter("A3", "300");
  expectNumber({{"@NPV(0.1,A1..A3)", 481.59278737791124}, {"@NPV(0.1,A3..A1)", 481.5927873779112}},
               1e-9);
  // A label or blank cell is a period without a cash flow.
  enter("A2", "'x");
  EXPECT_NEAR(eval("@NPV(0.1,A1..A3)").number, 100 / 1.1 + 300 / 1.331, 1e-9);
  enter("A2", "");
  EXPECT_NEAR(eval("@NPV(0.1,A1..A3)").number, 100 / 1.1 + 300 / 1.331, 1e-9);
  // Row by row: C1, D1, C2, D2.
  enter("C1", "1");
  enter("D1", "2");
  enter("C2", "3");
  enter("D2", "4");
  EXPECT_NEAR(eval("@NPV(0.1,C1..D2)").number, 1 / 1.1 + 2 / 1.21 + 3 / 1.331 + 4 / 1.4641, 1e-12);
  EXPECT_NEAR(eval("@NPV(0.1,C2)").number, 3 / 1.1, 1e-12);
  enter("D1", "@ERR");
  expectErr({"@NPV(0.1,C1..D2)", "@NPV(-1,A1..A3)"});
}

TEST_F(FinancialFunctionsTest, InternalRateOfReturn) {
  enter("A1", "-100");
  enter("A2", "60");
  enter("A3", "60");
  enter("B1", "-1000");
  enter("B2", "300");
  enter("B3", "400");
  enter("B4", "500");
  enter("C1", "1000000");
  enter("C2", "1000000");
  expectNumber({{"@IRR(0.1,A1..A3)", 0.13066238629180735}, {"@IRR(0.2,B1..B4)", 0.08896339469335}},
               1e-6);
  // No rate makes positive flows worth nothing within 26 rounds.
  expectErr({"@IRR(0,A1..A3)", "@IRR(0.1,C1..C2)"});
}

// --- Link and system functions -------------------------------------------------------

class FixedHost : public HeadlessHost {
 public:
  std::string osVersion() override { return os; }
  std::string currentDirectory() override { return directory; }
  double secondsSinceMidnight() override { return 6 * 3600; }
  int daySerialToday() override { return 36526; }
  std::string os = "10.0.19045";
  std::string directory = "/home/user/sheets";
};

class TextSystemTest : public ::testing::Test {
 protected:
  TextSystemTest() : session(host), ws(test::withLibrary(session).openWorksheet("TEST.WKS")) {}
  EvalResult eval(const std::string& formula) {
    EvalResult r = session.evaluator().EvaluateText(ws, formula);
    session.error().clear();
    return r;
  }
  FixedHost host;
  Session session;
  Worksheet& ws;
};

TEST_F(TextSystemTest, LinkAsksTheTableAndShowsWhatTheLoaderFound) {
  EvalResult r = eval("@LINK(\"DATA>A1\")");
  EXPECT_TRUE(r.isString);
  EXPECT_EQ(r.text, "N/A");
  ASSERT_EQ(session.links().all().size(), 1u);
  const LinkFile& file = session.links().all()[0];
  EXPECT_EQ(file.path, "/home/user/sheets/DATA");
  ASSERT_EQ(file.cells.size(), 1u);
  EXPECT_EQ(file.cells[0].row, 0);
  EXPECT_EQ(file.cells[0].col, 0);

  eval("@LINK(\"data>b2\")");
  session.links().supplyNumber("/home/user/sheets/DATA", 0, 0, 12.5);
  session.links().supplyText("/home/user/sheets/DATA", 1, 1, "hello");
  eval("@LINK(\"DATA>C9\")");  // asked for, absent from the file
  session.links().finishFile("/home/user/sheets/DATA");
  r = eval("@LINK(\"DATA>A1\")+1");
  EXPECT_EQ(r.number, 13.5);
  r = eval("@LINK(\"DATA>B2\")");
  EXPECT_TRUE(r.isString);
  EXPECT_EQ(r.text, "hello");
  r = eval("@LINK(\"DATA>C9\")");
  EXPECT_FALSE(r.isString);
  EXPECT_EQ(r.number, 0);

  for (const char* f : {"@LINK(\"DATA A1\")", "@LINK(\">A1\")", "@LINK(\"DATA>\")",
                        "@LINK(\"DATA>A0\")", "@LINK(\"DATA>IW1\")", "@LINK(\"DATA>B:A1\")",
                        "@LINK(\"DATA>ABC:A1\")", "@LINK(\"DATA>A1..B2\")"})
    EXPECT_TRUE(eval(f).error) << f;
}

TEST(TextLinkReferenceTest, PathsSheetsAndLimits) {
  struct Case {
    const char* text;
    int sheetRows;
    const char* path;
    int row, col;
  };
  const std::vector<Case> cases = {
      {"DATA.WKS>A1", 0, "/work/DATA.WKS", 0, 0},
      {" sub/Data.wks > $c$5 ", 0, "/work/sub/Data.wks", 4, 2},
      {"/tmp/x.wks>IV8192", 0, "/tmp/x.wks", 8191, 255},
      {"x>A:B3", 0, "/work/x", 2, 1},
      {"x>B:B3", 2048, "/work/x", 2050, 1},
      {"x>AA:A1", 256, "/work/x", 6656, 0},  // tabs run A..Z, AA, AB, ...
      {"x>ab:a2", 256, "/work/x", 6913, 0},
  };
  for (const auto& c : cases) {
    LinkReference r = parseLinkReference(c.text, "/work", c.sheetRows);
    ASSERT_TRUE(r.ok) << c.text;
    EXPECT_EQ(r.path, c.path) << c.text;
    EXPECT_EQ(r.row, c.row) << c.text;
    EXPECT_EQ(r.col, c.col) << c.text;
  }
  // Sheet E of eight rows-per-sheet blocks of 2048 is off the worksheet.
  EXPECT_FALSE(parseLinkReference("x>E:A1", "/w", 2048).ok);
  // Only the first 80 characters are read.
  EXPECT_TRUE(parseLinkReference(std::string(76, 'f') + ">A1", "/w", 0).ok);
  EXPECT_FALSE(parseLinkReference(std::string(78, 'f') + ">A1", "/w", 0).ok);
}

TEST_F(TextSystemTest, ProgramState) {
  EXPECT_EQ(eval("@VERSION").number, 1.601);
  EXPECT_EQ(eval("@DOSVER").text, "N/A");
  EXPECT_EQ(eval("@OSVER").number, 10.0);
  host.os = "6.1";
  EXPECT_DOUBLE_EQ(eval("@OSVER").number, 6.001);
  EXPECT_EQ(eval("@PATH").text, "/home/user/sheets");
  EXPECT_EQ(eval("@TODAY").number, 36526.25);
  EXPECT_EQ(eval("@AUTO").number, 1);
  EXPECT_EQ(eval("@PROTECT").number, 0);
  ws.settings.manualRecalc = true;
  ws.settings.protection = true;
  EXPECT_EQ(eval("@AUTO").number, 0);
  EXPECT_EQ(eval("@PROTECT").number, 1);

  EXPECT_EQ(eval("@FILENAME").text, "TEST.WKS");
  ws.fileName = "/home/user/sheets/Budget.wks";
  ws.hasFileName = true;
  EXPECT_EQ(eval("@FILENAME").text, "/home/user/sheets/Budget.wks");

  session.ioResult = 2;
  EXPECT_EQ(eval("@IORESULT").number, 2);
  EXPECT_EQ(eval("@IORESULT").number, 0);

  session.activeWindow = 3;
  session.activationCount = 7;
  EXPECT_EQ(eval("@QVIEW(0)").number, 3);
  EXPECT_EQ(eval("@QVIEW(1)").number, 7);
  EXPECT_TRUE(eval("@QVIEW(2)").error);
}

TEST_F(TextSystemTest, MemoryFigures) {
  EXPECT_EQ(eval("@MEMAVAIL(0)").number, 66842640);
  EXPECT_EQ(eval("@MEMAVAIL(7.5)").number, 7.5);
  double before = eval("@MEMAVAIL(2)").number;
  for (int row = 1; row <= 20; ++row)
    EnterCell(ws, "+A" + std::to_string(row + 20), row - 1, 0);  // cells and links
  double held = eval("@MEMAVAIL(2)").number;
  EXPECT_GE(held - before, 40.0 * sizeof(Cell));
  EXPECT_EQ(eval("@MEMAVAIL(1)").number + held, 66842640);
}

TEST_F(TextSystemTest, HexDecAndDms) {
  const std::vector<TextCase> texts = {
      {"@HEX(255)", "$00FF"},        {"@HEX(-1)", "$FFFF"},      {"@HEX(65535)", "$FFFF"},
      {"@HEX(4096)", "$1000"},       {"@HEX(2.5)", "$0002"},     {"@HEX(-32768)", "$8000"},
      {"@DMS(1.5)", "1:30:00"},      {"@DMS(10.2)", "10:12:00"}, {"@DMS(-2.7625)", "-2:45:45"},
      {"@DMS(0.999999)", "0:59:59"}, {"@DMS(-0.5)", "-0:30:00"}, {"@DMS(0)", "0:00:00"},
  };
  for (const auto& c : texts) EXPECT_EQ(eval(c.formula).text, c.want) << c.formula;
  const std::vector<NumberCase> numbers = {{"@DEC(\"FF\")", 255},
                                           {"@DEC(\"$ff\")", 255},
                                           {"@DEC(\"$7FFF\")", 32767},
                                           {"@DEC(\"FFFFFFFF\")", 4294967295.0},
                                           {"@DEC(@HEX(-2))", 65534}};
  for (const auto& c : numbers) EXPECT_EQ(eval(c.formula).number, c.want) << c.formula;
  for (const char* f : {"@HEX(65536)", "@DEC(\"123456789\")", "@DEC(\"XYZ\")", "@DEC(\"\")",
                        "@DEC(\"$\")", "@DEC(\"-1\")", "@DEC(\"F F\")"})
    EXPECT_TRUE(eval(f).error) << f;
  EXPECT_EQ(eval("@DMS(1E300)").text.size(), 240u);
}

TEST_F(TextSystemTest, FileInfo) {
  TempDir dir;
  host.directory = dir.path();
  { std::ofstream(dir.file("data.txt")) << "12345"; }
  std::filesystem::create_directory(dir.file("sub"));
  EXPECT_EQ(eval("@FILEINFO(1,\"data.txt\")").number, 5);
  EXPECT_EQ(eval("@FILEINFO(1,\"" + dir.file("DATA.TXT") + "\")").number, 5);
  EXPECT_EQ(eval("@FILEINFO(2,\"DATA.TXT\")").number, 1);
  EXPECT_EQ(eval("@FILEINFO(2,\"missing.txt\")").number, 0);
  EXPECT_EQ(eval("@FILEINFO(2,\"sub\")").number, 0);
  EXPECT_EQ(eval("@FILEINFO(3,\"data.txt\")").number, 0x20);
  EXPECT_EQ(eval("@FILEINFO(3,\"sub\")").number, 0x10);
  std::filesystem::permissions(dir.file("data.txt"), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::group_read);
  EXPECT_EQ(eval("@FILEINFO(3,\"data.txt\")").number, 0x21);
  session.lastFileMessage = "Unable to Open File";
  EXPECT_EQ(eval("@FILEINFO(4,\"\")").text, "Unable to Open File");
  for (const char* f :
       {"@FILEINFO(1,\"missing.txt\")", "@FILEINFO(3,\"missing.txt\")", "@FILEINFO(1,\"sub\")",
        "@FILEINFO(0,\"data.txt\")", "@FILEINFO(5,\"data.txt\")"})
    EXPECT_TRUE(eval(f).error) << f;
}

}  // namespace
}  // namespace tw
