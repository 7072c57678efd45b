// Event sequences that the fuzzers found faults with, kept so that the faults stay fixed.
#include <gtest/gtest.h>

#include "helpers.h"

namespace {

struct RegressionCase {
  const char* found;  // the fuzz input, as kept in fuzz/corpus
  std::vector<Step> steps;
  const wchar_t* text;  // expression afterwards
  bool shown;           // result_shown afterwards
};

const RegressionCase regression_cases[] = {
    // "0^(-1)^(-1)^(-1)!170": on the way to "five values, three operators" the
    // evaluator raised -1 to 170!, which overflowed inside pow (undefined behaviour).
    {"keys/regression_pow_minus_one_huge",
     {press(key::reciprocal), press(key::reciprocal), press(key::reciprocal),
      press(key::factorial), press(key::digit1), type('7'), type('0'), press(key::equals)},
     L"\u9519\u8BEF", true},  // "错误"
    // The same power where it decides the result: (-1)^(2^1000) is 1.
    {"keys/regression_pow_minus_one_huge",
     {press(key::open), press(key::minus), press(key::digit1), press(key::close),
      press(key::power), press(key::open), press(key::digit2), press(key::power),
      press(key::digit1), press(key::digit0), press(key::digit0), press(key::digit0),
      press(key::close), press(key::equals)},
     L"1", true},
    // A result below the smallest normal double shows its digits, but the number
    // reader rejects that range (as std::stod does), so "=" on it shows "错误".
    {"evaluate/regression_subnormal_result",
     {press(key::exp), press(key::minus), press(key::digit7), press(key::digit1),
      press(key::digit0), press(key::equals)},
     L"4.47628622568e-309", true},
    {"evaluate/regression_subnormal_result",
     {press(key::exp), press(key::minus), press(key::digit7), press(key::digit1),
      press(key::digit0), press(key::equals), press(key::equals)},
     L"\u9519\u8BEF", true},  // "错误"
    // Just above the range, the text reads back and "=" keeps it.
    {"evaluate/regression_subnormal_result",
     {press(key::exp), press(key::minus), press(key::digit7), press(key::digit0),
      press(key::digit0), press(key::equals), press(key::equals)},
     L"9.85967654376e-305", true},
};

TEST(FuzzRegressions, Sequences) {
  for (const RegressionCase& c : regression_cases) {
    reset_calculator();
    for (const Step& s : c.steps) run_step(s);
    EXPECT_EQ(expression, c.text) << c.found << ": " << testing::PrintToString(steps_name(c.steps));
    EXPECT_EQ(result_shown, c.shown) << c.found;
  }
}

}  // namespace
