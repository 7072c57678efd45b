// Result formatting: doubles back into display text.
#pragma once

#include <string>

// The error words shown on the display. Escaped, so that the source's encoding
// cannot change them: U+9519 U+8BEF and U+65E0 U+7A77 U+5927.
inline constexpr const wchar_t* error_word = L"\u9519\u8BEF";     // "错误"
inline constexpr const wchar_t* infinity_word = L"\u65E0\u7A77\u5927"; // "无穷大"

// Display text of a result: "错误" for NaN, "无穷大" for either infinity, all the
// digits of an integer below 1e15 in magnitude, otherwise the %.12g text. Never fails.
std::wstring format_result(double x);

// The shortest text that reads back as exactly x (std::to_chars' shortest form, "-0"
// for negative zero); "错误" for NaN and "无穷大" for either infinity. Never fails.
std::wstring format_full(double x);

// The text that printf's %.<precision>g gives in the classic locale, correctly
// rounded and the same on every runtime; "inf", "-inf", "nan" and "-nan" for the
// non-finite values. precision is clamped to 1..17.
std::wstring format_general(double x, int precision);
