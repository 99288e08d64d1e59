#include <platform/pictures/MetafileDC.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <platform/pictures/MetafileRecords.h>
#include <platform/rtl/Rtl.h>

namespace Platform {

namespace {

// Coordinates are held within ±2^30 so that widths and sums of two stay inside an int.
constexpr double CoordinateLimit = 1073741824.0;
// Widest pen a metafile may ask for, in pixels: wider ones come from corrupt files or absurd
// scales and would only cost time.
constexpr int MaxPenWidth = 4096;
// Segments of a full ellipse or of a Bezier curve at most, whatever their size.
constexpr int MaxEllipseSegments = 720;
constexpr int MaxBezierSegments = 64;

int ToInt(double value) {
  if (!std::isfinite(value))
    return value > 0 ? static_cast<int>(CoordinateLimit) : value < 0 ? -static_cast<int>(CoordinateLimit) : 0;
  return static_cast<int>(std::clamp<std::int64_t>(Round(value), -static_cast<std::int64_t>(CoordinateLimit),
                                                   static_cast<std::int64_t>(CoordinateLimit)));
}

TRectF Ordered(const TRectF &r) {
  return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right), std::max(r.Top, r.Bottom)};
}

TPenMode PenModeOfRop2(std::uint32_t rop2) {
  static constexpr TPenMode modes[16] = {pmBlack, pmNotMerge,    pmMaskNotPen, pmNotCopy, pmMaskPenNot, pmNot,
                                         pmXor,   pmNotMask,     pmMask,       pmNotXor,  pmNop,        pmMergeNotPen,
                                         pmCopy,  pmMergePenNot, pmMerge,      pmWhite};
  return rop2 >= 1 && rop2 <= 16 ? modes[rop2 - 1] : pmCopy;
}

// Angle in (0, 2π] going from `from` to `to` anticlockwise.
double AnticlockwiseSweep(double from, double to) {
  double sweep = std::fmod(to - from, 2 * std::numbers::pi);
  if (sweep <= 0)
    sweep += 2 * std::numbers::pi;
  return sweep;
}

} // namespace

TAffine TAffine::After(const TAffine &f) const {
  return {M11 * f.M11 + M21 * f.M12, M12 * f.M11 + M22 * f.M12,    M11 * f.M21 + M21 * f.M22,
          M12 * f.M21 + M22 * f.M22, M11 * f.Dx + M21 * f.Dy + Dx, M12 * f.Dx + M22 * f.Dy + Dy};
}

bool TAffine::Finite() const {
  return std::isfinite(M11) && std::isfinite(M12) && std::isfinite(M21) && std::isfinite(M22) && std::isfinite(Dx) &&
         std::isfinite(Dy);
}

// What the canvas had before playback, given back at the end.
struct TMetafileDC::TCanvasState {
  TPen Pen;
  TBrush Brush;
  TFont Font;
  TPoint PenPos;
  TRect Clip;
  bool HadSelectedFont = false;
  TFontSpec SelectedFont;
};

TMetafileDC::TMetafileDC(TCanvas &canvas, const TRect &target, const TMetaMapping &mapping, std::size_t objectCount)
    : FCanvas(canvas), FSaved(std::make_unique<TCanvasState>()), FMapping(mapping),
      FObjectCount(std::min(objectCount, MaxObjects)) {
  FSaved->Pen = canvas.Pen();
  FSaved->Brush = canvas.Brush();
  FSaved->Font = canvas.Font();
  FSaved->PenPos = canvas.PenPos();
  FSaved->Clip = canvas.DeviceClip();
  FSaved->HadSelectedFont = canvas.HasSelectedFont();
  if (FSaved->HadSelectedFont)
    FSaved->SelectedFont = canvas.TextFont();
  // The picture stays inside its rectangle, as a picture placed on a form does.
  const TPoint origin = canvas.Origin();
  const TRect targetOnDevice{ToInt(double(target.Left) + origin.X), ToInt(double(target.Top) + origin.Y),
                             ToInt(double(target.Right) + origin.X), ToInt(double(target.Bottom) + origin.Y)};
  FDefaultClip = IntersectRect(FSaved->Clip, targetOnDevice);
  FState.Clip = FDefaultClip;
  if (mapping.FixedViewport) {
    FState.MapMode = Gdi::MM_ANISOTROPIC;
    FState.WindowOrg = {mapping.Window.Left, mapping.Window.Top};
    FState.WindowExt = {mapping.Window.Right - mapping.Window.Left, mapping.Window.Bottom - mapping.Window.Top};
    FState.ViewportOrg = {mapping.Viewport.Left, mapping.Viewport.Top};
    FState.ViewportExt = {mapping.Viewport.Right - mapping.Viewport.Left,
                          mapping.Viewport.Bottom - mapping.Viewport.Top};
    if (FState.WindowExt.X == 0)
      FState.WindowExt.X = 1;
    if (FState.WindowExt.Y == 0)
      FState.WindowExt.Y = 1;
  }
  UpdateTransform();
  ApplyClip();
}

TMetafileDC::~TMetafileDC() {
  FCanvas.Pen() = FSaved->Pen;
  FCanvas.Brush() = FSaved->Brush;
  FCanvas.Font() = FSaved->Font;
  FCanvas.SetSelectedFont(FSaved->HadSelectedFont ? &FSaved->SelectedFont : nullptr);
  FCanvas.SetDeviceClip(FSaved->Clip);
  FCanvas.MoveTo(FSaved->PenPos.X, FSaved->PenPos.Y);
}

// ---- objects -----------------------------------------------------------------------------------

void TMetafileDC::CreateObject(std::size_t index, const TMetaObject &object) {
  if (index >= FObjectCount)
    return;
  for (std::size_t gap = FObjects.size(); gap < index; ++gap)
    FFreeObjects.insert(gap);
  if (index >= FObjects.size())
    FObjects.resize(index + 1);
  FObjects[index] = object;
  FFreeObjects.erase(index);
}

std::size_t TMetafileDC::FreeObjectIndex() const {
  // The free slots are kept ordered, so a table filled and emptied in turn costs no scan.
  return FFreeObjects.empty() ? std::min(FObjects.size(), FObjectCount) : *FFreeObjects.begin();
}

void TMetafileDC::SelectObject(std::size_t index) {
  if (index >= FObjects.size())
    return;
  const TMetaObject &object = FObjects[index];
  switch (object.Kind) {
  case TMetaObjectKind::Pen: FState.Pen = object.Pen; break;
  case TMetaObjectKind::Brush: FState.Brush = object.Brush; break;
  case TMetaObjectKind::Font: FState.Font = object.Font; break;
  case TMetaObjectKind::Other:
  case TMetaObjectKind::Empty: break;
  }
}

void TMetafileDC::SelectStockObject(std::uint32_t number) {
  auto brush = [&](TBrushStyle style, TColor color) { FState.Brush = {style, color}; };
  auto pen = [&](TPenStyle style, TColor color) { FState.Pen = {style, 0, true, color}; };
  switch (number) {
  case Gdi::WHITE_BRUSH:
  case Gdi::DC_BRUSH: brush(bsSolid, clWhite); break;
  case Gdi::LTGRAY_BRUSH: brush(bsSolid, 0xC0C0C0); break;
  case Gdi::GRAY_BRUSH: brush(bsSolid, 0x808080); break;
  case Gdi::DKGRAY_BRUSH: brush(bsSolid, 0x404040); break;
  case Gdi::BLACK_BRUSH: brush(bsSolid, clBlack); break;
  case Gdi::NULL_BRUSH: brush(bsClear, clWhite); break;
  case Gdi::WHITE_PEN: pen(psSolid, clWhite); break;
  case Gdi::BLACK_PEN:
  case Gdi::DC_PEN: pen(psSolid, clBlack); break;
  case Gdi::NULL_PEN: pen(psClear, clBlack); break;
  case Gdi::OEM_FIXED_FONT:
  case Gdi::ANSI_FIXED_FONT:
  case Gdi::SYSTEM_FIXED_FONT: FState.Font = {"Monospace", 0, 0, {}}; break;
  case Gdi::ANSI_VAR_FONT:
  case Gdi::SYSTEM_FONT:
  case Gdi::DEVICE_DEFAULT_FONT:
  case Gdi::DEFAULT_GUI_FONT: FState.Font = TMetaFont{}; break;
  default: break;
  }
}

void TMetafileDC::DeleteObject(std::size_t index) {
  // The selected pen, brush or font stays in use: the state holds a copy of it.
  if (index >= FObjects.size())
    return;
  FObjects[index] = TMetaObject{};
  FFreeObjects.insert(index);
}

// ---- state -------------------------------------------------------------------------------------

void TMetafileDC::SetBkMode(std::uint32_t mode) {
  if (mode == Gdi::TRANSPARENT || mode == Gdi::OPAQUE)
    FState.Opaque = mode == Gdi::OPAQUE;
}

void TMetafileDC::SetRop2(std::uint32_t rop2) { FState.Mode = PenModeOfRop2(rop2); }

void TMetafileDC::SaveDC() {
  if (FStack.size() < MaxSavedStates)
    FStack.push_back(FState);
}

bool TMetafileDC::RestoreDC(int which) {
  const auto depth = static_cast<std::int64_t>(FStack.size());
  const std::int64_t level = which < 0 ? depth + which : std::int64_t{which} - 1;
  if (level < 0 || level >= depth)
    return false;
  FState = FStack[static_cast<std::size_t>(level)];
  FStack.resize(static_cast<std::size_t>(level));
  UpdateTransform();
  ApplyClip();
  return true;
}

// ---- mapping -----------------------------------------------------------------------------------

void TMetafileDC::SetMapMode(std::uint32_t mode) {
  if (FMapping.FixedViewport || mode < Gdi::MM_TEXT || mode > Gdi::MM_ANISOTROPIC)
    return;
  FState.MapMode = mode;
  UpdateTransform();
}

void TMetafileDC::SetWindowOrg(double x, double y) {
  FState.WindowOrg = {x, y};
  UpdateTransform();
}

void TMetafileDC::SetWindowExt(double cx, double cy) {
  // A zero extent would divide by zero; the formats' own players refuse it too.
  if (cx == 0 || cy == 0 || !std::isfinite(cx) || !std::isfinite(cy))
    return;
  FState.WindowExt = {cx, cy};
  UpdateTransform();
}

void TMetafileDC::SetViewportOrg(double x, double y) {
  if (FMapping.FixedViewport)
    return;
  FState.ViewportOrg = {x, y};
  UpdateTransform();
}

void TMetafileDC::SetViewportExt(double cx, double cy) {
  if (FMapping.FixedViewport || cx == 0 || cy == 0 || !std::isfinite(cx) || !std::isfinite(cy))
    return;
  FState.ViewportExt = {cx, cy};
  UpdateTransform();
}

void TMetafileDC::OffsetWindowOrg(double dx, double dy) {
  SetWindowOrg(FState.WindowOrg.X + dx, FState.WindowOrg.Y + dy);
}

void TMetafileDC::OffsetViewportOrg(double dx, double dy) {
  SetViewportOrg(FState.ViewportOrg.X + dx, FState.ViewportOrg.Y + dy);
}

void TMetafileDC::ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
  if (xDenom != 0 && yDenom != 0)
    SetWindowExt(FState.WindowExt.X * xNum / xDenom, FState.WindowExt.Y * yNum / yDenom);
}

void TMetafileDC::ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
  if (xDenom != 0 && yDenom != 0)
    SetViewportExt(FState.ViewportExt.X * xNum / xDenom, FState.ViewportExt.Y * yNum / yDenom);
}

void TMetafileDC::SetWorldTransform(const TAffine &xform) {
  if (!xform.Finite() || xform.Determinant() == 0)
    return;
  FState.World = xform;
  UpdateTransform();
}

void TMetafileDC::ModifyWorldTransform(const TAffine &xform, std::uint32_t mode) {
  switch (mode) {
  case Emf::MWT_IDENTITY: SetWorldTransform({}); break;
  case Emf::MWT_LEFTMULTIPLY: SetWorldTransform(FState.World.After(xform)); break;
  case Emf::MWT_RIGHTMULTIPLY: SetWorldTransform(xform.After(FState.World)); break;
  case Emf::MWT_SET: SetWorldTransform(xform); break;
  default: break;
  }
}

void TMetafileDC::UpdateTransform() {
  double sx = 1, sy = 1;
  const double mmX = FMapping.PixelsPerMmX, mmY = FMapping.PixelsPerMmY;
  switch (FState.MapMode) {
  case Gdi::MM_LOMETRIC: sx = mmX / 10, sy = -mmY / 10; break;
  case Gdi::MM_HIMETRIC: sx = mmX / 100, sy = -mmY / 100; break;
  case Gdi::MM_LOENGLISH: sx = mmX * 25.4 / 100, sy = -mmY * 25.4 / 100; break;
  case Gdi::MM_HIENGLISH: sx = mmX * 25.4 / 1000, sy = -mmY * 25.4 / 1000; break;
  case Gdi::MM_TWIPS: sx = mmX * 25.4 / 1440, sy = -mmY * 25.4 / 1440; break;
  case Gdi::MM_ISOTROPIC:
  case Gdi::MM_ANISOTROPIC:
    sx = FState.ViewportExt.X / FState.WindowExt.X;
    sy = FState.ViewportExt.Y / FState.WindowExt.Y;
    if (FState.MapMode == Gdi::MM_ISOTROPIC) {
      const double scale = std::min(std::abs(sx), std::abs(sy));
      sx = std::copysign(scale, sx), sy = std::copysign(scale, sy);
    }
    break;
  default: break;
  }
  const TAffine pageToDevice{
      sx, 0, 0, sy, FState.ViewportOrg.X - FState.WindowOrg.X * sx, FState.ViewportOrg.Y - FState.WindowOrg.Y * sy};
  FToCanvas = FMapping.DeviceToCanvas.After(pageToDevice.After(FState.World));
}

TPoint TMetafileDC::ToCanvas(TPointF p) const {
  const TPointF q = FToCanvas.Map(p);
  return {ToInt(q.X), ToInt(q.Y)};
}

TRect TMetafileDC::CanvasBox(const TRectF &box) const {
  const TPoint corners[] = {ToCanvas({box.Left, box.Top}), ToCanvas({box.Right, box.Bottom}),
                            ToCanvas({box.Left, box.Bottom}), ToCanvas({box.Right, box.Top})};
  TRect r{corners[0].X, corners[0].Y, corners[0].X, corners[0].Y};
  for (const TPoint &c : corners) {
    r.Left = std::min(r.Left, c.X), r.Top = std::min(r.Top, c.Y);
    r.Right = std::max(r.Right, c.X), r.Bottom = std::max(r.Bottom, c.Y);
  }
  return r;
}

// ---- clipping ----------------------------------------------------------------------------------

void TMetafileDC::ApplyClip() { FCanvas.SetDeviceClip(FState.Clip); }

namespace {
TRect OnDevice(const TRect &r, TPoint origin) {
  return {ToInt(double(r.Left) + origin.X), ToInt(double(r.Top) + origin.Y), ToInt(double(r.Right) + origin.X),
          ToInt(double(r.Bottom) + origin.Y)};
}
} // namespace

void TMetafileDC::IntersectClipRect(const TRectF &rect) {
  FState.Clip = IntersectRect(FState.Clip, OnDevice(CanvasBox(rect), FCanvas.Origin()));
  ApplyClip();
}

void TMetafileDC::ExcludeClipRect(const TRectF &rect) {
  // A clip is one rectangle here: an excluded band across a whole side shrinks it, an excluded
  // hole inside it cannot be shown and is let through.
  const TRect e = OnDevice(CanvasBox(rect), FCanvas.Origin());
  TRect &c = FState.Clip;
  if (e.Top <= c.Top && e.Bottom >= c.Bottom) {
    if (e.Left <= c.Left)
      c.Left = std::max(c.Left, e.Right);
    else if (e.Right >= c.Right)
      c.Right = std::min(c.Right, e.Left);
  } else if (e.Left <= c.Left && e.Right >= c.Right) {
    if (e.Top <= c.Top)
      c.Top = std::max(c.Top, e.Bottom);
    else if (e.Bottom >= c.Bottom)
      c.Bottom = std::min(c.Bottom, e.Top);
  }
  if (c.IsEmpty())
    c = {};
  ApplyClip();
}

void TMetafileDC::SelectClipBox(const TRectF *deviceBox, std::uint32_t mode) {
  if (!deviceBox) {
    if (mode == Gdi::RGN_COPY) {
      FState.Clip = FDefaultClip;
      ApplyClip();
    }
    return;
  }
  if (mode != Gdi::RGN_COPY && mode != Gdi::RGN_AND)
    return;
  const TPointF a = FMapping.DeviceToCanvas.Map({deviceBox->Left, deviceBox->Top});
  const TPointF b = FMapping.DeviceToCanvas.Map({deviceBox->Right, deviceBox->Bottom});
  const TRect box = OnDevice(OrderedRect(ToInt(a.X), ToInt(a.Y), ToInt(b.X), ToInt(b.Y)), FCanvas.Origin());
  FState.Clip = IntersectRect(mode == Gdi::RGN_COPY ? FDefaultClip : FState.Clip, box);
  ApplyClip();
}

// ---- pens and brushes --------------------------------------------------------------------------

int TMetafileDC::PenWidth() const {
  const TMetaPen &pen = FState.Pen;
  if (pen.Cosmetic || pen.Width <= 0)
    return pen.Cosmetic && pen.Width > 0 ? 1 : 0;
  const double scale = std::sqrt(std::abs(FToCanvas.Determinant()));
  const double width = pen.Width * scale;
  if (!(width < MaxPenWidth))
    return MaxPenWidth;
  return std::max(1, ToInt(width));
}

void TMetafileDC::ApplyPen(bool stroke) {
  TPen &pen = FCanvas.Pen();
  pen.SetColor(FState.Pen.Color);
  pen.SetWidth(PenWidth());
  pen.SetMode(FState.Mode);
  pen.SetStyle(stroke ? FState.Pen.Style : psClear);
}

void TMetafileDC::ApplyBrush(bool fill) {
  TBrush &brush = FCanvas.Brush();
  brush.SetColor(FState.Brush.Color);
  brush.SetStyle(fill ? FState.Brush.Style : bsClear);
}

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
  TFontSpec spec;
  spec.Name = FState.Font.Name;
  spec.Style = FState.Font.Style;
  spec.Color = FState.TextColor;
  const double height = FState.Font.Height * verticalScale;
  const int limit = MaxFontHeight();
  spec.Height = FState.Font.Height == 0 ? 0 : std::isfinite(height) ? std::clamp(ToInt(height), -limit, limit) : 0;
  if (spec.Height == 0 && FState.Font.Height != 0)
    spec.Height = FState.Font.Height < 0 ? -1 : 1;
  spec.Escapement = ToInt(std::remainder(angle * 1800 / std::numbers::pi, 3600));
  FCanvas.Font().SetColor(FState.TextColor);
  FCanvas.SetSelectedFont(&spec);
  const TSize extent = FCanvas.TextExtent(text);
  const TTextMetrics metrics = FCanvas.TextMetrics();
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
