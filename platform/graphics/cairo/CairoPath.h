#pragma once

// Geometry for the cairo device, in device pixels as doubles. cairo keeps paths in 24.8 fixed
// point, so nothing far off the page may reach it: segments and polygons are clipped here to a
// box around the page first, and ellipses too large for Bézier curves are flattened finely only
// where they pass near it.

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

} // namespace Platform::CairoPath
