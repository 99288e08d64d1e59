// Clearing and copying a full-HD surface against memset and memcpy.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <platform/pictures/Bitmap.h>

namespace {

using namespace Platform;

void ClearOurs(benchmark::State &state) {
  TBitmap bitmap(Bench::SurfaceWidth, Bench::SurfaceHeight);
  bitmap.Canvas()->Brush().SetColor(clWhite);
  for (auto _ : state) {
    bitmap.Canvas()->FillRect({0, 0, Bench::SurfaceWidth, Bench::SurfaceHeight});
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
}

void ClearMemset(benchmark::State &state) {
  std::vector<std::uint32_t> pixels(std::size_t{Bench::SurfaceWidth} * Bench::SurfaceHeight);
  for (auto _ : state) {
    std::memset(pixels.data(), 0xFF, pixels.size() * sizeof(std::uint32_t));
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

void CopyMemcpy(benchmark::State &state) {
  std::vector<std::uint32_t> source(std::size_t{Bench::SurfaceWidth} * Bench::SurfaceHeight), target(source.size());
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size() * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(target[0]);
  }
}

} // namespace

BENCHMARK(ClearOurs)->Name("clear 1920x1080/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(ClearMemset)->Name("clear 1920x1080/memset")->Unit(benchmark::kMillisecond);
BENCHMARK(CopyOurs)->Name("copy 1920x1080 bitmap/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(CopyMemcpy)->Name("copy 1920x1080 bitmap/memcpy")->Unit(benchmark::kMillisecond);
