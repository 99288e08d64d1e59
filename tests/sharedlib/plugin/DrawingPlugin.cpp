#include "DrawingPlugin.h"

#include <platform/controls/Application.h>
#include <platform/controls/Screen.h>
#include <platform/fonts/FontEngine.h>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Exceptions.h>
#include <platform/win32/GdiObjects.h>
#include <wgraph/Wgraph.h>

using namespace Platform;

extern "C" {

VELGRAPH_API TPluginView PluginView() {
  return {&Screen(), &Application(), &Fonts::TFontEngine::Instance(), &Wgraph::aa};
}

VELGRAPH_API bool PluginDraw(TGraphic *picture, HFONT font, const char *text) {
  auto *bitmap = dynamic_cast<TBitmap *>(picture);
  LOGFONTA description;
  if (!bitmap || GetObjectA(font, sizeof description, &description) != sizeof description)
    return false;
  const HDC dc = CanvasHandle(*bitmap->Canvas());
  const HGDIOBJ previous = SelectObject(dc, font);
  bitmap->Canvas()->TextOut(10, 80, text);
  SelectObject(dc, previous);
  return previous != nullptr;
}

VELGRAPH_API void PluginThrow() { throw EInvalidGraphic("raised in the plugin"); }
}
