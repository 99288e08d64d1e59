#include <platform/pictures/MetafileDC.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <platform/pictures/MetafileMath.h>
#include <platform/pictures/MetafileRecords.h>
#include <platform/rtl/Rtl.h>

namespace Platform {

using namespace MetafileMath;

namespace {

TPenMode PenModeOfRop2(std::uint32_t rop2) {
  static constexpr TPenMode modes[16] = {pmBlack, pmNotMerge,    pmMaskNotPen, pmNotCopy, pmMaskPenNot, pmNot,
                                         pmXor,   pmNotMask,     pmMask,       pmNotXor,  pmNop,        pmMergeNotPen,
                                         pmCopy,  pmMergePenNot, pmMerge,      pmWhite};
  return rop2 >= 1 && rop2 <= 16 ? modes[rop2 - 1] : pmCopy;
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

} // namespace Platform
