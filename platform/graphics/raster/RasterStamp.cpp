#include <platform/graphics/raster/RasterStamp.h>

#include <limits>
#include <platform/graphics/raster/RasterSpan.h>

// A stamp is made by drawing the figure once with the ordinary rasterizers onto a scratch surface
// and reading its pixels back as spans, so a stamp cannot differ from the figure it replaces.
//
// The cache is per thread: shapes do not depend on the surface, so every device drawing on the
// thread shares the stamps (a plot drawn on several bitmaps builds each marker once), and no
// lock is needed. It holds 16 sets of two stamps (about 35 KB), found by a hash of the shape; a
// set's two ways let two shapes that hash alike (a circle and a triangle series in one plot) both
// stay. Plots that mix kinds and sizes of marker need the sets: with 8 of them, three kinds in
// nine sizes took half again as long as with 16, as shapes that shared a set evicted each other.
// A shape is only built when it misses twice in a row in its set, so figures that never repeat
// (the elements of a mesh) cost a hash and a compare and never evict the markers' stamps.
//
// On a surface larger than the caches, a marker's time goes mostly to waiting for its pixel
// stores: every row misses, and x86 commits stores in order, so each later store, spills and
// return addresses included, queues behind them until the store buffer is full. The hit path
// therefore calls nothing (all else is reached by a tail call) and builds its key in registers.

namespace Platform::Raster {

namespace {

constexpr int MaxSide = 64;
constexpr std::size_t MaxVertices = 8;
// Enough for the outline of any ellipse and any marker; figures that need more are drawn directly.
constexpr int MaxSpans = 128;

// A figure's shape, wherever it is. The top byte says which parts are drawn, whether it is an
// ellipse and how many vertices a polygon has; below it, from the lowest byte up, lie the
// polygon's vertices after the first as byte offsets (x, y) from the first one, or the ellipse's
// box size. The top byte is never zero, so an empty slot's key of zeros matches no shape. Keys
// are built in registers: a key assembled byte by byte in memory and read back whole would wait
// for every pending pixel store (the read cannot be forwarded from the narrower stores).
struct TShapeKey {
  std::uint64_t Low;
  std::uint64_t High;
  bool operator==(const TShapeKey &) const = default;
};

constexpr std::uint64_t OutlinePart = 1, FillPart = 2, EllipseShape = 4;

std::uint64_t KindOf(TStampPaint paint, std::uint64_t shape) {
  return ((paint.Outline ? OutlinePart : 0) | (paint.Fill ? FillPart : 0) | shape) << 56;
}

// Two small coordinate offsets as two bytes.
std::uint64_t OffsetBytes(i64 dx, i64 dy) {
  return static_cast<std::uint8_t>(dx) | std::uint64_t{static_cast<std::uint8_t>(dy)} << 8;
}

// One run of pixels: its row and first column counted from the stamp's top-left corner, and its
// first pixel's place counted from the corner's pixel on a surface of the stamp's stride.
struct TStampSpan {
  std::int32_t Offset;
  std::uint8_t Row;
  std::uint8_t Lo;
  std::uint8_t Length;
};

// Surfaces with longer rows would overflow a span's offset; stamps on them take the clipped path.
constexpr std::ptrdiff_t MaxStride = std::ptrdiff_t{1} << 24;
// The stride of a stamp whose offsets are not worked out yet: no surface has it.
constexpr std::ptrdiff_t NoStride = std::numeric_limits<std::ptrdiff_t>::min();

// The cache is plain data with no constructor, so that reaching it costs no initialisation guard;
// a thread's cache starts as zeros.
struct TStamp {
  TShapeKey Key;
  int Count; // spans, or -1 for a figure that cannot be stamped
  int Left;  // the top-left corner relative to the figure's reference point
  int Top;
  int Width; // a box holding every pixel
  int Height;
  std::ptrdiff_t Stride; // the stride the offsets are for, or NoStride
  TStampSpan Spans[MaxSpans];
};

struct TStampSet {
  TStamp Ways[2];
  TShapeKey Candidate; // the last shape that missed here
  int Built;           // the way built in last; the next stamp replaces the other
};

constexpr int SetBits = 4;

struct TStampCache {
  TStampSet Sets[1 << SetBits];
  bool Disabled;
  std::uint64_t Built;
};

thread_local TStampCache Cache;

TStampSet &SetOf(TStampCache &cache, const TShapeKey &key) {
  return cache.Sets[(key.Low * 0x9E3779B97F4A7C15u ^ key.High * 0xC2B2AE3D27D4EB4Fu) >> (64 - SetBits)];
}

// The stamp of the shape if either way of its set holds it.
TStamp *Lookup(TStampCache &cache, const TShapeKey &key) {
  TStampSet &set = SetOf(cache, key);
  for (TStamp &stamp : set.Ways)
    if (stamp.Key == key)
      return &stamp;
  return nullptr;
}

// False on a shape's first miss in a row, which only remembers it: figures that never repeat go
// straight back to their own rasterizers.
bool MissedBefore(TStampCache &cache, const TShapeKey &key) {
  TStampSet &set = SetOf(cache, key);
  if (set.Candidate == key)
    return true;
  set.Candidate = key;
  return false;
}

// A shape that is in neither way: remembered on its first miss, and on its second miss in a row
// given the way not built in last. (Recording which way was hit last would cost a store on every
// hit, and two shapes in one set stay either way.)
TStamp *Admit(const TShapeKey &key) {
  TStampCache &cache = Cache;
  TStampSet &set = SetOf(cache, key);
  if (!(set.Candidate == key)) {
    set.Candidate = key;
    return nullptr;
  }
  set.Built ^= 1;
  TStamp &stamp = set.Ways[set.Built];
  stamp.Key = key;
  ++cache.Built;
  return &stamp;
}

// Reads the spans of the pixels set to 1 in the scratch rows.
void ReadSpans(TStamp &stamp, const TRasterSurface &scratch) {
  int count = 0;
  for (int r = 0; r < scratch.Height; ++r) {
    const std::uint32_t *row = scratch.Row(r);
    for (int x = 0; x < scratch.Width;) {
      if (!row[x]) {
        ++x;
        continue;
      }
      const int lo = x;
      while (x < scratch.Width && row[x])
        ++x;
      if (count == MaxSpans) {
        stamp.Count = -1;
        return;
      }
      stamp.Spans[count++] = {0, static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(lo),
                              static_cast<std::uint8_t>(x - lo)};
    }
  }
  stamp.Count = count;
}

// Draws the figure with draw(scratch, clip, outline, fill) on a cleared width x height scratch
// surface in the marking pixel 1 and keeps its spans. The scratch lives on the stack: a stamp is
// built once per shape, and thread-local storage would hold it for the thread's whole life.
template <class TDraw> void Build(TStamp &stamp, int width, int height, TStampPaint paint, TDraw &&draw) {
  std::uint32_t pixels[MaxSide * MaxSide];
  const TRasterSurface scratch{pixels, width, height, MaxSide};
  for (int r = 0; r < height; ++r)
    std::fill(scratch.Row(r), scratch.Row(r) + width, 0u);
  const TRop mark{0, 1};
  const TStroke outline{mark, psSolid, 1};
  const TFill fill{mark, nullptr};
  draw(scratch, TClip{0, 0, width, height}, paint.Outline ? &outline : nullptr, paint.Fill ? &fill : nullptr);
  stamp.Width = width;
  stamp.Height = height;
  stamp.Stride = NoStride;
  ReadSpans(stamp, scratch);
}

// The polygon's stamp, built if its shape is admitted, with the first vertex as the reference
// point. A figure whose pixels do not fit in MaxSide x MaxSide cannot be stamped; the outline
// reaches the right and bottom vertices, the inside stops short of them.
[[gnu::noinline]] TStamp *BuildPolygon(const TShapeKey &key, std::span<const TPoint> points, TStampPaint paint) {
  TStamp *stamp = Admit(key);
  if (!stamp)
    return nullptr;
  const i64 x0 = points[0].X, y0 = points[0].Y;
  i64 minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (const TPoint &p : points) {
    minX = std::min(minX, p.X - x0);
    maxX = std::max(maxX, p.X - x0);
    minY = std::min(minY, p.Y - y0);
    maxY = std::max(maxY, p.Y - y0);
  }
  if (maxX - minX >= MaxSide || maxY - minY >= MaxSide) {
    stamp->Count = -1;
    return stamp;
  }
  TPoint corners[MaxVertices];
  for (std::size_t i = 0; i < points.size(); ++i)
    corners[i] = {static_cast<int>(points[i].X - x0 - minX), static_cast<int>(points[i].Y - y0 - minY)};
  const std::span<const TPoint> figure(corners, points.size());
  Build(*stamp, static_cast<int>(maxX - minX + 1), static_cast<int>(maxY - minY + 1), paint,
        [&](const TRasterSurface &scratch, const TClip &c, const TStroke *outline, const TFill *fill) {
          if (fill)
            FillPolygon(scratch, c, *fill, figure, {});
          if (outline) {
            int dashPhase = 0;
            StrokePolyline(scratch, c, *outline, figure, {}, true, dashPhase);
          }
        });
  stamp->Left = static_cast<int>(minX);
  stamp->Top = static_cast<int>(minY);
  return stamp;
}

// The ellipse's stamp, built if its shape is admitted, with the box's top-left as the reference.
[[gnu::noinline]] TStamp *BuildEllipse(const TShapeKey &key, i64 w, i64 h, TStampPaint paint) {
  TStamp *stamp = Admit(key);
  if (!stamp)
    return nullptr;
  Build(*stamp, static_cast<int>(w), static_cast<int>(h), paint,
        [&](const TRasterSurface &scratch, const TClip &c, const TStroke *outline, const TFill *fill) {
          DrawEllipse(scratch, c, {0, 0, w, h}, outline, fill);
        });
  stamp->Left = stamp->Top = 0;
  return stamp;
}

// The offsets of the stamp's spans on a surface of the stride.
[[gnu::noinline]] void Restride(TStamp &stamp, std::ptrdiff_t stride) {
  for (int i = 0; i < stamp.Count; ++i)
    stamp.Spans[i].Offset = static_cast<std::int32_t>(stamp.Spans[i].Row * stride + stamp.Spans[i].Lo);
  stamp.Stride = stride;
}

// Stores pixel into n >= 1 pixels. A stamp's spans are short: three stores cover one to three
// pixels and two overlapping stores of four up to eight, without a loop.
inline void StoreSpan(std::uint32_t *p, int n, std::uint32_t pixel) {
  if (n < 4) {
    p[0] = pixel;
    p[n / 2] = pixel;
    p[n - 1] = pixel;
    return;
  }
#if defined(__SSE2__)
  if (n <= 8) {
    const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(p), four);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(p + n - 4), four);
    return;
  }
#endif
  StorePixels(p, n, pixel);
}

// True when the stamp can be drawn with the top-left corner at (left, top) by StampInside.
bool FitsInside(const TRasterSurface &surface, const TClip &clip, const TStamp &stamp, i64 left, i64 top) {
  return stamp.Count >= 0 && stamp.Stride == surface.Stride && left >= clip.Left && top >= clip.Top &&
         left + stamp.Width <= clip.Right && top + stamp.Height <= clip.Bottom;
}

// Stamps with the top-left corner at (left, top), wholly inside the clip, on a surface of the
// stride the offsets are for. No calls: see the note on stores above.
[[gnu::always_inline]] inline void StampInside(const TRasterSurface &surface, const TStamp &stamp, i64 left, i64 top,
                                               std::uint32_t pixel) {
  std::uint32_t *const corner = surface.Row(static_cast<int>(top)) + left;
  const TStampSpan *const spans = stamp.Spans, *const end = spans + stamp.Count;
  // Every row of a figure on a large surface misses the caches. Asking for all the rows' lines
  // before the first store lets the misses overlap; the stores alone would wait for them one
  // after another.
  for (const TStampSpan *s = spans; s != end; ++s) {
    const std::uint32_t *p = corner + s->Offset;
    __builtin_prefetch(p, 1);
    __builtin_prefetch(p + s->Length - 1, 1);
    // A line holds 16 pixels: longer spans have lines between their ends.
    if (s->Length > 16)
      for (int x = 16; x < s->Length - 1; x += 16)
        __builtin_prefetch(p + x, 1);
  }
  for (const TStampSpan *s = spans; s != end; ++s)
    StoreSpan(corner + s->Offset, s->Length, pixel);
}

// Stamps with the top-left corner at (left, top) anywhere: clipped, or first fitted to the
// surface's stride when that is one the offsets can hold.
void Draw(const TRasterSurface &surface, const TClip &clip, TStamp &stamp, i64 left, i64 top, std::uint32_t pixel) {
  const std::ptrdiff_t stride = surface.Stride;
  if (stamp.Stride != stride && stride <= MaxStride && stride >= -MaxStride)
    Restride(stamp, stride);
  if (FitsInside(surface, clip, stamp, left, top)) {
    StampInside(surface, stamp, left, top, pixel);
    return;
  }
  const TFill fill{{0, pixel}, nullptr};
  for (int i = 0; i < stamp.Count; ++i) {
    const TStampSpan &s = stamp.Spans[i];
    const i64 y = top + s.Row;
    if (y >= clip.Top && y < clip.Bottom)
      PaintClipped(surface, clip, static_cast<int>(y), left + s.Lo, left + s.Lo + s.Length, fill);
  }
}

// The key of a polygon of 3 to MaxVertices points, or false when a vertex lies too far from the
// first one for the key to hold it. The key holds offsets in [-64, 64): biased by 64 they lie in
// [0, 128), and so does their bitwise or exactly when every one of them does. Whether the figure
// fits a stamp is left to the build.
[[gnu::always_inline]] inline bool PolygonKey(std::span<const TPoint> points, TStampPaint paint, TShapeKey &key) {
  const std::size_t n = points.size();
  key = {0, KindOf(paint, n << 3)};
  const i64 x0 = points[0].X, y0 = points[0].Y;
  std::uint64_t biased = 0;
  for (std::size_t i = 1; i < n; ++i) {
    const i64 dx = points[i].X - x0, dy = points[i].Y - y0;
    biased |= static_cast<std::uint64_t>(dx + 64) | static_cast<std::uint64_t>(dy + 64);
    if (i <= 4)
      key.Low |= OffsetBytes(dx, dy) << (16 * (i - 1));
    else
      key.High |= OffsetBytes(dx, dy) << (16 * (i - 5));
  }
  return biased < 128;
}

TShapeKey EllipseKey(i64 w, i64 h, TStampPaint paint) { return {OffsetBytes(w, h), KindOf(paint, EllipseShape)}; }

// Everything but a hit drawn inside the clip: building a stamp, fitting it to the stride,
// clipping. These take the arguments of the public functions and work
// everything out again, so that those reach them by a tail call and their hit paths make no call.
[[gnu::noinline]] bool StampPolygonSlowly(const TRasterSurface &surface, const TClip &clip, TStampPaint paint,
                                          std::span<const TPoint> points, TPoint origin) {
  TShapeKey key;
  if (Cache.Disabled || points.size() < 3 || points.size() > MaxVertices || !PolygonKey(points, paint, key))
    return false;
  TStamp *stamp = Lookup(Cache, key);
  if (!stamp)
    stamp = BuildPolygon(key, points, paint);
  if (!stamp || stamp->Count < 0)
    return false;
  Draw(surface, clip, *stamp, i64{points[0].X} + origin.X + stamp->Left, i64{points[0].Y} + origin.Y + stamp->Top,
       paint.Pixel);
  return true;
}

[[gnu::noinline]] bool StampEllipseSlowly(const TRasterSurface &surface, const TClip &clip, TStampPaint paint,
                                          const TBox64 &box) {
  const i64 w = box.Right - box.Left, h = box.Bottom - box.Top;
  if (Cache.Disabled || w <= 0 || h <= 0 || w > MaxSide || h > MaxSide)
    return false;
  const TShapeKey key = EllipseKey(w, h, paint);
  TStamp *stamp = Lookup(Cache, key);
  if (!stamp)
    stamp = BuildEllipse(key, w, h, paint);
  if (!stamp || stamp->Count < 0)
    return false;
  Draw(surface, clip, *stamp, box.Left, box.Top, paint.Pixel);
  return true;
}

} // namespace

bool StampPolygon(const TRasterSurface &surface, const TClip &clip, TStampPaint paint, std::span<const TPoint> points,
                  TPoint origin) {
  TStampCache &cache = Cache;
  TShapeKey key;
  if (cache.Disabled || points.size() < 3 || points.size() > MaxVertices || !PolygonKey(points, paint, key))
    return false;
  if (const TStamp *stamp = Lookup(cache, key)) {
    const i64 left = i64{points[0].X} + origin.X + stamp->Left, top = i64{points[0].Y} + origin.Y + stamp->Top;
    if (FitsInside(surface, clip, *stamp, left, top)) {
      StampInside(surface, *stamp, left, top, paint.Pixel);
      return true;
    }
  } else if (!MissedBefore(cache, key)) {
    return false;
  }
  return StampPolygonSlowly(surface, clip, paint, points, origin);
}

bool StampEllipse(const TRasterSurface &surface, const TClip &clip, TStampPaint paint, const TBox64 &box) {
  TStampCache &cache = Cache;
  const i64 w = box.Right - box.Left, h = box.Bottom - box.Top;
  if (cache.Disabled || w <= 0 || h <= 0 || w > MaxSide || h > MaxSide)
    return false;
  const TShapeKey key = EllipseKey(w, h, paint);
  if (const TStamp *stamp = Lookup(cache, key)) {
    if (FitsInside(surface, clip, *stamp, box.Left, box.Top)) {
      StampInside(surface, *stamp, box.Left, box.Top, paint.Pixel);
      return true;
    }
  } else if (!MissedBefore(cache, key)) {
    return false;
  }
  return StampEllipseSlowly(surface, clip, paint, box);
}

void SetStampsEnabled(bool enabled) { Cache.Disabled = !enabled; }

std::uint64_t StampsBuilt() { return Cache.Built; }

} // namespace Platform::Raster
