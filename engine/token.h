// Tokens: one lexical item of an expression, held as its own text.
//
// A token has no kind field: every stage reads the kind from the text
// (a number starts with a digit or ".", a name is a run of letters, anything
// else is one character; "u-" is the unary minus made by the conversion).
#pragma once

#include <string>
#include <vector>

using Token = std::wstring;
using TokenList = std::vector<Token>;
