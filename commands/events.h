// User events: what the window and the console driver call, one undoable step each.
//
// Contract: each event either completes and returns true, or, when memory runs out,
// leaves the whole state (text, memory, modes, result_shown, undo log, history and
// its walk) exactly as it was and returns false. None throws. Any event but Up and
// Down ends a walk through the history.
#pragma once

#include <string_view>

bool key_event(int id);
bool char_event(wchar_t code);
// The text typed code unit by code unit, as one step however long it is.
bool paste_event(std::wstring_view text);
// Undo and redo ask for refresh_display, and refresh_key_labels when a mode changed.
bool undo_event();
bool redo_event();
bool history_up_event();
bool history_down_event();

// The start state of a run: "0", no memory, radians, no log, no history.
void reset_session();
