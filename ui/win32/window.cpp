// The window procedure of the main window: one small handler per message.
#include <exception>

#include "commands/events.h"
#include "commands/state.h"
#include "ui/captions.h"
#include "ui/key_table.h"
#include "ui/layout.h"
#include "ui/shortcuts.h"
#include "ui/win32/gdi.h"
#include "ui/win32/program.h"

HWND main_window = nullptr;
HWND display = nullptr;
HBRUSH display_brush = nullptr;

namespace {

#ifdef RIVOVUZ_GDI_COUNT
LRESULT menu_loops = 0;
#endif

constexpr DWORD display_style = WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_CENTERIMAGE; // 0x50000202
constexpr DWORD key_style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;                  // 0x5000000B

HWND create_child(HWND parent, const wchar_t* window_class, const wchar_t* text, DWORD style,
                  int id, HFONT font) {
  HWND child = CreateWindowExW(0, window_class, text, style, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app_instance,
                               nullptr);
  if (child) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  return child;
}

// The fonts stay alive for the whole run: the controls keep using them.
void on_create(HWND window) {
  main_window = window;
  HFONT key_font = gdi_create_font(20, 400, L"Microsoft YaHei");
  HFONT display_font = gdi_create_font(44, 300, L"Consolas");
  display_brush = gdi_create_solid_brush(display_background_colour);
  display = create_child(window, L"STATIC", L"0", display_style, display_id, display_font);
  for (const KeyDef& key : key_table)
    create_child(window, L"BUTTON", key.label.c_str(), key_style, key.id, key_font);
  SetWindowTextW(window, window_title_view(memory).data());
}

void on_destroy() {
  if (display_brush) gdi_delete_object(display_brush);
  display_brush = nullptr;
  display = nullptr;
  main_window = nullptr;
  PostQuitMessage(0);
}

// The same arithmetic for every kind of size change, minimising (0 by 0) included.
void on_size(HWND window, LPARAM lparam) {
  const int width = LOWORD(lparam);
  const int height = HIWORD(lparam);
  const ControlRect d = display_rect(width);
  MoveWindow(display, d.x, d.y, d.width, d.height, TRUE);
  for (const KeyDef& key : key_table) {
    const ControlRect r = key_rect(key.row, key.column, width, height);
    MoveWindow(GetDlgItem(window, key.id), r.x, r.y, r.width, r.height, TRUE);
  }
}

// Runs one event with its refreshes held: the screen shows its outcome at once, or,
// when the event ran out of memory and changed nothing, is left alone.
template <class Event>
void run_event(Event event) {
  hold_refreshes();
  bool done = false;
  try {
    done = event();
  } catch (const std::exception&) {  // reading the clipboard found no memory
  }
  release_refreshes(done);
}

// Every command message hands the focus back, so typing reaches the main window again.
void on_command(HWND window, WPARAM wparam) {
  const int id = LOWORD(wparam);
  if (id >= first_key_id && id <= last_key_id) run_event([id] { return key_event(id); });
  SetFocus(window);
}

static_assert(vk_f1 == VK_F1 && vk_f3 == VK_F3 && vk_f4 == VK_F4 && vk_f9 == VK_F9);

int held_modifiers() {
  int modifiers = 0;
  if (GetKeyState(VK_MENU) < 0) modifiers |= shortcut_alt;
  if (GetKeyState(VK_CONTROL) < 0) modifiers |= shortcut_ctrl;
  if (GetKeyState(VK_SHIFT) < 0) modifiers |= shortcut_shift;
  return modifiers;
}

// A combination from the shortcut table runs its key's command as a click does; false
// when the press is no shortcut. Repeats of a held key arrive here too and repeat it.
bool run_shortcut(WPARAM wparam) {
  const Shortcut* shortcut = find_shortcut(static_cast<int>(wparam), held_modifiers());
  if (!shortcut) return false;
  run_event([shortcut] { return key_event(shortcut_key(*shortcut, radian_mode)); });
  return true;
}

// F1: the shortcut table as a modal message box; OK, Enter and Escape close it.
void show_shortcut_list(HWND window) {
  const std::wstring text = shortcut_list_text();
  MessageBoxW(window, text.c_str(), window_title_view(0.0).data(), MB_OK);
}

// Shortcuts live on the key-down path, so a held key repeats them; the characters
// that the Ctrl presses type (3, 22, 25, 26 and those of the Ctrl shortcuts) still
// reach char_event, which ignores them. True when the press was handled.
bool on_key_down(HWND window, WPARAM wparam) {
  const int modifiers = held_modifiers();
  if (wparam == VK_F1 && modifiers == 0) {
    show_shortcut_list(window);
    return true;
  }
  if (run_shortcut(wparam)) return true;
  if (modifiers & shortcut_alt) return false;
  if (!(modifiers & shortcut_ctrl)) {
    if (wparam == VK_UP) run_event(history_up_event);
    if (wparam == VK_DOWN) run_event(history_down_event);
    return false;
  }
  const bool shift = modifiers & shortcut_shift;
  if (wparam == 'C') copy_display_text();
  if (wparam == 'V') run_event(paste_clipboard_text);
  if (wparam == 'Z' && !shift) run_event(undo_event);
  if ((wparam == 'Z' && shift) || wparam == 'Y') run_event(redo_event);
  return false;
}

// Alt with a key: a shortcut runs, and the WM_SYSCHAR that TranslateMessage queued for
// the same press is taken out, so DefWindowProc never sees it: that character is what
// would open the keyboard menu loop, which beeps for a letter with no menu item and
// opens the system menu for Space. The key-down itself still goes on to DefWindowProc,
// which notes that a key came with Alt; without that, releasing Alt would enter menu
// mode as after a lone Alt press, and the next key would go to the menu. Other Alt
// presses (Alt+F4, Alt+Space, Alt+Tab) are the system's.
void on_sys_key_down(HWND window, WPARAM wparam) {
  if (!run_shortcut(wparam)) return;
  MSG typed;
  while (PeekMessageW(&typed, window, WM_SYSCHAR, WM_SYSDEADCHAR, PM_REMOVE)) {
  }
}

LRESULT dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
  case WM_CREATE:
    on_create(window);
    break;
  case WM_DESTROY:
    on_destroy();
    return 0;
  case WM_SIZE:
    on_size(window, lparam);
    break;
  case WM_DRAWITEM:
    paint_key(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
    return TRUE;
  case WM_CHAR: {
    const auto code = static_cast<wchar_t>(LOWORD(wparam));
    run_event([code] { return char_event(code); });
    break;
  }
  case WM_KEYDOWN:
    if (on_key_down(window, wparam)) return 0;
    break;
  case WM_SYSKEYDOWN:
    on_sys_key_down(window, wparam);
    break;
  case WM_COMMAND:
    on_command(window, wparam);
    break;
  case WM_CTLCOLORSTATIC:
    return reinterpret_cast<LRESULT>(
        colour_static(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam)));
#ifdef RIVOVUZ_GDI_COUNT
  case gdi_count_message:
    return gdi_live_objects();
  case WM_ENTERMENULOOP:
    ++menu_loops;
    break;
  case menu_loop_count_message:
    return menu_loops;
#endif
  default:
    break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

} // namespace

// No exception may unwind through the system's code that called us. Events stop
// their own; what is left is the window's creation, which then fails and WinMain
// exits with 1, and anything else, which leaves the message as not handled.
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    return dispatch(window, message, wparam, lparam);
  } catch (...) {
    return message == WM_CREATE ? -1 : 0;
  }
}
