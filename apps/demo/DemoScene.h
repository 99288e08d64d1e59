#pragma once

// The demo's drawing: a mesh of eight-node elements with curved sides coloured by a field value,
// the mesh's nodes, a data series, arcs and an ellipse that run off the frame and are clipped
// there, and a few shapes formed point by point. Shared by the window, the headless render and
// the tests.

#include <platform/pictures/Picture.h>
#include <string>
#include <worldgraph/VelGraph.h>

namespace Demo {

// The world window the demo opens on.
constexpr double WorldXMax = 24, WorldYMax = 16;

// Sets the graph's window and rulers, adds the shapes and installs the drawing as its OnPaint.
// While `picture` holds a graphic, it is drawn under everything, stretched over the unzoomed
// world window. The graph keeps a reference to `picture`: it must outlive the graph.
void SetUpScene(Velgraph::TVelWorldGraph &graph, const Platform::TPicture &picture);

// Puts the picture shown when the user asks for one and names no file into `picture`: a soft
// relief map made in code, so the demo needs no file beside it.
void MakeReliefPicture(Platform::TPicture &picture);

} // namespace Demo
