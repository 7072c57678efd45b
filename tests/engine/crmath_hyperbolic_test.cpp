// sinh, cosh, tanh and their inverses: MPFR rows at every threshold, symmetry, and agreement with the accurate path.
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

namespace {

// sinh, cosh, tanh, asinh, acosh and atanh: the special values, both sides of each
// threshold below which the result rounds to x or to 1, where tanh starts to round to
// ±1, of overflow, and of each switch between evaluation paths (1/32, 1/8 and 1/4 for sinh
// and tanh, 1/64, 1/16 and 1/4 for asinh and atanh, 1 + 2^-6, 1.0625 and 1.5 for acosh, 40 for sinh,
// 2^28 for asinh and acosh, 2^500 for their correction term), inside acosh's step below
// 1 + 2^-6, and where e^a's table index wraps (ln2/256 for cosh, ln2 for sinh and cosh, ln2/2 for
// tanh, which takes e^2a). Expected values: MPFR, 53 bits, to nearest.
struct HyperbolicRow {
  double (*f)(double);
  double x, value;
};

const HyperbolicRow hyperbolic_rows[] = {
    {cr_sinh, 0.0, 0.0},
    {cr_sinh, -0.0, -0.0},
    {cr_sinh, inf, inf},
    {cr_sinh, -inf, -inf},
    {cr_sinh, nan_value, nan_value},
    {cr_sinh, -0x0.0000000000001p-1022, -0x0.0000000000001p-1022},
    {cr_sinh, 0x1.fffffffffffffp-27, 0x1.fffffffffffffp-27},
    {cr_sinh, 0x1p-26, 0x1p-26},
    {cr_sinh, 0x1p-1, 0x1.0acd00fe63b97p-1},
    {cr_sinh, 0x1.62e42fefa39efp-5, 0x1.63009ba740a2ap-5},
    {cr_sinh, 0x1.62e42fefa39efp-1, 0x1.8p-1},
    {cr_sinh, -0x1.62e42fefa39fp-1, -0x1.8000000000001p-1},
    {cr_sinh, -0x1p+1, -0x1.d03cf63b6e19fp+1},
    {cr_sinh, 0x1.8p+1, 0x1.40926e70949aep+3},
    {cr_sinh, 0x1p-5, 0x1.000aaacccd00dp-5},
    {cr_sinh, -0x1.fffffffffffffp-6, -0x1.000aaacccd00dp-5},
    {cr_sinh, 0x1p-3, 0x1.00aaccd00d2f1p-3},
    {cr_sinh, 0x1.fffffffffffffp-4, 0x1.00aaccd00d2fp-3},
    {cr_sinh, -0x1p-2, -0x1.02accd9d08102p-2},
    {cr_sinh, 0x1.fffffffffffffp-3, 0x1.02accd9d08101p-2},
    {cr_sinh, 0x1.4p+5, 0x1.a220d397972ebp+56},
    {cr_sinh, 0x1.4000000000001p+5, 0x1.a220d3979731fp+56},
    {cr_sinh, 0x1.633ce8fb9f87dp+9, 0x1.ffffffffffd3bp+1023},
    {cr_sinh, -0x1.633ce8fb9f87dp+9, -0x1.ffffffffffd3bp+1023},
    {cr_sinh, 0x1.633ce8fb9f87ep+9, inf},
    {cr_sinh, -0x1.633ce8fb9f87ep+9, -inf},
    {cr_sinh, 0x1.fffffffffffffp+1023, inf},
    {cr_cosh, 0.0, 1.0},
    {cr_cosh, -0.0, 1.0},
    {cr_cosh, -inf, inf},
    {cr_cosh, nan_value, nan_value},
    {cr_cosh, 0x0.0000000000001p-1022, 1.0},
    {cr_cosh, 0x1.fffffffffffffp-27, 1.0},
    {cr_cosh, -0x1p-26, 0x1.0000000000001p+0},  // 2^-108.6 past a half: the accurate path
    {cr_cosh, 0x1p-1, 0x1.20ac1862ae8dp+0},
    {cr_cosh, 0x1.62e42fefa39efp-9, 0x1.00003d7f7e756p+0},
    {cr_cosh, 0x1.62e42fefa39eep-9, 0x1.00003d7f7e756p+0},
    {cr_cosh, 0x1.62e42fefa39efp-1, 0x1.4p+0},
    {cr_cosh, -0x1.8p+1, 0x1.422a497d6185ep+3},
    {cr_cosh, 0x1.4p+4, 0x1.ceb088b68e804p+27},
    {cr_cosh, 0x1.4p+5, 0x1.a220d397972ebp+56},
    {cr_cosh, -0x1.633ce8fb9f87dp+9, 0x1.ffffffffffd3bp+1023},
    {cr_cosh, 0x1.633ce8fb9f87ep+9, inf},
    {cr_cosh, -0x1.fffffffffffffp+1023, inf},
    // cosh's table of i/64: the largest |r| at its first piece, at a tie between two pieces,
    // at its last entry (i = 1600, 25), and both sides of 25, where e^x/2 takes over.
    {cr_cosh, 0x1p-7, 0x1.00020000aaaacp+0},
    {cr_cosh, 0x1.fffffffffffffp-8, 0x1.00020000aaaacp+0},
    {cr_cosh, -0x1.8p-7, 0x1.000480036001p+0},
    {cr_cosh, 0x1.ffcp+3, 0x1.0d127c8505f5bp+22},
    {cr_cosh, -0x1.8fcp+4, 0x1.08149b03c96e8p+35},
    {cr_cosh, 0x1.8ff8p+4, 0x1.0bb73c06171c7p+35},
    {cr_cosh, 0x1.8ffffffffffffp+4, 0x1.0c3d3920962b8p+35},
    {cr_cosh, 0x1.9p+4, 0x1.0c3d3920962c9p+35},
    {cr_cosh, -0x1.9000000000001p+4, 0x1.0c3d3920962d9p+35},
    {cr_tanh, 0.0, 0.0},
    {cr_tanh, -0.0, -0.0},
    {cr_tanh, inf, 1.0},
    {cr_tanh, -inf, -1.0},
    {cr_tanh, nan_value, nan_value},
    {cr_tanh, 0x0.0000000000001p-1022, 0x0.0000000000001p-1022},
    {cr_tanh, 0x1.fffffffffffffp-28, 0x1.fffffffffffffp-28},
    {cr_tanh, 0x1p-27, 0x1p-27},
    {cr_tanh, 0x1.fffffffffffffp-27, 0x1.ffffffffffffep-27},
    {cr_tanh, -0x1p-26, -0x1.fffffffffffffp-27},
    {cr_tanh, 0x1p-1, 0x1.d9353d7568af3p-2},
    {cr_tanh, 0x1.62e42fefa39efp-2, 0x1.5555555555555p-2},
    {cr_tanh, 0x1.62e42fefa39fp-2, 0x1.5555555555556p-2},
    {cr_tanh, -0x1.62e42fefa39eep-2, -0x1.5555555555554p-2},
    {cr_tanh, -0x1p+1, -0x1.ed9505e1bc3d4p-1},
    {cr_tanh, 0x1.8p+1, 0x1.fd77d111a0bp-1},
    {cr_tanh, -0x1p-5, -0x1.ffd559992b1dep-6},
    {cr_tanh, 0x1.fffffffffffffp-6, 0x1.ffd559992b1ddp-6},
    {cr_tanh, 0x1p-3, 0x1.fd5992bc4b835p-4},
    {cr_tanh, 0x1.fffffffffffffp-4, 0x1.fd5992bc4b834p-4},
    {cr_tanh, 0x1p-2, 0x1.f597ea69a1c86p-3},
    {cr_tanh, -0x1.fffffffffffffp-3, -0x1.f597ea69a1c85p-3},
    {cr_tanh, 0x1.30fc1931f09c9p+4, 0x1.fffffffffffffp-1},
    {cr_tanh, -0x1.30fc1931f09cap+4, -1.0},
    {cr_tanh, 0x1.3ffffffffffffp+4, 1.0},
    {cr_tanh, 0x1.4p+4, 1.0},
    {cr_asinh, 0.0, 0.0},
    {cr_asinh, -0.0, -0.0},
    {cr_asinh, inf, inf},
    {cr_asinh, -inf, -inf},
    {cr_asinh, nan_value, nan_value},
    {cr_asinh, 0x0.0000000000001p-1022, 0x0.0000000000001p-1022},
    {cr_asinh, -0x1.fffffffffffffp-27, -0x1.fffffffffffffp-27},
    {cr_asinh, 0x1p-26, 0x1p-26},
    {cr_asinh, 0x1p-1, 0x1.ecc2caec5160ap-2},
    {cr_asinh, -0x1p+1, -0x1.719218313d087p+0},
    {cr_asinh, 0x1.8p+1, 0x1.d185b507edc0ep+0},
    {cr_asinh, 0x1p-6, 0x1.fffaaad10fa37p-7},
    {cr_asinh, -0x1.fffffffffffffp-7, -0x1.fffaaad10fa36p-7},
    {cr_asinh, 0x1p-4, 0x1.ffaad0fa45262p-5},
    {cr_asinh, 0x1.fffffffffffffp-5, 0x1.ffaad0fa45261p-5},
    {cr_asinh, -0x1p-2, -0x1.facfb2399e637p-3},
    {cr_asinh, 0x1.fffffffffffffp-3, 0x1.facfb2399e636p-3},
    {cr_asinh, 0x1.fffffffffffffp+27, 0x1.419ecb712c481p+4},
    {cr_asinh, 0x1p+28, 0x1.419ecb712c481p+4},
    {cr_asinh, 0x1.fffffffffffffp+499, 0x1.5b4448e7fd9b1p+8},
    {cr_asinh, 0x1p+500, 0x1.5b4448e7fd9b1p+8},
    {cr_asinh, -0x1.fffffffffffffp+1023, -0x1.633ce8fb9f87ep+9},
    {cr_acosh, 0x1p+0, 0.0},
    {cr_acosh, 0x1.0000000000001p+0, 0x1.6a09e667f3bccp-26},
    {cr_acosh, 0x1.0000004p+0, 0x1.6a09e66068dd5p-13},
    {cr_acosh, 0x1.028f5c28f5c29p+0, 0x1.2163dee5f066dp-3},
    {cr_acosh, 0x1.fffffffffffffp-1, nan_value},
    {cr_acosh, 0.0, nan_value},
    {cr_acosh, -0.0, nan_value},
    {cr_acosh, -0x1p+1, nan_value},
    {cr_acosh, -inf, nan_value},
    {cr_acosh, inf, inf},
    {cr_acosh, nan_value, nan_value},
    {cr_acosh, 0x1p+1, 0x1.5124271980435p+0},
    {cr_acosh, 0x1.8p+1, 0x1.c34366179d427p+0},
    {cr_acosh, 0x1.04p+0, 0x1.6991a48c6ffb3p-3},
    {cr_acosh, 0x1.03fffffffffffp+0, 0x1.6991a48c6ff86p-3},
    {cr_acosh, 0x1.1p+0, 0x1.682dd8ac1096dp-2},
    {cr_acosh, 0x1.0ffffffffffffp+0, 0x1.682dd8ac10961p-2},
    {cr_acosh, 0x1.8p+0, 0x1.ecc2caec5160ap-1},
    {cr_acosh, 0x1.7ffffffffffffp+0, 0x1.ecc2caec51608p-1},
    {cr_acosh, 0x1.4p+5, 0x1.18709054093bp+2},
    {cr_acosh, 0x1.fffffffffffffp+27, 0x1.419ecb712c481p+4},
    {cr_acosh, 0x1p+28, 0x1.419ecb712c481p+4},
    {cr_acosh, 0x1p+500, 0x1.5b4448e7fd9b1p+8},
    {cr_acosh, 0x1.fffffffffffffp+1023, 0x1.633ce8fb9f87ep+9},
    {cr_atanh, 0.0, 0.0},
    {cr_atanh, -0.0, -0.0},
    {cr_atanh, 0x1p+0, inf},
    {cr_atanh, -0x1p+0, -inf},
    {cr_atanh, 0x1.0000000000001p+0, nan_value},
    {cr_atanh, -0x1p+1, nan_value},
    {cr_atanh, inf, nan_value},
    {cr_atanh, nan_value, nan_value},
    {cr_atanh, -0x0.0000000000001p-1022, -0x0.0000000000001p-1022},
    {cr_atanh, 0x1.fffffffffffffp-28, 0x1.fffffffffffffp-28},
    {cr_atanh, 0x1p-27, 0x1p-27},
    {cr_atanh, 0x1.fffffffffffffp-27, 0x1p-26},
    {cr_atanh, 0x1p-1, 0x1.193ea7aad030bp-1},
    {cr_atanh, -0x1p-6, -0x1.000555888ad1dp-6},
    {cr_atanh, 0x1.fffffffffffffp-7, 0x1.000555888ad1cp-6},
    {cr_atanh, 0x1p-4, 0x1.005588ad375adp-4},
    {cr_atanh, -0x1.fffffffffffffp-5, -0x1.005588ad375acp-4},
    {cr_atanh, 0x1p-2, 0x1.058aefa811452p-2},
    {cr_atanh, 0x1.fffffffffffffp-3, 0x1.058aefa811451p-2},
    {cr_atanh, 0x1.fffffffffffffp-1, 0x1.2b708872320e2p+4},
    {cr_atanh, -0x1.fffffffffffffp-1, -0x1.2b708872320e2p+4},
};

TEST(Hyperbolic, Rows) {
  for (const HyperbolicRow& row : hyperbolic_rows) {
    EXPECT_PRED2(same_bits, row.f(row.x), row.value) << std::hexfloat << row.x;
  }
}

// sinh, tanh, asinh and atanh are odd and cosh is even, bit for bit, on arguments spread
// over every magnitude (the paths work on |x| and must put the sign back exactly).
TEST(Hyperbolic, Symmetry) {
  std::mt19937_64 random(15);
  for (int i = 0; i < 20000; ++i) {
    const double x = std::ldexp(static_cast<double>(random() >> 11), -53 - static_cast<int>(random() % 1100) + 80);
    for (auto f : {cr_sinh, cr_tanh, cr_asinh, cr_atanh}) ASSERT_PRED2(same_bits, f(-x), -f(x)) << std::hexfloat << x;
    ASSERT_PRED2(same_bits, cr_cosh(-x), cr_cosh(x)) << std::hexfloat << x;
  }
}

// The quick and careful evaluations and their rounding tests give the accurate path's
// result, on every runtime (this runs under Wine too): arguments log-uniform over each
// function's domain, plus those near its ends (1 for acosh and atanh, overflow for sinh).
TEST(Hyperbolic, AgreesWithAccuratePath) {
  std::mt19937_64 random(1515);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 3000; ++i) {
    const double x = std::exp2(-30.0 + 40.0 * unit(random)) * (i % 2 ? -1 : 1);
    const double near_one = std::exp2(-52.0 * unit(random));
    const double big = 710.0 + unit(random);
    ASSERT_PRED2(same_bits, cr_sinh(x), mp_sinh(x)) << std::hexfloat << x;
    ASSERT_PRED2(same_bits, cr_sinh(big), mp_sinh(big)) << std::hexfloat << big;
    ASSERT_PRED2(same_bits, cr_cosh(x), mp_cosh(x)) << std::hexfloat << x;
    ASSERT_PRED2(same_bits, cr_tanh(x), mp_tanh(x)) << std::hexfloat << x;
    ASSERT_PRED2(same_bits, cr_asinh(x * 0x1p20), mp_asinh(x * 0x1p20)) << std::hexfloat << x;
    ASSERT_PRED2(same_bits, cr_acosh(1 + near_one), mp_acosh(1 + near_one)) << std::hexfloat << near_one;
    ASSERT_PRED2(same_bits, cr_acosh(1 / near_one), mp_acosh(1 / near_one)) << std::hexfloat << near_one;
    ASSERT_PRED2(same_bits, cr_atanh(1 - near_one / 2), mp_atanh(1 - near_one / 2)) << std::hexfloat << near_one;
    ASSERT_PRED2(same_bits, cr_atanh(x / 1024), mp_atanh(x / 1024)) << std::hexfloat << x;
  }
}

}  // namespace

