// Sequences of keys and typed characters from the start state, among them the six
// everyday sequences that used to give a wrong result.
#include <gtest/gtest.h>

#include "helpers.h"

namespace {

struct SequenceCase {
  std::vector<Step> steps;
  const wchar_t* text;  // expression afterwards
  bool shown;           // result_shown afterwards
};

void check(const SequenceCase& c) {
  reset_calculator();
  for (const Step& s : c.steps) run_step(s);
  EXPECT_EQ(expression, c.text) << steps_name(c.steps);
  EXPECT_EQ(result_shown, c.shown) << steps_name(c.steps);
}

const SequenceCase everyday_cases[] = {
    {{press(key::digit1), press(key::plus), press(key::digit2), press(key::equals)}, L"3", true},
    {{type('1'), type('+'), type('2'), type(13)}, L"3", true},
    {{press(key::open), press(key::digit1), press(key::plus), press(key::digit2), press(key::equals)}, L"3", true},
    {{press(key::digit5), press(key::equals), press(key::square), press(key::equals)}, L"25", true},
    {{press(key::digit5), press(key::equals), press(key::square), press(key::digit3)}, L"3", false},
    {{press(key::digit5), press(key::equals), press(key::plus), press(key::digit1), press(key::equals)}, L"6", true},
    {{press(key::digit1), press(key::divide), press(key::digit0), press(key::equals)}, L"\u9519\u8BEF", true},
    {{press(key::digit1), press(key::divide), press(key::digit0), press(key::equals), press(key::digit8)}, L"8", false},
    {{press(key::pi), press(key::equals)}, L"3.14159265359", true},
    {{press(key::digit2), press(key::cube), press(key::factorial), press(key::equals)}, L"64", true},
    {{press(key::digit4), press(key::reciprocal), press(key::equals)}, L"0.25", true},
    {{press(key::digit9), press(key::sign), press(key::equals)}, L"-9", true},
    {{press(key::digit2), press(key::ten_power), press(key::digit3), press(key::equals)}, L"9261000", true},
    {{press(key::ten_power), press(key::digit3), press(key::equals)}, L"1000", true},
    {{press(key::angle), press(key::cos), press(key::digit6), press(key::digit0), press(key::equals)}, L"0.5", true},
    {{press(key::lg), press(key::digit1), press(key::digit0), press(key::digit0), press(key::equals)}, L"2", true},
    {{press(key::digit1), press(key::point), press(key::digit5), press(key::point), press(key::digit2)}, L"1.52", false},
    {{press(key::mr), press(key::digit5)}, L"5", false},
    {{press(key::digit3), press(key::equals), press(key::equals), press(key::equals)}, L"3", true},
};

// 1. Typed "*" and "/" are shown as "×" and "÷" and still evaluate.
const SequenceCase typed_operator_cases[] = {
    {{type('6'), type('*'), type('7')}, L"6\u00D77", false},
    {{type('6'), type('*'), type('7'), type(13)}, L"42", true},
    {{type('8'), type('/'), type('2'), type(13)}, L"4", true},
    {{type('1'), type('/'), type('0'), type(13)}, L"\u9519\u8BEF", true},
    {{type('('), type('6'), type('*'), type('7'), press(key::equals)}, L"42", true},
    {{type('2'), type('*'), press(key::open), type('3'), type('/'), type('4'), type(13)}, L"1.5", true},
    {{type('2'), type('*'), press(key::digit3), press(key::times), type('4'), type(13)}, L"24", true},
};

// 2. "×" and "÷" end the current number for the "." key.
const SequenceCase point_after_sign_cases[] = {
    {{type('1'), type('.'), type('5'), type('*'), type('2'), press(key::point)}, L"1.5\u00D72.", false},
    {{type('1'), type('.'), type('5'), type('/'), type('2'), press(key::point)}, L"1.5\u00F72.", false},
    {{type('.'), press(key::point)}, L".", false},
    {{press(key::digit1), press(key::point), press(key::plus), press(key::digit2), press(key::point)}, L"1.+2.", false},
    {{press(key::digit1), press(key::plus), press(key::point), press(key::digit5), press(key::point)}, L"1+.5", false},
    {{type('1'), type('.'), type('5'), type('*'), type('2'), press(key::point), press(key::digit5), type(13)},
     L"3.75", true},
    {{type('1'), type('*'), type('2'), type('.'), type('5'), press(key::point)}, L"1\u00D72.5", false},
};

// 3. A prefix key on a blank entry replaces it.
const SequenceCase prefix_cases[] = {
    {{press(key::sin), press(key::digit3), press(key::digit0), press(key::equals)}, L"-0.988031624093", true},
    {{press(key::angle), press(key::sin), press(key::digit3), press(key::digit0), press(key::equals)}, L"0.5", true},
    {{press(key::root), press(key::digit9), press(key::equals)}, L"3", true},
    {{press(key::ln), press(key::digit1), press(key::equals)}, L"0", true},
    {{press(key::exp), press(key::digit0), press(key::equals)}, L"1", true},
    {{press(key::second), press(key::lg), press(key::digit2), press(key::equals)}, L"100", true},
    {{press(key::digit1), press(key::divide), press(key::digit0), press(key::equals), press(key::back),
      press(key::sin)}, L"sin(", false},
    {{press(key::digit2), press(key::sin)}, L"2sin(", false},
};

// 4. Second-function 1035 and 1036 take the step of what they insert.
const SequenceCase swapped_square_cases[] = {
    {{press(key::digit5), press(key::equals), press(key::second), press(key::root)}, L"5^2", true},
    {{press(key::digit5), press(key::equals), press(key::second), press(key::root), press(key::equals)}, L"25", true},
    {{press(key::digit5), press(key::equals), press(key::square), press(key::equals)}, L"25", true},
    {{press(key::second), press(key::square), press(key::digit9), press(key::equals)}, L"3", true},
    {{press(key::digit5), press(key::equals), press(key::second), press(key::square), press(key::digit9),
      press(key::equals)}, L"3", true},
    {{press(key::digit4), press(key::second), press(key::root), press(key::equals)}, L"16", true},
};

// 5. "EE", "%", "y^x" and "ʸ√x" continue from a shown result.
const SequenceCase infix_cases[] = {
    {{press(key::digit5), press(key::equals), press(key::power), press(key::digit2), press(key::equals)}, L"25", true},
    {{press(key::digit5), press(key::equals), press(key::second), press(key::power), press(key::digit2),
      press(key::equals)}, L"25", true},
    {{press(key::digit8), press(key::equals), press(key::nth_root), press(key::digit3), press(key::equals)}, L"2", true},
    {{press(key::digit5), press(key::equals), press(key::ee), press(key::digit2), press(key::equals)}, L"500", true},
    {{press(key::digit7), press(key::equals), press(key::percent), press(key::digit4), press(key::equals)}, L"3", true},
    {{press(key::digit5), press(key::equals), press(key::power)}, L"5^", false},
};

// 6. Typed operators continue from a shown result.
const SequenceCase typed_continue_cases[] = {
    {{type('5'), type('+'), type('3'), type(13), type('*'), type('2'), type(13)}, L"16", true},
    {{type('9'), type(13), type('-'), type('4'), type(13)}, L"5", true},
    {{type('9'), type(13), type('/'), type('3'), type(13)}, L"3", true},
    {{type('9'), type(13), type('%'), type('4'), type(13)}, L"1", true},
    {{type('9'), type(13), type('+'), type('1'), type(13)}, L"10", true},
    {{type('9'), type(13), type('7')}, L"7", false},
    {{type('9'), type(13), type('(')}, L"(", false},
    {{type('9'), type(13), type('.')}, L".", false},
    {{press(key::digit0), press(key::plus), press(key::digit0), press(key::equals), type('+')}, L"0+", false},
    {{type('1'), type('/'), type('0'), type(13), type('+')}, L"\u9519\u8BEF+", false},
};

TEST(Sequences, Everyday) {
  for (const SequenceCase& c : everyday_cases) check(c);
}

TEST(MendedFaults, TypedMultiplyAndDivideEvaluate) {
  for (const SequenceCase& c : typed_operator_cases) check(c);
}

TEST(MendedFaults, TimesAndDivideSignsEndTheNumberForPoint) {
  for (const SequenceCase& c : point_after_sign_cases) check(c);
}

TEST(MendedFaults, PrefixKeysReplaceABlankEntry) {
  for (const SequenceCase& c : prefix_cases) check(c);
}

TEST(MendedFaults, SecondFunctionSquareAndRootTakeTheirOwnStep) {
  for (const SequenceCase& c : swapped_square_cases) check(c);
}

TEST(MendedFaults, InfixKeysContinueFromAResult) {
  for (const SequenceCase& c : infix_cases) check(c);
}

TEST(MendedFaults, TypedOperatorsContinueFromAResult) {
  for (const SequenceCase& c : typed_continue_cases) check(c);
}

}  // namespace
