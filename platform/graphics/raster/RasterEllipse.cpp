#include <platform/graphics/raster/RasterSpan.h>

#include <cstdlib>

// Ellipses and arcs. Everything works in doubled coordinates relative to the box's centre, where
// every quantity is an integer: pixel (c, r) of a w x h box (offsets from its top-left) sits at
// X = 2c + 1 - w, Y = 2r + 1 - h, and the inscribed ellipse has the doubled semi-axes w and h.
// An ellipse with doubled semi-axes a, b holds the pixels with X^2 b^2 + Y^2 a^2 <= a^2 b^2; each
// row is one span found from an integer square root, never by testing pixels.
//
// A cosmetic outline is the set of inside pixels with a 4-neighbour outside; the brush fills the
// rest. A wide pen covers the ring between the ellipses whose semi-axes are those of the ellipse
// through the frame's pixel centres plus and minus width / 2 (with psInsideFrame the outer one is
// the box's own), and the brush fills what the inner one holds. Either way the pen's and the
// brush's pixels are disjoint, so every pixel is written at most once.

namespace Platform::Raster {

namespace {

// Column offsets [Lo, Hi); empty when Lo >= Hi.
struct TSpan {
  i64 Lo = 0;
  i64 Hi = 0;
  bool IsEmpty() const { return Lo >= Hi; }
};

TSpan Intersection(TSpan a, TSpan b) { return {std::max(a.Lo, b.Lo), std::min(a.Hi, b.Hi)}; }

constexpr i64 Unbounded = i64{1} << 62;

// The ellipse with doubled semi-axes a, b centred in a w x h box, row by row. Semi-axes up to
// 2^15 keep every product in 64 bits and up to 2^30 in 128 bits; beyond that no surface shows
// more than a sliver of the curve and long double is close enough.
class TEllipseRows {
public:
  TEllipseRows() = default;
  TEllipseRows(i64 w, i64 h, i64 a, i64 b) : FW(w), FH(h), FA(a), FB(b) {
    if (a <= 0 || b <= 0) {
      FFirstRow = FEndRow = 0;
      return;
    }
    FFirstRow = CeilDiv(h - 1 - b, 2);
    FEndRow = FloorDiv(h - 1 + b, 2) + 1;
    const i64 big = std::max(a, b);
    FMath = big <= (i64{1} << 15) ? TMath::Small : big <= (i64{1} << 30) ? TMath::Exact : TMath::Approx;
  }

  // Rows (offsets from the box's top) that may hold pixels.
  i64 FirstRow() const { return FFirstRow; }
  i64 EndRow() const { return FEndRow; }

  TSpan Row(i64 r) const {
    const i64 y = 2 * r + 1 - FH;
    if (r < FFirstRow || r >= FEndRow)
      return {};
    i64 m;
    switch (FMath) {
    case TMath::Small: m = HalfWidth<i64>(y); break;
    case TMath::Exact: m = HalfWidth<i128>(y); break;
    default: m = HalfWidthApprox(y); break;
    }
    return {CeilDiv(FW - 1 - m, 2), FloorDiv(FW - 1 + m, 2) + 1};
  }

private:
  enum class TMath : std::uint8_t { Small, Exact, Approx };

  // The largest m with m^2 b^2 <= a^2 (b^2 - y^2), |y| <= b.
  template <class T> i64 HalfWidth(i64 y) const {
    const T b2 = T(FB) * FB, bound = T(FA) * FA * (b2 - T(y) * y);
    i64 m = static_cast<i64>(static_cast<double>(FA) *
                             std::sqrt(static_cast<double>(FB - y) * static_cast<double>(FB + y)) /
                             static_cast<double>(FB));
    while (m > 0 && T(m) * m * b2 > bound)
      --m;
    while (T(m + 1) * (m + 1) * b2 <= bound)
      ++m;
    return m;
  }

  i64 HalfWidthApprox(i64 y) const {
    using R = long double;
    return static_cast<i64>(R(FA) * std::sqrt(R(FB - y) * R(FB + y)) / R(FB));
  }

  i64 FW = 0, FH = 0, FA = 0, FB = 0;
  i64 FFirstRow = 0, FEndRow = 0;
  TMath FMath = TMath::Small;
};

// One row of a figure: the pen's pixels (two spans, either may be empty) and the brush's.
struct TFigureRow {
  TSpan Pen[2];
  TSpan Fill;
};

// The cosmetic figure of small boxes, markers above all, computed once per size and kept per
// thread in a small direct-mapped table: a hit costs no arithmetic and no allocation.
constexpr int CachedSide = 64;

struct TCachedEllipse {
  i64 W = 0, H = 0;
  // Per row: the inside [Lo, Hi) and the part [FillLo, FillHi) without a 4-neighbour outside.
  std::uint8_t Lo[CachedSide] = {}, Hi[CachedSide] = {}, FillLo[CachedSide] = {}, FillHi[CachedSide] = {};
};

// The cosmetic row r of an ellipse from its inside spans on rows r - 1, r and r + 1.
TFigureRow CosmeticRow(TSpan above, TSpan here, TSpan below) {
  TSpan inner = Intersection(Intersection({here.Lo + 1, here.Hi - 1}, above), below);
  if (inner.IsEmpty())
    inner = {here.Hi, here.Hi};
  return {{{here.Lo, inner.Lo}, {inner.Hi, here.Hi}}, inner};
}

const TCachedEllipse &CachedEllipse(i64 w, i64 h) {
  thread_local TCachedEllipse cache[16];
  TCachedEllipse &e = cache[(w * 5 + h) & 15];
  if (e.W == w && e.H == h)
    return e;
  const TEllipseRows rows(w, h, w, h);
  TSpan above{}, here = rows.Row(0);
  for (i64 r = 0; r < h; ++r) {
    const TSpan below = rows.Row(r + 1);
    const TFigureRow f = CosmeticRow(above, here, below);
    e.Lo[r] = static_cast<std::uint8_t>(here.Lo);
    e.Hi[r] = static_cast<std::uint8_t>(std::max(here.Lo, here.Hi));
    e.FillLo[r] = static_cast<std::uint8_t>(f.Fill.Lo);
    e.FillHi[r] = static_cast<std::uint8_t>(f.Fill.Hi);
    above = here;
    here = below;
  }
  e.W = w;
  e.H = h;
  return e;
}

// The pixels of an ellipse's figure row by row, whichever the pen.
class TEllipseFigure {
public:
  TEllipseFigure(i64 w, i64 h, const TStroke *pen) {
    if (pen && !pen->IsCosmetic()) {
      const i64 width = pen->Width;
      FKind = TKind::Wide;
      if (pen->Style == psInsideFrame) {
        FOuter = {w, h, w, h};
        FInner = {w, h, w - 2 * width, h - 2 * width};
      } else {
        FOuter = {w, h, w - 1 + width, h - 1 + width};
        FInner = {w, h, w - 1 - width, h - 1 - width};
      }
      return;
    }
    FKind = pen ? TKind::Cosmetic : TKind::Plain;
    FOuter = {w, h, w, h};
    if (w <= CachedSide && h <= CachedSide) {
      FCached = &CachedEllipse(w, h);
      FKind = pen ? TKind::CachedCosmetic : TKind::CachedPlain;
    }
  }

  i64 FirstRow() const { return FOuter.FirstRow(); }
  i64 EndRow() const { return FOuter.EndRow(); }

  // Rows are asked for in increasing order; the cosmetic figure keeps its neighbours' spans.
  TFigureRow Row(i64 r) {
    switch (FKind) {
    case TKind::CachedCosmetic: {
      const TCachedEllipse &c = *FCached;
      return {{{c.Lo[r], c.FillLo[r]}, {c.FillHi[r], c.Hi[r]}}, {c.FillLo[r], c.FillHi[r]}};
    }
    case TKind::CachedPlain: return {{}, {FCached->Lo[r], FCached->Hi[r]}};
    case TKind::Plain: return {{}, FOuter.Row(r)};
    case TKind::Cosmetic:
      if (r == FRow + 1) {
        FAbove = FHere;
        FHere = FBelow;
      } else {
        FAbove = FOuter.Row(r - 1);
        FHere = FOuter.Row(r);
      }
      FBelow = FOuter.Row(r + 1);
      FRow = r;
      return CosmeticRow(FAbove, FHere, FBelow);
    default: {
      const TSpan outer = FOuter.Row(r), inner = FInner.Row(r);
      if (inner.IsEmpty())
        return {{outer, {}}, {}};
      return {{{outer.Lo, inner.Lo}, {inner.Hi, outer.Hi}}, inner};
    }
    }
  }

private:
  enum class TKind : std::uint8_t { CachedCosmetic, CachedPlain, Plain, Cosmetic, Wide };
  TKind FKind = TKind::Plain;
  const TCachedEllipse *FCached = nullptr;
  TEllipseRows FOuter, FInner;
  i64 FRow = -Unbounded;
  TSpan FAbove, FHere, FBelow;
};

// The directions from the centre that lie in the sweep running counter-clockwise on the screen
// from the ray s to the ray e, in doubled coordinates (exact for any 32-bit input). With y
// growing downwards, b lies counter-clockwise of a within half a turn when
// Cross(a, b) = a.y b.x - a.x b.y > 0.
class TSweep {
public:
  TSweep(i128 sx, i128 sy, i128 ex, i128 ey, i64 w) : FW(w) {
    // A ray from the centre towards the centre has no direction; it counts as pointing right.
    if (sx == 0 && sy == 0)
      sx = 1;
    if (ex == 0 && ey == 0)
      ex = 1;
    FSx = sx;
    FSy = sy;
    FEx = ex;
    FEy = ey;
    const i128 cross = sy * ex - sx * ey, dot = sx * ex + sy * ey;
    FKind = cross > 0 ? TKind::Narrow : cross < 0 ? TKind::Wide : dot > 0 ? TKind::Whole : TKind::Half;
  }

  // The column offsets of the row at doubled offset y whose directions lie in the sweep: at most
  // two disjoint spans. Returns how many.
  int Row(i64 y, TSpan out[2]) const {
    if (FKind == TKind::Whole) {
      out[0] = {-Unbounded, Unbounded};
      return 1;
    }
    // Cross(s, v) >= 0 and Cross(v, e) >= 0 with v = (2c + 1 - w, y), each linear in c.
    const TSpan fromStart = Solve(2 * FSy, FSy * (1 - FW) - FSx * y);
    const TSpan toEnd = Solve(-2 * FEy, y * FEx - (1 - FW) * FEy);
    switch (FKind) {
    case TKind::Half: out[0] = fromStart; return 1;
    case TKind::Narrow: out[0] = Intersection(fromStart, toEnd); return 1;
    default: break;
    }
    // More than half a turn: everything outside the narrow sweep from e back to s.
    if (fromStart.IsEmpty() || toEnd.IsEmpty()) {
      out[0] = fromStart.IsEmpty() ? toEnd : fromStart;
      return 1;
    }
    if (std::max(fromStart.Lo, toEnd.Lo) <= std::min(fromStart.Hi, toEnd.Hi)) {
      out[0] = {std::min(fromStart.Lo, toEnd.Lo), std::max(fromStart.Hi, toEnd.Hi)};
      return 1;
    }
    out[0] = fromStart;
    out[1] = toEnd;
    return 2;
  }

private:
  enum class TKind : std::uint8_t { Whole, Narrow, Wide, Half };

  // The integers c with k c + m >= 0.
  static TSpan Solve(i128 k, i128 m) {
    if (k > 0)
      return {Clamp64(CeilDiv(-m, k)), Unbounded};
    if (k < 0)
      return {-Unbounded, Clamp64(FloorDiv(m, -k) + 1)};
    return m >= 0 ? TSpan{-Unbounded, Unbounded} : TSpan{};
  }

  i64 FW;
  i128 FSx = 0, FSy = 0, FEx = 0, FEy = 0;
  TKind FKind = TKind::Whole;
};

// Paints a span of column offsets from left on a visible row.
void PaintOffsets(const TRasterSurface &surface, const TClip &clip, int y, i64 left, TSpan s, const TFill &fill) {
  if (!s.IsEmpty())
    PaintClipped(surface, clip, y, left + s.Lo, left + s.Hi, fill);
}

// A small ellipse with a cosmetic pen or none, wholly inside the clip (markers above all): its
// rows straight from the cache, unclamped. A brush that paints like the pen joins it in one span.
void DrawSmallEllipse(const TRasterSurface &surface, const TBox64 &box, const TStroke *pen, const TFill *fill) {
  const TCachedEllipse &c = CachedEllipse(box.Right - box.Left, box.Bottom - box.Top);
  const int l = static_cast<int>(box.Left), t = static_cast<int>(box.Top), h = static_cast<int>(box.Bottom - box.Top);
  if (!pen || PaintsLike(fill, pen->Rop)) {
    const TFill paint = pen ? PenFill(*pen) : *fill;
    if (!paint.Hatch && paint.Rop.IsCopy())
      for (int r = 0; r < h; ++r)
        StorePixels(surface.Row(t + r) + l + c.Lo[r], c.Hi[r] - c.Lo[r], paint.Rop.Xor);
    else
      for (int r = 0; r < h; ++r)
        PaintSpan(surface, t + r, l + c.Lo[r], l + c.Hi[r], paint);
    return;
  }
  const TFill paint = PenFill(*pen);
  for (int r = 0; r < h; ++r) {
    PaintSpan(surface, t + r, l + c.Lo[r], l + c.FillLo[r], paint);
    if (fill)
      PaintSpan(surface, t + r, l + c.FillLo[r], l + c.FillHi[r], *fill);
    PaintSpan(surface, t + r, l + c.FillHi[r], l + c.Hi[r], paint);
  }
}

} // namespace

void DrawEllipse(const TRasterSurface &surface, const TClip &clip, const TBox64 &box, const TStroke *pen,
                 const TFill *fill) {
  const i64 w = box.Right - box.Left, h = box.Bottom - box.Top;
  if (w <= 0 || h <= 0 || (!pen && !fill))
    return;
  if ((!pen || pen->IsCosmetic()) && w <= CachedSide && h <= CachedSide && box.Left >= clip.Left &&
      box.Right <= clip.Right && box.Top >= clip.Top && box.Bottom <= clip.Bottom) {
    DrawSmallEllipse(surface, box, pen, fill);
    return;
  }
  TEllipseFigure figure(w, h, pen);
  const i64 y0 = std::max<i64>(box.Top + figure.FirstRow(), clip.Top);
  const i64 y1 = std::min<i64>(box.Top + figure.EndRow(), clip.Bottom);
  const TFill penFill = pen ? PenFill(*pen) : TFill{};
  for (i64 y = y0; y < y1; ++y) {
    const TFigureRow row = figure.Row(y - box.Top);
    const int yi = static_cast<int>(y);
    if (pen) {
      PaintOffsets(surface, clip, yi, box.Left, row.Pen[0], penFill);
      PaintOffsets(surface, clip, yi, box.Left, row.Pen[1], penFill);
    }
    if (fill)
      PaintOffsets(surface, clip, yi, box.Left, row.Fill, *fill);
  }
}

void DrawArc(const TRasterSurface &surface, const TClip &clip, const TBox64 &box, TPoint64 start, TPoint64 end,
             const TStroke &pen) {
  const i64 w = box.Right - box.Left, h = box.Bottom - box.Top;
  if (w <= 0 || h <= 0)
    return;
  TEllipseFigure figure(w, h, &pen);
  // The rays run from the centre through the centres of the pixels start and end, like every
  // pixel's own direction, so that a box with a middle pixel can name exactly horizontal rays.
  const TSweep sweep(i128{2} * (start.X - box.Left) + 1 - w, i128{2} * (start.Y - box.Top) + 1 - h,
                     i128{2} * (end.X - box.Left) + 1 - w, i128{2} * (end.Y - box.Top) + 1 - h, w);
  const i64 y0 = std::max<i64>(box.Top + figure.FirstRow(), clip.Top);
  const i64 y1 = std::min<i64>(box.Top + figure.EndRow(), clip.Bottom);
  const TFill penFill = PenFill(pen);
  for (i64 y = y0; y < y1; ++y) {
    const i64 r = y - box.Top;
    const TFigureRow row = figure.Row(r);
    TSpan parts[2];
    const int count = sweep.Row(2 * r + 1 - h, parts);
    for (int i = 0; i < count; ++i)
      for (const TSpan &p : row.Pen)
        PaintOffsets(surface, clip, static_cast<int>(y), box.Left, Intersection(p, parts[i]), penFill);
  }
}

} // namespace Platform::Raster
