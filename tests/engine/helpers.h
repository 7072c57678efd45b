// Shared helpers of the engine tests: token lists as one readable line, and the pipeline.
#pragma once

#include <string>

#include "engine/angle_mode.h"
#include "engine/evaluator.h"
#include "engine/postfix.h"
#include "engine/tokenizer.h"

// Tokens joined by single spaces; tokens never hold white space, so this is unambiguous.
inline std::wstring join(const TokenList& tokens) {
  std::wstring out;
  for (const Token& t : tokens) {
    if (!out.empty()) out += L' ';
    out += t;
  }
  return out;
}

// tokenize, to_postfix and evaluate_postfix, as "=" runs them (without closing parentheses).
inline double evaluate_text(const std::wstring& text, bool& ok) {
  const TokenList postfix = to_postfix(tokenize(text), ok);
  if (!ok) return 0.0;
  return evaluate_postfix(postfix, ok);
}

// Restores radians after a test that switched to degrees.
struct AngleModeGuard {
  bool saved;
  AngleModeGuard() : saved(radian_mode) {}
  ~AngleModeGuard() { radian_mode = saved; }
};
