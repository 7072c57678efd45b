// Keyboard input: the typed-character rules, and that every other code unit is ignored.
#include <gtest/gtest.h>

#include "helpers.h"

namespace {

struct TypedCase {
  const wchar_t* before;
  bool shown_before;
  wchar_t code;
  const wchar_t* after;
  bool shown_after;
  Asked asked;
};

constexpr Asked display = Asked::display;
constexpr Asked nothing = Asked::nothing;

const TypedCase typed_cases[] = {
    // From the start state.
    {L"0", false, 8, L"0", false, display},
    {L"0", false, 27, L"0", false, display},
    {L"0", false, '7', L"7", false, display},
    {L"0", false, '.', L".", false, display},
    {L"0", false, '-', L"-", false, display},
    {L"0", false, '%', L"%", false, display},
    {L"0", false, '+', L"+", false, display},
    {L"0", false, '(', L"(", false, display},
    {L"0", false, ')', L")", false, display},
    {L"0", false, '*', L"\u00D7", false, display},
    {L"0", false, '/', L"\u00F7", false, display},
    {L"0", false, 13, L"0", false, nothing},
    {L"", false, 13, L"", false, nothing},
    // Replacing and appending.
    {L"\u9519\u8BEF", false, '(', L"(", false, display},
    {L"\u9519\u8BEF", false, '+', L"+", false, display},
    {L"\u65E0\u7A77\u5927", false, '7', L"\u65E0\u7A77\u59277", false, display},
    {L"3.5", false, '.', L"3.5.", false, display},
    {L"12", false, '*', L"12\u00D7", false, display},
    {L"12", false, '/', L"12\u00F7", false, display},
    {L"12", false, '0', L"120", false, display},
    {L"-0", false, '5', L"-05", false, display},
    // Keyboard backspace: one code unit, never below "0", no look at the error words.
    {L"12", false, 8, L"1", false, display},
    {L"1", false, 8, L"0", false, display},
    {L"", false, 8, L"0", false, display},
    {L"\u9519\u8BEF", false, 8, L"\u9519", false, display},
    {L"6\u00D7", false, 8, L"6", false, display},
    {L"2+sin(", false, 27, L"0", false, display},
    // After "=" has shown a result: operators carry on, everything else starts afresh.
    {L"5", true, '+', L"5+", false, display},
    {L"5", true, '-', L"5-", false, display},
    {L"5", true, '*', L"5\u00D7", false, display},
    {L"5", true, '/', L"5\u00F7", false, display},
    {L"5", true, '%', L"5%", false, display},
    {L"\u9519\u8BEF", true, '+', L"\u9519\u8BEF+", false, display},
    {L"0", true, '-', L"0-", false, display},
    {L"5", true, '7', L"7", false, display},
    {L"5", true, '(', L"(", false, display},
    {L")", true, ')', L")", false, display},
    {L"5", true, '.', L".", false, display},
    {L"5", true, 8, L"0", false, display},
    {L"5", true, 27, L"0", false, display},
    {L"5", true, 13, L"5", true, display},
    {L"-5", true, 13, L"-5", true, display},
};

TEST(Typing, CharacterRules) {
  for (const TypedCase& c : typed_cases) {
    reset_calculator();
    expression = c.before;
    result_shown = c.shown_before;
    handle_typed_char(c.code);
    const std::string where = "code " + std::to_string(static_cast<int>(c.code)) + " on " +
                              testing::PrintToString(std::wstring(c.before)) +
                              (c.shown_before ? " (result)" : "");
    EXPECT_EQ(expression, c.after) << where;
    EXPECT_EQ(result_shown, c.shown_after) << where;
    EXPECT_STREQ(asked_name(asked_since(RefreshLog{})), asked_name(c.asked)) << where;
  }
}

// The eighteen inserted characters, written out here independently of the mask.
bool is_typed_insertion(int code) {
  for (wchar_t c : std::wstring(L"0123456789+-*/%().")) {
    if (code == c) return true;
  }
  return false;
}

TEST(Typing, EveryOtherCodeUnitIsIgnored) {
  int accepted = 0;
  for (int code = 0; code <= 0xFFFF; ++code) {
    if (code == 8 || code == 13 || code == 27) continue;
    for (bool shown : {false, true}) {
      reset_calculator();
      expression = L"12";
      result_shown = shown;
      handle_typed_char(static_cast<wchar_t>(code));
      if (is_typed_insertion(code)) {
        if (!shown) ++accepted;
        EXPECT_FALSE(result_shown) << code;
        EXPECT_EQ(asked_since(RefreshLog{}), Asked::display) << code;
      } else {
        ASSERT_EQ(expression, L"12") << code;
        ASSERT_EQ(result_shown, shown) << code;
        ASSERT_EQ(asked_since(RefreshLog{}), Asked::nothing) << code;
      }
    }
  }
  EXPECT_EQ(accepted, 18);
}

TEST(Typing, LeavesModesAndMemoryAlone) {
  reset_calculator();
  second_mode = true;
  radian_mode = false;
  memory = 7.0;
  for (wchar_t c : std::wstring(L"1+2\r\x1B" L"3*45\b\r")) handle_typed_char(c);
  EXPECT_TRUE(second_mode);
  EXPECT_FALSE(radian_mode);
  EXPECT_EQ(memory, 7.0);
  EXPECT_EQ(expression, L"12");  // "3×45", Backspace, Enter
  EXPECT_TRUE(result_shown);
}

}  // namespace
