#include "functions/text_date_functions.h"

#include "core/evaluator.h"

namespace tw {

void installTextDateFunctions(Evaluator&) {}

}  // namespace tw
