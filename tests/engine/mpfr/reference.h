// MPFR as the reference for the correctly rounded functions: the binary64 result, rounded once.
//
// Each function's exact result rounded to nearest (ties to even) with binary64's
// 53 bits and exponent range; a result in the subnormal range is rounded once, to the
// subnormal grid, from MPFR's ternary value (mpfr_subnormalize). Native tools only.
#pragma once

#include <mpfr.h>

#include <cstdint>
#include <cstring>
#include <string_view>

namespace reference {

using Unary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
using Binary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

struct Function {
  const char* name;  // as in cr_NAME and mp_NAME
  Unary unary;       // null for pow
  Binary binary;     // pow only
};

// The functions of engine/crmath/crmath.h, in its order (pow last).
inline const Function functions[] = {
    {"sin", mpfr_sin, nullptr},     {"cos", mpfr_cos, nullptr},     {"tan", mpfr_tan, nullptr},
    {"asin", mpfr_asin, nullptr},   {"acos", mpfr_acos, nullptr},   {"atan", mpfr_atan, nullptr},
    {"sinh", mpfr_sinh, nullptr},   {"cosh", mpfr_cosh, nullptr},   {"tanh", mpfr_tanh, nullptr},
    {"asinh", mpfr_asinh, nullptr}, {"acosh", mpfr_acosh, nullptr}, {"atanh", mpfr_atanh, nullptr},
    {"cbrt", mpfr_cbrt, nullptr},   {"log10", mpfr_log10, nullptr}, {"log", mpfr_log, nullptr},
    {"exp", mpfr_exp, nullptr},     {"pow", nullptr, mpfr_pow},
};

// The entry named name; null when there is none.
inline const Function* find(std::string_view name) {
  for (const Function& f : functions)
    if (name == f.name) return &f;
  return nullptr;
}

// The exponent range of binary64 in MPFR's convention (significand in [1/2, 1)):
// the largest double is below 2^1024, the smallest subnormal is 2^-1074 = 0.1b * 2^-1073.
inline void use_binary64_range() {
  mpfr_set_emin(-1073);
  mpfr_set_emax(1024);
}

// f(x) or f(x, y) correctly rounded to binary64; call use_binary64_range() once first.
inline double correctly_rounded(const Function& f, double x, double y = 0.0) {
  mpfr_t a, b, r;
  mpfr_inits2(53, a, b, r, static_cast<mpfr_ptr>(nullptr));
  mpfr_set_d(a, x, MPFR_RNDN);  // exact: every double fits
  mpfr_set_d(b, y, MPFR_RNDN);
  int ternary = f.unary ? f.unary(r, a, MPFR_RNDN) : f.binary(r, a, b, MPFR_RNDN);
  ternary = mpfr_subnormalize(r, ternary, MPFR_RNDN);
  const double result = mpfr_get_d(r, MPFR_RNDN);  // exact now
  mpfr_clears(a, b, r, static_cast<mpfr_ptr>(nullptr));
  return result;
}

// Equal bits, except that every NaN equals every NaN (the sign of zero counts).
inline bool same_result(double a, double b) {
  std::uint64_t ua, ub;
  std::memcpy(&ua, &a, sizeof ua);
  std::memcpy(&ub, &b, sizeof ub);
  const std::uint64_t nan_floor = 0x7FF0000000000000;
  if ((ua & ~(1ULL << 63)) > nan_floor && (ub & ~(1ULL << 63)) > nan_floor) return true;
  return ua == ub;
}

}  // namespace reference
