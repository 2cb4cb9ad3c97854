// Handlers of the string, date and time, financial, link and system functions.
#pragma once

namespace tw {

class Evaluator;
class FunctionTable;

void installTextDateFunctions(FunctionTable& t);

}  // namespace tw
