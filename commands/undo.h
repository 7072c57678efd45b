// Undo and redo: a log of steps, each holding only the part of the state it changed.
//
// A step is one event that changed expression, memory, second_mode, radian_mode or
// result_shown. Its text cost is the changed span before and after (one character for
// most keys, the whole text for "=" and "AC"), never a copy of the whole expression.
// The log and the history together stay under history_bound bytes: at the end of each
// step the oldest steps, then the oldest history entries, are dropped to fit; the newest
// step and the newest entry are always kept.
#pragma once

#include <cstddef>

// 64 MiB: a megabyte-long pasted expression (2 MiB in UTF-16) can be replaced by "="
// or "AC" about thirty times over and still be undone, and two million single keys fit
// (about 32 bytes each); small beside the memory of any machine the program runs on.
// A variable so that tests can try the bound on short texts.
extern std::size_t history_bound;

// The bracket around one event. begin_step notes the state; commit_step keeps the
// step if the state changed (dropping what could have been redone); it may throw
// std::bad_alloc, and then nothing was kept. abandon_step puts the state back as
// begin_step found it and never fails.
void begin_step();
void commit_step();
void abandon_step();
bool step_in_progress();

// Each returns false when there is nothing to undo or redo, and throws std::bad_alloc
// with the state unchanged when the text cannot grow.
bool undo_step();
bool redo_step();

std::size_t undo_count();  // steps that can be undone
std::size_t redo_count();  // steps that can be redone
std::size_t undo_bytes();  // what the log holds: its steps and their characters
void clear_undo();
