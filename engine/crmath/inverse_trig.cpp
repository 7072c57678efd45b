// asin, acos and atan, correctly rounded: tables of their Taylor terms at i/256, Ziv's test.
//
// atan: the Taylor terms at c = i/256 near x, or near 1/x past 1 (pi/2 - atan(1/x)).
// asin: the Taylor terms at c = i/256 for |x| <= 1/2, and above
// asin x = pi/2 - 2 asin(sqrt((1 - x)/2)), where 1 - x is exact; acos from the same
// kernel. Bounds are relative to the result unless they say otherwise; docs/accuracy.md
// derives them.
#include "engine/crmath/asin_table.h"
#include "engine/crmath/atan_table.h"
#include "engine/crmath/constants.h"
#include "engine/crmath/crmath.h"
#include "engine/crmath/multi.h"
#include "engine/crmath/trig_tables.h"
#include "engine/crmath/round.h"
#include "engine/crmath/wide.h"

namespace {

using wide::Dd;
using wide::quick_two_sum;
using wide::two_prod;
using wide::two_sum;

// d^2 (a[0] + a[1] d + ... + a[7] d^7), the Taylor terms past the linear one, in
// Estrin's form: the same roundings on the leading terms as Horner's, a shorter chain.
inline double taylor_tail(const double (&a)[8], double d) {
  const double z = d * d;
  const double p45 = a[4] + d * a[5];
  const double p67 = a[6] + d * a[7];
  const double p23 = a[2] + d * a[3];
  const double p01 = a[0] + d * a[1];
  return z * ((p01 + z * p23) + (z * z) * (p45 + z * p67));
}

constexpr double nan_value = __builtin_nan("");


constexpr Dd half_pi = {crmath_constants::half_pi_hi, crmath_constants::half_pi_lo};
constexpr Dd pi = {2 * crmath_constants::half_pi_hi, 2 * crmath_constants::half_pi_lo};  // exact

// atan x for 2^-27 <= x <= 2^55, within 2^-67.3 of it (relative), by the Taylor terms
// at c = i/256 of atan y, y = x up to 1 and y = 1/x past 1 (atan x = pi/2 - atan y,
// with pi/2 - atan c from the table's second row). Past 1, y = u + (1 - u x) u with
// u = 1/x rounded: u x by two_prod, 1 - its hi exact (Sterbenz): y within 2^-104.
// i = round(256 y.hi) (exact, as in the asin kernel below), d = y.hi - c is exact (both
// multiples of ulp(y.hi) and |d| <= y.hi), |d| <= 2^-9. atan c + a1 d is exact to
// 2^-78 (a1 as a 26-bit head, exact with d's halves, and a rest: the table's 2^-79;
// the sums' roundings 2^-79); the tail d^2 (a[0] + a[1] d + ...) is at most 2^-16.8 of
// atan y (at i = 1, where a[0] d^2 = c d^2 weighs most against atan y >= 2^-9) and
// rounds within 4.5 2^-53 of itself: 2^-67.6; the last sum adds 2^-69.8, the terms left
// out 2^-85, y.lo (through a1 + 2 a[0] d) and the table 2^-100. Past 1 the result is
// at least pi/4 >= atan y: the same bound.
Dd atan_kernel(double x) {
  const bool past_one = x > 1.0;
  Dd y = {x, 0.0};
  if (past_one) {
    const double u = 1.0 / x;
    const Dd p = two_prod(u, x);
    y = {u, ((1.0 - p.hi) - p.lo) * u};
  }
  const int i = (static_cast<int>(y.hi * 512.0) + 1) >> 1;  // round(256 y.hi)
  const trig_tables::AtanEntry& e = trig_tables::atan_taylor[i];
  const double d = y.hi - i * 0x1p-8;
  const double tail = taylor_tail(e.a, d);
  // a1 d: a1.hi has 26 bits, so its products with d's halves are exact.
  const Dd halves = wide::split(d);
  const double linear_hi = e.a1.hi * halves.hi;
  const double low = ((e.a1.hi * halves.lo + e.a1.lo * d) + y.lo * (e.a1.hi + 2.0 * e.a[0] * d)) + tail;
  const Dd& a0 = trig_tables::atan_table[past_one][i];
  const double sign = past_one ? -1.0 : 1.0;
  const Dd sum = two_sum(a0.hi, sign * linear_hi);
  return quick_two_sum(sum.hi, (sum.lo + a0.lo) + sign * low);
}

// asin y for 0 <= y.hi <= 1/2 + 2^-50 (y.lo within half a unit of y.hi), by the Taylor
// terms at c = i/256, i = round(256 y.hi): d = y.hi - c is exact (as x - c above) and
// |d| <= 2^-9. a0 + a1 d is exact to 2^-78 (a1 as a 26-bit head, exact with d's
// halves, and a rest: the table's 2^-79; the sums' roundings 2^-79); the tail
// d^2 (a[0] + a[1] d + ...) is below 2^-17.8 of the result and rounds to within
// 4.5 2^-53 of itself, the terms left out are below 2^-85 and y.lo enters through the
// derivative a1 + 2 a[0] d: within 2^-68.2 of asin y.
[[gnu::always_inline]] inline Dd asin_kernel(Dd y) {
  const int i = (static_cast<int>(y.hi * 512.0) + 1) >> 1;  // round(256 y.hi), as in atan
  const trig_tables::AsinEntry& e = trig_tables::asin_table[i];
  const double d = y.hi - i * 0x1p-8;
  const double tail = taylor_tail(e.a, d);
  const Dd halves = wide::split(d);  // a1.hi has 26 bits: exact products with both halves
  const Dd sum = two_sum(e.a0.hi, e.a1.hi * halves.hi);
  const double low = (((sum.lo + e.a1.hi * halves.lo) + e.a0.lo) +
                      (e.a1.lo * d + y.lo * (e.a1.hi + 2.0 * e.a[0] * d))) +
                     tail;
  return quick_two_sum(sum.hi, low);
}

// sqrt(v) for 2^-60 <= v <= 1 as hi + lo, hi the rounded root: hi + lo within 2^-75 of
// sqrt v (relative). lo = (v - hi^2)/(2 hi) needs only 2^-22 of itself, since it is
// below 2^-53 hi: with hi = sh + sl in halves of 26 bits, v - sh^2 and then minus
// 2 sh sl are exact (Sterbenz: each pair agrees to 2^-25), sl^2 rounds below 2^-53 of
// the residual, and 1/(2 hi) in single precision is within 2^-24.
inline Dd sqrt_dd(double v) {
  const double s = wide::square_root(v);
  const Dd halves = wide::split(s);
  const double residual =
      ((v - halves.hi * halves.hi) - 2.0 * halves.hi * halves.lo) - halves.lo * halves.lo;
  return quick_two_sum(s, residual * static_cast<double>(0.5f / static_cast<float>(s)));
}

// The kernels' bounds with slack for the error's own computation: atan's 2^-67.3,
// asin's 2^-68.2, and twice that for pi/2 - 2 asin y, which is at least pi/6 with
// 2 asin y at most pi/3.
constexpr double atan_bound = 0x1p-67;
constexpr double asin_bound = 0x1.7p-68;  // 2^-67.48
constexpr double asin_doubled_bound = 0x1.7p-67;

// Ziv's rounding test: y within `error` of the exact value (error computed with slack
// for its own rounding) rounds to one double, or the accurate path decides.
using crmath_round::round_absolute;

}  // namespace

double cr_atan(double x) {
  if (wide::is_nan(x)) return x + x;
  const double ax = wide::magnitude(x);
  // |x| < 2^-27: atan x = x (1 - d), 0 < d < x^2/3 < 2^-54, never half a unit away.
  if (ax < 0x1p-27) return x;
  // |x| > 2^55: atan |x| = pi/2 - e, 0 < e < 2^-55, and pi/2 lies 0.276 units of
  // 2^-52 above half_pi_hi: the result rounds to half_pi_hi (infinities included).
  if (ax > 0x1p55) return wide::with_sign_of(crmath_constants::half_pi_hi, x);
  const Dd y = atan_kernel(ax);
  double out;
  if (round_absolute(y, wide::magnitude(y.hi) * atan_bound, out)) return wide::with_sign_of(out, x);
  return mp_atan(x);
}

double cr_asin(double x) {
  const double ax = wide::magnitude(x);
  if (!(ax <= 1.0)) return nan_value;  // NaN or |x| > 1
  // |x| < 2^-26: asin x = x (1 + d), 0 < d < x^2/6 < 2^-54, never half a unit away.
  if (ax < 0x1p-26) return x;
  if (ax == 1.0) return wide::with_sign_of(crmath_constants::half_pi_hi, x);
  // Above 1/2, asin x = pi/2 - 2 asin(sqrt((1 - x)/2)): (1 - x)/2 is exact (Sterbenz),
  // its root within 2^-75, which moves asin by at most 1.16 2^-75 of itself (2^-68.2
  // and that stay below the bound), and the
  // result is at least pi/6 with 2 asin at most pi/3 (the doubled bound).
  const bool above_half = ax > 0.5;
  const Dd a = asin_kernel(above_half ? sqrt_dd((1.0 - ax) * 0.5) : Dd{ax, 0.0});
  const double scale = above_half ? -2.0 : 1.0;  // exact products
  const Dd base = above_half ? half_pi : Dd{0.0, 0.0};
  const Dd sum = two_sum(base.hi, scale * a.hi);
  const Dd y = quick_two_sum(sum.hi, sum.lo + (base.lo + scale * a.lo));  // 2^-104
  double out;
  if (round_absolute(y, wide::magnitude(y.hi) * (above_half ? asin_doubled_bound : asin_bound), out))
    return wide::with_sign_of(out, x);
  return mp_asin(x);
}

double cr_acos(double x) {
  const double ax = wide::magnitude(x);
  if (!(ax <= 1.0)) return nan_value;  // NaN or |x| > 1
  if (x == 1.0) return 0.0;
  if (x == -1.0) return pi.hi;
  // |x| < 2^-55: acos x = pi/2 - x - d with 0 < d < |x|^3: pi/2 is 0.276 units of 2^-52
  // above half_pi_hi, and |x| adds at most 0.125 of a unit: half_pi_hi.
  if (ax < 0x1p-55) return crmath_constants::half_pi_hi;
  // Up to 1/2: pi/2 - asin x, at least pi/3 with asin |x| at most pi/6 (half the
  // kernel's bound). Above: acos |x| = 2 asin(sqrt((1 - |x|)/2)), and for x < 0
  // pi - acos |x|, at least pi/2 with acos |x| at most pi/3.
  const bool above_half = ax > 0.5;
  const bool negative = x < 0;
  const Dd a = asin_kernel(above_half ? sqrt_dd((1.0 - ax) * 0.5) : Dd{ax, 0.0});
  const double sign = negative ? -1.0 : 1.0;
  const double scale = (above_half ? 2.0 : -1.0) * sign;  // exact products
  const Dd base_above = negative ? pi : Dd{0.0, 0.0};
  const Dd base = above_half ? base_above : half_pi;
  const Dd sum = two_sum(base.hi, scale * a.hi);
  const Dd y = quick_two_sum(sum.hi, sum.lo + (base.lo + scale * a.lo));  // 2^-104
  double out;
  if (round_absolute(y, wide::magnitude(y.hi) * asin_bound, out)) return out;
  return mp_acos(x);
}
