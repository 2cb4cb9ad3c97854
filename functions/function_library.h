// The @function library: fills the evaluator's dispatch table.
#pragma once

namespace tw {

class Evaluator;

// Every slot first gets the handler for opcodes without a function; then
// the handlers of the library are entered.
void installFunctionLibrary(Evaluator& ev);

}  // namespace tw
