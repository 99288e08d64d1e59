#pragma once

// Win32's GDI object calls over the handle table: fonts as logical descriptions, device contexts
// of canvases and of the screen. Every call refuses stale and unknown handles cleanly: GetObjectA
// returns 0, SelectObject and CreateFontIndirectA return a null handle, DeleteObject FALSE.

#include <platform/graphics/FontSpec.h>
#include <platform/rtl/Export.h>
#include <platform/rtl/Win32Types.h>

namespace Platform {

class TCanvas;

// The canvas's device context, made on first use and released with the canvas; null only when
// the handle table is full.
VELGRAPH_API HDC CanvasHandle(TCanvas &canvas);

// Copies up to size bytes of the object's description into buffer and returns how many; with a
// null buffer, returns the size of the description.
VELGRAPH_API int GetObjectA(HGDIOBJ object, int size, void *buffer);
VELGRAPH_API HFONT CreateFontIndirectA(const LOGFONTA *font);
// Selects the font into the device context and returns the font it replaces. Selecting a font
// into a canvas's context makes the canvas's text use it until the canvas's own font
// (TFont::Handle, which is what the first selection returns) is selected back or changed.
VELGRAPH_API HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Deletes a font. FALSE for device contexts, stale handles and fonts still selected into a
// context; stock objects are permanent, and deleting one succeeds without effect.
VELGRAPH_API BOOL DeleteObject(HGDIOBJ object);
// SYSTEM_FONT and DEFAULT_GUI_FONT; null for other indices.
VELGRAPH_API HGDIOBJ GetStockObject(int index);
// The screen's device context for window 0; there are no other windows at this layer.
VELGRAPH_API HDC GetDC(HWND window);
// Releases a context from GetDC: 1 on success, 0 for any other handle.
VELGRAPH_API int ReleaseDC(HWND window, HDC dc);

// The font a logical font describes, in black.
VELGRAPH_API TFontSpec FontSpecOf(const LOGFONTA &font);

} // namespace Platform
