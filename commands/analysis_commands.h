// The numeric analysis commands of the data commands: a frequency
// distribution over ascending bin bounds, the straight-line least-squares
// fit, the least-squares fit over chosen terms in up to three variables
// with the fitted formula written as text, and the goal seek that searches
// the input value making a formula reach a desired result. Results go into
// the sheet as labels and numbers; an undefined quantity is written as ERR.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "commands/command.h"

namespace tw {

class CommandTable;

// Counts the numeric cells of the data range's first column into the bins
// whose ascending upper bounds stand in the bin range's first column: each
// count in the column right of the bounds, its share of the data rows two
// columns right, and what falls above the last bound in the row below. The
// worksheet's bin type decides which end of a bin is included.
CommandResult BinCount(CommandContext& cx, const CellRange& data, const CellRange& bins);

// The line y = b + m*x through the numeric pairs of X and Y (the same
// offsets in both ranges): eleven labelled results from the output cell
// down, then "Formula:" and the line as a formula of @X.
CommandResult Regress(CommandContext& cx, const CellRange& x, const CellRange& y,
                      const CellRange& output);

// The term kinds of the multiple regression, one row of the term grid each;
// a term is variable * kTermKinds + kind.
enum TermKind : uint8_t {
  kTermConstant,
  kTermLinear,
  kTermSquare,
  kTermCube,
  kTermFourth,
  kTermFifth,
  kTermRootAbs,  // the square root of |x|
  kTermLn,       // ln x; x must be above 0
  kTermExp,
  kTermKinds
};
using TermMasks = std::array<uint8_t, kTermKinds>;
static_assert(kTermKinds == 9);

// Least squares over the ticked terms: termMasks[k] has bit v set when kind
// k is taken for variable x(v+1), the X range's column v. Writes each term's
// label and coefficient, the fitted formula, the fitted value of the first
// row and R^2.
CommandResult MultiRegress(CommandContext& cx, const CellRange& x, const CellRange& y,
                           const CellRange& output, const std::array<uint8_t, 9>& termMasks);

// Moves the input cell's value by secant steps until the output cell's value
// is within tolerance of desired, at most 25 passes. Without success the
// input holds its last estimate as "estimate+@ERR".
CommandResult GoalSeek(CommandContext& cx, const CellRange& input, const CellRange& output,
                       double desired, double tolerance);

// The term table of the DATAMULREG keyword: items separated by ","; an
// item's first character "A", "B" or "C" picks x1, x2 or x3, and each
// digit 0..8 after it ticks that kind for the variable. Anything else in
// the text is passed over.
TermMasks ParseTermItems(std::string_view text);

inline constexpr const char* kCannotRegressMessage = "Can not regress! Try another function";
inline constexpr const char* kFormulaTooLargeText = "Formula too large";
inline constexpr const char* kCalcErrorMessage = "Calc Error";
inline constexpr int kGoalSeekPasses = 25;

// DATABIN values, bins; DATAREGRESS x, y, output; DATAMULREG x, y, output,
// terms; DATAGOAL input, output, tolerance, desired.
void addAnalysisCommands(CommandTable& table);

}  // namespace tw
