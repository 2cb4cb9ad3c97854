#include "functions/range_functions.h"

#include "core/evaluator.h"

namespace tw {

void installRangeFunctions(Evaluator&) {}

}  // namespace tw
