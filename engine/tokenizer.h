// Tokenizer: splits an expression text into tokens.
//
// tokenize(text) never fails: white space separates tokens and is dropped, every
// other character lands in exactly one token, in order. Whether the tokens make
// sense is the conversion's business.
#pragma once

#include <string_view>

#include "engine/token.h"

// Returns the tokens of text in order; an empty or all-blank text gives none.
TokenList tokenize(std::wstring_view text);
