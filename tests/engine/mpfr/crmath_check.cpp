// crmath_check: compares cr_X (or mp_X) with MPFR on the hard cases, special values and random arguments.
//
// Usage: crmath_check FUNCTION|all COUNT [--mp] [--seed S] [--hard-cases DIR]
// Prints every mismatch (up to 100 per function) as arguments, got and expected in %a,
// then one count line per function; exits 1 on any mismatch, 2 on wrong usage.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>

#include "engine/crmath/crmath.h"
#include "engine/crmath/multi.h"
#include "tests/engine/mpfr/hard_case_file.h"
#include "tests/engine/mpfr/reference.h"

namespace {

// In the order of reference::functions.
struct Implementation {
  double (*cr1)(double);
  double (*mp1)(double);
  double (*cr2)(double, double);
  double (*mp2)(double, double);
};

const Implementation implementations[] = {
    {cr_sin, mp_sin, nullptr, nullptr},
    {cr_cos, mp_cos, nullptr, nullptr},
    {cr_tan, mp_tan, nullptr, nullptr},
    {cr_asin, mp_asin, nullptr, nullptr},
    {cr_acos, mp_acos, nullptr, nullptr},
    {cr_atan, mp_atan, nullptr, nullptr},
    {cr_sinh, mp_sinh, nullptr, nullptr},
    {cr_cosh, mp_cosh, nullptr, nullptr},
    {cr_tanh, mp_tanh, nullptr, nullptr},
    {cr_asinh, mp_asinh, nullptr, nullptr},
    {cr_acosh, mp_acosh, nullptr, nullptr},
    {cr_atanh, mp_atanh, nullptr, nullptr},
    {cr_cbrt, mp_cbrt, nullptr, nullptr},
    {cr_log10, mp_log10, nullptr, nullptr},
    {cr_log, mp_log, nullptr, nullptr},
    {cr_exp, mp_exp, nullptr, nullptr},
    {nullptr, nullptr, cr_pow, mp_pow},
};
static_assert(std::size(implementations) == std::size(reference::functions), "one row per function");

// splitmix64: a small generator whose sequence is the same on every platform.
struct Rng {
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
    return z ^ (z >> 31);
  }
  double unit() { return static_cast<double>(next() >> 11) * 0x1p-53; }        // [0, 1)
  int between(int lo, int hi) { return lo + static_cast<int>(next() % (hi - lo + 1)); }
  bool chance(double p) { return unit() < p; }
  double sign(double x) { return next() & 1 ? -x : x; }
};

double from_bits(std::uint64_t u) {
  double x;
  std::memcpy(&x, &u, sizeof x);
  return x;
}

// |x| log-uniform over [2^emin, 2^(emax+1)) with random significand bits; emin >= -1074.
double log_uniform(Rng& rng, int emin, int emax) {
  const int e = rng.between(emin, emax);
  const std::uint64_t random = rng.next();
  if (e >= -1022) return from_bits((static_cast<std::uint64_t>(e + 1023) << 52) | (random >> 12));
  const int bits = e + 1074;  // subnormal: the leading bit at position bits
  return from_bits((1ULL << bits) | (random & ((1ULL << bits) - 1)));
}

// A neighbour of c: a few units in the last place away, or a small relative step.
double near(Rng& rng, double c) {
  if (rng.chance(0.5)) {
    double x = c;
    const double to = rng.chance(0.5) ? std::numeric_limits<double>::infinity() : -x - 1.0;
    for (int k = rng.between(0, 16); k > 0; --k) x = std::nextafter(x, to);
    return x;
  }
  return c * (1.0 + rng.sign(rng.unit() * std::ldexp(1.0, -rng.between(1, 60))));
}

// The double nearest k * pi/2 for a random k of up to max_bits bits, then a neighbour.
double near_half_pi_multiple(Rng& rng, int max_bits) {
  const int bits = rng.between(1, max_bits);
  const std::uint64_t k = (rng.next() >> (64 - bits)) | (1ULL << (bits - 1));
  mpfr_t m;
  mpfr_init2(m, 256);
  mpfr_const_pi(m, MPFR_RNDN);
  mpfr_mul_ui(m, m, static_cast<unsigned long>(k), MPFR_RNDN);
  mpfr_div_2ui(m, m, 1, MPFR_RNDN);
  const double c = mpfr_get_d(m, MPFR_RNDN);
  mpfr_clear(m);
  return rng.sign(near(rng, c));
}

// An argument of the given function from the delicate places of its domain.
struct Point {
  double x, y;
};

Point draw(std::string_view f, Rng& rng) {
  const double u = rng.unit();
  auto one = [](double x) { return Point{x, 0.0}; };
  auto anywhere = [&] { return rng.sign(log_uniform(rng, -1074, 1023)); };
  if (f == "sin" || f == "cos" || f == "tan") {
    if (u < 0.3) return one(anywhere());
    if (u < 0.5) return one(rng.sign(log_uniform(rng, -30, 10)));
    if (u < 0.75) return one(near_half_pi_multiple(rng, 20));
    if (u < 0.85) return one(near_half_pi_multiple(rng, 62));
    return one(rng.sign(log_uniform(rng, 30, 1023)));
  }
  if (f == "asin" || f == "acos" || f == "atanh") {
    if (u < 0.3) return one(rng.sign(rng.unit()));
    if (u < 0.55) return one(rng.sign(1.0 - rng.unit() * std::ldexp(1.0, -rng.between(0, 53))));
    if (u < 0.65) return one(rng.sign(near(rng, 0.5)));
    if (u < 0.9) return one(rng.sign(log_uniform(rng, -1074, -1)));
    return one(anywhere());
  }
  if (f == "atan" || f == "asinh") {
    if (u < 0.5) return one(anywhere());
    if (u < 0.8) return one(rng.sign(log_uniform(rng, -12, 12)));
    return one(rng.sign(near(rng, 1.0)));
  }
  if (f == "sinh" || f == "cosh" || f == "tanh") {
    const double overflow = 0x1.633ce8fb9f87dp+9;  // about log(2^1025), where sinh passes DBL_MAX
    if (u < 0.35) return one(rng.sign(log_uniform(rng, -1074, 9)));
    if (u < 0.65) return one(rng.sign(rng.unit() * (f == "tanh" ? 24.0 : 712.0)));
    // where tanh rounds to 1 (27 log 2) and where sinh and cosh overflow
    if (u < 0.85) return one(rng.sign(near(rng, f == "tanh" ? 0x1.2b708872320e2p+4 : overflow)));
    return one(anywhere());
  }
  if (f == "acosh") {
    if (u < 0.35) return one(1.0 + rng.unit() * std::ldexp(1.0, -rng.between(0, 53)));
    if (u < 0.75) return one(log_uniform(rng, 0, 1023));
    if (u < 0.9) return one(1.0 + rng.unit() * 100.0);
    return one(anywhere());
  }
  if (f == "cbrt") {
    if (u < 0.7) return one(anywhere());
    // m^3 * 2^(3e) with m odd below 2^17: an exact cube (m^3 < 2^51), or a neighbour.
    const double m = 2.0 * rng.between(0, 65535) + 1.0;
    const double cube = rng.sign(std::ldexp(m * m * m, 3 * rng.between(-340, 320)));
    return one(u < 0.9 ? cube : near(rng, cube));
  }
  if (f == "log" || f == "log10") {
    if (u < 0.5) return one(log_uniform(rng, -1074, 1023));
    if (u < 0.75) return one(1.0 + rng.sign(rng.unit() * std::ldexp(1.0, -rng.between(0, 53))));
    if (u < 0.85) {
      const double power = f == "log10" ? std::pow(10.0, rng.between(-22, 22)) : std::ldexp(1.0, rng.between(-1074, 1023));
      return one(rng.chance(0.5) ? power : near(rng, power));
    }
    return one(anywhere());
  }
  if (f == "exp") {
    if (u < 0.4) return one(-746.0 + rng.unit() * 1456.0);
    if (u < 0.6) return one(rng.sign(log_uniform(rng, -1074, -1)));
    // Where the result overflows, turns subnormal, reaches 2^-1074 and rounds to zero.
    const double edges[] = {0x1.62e42fefa39efp+9, -0x1.6232bdd7abcd2p+9, -0x1.74385446d71c3p+9,
                            -0x1.74910d52d3051p+9};
    if (u < 0.9) return one(near(rng, edges[rng.between(0, 3)]));
    return one(anywhere());
  }
  // pow
  if (u < 0.2) {  // bases near 1, large exponents
    const double x = 1.0 + rng.sign(rng.unit() * std::ldexp(1.0, -rng.between(1, 53)));
    return {x, rng.sign(log_uniform(rng, 0, 62))};
  }
  if (u < 0.35) return {rng.sign(log_uniform(rng, -1074, 1023)), rng.sign(log_uniform(rng, -20, 12))};
  if (u < 0.55) {  // integral exponents, negative bases among them
    const double y = rng.chance(0.8) ? rng.between(-1100, 1100) : rng.sign(std::ldexp(1.0, rng.between(11, 60)));
    return {rng.sign(log_uniform(rng, -40, 40)), y};
  }
  if (u < 0.65) return {log_uniform(rng, -100, 100), rng.between(-400, 400) + 0.5};  // half-integral
  if (u < 0.75) {  // results near overflow or in the subnormal range
    const double target = rng.chance(0.5) ? 1000.0 + rng.unit() * 30.0 : -1090.0 + rng.unit() * 70.0;
    double x = log_uniform(rng, -20, 20);
    if (x == 1.0) x = 2.0;
    return {x, target / std::log2(x)};
  }
  if (u < 0.85) {  // short significands to small integral powers near the ends of the range
    const int y = rng.between(2, 12);
    const double m = 2.0 * rng.between(0, 63) + 1.0;
    const int target = rng.chance(0.7) ? rng.between(-1080, -1018) : rng.between(1018, 1025);
    const int k = static_cast<int>(std::floor((target - y * std::log2(m)) / y));
    return {rng.sign(std::ldexp(m, k)), static_cast<double>(y)};
  }
  if (u < 0.95) {  // small integers to small powers: exact, halfway or just past double's width
    const double x = rng.sign(rng.between(2, 100));
    return {rng.chance(0.2) ? 1.0 / x : x, static_cast<double>(rng.between(1, 40))};
  }
  return {anywhere(), anywhere()};
}

// The special values every function meets, and some extreme finite ones.
const double specials[] = {0.0, -0.0, std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(), 0x1p-1074, -0x1p-1074, 0x1p-1022, -0x1p-1022,
                           0x1.fffffffffffffp+1023, -0x1.fffffffffffffp+1023, 1.0, -1.0, 0.5, -0.5, 2.0, -2.0, 3.0, -3.0};

struct Tally {
  long cases = 0;
  long mismatches = 0;
};

void check(const reference::Function& f, const Implementation& impl, bool mp, double x, double y, Tally& tally) {
  const double got = f.unary ? (mp ? impl.mp1 : impl.cr1)(x) : (mp ? impl.mp2 : impl.cr2)(x, y);
  const double expected = reference::correctly_rounded(f, x, y);
  ++tally.cases;
  if (reference::same_result(got, expected)) return;
  if (++tally.mismatches <= 100) {
    if (f.unary)
      std::printf("%s_%s(%a): got %a, expected %a\n", mp ? "mp" : "cr", f.name, x, got, expected);
    else
      std::printf("%s_%s(%a, %a): got %a, expected %a\n", mp ? "mp" : "cr", f.name, x, y, got, expected);
  }
}

// Runs one function; false on any mismatch or an unreadable hard-case file.
bool run(const reference::Function& f, const Implementation& impl, bool mp, long count, std::uint64_t seed,
         const std::string& hard_dir) {
  Tally hard, special, random;
  bool ok = true;
  const std::string path = hard_dir + "/" + f.name + ".txt";
  for (const reference::Arguments& a : reference::read_hard_cases(path, f.unary ? 1 : 2, ok)) {
    check(f, impl, mp, a.x, a.y, hard);
    if (f.unary) check(f, impl, mp, -a.x, 0.0, hard);
  }
  if (!ok) std::printf("%s: cannot read every line of %s\n", f.name, path.c_str());
  for (double x : specials) {
    if (f.unary) check(f, impl, mp, x, 0.0, special);
    else
      for (double y : specials) check(f, impl, mp, x, y, special);
  }
  Rng rng{seed};
  for (long i = 0; i < count; ++i) {
    const Point a = draw(f.name, rng);
    check(f, impl, mp, a.x, a.y, random);
  }
  const long bad = hard.mismatches + special.mismatches + random.mismatches;
  std::printf("%s_%s: %ld hard cases, %ld special, %ld random (seed %llu): %ld mismatches\n", mp ? "mp" : "cr",
              f.name, hard.cases, special.cases, random.cases, static_cast<unsigned long long>(seed), bad);
  return ok && bad == 0;
}

int usage() {
  std::fprintf(stderr, "usage: crmath_check FUNCTION|all COUNT [--mp] [--seed S] [--hard-cases DIR]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string_view name = argv[1];
  char* end = nullptr;
  const long count = std::strtol(argv[2], &end, 10);
  if (*end != '\0' || count < 0) return usage();
  bool mp = false;
  std::uint64_t seed = 1;
  std::string hard_dir = RIVOVUZ_HARD_CASES_DIR;
  for (int i = 3; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--mp") mp = true;
    else if (option == "--seed" && i + 1 < argc) seed = std::strtoull(argv[++i], nullptr, 10);
    else if (option == "--hard-cases" && i + 1 < argc) hard_dir = argv[++i];
    else return usage();
  }
  if (name != "all" && !reference::find(name)) return usage();
  reference::use_binary64_range();
  bool all_ok = true;
  for (std::size_t i = 0; i < std::size(reference::functions); ++i) {
    if (name != "all" && name != reference::functions[i].name) continue;
    all_ok = run(reference::functions[i], implementations[i], mp, count, seed, hard_dir) && all_ok;
  }
  return all_ok ? 0 : 1;
}
