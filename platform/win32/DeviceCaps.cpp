#include <platform/win32/DeviceCaps.h>

#include <cmath>
#include <platform/graphics/Canvas.h>
#include <platform/host/Display.h>
#include <platform/win32/HandleTable.h>

namespace Platform {

namespace {

struct TCaps {
  int Width = 0;
  int Height = 0;
  int PixelsPerInch = 96;
};

int Millimetres(int pixels, int pixelsPerInch) {
  return pixelsPerInch > 0 ? static_cast<int>(std::lround(pixels * 25.4 / pixelsPerInch)) : 0;
}

} // namespace

int GetDeviceCaps(HDC dc, int index) {
  const HandleTable::TDCObject *context = HandleTable::FindDC(dc);
  if (!context)
    return 0;
  TCaps caps;
  if (context->IsScreen) {
    const TDisplayMetrics &display = DisplayMetrics();
    caps = {display.Width, display.Height, display.PixelsPerInch};
  } else if (const TDevice *device = context->Canvas ? context->Canvas->Device() : nullptr) {
    const TRect bounds = device->Bounds();
    caps = {bounds.Width(), bounds.Height(), device->PixelsPerInch()};
  } else if (context->PagePixelsPerInch > 0) {
    caps = {context->PageWidth, context->PageHeight, context->PagePixelsPerInch};
  }
  switch (index) {
  case HORZSIZE: return Millimetres(caps.Width, caps.PixelsPerInch);
  case VERTSIZE: return Millimetres(caps.Height, caps.PixelsPerInch);
  case HORZRES: return caps.Width;
  case VERTRES: return caps.Height;
  case LOGPIXELSX:
  case LOGPIXELSY: return caps.PixelsPerInch;
  default: return 0;
  }
}

} // namespace Platform
