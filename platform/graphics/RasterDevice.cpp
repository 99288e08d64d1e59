#include <platform/graphics/RasterDevice.h>

#include <algorithm>
#include <optional>
#include <platform/fonts/FontEngine.h>
#include <platform/graphics/raster/RasterOps.h>
#include <platform/graphics/raster/RasterStamp.h>
#include <platform/graphics/raster/RasterText.h>

namespace Platform {

using namespace Raster;

namespace {

// The state's clip intersected with the surface, or nothing when they do not meet.
std::optional<TClip> ClipOf(const TRasterSurface &surface, const TDrawState &state) {
  if (surface.IsEmpty())
    return std::nullopt;
  const TClip c{std::max(state.Clip.Left, 0), std::max(state.Clip.Top, 0), std::min(state.Clip.Right, surface.Width),
                std::min(state.Clip.Bottom, surface.Height)};
  if (c.Left >= c.Right || c.Top >= c.Bottom)
    return std::nullopt;
  return c;
}

TStroke StrokeOf(const TPenState &pen) { return {MakeRop(pen.Mode, ColorToPixel(pen.Color)), pen.Style, pen.Width}; }

// Figures are filled under the pen's raster operation, as the platform does; FillRect is not.
TFill FillOf(const TDrawState &state, TPenMode mode) {
  return {MakeRop(mode, ColorToPixel(state.Brush.Color)), HatchPattern(state.Brush.Style)};
}

TPoint64 Shifted(TPoint p, TPoint origin) { return {i64{p.X} + origin.X, i64{p.Y} + origin.Y}; }

TBox64 Shifted(const TRect &r, TPoint origin) {
  return {i64{r.Left} + origin.X, i64{r.Top} + origin.Y, i64{r.Right} + origin.X, i64{r.Bottom} + origin.Y};
}

// Optional outline and fill of a closed figure.
struct TFigurePaint {
  std::optional<TStroke> Pen;
  std::optional<TFill> Fill;
  const TStroke *PenPtr() const { return Pen ? &*Pen : nullptr; }
  const TFill *FillPtr() const { return Fill ? &*Fill : nullptr; }
};

TFigurePaint FigurePaintOf(const TDrawState &state) {
  TFigurePaint paint;
  if (state.Pen.Style != psClear)
    paint.Pen = StrokeOf(state.Pen);
  if (state.Brush.Style != bsClear)
    paint.Fill = FillOf(state, state.Pen.Mode);
  return paint;
}

bool IsDashed(TPenStyle style) { return style != psSolid && style != psInsideFrame; }

// MakeRop without its table lookup for the mode nearly every figure is drawn in.
TRop RopOf(TPenMode mode, TColor color) {
  const std::uint32_t pixel = ColorToPixel(color);
  return mode == pmCopy ? TRop{0, pixel} : MakeRop(mode, pixel);
}

// The paint of a figure whose outline and inside, where drawn, are plain stores of one pixel, as a
// marker's are; a paint of neither part for any other pen and brush. Inline and returned by value,
// so that it stays in registers: parts stored to memory and read back whole would wait for every
// pixel store still pending, the previous figure's included.
[[gnu::always_inline]] inline TStampPaint StampPaintOf(const TDrawState &state) {
  const TPenState &pen = state.Pen;
  const TBrushState &brush = state.Brush;
  std::uint32_t pixel = 0;
  const bool outline = pen.Style != psClear;
  if (outline) {
    if (pen.Width > 1 || IsDashed(pen.Style))
      return {};
    const TRop rop = RopOf(pen.Mode, pen.Color);
    if (!rop.IsCopy())
      return {};
    pixel = rop.Xor;
  }
  const bool fill = brush.Style != bsClear;
  if (fill) {
    if (brush.Style != bsSolid)
      return {};
    // Under one mode one colour gives one operation.
    if (!outline || brush.Color != pen.Color) {
      const TRop rop = RopOf(pen.Mode, brush.Color);
      if (!rop.IsCopy() || (outline && rop.Xor != pixel))
        return {};
      pixel = rop.Xor;
    }
  }
  return {pixel, outline, fill};
}

// The corners of a polygon traced round an axis-aligned rectangle of more than one pixel, right
// and bottom inclusive; nothing for any other polygon.
std::optional<TBox64> TracedRectangle(std::span<const TPoint> p, TPoint origin) {
  if (p.size() != 4)
    return std::nullopt;
  const bool across = p[0].Y == p[1].Y && p[1].X == p[2].X && p[2].Y == p[3].Y && p[3].X == p[0].X;
  const bool down = p[0].X == p[1].X && p[1].Y == p[2].Y && p[2].X == p[3].X && p[3].Y == p[0].Y;
  if ((!across && !down) || p[0] == p[2])
    return std::nullopt;
  const TPoint64 lo = Shifted(TPoint{std::min(p[0].X, p[2].X), std::min(p[0].Y, p[2].Y)}, origin);
  const TPoint64 hi = Shifted(TPoint{std::max(p[0].X, p[2].X), std::max(p[0].Y, p[2].Y)}, origin);
  return TBox64{lo.X, lo.Y, hi.X, hi.Y};
}

// A polygon drawn by its fill and outline rasterizers. Out of line, so that the stamped path in
// TRasterDevice::Polygon keeps a small frame: see RasterStamp.cpp on stores.
[[gnu::noinline]] void DrawPolygon(const TRasterSurface &surface, const TClip &clip, const TDrawState &state,
                                   std::span<const TPoint> points) {
  const TFigurePaint paint = FigurePaintOf(state);
  // A rectangle outlined by a solid cosmetic pen that overwrites what it draws on (bars) is the
  // rectangle one pixel larger: the outline covers the fill's far column and row. Drawn as one it
  // writes each pixel once.
  if (paint.Pen && paint.Pen->IsCosmetic() && paint.Pen->Rop.IsCopy() && !IsDashed(paint.Pen->Style))
    if (const auto box = TracedRectangle(points, state.Origin)) {
      DrawRectangle(surface, clip, {box->Left, box->Top, box->Right + 1, box->Bottom + 1}, paint.PenPtr(),
                    paint.FillPtr());
      return;
    }
  if (paint.Fill)
    FillPolygon(surface, clip, *paint.Fill, points, state.Origin);
  if (paint.Pen) {
    int dashPhase = 0;
    StrokePolyline(surface, clip, *paint.Pen, points, state.Origin, true, dashPhase);
  }
}

} // namespace

// Lines go to the rasterizer even when nothing is visible (it accepts an empty clip there), so
// that the dash phase advances as it would on the screen.
void TRasterDevice::Line(const TDrawState &state, TPoint a, TPoint b, int &dashPhase) {
  StrokeLine(FSurface, ClipOf(FSurface, state).value_or(TClip{}), StrokeOf(state.Pen), Shifted(a, state.Origin),
             Shifted(b, state.Origin), dashPhase);
}

void TRasterDevice::Polyline(const TDrawState &state, std::span<const TPoint> points, int &dashPhase) {
  StrokePolyline(FSurface, ClipOf(FSurface, state).value_or(TClip{}), StrokeOf(state.Pen), points, state.Origin, false,
                 dashPhase);
}

void TRasterDevice::Polygon(const TDrawState &state, std::span<const TPoint> points) {
  const auto clip = ClipOf(FSurface, state);
  if (!clip)
    return;
  if (const TStampPaint stamp = StampPaintOf(state);
      (stamp.Outline || stamp.Fill) && StampPolygon(FSurface, *clip, stamp, points, state.Origin))
    return;
  DrawPolygon(FSurface, *clip, state, points);
}

void TRasterDevice::Rectangle(const TDrawState &state, const TRect &box) {
  if (auto clip = ClipOf(FSurface, state)) {
    const TFigurePaint paint = FigurePaintOf(state);
    DrawRectangle(FSurface, *clip, Shifted(box, state.Origin), paint.PenPtr(), paint.FillPtr());
  }
}

void TRasterDevice::FillRect(const TDrawState &state, const TRect &rect) {
  if (auto clip = ClipOf(FSurface, state)) {
    const TFill fill = FillOf(state, pmCopy);
    DrawRectangle(FSurface, *clip, Shifted(rect, state.Origin), nullptr, &fill);
  }
}

void TRasterDevice::Ellipse(const TDrawState &state, const TRect &box) {
  const auto clip = ClipOf(FSurface, state);
  if (!clip)
    return;
  const TBox64 shifted = Shifted(box, state.Origin);
  if (const TStampPaint stamp = StampPaintOf(state);
      (stamp.Outline || stamp.Fill) && StampEllipse(FSurface, *clip, stamp, shifted))
    return;
  const TFigurePaint paint = FigurePaintOf(state);
  DrawEllipse(FSurface, *clip, shifted, paint.PenPtr(), paint.FillPtr());
}

void TRasterDevice::Arc(const TDrawState &state, const TRect &box, TPoint start, TPoint end) {
  if (auto clip = ClipOf(FSurface, state))
    DrawArc(FSurface, *clip, Shifted(box, state.Origin), Shifted(start, state.Origin), Shifted(end, state.Origin),
            StrokeOf(state.Pen));
}

void TRasterDevice::SetPixel(const TDrawState &state, TPoint p, TColor color) {
  auto clip = ClipOf(FSurface, state);
  const TPoint64 d = Shifted(p, state.Origin);
  if (clip && d.X >= clip->Left && d.X < clip->Right && d.Y >= clip->Top && d.Y < clip->Bottom)
    FSurface.Row(static_cast<int>(d.Y))[d.X] = ColorToPixel(color);
}

TColor TRasterDevice::GetPixel(const TDrawState &state, TPoint p) const {
  auto clip = ClipOf(FSurface, state);
  const TPoint64 d = Shifted(p, state.Origin);
  if (clip && d.X >= clip->Left && d.X < clip->Right && d.Y >= clip->Top && d.Y < clip->Bottom)
    return PixelToColor(FSurface.Row(static_cast<int>(d.Y))[d.X]);
  return -1;
}

void TRasterDevice::DrawImage(const TDrawState &state, const TRect &dest, const TRasterSurface &image) {
  if (auto clip = ClipOf(FSurface, state))
    BlitImage(FSurface, *clip, Shifted(dest, state.Origin), image);
}

void TRasterDevice::TextOut(const TDrawState &state, TPoint at, std::string_view text, const TFontSpec &font) {
  auto clip = ClipOf(FSurface, state);
  if (!clip)
    return;
  Fonts::TGlyphStrike &strike = Fonts::TFontEngine::Instance().Strike(font, PixelsPerInch());
  const TTextPaint paint{ColorToPixel(font.Color), state.Brush.Style != bsClear, ColorToPixel(state.Brush.Color),
                         font.Style.Contains(fsUnderline), font.Style.Contains(fsStrikeOut)};
  DrawText(FSurface, *clip, Shifted(at, state.Origin), text, strike, paint);
}

TSize TRasterDevice::TextExtent(const TFontSpec &font, std::string_view text) {
  return Fonts::TFontEngine::Instance().TextExtent(font, PixelsPerInch(), text);
}

TTextMetrics TRasterDevice::TextMetrics(const TFontSpec &font) {
  const Fonts::TStrikeMetrics &m = Fonts::TFontEngine::Instance().Metrics(font, PixelsPerInch());
  return {m.Ascent, m.Descent};
}

} // namespace Platform
