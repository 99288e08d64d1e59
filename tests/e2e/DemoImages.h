#pragma once

// Looking at what the demo drew: whole pictures as RGB rows, from PNG files or window dumps.

#include <cstdint>
#include <string>
#include <vector>

namespace E2e {

struct TImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels; // 0x00RRGGBB, row after row

  std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

struct TArea {
  int Left, Top, Width, Height;
};

// Empty when the file cannot be read.
TImage LoadPng(const std::string &fileName);
// A dump of a window by xwd (ZPixmap, 24 or 32 bits per pixel); empty when it is none.
TImage LoadXwd(const std::string &fileName);

// How many pixels of the area are far from grey (the mesh's colours, not text or lines), and how
// many are not white.
int ColouredPixels(const TImage &image, const TArea &area);
int InkedPixels(const TImage &image, const TArea &area);
// How many pixels differ between the same area of two images (the area at `at` in the first and
// at `at2` in the second).
int DifferentPixels(const TImage &a, const TArea &at, const TImage &b, int left2, int top2);

} // namespace E2e
