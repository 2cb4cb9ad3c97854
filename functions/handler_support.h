// Argument and result helpers shared by the string, date, financial and
// system function handlers.
#pragma once

#include <string>

#include "core/evaluator.h"
#include "core/numeric_rules.h"

namespace tw {

// Argument n (1-based) as text: a string's own characters; a number as the
// general format writes it, so @LENGTH(123) is 3 as 123&"" would suggest.
std::string argumentText(Evaluator& ev, EvalState& st, int n);

inline double argumentNumber(Evaluator& ev, EvalState& st, int n) {
  return ev.argument(st, n).number;
}

// Argument n through the integer rule.
inline int argumentInteger(Evaluator& ev, EvalState& st, int n) {
  return integerRule(ev.argument(st, n).number);
}

// Stores a computed result; an error, or a value that is not a finite
// double, makes the formula ERR.
void giveResult(Evaluator& ev, EvalState& st, MathResult r);

}  // namespace tw
