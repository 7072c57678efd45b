// sin, cos and tan, correctly rounded: a table of sin(j pi/1024), short polynomials, Ziv's test.
//
// Below 2^-10 the series alone. Else x = k pi/1024 + h, |h| <= pi/2048 (two parts of
// pi/1024 below 1.5, Cody-Waite in four parts below 2^20, the exact Payne-Hanek reduction
// by 2/pi above), then sin x = sin a cos h + cos a sin h with a = k pi/1024 from the
// table. The error bounds below are relative to the result unless they say otherwise;
// docs/accuracy.md derives them.
#include "engine/crmath/constants.h"
#include "engine/crmath/crmath.h"
#include "engine/crmath/multi.h"
#include "engine/crmath/trig_tables.h"
#include "engine/crmath/round.h"
#include "engine/crmath/wide.h"

namespace {

using wide::Dd;
using wide::bits_of;
using wide::power_of_two;
using wide::quick_two_sum;
using wide::two_prod;
using wide::two_sum;
using crmath_constants::two_over_pi_bits;
using trig_tables::sin_table;

constexpr double nan_value = __builtin_nan("");

// 64 bits of 2/pi starting at fraction bit `first` (bit 1 is worth 1/2; -62 <= first
// <= 1098); bits before the point are zero, and index + 1 stays within the table.
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

// The reduced argument: x = (k + f) pi/1024 for an integer k with k mod 2048 = index,
// h = f pi/1024 with |h| <= pi/2048 + 2^-30, as hi + lo, and `error` bounding
// |h - (x - k pi/1024)|.
struct Reduced {
  int index;
  Dd h;
  double error;
};

// Payne-Hanek for 2^20 <= |x| < infinity: x = m 2^e, and the 192 bits of 2/pi from bit
// e - 1 on give x 1024/pi modulo 2048 (earlier bits make multiples of 2048) to 2^-129;
// plain 64-bit integers in 32-bit digits, so that every compiler builds it.
Reduced reduce_large(double x) {
  const std::uint64_t b = bits_of(x);
  const std::uint64_t m = (b & 0xFFFFFFFFFFFFF) | 0x10000000000000;
  const int e = static_cast<int>((b >> 52) & 0x7FF) - 1075;
  std::uint64_t w[6];  // the 192-bit window, least significant digit first
  for (int k = 0; k < 3; ++k) {
    const std::uint64_t word = two_over_pi_window(e - 1 + 64 * (2 - k));
    w[2 * k] = word & 0xFFFFFFFF;
    w[2 * k + 1] = word >> 32;
  }
  const std::uint64_t m_digits[2] = {m & 0xFFFFFFFF, m >> 32};
  // p = m * window: p / 2^190 is x 2/pi modulo 4, so p / 2^181 is x 1024/pi modulo 2048.
  // Digits from bit 192 up are never read: the last carries are dropped.
  std::uint64_t p[7] = {};
  for (int i = 0; i < 2; ++i) {
    std::uint64_t carry = 0;
    for (int j = 0; j < 6; ++j) {
      const std::uint64_t t = m_digits[i] * w[j] + p[i + j] + carry;  // at most 2^64 - 1
      p[i + j] = t & 0xFFFFFFFF;
      carry = t >> 32;
    }
  }
  int index = static_cast<int>((p[5] >> 21) & 2047);  // bits 181 to 191
  std::uint64_t f[5];  // the fraction's bits 180 down to 21, least significant digit first
  for (int i = 0; i < 5; ++i) f[i] = ((p[i] >> 21) | (p[i + 1] << 11)) & 0xFFFFFFFF;
  const bool negative = (f[4] >> 31) != 0;  // at least a half: f - 1, and k one more
  if (negative) {
    index = (index + 1) & 2047;
    std::uint64_t carry = 1;  // two's complement: 2^160 - fraction
    for (std::uint64_t& digit : f) {
      const std::uint64_t t = (~digit & 0xFFFFFFFF) + carry;
      digit = t & 0xFFFFFFFF;
      carry = t >> 32;
    }
  }
  // The fraction as a double-double, largest digits first: each step adds a digit below
  // the sum's last bit or one exactly, so the sum's error is at most 2^-104 of it.
  Dd fraction = two_sum(static_cast<double>(f[4]) * power_of_two(-32),
                        static_cast<double>(f[3]) * power_of_two(-64));
  for (int i = 2; i >= 0; --i)
    fraction = wide::dd_add_d(fraction, static_cast<double>(f[i]) * power_of_two(32 * i - 160));
  Dd h = wide::dd_mul(fraction, trig_tables::pi_1024);  // relative 2^-102 more
  if (negative != (x < 0)) h = wide::dd_neg(h);
  if (x < 0) index = (2048 - index) & 2047;
  // 2^-129 (window) + 2^-160 (cut) of pi/1024 is below 2^-136; 2^-100 covers the rest.
  return {index, h, wide::magnitude(h.hi) * 0x1p-100 + 0x1p-136};
}

// Below 1.5 (|k| <= 489) two parts of pi/1024 suffice: y1 = x - k s1 is exact (k s1 has
// at most 53 bits; for k != 0, x and k s1 are multiples of 2^-62 and y1 is below 2^-9),
// and the two_sum is exact. What rounds is k s2 (2^-53 of |k| 2^-52.8) and what s1 + s2
// leaves of pi/1024 (|k| 2^-112): error < |k| 2^-105, which stays below 2^-85 of every
// result there (|sin x| >= |x|/1.51 >= 2^-10 |k|, cos x >= 0.07, |tan x| >= |x|).
inline Reduced reduce_short(double x) {
  constexpr double shifter = 0x1.8p52;
  const double kd = (x * trig_tables::inv_pi_1024 + shifter) - shifter;
  const Dd h = two_sum(x - kd * trig_tables::pi_1024_s1, -(kd * trig_tables::pi_1024_s2));
  return {static_cast<int>(static_cast<long long>(kd) & 2047), h, wide::magnitude(kd) * 0x1p-105};
}

// Cody-Waite for |x| < 2^20: k = round(x 1024/pi), |k| < 2^29, h = x - k (p1 + p2 + p3 + p4).
// x - k p1 is exact (k p1 is exact and within a factor 2 of x, or both are multiples of
// ulp(x) with the difference below 2^53 of them); k p2 and k p3 are exact and taken off
// by exact two_sums. What rounds: k p4 (2^-53 of |k| 2^-85.4), the sum of the low parts
// (2^-53 of 2^-53 (|y2.hi| + |y3.hi|), below 2^-105 |h| + |k| 2^-163), and its last
// step; with the 2^-139 |k| left of pi/1024: error < 2^-104 |h| + 2^-137 |k|.
inline Reduced reduce(double x) {
  if (wide::magnitude(x) >= 0x1p20) return reduce_large(x);
  constexpr double shifter = 0x1.8p52;  // adding it rounds to an integer
  const double kd = (x * trig_tables::inv_pi_1024 + shifter) - shifter;
  const double y1 = x - kd * trig_tables::pi_1024_p1;
  const Dd y2 = two_sum(y1, -(kd * trig_tables::pi_1024_p2));
  const Dd y3 = two_sum(y2.hi, -(kd * trig_tables::pi_1024_p3));
  const double low = (y2.lo + y3.lo) - kd * trig_tables::pi_1024_p4;
  const Dd h = two_sum(y3.hi, low);
  const auto k = static_cast<long long>(kd);
  const double error = wide::magnitude(h.hi) * 0x1p-103 + wide::magnitude(kd) * 0x1p-136;
  return {static_cast<int>(k & 2047), h, error};
}

// sin h - h and cos h - 1 for |h| <= rho = pi/2048 + 2^-30 < 2^-9.34, from h.hi.
struct SmallAngle {
  Dd h_halves;      // h.hi in halves of 26 bits, for exact products with the table's heads
  double sin_rest;  // within 2^-50 of sin h - h, which is below |h|^3/6 (the h^9 term: 2^-93 |h|)
  double cos_rest;  // within 2.5 2^-53 |cos h - 1| + 2^-80 of cos h - 1, h.lo's part included
};

inline SmallAngle small_angle(Dd h) {
  const double z = h.hi * h.hi;
  using crmath_constants::cos_terms;  // 1/24, -1/720, ...: each the double nearest
  using crmath_constants::sin_terms;  // -1/6, 1/120, -1/5040, ...
  const double sin_rest = h.hi * z * (sin_terms[0] + z * (sin_terms[1] + z * sin_terms[2]));
  // -z/2 is exact from z; z rounds with 2^-53 z and the sum with 2^-53 of it.
  const double cos_rest = (-0.5 * z + z * z * (cos_terms[0] + z * cos_terms[1])) - h.hi * h.lo;
  return {wide::split(h.hi), sin_rest, cos_rest};
}

// sin(a + h) from s = sin a, c = cos a (the table, for a multiple a of pi/1024) as
// hi + lo, within 2^-68 of it (relative) plus the reduction's error; cos(a + h) is the
// same with c and -s. s cos h + c sin h
// = s + c h + (s cos_rest + c sin_rest). s + c h is kept exact to 2^-77 (the table's
// 26-bit heads times h.hi's halves exactly, a two_sum, the rests to 2^-79 and the sums'
// roundings); |s| <= 2 |result| and |c h| <= 1.01 |result| (|h| <= pi/2048 and a is a
// multiple of pi/1024), so |s cos_rest| <= 2^-18.7 |result| and |c sin_rest| <= 2^-21.3
// |result|: their rounding errors (cos_rest 2.5 2^-53, s rounded to one double 2^-53,
// the product 2^-53, the last sum 2^-53 of 2^-18.4) add to below 2^-68.5 of the result.
inline Dd sin_at(Dd s, Dd c, Dd h, SmallAngle small) {
  // The heads have 26 bits: c.hi times either half of h.hi is exact.
  const Dd main = two_sum(s.hi, c.hi * small.h_halves.hi);  // exact
  const double s_full = s.hi + s.lo;
  const double c_full = c.hi + c.lo;
  const double low = (((main.lo + c.hi * small.h_halves.lo) + s.lo) +
                      (c_full * h.lo + c.lo * h.hi)) +
                     c_full * small.sin_rest + s_full * small.cos_rest;
  return quick_two_sum(main.hi, low);  // |main.hi| >= |low|: exact
}

// tan h - h for |h| <= rho < 2^-9.34, from h.hi: h^3 (1/3 + 2h^2/15 + 17h^4/315) in
// double, within 2^-50 of itself (below |h|^3/2.99 <= 2^-20.2 |h|: 2^-70.2 |h|); the h^9
// term left out is below 2^-89 |h|, and h.lo's share in it 2^-71.7 |h|.
inline double tan_rest(double h) {
  const double z = h * h;
  return h * z * (1.0 / 3 + z * (2.0 / 15 + z * (17.0 / 315)));  // each the nearest double
}

// s + c tan h (s, c the table's sin a and cos a; tan(a + h) is its quotient with
// c - s tan h): sin_at's sum with tan's rest and no cos h - 1. |s| <= 2 |result| and
// |c h| <= 1.01 |result| hold as for sin(a + h) = cos h (s + c tan h); s + c h stays
// exact to 2^-77; |c rest| <= 2^-20.1 |result| is off by 2^-69.4 (2^-70.2 and h.lo's
// share above, c rounded and the product 2^-53 each), the last sum by 2^-53 of 2^-19:
// within 2^-69 of the result, plus the reduction's error.
inline Dd tan_part(Dd s, Dd c, Dd h, Dd h_halves, double rest) {
  const Dd main = two_sum(s.hi, c.hi * h_halves.hi);  // exact: c.hi has 26 bits
  const double low = (((main.lo + c.hi * h_halves.lo) + s.lo) + ((c.hi + c.lo) * h.lo + c.lo * h.hi)) +
                     (c.hi + c.lo) * rest;
  return quick_two_sum(main.hi, low);
}

// s / c in two digits from one reciprocal u = 1/c.hi: q1 = s.hi u cut to 26 bits (within
// 2^-25.9 of s / c), c = c26 + c_rest with c26 the 26-bit head of c.hi, so that q1 c26 is
// exact and s.hi - q1 c26 exact (Sterbenz); the remainder's other terms are 2^-25.9 of s
// and round to 2^-75 of it, q2 = remainder u adds 2^-77.3: within 2^-74.7 of s / c.
inline Dd quotient(Dd s, Dd c) {
  const double reciprocal = 1.0 / c.hi;
  const double q1 = wide::split(s.hi * reciprocal).hi;
  const Dd c_parts = wide::split(c.hi);
  const double c_rest = c_parts.lo + c.lo;
  const double q2 = (((s.hi - q1 * c_parts.hi) + s.lo) - q1 * c_rest) * reciprocal;
  return quick_two_sum(q1, q2);  // |q2| <= 2^-25 |q1|: exact
}

// sin a and cos a for a = index pi/1024, index = 512 q + j: +-sin_table[j] and
// +-sin_table[512 - j], swapped in odd quadrants. No branches: the quadrant is random.
struct SinCos {
  Dd s, c;
};

inline SinCos table_at(int index) {
  const int quadrant = index >> 9;
  const int j = index & 511;
  const int sine_index = j + ((512 - 2 * j) & -(quadrant & 1));
  const Dd& sine = sin_table[sine_index];
  const Dd& cosine = sin_table[512 - sine_index];
  const std::uint64_t s_sign = static_cast<std::uint64_t>(quadrant & 2) << 62;
  const std::uint64_t c_sign = static_cast<std::uint64_t>((quadrant + 1) & 2) << 62;
  auto flip = [](const Dd& v, std::uint64_t sign) {
    return Dd{wide::double_of(bits_of(v.hi) ^ sign), wide::double_of(bits_of(v.lo) ^ sign)};
  };
  return {flip(sine, s_sign), flip(cosine, c_sign)};
}

// Ziv's rounding test: y within `error` of the exact value (error computed with slack
// for its own rounding) rounds to one double, or the accurate path decides.
using crmath_round::round_absolute;

// Relative bound of sin_at with slack for the error's own computation and h.lo's terms.
constexpr double sin_bound = 0x1p-68;

}  // namespace

double cr_sin(double x) {
  if (!wide::is_finite(x)) return nan_value;
  // |x| < 2^-26: sin x = x (1 - d), 0 < d < x^2/6 < 2^-54, never half a unit away.
  if (wide::magnitude(x) < 0x1p-26) return x;
  // |x| < 2^-10: sin x = x + sin_rest within 2^-50 of x^3/6 <= 2^-21.4 |x|, and the h^9
  // term 2^-93 |x|: 2^-71 of the result.
  if (wide::magnitude(x) < 0x1p-10) {
    double out;
    const Dd y = quick_two_sum(x, small_angle({x, 0.0}).sin_rest);
    if (round_absolute(y, wide::magnitude(y.hi) * 0x1p-69, out)) return out;
    return mp_sin(x);
  }
  double out;
  if (wide::magnitude(x) < 1.5) {
    // sin(-x) = -sin x: on |x| the index k = 0..489 is in quadrant 0, and the reduction's
    // error (below 2^-85 of the result there) joins the relative bound.
    const Reduced r = reduce_short(wide::magnitude(x));
    const Dd y = sin_at(sin_table[r.index], sin_table[512 - r.index], r.h, small_angle(r.h));
    if (round_absolute(y, y.hi * 0x1.01p-68, out)) return wide::with_sign_of(out, x);
    return mp_sin(x);
  }
  const Reduced r = reduce(x);
  const SinCos a = table_at(r.index);
  const Dd y = sin_at(a.s, a.c, r.h, small_angle(r.h));
  if (round_absolute(y, wide::magnitude(y.hi) * sin_bound + r.error, out)) return out;
  return mp_sin(x);
}

double cr_cos(double x) {
  if (!wide::is_finite(x)) return nan_value;
  // |x| < 2^-27: cos x = 1 - d, 0 < d < x^2/2 < 2^-55, less than half of 1 - (1 - 2^-53).
  if (wide::magnitude(x) < 0x1p-27) return 1.0;
  // |x| < 2^-10: cos x = 1 + cos_rest, within 2.5 2^-53 of x^2/2 <= 2^-21: 2^-72.
  if (wide::magnitude(x) < 0x1p-10) {
    double out;
    const Dd y = quick_two_sum(1.0, small_angle({x, 0.0}).cos_rest);
    if (round_absolute(y, 0x1p-69, out)) return out;
    return mp_cos(x);
  }
  double out;
  if (wide::magnitude(x) < 1.5) {  // cos(-x) = cos x, on |x| as for sin
    const Reduced r = reduce_short(wide::magnitude(x));
    const Dd& sine = sin_table[r.index];
    const Dd y = sin_at(sin_table[512 - r.index], wide::dd_neg(sine), r.h, small_angle(r.h));
    if (round_absolute(y, y.hi * 0x1.01p-68, out)) return out;
    return mp_cos(x);
  }
  const Reduced r = reduce(x);
  const SinCos a = table_at(r.index);
  const Dd y = sin_at(a.c, wide::dd_neg(a.s), r.h, small_angle(r.h));  // cos(a + h)
  if (round_absolute(y, wide::magnitude(y.hi) * sin_bound + r.error, out)) return out;
  return mp_cos(x);
}

double cr_tan(double x) {
  if (!wide::is_finite(x)) return nan_value;
  // |x| < 2^-27: tan x = x (1 + d), 0 < d < x^2/3 < 2^-54.4, never half a unit away.
  if (wide::magnitude(x) < 0x1p-27) return x;
  // |x| < 2^-10: tan x = x + tan_rest(x) within 2^-70.1 |x| <= 2^-70.1 |tan x|.
  if (wide::magnitude(x) < 0x1p-10) {
    double out;
    const Dd y = quick_two_sum(x, tan_rest(x));
    if (round_absolute(y, wide::magnitude(y.hi) * 0x1p-69, out)) return out;
    return mp_tan(x);
  }
  // s = cos h sin(a + h) and c = cos h cos(a + h) each within 2^-69 (relative) of their
  // values at the reduced argument, the quotient 2^-74.7 more: t within 2^-67.97 of tan at
  // the reduced argument, which is within r.error of x, and tan moves by at most
  // r.error (1 + t^2) (1 + 2^-20) from there to x.
  double out;
  if (wide::magnitude(x) < 1.5) {
    // tan(-x) = -tan x: on |x|, k = 0..489 indexes the table directly (quadrant 0), and
    // r.error (1 + t^2) <= 2^-105 (2^9.4 |x|) 200 <= 2^-87.9 |t| joins the relative bound.
    const Reduced r = reduce_short(wide::magnitude(x));
    const Dd halves = wide::split(r.h.hi);
    const double rest = tan_rest(r.h.hi);
    const Dd& sine = sin_table[r.index];
    const Dd& cosine = sin_table[512 - r.index];
    const Dd t = quotient(tan_part(sine, cosine, r.h, halves, rest),
                          tan_part(cosine, wide::dd_neg(sine), r.h, halves, rest));
    if (round_absolute(t, t.hi * 0x1.03p-67, out)) return wide::with_sign_of(out, x);
    return mp_tan(x);
  }
  const Reduced r = reduce(x);
  const Dd halves = wide::split(r.h.hi);
  const double rest = tan_rest(r.h.hi);
  const SinCos a = table_at(r.index);
  const Dd t = quotient(tan_part(a.s, a.c, r.h, halves, rest),
                        tan_part(a.c, wide::dd_neg(a.s), r.h, halves, rest));
  const double magnitude = wide::magnitude(t.hi);
  if (round_absolute(t, magnitude * 0x1.02p-67 + r.error * (1.0 + magnitude * magnitude) * 1.001, out))
    return out;
  return mp_tan(x);
}
