#include <platform/graphics/raster/RasterSpan.h>

// Rectangles. A cosmetic pen draws the 1-pixel frame on the box's inner edge and the brush the
// inside of that frame. A wide pen covers the pixels within width / 2 of the inner-edge path
// (round outer corners), computed row by row as the outer span minus the span the pen leaves
// free, which is the brush's. Every pixel is written at most once.

namespace Platform::Raster {

namespace {

// Calls paint(from, to) for the runs of [lo, hi) that a dash pattern, starting at offset 0 with
// its first "on" run, shows. The work is bounded by hi - lo.
template <class TPaint> void ForEachDash(const TDashPattern &pattern, i64 lo, i64 hi, TPaint &&paint) {
  i64 pos = lo - lo % pattern.Cycle;
  while (pos < hi)
    for (int k = 0; k < pattern.Count && pos < hi; ++k) {
      const i64 end = pos + pattern.Lengths[k];
      if (k % 2 == 0 && std::max(pos, lo) < std::min(end, hi))
        paint(std::max(pos, lo), std::min(end, hi));
      pos = end;
    }
}

// Moves a coordinate lying far beyond [lo, hi) towards it by whole dash cycles: it stays
// outside, and every pixel's place in the pattern along a closed rectangular path is unchanged,
// because each side's length changes by whole cycles.
i64 NearClip(i64 v, i64 lo, i64 hi, i64 cycle) {
  if (v < lo - 2 * cycle)
    return v + (lo - 2 * cycle - v) / cycle * cycle;
  if (v > hi + 2 * cycle)
    return v - (v - hi - 2 * cycle) / cycle * cycle;
  return v;
}

// A box one pixel wide or high: its single run, each pixel once, dashed along the run.
void DrawThinBox(const TRasterSurface &surface, const TClip &clip, const TBox64 &box, const TStroke &pen) {
  const TFill paint = PenFill(pen);
  const TDashPattern pattern = DashPatternOf(pen.Style);
  if (box.Bottom - box.Top == 1) {
    if (box.Top < clip.Top || box.Top >= clip.Bottom)
      return;
    const int y = static_cast<int>(box.Top);
    const i64 lo = std::max<i64>(box.Left, clip.Left) - box.Left, hi = std::min<i64>(box.Right, clip.Right) - box.Left;
    if (pattern.Count == 0)
      PaintClipped(surface, clip, y, box.Left, box.Right, paint);
    else if (lo < hi)
      ForEachDash(pattern, lo, hi,
                  [&](i64 a, i64 b) { PaintSpan(surface, y, int(box.Left + a), int(box.Left + b), paint); });
    return;
  }
  if (box.Left < clip.Left || box.Left >= clip.Right)
    return;
  const int x = static_cast<int>(box.Left);
  const i64 lo = std::max<i64>(box.Top, clip.Top) - box.Top, hi = std::min<i64>(box.Bottom, clip.Bottom) - box.Top;
  auto column = [&](i64 a, i64 b) {
    for (i64 y = box.Top + a; y < box.Top + b; ++y)
      PaintSpan(surface, static_cast<int>(y), x, x + 1, paint);
  };
  if (pattern.Count == 0)
    column(lo, hi);
  else if (lo < hi)
    ForEachDash(pattern, lo, hi, column);
}

void DrawCosmeticFrame(const TRasterSurface &surface, const TClip &clip, const TBox64 &box, const TStroke &pen) {
  const TDashPattern pattern = DashPatternOf(pen.Style);
  if (pattern.Count > 0) {
    // The styled path goes through the line drawer so that dashes run on round the corners as
    // on any closed polyline. Sides far off the surface are pulled in by whole cycles so that
    // the corners fit the drawer's 32-bit points.
    const i64 c = pattern.Cycle;
    const i64 l = NearClip(box.Left, clip.Left, clip.Right, c), r = NearClip(box.Right - 1, clip.Left, clip.Right, c);
    const i64 t = NearClip(box.Top, clip.Top, clip.Bottom, c), b = NearClip(box.Bottom - 1, clip.Top, clip.Bottom, c);
    const TPoint origin{clip.Left, clip.Top};
    const int x0 = int(l - clip.Left), x1 = int(r - clip.Left), y0 = int(t - clip.Top), y1 = int(b - clip.Top);
    const TPoint corners[4] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    int dashPhase = 0;
    StrokePolyline(surface, clip, pen, corners, origin, true, dashPhase);
    return;
  }
  // A solid frame is the same pixels as the closed path; drawn as spans it costs no line setup.
  const TFill paint = PenFill(pen);
  if (box.Top >= clip.Top && box.Top < clip.Bottom)
    PaintClipped(surface, clip, static_cast<int>(box.Top), box.Left, box.Right, paint);
  if (box.Bottom - 1 >= clip.Top && box.Bottom - 1 < clip.Bottom)
    PaintClipped(surface, clip, static_cast<int>(box.Bottom - 1), box.Left, box.Right, paint);
  const i64 y0 = std::max<i64>(box.Top + 1, clip.Top), y1 = std::min<i64>(box.Bottom - 1, clip.Bottom);
  const bool left = box.Left >= clip.Left && box.Left < clip.Right;
  const bool right = box.Right - 1 >= clip.Left && box.Right - 1 < clip.Right;
  for (i64 y = y0; y < y1; ++y) {
    if (left)
      PaintSpan(surface, static_cast<int>(y), static_cast<int>(box.Left), static_cast<int>(box.Left) + 1, paint);
    if (right)
      PaintSpan(surface, static_cast<int>(y), static_cast<int>(box.Right - 1), static_cast<int>(box.Right), paint);
  }
}

// A solid cosmetic frame and its inside, all within the clip (small rectangles and square
// markers above all): one pass down the rows, one span per row when the brush paints like the pen.
void DrawSolidInside(const TRasterSurface &surface, const TBox64 &box, TRop pen, const TFill *fill) {
  const TFill edge{pen, nullptr};
  const int l = static_cast<int>(box.Left), r = static_cast<int>(box.Right);
  const int t = static_cast<int>(box.Top), b = static_cast<int>(box.Bottom);
  if (PaintsLike(fill, pen)) {
    if (pen.IsCopy())
      for (int y = t; y < b; ++y)
        StorePixels(surface.Row(y) + l, r - l, pen.Xor);
    else
      for (int y = t; y < b; ++y)
        PaintSpan(surface, y, l, r, edge);
    return;
  }
  PaintSpan(surface, t, l, r, edge);
  for (int y = t + 1; y < b - 1; ++y) {
    std::uint32_t *row = surface.Row(y);
    row[l] = pen.Apply(row[l]);
    if (fill && l + 1 < r - 1)
      PaintSpan(surface, y, l + 1, r - 1, *fill);
    row[r - 1] = pen.Apply(row[r - 1]);
  }
  PaintSpan(surface, b - 1, l, r, edge);
}

void FillBox(const TRasterSurface &surface, const TClip &clip, i64 left, i64 top, i64 right, i64 bottom,
             const TFill &fill) {
  const i64 y0 = std::max<i64>(top, clip.Top), y1 = std::min<i64>(bottom, clip.Bottom);
  const i64 x0 = std::max<i64>(left, clip.Left), x1 = std::min<i64>(right, clip.Right);
  if (x0 >= x1)
    return;
  for (i64 y = y0; y < y1; ++y)
    PaintSpan(surface, static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1), fill);
}

// A pen at least 2 pixels wide, in doubled coordinates where pixel x's centre is 2x + 1 and the
// pen reaches w from its path. Odd widths put the path through the centres of the frame's
// pixels; even widths through their top-left corners, as the line drawer does, so that each side
// is exactly w pixels thick and a rectangle matches the polygon through the same corners.
// psInsideFrame moves the path inwards until the pen's outer edge is the box.
void DrawWideFrame(const TRasterSurface &surface, const TClip &clip, const TBox64 &box, const TStroke &pen,
                   const TFill *fill) {
  const i64 w = pen.Width;
  const bool inside = pen.Style == psInsideFrame;
  i64 pl, pr, pt, pb;
  if (inside) {
    pl = 2 * box.Left + w;
    pr = 2 * box.Right - w;
    pt = 2 * box.Top + w;
    pb = 2 * box.Bottom - w;
    if (pl > pr)
      pl = pr = box.Left + box.Right;
    if (pt > pb)
      pt = pb = box.Top + box.Bottom;
  } else {
    const i64 o = w % 2; // 1: centres, 0: corners
    pl = 2 * box.Left + o;
    pr = 2 * box.Right - 2 + o;
    pt = 2 * box.Top + o;
    pb = 2 * box.Bottom - 2 + o;
  }
  i64 y0 = std::max<i64>(CeilDiv(pt - w - 1, 2), clip.Top),
      y1 = std::min<i64>(FloorDiv(pb + w - 1, 2) + 1, clip.Bottom);
  if (inside) {
    y0 = std::max(y0, box.Top);
    y1 = std::min(y1, box.Bottom);
  }
  const TFill paint = PenFill(pen);
  // The span the pen leaves free on rows far enough from the top and bottom sides.
  const i64 free0 = FloorDiv(pl + w - 1, 2) + 1, free1 = CeilDiv(pr - w - 1, 2);
  for (i64 y = y0; y < y1; ++y) {
    const i64 yy = 2 * y + 1;
    const i64 off = std::max<i64>({pt - yy, yy - pb, 0});
    const i64 k = off == 0 ? w : ISqrt(w * w - off * off);
    i64 o0 = CeilDiv(pl - k - 1, 2), o1 = FloorDiv(pr + k - 1, 2) + 1;
    if (inside) {
      o0 = std::max(o0, box.Left);
      o1 = std::min(o1, box.Right);
    }
    const int row = static_cast<int>(y);
    if (yy > pt + w && yy < pb - w && free0 < free1) {
      PaintClipped(surface, clip, row, o0, free0, paint);
      if (fill)
        PaintClipped(surface, clip, row, free0, free1, *fill);
      PaintClipped(surface, clip, row, free1, o1, paint);
    } else {
      PaintClipped(surface, clip, row, o0, o1, paint);
    }
  }
}

} // namespace

void DrawRectangle(const TRasterSurface &surface, const TClip &clip, const TBox64 &box, const TStroke *pen,
                   const TFill *fill) {
  if (!pen) {
    if (fill)
      FillBox(surface, clip, box.Left, box.Top, box.Right, box.Bottom, *fill);
    return;
  }
  if (box.Right <= box.Left || box.Bottom <= box.Top)
    return;
  // The common small case first: a solid frame wholly inside the clip.
  if (pen->IsCosmetic() && box.Right - box.Left >= 2 && box.Bottom - box.Top >= 2 && box.Left >= clip.Left &&
      box.Right <= clip.Right && box.Top >= clip.Top && box.Bottom <= clip.Bottom &&
      (pen->Style == psSolid || pen->Style == psInsideFrame)) {
    DrawSolidInside(surface, box, pen->Rop, fill);
    return;
  }
  if (!pen->IsCosmetic()) {
    DrawWideFrame(surface, clip, box, *pen, fill);
    return;
  }
  // Nothing of a cosmetic frame or its inside lies outside the box.
  if (box.Right <= clip.Left || box.Left >= clip.Right || box.Bottom <= clip.Top || box.Top >= clip.Bottom)
    return;
  if (box.Right - box.Left == 1 || box.Bottom - box.Top == 1) {
    DrawThinBox(surface, clip, box, *pen);
    return;
  }
  DrawCosmeticFrame(surface, clip, box, *pen);
  if (fill)
    FillBox(surface, clip, box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1, *fill);
}

} // namespace Platform::Raster
