// Undo and redo: the step log, the record of the event in progress, and the text edits.
#include "commands/undo.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <limits>
#include <stdexcept>
#include <string>

#include "commands/edit.h"
#include "commands/history.h"
#include "commands/state.h"

std::size_t history_bound = std::size_t{64} << 20;

namespace {

// The three flags of the state as bits: second_mode 1, radian_mode 2, result_shown 4.
std::uint8_t current_bits() {
  return static_cast<std::uint8_t>((second_mode ? 1 : 0) | (radian_mode ? 2 : 0) |
                                   (result_shown ? 4 : 0));
}

void set_bits(std::uint8_t bits) {
  second_mode = (bits & 1) != 0;
  radian_mode = (bits & 2) != 0;
  result_shown = (bits & 4) != 0;
}

// Bit for bit: -0 and 0 differ on the display, and a NaN memory equals itself.
bool same_memory(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Spans of this many characters together, which most keys change, stay in the step.
constexpr std::size_t small_span = 4;

// Step::kind bits.
constexpr std::uint8_t spans_inside = 1;    // both spans are in small, not in step_chars
constexpr std::uint8_t memory_changed = 2;  // memory before and after are in step_memory

// One step: the span [at, at + old_length) of the text before it became
// [at, at + new_length) after it, and the flags before and after. Small, since a
// million keys make a million steps: positions and lengths fit 32 bits (a longer text
// cannot be recorded, and the event fails), memory lives beside it when it changed.
struct Step {
  std::uint32_t at;
  std::uint32_t old_length;
  std::uint32_t new_length;
  std::uint8_t bits_before;
  std::uint8_t bits_after;
  std::uint8_t kind;
  wchar_t small[small_span];

  std::size_t outside() const { return (kind & spans_inside) ? 0 : std::size_t{old_length} + new_length; }
  std::size_t memories() const { return (kind & memory_changed) ? 2 : 0; }
};

// Oldest first. steps[0, undoable) can be undone, the rest redone. Their spans lie in
// step_chars and their memory pairs in step_memory in the same order, so dropping the
// oldest step drops values at the front, and the values of the undoable steps end where
// those of the others begin.
std::deque<Step> steps;
std::size_t undoable = 0;
std::size_t redoable = 0;  // steps.size() - undoable, kept so as not to count a deque
std::deque<wchar_t> step_chars;
std::size_t undoable_chars = 0;
std::deque<double> step_memory;
std::size_t undoable_memory = 0;
std::size_t log_bytes = 0;  // what the three hold for the steps taken, in bytes

// Most spans are a character or two: one push each is cheaper than a range insert.
template <class Iterator>
void append_chars(Iterator first, Iterator last) {
  if (last - first < 16) {
    for (; first != last; ++first) step_chars.push_back(*first);
  } else {
    step_chars.insert(step_chars.end(), first, last);
  }
}

constexpr std::size_t none = std::numeric_limits<std::size_t>::max();

// The event in progress. Its old span grows at the end of step_chars as edits reach
// further into the text: the characters outside [front, size - back) are untouched.
struct Pending {
  bool active = false;
  bool text_changed = false;
  std::size_t front = 0;
  std::size_t back = 0;
  // Where the old span starts in step_chars; none until the first edit, which sets it
  // before saving, so that a save cut short by a failure is dropped with the rest.
  std::size_t saved_at = none;
  std::size_t saved_length = 0;
  double memory_before = 0.0;
  std::uint8_t bits_before = 0;
  std::size_t memories_pushed = 0;  // by commit_step, before a later part of it failed
};
Pending pending;

// An edit is about to change the text, keeping keep_front characters at the front
// and keep_back at the back. Saves what the step has not saved yet; may throw, and
// then nothing was edited.
void note_change(std::size_t keep_front, std::size_t keep_back) {
  Pending& p = pending;
  if (!p.active) return;
  if (!p.text_changed) {
    p.saved_at = step_chars.size();
    append_chars(expression.begin() + static_cast<std::ptrdiff_t>(keep_front),
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
    append_chars(expression.end() - static_cast<std::ptrdiff_t>(p.back),
                 expression.end() - static_cast<std::ptrdiff_t>(to));
    p.saved_length += p.back - to;
    p.back = to;
  }
}

// Replaces expression[at, at + length) by count characters from chars; strong guarantee.
template <class Iterator>
void put_span(std::size_t at, std::size_t length, Iterator chars, std::size_t count) {
  expression.replace(at, length, count, L'\0');
  std::copy_n(chars, count, expression.begin() + static_cast<std::ptrdiff_t>(at));
}

// Where a step's old span starts, given where its characters in step_chars start.
template <class Function>
void with_old_span(const Step& step, std::size_t first_char, Function function) {
  if (step.kind & spans_inside) function(step.small);
  else function(step_chars.begin() + static_cast<std::ptrdiff_t>(first_char));
}

// What the log holds for the undoable steps, in bytes.
void count_log_bytes() {
  log_bytes = undoable * sizeof(Step) + undoable_chars * sizeof(wchar_t) +
              undoable_memory * sizeof(double);
}

void drop_oldest_step() {
  const Step& oldest = steps.front();
  const std::size_t chars = oldest.outside();
  const std::size_t memories = oldest.memories();
  step_chars.erase(step_chars.begin(), step_chars.begin() + static_cast<std::ptrdiff_t>(chars));
  step_memory.erase(step_memory.begin(), step_memory.begin() + static_cast<std::ptrdiff_t>(memories));
  undoable_chars -= chars;
  undoable_memory -= memories;
  steps.pop_front();
  --undoable;
  count_log_bytes();
}

void keep_within_bound() {
  while (log_bytes + history_bytes() > history_bound) {
    if (steps.size() > 1) drop_oldest_step();
    else if (!drop_oldest_history_entry()) break;
  }
}

std::uint32_t narrow(std::size_t value) {
  if (value > std::numeric_limits<std::uint32_t>::max())
    throw std::length_error("a text this long cannot be recorded for undo");
  return static_cast<std::uint32_t>(value);
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
  Pending& p = pending;
  p.active = true;
  p.text_changed = false;
  p.front = 0;  // a step that changes no text keeps an empty span at 0
  p.saved_at = none;
  p.saved_length = 0;
  p.memories_pushed = 0;
  p.memory_before = memory;
  p.bits_before = current_bits();
}

bool step_in_progress() { return pending.active; }

void commit_step() {
  Pending& p = pending;
  const std::uint8_t bits_after = current_bits();
  const bool memory_differs = !same_memory(p.memory_before, memory);
  const bool flags_changed = memory_differs || bits_after != p.bits_before;
  Step step{narrow(p.front), 0, 0, p.bits_before, bits_after, spans_inside, {}};
  if (p.text_changed) {
    const std::size_t new_length = expression.size() - p.front - p.back;
    const wchar_t* new_span = expression.data() + p.front;
    if (!flags_changed && p.saved_length == new_length) {
      const auto old_span = step_chars.end() - static_cast<std::ptrdiff_t>(p.saved_length);
      if (std::equal(old_span, step_chars.end(), new_span)) {
        step_chars.erase(old_span, step_chars.end());
        keep_history_of_step();
        p.active = false;
        return;
      }
    }
    step.old_length = narrow(p.saved_length);
    step.new_length = narrow(new_length);
    if (p.saved_length + new_length <= small_span) {
      std::copy(step_chars.end() - static_cast<std::ptrdiff_t>(p.saved_length), step_chars.end(),
                step.small);
      std::copy_n(new_span, new_length, step.small + p.saved_length);
    } else {
      step.kind = 0;
      append_chars(new_span, new_span + new_length);
    }
  } else if (!flags_changed) {
    keep_history_of_step();
    p.active = false;
    return;
  }
  if (memory_differs) {
    step.kind |= memory_changed;
    step_memory.push_back(p.memory_before);
    ++p.memories_pushed;
    step_memory.push_back(memory);
    ++p.memories_pushed;
  }
  const std::size_t saved_at = p.text_changed ? p.saved_at : step_chars.size();
  steps.push_back(step);
  // Nothing below can fail: what could have been redone goes, the characters of a step
  // kept inside it leave step_chars, then the bound is kept.
  keep_history_of_step();
  if (redoable != 0) {
    steps.erase(steps.begin() + static_cast<std::ptrdiff_t>(undoable), steps.end() - 1);
    step_chars.erase(step_chars.begin() + static_cast<std::ptrdiff_t>(undoable_chars),
                     step_chars.begin() + static_cast<std::ptrdiff_t>(saved_at));
    const std::size_t memory_end = step_memory.size() - step.memories();
    step_memory.erase(step_memory.begin() + static_cast<std::ptrdiff_t>(undoable_memory),
                      step_memory.begin() + static_cast<std::ptrdiff_t>(memory_end));
    redoable = 0;
  }
  if (step.kind & spans_inside) {
    for (std::size_t k = 0; k < p.saved_length; ++k) step_chars.pop_back();
  }
  ++undoable;
  undoable_chars += step.outside();
  undoable_memory += step.memories();
  count_log_bytes();
  p.active = false;
  keep_within_bound();
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
  if (p.saved_at != none)
    step_chars.erase(step_chars.begin() + static_cast<std::ptrdiff_t>(p.saved_at), step_chars.end());
  // What commit_step may have added before it failed.
  for (; p.memories_pushed > 0; --p.memories_pushed) step_memory.pop_back();
  forget_history_of_step();
  memory = p.memory_before;
  set_bits(p.bits_before);
  p.active = false;
}

bool undo_step() {
  if (undoable == 0) return false;
  const Step& step = steps[undoable - 1];
  const std::size_t first = undoable_chars - step.outside();
  with_old_span(step, first, [&](auto chars) { put_span(step.at, step.new_length, chars, step.old_length); });
  if (step.kind & memory_changed) memory = step_memory[undoable_memory - 2];
  set_bits(step.bits_before);
  --undoable;
  ++redoable;
  undoable_chars = first;
  undoable_memory -= step.memories();
  return true;
}

bool redo_step() {
  if (redoable == 0) return false;
  const Step& step = steps[undoable];
  with_old_span(step, undoable_chars, [&](auto chars) {
    put_span(step.at, step.old_length, chars + static_cast<std::ptrdiff_t>(step.old_length),
             step.new_length);
  });
  if (step.kind & memory_changed) memory = step_memory[undoable_memory + 1];
  set_bits(step.bits_after);
  ++undoable;
  --redoable;
  undoable_chars += step.outside();
  undoable_memory += step.memories();
  return true;
}

std::size_t undo_count() { return undoable; }
std::size_t redo_count() { return redoable; }

std::size_t undo_bytes() { return log_bytes; }

void clear_undo() {
  // Fresh containers rather than clear(): their memory goes back, and a cleared log
  // allocates the same way every time.
  std::deque<Step>().swap(steps);
  std::deque<wchar_t>().swap(step_chars);
  std::deque<double>().swap(step_memory);
  undoable = 0;
  redoable = 0;
  undoable_chars = 0;
  undoable_memory = 0;
  log_bytes = 0;
  pending = Pending{};
}
