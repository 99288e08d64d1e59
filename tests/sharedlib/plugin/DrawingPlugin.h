#pragma once

// What the test plugin offers, looked up by name after dlopen.

#include <platform/graphics/Graphic.h>
#include <platform/rtl/Win32Types.h>

// The addresses of the process-wide objects as the plugin sees them.
struct TPluginView {
  const void *Screen;
  const void *Application;
  const void *FontEngine;
  const void *WorldMapping;
};

using TPluginViewFunction = TPluginView (*)();
// Writes text on the picture, which must be a bitmap, with a font handle made elsewhere: selects it
// into the bitmap canvas's device context, writes, selects the old font back. False when the
// picture is not a bitmap or the handle is unknown.
using TPluginDrawFunction = bool (*)(Platform::TGraphic *picture, Platform::HFONT font, const char *text);
// Raises the library's EInvalidGraphic.
using TPluginThrowFunction = void (*)();
