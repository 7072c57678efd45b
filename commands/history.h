// History of evaluated expressions, newest last: the texts "=" evaluated, as shown.
//
// Lives in memory for the run only; Up and Down walk through it (events.h).
#pragma once

#include <cstddef>
#include <deque>
#include <string>

extern std::deque<std::wstring> history;

// Called by "=" before it evaluates: records text unless it equals the newest entry.
// Only inside a step: the console driver's eval mode runs "=" alone and keeps none.
// May throw std::bad_alloc with the history unchanged.
void remember_expression(const std::wstring& text);

// The entries the step in progress recorded: kept when it ends, dropped when it fails.
// Never fail.
void keep_history_of_step();
void forget_history_of_step();

// Never fails; false when only the newest entry is left.
bool drop_oldest_history_entry();

std::size_t history_bytes();  // the entries' characters and their records
void clear_history();
