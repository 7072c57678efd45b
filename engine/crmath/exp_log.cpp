// exp, log and log10 correctly rounded, and the double-double kernels they share with pow and the hyperbolic functions.
#include "engine/crmath/exp_log.h"

#include "engine/crmath/constants.h"
#include "engine/crmath/crmath.h"
#include "engine/crmath/exp_log_tables.h"
#include "engine/crmath/multi.h"
#include "engine/crmath/round.h"

using wide::Dd;

namespace {

// ln2/4096 in three parts of 30, 30 and 53 bits (each the rest rounded to nearest):
// n times the first two is exact for |n| < 2^23 (|x| < 746 gives |n| <= 4.41e6), and
// n times the third (<= 2^-55.4) rounds by at most 2^-108.
constexpr double ln2_4096_a = 0x1.62e42ffp-13;
constexpr double ln2_4096_b = -0x1.718432ap-47;
constexpr double ln2_4096_c = -0x1.b0e2633fe0685p-79;
constexpr double inv_ln2_4096 = 0x1.71547652b82fep+12;  // 4096/ln2, only to pick n
using exp_log_fast::round_magic;

// Nearest integer to x for |x| < 2^51 (ties either way: callers only need nearness).
inline double nearest_integer(double x) { return (x + round_magic) - round_magic; }

// x - n ln2/4096 as an unevaluated sum, |result| <= ln2/8192 + 2^-44 when n is the
// nearest integer to x 4096/ln2 and |x.hi| < 746. Error at most 2^-96 absolute:
// a = x.hi - n A is exact (Sterbenz: n A is within a factor 2 of x.hi once n != 0),
// n B is exact, their two_sum is exact; only x.lo - n C rounds (|.| <= 2^-44).
Dd reduce_exp(Dd x, double n) {
  const double a = x.hi - n * ln2_4096_a;
  Dd r = wide::two_sum(a, -(n * ln2_4096_b));
  r.lo += x.lo - n * ln2_4096_c;  // |r.lo| <= 2^-66 + 2^-44 + 2^-55: rounds by <= 2^-96
  return wide::quick_two_sum(r.hi, r.lo);
}

// 2^(n/4096) = 2^k 2^(j/64) 2^(i/4096): the two table values' product, relative error
// <= 2^-102 (dd_mul) + 2 * 2^-106 (the tables) < 2^-101.8.
Dd exp2_table(int n, int& k) {
  k = n >> 12;  // arithmetic shift: floor(n / 4096)
  const int j = (n >> 6) & 63;
  const int i = n & 63;
  return wide::dd_mul(exp_log_tables::exp2_coarse[j], exp_log_tables::exp2_fine[i]);
}

// e^r - 1 for |r| <= 2^-13.5 (r.hi's error bound 2^-96 absolute is the caller's):
// r + r^2/2 + r^3 (1/6 + r/24 + r^2/120 + r^3/720); the Taylor rest is below
// r^7/5040 < 2^-106.8. r^2/2 is exact from two_prod (plus r.hi r.lo, off by 2^-120);
// the cubic part q <= 2^-43.1 is in double from r.hi alone: about 7 roundings and the
// dropped r.lo, relative 2^-50.1, so <= 2^-93.2. Then two dd additions (2^-103.6 each of
// a sum <= 2^-13.4). Total absolute error <= 2^-93 (the reduction's 2^-96 included).
Dd expm1_small(Dd r) {
  Dd s = wide::two_prod(r.hi, r.hi);
  s.lo += 2 * r.hi * r.lo;
  const Dd half_square = {0.5 * s.hi, 0.5 * s.lo};
  const double h = r.hi;
  const double q = s.hi * h * (1.0 / 6 + h * (1.0 / 24 + h * (1.0 / 120 + h * (1.0 / 720))));
  return wide::dd_add_d(wide::dd_add(r, half_square), q);
}

// The same with relative error <= 2^-100 of e^r - 1 (for expm1, where r itself may be the
// result): r^3/6 in double-double (two dd_mul, 2^-101 of it; r.lo counts here), the rest
// r^4 (1/24 + r/120 + r^2/720 + r^3/5040) in double (<= 2^-58.6 r, off by 2^-50 of it).
Dd expm1_small_accurate(Dd r) {
  constexpr Dd sixth = {0x1.5555555555555p-3, 0x1.5555555555555p-57};
  Dd s = wide::two_prod(r.hi, r.hi);
  s.lo += 2 * r.hi * r.lo;
  const Dd cube_sixth = wide::dd_mul(wide::dd_mul(s, r), sixth);
  const double h = r.hi;
  const double q = s.hi * s.hi * (1.0 / 24 + h * (1.0 / 120 + h * (1.0 / 720 + h * (1.0 / 5040))));
  const Dd half_square = {0.5 * s.hi, 0.5 * s.lo};
  const Dd tail = wide::dd_add_d(wide::dd_add(half_square, cube_sixth), q);
  return wide::dd_add(r, tail);
}

// log(1 + r) for an exact-enough |r| < 2^-14.9: r - r^2/2 + r^3 (1/3 - r/4 + ... + r^4/7),
// the Taylor rest below r^8/8 < 2^-122. r^2/2 exact from two_prod. With `accurate`, r^3/3
// is in double-double and only r^4 (-1/4 + r/5 - r^2/6 + r^3/7) (<= 2^-61.6 r) rounds in
// double: relative error <= 2^-100 of r. Without it the cubic part q (<= 2^-31.4 r) is in
// double, off by 2^-50 of itself: <= 2^-96.9 absolute, for callers whose result is >= 2^-9.
Dd log1p_small(Dd r, bool accurate) {
  Dd s = wide::two_prod(r.hi, r.hi);
  s.lo += 2 * r.hi * r.lo;
  const Dd minus_half_square = {-0.5 * s.hi, -0.5 * s.lo};
  const double h = r.hi;
  if (!accurate) {
    const double q = s.hi * h * (1.0 / 3 + h * (-1.0 / 4 + h * (1.0 / 5 + h * (-1.0 / 6 + h * (1.0 / 7)))));
    return wide::dd_add_d(wide::dd_add(r, minus_half_square), q);
  }
  constexpr Dd third = {0x1.5555555555555p-2, 0x1.5555555555555p-56};
  const Dd cube_third = wide::dd_mul(wide::dd_mul(s, r), third);
  const double q = s.hi * s.hi * (-1.0 / 4 + h * (1.0 / 5 + h * (-1.0 / 6 + h * (1.0 / 7))));
  const Dd tail = wide::dd_add_d(wide::dd_add(minus_half_square, cube_third), q);
  return wide::dd_add(r, tail);
}

// a * b exactly, for b of at most 26 significant bits (so only a needs splitting).
inline Dd prod_short(double a, double b) {
  const double p = a * b;
  const Dd as = wide::split(a);
  return {p, (as.hi * b - p) + as.lo * b};
}

}  // namespace

// n = nearest integer to x 4096/ln2; e^x = 2^(n/4096) e^r with |r| <= 2^-13.5.
// Relative error: table 2^-101.8, e^r - 1 2^-93 (absolute, e^r >= 1 - 2^-13.5), the
// products and the sum T + T p (2^-102 and 2^-103.6): total < 2^-92.5, claimed 2^-91.
Dd exp_kernel(Dd x, int& k) {
  const double n = nearest_integer(x.hi * inv_ln2_4096);
  const Dd r = reduce_exp(x, n);
  const Dd t = exp2_table(static_cast<int>(n), k);
  const Dd p = expm1_small(r);
  return wide::dd_add(t, wide::dd_mul(t, p));
}

// n = 0 (|x| <= ln2/8192): the accurate small series, relative 2^-100. Otherwise
// |e^x - 1| >= 2^-13.6, and e^x - 1 = (2^k T - 1) + 2^k T p: T's error 2^-101.8 of
// 2^k T <= e^40 scales by at most 2^k T / |e^x - 1| <= 2^13.6 (x near ln2/8192) and by
// at most 1.6 (x >= 1 or x <= -1): <= 2^-88.2; p's error 2^-100 of p, the additions
// 2^-103.6 of sums at most 3 times the result: total < 2^-88, claimed 2^-85.
Dd expm1_kernel(Dd x) {
  const double n = nearest_integer(x.hi * inv_ln2_4096);
  const Dd r = reduce_exp(x, n);
  const Dd p = expm1_small_accurate(r);
  if (n == 0) return p;
  int k = 0;
  Dd t = exp2_table(static_cast<int>(n), k);
  t = {wide::scale(t.hi, k), wide::scale(t.lo, k)};  // |k| <= 58: exact
  return wide::dd_add(wide::dd_add_d(t, -1.0), wide::dd_mul(t, p));
}

// x = 2^e z with z in [0x1.6ap-1, 0x1.6ap+0), picked from the bits; z c1 = 1 + r1 exactly
// (|r1| < 2^-7), (1 + r1) c2 = 1 + r2 (|r2| < 2^-14.9, error 2^-113), and
// log x = e ln2 - log c1 - log c2 + log(1 + r2).
// Near 1 (e = 0 and c1 = 1, |log x| possibly tiny) the accurate series: relative
// 2^-100 of log(1 + r2), and -log c2 (2^-106) adds to it without cancellation
// (|log c2| <= 2 |log x| once J != 0): < 2^-99. Elsewhere every term is at most 4 |log x|,
// and the absolute errors are the series' 2^-96.3, the tables' 2^-106 of terms <= 0.35,
// three dd_add (2^-103.6 of sums <= 4 |log x|) and, for e != 0, e ln2's 2^-96 (ln2.lo e
// rounds): with e = 0, |log x| >= 2^-8.6 and the sum is < 2^-87.5 relative; with e != 0,
// |log x| >= 0.34 and it is < 2^-93. Claimed 2^-85 (2^-90.1 seen against MPFR).
Dd log_kernel(double x) {
  int e = 0;
  int i = 0;
  const double z = exp_log_fast::reduce_log<7>(x, e, i);
  const exp_log_tables::LogEntry& coarse = exp_log_tables::log_coarse[i];
  // z = zh + zl (26 bits each); zh c1 (50 bits) and zl c1 are exact, zh c1 - 1 is exact
  // (Sterbenz: zh c1 in [1/2, 2]), and two_sum makes r1 = z c1 - 1 exactly.
  const Dd zs = wide::split(z);
  const Dd r1 = wide::two_sum(zs.hi * coarse.c - 1.0, zs.lo * coarse.c);
  const int j = static_cast<int>(nearest_integer(r1.hi * 0x1p14));
  const exp_log_tables::LogEntry& fine = exp_log_tables::log_fine[j + 128];
  // r2 = r1 c2 + (c2 - 1): c2 - 1 exact (25 bits), r1.hi c2 exact (c2 has 26 bits),
  // r1.lo c2 off by 2^-113.
  const Dd p = prod_short(r1.hi, fine.c);
  Dd r2 = wide::two_sum(fine.c - 1.0, p.hi);
  r2.lo += p.lo + r1.lo * fine.c;
  r2 = wide::quick_two_sum(r2.hi, r2.lo);
  const bool near_one = e == 0 && coarse.c == 1.0;
  const Dd series = log1p_small(r2, near_one);
  Dd sum = wide::dd_add(fine.minus_log_c, series);
  if (near_one) return sum;
  constexpr Dd ln2 = {crmath_constants::ln2_hi, crmath_constants::ln2_lo};
  sum = wide::dd_add(coarse.minus_log_c, sum);
  if (e != 0) sum = wide::dd_add(wide::dd_mul_d(ln2, e), sum);
  return sum;
}

// |x| < 2^-15: the accurate series, relative 2^-100. Otherwise 1 + x = u.hi + u.lo exactly
// (two_sum, then x.lo added: |x.lo| <= 2^-53 |x.hi|, one rounding of 2^-106 of u), and
// log(1 + x) = log u.hi + log(1 + d) with d = u.lo / u.hi, |d| <= 2^-52: log(1 + d) = d
// to 2^-105, against |log(1 + x)| >= 2^-15.1. log_kernel's 2^-85: total < 2^-84.9.
Dd log1p_kernel(Dd x) {
  if (wide::magnitude(x.hi) < 0x1p-15) return log1p_small(x, true);
  Dd u = wide::two_sum(1.0, x.hi);
  u.lo += x.lo;
  u = wide::quick_two_sum(u.hi, u.lo);
  return wide::dd_add_d(log_kernel(u.hi), u.lo / u.hi);
}

using crmath_round::round_absolute;
using exp_log_fast::exp_fast_parts;
using exp_log_fast::log_first;

namespace {

// log and log10 of NaN, negative numbers, zero and +infinity, into out; false for a positive
// finite x (subnormals included), which the common path takes. One test for that case first.
inline bool log_special(double x, double& out) {
  if (wide::bits_of(x) - 0x0010000000000000 < 0x7FE0000000000000) return false;
  if (wide::is_nan(x)) {
    out = x + x;
  } else if (x < 0) {
    out = wide::double_of(0x7FF8000000000000);  // NaN
  } else if (x == 0) {
    out = wide::double_of(0xFFF0000000000000);  // -infinity
  } else if (!wide::is_finite(x)) {
    out = x;  // +infinity
  } else {
    return false;  // subnormal
  }
  return true;
}

// The second steps and the accurate paths, out of line: the common path then needs no
// stack frame.
[[gnu::noinline]] double exp_careful(double x) {
  int k = 0;
  double result = 0;
  const Dd r = exp_kernel({x, 0.0}, k);
  if (crmath_round::round_scaled(r, 0x1p-90, k, result)) return result;
  return mp_exp(x);
}

[[gnu::noinline]] double log_careful(double x) {
  double result = 0;
  if (crmath_round::round_scaled(log_kernel(x), 0x1p-84, 0, result)) return result;
  return mp_log(x);
}

// log x for x in [0x1.6ap-1, 0x1.6ap+0), out of line: the common path needs no test of x = 1.
[[gnu::noinline]] double log_near_one(double x, exp_log_fast::LogReduced r) {
  if (x == 1.0) return 0.0;
  double result = 0;
  // 2^-75 covers the test's rounding of the unnormalised sum.
  if (round_absolute(exp_log_fast::log_near(r, false), 0x1p-75, result)) return result;
  return log_careful(x);
}

// 1/ln10 as hi + lo: the product's error 2^-102 adds to the logarithm's.
constexpr Dd inv_ln10 = {0x1.bcb7b1526e50ep-2, 0x1.95355baaafad3p-57};

[[gnu::noinline]] double log10_careful(double x) {
  double result = 0;
  if (crmath_round::round_scaled(wide::dd_mul(log_kernel(x), inv_ln10), 0x1p-84, 0, result)) return result;
  // Exact integers 10^k (0 <= k <= 22) pass the first test; for the rest, the wide path.
  return mp_log10(x);
}

}  // namespace

double cr_exp(double x) {
  // One test for the common case 2^-54 <= |x| < 512, then the others.
  if (wide::bits_of(wide::magnitude(x)) - 0x3C90000000000000 >= 0x4080000000000000 - 0x3C90000000000000) {
    if (wide::is_nan(x)) return x + x;
    // Past 0x1.62e42fefa39efp+9 the result rounds to infinity; from -0x1.74910d52d3052p+9
    // (below -1075 ln2) it rounds to zero. Between, the kernel and the final rounding
    // decide, on the subnormal grid where needed, so both thresholds come out exact.
    if (x > 0x1.62e42fefa39efp+9) return wide::double_of(0x7FF0000000000000);
    if (x <= -0x1.74910d52d3052p+9) return 0.0;
    if (wide::magnitude(x) < 0x1p-54) return 1.0 + x;  // e^x = 1 + x + x^2/2: rounds as 1 + x
  }
  int k = 0;
  double result = 0;
  double lo = 0;
  const double hi = exp_fast_parts({x, 0.0}, k, lo);  // sets k: never in the same call as its use
  if (k > -1000 && k < 1000) {
    // The test of round_scaled on the sum before normalisation (hi in [0.99, 2.02]): lo -+ e
    // rounds by 2^-69 at most (|lo| <= 2^-16), inside the margin 2^-65 - 2^-66.
    const double e = 0x1p-65 * hi;
    const double a = hi + (lo - e);
    if (a == hi + (lo + e)) return a * wide::power_of_two(k);
  } else if (crmath_round::round_scaled(wide::quick_two_sum(hi, lo), 0x1p-65, k, result)) {
    return result;
  }
  return exp_careful(x);
}

double cr_log(double x) {
  double special = 0;
  if (log_special(x, special)) [[unlikely]] return special;
  const exp_log_fast::LogReduced r = exp_log_fast::log_reduce(x);
  if (r.e != 0) [[likely]] {
    double result = 0;
    // 2^-67 covers the test's rounding of the unnormalised sum.
    if (round_absolute(exp_log_fast::log_far(r, false), 0x1p-67, result)) return result;
    return log_careful(x);
  }
  return log_near_one(x, r);
}

// Powers of ten that are doubles, whose logarithms are exact integers.
double cr_log10(double x) {
  double special = 0;
  if (log_special(x, special)) [[unlikely]] return special;
  double result = 0;
  // The first step's bound times 1/ln10 < 0.44, 2^-102 of a result below 2^9 (< 2^-93)
  // and the test's rounding (2^-105 of it): below the bound.
  double bound = 0;
  const Dd fast = wide::dd_mul(log_first(x, true, bound), inv_ln10);
  if (round_absolute(fast, bound, result)) return result;
  return log10_careful(x);
}
