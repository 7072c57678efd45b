// Drives the real calculator window from outside, the way a user and a user's tools
// meet it, and compares every read-out with what the calculator should show.
//
// Usage: rivovuz_gui_driver check EXE     the whole suite against a fresh EXE
//        rivovuz_gui_driver gdi EXE       GDI balance of the counted build
//        rivovuz_gui_driver start EXE     starts EXE, prints its process id
//        rivovuz_gui_driver centre PID ID prints the screen centre of key ID
//        rivovuz_gui_driver expect PID TEXT [ID]  display text (or control ID's text) must
//                                         be TEXT (ASCII, \uXXXX for others)
//        rivovuz_gui_driver list PID 1|0  the F1 list must be open (1) or closed (0), and
//                                         no menu open
//        rivovuz_gui_driver front PID     the window must be in front with no menu open
//        rivovuz_gui_driver close PID     closes the window, exit code must be 0
//        rivovuz_gui_driver exited PID    the program must end by itself with exit code 0
// Exit code 0: all checks passed; 1: a check failed; 3: the window never appeared.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/gui/checks.h"
#include "tests/gui/design.h"
#include "tests/gui/probe.h"

// Exit code when the program never showed its window: the script may try again.
constexpr int no_window = 3;

int checks_run = 0;
int checks_failed = 0;

void expect(bool ok, const std::string& what) {
  ++checks_run;
  if (ok) return;
  ++checks_failed;
  std::printf("FAIL: %s\n", what.c_str());
  std::fflush(stdout);
}

void expect_text(HWND window, const std::wstring& expected, const std::string& what) {
  const std::wstring actual = text_of(window);
  expect(actual == expected, what + ": \"" + printable(actual) + "\", expected \"" +
                                 printable(expected) + "\"");
}

namespace {

// "\uXXXX" as the one code unit it names: the command line stays ASCII.
std::wstring unescaped(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, L"\\u") == 0 && i + 6 <= text.size()) {
      out += static_cast<wchar_t>(std::wcstoul(text.substr(i + 2, 4).c_str(), nullptr, 16));
      i += 5;
    } else {
      out += text[i];
    }
  }
  return out;
}

int finish(const char* suite) {
  std::printf("%s: %d checks, %d failed\n", suite, checks_run, checks_failed);
  return checks_failed == 0 ? 0 : 1;
}

void check_exit_code(Program& program) {
  const long code = close_program(program);
  expect(code == 0, "exit code after a normal close: " + std::to_string(code));
}

int run_suite(const std::wstring& exe) {
  Program program = start_program(exe);
  if (!program.window) {
    expect(false, "a \"ZUR\" window appears after start");
    finish("window suite");
    return no_window;
  }
  check_start_state(program.window);
  check_sequences(program.window);
  check_captions(program.window);
  check_memory_title(program.window);
  check_focus(program.window);
  check_layout(program.window);
  check_colours(program.window);
  check_keyboard_and_clipboard(program.window);
  check_shortcuts(program.window);
  check_exit_code(program);
  return finish("window suite");
}

int run_gdi_suite(const std::wstring& exe) {
  Program program = start_program(exe);
  if (!program.window) {
    expect(false, "a \"ZUR\" window appears after start");
    finish("gdi suite");
    return no_window;
  }
  check_gdi_balance(program.window);
  check_menu_loop(program.window);
  check_exit_code(program);
  return finish("gdi suite");
}

DWORD process_id_argument(const wchar_t* text) {
  return static_cast<DWORD>(std::wcstoul(text, nullptr, 10));
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"check" && argc == 3) return run_suite(argv[2]);
  if (mode == L"gdi" && argc == 3) return run_gdi_suite(argv[2]);
  if (mode == L"start" && argc == 3) {
    Program program = start_program(argv[2]);
    if (!program.window) return no_window;
    std::printf("%lu\n", program.process_id);
    return 0;
  }
  if (mode == L"centre" && argc == 4) {
    Program program = attach_program(process_id_argument(argv[2]));
    HWND key = GetDlgItem(program.window, static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
    if (!key) return 1;
    RECT rect = {};
    GetWindowRect(key, &rect);
    std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return 0;
  }
  if (mode == L"expect" && (argc == 4 || argc == 5)) {
    Program program = attach_program(process_id_argument(argv[2]));
    const int id = argc == 5 ? static_cast<int>(std::wcstol(argv[4], nullptr, 10)) : 1000;
    HWND display = GetDlgItem(program.window, id);
    const std::wstring expected = unescaped(argv[3]);
    // Real input arrives asynchronously: give it a moment to reach the display.
    wait_for([&] { return text_of(display) == expected; }, 5000);
    expect_text(display, expected, "display after real input");
    return finish("expect");
  }
  if (mode == L"list" && argc == 4) {
    const DWORD process_id = process_id_argument(argv[2]);
    const bool open = std::wcscmp(argv[3], L"1") == 0;
    HWND box = nullptr;
    const bool as_wanted = wait_for([&] {
      box = visible_window_of(process_id, L"#32770");
      return (box != nullptr) == open;
    }, 5000);
    expect(as_wanted, open ? "F1 opens the shortcut list" : "the shortcut list is closed");
    if (open && box)
      expect(texts_within(box).find(L"Alt+S	sin / asin") != std::wstring::npos,
             "the list holds Alt+S: " + printable(texts_within(box).substr(0, 60)));
    expect(!visible_window_of(process_id, L"#32768"), "no menu is open");
    return finish("list");
  }
  if (mode == L"front" && argc == 3) {
    Program program = attach_program(process_id_argument(argv[2]));
    expect(program.window && wait_for([&] { return GetForegroundWindow() == program.window; }, 2000),
           "the calculator is the foreground window");
    expect(!visible_window_of(program.process_id, L"#32768"), "no menu is open");
    return finish("front");
  }
  if (mode == L"exited" && argc == 3) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE,
                                 process_id_argument(argv[2]));
    DWORD code = 1;
    const bool ended = process && WaitForSingleObject(process, 30000) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process, &code);
    expect(ended && code == 0, "the program ended with exit code " + std::to_string(code));
    return finish("exited");
  }
  if (mode == L"close" && argc == 3) {
    Program program = attach_program(process_id_argument(argv[2]));
    if (!program.window) return 1;
    check_exit_code(program);
    return finish("close");
  }
  std::fprintf(stderr, "usage: rivovuz_gui_driver check|gdi|start EXE, centre PID ID, "
                       "expect PID TEXT [ID], list PID 1|0, front PID, close|exited PID\n");
  return 2;
}
