#include "functions/function_library.h"

#include "core/session.h"
#include "functions/math_functions.h"
#include "functions/range_functions.h"
#include "functions/text_date_functions.h"

namespace tw {

void installFunctionLibrary(Session& session) {
  FunctionTable& table = session.functionTable();
  installMathFunctions(table);
  installRangeFunctions(table);
  installTextDateFunctions(table);
}

}  // namespace tw
