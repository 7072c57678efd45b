// Correctly rounded sinh, cosh, tanh, asinh, acosh and atanh from the exp and log kernels.
//
// Each function: the special values; the arguments whose result rounds to x (or to 1, or
// to ±1), with the threshold proved beside it; a double-double evaluation whose relative
// error is bounded step by step (delta_X is the bound of step X, all relative); Ziv's
// rounding test with a bound taken a little above the proven one; and the accurate path
// when the test cannot decide. Every fast-path result has magnitude above 2^-28, so the
// test never meets the subnormal grid, and overflow happens only in wide::scale, after
// the rounding to 53 bits (which is on the same grid as the scaled result).
#include <cmath>
#include <limits>

#include "engine/crmath/constants.h"
#include "engine/crmath/crmath.h"
#include "engine/crmath/exp_log.h"
#include "engine/crmath/multi.h"
#include "engine/crmath/wide.h"

namespace {

using wide::Dd;

constexpr double inf = std::numeric_limits<double>::infinity();

// The value y stands for, when every real within rel * |y.hi| of y.hi + y.lo rounds to
// the same double; 0 (which no caller's result can be) when the test cannot decide.
// rel is a power of two and |y.hi| >= 2^-30, so e is exact. The proven bound must be
// strictly below rel (each caller keeps a margin of at least 2^-0.8 ≈ 0.57); the margin
// covers the rounding of y.lo ± e, so that y.hi + (y.lo ± e) bracket the exact result.
double rounded(Dd y, double rel) {
  const double e = wide::magnitude(y.hi) * rel;
  const double down = y.hi + (y.lo - e);
  const double up = y.hi + (y.lo + e);
  return down == up ? down : 0.0;
}

// a / b with relative error <= 2^-102.2, for |a.lo| <= 2^-53 |a.hi|, |b.lo| <= 2^-53 |b.hi|,
// results and remainders far from underflow and overflow. One quotient digit and one
// correction from the remainder a - q1*b:
//   q1 = a.hi/b.hi (1 + d), |d| <= 2^-53, so p.hi = fl(q1*b.hi) is within a factor 2 of a.hi
//   and a.hi - p.hi is exact (Sterbenz); r0 = a.hi - q1*b.hi, |r0| <= 2^-53 |a.hi|.
//   The four later roundings of r cost 2^-106 + 2^-105 + 2^-106 + 2^-104.4 of |a.hi|, so
//   |r - (a - q1*b)| <= 2^-103.2 |a.hi|. Dividing r by b.hi instead of b (2^-53 of
//   |r| <= 3.01 * 2^-53 |a.hi|) and rounding the quotient (as much again) add 6.03 * 2^-106:
//   |q1 + q2 - a/b| <= 3.27 * 2^-104 |a.hi / b.hi| <= 2^-102.2 |a / b|.
Dd divide(Dd a, Dd b) {
  const double q1 = a.hi / b.hi;
  const Dd p = wide::two_prod(q1, b.hi);
  const double r = (((a.hi - p.hi) - p.lo) + a.lo) - q1 * b.lo;
  return wide::quick_two_sum(q1, r / b.hi);
}

// sqrt(a) with relative error <= 2^-103.5, for a.hi > 0 normal, |a.lo| <= 2^-53 a.hi.
// s = sqrt(a.hi) (1 + d), |d| <= 2^-53; s*s = p.hi + p.lo exactly and a.hi - p.hi is exact
// (Sterbenz). The residual a - s^2 (at most 3.01 * 2^-53 a.hi) is computed to 2^-103.6 a.hi
// (two roundings); one Newton step s + (a - s^2)/(2s) leaves h^2/8 <= 1.14 * 2^-106 of s,
// and the division adds 2^-53 of the correction: in all <= 1.33 * 2^-104 s.
Dd square_root(Dd a) {
  const double s = std::sqrt(a.hi);  // one instruction, correctly rounded
  const Dd p = wide::two_prod(s, s);
  const double r = ((a.hi - p.hi) - p.lo) + a.lo;
  return wide::quick_two_sum(s, r / (2.0 * s));
}

// Dd times 2^n, exactly (callers keep the result normal).
Dd scaled(Dd a, int n) {
  const double m = wide::power_of_two(n);
  return {a.hi * m, a.lo * m};
}

const Dd ln2 = {crmath_constants::ln2_hi, crmath_constants::ln2_lo};

// log(2a) + sign * 1/(4a^2) for a >= 2^28, the large-argument form of asinh (sign +1) and
// acosh (sign -1): both equal log(2a) ± 1/(4a^2) with the next term 3/(32a^4) <= 2^-115.4.
// log_kernel: 2^-82 of log a; ln2 as hi + lo: 2^-108 absolute; c = 0.25/a/a: two roundings,
// 2^-51 of c <= 2^-58, so 2^-109 absolute; the two sums, all of one sign except c, which is
// 2^-62 of the result: 2^-103 each. The result is at least 19.4, so every absolute term is
// below 2^-112 of it: in all <= 2^-81.99 of the result.
Dd log_twice_plus(double a, double sign) {
  Dd y = wide::dd_add(log_kernel(a), ln2);
  if (a < 0x1p500) y = wide::dd_add_d(y, sign * (0.25 / a / a));  // else below 2^-1000
  return y;
}

}  // namespace

// sinh: NaN for NaN, ±inf for ±inf and past overflow, x itself for |x| < 2^-26.
double cr_sinh(double x) {
  const double a = wide::magnitude(x);
  // sinh(710.5) > e^710.5 / 2.0001 > 2^1024: past the largest double, whatever the rounding.
  if (!(a < 710.5)) return wide::is_nan(x) ? x + x : wide::with_sign_of(inf, x);
  // sinh a - a is in (0, a^3/5.9) for a < 1/2. With 2^e <= a < 2^(e+1), e <= -27, half the
  // gap above a is 2^(e-53), and a^3/5.9 < 2^(3e+3)/5.9 < 2^(e-53) since 2^(2e) <= 4 * 2^-56
  // < 5.9 * 2^-56: the result rounds to a. Subnormal and zero x included.
  if (a < 0x1p-26) return x;
  double m;
  if (a <= 40.0) {
    // sinh a = (E + E/(E+1)) / 2 with E = e^a - 1: both terms positive, no cancellation.
    // E: delta_E <= 2^-85 (kernel, a <= 40). E + 1: the error of E moves it by at most
    // delta_E of itself, the sum rounds once (2^-104). E/(E+1) moves by delta_E/(E+1) <= delta_E
    // for the error of E, plus the sum's and the division's 2^-102.2: <= 2^-84.99. The final
    // sum of two positive terms: the larger relative error plus 2^-103.6: <= 2^-84.98.
    const Dd e = expm1_kernel({a, 0.0});
    const Dd s = wide::dd_add(e, divide(e, wide::dd_add_d(e, 1.0)));
    m = rounded(s, 0x1p-84) * 0.5;
  } else {
    // sinh a = (e^a / 2)(1 - e^(-2a)) and e^(-2a) < 2^-115: exp_kernel's 2^-91 plus that.
    // r is rounded to 53 bits in its own binade, then scaled: exact, or an overflow that
    // happens exactly when the correctly rounded result is past the largest double.
    int k = 0;
    const Dd r = exp_kernel({a, 0.0}, k);
    const double rr = rounded(r, 0x1p-90);
    if (rr == 0.0) return mp_sinh(x);
    return wide::with_sign_of(wide::scale(rr, k - 1), x);
  }
  if (m == 0.0) return mp_sinh(x);
  return wide::with_sign_of(m, x);
}

// cosh: NaN for NaN, +inf for ±inf and past overflow, 1 for |x| < 2^-27.
double cr_cosh(double x) {
  const double a = wide::magnitude(x);
  if (!(a < 710.5)) return wide::is_nan(x) ? x + x : inf;
  // cosh a - 1 < a^2/1.99 < 2^-54/1.99, below half the gap above 1 (2^-53).
  if (a < 0x1p-27) return 1.0;
  // cosh a = 2^(k-1) (r + r^-1 2^-2k) with e^a = r 2^k, r in [1/2, 2], k >= -1.
  int k = 0;
  const Dd r = exp_kernel({a, 0.0}, k);
  Dd c = r;
  // For k >= 57 the second term is below 4 * 2^-114 of the first, 2^-112 relative.
  // Else r^-1: the error of r (2^-91) plus the division's 2^-102.2; scaled exactly
  // (2^-2k >= 2^-112 keeps it normal); the sum of two positive terms adds 2^-103.6.
  // Either way <= 2^-90.99.
  if (k < 57) c = wide::dd_add(r, scaled(divide({1.0, 0.0}, r), -2 * k));
  const double cr = rounded(c, 0x1p-90);
  if (cr == 0.0) return mp_cosh(x);
  return wide::scale(cr, k - 1);
}

// tanh: NaN for NaN, ±1 for ±inf and for |x| >= 20, x itself for |x| < 2^-27.
double cr_tanh(double x) {
  const double a = wide::magnitude(x);
  // 1 - tanh a = 2/(e^2a + 1) < 2e^-40 < 2^-56.7 for a >= 20, below half the gap under 1
  // (2^-54): the result rounds to 1.
  if (!(a < 20.0)) return wide::is_nan(x) ? x + x : wide::with_sign_of(1.0, x);
  // a - tanh a is in (0, a^3/3). With 2^e <= a < 2^(e+1), e <= -28: for a = 2^e half the
  // gap below is 2^(e-54) > 2^(3e)/3; otherwise it is 2^(e-53) > 2^(3e+3)/3 (as 2^(2e) <=
  // 2^-56 < 3 * 2^-56): the result rounds to a.
  if (a < 0x1p-27) return x;
  // tanh a = E / (E + 2) with E = e^2a - 1 (2a <= 40, exact doubling). delta_E <= 2^-85;
  // E/(E+2) moves by 2 delta_E/(E+2) <= delta_E of itself for the error of E; E + 2 rounds
  // once (2^-104), the division 2^-102.2: in all <= 2^-84.99.
  const Dd e = expm1_kernel({2.0 * a, 0.0});
  const double t = rounded(divide(e, wide::dd_add_d(e, 2.0)), 0x1p-84);
  if (t == 0.0) return mp_tanh(x);
  return wide::with_sign_of(t, x);
}

// asinh: NaN for NaN, ±inf for ±inf, x itself for |x| < 2^-26.
double cr_asinh(double x) {
  const double a = wide::magnitude(x);
  if (!wide::is_finite(x)) return x + x;
  // a - asinh a is in (0, a^3/6). With 2^e <= a < 2^(e+1), e <= -27: for a = 2^e half the
  // gap below is 2^(e-54) > 2^(3e)/6; otherwise it is 2^(e-53) > 2^(3e+3)/6 (as 2^(2e+3) <=
  // 2^-51 < 6 * 2^-53): the result rounds to a.
  if (a < 0x1p-26) return x;
  Dd y;
  if (a < 0x1p28) {
    // asinh a = log1p(a + a^2/(1 + sqrt(1 + a^2))), every term positive. a^2 exact
    // (two_prod; a^2 >= 2^-52). 1 + a^2: 2^-104. sqrt: half of that plus 2^-103.5.
    // 1 + sqrt: 2^-104. The quotient: 2^-102.2. + a: 2^-104. The sum u has relative error
    // below 2^-100.3; log1p(u) moves by at most that relative amount, since
    // u / ((1 + u) log1p u) <= 1; the kernel adds 2^-81: in all <= 2^-80.99.
    const Dd sq = wide::two_prod(a, a);
    const Dd root = square_root(wide::dd_add_d(sq, 1.0));
    y = log1p_kernel(wide::dd_add_d(divide(sq, wide::dd_add_d(root, 1.0)), a));
  } else {
    y = log_twice_plus(a, 1.0);  // <= 2^-81.99
  }
  const double r = rounded(y, 0x1p-80);
  if (r == 0.0) return mp_asinh(x);
  return wide::with_sign_of(r, x);
}

// acosh: NaN for NaN and for x < 1, +inf for +inf, +0 for 1.
double cr_acosh(double x) {
  if (!(x >= 1.0)) return wide::is_nan(x) ? x + x : std::numeric_limits<double>::quiet_NaN();
  if (x == 1.0) return 0.0;
  if (!wide::is_finite(x)) return x;
  Dd y;
  if (x < 0x1p28) {
    // acosh x = log1p(t + sqrt(x^2 - 1)) with t = x - 1, both terms positive; x >= 1 + 2^-52
    // keeps every value normal and the result above 2^-26.
    // t: exact (two_sum). x^2 = p.hi + p.lo exactly; p.hi - 1 is exact when p.hi <= 2
    // (Sterbenz) and then adding p.lo is exact too; for p.hi > 2 the sums round at most
    // 2^-106 (|t'| + |p.lo|) <= 2^-104 of x^2 - 1 >= x^2/2.01. sqrt: 2^-105 + 2^-103.5. The sum:
    // 2^-103.6. log1p moves by at most the relative error of its argument (2^-102.5) and adds
    // its own 2^-81: in all <= 2^-80.99.
    const Dd t = wide::two_sum(x, -1.0);
    const Dd root = square_root(wide::dd_add_d(wide::two_prod(x, x), -1.0));
    y = log1p_kernel(wide::dd_add(t, root));
  } else {
    y = log_twice_plus(x, -1.0);  // <= 2^-81.99
  }
  const double r = rounded(y, 0x1p-80);
  if (r == 0.0) return mp_acosh(x);
  return r;
}

// atanh: NaN for NaN and for |x| > 1, ±inf for ±1, x itself for |x| < 2^-27.
double cr_atanh(double x) {
  const double a = wide::magnitude(x);
  if (!(a < 1.0)) {
    if (a == 1.0) return wide::with_sign_of(inf, x);
    return wide::is_nan(x) ? x + x : std::numeric_limits<double>::quiet_NaN();
  }
  // atanh a - a is in (0, a^3/2.99) for a < 2^-27 (the series a^3/3 + a^5/5 + ...). With
  // 2^e <= a < 2^(e+1), e <= -28, half the gap above a is 2^(e-53) > 2^(3e+3)/2.99 (as
  // 2^(2e) <= 2^-56 < 2.99 * 2^-56): the result rounds to a.
  if (a < 0x1p-27) return x;
  // atanh a = log1p(2a / (1 - a)) / 2. 1 - a: exact (two_sum; a <= 1 - 2^-53). 2a: exact.
  // The quotient: 2^-102.2; log1p moves by at most that and adds 2^-81: <= 2^-80.99.
  const Dd y = log1p_kernel(divide({2.0 * a, 0.0}, wide::two_sum(1.0, -a)));
  const double r = rounded(y, 0x1p-80);
  if (r == 0.0) return mp_atanh(x);
  return wide::with_sign_of(r * 0.5, x);
}
