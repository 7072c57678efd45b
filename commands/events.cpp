// User events: each command run as one step that completes or changes nothing.
#include "commands/events.h"

#include <algorithm>
#include <exception>
#include <string>

#include "commands/edit.h"
#include "commands/history.h"
#include "commands/keys.h"
#include "commands/refresh.h"
#include "commands/state.h"
#include "commands/typing.h"
#include "commands/undo.h"

namespace {

// The walk through the history: which entry is shown, counted from the newest (0),
// and the display as it was before the first Up.
struct Walk {
  bool active = false;
  std::size_t offset = 0;
  std::wstring draft;
  bool draft_result_shown = false;
};
Walk walk;

void end_walk() {
  if (!walk.active) return;
  walk.active = false;
  std::wstring().swap(walk.draft);  // a long draft gives its memory back
}

// Runs edit as one step; on any failure the state goes back to where it was.
// std::bad_alloc is what is expected; std::length_error is its cousin for a text
// beyond max_size.
template <class Edit>
bool run_step(Edit edit) {
  begin_step();
  try {
    edit();
    commit_step();
  } catch (const std::exception&) {
    abandon_step();
    return false;
  }
  return true;
}

template <class Edit>
bool run_event(Edit edit) {
  if (!run_step(edit)) return false;
  end_walk();
  return true;
}

// Shows text as an editable entry; a step of its own.
bool show_entry(const std::wstring& text, bool shown_as_result) {
  return run_step([&] {
    expression_assign(text);
    result_shown = shown_as_result;
    refresh_display();
  });
}

template <class Move>
bool run_undo_move(Move move) {
  const bool second = second_mode;
  const bool radian = radian_mode;
  bool moved = false;
  try {
    moved = move();
  } catch (const std::exception&) {
    return false;
  }
  end_walk();
  if (moved) {
    refresh_display();
    if (second != second_mode || radian != radian_mode) refresh_key_labels();
  }
  return true;
}

}  // namespace

bool key_event(int id) {
  return run_event([id] { run_key_command(id); });
}

bool char_event(wchar_t code) {
  return run_event([code] { handle_typed_char(code); });
}

bool paste_event(std::wstring_view text) {
  return run_event([text] {
    for (wchar_t code : text) handle_typed_char(code);
  });
}

bool undo_event() { return run_undo_move(undo_step); }
bool redo_event() { return run_undo_move(redo_step); }

bool history_up_event() {
  const std::size_t offset = walk.active ? walk.offset + 1 : 0;
  if (offset >= history.size()) return true;  // nothing older: the walk stays where it is
  std::wstring draft;
  try {
    if (!walk.active) draft = expression;
  } catch (const std::exception&) {
    return false;
  }
  const bool draft_result_shown = result_shown;
  if (!show_entry(history[history.size() - 1 - offset], false)) return false;
  if (!walk.active) {
    walk.draft.swap(draft);
    walk.draft_result_shown = draft_result_shown;
    walk.active = true;
  }
  walk.offset = offset;
  return true;
}

bool history_down_event() {
  if (!walk.active) return true;
  if (walk.offset == 0) {
    if (!show_entry(walk.draft, walk.draft_result_shown)) return false;
    end_walk();
    return true;
  }
  // Entries older than the shown one, and the shown one too, may have been dropped to
  // keep the bound (the newest always stays): the next newer entry still there.
  const std::size_t offset = std::min(walk.offset - 1, history.size() - 1);
  if (!show_entry(history[history.size() - 1 - offset], false)) return false;
  walk.offset = offset;
  return true;
}

void reset_session() {
  std::wstring(L"0").swap(expression);  // the start's buffer too, not just its text
  memory = 0.0;
  second_mode = false;
  radian_mode = true;
  result_shown = false;
  clear_undo();
  clear_history();
  end_walk();
}
