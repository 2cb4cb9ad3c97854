// Handlers of the constants, logical, numeric, trigonometric and special
// mathematical functions.
#pragma once

namespace tw {

class Evaluator;
class FunctionTable;

void installMathFunctions(FunctionTable& t);

}  // namespace tw
