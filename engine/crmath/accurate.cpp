// The accurate path: the functions in wide precision, rounded once after a rounding test at 320 bits, then 640.
//
// Each function composes the kernels of multi_number.h so that no subtraction cancels
// an inexact operand's leading bits, and tracks a relative error bound in units of
// eps = 2^-P (the comments give each step's share, from the bounds stated there). The
// result is rounded at P = 320 when the bound decides the rounding, which it always does
// for the published hard cases (the hardest needs about 2^-133 relative; the bound stays
// below 2^-301);
// otherwise at P = 640. Exact and halfway results of pow are computed exactly.
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/crmath/multi.h"
#include "engine/crmath/multi_number.h"
#include "engine/crmath/wide.h"

namespace {

using multi::Mp;
using wide::magnitude;

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();

// The first width, then the second when the first cannot decide the rounding.
constexpr int widths[] = {multi::first_width, multi::second_width};

Mp one(int width) { return multi::from_double(1.0, width); }

// compute(width, units) returns the value and sets its relative error bound in eps units;
// rounded at the first width when the bound decides, else at the second (whose result is
// returned as it is: no argument is known to need more).
template <typename Compute>
double rounded(Compute compute) {
  bool decided = false;
  for (const int width : widths) {
    double units = 0;
    const Mp value = compute(width, units);
    const double result = multi::round_to_double(value, multi::error_bits_of(units), decided);
    if (decided || width == multi::second_width) return result;
  }
  return nan_value;  // not reached
}

Mp with_sign(Mp a, bool negative) {
  if (!multi::is_zero(a)) a.negative = negative;
  return a;
}

// sqrt((1 - x)(1 + x)) from a double |x| < 1: both factors are computed from exact
// operands (4 each), their product 10, the square root half of it plus 16: 21.
Mp sqrt_one_minus_square(double x, int width, double& units) {
  const Mp u = one(width);
  const Mp v = multi::from_double(x, width);
  units = 21;
  return multi::sqrt(multi::mul(multi::sub(u, v), multi::add(u, v)));
}

}  // namespace

double mp_exp(double x) {
  if (wide::is_nan(x)) return x + x;
  if (x > 710) return inf;  // e^710 > 2^1024
  if (x < -746) return 0.0;  // e^-746 < 2^-1076, below half the smallest subnormal
  return rounded([x](int width, double& units) { return multi::exp_kernel(multi::from_double(x, width), units); });
}

double mp_log(double x) {
  if (wide::is_nan(x)) return x + x;
  if (x < 0) return nan_value;
  if (x == 0) return -inf;
  if (x == inf) return inf;
  return rounded([x](int width, double& units) { return multi::log_kernel(multi::from_double(x, width), units); });
}

// log x / ln 10: 2 for ln 10 and 2 for the quotient. For x = 10^k the result k is a
// double far from any midpoint, so the test decides it exactly like any other value.
double mp_log10(double x) {
  if (wide::is_nan(x)) return x + x;
  if (x < 0) return nan_value;
  if (x == 0) return -inf;
  if (x == inf) return inf;
  return rounded([x](int width, double& units) {
    const Mp l = multi::log_kernel(multi::from_double(x, width), units);
    units += 4;
    return multi::div(l, multi::ln10_value(width));
  });
}

double mp_sin(double x) {
  if (!wide::is_finite(x)) return nan_value;
  if (x == 0) return x;
  return rounded([x](int width, double& units) {
    Mp r;
    const int quadrant = multi::reduce_quadrant(x, width, r, units);
    const Mp v = quadrant % 2 == 0 ? multi::sin_kernel(r, units) : multi::cos_kernel(r, units);
    return quadrant >= 2 ? multi::negated(v) : v;
  });
}

double mp_cos(double x) {
  if (!wide::is_finite(x)) return nan_value;
  if (x == 0) return 1.0;
  return rounded([x](int width, double& units) {
    Mp r;
    const int quadrant = multi::reduce_quadrant(x, width, r, units);
    const Mp v = quadrant % 2 == 0 ? multi::cos_kernel(r, units) : multi::sin_kernel(r, units);
    return quadrant == 1 || quadrant == 2 ? multi::negated(v) : v;
  });
}

// sin r / cos r, or -cos r / sin r in the odd quadrants: both errors and 2.
double mp_tan(double x) {
  if (!wide::is_finite(x)) return nan_value;
  if (x == 0) return x;
  return rounded([x](int width, double& units) {
    Mp r;
    double r_units = 0;
    const int quadrant = multi::reduce_quadrant(x, width, r, r_units);
    double s_units = r_units;
    double c_units = r_units;
    const Mp s = multi::sin_kernel(r, s_units);
    const Mp c = multi::cos_kernel(r, c_units);
    units = s_units + c_units + 2;
    return quadrant % 2 == 0 ? multi::div(s, c) : multi::negated(multi::div(c, s));
  });
}

// atan(x / sqrt((1 - x)(1 + x))): the quotient has 21 + 2.
double mp_asin(double x) {
  if (wide::is_nan(x)) return x + x;
  if (magnitude(x) > 1) return nan_value;
  if (x == 0) return x;
  if (magnitude(x) == 1) {
    return rounded([x](int width, double& units) {
      units = 2;
      return with_sign(multi::times_power_of_two(multi::pi_value(width), -1), x < 0);
    });
  }
  return rounded([x](int width, double& units) {
    const Mp root = sqrt_one_minus_square(x, width, units);
    units += 2;
    return multi::atan_kernel(multi::div(multi::from_double(x, width), root), units);
  });
}

// 2 atan(sqrt((1 - x)/(1 + x))): the quotient of exact differences has 10, its square
// root 21; near x = -1 the atan goes through its reciprocal branch, near pi.
double mp_acos(double x) {
  if (wide::is_nan(x)) return x + x;
  if (magnitude(x) > 1) return nan_value;
  if (x == 1) return 0.0;
  if (x == -1) {
    return rounded([](int width, double& units) {
      units = 2;
      return multi::pi_value(width);
    });
  }
  return rounded([x](int width, double& units) {
    const Mp u = one(width);
    const Mp v = multi::from_double(x, width);
    units = 21;
    const Mp root = multi::sqrt(multi::div(multi::sub(u, v), multi::add(u, v)));
    return multi::times_power_of_two(multi::atan_kernel(root, units), 1);
  });
}

double mp_atan(double x) {
  if (wide::is_nan(x)) return x + x;
  if (x == 0) return x;
  if (!wide::is_finite(x)) {
    return rounded([x](int width, double& units) {
      units = 2;
      return with_sign(multi::times_power_of_two(multi::pi_value(width), -1), x < 0);
    });
  }
  return rounded([x](int width, double& units) { return multi::atan_kernel(multi::from_double(x, width), units); });
}

// |x| < 1/2: t = e^|x| - 1, sinh = (t + t/(1 + t))/2, all positive: 1 + t keeps 0.4 of
// t's error, + 4; the quotient 1.4 t's + 6; the sum 4 more. Else (E - 1/E)/2 with
// E = e^|x| >= e^(1/2): the difference multiplies the operands' errors (E's + 2 for
// 1/E) by (E + 1/E)/(E - 1/E) <= 2.2, + 4.
double mp_sinh(double x) {
  if (wide::is_nan(x)) return x + x;
  if (!wide::is_finite(x) || x == 0) return x;
  if (magnitude(x) > 711) return x < 0 ? -inf : inf;  // sinh 711 > 2^1024
  return rounded([x](int width, double& units) {
    const Mp a = multi::from_double(magnitude(x), width);
    const Mp u = one(width);
    Mp v;
    if (magnitude(x) < 0.5) {
      double t_units = 0;
      const Mp t = multi::expm1_kernel(a, t_units);
      v = multi::add(t, multi::div(t, multi::add(u, t)));
      units = 1.4 * t_units + 10;
    } else {
      double e_units = 0;
      const Mp e = multi::exp_kernel(a, e_units);
      v = multi::sub(e, multi::div(u, e));
      units = 2.2 * (e_units + 2) + 4;
    }
    return with_sign(multi::times_power_of_two(v, -1), x < 0);
  });
}

// (E + 1/E)/2 with E = e^|x|: a sum of positives, E's error + 2 + 4.
double mp_cosh(double x) {
  if (wide::is_nan(x)) return x + x;
  if (magnitude(x) > 711) return inf;  // cosh 711 > 2^1024 (and the infinities)
  return rounded([x](int width, double& units) {
    const Mp e = multi::exp_kernel(multi::from_double(magnitude(x), width), units);
    units += 6;
    return multi::times_power_of_two(multi::add(e, multi::div(one(width), e)), -1);
  });
}

// t = e^(2|x|) - 1 (expm1 up to 2|x| = 1/2; above, E - 1 with E >= e^(1/2) multiplies
// E's error by at most 2.6, + 4), tanh = t/(t + 2): t + 2 keeps t's error, + 4; the
// quotient 2 more. Above 22, 1 - tanh < 2e^-44 is far below half a unit under 1.
double mp_tanh(double x) {
  if (wide::is_nan(x)) return x + x;
  if (x == 0) return x;
  if (magnitude(x) >= 22) return x < 0 ? -1.0 : 1.0;  // the infinities too
  return rounded([x](int width, double& units) {
    const Mp a2 = multi::from_double(2 * magnitude(x), width);  // exact: |x| < 22
    Mp t;
    double t_units = 0;
    if (2 * magnitude(x) <= 0.5) {
      t = multi::expm1_kernel(a2, t_units);
    } else {
      t = multi::sub(multi::exp_kernel(a2, t_units), one(width));
      t_units = 2.6 * t_units + 4;
    }
    units = 2 * t_units + 6;
    return with_sign(multi::div(t, multi::add(t, multi::from_double(2.0, width))), x < 0);
  });
}

// log1p(a + a^2/(1 + sqrt(1 + a^2))), a = |x|, every term positive: a^2 2, 1 + a^2 6,
// its square root 19, 1 + that 23, the quotient 27, the sum 31.
double mp_asinh(double x) {
  if (wide::is_nan(x)) return x + x;
  if (!wide::is_finite(x) || x == 0) return x;
  return rounded([x](int width, double& units) {
    const Mp a = multi::from_double(magnitude(x), width);
    const Mp u = one(width);
    const Mp a2 = multi::mul(a, a);
    const Mp arg = multi::add(a, multi::div(a2, multi::add(u, multi::sqrt(multi::add(u, a2)))));
    units = 31;
    return with_sign(multi::log1p_kernel(arg, units), x < 0);
  });
}

// log1p((x - 1) + sqrt((x - 1)(x + 1))): x - 1 and x + 1 from the exact x (4 each), the
// product 10, its square root 21, the sum of positives 25.
double mp_acosh(double x) {
  if (wide::is_nan(x)) return x + x;
  if (x < 1) return nan_value;
  if (x == 1) return 0.0;
  if (x == inf) return inf;
  return rounded([x](int width, double& units) {
    const Mp v = multi::from_double(x, width);
    const Mp u = one(width);
    const Mp below = multi::sub(v, u);
    const Mp arg = multi::add(below, multi::sqrt(multi::mul(below, multi::add(v, u))));
    units = 25;
    return multi::log1p_kernel(arg, units);
  });
}

// log1p(2a/(1 - a)) / 2, a = |x|: 1 - a from the exact a has 4, the quotient 6.
double mp_atanh(double x) {
  if (wide::is_nan(x)) return x + x;
  if (magnitude(x) > 1) return nan_value;
  if (magnitude(x) == 1) return x < 0 ? -inf : inf;
  if (x == 0) return x;
  return rounded([x](int width, double& units) {
    const Mp a = multi::from_double(magnitude(x), width);
    const Mp arg = multi::div(multi::times_power_of_two(a, 1), multi::sub(one(width), a));
    units = 6;
    return with_sign(multi::times_power_of_two(multi::log1p_kernel(arg, units), -1), x < 0);
  });
}

// |x| = m 2^(3q) with m in [1/2, 4); y <- (2y + m/y^2)/3 from a double seed good to 2^-40:
// with y = cbrt(m)(1 + d), one step gives d^2 (1 + O(d)) plus its roundings (y^2 2, the
// quotient 4, the sum 8, the division by 3 10). The steps stop once d^2 is below eps:
// 12 in all. An exact cube root is a double, never a midpoint (its cube would need more
// than 53 bits otherwise), so the test decides it like any other value.
double mp_cbrt(double x) {
  if (wide::is_nan(x)) return x + x;
  if (!wide::is_finite(x) || x == 0) return x;
  return rounded([x](int width, double& units) {
    Mp m = multi::from_double(magnitude(x), width);
    const int e = m.exponent;
    const int q = e >= 0 ? e / 3 : -((2 - e) / 3);
    m.exponent = e - 3 * q;  // 0, 1 or 2
    const double md = multi::approx(m);
    double seed = 1.0;
    for (int i = 0; i < 10; ++i) seed -= (seed * seed * seed - md) / (3 * seed * seed);
    Mp y = multi::from_double(seed, width);
    for (int bits = 40; bits < 32 * width + 2; bits = 2 * bits - 1) {
      const Mp quotient = multi::div(m, multi::mul(y, y));
      y = multi::div_small(multi::add(multi::times_power_of_two(y, 1), quotient), 3);
    }
    units = 12;
    y.exponent += q;
    return with_sign(y, x < 0);
  });
}

namespace {

// y is an integer (every double from 2^52 up is one).
bool is_integer(double y) {
  if (!wide::is_finite(y)) return false;
  const std::uint64_t u = wide::bits_of(y) & 0x7FFFFFFFFFFFFFFF;
  const int e = static_cast<int>(u >> 52) - 1075;  // |y| = significand * 2^e
  if (u == 0 || e >= 0) return true;
  if (e < -52) return false;
  return (u & ((std::uint64_t{1} << -e) - 1)) == 0;
}

bool is_odd_integer(double y) {
  if (!is_integer(y) || magnitude(y) >= 0x1p53) return false;
  const std::uint64_t u = wide::bits_of(y) & 0x7FFFFFFFFFFFFFFF;
  const int e = static_cast<int>(u >> 52) - 1075;
  if (u == 0) return false;
  const std::uint64_t significand = (u & 0xFFFFFFFFFFFFF) | 0x10000000000000;
  return ((significand >> -e) & 1) != 0;
}

// A finite nonzero |v| as m 2^e with m odd.
void odd_form(double v, std::uint64_t& m, int& e) {
  const std::uint64_t u = wide::bits_of(v) & 0x7FFFFFFFFFFFFFFF;
  const int biased = static_cast<int>(u >> 52);
  m = u & 0xFFFFFFFFFFFFF;
  e = -1074;
  if (biased != 0) {
    m |= 0x10000000000000;
    e = biased - 1075;
  }
  while ((m & 1) == 0) {
    m >>= 1;
    ++e;
  }
}

// w^n when it stays below 2^54, else 0.
std::uint64_t small_power(std::uint64_t w, std::uint64_t n) {
  std::uint64_t p = 1;
  for (std::uint64_t i = 0; i < n; ++i) {
    if (p > (std::uint64_t{1} << 54) / w) return 0;
    p *= w;
  }
  return p < (std::uint64_t{1} << 54) ? p : 0;
}

// Where x^y (x = |x| > 0, not 1; y finite and nonzero) is a double or a midpoint
// between two, computes it exactly and rounds once: returns false when x^y is neither.
// With x = m 2^e and |y| = n 2^-k (m, n odd): for m = 1 the value is 2^(e y), a power of
// two exactly when 2^k divides e. For m > 1 and y < 0 it has an odd denominator and is
// not dyadic. For m > 1 and y > 0 it is dyadic only if m = w^(2^k) (n is odd, so the odd
// part m^n = M^(2^k) forces it), and then it is w^n 2^(e n / 2^k), which has at most 54
// significant bits only if w^n < 2^54; every double result and every midpoint (Lauter
// and Lefevre, IEEE TC 2009) is among these.
bool exact_power(double x, double y, bool negative, double& result) {
  std::uint64_t m = 0;
  int e = 0;
  odd_form(x, m, e);
  std::uint64_t n = 0;
  int ey = 0;
  odd_form(y, n, ey);
  const int k = ey < 0 ? -ey : 0;
  if (ey > 0) {  // an even integer: its odd part n times 2^ey, taken whole when small
    if (ey > 12 || n > 4096) n = 4097;
    else n <<= ey;
  }
  if (k > 11 || (k > 0 && e % (1 << k) != 0)) return false;  // e n / 2^k not an integer
  const std::int64_t e_part = e / (1 << k);
  if (m == 1) {
    const bool down = (e_part < 0) != (y < 0);
    if (n > 4096) {
      result = down ? 0.0 : inf;
    } else {
      const std::int64_t j = e_part * static_cast<std::int64_t>(n);
      const std::int64_t jj = j < 0 ? -j : j;
      if (jj >= 2200) result = down ? 0.0 : inf;
      else result = wide::scale(1.0, static_cast<int>(down ? -jj : jj));
    }
    result = negative ? -result : result;
    return true;
  }
  if (y < 0 || k > 5 || n > 34) return false;  // w >= 3 and w^35 > 2^54
  std::uint64_t w = m;
  for (int i = 0; i < k; ++i) {  // w^(2^k) = m; m < 2^53, so the double square root is exact for squares
    const auto s = static_cast<std::uint64_t>(wide::square_root(static_cast<double>(w)));
    if (s * s != w) return false;
    w = s;
  }
  const std::uint64_t value = small_power(w, n);
  if (value == 0) return false;
  const std::uint64_t digits[2] = {value & 0xFFFFFFFF, value >> 32};
  const Mp exact = multi::from_integer(digits, 2, static_cast<int>(e_part * static_cast<std::int64_t>(n)), negative,
                                       multi::first_width);
  bool decided = false;
  result = multi::round_to_double(exact, -1, decided);
  return true;
}

}  // namespace

// The special cases of C99 pow, the exact results, then e^(y log x): log x has 29
// (x exact), the product 2 more; e^t turns that into 31 |t| plus its own bound. Beyond
// |t| of 710 and 746 the result overflows or underflows whatever the rounding.
double mp_pow(double x, double y) {
  if (y == 0 || x == 1) return 1.0;
  if (wide::is_nan(x) || wide::is_nan(y)) return x + y;
  const bool odd = is_odd_integer(y);
  if (x == 0) {
    if (y < 0) return odd ? wide::with_sign_of(inf, x) : inf;
    return odd ? x : 0.0;
  }
  const double ax = magnitude(x);
  if (!wide::is_finite(y)) {
    if (ax == 1) return 1.0;
    return (ax < 1) == (y < 0) ? inf : 0.0;
  }
  if (!wide::is_finite(x)) {
    const double r = y > 0 ? inf : 0.0;
    return x < 0 && odd ? -r : r;
  }
  if (x < 0 && !is_integer(y)) return nan_value;
  const bool negative = x < 0 && odd;
  if (ax == 1) return negative ? -1.0 : 1.0;
  double result = 0;
  if (exact_power(ax, y, negative, result)) return result;
  bool decided = false;
  for (const int width : widths) {
    double units = 0;
    const Mp t = multi::mul(multi::log_kernel(multi::from_double(ax, width), units), multi::from_double(y, width));
    units += 2;
    const double td = multi::approx(t);
    if (td > 710) return negative ? -inf : inf;
    if (td < -746) return negative ? -0.0 : 0.0;
    const Mp v = multi::exp_kernel(t, units);
    result = multi::round_to_double(with_sign(v, negative), multi::error_bits_of(units), decided);
    if (decided) break;
  }
  return result;
}
