#pragma once

// Geometry for the cairo device, in device pixels as doubles. cairo keeps paths in 24.8 fixed
// point, so nothing far off the page may reach it: segments and polygons are clipped here to a
// box around the page first, and ellipses too large for Bézier curves are flattened finely only
// where they pass near it.

#include <platform/graphics/Types.h>
#include <span>
#include <vector>

typedef struct _cairo cairo_t;

namespace Platform::CairoPath {

struct TPointD {
  double X = 0;
  double Y = 0;
};

struct TBoxD {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;
};

// The part of the segment a-b inside the box as the parameters t0 <= t1 in [0, 1] of its ends;
// false when no part is inside.
bool ClipSegment(TPointD a, TPointD b, const TBoxD &box, double &t0, double &t1);

// Adds a polyline to the current path, leaving out what lies outside the box (a part that leaves
// and comes back starts a new sub-path); when closed, the last point joins the first.
void AppendPolyline(cairo_t *cr, std::span<const TPointD> points, const TBoxD &box, bool closed);

// Adds the polygon clipped to the box, as one closed sub-path: its even-odd fill inside the box is
// the original's.
void AppendClippedPolygon(cairo_t *cr, std::span<const TPointD> points, const TBoxD &box,
                          std::vector<TPointD> &scratch);

// An ellipse centred at (X, Y) with semi-axes Rx, Ry >= 0. The point at angle a is
// (X + Rx cos a, Y - Ry sin a): angles grow counter-clockwise on the screen.
struct TEllipseD {
  double X = 0;
  double Y = 0;
  double Rx = 0;
  double Ry = 0;
  TPointD At(double angle) const;
};

// Whether the ellipse is too far or too large for curves handed to cairo as they are.
bool NeedsFlattening(const TEllipseD &e, const TBoxD &box);

// The arc from angle `from` through `sweep` radians (positive: counter-clockwise on the screen),
// as Bézier curves on the current path (starting a new sub-path), or flattened into points when
// NeedsFlattening.
void AppendArc(cairo_t *cr, const TEllipseD &e, double from, double sweep);
void FlattenArc(const TEllipseD &e, double from, double sweep, const TBoxD &near, std::vector<TPointD> &out);

// The counter-clockwise sweep of an arc, from the ray through the centre of the start pixel to
// the ray through the end pixel's, decided exactly as the raster backend decides it: equal
// directions give the whole ellipse, opposite ones half of it.
void ArcAngles(const TRect &box, TPoint start, TPoint end, double &from, double &sweep);

// Where the visible source pixels of one axis of a stretched image go: source pixels First ..
// First + Count - 1, each PixelSize device pixels long from Offset, over the visible span. An image
// magnified so far that at most two of its pixels show is placed at a size the span can hold (the
// pattern pads beyond them), since cairo's image backend keeps transforms in 16.16 fixed point.
struct TImagePlacement {
  int First = 0;
  int Count = 0;
  double Offset = 0;
  double PixelSize = 1;
  double VisibleFrom = 0;
  double VisibleTo = 0;
};

// The placement of the axis of an image stretched over [from, to) of which [clipFrom, clipTo) shows.
TImagePlacement PlaceImageAxis(double from, double to, int pixels, int clipFrom, int clipTo);

} // namespace Platform::CairoPath
