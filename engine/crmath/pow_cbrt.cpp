// pow and cbrt correctly rounded: pow by e^(y log x) in double-double with exact and halfway results found exactly, cbrt by Halley's iteration and a double-double correction.
#include <bit>
#include <cmath>
#include <cstdint>

#include "engine/crmath/cbrt_table.h"
#include "engine/crmath/crmath.h"
#include "engine/crmath/exp_log.h"
#include "engine/crmath/multi.h"
#include "engine/crmath/round.h"
#include "engine/crmath/wide.h"

using wide::Dd;

namespace {

constexpr std::uint64_t sign_bit = 0x8000000000000000;
constexpr std::uint64_t fraction_bits = 0x000FFFFFFFFFFFFF;

double infinity() { return wide::double_of(0x7FF0000000000000); }
double nan_value() { return wide::double_of(0x7FF8000000000000); }

// y's class as an exponent of a negative base: 0 not an integer, 1 odd, 2 even.
int integer_class(double y) {
  if (!wide::is_finite(y)) return 0;
  if (y == 0) return 2;
  const int e = wide::exponent_of(y);
  if (e < 0) return 0;    // 0 < |y| < 1
  if (e > 52) return 2;   // every double from 2^53 up is even
  const std::uint64_t significand = (wide::bits_of(y) & fraction_bits) | (fraction_bits + 1);
  const std::uint64_t fraction_mask = (std::uint64_t{1} << (52 - e)) - 1;
  if ((significand & fraction_mask) != 0) return 0;
  return ((significand >> (52 - e)) & 1) != 0 ? 1 : 2;
}

// A finite nonzero |x| as odd * 2^exponent.
void odd_and_exponent(double x, std::uint64_t& odd, int& exponent) {
  const std::uint64_t bits = wide::bits_of(x) & ~sign_bit;
  const int biased = static_cast<int>(bits >> 52);
  odd = biased == 0 ? bits : (bits & fraction_bits) | (fraction_bits + 1);
  exponent = (biased == 0 ? 1 : biased) - 1075;
  const int zeros = std::countr_zero(odd);
  odd >>= zeros;
  exponent += zeros;
}

int bit_length(std::uint64_t v) { return static_cast<int>(std::bit_width(v)); }

// value * 2^exponent rounded once to the nearest double (ties to even), on the
// subnormal grid when tiny, to infinity past the largest double. value in [1, 2^63).
double round_exact(std::uint64_t value, std::int64_t exponent) {
  const int bits = bit_length(value);
  if (exponent + bits - 1 > 1023) return infinity();  // >= 2^1024
  if (exponent + bits <= -1075) return 0.0;           // < 2^-1075: below half the least
  std::int64_t drop = bits - 53;
  if (-1074 - exponent > drop) drop = -1074 - exponent;  // the subnormal grid
  std::uint64_t kept = value;
  if (drop > 0) {  // drop <= bits <= 63
    kept = value >> drop;
    const std::uint64_t rest = value & ((std::uint64_t{1} << drop) - 1);
    const std::uint64_t half = std::uint64_t{1} << (drop - 1);
    if (rest > half || (rest == half && (kept & 1) != 0)) ++kept;
  } else {
    drop = 0;
  }
  // kept <= 2^53 is exact as a double; the scaling is exact or overflows as it should.
  return wide::scale(static_cast<double>(kept), static_cast<int>(exponent + drop));
}

// odd^n < 2^63 exactly, or false when it is not below 2^63.
bool small_power(std::uint64_t odd, std::uint64_t n, std::uint64_t& power) {
  power = 1;
  for (std::uint64_t i = 0; i < n; ++i) {
    if (power > (std::uint64_t{1} << 63) / odd) return false;  // odd >= 3: at most 40 rounds
    power *= odd;
  }
  return true;
}

// x^y for x > 0 when the result is a double or halfway between two (or between 0 and
// the least subnormal), then true with the correctly rounded value; false when x^y is
// neither. Write x = o 2^E (o odd) and y = m / 2^k (m odd, k >= 0, or y integral).
// o = 1: x^y = 2^(E y), a power of two exactly when E y is an integer. o >= 3: x^y is a
// dyadic rational only when y >= 0 and x is a 2^k-th power, v^(2^k); then x^y = v^m,
// whose odd part o_v^m has at most 54 bits (doubles and halfway points) or, on the
// subnormal grid, 53 (a half there is odd * 2^-1075): testing o_v^m < 2^63 covers both.
// v^(2^k) <= 2^53 with an odd v >= 3 needs k <= 5 (Lauter and Lefevre, IEEE TC 2009).
bool exact_power(double x, double y, double& result) {
  std::uint64_t odd = 0;
  int e = 0;
  odd_and_exponent(x, odd, e);
  const bool integral = integer_class(y) != 0;
  if (odd == 1) {
    // E y exactly: E has at most 11 bits, so two_prod's parts are exact.
    const Dd ey = wide::two_prod(static_cast<double>(e), y);
    if (ey.lo != 0 || integer_class(ey.hi) == 0) return false;
    if (wide::magnitude(ey.hi) > 4000) return false;  // far outside; never undecided
    result = round_exact(1, static_cast<std::int64_t>(ey.hi));
    return true;
  }
  if (y < 0) return false;  // 1 / (an odd number >= 3) is no dyadic rational
  std::uint64_t m = 0;
  int k = 0;
  if (integral) {
    if (y > 64) return false;  // 3^41 > 2^63 already
    m = static_cast<std::uint64_t>(y);
  } else {
    std::uint64_t ym = 0;
    int ye = 0;
    odd_and_exponent(y, ym, ye);  // y = ym 2^ye, ye < 0 as y is not integral
    k = -ye;
    if (k > 5 || ym > 64) return false;
    m = ym;
    // x = v^(2^k): take k exact square roots of o, and E must be a multiple of 2^k.
    if ((e & ((1 << k) - 1)) != 0) return false;
    for (int i = 0; i < k; ++i) {
      const auto root = static_cast<std::uint64_t>(wide::square_root(static_cast<double>(odd)));  // o < 2^53: exact input
      if (root * root != odd) return false;
      odd = root;
    }
    e >>= k;  // arithmetic: e is a multiple of 2^k
  }
  std::uint64_t power = 0;
  if (!small_power(odd, m, power)) return false;
  result = round_exact(power, static_cast<std::int64_t>(e) * static_cast<std::int64_t>(m));
  return true;
}

}  // namespace

namespace {

// The second step, the exact and halfway results and the accurate path, out of line.
// `in_range`: the first step's estimate of y log|x| lay strictly inside (-746, 710).
[[gnu::noinline]] double pow_careful(double x, double y, double ax, bool negate, bool in_range) {
  double result = 0;
  if (in_range) {
    const Dd t = wide::dd_mul_d(log_kernel(ax), y);
    if (t.hi > -746 && t.hi < 710) {
      int k = 0;
      const Dd r = exp_kernel(t, k);
      if (crmath_round::round_scaled(r, 0x1p-75, k, result)) return negate ? -result : result;
    }
  }
  if (exact_power(ax, y, result)) return negate ? -result : result;
  return mp_pow(x, y);
}

// |x|^y (negated with `negate`) for ax = |x| positive and finite, ax != 1, y finite and
// nonzero: the first step inline, the rest out of line.
[[gnu::always_inline]] inline double pow_positive(double x, double y, double ax, bool negate) {
  // The logarithm unnormalised (its head comes early, so that y times it runs beside the
  // polynomial): |log.lo| <= 2^-16 |log.hi|, so the estimate y log.hi is within 2^-15.9 of
  // y log x, and past the limits (0.011 beyond them at most) e^t lies beyond 2^1024 or below
  // 2^-1076. Inside them |y| < 2^63 (|log x| >= 2^-53 for x != 1): two_prod's split stays
  // in range.
  double log_bound = 0;  // a power of two: |y| log_bound is exact
  const Dd log_x = exp_log_fast::log_first(ax, false, log_bound);
  const double estimate = y * log_x.hi;  // two_prod's head below: the same product
  // The common case first, with one test of the range (the ends, -746 and 710 exactly,
  // are left to the exact check and the accurate path).
  if (estimate > -746 && estimate < 710) [[likely]] {
    // t = y log x: y log.hi exactly; y log.lo rounds by 2^-53 of |y| 2^-16.9, the share of
    // the log's bound it sets aside for a test's rounding; the heads' sum is exact
    // (quick_two_sum: |log.lo| <= |log.hi|), adding p.lo rounds by 2^-106 |t|; |t.lo| < 2^-42.
    const Dd product = wide::two_prod(log_x.hi, y);
    Dd t = wide::quick_two_sum(product.hi, y * log_x.lo);
    t.lo += product.lo;
    // 1.25 2^-66 + 2^-93 is exact in one constant.
    const double eps = 0x1.4000002p-66 + wide::magnitude(y) * log_bound * 0x1.0001p0;
    int k = 0;
    double lo = 0;
    const double hi = exp_log_fast::exp_fast_parts(t, k, lo);  // sets k: never in the same call as its use
    if (k > -1000 && k < 1000) [[likely]] {
      // round_scaled's test on the sum before normalisation (hi in [0.99, 2.02]): lo -+ e
      // rounds by 2^-69 at most (|lo| <= 2^-16), inside eps's margin of 2^-68.
      const double e = eps * hi;
      const double a = hi + (lo - e);
      if (a == hi + (lo + e)) return (negate ? -a : a) * wide::power_of_two(k);
    } else {
      double result = 0;
      if (crmath_round::round_scaled(wide::quick_two_sum(hi, lo), eps, k, result)) {
        return negate ? -result : result;
      }
    }
    return pow_careful(x, y, ax, negate, true);
  }
  if (estimate > 710 || estimate < -746) {
    const double magnitude = estimate > 0 ? infinity() : 0.0;
    return negate ? -magnitude : magnitude;
  }
  return pow_careful(x, y, ax, negate, false);
}

// Special cases as C99 Annex F; a negative base with an integral y, and a subnormal base,
// go on to pow_positive.
[[gnu::noinline]] double pow_special(double x, double y) {
  if (y == 0 || x == 1) return 1.0;
  if (wide::is_nan(x) || wide::is_nan(y)) return x + y;
  const bool x_negative = (wide::bits_of(x) & sign_bit) != 0;  // -0 too
  const int y_class = x_negative ? integer_class(y) : 0;        // only a negative base needs it
  const bool negate = x_negative && y_class == 1;
  const double ax = wide::magnitude(x);
  if (x == 0) {
    if (y < 0) return negate ? -infinity() : infinity();
    return negate ? x : 0.0;
  }
  if (!wide::is_finite(y)) {
    if (ax == 1) return 1.0;  // (-1)^(+-inf)
    return (ax < 1) == (y < 0) ? infinity() : 0.0;
  }
  if (!wide::is_finite(x)) {
    const double magnitude = y > 0 ? infinity() : 0.0;
    return negate ? -magnitude : magnitude;
  }
  if (x_negative && y_class == 0) return nan_value();
  if (ax == 1) return negate ? -1.0 : 1.0;
  return pow_positive(x, y, ax, negate);
}

}  // namespace

// x^y: special cases as C99 Annex F. Then two steps of Ziv's method, each e^t with t = y log|x|
// in double-double, before the exact cases and the accurate path.
// First: log_first's absolute bound b (2^-67 when |log x| >= ln2/2, else 2^-75) times
// |y| (with the rounding of y log.lo), and 2^-106 of |t| <= 746 (2^-96.4), make t off by
// d <= |y| b + 2^-96.4;
// e^(t + d) = e^t (1 + d (1 + d)), and exp_fast_parts adds 2^-66: the test runs with
// 1.25 2^-66 + |y| b (1 + 2^-16) + 2^-93 (the margin covers the test's own roundings; a
// d above 2^-16 makes e so large that the test fails), so a large |y| leaves it to the
// second step. With |y| <= 20 the bound is at most 2^-62.6: the test fails on about
// 2 eps 2^52 <= 0.3 % of arguments, cheaper than the exact square the tighter log costs.
// Second: log_kernel's relative 2^-85 and dd_mul_d's 2^-103 give |t| 2^-84.9 <= 2^-75.4
// absolute, a relative 2^-75.4 of the result, and exp_kernel adds 2^-91: the test runs
// with 2^-75. When it cannot decide, an exact or halfway result is found exactly;
// anything else goes to the accurate path.
double cr_pow(double x, double y) {
  // One test for the common case, x positive and normal and y finite and nonzero; then
  // the others.
  if (wide::bits_of(x) - 0x0010000000000000 >= 0x7FE0000000000000 ||
      (wide::bits_of(y) & ~sign_bit) - 1 >= 0x7FEFFFFFFFFFFFFF) [[unlikely]] {
    return pow_special(x, y);
  }
  if (x == 1) return 1.0;  // log 1 = 0 would leave any y, however large, to the products below
  return pow_positive(x, y, x, false);
}

// cbrt x = 2^q cbrt(a) with a = |x| 2^-3q = 2^s m, m in [1, 2), s in {0, 1, 2}. Start: the
// table's cube root at the middle of a's sixteenth of [2^s, 2^(s+1)), within 1.1 %; two
// Halley steps y (y^3 + 2a) / (2 y^3 + a), each about cubing the relative error
// (0.6 e^3: 2^-20.6, then 2^-60 in exact arithmetic, so the double arithmetic's few
// roundings decide: |y/cbrt a - 1| <= 2^-50, 2^-51.0 seen on 10^7 arguments). Then
// y + d (1 - d/y) with d = (a - y^3) / (3 y^2): its own error is 5/3 (2^-50)^3 (third
// order); y^3 in double-double is off by 2^-105 of a, d carries that (2^-105 y) and
// four roundings of itself (2^-51 of |d| <= 2^-49.9 y): <= 2^-100 y; the final sum is an
// exact quick_two_sum. The test runs with 2^-97. An exact cube root is a double, half a
// unit from every midpoint, far outside the bound: the test returns it, by proof. cbrt has
// no halfway results (the cube of a 54-bit odd number has more than 53 bits).
double cr_cbrt(double x) {
  if (x == 0 || !wide::is_finite(x)) return x + x;  // +-0, +-inf, NaN
  std::uint64_t bits = wide::bits_of(x) & ~sign_bit;
  int q_shift = 0;
  if (bits < 0x0010000000000000) {  // subnormal: times 2^54 (cube root 2^18)
    bits = wide::bits_of(wide::double_of(bits) * 0x1p54);
    q_shift = -18;
  }
  const int e = static_cast<int>(bits >> 52) - 1023;
  const int q = (e >= 0 ? e : e - 2) / 3;  // floor(e / 3)
  const double a = wide::double_of(bits - (static_cast<std::uint64_t>(q * 3 + 1023) << 52) +
                                   (std::uint64_t{1023} << 52));  // |x| 2^-3q, in [1, 8)
  const int s = e - 3 * q;
  double y = cbrt_table::start[16 * s + static_cast<int>((bits >> 48) & 15)];
  for (int i = 0; i < 2; ++i) {
    const double y3 = y * y * y;
    y = y * (y3 + 2 * a) / (2 * y3 + a);
  }
  const Dd y2 = wide::two_prod(y, y);
  Dd y3 = wide::two_prod(y2.hi, y);
  y3.lo += y2.lo * y;
  const double residual = (a - y3.hi) - y3.lo;  // a - y3.hi exact (Sterbenz)
  const double d = residual / (3 * y2.hi);
  const Dd r = wide::quick_two_sum(y, d * (1 - d / y));
  double result = 0;
  if (!crmath_round::round_scaled(r, 0x1p-97, q + q_shift, result)) return mp_cbrt(x);
  return x < 0 ? -result : result;
}
