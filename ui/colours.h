// Colours of the keys and of the display: one constant table, no window needed.
//
// Contract: every lookup is total. A control id without a key, or a style without
// a row of its own, gets the colours of an ordinary (plain) key.
#pragma once

#include <cstdint>

#include "ui/key_table.h"

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

inline bool operator==(const Rgb& a, const Rgb& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

struct KeyColours {
  Rgb fill_normal;
  Rgb fill_pressed;
  Rgb border;
  Rgb caption;
};

// Colours for a key of this style and control id (first matching table row).
KeyColours key_colours_for(KeyStyle style, int id);

// Colours for the control with this id: its key_table style, or plain when no key has it.
KeyColours key_colours(int id);

// The fill to paint: fill_pressed while the key is held down, fill_normal otherwise.
Rgb key_fill(const KeyColours& colours, bool pressed);

// The display: dark text on a white background.
extern const Rgb display_text_colour;
extern const Rgb display_background_colour;
