// Key captions by mode, and the window title with its memory marker.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/captions.h"

namespace {

const std::wstring base_title = L"Rivovuz-\u8BA1\u7B97\u5668";  // "Rivovuz-计算器"

std::wstring caption_of(int id, bool second_mode, bool radian_mode) {
  const KeyDef* key = find_key(id);
  return key ? key_caption(*key, second_mode, radian_mode) : L"(no key)";
}

struct CaptionCase {
  int id;
  const wchar_t* normal;
  const wchar_t* second;
};

// Every key that changes with second-function mode, and a few that do not.
const CaptionCase caption_cases[] = {
    {1036, L"x\u00B2", L"\u221A"},         // "x²" / "√"
    {1035, L"\u221A", L"x\u00B2"},         // "√" / "x²"
    {1037, L"x\u00B3", L"\u221B"},         // "x³" / "∛"
    {1038, L"y^x", L"\u02B8\u221Ax"},      // "y^x" / "ʸ√x"
    {1039, L"10^x", L"e^x"},
    {1033, L"ln", L"e^x"},
    {1034, L"lg", L"10^x"},
    {1027, L"sin", L"asin"},
    {1028, L"cos", L"acos"},
    {1029, L"tan", L"atan"},
    {1030, L"sinh", L"asinh"},
    {1031, L"cosh", L"acosh"},
    {1032, L"tanh", L"atanh"},
    {1022, L"2nd", L"2nd"},
    {1040, L"e^x", L"e^x"},
    {1042, L"\u02B8\u221Ax", L"\u02B8\u221Ax"},
    {1016, L"=", L"="},
};

TEST(Captions, SecondFunctionMode) {
  for (const CaptionCase& c : caption_cases) {
    EXPECT_EQ(caption_of(c.id, false, true), c.normal) << c.id;
    EXPECT_EQ(caption_of(c.id, true, true), c.second) << c.id;
  }
}

TEST(Captions, EveryOtherKeyKeepsItsLabel) {
  int unchanged = 0;
  for (const KeyDef& key : key_table) {
    if (key.id == 1023 || !key.second_label.empty()) continue;
    EXPECT_EQ(key_caption(key, true, true), key.label) << key.id;
    EXPECT_EQ(key_caption(key, true, false), key.label) << key.id;
    ++unchanged;
  }
  EXPECT_EQ(unchanged, 34);
}

TEST(Captions, AngleKeyNamesTheModeInForce) {
  EXPECT_EQ(caption_of(1023, false, true), L"Rad");
  EXPECT_EQ(caption_of(1023, true, true), L"Rad");
  EXPECT_EQ(caption_of(1023, false, false), L"Deg");
  EXPECT_EQ(caption_of(1023, true, false), L"Deg");
}

struct TitleCase {
  double memory;
  bool marked;
};

const TitleCase title_cases[] = {
    {0.0, false},
    {-0.0, false},
    {1e-12, false},
    {-1e-12, false},
    {std::nextafter(1e-12, 1.0), true},
    {2e-12, true},
    {-5.0, true},
    {1e300, true},
    {std::numeric_limits<double>::infinity(), true},
    {-std::numeric_limits<double>::infinity(), true},
    {std::numeric_limits<double>::quiet_NaN(), false},
};

TEST(Captions, TitleMarksANonZeroMemory) {
  for (const TitleCase& c : title_cases)
    EXPECT_EQ(window_title(c.memory), c.marked ? base_title + L"   [M]" : base_title) << c.memory;
}

}  // namespace
