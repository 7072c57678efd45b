// Tokenizer: one left-to-right scan; every character is skipped or lands in one token.
#include "engine/tokenizer.h"

#include "engine/chars.h"

TokenList tokenize(std::wstring_view text) {
  TokenList tokens;
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const wchar_t c = text[i];
    if (is_space_char(c)) {
      ++i;
      continue;
    }
    const size_t start = i;
    if (is_digit_char(c) || c == L'.') {
      // Any number of "." is taken; the evaluator reads the longest leading number.
      while (i < n && (is_digit_char(text[i]) || text[i] == L'.')) ++i;
      if (i < n && (text[i] == L'e' || text[i] == L'E')) {
        ++i;
        if (i < n && (text[i] == L'+' || text[i] == L'-')) ++i;
        // The exponent may be empty: "2e" and "2e+" are whole number tokens.
        while (i < n && is_digit_char(text[i])) ++i;
      }
    } else if (is_letter_char(c)) {
      while (i < n && is_letter_char(text[i])) ++i;
    } else {
      ++i;
    }
    tokens.emplace_back(text.substr(start, i - start));
  }
  return tokens;
}
