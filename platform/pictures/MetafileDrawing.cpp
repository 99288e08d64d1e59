// The drawing operations of the metafile device context: figures in logical units mapped onto
// the canvas or gathered into a path, text placed by its alignment, bitmaps and fills.

#include <platform/pictures/MetafileDC.h>

#include <platform/pictures/MetafileMath.h>
#include <platform/pictures/MetafileRecords.h>

namespace Platform {

using namespace MetafileMath;

// ---- drawing -----------------------------------------------------------------------------------

TMetafileDC::TFigure &TMetafileDC::PathFigure() {
  if (FPath.empty() || FPath.back().Closed)
    FPath.push_back({{ToCanvas(FState.Position)}, false});
  return FPath.back();
}

void TMetafileDC::MoveTo(TPointF p) {
  FState.Position = p;
  if (FPathOpen)
    FPath.push_back({{ToCanvas(p)}, false});
  else
    FCanvas.MoveTo(ToCanvas(p).X, ToCanvas(p).Y);
}

void TMetafileDC::LineTo(TPointF p) {
  const TPoint from = ToCanvas(FState.Position), to = ToCanvas(p);
  FState.Position = p;
  if (FPathOpen) {
    PathFigure().Points.push_back(to);
    return;
  }
  ApplyPen(true);
  // The canvas continues its pen from where it is; a mapping change since may have moved it.
  if (FCanvas.PenPos() != from)
    FCanvas.MoveTo(from.X, from.Y);
  FCanvas.LineTo(to.X, to.Y);
}

void TMetafileDC::EmitPolyline(std::span<const TPointF> points) {
  FScratch.clear();
  for (const TPointF &p : points)
    FScratch.push_back(ToCanvas(p));
  if (FPathOpen) {
    FPath.push_back({FScratch, false});
    return;
  }
  ApplyPen(true);
  FCanvas.Polyline(FScratch);
}

void TMetafileDC::Polyline(std::span<const TPointF> points) {
  if (points.size() >= 2 || FPathOpen)
    EmitPolyline(points);
}

void TMetafileDC::PolylineTo(std::span<const TPointF> points) {
  if (points.empty())
    return;
  if (FPathOpen) {
    TFigure &figure = PathFigure();
    for (const TPointF &p : points)
      figure.Points.push_back(ToCanvas(p));
  } else {
    FScratch.assign(1, ToCanvas(FState.Position));
    for (const TPointF &p : points)
      FScratch.push_back(ToCanvas(p));
    ApplyPen(true);
    FCanvas.Polyline(FScratch);
  }
  FState.Position = points.back();
}

void TMetafileDC::FlattenBezier(TPointF p0, TPointF p1, TPointF p2, TPointF p3, std::vector<TPoint> &out) const {
  const TPointF q[4] = {ToCanvasF(p0), ToCanvasF(p1), ToCanvasF(p2), ToCanvasF(p3)};
  double length = 0;
  for (int i = 0; i < 3; ++i)
    length += std::hypot(q[i + 1].X - q[i].X, q[i + 1].Y - q[i].Y);
  const int segments = std::isfinite(length) ? std::clamp(static_cast<int>(length / 4), 2, MaxBezierSegments) : 2;
  for (int i = 1; i <= segments; ++i) {
    const double t = double(i) / segments, u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    out.push_back({ToInt(a * q[0].X + b * q[1].X + c * q[2].X + d * q[3].X),
                   ToInt(a * q[0].Y + b * q[1].Y + c * q[2].Y + d * q[3].Y)});
  }
}

void TMetafileDC::PolyBezier(std::span<const TPointF> points) {
  if (points.empty())
    return;
  FState.Position = points.front();
  if (FPathOpen)
    FPath.push_back({{ToCanvas(points.front())}, false});
  PolyBezierTo(points.subspan(1));
}

void TMetafileDC::PolyBezierTo(std::span<const TPointF> points) {
  std::vector<TPoint> line{ToCanvas(FState.Position)};
  TPointF from = FState.Position;
  for (std::size_t i = 0; i + 3 <= points.size(); i += 3) {
    FlattenBezier(from, points[i], points[i + 1], points[i + 2], line);
    from = points[i + 2];
  }
  FState.Position = from;
  if (FPathOpen) {
    TFigure &figure = PathFigure();
    figure.Points.insert(figure.Points.end(), line.begin() + 1, line.end());
    return;
  }
  if (line.size() < 2)
    return;
  ApplyPen(true);
  FCanvas.Polyline(line);
}

void TMetafileDC::EmitPolygon(std::span<const TPoint> canvasPoints) {
  if (canvasPoints.empty())
    return;
  if (FPathOpen) {
    FPath.push_back({{canvasPoints.begin(), canvasPoints.end()}, true});
    return;
  }
  ApplyPen(true);
  ApplyBrush(true);
  FCanvas.Polygon(canvasPoints);
}

void TMetafileDC::Polygon(std::span<const TPointF> points) {
  std::vector<TPoint> canvasPoints;
  canvasPoints.reserve(points.size());
  for (const TPointF &p : points)
    canvasPoints.push_back(ToCanvas(p));
  EmitPolygon(canvasPoints);
}

void TMetafileDC::FillPolygon(std::span<const TPointF> points, const TMetaBrush &brush) {
  if (FPathOpen || brush.Style == bsClear)
    return;
  FScratch.clear();
  for (const TPointF &p : points)
    FScratch.push_back(ToCanvas(p));
  ApplyPen(false);
  FCanvas.Brush().SetColor(brush.Color);
  FCanvas.Brush().SetStyle(brush.Style);
  FCanvas.Polygon(FScratch);
}

// Several figures filled as one by the alternate rule: each is joined to the first point of the
// first one by a bridge walked there and back, whose two crossings cancel.
void TMetafileDC::FillFigures(std::span<const std::vector<TPoint>> figures) {
  std::vector<TPoint> joined;
  TPoint anchor{};
  for (const std::vector<TPoint> &figure : figures) {
    if (figure.empty())
      continue;
    if (joined.empty())
      anchor = figure.front();
    joined.insert(joined.end(), figure.begin(), figure.end());
    joined.push_back(figure.front());
    joined.push_back(anchor);
  }
  if (joined.empty())
    return;
  ApplyPen(false);
  ApplyBrush(true);
  FCanvas.Polygon(joined);
}

void TMetafileDC::PolyPolygon(std::span<const TPointF> points, std::span<const std::uint32_t> counts) {
  std::vector<std::vector<TPoint>> figures;
  std::size_t at = 0;
  for (std::uint32_t count : counts) {
    if (count > points.size() - at)
      break;
    std::vector<TPoint> &figure = figures.emplace_back();
    for (std::size_t i = 0; i < count; ++i)
      figure.push_back(ToCanvas(points[at + i]));
    at += count;
  }
  if (FPathOpen) {
    for (std::vector<TPoint> &figure : figures)
      FPath.push_back({std::move(figure), true});
    return;
  }
  if (FState.Brush.Style != bsClear)
    FillFigures(figures);
  if (FState.Pen.Style == psClear)
    return;
  ApplyPen(true);
  ApplyBrush(false);
  for (const std::vector<TPoint> &figure : figures)
    if (!figure.empty())
      FCanvas.Polygon(figure);
}

void TMetafileDC::PolyPolyline(std::span<const TPointF> points, std::span<const std::uint32_t> counts) {
  std::size_t at = 0;
  for (std::uint32_t count : counts) {
    if (count > points.size() - at)
      break;
    Polyline(points.subspan(at, count));
    at += count;
  }
}

void TMetafileDC::Rectangle(const TRectF &box) {
  if (FToCanvas.AxisAligned() && !FPathOpen) {
    ApplyPen(true);
    ApplyBrush(true);
    const TPoint a = ToCanvas({box.Left, box.Top}), b = ToCanvas({box.Right, box.Bottom});
    FCanvas.Rectangle(a.X, a.Y, b.X, b.Y);
    return;
  }
  const TPointF corners[] = {
      {box.Left, box.Top}, {box.Right, box.Top}, {box.Right, box.Bottom}, {box.Left, box.Bottom}};
  Polygon(corners);
}

void TMetafileDC::EllipsePoints(const TRectF &box, double from, double sweep, std::vector<TPointF> &out) const {
  const TRectF b = Ordered(box);
  const double cx = (b.Left + b.Right) / 2, cy = (b.Top + b.Bottom) / 2;
  const double rx = (b.Right - b.Left) / 2, ry = (b.Bottom - b.Top) / 2;
  const double radius = std::max(rx, ry) * std::sqrt(std::abs(FToCanvas.Determinant()));
  const double wanted = std::abs(sweep) * radius / 3;
  const int segments =
      std::isfinite(wanted) ? std::clamp(static_cast<int>(wanted), 4, MaxEllipseSegments) : MaxEllipseSegments;
  for (int i = 0; i <= segments; ++i) {
    const double angle = from + sweep * i / segments;
    out.push_back({cx + rx * std::cos(angle), cy - ry * std::sin(angle)});
  }
}

void TMetafileDC::Ellipse(const TRectF &box) {
  if (FToCanvas.AxisAligned() && !FPathOpen) {
    ApplyPen(true);
    ApplyBrush(true);
    const TPoint a = ToCanvas({box.Left, box.Top}), b = ToCanvas({box.Right, box.Bottom});
    FCanvas.Ellipse(a.X, a.Y, b.X, b.Y);
    return;
  }
  std::vector<TPointF> points;
  EllipsePoints(box, 0, 2 * std::numbers::pi, points);
  points.pop_back();
  Polygon(points);
}

void TMetafileDC::RoundRect(const TRectF &box, double cornerWidth, double cornerHeight) {
  const TRectF b = Ordered(box);
  const double rx = std::min(std::abs(cornerWidth), b.Right - b.Left) / 2;
  const double ry = std::min(std::abs(cornerHeight), b.Bottom - b.Top) / 2;
  if (rx <= 0 || ry <= 0) {
    Rectangle(b);
    return;
  }
  std::vector<TPointF> points;
  const double quarter = std::numbers::pi / 2;
  // Corners anticlockwise from the top right; each arc box is 2rx by 2ry in the corner.
  EllipsePoints({b.Right - 2 * rx, b.Top, b.Right, b.Top + 2 * ry}, 0, quarter, points);
  EllipsePoints({b.Left, b.Top, b.Left + 2 * rx, b.Top + 2 * ry}, quarter, quarter, points);
  EllipsePoints({b.Left, b.Bottom - 2 * ry, b.Left + 2 * rx, b.Bottom}, 2 * quarter, quarter, points);
  EllipsePoints({b.Right - 2 * rx, b.Bottom - 2 * ry, b.Right, b.Bottom}, 3 * quarter, quarter, points);
  Polygon(points);
}

void TMetafileDC::ArcFamily(TArcKind kind, const TRectF &box, TPointF start, TPointF end) {
  const TRectF b = Ordered(box);
  const double cx = (b.Left + b.Right) / 2, cy = (b.Top + b.Bottom) / 2;
  const double rx = (b.Right - b.Left) / 2, ry = (b.Bottom - b.Top) / 2;
  if (!(rx > 0 && ry > 0) || !std::isfinite(rx * ry))
    return;
  // Angles of the rays as parameters of the ellipse, anticlockwise with y up.
  const double from = std::atan2(-(start.Y - cy) / ry, (start.X - cx) / rx);
  const double to = std::atan2(-(end.Y - cy) / ry, (end.X - cx) / rx);
  const double sweep = FState.Clockwise ? -AnticlockwiseSweep(to, from) : AnticlockwiseSweep(from, to);
  if (kind == TArcKind::Arc && FToCanvas.AxisAligned() && !FPathOpen) {
    // The canvas draws anticlockwise on the screen; a mirrored mapping turns the logical sense.
    const bool swap = (FToCanvas.Determinant() < 0) != FState.Clockwise;
    const TPoint a = ToCanvas({b.Left, b.Top}), c = ToCanvas({b.Right, b.Bottom});
    const TPoint s = ToCanvas(swap ? end : start), e = ToCanvas(swap ? start : end);
    ApplyPen(true);
    FCanvas.Arc(a.X, a.Y, c.X, c.Y, s.X, s.Y, e.X, e.Y);
    return;
  }
  std::vector<TPointF> points;
  if (kind == TArcKind::Pie)
    points.push_back({cx, cy});
  EllipsePoints(b, from, sweep, points);
  switch (kind) {
  case TArcKind::Arc: Polyline(points); break;
  case TArcKind::ArcTo:
    LineTo(points.front());
    PolylineTo(std::span<const TPointF>(points).subspan(1));
    break;
  case TArcKind::Chord:
  case TArcKind::Pie: Polygon(points); break;
  }
}

void TMetafileDC::SetPixel(TPointF p, std::uint32_t colorRef) {
  const TPoint q = ToCanvas(p);
  FCanvas.SetPixels(q.X, q.Y, ToColor(colorRef));
}

void TMetafileDC::PatBlt(const TRectF &box, std::uint32_t rop) {
  TColor color = FState.Brush.Color;
  TBrushStyle style = FState.Brush.Style;
  if (rop == Gdi::BLACKNESS || rop == Gdi::WHITENESS)
    color = rop == Gdi::BLACKNESS ? clBlack : clWhite, style = bsSolid;
  else if (rop != Gdi::PATCOPY)
    return; // Raster operations mixing with the destination have no counterpart on a canvas.
  if (style == bsClear)
    return;
  FCanvas.Brush().SetColor(color);
  FCanvas.Brush().SetStyle(style);
  FCanvas.FillRect(CanvasBox(box));
}

void TMetafileDC::FillBox(const TRectF &box, const TMetaBrush *brush) {
  const TMetaBrush &fill = brush ? *brush : FState.Brush;
  if (fill.Style == bsClear || FPathOpen)
    return;
  FCanvas.Brush().SetColor(fill.Color);
  FCanvas.Brush().SetStyle(fill.Style);
  const TPoint a = ToCanvas({box.Left, box.Top}), b = ToCanvas({box.Right, box.Bottom});
  FCanvas.FillRect(FToCanvas.AxisAligned() ? OrderedRect(a.X, a.Y, b.X, b.Y) : CanvasBox(box));
}

const TMetaBrush *TMetafileDC::BrushObject(std::uint32_t index, bool stock) const {
  static const TMetaBrush stockBrushes[] = {{bsSolid, clWhite},  {bsSolid, 0xC0C0C0}, {bsSolid, 0x808080},
                                            {bsSolid, 0x404040}, {bsSolid, clBlack},  {bsClear, clWhite}};
  if (stock)
    return index < std::size(stockBrushes) ? &stockBrushes[index] : nullptr;
  return index < FObjects.size() && FObjects[index].Kind == TMetaObjectKind::Brush ? &FObjects[index].Brush : nullptr;
}

void TMetafileDC::DrawImage(const TRectF &box, TDibImage &image, int sx, int sy, int sw, int sh) {
  const int left = std::clamp(sx, 0, image.Width), top = std::clamp(sy, 0, image.Height);
  const int right = static_cast<int>(std::clamp<std::int64_t>(std::int64_t{sx} + sw, left, image.Width));
  const int bottom = static_cast<int>(std::clamp<std::int64_t>(std::int64_t{sy} + sh, top, image.Height));
  if (right <= left || bottom <= top)
    return;
  const TRasterSurface part{image.Pixels.data() + static_cast<std::ptrdiff_t>(top) * image.Width + left, right - left,
                            bottom - top, image.Width};
  FCanvas.DrawPixels(CanvasBox(box), part);
}

// Letters twice as tall as the whole picture show no more than a stroke of one letter, and each
// costs its height squared to render: they are drawn at that size at most.
int TMetafileDC::MaxFontHeight() const {
  const std::int64_t extent = std::max(std::int64_t{FDefaultClip.Right} - FDefaultClip.Left,
                                       std::int64_t{FDefaultClip.Bottom} - FDefaultClip.Top);
  return static_cast<int>(std::clamp<std::int64_t>(2 * extent, 1, TFontSpec::MaxPixelSize));
}

// ---- text --------------------------------------------------------------------------------------

void TMetafileDC::TextOut(TPointF reference, std::string_view text, const TRectF *rect, bool opaque, bool clipped) {
  const TRect saveClip = FState.Clip;
  if (rect && opaque && !FPathOpen) {
    FCanvas.Brush().SetColor(FState.BkColor);
    FCanvas.Brush().SetStyle(bsSolid);
    FCanvas.FillRect(CanvasBox(*rect));
  }
  if (rect && clipped)
    IntersectClipRect(*rect);
  const bool updateCP = (FState.TextAlign & Gdi::TA_UPDATECP) != 0;
  if (updateCP)
    reference = FState.Position;
  // The baseline's direction and the up direction of the letters, on the canvas.
  const double escapement = FState.Font.Escapement * std::numbers::pi / 1800;
  const TPointF along{FToCanvas.M11 * std::cos(escapement) - FToCanvas.M21 * std::sin(escapement),
                      FToCanvas.M12 * std::cos(escapement) - FToCanvas.M22 * std::sin(escapement)};
  const double angle = std::atan2(-along.Y, along.X);
  const double verticalScale = std::hypot(FToCanvas.M21, FToCanvas.M22);
  TFontSpec selected;
  selected.Name = FState.Font.Name;
  selected.Style = FState.Font.Style;
  selected.Color = FState.TextColor;
  const double height = FState.Font.Height * verticalScale;
  const int limit = MaxFontHeight();
  selected.Height = FState.Font.Height == 0 ? 0 : std::isfinite(height) ? std::clamp(ToInt(height), -limit, limit) : 0;
  if (selected.Height == 0 && FState.Font.Height != 0)
    selected.Height = FState.Font.Height < 0 ? -1 : 1;
  selected.Escapement = ToInt(std::remainder(angle * 1800 / std::numbers::pi, 3600));
  FCanvas.Font().SetColor(FState.TextColor);
  FCanvas.SetSelectedFont(&selected);
  // Text on its top left corner, the usual case, needs no measuring.
  const bool measure = updateCP || (FState.TextAlign & (Gdi::TA_HORZMASK | Gdi::TA_VERTMASK)) != 0;
  const TSize extent = measure ? FCanvas.TextExtent(text) : TSize{};
  const TTextMetrics metrics = measure ? FCanvas.TextMetrics() : TTextMetrics{};
  const double cosA = std::cos(angle), sinA = std::sin(angle);
  const TPointF dir{cosA, -sinA}, up{-sinA, -cosA};
  double shift = 0, rise = 0;
  switch (FState.TextAlign & Gdi::TA_HORZMASK) {
  case Gdi::TA_RIGHT: shift = -extent.cx; break;
  case Gdi::TA_CENTER: shift = -extent.cx / 2.0; break;
  default: break;
  }
  switch (FState.TextAlign & Gdi::TA_VERTMASK) {
  case Gdi::TA_BASELINE: rise = metrics.Ascent; break;
  case Gdi::TA_BOTTOM: rise = metrics.Height(); break;
  default: break;
  }
  const TPointF at = ToCanvasF(reference);
  const TPoint topLeft{ToInt(at.X + shift * dir.X + rise * up.X), ToInt(at.Y + shift * dir.Y + rise * up.Y)};
  FCanvas.Brush().SetColor(FState.BkColor);
  FCanvas.Brush().SetStyle(FState.Opaque ? bsSolid : bsClear);
  if (!FPathOpen)
    FCanvas.TextOut(topLeft.X, topLeft.Y, text);
  if (updateCP) {
    const double scaleX = std::hypot(FToCanvas.M11, FToCanvas.M12);
    if (scaleX > 0 && (FState.TextAlign & Gdi::TA_HORZMASK) == Gdi::TA_LEFT)
      FState.Position.X += extent.cx / scaleX;
  }
  if (FState.Clip != saveClip) {
    FState.Clip = saveClip;
    ApplyClip();
  }
}

// ---- paths -------------------------------------------------------------------------------------

void TMetafileDC::BeginPath() {
  FPath.clear();
  FPathOpen = true;
}

void TMetafileDC::AbortPath() {
  FPath.clear();
  FPathOpen = false;
}

void TMetafileDC::CloseFigure() {
  if (FPathOpen && !FPath.empty())
    FPath.back().Closed = true;
}

void TMetafileDC::PaintPath(bool stroke, bool fill) {
  FPathOpen = false;
  if (fill && FState.Brush.Style != bsClear) {
    std::vector<std::vector<TPoint>> figures;
    for (const TFigure &figure : FPath)
      figures.push_back(figure.Points);
    FillFigures(figures);
  }
  if (stroke && FState.Pen.Style != psClear) {
    ApplyPen(true);
    ApplyBrush(false);
    for (const TFigure &figure : FPath) {
      if (figure.Points.size() < 2)
        continue;
      if (figure.Closed || fill)
        FCanvas.Polygon(figure.Points);
      else
        FCanvas.Polyline(figure.Points);
    }
  }
  FPath.clear();
}

} // namespace Platform
