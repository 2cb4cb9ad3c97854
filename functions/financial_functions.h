// The financial functions: annuities, growth, depreciation, amortisation and
// discounted cash flows. The kernels are pure; rates are per period, and the
// division and power rules make a zero rate in PMT, PV and FV an error.
#pragma once

#include <vector>

#include "core/numeric_rules.h"

namespace tw {

class Evaluator;
class FunctionTable;

MathResult payment(double principal, double rate, double periods);               // PMT
MathResult presentValue(double payment, double rate, double periods);            // PV
MathResult futureValue(double payment, double rate, double periods);             // FV
MathResult growthRate(double future, double present, double periods);            // RATE
MathResult annuityTerm(double payment, double rate, double future);              // TERM
MathResult compoundTerm(double rate, double future, double present);             // CTERM
MathResult straightLine(double cost, double salvage, double life);               // SLN
MathResult sumOfYears(double cost, double salvage, double life, double k);       // SYD
MathResult doubleDeclining(double cost, double salvage, double life, double k);  // DDB
// Loan of `principal` repaid in `periods` equal payments: the balance after
// k payments, the interest paid in the first k, the principal part of payment k.
MathResult loanBalance(double principal, double rate, double periods, double k);    // BAL
MathResult loanInterest(double principal, double rate, double periods, double k);   // ACI
MathResult loanPrincipal(double principal, double rate, double periods, double k);  // PMTP
// Cash flows at the ends of periods 1, 2, ...; a period without a number
// holds 0.
MathResult netPresentValue(double rate, const std::vector<double>& flows);
MathResult internalRate(double guess, const std::vector<double>& flows);

void installFinancialFunctions(FunctionTable& t);

}  // namespace tw
