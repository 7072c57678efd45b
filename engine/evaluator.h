// Postfix evaluator: computes the value of a postfix token list in doubles.
#pragma once

#include "engine/token.h"

// Returns the value and ok true; ok false and 0.0 on every failure: empty input,
// too few or too many operands, "/" by zero, "!" outside 0..170 integers, a
// function's domain check, or a number token that cannot be read or is out of
// range. NaN and infinite values are results, not failures.
double evaluate_postfix(const TokenList& postfix, bool& ok);
