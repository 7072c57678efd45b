// Entry point: seeds the generator, registers "ZUR", opens the window, runs the loop.
#include <cstdlib>
#include <ctime>

#include "ui/win32/program.h"

HINSTANCE app_instance = nullptr;

namespace {

constexpr wchar_t class_name[] = L"ZUR";
constexpr wchar_t base_title[] = L"Rivovuz-\u8ba1\u7b97\u5668"; // Rivovuz-计算器
constexpr int window_width = 820;  // outer size, frame included
constexpr int window_height = 580;

void register_main_class(HINSTANCE instance) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = main_window_proc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = class_name;
  RegisterClassExW(&window_class); // a failure shows as the failed creation below
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  app_instance = instance;
  srand(static_cast<unsigned>(_time64(nullptr) & 0xFFFFFFFFu));
  register_main_class(instance);
  HWND window = CreateWindowExW(0, class_name, base_title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, window_width, window_height, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show_command);
  UpdateWindow(window);
  MSG message;
  // GetMessageW returns -1 on an error; that ends the loop too rather than spinning.
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
