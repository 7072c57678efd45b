// The published hard-to-round cases of every correctly rounded function, with MPFR's results, on every build.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/crmath/crmath.h"

namespace {

struct HardCase {
  const char* function;
  std::uint64_t x, y, expected;  // bits; y only for pow
};

// Written by make_hard_case_table (tests/engine/mpfr) from tests/engine/hard_cases.
const HardCase hard_cases[] = {
#include "tests/engine/hard_case_table.inc"
};

// Parity: f(-x) = -f(x) (odd) or f(x) (even); the others have no symmetry to check.
enum class Parity { odd, even, none };

struct Entry {
  const char* name;
  double (*f)(double);
  Parity parity;
};

const Entry entries[] = {
    {"sin", cr_sin, Parity::odd},       {"cos", cr_cos, Parity::even},       {"tan", cr_tan, Parity::odd},
    {"asin", cr_asin, Parity::odd},     {"acos", cr_acos, Parity::none},     {"atan", cr_atan, Parity::odd},
    {"sinh", cr_sinh, Parity::odd},     {"cosh", cr_cosh, Parity::even},     {"tanh", cr_tanh, Parity::odd},
    {"asinh", cr_asinh, Parity::odd},   {"acosh", cr_acosh, Parity::none},   {"atanh", cr_atanh, Parity::odd},
    {"cbrt", cr_cbrt, Parity::odd},     {"log10", cr_log10, Parity::none},   {"log", cr_log, Parity::none},
    {"exp", cr_exp, Parity::none},
};

double of_bits(std::uint64_t u) {
  double x;
  std::memcpy(&x, &u, sizeof x);
  return x;
}

std::uint64_t bits(double x) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}

bool is_nan(std::uint64_t u) { return (u & 0x7FFFFFFFFFFFFFFF) > 0x7FF0000000000000; }

// Equal bits, every NaN equal to every NaN; a failure names the case in %a.
void expect_same(const char* name, double x, double y, std::uint64_t got, std::uint64_t expected) {
  if (got == expected || (is_nan(got) && is_nan(expected))) return;
  char text[200];
  std::snprintf(text, sizeof text, "%s(%a, %a): got %a, expected %a", name, x, y, of_bits(got), of_bits(expected));
  ADD_FAILURE() << text;
}

const Entry* entry(const std::string& name) {
  for (const Entry& e : entries)
    if (name == e.name) return &e;
  return nullptr;
}

TEST(CrmathHardCases, EveryFunctionGivesMpfrsResult) {
  for (const HardCase& c : hard_cases) {
    const double x = of_bits(c.x), y = of_bits(c.y);
    if (std::string(c.function) == "pow") {
      expect_same("pow", x, y, bits(cr_pow(x, y)), c.expected);
      continue;
    }
    const Entry* e = entry(c.function);
    ASSERT_NE(e, nullptr) << c.function;
    expect_same(e->name, x, 0.0, bits(e->f(x)), c.expected);
    // The mirrored argument, where symmetry gives its result exactly.
    if (e->parity == Parity::none) continue;
    const std::uint64_t mirrored = e->parity == Parity::odd ? c.expected ^ 0x8000000000000000 : c.expected;
    expect_same(e->name, -x, 0.0, bits(e->f(-x)), mirrored);
  }
}

// The table holds at least the generator's 300 rows for every function, so none is
// left out unnoticed.
TEST(CrmathHardCases, TableCoversEveryFunction) {
  for (const char* name : {"sin", "cos", "tan", "asin", "acos", "atan", "sinh", "cosh", "tanh", "asinh", "acosh",
                           "atanh", "cbrt", "log10", "log", "exp", "pow"}) {
    int rows = 0;
    for (const HardCase& c : hard_cases) rows += std::string(c.function) == name ? 1 : 0;
    EXPECT_GE(rows, 300) << name;
  }
}

}  // namespace
