// The listing's lines against the general way of reading a cell's value and
// shown text, for labels and string results of every kind.
#include "cli/dump_writer.h"

#include <algorithm>
#include <sstream>

#include "core/cell_entry.h"
#include "core/display_format.h"
#include "core/worksheet.h"
#include "test_support.h"

namespace tw::test {
namespace {

class DumpWriterTest : public SheetTest {
 protected:
  // The listing of rows 0 to rows - 1 of column A, each line checked against
  // the general way of reading a cell; the listing's text.
  std::string checkedDump(int rows, const char* const* entries) {
    std::ostringstream out;
    writeDump(ws, CellRange::of(0, 0, rows - 1, 0), out);
    std::istringstream lines(out.str());
    std::string line;
    int r = 0;
    for (; std::getline(lines, line); ++r) {
      CellHandle h = ws.FindCell(r, 0);
      EXPECT_NE(h, kNoCell) << line;
      if (h == kNoCell) break;
      std::string expected = ws.addressText(r, 0) + "\t" + cellTypeName(ws.cell(h)) + "\t" +
                             CellInputText(ws, h) + "\t" + cellValueText(ws, h) + "\t" +
                             cellDisplayText(ws, h);
      EXPECT_EQ(line, expected) << entries[r];
    }
    EXPECT_EQ(r, rows);
    return out.str();
  }
};

TEST_F(DumpWriterTest, TextCellsListAsTheyShow) {
  const char* entries[] = {"'plain",      "\"right",
                           "^centre",     "\\-",
                           "|<pic.bmp",   "|plain",
                           "'",           "'a label longer than its column",
                           "+\"str\"",    "+\"a string result longer than its column\"",
                           "+@ERR&\"\"",  "'hidden",
                           "+\"hidden\"", "+\"listed\"",
                           "42"};
  int row = 0;
  for (const char* e : entries) EnterCell(ws, e, row++, 0);
  ws.cellAt(11, 0)->format = kFormatHidden;
  ws.cellAt(12, 0)->format = kFormatHidden;
  ws.cellAt(13, 0)->format = kFormatText;
  std::string listed = checkedDump(row, entries);
  EXPECT_NE(listed.find("A8\tlabel\t'a label longer than its column\ta label longer than "
                        "its column\ta label l\n"),
            std::string::npos)
      << "the shown text is cut to the column's nine characters";
}

TEST_F(DumpWriterTest, NumbersListTheirValueAsTheGeneralFormWritesIt) {
  const char* entries[] = {
      "0", "0.1", "-2.5", "+1/3", "1E-07", "0.00001", "123456.789", "1000000", "1000001", "1E+300",
      "123456789012345678", "0.1234567890123456", "-0.000012345",
      // formulas, whose value is listed from their result
      "+0.1+0.2", "+2^60", "+1000000+1", "-1/7", "+1E-07*1", "+1E+300*10", "+0*5", "+@ERR"};
  for (char decimal : {'.', ','}) {
    SCOPED_TRACE(std::string("decimal separator ") + decimal);
    session.settings().decimalSeparator = decimal;
    session.settings().argumentSeparator = decimal == ',' ? ';' : ',';
    ws.FreeAllCells();
    int row = 0;
    for (const char* e : entries) {
      std::string typed = e;
      if (decimal == ',') std::replace(typed.begin(), typed.end(), '.', ',');
      EnterCell(ws, typed, row++, 0);
    }
    checkedDump(row, entries);
    EXPECT_EQ(ws.cellAt(1, 0)->type(), CellType::Real) << "0.1 is a real number";
  }
}

}  // namespace
}  // namespace tw::test
