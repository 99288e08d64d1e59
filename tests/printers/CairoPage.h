// A cairo image page drawn through the cairo device, and the tolerance the cairo backend is held
// to against the raster backend.
#pragma once

#include <cairo.h>
#include <memory>
#include <platform/graphics/cairo/CairoDevice.h>
#include <platform/pictures/Bitmap.h>
#include <string>

namespace CairoCompare {

using namespace Platform;

inline constexpr int Side = 120;

// A cairo image surface with a device on it, white like a new bitmap.
class TCairoPage {
public:
  TCairoPage(int width = Side, int height = Side) {
    FSurface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t *cr = cairo_create(FSurface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    FDevice = std::make_unique<TCairoDevice>(cr, TRect{0, 0, width, height}, 96);
    cairo_destroy(cr);
    FCanvas.SetDevice(FDevice.get());
  }
  ~TCairoPage() {
    FCanvas.SetDevice(nullptr);
    FDevice.reset();
    cairo_surface_destroy(FSurface);
  }
  TCanvas &Canvas() { return FCanvas; }
  std::uint32_t Pixel(int x, int y) {
    FDevice->Flush();
    cairo_surface_flush(FSurface);
    const auto *row = cairo_image_surface_get_data(FSurface) + y * cairo_image_surface_get_stride(FSurface);
    return reinterpret_cast<const std::uint32_t *>(row)[x] & 0xFFFFFF;
  }

private:
  cairo_surface_t *FSurface;
  std::unique_ptr<TCairoDevice> FDevice;
  TCanvas FCanvas;
};

// How much of the colour `ink` over white the pixel shows: 1 fully, 0 not at all.
inline double Coverage(std::uint32_t pixel, std::uint32_t ink) {
  double dot = 0, norm = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const double p = 255.0 - ((pixel >> shift) & 0xFF), i = 255.0 - ((ink >> shift) & 0xFF);
    dot += p * i;
    norm += i * i;
  }
  return norm == 0 ? 1 : dot / norm;
}

// The tolerance the backends are held to: every pixel the raster backend changes has, within one
// pixel, a cairo pixel showing at least `minCoverage` of its colour; and every pixel cairo darkens
// by more than half has a changed raster pixel within one pixel. Anti-aliased edges and the half
// pixels where curves are placed differently pass; a wrong dash, side, sweep, fill rule, hatch or
// colour does not. Returns the first offending pixel, or an empty string.
inline std::string Mismatch(const TBitmap &raster, TCairoPage &page, double minCoverage) {
  const int w = raster.Width(), h = raster.Height();
  auto near = [&](int x, int y, auto &&test) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (x + dx >= 0 && x + dx < w && y + dy >= 0 && y + dy < h && test(x + dx, y + dy))
          return true;
    return false;
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t r = raster.Surface().Row(y)[x] & 0xFFFFFF;
      if (r != 0xFFFFFF && !near(x, y, [&](int u, int v) { return Coverage(page.Pixel(u, v), r) >= minCoverage; }))
        return "raster pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") missing on cairo";
      if (Coverage(page.Pixel(x, y), 0) > 0.5 &&
          !near(x, y, [&](int u, int v) { return (raster.Surface().Row(v)[u] & 0xFFFFFF) != 0xFFFFFF; }))
        return "cairo pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") not on raster";
    }
  return {};
}

} // namespace CairoCompare
