#pragma once

// Shapes that an application forms point by point on a world graph, which draws them at every
// paint and frees them with itself.

#include <cstdint>
#include <platform/graphics/Brush.h>
#include <platform/graphics/Pen.h>
#include <platform/rtl/Object.h>
#include <vector>
#include <worldgraph/VelGraph.h>

namespace Velgraph {

enum class TShapeKind : std::uint8_t { skLine, skEllipse, skCircle, skPolygon, skPolyline };
using enum TShapeKind;
// Which kind of shape an application is forming; the graph itself neither takes nor keeps it.
enum class TFormingShape : std::uint8_t { fsNone, fsLine, fsEllipse, fsCircle, fsPolygon, fsPolyline };
using enum TFormingShape;

class VELGRAPH_API TShape : public Platform::TObject {
public:
  // A black solid pen and a solid brush of the graph's colour.
  explicit TShape(TVelWorldGraph &Graph);

  // Starts the point list again with this point.
  void FirstPoint(double X, double Y);
  // Adds a point; an ellipse keeps its first point and the latest one only.
  void NextPoint(double X, double Y);
  // Draws the shape through the graph's clipped world drawing. Shapes with too few points for
  // their kind draw nothing.
  void Draw();

  // Selecting, moving, copying and hiding single shapes are not offered: these answer as if
  // nothing were selected and change nothing.
  bool Selected(double, double) const { return false; }
  void SelectedLine(double, double) const {}
  void SelectedEllipse(double, double) const {}
  void SelectedCircle(double, double) const {}
  void SelectedPolygon(double, double) const {}
  void SelectedPolyline(double, double) const {}
  void DrawSelected() const {}
  void Copy() const {}
  void Hide() const {}
  void Move(double, double) const {}

  TShapeKind FKind = skLine;
  // For polygons: drawn closed and filled (true) or as an open polyline.
  bool FClosed = false;
  // Only their colours are used in drawing.
  Platform::TPen FPen;
  Platform::TBrush FBrush;
  const std::vector<TWorldPoint> &Points() const { return FPoints; }

private:
  void DrawLine();
  void DrawEllipse();
  void DrawCircle();
  void DrawPolygon();
  void DrawPolyLine();

  TVelWorldGraph &FGraph;
  std::vector<TWorldPoint> FPoints;
};

} // namespace Velgraph
