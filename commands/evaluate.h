// The "=" command: evaluates expression and replaces it with the outcome.
#pragma once

// Does nothing on "" or "0". Otherwise closes open parentheses in a working copy,
// runs tokenize, to_postfix, evaluate_postfix and format_result, puts the number
// text or the error word into expression, sets result_shown and refreshes the display.
void evaluate_command();
