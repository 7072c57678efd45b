// The "=" command: outcomes, closing parentheses, "×" and "÷", and what it leaves alone.
#include <gtest/gtest.h>

#include "engine/postfix.h"
#include "engine/tokenizer.h"
#include "helpers.h"

namespace {

struct EvaluateCase {
  const wchar_t* text;
  const wchar_t* shown;
};

const EvaluateCase outcome_cases[] = {
    {L"(1+2", L"3"},
    {L"((2", L"2"},
    {L"((1)+2", L"3"},
    {L"sin(0", L"0"},
    {L"1+2)", L"\u9519\u8BEF"},
    {L")(", L"\u9519\u8BEF"},
    {L"2(3)", L"\u9519\u8BEF"},
    {L"2pi", L"\u9519\u8BEF"},
    {L"-2^2", L"4"},
    {L"2^-2", L"0.25"},
    {L"2^3^2", L"512"},
    {L"8/4/2", L"1"},
    {L"0+0", L"0"},
    {L"1/3", L"0.333333333333"},
    {L"1e15", L"1e+15"},
    {L"999999999999999", L"999999999999999"},
    {L"10^400", L"\u65E0\u7A77\u5927"},
    {L"-(10^400)", L"\u65E0\u7A77\u5927"},
    {L"1/0", L"\u9519\u8BEF"},
    {L"1e400", L"\u9519\u8BEF"},
    {L".", L"\u9519\u8BEF"},
    {L"2e", L"2"},
    {L"1.2.3", L"1.2"},
    {L"\u9519\u8BEF", L"\u9519\u8BEF"},
    {L"\u65E0\u7A77\u5927", L"\u9519\u8BEF"},
    {L"-", L"\u9519\u8BEF"},
    {L"(", L"\u9519\u8BEF"},
    {L"-0", L"0"},
    // "×" and "÷", as typing puts them, read as "*" and "/".
    {L"6\u00D77", L"42"},
    {L"8\u00F72", L"4"},
    {L"1\u00F70", L"\u9519\u8BEF"},
    {L"(6\u00D77", L"42"},
    {L"2\u00D7(3\u00F74", L"1.5"},
    {L"2\u00D7\u00D73", L"\u9519\u8BEF"},
    {L"\u00D7", L"\u9519\u8BEF"},
};

TEST(Evaluate, Outcomes) {
  for (const EvaluateCase& c : outcome_cases) {
    reset_calculator();
    expression = c.text;
    evaluate_command();
    const std::string where = testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(expression, c.shown) << where;
    EXPECT_TRUE(result_shown) << where;
    EXPECT_EQ(asked_since(RefreshLog{}), Asked::display) << where;
  }
}

TEST(Evaluate, BlankEntryDoesNothing) {
  for (const wchar_t* text : {L"0", L""}) {
    for (bool shown : {false, true}) {
      reset_calculator();
      expression = text;
      result_shown = shown;
      evaluate_command();
      EXPECT_EQ(expression, text);
      EXPECT_EQ(result_shown, shown);
      EXPECT_EQ(asked_since(RefreshLog{}), Asked::nothing);
    }
  }
}

TEST(Evaluate, ResultsEvaluateToThemselves) {
  for (const wchar_t* text : {L"-5", L"0.333333333333", L"1e+15", L"1.23456789012e+17", L"2.5e-10", L"-0.5"}) {
    reset_calculator();
    expression = text;
    evaluate_command();
    EXPECT_EQ(expression, text);
  }
}

TEST(Evaluate, TrigonometryFollowsTheAngleMode) {
  reset_calculator();
  expression = L"sin(30";
  evaluate_command();
  EXPECT_EQ(expression, L"-0.988031624093");
  radian_mode = false;
  expression = L"sin(30";
  evaluate_command();
  EXPECT_EQ(expression, L"0.5");
}

TEST(Evaluate, FailuresKeepMemoryAndModes) {
  reset_calculator();
  memory = 3.5;
  second_mode = true;
  radian_mode = false;
  expression = L"1/0";
  evaluate_command();
  EXPECT_EQ(expression, error_text);
  EXPECT_EQ(memory, 3.5);
  EXPECT_TRUE(second_mode);
  EXPECT_FALSE(radian_mode);
}

// The engine's own stages still know only the ASCII operators.
TEST(Evaluate, EngineStillRejectsTimesAndDivideSigns) {
  for (const wchar_t* text : {L"6\u00D77", L"8\u00F72"}) {
    bool ok = true;
    const TokenList postfix = to_postfix(tokenize(text), ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(postfix.empty());
  }
}

TEST(Evaluate, DisplayKeepsTheSignsUntilEvaluated) {
  reset_calculator();
  expression = L"6\u00D7(7";
  run_key_command(key::m_plus);  // reads 6, does not evaluate
  EXPECT_EQ(expression, L"6\u00D7(7");
  EXPECT_EQ(memory, 6.0);
}

}  // namespace
