// exp, log, log10 and cbrt: MPFR rows, special values, exact results and the kernels' bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "engine/crmath/constants.h"
#include "engine/crmath/crmath.h"
#include "engine/crmath/exp_log.h"
#include "engine/crmath/multi.h"
#include "engine/crmath/multi_number.h"
#include "engine/crmath/wide.h"
#include "tests/engine/crmath_support.h"

// ---- exp, log, log10 and cbrt ----

namespace {

struct UnaryRow {
  double x, value;
};

// Values from MPFR (53 bits, to nearest, subnormalized): both sides of overflow, of the
// least subnormal and of zero, of the smallest normal; where e^x rounds as 1 + x; one
// table step (ln2/256 and ln2/128) either way; e, e^e and e^511.
const UnaryRow exp_rows[] = {
    {0x1.62e42fefa39efp+9, 0x1.fffffffffff2ap+1023},
    {0x1.62e42fefa39fp+9, inf},
    {-0x1.74910d52d3051p+9, 0x0.0000000000001p-1022},
    {-0x1.74910d52d3052p+9, 0x0p+0},
    {-0x1.6232bdd7abcd2p+9, 0x1.000000000007cp-1022},
    {-0x1.6232bdd7abcd3p+9, 0x0.ffffffffffe7cp-1022},
    {-0x1.7434e6420f4f3p+9, 0x0.0000000000001p-1022},
    {0x1p-54, 0x1p+0},
    {-0x1p-54, 0x1p+0},
    {0x1p-53, 0x1.0000000000001p+0},
    {-0x1p-53, 0x1.fffffffffffffp-1},
    {0x1.62e42fefa39efp-9, 0x1.00b1afa5abcbfp+0},
    {-0x1.62e42fefa39efp-9, 0x1.fe9d96b2a23d9p-1},
    {0x1.62e42fefa39efp-8, 0x1.0163da9fb3335p+0},
    {0x1p+0, 0x1.5bf0a8b145769p+1},
    {-0x1p+0, 0x1.78b56362cef38p-2},
    {0x1.5bf0a8b145769p+1, 0x1.e4efb75e4527ap+3},
    {0x1.fffffffffffffp+8, 0x1.9476504ba839ap+738},
};

// Next to 1 (tiny results, relative accuracy), both ends of the two table pieces around
// 1 (1 - 2^-8, 1 + 2^-7) and of the reduction's range (0x1.6ap-1, 0x1.6ap+0), the least
// subnormal, the largest subnormal, the smallest normal, the largest double, e, 10.
const UnaryRow log_rows[] = {
    {0x1.0000000000001p+0, 0x1.fffffffffffffp-53},
    {0x1.fffffffffffffp-1, -0x1p-53},
    {0x1.0000000000002p+0, 0x1.ffffffffffffep-52},
    {0x1.ffffffffffffcp-1, -0x1.0000000000001p-51},
    {0x1.ffp-1, -0x1.0040155d5889ep-9},
    {0x1.fefffffffffffp-1, -0x1.0040155d5899ep-9},
    {0x1.02p+0, 0x1.fe02a6b106789p-8},
    {0x1.01fffffffffffp+0, 0x1.fe02a6b10668bp-8},
    {0x1.6ap-1, -0x1.630030b3aac49p-2},
    {0x1.69fffffffffffp-1, -0x1.630030b3aac4cp-2},
    {0x1.6ap+0, 0x1.62c82f2b9c795p-2},
    {0x1.69fffffffffffp+0, 0x1.62c82f2b9c792p-2},
    {0x0.0000000000001p-1022, -0x1.74385446d71c3p+9},
    {0x0.fffffffffffffp-1022, -0x1.6232bdd7abcd2p+9},
    {0x1p-1022, -0x1.6232bdd7abcd2p+9},
    {0x1.fffffffffffffp+1023, 0x1.62e42fefa39efp+9},
    {0x1.5bf0a8b145769p+1, 0x1p+0},
    {0x1.000000001p+0, 0x1.fffffffffp-37},
    {0x1.4p+3, 0x1.26bb1bbb55516p+1},
};

// Not exact: 1e23 and 0.1 (neither is a power of ten), next to 1 and next to 1e22;
// the least subnormal and the largest double.
const UnaryRow log10_rows[] = {
    {0x1.52d02c7e14af6p+76, 0x1.7p+4},
    {0x1.999999999999ap-4, -0x1p+0},
    {0x1.0624dd2f1a9fcp-10, -0x1.8p+1},
    {0x0.0000000000001p-1022, -0x1.434e6420f4374p+8},
    {0x1.fffffffffffffp+1023, 0x1.34413509f79ffp+8},
    {0x1p+1, 0x1.34413509f79ffp-2},
    {0x1.0000000000001p+0, 0x1.bcb7b1526e50dp-54},
    {0x1.fffffffffffffp-1, -0x1.bcb7b1526e50fp-55},
    {0x1.0f0cf064dd592p+73, 0x1.6p+4},
    {0x1.0f0cf064dd593p+73, 0x1.6p+4},
};

// Exact cubes (27, -8, the least subnormal 2^-1074 = (2^-358)^3, 131071^3), subnormal
// arguments, both neighbours of 1, the largest double.
const UnaryRow cbrt_rows[] = {
    {0x1.bp+4, 0x1.8p+1},
    {-0x1p+3, -0x1p+1},
    {0x0.0000000000001p-1022, 0x1p-358},
    {0x0.0000000000002p-1022, 0x1.428a2f98d728bp-358},
    {0x0.0000000000018p-1022, 0x1.7137449123ef6p-357},
    {0x1.fffffffffffffp+1023, 0x1.428a2f98d728bp+341},
    {0x1.fffe0003aeffcp+50, 0x1.ffff555656c7cp+16},
    {-0x1.bp-30, -0x1.30c7efbee12adp-10},
    {0x1.fffffffffffffp-1, 0x1p+0},
    {0x1.0000000000001p+0, 0x1p+0},
    {0x1.8p+1, 0x1.7137449123ef6p+0},
    {0x1p-1022, 0x1.428a2f98d728bp-341},
    {0x0.fffffffffffffp-1022, 0x1.428a2f98d728ap-341},
    {0x1.7e43c8800759cp+996, 0x1.249ad2594c37dp+332},
};

TEST(ExpLog, Rows) {
  for (const UnaryRow& row : exp_rows) EXPECT_PRED2(same_bits, cr_exp(row.x), row.value) << std::hexfloat << row.x;
  for (const UnaryRow& row : log_rows) EXPECT_PRED2(same_bits, cr_log(row.x), row.value) << std::hexfloat << row.x;
  for (const UnaryRow& row : log10_rows) EXPECT_PRED2(same_bits, cr_log10(row.x), row.value) << std::hexfloat << row.x;
  for (const UnaryRow& row : cbrt_rows) {
    EXPECT_PRED2(same_bits, cr_cbrt(row.x), row.value) << std::hexfloat << row.x;
    EXPECT_PRED2(same_bits, cr_cbrt(-row.x), -row.value) << std::hexfloat << -row.x;
  }
}

// C99 Annex F: exp(-inf) = +0, log and log10 of +-0 are -inf, of a negative number NaN.
TEST(ExpLog, SpecialValues) {
  const struct {
    double x, exp, log, log10, cbrt;
  } rows[] = {
      {0.0, 1.0, -inf, -inf, 0.0},
      {-0.0, 1.0, -inf, -inf, -0.0},
      {inf, inf, inf, inf, inf},
      {-inf, 0.0, nan_value, nan_value, -inf},
      {nan_value, nan_value, nan_value, nan_value, nan_value},
      {-1.0, 0x1.78b56362cef38p-2, nan_value, nan_value, -1.0},
      {-0x0.0000000000001p-1022, 1.0, nan_value, nan_value, -0x1p-358},
      {1.0, 0x1.5bf0a8b145769p+1, 0.0, 0.0, 1.0},
  };
  for (const auto& row : rows) {
    EXPECT_PRED2(same_bits, cr_exp(row.x), row.exp) << row.x;
    EXPECT_PRED2(same_bits, cr_log(row.x), row.log) << row.x;
    EXPECT_PRED2(same_bits, cr_log10(row.x), row.log10) << row.x;
    EXPECT_PRED2(same_bits, cr_cbrt(row.x), row.cbrt) << row.x;
  }
}

// Every power of ten that is a double has its exponent as lg, exactly.
TEST(ExpLog, PowersOfTenHaveExactLogarithms) {
  double power = 1;
  for (int k = 0; k <= 22; ++k, power *= 10) EXPECT_EQ(cr_log10(power), k) << power;
}

// Cubes of odd numbers below 2^17 times powers of eight are doubles; their cube roots
// come back exactly, down to the subnormal range and up to the top of the doubles.
TEST(ExpLog, CubesOfDoublesGiveTheirRoots) {
  std::mt19937_64 random(15);
  for (int i = 0; i < 20000; ++i) {
    const double m = static_cast<double>((random() % (1 << 16)) * 2 + 1);
    const int e = static_cast<int>(random() % 700) - 400;  // (m 2^e)^3 from 2^-1200 up
    const double root = std::ldexp(m, e);
    const double cube = std::ldexp(m * m * m, 3 * e);  // m^3 < 2^51: exact unless tiny
    if (cube == 0 || std::ldexp(cube, -3 * e) != m * m * m) continue;
    ASSERT_PRED2(same_bits, cr_cbrt(cube), root) << std::hexfloat << cube;
    ASSERT_PRED2(same_bits, cr_cbrt(-cube), -root) << std::hexfloat << -cube;
  }
}

// The kernels shared with pow and the hyperbolic functions, through identities whose
// other side is exact or far more accurate: log 2^n = n ln2, e^(n ln2) = 2^n,
// log1p(2^-j) = log(1 + 2^-j) (1 + 2^-j is a double), e^x - 1 from e^x for |x| >= 1.
double relative_gap(wide::Dd a, wide::Dd b) {
  const wide::Dd d = wide::dd_add(a, wide::dd_neg(b));
  return std::fabs((d.hi + d.lo) / (b.hi + b.lo));
}

// Kernel values from MPFR as hi + lo (to 2^-106), each with the bound the kernel must keep:
// log1p's series below 2^-15 (its own 2^-100, with a margin), log near 1 where the
// reduction's rest r2 leaves its two_sum with a large low part (2^-85).
struct KernelRow {
  bool log1p;  // log1p_kernel({x, 0}), else log_kernel(x)
  double x, hi, lo, bound;
};

const KernelRow kernel_rows[] = {
    {true, 0x1.fffffffffffffp-16, 0x1.fffe0002aaa6ap-16, -0x1.53b3be7661b42p-70, 0x1p-98},
    {true, -0x1.fffffffffffffp-16, -0x1.0001000155575p-15, 0x1.53c3b9210c9ecp-70, 0x1p-98},
    {false, 0x1.fdfa7149ef152p-1, -0x1.034a7ea74cb6fp-8, -0x1.920024992f74fp-62, 0x1p-85},
    {false, 0x1.fde2cae4a39e8p-1, -0x1.0f29f7f7a66fep-8, 0x1.72e81785284fap-62, 0x1p-85},
};

TEST(ExpLog, KernelsKeepTheirBounds) {
  for (const KernelRow& row : kernel_rows) {
    const wide::Dd value = row.log1p ? log1p_kernel({row.x, 0.0}) : log_kernel(row.x);
    EXPECT_LE(relative_gap(value, {row.hi, row.lo}), row.bound) << std::hexfloat << row.x;
  }
  const wide::Dd ln2 = {crmath_constants::ln2_hi, crmath_constants::ln2_lo};
  for (int n = -1074; n <= 1023; n += 7) {
    if (n == 0) continue;
    const wide::Dd n_ln2 = wide::dd_mul_d(ln2, n);  // 2^-102 of itself
    EXPECT_LE(relative_gap(log_kernel(std::ldexp(1.0, n)), n_ln2), 0x1p-85) << n;
    // log_near keeps 2^-75 absolute for any exponent, not only near 1 (log_far's bound is
    // 2^-67), against log_kernel's 2^-85 of |log x|.
    const double x = std::ldexp(1.1, n);
    const wide::Dd fast_gap =
        wide::dd_add(exp_log_fast::log_near(exp_log_fast::log_reduce(x), true), wide::dd_neg(log_kernel(x)));
    EXPECT_LE(std::fabs(fast_gap.hi + fast_gap.lo), 0x1p-75 + std::fabs(std::log(x)) * 0x1p-85) << n;
    int k = 0;
    const wide::Dd r = exp_kernel(n_ln2, k);
    EXPECT_LE(std::fabs(std::ldexp(r.hi, k - n) - 1 + std::ldexp(r.lo, k - n)), 0x1p-91) << n;
  }
  for (int j = 1; j <= 52; ++j) {
    const double x = std::ldexp(1.0, -j);
    EXPECT_LE(relative_gap(log1p_kernel({x, 0.0}), log_kernel(1 + x)), 0x1p-83) << j;
    EXPECT_LE(relative_gap(log1p_kernel({-x, 0.0}), log_kernel(1 - x)), 0x1p-83) << j;
  }
  for (double x = -40; x <= 40; x += 0.375) {
    if (std::fabs(x) < 1) continue;
    int k = 0;
    const wide::Dd e = exp_kernel({x, 0.0}, k);
    const wide::Dd e_minus_1 = wide::dd_add_d({std::ldexp(e.hi, k), std::ldexp(e.lo, k)}, -1.0);
    EXPECT_LE(relative_gap(expm1_kernel({x, 0.0}), e_minus_1), 0x1p-84) << x;
  }
}

// The first steps against the kernels, whose errors (2^-85 and 2^-91) lie far inside the
// first steps' bounds: log_first within half its bound (the other half is left for the
// rounding in Ziv's test), exp_fast_parts within 2^-66. Arguments from every binade,
// subnormals included, and near 1, where log_first switches to its tighter series.
TEST(ExpLog, FirstStepsKeepTheirBounds) {
  std::mt19937_64 random(66);
  for (int i = 0; i < 100000; ++i) {
    const double x = i % 2 != 0 ? wide::double_of(random() % 0x7FF0000000000000 + 1)
                                : 0.7 + 0.72 * static_cast<double>(random() >> 11) * 0x1p-53;
    double bound = 0;
    const wide::Dd d = wide::dd_add(exp_log_fast::log_first(x, false, bound), wide::dd_neg(log_kernel(x)));
    ASSERT_LT(std::fabs(d.hi + d.lo), bound / 2) << std::hexfloat << x;
    const double t = -745 + 1454 * static_cast<double>(random() >> 11) * 0x1p-53;
    int k = 0;
    int k_kernel = 0;
    double lo = 0;
    const double hi = exp_log_fast::exp_fast_parts({t, 0.0}, k, lo);
    const wide::Dd e = exp_kernel({t, 0.0}, k_kernel);
    ASSERT_LE(relative_gap({std::ldexp(hi, k - k_kernel), std::ldexp(lo, k - k_kernel)}, e), 0x1p-66)
        << std::hexfloat << t;
  }
}

}  // namespace
