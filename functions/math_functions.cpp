#include "functions/math_functions.h"

#include <chrono>
#include <cmath>
#include <random>

#include "core/evaluator.h"
#include "core/formula_code.h"
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

void installMathFunctions(FunctionTable& t) {
  t.define(0x1F, "NA", cls::kArgs0, fnNA);
  t.define(0x20, "ERR", cls::kArgs0, fnERR);
  t.define(0x21, "ABS", cls::kArgs1, unary<absolute>);
  t.define(0x22, "INT", cls::kArgs1, unary<truncate>);
  t.define(0x23, "SQRT", cls::kArgs1, unaryChecked<squareRoot>);
  t.define(0x24, "LOG", cls::kArgs1, unaryChecked<log10Rule>);
  t.define(0x25, "LN", cls::kArgs1, unaryChecked<naturalLog>);
  t.define(0x26, "PI", cls::kArgs0, fnPI);
  t.define(0x27, "SIN", cls::kArgs1, unary<sine>);
  t.define(0x28, "COS", cls::kArgs1, unary<cosine>);
  t.define(0x29, "TAN", cls::kArgs1, unaryChecked<tangent>);
  t.define(0x2B, "ATAN", cls::kArgs1, unary<arcTangent>);
  t.define(0x2C, "ASIN", cls::kArgs1, unaryChecked<arcSine>);
  t.define(0x2D, "ACOS", cls::kArgs1, unaryChecked<arcCosine>);
  t.define(0x2E, "EXP", cls::kArgs1, unary<exponential>);
  t.define(0x2F, "MOD", cls::kArgs2, binaryChecked<modulo>);
  t.define(0x30, "CASE", cls::kList, fnCASE, ArgumentErrors::Seen);
  t.define(0x31, "ISNA", cls::kArgs1, fnISNA, ArgumentErrors::Seen);
  t.define(0x32, "ISERR", cls::kArgs1, fnISERR, ArgumentErrors::Seen);
  t.define(0x33, "FALSE", cls::kArgs0, fnFALSE);
  t.define(0x34, "TRUE", cls::kArgs0, fnTRUE);
  t.define(0x35, "RAND", cls::kArgs0, fnRAND);
  t.define(0x3B, "IF", cls::kArgs3, fnIF, ArgumentErrors::Seen);
  t.define(0x3F, "ROUND", cls::kArgs2, binaryChecked<roundTo>);
  t.define(0x7A, "FACT", cls::kArgs1, fnFACT);
  t.define(0x7E, "CSC", cls::kArgs1, unaryChecked<cosecant>);
  t.define(0x7F, "CTN", cls::kArgs1, unaryChecked<cotangent>);
  t.define(0x80, "SEC", cls::kArgs1, unaryChecked<secant>);
  t.define(0x81, "COSH", cls::kArgs1, unaryChecked<hyperbolicCos>);
  t.define(0x82, "SINH", cls::kArgs1, unaryChecked<hyperbolicSin>);
  t.define(0x83, "TANH", cls::kArgs1, unaryChecked<hyperbolicTan>);
  t.define(0x84, "ASINH", cls::kArgs1, unaryChecked<arcSinh>);
  t.define(0x85, "ACOSH", cls::kArgs1, unaryChecked<arcCosh>);
  t.define(0x86, "ATANH", cls::kArgs1, unaryChecked<arcTanh>);
  t.define(0x87, "COMB", cls::kArgs2, binaryChecked<comb>);
  t.define(0x88, "PERM", cls::kArgs2, binaryChecked<perm>);
  t.define(0x89, "GAMMALN", cls::kArgs1, unaryChecked<gammaLn>);
  t.define(0x9D, "ERF", cls::kArgs1, unaryChecked<erf>);
  t.define(0x9E, "BESSELJ", cls::kArgs2, binaryChecked<besselJ>);
  t.define(0x9F, "BESSELY", cls::kArgs2, binaryChecked<besselY>);
  t.define(0xA0, "BESSELI", cls::kArgs2, binaryChecked<besselI>);
  t.define(0xA1, "BESSELK", cls::kArgs2, binaryChecked<besselK>);
  t.define(0xA6, "BETA", cls::kArgs2, binaryChecked<beta>);
  t.define(0xA7, "BETAI", cls::kArgs3, ternaryChecked<betaI>);
  t.define(0xA8, "GAMMAP", cls::kArgs2, binaryChecked<gammaP>);
  t.define(0xA9, "GAMMAQ", cls::kArgs2, binaryChecked<gammaQ>);
  t.define(0xAE, "LOGB", cls::kArgs2, binaryChecked<logB>);
  t.define(0xAF, "CEIL", cls::kArgs2, binaryChecked<ceilTo>);
  t.define(0xB0, "FLOOR", cls::kArgs2, binaryChecked<floorTo>);
  t.define(0xB1, "GAUSS", cls::kArgs3, ternaryChecked<gauss>);
  t.define(0xB2, "POISSON", cls::kArgs3, ternaryChecked<poisson>);
  t.define(0xB9, "RGB", cls::kArgs3, ternaryChecked<rgb>);
}

}  // namespace tw
