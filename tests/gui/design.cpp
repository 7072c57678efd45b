// The keypad, layout rules and colour classes as the window tests expect them.
#include "tests/gui/design.h"

const ExpectedKey expected_keys[48] = {
    {1022, L"2nd", L""}, {1020, L"(", L""}, {1021, L")", L""}, {1039, L"10^x", L"e^x"},
    {1044, L"mc", L""}, {1045, L"m+", L""}, {1046, L"m-", L""}, {1047, L"mr", L""},
    {1041, L"1/x", L""}, {1036, L"x\u00B2", L"\u221A"}, {1037, L"x\u00B3", L"\u221B"},
    {1038, L"y^x", L"\u02B8\u221Ax"}, {1017, L"AC", L""}, {1018, L"\u232B", L""},
    {1019, L"\u00B1", L""}, {1015, L"\u00F7", L""},
    {1043, L"x!", L""}, {1035, L"\u221A", L"x\u00B2"}, {1042, L"\u02B8\u221Ax", L""},
    {1034, L"lg", L"10^x"}, {1008, L"7", L""}, {1009, L"8", L""}, {1010, L"9", L""},
    {1014, L"\u00D7", L""},
    {1027, L"sin", L"asin"}, {1028, L"cos", L"acos"}, {1029, L"tan", L"atan"},
    {1033, L"ln", L"e^x"}, {1005, L"4", L""}, {1006, L"5", L""}, {1007, L"6", L""},
    {1013, L"-", L""},
    {1030, L"sinh", L"asinh"}, {1031, L"cosh", L"acosh"}, {1032, L"tanh", L"atanh"},
    {1040, L"e^x", L""}, {1002, L"1", L""}, {1003, L"2", L""}, {1004, L"3", L""},
    {1012, L"+", L""},
    {1023, L"Rad", L"Deg"}, {1024, L"\u03C0", L""}, {1025, L"EE", L""}, {1048, L"Rand", L""},
    {1026, L"%", L""}, {1001, L"0", L""}, {1011, L".", L""}, {1016, L"=", L""},
};

const wchar_t* const base_title = L"Rivovuz-\u8BA1\u7B97\u5668";
const wchar_t* const memory_title = L"Rivovuz-\u8BA1\u7B97\u5668   [M]";

std::wstring expected_caption(int n, bool second_mode, bool radian_mode) {
  const ExpectedKey& key = expected_keys[n];
  if (key.id == 1023) return radian_mode ? L"Rad" : L"Deg";
  if (second_mode && key.second_label[0] != L'\0') return key.second_label;
  return key.label;
}

ExpectedRect expected_display_rect(int client_width) { return {12, 5, client_width - 24, 80}; }

ExpectedRect expected_key_rect(int n, int client_width, int client_height) {
  const int w = (client_width - 12 - 7 * 6 - 12) / 8;
  const int h = (client_height - 102 - 5 * 6 - 12) / 6;
  return {12 + (n % 8) * (w + 6), 102 + (n / 8) * (h + 6), w, h};
}

ExpectedColours expected_colours(int id) {
  if (id == 1016) return {RGB(220, 50, 50), RGB(190, 40, 40), RGB(180, 30, 30), RGB(255, 255, 255)};
  if (id >= 1012 && id <= 1015)
    return {RGB(253, 235, 235), RGB(240, 200, 200), RGB(230, 160, 160), RGB(220, 50, 50)};
  if (id == 1047)
    return {RGB(252, 245, 245), RGB(245, 220, 220), RGB(225, 180, 180), RGB(220, 50, 50)};
  if (id >= 1044 && id <= 1046)
    return {RGB(252, 245, 245), RGB(245, 220, 220), RGB(225, 180, 180), RGB(160, 160, 160)};
  if (id >= 1017 && id <= 1019)
    return {RGB(247, 247, 247), RGB(225, 225, 225), RGB(200, 200, 200), RGB(220, 50, 50)};
  return {RGB(247, 247, 247), RGB(220, 220, 220), RGB(205, 205, 205), RGB(50, 50, 50)};
}
