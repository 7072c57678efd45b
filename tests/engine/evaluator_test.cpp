// Evaluator cases: operators on the operand stack, factorial, and every failure path.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "engine/crmath/crmath.h"
#include "helpers.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();

struct EvalCase {
  TokenList postfix;
  double value;  // NaN: expects a NaN result with ok true
};

// Results compared bit for bit, so that -0 and 0 differ and NaN matches NaN.
void expect_same(double actual, double expected, const TokenList& postfix) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(actual)) << join(postfix).size() << ": " << testing::PrintToString(join(postfix));
  } else {
    EXPECT_EQ(actual, expected) << testing::PrintToString(join(postfix));
    EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << testing::PrintToString(join(postfix));
  }
}

const EvalCase operator_cases[] = {
    {{L"2", L"3", L"-"}, -1},
    {{L"8", L"2", L"/"}, 4},
    {{L"2", L"3", L"^"}, 8},
    {{L"4", L"0.5", L"^"}, 2},
    {{L"8", L"u-", L"0.5", L"^"}, nan_value},
    {{L"0", L"1", L"u-", L"^"}, inf},
    {{L"5", L"0", L"%"}, nan_value},
    {{L"7", L"3", L"%"}, 1},
    {{L"7", L"u-", L"3", L"%"}, -1},
    {{L"7", L"3", L"u-", L"%"}, 1},
    {{L"5.5", L"2", L"%"}, 1.5},
    {{L"1e308", L"10", L"*"}, inf},
    {{L"1", L"4", L"/"}, 0.25},
    {{L"5", L"0", L"%", L"0", L"^"}, 1},  // the NaN is absorbed by the zero exponent
    {{L"3", L"u-"}, -3},
    {{L"0", L"u-"}, -0.0},
    {{L"0", L"u-", L"u-"}, 0.0},
    {{L"42"}, 42},
    {{L"2", L"3", L"4", L"*", L"+"}, 14},
    {{L"5", L"1e300", L"1e300", L"*", L"%"}, 5},  // finite % infinite is the finite value
    {{L"1e300", L"1e300", L"*", L"2", L"%"}, nan_value},
    {{L"5", L"0", L"%", L"2", L"/"}, nan_value},  // a NaN divisor is divided by
    {{L"2", L"5", L"0", L"%", L"/"}, nan_value},
    {{L"1e308", L"3", L"%"}, 2},  // a quotient of 1023 bits, every one of them kept
    {{L"6", L"u-", L"3", L"%"}, -0.0},  // a zero remainder keeps the dividend's sign
    {{L"0", L"u-", L"5", L"%"}, -0.0},
    {{L"5", L"5", L"u-", L"%"}, 0.0},
    {{L"1", L"0.1", L"%"}, 0.09999999999999995},  // 1 - 9 * (0.1 as stored), exactly
};

const EvalCase factorial_cases[] = {
    {{L"0", L"!"}, 1},
    {{L"1", L"!"}, 1},
    {{L"5", L"!"}, 120},
    {{L"0", L"u-", L"!"}, 1},  // negative zero is integral and not below zero
    {{L"22", L"!"}, 1124000727777607680000.0},
    {{L"170", L"!"}, 7.257415615307994e306},
    {{L"3", L"!", L"!"}, 720},
};

const EvalCase number_token_cases[] = {
    {{L"1.2.3"}, 1.2},
    {{L"12."}, 12},
    {{L".5"}, 0.5},
    {{L"1e"}, 1},
    {{L"2E3"}, 2000},
    {{L"0e5"}, 0},
    {{L"2e+"}, 2},
    {{L"3.14159265358979323846"}, 3.141592653589793},
    {{L"2.71828182845904523536"}, 2.718281828459045},
    {{L"1.7976931348623157e308"}, 1.7976931348623157e308},
    {{L"2.2250738585072014e-308"}, 2.2250738585072014e-308},
};

const TokenList failing_sequences[] = {
    {},
    {L"u-"},
    {L"!"},
    {L"sin"},
    {L"+"},
    {L"1", L"+"},
    {L"1", L"2"},
    {L"5", L"0", L"/"},
    {L"0", L"0", L"/"},
    {L"5", L"0", L"u-", L"/"},
    {L"171", L"!"},
    {L"2.5", L"!"},
    {L"1", L"u-", L"!"},
    {L"5", L"0", L"%", L"!"},        // NaN
    {L"1e300", L"1e300", L"*", L"!"}, // infinity
    {L"4", L"u-", L"sqrt"},
    {L"0", L"lg"},
    {L"0", L"u-", L"lg"},
    {L"1", L"u-", L"ln"},
    {L"."},
    {L"("},
    {L")"},
    {L"x"},
    {L"1e309"},
    {L"1e-310"},
    {L"1.7976931348623158e308"},   // rounds to the largest double but lies above it
    {L"2.2250738585072011e-308"},  // just below the smallest normal double
    {L"4.9406564584124654e-324"},  // the smallest subnormal
    {L"1", L"1e400", L"+"},
    {L"2", L"3", L"+", L"4"},
};

TEST(Evaluator, Operators) {
  for (const EvalCase& c : operator_cases) {
    bool ok = false;
    const double value = evaluate_postfix(c.postfix, ok);
    EXPECT_TRUE(ok) << testing::PrintToString(join(c.postfix));
    expect_same(value, c.value, c.postfix);
  }
}

TEST(Evaluator, Factorial) {
  for (const EvalCase& c : factorial_cases) {
    bool ok = false;
    const double value = evaluate_postfix(c.postfix, ok);
    EXPECT_TRUE(ok) << testing::PrintToString(join(c.postfix));
    expect_same(value, c.value, c.postfix);
  }
}

TEST(Evaluator, NumberTokens) {
  for (const EvalCase& c : number_token_cases) {
    bool ok = false;
    const double value = evaluate_postfix(c.postfix, ok);
    EXPECT_TRUE(ok) << testing::PrintToString(join(c.postfix));
    expect_same(value, c.value, c.postfix);
  }
}

TEST(Evaluator, FailuresGiveZeroAndNotOk) {
  for (const TokenList& postfix : failing_sequences) {
    bool ok = true;
    const double value = evaluate_postfix(postfix, ok);
    EXPECT_FALSE(ok) << testing::PrintToString(join(postfix));
    EXPECT_EQ(value, 0.0) << testing::PrintToString(join(postfix));
    EXPECT_FALSE(std::signbit(value));
  }
}

// Whole texts through the pipeline: the rules of order meet the operators.
TEST(Evaluator, Texts) {
  const struct {
    const wchar_t* text;
    double value;
  } cases[] = {
      {L"-2^2", 4}, {L"2^-2", 0.25}, {L"2^3^2", 512}, {L"8/4/2", 1}, {L"1+2*3", 7},
      {L"(1+2)*3", 9}, {L"5!-3", 117}, {L"2^3!", 64}, {L"-3!", nan_value}, {L"--3", 3},
      {L"0+0", 0}, {L"10^400", inf}, {L"-(10^400)", -inf}, {L"e", 2.718281828459045},
      {L"abs(-2)", 2},  // a name that starts with "a"
  };
  for (const auto& c : cases) {
    bool ok = false;
    const double value = evaluate_text(c.text, ok);
    if (std::isnan(c.value)) {
      // "-3!" is the factorial of -3: a failure, not a NaN.
      EXPECT_FALSE(ok) << testing::PrintToString(std::wstring(c.text));
      continue;
    }
    EXPECT_TRUE(ok) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(value, c.value) << testing::PrintToString(std::wstring(c.text));
  }
}

TEST(Evaluator, TextsThatFail) {
  const wchar_t* const texts[] = {L"2(3)", L"2pi", L"1/0", L".", L"1e400", L"sin-30", L"3 4", L"+"};
  for (const wchar_t* text : texts) {
    bool ok = true;
    evaluate_text(text, ok);
    EXPECT_FALSE(ok) << testing::PrintToString(std::wstring(text));
  }
}

// A million characters of operators and operands run on the heap stacks.
TEST(Evaluator, MillionCharacterExpressions) {
  std::wstring sum = L"1";
  while (sum.size() < 1000000) sum += L"+1";
  bool ok = false;
  EXPECT_EQ(evaluate_text(sum, ok), static_cast<double>(sum.size() / 2 + 1));
  EXPECT_TRUE(ok);

  std::wstring powers = L"1";
  while (powers.size() < 1000000) powers += L"^1";  // right-associative: the stack holds them all
  EXPECT_EQ(evaluate_text(powers, ok), 1.0);
  EXPECT_TRUE(ok);

  std::wstring minus(1000000, L'-');
  minus += L"2";
  EXPECT_EQ(evaluate_text(minus, ok), 2.0);
  EXPECT_TRUE(ok);

  std::wstring digits(1000000, L'9');
  evaluate_text(digits, ok);
  EXPECT_FALSE(ok);  // 10^1000000 is out of range
}

// "%" is cr_fmod: remainders that no double quotient can give, checked against the
// exact remainders (from Python's fractions.Fraction, the value as a hexadecimal float).
struct RemainderRow {
  double x, y, r;
};

const RemainderRow remainder_rows[] = {
    {0x1.1ccf385ebc8ap+1023, 3, 2},                        // 1e308 % 3
    {0x1p+1023, 0x1p-1074, 0},                             // the largest quotient's span
    {0x1.fffffffffffffp+1023, 0x1p-1074, 0},
    {0x1.fffffffffffffp+1023, 0x0.0000000000003p-1022, 0x0.0000000000002p-1022},
    {0x1p+1023, 0x0.0000000000003p-1022, 0x0.0000000000002p-1022},
    {0x1.1ccf385ebc8ap+1023, 0x0.730d67819e8d2p-1022, 0x0.28401cf53d61p-1022},  // 1e308 % 1e-308
    {-0x1.1ccf385ebc8ap+1023, 0x0.0000000000007p-1022, -0x0.0000000000003p-1022},
    {0x0.0000000000007p-1022, 0x0.0000000000002p-1022, 0x0.0000000000001p-1022},  // subnormal by subnormal
    {0x0.fffffffffffffp-1022, 0x0.0000000000003p-1022, 0},
    {0x0.fffffffffffffp-1022, 0x1p-1022, 0x0.fffffffffffffp-1022},  // below the divisor: x itself
    {0x1.0000000000001p-1022, 0x1p-1022, 0x0.0000000000001p-1022},  // normal in, subnormal out
    {0x1.8p-1020, 0x1.0000000000001p-1022, 0x0.ffffffffffffbp-1022},
    {-0x1.7e43c8800759cp+996, 0x1.fffffffffffffp-1000, -0x1.d672fc8791p-1003},
    {0x1.fffffffffffffp+1023, 0x1.0000000000001p+0, 0x1.8p-16},
    {0x1.d6f3454p+26, 0x1p-1060, 0},
    {0x1.999999999999ap-4, 0x1.47ae147ae147bp-7, 0x1p-58},  // 0.1 % 0.01
    {1, 0x1.999999999999ap-4, 0x1.9999999999996p-4},         // 1 % 0.1
    {-0.0, 5, -0.0},                                        // negative zero kept
    {0.0, -5, 0.0},
    {-0.0, inf, -0.0},
    {-6, 3, -0.0},                                          // an exact quotient: x's zero
    {6, -3, 0.0},
    {-5, 5, -0.0},                                          // equal magnitudes
    {5, -5, 0.0},
    {-0x1p-1022, 0x1p-1022, -0.0},
    {0x1p-1074, -0x1p-1074, 0.0},
    {0x1.fffffffffffffp+1023, -0x1.fffffffffffffp+1023, 0.0},
    {5, inf, 5},                                            // an infinite divisor: x
    {-0x1p-1074, -inf, -0x1p-1074},
    {inf, 2, nan_value},                                    // C99's NaN cases
    {-inf, inf, nan_value},
    {2, 0, nan_value},
    {2, -0.0, nan_value},
    {0, 0, nan_value},
    {nan_value, 2, nan_value},
    {2, nan_value, nan_value},
    {nan_value, inf, nan_value},
};

// Bit-exact like expect_same, with the operands in hexadecimal.
void expect_remainder(double x, double y, double r, double expected) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(r)) << std::hexfloat << x << " % " << y << " gave " << r;
  } else {
    EXPECT_EQ(std::memcmp(&r, &expected, sizeof r), 0)
        << std::hexfloat << x << " % " << y << " gave " << r << ", not " << expected;
  }
}

TEST(Evaluator, RemainderIsExact) {
  for (const RemainderRow& row : remainder_rows) expect_remainder(row.x, row.y, cr_fmod(row.x, row.y), row.r);
}

double double_of(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// Random bit patterns (every exponent, both signs, a quarter with a subnormal divisor,
// a quarter with exponents less than 64 apart): the remainder keeps x's sign, stays
// below |y|, and natively equals glibc's fmod, which is exact.
TEST(Evaluator, RemainderProperties) {
  std::mt19937_64 random(15);
  for (int i = 0; i < 200000; ++i) {
    std::uint64_t xb = random();
    std::uint64_t yb = random();
    if (i % 4 == 1) yb &= 0x800FFFFFFFFFFFFF;
    if (i % 4 == 2) {
      std::uint64_t e = ((yb >> 52) & 0x7FF) + random() % 64;
      if (e > 0x7FE) e = 0x7FE;
      xb = (xb & 0x800FFFFFFFFFFFFF) | (e << 52);
    }
    const double x = double_of(xb);
    const double y = double_of(yb);
    const double r = cr_fmod(x, y);
#ifdef __GLIBC__
    expect_remainder(x, y, r, std::fmod(x, y));
#endif
    if (std::isnan(x) || std::isnan(y) || std::isinf(x) || y == 0) {
      EXPECT_TRUE(std::isnan(r)) << std::hexfloat << x << " % " << y;
    } else {
      EXPECT_EQ(std::signbit(r), std::signbit(x)) << std::hexfloat << x << " % " << y;
      EXPECT_TRUE(std::fabs(r) < std::fabs(y) || (std::isinf(y) && r == x)) << std::hexfloat << x << " % " << y;
    }
  }
}

}  // namespace
