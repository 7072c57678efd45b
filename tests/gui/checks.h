// The window checks, one group per function; each records its results with expect().
#pragma once

#include <windows.h>

#include <string>

extern int checks_run;
extern int checks_failed;

// Counts a check; prints what when it failed.
void expect(bool ok, const std::string& what);
// The window's text must be exactly expected.
void expect_text(HWND window, const std::wstring& expected, const std::string& what);

void check_start_state(HWND main);
void check_sequences(HWND main);
void check_captions(HWND main);
void check_memory_title(HWND main);
void check_focus(HWND main);
void check_layout(HWND main);
void check_colours(HWND main);
void check_keyboard_and_clipboard(HWND main);
void check_gdi_balance(HWND main);
void check_shortcuts(HWND main);
void check_menu_loop(HWND main);
