// Copy and paste: the display text out as Unicode text, clipboard text in as typing.
#include <cstring>
#include <string>

#include "commands/events.h"
#include "commands/state.h"
#include "ui/win32/program.h"

namespace {

// Another program may hold the clipboard open for a moment (a clipboard viewer, a
// paste elsewhere); a few short retries keep Ctrl+C and Ctrl+V from failing silently.
bool open_clipboard() {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (OpenClipboard(main_window)) return true;
    Sleep(5);
  }
  return false;
}

// The clipboard's Unicode text up to its first null, or empty when there is none;
// throws std::bad_alloc, with the clipboard closed, when the text does not fit.
std::wstring clipboard_text() {
  std::wstring text;
  if (!open_clipboard()) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      // Bounded by the block's size: a text without its terminating null is not overrun.
      const SIZE_T limit = GlobalSize(data) / sizeof(wchar_t);
      SIZE_T length = 0;
      while (length < limit && chars[length] != L'\0') ++length;
      try {
        text.assign(chars, length);
      } catch (...) {
        // Out of memory for a huge text: the clipboard must not stay open.
        GlobalUnlock(data);
        CloseClipboard();
        throw;
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

} // namespace

void copy_display_text() {
  const SIZE_T bytes = (expression.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return;
  auto* chars = static_cast<wchar_t*>(GlobalLock(block));
  if (!chars) {
    GlobalFree(block);
    return;
  }
  std::memcpy(chars, expression.c_str(), bytes);
  GlobalUnlock(block);
  if (open_clipboard()) {
    EmptyClipboard();
    // On success the clipboard owns the block; otherwise it is still ours to free.
    if (SetClipboardData(CF_UNICODETEXT, block)) block = nullptr;
    CloseClipboard();
  }
  if (block) GlobalFree(block);
}

bool paste_clipboard_text() {
  // Read first and close the clipboard: typing refreshes windows and may take a while.
  // The caller holds the refreshes, so a long paste refreshes once, at the end.
  const std::wstring text = clipboard_text();
  return paste_event(text);
}
