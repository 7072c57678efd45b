// The floor for the start-up measurement: the least a Win32 program with a window
// costs. It registers a class, opens one empty window of the calculator's size
// and runs the message loop until the window is closed.
#include <windows.h>

namespace {

LRESULT CALLBACK floor_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = floor_window_proc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = L"RivovuzFloor";
  if (!RegisterClassExW(&window_class)) return 1;
  HWND window = CreateWindowExW(0, L"RivovuzFloor", L"floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 820, 580, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show_command);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
