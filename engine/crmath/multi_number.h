// Wide binary floating point for the accurate path, and its kernels. Internal to engine/crmath.
//
// A number is (-1)^negative * 0.d[w-1] d[w-2] ... d[0] * 2^exponent in base 2^32, w = width,
// with the top digit's top bit set (the significand lies in [1/2, 1)), or zero (every digit
// 0). Digits are 32-bit values kept in 64-bit words so that products and carries fit in
// plain integers on every compiler. The width is fixed for a whole computation: 10 digits
// (P = 320 bits) first, 20 digits (P = 640) when the first cannot decide the rounding.
// Why 320: the hardest published cases lie about 2^-133 (relative) from a midpoint, and
// the functions' bounds stay below 2^19 eps = 2^-301 here, including pow's 2^9.6 for
// e^(y log x) with |y log x| <= 746 and the reduction of any double by pi/2, whose window
// of 2/pi is P + 128 bits long (a double comes no closer than 2^-61 to a multiple of pi/2).
// 640 is for what no list covers (pow, huge trigonometric arguments): see docs/accuracy.md.
//
// Every operation truncates; its error is stated as a relative bound in units of
// eps = 2^-P. A result within k * eps of the exact value (relatively) is also within k
// units of its own last place, ulp = 2^(exponent - P), because |value| >= 2^(exponent - 1).
// Exponents are plain ints: no operation overflows or underflows for the magnitudes the
// functions reach (|exponent| below 10^6). Nothing allocates; nothing fails except where
// stated.
#pragma once

#include <cstdint>

namespace multi {

constexpr int max_width = 20;
constexpr int first_width = 10;
constexpr int second_width = 20;

struct Mp {
  int width;
  bool negative;
  int exponent;
  std::uint64_t digit[max_width];  // digit[width - 1] most significant; each below 2^32
};

// ---- Arithmetic (multi.cpp) ----

// Zero of the given width (positive).
Mp zero(int width);
bool is_zero(const Mp& a);
// x exactly (finite x; 53 bits fit any width); an infinite or NaN x gives zero.
Mp from_double(double x, int width);
// The integer sum of digits[i] * 2^(32 i) (count digits, each below 2^32) times 2^scale,
// truncated: error below 1 ulp (exact when it fits the width).
Mp from_integer(const std::uint64_t* digits, int count, int scale, bool negative, int width);
// -1 when |a| < |b|, 0 when equal, 1 when greater.
int compare_magnitude(const Mp& a, const Mp& b);
Mp negated(Mp a);
// a * 2^n exactly.
Mp times_power_of_two(Mp a, int n);
// a + b and a - b: error below 2 ulp of the result (relative 4 eps), whatever the signs.
Mp add(const Mp& a, const Mp& b);
Mp sub(const Mp& a, const Mp& b);
// a * b: error below 1 ulp (relative 2 eps).
Mp mul(const Mp& a, const Mp& b);
// a / b for b nonzero: error below 1 ulp (relative 2 eps); b zero gives zero.
Mp div(const Mp& a, const Mp& b);
// a * k and a / k for 0 < k < 2^32: error below 1 ulp (relative 2 eps).
Mp mul_small(const Mp& a, std::uint32_t k);
Mp div_small(const Mp& a, std::uint32_t k);
// sqrt(a) for a >= 0 by Newton's iteration: relative error below 16 eps; a < 0 gives zero.
Mp sqrt(const Mp& a);
// About 53 leading bits of a as a double, for seeds and range decisions: relative error
// below 2^-52; beyond the range of doubles it gives 0 or a signed infinity.
double approx(const Mp& a);

// a rounded once to the nearest double, ties to even, on the subnormal grid, with
// overflow to infinity. The exact value lies within 2^error_bits ulp of a
// (error_bits < 0: a is exact). decided is false when that interval holds a rounding
// boundary (a midpoint between two doubles), so that the result may be wrong.
double round_to_double(const Mp& a, int error_bits, bool& decided);
// The error_bits for a relative error bound of units * eps (units >= 0): the smallest
// c with units < 2^c; NaN or a huge bound gives a c that decides nothing.
int error_bits_of(double units);

// ---- Kernels (multi_kernels.cpp); in bounds, eps = 2^-P of the argument's width ----

// pi, ln 2 and ln 10 truncated to the width: relative error below 2 eps.
Mp pi_value(int width);
Mp ln2_value(int width);
Mp ln10_value(int width);

// The kernels take the relative error of their argument (units of eps) in units and
// return the relative error of their result there, every rounding inside included.
// An argument outside the stated range gives an unspecified value (never a trap).

// e^x for |x| < 2^20 (the caller decides overflow beforehand).
Mp exp_kernel(const Mp& x, double& units);
// e^x - 1 for |x| <= 1/2, without cancellation for small x.
Mp expm1_kernel(const Mp& x, double& units);
// log x for x > 0.
Mp log_kernel(const Mp& x, double& units);
// log(1 + x) for x > -1, without cancellation for small x.
Mp log1p_kernel(const Mp& x, double& units);
// atan x, any x.
Mp atan_kernel(const Mp& x, double& units);
// sin r and cos r for |r| <= 0.8.
Mp sin_kernel(const Mp& r, double& units);
Mp cos_kernel(const Mp& r, double& units);
// x = (quadrant + r / (pi/2)) * pi/2 modulo 2 pi for finite x, with |r| <= pi/4 (a hair
// more at the ends); units receives r's relative error. Exact reduction by a window of
// 2/pi P + 128 bits long, wherever x's exponent puts it.
int reduce_quadrant(double x, int width, Mp& r, double& units);

}  // namespace multi
