// The accurate path's functions (a provisional version that links; replaced by the wide kernels).
#include "engine/crmath/multi.h"

#include <cmath>

double mp_sin(double x) { return std::sin(x); }
double mp_cos(double x) { return std::cos(x); }
double mp_tan(double x) { return std::tan(x); }
double mp_asin(double x) { return std::asin(x); }
double mp_acos(double x) { return std::acos(x); }
double mp_atan(double x) { return std::atan(x); }
double mp_sinh(double x) { return std::sinh(x); }
double mp_cosh(double x) { return std::cosh(x); }
double mp_tanh(double x) { return std::tanh(x); }
double mp_asinh(double x) { return std::asinh(x); }
double mp_acosh(double x) { return std::acosh(x); }
double mp_atanh(double x) { return std::atanh(x); }
double mp_cbrt(double x) { return std::cbrt(x); }
double mp_log10(double x) { return std::log10(x); }
double mp_log(double x) { return std::log(x); }
double mp_exp(double x) { return std::exp(x); }
double mp_pow(double x, double y) { return std::pow(x, y); }
