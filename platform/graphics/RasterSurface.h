#pragma once

#include <cstddef>
#include <cstdint>

namespace Platform {

// A view of 32-bit 0x00RRGGBB pixels, rows Stride pixels apart. The view does not own them.
struct TRasterSurface {
  std::uint32_t *Pixels = nullptr;
  int Width = 0;
  int Height = 0;
  std::ptrdiff_t Stride = 0;

  std::uint32_t *Row(int y) const { return Pixels + y * Stride; }
  bool IsEmpty() const { return Width <= 0 || Height <= 0; }
};

} // namespace Platform
