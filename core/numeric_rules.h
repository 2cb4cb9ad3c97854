// The conversions every function shares.
#pragma once

#include <cmath>
#include <cstdint>

namespace tw {

// An integer argument: rounded to the nearest integer (ties to even), the
// low 16 bits read as signed; a magnitude of 2147483647 or more gives 1.
inline int16_t integerRule(double x) {
  if (!(std::fabs(x) < 2147483647.0)) return 1;
  auto n = static_cast<int64_t>(std::nearbyint(x));
  return static_cast<int16_t>(static_cast<uint16_t>(n & 0xFFFF));
}

}  // namespace tw

namespace tw {

struct RuleResult {
  double value;
  bool error;
};

// The power rule shared by "^" and the functions: 0^y is 0, x^0 is 1; a
// whole exponent is applied by repeated squaring over its full magnitude;
// otherwise x must be positive. An overflow leaves an infinite value, which
// the evaluator turns into ERR.
inline RuleResult powerRule(double x, double y) {
  if (x == 0) return {0, false};
  if (y == 0) return {1, false};
  if (y == std::trunc(y)) {
    double magnitude = std::fabs(y);
    double result = 1;
    if (magnitude < 9.0e18) {
      double base = x;
      for (auto e = static_cast<uint64_t>(magnitude); e != 0; e >>= 1) {
        if (e & 1) result *= base;
        if (e > 1) base *= base;
      }
    } else {
      result = std::pow(x, magnitude);
    }
    return {y < 0 ? 1 / result : result, false};
  }
  if (x > 0) return {std::exp(y * std::log(x)), false};
  return {1, true};
}

}  // namespace tw
