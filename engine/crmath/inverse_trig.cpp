// asin, acos and atan, correctly rounded: tables of atan(i/256) and of asin's Taylor terms, Ziv's test.
//
// atan: c = i/256 near x (or 1/x past 1), atan x = atan c + atan t with
// t = (x - c)/(1 + c x), |t| <= 2^-9, and pi/2 - atan(1/x) past 1. asin: Taylor terms
// at c = i/256 for |x| <= 1/2, asin x = pi/2 - 2 asin(sqrt((1 - x)/2)) above, where
// 1 - x is exact; acos from the same kernel. Bounds are relative to the result unless
// they say otherwise; docs/accuracy.md derives them.
#include "engine/crmath/asin_table.h"
#include "engine/crmath/constants.h"
#include "engine/crmath/crmath.h"
#include "engine/crmath/multi.h"
#include "engine/crmath/trig_tables.h"
#include "engine/crmath/wide.h"

namespace {

using wide::Dd;
using wide::quick_two_sum;
using wide::two_prod;
using wide::two_sum;

constexpr double nan_value = __builtin_nan("");
constexpr Dd half_pi = {crmath_constants::half_pi_hi, crmath_constants::half_pi_lo};
constexpr Dd pi = {2 * crmath_constants::half_pi_hi, 2 * crmath_constants::half_pi_lo};  // exact

// atan(c + t) for c = i/256 from the table and t = num/den, |t| <= 2^-9 (1 + 2^-40),
// num and den double-doubles exact to 2^-104 of den; negated (pi/2 - ...) if `past_one`.
// Within 2^-68.8 of the result (relative; 2^-78 past one), where c + t >= 2^-9 or i = 0.
//
// t in two digits: q1 = num.hi/den.hi, the remainder num - q1 den exact but for its low
// parts (q1 den.hi by two_prod, num.hi minus its hi by Sterbenz), q2 = remainder/den.hi:
// |error| <= 2^-101 |t| + 2^-104. atan t = t + t^3 P(t^2), P of degree 3 from the
// series: the neglected t^11/11 is below 2^-93 |t|; the tail t^3 P is below 2^-19.5 |t|
// and its roundings (z, P's sum and coefficients, two products) and t.lo's part in it
// stay below 5.5 2^-53 of it: 2^-70 |t|. For i >= 1, |t| <= 1.0001 (c + t) since
// c + t >= 2^-9, and for i = 0, t is the whole argument; the table's 2^-106 and the
// final sums' 2^-104 bring the total below 2^-68.8. Past one, the result is pi/2 - that
// >= pi/4 with that <= pi/4: 2^-68.8 again, and the callers' bound covers both.
inline Dd atan_finish(int i, Dd num, Dd den, bool past_one) {
  const double q1 = num.hi / den.hi;
  const Dd p = two_prod(q1, den.hi);
  const double q2 = ((((num.hi - p.hi) - p.lo) + num.lo) - q1 * den.lo) / den.hi;
  const Dd t = quick_two_sum(q1, q2);
  const double z = t.hi * t.hi;
  const double tail = t.hi * z * (-1.0 / 3 + z * (1.0 / 5 + z * (-1.0 / 7 + z * (1.0 / 9))));
  Dd a = trig_tables::atan_table[i];
  if (past_one) a = wide::dd_add(half_pi, wide::dd_neg(a));  // >= pi/4: 2^-103.6
  const double sign = past_one ? -1.0 : 1.0;
  const Dd sum = two_sum(a.hi, sign * t.hi);
  return quick_two_sum(sum.hi, sum.lo + (a.lo + sign * (t.lo + tail)));
}

// atan x for 2^-27 <= x <= 2^55. Up to 1: c = round(256 x)/256 and t = (x - c)/(1 + c x);
// x - c is exact (both are multiples of ulp(x) and |x - c| <= x), and with x = xh + xl
// split in halves of 26 bits, c xh and c xl are exact (c has 9 bits) and so is
// 1 + c xh (a multiple of 2^-42 below 2). Past 1: atan x = pi/2 - atan(1/x), with
// c = round(256/x)/256, t = (1 - c x)/(x + c): 1 - c xh is exact (a multiple of 2^-34
// below 2 in magnitude), and the two_sums are exact.
Dd atan_kernel(double x) {
  const Dd xs = wide::split(x);
  if (x <= 1.0) {
    // round(256 x) without a rounded addition (x 256 + 0.5 would round 0.5 - 2^-54 up).
    const int i = (static_cast<int>(x * 512.0) + 1) >> 1;
    const double c = i * 0x1p-8;
    return atan_finish(i, {x - c, 0.0}, quick_two_sum(1.0 + c * xs.hi, c * xs.lo), false);
  }
  const int i = static_cast<int>(256.0 / x + 0.5);  // two roundings: |t| grows by 2^-50
  const double c = i * 0x1p-8;
  return atan_finish(i, two_sum(1.0 - c * xs.hi, -(c * xs.lo)), two_sum(x, c), true);
}

// asin y for 0 <= y.hi <= 1/2 + 2^-50 (y.lo within half a unit of y.hi), by the Taylor
// terms at c = i/256, i = round(256 y.hi): d = y.hi - c is exact (as x - c above) and
// |d| <= 2^-9. a0 + a1 d is exact to 2^-104 (two_prod, two_sum); the tail
// d^2 (a[0] + a[1] d + ...) is below 2^-17.8 of the result and rounds to within
// 4.5 2^-53 of itself, the terms left out are below 2^-85 and y.lo enters through the
// derivative a1 + 2 a[0] d: within 2^-68.2 of asin y.
inline Dd asin_kernel(Dd y) {
  const int i = (static_cast<int>(y.hi * 512.0) + 1) >> 1;  // round(256 y.hi), as in atan
  const trig_tables::AsinEntry& e = trig_tables::asin_table[i];
  const double d = y.hi - i * 0x1p-8;
  const double z = d * d;
  const double tail =
      z * (e.a[0] + d * (e.a[1] + d * (e.a[2] + d * (e.a[3] + d * (e.a[4] + d * (e.a[5] + d * (e.a[6] + d * e.a[7])))))));
  const Dd linear = two_prod(e.a1.hi, d);
  const Dd sum = two_sum(e.a0.hi, linear.hi);
  const double low = (((sum.lo + linear.lo) + e.a0.lo) + (e.a1.lo * d + y.lo * (e.a1.hi + 2.0 * e.a[0] * d))) + tail;
  return quick_two_sum(sum.hi, low);
}

// sqrt(v) for v >= 2^-60, within 2^-104 of it: v - s^2 is exact (two_prod, Sterbenz).
inline Dd sqrt_dd(double v) {
  const double s = __builtin_sqrt(v);
  const Dd ss = two_prod(s, s);
  return quick_two_sum(s, ((v - ss.hi) - ss.lo) / (2.0 * s));
}

// The kernels' bounds with slack for the error's own computation: atan's 2^-68.8,
// asin's 2^-68.2, and twice that for pi/2 - 2 asin y, which is at least pi/6 with
// 2 asin y at most pi/3.
constexpr double atan_bound = 0x1p-68;
constexpr double asin_bound = 0x1.7p-68;  // 2^-67.48
constexpr double asin_doubled_bound = 0x1.7p-67;

// Ziv's rounding test: y within `error` of the exact value rounds to one double.
bool decided(Dd y, double error, double& out) {
  const double down = y.hi + (y.lo - error);
  const double up = y.hi + (y.lo + error);
  out = down;
  return down == up;
}

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
  if (decided(y, wide::magnitude(y.hi) * atan_bound, out)) return wide::with_sign_of(out, x);
  return mp_atan(x);
}

double cr_asin(double x) {
  const double ax = wide::magnitude(x);
  if (!(ax <= 1.0)) return nan_value;  // NaN or |x| > 1
  // |x| < 2^-26: asin x = x (1 + d), 0 < d < x^2/6 < 2^-54, never half a unit away.
  if (ax < 0x1p-26) return x;
  if (ax == 1.0) return wide::with_sign_of(crmath_constants::half_pi_hi, x);
  Dd y;
  double bound = asin_bound;
  if (ax <= 0.5) {
    y = asin_kernel({ax, 0.0});
  } else {
    // asin x = pi/2 - 2 asin(sqrt((1 - x)/2)): (1 - x)/2 is exact (Sterbenz), its root
    // within 2^-104, which moves asin by at most 1.16 2^-104 of itself.
    const Dd a = asin_kernel(sqrt_dd((1.0 - ax) * 0.5));
    y = wide::dd_add(half_pi, {-2.0 * a.hi, -2.0 * a.lo});  // at least pi/6: 2^-102
    bound = asin_doubled_bound;
  }
  double out;
  if (decided(y, wide::magnitude(y.hi) * bound, out)) return wide::with_sign_of(out, x);
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
  Dd y;
  if (ax <= 0.5) {
    // pi/2 - asin x: at least pi/3 with asin |x| at most pi/6, half the kernel's bound.
    const Dd a = asin_kernel({ax, 0.0});
    y = wide::dd_add(half_pi, x < 0 ? a : wide::dd_neg(a));
  } else {
    // acos |x| = 2 asin(sqrt((1 - |x|)/2)), and acos x = pi - acos |x| for x < 0, at
    // least pi/2 with acos |x| at most pi/3.
    const Dd a = asin_kernel(sqrt_dd((1.0 - ax) * 0.5));
    y = {2.0 * a.hi, 2.0 * a.lo};
    if (x < 0) y = wide::dd_add(pi, wide::dd_neg(y));
  }
  double out;
  if (decided(y, wide::magnitude(y.hi) * asin_bound, out)) return out;
  return mp_acos(x);
}
