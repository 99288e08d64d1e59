// Point markers through the Wgraph marker functions against cairo drawing the same figures.
//
// Our markers come from the raster backend's shape cache: a figure drawn before is stored from
// its cached spans. The one-shape rows are the cache's best case; the mixed row (three kinds,
// nine sizes, eight colours in random order) is where it helps less. Cairo's two fast ways are
// both timed: a path per marker, filled (and stroked, for the triangle, whose fill alone through
// the pixel centres leaves out about half of our outline), and a sprite, the figure rendered once
// to an A8 mask and painted through it at each place with cairo_mask_surface. The sprite gives the
// same pixels as the path, since every place is a whole-pixel move.
//
// The floor of a case stores each figure's own pixels, as spans read from our drawing of it, at
// the same places with no drawing code around the stores.

#include "BenchSupport.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <functional>
#include <platform/pictures/Bitmap.h>
#include <wgraph/Wgraph.h>

namespace {

using namespace Platform;
using Bench::SurfaceHeight;
using Bench::SurfaceWidth;

constexpr int MarkerCount = 100000;
constexpr TColor MarkerColor = clNavy;
constexpr std::array<TColor, 8> Palette{clNavy, clMaroon, clGreen, clOlive, clPurple, clTeal, clRed, clBlue};
constexpr int MinSize = 3, MaxSize = 11;

// One world unit per pixel with y upwards, over the whole surface.
void MapSurface() {
  Wgraph::SetWorldWindow(0, SurfaceWidth, 0, SurfaceHeight, 0, 0, 0, 0);
  Wgraph::SetPCWindow(0, SurfaceWidth, SurfaceHeight, 0);
}

enum TKind { Square, Circle, Triangle, KindCount };

using TMarker = void (*)(TCanvas *, int, double, double, TColor);
constexpr std::array<TMarker, KindCount> MarkerOf{Wgraph::DrawSquarePoint, Wgraph::DrawCirclePoint,
                                                  Wgraph::DrawTrianglePoint};

struct TPlacedMarker {
  double X, Y;
  TPoint Pixel; // the centre as WorldToPC puts it
  TKind Kind;
  int Size;
  TColor Color;
};

std::vector<TPlacedMarker> Place(std::uint32_t seed, bool mixed, TKind kind, int size) {
  MapSurface();
  auto random = Bench::Generator(seed);
  std::uniform_real_distribution<double> x(MaxSize, SurfaceWidth - MaxSize), y(MaxSize, SurfaceHeight - MaxSize);
  std::vector<TPlacedMarker> out(MarkerCount);
  for (TPlacedMarker &m : out) {
    m.X = x(random);
    m.Y = y(random);
    Wgraph::WorldToPC(m.X, m.Y, m.Pixel.X, m.Pixel.Y);
    m.Kind = mixed ? static_cast<TKind>(Bench::Uniform(random, 0, KindCount - 1)) : kind;
    m.Size = mixed ? Bench::Uniform(random, MinSize, MaxSize) : size;
    m.Color = mixed ? Palette[static_cast<std::size_t>(Bench::Uniform(random, 0, static_cast<int>(Palette.size()) - 1))]
                    : MarkerColor;
  }
  return out;
}

// Size 5: half size 2; our square fills [px - 2, px + 3) and its outline adds a column and a row.
const std::vector<TPlacedMarker> &Squares() {
  static const auto markers = Place(3, false, Square, 5);
  return markers;
}
// Size 7: the ellipse in [px - 3, px + 3), a circle of radius 3 about (px, py).
const std::vector<TPlacedMarker> &Circles() {
  static const auto markers = Place(4, false, Circle, 7);
  return markers;
}
// Size 7: apex (px, py - 3), base corners (px -+ 3, py + 2).
const std::vector<TPlacedMarker> &Triangles() {
  static const auto markers = Place(5, false, Triangle, 7);
  return markers;
}
const std::vector<TPlacedMarker> &Mixed() {
  static const auto markers = Place(6, true, Square, 0);
  return markers;
}

void RunOurs(benchmark::State &state, const std::vector<TPlacedMarker> &markers) {
  TBitmap bitmap(SurfaceWidth, SurfaceHeight);
  MapSurface();
  auto draw = [&](std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
      MarkerOf[markers[i].Kind](bitmap.Canvas(), markers[i].Size, markers[i].X, markers[i].Y, markers[i].Color);
  };
  for (auto _ : state) {
    draw(markers.size());
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  Bench::CountPixels(state, bitmap.Surface(), markers.size(), draw);
  state.SetItemsProcessed(state.iterations() * MarkerCount);
}

// Cairo's path for a marker centred on pixel (x, y), and how it paints it: the same figure as
// ours as nearly as cairo's aliased rules allow.
void CairoFigure(cairo_t *cr, TKind kind, int size, double x, double y) {
  const int h = size / 2;
  switch (kind) {
  case Square: cairo_rectangle(cr, x - h, y - h, size + 1, size + 1); break;
  case Circle:
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, h, 0, 2 * M_PI);
    break;
  case Triangle: {
    // Through the pixel centres of our vertices, filled and stroked as our outline is drawn.
    const double dx = std::nearbyint(h * 0.8660254037844386), dy = std::nearbyint(h * 0.5);
    cairo_move_to(cr, x + 0.5, y - h + 0.5);
    cairo_line_to(cr, x - dx + 0.5, y + dy + 0.5);
    cairo_line_to(cr, x + dx + 0.5, y + dy + 0.5);
    cairo_close_path(cr);
    cairo_fill_preserve(cr);
    cairo_stroke(cr);
    return;
  }
  default: break;
  }
  cairo_fill(cr);
}

cairo_pattern_t *CairoColor(TColor color) {
  return cairo_pattern_create_rgb((color & 0xFF) / 255.0, (color >> 8 & 0xFF) / 255.0, (color >> 16 & 0xFF) / 255.0);
}

// One pattern per palette colour, made before the timed loop, so that a colour change costs cairo
// no allocation.
struct TCairoPalette {
  std::array<cairo_pattern_t *, Palette.size()> Patterns{};
  TCairoPalette() {
    for (std::size_t i = 0; i < Palette.size(); ++i)
      Patterns[i] = CairoColor(Palette[i]);
  }
  ~TCairoPalette() {
    for (cairo_pattern_t *p : Patterns)
      cairo_pattern_destroy(p);
  }
  TCairoPalette(const TCairoPalette &) = delete;
  TCairoPalette &operator=(const TCairoPalette &) = delete;
  cairo_pattern_t *Of(TColor color) const {
    for (std::size_t i = 0; i < Palette.size(); ++i)
      if (Palette[i] == color)
        return Patterns[i];
    return Patterns[0];
  }
};

// Runs draw(cr, marker) for every marker with the marker's colour set, only when it changes.
template <class TDraw> void RunCairo(benchmark::State &state, const std::vector<TPlacedMarker> &markers, TDraw &&draw) {
  Bench::TCairoTarget target;
  cairo_t *cr = target.Cr();
  const TCairoPalette palette;
  auto drawFirst = [&](std::size_t n) {
    TColor current = ~TColor{0};
    for (std::size_t i = 0; i < n; ++i) {
      if (markers[i].Color != current) {
        cairo_set_source(cr, palette.Of(markers[i].Color));
        current = markers[i].Color;
      }
      draw(cr, markers[i]);
    }
  };
  for (auto _ : state) {
    drawFirst(markers.size());
    target.Flush();
  }
  Bench::CountPixels(state, target, markers.size(), drawFirst);
  state.SetItemsProcessed(state.iterations() * MarkerCount);
}

void RunCairoPaths(benchmark::State &state, const std::vector<TPlacedMarker> &markers) {
  RunCairo(state, markers,
           [](cairo_t *cr, const TPlacedMarker &m) { CairoFigure(cr, m.Kind, m.Size, m.Pixel.X, m.Pixel.Y); });
}

constexpr int SpriteSide = 2 * MaxSize;
constexpr int SpriteCentre = MaxSize;

// A8 masks of every kind and size, each figure centred on pixel (SpriteCentre, SpriteCentre).
class TSprites {
public:
  TSprites() {
    for (int kind = 0; kind < KindCount; ++kind)
      for (int size = MinSize; size <= MaxSize; ++size) {
        cairo_surface_t *sprite = cairo_image_surface_create(CAIRO_FORMAT_A8, SpriteSide, SpriteSide);
        cairo_t *cr = cairo_create(sprite);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_line_width(cr, 1.0);
        CairoFigure(cr, static_cast<TKind>(kind), size, SpriteCentre, SpriteCentre);
        cairo_destroy(cr);
        cairo_surface_flush(sprite);
        FSprites[kind][size - MinSize] = sprite;
      }
  }
  ~TSprites() {
    for (auto &sizes : FSprites)
      for (cairo_surface_t *s : sizes)
        cairo_surface_destroy(s);
  }
  TSprites(const TSprites &) = delete;
  TSprites &operator=(const TSprites &) = delete;
  cairo_surface_t *Of(TKind kind, int size) const { return FSprites[kind][size - MinSize]; }

private:
  std::array<std::array<cairo_surface_t *, MaxSize - MinSize + 1>, KindCount> FSprites{};
};

void RunCairoSprites(benchmark::State &state, const std::vector<TPlacedMarker> &markers) {
  const TSprites sprites;
  RunCairo(state, markers, [&](cairo_t *cr, const TPlacedMarker &m) {
    cairo_mask_surface(cr, sprites.Of(m.Kind, m.Size), m.Pixel.X - SpriteCentre, m.Pixel.Y - SpriteCentre);
  });
}

struct TSpan {
  int Offset; // from the centre pixel on a surface of the bench's stride
  int Length;
};

// Our pixels of every kind and size as spans about the centre pixel, read from drawing each
// figure once on a white surface.
class TFigureSpans {
public:
  TFigureSpans() {
    MapSurface();
    for (int kind = 0; kind < KindCount; ++kind)
      for (int size = MinSize; size <= MaxSize; ++size) {
        TBitmap bitmap(SurfaceWidth, SurfaceHeight);
        const TPoint c{SurfaceWidth / 2, SurfaceHeight / 2};
        double x, y;
        Wgraph::PCToWorld(c.X, c.Y, x, y);
        MarkerOf[kind](bitmap.Canvas(), size, x, y, MarkerColor);
        int px, py;
        Wgraph::WorldToPC(x, y, px, py);
        FSpans[kind][size - MinSize] = Read(bitmap.Surface(), {px, py});
      }
  }
  const std::vector<TSpan> &Of(TKind kind, int size) const { return FSpans[kind][size - MinSize]; }

private:
  static std::vector<TSpan> Read(const TRasterSurface &surface, TPoint centre) {
    std::vector<TSpan> spans;
    for (int dy = -SpriteSide; dy <= SpriteSide; ++dy) {
      const std::uint32_t *row = surface.Row(centre.Y + dy);
      for (int dx = -SpriteSide; dx <= SpriteSide;) {
        if ((row[centre.X + dx] & 0xFFFFFF) == (Bench::WhitePixel & 0xFFFFFF)) {
          ++dx;
          continue;
        }
        const int lo = dx;
        while (dx <= SpriteSide && (row[centre.X + dx] & 0xFFFFFF) != (Bench::WhitePixel & 0xFFFFFF))
          ++dx;
        spans.push_back({static_cast<int>(dy * surface.Stride + lo), dx - lo});
      }
    }
    return spans;
  }
  std::array<std::array<std::vector<TSpan>, MaxSize - MinSize + 1>, KindCount> FSpans;
};

// Stores each marker's pixels, first asking for every row's cache lines when Prefetch is set, as
// our stamps do.
template <bool Prefetch> void StoreFloor(benchmark::State &state, const std::vector<TPlacedMarker> &markers) {
  const TFigureSpans figures;
  std::vector<const std::vector<TSpan> *> spansOf;
  for (const TPlacedMarker &m : markers)
    spansOf.push_back(&figures.Of(m.Kind, m.Size));
  TBitmap bitmap(SurfaceWidth, SurfaceHeight);
  const TRasterSurface &surface = bitmap.Surface();
  auto draw = [&](std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      std::uint32_t *const centre = surface.Row(markers[i].Pixel.Y) + markers[i].Pixel.X;
      const std::uint32_t pixel = ColorToPixel(markers[i].Color);
      if (Prefetch)
        for (const TSpan &s : *spansOf[i])
          __builtin_prefetch(centre + s.Offset, 1);
      for (const TSpan &s : *spansOf[i])
        std::fill_n(centre + s.Offset, s.Length, pixel);
    }
  };
  for (auto _ : state) {
    draw(markers.size());
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
  Bench::CountPixels(state, surface, markers.size(), draw);
  state.SetItemsProcessed(state.iterations() * MarkerCount);
}

// Registers our side, cairo's paths and sprites, and the floor of one case.
void Register(const std::string &name, const std::vector<TPlacedMarker> &(*markers)(), bool prefetchedFloor) {
  benchmark::RegisterBenchmark((name + "/velgraph").c_str(), [=](benchmark::State &s) {
    RunOurs(s, markers());
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((name + "/cairo, a path per marker").c_str(), [=](benchmark::State &s) {
    RunCairoPaths(s, markers());
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((name + "/cairo, A8 sprite and mask_surface").c_str(), [=](benchmark::State &s) {
    RunCairoSprites(s, markers());
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((name + "/floor: the figure's stores").c_str(), [=](benchmark::State &s) {
    StoreFloor<false>(s, markers());
  })->Unit(benchmark::kMillisecond);
  if (prefetchedFloor)
    benchmark::RegisterBenchmark((name + "/floor: the figure's stores, prefetched").c_str(), [=](benchmark::State &s) {
      StoreFloor<true>(s, markers());
    })->Unit(benchmark::kMillisecond);
}

[[maybe_unused]] const bool Registered = [] {
  Register("1e5 DrawSquarePoint size 5, shape cache", Squares, true);
  Register("1e5 DrawCirclePoint size 7, shape cache", Circles, false);
  Register("1e5 DrawTrianglePoint size 7, shape cache", Triangles, false);
  Register("1e5 mixed markers: 3 kinds, sizes 3-11, 8 colours", Mixed, false);
  return true;
}();

} // namespace
