#include "functions/financial_functions.h"

#include <cmath>

#include "core/cell.h"
#include "core/evaluator.h"
#include "core/formula_code.h"
#include "functions/handler_support.h"
#include "functions/range_args.h"

namespace tw {

namespace {

constexpr MathResult kFail = kMathFail;

MathResult value(double x) {
  return finiteResult(x);
}

MathResult divide(double a, double b) {
  return b == 0 ? kFail : value(a / b);
}

MathResult naturalLog(double x) {
  return x > 0 ? value(std::log(x)) : kFail;
}

// (1 + r)^n by the power rule.
MathResult growth(double rate, double periods) {
  return powerRule(1 + rate, periods);
}

}  // namespace

namespace {

// (1+r)^n and the annuity factor ((1+r)^n - 1)/r that payment and present
// value share.
struct Annuity {
  MathResult growth;
  MathResult factor;
};
Annuity annuity(double rate, double periods) {
  Annuity a{growth(rate, periods), kFail};
  if (!a.growth.error) a.factor = divide(a.growth.value - 1, rate);
  return a;
}

}  // namespace

MathResult payment(double principal, double rate, double periods) {
  Annuity a = annuity(rate, periods);
  if (a.growth.error || a.factor.error) return kFail;
  return divide(principal * a.growth.value, a.factor.value);
}

MathResult presentValue(double payment, double rate, double periods) {
  Annuity a = annuity(rate, periods);
  if (a.growth.error || a.factor.error) return kFail;
  return divide(payment * a.factor.value, a.growth.value);
}

MathResult futureValue(double payment, double rate, double periods) {
  MathResult g = growth(rate, periods);
  if (g.error) return g;
  return divide(payment * (g.value - 1), rate);
}

MathResult growthRate(double future, double present, double periods) {
  MathResult ratio = divide(future, present);
  if (ratio.error) return ratio;
  MathResult exponent = divide(1, periods);
  if (exponent.error) return exponent;
  MathResult p = powerRule(ratio.value, exponent.value);
  if (p.error) return p;
  return value(p.value - 1);
}

MathResult annuityTerm(double payment, double rate, double future) {
  MathResult q = divide(future * rate, payment);
  if (q.error) return q;
  MathResult top = naturalLog(q.value + 1);
  MathResult bottom = naturalLog(1 + rate);
  if (top.error || bottom.error) return kFail;
  return divide(top.value, bottom.value);
}

MathResult compoundTerm(double rate, double future, double present) {
  MathResult ratio = divide(future, present);
  if (ratio.error) return ratio;
  MathResult top = naturalLog(ratio.value);
  MathResult bottom = naturalLog(1 + rate);
  if (top.error || bottom.error) return kFail;
  return divide(top.value, bottom.value);
}

MathResult straightLine(double cost, double salvage, double life) {
  return divide(cost - salvage, life);
}

MathResult sumOfYears(double cost, double salvage, double life, double k) {
  return divide((cost - salvage) * (life - k + 1) * 2, life * (life + 1));
}

MathResult doubleDeclining(double cost, double salvage, double life, double k) {
  int periods = integerRule(k);
  if (periods > life) return kFail;
  double book = cost;
  double d = 0;
  // Bounded by the integer rule: at most 32767 periods.
  for (int i = 1; i <= periods; ++i) {
    MathResult rate = divide(2 * book, life);
    if (rate.error) return rate;
    d = rate.value;
    if (book - d < salvage) d = book - salvage;
    book -= d;
  }
  return value(d);
}

namespace {

// The balance after k of n payments of a loan, with the payment itself.
struct Amortisation {
  double payment = 0;
  double rate = 0;
  double periods = 0;
  bool error = true;
  MathResult balanceAfter(double k) const {
    MathResult g = growth(rate, k - periods);
    if (g.error) return g;
    return divide(payment * (1 - g.value), rate);
  }
};

Amortisation amortise(double principal, double rate, double periods) {
  Amortisation a;
  if (!(rate > 0)) return a;
  MathResult p = payment(principal, rate, periods);
  if (p.error) return a;
  a.payment = p.value;
  a.rate = rate;
  a.periods = periods;
  a.error = false;
  return a;
}

}  // namespace

MathResult loanBalance(double principal, double rate, double periods, double k) {
  Amortisation a = amortise(principal, rate, periods);
  if (a.error) return kFail;
  return a.balanceAfter(integerRule(k));
}

MathResult loanInterest(double principal, double rate, double periods, double k) {
  Amortisation a = amortise(principal, rate, periods);
  if (a.error) return kFail;
  int n = integerRule(k);
  MathResult balance = a.balanceAfter(n);
  if (balance.error) return balance;
  return value(n * a.payment + balance.value - principal);
}

MathResult loanPrincipal(double principal, double rate, double periods, double k) {
  Amortisation a = amortise(principal, rate, periods);
  if (a.error) return kFail;
  MathResult before = a.balanceAfter(integerRule(k) - 1);
  if (before.error) return before;
  return value(a.payment - rate * before.value);
}

MathResult netPresentValue(double rate, const std::vector<double>& flows) {
  MathResult v = divide(1, 1 + rate);
  if (v.error) return v;
  double factor = v.value;
  double sum = 0;
  for (double f : flows) {
    sum += f * factor;
    factor *= v.value;
  }
  return value(sum);
}

MathResult internalRate(double guess, const std::vector<double>& flows) {
  constexpr int kRounds = 26;
  // The secant step is a tenth of the rate, which is nothing at 0.
  if (guess == 0) return kFail;
  double x = guess;
  for (int round = 0; round < kRounds; ++round) {
    MathResult a = netPresentValue(x, flows);
    if (a.error) return a;
    if (std::fabs(a.value) < 0.00001) return value(x);
    double h = 0.1 * x;
    MathResult c = netPresentValue(x + h, flows);
    if (c.error) return c;
    MathResult step = divide(a.value * h, c.value - a.value);
    if (step.error) return step;
    x -= step.value;
    if (!std::isfinite(x)) return kFail;
  }
  return kFail;
}

namespace {

// The cash flows of argument n: the existing cells of its range row by row,
// each its number or 0 (a cell without a number still takes up a period),
// or the argument's own value when it was not written as a range. False when
// a cell is ERR or the range cannot be found.
bool collectFlows(Evaluator& ev, EvalState& st, int n, std::vector<double>& flows) {
  RangeRef range;
  if (!rangeArgument(ev, st, n, range)) {
    const Slot& s = ev.argument(st, n);
    if (s.rangeAt != 0 || s.error) return false;
    flows.push_back(s.type == SlotType::Number ? s.number : 0);
    return true;
  }
  bool ok = true;
  forEachStoredCell(*range.ws, range.r, [&](CellHandle, const Cell& c) {
    double x = 0;
    CellNumeric kind = numericValue(c, x);
    if (kind == CellNumeric::Error) ok = false;
    flows.push_back(kind == CellNumeric::Value ? x : 0);
    return ok;
  });
  return ok;
}

void give(Evaluator& ev, EvalState& st, MathResult r) {
  giveResult(ev, st, r);
}
double arg(Evaluator& ev, EvalState& st, int n) {
  return argumentNumber(ev, st, n);
}

template <MathResult (*F)(double, double, double)>
void three(Evaluator& ev, EvalState& st) {
  give(ev, st, F(arg(ev, st, 1), arg(ev, st, 2), arg(ev, st, 3)));
}

template <MathResult (*F)(double, double, double, double)>
void four(Evaluator& ev, EvalState& st) {
  give(ev, st, F(arg(ev, st, 1), arg(ev, st, 2), arg(ev, st, 3), arg(ev, st, 4)));
}

template <MathResult (*F)(double, const std::vector<double>&)>
void overRange(Evaluator& ev, EvalState& st) {
  std::vector<double> flows;
  if (!collectFlows(ev, st, 2, flows)) {
    give(ev, st, kFail);
    return;
  }
  give(ev, st, F(arg(ev, st, 1), flows));
}

}  // namespace

void installFinancialFunctions(FunctionTable& t) {
  t.define(0x38, "PMT", cls::kArgs3, three<payment>);
  t.define(0x39, "PV", cls::kArgs3, three<presentValue>);
  t.define(0x3A, "FV", cls::kArgs3, three<futureValue>);
  t.define(0x56, "NPV", cls::kArgs2, overRange<netPresentValue>);
  t.define(0x59, "IRR", cls::kArgs2, overRange<internalRate>);
  t.define(0x74, "RATE", cls::kArgs3, three<growthRate>);
  t.define(0x75, "TERM", cls::kArgs3, three<annuityTerm>);
  t.define(0x76, "CTERM", cls::kArgs3, three<compoundTerm>);
  t.define(0x77, "SLN", cls::kArgs3, three<straightLine>);
  t.define(0x78, "SYD", cls::kArgs4, four<sumOfYears>);
  t.define(0x79, "DDB", cls::kArgs4, four<doubleDeclining>);
  t.define(0x99, "BAL", cls::kArgs4, four<loanBalance>);
  t.define(0x9A, "ACI", cls::kArgs4, four<loanInterest>);
  t.define(0x9B, "PMTP", cls::kArgs4, four<loanPrincipal>);
}

}  // namespace tw
