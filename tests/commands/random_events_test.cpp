// 100,000 random keys and typed characters: no crash, exactly one refresh or none per
// event, and every "=" leaves a number text that evaluates to itself, or an error word.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include "engine/tokenizer.h"
#include "helpers.h"

namespace {

// Typed characters to draw from: the accepted ones, Enter, Escape, Backspace, and
// some that must be ignored.
const wchar_t typed_pool[] = L"0123456789+-*/%()." L"\r\x1B\b" L"^!=,a \u00D7\u00F7\u9519";

bool is_number_text(const std::wstring& text) {
  const TokenList tokens = tokenize(text);
  std::size_t first = 0;
  if (tokens.size() == 2 && tokens[0] == L"-") first = 1;
  else if (tokens.size() != 1) return false;
  const Token& number = tokens[first];
  return !number.empty() && number[0] >= L'0' && number[0] <= L'9';
}

bool same_double(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(RandomEvents, StateStaysConsistent) {
  reset_calculator();
  std::srand(2024);
  std::mt19937 generator(20240601);
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_int_distribution<int> id(999, 1050);
  std::uniform_int_distribution<std::size_t> typed(0, std::size(typed_pool) - 2);
  int evaluations = 0;

  for (int n = 0; n < 100000; ++n) {
    const Step step = kind(generator) < 7 ? press(id(generator)) : type(typed_pool[typed(generator)]);
    const std::wstring before = expression;
    const bool shown_before = result_shown;
    const bool second_before = second_mode;
    const bool radian_before = radian_mode;
    const double memory_before = memory;
    const RefreshLog log_before = refresh_log;

    run_step(step);

    const std::wstring where = L"event " + std::to_wstring(n) + L": " + step_name(step) +
                               L" on \"" + before + L"\"";
    const Asked asked = asked_since(log_before);
    ASSERT_NE(asked, Asked::several) << where;
    const bool is_key = !step.typed && step.value >= 1001 && step.value <= 1048;
    if (!step.typed && !is_key) {
      ASSERT_EQ(asked, Asked::nothing) << where;
      ASSERT_EQ(expression, before) << where;
    }
    // Each mode changes only through its own key, memory only through its three.
    ASSERT_EQ(second_mode != second_before, step.value == key::second && !step.typed) << where;
    ASSERT_EQ(radian_mode != radian_before, step.value == key::angle && !step.typed) << where;
    const bool memory_key = !step.typed && step.value >= key::mc && step.value <= key::m_minus;
    if (!memory_key) {
      ASSERT_TRUE(same_double(memory, memory_before)) << where;
    }
    // result_shown is only ever set by "=".
    const bool equals = (step.typed && step.value == 13) || (!step.typed && step.value == key::equals);
    if (result_shown && !shown_before) {
      ASSERT_TRUE(equals) << where;
    }

    if (equals && before != L"0" && !before.empty()) {
      ++evaluations;
      ASSERT_TRUE(result_shown) << where;
      ASSERT_EQ(asked, Asked::display) << where;
      const bool error = expression == error_text || expression == infinity_text;
      ASSERT_TRUE(error || is_number_text(expression)) << where << L" gave \"" << expression << L"\"";
      if (!error && expression != L"0") {
        const std::wstring result = expression;
        evaluate_command();
        ASSERT_EQ(expression, result) << where;
      }
    }
  }
  EXPECT_GT(evaluations, 1000);
}

}  // namespace
