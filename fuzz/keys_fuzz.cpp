// Fuzz target: any byte stream as a session of keys, typed characters, pastes, undo,
// redo and the history walk.
//
// Input bytes, one event each:
//   0x00..0x9F  key 1001 + byte % 48 (every key, about three times over)
//   0xA0..0xE3  a typed character from typed_chars, cycled
//   0xE4 undo, 0xE5 redo, 0xE6 Up, 0xE7 Down
//   0xE8..0xEB  a paste: the next byte is its length, the bytes after it pick typed_chars
//   0xEC..0xED  undo then redo, which must give back the same state
//   0xEE..0xEF  a shortcut: the next byte picks the entry of the shortcut table
//   0xF0..0xF7  a typed character: the next two bytes as a raw UTF-16 code unit
//   0xF8..0xFF  a key command: the next two bytes as a raw 16-bit control id
// The undo log is checked against a model that keeps every state whole: k undos give
// the state from k steps back, redo gives back what undo took.
//
// Built as fuzz_out_of_memory (RIVOVUZ_FAIL_ALLOCATIONS), the first two bytes pick the
// allocation inside the events that fails: the event that meets it must change nothing,
// and the session goes on as if it had never happened.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands/events.h"
#include "commands/state.h"
#include "commands/undo.h"
#include "fuzz/event_checks.h"
#include "fuzz/invariants.h"
#include "ui/shortcuts.h"

#ifdef RIVOVUZ_FAIL_ALLOCATIONS
#include "tests/support/failing_alloc.h"
constexpr bool failing = true;
#else
constexpr bool failing = false;
#endif

namespace {

constexpr wchar_t typed_chars[] = {
    13, 27, 8,  // Enter, Escape, Backspace
    L'0', L'1', L'2', L'3', L'4', L'5', L'6', L'7', L'8', L'9',
    L'+', L'-', L'*', L'/', L'%', L'(', L')', L'.',
    L'^', L'!', L'=', L',', L'e', L'x', L' ', L'&', L'\'',  // ignored
    3, 22, 0, 0xFFFF, 0xD800, L'\u00D7', L'\u00F7',       // Ctrl+C, Ctrl+V, NUL, ...
};
constexpr std::size_t typed_count = sizeof typed_chars / sizeof typed_chars[0];

struct Calc {
  std::wstring expression;
  double memory;
  bool second_mode, radian_mode, result_shown;
};

Calc calc() { return {expression, memory, second_mode, radian_mode, result_shown}; }

bool same(const Calc& a, const Calc& b) {
  return a.expression == b.expression && std::memcmp(&a.memory, &b.memory, sizeof a.memory) == 0 &&
         a.second_mode == b.second_mode && a.radian_mode == b.radian_mode &&
         a.result_shown == b.result_shown;
}

// The states after each step, oldest first, and those undone that redo gives back.
std::vector<Calc> done;
std::vector<Calc> undone;

void expect_model(const char* rule) {
  if (!same(calc(), done.back())) fail(rule, expression + L" against " + done.back().expression);
  if (undo_count() != done.size() - 1 || redo_count() != undone.size())
    fail("the log holds another number of steps than were taken", expression);
}

// Runs the event with the planned failure armed. An event may fail only when the planned
// allocation failed inside it, and then it must have changed nothing.
template <class Event>
bool run(Event event) {
#ifdef RIVOVUZ_FAIL_ALLOCATIONS
  const bool failed_before = allocation_plan.failed;
  const Calc before = calc();
  allocation_plan.armed = true;
  const bool completed = event();
  allocation_plan.armed = false;
  if (completed) return true;
  if (failed_before || !allocation_plan.failed) fail("an event failed with memory to spare", expression);
  if (!same(before, calc())) fail("an event that ran out of memory changed the state", expression);
  expect_model("an event that ran out of memory changed the log");
  return false;
#else
  if (!event()) fail("an event failed with memory to spare", expression);
  return true;
#endif
}

// Any event but undo and redo: a step exactly when the state changed.
template <class Event>
void step(Event event) {
  const Calc before = calc();
  if (!run(event)) return;
  if (!same(before, calc())) {
    done.push_back(calc());
    undone.clear();
  }
  expect_model("an event left the log out of step");
}

// A key or a typed character: with every rule checked, or, when allocations fail, as
// the window runs it (the checks themselves take memory).
void key(int id) {
  step([id] {
    if (failing) return key_event(id);
    check_key(id);
    return true;
  });
}

void typed(wchar_t code) {
  step([code] {
    if (failing) return char_event(code);
    check_typed(code);
    return true;
  });
}

void shortcut(const Shortcut& entry) {
  step([&entry] {
    if (failing) return key_event(shortcut_key(entry, radian_mode));
    check_shortcut(entry);
    return true;
  });
}

void undo() {
  if (!run(undo_event)) return;
  if (done.size() > 1) {
    undone.push_back(done.back());
    done.pop_back();
  }
  expect_model("undo did not give the state one step back");
}

void redo() {
  if (!run(redo_event)) return;
  if (!undone.empty()) {
    done.push_back(undone.back());
    undone.pop_back();
  }
  expect_model("redo did not give back what undo took");
}

void paste(const std::uint8_t* data, std::size_t count) {
  std::wstring text;
  for (std::size_t k = 0; k < count; ++k) text += typed_chars[data[k] % typed_count];
  step([&] { return paste_event(text); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  reset_state();
  done.assign(1, calc());
  undone.clear();
  std::srand(1);  // "Rand" draws the same values on every run of an input
  std::size_t i = 0;
#ifdef RIVOVUZ_FAIL_ALLOCATIONS
  if (size < 2) return 0;
  arm_allocations(static_cast<std::size_t>(data[0]) << 8 | data[1]);
  allocation_plan.armed = false;  // armed inside the events only
  i = 2;
#endif
  for (; i < size; ++i) {
    const std::uint8_t byte = data[i];
    if (byte < 0xA0) {
      key(1001 + byte % 48);
    } else if (byte < 0xE4) {
      typed(typed_chars[(byte - 0xA0u) % typed_count]);
    } else if (byte == 0xE4) {
      undo();
    } else if (byte == 0xE5) {
      redo();
    } else if (byte < 0xE8) {
      step(byte == 0xE6 ? history_up_event : history_down_event);
    } else if (byte < 0xEC) {
      const std::size_t count = i + 1 < size ? std::min<std::size_t>(data[i + 1], size - i - 2) : 0;
      paste(data + i + 2, count);
      i += 1 + count;
    } else if (byte >= 0xEE && byte < 0xF0) {
      if (i + 1 < size) shortcut(shortcut_table[data[++i] % shortcut_table.size()]);
    } else if (byte < 0xF0) {
      if (done.size() > 1) {
        const Calc before = calc();
        undo();
        redo();
        if (!same(before, calc())) fail("undo then redo changed the state", expression);
      }
    } else if (i + 2 < size) {
      const unsigned raw = static_cast<unsigned>(data[i + 1]) << 8 | data[i + 2];
      i += 2;
      if (byte < 0xF8) typed(static_cast<wchar_t>(raw));
      else key(static_cast<int>(static_cast<std::int16_t>(raw)));
    }
  }
#ifdef RIVOVUZ_FAIL_ALLOCATIONS
  disarm_allocations();
#endif
  check_view();
  return 0;
}
