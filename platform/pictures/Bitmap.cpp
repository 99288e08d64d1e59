#include <platform/pictures/Bitmap.h>

#include <algorithm>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/HandleTable.h>
#include <platform/rtl/Rtl.h>

namespace Platform {

namespace {
constexpr std::uint32_t WhitePixel = 0x00FFFFFF;
}

TBitmap::TBitmap() : FCanvas(&FDevice) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() { HandleTable::FreeBitmap(FHandle); }

HBITMAP TBitmap::Handle() {
  if (!HandleTable::FindBitmap(FHandle))
    FHandle = HandleTable::NewBitmap(this);
  return FHandle;
}

std::uint32_t *TBitmap::ScanLine(int y) {
  if (y < 0 || y >= FSurface.Height)
    throw EInvalidGraphicOperation("Scan line index out of range (" + IntToStr(y) + " of " + IntToStr(FSurface.Height) +
                                   " rows)");
  return FSurface.Row(y);
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FSurface.Width && height == FSurface.Height)
    return;
  if (std::int64_t{width} * height > MaxPixels)
    throw EOutOfMemory("Bitmap of " + IntToStr(width) + " x " + IntToStr(height) + " pixels is too large");
  TPixelStore pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), WhitePixel);
  const int keepWidth = std::min(width, FSurface.Width), keepHeight = std::min(height, FSurface.Height);
  for (int y = 0; y < keepHeight; ++y)
    std::copy_n(FSurface.Row(y), keepWidth, pixels.data() + static_cast<std::ptrdiff_t>(y) * width);
  FPixels = std::move(pixels);
  FSurface = {FPixels.data(), width, height, width};
  FDevice.SetSurface(FSurface);
}

void TBitmap::Assign(const TBitmap &source) {
  if (&source == this)
    return;
  SetSize(0, 0);
  SetSize(source.Width(), source.Height());
  std::copy(source.FPixels.begin(), source.FPixels.end(), FPixels.begin());
}

void TBitmap::Draw(TCanvas &canvas, const TRect &rect) const { canvas.DrawPixels(rect, FSurface); }

} // namespace Platform
