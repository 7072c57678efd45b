// Painting: the owner-drawn keys and the display's colours.
#include "ui/colours.h"
#include "ui/win32/gdi.h"
#include "ui/win32/program.h"

namespace {

constexpr int corner_ellipse = 16;
constexpr int caption_capacity = 256; // at most 255 characters of a caption are drawn

// The rounded body: fill and border objects live only for this call, and the scopes
// select the old objects back before the new ones are deleted.
void paint_key_body(HDC dc, const RECT& rect, const KeyColours& colours, bool pressed) {
  OwnedGdiObject brush(gdi_create_solid_brush(key_fill(colours, pressed)));
  OwnedGdiObject pen(gdi_create_pen(1, colours.border));
  SelectedGdiObject use_brush(dc, brush.handle);
  SelectedGdiObject use_pen(dc, pen.handle);
  RoundRect(dc, rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1, corner_ellipse,
            corner_ellipse);
}

void paint_key_caption(HDC dc, HWND button, RECT rect, const KeyColours& colours, bool pressed) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour_ref(colours.caption));
  // The button's own font, which belongs to the button: selected, never deleted here.
  SelectedGdiObject use_font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(button, WM_GETFONT, 0, 0)));
  wchar_t caption[caption_capacity] = {};
  GetWindowTextW(button, caption, caption_capacity);
  if (pressed) { // the caption sinks a pixel with the press
    rect.left += 1;
    rect.top += 1;
  }
  DrawTextW(dc, caption, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

} // namespace

void paint_key(const DRAWITEMSTRUCT& item) {
  const KeyColours colours = key_colours(static_cast<int>(item.CtlID));
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  // The corners outside the rounded body take the window's background colour.
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  paint_key_body(item.hDC, item.rcItem, colours, pressed);
  paint_key_caption(item.hDC, item.hwndItem, item.rcItem, colours, pressed);
}

HBRUSH colour_static(HDC dc, HWND control) {
  SetBkMode(dc, TRANSPARENT);
  if (control && control == display) {
    SetTextColor(dc, colour_ref(display_text_colour));
    return display_brush;
  }
  return GetSysColorBrush(COLOR_BTNFACE);
}
