// The conversions every function shares: the integer rule and the power rule.
#pragma once

#include <cstdint>

namespace tw {

// A numeric result, or an error that makes the formula ERR.
struct MathResult {
  double value;
  bool error;
};

// The failed result: the value 1 with the error.
constexpr MathResult kMathFail{1.0, true};
// x as a result; an infinite or undefined x is a failure.
MathResult finiteResult(double x);

// An integer argument: the nearest integer (ties to even), the low 16 bits
// read as signed; a magnitude of 2147483647 or more (and NaN) gives 1.
int16_t integerRule(double x);

// x^y as "^" and the functions compute it: 0^y is 0, x^0 is 1; a whole
// exponent is applied by repeated squaring over its full magnitude; a
// fractional one needs x > 0. A result outside the double range is an error.
MathResult powerRule(double x, double y);

// Nearest integer, ties to even, whatever the processor's rounding mode is.
double roundHalfEven(double x);

}  // namespace tw
