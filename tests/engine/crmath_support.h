// Shared by the correctly rounded functions' tests: infinities, NaN, and comparison by bits.
#pragma once

#include <cmath>
#include <cstring>
#include <limits>

inline constexpr double inf = std::numeric_limits<double>::infinity();
inline constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();

// Bit-exact, so that the sign of zero counts and NaN equals NaN.
inline bool same_bits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}
