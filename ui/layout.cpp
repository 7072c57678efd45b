// Layout arithmetic of the main window: a display line over a 6 by 8 grid of keys.
#include "ui/layout.h"

namespace {

constexpr int margin = 12;          // left and right of display and keypad, below the keypad
constexpr int display_top = 5;
constexpr int display_height = 80;
constexpr int keypad_top = 102;
constexpr int gap = 6;              // between neighbouring keys, across and down
constexpr int columns = 8;
constexpr int rows = 6;
constexpr int horizontal_overhead = margin + (columns - 1) * gap + margin; // 66
constexpr int vertical_overhead = keypad_top + (rows - 1) * gap + margin;  // 144

} // namespace

ControlRect display_rect(int client_width) {
  return {margin, display_top, client_width - 2 * margin, display_height};
}

// C++ integer division truncates toward zero, which is the rule wanted here.
int key_width(int client_width) { return (client_width - horizontal_overhead) / columns; }

int key_height(int client_height) { return (client_height - vertical_overhead) / rows; }

ControlRect key_rect(int row, int column, int client_width, int client_height) {
  const int w = key_width(client_width);
  const int h = key_height(client_height);
  return {margin + column * (w + gap), keypad_top + row * (h + gap), w, h};
}
