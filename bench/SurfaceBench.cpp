// Clearing and copying a full-HD surface against cairo doing the same and against the floors.
//
// The clear's floor is an unrolled loop of 16-byte stores, the widest this build targets. glibc's
// memset is no floor here: at this size it uses `rep stosb`, which is slower than plain vector
// stores on this machine's processor. The copy's floor is memcpy, whose vector loop has no such
// trouble.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <emmintrin.h>
#include <platform/pictures/Bitmap.h>

namespace {

using namespace Platform;

constexpr std::size_t PixelCount = std::size_t{Bench::SurfaceWidth} * Bench::SurfaceHeight;

void ClearOurs(benchmark::State &state) {
  TBitmap bitmap(Bench::SurfaceWidth, Bench::SurfaceHeight);
  bitmap.Canvas()->Brush().SetColor(clWhite);
  for (auto _ : state) {
    bitmap.Canvas()->FillRect({0, 0, Bench::SurfaceWidth, Bench::SurfaceHeight});
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
}

// Cairo's fastest clear to a colour: one paint with the SOURCE operator.
void ClearCairo(benchmark::State &state) {
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, 1, 1, 1);
  for (auto _ : state) {
    cairo_paint(cr);
    target.Flush();
  }
}

// Eight 16-byte stores a turn over a buffer of whole turns, aligned as a vector's memory is.
void ClearFloor(benchmark::State &state) {
  static_assert(PixelCount % 32 == 0);
  std::vector<std::uint32_t> pixels(PixelCount);
  const __m128i white = _mm_set1_epi32(-1);
  for (auto _ : state) {
    auto *p = reinterpret_cast<__m128i *>(pixels.data());
    for (auto *const end = p + PixelCount / 4; p != end; p += 8) {
      _mm_storeu_si128(p, white);
      _mm_storeu_si128(p + 1, white);
      _mm_storeu_si128(p + 2, white);
      _mm_storeu_si128(p + 3, white);
      _mm_storeu_si128(p + 4, white);
      _mm_storeu_si128(p + 5, white);
      _mm_storeu_si128(p + 6, white);
      _mm_storeu_si128(p + 7, white);
    }
    benchmark::ClobberMemory();
    benchmark::DoNotOptimize(pixels[0]);
  }
}

void CopyOurs(benchmark::State &state) {
  TBitmap source(Bench::SurfaceWidth, Bench::SurfaceHeight), target(Bench::SurfaceWidth, Bench::SurfaceHeight);
  for (auto _ : state) {
    target.Canvas()->Draw(0, 0, source);
    benchmark::DoNotOptimize(target.ScanLine(0)[0]);
  }
}

// Cairo's copy of a whole image: the image as the source, painted with the SOURCE operator.
void CopyCairo(benchmark::State &state) {
  Bench::TCairoTarget source, target;
  cairo_t *cr = target.Cr();
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, source.Surface(), 0, 0);
  for (auto _ : state) {
    cairo_paint(cr);
    target.Flush();
  }
}

void CopyFloor(benchmark::State &state) {
  std::vector<std::uint32_t> source(PixelCount, Bench::WhitePixel), target(PixelCount);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), PixelCount * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(target[0]);
  }
}

} // namespace

BENCHMARK(ClearOurs)->Name("clear 1920x1080/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(ClearCairo)->Name("clear 1920x1080/cairo, paint with SOURCE")->Unit(benchmark::kMillisecond);
BENCHMARK(ClearFloor)->Name("clear 1920x1080/floor: unrolled 16-byte stores")->Unit(benchmark::kMillisecond);
BENCHMARK(CopyOurs)->Name("copy 1920x1080 bitmap/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(CopyCairo)->Name("copy 1920x1080 bitmap/cairo, paint surface with SOURCE")->Unit(benchmark::kMillisecond);
BENCHMARK(CopyFloor)->Name("copy 1920x1080 bitmap/floor: memcpy")->Unit(benchmark::kMillisecond);
