// The remainder of "%": x - q*y with q = trunc(x/y), exact, from integer significands.
#include <bit>
#include <cstdint>

#include "engine/crmath/crmath.h"
#include "engine/crmath/wide.h"

namespace {

constexpr std::uint64_t sign_bit = 0x8000000000000000;
constexpr std::uint64_t hidden_bit = std::uint64_t{1} << 52;

// A finite nonzero |x| as m * 2^(e - 1075) with m < 2^53; subnormals take e = 1, so
// every value's e is its biased exponent on one common grid.
struct Unpacked {
  std::uint64_t m;
  int e;
};

Unpacked unpack(std::uint64_t magnitude_bits) {
  const int biased = static_cast<int>(magnitude_bits >> 52);
  const std::uint64_t fraction = magnitude_bits & (hidden_bit - 1);
  if (biased == 0) return {fraction, 1};
  return {fraction | hidden_bit, biased};
}

// m * 2^(e - 1075) as the bits of a double, for 0 < m < 2^53 and e >= 1: always
// exact, since the value is a multiple of 2^(e - 1075), the grid at exponent e.
std::uint64_t pack(std::uint64_t m, int e) {
  // Move the leading bit up to bit 52, but no lower than the subnormal exponent.
  int shift = std::countl_zero(m) - 11;
  if (shift > e - 1) shift = e - 1;
  m <<= shift;
  e -= shift;
  if (m < hidden_bit) return m;  // subnormal: e is 1 here and the biased exponent 0
  return (static_cast<std::uint64_t>(e) << 52) | (m - hidden_bit);
}

}  // namespace

double cr_fmod(double x, double y) {
  const std::uint64_t x_bits = wide::bits_of(x);
  const std::uint64_t ax = x_bits & ~sign_bit;
  const std::uint64_t ay = wide::bits_of(y) & ~sign_bit;
  constexpr std::uint64_t infinity_bits = 0x7FF0000000000000;
  if (ax > infinity_bits || ay > infinity_bits) return x + y;  // a NaN in: a NaN out
  if (ax == infinity_bits || ay == 0) return wide::double_of(0x7FF8000000000000);
  // Now x is finite; for an infinite y, or any |y| above |x|, the quotient is 0.
  if (ax < ay) return x;
  if (ax == ay) return wide::double_of(x_bits & sign_bit);
  const Unpacked a = unpack(ax);
  const Unpacked b = unpack(ay);
  // |x| mod |y| = (a.m * 2^d) mod b.m, times 2^(b.e - 1075), with d = a.e - b.e >= 0.
  // Long division by the divisor's significand, 11 bits of the dividend at a time:
  // the running remainder is below b.m < 2^53, so shifted by 11 it still fits in 64
  // bits, and each step's integer remainder is exact.
  std::uint64_t r = a.m % b.m;
  for (int d = a.e - b.e; d > 0 && r != 0; d -= 11) {
    const int step = d < 11 ? d : 11;
    r = (r << step) % b.m;
  }
  if (r == 0) return wide::double_of(x_bits & sign_bit);  // x's zero: 6 % 3 is 0, -6 % 3 is -0
  return wide::double_of(pack(r, b.e) | (x_bits & sign_bit));
}
