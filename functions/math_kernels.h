// Numeric kernels behind the mathematical @functions: the shared integer and
// power conversions, factorials, rounding to decimal places and the special
// functions. Every routine is pure; a domain error or a result that is not a
// finite double comes back as `error`, which the handler turns into the
// global error flag.
#pragma once

#include <cstdint>

#include "core/numeric_rules.h"

namespace tw {

// e^x, refused for |x| >= 700 (value 1).
MathResult guardedExp(double x);

// FACT: n rounded, 0 <= n <= 170.
MathResult factorialFact(double n);
// The factorial of COMB, PERM and POISSON: n rounded without the 16-bit
// reduction; negative n gives -1 with error; overflow is an error.
MathResult factorialComb(double n);
MathResult comb(double n, double k);
MathResult perm(double n, double k);

// ROUND, CEIL and FLOOR to n decimal places (n < 0: tens, hundreds, ...).
// CEIL and FLOOR act on the magnitude: CEIL(-1.2, 0) is -2.
MathResult roundTo(double x, double n);
MathResult ceilTo(double x, double n);
MathResult floorTo(double x, double n);

MathResult gammaLn(double x);
MathResult erf(double x);
// Bessel functions of integer order n (integer rule); n < 0 is an error, and
// Y and K need x > 0.
MathResult besselJ(double x, double n);
MathResult besselY(double x, double n);
MathResult besselI(double x, double n);
MathResult besselK(double x, double n);
MathResult beta(double a, double b);
// Regularised incomplete beta I_x(a, b); a, b > 0 and 0 <= x <= 1.
MathResult betaI(double a, double b, double x);
// Regularised lower and upper incomplete gamma; a > 0 and x >= 0.
MathResult gammaP(double a, double x);
MathResult gammaQ(double a, double x);
// Normal density at x with mean m and deviation s > 0.
MathResult gauss(double x, double m, double s);
// Probability of k events when the rate r acts for time t.
MathResult poisson(double k, double r, double t);
// Logarithm of x to the base b; x > 0 and b > 1.
MathResult logB(double x, double b);

}  // namespace tw
