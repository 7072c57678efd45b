// The accurate path's kernels in wide precision: constants, exp, log, atan, sin, cos, and the reduction by pi/2.
//
// Every bound below is relative, in units of eps = 2^-P (P = 32 * width), and follows the
// per-operation bounds of multi_number.h: add 4, mul, div, mul_small, div_small 2,
// sqrt 16, constants 2. A sum of positive terms keeps the largest relative error of its
// terms plus its own 4; a difference a - b has a's error times |a|/|a - b|, and so on.
// The series stop when the first omitted term is below eps/2 of the result, a bound
// computed from the actual argument.
#include <cstdint>

#include "engine/crmath/constants.h"
#include "engine/crmath/multi_number.h"
#include "engine/crmath/wide.h"

namespace multi {
namespace {

// pi, ln 2 and ln 10 to 704 bits, truncated: 0.d0 d1 ... * 2^exponent, most significant
// digit first. Made with MPFR (mpfr_const_pi, mpfr_const_log2, mpfr_log of 10) and checked
// against Machin's formula and atanh series by tests/engine/crmath_test.cpp; 704 bits
// cover the widest width (640) with room.
constexpr int constant_digits = 22;
constexpr std::uint32_t pi_digits[constant_digits] = {
    0xC90FDAA2, 0x2168C234, 0xC4C6628B, 0x80DC1CD1, 0x29024E08, 0x8A67CC74, 0x020BBEA6, 0x3B139B22,
    0x514A0879, 0x8E3404DD, 0xEF9519B3, 0xCD3A431B, 0x302B0A6D, 0xF25F1437, 0x4FE1356D, 0x6D51C245,
    0xE485B576, 0x625E7EC6, 0xF44C42E9, 0xA637ED6B, 0x0BFF5CB6, 0xF406B7ED};
constexpr int pi_exponent = 2;
constexpr std::uint32_t ln2_digits[constant_digits] = {
    0xB17217F7, 0xD1CF79AB, 0xC9E3B398, 0x03F2F6AF, 0x40F34326, 0x7298B62D, 0x8A0D175B, 0x8BAAFA2B,
    0xE7B87620, 0x6DEBAC98, 0x559552FB, 0x4AFA1B10, 0xED2EAE35, 0xC1382144, 0x27573B29, 0x1169B825,
    0x3E96CA16, 0x224AE8C5, 0x1ACBDA11, 0x317C387E, 0xB9EA9BC3, 0xB136603B};
constexpr int ln2_exponent = 0;
constexpr std::uint32_t ln10_digits[constant_digits] = {
    0x935D8DDD, 0xAAA8AC16, 0xEA56D62B, 0x82D30A28, 0xE28FECF9, 0xDA5DF90E, 0x83C61E82, 0x01F02D72,
    0x962F02D7, 0xB1A8105C, 0xCC70CBC0, 0x2C5F0D68, 0x2C622418, 0x410BE2DA, 0xFB8F7884, 0x02E516D6,
    0x782CF8A2, 0x8A8C911E, 0x765AA6C3, 0xB0D831FB, 0xEF66CEB0, 0x4AB3C6FA};
constexpr int ln10_exponent = 2;

Mp constant(const std::uint32_t (&digits)[constant_digits], int exponent, int width) {
  Mp r = zero(width);
  for (int i = 0; i < width; ++i) r.digit[width - 1 - i] = digits[i];
  r.exponent = exponent;
  return r;
}

Mp one(int width) { return from_double(1.0, width); }

double magnitude_of(const Mp& a) { return wide::magnitude(approx(a)); }

// 2^-(P + 1): the first omitted term of a series must fall below it (half an eps).
double series_floor(int width) { return wide::power_of_two(-32 * width - 1); }

// sum_{j=0..J} z^j / (2j + 1) for 0 <= z <= 0.03 (Horner from the last term): each
// step adds mul 2 + reciprocal 2 + add 4 and carries the previous error times
// z acc / (z acc + 1/(2j+1)) <= 0.031, so the sum stays within 7 eps plus 0.04 of z's
// relative error; the omitted terms stay below z^(J+1)/(1 - z) < eps/2 of the sum (>= 1).
Mp odd_reciprocal_series(const Mp& z, double z_units, double& units) {
  const int n = z.width;
  const double zd = magnitude_of(z) * 1.001;
  int last = 0;
  for (double term = zd; term >= series_floor(n); term *= zd) ++last;
  const Mp unit = one(n);
  Mp acc = div_small(unit, static_cast<std::uint32_t>(2 * last + 1));
  for (int j = last - 1; j >= 0; --j) acc = add(mul(acc, z), div_small(unit, static_cast<std::uint32_t>(2 * j + 1)));
  units = 7.5 + 0.04 * z_units;
  return acc;
}

// 2 atanh(s) = 2 s (1 + s^2/3 + s^4/5 + ...) for |s| <= 0.1716 (s^2 <= 0.02945), s with
// relative error s_units: z = s^2 has 2 s_units + 2; the result s_units + 7.5 + 0.08
// s_units + 2 (the product).
Mp two_atanh(const Mp& s, double s_units, double& units) {
  const Mp z = mul(s, s);
  double series_units = 0;
  const Mp series = odd_reciprocal_series(z, 2 * s_units + 2, series_units);
  units = s_units + series_units + 2;
  return times_power_of_two(mul(s, series), 1);
}

// 32 bits of 2/pi from fraction bit `first` on (bit 1 is worth 1/2, the most significant
// of the result); bits at or before the point are zero. The table holds 1920 bits; the
// reduction asks for bits up to 971 - 2 + 32 * (20 + 4) = 1737.
std::uint64_t two_over_pi_digit(int first) {
  constexpr int words = static_cast<int>(sizeof crmath_constants::two_over_pi_bits / sizeof(std::uint64_t));
  auto word = [](int index) -> std::uint64_t {
    return index >= 0 && index < words ? crmath_constants::two_over_pi_bits[index] : 0;
  };
  const int position = first - 1;  // bits counted from 0
  if (position <= -32) return 0;
  if (position < 0) return (word(0) >> -position) >> 32;
  const int index = position / 64;
  const int offset = position % 64;
  std::uint64_t v = word(index) << offset;
  if (offset != 0) v |= word(index + 1) >> (64 - offset);
  return v >> 32;
}

// Taylor steps: acc = 1 - z acc / (k(k+1)) for k = 2j (sine, from 1 - z/6 on) or
// k = 2j - 1 (cosine, from 1 - z/2 on), j = last .. 1.
Mp alternating_factorial_series(const Mp& z, int first_k, int last) {
  const int n = z.width;
  const Mp unit = one(n);
  Mp acc = unit;
  for (int j = last; j >= 1; --j) {
    const auto k = static_cast<std::uint32_t>(2 * j + first_k - 2);
    acc = sub(unit, div_small(mul(z, acc), k * (k + 1)));
  }
  return acc;
}

// The number of Taylor steps j such that the last term kept, z^j/(2j+1)! (sine) or
// z^j/(2j)! (cosine) relative to the leading 1, is already below eps/2: the omitted ones
// are smaller still and decrease at least fourfold each.
int factorial_terms(double zd, int first_k, int width) {
  int last = 0;
  double term = 1;
  for (;;) {
    ++last;
    const double k = 2.0 * last + first_k - 2;
    term *= zd / (k * (k + 1));
    if (term < series_floor(width)) return last;
  }
}

}  // namespace

Mp pi_value(int width) { return constant(pi_digits, pi_exponent, width); }
Mp ln2_value(int width) { return constant(ln2_digits, ln2_exponent, width); }
Mp ln10_value(int width) { return constant(ln10_digits, ln10_exponent, width); }

// u = x / 2^s with s = width + 3 halvings, |u| <= 2^-(s+1); e^u - 1 = u (1 + u/2 (1 +
// u/3 (...))) within 8 eps per step on a value near 1 (mul 2, div 2, add 4), 10.6 with
// the last product and the omitted terms; then s times t <- t (t + 2), which is
// e^(2u) - 1 from e^u - 1 with no cancellation: the error at most doubles plus 6
// (t + 2 keeps t's error times |t|/|t + 2| <= 1, plus 4; the product 2). After s steps
// the bound is 2^s (units + 17).
Mp expm1_kernel(const Mp& x, double& units) {
  const int n = x.width;
  if (is_zero(x)) return x;
  const int halvings = n + 3;
  const Mp u = times_power_of_two(x, -halvings);
  const double ud = magnitude_of(u) * 1.001;
  int last = 1;
  for (double term = ud / 2; term >= series_floor(n); term *= ud / (last + 2)) ++last;
  const Mp unit = one(n);
  Mp acc = unit;
  for (int j = last; j >= 2; --j) acc = add(unit, div_small(mul(u, acc), static_cast<std::uint32_t>(j)));
  Mp t = mul(u, acc);
  const Mp two = from_double(2.0, n);
  for (int i = 0; i < halvings; ++i) t = mul(t, add(t, two));
  units = wide::power_of_two(halvings) * (units + 17);
  return t;
}

// x = k ln2 + r with k the integer nearest x / ln2 (from x's double value), |r| < 0.35.
// r's absolute error: x's own (units |x|), k ln2's (4 |k| ln2 <= 4 (|x| + 0.35)) and the
// subtraction's (4 * 0.35); an absolute error in r is a relative one in e^r. Then
// e^r = 1 + t: t's error times |t|/(1 + t) <= 0.6, plus 4. The scaling by 2^k is exact.
Mp exp_kernel(const Mp& x, double& units) {
  const int n = x.width;
  const double xd = approx(x);
  const double shifter = 0x1.8p52;  // adding it rounds to an integer (|x/ln2| < 2^51)
  const double kd = (xd * 1.4426950408889634 + shifter) - shifter;
  const int k = static_cast<int>(kd);
  Mp r = x;
  if (k != 0) {
    const Mp k_ln2 = mul_small(ln2_value(n), static_cast<std::uint32_t>(k < 0 ? -k : k));
    r = sub(x, k < 0 ? negated(k_ln2) : k_ln2);
  }
  const double ax = wide::magnitude(xd);
  double t_units = 0;
  const Mp t = expm1_kernel(r, t_units);
  const Mp e = add(one(n), t);
  units = units * ax + 4 * (ax + 0.35) + 1.4 + 0.6 * t_units + 4 + 1;
  return times_power_of_two(e, k);
}

// x = 2^k m with m in [0.7071, 1.4143) (the threshold on m's top digit sits a hair above
// 1/sqrt 2); m - 1 is exact (the exponents of m and 1 differ by at most one, so the
// subtraction is exact before the truncation, and the difference fits), s = (m-1)/(m+1)
// has 6, and log m = 2 atanh(s) below 17 (two_atanh). With k != 0, |k ln2| >= 2 |log m|,
// so the sum k ln2 + log m is at least half of |k ln2| and at least |log m|: 4*2 + 17 +
// 4 = 29. An error of x's own, units, moves log x by units eps absolutely, which is
// units / |log x| relatively.
Mp log_kernel(const Mp& x, double& units) {
  const int n = x.width;
  int k = x.exponent;
  Mp m = x;
  m.negative = false;
  m.exponent = 0;
  if (m.digit[n - 1] < 0xB504F334) {
    m.exponent = 1;
    --k;
  }
  const Mp unit = one(n);
  const Mp s = div(sub(m, unit), add(m, unit));
  double log_m_units = 0;
  const Mp log_m = two_atanh(s, 6, log_m_units);
  Mp result = log_m;
  double own = log_m_units;
  if (k != 0) {
    const Mp k_ln2 = mul_small(ln2_value(n), static_cast<std::uint32_t>(k < 0 ? -k : k));
    result = add(k < 0 ? negated(k_ln2) : k_ln2, log_m);
    own = 4 * 2 + log_m_units + 4;
  }
  const double size = magnitude_of(result);
  units = own + (units > 0 ? units / size * 1.001 : 0);
  return result;
}

// Near 0 (-0.29 <= x <= 0.41): s = x / (2 + x) with |s| <= 0.1716; 2 + x >= 1.71 keeps
// x's error times 0.29/1.71 plus 4, the quotient 2 more: s has 1.2 units + 6, then
// two_atanh. Elsewhere log(1 + x), where 1 + x has 4 plus x's error times |x|/(1 + x)
// and |log(1 + x)| >= 0.34.
Mp log1p_kernel(const Mp& x, double& units) {
  const int n = x.width;
  if (is_zero(x)) return x;
  const double xd = approx(x);
  if (xd >= -0.29 && xd <= 0.41) {
    const Mp s = div(x, add(from_double(2.0, n), x));
    return two_atanh(s, 1.2 * units + 6, units);
  }
  const Mp sum = add(one(n), x);
  units = 4 + units * (xd > 0 ? 1 : -xd / (1 + xd) * 1.001);
  return log_kernel(sum, units);
}

// |x| > 1 goes to pi/2 - atan(1/|x|) (1/|x| has units + 2; the difference is at least
// pi/4, half of pi/2: 2*2 + the atan's + 4). Six halvings a <- a / (1 + sqrt(1 + a^2))
// bring |a| to at most tan(pi/256) = 0.0123; each keeps 1.3 times the error plus 17.3
// (a^2: 2d + 2, scaled by a^2/(1 + a^2) <= 1/2 in the sum, + 4; sqrt halves it, + 16;
// 1 + sqrt keeps 0.59 of it, + 4; the quotient adds a's own d and 2): after six,
// 4.83 d + 226. The series a (1 - z/3 + z^2/5 - ...) with z = a^2 <= 1.5e-4 changes sign
// but each step subtracts at most 1.5e-4 of the term: 6.1 per step, 8.7 with the product
// and the omitted terms. The doublings back are exact.
Mp atan_kernel(const Mp& x, double& units) {
  const int n = x.width;
  if (is_zero(x)) return x;
  const Mp unit = one(n);
  Mp a = x;
  a.negative = false;
  const bool inverted = compare_magnitude(a, unit) > 0;
  double d = units;
  if (inverted) {
    a = div(unit, a);
    d += 2;
  }
  constexpr int halvings = 6;
  for (int i = 0; i < halvings; ++i) a = div(a, add(unit, sqrt(add(unit, mul(a, a)))));
  d = 4.83 * d + 226;
  const Mp z = mul(a, a);
  const double zd = magnitude_of(z) * 1.001;
  int last = 0;
  for (double term = zd; term >= series_floor(n); term *= zd) ++last;
  Mp acc = div_small(unit, static_cast<std::uint32_t>(2 * last + 1));
  for (int j = last - 1; j >= 0; --j) acc = sub(div_small(unit, static_cast<std::uint32_t>(2 * j + 1)), mul(z, acc));
  Mp result = times_power_of_two(mul(a, acc), halvings);
  d += 8.7;
  if (inverted) {
    result = sub(times_power_of_two(pi_value(n), -1), result);
    d += 8;
  }
  units = d;
  result.negative = x.negative;
  return result;
}

// sin r = r (1 - z/6 (1 - z/20 (...))), z = r^2 <= 0.64 (2 units + 2): each step
// subtracts at most 0.107 of 1, so the sum keeps 8/(1 - 0.107) + 0.12 of z's error:
// 9.3 + 0.24 units; then the product with r: 1.3 units + 12.
Mp sin_kernel(const Mp& r, double& units) {
  if (is_zero(r)) return r;
  const Mp z = mul(r, r);
  const int last = factorial_terms(magnitude_of(z) * 1.001, 2, r.width);
  units = 1.3 * units + 12;
  return mul(r, alternating_factorial_series(z, 2, last));
}

// cos r = 1 - z/2 (1 - z/12 (...)): the first step subtracts at most 0.32 of 1, so the
// error grows by 0.47 of the subtracted part's (4 + the inner sum's + z's) over the
// subtraction's 4: 12.9 + 0.89 z's error, 13.5 + 1.8 units with the omitted terms.
Mp cos_kernel(const Mp& r, double& units) {
  const int n = r.width;
  if (is_zero(r)) return one(n);
  const Mp z = mul(r, r);
  const int last = factorial_terms(magnitude_of(z) * 1.001, 1, n);
  units = 1.8 * units + 13.5;
  return alternating_factorial_series(z, 1, last);
}

// |x| = m 2^e with m a 53-bit integer. Bits of 2/pi worth 2^-i with i <= e - 2 make
// multiples of 4 and are skipped; the window holds bits e - 1 .. e - 2 + W, W = 32 (width
// + 4), as an integer, so x 2/pi = m window 2^(2-W) modulo 4 up to the omitted tail,
// below m 2^(2-W) < 2^(55-W) quarter turns. Bits W-1 and W-2 of the product are the
// quadrant, those below the fraction f, taken in [-1/2, 1/2]. The tail is below
// 2^(56 - W - f's exponent) of f, 2^(-72 - f's exponent) eps: f's exponent is at least -62
// for every double (the closest multiple of pi/2 is 2^-61 away), so this is below 2^-10;
// then f truncated (2), pi/2 (2) and the product (2).
int reduce_quadrant(double x, int width, Mp& r, double& units) {
  const double ax = wide::magnitude(x);
  if (ax <= 0x1.921fb54442d18p-1) {  // below pi/4: its own reduction
    r = from_double(x, width);
    units = 0;
    return 0;
  }
  const std::uint64_t bits = wide::bits_of(ax);
  const std::uint64_t m = (bits & 0xFFFFFFFFFFFFF) | 0x10000000000000;  // |x| >= pi/4 is normal
  const int e = static_cast<int>(bits >> 52) - 1075;
  const int count = width + 4;
  const int window_bits = 32 * count;
  std::uint64_t window[max_width + 4];
  for (int k = 0; k < count; ++k) window[k] = two_over_pi_digit(e - 1 + 32 * (count - 1 - k));
  const std::uint64_t m_digits[2] = {m & 0xFFFFFFFF, m >> 32};
  std::uint64_t p[max_width + 6] = {};
  for (int i = 0; i < 2; ++i) {
    std::uint64_t carry = 0;
    for (int j = 0; j < count; ++j) {
      const std::uint64_t t = m_digits[i] * window[j] + p[i + j] + carry;
      p[i + j] = t & 0xFFFFFFFF;
      carry = t >> 32;
    }
    p[i + count] = carry;
  }
  int quadrant = static_cast<int>((p[count - 1] >> 30) & 3);
  p[count - 1] &= 0x3FFFFFFF;  // the fraction: bits below W - 2
  const bool negative = ((p[count - 1] >> 29) & 1) != 0;
  if (negative) {  // f - 1: its magnitude is 2^(W-2) - fraction
    quadrant = (quadrant + 1) & 3;
    std::uint64_t borrow = 0;
    for (int k = 0; k < count; ++k) {
      const std::uint64_t t = 0 - p[k] - borrow;
      borrow = p[k] != 0 || borrow != 0 ? 1 : 0;
      p[k] = t & 0xFFFFFFFF;
    }
    p[count - 1] &= 0x3FFFFFFF;
  }
  const Mp f = from_integer(p, count, 2 - window_bits, negative, width);
  if (is_zero(f)) {  // cannot happen for a double; leave the decision to the wider width
    r = f;
    units = 1e300;
    return quadrant;
  }
  r = mul(f, times_power_of_two(pi_value(width), -1));
  units = 6 + wide::scale(1.0, -72 - f.exponent);
  if (x < 0) {
    r = negated(r);
    quadrant = (4 - quadrant) & 3;
  }
  return quadrant;
}

}  // namespace multi
