// Searches in long rows, in any order of columns, while the row changes.
#include <map>
#include <random>

#include "test_support.h"

namespace tw::test {
namespace {

using RowSearch = SheetTest;

// The first stored column at or after col, as a plain map says.
int expectedAtOrAfter(const std::map<int, bool>& row, int col) {
  auto it = row.lower_bound(col);
  return it == row.end() ? -1 : it->first;
}

TEST_F(RowSearch, AgreesWithTheRowsContentsWhateverTheOrderOfSearchesAndChanges) {
  std::mt19937 random(7);
  std::map<int, bool> cells;
  const int row = 3;
  for (int col = 0; col < kColumns; col += 2) {
    ws.GetOrCreateCell(row, col);
    cells[col] = true;
  }
  for (int step = 0; step < 20000; ++step) {
    int col = static_cast<int>(random() % kColumns);
    switch (random() % 4) {
      case 0: {  // a cell made
        ASSERT_NE(ws.GetOrCreateCell(row, col), kNoCell);
        cells[col] = true;
        break;
      }
      case 1: {  // a cell removed
        CellHandle h = ws.FindCell(row, col);
        if (h != kNoCell) ws.RemoveCell(h);
        cells.erase(col);
        break;
      }
      default: {  // searches, right to left as column sums evaluated backwards go
        for (int c : {col, kColumns - 1 - col, col / 2}) {
          CellHandle prev = kNoCell;
          CellHandle h = ws.FindCellAtOrAfter(row, c, &prev);
          int want = expectedAtOrAfter(cells, c);
          ASSERT_EQ(h == kNoCell ? -1 : ws.cell(h).column, want) << "step " << step;
          if (prev != kNoCell) {
            ASSERT_EQ(ws.cell(prev).next, h);
            ASSERT_LT(ws.cell(prev).column, c);
          } else {
            ASSERT_EQ(ws.rowHeads[row], h);
          }
        }
      }
    }
  }
  // Every cell of the row is reached in order from its head.
  int seen = 0, last = -1;
  for (CellHandle h = ws.rowHeads[row]; h != kNoCell; h = ws.cell(h).next, ++seen) {
    EXPECT_GT(ws.cell(h).column, last);
    last = ws.cell(h).column;
  }
  EXPECT_EQ(seen, static_cast<int>(cells.size()));
}

// Column sums over a wide grid, entered right to left, give the same values
// whatever order the walks take.
TEST_F(RowSearch, ColumnSumsOverAWideGrid) {
  for (int r = 0; r < 50; ++r)
    for (int c = 0; c < 120; ++c) EnterCell(ws, std::to_string(r + c), r, c);
  for (int c = 119; c >= 0; --c) {
    std::string col = ColumnLetters(c);
    EnterCell(ws, "@SUM(" + col + "1.." + col + "50)", 50, c);
  }
  for (int c = 0; c < 120; ++c) EXPECT_EQ(ws.CellNumber(ws.FindCell(50, c)), 50 * c + 1225) << c;
  // Deleting the whole sheet and loading it again leaves no stale search state.
  ws.FreeAllCells();
  EXPECT_EQ(ws.FindCellAtOrAfter(50, 10), kNoCell);
  EnterCell(ws, "5", 50, 100);
  EXPECT_EQ(ws.cell(ws.FindCellAtOrAfter(50, 10)).column, 100);
}

}  // namespace
}  // namespace tw::test
