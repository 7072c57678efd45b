// The two refresh requests that end a command; the only road from state to screen.
//
// The commands declare them and never define them: the Win32 layer links its own
// (display text, title, key captions), builds without a window link
// refresh_record.cpp, which counts the requests.
#pragma once

// After a change of expression or memory: display text and window title.
void refresh_display();
// After a change of second_mode or radian_mode: every key caption.
void refresh_key_labels();
