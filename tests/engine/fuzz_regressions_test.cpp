// Inputs that the fuzzers found faults with, kept so that the faults stay fixed.
#include <gtest/gtest.h>

#include <string>

#include "helpers.h"

namespace {

struct RegressionCase {
  const wchar_t* text;
  double value;
};

// fuzz_keys: -1 to a power of 2^996 or more went through log |-1| = 0 times the
// power, whose Dekker split overflowed; the NaN then met a float-to-int conversion
// (undefined behaviour) and "=" showed "错误" where (-1)^(even) is 1.
const RegressionCase minus_one_to_huge_powers[] = {
    {L"(-1)^(2^1000)", 1},
    {L"(-1)^(-(2^1000))", 1},
    {L"(-1)^(170!)", 1},
    {L"(-1)^1e308", 1},                 // every double from 2^53 up is even
    {L"(-1)^(-1e308)", 1},
    {L"(-1)^(2^52+1)", -1},             // odd, and still exact
    {L"(-1)^(2^1000)*3", 3},
    {L"1^(2^1000)", 1},
};

TEST(FuzzRegressions, MinusOneToHugePowers) {
  for (const RegressionCase& c : minus_one_to_huge_powers) {
    bool ok = false;
    const double value = evaluate_text(c.text, ok);
    EXPECT_TRUE(ok) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(value, c.value) << testing::PrintToString(std::wstring(c.text));
  }
}

}  // namespace
