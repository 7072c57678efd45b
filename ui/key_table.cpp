// The keypad table: the 48 keys, one constant initialiser list in row-major order.
#include "ui/key_table.h"

namespace {
constexpr KeyStyle plain = KeyStyle::plain;
constexpr KeyStyle arithmetic = KeyStyle::arithmetic;
constexpr KeyStyle equals = KeyStyle::equals;
constexpr KeyStyle memory_op = KeyStyle::memory_op;
}  // namespace

// Order matters: window creation, layout and recaptioning walk the keys in this
// order, and entry n sits at row n / 8, column n % 8.
const std::vector<KeyDef> key_table = {
    {1022, 0, 0, L"2nd", L"", plain},
    {1020, 0, 1, L"(", L"", plain},
    {1021, 0, 2, L")", L"", plain},
    {1039, 0, 3, L"10^x", L"e^x", plain},
    {1044, 0, 4, L"mc", L"", memory_op},
    {1045, 0, 5, L"m+", L"", memory_op},
    {1046, 0, 6, L"m-", L"", memory_op},
    {1047, 0, 7, L"mr", L"", memory_op},

    {1041, 1, 0, L"1/x", L"", plain},
    {1036, 1, 1, L"x\u00B2", L"\u221A", plain},          // "x²" / "√"
    {1037, 1, 2, L"x\u00B3", L"\u221B", plain},          // "x³" / "∛"
    {1038, 1, 3, L"y^x", L"\u02B8\u221Ax", plain},       // "y^x" / "ʸ√x"
    {1017, 1, 4, L"AC", L"", plain},
    {1018, 1, 5, L"\u232B", L"", plain},                 // "⌫"
    {1019, 1, 6, L"\u00B1", L"", plain},                 // "±"
    {1015, 1, 7, L"\u00F7", L"", arithmetic},            // "÷"

    {1043, 2, 0, L"x!", L"", plain},
    {1035, 2, 1, L"\u221A", L"x\u00B2", plain},          // "√" / "x²"
    {1042, 2, 2, L"\u02B8\u221Ax", L"", plain},          // "ʸ√x"
    {1034, 2, 3, L"lg", L"10^x", plain},
    {1008, 2, 4, L"7", L"", plain},
    {1009, 2, 5, L"8", L"", plain},
    {1010, 2, 6, L"9", L"", plain},
    {1014, 2, 7, L"\u00D7", L"", arithmetic},            // "×"

    {1027, 3, 0, L"sin", L"asin", plain},
    {1028, 3, 1, L"cos", L"acos", plain},
    {1029, 3, 2, L"tan", L"atan", plain},
    {1033, 3, 3, L"ln", L"e^x", plain},
    {1005, 3, 4, L"4", L"", plain},
    {1006, 3, 5, L"5", L"", plain},
    {1007, 3, 6, L"6", L"", plain},
    {1013, 3, 7, L"-", L"", arithmetic},

    {1030, 4, 0, L"sinh", L"asinh", plain},
    {1031, 4, 1, L"cosh", L"acosh", plain},
    {1032, 4, 2, L"tanh", L"atanh", plain},
    {1040, 4, 3, L"e^x", L"", plain},
    {1002, 4, 4, L"1", L"", plain},
    {1003, 4, 5, L"2", L"", plain},
    {1004, 4, 6, L"3", L"", plain},
    {1012, 4, 7, L"+", L"", arithmetic},

    {1023, 5, 0, L"Rad", L"Deg", plain},
    {1024, 5, 1, L"\u03C0", L"", plain},                 // "π"
    {1025, 5, 2, L"EE", L"", plain},
    {1048, 5, 3, L"Rand", L"", plain},
    {1026, 5, 4, L"%", L"", plain},
    {1001, 5, 5, L"0", L"", plain},
    {1011, 5, 6, L".", L"", plain},
    {1016, 5, 7, L"=", L"", equals},
};

const KeyDef* find_key(int id) {
  for (const KeyDef& key : key_table)
    if (key.id == id) return &key;
  return nullptr;
}
