// Correctly rounded sinh, cosh, tanh, asinh, acosh and atanh from the exp and log kernels.
//
// Each function: the special values; the arguments whose result rounds to x (or to 1, or
// to ±1), with the threshold proved beside it; then up to three evaluations, each ending
// in Ziv's rounding test with a bound taken a little above the proven one:
//   quick: e^a and e^-a, or a logarithm, from the kernels' tables with a polynomial in
//     double and the few products that matter exact (2^-60 to 2^-68 relative), for the
//     arguments away from 0, where no cancellation amplifies it; series in double for
//     small arguments, and sqrt(2t) times a series for acosh(1 + t) near 1;
//   careful: the exp and log kernels in double-double (about 2^-80), for every argument;
//   the accurate path, when neither test can decide.
// Every result the tests decide has magnitude above 2^-28, so no test meets the subnormal
// grid, and overflow happens only in wide::scale, after the rounding to 53 bits (which is
// on the same grid as the scaled result).
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/crmath/constants.h"
#include "engine/crmath/crmath.h"
#include "engine/crmath/cosh_table.h"
#include "engine/crmath/exp_log.h"
#include "engine/crmath/exp_log_tables.h"
#include "engine/crmath/multi.h"
#include "engine/crmath/round.h"
#include "engine/crmath/wide.h"

namespace {

using wide::Dd;

constexpr double inf = std::numeric_limits<double>::infinity();

// The value y stands for, when every real within rel * |y.hi| of y.hi + y.lo rounds to
// the same double; 0 (which no caller's result can be) when the test cannot decide.
// rel is a power of two and |y.hi| >= 2^-30, so e is exact. The proven bound must be
// strictly below rel: each caller keeps a margin of at least 9 % of rel, far more than
// the 2^-105 |y.hi| by which y.lo ± e can round, so y.hi + (y.lo ± e) bracket the exact
// result, and rounding is monotonic. A caller may pass y.lo unnormalised (the sum's last
// normalisation skipped): its bound then includes the rounding of y.lo ± e.
double rounded(Dd y, double rel) {
  double out;
  return crmath_round::round_absolute(y, wide::magnitude(y.hi) * rel, out) ? out : 0.0;
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
// Unless normalise is false: then q1 + q2 as they are, |q2| <= 3.02 * 2^-53 |q1|.
Dd divide(Dd a, Dd b, bool normalise = true) {
  const double q1 = a.hi / b.hi;
  const Dd p = wide::two_prod(q1, b.hi);
  const double r = (((a.hi - p.hi) - p.lo) + a.lo) - q1 * b.lo;
  return normalise ? wide::quick_two_sum(q1, r / b.hi) : Dd{q1, r / b.hi};
}

// a / b for the quick steps, with relative error <= 2^-100, for a, b > 0 normalised
// (|lo| <= 2^-52 hi), far from underflow and overflow: one division, for 1/b.hi.
// q1 = a.hi (1/b.hi), two roundings: within 2^-51.99 of a.hi/b.hi, so p.hi = fl(q1 b.hi) is
// within a factor 2 of a.hi and a.hi - p.hi is exact (Sterbenz). r = a - q1 b to 4 roundings
// of terms below 2^-50.4 a.hi: 2^-102 a.hi. q2 = r/b.hi rounded twice and b.lo dropped:
// 3 * 2^-52 of |q2| <= 2^-50.3 q: 2^-100.7 q; with r's error, <= 2^-100 of q.
// Unless normalise is false: then q1 + q2 as they are, |q2| <= 2^-50.3 q1.
Dd quick_divide(Dd a, Dd b, bool normalise = true) {
  const double inverse = 1.0 / b.hi;
  const double q1 = a.hi * inverse;
  const Dd p = wide::two_prod(q1, b.hi);
  const double r = ((a.hi - p.hi) - p.lo) + (a.lo - q1 * b.lo);
  return normalise ? wide::quick_two_sum(q1, r * inverse) : Dd{q1, r * inverse};
}

// sqrt(a) with relative error <= 2^-102.4, for a.hi > 0 normal, |a.lo| <= 2^-53 a.hi.
// s = sqrt(a.hi) (1 + d), |d| <= 2^-53; s*s = p.hi + p.lo exactly and a.hi - p.hi is exact
// (Sterbenz). The residual a - s^2 (at most 3.01 * 2^-53 a.hi) is computed to 2^-103.6 a.hi
// (two roundings); one Newton step s + (a - s^2)/(2s) leaves h^2/8 <= 1.14 * 2^-106 of s.
// The step divides by 2s as s * (0.5/a.hi), so that the division runs beside the square
// root: s/a.hi = (1/s)(1 + d)^2, and three roundings: 2^-50.7 of a step <= 1.51 * 2^-53 s.
// In all 2^-103.1 + 2^-104.6 + 2^-105.8 <= 2^-102.4 of s.
Dd square_root(Dd a) {
  const double s = wide::square_root(a.hi);  // one instruction, correctly rounded
  const double half_inverse = 0.5 / a.hi;
  const Dd p = wide::two_prod(s, s);
  const double r = ((a.hi - p.hi) - p.lo) + a.lo;
  return wide::quick_two_sum(s, (r * s) * half_inverse);
}

// Dd times 2^n, exactly (callers keep the result normal).
Dd scaled(Dd a, int n) {
  const double m = wide::power_of_two(n);
  return {a.hi * m, a.lo * m};
}

const Dd ln2 = {crmath_constants::ln2_hi, crmath_constants::ln2_lo};

// The quick step for small arguments of the odd functions: f(a) = a (1 + c) with c the
// series in a^2 past its first term, |c| <= C <= 2^-11.58, as a + a c (normalised, exact).
// The callers evaluate c = a^2 P(a^2) in double by Horner's rule, the coefficients each
// the double nearest the fraction: a^2, P's leading coefficient (1/3 or 1/6, 2^-53.4),
// the sum with it (2^-53.4) and the product round, the rest of P is below 2^-11 of it:
// c to 2^-51.1 of itself; a c rounds by 2^-53 more. So the error is at most
// C (2^-51.1 + 2^-53) a <= C 2^-50.73 a, plus the series' rest.
Dd one_plus_times(double a, double c) { return wide::quick_two_sum(a, a * c); }

// ln2/128 in three parts of 29, 28 and 53 bits (the exp kernel's ln2/4096, times 32): n times
// either of the first two is exact for n < 2^24. Checked here against ln2 = hi + lo: the
// third part to 2^-111 (its error times n <= 2^17.1 stays below 2^-93).
constexpr double ln2_128_a = 0x1.62e42ffp-8;
constexpr double ln2_128_b = -0x1.718432ap-42;
constexpr double ln2_128_c = -0x1.b0e2633fe0685p-74;
constexpr double ln2_128_rest =
    ((crmath_constants::ln2_hi / 128 - ln2_128_a) - ln2_128_b) + crmath_constants::ln2_lo / 128;
static_assert(ln2_128_rest - ln2_128_c < 0x1p-111 && ln2_128_c - ln2_128_rest < 0x1p-111);
constexpr double inv_ln2_128 = 0x1.71547652b82fep+7;  // 128/ln2, only to pick n

// e^a = plus 2^k and e^-a = minus 2^k_minus, plus and minus in [0.99, 2.02], each hi + lo
// left unnormalised (|lo| <= 2^-16.9): the callers' sums normalise once.
struct ExpPair {
  Dd plus, minus;
  int k, k_minus;
};

// T (1 + r + q) with T = 2^(j/128) = t.hi + t.lo from the table (t.hi of 26 bits, the pair
// within 2^-79 of T), r = h + l, h = hs.hi + hs.lo split by Dekker (hs.hi of 26 bits), q =
// e^r - 1 - r given with absolute error <= 2^-68.4, |q| < 2^-18, |h| < 2^-8.52, |l| <= 2^-62.
// t.hi hs.hi is exact (26 + 26 bits) and so is t.hi + it (quick_two_sum: below 2^-7.5 < t.hi).
// The rest, in units of 2^-72: q's error times t.hi < 2, 23.3; v = l + q < 2^-18 rounds by 1,
// times t.hi, 2; t.hi v < 2^-17 rounds by 4; the last sum (< 2^-16.9) by 4; the smaller
// terms (t.hi hs.lo < 2^-33.5, t.lo (h + v) < 2^-34.5 with the whole h, the sum's error
// <= 2^-52, t.lo <= 2^-26)
// and their three sums, below 0.01; the table's 2^-79 of T < 2, 0.07: 33.4 units, 2^-66.94,
// over a result >= 0.997: <= 2^-66.9. The rest is returned beside the head, not added.
[[gnu::always_inline]] inline Dd times_table(int j, Dd hs, double h, double l, double q) {
  const Dd t = exp_log_tables::exp2_128[j];
  const Dd s = wide::quick_two_sum(t.hi, t.hi * hs.hi);
  const double v = l + q;
  return {s.hi, (((t.hi * hs.lo + t.lo * (h + v)) + s.lo) + t.lo) + t.hi * v};
}

// e^a and e^-a for 0 <= a < 711, each with relative error <= 2^-66.9.
// n = nearest integer to 128a/ln2 (at most 131300 < 2^17.1), r = a - n ln2/128: a - n A is
// exact (Sterbenz, or n = 0), n B exact, n B + n C rounds by 2^-77.9, and the two_sum is
// exact: r.hi + r.lo is within 2^-77.8 of r (a relative error of e^r). |r| <= ln2/256
// + 2^-40 < 2^-8.52, so |r.lo| <= ulp(r.hi)/2 <= 2^-62. With h = r.hi: e^h - 1 - h = E + O
// (even and odd parts to h^6 and h^7), e^-h - 1 + h = E - O; the rest h^8/8! (1.01) <=
// 2^-83.4. E <= 2^-18.04 in double with three roundings (3.1 * 2^-53 of it: 2^-69.4), O <=
// 2^-28.1 (four roundings: 2^-79), E +- O rounds by 2^-71, and e^r - 1 - r differs from
// e^h - 1 - h by r.lo (e^h - 1) <= 2^-70.5: q has absolute error <= 2^-68.4, as times_table
// assumes. e^-a = 2^(-n/128) e^-r with 2^(-n/128) = 2^(-k-1) 2^((128-j)/128) for j != 0.
struct Reduced {
  Dd hs;  // h split
  double h, l, even, odd;
  int j, k;
};

[[gnu::always_inline]] inline Reduced reduce(double a) {
  const double n = (a * inv_ln2_128 + 0x1.8p52) - 0x1.8p52;
  const Dd r = wide::two_sum(a - n * ln2_128_a, -(n * ln2_128_b + n * ln2_128_c));
  const double h = r.hi;
  const double h2 = h * h;
  Reduced d;
  d.h = h;
  d.l = r.lo;
  d.even = h2 * (0.5 + h2 * (1.0 / 24 + h2 * (1.0 / 720)));
  d.odd = h2 * h * (1.0 / 6 + h2 * (1.0 / 120 + h2 * (1.0 / 5040)));
  d.hs = wide::split(h);
  const int ni = static_cast<int>(n);
  d.j = ni & 127;
  d.k = ni >> 7;
  return d;
}

[[gnu::always_inline]] inline ExpPair exp_pair(double a) {
  const Reduced d = reduce(a);
  ExpPair e;
  e.k = d.k;
  e.plus = times_table(d.j, d.hs, d.h, d.l, d.even + d.odd);
  e.k_minus = d.j == 0 ? -d.k : -d.k - 1;
  e.minus = times_table((128 - d.j) & 127, wide::dd_neg(d.hs), -d.h, -d.l, d.even - d.odd);
  return e;
}

// e^a = plus 2^k alone, as for exp_pair.
[[gnu::always_inline]] inline Dd exp_one(double a, int& k) {
  const Reduced d = reduce(a);
  k = d.k;
  return times_table(d.j, d.hs, d.h, d.l, d.even + d.odd);
}

// e^-a 2^(k_minus - k): exactly scaled while above 2^-110 (always normal); below, 0,
// an omission of at most 2^-108.9 of e^a. The callers add it to e^a as quick_two_sum(plus.hi,
// +-m.hi), exact since plus.hi >= m.hi (for n = 0 they are 1 + hs.hi and 1 - hs.hi rounded,
// hs.hi >= 0; else e^2a >= 1.0054 and each head is within 2^-16.8 of its value), then the
// two rests (each below 2^-16.9) and the sum's error: two roundings of sums below 2^-15.8,
// 2^-68 each, together <= 2^-66.99 of plus >= 0.997.
Dd minus_scaled(const ExpPair& e) {
  const int d = e.k_minus - e.k;
  if (d < -110) return {0.0, 0.0};
  return scaled(e.minus, d);
}

// ln2 as a + b: a has 39 significant bits (e a exact for |e| < 2^13), b the rest: hi - a is
// exact, adding lo rounds once (b is off by at most 2^-96, so e b by 2^-85).
constexpr double ln2_a = 0x1.62e42fefa4p-1;
constexpr double ln2_b = (crmath_constants::ln2_hi - ln2_a) + crmath_constants::ln2_lo;
static_assert(ln2_b == -0x1.8432a1b0e2634p-43);  // ln2 - a rounded to nearest, by MPFR

// log(u.hi + u.lo) + m ln2, for u.hi > 0 normal, |u.lo| <= 2^-50 u.hi, |exponent + m| < 2^12,
// log u >= 2^-6.1: absolute error <= 2^-68.17, returned as s2.hi + rest unnormalised, |rest| <
// 2^-16.8, so that Ziv's test rounds rest -+ e by up to 2^-70 more: 2^-67.81 for the callers,
// e <= 2^-60 |s2.hi|, s2.hi within 2^-16.8 of log u. u need not be normalised either, so that
// callers can pass a head computed early and let the corrections catch up.
// u.hi = 2^e z with z in [0x1.6ap-1, 0x1.6ap+0) and c the fast table's 9-bit value near 1/z:
// h = z c - 1 exactly in one double, |h| < 2^-8 (log_reduce of exp_log.h: z without
// its last 9 bits times c is exact, minus 1 exact by Sterbenz; those 9 bits times c exact;
// the sum a multiple of 2^-61 below 2^-8). log u = (e + m) ln2 - log c + log1p(h) + log1p(d),
// d = u.lo/u.hi (log1p(d) = d to 2^-101). log1p(h) = h + log1p_rest(h), to h^8 (rest
// <= 2^-75.1); h^2/2 < 2^-17 rounds by 2^-71; h^3 Q <= 2^-25.5 to six roundings, 2^-76;
// their difference (< 2^-16.9) by 2^-70. The large terms (e + m) ln2_a, -log c (hi) and h add
// exactly (two_sum); their roundings and the small terms ((e + m) ln2_b, 2^-85; -log c's
// rest, within 2^-89; d) are summed with four roundings, the last two of sums below 2^-16.8
// (2^-70 each), the first two below 2^-35 (2^-88). In all 2^-70 (0.5 + 1 + 2 + 0.03 + 0.02) <=
// 2^-68.17.
[[gnu::always_inline]] inline Dd quick_log(Dd u, int m) {
  const exp_log_fast::LogReduced r = exp_log_fast::log_reduce(u.hi);
  const double e = static_cast<double>(r.e + m);
  const Dd s1 = wide::two_sum(e * ln2_a, r.entry->minus_log_c.hi);
  const Dd s2 = wide::two_sum(s1.hi, r.h);
  const double rest =
      (((e * ln2_b + r.entry->minus_log_c.lo) + u.lo / u.hi) + exp_log_fast::log1p_rest(r.h)) + (s1.lo + s2.lo);
  return {s2.hi, rest};
}

// a + sqrt(a^2 + one) for one = +1 (a >= 1/64) or -1 (a >= 1 + 2^-6), as hi + lo with
// relative error <= 2^-97.9 and |lo| <= 2^-51 hi. hi = a + s with s the square root of the
// first sum of a^2 + one, so that the logarithm can start on hi while the corrections finish.
// q.hi = a^2.hi + one and q.lo = its exact error + a^2.lo: exact when one = -1 and a^2 < 2
// (Sterbenz), else q.lo <= 2^-52 q.hi rounds by 2^-105 of q. |q.lo| <= 2^-53 a^2 <= 2^-47.96
// q.hi (a^2 - 1 >= 2^-5). s = sqrt(q.hi)(1 + d), |d| <= 2^-53; the residual q - s^2 =
// (q.hi - p.hi) - p.lo + q.lo (q.hi - p.hi exact, Sterbenz) is at most h q.hi, h = 2^-47.87,
// and rounds by 2^-100.87 q.hi. Newton's step s + res/(2s) leaves h^2/8 s = 2^-98.7 s; the
// step computed as (res s)(0.5/q.hi) (s/q.hi = (1/s)(1 + d)^2, three roundings) is off by
// 2^-50.7 of itself (<= h/2 s): 2^-99.6 s; the residual's rounding adds 2^-101.9 s. s < hi
// exactly when one < 0, so a + s - hi is exact (quick_two_sum's error term); adding the
// step rounds by 2^-101.8 hi. In all <= 2^-97.9 of a + s. |lo| <= 2^-53 hi + h/2 s, and
// s <= 0.15 hi where h is that large (a near 1 + 2^-6), s < hi/2 elsewhere with h <= 2^-49.7.
[[gnu::always_inline]] inline Dd plus_root(double a, double one) {
  const Dd sq = wide::two_prod(a, a);
  Dd q = wide::two_sum(sq.hi, one);
  q.lo += sq.lo;
  const double s = wide::square_root(q.hi);
  const double half_inverse = 0.5 / q.hi;
  const double hi = a + s;
  const double exact_rest = one > 0 ? a - (hi - s) : s - (hi - a);  // s > a exactly when one > 0
  const Dd p = wide::two_prod(s, s);
  const double r = ((q.hi - p.hi) - p.lo) + q.lo;
  return {hi, exact_rest + (r * s) * half_inverse};
}

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
  if (a < 0x1p-5) {
    // Quick, small a: c = a^2/6 + a^4/120 + a^6/5040 + a^8/9!, C = 2^-12.58 (a^2 < 2^-10),
    // the rest a^10/11! (1.01) <= 2^-75.25 of a: <= 2^-63.31.
    const double a2 = a * a;
    const double c = a2 * (1.0 / 6 + a2 * (1.0 / 120 + a2 * (1.0 / 5040 + a2 * (1.0 / 362880))));
    const double r = rounded(one_plus_times(a, c), 0x1p-62);
    if (r != 0.0) return wide::with_sign_of(r, x);
  } else {
    // Quick: sinh a = 2^(k-1) (plus - minus') with minus' = e^-a 2^-k. The heads' difference
    // is exact (minus_scaled), the rests add 2^-66.99 of plus, and the test's rounding of
    // v.lo -+ e (below 2^-15) 2^-68.99 of plus. With the errors of plus and minus (2^-66.9
    // each): (2^-66.9 + 2^-66.99 + 2^-68.99) coth a <= 2^-65.77 coth a, <= 2^-63.74 for
    // a >= 1/4 (coth 1/4 < 4.09), <= 2^-62.76 for a >= 1/8 (coth 1/8 < 8.05), <= 2^-60.77
    // for a >= 1/32 (coth 1/32 < 32.02).
    const ExpPair e = exp_pair(a);
    const Dd m = minus_scaled(e);
    Dd v = wide::quick_two_sum(e.plus.hi, -m.hi);
    v.lo += e.plus.lo - m.lo;  // left unnormalised: |v.lo| < 2^-15.8
    const double vr = rounded(v, a >= 0.25 ? 0x1p-63 : a >= 0.125 ? 0x1p-62 : 0x1p-60);
    if (vr != 0.0) return wide::with_sign_of(wide::scale(vr, e.k - 1), x);
  }
  double m;
  if (a <= 40.0) {
    // Careful: sinh a = (E + E/(E+1)) / 2 with E = e^a - 1, both terms positive.
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

// cosh a for 2^-27 <= a <= 25 (where e^-a counts) from the table of cosh and sinh at i/64:
// n = nearest integer to 64a, r = a - n/64 exact (|r| <= 2^-7), and cosh a = C cosh r +
// S sinh r = C + S r + C E + S O with E = cosh r - 1 (<= 2^-15) and O = sinh r - r
// (<= 2^-23.6). r = rh + rl split (26 bits each): S's head times either half is exact, so
// C + S_head rh is an exact quick_two_sum (C >= S, |r| < 1), and rh^2 is exact.
// E = rh^2/2 + rest, rest = rl (2 rh + rl)/2 + r^4/24 + r^6/720 (r^8/8! < 2^-71.3 dropped),
// below 2^-32.5; O = r^3 (1/6 + r^2/120 + r^4/5040) (r^9/9! dropped), off by 4 roundings
// (2^-74.6). Relative to C (cosh a >= C (1 - 2^-7)): C rh^2/2 (<= 2^-15) rounds by 2^-68,
// the final sum of the small terms (< 2^-14.9) by 2^-68, the test's rounding of lo -+ e
// by 2^-68; the other products and sums, the tables (2^-106, and 2^-79 of S r) and the
// dropped terms together 2^-71: < 2^-66.34 (2^-67.0 seen on 10^6 arguments before the
// test). Test: 2^-65.
[[gnu::always_inline]] inline Dd cosh_from_table(double a) {
  const double shifted = a * 64 + exp_log_fast::round_magic;
  const double n = shifted - exp_log_fast::round_magic;
  const cosh_table::Entry& t = cosh_table::entries[static_cast<int>(n)];
  const double r = a - n * 0x1p-6;  // exact
  const Dd rs = wide::split(r);
  const double r2 = r * r;
  const double e_rest = 0.5 * (rs.lo * (2 * rs.hi + rs.lo)) + r2 * r2 * (1.0 / 24 + r2 * (1.0 / 720));
  const double o = r * r2 * (1.0 / 6 + r2 * (1.0 / 120 + r2 * (1.0 / 5040)));
  const double half_square = 0.5 * (rs.hi * rs.hi);  // exact
  const Dd s = wide::quick_two_sum(t.cosh_hi, t.sinh_head * rs.hi);
  const double small = (((t.cosh_lo + s.lo) + t.sinh_head * rs.lo) + (t.sinh_tail * r + (t.sinh_head + t.sinh_tail) * o)) +
                       (t.cosh_hi * e_rest + t.cosh_lo * half_square);
  return {s.hi, small + t.cosh_hi * half_square};
}

// cosh: NaN for NaN, +inf for ±inf and past overflow, 1 for |x| < 2^-27.
double cr_cosh(double x) {
  const double a = wide::magnitude(x);
  if (!(a < 710.5)) return wide::is_nan(x) ? x + x : inf;
  // cosh a - 1 < a^2/1.99 < 2^-54/1.99, below half the gap above 1 (2^-53).
  if (a < 0x1p-27) return 1.0;
  if (a <= 25) {
    const double vr = rounded(cosh_from_table(a), 0x1p-65);
    if (vr != 0.0) return vr;
  } else {
    // Quick, a > 25: cosh a = (e^a / 2)(1 + e^-2a) with e^-2a < 2^-72.1: e^a = (hi + lo) 2^k
    // within 2^-66, the test's rounding of lo -+ e adds 2^-69: < 2^-65.8. Test: 2^-65.
    int k = 0;
    double lo = 0;
    const double hi = exp_log_fast::exp_fast_parts({a, 0.0}, k, lo);  // sets k: never in the same call as its use
    const double vr = rounded({hi, lo}, 0x1p-65);
    if (vr != 0.0) return wide::scale(vr, k - 1);
  }
  // Careful: cosh a = 2^(k-1) (r + r^-1 2^-2k) with e^a = r 2^k, r in [1/2, 2], k >= -1.
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
  if (a < 0x1p-5) {
    // Quick, small a: c = -a^2/3 + 2a^4/15 - 17a^6/315 + 62a^8/2835 - 1382a^10/155925
    // + 21844a^12/6081075, alternating, C = 2^-11.58; the rest <= 2^-79 of a: <= 2^-62.31
    // of a, and of the result (>= a (1 - C)) <= 2^-62.3.
    const double a2 = a * a;
    const double c =
        a2 * (-1.0 / 3 +
              a2 * (2.0 / 15 + a2 * (-17.0 / 315 + a2 * (62.0 / 2835 + a2 * (-1382.0 / 155925 + a2 * (21844.0 / 6081075))))));
    const double r = rounded(one_plus_times(a, c), 0x1p-61);
    if (r != 0.0) return wide::with_sign_of(r, x);
  } else {
    // Quick: tanh a = (P - u) / (P + u) with e^2a = P 2^k (2a exact, below 40), u = 2^-k <= 1.
    // P.hi >= 1.06 > u when k = 0 (2a >= 1/16), so both heads' sums are exact (quick_two_sum);
    // the rests (P.lo <= 2^-16.9, the sum's error) add once, below 2^-16.8: 2^-70. With P's
    // 2^-66.9: 2^-66.73 of P, over P - u that is 2^-66.73 (1 + coth a)/2, over P + u at most
    // 2^-66.73. With the quotient's 2^-100: 2^-66.73 ((1 + coth a)/2 + 1) (1 + 2^-60),
    // <= 2^-64.9 for a >= 1/4 (coth 1/4 < 4.084), <= 2^-64.26 for a >= 1/8 (coth 1/8 <
    // 8.042), <= 2^-62.6 for a >= 1/32 (coth 1/32 < 32.011).
    int k = 0;
    const Dd p = exp_one(2.0 * a, k);
    const double u = wide::power_of_two(-k);
    Dd num = wide::quick_two_sum(p.hi, -u);
    num = wide::quick_two_sum(num.hi, num.lo + p.lo);
    Dd den = wide::quick_two_sum(p.hi, u);
    den = wide::quick_two_sum(den.hi, den.lo + p.lo);
    const double t = rounded(quick_divide(num, den), a >= 0.125 ? 0x1p-64 : 0x1p-62);
    if (t != 0.0) return wide::with_sign_of(t, x);
  }
  // Careful: tanh a = E / (E + 2) with E = e^2a - 1 (2a <= 40, exact doubling). delta_E <= 2^-85;
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
  if (a < 0x1p-6) {
    // Quick, small a: c = -a^2/6 + 3a^4/40 - 5a^6/112 + 35a^8/1152 - 63a^10/2816,
    // alternating, C = 2^-14.58 (a^2 < 2^-12); the rest <= 2^-77.8 of a: <= 2^-65.3.
    const double a2 = a * a;
    const double c = a2 * (-1.0 / 6 + a2 * (3.0 / 40 + a2 * (-5.0 / 112 + a2 * (35.0 / 1152 + a2 * (-63.0 / 2816)))));
    const double r = rounded(one_plus_times(a, c), 0x1p-64);
    if (r != 0.0) return wide::with_sign_of(r, x);
  } else {
    // Quick: log(a + sqrt(a^2 + 1)) (its argument to 2^-97.9, so that much absolute in the
    // log), or for a >= 2^28 log(2 (a + 1/(4a))) = log 2a + 1/(4a^2) - 1/(32a^4)..., which
    // differs from asinh a by 2/(32a^4) <= 2^-116 (1/(4a) rounded: 2^-111). quick_log's
    // 2^-67.81 (with the argument's, 2^-67.8) absolute over asinh a: >= 0.247 for a >= 1/4,
    // <= 2^-65.78; >= 2^-4.001 for a >= 1/16, <= 2^-63.8; >= 2^-6.0001 for a >= 1/64, <= 2^-61.8.
    const Dd u = a < 0x1p28 ? plus_root(a, 1.0) : Dd{a, 0.25 / a};
    const double r =
        rounded(quick_log(u, a < 0x1p28 ? 0 : 1), a >= 0.25 ? 0x1p-65 : a >= 0x1p-4 ? 0x1p-63 : 0x1p-61);
    if (r != 0.0) return wide::with_sign_of(r, x);
  }
  Dd y;
  if (a < 0x1p28) {
    // Careful: asinh a = log1p(a + a^2/(1 + sqrt(1 + a^2))), every term positive. a^2 exact
    // (two_prod; a^2 >= 2^-52). 1 + a^2: 2^-104. sqrt: half of that plus 2^-102.4.
    // 1 + sqrt: 2^-104. The quotient: 2^-102.2. + a: 2^-104. The sum u has relative error
    // below 2^-100.6; log1p(u) moves by at most that relative amount, since
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
  if (x < 1 + 0x1p-6) {
    // Quick, x near 1: acosh(1 + t) = sqrt(2t) (1 + c), c = sum of (-1)^n (2n)! / (4^n n!^2
    // (2n + 1)) (t/2)^n for n = 1..8, alternating, |c| <= t/12 <= 2^-9.58; the rest <= 2^-69.6.
    // t = x - 1 and 2t exact (Sterbenz). s = sqrt(2t) rounded; r = 2t - s^2 from the exact
    // square (2t - p.hi exact, Sterbenz), |r| <= 2^-51 2t; sqrt(2t) = s (1 + d) with d =
    // r/(2s^2) to 2^-104, computed as r (0.25/t) (the division beside the square root): d to
    // 2^-51 of itself, <= 2^-103. So acosh = s (1 + w), w = c + (d + d c) (d c <= 2^-61.6 kept).
    // c by Estrin's scheme: the two top sums near 1/12 (2^-57 each) and 1/12's own rounding
    // (2^-57) over c/t >= 0.0828, and the product by t: <= 2^-51.29 of c, so 2^-60.79 of s;
    // w rounds by 2^-63 (|w| < 2^-9.5), s w by 2^-62.58 of s; with the series' rest:
    // 1.51 * 2^-60.79 <= 2^-60.19 of s, and of the result (>= s (1 - 2^-9.58)) <= 2^-60.18.
    const double t = x - 1.0;
    const double s = wide::square_root(2.0 * t);
    const double quarter_inverse = 0.25 / t;
    const double t2 = t * t;
    const double c =
        t * (((-1.0 / 12 + t * (3.0 / 160)) + t2 * (-5.0 / 896 + t * (35.0 / 18432))) +
             (t2 * t2) * ((-63.0 / 90112 + t * (231.0 / 851968)) + t2 * (-143.0 / 1310720 + t * (6435.0 / 142606336))));
    const Dd p = wide::two_prod(s, s);
    const double d = ((2.0 * t - p.hi) - p.lo) * quarter_inverse;
    const double w = c + (d + d * c);
    const double r = rounded(wide::quick_two_sum(s, s * w), 0x1p-60);
    if (r != 0.0) return r;
  } else {
    // Quick: log(x + sqrt(x^2 - 1)) (the argument to 2^-97.9), or for x >= 2^28
    // log(2 (x - 1/(4x))), off by 2^-116 as for asinh. quick_log's 2^-67.8 absolute over
    // acosh x: >= 0.962 for x >= 1.5, <= 2^-67.74; >= 0.351 for x >= 1.0625, <= 2^-66.29;
    // >= 0.1765 for x >= 1 + 2^-6, <= 2^-65.3.
    const Dd u = x < 0x1p28 ? plus_root(x, -1.0) : Dd{x, -0.25 / x};
    const double r =
        rounded(quick_log(u, x < 0x1p28 ? 0 : 1), x >= 1.5 ? 0x1p-67 : x >= 1.0625 ? 0x1p-66 : 0x1p-65);
    if (r != 0.0) return r;
  }
  Dd y;
  if (x < 0x1p28) {
    // Careful: acosh x = log1p(t + sqrt(x^2 - 1)) with t = x - 1, both terms positive; x >= 1 + 2^-52
    // keeps every value normal and the result above 2^-26.
    // t: exact (two_sum). x^2 = p.hi + p.lo exactly; p.hi - 1 is exact when p.hi <= 2
    // (Sterbenz) and then adding p.lo is exact too; for p.hi > 2 the sums round at most
    // 2^-106 (|t'| + |p.lo|) <= 2^-104 of x^2 - 1 >= x^2/2.01. sqrt: 2^-105 + 2^-102.4. The sum:
    // 2^-103.6. log1p moves by at most the relative error of its argument (2^-101.7) and adds
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
  if (a < 0x1p-6) {
    // Quick, small a: c = a^2/3 + a^4/5 + ... + a^10/11, C = 2^-13.58 (a^2 < 2^-12, the
    // series over 1 - a^2); the rest <= 2^-75.7 of a: <= 2^-64.3.
    const double a2 = a * a;
    const double c = a2 * (1.0 / 3 + a2 * (1.0 / 5 + a2 * (1.0 / 7 + a2 * (1.0 / 9 + a2 * (1.0 / 11)))));
    const double r = rounded(one_plus_times(a, c), 0x1p-63);
    if (r != 0.0) return wide::with_sign_of(r, x);
  } else {
    // Quick: log((1 + a) / (1 - a)) / 2; 1 + a and 1 - a exact (two_sum), the quotient to
    // 2^-100 (left as q1 + q2, |q2| <= 2^-50.3 q1, for quick_log to start on q1);
    // quick_log's 2^-67.81 (2^-67.8 with the quotient's) absolute over 2 atanh a: >= 0.51
    // for a >= 1/4, <= 2^-66.83; >= 2^-2.998 for a >= 1/16, <= 2^-64.8; >= 2^-4.9999 for
    // a >= 1/64, <= 2^-62.8.
    const Dd u = quick_divide(wide::two_sum(1.0, a), wide::two_sum(1.0, -a), false);
    const double r = rounded(quick_log(u, 0), a >= 0.25 ? 0x1p-66 : a >= 0x1p-4 ? 0x1p-64 : 0x1p-62);
    if (r != 0.0) return wide::with_sign_of(r * 0.5, x);
  }
  // Careful: atanh a = log1p(2a / (1 - a)) / 2. 1 - a: exact (two_sum; a <= 1 - 2^-53). 2a: exact.
  // The quotient: 2^-102.2; log1p moves by at most that and adds 2^-81: <= 2^-80.99.
  const Dd y = log1p_kernel(divide({2.0 * a, 0.0}, wide::two_sum(1.0, -a)));
  const double r = rounded(y, 0x1p-80);
  if (r == 0.0) return mp_atanh(x);
  return wide::with_sign_of(r * 0.5, x);
}
