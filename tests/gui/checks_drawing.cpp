// Window checks of geometry and paint: child rectangles after resizing, pixel colours
// of keys (normal and pressed), display and background, and the GDI object balance.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/gui/checks.h"
#include "tests/gui/design.h"
#include "tests/gui/probe.h"

namespace {

std::string rect_text(int x, int y, int width, int height) {
  return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
         std::to_string(height);
}

// The window system may refuse a negative size; it then shows 0, which is allowed.
bool size_matches(int actual, int expected) {
  return actual == expected || (expected < 0 && actual == 0);
}

void expect_rect(HWND main, HWND child, const ExpectedRect& expected, const std::string& what) {
  const ScreenRect actual = client_rect_of(main, child);
  expect(actual.x == expected.x && actual.y == expected.y &&
             size_matches(actual.width, expected.width) &&
             size_matches(actual.height, expected.height),
         what + ": " + rect_text(actual.x, actual.y, actual.width, actual.height) + ", expected " +
             rect_text(expected.x, expected.y, expected.width, expected.height));
}

void expect_layout(HWND main, int width, int height, const std::string& when) {
  expect_rect(main, GetDlgItem(main, 1000), expected_display_rect(width), "display " + when);
  for (int n = 0; n < 48; ++n)
    expect_rect(main, GetDlgItem(main, expected_keys[n].id), expected_key_rect(n, width, height),
                "key " + std::to_string(expected_keys[n].id) + " " + when);
}

std::string colour_text(COLORREF c) {
  char text[32];
  std::snprintf(text, sizeof text, "(%d,%d,%d)", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

int distance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

// Paint reaches the screen a little after the message that caused it: poll.
Capture capture_when(HWND main, int x, int y, COLORREF wanted) {
  Capture capture;
  wait_for([&] {
    capture = capture_client(main);
    return capture.at(x, y) == wanted;
  }, 3000);
  return capture;
}

// The pixel of a key farthest from its fill is part of the caption's strokes.
COLORREF strongest_caption_pixel(const Capture& capture, const ExpectedRect& key, COLORREF fill) {
  COLORREF best = fill;
  for (int y = key.y + 4; y < key.y + key.height - 4; ++y)
    for (int x = key.x + 4; x < key.x + key.width - 4; ++x)
      if (distance(capture.at(x, y), fill) > distance(best, fill)) best = capture.at(x, y);
  return best;
}

void restore_800_by_540(HWND main) {
  ShowWindow(main, SW_RESTORE);
  const SIZE size = resize_client(main, 800, 540);
  expect(size.cx == 800 && size.cy == 540, "client area resized to 800 by 540: " +
                                               std::to_string(size.cx) + " by " +
                                               std::to_string(size.cy));
}

} // namespace

void check_layout(HWND main) {
  restore_800_by_540(main);
  expect_layout(main, 800, 540, "at 800x540");
  // The worked example of the layout, spelled out.
  expect_rect(main, GetDlgItem(main, 1022), {12, 102, 91, 66}, "row 0 column 0 at 800x540");
  expect_rect(main, GetDlgItem(main, 1016), {691, 462, 91, 66}, "row 5 column 7 at 800x540");
  expect_rect(main, GetDlgItem(main, 1000), {12, 5, 776, 80}, "display at 800x540");

  // Real resizes: whatever client size the window system grants, the layout follows it.
  const SIZE sizes[] = {{801, 545}, {1000, 700}, {640, 480}, {300, 200},
                        {74, 150},  {73, 149},   {59, 139}, {58, 138}};
  for (const SIZE& wanted : sizes) {
    const SIZE got = resize_client(main, wanted.cx, wanted.cy);
    if (got.cx != wanted.cx || got.cy != wanted.cy)
      std::printf("note: asked for a client area of %ldx%ld, the window system gave %ldx%ld\n",
                  wanted.cx, wanted.cy, got.cx, got.cy);
    expect_layout(main, got.cx, got.cy,
                  "after resizing to " + std::to_string(got.cx) + "x" + std::to_string(got.cy));
  }
  // Size messages for client areas the window system will not give a framed window.
  const SIZE tiny[] = {{74, 150}, {73, 149}, {66, 144}, {59, 139}, {58, 138}, {10, 10}, {1, 1},
                       {0, 0}};
  for (const SIZE& size : tiny) {
    SendMessageW(main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
    expect_layout(main, size.cx, size.cy,
                  "after WM_SIZE " + std::to_string(size.cx) + "x" + std::to_string(size.cy));
  }
  // Minimising gives a client area of 0 by 0: keys of -8 by -24, display width -24.
  ShowWindow(main, SW_MINIMIZE);
  const SIZE minimised = client_size(main);
  expect(minimised.cx == 0 && minimised.cy == 0, "minimised client area is 0 by 0");
  expect_layout(main, 0, 0, "when minimised");
  restore_800_by_540(main);
  expect_layout(main, 800, 540, "after restoring");
}

void check_colours(HWND main) {
  restore_800_by_540(main);
  SetForegroundWindow(main);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (int n = 0; n < 48; ++n) {
    const int id = expected_keys[n].id;
    HWND button = GetDlgItem(main, id);
    const ExpectedRect key = expected_key_rect(n, 800, 540);
    const ExpectedColours colours = expected_colours(id);
    const int fill_x = key.x + 5;
    const int middle_y = key.y + key.height / 2;
    const std::string name = "key " + std::to_string(id);

    Capture normal = capture_when(main, fill_x, middle_y, colours.fill_normal);
    expect(normal.at(fill_x, middle_y) == colours.fill_normal,
           name + " fill " + colour_text(normal.at(fill_x, middle_y)) + ", expected " +
               colour_text(colours.fill_normal));
    expect(normal.at(key.x + 1, middle_y) == colours.border,
           name + " border " + colour_text(normal.at(key.x + 1, middle_y)) + ", expected " +
               colour_text(colours.border));
    expect(normal.at(key.x, key.y) == face,
           name + " corner shows the window background " + colour_text(normal.at(key.x, key.y)));
    const COLORREF caption = strongest_caption_pixel(normal, key, colours.fill_normal);
    expect(distance(caption, colours.caption) <= 60,
           name + " caption strokes " + colour_text(caption) + ", expected about " +
               colour_text(colours.caption));

    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    Capture pressed = capture_when(main, fill_x, middle_y, colours.fill_pressed);
    expect(pressed.at(fill_x, middle_y) == colours.fill_pressed,
           name + " pressed fill " + colour_text(pressed.at(fill_x, middle_y)) + ", expected " +
               colour_text(colours.fill_pressed));
    expect(pressed.at(key.x + 1, middle_y) == colours.border, name + " pressed border");
    SendMessageW(button, BM_SETSTATE, FALSE, 0);
  }
  // Gaps between keys and the margins show the window background.
  Capture background = capture_client(main);
  expect(background.at(12 + 91 + 3, 130) == face, "gap between keys shows COLOR_BTNFACE " +
                                                      colour_text(background.at(106, 130)));
  expect(background.at(795, 300) == face, "right margin shows COLOR_BTNFACE");
  expect(background.at(400, 534) == face, "bottom margin shows COLOR_BTNFACE");

  // The display: white, with dark text.
  SendMessageW(main, WM_CHAR, 27, 1);
  for (wchar_t c : std::wstring(L"8888888888")) SendMessageW(main, WM_CHAR, c, 1);
  Capture display = capture_when(main, 20, 10, RGB(255, 255, 255));
  expect(display.at(20, 10) == RGB(255, 255, 255),
         "display background " + colour_text(display.at(20, 10)));
  const COLORREF text = strongest_caption_pixel(display, {12, 5, 776, 80}, RGB(255, 255, 255));
  expect(distance(text, RGB(20, 20, 20)) <= 60, "display text " + colour_text(text));
  SendMessageW(main, WM_CHAR, 27, 1);
}

void check_gdi_balance(HWND main) {
  constexpr UINT gdi_count_message = WM_APP + 1; // answered by the counted build only
  auto live = [&] { return static_cast<long>(SendMessageW(main, gdi_count_message, 0, 0)); };
  // Two fonts and the display brush live as long as the window.
  expect(live() == 3, "3 GDI objects after start: " + std::to_string(live()));
  HWND equals = GetDlgItem(main, 1016);
  const ExpectedRect key = expected_key_rect(47, client_size(main).cx, client_size(main).cy);
  for (int round = 0; round < 20; ++round) {
    SendMessageW(equals, BM_SETSTATE, round % 2 == 0, 0);
    SendMessageW(main, WM_COMMAND, 1022, 0); // "2nd" recaptions and repaints every key
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  // The last paint of a pressed "=" shows it went through the key painter.
  SendMessageW(equals, BM_SETSTATE, TRUE, 0);
  const Capture pressed = capture_when(main, key.x + 5, key.y + key.height / 2, RGB(190, 40, 40));
  expect(pressed.at(key.x + 5, key.y + key.height / 2) == RGB(190, 40, 40),
         "a pressed \"=\" is painted while counting");
  SendMessageW(equals, BM_SETSTATE, FALSE, 0);
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  expect(live() == 3, "3 GDI objects after 20 rounds of repainting: " + std::to_string(live()));
}
