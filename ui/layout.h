// Where the display and the keys sit in the main window: pure arithmetic on the client size.
//
// Contract: every function is total. Sizes come from signed divisions that truncate
// toward zero, so small or zero client areas give zero or negative key sizes; they
// are returned unchanged and the window system decides what to make of them.
#pragma once

struct ControlRect {
  int x;
  int y;
  int width;
  int height;
};

inline bool operator==(const ControlRect& a, const ControlRect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// The display line: x 12, y 5, width client_width - 24, height 80.
ControlRect display_rect(int client_width);

// Width of every key: (client_width - 66) / 8, truncated toward zero.
int key_width(int client_width);

// Height of every key: (client_height - 144) / 6, truncated toward zero.
int key_height(int client_height);

// The key in grid cell (row, column) for this client size.
ControlRect key_rect(int row, int column, int client_width, int client_height);
