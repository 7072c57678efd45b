// The refresh hooks that the commands call: state to display, title and key captions.
#include "commands/refresh.h"

#include "commands/state.h"
#include "ui/captions.h"
#include "ui/key_table.h"
#include "ui/win32/program.h"

namespace {

int hold_depth = 0;
bool display_pending = false;
bool key_labels_pending = false;

void show_display() {
  if (display) SetWindowTextW(display, expression.c_str());
  if (main_window) SetWindowTextW(main_window, window_title(memory).c_str());
}

void show_key_labels() {
  if (!main_window) return;
  for (const KeyDef& key : key_table) {
    HWND button = GetDlgItem(main_window, key.id);
    if (!button) continue;
    SetWindowTextW(button, key_caption(key, second_mode, radian_mode).c_str());
    // The painter draws the button's current text, so a repaint shows the new caption.
    InvalidateRect(button, nullptr, TRUE);
  }
}

} // namespace

void refresh_display() {
  if (hold_depth > 0) {
    display_pending = true;
    return;
  }
  show_display();
}

void refresh_key_labels() {
  if (hold_depth > 0) {
    key_labels_pending = true;
    return;
  }
  show_key_labels();
}

void hold_refreshes() { ++hold_depth; }

void release_refreshes() {
  if (hold_depth == 0 || --hold_depth > 0) return;
  if (display_pending) show_display();
  if (key_labels_pending) show_key_labels();
  display_pending = false;
  key_labels_pending = false;
}
