// Evaluator cases: operators on the operand stack, factorial, and every failure path.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

}  // namespace
