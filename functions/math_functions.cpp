#include "functions/math_functions.h"

#include <chrono>
#include <cmath>
#include <random>

#include "core/evaluator.h"
#include "functions/math_kernels.h"

namespace tw {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;

double arg(Evaluator& ev, EvalState& st, int n) {
  return ev.argument(st, n).number;
}

void give(Evaluator& ev, EvalState& st, double x) {
  ev.setResult(st, x);
}
void give(Evaluator& ev, EvalState& st, MathResult r) {
  if (r.error) st.error = true;
  ev.setResult(st, r.value);
}

MathResult divide(double a, double b) {
  if (b == 0) return {1, true};
  return {a / b, false};
}

template <double (*F)(double)>
void unary(Evaluator& ev, EvalState& st) {
  give(ev, st, F(arg(ev, st, 1)));
}
template <MathResult (*F)(double)>
void unaryChecked(Evaluator& ev, EvalState& st) {
  give(ev, st, F(arg(ev, st, 1)));
}
template <MathResult (*F)(double, double)>
void binaryChecked(Evaluator& ev, EvalState& st) {
  give(ev, st, F(arg(ev, st, 1), arg(ev, st, 2)));
}
template <MathResult (*F)(double, double, double)>
void ternaryChecked(Evaluator& ev, EvalState& st) {
  give(ev, st, F(arg(ev, st, 1), arg(ev, st, 2), arg(ev, st, 3)));
}

// The processor's reduction gives up on arguments of 2^63 and more.
double sine(double x) {
  return std::fabs(x) >= 9.2233720368547758e18 ? 0 : std::sin(x);
}
double cosine(double x) {
  return std::fabs(x) >= 9.2233720368547758e18 ? 0 : std::cos(x);
}

MathResult squareRoot(double x) {
  return {std::sqrt(std::fabs(x)), x < 0};
}
MathResult naturalLog(double x) {
  return x <= 0 ? MathResult{1, true} : MathResult{std::log(x), false};
}
MathResult log10Rule(double x) {
  return x <= 0 ? MathResult{1, true} : MathResult{std::log(x) * 0.4342944819032518, false};
}
MathResult modulo(double x, double y) {
  if (y == 0) return {1, true};
  return {x - std::trunc(x / y) * y, false};
}
MathResult tangent(double x) {
  return divide(sine(x), cosine(x));
}
MathResult cosecant(double x) {
  return divide(1, sine(x));
}
MathResult secant(double x) {
  return divide(1, cosine(x));
}
MathResult cotangent(double x) {
  return divide(cosine(x), sine(x));
}
MathResult arcSine(double x) {
  double a = std::fabs(x);
  if (a > 1) return {1, true};
  double r = a == 1 ? kHalfPi : std::atan(a / std::sqrt(1 - x * x));
  return {x < 0 ? -r : r, false};
}
MathResult arcCosine(double x) {
  MathResult s = arcSine(x);
  return s.error ? s : MathResult{kHalfPi - s.value, false};
}
MathResult hyperbolicCos(double x) {
  MathResult a = guardedExp(x), b = guardedExp(-x);
  if (a.error || b.error) return {1, true};
  return {(a.value + b.value) / 2, false};
}
MathResult hyperbolicSin(double x) {
  MathResult a = guardedExp(x), b = guardedExp(-x);
  if (a.error || b.error) return {1, true};
  return {(a.value - b.value) / 2, false};
}
MathResult hyperbolicTan(double x) {
  MathResult s = hyperbolicSin(x), c = hyperbolicCos(x);
  if (s.error || c.error) return {1, true};
  return divide(s.value, c.value);
}
// The library's inverse hyperbolic functions give the same values as the
// logarithm forms without their cancellation for large negative arguments.
MathResult arcSinh(double x) {
  return {std::asinh(x), false};
}
MathResult arcCosh(double x) {
  return x < 1 ? MathResult{1, true} : MathResult{std::acosh(x), false};
}
MathResult arcTanh(double x) {
  return std::fabs(x) >= 1 ? MathResult{1, true} : MathResult{std::atanh(x), false};
}
MathResult rgb(double r, double g, double b) {
  return {r + 256 * g + 65536 * b, false};
}

double truncate(double x) {
  return std::trunc(x);
}
double absolute(double x) {
  return std::fabs(x);
}
double arcTangent(double x) {
  return std::atan(x);
}
double exponential(double x) {
  return std::exp(x);
}

void pushConstant(Evaluator& ev, EvalState& st, double x) {
  ev.setResult(st, x);
}

void fnNA(Evaluator& ev, EvalState& st) {
  pushConstant(ev, st, -1);
}
void fnERR(Evaluator& ev, EvalState& st) {
  pushConstant(ev, st, -1);
  st.top().error = true;
}
void fnTRUE(Evaluator& ev, EvalState& st) {
  pushConstant(ev, st, 1);
}
void fnFALSE(Evaluator& ev, EvalState& st) {
  pushConstant(ev, st, 0);
}
void fnPI(Evaluator& ev, EvalState& st) {
  pushConstant(ev, st, kPi);
}
void fnRAND(Evaluator& ev, EvalState& st) {
  static std::mt19937_64 generator(
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  pushConstant(ev, st, std::uniform_real_distribution<double>(0.0, 1.0)(generator));
}

void fnISNA(Evaluator& ev, EvalState& st) {
  double x = arg(ev, st, 1);
  ev.setResult(st, x == -1 ? 1 : 0);
  st.top().error = false;
}
void fnISERR(Evaluator& ev, EvalState& st) {
  bool e = ev.argument(st, 1).error;
  ev.setResult(st, e ? 1 : 0);
  st.top().error = false;
}

// The chosen value becomes the result with its type and text; the other
// branch's error is not looked at.
void choose(EvalState& st, const Slot& selector, const Slot& chosen) {
  bool error = selector.error || chosen.error;
  Slot copy = chosen;
  st.sp -= st.argCount - 1;
  Slot& out = st.top();
  out = copy;
  out.rangeAt = 0;
  out.error = error;
}

void fnIF(Evaluator& ev, EvalState& st) {
  Slot c = ev.argument(st, 1);
  Slot chosen = c.number == 1 ? ev.argument(st, 2) : ev.argument(st, 3);
  choose(st, c, chosen);
}

void fnCASE(Evaluator& ev, EvalState& st) {
  Slot selector = ev.argument(st, 1);
  int k = st.argCount - 1;
  int n = integerRule(selector.number);
  if (n < 1 || n > k || n > 255) {
    st.error = true;
    ev.setResult(st, -1);
    return;
  }
  choose(st, selector, ev.argument(st, 1 + n));
}

void fnFACT(Evaluator& ev, EvalState& st) {
  give(ev, st, factorialFact(arg(ev, st, 1)));
}

}  // namespace

void installMathFunctions(Evaluator& ev) {
  auto& h = ev.handlers();
  h[0x1F] = fnNA;
  h[0x20] = fnERR;
  h[0x21] = unary<absolute>;
  h[0x22] = unary<truncate>;
  h[0x23] = unaryChecked<squareRoot>;
  h[0x24] = unaryChecked<log10Rule>;
  h[0x25] = unaryChecked<naturalLog>;
  h[0x26] = fnPI;
  h[0x27] = unary<sine>;
  h[0x28] = unary<cosine>;
  h[0x29] = unaryChecked<tangent>;
  h[0x2B] = unary<arcTangent>;
  h[0x2C] = unaryChecked<arcSine>;
  h[0x2D] = unaryChecked<arcCosine>;
  h[0x2E] = unary<exponential>;
  h[0x2F] = binaryChecked<modulo>;
  h[0x30] = fnCASE;
  h[0x31] = fnISNA;
  h[0x32] = fnISERR;
  h[0x33] = fnFALSE;
  h[0x34] = fnTRUE;
  h[0x35] = fnRAND;
  h[0x3B] = fnIF;
  h[0x3F] = binaryChecked<roundTo>;
  h[0x7A] = fnFACT;
  h[0x7E] = unaryChecked<cosecant>;
  h[0x7F] = unaryChecked<cotangent>;
  h[0x80] = unaryChecked<secant>;
  h[0x81] = unaryChecked<hyperbolicCos>;
  h[0x82] = unaryChecked<hyperbolicSin>;
  h[0x83] = unaryChecked<hyperbolicTan>;
  h[0x84] = unaryChecked<arcSinh>;
  h[0x85] = unaryChecked<arcCosh>;
  h[0x86] = unaryChecked<arcTanh>;
  h[0x87] = binaryChecked<comb>;
  h[0x88] = binaryChecked<perm>;
  h[0x89] = unaryChecked<gammaLn>;
  h[0x9D] = unaryChecked<erf>;
  h[0x9E] = binaryChecked<besselJ>;
  h[0x9F] = binaryChecked<besselY>;
  h[0xA0] = binaryChecked<besselI>;
  h[0xA1] = binaryChecked<besselK>;
  h[0xA6] = binaryChecked<beta>;
  h[0xA7] = ternaryChecked<betaI>;
  h[0xA8] = binaryChecked<gammaP>;
  h[0xA9] = binaryChecked<gammaQ>;
  h[0xAE] = binaryChecked<logB>;
  h[0xAF] = binaryChecked<ceilTo>;
  h[0xB0] = binaryChecked<floorTo>;
  h[0xB1] = ternaryChecked<gauss>;
  h[0xB2] = ternaryChecked<poisson>;
  h[0xB9] = ternaryChecked<rgb>;

  auto& sees = ev.seesErrors();
  sees[0x31] = sees[0x32] = sees[0x3B] = sees[0x30] = true;
}

}  // namespace tw
