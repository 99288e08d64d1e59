#pragma once

// The demo's picture: a pale relief map made in code, shown in the world window under the
// drawing, and the printed page that carries it with the drawing and both rulers.

#include <memory>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/Picture.h>
#include <string>
#include <worldgraph/VelGraph.h>

// The page's margin: the rulers and the drawing stand this far from its top-left corner.
constexpr double DemoPageMarginInches = 0.5;

// The relief map, a small bitmap the graph stretches over its home window.
std::unique_ptr<Platform::TBitmap> MakeDemoPicture();

// Puts the picture, while it holds a graphic, under the shapes and the application's drawing on
// every screen paint, stretched over the home window. Call it once OnPaint is set: it draws the
// picture first and then calls that drawing. The graph keeps a reference to the picture.
void PlaceDemoPicture(Velgraph::TVelWorldGraph &graph, const Platform::TPicture &picture);

// One PDF page, the screen's layout at the rulers' print scale: the picture (if it holds a
// graphic) stretched under the graph's drawing, both rulers beside it, and the picture once more
// at its own proportions below as a key. Raises the printer's exception when the file cannot be
// written; no job stays open.
void PrintDemo(Velgraph::TVelWorldGraph &graph, const Platform::TPicture &picture, const std::string &fileName);
