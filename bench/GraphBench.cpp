// The world graph's drawing path: a whole paint against cairo drawing the same figures already
// mapped, the clipped random walk, the clippers on their own, an empty paint against clearing
// and copying its bitmap, and markers through the graph against the bare markers.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <platform/controls/Form.h>
#include <platform/pictures/Bitmap.h>
#include <wgraph/Wgraph.h>
#include <worldgraph/VelGraph.h>

namespace {

using namespace Platform;
using namespace Velgraph;
using Bench::SurfaceHeight;
using Bench::SurfaceWidth;

// Each data set draws from a generator of its own, so that both sides of a case see the same
// figures whichever runs first.
std::mt19937 &Random() {
  static std::mt19937 random = Bench::Generator(20261208);
  return random;
}

constexpr int Segments = 100000, Quads = 10000, MarkerCount = 10000, WalkPoints = 1000000;

// A graph filling a 1920 x 1080 form, showing x 0..100 by y 0..100 without widening.
struct TGraphScene {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVelWorldGraph *Graph;
  TGraphScene() {
    Form->SetBounds(0, 0, SurfaceWidth, SurfaceHeight);
    Graph = new TVelWorldGraph(Form.get());
    Graph->SetBounds(0, 0, SurfaceWidth, SurfaceHeight);
    Graph->SetProportional(false);
    Graph->SetXMin(0);
    Graph->SetXMax(100);
    Graph->SetYMin(0);
    Graph->SetYMax(100);
    Graph->Paint();
    Graph->Paint(); // the layout settles on the second paint after a resize
  }
};

// World figures, some running off the frame, and their pixels under the graph's mapping.
struct TFigures {
  std::vector<TWorldPoint> Line;                // Segments + 1 points
  std::vector<std::array<TWorldPoint, 4>> Quad; // Quads
  std::vector<TWorldPoint> Marker;              // MarkerCount
};

const TFigures &Figures() {
  static const TFigures figures = [] {
    TFigures f;
    std::uniform_real_distribution<double> step(-1.5, 1.5), place(-5, 105);
    TWorldPoint p{50, 50};
    for (int i = 0; i <= Segments; ++i) {
      f.Line.push_back(p);
      p = {std::clamp(p.X + step(Random()), -10.0, 110.0), std::clamp(p.Y + step(Random()), -10.0, 110.0)};
    }
    for (int i = 0; i < Quads; ++i) {
      const double x = place(Random()), y = place(Random());
      f.Quad.push_back({TWorldPoint{x, y}, {x + 2, y + 0.3}, {x + 2.2, y + 2}, {x - 0.2, y + 1.8}});
    }
    for (int i = 0; i < MarkerCount; ++i)
      f.Marker.push_back({place(Random()), place(Random())});
    return f;
  }();
  return figures;
}

void DrawFigures(TVelWorldGraph &graph) {
  const TFigures &f = Figures();
  graph.WorldMoveTo(f.Line[0].X, f.Line[0].Y);
  for (int i = 1; i <= Segments; ++i)
    graph.WorldLineTo(f.Line[i].X, f.Line[i].Y);
  for (const auto &q : f.Quad)
    graph.WorldQuad4(q[0].X, q[0].Y, q[1].X, q[1].Y, q[2].X, q[2].Y, q[3].X, q[3].Y, clAqua, true);
  for (const TWorldPoint &m : f.Marker)
    graph.SquarePoint(5, m.X, m.Y, clRed);
}

void GraphPaintOurs(benchmark::State &state) {
  TGraphScene scene;
  scene.Graph->OnPaint = [&](TObject *) { DrawFigures(*scene.Graph); };
  for (auto _ : state)
    scene.Graph->Paint();
  state.SetItemsProcessed(state.iterations());
}

// cairo's fastest way to the same pixels: the figures mapped once beforehand, lines stroked in
// chunks of 1000 segments, quadrilaterals filled then outlined, markers filled as squares, all
// clipped to the drawing area.
void GraphPaintCairo(benchmark::State &state) {
  TGraphScene scene;
  const Velpaint::TVelPaintBox &box = *scene.Graph->PaintBox();
  const TFigures &f = Figures();
  auto pixel = [](const TWorldPoint &p) {
    TPoint q;
    Wgraph::WorldToPC(p.X, p.Y, q.X, q.Y);
    return q;
  };
  std::vector<TPoint> line, quads, markers;
  for (const TWorldPoint &p : f.Line)
    line.push_back(pixel(p));
  for (const auto &q : f.Quad)
    for (const TWorldPoint &p : q)
      quads.push_back(pixel(p));
  for (const TWorldPoint &m : f.Marker)
    markers.push_back(pixel(m));
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  for (auto _ : state) {
    cairo_reset_clip(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_rectangle(cr, box.Left(), box.Top(), box.Width(), box.Height());
    cairo_clip(cr);
    cairo_translate(cr, box.Left() + 0.5, box.Top() + 0.5);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (int i = 0; i < Segments; i += 1000) {
      cairo_move_to(cr, line[i].X, line[i].Y);
      for (int k = i + 1; k <= std::min(i + 1000, Segments); ++k)
        cairo_line_to(cr, line[k].X, line[k].Y);
      cairo_stroke(cr);
    }
    for (std::size_t i = 0; i < quads.size(); i += 4) {
      cairo_move_to(cr, quads[i].X, quads[i].Y);
      for (int k = 1; k < 4; ++k)
        cairo_line_to(cr, quads[i + k].X, quads[i + k].Y);
      cairo_close_path(cr);
      cairo_set_source_rgb(cr, 0, 1, 1);
      cairo_fill_preserve(cr);
      cairo_set_source_rgb(cr, 0, 0, 0);
      cairo_stroke(cr);
    }
    cairo_set_source_rgb(cr, 1, 0, 0);
    for (const TPoint &m : markers)
      cairo_rectangle(cr, m.X - 2.5, m.Y - 2.5, 6, 6);
    cairo_fill(cr);
    cairo_identity_matrix(cr);
    cairo_surface_flush(target.Surface());
    benchmark::DoNotOptimize(cairo_image_surface_get_data(target.Surface())[0]);
  }
  state.SetItemsProcessed(state.iterations());
}

const std::vector<TWorldPoint> &Walk() {
  static const std::vector<TWorldPoint> walk = [] {
    std::vector<TWorldPoint> w;
    std::normal_distribution<double> step(0, 0.15);
    TWorldPoint p{50, 50};
    for (int i = 0; i < WalkPoints; ++i) {
      w.push_back(p);
      p = {p.X + step(Random()), p.Y + step(Random())};
    }
    return w;
  }();
  return walk;
}

void WalkOurs(benchmark::State &state) {
  TGraphScene scene;
  TVelWorldGraph &graph = *scene.Graph;
  const std::vector<TWorldPoint> &walk = Walk();
  for (auto _ : state) {
    graph.WorldMoveTo(walk[0].X, walk[0].Y);
    for (int i = 1; i < WalkPoints; ++i)
      graph.WorldLineTo(walk[i].X, walk[i].Y);
    benchmark::DoNotOptimize(graph.PaintBox()->Bitmap->ScanLine(0)[0]);
  }
  state.SetItemsProcessed(state.iterations() * WalkPoints);
}

void WalkCairo(benchmark::State &state) {
  TGraphScene scene;
  const std::vector<TWorldPoint> &walk = Walk();
  std::vector<TPoint> pixels;
  for (const TWorldPoint &p : walk) {
    TPoint q;
    Wgraph::WorldToPC(p.X, p.Y, q.X, q.Y);
    pixels.push_back(q);
  }
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  cairo_set_source_rgb(cr, 0, 0, 0);
  for (auto _ : state) {
    for (int i = 0; i < WalkPoints - 1; i += 1000) {
      cairo_move_to(cr, pixels[i].X + 0.5, pixels[i].Y + 0.5);
      for (int k = i + 1; k < std::min(i + 1001, WalkPoints); ++k)
        cairo_line_to(cr, pixels[k].X + 0.5, pixels[k].Y + 0.5);
      cairo_stroke(cr);
    }
    cairo_surface_flush(target.Surface());
    benchmark::DoNotOptimize(cairo_image_surface_get_data(target.Surface())[0]);
  }
  state.SetItemsProcessed(state.iterations() * WalkPoints);
}

// Short sections inside the frame, drawn on a canvas without a device: what is left is the
// clip and the mapping (ours) against the mapping alone (bare).
constexpr int InsideSections = 100000;
template <bool Clipped> void InsideSectionsRun(benchmark::State &state) {
  TGraphScene scene;
  TVelWorldGraph &graph = *scene.Graph;
  TCanvas nowhere;
  graph.PaintBox()->DrawCanvas = &nowhere;
  std::uniform_real_distribution<double> place(1, 99);
  std::vector<TWorldPoint> points;
  for (int i = 0; i <= InsideSections; ++i)
    points.push_back({place(Random()), place(Random())});
  for (auto _ : state) {
    for (int i = 0; i < InsideSections; ++i) {
      if (Clipped) {
        graph.FLineX1 = points[i].X, graph.FLineY1 = points[i].Y;
        graph.FLineX2 = points[i + 1].X, graph.FLineY2 = points[i + 1].Y;
        graph.DrawLine();
      } else {
        graph.PaintBox()->WorldMoveTo(points[i].X, points[i].Y);
        graph.PaintBox()->WorldLineTo(points[i + 1].X, points[i + 1].Y);
        graph.PaintBox()->WorldMoveTo(points[i + 1].X, points[i + 1].Y);
      }
    }
    benchmark::DoNotOptimize(nowhere.PenPos());
  }
  state.SetItemsProcessed(state.iterations() * InsideSections);
}

// 1000-point polygons crossing every edge of the frame, clipped, against copying them: a
// circle, and a star whose 500 spikes give a result too long for the array, thinned.
template <bool Clip, bool Spiked> void ClipPolygonRun(benchmark::State &state) {
  TGraphScene scene;
  TWorldPointArray star{};
  for (int i = 0; i < MaxPolygonPoints; ++i) {
    const double t = 2 * M_PI * i / MaxPolygonPoints, r = Spiked ? (i % 2 ? 40 : 70) : 60;
    star[i] = {50 + r * std::cos(t), 50 + r * std::sin(t)};
  }
  TWorldPointArray out{};
  int count = 0;
  for (auto _ : state) {
    if (Clip)
      scene.Graph->ClipPolygon(star, MaxPolygonPoints, out, count);
    else {
      out = star;
      count = MaxPolygonPoints;
    }
    benchmark::DoNotOptimize(out[0]);
    benchmark::DoNotOptimize(count);
  }
  state.SetItemsProcessed(state.iterations() * MaxPolygonPoints);
}

// A paint with an OnPaint that draws nothing, against clearing the bitmap and copying it.
template <bool Graph> void EmptyPaintRun(benchmark::State &state) {
  TGraphScene scene;
  scene.Graph->OnPaint = [](TObject *) {};
  Velpaint::TVelPaintBox &box = *scene.Graph->PaintBox();
  for (auto _ : state) {
    if (Graph)
      scene.Graph->Paint();
    else {
      box.Bitmap->Canvas()->Brush().SetColor(clWhite);
      box.Bitmap->Canvas()->FillRect(box.ClientRect());
      box.Canvas()->Draw(0, 0, *box.Bitmap);
    }
    benchmark::DoNotOptimize(box.Bitmap->ScanLine(0)[0]);
  }
}

template <bool Graph> void MarkersRun(benchmark::State &state) {
  TGraphScene scene;
  TVelWorldGraph &graph = *scene.Graph;
  std::uniform_real_distribution<double> place(1, 99);
  std::vector<TWorldPoint> centres;
  for (int i = 0; i < 100000; ++i)
    centres.push_back({place(Random()), place(Random())});
  graph.FPrinting = false;
  TCanvas *canvas = graph.PaintBox()->DrawCanvas;
  for (auto _ : state) {
    for (const TWorldPoint &c : centres)
      if (Graph)
        graph.SquarePoint(5, c.X, c.Y, clNavy);
      else
        Wgraph::DrawSquarePoint(canvas, 5, c.X, c.Y, clNavy);
    benchmark::DoNotOptimize(graph.PaintBox()->Bitmap->ScanLine(0)[0]);
  }
  state.SetItemsProcessed(state.iterations() * centres.size());
}

} // namespace

BENCHMARK(GraphPaintOurs)->Name("graph paint 1e5 lines 1e4 quads 1e4 markers/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(GraphPaintCairo)->Name("graph paint 1e5 lines 1e4 quads 1e4 markers/cairo")->Unit(benchmark::kMillisecond);
BENCHMARK(WalkOurs)->Name("1e6-point random walk, clipped world lines/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(WalkCairo)->Name("1e6-point random walk, clipped world lines/cairo")->Unit(benchmark::kMillisecond);
BENCHMARK(InsideSectionsRun<true>)
    ->Name("1e5 DrawLine inside the frame, no device/velgraph")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(InsideSectionsRun<false>)
    ->Name("1e5 DrawLine inside the frame, no device/unclipped")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ClipPolygonRun<true, false>)->Name("ClipPolygon 1000-point circle/velgraph")->Unit(benchmark::kMicrosecond);
BENCHMARK(ClipPolygonRun<false, false>)->Name("ClipPolygon 1000-point circle/copy")->Unit(benchmark::kMicrosecond);
BENCHMARK(ClipPolygonRun<true, true>)
    ->Name("ClipPolygon 1000-point star, thinned/velgraph")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(ClipPolygonRun<false, true>)
    ->Name("ClipPolygon 1000-point star, thinned/copy")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(EmptyPaintRun<true>)->Name("graph paint with nothing to draw/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(EmptyPaintRun<false>)->Name("graph paint with nothing to draw/clear+copy")->Unit(benchmark::kMillisecond);
BENCHMARK(MarkersRun<true>)->Name("1e5 markers through the graph/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(MarkersRun<false>)->Name("1e5 markers through the graph/bare")->Unit(benchmark::kMillisecond);
