// Double-double arithmetic, exact argument reduction by 2/pi, Taylor kernels.
#include "engine/accurate_math.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine/crmath/constants.h"

namespace {

// An unevaluated sum hi + lo with |lo| <= ulp(hi) / 2: about 106 bits.
struct Dd {
  double hi;
  double lo;
};

// These rely on every operation rounding to double: the build turns off
// floating-point contraction, and no FMA is used.
Dd two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

Dd quick_two_sum(double a, double b) {  // |a| >= |b|
  const double s = a + b;
  return {s, b - (s - a)};
}

Dd split(double a) {  // Dekker: two halves of 26 bits each
  const double c = 134217729.0 * a;
  const double hi = c - (c - a);
  return {hi, a - hi};
}

Dd two_prod(double a, double b) {
  const double p = a * b;
  const Dd x = split(a);
  const Dd y = split(b);
  return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

Dd dd_add(Dd a, Dd b) {
  Dd s = two_sum(a.hi, b.hi);
  s.lo += a.lo + b.lo;
  return quick_two_sum(s.hi, s.lo);
}

Dd dd_mul(Dd a, Dd b) {
  Dd p = two_prod(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return quick_two_sum(p.hi, p.lo);
}

Dd dd_mul_d(Dd a, double b) {
  Dd p = two_prod(a.hi, b);
  p.lo += a.lo * b;
  return quick_two_sum(p.hi, p.lo);
}

Dd dd_div(Dd a, Dd b) {
  const double q1 = a.hi / b.hi;
  const Dd r = dd_add(a, dd_mul_d(b, -q1));
  const double q2 = r.hi / b.hi;
  const Dd r2 = dd_add(r, dd_mul_d(b, -q2));
  const double q3 = r2.hi / b.hi;
  const Dd q = quick_two_sum(q1, q2);
  return dd_add(q, {q3, 0.0});
}

// ---- Trigonometric functions ----

constexpr Dd half_pi = {crmath_constants::half_pi_hi, crmath_constants::half_pi_lo};
using crmath_constants::two_over_pi_bits;

// 64 bits of 2/pi starting at fraction bit `first` (bit 1 is worth 1/2);
// bits before the point are zero. reduce asks for first <= 1098, so index stays
// at most 17 and index + 1 within the table.
std::uint64_t two_over_pi_window(int first) {
  auto word = [](int index) -> std::uint64_t {  // index -1 stands for the zero integer part
    return index >= 0 ? two_over_pi_bits[index] : 0;
  };
  const int position = first - 1 + 64;  // counted in a table with one zero word in front
  const int index = position / 64 - 1;
  const int offset = position % 64;
  if (offset == 0) return word(index);
  return (word(index) << offset) | (word(index + 1) >> (64 - offset));
}

// x = (quadrant + r) * pi/2 with |r| <= pi/4 as a double-double, exactly up to
// the 2^-137 tail of the 2/pi window. x is finite and |x| > pi/4. Plain 64-bit
// integers in 32-bit digits, so that every compiler builds it.
int reduce(double x, Dd& r) {
  int exponent = 0;
  const double mantissa = std::frexp(std::fabs(x), &exponent);
  const auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));  // |x| = m * 2^e
  const int e = exponent - 53;
  // Bits of 2/pi worth 2^-i with i <= e - 2 make multiples of 4: they are skipped.
  const int start = e - 1;
  std::uint64_t w[6];  // the 192-bit window, least significant digit first
  for (int k = 0; k < 3; ++k) {
    const std::uint64_t word = two_over_pi_window(start + 64 * (2 - k));
    w[2 * k] = word & 0xFFFFFFFF;
    w[2 * k + 1] = word >> 32;
  }
  const std::uint64_t m_digits[2] = {m & 0xFFFFFFFF, m >> 32};
  // p = m * window; the point lies after bit 190: p / 2^190 is x * 2/pi modulo 4.
  // Digits from bit 192 up are multiples of 4 and never read: the last carries are dropped.
  std::uint64_t p[7] = {};
  for (int i = 0; i < 2; ++i) {
    std::uint64_t carry = 0;
    for (int j = 0; j < 6; ++j) {
      const std::uint64_t t = m_digits[i] * w[j] + p[i + j] + carry;  // at most 2^64 - 1
      p[i + j] = t & 0xFFFFFFFF;
      carry = t >> 32;
    }
  }
  int quadrant = static_cast<int>((p[5] >> 30) & 3);  // bits 190 and 191
  std::uint64_t f[4];  // the fraction's top 128 bits (189 down to 62), least significant first
  for (int i = 0; i < 4; ++i) f[i] = ((p[1 + i] >> 30) | (p[2 + i] << 2)) & 0xFFFFFFFF;
  const bool negative = (f[3] >> 31) != 0;  // at least a half: r = fraction - 1
  if (negative) {
    quadrant = (quadrant + 1) & 3;
    std::uint64_t carry = 1;  // two's complement: 2^128 - fraction
    for (std::uint64_t& digit : f) {
      const std::uint64_t t = (~digit & 0xFFFFFFFF) + carry;
      digit = t & 0xFFFFFFFF;
      carry = t >> 32;
    }
  }
  Dd fraction = {0.0, 0.0};
  for (int i = 0; i < 4; ++i)
    fraction = dd_add(fraction, {std::ldexp(static_cast<double>(f[i]), 32 * i - 128), 0.0});
  r = dd_mul(fraction, half_pi);
  if (negative) r = {-r.hi, -r.lo};
  if (x < 0) {
    r = {-r.hi, -r.lo};
    quadrant = (4 - quadrant) & 3;
  }
  return quadrant;
}

using crmath_constants::cos_terms;
using crmath_constants::sin_terms;

template <std::size_t count>
double horner(const double (&terms)[count], double z) {
  double sum = 0.0;  // the first round gives the last term exactly
  for (std::size_t k = count; k-- > 0;) sum = sum * z + terms[k];
  return sum;
}

// sin(r.hi + r.lo) for |r| <= pi/4, as a double-double.
Dd kernel_sin(Dd r) {
  const double z = r.hi * r.hi;
  const double tail = r.hi * z * horner(sin_terms, z);
  return quick_two_sum(r.hi, tail + r.lo * (1 - 0.5 * z));
}

// cos(r.hi + r.lo) for |r| <= pi/4, as a double-double.
Dd kernel_cos(Dd r) {
  const Dd z = two_prod(r.hi, r.hi);
  const double half = 0.5 * z.hi;  // exact
  const double w = 1.0 - half;
  const double tail = ((1.0 - w) - half) + (z.hi * z.hi * horner(cos_terms, z.hi) -
                                            (r.hi * r.lo + 0.5 * z.lo));
  return quick_two_sum(w, tail);
}

// Below this, sin x and tan x round to x and cos x to 1.
constexpr double tiny_angle = 0x1p-27;

// Reduces x and returns the quadrant; small arguments are their own reduction.
int reduce_any(double x, Dd& r) {
  if (std::fabs(x) <= 0x1.921fb54442d18p-1) {
    r = {x, 0.0};
    return 0;
  }
  return reduce(x, r);
}

}  // namespace

double accurate_sin(double x) {
  if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
  if (std::fabs(x) < tiny_angle) return x;  // keeps the sign of zero
  Dd r;
  switch (reduce_any(x, r)) {
    case 0: { const Dd s = kernel_sin(r); return s.hi + s.lo; }
    case 1: { const Dd c = kernel_cos(r); return c.hi + c.lo; }
    case 2: { const Dd s = kernel_sin(r); return -(s.hi + s.lo); }
    default: { const Dd c = kernel_cos(r); return -(c.hi + c.lo); }
  }
}

double accurate_cos(double x) {
  if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
  if (std::fabs(x) < tiny_angle) return 1.0;
  Dd r;
  switch (reduce_any(x, r)) {
    case 0: { const Dd c = kernel_cos(r); return c.hi + c.lo; }
    case 1: { const Dd s = kernel_sin(r); return -(s.hi + s.lo); }
    case 2: { const Dd c = kernel_cos(r); return -(c.hi + c.lo); }
    default: { const Dd s = kernel_sin(r); return s.hi + s.lo; }
  }
}

double accurate_tan(double x) {
  if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
  if (std::fabs(x) < tiny_angle) return x;
  Dd r;
  const int quadrant = reduce_any(x, r);
  const Dd s = kernel_sin(r);
  const Dd c = kernel_cos(r);
  const Dd t = (quadrant & 1) ? dd_div({-c.hi, -c.lo}, s) : dd_div(s, c);
  return t.hi + t.lo;
}
