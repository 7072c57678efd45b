// The leading-number reader: the std::stod rule, made the same on every runtime.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/number.h"

namespace {

struct NumberCase {
  const wchar_t* text;
  double value;
};

const NumberCase readable[] = {
    {L"42", 42},
    {L"12+3", 12},
    {L"2^10", 2},
    {L"-4", -4},
    {L"+4", 4},
    {L"  \t7", 7},
    {L"1.2.3", 1.2},
    {L"5.", 5},
    {L".25", 0.25},
    {L"1e", 1},
    {L"1e+", 1},
    {L"2E3", 2000},
    {L"2e-3x", 0.002},
    {L"0e5", 0},
    {L"0e99999999999999999999", 0},
    {L"0.1", 0.1},
    {L"0.30000000000000004", 0.30000000000000004},
    {L"9007199254740993", 9007199254740992},  // a tie, rounded to even
    {L"000000000001", 1},
    {L"0.000000000001e12", 1},
    {L"1000000000000000000000000e-24", 1},
    {L"123456789012345678901234567890", 1.2345678901234568e29},
    {L"2.2250738585072014e-308", 2.2250738585072014e-308},
    {L"1.7976931348623157e308", 1.7976931348623157e308},
    {L"179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368", 1.7976931348623157e308},
    // The smallest normal double's exact digits: the lowest number that is read.
    {L"2.2250738585072013830902327173324040642192159804623318305533274168872044348139181958542831"
     L"590125110205640673397310358110051524341615534601088560123853777188211307779935320023304796"
     L"101474425836360719215650469425037342083752508066506166581589487204911799685916396485006359"
     L"087701183048747997808877537499494515804516050509153998565824708186451135379358049921159810"
     L"857660519924333521143523901487956996095912888916029926415110634663133936634775865130293717"
     L"620473256317814856643508721228286376420448468114076139114770628016898532441100241614474216"
     L"185671661505401542850847167529019031613227788967297073731233340869889831750678388469260927"
     L"73977972858659654941091369095406136467568702398678315290680984617210924625396728515625e-30"
     L"8",
     0x1p-1022},
    {L"-0", -0.0},
    {L"-1e300", -1e300},  // a negative number past the short path
};

const wchar_t* const unreadable[] = {
    L"", L" ", L".", L"-", L"+", L"-.", L"e5", L"pi", L"(2+3)", L"inf", L"infinity", L"nan",
    L"NAN", L"\u9519\u8BEF", L"\u65E0\u7A77\u5927", L"1e309",
    L"-1e309", L"1e-310", L"1e-99999999999999999999", L"1.7976931348623158e308",
    L"179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858369",
    L"2.2250738585072013e-308", L"\uFF11",  // fullwidth one
};

TEST(Number, ReadsTheLeadingNumber) {
  for (const NumberCase& c : readable) {
    bool ok = false;
    const double value = read_leading_number(c.text, ok);
    EXPECT_TRUE(ok) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(value, c.value) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << testing::PrintToString(std::wstring(c.text));
  }
}

TEST(Number, FailsWithZero) {
  for (const wchar_t* text : unreadable) {
    bool ok = true;
    EXPECT_EQ(read_leading_number(text, ok), 0.0) << testing::PrintToString(std::wstring(text));
    EXPECT_FALSE(ok) << testing::PrintToString(std::wstring(text));
  }
}

// Hexadecimal is not a number here: "0x10" reads as the leading "0".
TEST(Number, NoHexadecimal) {
  bool ok = false;
  EXPECT_EQ(read_leading_number(L"0x10", ok), 0.0);
  EXPECT_TRUE(ok);
  EXPECT_EQ(read_leading_number(L"0x1p3", ok), 0.0);
  EXPECT_TRUE(ok);
}

// More digits than any double needs still round correctly and judge the range exactly.
TEST(Number, VeryLongDigitStrings) {
  bool ok = false;
  // 0.1 followed by 2000 zeros and a 1: just above 0.1, still rounds to 0.1.
  std::wstring text = L"0.1" + std::wstring(2000, L'0') + L"1";
  EXPECT_EQ(read_leading_number(text, ok), 0.1);
  EXPECT_TRUE(ok);
  // The largest double's exact digits, then a nonzero digit far beyond: above it.
  std::wstring above =
      L"179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368." +
      std::wstring(1500, L'0') + L"1";
  read_leading_number(above, ok);
  EXPECT_FALSE(ok);
  // Halfway between 1 and the next double, plus a far nonzero digit: rounds up.
  std::wstring halfway = L"1.00000000000000011102230246251565404236316680908203125" + std::wstring(900, L'0') + L"1";
  EXPECT_EQ(read_leading_number(halfway, ok), 1.0000000000000002);
  EXPECT_TRUE(ok);
  std::wstring exactly_halfway = L"1.00000000000000011102230246251565404236316680908203125";
  EXPECT_EQ(read_leading_number(exactly_halfway, ok), 1.0);  // ties to even
  // Zeros past the kept digits are no nonzero rest: still the tie.
  EXPECT_EQ(read_leading_number(exactly_halfway + std::wstring(900, L'0'), ok), 1.0);
}

}  // namespace
