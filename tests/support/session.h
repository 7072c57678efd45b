// User events by name and a snapshot of the whole session, for the undo, history and
// allocation-failure tests.
#pragma once

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "commands/events.h"
#include "commands/history.h"
#include "commands/state.h"
#include "commands/undo.h"

struct UserEvent {
  enum Kind { key, typed, paste, undo, redo, up, down } kind;
  int value = 0;        // control id or code unit
  std::wstring text{};  // what paste types
};

inline UserEvent click(int id) { return {UserEvent::key, id}; }
inline UserEvent typed(wchar_t code) { return {UserEvent::typed, code}; }
inline UserEvent pasted(const wchar_t* text) { return {UserEvent::paste, 0, text}; }
inline const UserEvent undo_key{UserEvent::undo};
inline const UserEvent redo_key{UserEvent::redo};
inline const UserEvent up_key{UserEvent::up};
inline const UserEvent down_key{UserEvent::down};

inline bool run_user_event(const UserEvent& e) {
  switch (e.kind) {
    case UserEvent::key: return key_event(e.value);
    case UserEvent::typed: return char_event(static_cast<wchar_t>(e.value));
    case UserEvent::paste: return paste_event(e.text);
    case UserEvent::undo: return undo_event();
    case UserEvent::redo: return redo_event();
    case UserEvent::up: return history_up_event();
    case UserEvent::down: return history_down_event();
  }
  return false;
}

// Everything an event may change, memory bit for bit.
struct Session {
  std::wstring expression;
  double memory;
  bool second_mode, radian_mode, result_shown;
  std::deque<std::wstring> history;
  std::size_t undo_count, redo_count;
  std::size_t log_bytes, history_size;  // what the log and the history hold

  bool operator==(const Session& o) const {
    return expression == o.expression && std::memcmp(&memory, &o.memory, sizeof memory) == 0 &&
           second_mode == o.second_mode && radian_mode == o.radian_mode &&
           result_shown == o.result_shown && history == o.history &&
           undo_count == o.undo_count && redo_count == o.redo_count &&
           log_bytes == o.log_bytes && history_size == o.history_size;
  }
};

inline Session snapshot() {
  return {expression, memory, second_mode, radian_mode, result_shown,
          history, undo_count(), redo_count(), undo_bytes(), history_bytes()};
}

inline std::wstring describe(const Session& s) {
  return L"\"" + s.expression + L"\" m=" + std::to_wstring(s.memory) + L" 2nd=" +
         std::to_wstring(s.second_mode) + L" rad=" + std::to_wstring(s.radian_mode) +
         L" shown=" + std::to_wstring(s.result_shown) + L" history=" +
         std::to_wstring(s.history.size()) + L" undo=" + std::to_wstring(s.undo_count) +
         L" redo=" + std::to_wstring(s.redo_count);
}
