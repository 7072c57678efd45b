// The GDI create and delete wrappers, with the live-object count of the test build.
#include "ui/win32/gdi.h"

namespace {

#ifdef RIVOVUZ_GDI_COUNT
int live_objects = 0;
template <typename Handle> Handle counted(Handle object) {
  if (object) ++live_objects;
  return object;
}
#else
template <typename Handle> Handle counted(Handle object) { return object; }
#endif

} // namespace

COLORREF colour_ref(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

HFONT gdi_create_font(int height, int weight, const wchar_t* face) {
  return counted(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             CLEARTYPE_QUALITY, 0, face));
}

HBRUSH gdi_create_solid_brush(Rgb colour) { return counted(CreateSolidBrush(colour_ref(colour))); }

HPEN gdi_create_pen(int width, Rgb colour) {
  return counted(CreatePen(PS_SOLID, width, colour_ref(colour)));
}

void gdi_delete_object(HGDIOBJ object) {
#ifdef RIVOVUZ_GDI_COUNT
  if (DeleteObject(object)) --live_objects;
#else
  DeleteObject(object);
#endif
}

int gdi_live_objects() {
#ifdef RIVOVUZ_GDI_COUNT
  return live_objects;
#else
  return 0;
#endif
}
