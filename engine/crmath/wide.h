// Bits of a double, exact scaling by powers of two, and double-double arithmetic.
//
// Every function here relies on each product and sum being rounded to double on its
// own: the engine is built with -ffp-contract=off and no FMA is used, so the results
// do not depend on the compiler or its target flags.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace wide {

inline std::uint64_t bits_of(double x) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}

inline double double_of(std::uint64_t u) {
  double x;
  std::memcpy(&x, &u, sizeof x);
  return x;
}

// 2^n for -1022 <= n <= 1023, exactly.
inline double power_of_two(int n) { return double_of(static_cast<std::uint64_t>(n + 1023) << 52); }

// x * 2^n, rounded once; n may take x from or to the subnormal range or past overflow
// (-2200 < n < 2200). Two or three exact steps, then one that may round.
inline double scale(double x, int n) {
  while (n > 1023) {
    x *= power_of_two(1023);
    n -= 1023;
  }
  // Going down: stop at 2^-969 * 2^-53 so that at most the last multiplication rounds.
  while (n < -969) {
    x *= power_of_two(-969);
    n += 969;
  }
  return x * power_of_two(n);
}

// The square root, correctly rounded as IEEE 754 requires of it: the instruction, never a
// call into the C library, even unoptimised (where std::sqrt stays a call).
inline double square_root(double x) {
#if defined(__GNUC__)
  return __builtin_sqrt(x);
#else
  return std::sqrt(x);
#endif
}

// The unbiased exponent of a finite nonzero x: 2^e <= |x| < 2^(e+1).
inline int exponent_of(double x) {
  const int biased = static_cast<int>((bits_of(x) >> 52) & 0x7FF);
  if (biased != 0) return biased - 1023;
  return exponent_of(x * 0x1p64) - 64;  // subnormal: at most one level deep
}

inline bool is_finite(double x) { return (bits_of(x) & 0x7FF0000000000000) != 0x7FF0000000000000; }
inline bool is_nan(double x) { return (bits_of(x) & 0x7FFFFFFFFFFFFFFF) > 0x7FF0000000000000; }
inline double magnitude(double x) { return double_of(bits_of(x) & 0x7FFFFFFFFFFFFFFF); }
inline double with_sign_of(double x, double s) {
  return double_of((bits_of(x) & 0x7FFFFFFFFFFFFFFF) | (bits_of(s) & 0x8000000000000000));
}

// An unevaluated sum hi + lo with |lo| <= ulp(hi) / 2 after normalisation: about 106 bits.
struct Dd {
  double hi;
  double lo;
};

// a + b = s.hi + s.lo exactly (Knuth), for any a and b without overflow.
inline Dd two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a + b = s.hi + s.lo exactly when |a| >= |b| or a is 0 (Dekker).
inline Dd quick_two_sum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// Dekker's split: a = hi + lo with 26 significant bits each; |a| < 2^996.
inline Dd split(double a) {
  const double c = 134217729.0 * a;
  const double hi = c - (c - a);
  return {hi, a - hi};
}

// a * b = p.hi + p.lo exactly (Dekker), unless the product underflows; |a|, |b| < 2^996.
inline Dd two_prod(double a, double b) {
  const double p = a * b;
  const Dd x = split(a);
  const Dd y = split(b);
  return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

inline Dd dd_neg(Dd a) { return {-a.hi, -a.lo}; }

// Relative error at most 2^-103.6 without cancellation (accurate sum of Li and Bailey).
inline Dd dd_add(Dd a, Dd b) {
  Dd s = two_sum(a.hi, b.hi);
  const Dd t = two_sum(a.lo, b.lo);
  s.lo += t.hi;
  s = quick_two_sum(s.hi, s.lo);
  s.lo += t.lo;
  return quick_two_sum(s.hi, s.lo);
}

// a + b for a double b: relative error at most 2^-104 without cancellation.
inline Dd dd_add_d(Dd a, double b) {
  Dd s = two_sum(a.hi, b);
  s.lo += a.lo;
  return quick_two_sum(s.hi, s.lo);
}

// Relative error at most 2^-102 (the neglected a.lo * b.lo and two roundings).
inline Dd dd_mul(Dd a, Dd b) {
  Dd p = two_prod(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return quick_two_sum(p.hi, p.lo);
}

// Relative error at most 2^-103.
inline Dd dd_mul_d(Dd a, double b) {
  Dd p = two_prod(a.hi, b);
  p.lo += a.lo * b;
  return quick_two_sum(p.hi, p.lo);
}

// Relative error at most 2^-100: three quotient digits, each from an exact remainder step.
inline Dd dd_div(Dd a, Dd b) {
  const double q1 = a.hi / b.hi;
  const Dd r = dd_add(a, dd_mul_d(b, -q1));
  const double q2 = r.hi / b.hi;
  const Dd r2 = dd_add(r, dd_mul_d(b, -q2));
  const double q3 = r2.hi / b.hi;
  return dd_add_d(quick_two_sum(q1, q2), q3);
}

}  // namespace wide
