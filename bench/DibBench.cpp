// A full-HD bitmap read out as a DIB and drawn back through StretchDIBits at its own size (what
// printing a bitmap costs before the printer's device), against cairo making a surface of the
// same bits and painting it, and against the floor of copying the pixels out and in again.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <platform/pictures/Bitmap.h>
#include <platform/win32/Dib.h>
#include <platform/win32/GdiObjects.h>
#include <vector>

namespace {

using namespace Platform;

constexpr std::size_t PixelCount = std::size_t{Bench::SurfaceWidth} * Bench::SurfaceHeight;

void DibOurs(benchmark::State &state) {
  TBitmap source(Bench::SurfaceWidth, Bench::SurfaceHeight), target(Bench::SurfaceWidth, Bench::SurfaceHeight);
  DWORD infoSize = 0, imageSize = 0;
  GetDIBSizes(source.Handle(), infoSize, imageSize);
  std::vector<unsigned char> info(infoSize), bits(imageSize);
  const HDC dc = CanvasHandle(*target.Canvas());
  for (auto _ : state) {
    GetDIB(source.Handle(), source.Palette(), info.data(), bits.data());
    StretchDIBits(dc, 0, 0, Bench::SurfaceWidth, Bench::SurfaceHeight, 0, 0, Bench::SurfaceWidth, Bench::SurfaceHeight,
                  bits.data(), reinterpret_cast<const BITMAPINFO *>(info.data()), DIB_RGB_COLORS, SRCCOPY);
    benchmark::DoNotOptimize(target.ScanLine(0)[0]);
  }
}

// Cairo reads top-down rows only: a surface over bits of the same size, painted with SOURCE.
void DibCairo(benchmark::State &state) {
  std::vector<std::uint32_t> bits(PixelCount, Bench::WhitePixel);
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  for (auto _ : state) {
    cairo_surface_t *image =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char *>(bits.data()), CAIRO_FORMAT_RGB24,
                                            Bench::SurfaceWidth, Bench::SurfaceHeight, Bench::SurfaceWidth * 4);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(image);
    target.Flush();
  }
}

void DibFloor(benchmark::State &state) {
  std::vector<std::uint32_t> source(PixelCount, Bench::WhitePixel), bits(PixelCount), target(PixelCount);
  for (auto _ : state) {
    std::memcpy(bits.data(), source.data(), PixelCount * sizeof(std::uint32_t));
    std::memcpy(target.data(), bits.data(), PixelCount * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(target[0]);
  }
}

} // namespace

BENCHMARK(DibOurs)->Name("DIB out and back 1920x1080/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(DibCairo)->Name("DIB out and back 1920x1080/cairo, surface over the bits")->Unit(benchmark::kMillisecond);
BENCHMARK(DibFloor)->Name("DIB out and back 1920x1080/floor: memcpy twice")->Unit(benchmark::kMillisecond);
