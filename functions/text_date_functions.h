// Handlers of the string, date and time, financial, link and system functions.
#pragma once

namespace tw {

class Evaluator;

void installTextDateFunctions(Evaluator& ev);

}  // namespace tw
