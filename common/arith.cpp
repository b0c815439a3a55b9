#include "common/arith.h"

#include <cfenv>
#include <cmath>
#include <limits>

#include "common/run_time_error.h"

namespace slidesaver {

int32_t R(double x) {
  if (std::isnan(x)) throw OverflowError();
  const double rounded = std::nearbyint(x);  // default rounding mode: halves to even
  if (rounded < -2147483648.0 || rounded > 2147483647.0) throw OverflowError();
  return static_cast<int32_t>(rounded);
}

int64_t R64(double x) {
  if (std::isnan(x)) throw OverflowError();
  const double rounded = std::nearbyint(x);
  // 2^63 is the first double beyond int64; -2^63 itself fits.
  if (rounded < -9223372036854775808.0 || rounded >= 9223372036854775808.0) throw OverflowError();
  return static_cast<int64_t>(rounded);
}

float Single(double x) {
  if (std::isnan(x)) throw OverflowError();
  if (std::isfinite(x) && std::fabs(x) > static_cast<double>(std::numeric_limits<float>::max())) {
    // Values that would round to infinity overflow; those that round to FLT_MAX do not.
    const float f = static_cast<float>(x);
    if (std::isinf(f)) throw OverflowError();
    return f;
  }
  return static_cast<float>(x);
}

int32_t Add32(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_add_overflow(a, b, &r)) throw OverflowError();
  return r;
}
int32_t Sub32(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) throw OverflowError();
  return r;
}
int32_t Mul32(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw OverflowError();
  return r;
}
int32_t Neg32(int32_t a) { return Sub32(0, a); }
int32_t Div32(int32_t a, int32_t b) {
  if (b == 0) throw DivisionByZeroError();
  if (a == std::numeric_limits<int32_t>::min() && b == -1) throw OverflowError();
  return a / b;
}

int32_t Int32(int64_t a) {
  if (a < std::numeric_limits<int32_t>::min() || a > std::numeric_limits<int32_t>::max())
    throw OverflowError();
  return static_cast<int32_t>(a);
}

double Checked(double x) {
  if (std::isnan(x) || std::isinf(x)) throw OverflowError();
  return x;
}

double Div(double a, double b) {
  if (b == 0.0) throw DivisionByZeroError();
  return Checked(a / b);
}

}  // namespace slidesaver
