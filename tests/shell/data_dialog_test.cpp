// The data dialog's pages run their commands from the menus and the slash
// keys; the data form browses, edits and appends records.
#include <gtest/gtest.h>

#include "core/display_format.h"
#include "macros/macro_interpreter.h"
#include "shell/data_dialog.h"
#include "shell/data_form.h"
#include "test_support.h"

namespace tw::test {
namespace {

class DataDialogTest : public ProgramTest {};

TEST_F(DataDialogTest, FillFromTheSlashKeysAndSortFromTheMenu) {
  host.scripted.push_back("fillOutput=A1..A5;start=1;step=2;fillOrder=Column");
  keys("/DF");
  EXPECT_EQ(host.asked.back(), "the dialog \"Data: FILL\"");
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(number("A" + std::to_string(r)), 2 * r - 1);

  host.scripted.push_back("sortData=A1..A5;key1=A1;asc1=0");
  frame.invoke("DATADIALOG", "1");
  EXPECT_EQ(host.asked.back(), "the dialog \"Data: SORT\"");
  EXPECT_EQ(number("A1"), 9);
  EXPECT_EQ(number("A5"), 1);
  // The sort page shows what the worksheet remembers.
  DataDialogMemory memory;
  DataDialogModel again(ws, memory, DataDialogModel::kSort, kEmptyRange);
  EXPECT_EQ(again.field("sortData"), "A1..A5");
  EXPECT_EQ(again.field("asc1"), "0");
}

TEST_F(DataDialogTest, FieldsPromptsAndNumbers) {
  DataDialogMemory memory;
  DataDialogModel m(ws, memory, DataDialogModel::kSort, CellRange::of(1, 1, 4, 2));
  EXPECT_EQ(m.caption(), "Data: SORT");
  EXPECT_EQ(m.sortData, "B2..C5") << "the first opening takes the selection";
  EXPECT_EQ(m.pointPrompt("key1"), "SORT:Prime Range");
  EXPECT_EQ(m.pointPrompt("sortData"), "SORT:Data Range");
  DataDialogModel later(ws, memory, DataDialogModel::kFill, CellRange::of(0, 0, 0, 0));
  EXPECT_EQ(later.fillOutput, "") << "only the first";
  EXPECT_EQ(later.fillStart, "0");
  EXPECT_EQ(later.goalTolerance, "0.000001");
  // Number fields are evaluated when left.
  EXPECT_TRUE(later.setField("start", "2*3+0.5"));
  EXPECT_EQ(later.fillStart, "6.5");
  EXPECT_FALSE(later.setField("step", "\"x\""));
  EXPECT_EQ(later.fillStep, "1");
  // A range that does not read as one keeps the dialog open.
  later.page = DataDialogModel::kQuery;
  later.queryInput = "A1..";
  std::string message;
  EXPECT_FALSE(later.check(message));
  EXPECT_NE(message.find("Input"), std::string::npos);
  later.resetQuery();
  EXPECT_TRUE(later.check(message));
  // The goal page hands the tolerance before the desired value.
  later.page = DataDialogModel::kGoal;
  later.goalInput = "A1";
  later.goalOutput = "B1";
  later.goalDesire = "2";
  std::string keyword;
  Args args;
  ASSERT_TRUE(later.command(keyword, args, message));
  EXPECT_EQ(keyword, "DATAGOAL");
  ASSERT_EQ(args.size(), 4u);
  EXPECT_EQ(args[2].number, 0.000001);
  EXPECT_EQ(args[3].number, 2);
  // A sort without its first key runs nothing.
  later.page = DataDialogModel::kSort;
  later.sortKeys[0].clear();
  EXPECT_FALSE(later.command(keyword, args, message));
}

TEST_F(DataDialogTest, TermGridItemsReadBack) {
  TermMasks g{};
  g[0] = 1;      // x1's constant
  g[1] = 1 | 2;  // x for x1 and x2
  g[8] = 4;      // e^x3
  EXPECT_EQ(termGridText(g), "A01,B1,C8");
  EXPECT_EQ(ParseTermItems(termGridText(g)), g);
  EXPECT_EQ(termGridText(TermMasks{}), "");
}

TEST_F(DataDialogTest, TableAndQueryPagesRun) {
  enter("C1", "+A1*3");
  enter("B2", "1");
  enter("B3", "2");
  host.scripted.push_back("input1=A1;tableOutput=B1..C3");
  frame.invoke("DATADIALOG", "8");
  EXPECT_EQ(number("C3"), 6);
  enter("E1", "N");
  enter("E2", "'x");
  enter("E3", "'y");
  enter("G1", "N");
  enter("G2", "'y");
  enter("I1", "N");
  host.scripted.push_back("queryInput=E1..E3;criteria=G1..G2;queryOutput=I1");
  frame.invoke("DATADIALOG", "2");
  EXPECT_EQ(text("I2"), "y");
}

// The what-if tables as the menus ask for them: input cells, then the table.
TEST_F(DataDialogTest, TablePromptSequences) {
  enter("C1", "+A1*2");
  enter("B2", "1");
  enter("B3", "2");
  keys("/D1A1~B1..C3~");
  EXPECT_EQ(number("C3"), 4);
  enter("E1", "+A1*A2");
  enter("E2", "2");
  enter("F1", "10");
  keys("/D2A1~A2~E1..F2~");
  EXPECT_EQ(number("F2"), 20);
  EXPECT_EQ(ws.settings.whatIfKind, 2);
}

class DataFormTest : public ProgramTest {
 public:
  DataFormTest() {
    enter("A1", "NAME");
    enter("B1", "PRICE");
    enter("C1", "NOTE");
    enter("D1", "SECRET");
    enter("A2", "'apple");
    enter("B2", "1234");
    cell("B2")->format = 0x80 | 0x02;  // currency, two places: "$1,234.00"
    enter("A3", "'pear");
    enter("B3", "+B2*2");
    enter("C3", "'ripe");
    cell("C1")->format &= 0x7F;  // an unprotected header is no field
    cell("D1")->format = 0x80 | kFormatHidden;
  }
};

TEST_F(DataFormTest, FieldsRecordsAndChangedBoxesOnly) {
  DataFormModel m(ws, CellRange::of(0, 0, 0, 3));
  ASSERT_EQ(m.fields().size(), 2u);
  EXPECT_EQ(m.fields()[0].name, "NAME");
  EXPECT_EQ(m.fields()[1].name, "PRICE");
  EXPECT_EQ(m.count(), 2);
  EXPECT_EQ(m.recordText(), "Record:1 of 2");
  EXPECT_EQ(m.fields()[0].text, "apple");
  EXPECT_EQ(m.fields()[1].text, "1234") << "the input text, not the formatted one";
  m.edit(0, "apples");
  EXPECT_TRUE(m.changed());
  m.next();
  EXPECT_EQ(text("A2"), "apples");
  EXPECT_EQ(cell("B2")->type(), CellType::Integer) << "an untouched box is not written back";
  EXPECT_EQ(m.recordText(), "Record:2 of 2");
  EXPECT_EQ(m.fields()[1].text, "+B2*2");
  m.prev();
  m.prev();
  EXPECT_EQ(m.record(), 1);
  m.bottom();
  EXPECT_EQ(m.record(), 2);
  m.top();
  EXPECT_EQ(m.record(), 1);
}

TEST_F(DataFormTest, AppendingCloningAndAdding) {
  DataFormModel m(ws, CellRange::of(0, 0, 3, 3));
  m.bottom();
  m.next();  // past the last: a new, empty record
  EXPECT_EQ(m.recordText(), "Record:3 of 3");
  EXPECT_EQ(m.fields()[0].text, "");
  m.edit(0, "plum");
  m.edit(1, "7");
  m.clone = true;
  m.next();  // written back, then a copy of it
  EXPECT_EQ(text("A4"), "plum");
  EXPECT_EQ(number("B4"), 7);
  EXPECT_EQ(text("A5"), "plum");
  EXPECT_EQ(m.recordText(), "Record:4 of 4");
  m.edit(0, "fig");
  m.add();
  EXPECT_EQ(text("A6"), "fig");
  EXPECT_EQ(number("B6"), 7);
  EXPECT_EQ(m.count(), 5);
  // Emptied boxes are written back (the record is erased), and a new
  // record with nothing in it beeps and stays.
  DataFormModel empty(ws, CellRange::of(0, 0, 0, 1));
  int beeps = host.beeps;
  empty.bottom();
  empty.edit(0, "");
  empty.edit(1, "");
  empty.next();
  EXPECT_EQ(host.beeps, beeps + 1);
  EXPECT_EQ(cell("A6")->type(), CellType::Blank);
  EXPECT_EQ(empty.count(), 5);
}

TEST_F(DataFormTest, TheKeywordRunsTheFormWithAnswers) {
  host.scripted.push_back("press=Next;PRICE=99;press=Update");
  program.macros.RunMacroText("{DATAFORM A1..D1}");
  EXPECT_EQ(host.asked.back(), "the dialog \"Data Form\"");
  EXPECT_EQ(number("B3"), 99);
  EXPECT_EQ(text("A3"), "pear");
}

}  // namespace
}  // namespace tw::test
