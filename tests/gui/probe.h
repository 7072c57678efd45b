// The test driver's view of a running calculator: texts, rectangles, pixels and
// input, all read or sent from outside the program as a user's tools would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct Program {
  PROCESS_INFORMATION process; // zero when the program was not started by this driver
  DWORD process_id;
  HWND window;                 // the "ZUR" window of that process
};

// Starts exe (a Unix or Windows path) and waits up to 60 s for its "ZUR" window.
// window is null on failure, and the process is then ended.
Program start_program(const std::wstring& exe);
// Finds the "ZUR" window of a running process; window is null when there is none.
Program attach_program(DWORD process_id);
// Posts WM_CLOSE and waits up to 30 s; returns the exit code, or -1 when it did not end.
long close_program(Program& program);

// The window's text as GetWindowTextW reads it.
std::wstring text_of(HWND window);
std::wstring class_of(HWND window);

struct ScreenRect {
  int x;
  int y;
  int width;
  int height;
};
// A child's rectangle in the client coordinates of its parent.
ScreenRect client_rect_of(HWND parent, HWND child);
// The client area's size.
SIZE client_size(HWND window);
// Resizes the window so that its client area is width by height; returns the size
// that the window system actually gave.
SIZE resize_client(HWND window, int width, int height);

// Polls condition every 20 ms until it holds or timeout_ms passes; true if it held.
bool wait_for(const std::function<bool()>& condition, int timeout_ms);

// One screen capture of a window's client area, read pixel by pixel.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels; // row-major, client coordinates
  COLORREF at(int x, int y) const;
};
Capture capture_client(HWND window);

// Presses and releases keys through the system's input queue (like a keyboard):
// each entry is a virtual key; VK_CONTROL, VK_MENU (Alt) and VK_SHIFT entries are held
// around the next key.
void press_keys(const std::vector<WORD>& keys);

// A visible top-level window of the process with this class ("#32770" a dialog or
// message box, "#32768" a menu), or null.
HWND visible_window_of(DWORD process_id, const wchar_t* window_class);
// Every text of a window and its children, joined with newlines.
std::wstring texts_within(HWND window);

// The clipboard's Unicode text (empty if none); setting it replaces every format.
std::wstring clipboard_text();
bool set_clipboard_text(const std::wstring& text);

// Text for the log: ASCII as it is, everything else as \uXXXX.
std::string printable(const std::wstring& text);
