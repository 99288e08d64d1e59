#include <platform/graphics/raster/RasterText.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <platform/fonts/Utf8.h>

namespace Platform::Raster {

namespace {

// The text's frame: text-space (u along the text, v down the cell) maps to the device point
// at + (u cos + v sin, -u sin + v cos). Quarter turns are exact.
struct TFrame {
  double X = 0;
  double Y = 0;
  double Cos = 1;
  double Sin = 0;

  TFrame(TPoint64 at, int angle) : X(static_cast<double>(at.X)), Y(static_cast<double>(at.Y)) {
    switch (angle) {
    case 0: break;
    case 900: Cos = 0, Sin = 1; break;
    case 1800: Cos = -1, Sin = 0; break;
    case 2700: Cos = 0, Sin = -1; break;
    default: Cos = std::cos(angle * std::numbers::pi / 1800.0); Sin = std::sin(angle * std::numbers::pi / 1800.0);
    }
  }
  double DeviceX(double u, double v) const { return X + u * Cos + v * Sin; }
  double DeviceY(double u, double v) const { return Y - u * Sin + v * Cos; }
};

// src over dst with coverage a (1..254), two channels at a time.
inline std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, std::uint32_t a) {
  const std::uint32_t a256 = a + (a >> 7), rest = 256 - a256;
  const std::uint32_t rb = (((src & 0xFF00FF) * a256 + (dst & 0xFF00FF) * rest) >> 8) & 0xFF00FF;
  const std::uint32_t g = (((src & 0x00FF00) * a256 + (dst & 0x00FF00) * rest) >> 8) & 0x00FF00;
  return rb | g;
}

void BlitGlyph(const TRasterSurface &surface, const TClip &clip, i64 left, i64 top, const Fonts::TGlyph &glyph,
               const std::uint8_t *bits, std::uint32_t pixel) {
  const i64 x0 = std::max<i64>(left, clip.Left), x1 = std::min<i64>(left + glyph.Width, clip.Right);
  const i64 y0 = std::max<i64>(top, clip.Top), y1 = std::min<i64>(top + glyph.Height, clip.Bottom);
  if (x0 >= x1 || y0 >= y1)
    return;
  for (i64 y = y0; y < y1; ++y) {
    const std::uint8_t *coverage = bits + (y - top) * glyph.Width + (x0 - left);
    std::uint32_t *row = surface.Row(static_cast<int>(y)) + x0;
    for (i64 n = x1 - x0; n > 0; --n, ++coverage, ++row) {
      const std::uint32_t a = *coverage;
      if (a == 255)
        *row = pixel;
      else if (a != 0)
        *row = Blend(*row, pixel, a);
    }
  }
}

// Fills the pixels whose centres lie in the text-space box [u0, u1) x [v0, v1), rotated by the
// frame: exactly the box for quarter turns, an aliased quadrilateral otherwise.
void FillTextBox(const TRasterSurface &surface, const TClip &clip, const TFrame &frame, double u0, double v0, double u1,
                 double v1, std::uint32_t pixel) {
  const double xs[4] = {frame.DeviceX(u0, v0), frame.DeviceX(u1, v0), frame.DeviceX(u1, v1), frame.DeviceX(u0, v1)};
  const double ys[4] = {frame.DeviceY(u0, v0), frame.DeviceY(u1, v0), frame.DeviceY(u1, v1), frame.DeviceY(u0, v1)};
  const double top = std::max<double>(*std::min_element(ys, ys + 4), clip.Top);
  const double bottom = std::min<double>(*std::max_element(ys, ys + 4), clip.Bottom);
  // Clipped before any conversion: a box beyond the 32-bit rows (or with NaN corners) has no
  // row to fill, and its first row would not fit an int.
  if (!(top < bottom))
    return;
  const TFill fill{{0, pixel}, nullptr};
  for (int y = static_cast<int>(std::ceil(top - 0.5)); y + 0.5 < bottom; ++y) {
    const double centre = y + 0.5;
    double from = HUGE_VAL, to = -HUGE_VAL;
    for (int i = 0; i < 4; ++i) {
      const int j = (i + 1) & 3;
      const double ya = ys[i], yb = ys[j];
      if ((ya <= centre && centre < yb) || (yb <= centre && centre < ya)) {
        const double x = xs[i] + (centre - ya) * (xs[j] - xs[i]) / (yb - ya);
        from = std::min(from, x);
        to = std::max(to, x);
      }
    }
    if (from > to)
      continue;
    const double x0 = std::max<double>(std::ceil(from - 0.5), clip.Left);
    const double x1 = std::min<double>(std::ceil(to - 0.5), clip.Right);
    if (x0 < x1)
      FillSpan(surface, y, static_cast<int>(x0), static_cast<int>(x1), fill);
  }
}

// Whether a pen that has reached (x, y) has left the clip for good: only quarter turns run along
// an axis, so only they can stop early (a glyph reaches at most an em behind its pen position).
bool PassedClip(const TClip &clip, int angle, i64 x, i64 y, i64 em) {
  switch (angle) {
  case 0: return x - 2 * em >= clip.Right;
  case 900: return y + 2 * em < clip.Top;
  case 1800: return x + 2 * em < clip.Left;
  case 2700: return y - 2 * em >= clip.Bottom;
  default: return false;
  }
}

// Labels on a large surface land on rows that are not in the caches, and blending a glyph reads
// each of its rows first: on its own that read waits for its miss, glyph row after glyph row. So
// unrotated text that fits the clip asks for every row of every glyph before it draws; the
// requests then overlap. A glyph row is at most two cache lines wide at the sizes labels use.
constexpr std::size_t MaxPrefetchedText = 32;

void PrefetchGlyphRows(const TRasterSurface &surface, const TClip &clip, TPoint64 at, std::string_view text,
                       Fonts::TGlyphStrike &strike) {
  const i64 baseline = at.Y + strike.Metrics().Ascent;
  i64 x = at.X;
  for (std::size_t pos = 0; pos < text.size();) {
    const Fonts::TGlyph &glyph = strike.Glyph(Fonts::NextCodePoint(text, pos));
    const i64 left = x + glyph.Left, top = baseline - glyph.Top;
    x += glyph.Advance;
    if (glyph.Width <= 0 || left < clip.Left || left + glyph.Width > clip.Right || top < clip.Top ||
        top + glyph.Height > clip.Bottom)
      continue;
    for (i64 y = top; y < top + glyph.Height; ++y) {
      const std::uint32_t *row = surface.Row(static_cast<int>(y)) + left;
      __builtin_prefetch(row, 1);
      __builtin_prefetch(row + glyph.Width - 1, 1);
    }
  }
}

} // namespace

void DrawText(const TRasterSurface &surface, const TClip &clip, TPoint64 at, std::string_view text,
              Fonts::TGlyphStrike &strike, const TTextPaint &paint) {
  const Fonts::TStrikeMetrics &metrics = strike.Metrics();
  const int angle = strike.Key().Angle;
  const TFrame frame(at, angle);
  const bool quarterTurn = angle % 900 == 0;
  if (paint.Background || paint.Underline || paint.StrikeOut) {
    const auto width = static_cast<double>(strike.TextWidth(text));
    if (paint.Background)
      FillTextBox(surface, clip, frame, 0, 0, width, metrics.Height(), paint.BackgroundPixel);
    if (paint.Underline)
      FillTextBox(surface, clip, frame, 0, metrics.UnderlineTop, width,
                  metrics.UnderlineTop + metrics.UnderlineThickness, paint.TextPixel);
    if (paint.StrikeOut)
      FillTextBox(surface, clip, frame, 0, metrics.StrikeOutTop, width,
                  metrics.StrikeOutTop + metrics.StrikeOutThickness, paint.TextPixel);
  }
  const i64 ascent = metrics.Ascent, em = metrics.PixelSize;
  if (angle == 0 && text.size() <= MaxPrefetchedText)
    PrefetchGlyphRows(surface, clip, at, text, strike);
  i64 u = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const Fonts::TGlyph &glyph = strike.Glyph(Fonts::NextCodePoint(text, pos));
    i64 x, y;
    if (quarterTurn) {
      const auto c = static_cast<i64>(frame.Cos), s = static_cast<i64>(frame.Sin);
      x = at.X + u * c + ascent * s;
      y = at.Y - u * s + ascent * c;
      if (PassedClip(clip, angle, x, y, em))
        break;
    } else {
      x = std::llround(frame.DeviceX(static_cast<double>(u), static_cast<double>(ascent)));
      y = std::llround(frame.DeviceY(static_cast<double>(u), static_cast<double>(ascent)));
    }
    if (glyph.Width > 0)
      BlitGlyph(surface, clip, x + glyph.Left, y - glyph.Top, glyph, strike.Bits(glyph), paint.TextPixel);
    u += glyph.Advance;
  }
}

} // namespace Platform::Raster
