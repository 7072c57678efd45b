// The constants of the accurate functions, apart so that the tests can check each
// one against its definition (a mistyped digit here moves results only rarely).
#pragma once

#include <cstdint>

namespace crmath_constants {

// pi/2 and ln 2 as hi + lo: hi the double nearest, lo the double nearest the rest.
constexpr double half_pi_hi = 0x1.921fb54442d18p+0;
constexpr double half_pi_lo = 0x1.1a62633145c07p-54;
constexpr double ln2_hi = 0x1.62e42fefa39efp-1;
constexpr double ln2_lo = 0x1.abc9e3b39803fp-56;

// The first 1920 bits of the fraction of 2/pi, most significant first, truncated.
// The fast reduction's window starts at the argument's exponent (at most 971) and is
// 192 bits wide, so it ends by bit 1163; the accurate path reads further.
constexpr std::uint64_t two_over_pi_bits[] = {
    0xA2F9836E4E441529, 0xFC2757D1F534DDC0, 0xDB6295993C439041,
    0xFE5163ABDEBBC561, 0xB7246E3A424DD2E0, 0x06492EEA09D1921C,
    0xFE1DEB1CB129A73E, 0xE88235F52EBB4484, 0xE99C7026B45F7E41,
    0x3991D639835339F4, 0x9C845F8BBDF9283B, 0x1FF897FFDE05980F,
    0xEF2F118B5A0A6D1F, 0x6D367ECF27CB09B7, 0x4F463F669E5FEA2D,
    0x7527BAC7EBE5F17B, 0x3D0739F78A5292EA, 0x6BFB5FB11F8D5D08,
    0x56033046FC7B6BAB,
    // Bits 1217 to 1920 (MPFR's 2/pi, checked by the test): the accurate path reduces at up
    // to 640 bits with a window reaching bit 971 - 2 + 32 * 24 = 1737.
    0xF0CFBC209AF4361D, 0xA9E391615EE61B08, 0x6599855F14A06840,
    0x8DFFD8804D732731, 0x06061556CA73A8C9, 0x60E27BC08C6B47C4,
    0x19C367CDDCE8092A, 0x8359C4768B961CA6, 0xDDAF44D15719053E,
    0xA5FF07053F7E33E8, 0x32C2DE4F98327DBB,
};

// Taylor coefficients: sin_terms[k] = (-1)^(k+1) / (2k+3)!, cos_terms[k] = (-1)^k / (2k+4)!,
// each the double nearest the factorial, then divided. The fast sine and cosine use the
// first three and two (|h| <= pi/2048); all of them together reach 1e-30 of the result
// for |r| <= pi/4.
constexpr double sin_terms[] = {-1.0 / 6, 1.0 / 120, -1.0 / 5040, 1.0 / 362880, -1.0 / 39916800,
                                1.0 / 6227020800, -1.0 / 1307674368000, 1.0 / 355687428096000,
                                -1.0 / 121645100408832000, 1.0 / 51090942171709440000.0,
                                -1.0 / 25852016738884976640000.0, 1.0 / 15511210043330985984000000.0};
constexpr double cos_terms[] = {1.0 / 24, -1.0 / 720, 1.0 / 40320, -1.0 / 3628800, 1.0 / 479001600,
                                -1.0 / 87178291200, 1.0 / 20922789888000, -1.0 / 6402373705728000,
                                1.0 / 2432902008176640000, -1.0 / 1124000727777607680000.0,
                                1.0 / 620448401733239439360000.0};

}  // namespace crmath_constants
