// GDI objects made by the program: created and deleted through these wrappers only,
// so that a test build can count the objects alive; scoped helpers make every paint
// select back and delete what it made, on every path.
//
// Contract: a wrapper returns what the GDI call returns (null on failure); the
// scoped helpers do nothing for a null handle.
#pragma once

#include <windows.h>

#include "ui/colours.h"

COLORREF colour_ref(Rgb colour);

HFONT gdi_create_font(int height, int weight, const wchar_t* face);
HBRUSH gdi_create_solid_brush(Rgb colour);
HPEN gdi_create_pen(int width, Rgb colour);
void gdi_delete_object(HGDIOBJ object);

// Objects made through the wrappers and not yet deleted. Counted only in a build
// with RIVOVUZ_GDI_COUNT defined; always 0 otherwise.
int gdi_live_objects();

// Deletes its object when the scope ends.
struct OwnedGdiObject {
  HGDIOBJ handle;
  explicit OwnedGdiObject(HGDIOBJ object) : handle(object) {}
  OwnedGdiObject(const OwnedGdiObject&) = delete;
  OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;
  ~OwnedGdiObject() {
    if (handle) gdi_delete_object(handle);
  }
};

// Selects an object into a device context and selects the previous one back when the
// scope ends. Declare it after the OwnedGdiObject it selects, so that it ends first.
struct SelectedGdiObject {
  HDC dc;
  HGDIOBJ previous;
  SelectedGdiObject(HDC device, HGDIOBJ object)
      : dc(device), previous(object ? SelectObject(device, object) : nullptr) {}
  SelectedGdiObject(const SelectedGdiObject&) = delete;
  SelectedGdiObject& operator=(const SelectedGdiObject&) = delete;
  ~SelectedGdiObject() {
    if (previous) SelectObject(dc, previous);
  }
};
