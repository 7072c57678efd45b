// Exponential and logarithm kernels in double-double, shared by exp, log, pow and the
// hyperbolic functions. Internal to engine/crmath.
//
// Each kernel returns an unevaluated sum whose error bound is stated beside it; the
// bounds cover every rounding inside the kernel and the tables' own errors, and were
// checked against MPFR on random arguments (see docs/accuracy.md). They never fail,
// allocate or call the C runtime. Arguments outside the stated ranges are the
// caller's fault: the results are then unspecified (but never trap).
#pragma once

#include <cstdint>

#include "engine/crmath/exp_log_tables.h"
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
// Inline, so that each function's common path runs without a call or a spill.
namespace exp_log_fast {

constexpr double round_magic = 0x1.8p52;  // adding it rounds to an integer (|x| < 2^51)

// ln2/128 in a part of 35 bits (n times it exact for |n| < 2^18) and the rest.
constexpr double ln2_128_a = 0x1.62e42fefcp-8;
constexpr double ln2_128_b = -0x1.c610ca86c3899p-44;
constexpr double inv_ln2_128 = 0x1.71547652b82fep+7;

// ln2 in parts of 42, 42 and 53 bits: e times the first two is exact for |e| < 2^11.
constexpr double ln2_a = 0x1.62e42fefcp-1;
constexpr double ln2_b = -0x1.c610ca86c38p-37;
constexpr double ln2_c = -0x1.319ff0342543p-82;
constexpr double ln2_bc = -0x1.c610ca86c3899p-37;  // ln2 - ln2_a to 53 bits: e times it rounds by 2^-78

// x = 2^e z, z in [0x1.6ap-1, 0x1.6ap+0) taken from the bits (subnormals scaled first),
// and i the index of z's piece: the top `piece_bits` bits of z's bits above those of
// 0x1.6ap-1 (7 for log_coarse, 8 for log_fast_table). Exact.
template <int piece_bits>
[[gnu::always_inline]] inline double reduce_log(double x, int& e, int& i) {
  std::uint64_t bits = wide::bits_of(x);
  e = 0;
  if (bits < 0x0010000000000000) [[unlikely]] {  // subnormal: make it normal
    bits = wide::bits_of(x * 0x1p64);
    e = -64;
  }
  const std::uint64_t t = bits - 0x3fe6a00000000000;
  i = static_cast<int>((t >> (52 - piece_bits)) & ((1 << piece_bits) - 1));
  e += static_cast<int>(static_cast<std::int64_t>(t) >> 52);
  return wide::double_of(bits - (t & 0xfff0000000000000));
}

// e^(x.hi + x.lo) = (hi + lo) 2^k with hi, the return value, in [0.99, 2.02] and
// |lo| <= 2^-16 (the sum before its last normalisation), for |x.hi| < 746 and
// |x.lo| <= 2^-42 (x need not be normalised). Relative error <= 2^-66.
// n = nearest integer to x 128/ln2, e^x = 2^(n/128) e^r with r = x - n ln2/128: a = x.hi - n A
// is exact (Sterbenz; |a| <= 2^-8.5), b = x.lo - n B has |n B| <= 2^17.1 2^-43.2 and
// |x.lo| <= 2^-42, so |b| <= 2^-26 rounded by 2^-79; r = h + l by an exact two_sum.
// e^r - 1 = h + c, c = l + h l + h^2/2 + ... + h^6/720 (dropped: h^7/5040 < 2^-71.8,
// l h^2/2 < 2^-78): c <= 2^-17.9, off by about four roundings of terms <= 2^-18: <= 2^-69.
// T = T1 + T2 (T1 of 26 bits, T2 the rest, together within 2^-79 of 2^(n/128)):
// T (1 + h + c) = T1 + T1 h (exact: T1 times either half of a split h) + [T1 c + T2 (1 + h + c)]:
// the bracket (<= 2^-16.9) rounds three times more (2^-69.9 each: T1 c, its sum with
// T2 (h + c), and the last sum; the terms without c are summed first, so that the
// polynomial's result is needed last), T2 (h + c) by 2^-87: total < 2^-67.2 absolute
// against a result >= 1 - 2^-8.5: claimed 2^-66 relative.
[[gnu::always_inline]] inline double exp_fast_parts(wide::Dd x, int& k, double& lo) {
  // n from the low bits of x 128/ln2 + 1.5 2^52, whose last place is 1 (|n| < 2^18).
  const double shifted = x.hi * inv_ln2_128 + round_magic;
  const double n = shifted - round_magic;
  const int ni = static_cast<int>(static_cast<std::int32_t>(wide::bits_of(shifted) & 0xFFFFFFFF));
  k = ni >> 7;  // arithmetic shift: floor(n / 128)
  const wide::Dd r = wide::two_sum(x.hi - n * ln2_128_a, x.lo - n * ln2_128_b);
  const double h = r.hi;
  const double h2 = h * h;
  const double c = r.lo + h * r.lo + h2 * (0.5 + h * (1.0 / 6)) +
                   h2 * h2 * (1.0 / 24 + h * (1.0 / 120) + h2 * (1.0 / 720));
  const wide::Dd t = exp_log_tables::exp2_128[ni & 127];
  const wide::Dd hs = wide::split(h);
  const wide::Dd s = wide::quick_two_sum(t.hi, t.hi * hs.hi);
  lo = ((t.hi * hs.lo + s.lo) + t.lo) + (t.hi * c + t.lo * (h + c));
  return s.hi;
}

// x = 2^e z with z in [0x1.6ap-1, 0x1.6ap+0), c of 9 bits from log_fast_table, and
// h = z c - 1 exactly in one double (|h| < 2^-8: z's top 44 bits times c is exact, minus 1
// exact by Sterbenz, and z's last 9 bits times c is exact; their sum is a multiple of
// 2^-61 below 2^-8, so it does not round). Then log x = e ln2 - log c + log(1 + h).
struct LogReduced {
  double h;
  int e;
  const exp_log_tables::LogEntry* entry;
};

[[gnu::always_inline]] inline LogReduced log_reduce(double x) {
  LogReduced r;
  int i = 0;
  const double z = reduce_log<8>(x, r.e, i);
  r.entry = &exp_log_tables::log_fast_table[i];
  const double z_top = wide::double_of(wide::bits_of(z) & ~std::uint64_t{0x1FF});
  r.h = (z_top * r.entry->c - 1.0) + (z - z_top) * r.entry->c;  // exact
  return r;
}

// log(1 + h) - h for |h| < 2^-8, in double: -h^2/2 + h^3 P(h) to h^8/8 (the rest below
// h^9/9 < 2^-75.2), P in Estrin's form. h^2 rounds by 2^-69 (h^2/2 by 2^-70), the cubic part
// (<= 2^-25.6) by about 3 roundings (2^-76.9), the difference (< 2^-16.9) by 2^-70.
[[gnu::always_inline]] inline double log1p_rest(double h) {
  const double h2 = h * h;
  const double p = (1.0 / 3 - h * (1.0 / 4)) + h2 * (1.0 / 5 - h * (1.0 / 6)) + (h2 * h2) * (1.0 / 7 - h * (1.0 / 8));
  return h2 * h * p - 0.5 * h2;
}

// log x for e != 0 (x outside [0x1.6ap-1, 0x1.6ap+0), |log x| >= ln2/2), ABSOLUTE error
// <= 2^-67. With `normalise` false the sum comes before its last normalisation
// (|lo| < 2^-16.9) and the bound also covers the rounding of lo -+ 2^-67 in Ziv's test.
// log(1 + h) = h - h^2/2 + h^3 P(h) to h^8/8: the rest below h^9/9 < 2^-75.2; the cubic
// part q <= 2^-25.6 in double, off by about 3 roundings: 2^-76.9. e ln2_a + (-log c)'s head
// is exact (multiples of 2^-35 below 2^10) and so is its sum with h (quick_two_sum: the
// head is at least 0.34 > |h|). The small rest: h^2/2 (2^-70), its difference with q
// (< 2^-16.9: 2^-70), the last sum (2^-70), e times ln2's rest (2^-78), the other sums and
// the tables (2^-79 each, -log c's rest within 2^-89): with the rest of the series and q,
// < 2^-68.39; unnormalised, the test's rounding adds 2^-70: < 2^-67.98 (2^-69.5 seen).
[[gnu::always_inline]] inline wide::Dd log_far(const LogReduced& r, bool normalise) {
  const double de = static_cast<double>(r.e);
  const double s = de * ln2_a + r.entry->minus_log_c.hi;  // exact
  const wide::Dd u = wide::quick_two_sum(s, r.h);
  const double lo = ((de * ln2_bc + r.entry->minus_log_c.lo) + u.lo) + log1p_rest(r.h);
  return normalise ? wide::quick_two_sum(u.hi, lo) : wide::Dd{u.hi, lo};
}

// log x for any e, ABSOLUTE error <= 2^-75 (so a relative one only away from 1); out of
// line, as most callers need it only near 1. With `normalise` false as for log_far, the
// bound covering the test's rounding of lo -+ 2^-75 (|lo| <= 2^-25).
// log(1 + h) = h - h^2/2 + h^3 P(h) to h^9/9 (dropped: h^10/10 < 2^-83): h^2 exact from a
// split of h, the cubic part q <= 2^-25.6 in double, off by about 3 roundings: <= 2^-76.9.
// The sum: e ln2 (e times two exact parts, the third rounded by 2^-100), -log c (its rest
// within 2^-89), the leading terms by exact two_sums, the small rest (<= 2^-25) by double
// additions: 2^-78 for the last, far less for the others. Total < 2^-76 (2^-77.0 seen
// against MPFR on 10^6 arguments); unnormalised, the test's rounding adds 2^-78.
[[gnu::noinline]] inline wide::Dd log_near(LogReduced r, bool normalise) {
  const double h = r.h;
  const double h2 = h * h;
  const double h4 = h2 * h2;
  const double p = (1.0 / 3 - h * (1.0 / 4)) + h2 * (1.0 / 5 - h * (1.0 / 6)) +
                   h4 * ((1.0 / 7 - h * (1.0 / 8)) + h2 * (1.0 / 9));
  const double q = h2 * h * p;
  const double de = static_cast<double>(r.e);
  const double s = de * ln2_a + r.entry->minus_log_c.hi;  // exact, as in log_far
  const wide::Dd hs = wide::split(h);  // h^2 exactly: two_prod with one split
  const double square_lo = ((hs.hi * hs.hi - h2) + 2 * hs.hi * hs.lo) + hs.lo * hs.lo;
  const wide::Dd u = wide::two_sum(s, h);
  const wide::Dd w = wide::two_sum(u.hi, -0.5 * h2);
  const double tables = de * ln2_b + de * ln2_c + r.entry->minus_log_c.lo;
  const double lo = ((tables - 0.5 * square_lo) + u.lo + w.lo) + q;
  return normalise ? wide::quick_two_sum(w.hi, lo) : wide::Dd{w.hi, lo};
}

// The first step of log, log10 and pow: log x for finite x > 0, subnormals included, with
// `bound` set to its ABSOLUTE error bound (2^-67 or 2^-75, as above).
[[gnu::always_inline]] inline wide::Dd log_first(double x, bool normalise, double& bound) {
  const LogReduced r = log_reduce(x);
  if (r.e != 0) [[likely]] {
    bound = 0x1p-67;
    return log_far(r, normalise);
  }
  bound = 0x1p-75;
  return log_near(r, normalise);
}

}  // namespace exp_log_fast
