#pragma once

#include <climits>
#include <platform/pictures/Bitmap.h>

// Where a bitmap's pixels differ from a background colour: their bounding box and how much
// "ink" (darkness summed over the channels) they carry.
struct TInk {
  Platform::TRect Box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  long Pixels = 0;
  long Darkness = 0;
  bool Empty() const { return Pixels == 0; }
};

inline TInk InkOf(Platform::TBitmap &bitmap, Platform::TColor background = Platform::clWhite) {
  TInk ink;
  const std::uint32_t paper = Platform::ColorToPixel(background);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const std::uint32_t p = bitmap.ScanLine(y)[x];
      if (p == paper)
        continue;
      ++ink.Pixels;
      ink.Darkness += 765 - static_cast<long>((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF));
      ink.Box.Left = std::min(ink.Box.Left, x);
      ink.Box.Top = std::min(ink.Box.Top, y);
      ink.Box.Right = std::max(ink.Box.Right, x + 1);
      ink.Box.Bottom = std::max(ink.Box.Bottom, y + 1);
    }
  return ink;
}

// A white bitmap whose canvas writes black text without background in the given font.
inline void PrepareText(Platform::TBitmap &bitmap, const char *name = "Liberation Sans", int size = 12) {
  Platform::TCanvas &canvas = *bitmap.Canvas();
  canvas.Brush().SetColor(Platform::clWhite);
  canvas.FillRect({0, 0, bitmap.Width(), bitmap.Height()});
  canvas.Brush().SetStyle(Platform::bsClear);
  canvas.Font().SetName(name);
  canvas.Font().SetSize(size);
  canvas.Font().SetColor(Platform::clBlack);
}
