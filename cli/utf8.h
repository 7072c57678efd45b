// UTF-8 to wide text and back, for the console driver: the same on both runtimes.
//
// Wide text is UTF-16 where wchar_t has 16 bits (Windows) and UTF-32 where it has
// 32 (Linux). Decoding is strict: overlong forms, surrogate code points, values
// above U+10FFFF, cut sequences and stray continuation bytes are all invalid.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Returns the wide text and ok true; ok false and an empty text for invalid UTF-8.
std::wstring utf8_to_wide(std::string_view bytes, bool& ok);

// Never fails: a lone surrogate, or a wide character that is no code point, becomes U+FFFD.
std::string wide_to_utf8(std::wstring_view text);

// The same bytes as wide_to_utf8, written to out through a buffer on the stack:
// takes no memory, so an answer can be written when none is left.
void write_utf8(std::FILE* out, std::wstring_view text);
