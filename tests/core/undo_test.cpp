#include "core/undo.h"
#include "core/formula_code.h"
#include "test_support.h"

namespace tw::test {
namespace {

using Undo = SheetTest;

TEST_F(Undo, RestoresCellsFormulasAttributesAndSizes) {
  enter("A1", "10");
  enter("A2", "2.5");
  enter("A3", "^centre");
  enter("B1", "+A1*A2");
  enter("B2", "@SUM(A1..A2)+$A$1");
  enter("B3", "+A3&\"!\"");
  enter("C1", "+1/0");
  Cell* a1 = cell("A1");
  a1->format = 0x22;
  a1->colour = 0x0300FF00;
  a1->font = 2;
  a1->size = 14;
  a1->style = 0x13;
  a1->borders = 0x9A;
  ws.columnWidth[3] = 120;
  ws.rowHeight[7] = 40;

  TakeUndoSnapshot(ws);
  ASSERT_TRUE(ws.undo && !ws.undo->empty());

  // A command changes everything in bulk.
  enter("A1", "99");
  enter("B1", "'gone");
  enter("D5", "+B2*2");
  cell("A1")->format = 0x71;
  ws.columnWidth[3] = kDefaultSize;
  ws.rowHeight[7] = kDefaultSize;

  ASSERT_TRUE(ws.undo->restore(ws));
  EXPECT_TRUE(ws.undo->empty());
  EXPECT_EQ(number("A1"), 10);
  EXPECT_EQ(input("B1"), "+A1*A2");
  EXPECT_EQ(number("B1"), 25);
  EXPECT_EQ(input("B2"), "@SUM(A1..A2)+$A$1");
  EXPECT_EQ(number("B2"), 22.5);
  EXPECT_EQ(text("B3"), "centre!");
  EXPECT_EQ(input("A3"), "^centre");
  EXPECT_TRUE(isErr("C1"));
  EXPECT_EQ(cell("D5"), nullptr);
  a1 = cell("A1");
  EXPECT_EQ(a1->format, 0x22);
  EXPECT_EQ(a1->colour, 0x0300FF00u);
  EXPECT_EQ(a1->font, 2);
  EXPECT_EQ(a1->size, 14);
  EXPECT_EQ(a1->style, 0x13);
  EXPECT_EQ(a1->borders, 0x9A);
  EXPECT_EQ(ws.columnWidth[3], 120);
  EXPECT_EQ(ws.rowHeight[7], 40);
  // The restored formulas are linked again.
  enter("A2", "3");
  EXPECT_EQ(number("B1"), 30);
  EXPECT_EQ(number("B2"), 23);
}

TEST_F(Undo, DestroyedReferencesStayDestroyed) {
  enter("A1", "1");
  enter("B1", "+A1+1");
  // Make B1's reference destroyed, as deleting A1's record would.
  Cell* b1 = cell("B1");
  writeWord(b1->content + 3, 0);
  TakeUndoSnapshot(ws);
  ws.undo->restore(ws);
  EXPECT_EQ(input("B1"), "+ERR+1");
  EXPECT_TRUE(isErr("B1"));
}

TEST_F(Undo, OffWhenTheWorksheetSaysSo) {
  ws.settings.undoEnabled = false;
  enter("A1", "1");
  TakeUndoSnapshot(ws);
  EXPECT_TRUE(!ws.undo || ws.undo->empty());
}

}  // namespace
}  // namespace tw::test
