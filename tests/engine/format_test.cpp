// Result formatting: the display texts, the %g texts, and the read-back property.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "engine/format.h"
#include "helpers.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
// Not std::nan(""): GCC folds it to +NaN, while with Clang it is MinGW-w64's nan(),
// which returns the x86 default NaN, whose sign bit is set.
constexpr double quiet_nan = std::numeric_limits<double>::quiet_NaN();

struct FormatCase {
  double value;
  const wchar_t* text;
};

const FormatCase result_cases[] = {
    {0.1 + 0.2, L"0.3"},
    {1.0 / 3, L"0.333333333333"},
    {2.0 / 3, L"0.666666666667"},
    {3.141592653589793, L"3.14159265359"},
    {1.4142135623730951, L"1.41421356237"},
    {-0.5, L"-0.5"},
    {42, L"42"},
    {-7, L"-7"},
    {-0.0, L"0"},
    {0, L"0"},
    {999999999999999, L"999999999999999"},
    {-999999999999999, L"-999999999999999"},
    {1e15, L"1e+15"},
    {-1e15, L"-1e+15"},
    {4.5e15, L"4.5e+15"},
    {123456789012345678.0, L"1.23456789012e+17"},
    {1.5e20, L"1.5e+20"},
    {1e100, L"1e+100"},
    {1234567.891, L"1234567.891"},
    {123456.0000001, L"123456"},
    {1000000000000.5, L"1e+12"},
    {0.0001, L"0.0001"},
    {0.00001, L"1e-05"},
    {2.5e-10, L"2.5e-10"},
    {2.9999999999999996, L"3"},
    {0.49999999999999994, L"0.5"},
    {1.7976931348623157e308, L"1.79769313486e+308"},
    {2.2250738585072014e-308, L"2.22507385851e-308"},
    {4.9406564584124654e-324, L"4.94065645841e-324"},
    {7.257415615307994e306, L"7.25741561531e+306"},
    {1.633123935319537e16, L"1.63312393532e+16"},
    {99999999999.95, L"99999999999.9"},  // 12 digits and no more: the text is correctly rounded
    {999999999999.4, L"999999999999"},
    {999999999999.5, L"1e+12"},  // an exact tie goes to the even neighbour
    {999999999999.95, L"1e+12"},
    {0.000123456789012345, L"0.000123456789012"},
    {5e-324 * 3, L"1.48219693752e-323"},
};

TEST(Format, ResultTexts) {
  for (const FormatCase& c : result_cases)
    EXPECT_EQ(format_result(c.value), c.text) << std::to_string(c.value);
}

TEST(Format, ErrorWords) {
  EXPECT_EQ(format_result(std::nan("")), L"\u9519\u8BEF");
  EXPECT_EQ(format_result(-std::nan("")), L"\u9519\u8BEF");
  EXPECT_EQ(format_result(inf), L"\u65E0\u7A77\u5927");
  EXPECT_EQ(format_result(-inf), L"\u65E0\u7A77\u5927");
}

// The %.14g and %.6g texts that memory recall and Rand show.
TEST(Format, GeneralNotation) {
  const struct {
    double value;
    int precision;
    const wchar_t* text;
  } cases[] = {
      {0, 14, L"0"},
      {0.1, 14, L"0.1"},
      {1.0 / 3, 14, L"0.33333333333333"},
      {-2.5, 14, L"-2.5"},
      {12345678901234, 14, L"12345678901234"},
      {123456789012345, 14, L"1.2345678901234e+14"},
      {1e20, 14, L"1e+20"},
      {0.00001, 14, L"1e-05"},
      {-0.0, 14, L"-0"},
      {inf, 14, L"inf"},
      {-inf, 14, L"-inf"},
      {0.0, 6, L"0"},
      {1.0, 6, L"1"},
      {16384 / 32767.0, 6, L"0.500015"},
      {1 / 32767.0, 6, L"3.05185e-05"},
      {123456.5, 6, L"123456"},  // exact tie, to even
      {123457.5, 6, L"123458"},
      {1234567, 6, L"1.23457e+06"},
      {2.5, 1, L"2"},    // ties to even, as a correctly rounded printf does
      {3.5, 1, L"4"},
      {1e-5, 0, L"1e-05"},  // precision 0 counts as 1
      {quiet_nan, 14, L"nan"},
      {-quiet_nan, 14, L"-nan"},  // the sign shows, as 0/0 gives on x86
  };
  for (const auto& c : cases)
    EXPECT_EQ(format_general(c.value, c.precision), c.text) << c.value << " %." << c.precision << "g";
}

// Every zero or normal double formats to one number token (after an optional "-")
// that reads back to a value with the same text. One family cannot: a fraction at
// or above 1e12 shows in exponent form ("1e+12"), which reads back as an integer
// below 1e15 and so shows with all its digits; that text is then a fixed point.
TEST(Format, TextsReadBackToThemselves) {
  std::mt19937_64 random(20261208);
  int checked = 0;
  for (int round = 0; round < 300000; ++round) {
    double x;
    if (round % 3 == 0) {
      const std::uint64_t bits = random();
      std::memcpy(&x, &bits, sizeof x);
    } else if (round % 3 == 1) {
      x = static_cast<double>(static_cast<std::int64_t>(random() >> (random() % 64))) /
          std::pow(10.0, static_cast<double>(random() % 20));
    } else {
      x = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 200) - 150);
    }
    if (!(x == 0 || std::isnormal(x))) continue;
    ++checked;
    const std::wstring text = format_result(x);
    std::wstring number = text;
    if (!number.empty() && number[0] == L'-') number.erase(0, 1);
    const TokenList tokens = tokenize(number);
    ASSERT_EQ(tokens.size(), 1u) << testing::PrintToString(text);
    ASSERT_EQ(tokens[0], number);
    bool ok = false;
    const double back = evaluate_text(text, ok);
    ASSERT_TRUE(ok) << testing::PrintToString(text);
    const std::wstring again = format_result(back);
    if (again != text) {
      ASSERT_TRUE(x != std::floor(x) && std::fabs(back) >= 1e12 && std::fabs(back) < 1e15 &&
                  back == std::floor(back))
          << x << " " << testing::PrintToString(text) << " " << testing::PrintToString(again);
      EXPECT_EQ(evaluate_text(again, ok), back);
      EXPECT_EQ(format_result(evaluate_text(again, ok)), again);
    }
  }
  EXPECT_GT(checked, 250000);
}

// eval --full's texts: the fewest digits that read back exactly, in the shorter of the
// fixed and exponent forms; the error words as on the display.
const FormatCase full_cases[] = {
    {0.1 + 0.2, L"0.30000000000000004"},
    {1.0 / 3, L"0.3333333333333333"},
    {0.49999999999999994, L"0.49999999999999994"},
    {42, L"42"},
    {-0.0, L"-0"},
    {0, L"0"},
    {1e15, L"1e+15"},
    {123456789012, L"123456789012"},
    {1.7976931348623157e308, L"1.7976931348623157e+308"},
    {2.2250738585072014e-308, L"2.2250738585072014e-308"},
    {4.9406564584124654e-324, L"5e-324"},
    {0.0001, L"1e-04"},  // shorter than 0.0001
    {0.001, L"0.001"},
    {-1.5e-7, L"-1.5e-07"},
    {7.257415615307994e306, L"7.257415615307994e+306"},
    {inf, L"\u65E0\u7A77\u5927"},
    {-inf, L"\u65E0\u7A77\u5927"},
    {quiet_nan, L"\u9519\u8BEF"},
    {-quiet_nan, L"\u9519\u8BEF"},
};

TEST(Format, FullTexts) {
  for (const FormatCase& c : full_cases)
    EXPECT_EQ(format_full(c.value), c.text) << std::hexfloat << c.value;
}

// Every normal double's full text reads back through the engine to the same bits, and
// one significant digit fewer (the correctly rounded %g text) does not.
TEST(Format, FullTextsReadBackExactly) {
  std::mt19937_64 random(15);
  for (int round = 0; round < 100000; ++round) {
    const std::uint64_t bits = random();
    double x;
    std::memcpy(&x, &bits, sizeof x);
    if (!std::isnormal(x)) continue;
    const std::wstring text = format_full(x);
    bool ok = false;
    const double back = evaluate_text(text, ok);
    ASSERT_TRUE(ok && std::memcmp(&back, &x, sizeof x) == 0) << std::hexfloat << x;
    // Significant digits from the first nonzero one. An integer text ("1200", or
    // 2^64's 20 digits) has all its digits, being shorter than the exponent form.
    const std::wstring mantissa = text.substr(0, text.find(L'e'));
    if (text.find_first_of(L".e") == std::wstring::npos) continue;
    int digits = 0;
    bool leading = true;
    for (wchar_t c : mantissa) {
      if (c >= L'1' && c <= L'9') leading = false;
      if (c >= L'0' && c <= L'9' && !leading) ++digits;
    }
    if (digits > 1) {
      const double shorter = evaluate_text(format_general(x, digits - 1), ok);
      EXPECT_FALSE(ok && shorter == x) << std::hexfloat << x << " " << testing::PrintToString(text);
    }
  }
}

}  // namespace
