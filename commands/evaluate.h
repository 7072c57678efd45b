// The "=" command: evaluates expression and replaces it with the outcome.
#pragma once

#include <string>

// Does nothing on "" or "0". Otherwise closes open parentheses in a working copy,
// runs tokenize, to_postfix, evaluate_postfix and format_result, puts the number
// text or the error word into expression, sets result_shown and refreshes the display.
void evaluate_command();

// What "=" would show for text, but with the number in full (format_full); "" and
// "0" stay as they are. Changes no state. Throws std::bad_alloc when memory runs out.
std::wstring full_outcome(const std::wstring& text);
