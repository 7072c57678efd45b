// Window checks of state and input: start-up texts, clicks, typing, captions, the
// title's memory marker, focus, and copy and paste.
#include <cmath>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/gui/checks.h"
#include "tests/gui/design.h"
#include "tests/gui/probe.h"

namespace {

// Key ids by caption; a step below 1000 is a typed character code instead.
enum Key : int {
  k0 = 1001, k1, k2, k3, k4, k5, k6, k7, k8, k9,
  dot, plus, minus, times, divide, equals, all_clear, backspace, sign, open, close,
  second, angle, pi, ee, percent, sin_key, cos_key, tan_key, sinh_key, cosh_key, tanh_key,
  ln_key, lg_key, root2, square, cube, power, ten_power, exp_key, reciprocal, root_y,
  factorial, mc, m_plus, m_minus, mr, rand_key,
};

const wchar_t* const error_text = L"\u9519\u8BEF";            // 错误
const wchar_t* const infinity_text = L"\u65E0\u7A77\u5927";   // 无穷大

struct Sequence {
  const char* name;
  std::vector<int> steps;
  const wchar_t* display;
};

// Each row starts from "AC"; rows that switch a mode switch it back.
const Sequence sequences[] = {
    // Evaluation through "=".
    {"1 + 2 =", {k1, plus, k2, equals}, L"3"},
    {"1 / 3 =", {k1, divide, k3, equals}, L"0.333333333333"},
    {"1 / 0 = is an error", {k1, divide, k0, equals}, error_text},
    {"10 ^ 400 = is infinity", {k1, k0, power, k4, k0, k0, equals}, infinity_text},
    {"( 1 + 2 = closes the parenthesis", {open, k1, plus, k2, equals}, L"3"},
    {"2 y^x 10 =", {k2, power, k1, k0, equals}, L"1024"},
    {"5 x! =", {k5, factorial, equals}, L"120"},
    {"pi =", {pi, equals}, L"3.14159265359"},
    {"2 1/x =", {k2, reciprocal, equals}, L"0.5"},
    {"= on 0 does nothing", {equals}, L"0"},
    // A function key on the fresh "0" starts the entry: sin(30), not 0sin(30).
    {"sin 3 0 = from the start", {sin_key, k3, k0, equals}, L"-0.988031624093"},
    {"sqrt 9 = from the start", {root2, k9, equals}, L"3"},
    {"Deg: sin 3 0 =", {angle, sin_key, k3, k0, equals, angle}, L"0.5"},
    {"2nd: the x^2 key takes the square root", {second, square, k9, equals, second}, L"3"},
    {"2nd: the sqrt key squares", {k3, second, root2, second, equals}, L"9"},
    // Results and what follows them.
    {"= then + continues", {k9, equals, plus, k1, equals}, L"10"},
    {"= then a digit starts afresh", {k5, equals, k7}, L"7"},
    {"error then a digit", {k1, divide, k0, equals, k9}, L"9"},
    {"error then +", {k1, divide, k0, equals, plus}, L"\u9519\u8BEF+"},
    {"error then backspace", {k1, divide, k0, equals, backspace}, L"0"},
    // Editing keys on the start text.
    {". on 0", {dot}, L"0."},
    {". twice in one number", {k3, dot, k5, dot}, L"3.5"},
    {"sign on 0", {sign}, L"-0"},
    {"backspace on 0", {backspace}, L"0"},
    {"backspace on 12", {k1, k2, backspace}, L"1"},
    {"+ on 0", {plus}, L"0+"},
    {"EE on 0", {ee}, L"0e"},
    // Typed characters.
    {"typed 1 + 2 Enter", {'1', '+', '2', 13}, L"3"},
    {"typed 7 * 6 Enter", {'7', '*', '6', 13}, L"42"},
    {"typed * shows as a times sign", {'7', '*'}, L"7\u00D7"},
    {"typed / shows as a division sign", {'8', '/'}, L"8\u00F7"},
    {"typed Backspace", {'1', '2', 8}, L"1"},
    {"typed Escape", {'5', 27}, L"0"},
    {"typed characters that do nothing", {'^', '!', '=', 'a', ',', ' ', 3, 22}, L"0"},
    {"typed . on 0", {'.'}, L"."},
    {"typed + on 0 replaces it", {'+'}, L"+"},
    {"typed + after a result continues", {'5', 13, '+'}, L"5+"},
    {"keys and typing mixed", {k1, '+', k2, 13}, L"3"},
};

enum class Click { bm_click, wm_command };

void step(HWND main, int code, Click how) {
  if (code < 1000) {
    SendMessageW(main, WM_CHAR, static_cast<WPARAM>(code), 1);
    return;
  }
  HWND button = GetDlgItem(main, code);
  if (how == Click::bm_click) SendMessageW(button, BM_CLICK, 0, 0);
  else SendMessageW(main, WM_COMMAND, MAKEWPARAM(code, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void run_steps(HWND main, const std::vector<int>& steps, Click how) {
  step(main, all_clear, how);
  for (int code : steps) step(main, code, how);
}

HWND display_of(HWND main) { return GetDlgItem(main, 1000); }

HWND focus_of(HWND main) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
  return info.hwndFocus;
}

void expect_captions(HWND main, bool second_mode, bool radian_mode, const std::string& when) {
  for (int n = 0; n < 48; ++n) {
    expect_text(GetDlgItem(main, expected_keys[n].id), expected_caption(n, second_mode, radian_mode),
                "caption of key " + std::to_string(expected_keys[n].id) + " " + when);
  }
}

int significant_digits(const std::wstring& text) {
  int digits = 0;
  bool leading = true;
  for (wchar_t c : text) {
    if (c == L'e') break;
    if (c < L'0' || c > L'9') continue;
    if (c != L'0') leading = false;
    if (!leading) ++digits;
  }
  return digits;
}

} // namespace

void check_start_state(HWND main) {
  expect(class_of(main) == L"ZUR", "window class is ZUR");
  expect_text(main, base_title, "title at start");
  RECT outer = {};
  GetWindowRect(main, &outer);
  expect(outer.right - outer.left == 820 && outer.bottom - outer.top == 580,
         "outer size 820 by 580: " + std::to_string(outer.right - outer.left) + " by " +
             std::to_string(outer.bottom - outer.top));
  HWND display = display_of(main);
  expect(display != nullptr, "display control 1000 exists");
  expect(class_of(display) == L"Static", "display is a STATIC control: " + printable(class_of(display)));
  expect(static_cast<DWORD>(GetWindowLongW(display, GWL_STYLE)) == 0x50000202,
         "display style 0x50000202");
  expect_text(display, L"0", "display at start");
  for (int n = 0; n < 48; ++n) {
    HWND key = GetDlgItem(main, expected_keys[n].id);
    const std::string name = "key " + std::to_string(expected_keys[n].id);
    expect(key != nullptr && GetParent(key) == main, name + " is a child of the main window");
    expect(class_of(key) == L"Button", name + " is a BUTTON");
    expect(static_cast<DWORD>(GetWindowLongW(key, GWL_STYLE)) == 0x5000000B,
           name + " style 0x5000000B");
  }
  expect(GetDlgItem(main, 1049) == nullptr, "no control 1049");
  expect_captions(main, false, true, "at start");
}

void check_sequences(HWND main) {
  HWND display = display_of(main);
  for (Click how : {Click::bm_click, Click::wm_command}) {
    const std::string method = how == Click::bm_click ? " (BM_CLICK)" : " (WM_COMMAND)";
    for (const Sequence& sequence : sequences) {
      run_steps(main, sequence.steps, how);
      expect_text(display, sequence.display, sequence.name + method);
    }
    // "Rand": a value from 0 to 1 with at most 6 significant digits.
    run_steps(main, {rand_key}, how);
    const std::wstring text = text_of(display);
    wchar_t* end = nullptr;
    const double value = std::wcstod(text.c_str(), &end);
    expect(!text.empty() && *end == L'\0' && value >= 0.0 && value <= 1.0 &&
               significant_digits(text) <= 6,
           "Rand shows a value from 0 to 1" + method + ": " + printable(text));
  }
}

void check_captions(HWND main) {
  run_steps(main, {second}, Click::bm_click);
  expect_captions(main, true, true, "after 2nd");
  run_steps(main, {angle}, Click::bm_click);
  expect_captions(main, true, false, "after 2nd and Rad");
  run_steps(main, {second}, Click::wm_command);
  expect_captions(main, false, false, "in Deg");
  run_steps(main, {angle}, Click::wm_command);
  expect_captions(main, false, true, "after both keys twice");
}

void check_memory_title(HWND main) {
  HWND display = display_of(main);
  struct Row {
    const char* name;
    std::vector<int> steps;
    const wchar_t* title;
  };
  const Row rows[] = {
      {"5 m+", {k5, m_plus}, memory_title},
      {"then mr after AC", {mr}, memory_title},
      {"then m-", {k5, m_minus}, base_title},
      {"1e-12 m+ (not above the threshold)", {k1, ee, minus, k1, k2, m_plus}, base_title},
      {"then 2e-12 m+", {k2, ee, minus, k1, k2, m_plus}, memory_title},
      {"then mc", {mc}, base_title},
  };
  for (const Row& row : rows) {
    run_steps(main, row.steps, Click::bm_click);
    expect_text(main, row.title, std::string("title after ") + row.name);
  }
  run_steps(main, {k5, m_plus, all_clear, mr}, Click::wm_command);
  expect_text(display, L"5", "mr shows the memory");
  run_steps(main, {mc}, Click::wm_command);
}

void check_focus(HWND main) {
  HWND seven = GetDlgItem(main, k7);
  SendMessageW(seven, BM_CLICK, 0, 0);
  expect(focus_of(main) == main, "focus is on the main window after a BM_CLICK");
  // A press without release leaves the focus on the button ...
  SendMessageW(seven, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  expect(focus_of(main) == seven, "a pressed button holds the focus (the probe can tell)");
  // ... and any command message, even for no key, takes it back.
  SendMessageW(main, WM_COMMAND, MAKEWPARAM(1000, 0), 0);
  expect(focus_of(main) == main, "focus is back after a command for id 1000");
  // Release outside the button: no click.
  SendMessageW(seven, WM_LBUTTONUP, 0, MAKELPARAM(-1, -1));
  SendMessageW(main, WM_COMMAND, MAKEWPARAM(4242, 0), 0);
  expect(focus_of(main) == main, "focus stays after a command for an unknown id");
}

void check_keyboard_and_clipboard(HWND main) {
  HWND display = display_of(main);
  SetForegroundWindow(main);
  expect(wait_for([&] { return GetForegroundWindow() == main; }, 5000),
         "the calculator becomes the foreground window");
  // A click, then real key presses: they reach the main window, not the button.
  SendMessageW(GetDlgItem(main, all_clear), BM_CLICK, 0, 0);
  press_keys({'4', VK_ADD, '2', VK_RETURN});
  expect(wait_for([&] { return text_of(display) == L"6"; }, 5000),
         "keys pressed after a click evaluate 4+2: " + printable(text_of(display)));

  // Ctrl+C: the display text onto the clipboard; the display keeps its text.
  run_steps(main, {k1, k2, plus, k3}, Click::bm_click);
  set_clipboard_text(L"before");
  press_keys({VK_CONTROL, 'C'});
  expect(wait_for([] { return clipboard_text() == L"12+3"; }, 5000),
         "Ctrl+C copies the display: " + printable(clipboard_text()));
  expect_text(display, L"12+3", "display after Ctrl+C");
  run_steps(main, {k1, divide, k0, equals}, Click::bm_click);
  press_keys({VK_CONTROL, 'C'});
  expect(wait_for([] { return clipboard_text() == L"\u9519\u8BEF"; }, 5000),
         "Ctrl+C copies the error word: " + printable(clipboard_text()));
  // C and V without Ctrl are ordinary ignored characters.
  press_keys({'C', 'V'});
  Sleep(200);
  expect_text(display, L"\u9519\u8BEF", "C and V alone change nothing");

  // Ctrl+V types the clipboard text through the keyboard rules.
  struct PasteRow {
    const char* name;
    const wchar_t* clipboard;
    const wchar_t* display;
  };
  const PasteRow pastes[] = {
      {"a plain sum", L"12+3", L"12+3"},
      {"ignored characters drop out", L"7a ^!=,8", L"78"},
      {"* shows as a times sign, Enter evaluates", L"2*3\r\n", L"6"},
      {"Escape and Backspace act", L"99\x1b" L"45\b", L"4"},
      {"characters outside the typed set drop out", L"\u8BA1(1)", L"(1)"},
  };
  for (const PasteRow& row : pastes) {
    run_steps(main, {}, Click::bm_click);
    expect(set_clipboard_text(row.clipboard), std::string("clipboard set for ") + row.name);
    press_keys({VK_CONTROL, 'V'});
    expect(wait_for([&] { return text_of(display) == row.display; }, 5000),
           std::string("Ctrl+V ") + row.name + ": " + printable(text_of(display)));
  }
  // A long paste ends with the whole text on the display.
  run_steps(main, {}, Click::bm_click);
  set_clipboard_text(std::wstring(20000, L'1'));
  press_keys({VK_CONTROL, 'V'});
  expect(wait_for([&] { return GetWindowTextLengthW(display) == 20000; }, 20000),
         "Ctrl+V of 20000 digits: length " + std::to_string(GetWindowTextLengthW(display)));
  run_steps(main, {}, Click::bm_click);
}

namespace {

std::wstring angle_caption(HWND main) { return text_of(GetDlgItem(main, angle)); }

// The window stays in front and no menu opened: an Alt press the system took would
// have shown the system menu (Space) or started the keyboard menu loop.
void expect_no_menu(HWND main, const std::string& after) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(main, &process_id);
  Sleep(100);
  expect(GetForegroundWindow() == main, "the window stays in front after " + after);
  expect(!visible_window_of(process_id, L"#32768"), "no menu opens after " + after);
}

}  // namespace

void check_shortcuts(HWND main) {
  HWND display = display_of(main);
  SetForegroundWindow(main);
  auto shows = [&](const std::wstring& text, const std::string& what) {
    expect(wait_for([&] { return text_of(display) == text; }, 5000),
           what + ": \"" + printable(text_of(display)) + "\", expected \"" + printable(text) + "\"");
  };
  // Alt+S, 30, Enter: the sine of 30 in the angle mode in force.
  run_steps(main, {}, Click::bm_click);
  press_keys({VK_MENU, 'S', '3', '0', VK_RETURN});
  shows(L"-0.988031624093", "Alt+S 30 Enter in radians");
  expect_no_menu(main, "Alt+S");
  // F3 twice leaves degrees on; F4 twice radians.
  press_keys({VK_F3, VK_F3});
  expect(wait_for([&] { return angle_caption(main) == L"Deg"; }, 5000),
         "F3 F3 sets degrees: " + printable(angle_caption(main)));
  press_keys({VK_ESCAPE, VK_MENU, 'S', '3', '0', VK_RETURN});
  shows(L"0.5", "Alt+S 30 Enter in degrees");
  press_keys({VK_F4, VK_F4});
  expect(wait_for([&] { return angle_caption(main) == L"Rad"; }, 5000),
         "F4 F4 sets radians: " + printable(angle_caption(main)));
  // Memory: Ctrl+P adds 2, Ctrl+R recalls it, Ctrl+L clears it.
  // Each wait ends on a text that only the last key sent can give: input runs in order.
  press_keys({VK_ESCAPE, '2'});
  shows(L"2", "Escape 2");
  press_keys({VK_CONTROL, 'P', VK_ESCAPE});
  shows(L"0", "Ctrl+P Escape");
  press_keys({VK_CONTROL, 'R'});
  shows(L"2", "Ctrl+R after 2 Ctrl+P");
  expect(wait_for([&] { return text_of(main) == memory_title; }, 5000), "title after Ctrl+P");
  press_keys({VK_CONTROL, 'L'});
  expect(wait_for([&] { return text_of(main) == base_title; }, 5000), "Ctrl+L clears the memory");
  // Alt+I is "2nd": Alt+S then inserts asin(; each shortcut is one undo step.
  press_keys({VK_ESCAPE, VK_MENU, 'I', VK_MENU, 'S', VK_MENU, '2'});
  shows(L"asin(^2", "2nd with Alt+I, then Alt+S and Alt+2");
  expect_no_menu(main, "Alt+I, Alt+S and Alt+2");
  press_keys({VK_CONTROL, 'Z', VK_CONTROL, 'Z'});
  shows(L"0", "two undos take back Alt+2 and Alt+S");
  press_keys({VK_MENU, 'I', VK_ESCAPE});
  // A held shortcut repeats: the second press of S comes with the repeat flag.
  press_keys({VK_MENU, 'X', VK_MENU, 'X'});
  shows(L"0ee", "Alt+X twice");
  std::vector<INPUT> held(4);
  const WORD held_keys[] = {VK_MENU, 'P', 'P', 'P'};
  for (std::size_t i = 0; i < held.size(); ++i) {
    held[i].type = INPUT_KEYBOARD;
    held[i].ki.wVk = held_keys[i];
    held[i].ki.wScan = static_cast<WORD>(MapVirtualKeyW(held_keys[i], MAPVK_VK_TO_VSC));
  }
  held.resize(6);
  held[4] = held[3];
  held[4].ki.dwFlags = KEYEVENTF_KEYUP;
  held[5] = held[0];
  held[5].ki.dwFlags = KEYEVENTF_KEYUP;
  press_keys({VK_ESCAPE});
  SendInput(static_cast<UINT>(held.size()), held.data(), sizeof(INPUT));
  shows(L"pipipi", "Alt+P held for three presses");

  // F1: the list in a message box, closed with Escape and with Enter.
  DWORD process_id = 0;
  GetWindowThreadProcessId(main, &process_id);
  for (WORD closer : {VK_ESCAPE, VK_RETURN}) {
    press_keys({VK_F1});
    HWND box = nullptr;
    expect(wait_for([&] { return (box = visible_window_of(process_id, L"#32770")) != nullptr; },
                    5000),
           "F1 opens the list");
    if (!box) continue;
    const std::wstring texts = texts_within(box);
    expect(texts.find(L"Alt+S\tsin / asin") != std::wstring::npos &&
               texts.find(L"Ctrl+R\tmr") != std::wstring::npos,
           "the list names the shortcuts: " + printable(texts.substr(0, 80)));
    SetForegroundWindow(box);
    press_keys({closer});
    expect(wait_for([&] { return !visible_window_of(process_id, L"#32770"); }, 5000),
           closer == VK_ESCAPE ? "Escape closes the list" : "Enter closes the list");
  }
  expect(wait_for([&] { return GetForegroundWindow() == main; }, 5000),
         "the calculator is in front again after the list");
  shows(L"pipipi", "the list changed nothing");
  run_steps(main, {}, Click::bm_click);
}

// Counted build: the keyboard menu loop (which beeps for an Alt letter that no menu
// item takes, or opens the system menu) starts for an Alt press the table does not
// hold, and never for a shortcut.
void check_menu_loop(HWND main) {
  constexpr UINT menu_loop_count_message = WM_APP + 2;  // answered by the counted build only
  auto loops = [&] { return static_cast<long>(SendMessageW(main, menu_loop_count_message, 0, 0)); };
  SetForegroundWindow(main);
  wait_for([&] { return GetForegroundWindow() == main; }, 5000);
  SendMessageW(GetDlgItem(main, all_clear), BM_CLICK, 0, 0);
  const long before = loops();
  press_keys({VK_MENU, 'S', VK_MENU, 'O', VK_MENU, '2', VK_MENU, 'I', VK_MENU, 'I', VK_MENU, 'X'});
  expect(wait_for([&] { return text_of(display_of(main)) == L"sin(cos(sqrt(e"; }, 5000),
         "the Alt shortcuts ran: " + printable(text_of(display_of(main))));
  Sleep(200);
  expect(loops() == before, "no menu loop for Alt shortcuts: " + std::to_string(loops() - before));
  // The same observation sees the loop that Alt+K (no shortcut: it beeps) starts.
  press_keys({VK_MENU, 'K'});
  expect(wait_for([&] { return loops() == before + 1; }, 5000),
         "Alt+K starts the menu loop: " + std::to_string(loops() - before));
  press_keys({VK_ESCAPE, VK_ESCAPE});
  // Alt+Space is still the system menu's.
  DWORD process_id = 0;
  GetWindowThreadProcessId(main, &process_id);
  SetForegroundWindow(main);
  press_keys({VK_MENU, VK_SPACE});
  expect(wait_for([&] { return visible_window_of(process_id, L"#32768") != nullptr; }, 5000),
         "Alt+Space opens the system menu");
  press_keys({VK_ESCAPE, VK_ESCAPE});
  expect(wait_for([&] { return !visible_window_of(process_id, L"#32768"); }, 5000),
         "Escape closes the system menu");
  SendMessageW(GetDlgItem(main, all_clear), BM_CLICK, 0, 0);
}
