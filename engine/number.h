// Reads the leading decimal number of a text, the same on every runtime.
//
// The rule is that of std::stod: skip leading white space, then read the longest
// beginning that forms a number (optional sign, digits with at most one ".", at
// least one digit, optional exponent "e"/"E" with optional sign and at least one
// digit); what follows is ignored. It differs from the runtimes' own readers in
// that only decimal numbers count (no "inf", "nan" or hexadecimal), the digits
// are correctly rounded, and the range is judged on the exact value.
#pragma once

#include <string_view>

// Returns the value and ok true; ok false and 0.0 when the text does not begin
// with a number, or when the exact value's magnitude exceeds the largest finite
// double or is nonzero and below the smallest normal double.
double read_leading_number(std::wstring_view text, bool& ok);
