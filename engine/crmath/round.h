// Ziv's rounding test: the final rounding of a double-double with an error bound, on
// the normal or the subnormal grid, once.
#pragma once

#include "engine/crmath/wide.h"

namespace crmath_round {

// Ziv's test on an absolute bound: when every value within `error` of r.hi + r.lo rounds
// to the same double (a normal result, no scaling), stores it in out and returns true.
// The bound must allow for the rounding of r.lo -+ error itself.
inline bool round_absolute(wide::Dd r, double error, double& out) {
  const double a = r.hi + (r.lo - error);
  const double b = r.hi + (r.lo + error);
  out = a;
  return a == b;
}

// When every value within eps |r.hi| of r.hi + r.lo, times 2^k, rounds to the same double
// (nearest, ties to even; on the subnormal grid for tiny results, past the largest
// double to infinity), stores it in out and returns true; else returns false. eps must
// include a margin of 2^-104 for the rounding of r.lo -+ eps |r.hi| (pass the proven
// bound doubled, or bumped past it). r.hi in [2^-900, 2^900] or r = 0; |k| < 2100 and
// the result at least 2^-1200 in magnitude when it is subnormal.
inline bool round_scaled(wide::Dd r, double eps, int k, double& out) {
  // The common case first: r.hi in [2^-2, 2^2] and a result far inside the normal range.
  if (k > -1000 && k < 1000 && wide::magnitude(r.hi) >= 0.25 && wide::magnitude(r.hi) <= 4) {
    const double e = eps * wide::magnitude(r.hi);
    const double a = r.hi + (r.lo - e);
    const double b = r.hi + (r.lo + e);
    out = a * wide::power_of_two(k);  // exact
    return a == b;
  }
  if (r.hi == 0) {
    out = r.hi;
    return true;
  }
  if (wide::exponent_of(r.hi) + k >= -1022) {
    const double e = eps * wide::magnitude(r.hi);
    const double a = r.hi + (r.lo - e);
    const double b = r.hi + (r.lo + e);
    if (a != b) return false;
    out = wide::scale(a, k);  // exact, or the right overflow to infinity
    return true;
  }
  // Subnormal: in units of 2^-1074, round hi + lo to an integer. Both scalings are exact
  // (hi stays normal; lo may lose bits below 2^-1022 units, far inside e).
  const double hi = wide::scale(r.hi, k + 1074);
  const double lo = wide::scale(r.lo, k + 1074);
  const double n = (hi + 0x1.8p52) - 0x1.8p52;  // nearest integer: |hi| < 2^52
  const double rest = hi - n;                     // exact, |rest| <= 1/2
  const double e = eps * wide::magnitude(hi);
  const double low = rest + (lo - e);
  const double high = rest + (lo + e);
  // Rounding is monotonic, so a strict comparison of the rounded ends holds exactly;
  // an exact half fails every test and goes to the accurate path.
  double m = 0;
  if (low > -0.5 && high < 0.5) {
    m = n;
  } else if (low > 0.5 && high < 1.5) {
    m = n + 1;
  } else if (low > -1.5 && high < -0.5) {
    m = n - 1;
  } else {
    return false;
  }
  out = wide::with_sign_of(wide::scale(m, -1074), r.hi);  // exact: a multiple of 2^-1074
  return true;
}

}  // namespace crmath_round
