// Handlers of the constants, logical, numeric, trigonometric and special
// mathematical functions.
#pragma once

namespace tw {

class Evaluator;

void installMathFunctions(Evaluator& ev);

}  // namespace tw
