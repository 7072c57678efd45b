// The "=" command: the expression through the engine, and the outcome onto the display.
#include "commands/evaluate.h"

#include <algorithm>
#include <string>

#include "commands/edit.h"
#include "commands/history.h"
#include "commands/refresh.h"
#include "commands/state.h"
#include "engine/evaluator.h"
#include "engine/format.h"
#include "engine/postfix.h"
#include "engine/tokenizer.h"

namespace {

// Typing "*" and "/" shows "×" and "÷" on the display, but the engine knows only the
// ASCII operators; the working copy gets them back, expression keeps its signs.
void restore_ascii_operators(std::wstring& text) {
  for (wchar_t& c : text) {
    if (c == L'\u00D7') c = L'*';       // "×"
    else if (c == L'\u00F7') c = L'/';  // "÷"
  }
}

// The outcome of "=" for this text: a number text, "错误" or "无穷大".
std::wstring outcome_of(std::wstring work, std::wstring (*format)(double) = format_result) {
  restore_ascii_operators(work);
  const auto opened = std::count(work.begin(), work.end(), L'(');
  const auto closed = std::count(work.begin(), work.end(), L')');
  if (opened > closed) work.append(static_cast<std::size_t>(opened - closed), L')');

  bool ok = true;
  const TokenList postfix = to_postfix(tokenize(work), ok);
  if (!ok) return error_word;
  const double value = evaluate_postfix(postfix, ok);
  if (!ok) return error_word;
  return format(value);
}

}  // namespace

void evaluate_command() {
  if (expression.empty() || expression == L"0") return;
  remember_expression(expression);
  expression_assign(outcome_of(expression));
  result_shown = true;
  refresh_display();
}

std::wstring full_outcome(const std::wstring& text) {
  if (text.empty() || text == L"0") return text;
  return outcome_of(text, format_full);
}
