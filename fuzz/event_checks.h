// One event of a session, run and checked against the rules that hold for every key
// and character: which refresh it asks for, what it does to result_shown, that only
// its own keys change memory and the two modes, what "=" leaves (and "=" again), and
// that no exception escapes.
//
// Contract: each function returns only when the rules held; otherwise it aborts
// through fail() (fuzz/invariants.h).
#pragma once

// A click on the key with this control id (any int; ids that are no key do nothing),
// through key_event as the window runs it.
void check_key(int id);

// A shortcut from the table, as the window runs it: a click on its key, checked as
// check_key checks one; F3 and F4 in their own angle mode do nothing at all. Afterwards
// F3 leaves degrees on and F4 radians.
struct Shortcut;
void check_shortcut(const Shortcut& shortcut);

// A typed UTF-16 code unit, through char_event as the window runs it.
void check_typed(wchar_t code);

// The title and captions that a window would show for the current state.
void check_view();
