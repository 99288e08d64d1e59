#pragma once

// The device context a metafile plays into: the objects its records create, the state they set
// (colours, modes, mapping, clipping, the current position, a path being gathered) and the
// drawing operations in logical coordinates, carried out on a canvas. Both metafile players work
// through it; the canvas's own pen, brush, font, pen position and clip are given back when the
// context ends, also when playback stops on an exception.

#include <cstdint>
#include <platform/graphics/Canvas.h>
#include <platform/pictures/DibReader.h>
#include <platform/pictures/MetafileRecords.h>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

struct TPointF {
  double X = 0;
  double Y = 0;
};

struct TRectF {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// An affine map: x' = M11 x + M21 y + Dx, y' = M12 x + M22 y + Dy (the XFORM of the formats).
struct TAffine {
  double M11 = 1, M12 = 0, M21 = 0, M22 = 1, Dx = 0, Dy = 0;
  TPointF Map(TPointF p) const { return {M11 * p.X + M21 * p.Y + Dx, M12 * p.X + M22 * p.Y + Dy}; }
  // This map applied after `first`.
  TAffine After(const TAffine &first) const;
  double Determinant() const { return M11 * M22 - M12 * M21; }
  bool AxisAligned() const { return M12 == 0 && M21 == 0; }
  bool Finite() const;
};

struct TMetaPen {
  TPenStyle Style = psSolid;
  // In logical units; 0 draws one device pixel wide.
  double Width = 0;
  // Cosmetic pens are one device pixel wide whatever the mapping.
  bool Cosmetic = true;
  TColor Color = clBlack;
};

struct TMetaBrush {
  TBrushStyle Style = bsSolid;
  TColor Color = clWhite;
};

struct TMetaFont {
  std::string Name = "Sans";
  // As a logical font gives it: negative the em height, positive the cell height, 0 the default.
  double Height = 0;
  // Tenths of a degree, anticlockwise in logical space.
  int Escapement = 0;
  TFontStyles Style;
};

enum class TMetaObjectKind : std::uint8_t { Empty, Pen, Brush, Font, Other };

struct TMetaObject {
  TMetaObjectKind Kind = TMetaObjectKind::Empty;
  TMetaPen Pen;
  TMetaBrush Brush;
  TMetaFont Font;
};

enum class TArcKind : std::uint8_t { Arc, Chord, Pie, ArcTo };

// Where the logical space of a metafile lands on the canvas.
struct TMetaMapping {
  // For enhanced metafiles: the reference device's pixels map onto the canvas by this, and the
  // metric mapping modes count the reference device's pixels per millimetre.
  TAffine DeviceToCanvas;
  double PixelsPerMmX = 96 / 25.4, PixelsPerMmY = 96 / 25.4;
  // For Windows metafiles: the window starts as the bounding box and the viewport as the target,
  // and records may change the window but not the viewport or the mapping mode.
  bool FixedViewport = false;
  TRectF Window;
  TRectF Viewport;
};

class TMetafileDC {
public:
  // Largest object table and deepest SaveDC nesting a metafile may use: more only comes from
  // corrupt files, and each level costs memory.
  static constexpr std::size_t MaxObjects = 65535;
  static constexpr std::size_t MaxSavedStates = 1024;

  TMetafileDC(TCanvas &canvas, const TRect &target, const TMetaMapping &mapping, std::size_t objectCount);
  ~TMetafileDC();
  TMetafileDC(const TMetafileDC &) = delete;
  TMetafileDC &operator=(const TMetafileDC &) = delete;

  // Objects. Indexes are the file's; out-of-range or empty ones are ignored.
  std::size_t ObjectCount() const { return FObjectCount; }
  void CreateObject(std::size_t index, const TMetaObject &object);
  // The lowest free index (Windows metafiles fill their table that way), or ObjectCount().
  std::size_t FreeObjectIndex() const;
  void SelectObject(std::size_t index);
  void SelectStockObject(std::uint32_t number);
  void DeleteObject(std::size_t index);

  // State.
  void SetTextColor(std::uint32_t colorRef) { FState.TextColor = ToColor(colorRef); }
  void SetBkColor(std::uint32_t colorRef) { FState.BkColor = ToColor(colorRef); }
  void SetBkMode(std::uint32_t mode);
  void SetTextAlign(std::uint32_t align) { FState.TextAlign = align; }
  void SetRop2(std::uint32_t rop2);
  void SetArcDirection(std::uint32_t direction) { FState.Clockwise = direction == Gdi::AD_CLOCKWISE; }
  bool ArcClockwise() const { return FState.Clockwise; }
  void SaveDC();
  // A negative value counts back from the latest saved state, a positive one names a level;
  // false when there is no such state.
  bool RestoreDC(int which);

  // Mapping.
  void SetMapMode(std::uint32_t mode);
  void SetWindowOrg(double x, double y);
  void SetWindowExt(double cx, double cy);
  void SetViewportOrg(double x, double y);
  void SetViewportExt(double cx, double cy);
  void OffsetWindowOrg(double dx, double dy);
  void OffsetViewportOrg(double dx, double dy);
  void ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
  void ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
  void SetWorldTransform(const TAffine &xform);
  // Mode as the formats number it: identity, left multiply, right multiply, set.
  void ModifyWorldTransform(const TAffine &xform, std::uint32_t mode);

  // Clipping, in logical units; regions in reference device pixels.
  void IntersectClipRect(const TRectF &rect);
  void ExcludeClipRect(const TRectF &rect);
  void SelectClipBox(const TRectF *deviceBox, std::uint32_t mode);

  // Drawing, in logical units.
  void MoveTo(TPointF p);
  void LineTo(TPointF p);
  void Polyline(std::span<const TPointF> points);
  // Lines from the current position through the points; the position ends on the last one.
  void PolylineTo(std::span<const TPointF> points);
  // Cubic Bezier curves: start, then three points per curve (the start is the current position
  // for the -To form).
  void PolyBezier(std::span<const TPointF> points);
  void PolyBezierTo(std::span<const TPointF> points);
  void Polygon(std::span<const TPointF> points);
  // The inside of the polygon in the brush, no outline.
  void FillPolygon(std::span<const TPointF> points, const TMetaBrush &brush);
  // Polygons of counts[i] points each, filled as one figure.
  void PolyPolygon(std::span<const TPointF> points, std::span<const std::uint32_t> counts);
  void PolyPolyline(std::span<const TPointF> points, std::span<const std::uint32_t> counts);
  void Rectangle(const TRectF &box);
  void RoundRect(const TRectF &box, double cornerWidth, double cornerHeight);
  void Ellipse(const TRectF &box);
  void ArcFamily(TArcKind kind, const TRectF &box, TPointF start, TPointF end);
  void SetPixel(TPointF p, std::uint32_t colorRef);
  // A rectangle filled by a raster operation that uses no source (pattern, black, white).
  void PatBlt(const TRectF &box, std::uint32_t rop);
  // The box filled with the given brush, or the selected one; the pen is not used.
  void FillBox(const TRectF &box, const TMetaBrush *brush = nullptr);
  // The brush an object index or stock object stands for, or nullptr when it is none.
  const TMetaBrush *BrushObject(std::uint32_t index, bool stock) const;
  // The part (sx, sy, sw, sh) of the image, top-down pixel coordinates, stretched into box.
  void DrawImage(const TRectF &box, TDibImage &image, int sx, int sy, int sw, int sh);
  // Text (UTF-8) at the reference point, aligned as the state says. A rectangle given with
  // opaque is filled with the background colour first, with clipped it clips the text.
  void TextOut(TPointF reference, std::string_view text, const TRectF *rect, bool opaque, bool clipped);

  // Paths: figures gathered between BeginPath and EndPath, in canvas coordinates.
  void BeginPath();
  void EndPath() { FPathOpen = false; }
  void AbortPath();
  void CloseFigure();
  void FillPath() { PaintPath(false, true); }
  void StrokePath() { PaintPath(true, false); }
  void StrokeAndFillPath() { PaintPath(true, true); }

  static TColor ToColor(std::uint32_t colorRef) { return static_cast<TColor>(colorRef & 0x00FFFFFFu); }

private:
  struct TState {
    TMetaPen Pen;
    TMetaBrush Brush;
    TMetaFont Font;
    TColor TextColor = clBlack;
    TColor BkColor = clWhite;
    bool Opaque = true;
    bool Clockwise = false;
    std::uint32_t TextAlign = 0;
    TPenMode Mode = pmCopy;
    std::uint32_t MapMode = 1;
    TPointF WindowOrg, WindowExt{1, 1}, ViewportOrg, ViewportExt{1, 1};
    TAffine World;
    TRect Clip;
    TPointF Position;
  };
  struct TFigure {
    std::vector<TPoint> Points;
    bool Closed = false;
  };
  struct TCanvasState;

  TCanvas &FCanvas;
  std::unique_ptr<TCanvasState> FSaved;
  TMetaMapping FMapping;
  std::size_t FObjectCount;
  std::vector<TMetaObject> FObjects;
  std::set<std::size_t> FFreeObjects;
  TState FState;
  std::vector<TState> FStack;
  TRect FDefaultClip;
  TAffine FToCanvas;
  bool FPathOpen = false;
  std::vector<TFigure> FPath;
  std::vector<TPoint> FScratch;

  void UpdateTransform();
  TPoint ToCanvas(TPointF p) const;
  TPointF ToCanvasF(TPointF p) const { return FToCanvas.Map(p); }
  TRect CanvasBox(const TRectF &box) const;
  int PenWidth() const;
  int MaxFontHeight() const;
  void ApplyPen(bool stroke);
  void ApplyBrush(bool fill);
  void ApplyClip();
  TFigure &PathFigure();
  // Points in logical space, drawn or added to the path.
  void EmitPolyline(std::span<const TPointF> points);
  void EmitPolygon(std::span<const TPoint> canvasPoints);
  void FlattenBezier(TPointF p0, TPointF p1, TPointF p2, TPointF p3, std::vector<TPoint> &out) const;
  void EllipsePoints(const TRectF &box, double from, double sweep, std::vector<TPointF> &out) const;
  void PaintPath(bool stroke, bool fill);
  void FillFigures(std::span<const std::vector<TPoint>> figures);
};

} // namespace Platform
