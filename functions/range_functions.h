// Handlers of the functions that take ranges or look at cells: aggregates,
// database functions, lookups, cell inspection, statistics, matrices,
// numerical functions and the calls of user-defined functions.
#pragma once

namespace tw {

class Evaluator;
class FunctionTable;

void installRangeFunctions(FunctionTable& t);

}  // namespace tw
