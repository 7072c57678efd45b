// Character classes of the expression language, the same on every runtime.
//
// Only ASCII counts: the C runtimes disagree outside it (the Windows iswalpha is
// true for CJK ideographs, its iswdigit for "²" and "³"), and every character
// outside ASCII is rejected by the conversion whichever token it lands in.
#pragma once

inline bool is_space_char(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
inline bool is_digit_char(wchar_t c) { return c >= L'0' && c <= L'9'; }
inline bool is_letter_char(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
