#include <worldgraph/Shape.h>

#include <algorithm>

namespace Velgraph {

using namespace Platform;

namespace {

// Lines and polylines draw in their own pen colour and give the canvas its colour back, so
// that drawing after them (OnPaint's) is not tinted by the last shape.
class TPenColourScope {
public:
  TPenColourScope(TCanvas &canvas, TColor colour) : FPen(canvas.Pen()), FSaved(FPen.Color()) { FPen.SetColor(colour); }
  ~TPenColourScope() { FPen.SetColor(FSaved); }
  TPenColourScope(const TPenColourScope &) = delete;
  TPenColourScope &operator=(const TPenColourScope &) = delete;

private:
  TPen &FPen;
  TColor FSaved;
};

} // namespace

TShape::TShape(TVelWorldGraph &Graph) : FGraph(Graph) {
  FPen.SetColor(clBlack);
  FPen.SetMode(pmCopy);
  FPen.SetStyle(psSolid);
  FPen.SetWidth(1);
  FBrush.SetStyle(bsSolid);
  FBrush.SetColor(Graph.Color());
}

void TShape::FirstPoint(double X, double Y) {
  FPoints.clear();
  FPoints.push_back({X, Y});
}

void TShape::NextPoint(double X, double Y) {
  if (FKind == skEllipse && FPoints.size() > 1) {
    FPoints.resize(2);
    FPoints[1] = {X, Y};
    return;
  }
  FPoints.push_back({X, Y});
}

void TShape::Draw() {
  switch (FKind) {
  case skLine: DrawLine(); break;
  case skEllipse: DrawEllipse(); break;
  case skCircle: DrawCircle(); break;
  case skPolygon: DrawPolygon(); break;
  case skPolyline: DrawPolyLine(); break;
  }
}

void TShape::DrawLine() {
  if (FPoints.size() != 2)
    return;
  TPenColourScope colour(*FGraph.DrawingCanvas(), FPen.Color());
  FGraph.WorldMoveTo(FPoints[0].X, FPoints[0].Y);
  FGraph.WorldLineTo(FPoints[1].X, FPoints[1].Y);
}

// An outline only, in the canvas's current pen.
void TShape::DrawEllipse() {
  if (FPoints.size() < 2)
    return;
  TBrush &brush = FGraph.DrawingCanvas()->Brush();
  brush.SetStyle(bsClear);
  FGraph.WorldEllipse(FPoints[0].X, FPoints[0].Y, FPoints[1].X, FPoints[1].Y);
  brush.SetStyle(bsSolid);
}

// Drawn with the canvas's current pen and brush; points after the second play no part.
void TShape::DrawCircle() {
  if (FPoints.size() < 2)
    return;
  FGraph.WorldEllipse(FPoints[0].X, FPoints[0].Y, FPoints[1].X, FPoints[1].Y);
}

void TShape::DrawPolygon() {
  if (FPoints.size() < 2)
    return;
  if (!FClosed) {
    DrawPolyLine();
    return;
  }
  // The graph's polygons hold at most MaxPolygonPoints; later points of a longer shape are
  // left out.
  TWorldPointArray points;
  const int count = static_cast<int>(std::min<std::size_t>(FPoints.size(), MaxPolygonPoints));
  std::copy_n(FPoints.begin(), count, points.begin());
  FGraph.WorldPolygon(static_cast<std::uint16_t>(count), points, FPen.Color(), FBrush.Color(), true);
}

void TShape::DrawPolyLine() {
  if (FPoints.empty())
    return;
  TPenColourScope colour(*FGraph.DrawingCanvas(), FPen.Color());
  FGraph.WorldMoveTo(FPoints[0].X, FPoints[0].Y);
  for (std::size_t i = 1; i < FPoints.size(); ++i)
    FGraph.WorldLineTo(FPoints[i].X, FPoints[i].Y);
}

} // namespace Velgraph
