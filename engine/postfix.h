// Infix-to-postfix conversion (shunting-yard, one pass, no recursion).
//
// Tells a unary minus ("u-") from subtraction, replaces "pi" and "e" by their
// digits, puts function names after their argument, and rejects every token the
// language does not know.
#pragma once

#include "engine/functions.h"  // is_function_name: the names the conversion accepts
#include "engine/token.h"

// Binding strength of an operator token; 0 for every other text.
int precedence(const Token& token);

// Returns the tokens in postfix order and ok true; on failure (an unknown name
// or character, ")" without "(", an unclosed "(") an empty list and ok false.
// An empty input gives an empty list and ok true.
TokenList to_postfix(const TokenList& tokens, bool& ok);

// The same conversion for a list that is not needed afterwards: its storage is
// reused for the output, so no token is copied.
TokenList to_postfix(TokenList&& tokens, bool& ok);
