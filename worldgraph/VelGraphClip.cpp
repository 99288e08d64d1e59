// Keeping drawing inside the frame: the point and rectangle tests, the line section clipper and
// the polygon clipper. Crossings are computed from one end of a section along its direction
// rather than by slope and intercept, so that a section whose ends lie far outside a deeply
// zoomed frame still crosses it where it should (the intercept form loses the crossing in the
// rounding of products of far coordinates).

#include <worldgraph/VelGraph.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Velgraph {

namespace {

// p <= a <= q or q <= a <= p: a lies between the ends, both included. NaN lies nowhere.
bool Between(double a, double p, double q) { return (p <= a && a <= q) || (q <= a && a <= p); }

// The x where the line through (x1, y1) and (x2, y2) reaches height y; y1 != y2. A line
// without run keeps x1, also when an end is infinite (which would make 0 times infinity).
double XAtY(double y, double x1, double y1, double x2, double y2) {
  const double run = (x2 - x1) / (y2 - y1);
  return run == 0 ? x1 : x1 + (y - y1) * run;
}
// The y where it reaches column x; x1 != x2.
double YAtX(double x, double x1, double y1, double x2, double y2) {
  const double rise = (y2 - y1) / (x2 - x1);
  return rise == 0 ? y1 : y1 + (x - x1) * rise;
}

} // namespace

TVelWorldGraph::TFrame TVelWorldGraph::Frame() const {
  const double x1 = XMin(), x2 = XMax(), y1 = YMin(), y2 = YMax();
  return {std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2)};
}

bool TVelWorldGraph::InFrame(double X, double Y) const {
  const TFrame f = Frame();
  return f.XMin <= X && X <= f.XMax && f.YMin <= Y && Y <= f.YMax;
}

bool TVelWorldGraph::PartOfFrameShows(double X1, double Y1, double X2, double Y2) const {
  if (X1 > X2)
    std::swap(X1, X2);
  if (Y1 > Y2)
    std::swap(Y1, Y2);
  const TFrame f = Frame();
  return X1 <= f.XMax && X2 >= f.XMin && Y1 <= f.YMax && Y2 >= f.YMin;
}

bool TVelWorldGraph::AllOfFrameShows(double X1, double Y1, double X2, double Y2) const {
  const TFrame f = Frame();
  return f.XMin <= X1 && X2 <= f.XMax && f.YMin <= Y1 && Y2 <= f.YMax;
}

bool TVelWorldGraph::LineSectionInterceptsYMinLine(double &X) {
  if (FLineY2 == FLineY1)
    return false;
  // A vertical section is tilted by a hair, and stays tilted: its end, where the pen is left,
  // moves with it.
  if (FLineX2 == FLineX1)
    FLineX2 = FLineX1 + 1e-7;
  return CrossesLevel(Frame().YMin, X);
}

// Without the tilt: the crossing of a vertical section is found along it, with no division by
// its zero width.
bool TVelWorldGraph::LineSectionInterceptsYMaxLine(double &X) { return CrossesLevel(Frame().YMax, X); }

bool TVelWorldGraph::CrossesLevel(double y, double &X) const {
  if (FLineY2 == FLineY1)
    return false;
  const TFrame f = Frame();
  X = XAtY(y, FLineX1, FLineY1, FLineX2, FLineY2);
  return Between(y, FLineY1, FLineY2) && Between(X, f.XMin, f.XMax);
}

bool TVelWorldGraph::LineSectionInterceptsXMinLine(double &Y) { return CrossesUpright(Frame().XMin, Y); }
bool TVelWorldGraph::LineSectionInterceptsXMaxLine(double &Y) { return CrossesUpright(Frame().XMax, Y); }

bool TVelWorldGraph::CrossesUpright(double x, double &Y) const {
  if (FLineX2 == FLineX1)
    return false;
  const TFrame f = Frame();
  Y = YAtX(x, FLineX1, FLineY1, FLineX2, FLineY2);
  return Between(x, FLineX1, FLineX2) && Between(Y, f.YMin, f.YMax);
}

namespace {

// The crossings of a section with the four frame lines, in the order YMin, YMax, XMin, XMax.
struct TCrossings {
  TWorldPoint Points[4];
  int Count = 0;
};

double DistanceSquared(const TWorldPoint &a, const TWorldPoint &b) {
  const double dx = a.X - b.X, dy = a.Y - b.Y;
  return dx * dx + dy * dy;
}

} // namespace

void TVelWorldGraph::DrawLine() {
  const TFrame f = Frame();
  auto inside = [&f](double x, double y) { return f.XMin <= x && x <= f.XMax && f.YMin <= y && y <= f.YMax; };
  const bool startInside = inside(FLineX1, FLineY1), endInside = inside(FLineX2, FLineY2);
  if (startInside && endInside) {
    // The line leaves the pen at the section's end already.
    FPaintBox->WorldMoveTo(FLineX1, FLineY1);
    FPaintBox->WorldLineTo(FLineX2, FLineY2);
    return;
  }
  // Every crossing, tests in their fixed order. With one end inside the first crossing that
  // differs from that end is where the section leaves the frame; the end's own crossing (a
  // section starting on the border) is passed over.
  const double anchorX = startInside ? FLineX1 : FLineX2, anchorY = startInside ? FLineY1 : FLineY2;
  if (startInside || endInside)
    FPaintBox->WorldMoveTo(anchorX, anchorY);
  const bool oneInside = startInside || endInside;
  TCrossings crossings;
  auto found = [&](double x, double y) {
    crossings.Points[crossings.Count++] = {x, y};
    return oneInside && !(x == anchorX && y == anchorY);
  };
  double c = 0;
  if ((LineSectionInterceptsYMinLine(c) && found(c, f.YMin)) ||
      (LineSectionInterceptsYMaxLine(c) && found(c, f.YMax)) ||
      (LineSectionInterceptsXMinLine(c) && found(f.XMin, c)) ||
      (LineSectionInterceptsXMaxLine(c) && found(f.XMax, c))) {
    const TWorldPoint &exit = crossings.Points[crossings.Count - 1];
    FPaintBox->WorldLineTo(exit.X, exit.Y);
  } else if (!oneInside && crossings.Count >= 2) {
    // Through a corner, three or four crossings coincide in pairs: the visible part runs
    // between the two that lie farthest apart, drawn in the order they were found.
    int from = 0, to = 1;
    double widest = -1;
    for (int i = 0; i < crossings.Count; ++i)
      for (int j = i + 1; j < crossings.Count; ++j)
        if (const double d = DistanceSquared(crossings.Points[i], crossings.Points[j]); d > widest) {
          widest = d;
          from = i;
          to = j;
        }
    FPaintBox->WorldMoveTo(crossings.Points[from].X, crossings.Points[from].Y);
    FPaintBox->WorldLineTo(crossings.Points[to].X, crossings.Points[to].Y);
  }
  FPaintBox->WorldMoveTo(FLineX2, FLineY2);
}

// Polygon clipping, Sutherland-Hodgman: one pass per frame edge, in the order left, bottom,
// right, top.

namespace {

bool Inside(const TWorldPoint &P, const TEdge &Edge) {
  switch (Edge.Kind) {
  case ekBottom: return P.Y >= Edge.YMin;
  case ekRight: return P.X <= Edge.XMax;
  case ekTop: return P.Y <= Edge.YMax;
  case ekLeft: return P.X >= Edge.XMin;
  }
  return false;
}

// Where the line from S to P meets the edge's line. A component equal in both is raised by
// 1e-10 in P's copy, so that no quotient divides by zero.
TWorldPoint Intersect(const TWorldPoint &S, const TWorldPoint &P, const TEdge &Edge) {
  const double px = S.X == P.X ? P.X + 1e-10 : P.X;
  const double py = S.Y == P.Y ? P.Y + 1e-10 : P.Y;
  switch (Edge.Kind) {
  case ekBottom: return {XAtY(Edge.YMin, S.X, S.Y, px, py), Edge.YMin};
  case ekRight: return {Edge.XMax, YAtX(Edge.XMax, S.X, S.Y, px, py)};
  case ekTop: return {XAtY(Edge.YMax, S.X, S.Y, px, py), Edge.YMax};
  case ekLeft: return {Edge.XMin, YAtX(Edge.XMin, S.X, S.Y, px, py)};
  }
  return S;
}

// Points that are not numbers (a vertex given so, or a crossing with an infinite one) have no
// place in the frame and are left out.
void Output(const TWorldPoint &P, int &Count, TWorldPoint *Out, int Capacity) {
  if (Count < Capacity && P.X == P.X && P.Y == P.Y)
    Out[Count++] = P;
}

void SutherlandHodgmanPolygonClip(const TWorldPoint *In, TWorldPoint *Out, int InCount, int &OutCount,
                                  const TEdge &Edge, int Capacity) {
  OutCount = 0;
  if (InCount <= 0)
    return;
  TWorldPoint S = In[InCount - 1];
  bool sInside = Inside(S, Edge);
  for (int i = 0; i < InCount; ++i) {
    const TWorldPoint &P = In[i];
    const bool pInside = Inside(P, Edge);
    if (pInside != sInside)
      Output(Intersect(S, P, Edge), OutCount, Out, Capacity);
    if (pInside)
      Output(P, OutCount, Out, Capacity);
    S = P;
    sInside = pInside;
  }
}

// Twice the area of the triangle a, b, c: how much the polygon changes when b is dropped.
double TurnArea(const TWorldPoint &a, const TWorldPoint &b, const TWorldPoint &c) {
  return std::fabs((b.X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (b.Y - a.Y));
}

// Drops vertices until the polygon has at most limit: in each round the ones whose removal
// changes the area least (collinear points first), never two neighbours in one round, so that
// every area stays a fair measure. The frame is convex, so the thinned polygon stays inside it.
// Linear rounds, each dropping up to half the excess, keep a long result cheap.
void Thin(TWorldPoint *points, int &count, int limit, double *areas, double *ranked) {
  while (count > limit) {
    for (int i = 0; i < count; ++i) {
      const double a = TurnArea(points[(i + count - 1) % count], points[i], points[(i + 1) % count]);
      areas[i] = a >= 0 ? a : 0; // a point that is not a number goes first
    }
    const int excess = count - limit;
    std::copy_n(areas, count, ranked);
    std::nth_element(ranked, ranked + excess - 1, ranked + count);
    const double threshold = ranked[excess - 1];
    int kept = 0, dropped = 0;
    bool previousDropped = false, firstDropped = false;
    for (int i = 0; i < count; ++i) {
      const bool besideDropped = previousDropped || (i == count - 1 && firstDropped);
      if (dropped < excess && !besideDropped && areas[i] <= threshold) {
        ++dropped;
        previousDropped = true;
        firstDropped = firstDropped || i == 0;
        continue;
      }
      points[kept++] = points[i];
      previousDropped = false;
    }
    count = kept;
  }
}

} // namespace

void TVelWorldGraph::ClipPolygon(const TWorldPointArray &In, int Count, TWorldPointArray &Out, int &OutCount) {
  TClipBuffers &buffers = *FClipBuffers;
  const TFrame f = Frame();
  TEdge edge{ekLeft, f.XMin, f.XMax, f.YMin, f.YMax};
  int count = std::clamp(Count, 0, MaxPolygonPoints);
  SutherlandHodgmanPolygonClip(In.data(), buffers.First, count, count, edge, TClipBuffers::Capacity);
  edge.Kind = ekBottom;
  SutherlandHodgmanPolygonClip(buffers.First, buffers.Second, count, count, edge, TClipBuffers::Capacity);
  edge.Kind = ekRight;
  SutherlandHodgmanPolygonClip(buffers.Second, buffers.First, count, count, edge, TClipBuffers::Capacity);
  edge.Kind = ekTop;
  SutherlandHodgmanPolygonClip(buffers.First, buffers.Second, count, count, edge, TClipBuffers::Capacity);
  if (count > MaxPolygonPoints)
    Thin(buffers.Second, count, MaxPolygonPoints, buffers.Areas, buffers.Ranked);
  std::copy_n(buffers.Second, count, Out.begin());
  OutCount = count;
}

} // namespace Velgraph
