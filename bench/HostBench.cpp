// A full-window repaint through the control tree and the headless host against one memcpy of
// the framebuffer, the least any present can cost.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <platform/controls/CustomPanel.h>
#include <platform/controls/Form.h>
#include <platform/controls/PaintBox.h>
#include <platform/host/HeadlessHost.h>

namespace {

using namespace Platform;

void FullPaintOurs(benchmark::State &state) {
  TForm form(nullptr);
  form.SetBounds(0, 0, Bench::SurfaceWidth, Bench::SurfaceHeight);
  auto *panel = new TCustomPanel(&form);
  panel->SetParent(&form);
  panel->SetBevelInner(bvLowered);
  panel->SetAlign(alClient);
  auto *box = new TPaintBox(&form);
  box->SetParent(panel);
  box->SetAlign(alClient);
  THeadlessHost host(form);
  for (auto _ : state) {
    form.Invalidate();
    host.ProcessPaints();
    host.Present();
    benchmark::DoNotOptimize(host.Presented().Surface().Pixels[0]);
  }
}

void FullPaintMemcpy(benchmark::State &state) {
  std::vector<std::uint32_t> source(std::size_t{Bench::SurfaceWidth} * Bench::SurfaceHeight), target(source.size());
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size() * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(target[0]);
  }
}

} // namespace

BENCHMARK(FullPaintOurs)->Name("full-window paint and present 1920x1080/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(FullPaintMemcpy)
    ->Name("full-window paint and present 1920x1080/floor: one memcpy of the frame")
    ->Unit(benchmark::kMillisecond);
