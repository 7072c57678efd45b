// asin, acos and atan, correctly rounded: one atan kernel on a table of atan(i/256), Ziv's test.
//
// Every function is atan(n/d) for a pair n, d >= 0 in double-double: atan x = atan(x/1),
// asin x = atan(x / sqrt(1 - x^2)), acos x = atan(sqrt(1 - x^2) / x), with 1 - x^2
// formed exactly, so that nothing cancels near +-1. The kernel takes c = i/256 near
// n/d, t = (n - c d) / (d + c n), |t| <= 2^-9, and atan(n/d) = atan c + atan t; when
// n > d it works on d/n and subtracts from pi/2. Bounds are relative to the result
// unless they say otherwise; docs/accuracy.md derives them.
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

// atan(n/d) for double-doubles 0 <= n, 0 < d with hi parts normalised and n, d below
// 2^990, as hi + lo, within 2^-68.8 of it (relative; 2^-78 when n > d) plus the
// effect of n's and d's own errors.
//
// With r = n.hi/d.hi rounded and i = round(256 r), |n/d - c| <= 2^-9 (1 + 2^-50).
// num = n - c d: c d.hi by two_prod, n.hi minus its hi by two_sum (exact), the low parts
// rounded: |error| <= 2^-104 d. den = d + c n has no cancellation: 2^-104 of it.
// t = num/den in two digits (q1 rounded, the remainder exact but for its low parts,
// q2 = remainder/den.hi): |t| <= 2^-9 (1 + 2^-49), |error| <= 2^-101 |t| + 2^-104.
// atan t = t + t^3 P(t^2) with P of degree 3, the first terms of the series: the
// neglected t^11/11 is below 2^-93 |t|; the tail t^3 P is below 2^-19.5 |t| and its
// roundings (z, P's sum and coefficients, two products) and t.lo's part in it stay
// below 5.5 2^-53 of it: 2^-70 |t|. Then atan c + atan t: for i >= 1, |t| <= 1.0001
// atan(n/d) (n/d >= 2^-9), and for i = 0 t is n/d itself; the table's 2^-106 and the
// final sums' 2^-104 bring the total below 2^-68.8 of the result. When n > d the
// result is pi/2 - atan(d/n) >= pi/4 with atan(d/n) <= pi/4 and within 2^-68.8 of it:
// 2^-68.8 of the result, and the bound below uses that figure for both.
Dd atan_ratio(Dd n, Dd d) {
  const bool swapped = n.hi > d.hi;
  if (swapped) {
    const Dd t = n;
    n = d;
    d = t;
  }
  const double r = n.hi / d.hi;
  const int i = static_cast<int>(r * 256.0 + 0.5);  // 0 <= r <= 1 + 2^-52
  const double c = i * 0x1p-8;
  const Dd cd = two_prod(c, d.hi);
  Dd num = two_sum(n.hi, -cd.hi);
  num.lo += (n.lo - cd.lo) - c * d.lo;
  num = two_sum(num.hi, num.lo);  // num.hi may have cancelled to below num.lo
  const Dd cn = two_prod(c, n.hi);
  Dd den = two_sum(d.hi, cn.hi);
  den.lo += (d.lo + cn.lo) + c * n.lo;
  den = quick_two_sum(den.hi, den.lo);
  const double q1 = num.hi / den.hi;
  const Dd p = two_prod(q1, den.hi);
  const double q2 = ((((num.hi - p.hi) - p.lo) + num.lo) - q1 * den.lo) / den.hi;
  const Dd t = quick_two_sum(q1, q2);
  const double z = t.hi * t.hi;
  const double tail = t.hi * z * (-1.0 / 3 + z * (1.0 / 5 + z * (-1.0 / 7 + z * (1.0 / 9))));
  Dd a = trig_tables::atan_table[i];
  if (swapped) a = wide::dd_add(half_pi, wide::dd_neg(a));  // >= pi/4: 2^-103.6
  const double sign = swapped ? -1.0 : 1.0;
  const Dd sum = two_sum(a.hi, sign * t.hi);
  return quick_two_sum(sum.hi, sum.lo + (a.lo + sign * (t.lo + tail)));
}

// The kernel's bound with slack for the error's own computation.
constexpr double atan_bound = 0x1p-68;

// Ziv's rounding test: y within `error` of the exact value rounds to one double.
bool decided(Dd y, double error, double& out) {
  const double down = y.hi + (y.lo - error);
  const double up = y.hi + (y.lo + error);
  out = down;
  return down == up;
}

// sqrt(1 - x^2) for 0 <= x < 1, within 2^-102 of it: x^2 is exact by two_prod, and
// 1 - x^2 exact to 2^-104 of it (1 - p.hi is exact when p.hi >= 1/2, and is at least
// 1/2 otherwise); the square root's correction comes from an exact residual.
Dd sqrt_one_minus_square(double x) {
  const Dd p = two_prod(x, x);
  const Dd a = two_sum(1.0, -p.hi);
  const Dd w = two_sum(a.hi, a.lo - p.lo);
  const double s = __builtin_sqrt(w.hi);
  const Dd ss = two_prod(s, s);
  const double residual = ((w.hi - ss.hi) - ss.lo) + w.lo;  // w.hi - ss.hi exact (Sterbenz)
  return quick_two_sum(s, residual / (2.0 * s));
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
  const Dd y = atan_ratio({ax, 0.0}, {1.0, 0.0});
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
  // asin |x| = atan(|x| / s), s = sqrt(1 - x^2) within 2^-102: the ratio's relative
  // error moves atan by at most r/(1 + r^2) 2^-101 <= 2^-101 atan r.
  const Dd y = atan_ratio({ax, 0.0}, sqrt_one_minus_square(ax));
  double out;
  if (decided(y, wide::magnitude(y.hi) * atan_bound, out)) return wide::with_sign_of(out, x);
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
  // acos |x| = atan(s / |x|) as for asin; acos x = pi - acos |x| for x < 0, which is
  // at least pi/2 with acos |x| <= pi/2: the kernel's bound carries over, plus 2^-103.
  Dd y = atan_ratio(sqrt_one_minus_square(ax), {ax, 0.0});
  if (x < 0) y = wide::dd_add(pi, wide::dd_neg(y));
  double out;
  if (decided(y, wide::magnitude(y.hi) * atan_bound, out)) return out;
  return mp_acos(x);
}
