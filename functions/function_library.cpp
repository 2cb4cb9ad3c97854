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
  // Functions whose values a second recalculation can change: the clock and
  // chance, the cursor and the program's state, other files, formulas given
  // as text, and cells read by criteria or by address at run time.
  for (const char* name :
       {"RAND",  "TODAY",    "CELLPT",   "@",        "LINK", "MEMAVAIL", "AUTO",  "PROTECT",
        "QVIEW", "FILEINFO", "IORESULT", "FILENAME", "PATH", "INTG",     "RECUR", "X",
        "A",     "QSUM",     "QAVG",     "QCOUNT",   "QMIN", "QMAX",     "QVAR",  "QSTD"})
    if (uint8_t opcode = table.find(name)) table.markUnsettled(opcode);
}

}  // namespace tw
