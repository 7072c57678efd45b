// Wide binary floating point: truncating arithmetic with stated bounds, and the one rounding to a double.
#include "engine/crmath/multi_number.h"

#include <cmath>
#include <limits>

#include "engine/crmath/wide.h"

namespace multi {
namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr std::uint64_t digit_mask = 0xFFFFFFFF;

// Leading zero bits of a nonzero 32-bit digit, without compiler builtins.
int leading_zeros(std::uint64_t d) {
  int n = 0;
  for (int step = 16; step > 0; step /= 2) {
    if ((d >> (32 - step)) == 0) {
      n += step;
      d <<= step;
    }
    d &= digit_mask;
  }
  return n;
}

// 32 bits of the integer buf (len digits) whose top bit is bit `top` (bit 0 the
// lowest); bits below 0 read as zero.
std::uint64_t digit_at(const std::uint64_t* buf, int top) {
  if (top < 0) return 0;
  const int low = top - 31;
  if (low < 0) return (buf[0] << -low) & digit_mask;
  const int word = low / 32;
  const int offset = low % 32;
  if (offset == 0) return buf[word];
  return ((buf[word] >> offset) | (buf[word + 1] << (32 - offset))) & digit_mask;
}

// The number 0.buf * 2^exponent (buf has len digits, most significant last), normalised
// and truncated to the width: error below 1 ulp of the result.
Mp pack(const std::uint64_t* buf, int len, int exponent, bool negative, int width) {
  int top = len - 1;
  while (top >= 0 && buf[top] == 0) --top;
  Mp r = zero(width);
  if (top < 0) return r;
  const int lz = leading_zeros(buf[top]);
  const int top_bit = top * 32 + 31 - lz;
  for (int i = 0; i < width; ++i) r.digit[width - 1 - i] = digit_at(buf, top_bit - 32 * i);
  r.negative = negative;
  r.exponent = exponent - ((len - 1 - top) * 32 + lz);
  return r;
}

// v (len digits) shifted right by s bits, the bits below dropped.
void shift_right(std::uint64_t* v, int len, int s) {
  const int words = s / 32;
  const int bits = s % 32;
  for (int i = 0; i < len; ++i) {
    const int from = i + words;
    std::uint64_t d = from < len ? v[from] >> bits : 0;
    if (bits != 0 && from + 1 < len) d |= (v[from + 1] << (32 - bits)) & digit_mask;
    v[i] = d;
  }
}

// Compares two integers of len digits.
int compare_digits(const std::uint64_t* a, const std::uint64_t* b, int len) {
  for (int i = len - 1; i >= 0; --i)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return 0;
}

// a -= b over len digits; a >= b.
void subtract_digits(std::uint64_t* a, const std::uint64_t* b, int len) {
  std::uint64_t borrow = 0;
  for (int i = 0; i < len; ++i) {
    const std::uint64_t t = a[i] - b[i] - borrow;  // wraps when negative
    a[i] = t & digit_mask;
    borrow = (t >> 63) & 1;
  }
}

bool bit_of(const Mp& a, int i) {  // bit i of the significand as a P-bit integer
  if (i < 0 || i >= 32 * a.width) return false;
  return ((a.digit[i / 32] >> (i % 32)) & 1) != 0;
}

// Whether every bit from lo to hi (inclusive) of the significand equals value.
bool bits_all(const Mp& a, int lo, int hi, bool value) {
  for (int i = lo; i <= hi; ++i)
    if (bit_of(a, i) != value) return false;
  return true;
}

}  // namespace

Mp zero(int width) {
  Mp r;
  r.width = width;
  r.negative = false;
  r.exponent = 0;
  for (std::uint64_t& d : r.digit) d = 0;
  return r;
}

bool is_zero(const Mp& a) { return a.digit[a.width - 1] == 0; }

Mp from_double(double x, int width) {
  if (!wide::is_finite(x) || x == 0) return zero(width);
  const std::uint64_t u = wide::bits_of(x);
  const int biased = static_cast<int>((u >> 52) & 0x7FF);
  std::uint64_t m = u & 0xFFFFFFFFFFFFF;
  int e = biased - 1075;  // x = m * 2^e
  if (biased != 0) {
    m |= 0x10000000000000;
  } else {
    e = -1074;
  }
  const std::uint64_t digits[2] = {m & digit_mask, m >> 32};
  return from_integer(digits, 2, e, x < 0, width);
}

Mp from_integer(const std::uint64_t* digits, int count, int scale, bool negative, int width) {
  return pack(digits, count, scale + 32 * count, negative, width);
}

int compare_magnitude(const Mp& a, const Mp& b) {
  const bool za = is_zero(a);
  const bool zb = is_zero(b);
  if (za || zb) return za && zb ? 0 : (za ? -1 : 1);
  if (a.exponent != b.exponent) return a.exponent < b.exponent ? -1 : 1;
  return compare_digits(a.digit, b.digit, a.width);
}

Mp negated(Mp a) {
  if (!is_zero(a)) a.negative = !a.negative;
  return a;
}

Mp times_power_of_two(Mp a, int n) {
  if (!is_zero(a)) a.exponent += n;
  return a;
}

// The larger magnitude and the smaller, aligned in width + 2 digits: a guard digit below
// and room for a carry above. The smaller loses bits only when shifted past the guard
// digit (by more than 32 bits); then the result is at least half the larger, so the loss,
// below 2^-32 of the larger's last place, adds at most 2^-31 ulp of the result to the
// final truncation's 1 ulp: below 2 ulp in all. With a shift of at most 32 bits the
// difference is exact before the truncation.
Mp add(const Mp& a, const Mp& b) {
  if (is_zero(a)) return b;
  if (is_zero(b)) return a;
  const int n = a.width;
  const bool a_larger = compare_magnitude(a, b) >= 0;
  const Mp& big = a_larger ? a : b;
  const Mp& small = a_larger ? b : a;
  std::uint64_t x[max_width + 2];
  std::uint64_t y[max_width + 2];
  x[0] = y[0] = 0;
  x[n + 1] = y[n + 1] = 0;
  for (int i = 0; i < n; ++i) {
    x[i + 1] = big.digit[i];
    y[i + 1] = small.digit[i];
  }
  const int shift = big.exponent - small.exponent;
  if (shift >= 32 * (n + 2)) {
    for (int i = 0; i < n + 2; ++i) y[i] = 0;
  } else {
    shift_right(y, n + 2, shift);
  }
  if (big.negative == small.negative) {
    std::uint64_t carry = 0;
    for (int i = 0; i < n + 2; ++i) {
      const std::uint64_t t = x[i] + y[i] + carry;
      x[i] = t & digit_mask;
      carry = t >> 32;
    }
  } else {
    subtract_digits(x, y, n + 2);
  }
  return pack(x, n + 2, big.exponent + 32, big.negative, n);
}

Mp sub(const Mp& a, const Mp& b) { return add(a, negated(b)); }

// The full 2w-digit product, then one truncation.
Mp mul(const Mp& a, const Mp& b) {
  const int n = a.width;
  if (is_zero(a) || is_zero(b)) return zero(n);
  std::uint64_t p[2 * max_width] = {};
  for (int i = 0; i < n; ++i) {
    std::uint64_t carry = 0;
    for (int j = 0; j < n; ++j) {
      const std::uint64_t t = a.digit[i] * b.digit[j] + p[i + j] + carry;  // below 2^64
      p[i + j] = t & digit_mask;
      carry = t >> 32;
    }
    p[i + n] = carry;
  }
  return pack(p, 2 * n, a.exponent + b.exponent, a.negative != b.negative, n);
}

// Long division one 32-bit digit at a time (Knuth's algorithm D): the divisor's top
// digit is at least 2^31, so the estimate from the remainder's top two digits is at most
// 2 too large and is corrected against the exact remainder. The quotient is truncated
// after w + 1 digits: below 1 ulp once normalised.
Mp div(const Mp& a, const Mp& b) {
  const int n = a.width;
  if (is_zero(a) || is_zero(b)) return zero(n);
  std::uint64_t rem[max_width + 1];
  for (int i = 0; i < n; ++i) rem[i] = a.digit[i];
  rem[n] = 0;
  std::uint64_t q[max_width + 1];
  q[n] = compare_digits(a.digit, b.digit, n) >= 0 ? 1 : 0;  // the integer digit, 0 or 1
  if (q[n] != 0) subtract_digits(rem, b.digit, n);
  const std::uint64_t top = b.digit[n - 1];
  for (int i = n - 1; i >= 0; --i) {
    // rem < b: multiply by 2^32 and take the next digit.
    for (int k = n; k > 0; --k) rem[k] = rem[k - 1];
    rem[0] = 0;
    std::uint64_t guess = ((rem[n] << 32) | rem[n - 1]) / top;
    if (guess > digit_mask) guess = digit_mask;
    std::uint64_t t[max_width + 1];
    std::uint64_t carry = 0;
    for (int k = 0; k < n; ++k) {
      const std::uint64_t v = guess * b.digit[k] + carry;
      t[k] = v & digit_mask;
      carry = v >> 32;
    }
    t[n] = carry;
    while (compare_digits(t, rem, n + 1) > 0) {  // at most twice
      std::uint64_t bb[max_width + 1];
      for (int k = 0; k < n; ++k) bb[k] = b.digit[k];
      bb[n] = 0;
      subtract_digits(t, bb, n + 1);
      --guess;
    }
    subtract_digits(rem, t, n + 1);
    q[i] = guess;
  }
  return pack(q, n + 1, a.exponent - b.exponent + 32, a.negative != b.negative, n);
}

Mp mul_small(const Mp& a, std::uint32_t k) {
  const int n = a.width;
  if (is_zero(a) || k == 0) return zero(n);
  std::uint64_t p[max_width + 1];
  std::uint64_t carry = 0;
  for (int i = 0; i < n; ++i) {
    const std::uint64_t t = a.digit[i] * k + carry;
    p[i] = t & digit_mask;
    carry = t >> 32;
  }
  p[n] = carry;
  return pack(p, n + 1, a.exponent + 32, a.negative, n);
}

// Two extra digits below: dividing by k < 2^32 moves the top bit down by at most 32.
Mp div_small(const Mp& a, std::uint32_t k) {
  const int n = a.width;
  if (is_zero(a) || k == 0) return zero(n);
  std::uint64_t q[max_width + 2];
  std::uint64_t rest = 0;
  for (int i = n + 1; i >= 0; --i) {
    const std::uint64_t cur = (rest << 32) | (i >= 2 ? a.digit[i - 2] : 0);
    q[i] = cur / k;
    rest = cur % k;
  }
  return pack(q, n + 2, a.exponent, a.negative, n);
}

// a = m 2^e with e even and m in [1/4, 1); the seed is the double square root of m's
// leading bits, relative error below 2^-52. With y = sqrt(m)(1 + d), one step
// (y + m/y)/2 gives d' = d^2 / (2(1 + d)) plus the step's own roundings (div 2 eps, add
// 4 eps, relative to y': below 7 eps). The bits doubled each step, 52 -> 105 -> 211 ->
// 423 -> 847, until past P: the last d^2 term is below eps and the total below 16 eps.
Mp sqrt(const Mp& a) {
  const int n = a.width;
  if (is_zero(a) || a.negative) return zero(n);
  Mp m = a;
  int e = a.exponent;
  m.exponent = 0;
  if (e % 2 != 0) {  // odd, either sign
    m.exponent = -1;
    e += 1;
  }
  Mp y = from_double(wide::square_root(approx(m)), n);
  for (int bits = 52; bits < 32 * n + 1; bits = 2 * bits + 1) y = times_power_of_two(add(y, div(m, y)), -1);
  y.exponent += e / 2;
  return y;
}

double approx(const Mp& a) {
  if (is_zero(a)) return 0.0;
  if (a.exponent > 1100) return a.negative ? -infinity : infinity;
  if (a.exponent < -1100) return a.negative ? -0.0 : 0.0;
  const int n = a.width;
  const double top = static_cast<double>((a.digit[n - 1] << 32) | a.digit[n - 2]);  // rounds once
  const double v = wide::scale(top, a.exponent - 64);
  return a.negative ? -v : v;
}

// The rounding position: p bits kept, 53 for a normal result and fewer on the subnormal
// grid (p <= 0 for results below half the smallest subnormal). Below the kept bits lie
// S = P - p bits: the first is the round bit, then the rest. A midpoint is a round bit of
// 1 and a rest of 0; the exact value lies within 2^c ulp, so it may sit across a midpoint
// only when the rest's bits from c up all equal the round bit's complement. The grid
// below 2^(exponent-1) is finer, but its nearest midpoint is a quarter of a double's unit
// away, far past 2^c ulp, so only this binade's midpoints matter.
double round_to_double(const Mp& a, int error_bits, bool& decided) {
  decided = true;
  if (is_zero(a)) return a.negative ? -0.0 : 0.0;
  const double sign = a.negative ? -1.0 : 1.0;
  const int e = a.exponent;  // 2^(e-1) <= |a| < 2^e
  if (e > 1024) return sign * infinity;  // at least 2^1024
  if (e < -1100) return sign * 0.0;      // below 2^-1100, far under 2^-1075
  const int total = 32 * a.width;
  const int p = e - 1 >= -1022 ? 53 : e + 1074;
  const int s = total - p;
  const bool round = bit_of(a, s - 1);
  if (error_bits >= 0 && (error_bits > s - 2 || bits_all(a, error_bits, s - 2, !round))) decided = false;
  std::uint64_t kept = 0;
  if (p > 0) kept = ((a.digit[a.width - 1] << 32) | a.digit[a.width - 2]) >> (64 - p);
  if (round && (!bits_all(a, 0, s - 2, false) || (kept & 1) != 0)) ++kept;  // ties to even
  // kept * 2^(e - p) is a double (or overflows to infinity in the one rounding multiply).
  return sign * wide::scale(static_cast<double>(kept), e - p);
}

int error_bits_of(double units) {
  if (!(units < 0x1p1000)) return 1 << 20;  // NaN or past any width: undecided
  if (!(units >= 1)) return 0;
  return wide::exponent_of(units) + 1;
}

}  // namespace multi
