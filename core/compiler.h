// The formula compiler: text typed on the input line into FormulaCode.
#pragma once

#include <string_view>

#include "core/formula_code.h"

namespace tw {

class Worksheet;

// Compiles one formula for the worksheet. Every cell the formula names is
// created (as a Blank) so that it can carry the dependency link. On failure
// the error flag is raised, no message is set and out is unspecified.
bool CompileFormula(Worksheet& ws, std::string_view text, FormulaCode& out);

}  // namespace tw
