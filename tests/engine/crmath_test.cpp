// The correctly rounded functions: table values, special cases, the constants, and agreement with glibc.
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
#include "engine/crmath/multi_number.h"
#include "engine/crmath/wide.h"
#include "engine/crmath/asin_table.h"
#include "engine/crmath/atan_table.h"
#include "engine/crmath/trig_tables.h"
#include "engine/crmath/multi.h"
#include "engine/crmath/crmath.h"
#include "tests/engine/crmath_support.h"

namespace {

struct TrigRow {
  double x, sin, cos, tan;
};

// Correctly rounded values (glibc's), which the own functions must give on every
// runtime: multiples of pi where the old 66-bit reduction failed, huge arguments,
// the degree conversions of 30, 45, 60, 90, 180, 270 and 360.
const TrigRow trig_rows[] = {
    {0x1p-1, 0x1.eaee8744b05fp-2, 0x1.c1528065b7d5p-1, 0x1.17b4f5bf3474ap-1},
    {0x1p+0, 0x1.aed548f090ceep-1, 0x1.14a280fb5068cp-1, 0x1.8eb245cbee3a6p+0},
    {0x1p+1, 0x1.d18f6ead1b446p-1, -0x1.aa22657537205p-2, -0x1.17af62e0950f8p+1},
    {0x1.8p+1, 0x1.210386db6d55bp-3, -0x1.fae04be85e5d2p-1, -0x1.23ef71254b86fp-3},
    {-0x1.8p+1, -0x1.210386db6d55bp-3, -0x1.fae04be85e5d2p-1, 0x1.23ef71254b86fp-3},
    {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53, -0x1p+0, -0x1.1a62633145c07p-53},
    {0x1.921fb54442d18p+0, 0x1p+0, 0x1.1a62633145c07p-54, 0x1.d02967c31cdb5p+53},
    {0x1.0c152382d7365p-1, 0x1.fffffffffffffp-2, 0x1.bb67ae8584cabp-1, 0x1.279a74590331cp-1},
    {0x1.4f8b588e368f1p-17, 0x1.4f8b588e1e8a2p-17, 0x1.ffffffff920c8p-1, 0x1.4f8b588e6698ep-17},
    {0x1.12e0be826d695p-30, 0x1.12e0be826d695p-30, 0x1p+0, 0x1.12e0be826d695p-30},
    {0x1.4p+3, -0x1.1689ef5f34f52p-1, -0x1.ad9ac890c6b1fp-1, 0x1.4bf5f34be3782p-1},
    {0x1.9p+6, -0x1.03425b78c4db8p-1, 0x1.b981dbf665fdfp-1, -0x1.2ca74d62b5d38p-1},
    {-0x1.9p+6, 0x1.03425b78c4db8p-1, 0x1.b981dbf665fdfp-1, 0x1.2ca74d62b5d38p-1},
    {0x1.86ap+16, 0x1.24daa9c527e96p-5, -0x1.ffac3841b3da7p-1, -0x1.250a9d503313dp-5},
    {0x1.2a05f2p+33, -0x1.f334c7896a4e3p-2, 0x1.bf098901c931ap-1, -0x1.1de000f443f5p-1},
    {0x1.c6bf52634p+49, 0x1.b76f88136cebap-1, -0x1.06c154609d33fp-1, -0x1.ac23600a95be4p+0},
    {0x1.0f0cf064dd592p+73, -0x1.b453ab76bf397p-1, 0x1.0be2cef01c8f4p-1, -0x1.a0f79c1b6b257p+0},
    {-0x1.0f0cf064dd592p+73, 0x1.b453ab76bf397p-1, 0x1.0be2cef01c8f4p-1, 0x1.a0f79c1b6b257p+0},
    {0x1.7e43c8800759cp+996, -0x1.a2c16b010e385p-1, -0x1.2699022adc4c1p-1, 0x1.6be411f37ac77p+0},
    {0x1.fffffffffffffp+1023, 0x1.452fc98b34e97p-8, -0x1.fffe62ecfab75p-1, -0x1.4530cfe729484p-8},
    {0x1.63p+9, 0x1.f9bd0303f6fafp-15, 0x1.fffffff06393p-1, 0x1.f9bd03136287dp-15},
    {0x1p+60, -0x1.a94adab06665cp-1, -0x1.1d146047d6947p-1, 0x1.7de90e3bee983p+0},
    {0x1.921fb54442d18p+2, -0x1.1a62633145c07p-52, 0x1p+0, -0x1.1a62633145c07p-52},
    {0x1.2d97c7f3321d2p+2, -0x1p+0, -0x1.a79394c9e8a0ap-53, 0x1.3570efd768923p+52},
    {0x1.921fb54442d19p-1, 0x1.6a09e667f3bcdp-1, 0x1.6a09e667f3bccp-1, 0x1.0000000000001p+0},
    {0x1.0c152382d7365p+0, 0x1.bb67ae8584caap-1, 0x1.0000000000001p-1, 0x1.bb67ae8584ca8p+0},
    {0x1.10b52b8a59178p+14, -0x1.f838b8c81279ep-1, 0x1.63a1a7e0a6e0bp-3, -0x1.6af648057b465p+2},
    {0x1.921fb54442d19p+1, -0x1.72cece675d1fdp-52, -0x1p+0, 0x1.72cece675d1fdp-52},
    {0x0.0000000000001p-1022, 0x0.0000000000001p-1022, 0x1p+0, 0x0.0000000000001p-1022},
    {0x1p-1022, 0x1p-1022, 0x1p+0, 0x1p-1022},
    // Results a little past a power of two, where hi - lo would round the other way
    // (values from a quad-precision reference).
    {-0x1.b3a259b49db85p+2, -0x1p-1, 0x1.bb67ae8584caap-1, -0x1.279a74590331dp-1},
    {-0x1.ffffffffffffep-26, -0x1.ffffffffffffdp-26, 0x1.ffffffffffffcp-1, -0x1p-25},
    // Values from MPFR: 0.7944243089884551, where a faithful sine was 0.532 units off; both
    // sides of 2^-26 and 2^-27, where sin, cos and tan return x or 1 at once; both sides
    // of pi/2048, the first table step; both sides of 2^20, where the reduction changes;
    // near multiples of pi below 2^20, where the result is tiny.
    {0x1.96bec8748170cp-1, 0x1.6d4aac6e25b1p-1, 0x1.66c1935c55543p-1, 0x1.04a9e22ff3a58p+0},
    {0x1p-26, 0x1p-26, 0x1.fffffffffffffp-1, 0x1p-26},
    {0x1.fffffffffffffp-27, 0x1.fffffffffffffp-27, 0x1.fffffffffffffp-1, 0x1p-26},
    {0x1p-27, 0x1p-27, 0x1p+0, 0x1p-27},
    {0x1.fffffffffffffp-28, 0x1.fffffffffffffp-28, 0x1p+0, 0x1.fffffffffffffp-28},
    {0x1.921fb54442d18p-10, 0x1.921faaee6472dp-10, 0x1.ffffd88586ee6p-1, 0x1.921fc9f000fe1p-10},
    {0x1.921fb54442d19p-10, 0x1.921faaee6472ep-10, 0x1.ffffd88586ee6p-1, 0x1.921fc9f000fe2p-10},
    {0x1.fffffffffffffp+19, 0x1.526ccb2de52a8p-2, 0x1.e33ada9352c61p-1, 0x1.6692e575533f1p-2},
    {0x1p+20, 0x1.526ccb2fc8656p-2, 0x1.e33ada92fe2aep-1, 0x1.6692e5779206fp-2},
    {0x1.921fb54442d18p+19, -0x1.1a62633145c07p-35, 0x1p+0, -0x1.1a62633145c07p-35},
    {0x1.6a09e667f3bcdp-1, 0x1.4c9d367f3eacep-1, 0x1.853ec7a2cd121p-1, 0x1.b582642f24e6ap-1},
    {-0x1.2d97c7f3321d2p+3, -0x1.a79394c9e8a0ap-52, -0x1p+0, 0x1.a79394c9e8a0ap-52},
    // Values from MPFR: both sides of 2^-10, where the series alone stops; both sides of
    // 1.5, where the two-part reduction and tan's quadrant-0 step stop; inside both.
    {0x1p-10, 0x1.fffffaaaaaaefp-11, 0x1.fffff00000155p-1, 0x1.0000055555777p-10},
    {0x1.fffffffffffffp-11, 0x1.fffffaaaaaaeep-11, 0x1.fffff00000155p-1, 0x1.0000055555777p-10},
    {0x1.8p+0, 0x1.feb7a9b2c6d8bp-1, 0x1.21bd54fc5f9a7p-4, 0x1.c33ed50b88777p+3},
    {0x1.7ffffffffffffp+0, 0x1.feb7a9b2c6d8bp-1, 0x1.21bd54fc5f9b7p-4, 0x1.c33ed50b8875ep+3},
    {-0x1.7ffffffffffffp+0, -0x1.feb7a9b2c6d8bp-1, 0x1.21bd54fc5f9b7p-4, -0x1.c33ed50b8875ep+3},
    {0x1.5p-5, 0x1.4fe7e284f0cfdp-5, 0x1.ff91c3f4dd75ap-1, 0x1.5030445095d9p-5},
};

struct InverseRow {
  double x, asin, acos, atan;
};

// Values from MPFR: both sides of the thresholds where asin and atan return x (2^-26,
// 2^-27) and acos pi/2 (2^-55); of 2^-9 and 2^-8, the first steps of the atan table;
// of 1/sqrt(2), where asin and acos turn to the other ratio; and next to 1.
const InverseRow inverse_rows[] = {
    {0x1p-27, 0x1p-27, 0x1.921fb52442d18p+0, 0x1p-27},
    {0x1.fffffffffffffp-28, 0x1.fffffffffffffp-28, 0x1.921fb52442d18p+0, 0x1.fffffffffffffp-28},
    {0x1p-26, 0x1p-26, 0x1.921fb50442d18p+0, 0x1.fffffffffffffp-27},
    {0x1.fffffffffffffp-27, 0x1.fffffffffffffp-27, 0x1.921fb50442d18p+0, 0x1.ffffffffffffep-27},
    {0x1p-55, 0x1p-55, 0x1.921fb54442d18p+0, 0x1p-55},
    {0x1.fffffffffffffp-56, 0x1.fffffffffffffp-56, 0x1.921fb54442d18p+0, 0x1.fffffffffffffp-56},
    {0x1p-9, 0x1.00000aaaabddep-9, 0x1.919fb53eed7b9p+0, 0x1.ffffd5555bbbcp-10},
    {0x1.0000000000001p-9, 0x1.00000aaaabddfp-9, 0x1.919fb53eed7b9p+0, 0x1.ffffd5555bbbep-10},
    {0x1.fffffffffffffp-10, 0x1.00000aaaabdddp-9, 0x1.919fb53eed7b9p+0, 0x1.ffffd5555bbbbp-10},
    {0x1p-8, 0x1.00002aaabdddfp-8, 0x1.911fb5199813ap+0, 0x1.ffff5555bbbb7p-9},
    {0x1.3333333333333p-2, 0x1.380159e14f6ffp-2, 0x1.441f5ecbeef59p+0, 0x1.2a73a661eaf06p-2},
    {0x1.8p-2, 0x1.899f4edc962d3p-2, 0x1.2fb7e18d1d464p+0, 0x1.6f61941e4def1p-2},
    {0x1p-1, 0x1.0c152382d7366p-1, 0x1.0c152382d7366p+0, 0x1.dac670561bb4fp-2},
    {-0x1p-1, -0x1.0c152382d7366p-1, 0x1.0c152382d7366p+1, -0x1.dac670561bb4fp-2},
    {0x1.6a09e667f3bccp-1, 0x1.921fb54442d17p-1, 0x1.921fb54442d19p-1, 0x1.3b2028082e8d3p-1},
    {0x1.6a09e667f3bcdp-1, 0x1.921fb54442d19p-1, 0x1.921fb54442d18p-1, 0x1.3b2028082e8d4p-1},
    {-0x1.e666666666666p-1, -0x1.40d41159f3409p+0, 0x1.6979e34f1b091p+1, -0x1.84ff9fb1d212ep-1},
    {0x1.ffffffffffffep-1, 0x1.921fb4e9c057fp+0, 0x1.6a09e667f3bcdp-26, 0x1.921fb54442d17p-1},
    {0x1.fffffffffffffp-1, 0x1.921fb50442d18p+0, 0x1p-26, 0x1.921fb54442d18p-1},
};

// atan past 1 (values from MPFR): it works on 1/x there, and returns pi/2 rounded from
// 2^55 on; subnormal arguments are their own atan.
const struct {
  double x, atan;
} atan_rows[] = {
    {0x1.0000000000001p+0, 0x1.921fb54442d19p-1}, {0x1.921fb54442d18p+0, 0x1.00fe987ed02ffp+0},
    {0x1.8p+1, 0x1.3fc176b7a856p+0},               {0x1p+9, 0x1.919fb54eed7a9p+0},
    {0x1.0000000000001p+9, 0x1.919fb54eed7a9p+0},  {0x1.fffffffffffffp+54, 0x1.921fb54442d18p+0},
    {0x1p+55, 0x1.921fb54442d18p+0},               {0x1.0000000000001p+55, 0x1.921fb54442d18p+0},
    {0x1.7e43c8800759cp+996, 0x1.921fb54442d18p+0}, {0x1p-1022, 0x1p-1022},
    {0x0.0000000000001p-1022, 0x0.0000000000001p-1022},
};

struct PowRow {
  double x, y, value;
};

const PowRow pow_rows[] = {
    {0x1.4p+3, 0x1p+1, 0x1.9p+6},
    {0x1.4p+3, -0x1p+1, 0x1.47ae147ae147bp-7},
    {0x1p+1, 0x1p-1, 0x1.6a09e667f3bcdp+0},
    {0x1p+1, 0x1.4p+3, 0x1p+10},
    {0x1.4p+3, 0x1.ep+3, 0x1.c6bf52634p+49},
    {0x1.4p+3, 0x1.6p+4, 0x1.0f0cf064dd592p+73},
    {0x1.4p+3, -0x1.4p+2, 0x1.4f8b588e368f1p-17},
    {0x1.000001ad7f29bp+0, 0x1.dcd65p+29, 0x1.349445c228792p+144},
    {0x1.8p+1, 0x1.4p+4, 0x1.9fa83722p+31},
    {0x1.cp+2, 0x1p-1, 0x1.52a7fa9d2f8eap+1},
    {0x1.4p+2, -0x1.8p+1, 0x1.0624dd2f1a9fcp-7},
    {0x1p-1, 0x1.0c8p+10, 0x0.0000000000001p-1022},
    {0x1p-1, 0x1.0ccp+10, 0x0p+0},
    {0x1p+1, -0x1.0c8p+10, 0x0.0000000000001p-1022},
    {0x1.4p+3, 0x1.34p+8, 0x1.1ccf385ebc8ap+1023},
    {0x1.4p+3, -0x1.34p+8, 0x0.730d67819e8d2p-1022},
    {0x1.4p+3, -0x1.4p+8, 0x0.00000000007e8p-1022},
    {0x1.8p+0, 0x1.f4p+9, 0x1.f2dd011353699p+584},
    {-0x1p+1, 0x1.8p+1, -0x1p+3},
    {-0x1p+1, -0x1.8p+1, -0x1p-3},
    {-0x1p+3, 0x1p+1, 0x1p+6},
    {0x1.edd2f1a9fbe77p+6, 0x1.f8f5c28f5c28fp+2, 0x1.c37e53d5e93d2p+54},
    {0x1.0624dd2f1a9fcp-10, 0x1.554c985f06f69p-2, 0x1.99b1bf44368f3p-4},
    {0x1p+1, 0x1.fffffcb923a2ap+9, 0x1.fff6ea43bd988p+1023},
    {0x1.2p+3, 0x1p-1, 0x1.8p+1},
    {0x1.7e43c8800759cp+996, 0x1.051eb851eb852p+0, 0x1.6c8e5ca239078p+1016},
    {0x1.56e1fc2f8f359p-997, 0x1.0a3d70a3d70a4p+0, 0x0.0002f201d49fbp-1022},
    // Negative integral powers up to 16.
    {0x1.8p+1, -0x1.ap+3, 0x1.50bd36797268ap-21},
    {0x1.cp+2, -0x1p+4, 0x1.0f08480f672b5p-45},
    {0x1.199999999999ap+0, -0x1.ep+3, 0x1.ea4660f7b42bcp-3},
    {0x1.3333333333333p-2, -0x1.6p+3, 0x1.13a2dda98e2c7p+19},
    {0x1.4p+1, -0x1.cp+3, 0x1.6849b86a12b9bp-19},
    {0x1.b333333333333p+0, -0x1p+4, 0x1.aef85a2f878c6p-13},
    // Subnormal results: 10^-307.66 lies just above a half unit of 2^-1074 past an even
    // count and rounds up, 10^-307.75 just below one past an odd count and rounds down;
    // 243 * 2^-1075 and 3125 * 2^-1075 are exact ties and go to the even count.
    {0x1.4p+3, -0x1.33a8f5c28f5c3p+8, 0x0.fbb5071557f8bp-1022},
    {0x1.4p+3, -0x1.33cp+8, 0x0.cc9861e8f0829p-1022},
    {0x1.8p-214, 0x1.4p+2, 0x0.000000000007ap-1022},
    {0x1.4p-213, 0x1.4p+2, 0x0.000000000061ap-1022},
    // Powers past 16 that land exactly halfway between two doubles go to the even one:
    // 9^17 = 3^34, 7^19, 5^23, with a factor of a power of two and a sign.
    {0x1.2p+4, 0x1.1p+4, 0x1.d9fe779881944p+70},
    {-0x1.2p+4, 0x1.1p+4, -0x1.d9fe779881944p+70},
    {0x1.cp+2, 0x1.3p+4, 0x1.43f9e0d2d93ecp+53},
    {0x1.4p+2, 0x1.7p+4, 0x1.52d02c7e14af6p+53},
    {0x1.8p-19, 0x1.1p+5, 0x1.d9fe779881944p-627},
    {0x1.96618p-333, 0x1.8p+1, 0x1.0002feaf4642ep-997},  // 208067^3 * 2^-1050, a half
    // 1 / (2^81 - 2^28) lies 2^-106 of itself past the half above 2^-81.
    {0x1.fffffffffffffp+80, -0x1p+0, 0x1.0000000000001p-81},
    // Where a unit in the last place depends on every step (a quad-precision reference):
    // the remainder steps of the division, powers just past a power of two, the scaling
    // by 1024 and the ten squarings, and both sides of the subnormal boundary.
    {0x1.fffffffffffffp-6, -0x1.2p+3, 0x1.0000000000005p+45},
    {0x1.cp+2, -0x1.1p+5, 0x1.76c9d74ab3d2p-96},
    {0x1.428a2f98d728bp-4, 0x1.8p+1, 0x1p-11},
    {0x1.0000000000005p+0, 0x1.6b1b10cebb9a8p-4, 0x1p+0},
    {0x1.8p-30, 0x1.1p+5, 0x1.d9fe779881944p-1001},
    {0x1.b787608bd117fp-94, 0x1.24ef2d9214af4p+3, 0x1.901103b12ffddp-854},
    // Bases next to 1 (the logarithm's series near 1) and near the ends of its range to
    // huge powers: both sides of overflow and of the least subnormal, where the first
    // step's estimate of y log x picks the path.
    {0x1.0000000000001p+0, 0x1.62e42fefa39efp+61, 0x1.ffffffffffc64p+1023},
    {0x1.0000000000001p+0, 0x1.62e42fefa39fp+61, inf},
    {0x1.0000000000001p+0, 0x1.63p+61, inf},
    {0x1.0000000000001p+0, -0x1.74385446d71c3p+61, 0x0.0000000000001p-1022},
    {0x1.0000000000001p+0, -0x1.75p+61, 0x0p+0},
    {0x1.fffffffffffffp-1, -0x1.62e42fefa39efp+62, inf},
    {0x1.fffffffffffffp-1, 0x1.7p+62, 0x0.0000000001215p-1022},
    {0x1.6a09e667f3bccp+0, 0x1.ffep+10, 0x1.ae89f995ace4fp+1023},
    {0x1.6a09e667f3bcdp-1, -0x1.ffep+10, 0x1.ae89f995acf89p+1023},
    // Squares s^2 of odd non-squares whose fourth root sqrt(s) lies within 2^-25 units of a
    // midpoint (found by a search over s < 2^26): both rounding tests fail, and the exact
    // check must find that s^2 is no fourth power.
    {0x1.8df07183d6f08p+49, 0x1p-2, 0x1.53ee83b10977fp+12},
    {0x1.68aec7ce28c2p+47, 0x1p-2, 0x1.d510db202bc7ep+11},
    {0x1.b79bbcace6edbp+0, -0x1.4727de5071d7p+10, 0x1.2136cfd86f73dp-1021},
    {0x1.854p-205, 0x1.4p+2, 0x1.04126144687c2p-1022},
    {0x1.06d597bf988f8p-335, 0x1.86618aa5d6adp+1, 0x1.55770ff13e6cp-1022},
    {0x1.96618p-342, 0x1.8p+1, 0x0.4000bfabd190bp-1022},
    {0x1.96608p-343, 0x1.8p+1, 0x0.080008d6eb4d9p-1022},
    {0x1.19bf51962e8e1p-563, 0x1.e8e898003c32p+0, 0x0.0000000000001p-1022},
    // Values from MPFR. Squares less than 2^-25 of a unit above a halfway point: both tests
    // fail and the exact check finds them inexact, so the accurate path decides.
    {0x1.10220306b941dp+0, 0x1p+1, 0x1.21484af3177e4p+0},
    {0x1.d786d019de608p+0, 0x1p+1, 0x1.b240ac5eda43p+1},
    // Squares just below the smallest normal, where rounding to 53 bits first and to the
    // subnormal grid after would go the wrong way (up, then down).
    {0x1.94b2ba02f34a6p-512, 0x1p+1, 0x0.9ff125f820c95p-1022},
    {0x1.b092527fca832p-512, 0x1p+1, 0x0.b6bb8a845ff4fp-1022},
    // Values from MPFR. Halfway results of non-integral exponents: 25^11.5 = 5^23 and
    // 81^8.5 = 3^34 (54-bit odd numbers), and (-5)^23; exact ones: 9^1.5, 4^-0.5, the
    // root of the least subnormal; 2^-1075 from 2^-430 to the 2.5, a tie that goes to 0;
    // (-3)^33 exact; the largest powers of 2 below overflow, and 2^1024 over it; bases next
    // to 1 with exponents of 2^60 and 2^62; a square a quarter above a half of the least
    // subnormal; 1e10^30.5 near the top of the range.
    {0x1.9p+4, 0x1.7p+3, 0x1.52d02c7e14af6p+53},
    {-0x1.4p+2, 0x1.7p+4, -0x1.52d02c7e14af6p+53},
    {0x1.44p+6, 0x1.1p+3, 0x1.d9fe779881944p+53},
    {0x1p-430, 0x1.4p+1, 0x0p+0},
    {0x1p-430, -0x1.4p+1, inf},
    {0x0.0000000000001p-1022, 0x1p-1, 0x1p-537},
    {0x0.0000000000001p-1022, -0x1p+0, inf},
    {-0x1.8p+1, 0x1.08p+5, -0x1.3bfefa65abb83p+52},
    {0x1.8p+0, -0x1p+0, 0x1.5555555555555p-1},
    {0x1p+1, 0x1.ffffffffffffep+9, 0x1.ffffffffffa74p+1023},
    {0x1p+1, 0x1.ff8p+9, 0x1p+1023},
    {0x1p+1, 0x1p+10, inf},
    {0x1.0000000000001p+0, 0x1p+62, inf},
    {0x1.fffffffffffffp-1, -0x1p+62, 0x1.9476504ba85f9p+738},
    {0x1.0000000000001p+0, -0x1p+60, 0x1.9755956ad4f68p-370},
    {0x1p-537, 0x1p+1, 0x0.0000000000001p-1022},
    {0x1.8p-538, 0x1p+1, 0x0.0000000000001p-1022},
    {0x1p+2, -0x1p-1, 0x1p-1},
    {0x1.2p+3, 0x1.8p+0, 0x1.bp+4},
    {0x1.2p+3, -0x1.8p+0, 0x1.2f684bda12f68p-5},
    {0x1.2a05f2p+33, 0x1.e8p+4, 0x1.23a516e82d9bap+1013},
    {0x1.cp+2, 0x1.3p+4, 0x1.43f9e0d2d93ecp+53},
};

// ---- The constants, each against its definition ----

// A fixed-point number of 2048 fraction bits in 32-bit digits, least significant first.
constexpr int fraction_bits = 2048;
using Fixed = std::vector<std::uint32_t>;

Fixed fixed_zero() { return Fixed(fraction_bits / 32 + 2, 0); }

Fixed fixed_shifted_one(int shift) {  // 2^(fraction_bits - shift)
  Fixed v = fixed_zero();
  const int bit = fraction_bits - shift;
  v[bit / 32] = 1u << (bit % 32);
  return v;
}

bool fixed_less(const Fixed& a, const Fixed& b) {
  for (std::size_t i = a.size(); i-- > 0;)
    if (a[i] != b[i]) return a[i] < b[i];
  return false;
}

void fixed_add(Fixed& a, const Fixed& b, bool subtract) {  // a -= b needs a >= b
  std::int64_t carry = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    carry += static_cast<std::int64_t>(a[i]) + (subtract ? -static_cast<std::int64_t>(b[i]) : b[i]);
    a[i] = static_cast<std::uint32_t>(carry);
    carry = carry < 0 ? -1 : carry >> 32;
  }
}

Fixed fixed_divided(Fixed a, std::uint32_t d) {
  std::uint64_t rest = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    const std::uint64_t t = (rest << 32) | a[i];
    a[i] = static_cast<std::uint32_t>(t / d);
    rest = t % d;
  }
  return a;
}

Fixed fixed_times(Fixed a, std::uint32_t m) {
  std::uint64_t carry = 0;
  for (std::uint32_t& digit : a) {
    carry += static_cast<std::uint64_t>(digit) * m;
    digit = static_cast<std::uint32_t>(carry);
    carry >>= 32;
  }
  return a;
}

Fixed fixed_atan_inverse(std::uint32_t x) {  // atan(1/x) by its series
  Fixed sum = fixed_zero();
  Fixed power = fixed_divided(fixed_shifted_one(0), x);
  for (std::uint32_t k = 0; power != fixed_zero(); ++k) {
    fixed_add(sum, fixed_divided(power, 2 * k + 1), k % 2 != 0);
    power = fixed_divided(power, x * x);
  }
  return sum;
}

Fixed fixed_pi() {  // Machin: pi = 16 atan(1/5) - 4 atan(1/239)
  Fixed pi = fixed_times(fixed_atan_inverse(5), 16);
  fixed_add(pi, fixed_times(fixed_atan_inverse(239), 4), true);
  return pi;
}

Fixed fixed_ln2() {  // ln 2 = sum of 1 / (k 2^k)
  Fixed sum = fixed_zero();
  for (int k = 1; k < fraction_bits; ++k) fixed_add(sum, fixed_divided(fixed_shifted_one(k), k), false);
  return sum;
}

Fixed fixed_from_double(double v) {  // v > 0, a multiple of 2^-fraction_bits
  int exponent = 0;
  const auto m = static_cast<std::uint64_t>(std::ldexp(std::frexp(v, &exponent), 53));
  Fixed out = fixed_zero();
  const int bit = exponent - 53 + fraction_bits;
  for (int i = 0; i < 53; ++i)
    if ((m >> i) & 1) out[(bit + i) / 32] |= 1u << ((bit + i) % 32);
  return out;
}

// hi is the double nearest the value and lo the double nearest value - hi: the two
// together lie within half a unit of lo's last place (the series' error is far below).
void expect_nearest_pair(const Fixed& value, double hi, double lo, const char* name) {
  Fixed sum = fixed_from_double(hi);
  fixed_add(sum, fixed_from_double(std::fabs(lo)), lo < 0);
  Fixed gap = value;
  if (fixed_less(gap, sum)) std::swap(gap, sum);
  fixed_add(gap, sum, true);
  int lo_exponent = 0;
  std::frexp(lo, &lo_exponent);
  EXPECT_TRUE(fixed_less(gap, fixed_shifted_one(54 - lo_exponent))) << name;
  EXPECT_LT(std::fabs(lo), std::ldexp(1.0, std::ilogb(hi) - 52)) << name;
}

TEST(AccurateMath, ConstantsMatchTheirDefinitions) {
  namespace c = crmath_constants;
  const Fixed pi = fixed_pi();
  expect_nearest_pair(fixed_divided(pi, 2), c::half_pi_hi, c::half_pi_lo, "pi/2");
  expect_nearest_pair(fixed_ln2(), c::ln2_hi, c::ln2_lo, "ln 2");

  // The table read as a number below 1, T = t / 2^1920: T <= 2/pi < T + 2^-1920, that is
  // 0 <= 2 - T pi < pi 2^-1920, up to the series' error in pi (far below 2^-1920).
  const int words = static_cast<int>(std::size(c::two_over_pi_bits));
  ASSERT_EQ(words * 64, 1920);
  Fixed product(pi.size() + 2 * words, 0);
  for (int w = 0; w < 2 * words; ++w) {
    const std::uint64_t word = c::two_over_pi_bits[words - 1 - w / 2];
    const auto digit = static_cast<std::uint32_t>(w % 2 ? word >> 32 : word);
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < pi.size(); ++i) {
      carry += static_cast<std::uint64_t>(pi[i]) * digit + product[w + i];
      product[w + i] = static_cast<std::uint32_t>(carry);
      carry >>= 32;
    }
    product[w + pi.size()] = static_cast<std::uint32_t>(carry);
  }
  const Fixed top(product.begin() + 2 * words, product.end());  // T pi, with 2048 fraction bits
  Fixed gap = fixed_times(fixed_shifted_one(0), 2);
  ASSERT_FALSE(fixed_less(gap, top)) << "2/pi is smaller than the table";
  fixed_add(gap, top, true);
  Fixed last_bit_of_pi = fixed_zero();  // pi 2^-1920: the table's digits end at a word
  std::copy(pi.begin() + 2 * words, pi.end(), last_bit_of_pi.begin());
  EXPECT_TRUE(fixed_less(gap, last_bit_of_pi)) << "2/pi is past the table's last bit";

  // (-1)^(k+1) / (2k+3)! and (-1)^k / (2k+4)!, the factorials exact before rounding.
  unsigned __int128 factorial = 1;
  for (unsigned n = 2; n <= 25; ++n) {
    factorial *= n;
    const double term = 1.0 / static_cast<double>(factorial);
    if (n >= 3 && n % 2 == 1) {
      EXPECT_EQ(c::sin_terms[(n - 3) / 2], (n / 2) % 2 ? -term : term) << n << "!";
    } else if (n >= 4) {
      EXPECT_EQ(c::cos_terms[(n - 4) / 2], (n / 2) % 2 ? -term : term) << n << "!";
    }
  }
  EXPECT_EQ(std::size(c::sin_terms), 12u);
  EXPECT_EQ(std::size(c::cos_terms), 11u);
}

TEST(AccurateMath, TrigonometricValues) {
  for (const TrigRow& row : trig_rows) {
    EXPECT_PRED2(same_bits, cr_sin(row.x), row.sin) << "sin " << std::hexfloat << row.x;
    EXPECT_PRED2(same_bits, cr_cos(row.x), row.cos) << "cos " << std::hexfloat << row.x;
    EXPECT_PRED2(same_bits, cr_tan(row.x), row.tan) << "tan " << std::hexfloat << row.x;
    EXPECT_PRED2(same_bits, cr_sin(-row.x), -row.sin) << "sin is odd at " << std::hexfloat << row.x;
    EXPECT_PRED2(same_bits, cr_cos(-row.x), row.cos) << "cos is even at " << std::hexfloat << row.x;
  }
}

TEST(AccurateMath, TrigonometricSpecialValues) {
  const struct {
    double x, sin, cos, tan;
  } rows[] = {{0.0, 0.0, 1.0, 0.0}, {-0.0, -0.0, 1.0, -0.0}, {inf, nan_value, nan_value, nan_value},
              {-inf, nan_value, nan_value, nan_value}, {nan_value, nan_value, nan_value, nan_value}};
  for (const auto& row : rows) {
    EXPECT_PRED2(same_bits, cr_sin(row.x), row.sin) << row.x;
    EXPECT_PRED2(same_bits, cr_cos(row.x), row.cos) << row.x;
    EXPECT_PRED2(same_bits, cr_tan(row.x), row.tan) << row.x;
  }
}

// Odd and even as the functions are: asin(-x) = -asin x, atan(-x) = -atan x; acos has
// no such symmetry in doubles.
TEST(AccurateMath, InverseTrigonometricValues) {
  for (const InverseRow& row : inverse_rows) {
    EXPECT_PRED2(same_bits, cr_asin(row.x), row.asin) << "asin " << std::hexfloat << row.x;
    EXPECT_PRED2(same_bits, cr_acos(row.x), row.acos) << "acos " << std::hexfloat << row.x;
    EXPECT_PRED2(same_bits, cr_atan(row.x), row.atan) << "atan " << std::hexfloat << row.x;
    EXPECT_PRED2(same_bits, cr_asin(-row.x), -row.asin) << "asin is odd at " << std::hexfloat << row.x;
    EXPECT_PRED2(same_bits, cr_atan(-row.x), -row.atan) << "atan is odd at " << std::hexfloat << row.x;
  }
  for (const auto& row : atan_rows) {
    EXPECT_PRED2(same_bits, cr_atan(row.x), row.atan) << "atan " << std::hexfloat << row.x;
    EXPECT_PRED2(same_bits, cr_atan(-row.x), -row.atan) << "atan is odd at " << std::hexfloat << row.x;
  }
}

// Outside [-1, 1] asin and acos have no value; at +-1 and 0 they are exact or pi/2, pi.
TEST(AccurateMath, InverseTrigonometricSpecialValues) {
  const double half_pi = crmath_constants::half_pi_hi;
  const InverseRow rows[] = {
      {0.0, 0.0, half_pi, 0.0},
      {-0.0, -0.0, half_pi, -0.0},
      {1.0, half_pi, 0.0, half_pi / 2},
      {-1.0, -half_pi, 2 * half_pi, -half_pi / 2},
      {0x1.0000000000001p+0, nan_value, nan_value, 0x1.921fb54442d19p-1},
      {-0x1.0000000000001p+0, nan_value, nan_value, -0x1.921fb54442d19p-1},
      {inf, nan_value, nan_value, half_pi},
      {-inf, nan_value, nan_value, -half_pi},
      {nan_value, nan_value, nan_value, nan_value},
  };
  for (const InverseRow& row : rows) {
    EXPECT_PRED2(same_bits, cr_asin(row.x), row.asin) << row.x;
    EXPECT_PRED2(same_bits, cr_acos(row.x), row.acos) << row.x;
    EXPECT_PRED2(same_bits, cr_atan(row.x), row.atan) << row.x;
  }
}

// The trigonometric tables against their definitions (they come from MPFR; a mistyped
// digit would only rarely move a result): pi/1024's parts by the series' pi, the sines
// by the addition formula from sin 0 = 0 to sin(pi/2) = 1, the Taylor terms by their
// recurrences, and the short heads by their bits.
TEST(AccurateMath, TrigonometricTablesMatchTheirDefinitions) {
  namespace t = trig_tables;
  using wide::Dd;
  const Fixed pi_1024 = fixed_divided(fixed_pi(), 1024);
  expect_nearest_pair(pi_1024, t::pi_1024.hi, t::pi_1024.lo, "pi/1024");
  Fixed parts = fixed_from_double(t::pi_1024_p1);
  fixed_add(parts, fixed_from_double(-t::pi_1024_p2), true);
  fixed_add(parts, fixed_from_double(-t::pi_1024_p3), true);
  fixed_add(parts, fixed_from_double(t::pi_1024_p4), false);
  Fixed gap = pi_1024;
  if (fixed_less(gap, parts)) std::swap(gap, parts);
  fixed_add(gap, parts, true);
  EXPECT_TRUE(fixed_less(gap, fixed_shifted_one(139))) << "pi/1024's parts";
  for (const double part : {t::pi_1024_p1, t::pi_1024_p2, t::pi_1024_p3})  // 24 bits
    EXPECT_EQ(wide::bits_of(part) & ((std::uint64_t{1} << 29) - 1), 0u) << part;
  // The short reduction's two parts (below 1.5): a head of 43 bits, so that k s1 is exact
  // for |k| < 2^10, and the rest; together within 2^-112 of pi/1024.
  Fixed short_parts = fixed_from_double(t::pi_1024_s1);
  fixed_add(short_parts, fixed_from_double(t::pi_1024_s2), false);
  Fixed short_gap = pi_1024;
  if (fixed_less(short_gap, short_parts)) std::swap(short_gap, short_parts);
  fixed_add(short_gap, short_parts, true);
  EXPECT_TRUE(fixed_less(short_gap, fixed_shifted_one(112))) << "pi/1024's two parts";
  EXPECT_EQ(wide::bits_of(t::pi_1024_s1) & ((std::uint64_t{1} << 10) - 1), 0u) << "43 bits";
  // 1024/pi rounded: within half a unit (2^-45) of it, relative 2^-45 / 325.9 > 2^-53.35.
  const Dd product = wide::dd_mul_d(t::pi_1024, t::inv_pi_1024);
  EXPECT_LE(std::fabs((product.hi - 1) + product.lo), 0x1p-45 / t::inv_pi_1024) << "1024/pi";

  auto near = [](Dd a, Dd b, double tolerance) {
    const Dd d = wide::dd_add(a, wide::dd_neg(b));
    return std::fabs(d.hi + d.lo) <= tolerance;
  };
  const Dd one = {1.0, 0.0};
  // The short heads leave rests of 2^-27 of them: normalised before dd_mul, which
  // neglects the product of the rests.
  auto entry = [](Dd a) { return wide::quick_two_sum(a.hi, a.lo); };
  EXPECT_PRED2(same_bits, t::sin_table[0].hi + t::sin_table[0].lo, 0.0);
  EXPECT_TRUE(near(t::sin_table[512], one, 0.0));
  for (int j = 0; j < 512; ++j) {  // sin((j + 1) step) = sin(j step) cos step + cos(j step) sin step
    const Dd next = wide::dd_add(wide::dd_mul(entry(t::sin_table[j]), entry(t::sin_table[511])),
                                 wide::dd_mul(entry(t::sin_table[512 - j]), entry(t::sin_table[1])));
    EXPECT_TRUE(near(next, entry(t::sin_table[j + 1]), 0x1p-75)) << "sin table " << j + 1;
    EXPECT_EQ(wide::bits_of(t::sin_table[j + 1].hi) & ((std::uint64_t{1} << 27) - 1), 0u) << j + 1;
  }
  const Dd half_pi = {crmath_constants::half_pi_hi, crmath_constants::half_pi_lo};
  for (int i = 0; i <= 256; ++i) {
    const double c = i / 256.0;
    EXPECT_TRUE(near(wide::dd_add(t::atan_table[0][i], t::atan_table[1][i]), half_pi, 0x1p-104)) << i;
    // atan' = 1/(1 + x^2): a1 (1 + c^2) = 1, and (1 + c^2) b(n+1) = -2c b(n) - b(n-1)
    // for b(n) = (n + 1) a(n+1), in doubles to a few units of the largest term.
    const t::AtanEntry& e = t::atan_taylor[i];
    const Dd square = wide::dd_add_d(wide::two_prod(c, c), 1.0);
    EXPECT_TRUE(near(wide::dd_mul(entry(e.a1), square), one, 0x1p-76)) << "atan a1 " << i;
    double b[10] = {e.a1.hi + e.a1.lo};
    for (int n = 1; n < 9; ++n) b[n] = (n + 1) * e.a[n - 1];
    for (int n = 1; n + 1 < 9; ++n) {
      const double scale = std::fabs(2 * c * b[n]) + std::fabs(b[n - 1]) + std::fabs(b[n + 1]);
      EXPECT_LE(std::fabs((1 + c * c) * b[n + 1] + 2 * c * b[n] + b[n - 1]), scale * 0x1p-49) << i << " " << n;
    }
  }
  for (int i = 0; i <= 128; ++i) {
    // asin' = (1 - x^2)^(-1/2): a1^2 (1 - c^2) = 1, and
    // (1 - c^2)(n + 1) b(n+1) = (2n + 1) c b(n) + n b(n-1).
    const double c = i / 256.0;
    const t::AsinEntry& e = t::asin_table[i];
    const Dd rest = wide::dd_add_d(wide::dd_neg(wide::two_prod(c, c)), 1.0);
    EXPECT_TRUE(near(wide::dd_mul(wide::dd_mul(entry(e.a1), entry(e.a1)), rest), one, 0x1p-75))
        << "asin a1 " << i;
    double b[10] = {e.a1.hi + e.a1.lo};
    for (int n = 1; n < 9; ++n) b[n] = (n + 1) * e.a[n - 1];
    for (int n = 1; n + 1 < 9; ++n) {
      const double right = (2 * n + 1) * c * b[n] + n * b[n - 1];
      EXPECT_LE(std::fabs((1 - c * c) * (n + 1) * b[n + 1] - right), std::fabs(right) * 0x1p-49) << i << " " << n;
    }
    if (i > 0) {
      EXPECT_LT(t::asin_table[i - 1].a0.hi, e.a0.hi) << i;
    }
  }
}

TEST(AccurateMath, PowValues) {
  for (const PowRow& row : pow_rows)
    EXPECT_PRED2(same_bits, cr_pow(row.x, row.y), row.value) << std::hexfloat << row.x << " ^ " << row.y;
}

// The special cases of pow in IEEE 754 (and C99 Annex F), case by case.
TEST(AccurateMath, PowSpecialCases) {
  const PowRow rows[] = {
      {nan_value, 0.0, 1.0},   {nan_value, -0.0, 1.0}, {inf, 0.0, 1.0},       {1.0, nan_value, 1.0},
      {1.0, inf, 1.0},         {1.0, -inf, 1.0},       {-1.0, inf, 1.0},      {-1.0, -inf, 1.0},
      {nan_value, 1.0, nan_value}, {2.0, nan_value, nan_value},
      {0.0, -1.0, inf},        {-0.0, -1.0, -inf},     {-0.0, -2.0, inf},     {0.0, -0.5, inf},
      {-0.0, -inf, inf},       {0.0, 3.0, 0.0},        {-0.0, 3.0, -0.0},     {-0.0, 2.0, 0.0},
      {-0.0, 0.5, 0.0},        {0.5, -inf, inf},       {2.0, -inf, 0.0},      {0.5, inf, 0.0},
      {-2.0, inf, inf},        {-inf, -3.0, -0.0},     {-inf, -2.0, 0.0},     {-inf, 3.0, -inf},
      {-inf, 2.0, inf},        {-inf, 0.5, inf},       {inf, -1.0, 0.0},      {inf, 0.5, inf},
      {-8.0, 1.0 / 3, nan_value}, {-2.0, 0.5, nan_value}, {-2.0, 1e300, inf},  {-0.5, 1e300, 0.0},
      {10.0, 400.0, inf},      {10.0, -400.0, 0.0},    {-10.0, 401.0, -inf},  {1e308, 2.0, inf},
      {2.0, 1024.0, inf},      {2.0, -1075.0, 0.0},    {-2.0, -1075.0, -0.0},
      {1.5, inf, inf},         {-1.5, -inf, 0.0},      {0.0, nan_value, nan_value},
      {inf, nan_value, nan_value},
  };
  for (const PowRow& row : rows)
    EXPECT_PRED2(same_bits, cr_pow(row.x, row.y), row.value) << row.x << " ^ " << row.y;
}

#if defined(__GLIBC__)
// glibc's sin, cos, tan and pow are correctly rounded in all but rare cases: the
// own functions stay within one unit in the last place of them everywhere.
double ulps_apart(double a, double b) {
  if (same_bits(a, b)) return 0;
  return std::fabs(a - b) / std::ldexp(1.0, std::max(std::ilogb(b), -1022) - 52);
}

TEST(AccurateMath, WithinOneUnitOfGlibc) {
  std::mt19937_64 random(42);
  int identical = 0;
  int total = 0;
  for (int i = 0; i < 200000; ++i) {
    double x;
    if (i % 2 == 0) {
      x = std::ldexp(static_cast<double>(random() >> 11), -53) * 2000 - 1000;
    } else {
      const std::uint64_t bits = random();
      std::memcpy(&x, &bits, sizeof x);
      if (!std::isfinite(x)) continue;
    }
    ++total;
    const double mine[] = {cr_sin(x), cr_cos(x), cr_tan(x)};
    const double theirs[] = {std::sin(x), std::cos(x), std::tan(x)};
    for (int f = 0; f < 3; ++f) {
      ASSERT_LE(ulps_apart(mine[f], theirs[f]), 1.0) << f << " " << std::hexfloat << x;
      identical += same_bits(mine[f], theirs[f]);
    }
    const double y = std::ldexp(static_cast<double>(random() >> 11), -53) * 60 - 30;
    const double base = std::fabs(x) < 1e-3 ? 2.5 : std::fmod(std::fabs(x), 50.0);
    ASSERT_LE(ulps_apart(cr_pow(base, y), std::pow(base, y)), 1.0) << std::hexfloat << base << " " << y;
  }
  EXPECT_GT(identical, total * 3 * 95 / 100);
}
#endif
}  // namespace
