#pragma once

// The table behind every GDI handle. A handle packs a slot index and the slot's generation, so a
// handle to a deleted object no longer matches its slot and is refused. Used by the GDI calls
// and by TFont; applications use the calls in GdiObjects.h and DeviceCaps.h. Like every GDI
// call here, user-interface thread only.

#include <cstddef>
#include <platform/rtl/Win32Types.h>

namespace Platform {
class TBitmap;
class TCanvas;
} // namespace Platform

namespace Platform::HandleTable {

// A device context: the canvas it draws on (none for the screen; the table only keeps the pointer) and the font
// selected into it (none while the canvas's own font is in force; changed only through SelectFont).
struct TDCObject {
  TCanvas *Canvas = nullptr;
  HGDIOBJ Font = nullptr;
  // Screen contexts come from GetDC and go back with ReleaseDC; canvas contexts die with the canvas.
  bool IsScreen = false;
  // What GetDeviceCaps answers while the canvas has no device (a printer between jobs): the
  // page in pixels and its pixels per inch. Unused while PagePixelsPerInch is 0.
  int PageWidth = 0;
  int PageHeight = 0;
  int PagePixelsPerInch = 0;
};

// At most this many live objects: past it creation fails with a null handle, as the platform
// does when a program leaks GDI objects, instead of growing without bound.
constexpr std::size_t MaxObjects = 65536;

HFONT NewFont(const LOGFONTA &font, bool stock = false);
HDC NewDC(const TDCObject &dc);
// A bitmap's handle; the bitmap frees it when it goes.
HBITMAP NewBitmap(TBitmap *bitmap);
// The object behind a live handle of that kind, or nullptr.
const LOGFONTA *FindFont(HGDIOBJ handle);
TDCObject *FindDC(HGDIOBJ handle);
TBitmap *FindBitmap(HGDIOBJ handle);
bool IsStock(HGDIOBJ handle);
// Records the font selected into a live context (null: none), counting each font's selections.
void SelectFont(HDC dc, HGDIOBJ font);
// Whether a device context has the font selected.
bool IsSelected(HGDIOBJ font);
// Frees a live, non-stock object; false for stale, unknown or stock handles.
bool FreeFont(HGDIOBJ handle);
bool FreeDC(HGDIOBJ handle);
bool FreeBitmap(HGDIOBJ handle);
// Live objects, for leak checks.
std::size_t Count();

} // namespace Platform::HandleTable
