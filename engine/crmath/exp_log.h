// Exponential and logarithm kernels in double-double, shared by exp, log, pow and the
// hyperbolic functions. Internal to engine/crmath.
//
// Each kernel returns an unevaluated sum whose error bound is stated beside it; the
// bounds cover every rounding inside the kernel and the tables' own errors, and were
// checked against MPFR on random arguments (see docs/accuracy.md). They never fail,
// allocate or call the C runtime. Arguments outside the stated ranges are the
// caller's fault: the results are then unspecified (but never trap).
#pragma once

#include "engine/crmath/wide.h"

// e^(x.hi + x.lo) = (r.hi + r.lo) * 2^k with r.hi in [1/2, 2], for |x.hi| < 746 and
// |x.lo| <= ulp(x.hi). Relative error |r - e^x / 2^k| <= 2^-91 * r.hi.
// 2^k may lie outside the range of doubles: scale with wide::scale (in steps).
wide::Dd exp_kernel(wide::Dd x, int& k);

// e^(x.hi + x.lo) - 1 for |x.hi| <= 40 and |x.lo| <= ulp(x.hi), with no cancellation for
// small x (tiny x gives x itself to within the bound). Relative error <= 2^-85 of the result.
wide::Dd expm1_kernel(wide::Dd x);

// log x for finite x > 0, subnormals included; exactly 0 for x = 1. Relative error
// <= 2^-85 of |log x| (so also near 1, where log x is tiny).
wide::Dd log_kernel(double x);

// log(1 + x.hi + x.lo) for x.hi > -1 (and 1 + x > 0), |x.lo| <= ulp(x.hi), x finite.
// Relative error <= 2^-84 of |log(1 + x)|, with no cancellation for small x.
wide::Dd log1p_kernel(wide::Dd x);

// The fast first steps of exp, log, log10 and pow: fewer exact products, looser bounds.
// e^(x.hi + x.lo) = (r.hi + r.lo) 2^k, r.hi in [1/2, 2], for |x.hi| < 746 and
// |x.lo| <= 2^-42 (x need not be normalised). Relative error <= 2^-66.
wide::Dd exp_fast(wide::Dd x, int& k);

// The same sum before its last normalisation: e^x = (hi + lo) 2^k with hi, the return
// value, in [0.99, 2.02] and |lo| <= 2^-16; relative error <= 2^-66.
double exp_fast_parts(wide::Dd x, int& k, double& lo);

// log x for finite x > 0, subnormals included. ABSOLUTE error <= 2^-75 (so a relative
// one only away from 1).
wide::Dd log_fast(double x);

// log_fast with a looser bound where |log x| is large, for callers whose budget allows it
// (pow's first step): log x for finite x > 0, subnormals included, and `bound` set to its
// ABSOLUTE error bound, 2^-67 when x lies outside [0x1.6ap-1, 0x1.6ap+0), else 2^-75.
wide::Dd log_fast_loose(double x, double& bound);
