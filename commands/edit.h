// Changes of expression: every command edits the text through these, so that the step
// being recorded for undo learns which part of the text changed.
//
// Each keeps the buffer of expression and never shrinks its capacity, so that putting
// back the text a failed event started from never needs memory. Each gives the strong
// guarantee: when it throws std::bad_alloc, expression is as it was.
#pragma once

#include <string_view>

void expression_assign(std::wstring_view text);  // the whole text replaced
void expression_append(std::wstring_view text);
void expression_pop_back();                      // the text is not empty
void expression_insert_front(wchar_t c);
void expression_erase_front();                   // the text is not empty
