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

// Both shows take no memory of their own, so a refresh never fails.
void show_display() {
  if (display) SetWindowTextW(display, expression.c_str());
  if (main_window) SetWindowTextW(main_window, window_title_view(memory).data());
}

void show_key_labels() {
  if (!main_window) return;
  for (const KeyDef& key : key_table) {
    HWND button = GetDlgItem(main_window, key.id);
    if (!button) continue;
    SetWindowTextW(button, key_caption_view(key, second_mode, radian_mode).data());
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

void release_refreshes(bool carry_out) {
  if (hold_depth == 0 || --hold_depth > 0) return;
  if (carry_out && display_pending) show_display();
  if (carry_out && key_labels_pending) show_key_labels();
  display_pending = false;
  key_labels_pending = false;
}
