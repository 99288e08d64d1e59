// The graph driven as a user would drive it: pointer input through the headless host, the
// application's handlers calling the selection and distance operations, the window and the
// pixels on the screen checked after each step.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <platform/controls/Form.h>
#include <platform/host/HeadlessHost.h>
#include <platform/pictures/Bitmap.h>
#include <wgraph/Wgraph.h>
#include <worldgraph/VelGraph.h>

using namespace Platform;
using namespace Velgraph;

namespace {

bool SamePixels(const TBitmap &a, const TBitmap &b) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.Surface().Row(y), b.Surface().Row(y), sizeof(std::uint32_t) * a.Width()) != 0)
      return false;
  return true;
}

// A form with a graph at (10, 10), 300 x 300, whose handlers zoom by dragging with the left
// button and measure with the right one. Its OnPaint fills the drawing area with a pattern so
// that inverted pixels differ from every original.
class Session : public ::testing::Test {
protected:
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVelWorldGraph *Graph = nullptr;
  std::unique_ptr<THeadlessHost> Host;
  double Distance = -1;
  bool Zoomed = false;
  bool Dragging = false;

  void SetUp() override {
    Form->SetBounds(0, 0, 400, 400);
    Graph = new TVelWorldGraph(Form.get());
    // The constructor's proportional paint widened the window: ask for 0..10 again.
    Graph->SetProportional(false);
    Graph->SetXMin(0);
    Graph->SetXMax(10);
    Graph->SetYMin(0);
    Graph->SetYMax(10);
    Graph->OnPaint = [this](TObject *) {
      for (int i = 0; i < 10; ++i)
        Graph->WorldQuad4(i, 0, i + 1, 0, i + 1, 10, i, 10, RGB(20 * i, 200 - 10 * i, 90), false);
    };
    Graph->OnMouseDown = [this](TObject *, TMouseButton button, TShiftState, int, int) {
      Dragging = true;
      if (button == mbLeft)
        Graph->BeginSelect(Graph->FMouseX, Graph->FMouseY);
      else
        Graph->BeginDistance(Graph->FMouseX, Graph->FMouseY, false);
    };
    Graph->OnMouseMove = [this](TObject *, TShiftState shift, int, int) {
      if (!Dragging)
        return;
      if (shift.Contains(ssLeft))
        Graph->ContinueSelect(Graph->FMouseX, Graph->FMouseY);
      else
        Distance = Graph->ContinueDistance(Graph->FMouseX, Graph->FMouseY);
    };
    Graph->OnMouseUp = [this](TObject *, TMouseButton button, TShiftState, int, int) {
      Dragging = false;
      if (button == mbLeft)
        Zoomed = Graph->EndSelect(Graph->FMouseX, Graph->FMouseY);
      else
        Distance = Graph->EndDistance(0, 0, false);
    };
    Host = std::make_unique<THeadlessHost>(*Form);
    Host->ProcessPaints();
  }

  // Form pixels of a paint-box pixel.
  TPoint OnForm(int x, int y) const {
    return {Graph->Left() + Graph->PaintBox()->Left() + x, Graph->Top() + Graph->PaintBox()->Top() + y};
  }
  void Drag(TMouseButton button, TPoint from, TPoint to) {
    const TPoint a = OnForm(from.X, from.Y), b = OnForm(to.X, to.Y);
    Host->MouseMove(a.X, a.Y);
    Host->MouseDown(a.X, a.Y, button);
    Host->MouseMove((a.X + b.X) / 2, (a.Y + b.Y) / 2);
    Host->MouseMove(b.X, b.Y);
    Host->MouseUp(b.X, b.Y, button);
  }
  std::array<double, 4> Window() const { return {Graph->XMin(), Graph->XMax(), Graph->YMin(), Graph->YMax()}; }
  // The world point of a paint-box pixel on the unzoomed, non-proportional graph.
  double WorldX(int px) const { return px * 10.0 / Graph->PaintBox()->Width(); }
  double WorldY(int py) const { return 10 - py * 10.0 / Graph->PaintBox()->Height(); }
};

TEST_F(Session, ADraggedRectangleBecomesTheZoomWindowBothWays) {
  ASSERT_EQ(Window(), (std::array<double, 4>{0, 10, 0, 10}));
  Drag(mbLeft, {40, 50}, {120, 200});
  EXPECT_TRUE(Zoomed);
  EXPECT_EQ(Graph->ZoomLevel(), 1);
  EXPECT_TRUE(Graph->ZoomedIn());
  const std::array<double, 4> zoomed = Window();
  EXPECT_NEAR(zoomed[0], WorldX(40), 1e-12);
  EXPECT_NEAR(zoomed[1], WorldX(120), 1e-12);
  EXPECT_NEAR(zoomed[2], WorldY(200), 1e-12);
  EXPECT_NEAR(zoomed[3], WorldY(50), 1e-12);
  // Bottom-right to top-left, from the same start, gives the same window.
  Graph->ResetZoom();
  Drag(mbLeft, {120, 200}, {40, 50});
  EXPECT_EQ(Window(), zoomed);
  // A band of no width or no height is not a zoom.
  Drag(mbLeft, {30, 30}, {30, 90});
  EXPECT_FALSE(Zoomed);
  Drag(mbLeft, {30, 30}, {90, 30});
  EXPECT_FALSE(Zoomed);
  EXPECT_EQ(Window(), zoomed);
  EXPECT_EQ(Graph->ZoomLevel(), 1);
}

TEST_F(Session, TheBandInvertsTheScreenAndLeavesItAsItWas) {
  TBitmap before;
  before.Assign(Form->Framebuffer());
  const TPoint a = OnForm(30, 30), b = OnForm(90, 120);
  Host->MouseDown(a.X, a.Y);
  Host->MouseMove(b.X, b.Y, {ssLeft});
  const TPoint corner = OnForm(90, 70);
  const std::uint32_t original = before.Surface().Row(corner.Y)[corner.X];
  EXPECT_EQ(Form->Framebuffer().Surface().Row(corner.Y)[corner.X] & 0xFFFFFF, ~original & 0xFFFFFF);
  // Ending on the start column zooms to nothing and takes the band away.
  Host->MouseMove(a.X, b.Y, {ssLeft});
  Host->MouseUp(a.X, b.Y);
  EXPECT_FALSE(Zoomed);
  EXPECT_TRUE(SamePixels(Form->Framebuffer(), before));
}

TEST_F(Session, HistoryBackForwardAndReset) {
  Graph->IncreaseZoom(8, 9, 2, 1);
  EXPECT_EQ(Window(), (std::array<double, 4>{2, 8, 1, 9}));
  EXPECT_EQ(Graph->ZoomLevel(), 1);
  Graph->IncreaseZoom(3, 3, 4, 5);
  Graph->IncreaseZoom(3.5, 3.5, 3.75, 4);
  Graph->DecreaseZoom();
  EXPECT_EQ(Window(), (std::array<double, 4>{3, 4, 3, 5}));
  EXPECT_TRUE(Graph->RedoZoom());
  EXPECT_EQ(Window(), (std::array<double, 4>{3.5, 3.75, 3.5, 4}));
  EXPECT_FALSE(Graph->RedoZoom());
  EXPECT_EQ(Graph->ZoomLevel(), 3);
  Graph->ResetZoom();
  EXPECT_EQ(Window(), (std::array<double, 4>{0, 10, 0, 10}));
  EXPECT_EQ(Graph->ZoomLevel(), 0);
  EXPECT_FALSE(Graph->ZoomedIn());
  // Forward again through the levels the reset left, nearest first.
  EXPECT_TRUE(Graph->RedoZoom());
  EXPECT_EQ(Window(), (std::array<double, 4>{2, 8, 1, 9}));
  Graph->DecreaseZoom();
  Graph->DecreaseZoom(); // at level 0: nothing
  EXPECT_EQ(Graph->ZoomLevel(), 0);
  // A new zoom replaces the way forward.
  Graph->IncreaseZoom(1, 1, 2, 2);
  EXPECT_FALSE(Graph->CanRedoZoom());
  EXPECT_FALSE(Graph->RedoZoom());
}

TEST_F(Session, AFullHistoryForgetsItsOldestZoomButNeverHome) {
  for (int k = 1; k <= 150; ++k)
    Graph->IncreaseZoom(k, k, k + 10, k + 10);
  EXPECT_EQ(Graph->ZoomLevel(), 101);
  for (int i = 0; i < 100; ++i)
    Graph->DecreaseZoom();
  // The window before zoom 51, that is zoom 50's.
  EXPECT_EQ(Window(), (std::array<double, 4>{50, 60, 50, 60}));
  Graph->DecreaseZoom();
  EXPECT_EQ(Window(), (std::array<double, 4>{0, 10, 0, 10}));
  EXPECT_EQ(Graph->ZoomLevel(), 0);
  int forward = 0;
  while (Graph->RedoZoom())
    ++forward;
  EXPECT_EQ(forward, 101);
  EXPECT_EQ(Window(), (std::array<double, 4>{150, 160, 150, 160}));
}

TEST_F(Session, MeasuresAThreeFourFiveDistance) {
  // One world unit per pixel.
  const int w = Graph->PaintBox()->Width(), h = Graph->PaintBox()->Height();
  Graph->SetXMax(w);
  Graph->SetYMax(h);
  Graph->Paint();
  Drag(mbRight, {10, 100}, {13, 96});
  EXPECT_DOUBLE_EQ(Distance, 5);
  EXPECT_DOUBLE_EQ(Graph->EndDistance(0, 0, false), 5);
  // Right after BeginDistance, EndDistance measures to the end kept from before.
  Graph->BeginDistance(13, 100, false);
  EXPECT_DOUBLE_EQ(Graph->EndDistance(50, 50, false), 4);
}

TEST_F(Session, TheCrosshairFollowsThePointerAndLeavesNoTrace) {
  TBitmap before;
  before.Assign(Form->Framebuffer());
  Graph->SetDetailedPosition(true);
  const TPoint p = OnForm(50, 60), q = OnForm(80, 20);
  Host->MouseMove(p.X, p.Y);
  EXPECT_EQ(Graph->FCrossX, 50);
  EXPECT_EQ(Graph->FCrossY, 60);
  auto inverted = [&](int x, int y) {
    return (Form->Framebuffer().Surface().Row(y)[x] & 0xFFFFFF) == (~before.Surface().Row(y)[x] & 0xFFFFFF);
  };
  EXPECT_TRUE(inverted(OnForm(5, 60).X, p.Y));  // on its row
  EXPECT_TRUE(inverted(p.X, OnForm(0, 200).Y)); // on its column
  Host->MouseMove(q.X, q.Y);
  EXPECT_FALSE(inverted(OnForm(5, 60).X, p.Y)); // the old row is back
  EXPECT_TRUE(inverted(OnForm(5, 20).X, q.Y));
  // A repaint puts the crosshair back where it is stored.
  Graph->Paint();
  EXPECT_TRUE(inverted(OnForm(5, 20).X, q.Y));
  // Leaving the drawing area takes it away, whichever way the pointer goes: into the graph's
  // bare corner, or straight off the graph from the drawing area's far edge.
  Host->MouseMove(Graph->Left() + 3, Graph->Top() + 3);
  EXPECT_EQ(Graph->FCrossX, TVelWorldGraph::NoCross);
  EXPECT_TRUE(SamePixels(Form->Framebuffer(), before));
  const TPoint farEdge = OnForm(Graph->PaintBox()->Width() - 1, Graph->PaintBox()->Height() - 1);
  Host->MouseMove(farEdge.X, farEdge.Y);
  EXPECT_EQ(Graph->FCrossX, Graph->PaintBox()->Width() - 1);
  Host->MouseMove(farEdge.X + 1, farEdge.Y + 1);
  EXPECT_EQ(Graph->FCrossX, TVelWorldGraph::NoCross);
  EXPECT_TRUE(SamePixels(Form->Framebuffer(), before));
}

TEST_F(Session, MouseEventsReachTheApplicationInGraphPixels) {
  Graph->SetBounds(10, 10, 300, 300);
  std::vector<TPoint> seen;
  TObject *sender = nullptr;
  Graph->OnMouseMove = [&](TObject *s, TShiftState, int x, int y) {
    seen.push_back({x, y});
    sender = s;
  };
  const TPoint p = OnForm(10, 10);
  Host->MouseMove(p.X, p.Y);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], (TPoint{Graph->PaintBox()->Left() + 10, Graph->PaintBox()->Top() + 10}));
  EXPECT_EQ(sender, Graph->PaintBox());
  EXPECT_EQ(Graph->FMouseX, 10);
  EXPECT_NEAR(Graph->FMouseWorld.X, WorldX(10), 1e-12);
  // Over a ruler the application hears nothing.
  Host->MouseMove(Graph->Left() + 2, Graph->Top() + 2);
  EXPECT_EQ(seen.size(), 1u);
  // The pointer set on a world point lands on its pixel.
  const TWorldPoint w = Graph->Wxy(70, 90);
  Graph->SetCursorTo(w.X, w.Y);
  EXPECT_EQ(Host->CursorPos(), Graph->PaintBox()->ClientToScreen({70, 90}));
  EXPECT_EQ(seen.back(), (TPoint{Graph->PaintBox()->Left() + 70, Graph->PaintBox()->Top() + 90}));
}

TEST_F(Session, CallsOutOfOrderAreHarmless) {
  TBitmap before;
  before.Assign(Form->Framebuffer());
  EXPECT_FALSE(Graph->EndSelect(50, 50));
  Graph->ContinueSelect(60, 60);
  Graph->EndDistance(0, 0, false);
  Graph->EndDistance(0, 0, false);
  EXPECT_TRUE(SamePixels(Form->Framebuffer(), before));
  EXPECT_EQ(Graph->ZoomLevel(), 0);
  // Measuring, then ending twice: the line goes once and does not come back.
  Graph->BeginDistance(10, 10, false);
  Graph->ContinueDistance(60, 40);
  Graph->EndDistance(0, 0, false);
  Graph->EndDistance(0, 0, false);
  EXPECT_TRUE(SamePixels(Form->Framebuffer(), before));
}

TEST_F(Session, AGraphFreedInTheMiddleOfADragLeavesTheFormWorking) {
  const TPoint a = OnForm(30, 30), b = OnForm(90, 120);
  Host->MouseDown(a.X, a.Y);
  Host->MouseMove(b.X, b.Y, {ssLeft});
  delete Graph;
  Graph = nullptr;
  Host->MouseMove(a.X, a.Y, {ssLeft});
  Host->MouseUp(a.X, a.Y);
  EXPECT_GE(Host->ProcessPaints(), 1);
  EXPECT_EQ(Form->ControlCount(), 0);
}

} // namespace
