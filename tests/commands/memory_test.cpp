// Memory keys and "Rand": the leading-number rule, recall texts, and the random draw.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "engine/number.h"
#include "helpers.h"

namespace {

struct LeadingCase {
  const wchar_t* text;
  double added;  // what "m+" adds to memory
};

const LeadingCase leading_cases[] = {
    {L"12+3", 12.0},
    {L"2^10", 2.0},
    {L"-4", -4.0},
    {L"  7.5e1x", 75.0},
    {L"pi", 0.0},
    {L"(2+3)", 0.0},
    {L"\u9519\u8BEF", 0.0},
    {L"\u65E0\u7A77\u5927", 0.0},
    {L".", 0.0},
    {L"", 0.0},
    {L"1e400", 0.0},
    {L"6\u00D77", 6.0},
};

TEST(Memory, AddAndSubtractTheLeadingNumber) {
  for (const LeadingCase& c : leading_cases) {
    reset_calculator();
    memory = 1.0;
    expression = c.text;
    run_key_command(key::m_plus);
    EXPECT_EQ(memory, 1.0 + c.added) << testing::PrintToString(std::wstring(c.text));
    run_key_command(key::m_minus);
    run_key_command(key::m_minus);
    EXPECT_EQ(memory, 1.0 - c.added) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(expression, c.text);
  }
}

TEST(Memory, KeysLeaveAShownResultShown) {
  reset_calculator();
  show_result(L"4");
  for (int id : {key::m_plus, key::m_minus, key::m_plus, key::mc}) {
    run_key_command(id);
    EXPECT_TRUE(result_shown) << id;
  }
  EXPECT_EQ(memory, 0.0);
  EXPECT_EQ(refresh_log.display, 4);
}

struct RecallCase {
  double memory;
  const wchar_t* text;
};

const RecallCase recall_cases[] = {
    {0.0, L"0"},
    {0.1, L"0.1"},
    {1.0 / 3.0, L"0.33333333333333"},
    {-2.5, L"-2.5"},
    {12345678901234.0, L"12345678901234"},
    {123456789012345.0, L"1.2345678901234e+14"},
    {1e20, L"1e+20"},
    {0.00001, L"1e-05"},
    {INFINITY, L"inf"},
    {-INFINITY, L"-inf"},
};

TEST(Memory, RecallWritesFourteenDigits) {
  for (const RecallCase& c : recall_cases) {
    reset_calculator();
    memory = c.memory;
    expression = L"2+";
    run_key_command(key::mr);
    EXPECT_EQ(expression, c.text) << c.memory;
    EXPECT_FALSE(result_shown);
  }
}

TEST(Memory, RecallIsAnEntryThatDigitsExtend) {
  reset_calculator();
  memory = 1.0 / 3.0;
  run_key_command(key::mr);
  run_key_command(key::digit5);
  EXPECT_EQ(expression, L"0.333333333333335");
}

TEST(Memory, OverflowingMemoryRecallsAsInf) {
  reset_calculator();
  expression = L"1e308";
  for (int n = 0; n < 2; ++n) run_key_command(key::m_plus);
  run_key_command(key::mr);
  EXPECT_EQ(expression, L"inf");
  run_key_command(key::equals);
  EXPECT_EQ(expression, error_text);
}

// Number of significant digits in a "Rand" text (digits before any exponent, leading zeros dropped).
int significant_digits(const std::wstring& text) {
  const std::wstring mantissa = text.substr(0, text.find(L'e'));
  const std::size_t first = mantissa.find_first_of(L"123456789");
  if (first == std::wstring::npos) return 1;
  int count = 0;
  for (std::size_t i = first; i < mantissa.size(); ++i)
    if (mantissa[i] >= L'0' && mantissa[i] <= L'9') ++count;
  return count;
}

TEST(Rand, ValuesFromZeroToOneWithSixDigits) {
  std::srand(12345);
  // Enough draws that the largest of the 32768 values (1) turns up: P(missed) < 1e-3.
  constexpr int draws = 240000;
  int buckets[8] = {};
  double largest = 0.0;
  int most_digits = 0;
  for (int n = 0; n < draws; ++n) {
    reset_calculator();
    run_key_command(key::rand);
    bool ok = false;
    const double value = read_leading_number(expression, ok);
    ASSERT_TRUE(ok) << testing::PrintToString(expression);
    ASSERT_GE(value, 0.0);
    ASSERT_LE(value, 1.0);
    ASSERT_LE(significant_digits(expression), 6) << testing::PrintToString(expression);
    most_digits = std::max(most_digits, significant_digits(expression));
    ++buckets[std::min(7, static_cast<int>(value * 8))];
    largest = std::max(largest, value);
  }
  // Uniform draws put about 30000 into each eighth; draws scaled wrongly, or taken
  // from only part of 0..32767, would leave some eighths short or never reach 1.
  for (int count : buckets) {
    EXPECT_GT(count, draws / 8 * 9 / 10);
    EXPECT_LT(count, draws / 8 * 11 / 10);
  }
  EXPECT_EQ(largest, 1.0);
  EXPECT_EQ(most_digits, 6);
}

TEST(Rand, SameSeedSameValues) {
  std::wstring first[5], again[5];
  std::srand(99);
  for (std::wstring& text : first) {
    run_key_command(key::rand);
    text = expression;
  }
  std::srand(99);
  for (std::wstring& text : again) {
    run_key_command(key::rand);
    text = expression;
  }
  for (int n = 0; n < 5; ++n) EXPECT_EQ(first[n], again[n]);
}

TEST(Rand, ReplacesAnEntryAndStartsAfresh) {
  reset_calculator();
  show_result(L"5");
  run_key_command(key::rand);
  EXPECT_FALSE(result_shown);
  reset_calculator();
  expression = L"2+";
  run_key_command(key::rand);
  EXPECT_EQ(expression.find(L'+'), std::wstring::npos) << testing::PrintToString(expression);
}

}  // namespace
