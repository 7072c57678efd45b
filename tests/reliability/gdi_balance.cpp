// rivovuz_gdi_balance: paints every key many times, normal and pressed, through the
// program's own window procedure, and requires as many live GDI objects afterwards.
//
//   rivovuz_gdi_balance [--paints N]   (N paints of each kind per key; default 10000)
//
// Built from the program's window sources with the counting GDI wrappers, so the
// count is the program's own: every object made through gdi_create_* and not yet
// deleted. GetGuiResources is checked too where it counts (Wine returns 0 for it).
// The count must not move across any single paint, and must be back after the
// button's own paths (BM_SETSTATE, WM_PAINT) and after recaptioning with "2nd".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/key_table.h"
#include "ui/win32/gdi.h"
#include "ui/win32/program.h"

HINSTANCE app_instance = nullptr;  // the program's WinMain sets it; this driver has its own main

namespace {

constexpr int button_rounds = 100;  // paints through the button's own paths, per key and kind

long normal_paints = 0;
long pressed_paints = 0;

// The program's window procedure, with the key paints counted on the way in.
LRESULT CALLBACK counting_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
    if (item->itemState & ODS_SELECTED) ++pressed_paints;
    else ++normal_paints;
  }
  return main_window_proc(window, message, wparam, lparam);
}

void pump_messages() {
  MSG message;
  for (int round = 0; round < 5; ++round) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

DWORD system_count() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

int failures = 0;
void expect(bool condition, const std::string& what) {
  if (!condition) {
    ++failures;
    std::printf("FAIL: %s\n", what.c_str());
  }
}

// Paints the key paints times normal and paints times pressed with WM_DRAWITEM, as the
// button sends it; false at the first paint after which the live count has moved.
bool paint_directly(HWND main, const KeyDef& key, int paints, int live) {
  HWND button = GetDlgItem(main, key.id);
  HDC dc = GetDC(button);
  DRAWITEMSTRUCT item = {};
  item.CtlType = ODT_BUTTON;
  item.CtlID = static_cast<UINT>(key.id);
  item.itemAction = ODA_DRAWENTIRE;
  item.hwndItem = button;
  item.hDC = dc;
  GetClientRect(button, &item.rcItem);
  bool balanced = true;
  for (int n = 0; n < paints && balanced; ++n) {
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
      item.itemState = state;
      SendMessageW(main, WM_DRAWITEM, static_cast<WPARAM>(key.id), reinterpret_cast<LPARAM>(&item));
      if (gdi_live_objects() != live) balanced = false;
    }
  }
  ReleaseDC(button, dc);
  return balanced;
}

// The button's own paths: pressed and released by BM_SETSTATE, repainted by WM_PAINT.
void paint_through_button(HWND main, const KeyDef& key) {
  HWND button = GetDlgItem(main, key.id);
  for (int n = 0; n < button_rounds; ++n) {
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    SendMessageW(button, BM_SETSTATE, FALSE, 0);
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int paints = 10000;
  if (argc == 3 && std::string(argv[1]) == "--paints") paints = std::atoi(argv[2]);
  if (paints <= 0) {
    std::fputs("usage: rivovuz_gdi_balance [--paints N]\n", stderr);
    return 2;
  }
  app_instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = counting_proc;
  window_class.hInstance = app_instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = L"ZUR";
  RegisterClassExW(&window_class);

  const int live_before = gdi_live_objects();
  HWND main = CreateWindowExW(0, L"ZUR", L"Rivovuz", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              820, 580, nullptr, nullptr, app_instance, nullptr);
  if (!main) {
    std::printf("FAIL: the window could not be created (error %lu)\n", GetLastError());
    return 1;
  }
  ShowWindow(main, SW_SHOW);
  UpdateWindow(main);
  pump_messages();

  // Two fonts and the display brush live as long as the window.
  const int live_start = gdi_live_objects();
  const DWORD system_start = system_count();
  expect(live_before == 0 && live_start == 3,
         "3 GDI objects after creation, not " + std::to_string(live_start));

  const DWORD started_at = GetTickCount();
  normal_paints = 0;  // the first showing of the window painted every key once already
  pressed_paints = 0;
  for (const KeyDef& key : key_table)
    expect(paint_directly(main, key, paints, live_start),
           "the live GDI count moved while painting key " + std::to_string(key.id));
  const long direct_normal = normal_paints;
  const long direct_pressed = pressed_paints;
  expect(direct_normal == 48L * paints && direct_pressed == 48L * paints,
         "every direct paint reached the window procedure");
  const double direct_seconds = (GetTickCount() - started_at) / 1000.0;

  for (const KeyDef& key : key_table) paint_through_button(main, key);
  for (int n = 0; n < 20; ++n) {  // "2nd" recaptions and repaints every key
    SendMessageW(main, WM_COMMAND, 1022, 0);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  pump_messages();
  const long button_normal = normal_paints - direct_normal;
  const long button_pressed = pressed_paints - direct_pressed;
  expect(button_pressed >= 48L * button_rounds, "BM_SETSTATE painted every key pressed");
  expect(button_normal >= 48L * button_rounds, "BM_SETSTATE and WM_PAINT painted every key normal");

  const int live_end = gdi_live_objects();
  const DWORD system_end = system_count();
  expect(live_end == live_start, "live GDI objects " + std::to_string(live_start) + " before, " +
                                     std::to_string(live_end) + " after");
  if (system_start != 0)
    expect(system_end == system_start, "GetGuiResources " + std::to_string(system_start) + " before, " +
                                           std::to_string(system_end) + " after");

  DestroyWindow(main);
  pump_messages();
  const int live_destroyed = gdi_live_objects();
  expect(live_destroyed == live_start - 1,
         "the display brush deleted with the window, the two fonts kept: " + std::to_string(live_destroyed));

  std::printf("gdi balance: 48 keys x %d paints normal and %d pressed through WM_DRAWITEM "
              "(%ld paints in %.1f s), then %ld normal and %ld pressed through the buttons\n",
              paints, paints, direct_normal + direct_pressed, direct_seconds, button_normal, button_pressed);
  std::printf("gdi balance: live GDI objects %d after creation, %d after painting, %d after destruction\n",
              live_start, live_end, live_destroyed);
  if (system_start != 0)
    std::printf("gdi balance: GetGuiResources %lu before, %lu after\n", static_cast<unsigned long>(system_start),
                static_cast<unsigned long>(system_end));
  else
    std::printf("gdi balance: GetGuiResources returns 0 here (Wine); the counted wrappers decide\n");
  std::printf("gdi balance: %s\n", failures == 0 ? "passed" : "FAILED");
  return failures == 0 ? 0 : 1;
}
