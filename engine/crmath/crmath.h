// Correctly rounded elementary functions: the same bits on every runtime and compiler.
//
// Each function returns the double nearest its exact mathematical result (ties to
// even), for every double argument; results in the subnormal range are rounded once,
// to the subnormal grid, and overflow gives an infinity exactly where the exact result
// rounds past the largest double. Special values follow C99 Annex F: NaN in gives NaN,
// a domain error gives NaN, a pole gives an infinity. Nothing here allocates, recurses,
// reads the C runtime's math library or depends on the rounding mode, which must be
// the default (to nearest); each runs a fast path with a proven error bound and a
// rounding test, and an accurate path in wider precision only when the test cannot
// decide (Ziv's method).
#pragma once

double cr_sin(double x);
double cr_cos(double x);
double cr_tan(double x);
double cr_asin(double x);
double cr_acos(double x);
double cr_atan(double x);
double cr_sinh(double x);
double cr_cosh(double x);
double cr_tanh(double x);
double cr_asinh(double x);
double cr_acosh(double x);
double cr_atanh(double x);
double cr_cbrt(double x);
double cr_log10(double x);
double cr_log(double x);
double cr_exp(double x);

// x raised to y with the special cases of C99 pow (y = 0 gives 1 for every x, a
// negative x with a non-integral y gives NaN); exact and halfway results are exact.
double cr_pow(double x, double y);

// x - q*y with q the quotient x/y truncated toward zero, computed exactly (C99 fmod):
// NaN when y is zero or x is infinite or either is NaN, x when y is infinite.
double cr_fmod(double x, double y);
