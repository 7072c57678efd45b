// What the window should show, written down independently of the
// program's own tables: keys, captions, layout and colours.
#pragma once

#include <windows.h>

#include <string>

struct ExpectedKey {
  int id;
  const wchar_t* label;
  const wchar_t* second_label; // L"" when the key keeps its label
};

// The 48 keys in row-major order: entry n sits at row n / 8, column n % 8.
extern const ExpectedKey expected_keys[48];

// The caption key n shows in the given modes.
std::wstring expected_caption(int n, bool second_mode, bool radian_mode);

struct ExpectedRect {
  int x;
  int y;
  int width;
  int height;
};
ExpectedRect expected_display_rect(int client_width);
ExpectedRect expected_key_rect(int n, int client_width, int client_height);

struct ExpectedColours {
  COLORREF fill_normal;
  COLORREF fill_pressed;
  COLORREF border;
  COLORREF caption;
};
ExpectedColours expected_colours(int id);

extern const wchar_t* const base_title;   // "Rivovuz-计算器"
extern const wchar_t* const memory_title; // the same with "   [M]"
