// Tokenizer: one left-to-right scan; every character is skipped or lands in one token.
#include "engine/tokenizer.h"

#include "engine/chars.h"

namespace {

// The end of the token that starts at i (text[i] is not white space).
size_t token_end(std::wstring_view text, size_t i) {
  const size_t n = text.size();
  const wchar_t c = text[i];
  if (is_digit_char(c) || c == L'.') {
    // Any number of "." is taken; the evaluator reads the longest leading number.
    while (i < n && (is_digit_char(text[i]) || text[i] == L'.')) ++i;
    if (i < n && (text[i] == L'e' || text[i] == L'E')) {
      ++i;
      if (i < n && (text[i] == L'+' || text[i] == L'-')) ++i;
      // The exponent may be empty: "2e" and "2e+" are whole number tokens.
      while (i < n && is_digit_char(text[i])) ++i;
    }
    return i;
  }
  if (is_letter_char(c)) {
    while (i < n && is_letter_char(text[i])) ++i;
    return i;
  }
  return i + 1;
}

}  // namespace

TokenList tokenize(std::wstring_view text) {
  // Two passes over the same scan: count, then fill a list reserved to the exact
  // size, so that a long text never moves its tokens while the list grows.
  size_t count = 0;
  for (size_t i = 0; i < text.size();) {
    if (is_space_char(text[i])) {
      ++i;
      continue;
    }
    i = token_end(text, i);
    ++count;
  }
  TokenList tokens;
  tokens.reserve(count);
  for (size_t i = 0; i < text.size();) {
    if (is_space_char(text[i])) {
      ++i;
      continue;
    }
    const size_t end = token_end(text, i);
    tokens.emplace_back(text.substr(i, end - i));
    i = end;
  }
  return tokens;
}
