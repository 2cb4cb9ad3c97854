// How range functions find and read the ranges behind their arguments: the
// operand that pushed an argument is read again from the formula's code,
// and the cells are read straight from the worksheet's row lists.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/cell.h"
#include "core/cell_address.h"
#include "core/evaluator.h"
#include "core/worksheet.h"

namespace tw {

// A range of a worksheet with its corners in order.
struct RangeRef {
  Worksheet* ws = nullptr;
  CellRange r{};  // ordered
  int rows() const { return r.row2 - r.row1 + 1; }
  int columns() const { return r.col2 - r.col1 + 1; }
  long long positions() const { return static_cast<long long>(rows()) * columns(); }
};

// The range that argument n (1-based) of the function being dispatched was
// written as: a cell reference, a range (names compile to ranges) or a range
// in another worksheet file. False for any other argument, for a destroyed
// corner and for a file that cannot be found.
bool rangeArgument(Evaluator& ev, EvalState& st, int n, RangeRef& out);
// The same for the slot at stack index `index`.
bool rangeOfSlot(Evaluator& ev, EvalState& st, int index, RangeRef& out);

// The first cell of the row at or after col.
inline CellHandle firstCellFrom(Worksheet& ws, int row, int col) {
  return ws.FindCellAtOrAfter(row, col);
}

inline CellHandle cellAt(Worksheet& ws, int row, int col) {
  if (!validAddress(row, col)) return kNoCell;
  CellHandle h = firstCellFrom(ws, row, col);
  return h != kNoCell && ws.pool()[h].column == col ? h : kNoCell;
}

// Calls fn(handle, cell) for every existing cell of the range, row by row and
// in column order within a row, until fn returns false. The next cell is
// looked up after fn returns, so fn may create cells (a nested evaluation can).
template <class F>
void forEachStoredCell(Worksheet& ws, const CellRange& r, F&& fn) {
  CellPool& pool = ws.pool();
  int lastRow = std::min<int>(r.row2, kRows - 1);
  for (int row = std::max<int>(r.row1, 0); row <= lastRow; ++row) {
    for (CellHandle h = firstCellFrom(ws, row, r.col1); h != kNoCell; h = pool[h].next) {
      const Cell& c = pool[h];
      if (c.column > r.col2) break;
      if (!fn(h, c)) return;
    }
  }
}

// What a cell holds as a number for the functions of this library.
enum class CellNumeric : uint8_t { None, Value, Error };
inline CellNumeric numericValue(const Cell& c, double& x) {
  switch (classify(c)) {
    case CellClass::NumberFormula:
    case CellClass::Real:
      x = c.value.number;
      return CellNumeric::Value;
    case CellClass::Integer:
      x = c.value.integer;
      return CellNumeric::Value;
    case CellClass::Error:
      return CellNumeric::Error;
    default:
      return CellNumeric::None;
  }
}

// Every position of a range as a number (empty and non-numeric cells are 0),
// stored column by column.
struct NumberMatrix {
  int rows = 0;
  int columns = 0;
  std::vector<double> values;  // values[col * rows + row]
  double at(int row, int col) const { return values[size_t(col) * rows + row]; }
};
// False when a cell of the range holds ERR.
bool readMatrix(const RangeRef& range, NumberMatrix& out);

// The code position where each of the last `count` values on the stack
// begins, when the code is run up to (not including) the opcode at `stop`.
// False for code that cannot be followed.
bool argumentStarts(const Worksheet& ws, const uint8_t* code, size_t stop, int count,
                    std::vector<size_t>& starts);

}  // namespace tw
