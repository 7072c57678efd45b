// Infix-to-postfix conversion: shunting-yard over an explicit operator stack.
#include "engine/postfix.h"

#include <string_view>
#include <utility>
#include <vector>

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

// The precedence of an operator stack entry: one of "+-*/^%!", or "u" for "u-".
int stacked_level(wchar_t entry) {
  for (const PrecedenceRow& row : precedence_table)
    if (entry == L'u' ? row.text.size() == 2 : row.text.size() == 1 && row.text[0] == entry)
      return row.level;
  return 0;
}

bool starts_number(const Token& t) { return !t.empty() && (is_digit_char(t[0]) || t[0] == L'.'); }

}  // namespace

int precedence(const Token& token) {
  // Every operator is one or two characters: compare them directly rather than
  // through the library, which would be called once per row. A token of another
  // length matches no row.
  for (const PrecedenceRow& row : precedence_table)
    if (row.text.size() == token.size() && row.text[0] == token[0] &&
        (token.size() == 1 || row.text[1] == token[1]))
      return row.level;
  return 0;
}

TokenList to_postfix(const TokenList& tokens, bool& ok) {
  TokenList copy(tokens);
  return to_postfix(std::move(copy), ok);
}

// In place: the output is written over the front of the list. Every input token
// gives at most one output token, so the writing position never passes the token
// being read, and nothing is copied. The operator stack holds one character per
// entry ("u" for "u-", "f" for a function, whose name waits in function_names),
// so that deep nesting costs a few bytes per level rather than a Token each.
TokenList to_postfix(TokenList&& tokens, bool& ok) {
  std::vector<wchar_t> stack;
  TokenList function_names;
  ok = false;
  size_t written = 0;
  auto emit = [&](Token&& t) { tokens[written++] = std::move(t); };
  auto emit_top = [&] {
    const wchar_t top = stack.back();
    stack.pop_back();
    if (top == L'f') {
      emit(std::move(function_names.back()));
      function_names.pop_back();
    } else if (top == L'u') {
      emit(Token(L"u-"));
    } else {
      emit(Token(1, top));
    }
  };
  bool unary_context = true;  // rule 5: at the start, or after one of "(+-*/^%"
  for (size_t i = 0; i < tokens.size(); ++i) {
    Token t = std::move(tokens[i]);
    const bool next_unary_context = is_one_of(t, before_unary_minus);
    if (starts_number(t)) {
      emit(std::move(t));
    } else if (t.size() == 2 && t[0] == L'p' && t[1] == L'i') {
      emit(Token(pi_digits));
    } else if (is_char(t, L'e')) {
      emit(Token(e_digits));
    } else if (is_function_name(t)) {
      stack.push_back(L'f');
      function_names.push_back(std::move(t));
    } else if (is_char(t, L'-') && unary_context) {
      stack.push_back(L'u');
    } else if (is_one_of(t, operator_chars)) {
      const int q = stacked_level(t[0]);
      const bool right_assoc = t[0] == L'^' || t[0] == L'!';
      while (!stack.empty() && stack.back() != L'(') {
        const int p = stack.back() == L'f' ? 0 : stacked_level(stack.back());
        if (p > q || (p == q && !right_assoc)) emit_top();
        else break;
      }
      stack.push_back(t[0]);
    } else if (is_char(t, L'(')) {
      stack.push_back(L'(');
    } else if (is_char(t, L')')) {
      while (!stack.empty() && stack.back() != L'(') emit_top();
      if (stack.empty()) return {};
      stack.pop_back();
      if (!stack.empty() && stack.back() == L'f') emit_top();
    } else {
      return {};
    }
    unary_context = next_unary_context;
  }
  while (!stack.empty()) {
    if (stack.back() == L'(') return {};
    emit_top();
  }
  tokens.resize(written);
  ok = true;
  return std::move(tokens);
}
