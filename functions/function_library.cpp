#include "functions/function_library.h"

#include "core/evaluator.h"
#include "functions/math_functions.h"
#include "functions/range_functions.h"
#include "functions/text_date_functions.h"

namespace tw {

void installFunctionLibrary(Evaluator& ev) {
  for (Handler& h : ev.handlers()) h = unknownOpcode;
  ev.seesErrors().fill(false);
  installMathFunctions(ev);
  installRangeFunctions(ev);
  installTextDateFunctions(ev);
}

}  // namespace tw
