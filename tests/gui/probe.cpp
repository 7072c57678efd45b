// The test driver's probes into a running calculator, through public Win32 calls only.
#include "tests/gui/probe.h"

#include <cstdio>
#include <cstring>

namespace {

// A top-level window of one process by class; only a visible one when visible_only.
struct WindowSearch {
  DWORD process_id;
  const wchar_t* window_class;
  bool visible_only;
  HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process_id || (search->visible_only && !IsWindowVisible(window)) ||
      class_of(window) != search->window_class)
    return TRUE;
  search->found = window;
  return FALSE;
}

HWND find_window(DWORD process_id, const wchar_t* window_class, bool visible_only) {
  WindowSearch search = {process_id, window_class, visible_only, nullptr};
  EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND find_zur_window(DWORD process_id) { return find_window(process_id, L"ZUR", false); }

BOOL CALLBACK add_text(HWND window, LPARAM context) {
  *reinterpret_cast<std::wstring*>(context) += text_of(window) + L"\n";
  return TRUE;
}

// Wine maps the Unix root to drive Z:, so a Unix path becomes a Windows one this way.
std::wstring windows_path(const std::wstring& path) {
  if (path.empty() || path[0] != L'/') return path;
  std::wstring result = L"Z:" + path;
  for (wchar_t& c : result)
    if (c == L'/') c = L'\\';
  return result;
}

} // namespace

Program start_program(const std::wstring& exe) {
  Program program = {};
  std::wstring command_line = L"\"" + windows_path(exe) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &program.process))
    return program;
  program.process_id = program.process.dwProcessId;
  // The window is listed while its creation still runs; it is shown only once every
  // child exists, so wait for it to be visible, then for the loop to go idle.
  wait_for([&] {
    program.window = find_zur_window(program.process_id);
    return program.window && IsWindowVisible(program.window);
  }, 60000); // the first start in a new prefix sets up fonts and more: be patient
  if (program.window) {
    WaitForInputIdle(program.process.hProcess, 10000);
  } else { // a program without its window is of no use to anyone: do not leave it behind
    TerminateProcess(program.process.hProcess, 1);
    WaitForSingleObject(program.process.hProcess, 5000);
  }
  return program;
}

Program attach_program(DWORD process_id) {
  Program program = {};
  program.process_id = process_id;
  program.window = find_zur_window(process_id);
  return program;
}

long close_program(Program& program) {
  HANDLE process = program.process.hProcess;
  if (!process) process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE,
                                      program.process_id);
  if (!process) return -1;
  PostMessageW(program.window, WM_CLOSE, 0, 0);
  DWORD code = 0;
  if (WaitForSingleObject(process, 30000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code))
    return -1;
  return static_cast<long>(code);
}

std::wstring text_of(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

std::wstring class_of(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

ScreenRect client_rect_of(HWND parent, HWND child) {
  RECT rect = {};
  GetWindowRect(child, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

SIZE client_size(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

SIZE resize_client(HWND window, int width, int height) {
  RECT outer = {};
  GetWindowRect(window, &outer);
  const SIZE inner = client_size(window);
  const int frame_x = (outer.right - outer.left) - inner.cx;
  const int frame_y = (outer.bottom - outer.top) - inner.cy;
  SetWindowPos(window, nullptr, 0, 0, width + frame_x, height + frame_y,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return client_size(window);
}

bool wait_for(const std::function<bool()>& condition, int timeout_ms) {
  for (int waited = 0;; waited += 20) {
    if (condition()) return true;
    if (waited >= timeout_ms) return false;
    Sleep(20);
  }
}

COLORREF Capture::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  return pixels[static_cast<std::size_t>(y) * width + x];
}

Capture capture_client(HWND window) {
  Capture capture;
  const SIZE size = client_size(window);
  if (size.cx <= 0 || size.cy <= 0) return capture;
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy; // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, size.cx, size.cy, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    SelectObject(memory, previous);
    capture.width = size.cx;
    capture.height = size.cy;
    capture.pixels.resize(static_cast<std::size_t>(size.cx) * size.cy);
    const auto* raw = static_cast<const DWORD*>(bits);
    for (std::size_t i = 0; i < capture.pixels.size(); ++i) // 0x00RRGGBB to COLORREF
      capture.pixels[i] = RGB((raw[i] >> 16) & 0xFF, (raw[i] >> 8) & 0xFF, raw[i] & 0xFF);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

void press_keys(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs;
  auto key = [&](WORD vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  std::vector<WORD> held;
  for (WORD vk : keys) {
    if (vk == VK_CONTROL || vk == VK_MENU || vk == VK_SHIFT) {
      key(vk, false);
      held.push_back(vk);
      continue;
    }
    key(vk, false);
    key(vk, true);
    for (auto it = held.rbegin(); it != held.rend(); ++it) key(*it, true);
    held.clear();
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND visible_window_of(DWORD process_id, const wchar_t* window_class) {
  return find_window(process_id, window_class, true);
}

std::wstring texts_within(HWND window) {
  std::wstring texts = text_of(window) + L"\n";
  EnumChildWindows(window, add_text, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

std::wstring clipboard_text() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool set_clipboard_text(const std::wstring& text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return false;
  std::memcpy(GlobalLock(block), text.c_str(), bytes);
  GlobalUnlock(block);
  bool done = false;
  if (wait_for([] { return OpenClipboard(nullptr) != FALSE; }, 2000)) {
    EmptyClipboard();
    done = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    CloseClipboard();
  }
  if (!done) GlobalFree(block);
  return done;
}

std::string printable(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
      out += code;
    }
  }
  return out;
}
