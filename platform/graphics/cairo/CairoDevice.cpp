#include <platform/graphics/cairo/CairoDevice.h>

#include <algorithm>
#include <cairo-ft.h>
#include <cairo.h>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <platform/fonts/FontEngine.h>
#include <platform/fonts/Utf8.h>
#include <platform/graphics/cairo/CairoFontFaces.h>
#include <platform/graphics/cairo/CairoPath.h>
#include <platform/graphics/raster/RasterOps.h>
#include <vector>

namespace Platform {

using namespace CairoPath;

namespace {

using i64 = std::int64_t;

// Figures are clipped this far plus the pen's width outside the page before cairo sees them, so
// that no cut end or clipping edge shows.
constexpr double ReachMargin = 4096;
// Wider pens are drawn this wide: wider than any page, and small enough that the outline of
// their stroke stays within cairo's fixed-point range.
constexpr int MaxPenWidth = 1 << 20;
// The dash phase runs modulo the longest pattern's cycle, as on the screen.
constexpr int PhaseModulus = 24;

// The colour a pen mode leaves on paper, or none for pmNop (see the class comment).
std::optional<TColor> PaperColor(TPenMode mode, TColor color) {
  const TColor rgb = ColorToRGB(color) & 0xFFFFFF;
  switch (mode) {
  case pmNop: return std::nullopt;
  case pmBlack: return clBlack;
  case pmWhite: return clWhite;
  case pmNotCopy: return ~rgb & 0xFFFFFF;
  default: return rgb;
  }
}

void SetSourceColor(cairo_t *cr, TColor rgb) {
  cairo_set_source_rgb(cr, GetRValue(rgb) / 255.0, GetGValue(rgb) / 255.0, GetBValue(rgb) / 255.0);
}

double DeviceX(int x, TPoint origin) { return double(x) + origin.X; }
double DeviceY(int y, TPoint origin) { return double(y) + origin.Y; }

// The centre of a pixel, where the raster backend's outlines run.
TPointD Centre(TPoint p, TPoint origin) { return {DeviceX(p.X, origin) + 0.5, DeviceY(p.Y, origin) + 0.5}; }

int NormalPhase(int phase) {
  phase %= PhaseModulus;
  return phase < 0 ? phase + PhaseModulus : phase;
}

i64 StepsOf(TPoint a, TPoint b) { return std::max(std::abs(i64{b.X} - a.X), std::abs(i64{b.Y} - a.Y)); }

double StepsOf(TPointD a, TPointD b) { return std::round(std::max(std::abs(b.X - a.X), std::abs(b.Y - a.Y))); }

bool IsCosmetic(const TPenState &pen) { return pen.Width <= 1; }

// The semi-axes of the path an ellipse's outline runs along: through the centres of the box's
// edge pixels, or for psInsideFrame wide pens, half a pen inside the box.
TEllipseD OutlineEllipse(const TRect &box, TPoint origin, const TPenState &pen) {
  const double w = double(box.Right) - box.Left, h = double(box.Bottom) - box.Top;
  const double inset = pen.Style == psInsideFrame && pen.Width > 1 ? std::min(pen.Width, MaxPenWidth) : 1;
  return {DeviceX(box.Left, origin) + w / 2, DeviceY(box.Top, origin) + h / 2, std::max(0.0, (w - inset) / 2),
          std::max(0.0, (h - inset) / 2)};
}

// The counter-clockwise sweep of an arc, from the ray through the centre of the start pixel to
// the ray through the end pixel's, decided exactly as the raster backend decides it: equal
// directions give the whole ellipse, opposite ones half of it.
void ArcAngles(const TRect &box, TPoint start, TPoint end, double &from, double &sweep) {
  __extension__ typedef __int128 i128;
  const i64 w = i64{box.Right} - box.Left, h = i64{box.Bottom} - box.Top;
  i128 sx = i128{2} * (i64{start.X} - box.Left) + 1 - w, sy = i128{2} * (i64{start.Y} - box.Top) + 1 - h;
  i128 ex = i128{2} * (i64{end.X} - box.Left) + 1 - w, ey = i128{2} * (i64{end.Y} - box.Top) + 1 - h;
  if (sx == 0 && sy == 0)
    sx = 1;
  if (ex == 0 && ey == 0)
    ex = 1;
  // The ellipse's angle of a direction (dx, dy) on the screen, with semi-axes in the ratio w : h.
  auto angle = [&](i128 dx, i128 dy) { return std::atan2(-double(dy) * double(w), double(dx) * double(h)); };
  from = angle(sx, sy);
  const i128 cross = sy * ex - sx * ey, dot = sx * ex + sy * ey;
  if (cross == 0) {
    sweep = dot > 0 ? 2 * std::numbers::pi : std::numbers::pi;
    return;
  }
  sweep = angle(ex, ey) - from;
  while (sweep <= 0)
    sweep += 2 * std::numbers::pi;
  while (sweep > 2 * std::numbers::pi)
    sweep -= 2 * std::numbers::pi;
}

// The hatch of a brush as a repeating 8x8 source aligned to the device's pixels.
cairo_pattern_t *MakeHatch(TBrushStyle style, TColor rgb) {
  const std::uint8_t *rows = Raster::HatchPattern(style);
  cairo_surface_t *tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  auto *data = cairo_image_surface_get_data(tile);
  const int stride = cairo_image_surface_get_stride(tile);
  const std::uint32_t ink = 0xFF000000u | ColorToPixel(rgb);
  for (int y = 0; y < 8 && data; ++y) {
    auto *row = reinterpret_cast<std::uint32_t *>(data + std::ptrdiff_t{y} * stride);
    for (int x = 0; x < 8; ++x)
      row[x] = (rows[y] >> x) & 1 ? ink : 0;
  }
  cairo_surface_mark_dirty(tile);
  cairo_pattern_t *pattern = cairo_pattern_create_for_surface(tile);
  cairo_surface_destroy(tile);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  return pattern;
}

} // namespace

struct TCairoDevice::TImpl {
  cairo_t *Cr = nullptr;
  TRect DeviceBounds;
  int Ppi = 96;
  // The clip rectangle set on the context; none while it is the whole page.
  std::optional<TRect> ClipInForce;
  // What may reach cairo of the figure being drawn: the page and a margin beyond its pen.
  TBoxD Reach;
  std::vector<TPointD> Points;
  std::vector<TPointD> Scratch;
  std::vector<cairo_glyph_t> Glyphs;
  CairoFontFaces::TCache Faces;
  cairo_pattern_t *Hatch = nullptr;
  TBrushStyle HatchStyle = bsSolid;
  TColor HatchColor = 0;

  ~TImpl() {
    if (Hatch)
      cairo_pattern_destroy(Hatch);
    cairo_destroy(Cr);
  }

  // Sets the state's clip on the context when it differs from the one in force; false when the
  // clip leaves nothing of the page.
  bool UseClip(const TDrawState &state) {
    const TRect clip = IntersectRect(state.Clip, DeviceBounds);
    if (clip.IsEmpty())
      return false;
    const double margin = ReachMargin + (IsCosmetic(state.Pen) ? 0 : std::min(state.Pen.Width, MaxPenWidth));
    Reach = {DeviceBounds.Left - margin, DeviceBounds.Top - margin, DeviceBounds.Right + margin,
             DeviceBounds.Bottom + margin};
    const std::optional<TRect> wanted = clip == DeviceBounds ? std::nullopt : std::optional<TRect>(clip);
    if (wanted != ClipInForce) {
      cairo_reset_clip(Cr);
      if (wanted) {
        cairo_rectangle(Cr, clip.Left, clip.Top, clip.Width(), clip.Height());
        cairo_clip(Cr);
      }
      ClipInForce = wanted;
    }
    return true;
  }

  // Makes the brush the source; false when its colour leaves nothing on paper.
  bool UseBrush(const TBrushState &brush, TPenMode mode) {
    const std::optional<TColor> color = PaperColor(mode, brush.Color);
    if (!color)
      return false;
    if (brush.Style == bsSolid || !Raster::HatchPattern(brush.Style)) {
      SetSourceColor(Cr, *color);
      return true;
    }
    if (!Hatch || HatchStyle != brush.Style || HatchColor != *color) {
      if (Hatch)
        cairo_pattern_destroy(Hatch);
      Hatch = MakeHatch(brush.Style, *color);
      HatchStyle = brush.Style;
      HatchColor = *color;
    }
    cairo_set_source(Cr, Hatch);
    return true;
  }

  // Makes the pen the source and stroke style (solid); false when its mode leaves nothing.
  bool UsePen(const TPenState &pen, cairo_line_cap_t wideCap) {
    const std::optional<TColor> color = PaperColor(pen.Mode, pen.Color);
    if (!color)
      return false;
    SetSourceColor(Cr, *color);
    const bool cosmetic = IsCosmetic(pen);
    cairo_set_line_width(Cr, cosmetic ? 1 : std::min(pen.Width, MaxPenWidth));
    cairo_set_line_cap(Cr, cosmetic ? CAIRO_LINE_CAP_BUTT : wideCap);
    cairo_set_line_join(Cr, cosmetic ? CAIRO_LINE_JOIN_MITER : CAIRO_LINE_JOIN_ROUND);
    cairo_set_dash(Cr, nullptr, 0, 0);
    return true;
  }

  // A cosmetic styled path segment by segment: each dash pattern is stretched along its segment
  // so that it counts major-axis steps, as the raster backend's dashes do.
  int StrokeDashed(std::span<const TPointD> points, bool closed, TPenStyle style, int phase) {
    const Raster::TDashPattern pattern = Raster::DashPatternOf(style);
    const std::size_t segments = closed ? points.size() : points.size() - 1;
    for (std::size_t i = 0; i < segments; ++i) {
      const TPointD a = points[i], b = points[(i + 1) % points.size()];
      const double steps = StepsOf(a, b);
      if (steps == 0)
        continue;
      // The line covers a's pixel up to b's: both ends half a step back.
      const TPointD d{(b.X - a.X) / steps, (b.Y - a.Y) / steps};
      const TPointD from{a.X - d.X / 2, a.Y - d.Y / 2}, to{b.X - d.X / 2, b.Y - d.Y / 2};
      double t0, t1;
      if (ClipSegment(from, to, Reach, t0, t1)) {
        const double scale = std::hypot(d.X, d.Y);
        double dashes[6];
        for (int k = 0; k < pattern.Count; ++k)
          dashes[k] = pattern.Lengths[k] * scale;
        cairo_set_dash(Cr, dashes, pattern.Count, std::fmod(phase + t0 * steps, PhaseModulus) * scale);
        cairo_move_to(Cr, from.X + (to.X - from.X) * t0, from.Y + (to.Y - from.Y) * t0);
        cairo_line_to(Cr, from.X + (to.X - from.X) * t1, from.Y + (to.Y - from.Y) * t1);
        cairo_stroke(Cr);
      }
      phase = static_cast<int>((phase + static_cast<i64>(steps)) % PhaseModulus);
    }
    cairo_set_dash(Cr, nullptr, 0, 0);
    return phase;
  }

  // Strokes the path through pixel centres with a pen already in use: cosmetic pens cover each
  // segment's first pixel and leave its last to the next, as on the screen.
  void StrokeOutline(std::vector<TPointD> &points, bool closed, const TPenState &pen, int phase = 0) {
    points.erase(
        std::unique(points.begin(), points.end(), [](TPointD a, TPointD b) { return a.X == b.X && a.Y == b.Y; }),
        points.end());
    if (points.size() < 2)
      return;
    if (IsCosmetic(pen) && Raster::DashPatternOf(pen.Style).Count > 0) {
      StrokeDashed(points, closed, pen.Style, phase);
      return;
    }
    if (IsCosmetic(pen) && !closed) {
      auto pullBack = [](TPointD &p, TPointD towards) {
        const double steps = StepsOf(p, towards);
        p.X -= (towards.X - p.X) / steps / 2;
        p.Y -= (towards.Y - p.Y) / steps / 2;
      };
      const TPointD second = points[1], beforeLast = points[points.size() - 2];
      pullBack(points.front(), second);
      // The last point moves back along the last segment's direction.
      TPointD &last = points.back();
      const double steps = StepsOf(beforeLast, last);
      last.X -= (last.X - beforeLast.X) / steps / 2;
      last.Y -= (last.Y - beforeLast.Y) / steps / 2;
    }
    cairo_new_path(Cr);
    AppendPolyline(Cr, points, Reach, closed);
    cairo_stroke(Cr);
  }

  void FillPolygonPath(std::span<const TPointD> points) {
    cairo_new_path(Cr);
    cairo_set_fill_rule(Cr, CAIRO_FILL_RULE_EVEN_ODD);
    AppendClippedPolygon(Cr, points, Reach, Scratch);
    cairo_fill(Cr);
  }

  // A box in device pixels, cut to the reach so that cairo gets small numbers.
  void FillBox(double left, double top, double right, double bottom) {
    left = std::max(left, Reach.Left), top = std::max(top, Reach.Top);
    right = std::min(right, Reach.Right), bottom = std::min(bottom, Reach.Bottom);
    if (left >= right || top >= bottom)
      return;
    cairo_new_path(Cr);
    cairo_rectangle(Cr, left, top, right - left, bottom - top);
    cairo_fill(Cr);
  }

  // The ellipse's arc as the current path: curves, or points cut to the reach when too large.
  void ArcPath(const TEllipseD &e, double from, double sweep, bool closed) {
    cairo_new_path(Cr);
    if (!NeedsFlattening(e, Reach)) {
      AppendArc(Cr, e, from, sweep);
      if (closed)
        cairo_close_path(Cr);
      return;
    }
    Points.clear();
    FlattenArc(e, from, sweep, Reach, Points);
    if (closed)
      AppendClippedPolygon(Cr, Points, Reach, Scratch);
    else
      AppendPolyline(Cr, Points, Reach, false);
  }

  void Text(TPointD at, std::string_view text, const TFontSpec &font, const TBrushState &brush);
  // The font with no escapement: its strike gives the advances and metrics at every angle.
  TFontSpec Upright;
};

TCairoDevice::TCairoDevice(cairo_t *context, const TRect &bounds, int pixelsPerInch) : F(std::make_unique<TImpl>()) {
  F->Cr = cairo_reference(context);
  F->DeviceBounds = bounds;
  F->Ppi = pixelsPerInch;
  cairo_font_options_t *options = cairo_font_options_create();
  // Glyphs are placed at the font engine's integer advances, not cairo's.
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(context, options);
  cairo_font_options_destroy(options);
}

TCairoDevice::~TCairoDevice() = default;

cairo_t *TCairoDevice::Context() const { return F->Cr; }
int TCairoDevice::PixelsPerInch() const { return F->Ppi; }
TRect TCairoDevice::Bounds() const { return F->DeviceBounds; }

void TCairoDevice::ResetClip() {
  cairo_reset_clip(F->Cr);
  F->ClipInForce.reset();
}

void TCairoDevice::Line(const TDrawState &state, TPoint a, TPoint b, int &dashPhase) {
  const TPoint ends[2] = {a, b};
  Polyline(state, ends, dashPhase);
}

void TCairoDevice::Polyline(const TDrawState &state, std::span<const TPoint> points, int &dashPhase) {
  const int phase = NormalPhase(dashPhase);
  i64 steps = 0;
  for (std::size_t i = 1; i < points.size(); ++i)
    steps += StepsOf(points[i - 1], points[i]);
  dashPhase = static_cast<int>((phase + steps) % PhaseModulus);
  if (!F->UseClip(state) || !F->UsePen(state.Pen, CAIRO_LINE_CAP_ROUND))
    return;
  F->Points.clear();
  for (TPoint p : points)
    F->Points.push_back(Centre(p, state.Origin));
  F->StrokeOutline(F->Points, false, state.Pen, phase);
}

void TCairoDevice::Polygon(const TDrawState &state, std::span<const TPoint> points) {
  if (!F->UseClip(state))
    return;
  F->Points.clear();
  for (TPoint p : points)
    F->Points.push_back(Centre(p, state.Origin));
  if (state.Brush.Style != bsClear && F->UseBrush(state.Brush, state.Pen.Mode))
    F->FillPolygonPath(F->Points);
  if (state.Pen.Style != psClear && F->UsePen(state.Pen, CAIRO_LINE_CAP_ROUND))
    F->StrokeOutline(F->Points, true, state.Pen);
}

void TCairoDevice::Rectangle(const TDrawState &state, const TRect &box) {
  if (box.IsEmpty() || !F->UseClip(state))
    return;
  const double l = DeviceX(box.Left, state.Origin), t = DeviceY(box.Top, state.Origin);
  const double r = DeviceX(box.Right, state.Origin), b = DeviceY(box.Bottom, state.Origin);
  if (state.Brush.Style != bsClear && F->UseBrush(state.Brush, state.Pen.Mode))
    F->FillBox(l, t, r, b);
  if (state.Pen.Style == psClear || !F->UsePen(state.Pen, CAIRO_LINE_CAP_ROUND))
    return;
  const bool dashed = Raster::DashPatternOf(state.Pen.Style).Count > 0;
  if (IsCosmetic(state.Pen) && !dashed && (r - l == 1 || b - t == 1)) {
    // A frame one pixel thin is a run of pixels, not a closed path.
    F->FillBox(l, t, r, b);
    return;
  }
  // Outlines run through the centres of the edge pixels; a wide psInsideFrame pen keeps within.
  const double inset = state.Pen.Style == psInsideFrame && !IsCosmetic(state.Pen)
                           ? std::min<double>(state.Pen.Width, MaxPenWidth) / 2
                           : 0.5;
  const double x0 = l + std::min(inset, (r - l) / 2), x1 = r - std::min(inset, (r - l) / 2);
  const double y0 = t + std::min(inset, (b - t) / 2), y1 = b - std::min(inset, (b - t) / 2);
  F->Points.assign({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
  F->StrokeOutline(F->Points, true, state.Pen);
}

void TCairoDevice::FillRect(const TDrawState &state, const TRect &rect) {
  if (rect.IsEmpty() || !F->UseClip(state) || !F->UseBrush(state.Brush, pmCopy))
    return;
  F->FillBox(DeviceX(rect.Left, state.Origin), DeviceY(rect.Top, state.Origin), DeviceX(rect.Right, state.Origin),
             DeviceY(rect.Bottom, state.Origin));
}

void TCairoDevice::Ellipse(const TDrawState &state, const TRect &box) {
  if (box.IsEmpty() || !F->UseClip(state))
    return;
  const TEllipseD outline = OutlineEllipse(box, state.Origin, state.Pen);
  if (state.Brush.Style != bsClear && F->UseBrush(state.Brush, state.Pen.Mode)) {
    // Without an outline the brush reaches the box's edge, as on the screen.
    TEllipseD inside = outline;
    if (state.Pen.Style == psClear)
      inside.Rx = (double(box.Right) - box.Left) / 2, inside.Ry = (double(box.Bottom) - box.Top) / 2;
    F->ArcPath(inside, 0, 2 * std::numbers::pi, true);
    cairo_fill(F->Cr);
  }
  if (state.Pen.Style != psClear && F->UsePen(state.Pen, CAIRO_LINE_CAP_ROUND)) {
    F->ArcPath(outline, 0, 2 * std::numbers::pi, true);
    cairo_stroke(F->Cr);
  }
}

void TCairoDevice::Arc(const TDrawState &state, const TRect &box, TPoint start, TPoint end) {
  if (box.IsEmpty() || !F->UseClip(state) || !F->UsePen(state.Pen, CAIRO_LINE_CAP_BUTT))
    return;
  double from, sweep;
  ArcAngles(box, start, end, from, sweep);
  F->ArcPath(OutlineEllipse(box, state.Origin, state.Pen), from, sweep, false);
  cairo_stroke(F->Cr);
}

void TCairoDevice::SetPixel(const TDrawState &state, TPoint p, TColor color) {
  if (!F->UseClip(state))
    return;
  SetSourceColor(F->Cr, ColorToRGB(color) & 0xFFFFFF);
  const double x = DeviceX(p.X, state.Origin), y = DeviceY(p.Y, state.Origin);
  F->FillBox(x, y, x + 1, y + 1);
}

TColor TCairoDevice::GetPixel(const TDrawState &state, TPoint p) const {
  cairo_surface_t *target = cairo_get_target(F->Cr);
  if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE)
    return -1;
  const i64 x = i64{p.X} + state.Origin.X, y = i64{p.Y} + state.Origin.Y;
  const TRect clip = IntersectRect(state.Clip, F->DeviceBounds);
  if (x < clip.Left || x >= clip.Right || y < clip.Top || y >= clip.Bottom)
    return -1;
  double dx = double(x) + 0.5, dy = double(y) + 0.5;
  cairo_user_to_device(F->Cr, &dx, &dy);
  const int px = static_cast<int>(std::floor(dx)), py = static_cast<int>(std::floor(dy));
  cairo_surface_flush(target);
  const unsigned char *data = cairo_image_surface_get_data(target);
  if (!data || px < 0 || py < 0 || px >= cairo_image_surface_get_width(target) ||
      py >= cairo_image_surface_get_height(target))
    return -1;
  std::uint32_t pixel;
  std::memcpy(&pixel, data + std::ptrdiff_t{py} * cairo_image_surface_get_stride(target) + std::ptrdiff_t{px} * 4,
              sizeof pixel);
  return PixelToColor(pixel & 0xFFFFFF);
}

void TCairoDevice::DrawImage(const TDrawState &state, const TRect &dest, const TRasterSurface &image) {
  if (dest.IsEmpty() || image.IsEmpty() || !F->UseClip(state))
    return;
  const double l = DeviceX(dest.Left, state.Origin), t = DeviceY(dest.Top, state.Origin);
  const double r = DeviceX(dest.Right, state.Origin), b = DeviceY(dest.Bottom, state.Origin);
  const double cl = std::max(l, F->Reach.Left), ct = std::max(t, F->Reach.Top);
  const double cr = std::min(r, F->Reach.Right), cb = std::min(b, F->Reach.Bottom);
  if (cl >= cr || ct >= cb)
    return;
  // A copy of the pixels: a document keeps its sources until the page is written.
  cairo_surface_t *copy = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.Width, image.Height);
  unsigned char *data = cairo_image_surface_get_data(copy);
  if (!data) {
    cairo_surface_destroy(copy);
    return;
  }
  const int stride = cairo_image_surface_get_stride(copy);
  for (int y = 0; y < image.Height; ++y)
    std::memcpy(data + std::ptrdiff_t{y} * stride, image.Row(y), std::size_t(image.Width) * 4);
  cairo_surface_mark_dirty(copy);
  cairo_pattern_t *pattern = cairo_pattern_create_for_surface(copy);
  cairo_surface_destroy(copy);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  cairo_matrix_t matrix;
  cairo_matrix_init_scale(&matrix, image.Width / (r - l), image.Height / (b - t));
  cairo_matrix_translate(&matrix, -l, -t);
  cairo_pattern_set_matrix(pattern, &matrix);
  cairo_set_source(F->Cr, pattern);
  cairo_pattern_destroy(pattern);
  F->FillBox(cl, ct, cr, cb);
}

void TCairoDevice::TImpl::Text(TPointD at, std::string_view text, const TFontSpec &font, const TBrushState &brush) {
  Upright = font;
  Upright.Escapement = 0;
  Fonts::TGlyphStrike &strike = Fonts::TFontEngine::Instance().Strike(Upright, Ppi);
  const Fonts::TStrikeMetrics metrics = strike.Metrics();
  const double angle = (((font.Escapement % 3600) + 3600) % 3600) * std::numbers::pi / 1800;
  const double c = std::cos(angle), s = std::sin(angle);
  // Text space: u along the baseline's direction (c, -s) on the screen, v down the cell (s, c).
  const auto width = static_cast<double>(strike.TextWidth(text));
  const double em = metrics.PixelSize, height = metrics.Height();
  const TBoxD near{Reach.Left - height - em, Reach.Top - height - em, Reach.Right + height + em,
                   Reach.Bottom + height + em};
  double t0, t1;
  if (!ClipSegment(at, {at.X + width * c, at.Y - width * s}, near, t0, t1))
    return;
  const double u0 = t0 * width, u1 = t1 * width;
  cairo_save(Cr);
  cairo_translate(Cr, at.X, at.Y);
  cairo_rotate(Cr, -angle);
  auto band = [&](double top, double bottom) {
    cairo_new_path(Cr);
    cairo_rectangle(Cr, u0, top, u1 - u0, bottom - top);
    cairo_fill(Cr);
  };
  if (brush.Style != bsClear) {
    SetSourceColor(Cr, ColorToRGB(brush.Color) & 0xFFFFFF);
    band(0, height);
  }
  SetSourceColor(Cr, ColorToRGB(font.Color) & 0xFFFFFF);
  cairo_set_font_face(Cr, Faces.Face(font));
  cairo_set_font_size(Cr, em);
  if (FT_Face face = cairo_ft_scaled_font_lock_face(cairo_get_scaled_font(Cr))) {
    Glyphs.clear();
    double u = 0;
    for (std::size_t pos = 0; pos < text.size();) {
      const char32_t code = Fonts::NextCodePoint(text, pos);
      const int advance = strike.Glyph(code).Advance;
      if (u >= u0 - 2 * em && u <= u1 + em)
        Glyphs.push_back({FT_Get_Char_Index(face, code), u, double(metrics.Ascent)});
      u += advance;
    }
    cairo_ft_scaled_font_unlock_face(cairo_get_scaled_font(Cr));
    cairo_show_glyphs(Cr, Glyphs.data(), static_cast<int>(Glyphs.size()));
  }
  if (font.Style.Contains(fsUnderline))
    band(metrics.UnderlineTop, metrics.UnderlineTop + metrics.UnderlineThickness);
  if (font.Style.Contains(fsStrikeOut))
    band(metrics.StrikeOutTop, metrics.StrikeOutTop + metrics.StrikeOutThickness);
  cairo_restore(Cr);
}

void TCairoDevice::TextOut(const TDrawState &state, TPoint at, std::string_view text, const TFontSpec &font) {
  if (!F->UseClip(state))
    return;
  F->Text({DeviceX(at.X, state.Origin), DeviceY(at.Y, state.Origin)}, text, font, state.Brush);
}

} // namespace Platform
