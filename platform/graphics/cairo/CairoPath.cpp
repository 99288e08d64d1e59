#include <platform/graphics/cairo/CairoPath.h>

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <numbers>

namespace Platform::CairoPath {

namespace {

// How far past the clip box an ellipse may reach and still be handed to cairo as curves: well
// inside 24.8 fixed point for any page cairo can make.
constexpr double CurveReach = 1 << 21;

bool Inside(TPointD p, const TBoxD &box) {
  return p.X >= box.Left && p.X <= box.Right && p.Y >= box.Top && p.Y <= box.Bottom;
}

bool AllInside(std::span<const TPointD> points, const TBoxD &box) {
  return std::all_of(points.begin(), points.end(), [&](TPointD p) { return Inside(p, box); });
}

TPointD Lerp(TPointD a, TPointD b, double t) { return {a.X + (b.X - a.X) * t, a.Y + (b.Y - a.Y) * t}; }

// One Sutherland-Hodgman pass: keeps the side of the line where inside(p) holds.
template <class TInside, class TCross>
void ClipPass(const std::vector<TPointD> &in, std::vector<TPointD> &out, TInside inside, TCross cross) {
  out.clear();
  for (std::size_t i = 0; i < in.size(); ++i) {
    const TPointD a = in[i], b = in[(i + 1) % in.size()];
    const bool ina = inside(a), inb = inside(b);
    if (ina)
      out.push_back(a);
    if (ina != inb)
      out.push_back(cross(a, b));
  }
}

} // namespace

bool ClipSegment(TPointD a, TPointD b, const TBoxD &box, double &t0, double &t1) {
  t0 = 0;
  t1 = 1;
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.X - box.Left, box.Right - a.X, a.Y - box.Top, box.Bottom - a.Y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0)
        return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, r);
    else
      t1 = std::min(t1, r);
  }
  return t0 <= t1;
}

void AppendPolyline(cairo_t *cr, std::span<const TPointD> points, const TBoxD &box, bool closed) {
  if (points.empty())
    return;
  if (AllInside(points, box)) {
    cairo_move_to(cr, points[0].X, points[0].Y);
    for (std::size_t i = 1; i < points.size(); ++i)
      cairo_line_to(cr, points[i].X, points[i].Y);
    if (closed)
      cairo_close_path(cr);
    return;
  }
  const std::size_t segments = closed ? points.size() : points.size() - 1;
  bool joined = false;
  for (std::size_t i = 0; i < segments; ++i) {
    const TPointD a = points[i], b = points[(i + 1) % points.size()];
    double t0, t1;
    if (!ClipSegment(a, b, box, t0, t1)) {
      joined = false;
      continue;
    }
    if (!joined || t0 > 0) {
      const TPointD from = Lerp(a, b, t0);
      cairo_move_to(cr, from.X, from.Y);
    }
    const TPointD to = Lerp(a, b, t1);
    cairo_line_to(cr, to.X, to.Y);
    joined = t1 >= 1;
  }
}

void AppendClippedPolygon(cairo_t *cr, std::span<const TPointD> points, const TBoxD &box,
                          std::vector<TPointD> &scratch) {
  if (points.empty())
    return;
  if (!AllInside(points, box)) {
    std::vector<TPointD> in(points.begin(), points.end());
    auto crossX = [](double x) {
      return [x](TPointD a, TPointD b) { return TPointD{x, a.Y + (b.Y - a.Y) * (x - a.X) / (b.X - a.X)}; };
    };
    auto crossY = [](double y) {
      return [y](TPointD a, TPointD b) { return TPointD{a.X + (b.X - a.X) * (y - a.Y) / (b.Y - a.Y), y}; };
    };
    ClipPass(
        in, scratch, [&](TPointD p) { return p.X >= box.Left; }, crossX(box.Left));
    ClipPass(
        scratch, in, [&](TPointD p) { return p.X <= box.Right; }, crossX(box.Right));
    ClipPass(
        in, scratch, [&](TPointD p) { return p.Y >= box.Top; }, crossY(box.Top));
    ClipPass(
        scratch, in, [&](TPointD p) { return p.Y <= box.Bottom; }, crossY(box.Bottom));
    scratch = std::move(in);
    points = scratch;
    if (points.empty())
      return;
  }
  cairo_move_to(cr, points[0].X, points[0].Y);
  for (std::size_t i = 1; i < points.size(); ++i)
    cairo_line_to(cr, points[i].X, points[i].Y);
  cairo_close_path(cr);
}

TPointD TEllipseD::At(double angle) const { return {X + Rx * std::cos(angle), Y - Ry * std::sin(angle)}; }

bool NeedsFlattening(const TEllipseD &e, const TBoxD &box) {
  return e.X - e.Rx < box.Left - CurveReach || e.X + e.Rx > box.Right + CurveReach ||
         e.Y - e.Ry < box.Top - CurveReach || e.Y + e.Ry > box.Bottom + CurveReach;
}

void AppendArc(cairo_t *cr, const TEllipseD &e, double from, double sweep) {
  // Pieces of at most a quarter turn, each a cubic with the usual 4/3 tan(piece / 4) handles.
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (std::numbers::pi / 2) - 1e-9)));
  const double step = sweep / pieces, k = 4.0 / 3.0 * std::tan(step / 4);
  TPointD p = e.At(from);
  cairo_new_sub_path(cr);
  cairo_move_to(cr, p.X, p.Y);
  for (int i = 0; i < pieces; ++i) {
    const double a0 = from + i * step, a1 = a0 + step;
    const TPointD q = e.At(a1);
    // The tangent dP/da is (-Rx sin a, -Ry cos a).
    cairo_curve_to(cr, p.X - k * e.Rx * std::sin(a0), p.Y - k * e.Ry * std::cos(a0), q.X + k * e.Rx * std::sin(a1),
                   q.Y + k * e.Ry * std::cos(a1), q.X, q.Y);
    p = q;
  }
}

void FlattenArc(const TEllipseD &e, double from, double sweep, const TBoxD &near, std::vector<TPointD> &out) {
  // Coarse chords stay off the box by more than the arc strays from them (r step^2 / 8); those
  // that come nearer are split until the chords keep within an eighth of a pixel of the arc.
  constexpr int Coarse = 1024;
  constexpr int MaxFine = 1 << 16;
  const double step = sweep / Coarse, r = std::max(e.Rx, e.Ry);
  const double sag = r * step * step / 8;
  const int fine = static_cast<int>(std::clamp(std::ceil(std::abs(step) * std::sqrt(r)), 1.0, double(MaxFine)));
  for (int i = 0; i < Coarse; ++i) {
    const double a0 = from + i * step;
    const TPointD p = e.At(a0), q = e.At(a0 + step);
    out.push_back(p);
    const bool nearBox = std::max(p.X, q.X) + sag >= near.Left && std::min(p.X, q.X) - sag <= near.Right &&
                         std::max(p.Y, q.Y) + sag >= near.Top && std::min(p.Y, q.Y) - sag <= near.Bottom;
    if (nearBox)
      for (int j = 1; j < fine; ++j)
        out.push_back(e.At(a0 + step * j / fine));
  }
  out.push_back(e.At(from + sweep));
}

} // namespace Platform::CairoPath
