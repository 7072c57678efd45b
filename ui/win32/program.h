// The Win32 program's window state and the functions its files share.
//
// Contract: the handles are null until the main window's creation sets them; every
// function here tolerates null handles (it then does nothing).
#pragma once

#include <windows.h>

extern HINSTANCE app_instance; // set first thing in WinMain
extern HWND main_window;       // the "ZUR" window, set when its creation begins
extern HWND display;           // the display line, control id 1000
extern HBRUSH display_brush;   // the display's white background

constexpr int display_id = 1000;
constexpr int first_key_id = 1001;
constexpr int last_key_id = 1048;

#ifdef RIVOVUZ_GDI_COUNT
// Test build only: the main window answers this message with gdi_live_objects().
constexpr UINT gdi_count_message = WM_APP + 1;
// ... and this one with how often the keyboard menu loop began (WM_ENTERMENULOOP):
// the loop that DefWindowProc starts for an Alt character, which beeps or opens the
// system menu, so the window tests see whether a shortcut let it start.
constexpr UINT menu_loop_count_message = WM_APP + 2;
#endif

// The window procedure of class "ZUR": dispatches each message to one handler.
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// WM_DRAWITEM for one key: the rounded body in the key's colours, then its caption.
void paint_key(const DRAWITEMSTRUCT& item);

// WM_CTLCOLORSTATIC: the brush that paints the static control behind its text.
HBRUSH colour_static(HDC dc, HWND control);

// Ctrl+C: the display text onto the clipboard as Unicode text (nothing if it is busy).
void copy_display_text();
// Ctrl+V: the clipboard's Unicode text typed one code unit at a time, as one step.
// Returns false when memory ran out and nothing changed.
bool paste_clipboard_text();

// While held (counted, may nest), refresh requests are only noted; the last release
// carries out each kind that was asked for, once, or forgets them when carry_out is
// false (the event that asked for them changed nothing after all). Never fail.
void hold_refreshes();
void release_refreshes(bool carry_out);
