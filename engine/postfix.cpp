// Infix-to-postfix conversion: shunting-yard over an explicit operator stack.
#include "engine/postfix.h"

#include <string_view>

#include "engine/chars.h"
#include "engine/functions.h"

namespace {

struct PrecedenceRow {
  std::wstring_view text;
  int level;
};

// Higher binds tighter. Equal levels pop the stacked operator first (left
// associative) except "^" and "!", which stay (right associative). "u-" is pushed
// without popping, so its level only matters when something else meets it.
const PrecedenceRow precedence_table[] = {
    {L"+", 1}, {L"-", 1}, {L"*", 2}, {L"/", 2}, {L"%", 2}, {L"^", 3}, {L"!", 4}, {L"u-", 5},
};

// Sets of one-character tokens, measured once at compile time.
constexpr std::wstring_view before_unary_minus = L"(+-*/^%";
constexpr std::wstring_view operator_chars = L"+-*/^%!";

// The number tokens that stand in for the two constants, 21 significant digits each.
const wchar_t* const pi_digits = L"3.14159265358979323846";
const wchar_t* const e_digits = L"2.71828182845904523536";

bool is_one_of(const Token& t, std::wstring_view chars) {
  return t.size() == 1 && chars.find(t[0]) != std::wstring_view::npos;
}

// A one-character token equal to c; cheaper than comparing with a C string, which
// measures the literal and calls the library on every token.
bool is_char(const Token& t, wchar_t c) { return t.size() == 1 && t[0] == c; }

bool starts_number(const Token& t) { return !t.empty() && (is_digit_char(t[0]) || t[0] == L'.'); }

}  // namespace

int precedence(const Token& token) {
  // Every operator is one or two characters: compare them directly rather than
  // through the library, which would be called once per row.
  if (token.empty() || token.size() > 2) return 0;
  for (const PrecedenceRow& row : precedence_table)
    if (row.text.size() == token.size() && row.text[0] == token[0] &&
        (token.size() == 1 || row.text[1] == token[1]))
      return row.level;
  return 0;
}

TokenList to_postfix(const TokenList& tokens, bool& ok) {
  TokenList output;
  TokenList stack;
  output.reserve(tokens.size());
  stack.reserve(16);  // deeper nesting grows it
  ok = false;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    if (starts_number(t)) {
      output.push_back(t);
    } else if (t.size() == 2 && t[0] == L'p' && t[1] == L'i') {
      output.emplace_back(pi_digits);
    } else if (is_char(t, L'e')) {
      output.emplace_back(e_digits);
    } else if (is_function_name(t)) {
      stack.push_back(t);
    } else if (is_char(t, L'-') && (i == 0 || is_one_of(tokens[i - 1], before_unary_minus))) {
      // Decided by the previous input token: after ")", "!", a number or a name it is subtraction.
      stack.emplace_back(L"u-");
    } else if (is_one_of(t, operator_chars)) {
      const int q = precedence(t);
      const bool right_assoc = is_char(t, L'^') || is_char(t, L'!');
      while (!stack.empty() && !is_char(stack.back(), L'(')) {
        const int p = precedence(stack.back());
        if (p > q || (p == q && !right_assoc)) {
          output.push_back(std::move(stack.back()));
          stack.pop_back();
        } else {
          break;
        }
      }
      stack.push_back(t);
    } else if (is_char(t, L'(')) {
      stack.push_back(t);
    } else if (is_char(t, L')')) {
      while (!stack.empty() && !is_char(stack.back(), L'(')) {
        output.push_back(std::move(stack.back()));
        stack.pop_back();
      }
      if (stack.empty()) return {};
      stack.pop_back();
      if (!stack.empty() && is_function_name(stack.back())) {
        output.push_back(std::move(stack.back()));
        stack.pop_back();
      }
    } else {
      return {};
    }
  }
  while (!stack.empty()) {
    if (is_char(stack.back(), L'(')) return {};
    output.push_back(std::move(stack.back()));
    stack.pop_back();
  }
  ok = true;
  return output;
}
