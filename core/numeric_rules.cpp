#include "core/numeric_rules.h"

#include <cmath>

namespace tw {

namespace {

constexpr MathResult kFail{1.0, true};

MathResult ok(double v) {
  return std::isfinite(v) ? MathResult{v, false} : kFail;
}

double powerBySquaring(double base, uint64_t n) {
  double result = 1;
  while (n != 0) {
    if (n & 1) result *= base;
    n >>= 1;
    if (n != 0) base *= base;
  }
  return result;
}

}  // namespace

MathResult finiteResult(double x) {
  return std::isfinite(x) ? MathResult{x, false} : kMathFail;
}

double roundHalfEven(double x) {
  double f = std::floor(x);
  double diff = x - f;
  if (diff > 0.5) return f + 1;
  if (diff < 0.5) return f;
  return std::fmod(f, 2.0) == 0.0 ? f : f + 1;
}

int16_t integerRule(double x) {
  if (!(std::fabs(x) < 2147483647.0)) return 1;
  auto whole = static_cast<int64_t>(roundHalfEven(x));
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(whole) & 0xFFFFu));
}

MathResult powerRule(double x, double y) {
  if (std::isnan(x) || std::isnan(y)) return kFail;
  if (x == 0) return {0, false};
  if (y == 0) return {1, false};
  if (!std::isfinite(x) || !std::isfinite(y)) return kFail;
  if (y == std::trunc(y)) {
    double magnitude = std::fabs(y);
    // Beyond 2^63 every double is even and the result is 0, 1 or an overflow.
    if (magnitude >= 0x1p63) return ok(std::pow(x, y));
    auto n = static_cast<uint64_t>(magnitude);
    double p = powerBySquaring(x, n);
    if (y > 0) return ok(p);
    if (std::isfinite(p) && p != 0) return ok(1 / p);
    // x^|y| left the double range although its reciprocal may not (2^-1074).
    return ok(powerBySquaring(1 / x, n));
  }
  if (x < 0) return kFail;
  return ok(std::exp(y * std::log(x)));
}

}  // namespace tw
