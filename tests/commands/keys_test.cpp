// Key commands: every key in both modes, from the start state and after a result,
// with the text, result_shown and the refresh each one asks for.
#include <gtest/gtest.h>

#include "engine/number.h"
#include "helpers.h"

namespace {

// What one key does in both modes from the start state ("0", result_shown false,
// memory 0) and after "=" has shown "5". A nullptr text is a "Rand" value, checked
// by its range; result_shown is false afterwards from the start state.
struct EveryKeyCase {
  int id;
  Asked asked_from_start;
  Asked asked_after_result;
  const wchar_t* start;
  const wchar_t* start_second;
  const wchar_t* result;
  bool result_shown;
  const wchar_t* result_second;
  bool result_second_shown;
};

constexpr Asked D = Asked::display;
constexpr Asked L = Asked::key_labels;
constexpr Asked N = Asked::nothing;

const EveryKeyCase every_key[] = {
    {key::digit0, D, D, L"0", L"0", L"0", false, L"0", false},
    {key::digit1, D, D, L"1", L"1", L"1", false, L"1", false},
    {key::digit2, D, D, L"2", L"2", L"2", false, L"2", false},
    {key::digit3, D, D, L"3", L"3", L"3", false, L"3", false},
    {key::digit4, D, D, L"4", L"4", L"4", false, L"4", false},
    {key::digit5, D, D, L"5", L"5", L"5", false, L"5", false},
    {key::digit6, D, D, L"6", L"6", L"6", false, L"6", false},
    {key::digit7, D, D, L"7", L"7", L"7", false, L"7", false},
    {key::digit8, D, D, L"8", L"8", L"8", false, L"8", false},
    {key::digit9, D, D, L"9", L"9", L"9", false, L"9", false},
    {key::point, D, D, L"0.", L"0.", L".", false, L".", false},
    {key::plus, D, D, L"0+", L"0+", L"5+", false, L"5+", false},
    {key::minus, D, D, L"0-", L"0-", L"5-", false, L"5-", false},
    {key::times, D, D, L"0*", L"0*", L"5*", false, L"5*", false},
    {key::divide, D, D, L"0/", L"0/", L"5/", false, L"5/", false},
    {key::equals, N, D, L"0", L"0", L"5", true, L"5", true},
    {key::clear, D, D, L"0", L"0", L"0", false, L"0", false},
    {key::back, D, D, L"0", L"0", L"0", false, L"0", false},
    {key::sign, D, D, L"-0", L"-0", L"-5", true, L"-5", true},
    {key::open, D, D, L"(", L"(", L"(", false, L"(", false},
    {key::close, D, D, L"0)", L"0)", L"5)", true, L"5)", true},
    {key::second, L, L, L"0", L"0", L"5", true, L"5", true},
    {key::angle, L, L, L"0", L"0", L"5", true, L"5", true},
    {key::pi, D, D, L"pi", L"pi", L"pi", false, L"pi", false},
    {key::ee, D, D, L"0e", L"0e", L"5e", false, L"5e", false},
    {key::percent, D, D, L"0%", L"0%", L"5%", false, L"5%", false},
    {key::sin, D, D, L"sin(", L"asin(", L"sin(", false, L"asin(", false},
    {key::cos, D, D, L"cos(", L"acos(", L"cos(", false, L"acos(", false},
    {key::tan, D, D, L"tan(", L"atan(", L"tan(", false, L"atan(", false},
    {key::sinh, D, D, L"sinh(", L"asinh(", L"sinh(", false, L"asinh(", false},
    {key::cosh, D, D, L"cosh(", L"acosh(", L"cosh(", false, L"acosh(", false},
    {key::tanh, D, D, L"tanh(", L"atanh(", L"tanh(", false, L"atanh(", false},
    {key::ln, D, D, L"ln(", L"exp(", L"ln(", false, L"exp(", false},
    {key::lg, D, D, L"lg(", L"10^", L"lg(", false, L"10^", false},
    {key::root, D, D, L"sqrt(", L"0^2", L"sqrt(", false, L"5^2", true},
    {key::square, D, D, L"0^2", L"sqrt(", L"5^2", true, L"sqrt(", false},
    {key::cube, D, D, L"0^3", L"0^3", L"5^3", true, L"5^3", true},
    {key::power, D, D, L"0^", L"0^", L"5^", false, L"5^", false},
    {key::ten_power, D, D, L"10^", L"exp(", L"10^", false, L"exp(", false},
    {key::exp, D, D, L"exp(", L"exp(", L"exp(", false, L"exp(", false},
    {key::reciprocal, D, D, L"0^(-1)", L"0^(-1)", L"5^(-1)", true, L"5^(-1)", true},
    {key::nth_root, D, D, L"0^(1/", L"0^(1/", L"5^(1/", false, L"5^(1/", false},
    {key::factorial, D, D, L"0!", L"0!", L"5!", true, L"5!", true},
    {key::mc, D, D, L"0", L"0", L"5", true, L"5", true},
    {key::m_plus, D, D, L"0", L"0", L"5", true, L"5", true},
    {key::m_minus, D, D, L"0", L"0", L"5", true, L"5", true},
    {key::mr, D, D, L"0", L"0", L"0", false, L"0", false},
    {key::rand, D, D, nullptr, nullptr, nullptr, false, nullptr, false},
};

void check_key(int id, bool second, bool result, const wchar_t* text, bool shown, Asked asked) {
  reset_calculator();
  second_mode = second;
  if (result) show_result(L"5");
  run_key_command(id);
  const std::string where = "key " + std::to_string(id) + (second ? " in second mode" : "") +
                            (result ? " after result 5" : " from start");
  if (text) {
    EXPECT_EQ(expression, text) << where;
  } else {
    bool ok = false;
    const double value = read_leading_number(expression, ok);
    EXPECT_TRUE(ok && value >= 0.0 && value <= 1.0) << where;
  }
  EXPECT_EQ(result_shown, shown) << where;
  EXPECT_STREQ(asked_name(asked_since(RefreshLog{})), asked_name(asked)) << where;
}

TEST(Keys, EveryKeyInBothModes) {
  ASSERT_EQ(std::size(every_key), 48u);
  for (int n = 0; n < 48; ++n) {
    const EveryKeyCase& c = every_key[n];
    EXPECT_EQ(c.id, 1001 + n);
    check_key(c.id, false, false, c.start, false, c.asked_from_start);
    check_key(c.id, true, false, c.start_second, false, c.asked_from_start);
    check_key(c.id, false, true, c.result, c.result_shown, c.asked_after_result);
    check_key(c.id, true, true, c.result_second, c.result_second_shown, c.asked_after_result);
  }
}

TEST(Keys, OtherIdsDoNothing) {
  for (int id : {0, 1, 1000, 1049, 1050, 2000, 65535, -1001, 1001 + 65536}) {
    reset_calculator();
    show_result(L"12");
    run_key_command(id);
    EXPECT_EQ(expression, L"12") << id;
    EXPECT_TRUE(result_shown) << id;
    EXPECT_EQ(asked_since(RefreshLog{}), Asked::nothing) << id;
  }
}

TEST(Keys, ModesToggleAndSurvive) {
  reset_calculator();
  run_key_command(key::second);
  EXPECT_TRUE(second_mode);
  run_key_command(key::sin);  // using a second function keeps the mode on
  EXPECT_TRUE(second_mode);
  run_key_command(key::second);
  EXPECT_FALSE(second_mode);
  run_key_command(key::angle);
  EXPECT_FALSE(radian_mode);
  run_key_command(key::clear);
  EXPECT_FALSE(radian_mode);
  run_key_command(key::angle);
  EXPECT_TRUE(radian_mode);
  EXPECT_EQ(refresh_log.key_labels, 4);
}

// Texts before one key, and what the key leaves (result_shown false before and after
// unless the row says otherwise).
struct EditCase {
  const wchar_t* before;
  bool shown_before;
  int id;
  const wchar_t* after;
  bool shown_after;
};

const EditCase edit_cases[] = {
    // Digits replace "0" and both error words, and append otherwise.
    {L"\u9519\u8BEF", false, key::digit7, L"7", false},                 // "错误"
    {L"\u65E0\u7A77\u5927", false, key::digit7, L"7", false},           // "无穷大"
    {L"12", false, key::digit0, L"120", false},
    {L"-0", false, key::digit3, L"-03", false},
    // "(" "π" and the prefix keys replace only "0" and "错误".
    {L"\u9519\u8BEF", false, key::open, L"(", false},
    {L"\u65E0\u7A77\u5927", false, key::open, L"\u65E0\u7A77\u5927(", false},
    {L"\u65E0\u7A77\u5927", false, key::pi, L"\u65E0\u7A77\u5927pi", false},
    {L"\u9519\u8BEF", false, key::sin, L"sin(", false},
    {L"\u65E0\u7A77\u5927", false, key::sin, L"\u65E0\u7A77\u5927sin(", false},
    {L"2*", false, key::sin, L"2*sin(", false},
    {L"2*", false, key::ten_power, L"2*10^", false},
    {L"-0", false, key::root, L"-0sqrt(", false},
    {L"00", false, key::ln, L"00ln(", false},
    // After "错误" is shown.
    {L"\u9519\u8BEF", true, key::digit8, L"8", false},
    {L"\u9519\u8BEF", true, key::open, L"(", false},
    {L"\u9519\u8BEF", true, key::plus, L"\u9519\u8BEF+", false},
    {L"\u9519\u8BEF+", false, key::back, L"\u9519\u8BEF", false},
    {L"\u9519\u8BEF", false, key::back, L"0", false},
    // Decimal point: only when the current number has none yet.
    {L"3.5", false, key::point, L"3.5", false},
    {L"3.5+2", false, key::point, L"3.5+2.", false},
    {L"2e5", false, key::point, L"2e5.", false},
    {L"2.5e3", false, key::point, L"2.5e3", false},
    {L"1.5!", false, key::point, L"1.5!", false},
    {L"1.2.3", false, key::point, L"1.2.3", false},
    {L"1.5*2", false, key::point, L"1.5*2.", false},
    {L"1.5/2", false, key::point, L"1.5/2.", false},
    {L"1.5^2", false, key::point, L"1.5^2.", false},
    {L"1.5%2", false, key::point, L"1.5%2.", false},
    {L"(1.5)", false, key::point, L"(1.5).", false},
    {L"1.5-", false, key::point, L"1.5-.", false},
    {L"", false, key::point, L".", false},
    {L"\u9519\u8BEF", false, key::point, L"\u9519\u8BEF.", false},
    // Backspace key: one code unit, never below "0"; error words and results go whole.
    {L"12", false, key::back, L"1", false},
    {L"1", false, key::back, L"0", false},
    {L"-", false, key::back, L"0", false},
    {L"", false, key::back, L"0", false},
    {L"sin(", false, key::back, L"sin", false},
    {L"\u65E0\u7A77\u5927", false, key::back, L"0", false},
    {L"12", true, key::back, L"0", false},
    // Sign: the whole text, not the last number.
    {L"2-3", false, key::sign, L"-2-3", false},
    {L"-2-3", false, key::sign, L"2-3", false},
    {L"-", false, key::sign, L"", false},
    {L"", false, key::sign, L"-", false},
    {L"\u9519\u8BEF", true, key::sign, L"-\u9519\u8BEF", true},
    // Appending keys take any text as it stands.
    {L"", false, key::close, L")", false},
    {L"\u9519\u8BEF", true, key::factorial, L"\u9519\u8BEF!", true},
    {L"2", false, key::ee, L"2e", false},
    // "AC" keeps nothing of the entry.
    {L"2+sin(", false, key::clear, L"0", false},
    {L"7", true, key::clear, L"0", false},
};

TEST(Keys, EditRules) {
  for (const EditCase& c : edit_cases) {
    reset_calculator();
    expression = c.before;
    result_shown = c.shown_before;
    run_key_command(c.id);
    const std::string where = "key " + std::to_string(c.id) + " on " + testing::PrintToString(std::wstring(c.before));
    EXPECT_EQ(expression, c.after) << where;
    EXPECT_EQ(result_shown, c.shown_after) << where;
    EXPECT_EQ(asked_since(RefreshLog{}), Asked::display) << where;
  }
}

}  // namespace
