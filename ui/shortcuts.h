// The keyboard shortcuts: one constant table from key combinations to keypad keys.
//
// Contract: a shortcut does exactly what a click on its key does (the caller runs
// key_event on the id that shortcut_key gives), so it is one undoable step and follows
// second-function mode. The table is pure data: the window looks presses up in it,
// the console driver looks names up in it, and F1 lists it; no entry takes a
// combination the window already uses or that Windows keeps for itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Modifier bits of a combination; a press matches an entry only with exactly its bits.
constexpr int shortcut_alt = 1;
constexpr int shortcut_ctrl = 2;
constexpr int shortcut_shift = 4;

// Windows virtual-key codes, so that the table needs no windows.h: letters and digits
// are their upper-case ASCII codes, F1 is 0x70 and F(n) is 0x6F + n.
constexpr int vk_f1 = 0x70;
constexpr int vk_f3 = 0x72;
constexpr int vk_f4 = 0x73;
constexpr int vk_f9 = 0x78;

// Which angle mode a shortcut sets: the angle-mode key toggles, so F3 and F4 press it
// only when the other mode is in force, and pressing either twice is safe.
enum class AngleTarget : std::uint8_t { none, degrees, radians };

struct Shortcut {
  int virtual_key;  // 'A'..'Z', '0'..'9' or a function key
  int modifiers;    // shortcut_alt, shortcut_ctrl, shortcut_shift, or'ed
  int key_id;       // the keypad key it presses, 1001..1048
  AngleTarget angle;
};

extern const std::vector<Shortcut> shortcut_table;

// The entry for this combination, or nullptr when none has it.
const Shortcut* find_shortcut(int virtual_key, int modifiers);
// The entry whose name (below) is exactly name, or nullptr when none has it.
const Shortcut* find_shortcut_named(std::string_view name);

// How README, F1 and rivovuz-cli write a combination: "Alt+S", "Ctrl+P", "F9".
// Empty for a key the table cannot hold (neither letter, digit nor F1..F12).
std::string shortcut_name(int virtual_key, int modifiers);
std::string shortcut_name(const Shortcut& shortcut);

// The key that the shortcut presses in this angle mode; 0, which no key has, when it
// has nothing to do (F3 while degrees are already on).
int shortcut_key(const Shortcut& shortcut, bool radian_mode);

// What F1 shows: one line per entry in table order, "Alt+S<TAB>sin / asin", the key's
// captions in both modes ("Deg" and "Rad" for F3 and F4). Throws std::bad_alloc only.
std::wstring shortcut_list_text();
