// The accurate path: every function evaluated in wide fixed precision, for the rare
// arguments whose fast-path result is too close to a rounding boundary to decide.
//
// Each mp_ function returns the correctly rounded result for every double argument,
// special values included, with an error before the final rounding far below the
// distance of the hardest known case to a rounding boundary (see docs/accuracy.md).
// They are slow (microseconds) and allocate nothing.
#pragma once

double mp_sin(double x);
double mp_cos(double x);
double mp_tan(double x);
double mp_asin(double x);
double mp_acos(double x);
double mp_atan(double x);
double mp_sinh(double x);
double mp_cosh(double x);
double mp_tanh(double x);
double mp_asinh(double x);
double mp_acosh(double x);
double mp_atanh(double x);
double mp_cbrt(double x);
double mp_log10(double x);
double mp_log(double x);
double mp_exp(double x);
double mp_pow(double x, double y);
