// Postfix evaluator: one pass over the tokens with an operand stack of doubles.
#include "engine/evaluator.h"

#include <vector>

#include "engine/chars.h"
#include "engine/crmath/crmath.h"
#include "engine/functions.h"
#include "engine/number.h"

namespace {

// Ascending product 2 * 3 * ... * n in doubles: exact to 22!, 170! about 7.257e306.
double factorial(int n) {
  double product = 1.0;
  for (int k = 2; k <= n; ++k) product *= static_cast<double>(k);
  return product;
}

// Applies a two-operand operator; false only for "/" by zero (0 or -0).
bool apply_binary(wchar_t op, double a, double b, double& result) {
  switch (op) {
    case L'+': result = a + b; return true;
    case L'-': result = a - b; return true;
    case L'*': result = a * b; return true;
    case L'/':
      if (b == 0.0) return false;
      result = a / b;
      return true;
    case L'^': result = cr_pow(a, b); return true;  // pow's special cases, correctly rounded
    default: result = cr_fmod(a, b); return true;  // "%": the exact remainder, never a failure
  }
}

bool is_binary_operator(const Token& t) {
  return t.size() == 1 && (t[0] == L'+' || t[0] == L'-' || t[0] == L'*' || t[0] == L'/' ||
                           t[0] == L'^' || t[0] == L'%');
}

}  // namespace

double evaluate_postfix(const TokenList& postfix, bool& ok) {
  ok = false;
  if (postfix.empty()) return 0.0;
  std::vector<double> stack;
  // Enough for every ordinary expression without a reallocation; deeper ones grow.
  stack.reserve(postfix.size() < 64 ? postfix.size() : 64);
  for (const Token& t : postfix) {
    // A number token starts with a digit or "." and so is none of the operators or
    // names below: it goes straight to the reader.
    if (!t.empty() && (is_digit_char(t[0]) || t[0] == L'.')) {
      bool number_ok = false;
      const double value = read_leading_number(t, number_ok);
      if (!number_ok) return 0.0;
      stack.push_back(value);
    } else if (t.size() == 2 && t[0] == L'u' && t[1] == L'-') {
      if (stack.empty()) return 0.0;
      stack.back() = -stack.back();  // flips the sign bit: 0 -> -0, NaN stays NaN
    } else if (t.size() == 1 && t[0] == L'!') {
      if (stack.empty()) return 0.0;
      const double x = stack.back();
      // NaN fails both comparisons; in 0..170 the truncation to int is exact, so it
      // tells integers apart without a call into the C library (-0 passes as 0).
      if (!(x >= 0 && x <= 170) || static_cast<double>(static_cast<int>(x)) != x) return 0.0;
      stack.back() = factorial(static_cast<int>(x));
    } else if (is_binary_operator(t)) {
      if (stack.size() < 2) return 0.0;
      const double b = stack.back();
      stack.pop_back();
      const double a = stack.back();
      if (!apply_binary(t[0], a, b, stack.back())) return 0.0;
    } else if (is_function_name(t)) {
      if (stack.empty()) return 0.0;
      bool function_ok = false;
      stack.back() = apply_function(t, stack.back(), function_ok);
      if (!function_ok) return 0.0;
    } else {
      return 0.0;  // a number token starts with a digit or "."; nothing else is valid
    }
  }
  if (stack.size() != 1) return 0.0;
  ok = true;
  return stack.back();
}
