// Undo and redo: the step log, the record of the event in progress, and the text edits.
#include "commands/undo.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>

#include "commands/edit.h"
#include "commands/history.h"
#include "commands/state.h"

namespace {

// The part of the state that every step keeps whole, before and after.
struct Flags {
  double memory;
  bool second_mode;
  bool radian_mode;
  bool result_shown;
};

Flags current_flags() { return {memory, second_mode, radian_mode, result_shown}; }

void set_flags(const Flags& flags) {
  memory = flags.memory;
  second_mode = flags.second_mode;
  radian_mode = flags.radian_mode;
  result_shown = flags.result_shown;
}

// Bit for bit: -0 and 0 differ on the display, and a NaN memory equals itself.
bool same_flags(const Flags& a, const Flags& b) {
  return std::memcmp(&a.memory, &b.memory, sizeof a.memory) == 0 &&
         a.second_mode == b.second_mode && a.radian_mode == b.radian_mode &&
         a.result_shown == b.result_shown;
}

// One step: the span [at, at + old_length) of the text before it became
// [at, at + new_length) after it. Both spans lie in step_chars, old then new.
struct Step {
  std::size_t at;
  std::size_t old_length;
  std::size_t new_length;
  std::size_t chars;  // position of the old span, counted from the first character ever kept
  Flags before;
  Flags after;
};

// Oldest first. steps[0, undoable) can be undone, the rest redone; their spans lie in
// step_chars in the same order, so dropping the oldest step drops characters at the front.
std::deque<Step> steps;
std::size_t undoable = 0;
std::deque<wchar_t> step_chars;
std::size_t chars_dropped = 0;  // characters dropped from the front of step_chars so far

std::size_t char_index(const Step& step) { return step.chars - chars_dropped; }

// The event in progress. Its old span grows at the end of step_chars as edits reach
// further into the text: the characters outside [front, size - back) are untouched.
struct Pending {
  bool active = false;
  bool text_changed = false;
  std::size_t front = 0;
  std::size_t back = 0;
  std::size_t saved_at = 0;   // where the old span starts in step_chars
  std::size_t saved_length = 0;
  std::size_t history_size = 0;
  Flags before{};
};
Pending pending;

// An edit is about to change the text, keeping keep_front characters at the front
// and keep_back at the back. Saves what the step has not saved yet; may throw, and
// then nothing was edited.
void note_change(std::size_t keep_front, std::size_t keep_back) {
  Pending& p = pending;
  if (!p.active) return;
  if (!p.text_changed) {
    step_chars.insert(step_chars.end(), expression.begin() + static_cast<std::ptrdiff_t>(keep_front),
                      expression.end() - static_cast<std::ptrdiff_t>(keep_back));
    p.front = keep_front;
    p.back = keep_back;
    p.saved_length = expression.size() - keep_front - keep_back;
    p.text_changed = true;
    return;
  }
  // Each extension saves at least as much again as is saved, so that a paste that
  // takes back one character after another stays linear.
  if (keep_front < p.front) {
    const std::size_t grow = std::max(p.front - keep_front, p.saved_length);
    const std::size_t from = p.front > grow ? p.front - grow : 0;
    step_chars.insert(step_chars.begin() + static_cast<std::ptrdiff_t>(p.saved_at),
                      expression.begin() + static_cast<std::ptrdiff_t>(from),
                      expression.begin() + static_cast<std::ptrdiff_t>(p.front));
    p.saved_length += p.front - from;
    p.front = from;
  }
  if (keep_back < p.back) {
    const std::size_t grow = std::max(p.back - keep_back, p.saved_length);
    const std::size_t to = p.back > grow ? p.back - grow : 0;
    step_chars.insert(step_chars.end(), expression.end() - static_cast<std::ptrdiff_t>(p.back),
                      expression.end() - static_cast<std::ptrdiff_t>(to));
    p.saved_length += p.back - to;
    p.back = to;
  }
}

// Replaces expression[at, at + length) by count characters of step_chars from index;
// strong guarantee.
void put_span(std::size_t at, std::size_t length, std::size_t index, std::size_t count) {
  expression.replace(at, length, count, L'\0');
  std::copy_n(step_chars.begin() + static_cast<std::ptrdiff_t>(index), count,
              expression.begin() + static_cast<std::ptrdiff_t>(at));
}

void drop_oldest_step() {
  const Step& oldest = steps.front();
  const std::size_t count = oldest.old_length + oldest.new_length;
  step_chars.erase(step_chars.begin(), step_chars.begin() + static_cast<std::ptrdiff_t>(count));
  chars_dropped += count;
  steps.pop_front();
  --undoable;
}

void keep_within_bound() {
  while (undo_bytes() + history_bytes() > history_bound) {
    if (steps.size() > 1) drop_oldest_step();
    else if (!drop_oldest_history_entry()) break;
  }
}

}  // namespace

void expression_assign(std::wstring_view text) {
  note_change(0, 0);
  expression.assign(text);
}

void expression_append(std::wstring_view text) {
  note_change(expression.size(), 0);
  expression.append(text);
}

void expression_pop_back() {
  note_change(expression.size() - 1, 0);
  expression.pop_back();
}

void expression_insert_front(wchar_t c) {
  note_change(0, expression.size());
  expression.insert(expression.begin(), c);
}

void expression_erase_front() {
  note_change(0, expression.size() - 1);
  expression.erase(0, 1);
}

void begin_step() {
  pending = Pending{};
  pending.active = true;
  pending.saved_at = step_chars.size();
  pending.history_size = history.size();
  pending.before = current_flags();
}

bool step_in_progress() { return pending.active; }

bool commit_step() {
  Pending& p = pending;
  const Flags after = current_flags();
  bool changed = !same_flags(p.before, after);
  const std::size_t new_length = p.text_changed ? expression.size() - p.front - p.back : 0;
  const auto old_span = step_chars.begin() + static_cast<std::ptrdiff_t>(p.saved_at);
  const auto new_span = expression.begin() + static_cast<std::ptrdiff_t>(p.front);
  if (p.text_changed && !changed)
    changed = p.saved_length != new_length || !std::equal(old_span, step_chars.end(), new_span);
  if (!changed) {
    step_chars.erase(old_span, step_chars.end());
    p.active = false;
    return false;
  }
  step_chars.insert(step_chars.end(), new_span, new_span + static_cast<std::ptrdiff_t>(new_length));
  steps.push_back(Step{p.front, p.saved_length, new_length, 0, p.before, after});
  // Nothing below can fail: what could have been redone goes, then the bound is kept.
  const std::size_t redo_chars =
      undoable + 1 < steps.size() ? char_index(steps[undoable]) : p.saved_at;
  step_chars.erase(step_chars.begin() + static_cast<std::ptrdiff_t>(redo_chars),
                   step_chars.begin() + static_cast<std::ptrdiff_t>(p.saved_at));
  steps.erase(steps.begin() + static_cast<std::ptrdiff_t>(undoable), steps.end() - 1);
  steps.back().chars = redo_chars + chars_dropped;
  undoable = steps.size();
  p.active = false;
  keep_within_bound();
  return true;
}

void abandon_step() {
  Pending& p = pending;
  if (!p.active) return;
  if (p.text_changed) {
    // The buffer never shrank during the event, so the old text fits without memory.
    const std::size_t current = expression.size() - p.front - p.back;
    if (p.saved_length > current) expression.insert(p.front + current, p.saved_length - current, L'\0');
    else expression.erase(p.front + p.saved_length, current - p.saved_length);
    std::copy_n(step_chars.begin() + static_cast<std::ptrdiff_t>(p.saved_at), p.saved_length,
                expression.begin() + static_cast<std::ptrdiff_t>(p.front));
  }
  step_chars.erase(step_chars.begin() + static_cast<std::ptrdiff_t>(p.saved_at), step_chars.end());
  truncate_history(p.history_size);
  set_flags(p.before);
  p.active = false;
}

bool undo_step() {
  if (undoable == 0) return false;
  const Step& step = steps[undoable - 1];
  put_span(step.at, step.new_length, char_index(step), step.old_length);
  set_flags(step.before);
  --undoable;
  return true;
}

bool redo_step() {
  if (undoable == steps.size()) return false;
  const Step& step = steps[undoable];
  put_span(step.at, step.old_length, char_index(step) + step.old_length, step.new_length);
  set_flags(step.after);
  ++undoable;
  return true;
}

std::size_t undo_count() { return undoable; }
std::size_t redo_count() { return steps.size() - undoable; }

std::size_t undo_bytes() { return steps.size() * sizeof(Step) + step_chars.size() * sizeof(wchar_t); }

void clear_undo() {
  // Fresh containers rather than clear(): their memory goes back, and a cleared log
  // allocates the same way every time.
  std::deque<Step>().swap(steps);
  std::deque<wchar_t>().swap(step_chars);
  undoable = 0;
  chars_dropped = 0;
  pending = Pending{};
}
