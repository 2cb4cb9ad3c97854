// The array commands: blocks of numbers in the sheet taken as matrices and
// added, subtracted, multiplied, transposed, inverted, solved as linear
// equations, reduced to their determinant, or read as a linear program and
// solved by the simplex method. Results are written as numbers (integer or
// real kind) and labels from the output range's first cell, right and down.
#pragma once

#include "commands/command.h"

namespace tw {

class CommandTable;

// The pages of the array dialog, in its order.
enum class ArrayPage {
  Add = 0,
  Subtract,
  Multiply,
  Transpose,
  Invert,
  ESolve,
  Determinant,
  Linear
};

// The page's name as captions and range prompts show it ("Add", "ESolve",
// "Determinate", ...).
const char* ArrayPageName(ArrayPage page);

// Runs one page. Add, Subtract and Multiply combine first and second; the
// other pages read first only and ignore second. Only output's first cell
// counts. Refused input (unset ranges, a linear program without its layout)
// beeps; a failed solution shows its message; either way the sheet stays as
// it was.
CommandResult ArrayCommand(CommandContext& cx, ArrayPage page, const CellRange& first,
                           const CellRange& second, const CellRange& output);

inline constexpr const char* kArraySizeMessage = "Array size>30x30";
inline constexpr const char* kArrayDeterminantZeroMessage = "Unable to Solve, Determinant=0";
inline constexpr const char* kArrayPivotMessage = "Unable to Solve, Pivot Error?";
inline constexpr const char* kArrayDeterminantDivideMessage = " Unable to Solve Determinant, /0 ";
inline constexpr const char* kLinearUnboundedMessage = "Region & Objective Function Unbounded";
inline constexpr const char* kLinearTooLargeMessage = "Can Not Solve: Elements get too Large";
inline constexpr const char* kLinearInfeasibleMessage = "Can Not Solve: No Feasible Solution";

// The largest input the invert, solve, determinant and linear pages take.
inline constexpr int kArrayMaxRows = 30;
inline constexpr int kArrayMaxColumns = 60;

// MATADD, MATSUB, MATMLT (range A, range B, range result); MATINV, MATSLV,
// MATLIN (range, range result); MATDET (range, cell result); MATTRANS (range,
// range result), the array dialog's transpose.
void addMatrixCommands(CommandTable& table);

}  // namespace tw
