#include <clocale>
#include <cmath>

#include "core/number_text.h"
#include "test_support.h"

namespace tw::test {
namespace {

using Entry = SheetTest;

TEST_F(Entry, ClassifiesNumbersLabelsAndFormulas) {
  struct {
    const char* text;
    CellType type;
    const char* input;
  } cases[] = {
      {"12", CellType::Integer, "12"},
      {"12.5", CellType::Real, "12.5"},
      {"40000", CellType::Real, "40000"},
      {"-32766", CellType::Integer, "-32766"},
      {"-32767", CellType::Real, "-32767"},
      {"32766", CellType::Integer, "32766"},
      {".5", CellType::Real, "0.5"},
      {"-.5", CellType::Real, "-0.5"},
      {"5.", CellType::Integer, "5"},
      {"+5", CellType::Integer, "5"},
      {"1e3", CellType::Integer, "1000"},
      {"1+2", CellType::NumberFormula, "+1+2"},
      {"+A1", CellType::StringFormula, "+A1"},  // a blank cell reads as an empty string
      {"-B2", CellType::NumberFormula, "-B2"},
      {"abc", CellType::Label, "'abc"},
      {"^abc", CellType::Label, "^abc"},
      {"\"right", CellType::Label, "\"right"},
      {"$100", CellType::Label, "'$100"},
      {"12abc", CellType::Label, "'12abc"},  // does not compile: stays on the input line
      {"@SUM(1,2)", CellType::NumberFormula, "@SUM(1,2)"},
      {"(1+2)*3", CellType::NumberFormula, "(1+2)*3"},
  };
  int row = 0;
  for (const auto& c : cases) {
    std::string addr = "C" + std::to_string(++row);
    EntryResult r = enter(addr, c.text);
    if (std::string(c.text) == "12abc") {
      EXPECT_EQ(r, EntryResult::SyntaxError);
      continue;
    }
    ASSERT_NE(cell(addr), nullptr) << c.text;
    EXPECT_EQ(cell(addr)->type(), c.type) << c.text;
    EXPECT_EQ(input(addr), c.input) << c.text;
  }
  EXPECT_EQ(number("C1"), 12);
  EXPECT_EQ(number("C12"), 3);
}

TEST_F(Entry, LabelsAreCutAndTakeTheDefaultPrefix) {
  ws.settings.labelPrefix = '^';
  enter("A1", "centred");
  EXPECT_EQ(input("A1"), "^centred");
  enter("A2", std::string(300, 'x'));
  EXPECT_EQ(input("A2").size(), 240u);
  // A formula over 240 characters is refused rather than cut.
  std::string longFormula = "1";
  while (longFormula.size() < 245) longFormula += "+1";
  EXPECT_EQ(enter("A3", longFormula), EntryResult::SyntaxError);
  EXPECT_EQ(cell("A3"), nullptr);
}

TEST_F(Entry, AFormulaThatDoesNotCompileLeavesTheCellAsItWas) {
  enter("A1", "2");
  enter("B1", "+A1*10");
  enter("C1", "+B1+1");
  EXPECT_EQ(number("C1"), 21);
  auto [row, col] = at("B1");
  EXPECT_EQ(EnterCell(ws, "+A1*", row, col), EntryResult::SyntaxError);
  EXPECT_TRUE(session.error().raised);  // the input line keeps the text in red
  EXPECT_TRUE(host.errors.empty());     // and no box is shown
  session.error().clear();
  EXPECT_EQ(input("B1"), "+A1*10");
  enter("A1", "3");
  EXPECT_EQ(number("C1"), 31);
}

TEST_F(Entry, NumbersReadBackUnchangedWhenEdited) {
  const double values[] = {123456789012.0, 0.1, 1.0 / 3, 2.5e-7, 1e20, -9.87654321e-300, 4e15 + 1};
  for (double v : values) {
    auto [row, col] = at("D1");
    ASSERT_TRUE(EnterNumber(ws, row, col, v));
    std::string text = input("D1");
    enter("D1", text);
    EXPECT_EQ(number("D1"), v) << text;
  }
  EXPECT_FALSE(EnterNumber(ws, 0, 0, std::nan("")));
  EXPECT_FALSE(EnterNumber(ws, 0, 0, INFINITY));
}

TEST_F(Entry, DecimalSeparatorFromTheSettingsWhateverTheLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) std::setlocale(LC_NUMERIC, "C.UTF-8");
  enter("A1", "1.5");
  EXPECT_EQ(cell("A1")->type(), CellType::Real);
  EXPECT_EQ(number("A1"), 1.5);
  session.settings().decimalSeparator = ',';
  enter("A2", "2,25");
  EXPECT_EQ(number("A2"), 2.25);
  EXPECT_EQ(input("A2"), "2,25");
  EXPECT_EQ(parseNumberText("2.25", ','), std::nullopt);
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST_F(Entry, DatesAndTimesUnderDateFormats) {
  auto format = [&](const std::string& addr, uint8_t f) {
    auto [row, col] = at(addr);
    ws.cell(ws.GetOrCreateCell(row, col)).format = f;
  };
  format("A1", kFormatD4);
  enter("A1", "12/25/98");
  EXPECT_EQ(cell("A1")->type(), CellType::Real);
  EXPECT_EQ(number("A1"), 36154);  // 25 December 1998
  format("A2", kFormatD5);
  session.settings().usDates = true;  // the cell's format decides the order
  enter("A2", "25/12/1998");
  EXPECT_EQ(number("A2"), 36154);
  format("A3", kFormatD4);
  enter("A3", "+12/25");
  EXPECT_EQ(cell("A3")->type(), CellType::NumberFormula);
  EXPECT_DOUBLE_EQ(number("A3"), 0.48);
  format("A4", kFormatD4);
  enter("A4", "n/a");
  EXPECT_EQ(cell("A4")->type(), CellType::Label);
  format("A5", kFormatT3);
  enter("A5", "18:30");
  EXPECT_DOUBLE_EQ(number("A5"), 18.5 / 24);
  format("A6", kFormatT4);
  enter("A6", "1:30 pm");
  EXPECT_DOUBLE_EQ(number("A6"), 13.5 / 24);
  format("A7", kFormatLabel);
  enter("A7", "123");
  EXPECT_EQ(cell("A7")->type(), CellType::Label);
  EXPECT_EQ(input("A7"), "'123");
}

TEST_F(Entry, Protection) {
  enter("A1", "1");
  cell("A1")->format &= ~kFormatProtected;
  enter("B1", "2");
  ws.settings.protection = true;
  EXPECT_EQ(enter("A1", "5"), EntryResult::Stored);
  EXPECT_EQ(number("A1"), 5);
  EXPECT_EQ(enter("B1", "6"), EntryResult::Refused);
  EXPECT_EQ(enter("C1", "7"), EntryResult::Refused);
  ASSERT_EQ(host.errors.size(), 2u);
  EXPECT_EQ(host.errors[0], "Protected Cell");
  EXPECT_EQ(number("B1"), 2);
  EXPECT_EQ(cell("C1"), nullptr);
  auto [row, col] = at("B1");
  EXPECT_FALSE(EnterNumber(ws, row, col, 9));
  EXPECT_EQ(number("B1"), 2);
  // An empty text for a missing cell does nothing, not even complain.
  ws.settings.protection = false;
  EXPECT_EQ(enter("Z9", ""), EntryResult::Nothing);
}

TEST_F(Entry, OutOfRangeAddress) {
  EXPECT_EQ(EnterCell(ws, "1", 9000, 0), EntryResult::Refused);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "Out of Range");
}

TEST_F(Entry, Descriptions) {
  enter("A1", "1.5");
  CellDescriptionText d = CellDescription(ws, 0, 0);
  EXPECT_EQ(d.description, "");
  EXPECT_EQ(d.content, "1.5");
  EXPECT_TRUE(d.editable);
  cell("A1")->format = 0x02;  // F2, unprotected
  cell("A1")->style = 1;
  ws.columnWidth[0] = 96;
  EXPECT_EQ(CellDescription(ws, 0, 0).description, " [F2,1 w12]");
  ws.settings.protection = true;
  EXPECT_EQ(CellDescription(ws, 0, 0).description, " [Un F2,1 w12]");
  cell("A1")->format = 0x80 | 0x2B;  // protected fraction
  CellDescriptionText p = CellDescription(ws, 0, 0);
  EXPECT_EQ(p.description, "Pr ");
  EXPECT_EQ(p.content, "* Protected *");
  EXPECT_FALSE(p.editable);
  EXPECT_EQ(CellDescription(ws, 5, 5).content, "* Protected *");
  cell("A1")->format = 0x2B;
  EXPECT_EQ(CellDescription(ws, 0, 0).description, " [Un Fr,1 w12]");
}

}  // namespace
}  // namespace tw::test
