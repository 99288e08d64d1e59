// The panel as a form shows it: children laid out by ruler position, the window widened to
// equal scales, setters that paint or do not, the off-screen picture reaching the screen.

#include <gtest/gtest.h>

#include <memory>
#include <platform/controls/Form.h>
#include <wgraph/Wgraph.h>
#include <worldgraph/Shape.h>
#include <worldgraph/VelGraph.h>

using namespace Platform;
using namespace Velgraph;

namespace {

class Panel : public ::testing::Test {
protected:
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVelWorldGraph *Graph = nullptr;
  int Paints = 0;

  void SetUp() override {
    Form->SetBounds(0, 0, 400, 400);
    Graph = new TVelWorldGraph(Form.get());
  }
  void CountPaints() {
    Graph->OnPaint = [this](TObject *) { ++Paints; };
  }
  TRect Bounds(const TControl &c) const { return c.BoundsRect(); }
  TColor Screen(int x, int y) const { return PixelToColor(Form->Framebuffer().Surface().Row(y)[x]); }
  TColor Picture(int x, int y) const { return PixelToColor(Graph->PaintBox()->Bitmap->Surface().Row(y)[x]); }
};

} // namespace

TEST_F(Panel, ANewGraphIsLaidOutWithEqualScales) {
  const Velpaint::TVelPaintBox &box = *Graph->PaintBox();
  EXPECT_EQ(Graph->Parent(), Form.get());
  EXPECT_EQ(Bounds(*Graph), (TRect{10, 10, 310, 310}));
  // 8 % of 300 for the horizontal ruler on top, 7 % for the vertical one on the left.
  EXPECT_EQ(Bounds(*Graph->HRuler()), (TRect{21, 0, 300, 24}));
  EXPECT_EQ(Bounds(*Graph->VRuler()), (TRect{0, 24, 21, 300}));
  EXPECT_EQ(Bounds(box), (TRect{21, 24, 300, 300}));
  EXPECT_EQ(box.Bitmap->Width(), 279);
  EXPECT_EQ(box.Bitmap->Height(), 276);
  EXPECT_EQ(Graph->HRuler()->DivisionPlacement(), Pbrulers::dpBottom);
  EXPECT_EQ(Graph->VRuler()->DivisionPlacement(), Pbrulers::dpRight);
  EXPECT_EQ(Graph->HRuler()->Font().Name(), "arial");
  EXPECT_EQ(Graph->VRuler()->Font().Size(), 8);
  // 0..10 on both axes, widened in x to the box's aspect, about its centre.
  EXPECT_EQ(Graph->YMin(), 0);
  EXPECT_EQ(Graph->YMax(), 10);
  EXPECT_NEAR(Graph->XMax() - Graph->XMin(), 10.0 * 279 / 276, 1e-12);
  EXPECT_NEAR(Graph->XMin() + Graph->XMax(), 10, 1e-12);
  EXPECT_EQ(Graph->FHistXMin[0], Graph->XMin());
  EXPECT_EQ(Graph->FHistYMax[0], 10);
  EXPECT_EQ(Graph->LengthUnits(), Pbrulers::luCustom);
  EXPECT_EQ(Graph->Version(), 500);
  EXPECT_TRUE(Graph->Proportional());
  EXPECT_EQ(Graph->XIncrease(), Velpaint::LeftToRight);
  EXPECT_EQ(Graph->YIncrease(), Velpaint::BottomToTop);
  EXPECT_EQ(Graph->ZoomLevel(), 0);
  EXPECT_EQ(Graph->FCrossX, TVelWorldGraph::NoCross);
  EXPECT_EQ(Graph->BackgroundColor(), clWhite);
  // The mapping is the box's: the window's corners on its corners.
  EXPECT_EQ(Graph->PCxy(Graph->XMin(), Graph->YMax()), (TPoint{0, 0}));
  EXPECT_EQ(Graph->PCxy(Graph->XMax(), Graph->YMin()), (TPoint{279, 276}));
}

TEST_F(Panel, RulerPositions) {
  struct TCase {
    THRulerPosition H;
    TVRulerPosition V;
    TRect HRuler, VRuler, Box;
    bool HVisible, VVisible;
  } cases[] = {
      {hrpBottom, vrpRight, {0, 276, 279, 300}, {279, 0, 300, 276}, {0, 0, 279, 276}, true, true},
      {hrpHidden, vrpHidden, {}, {}, {0, 0, 300, 300}, false, false},
      {hrpTop, vrpLeft, {21, 0, 300, 24}, {0, 24, 21, 300}, {21, 24, 300, 300}, true, true},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(static_cast<int>(c.H));
    Graph->SetHRulerPosition(c.H);
    Graph->SetVRulerPosition(c.V);
    Graph->Paint(); // the layout settles on the paint after a change
    // A hidden ruler is only moved off the panel; its size stays what it was.
    if (c.HVisible)
      EXPECT_EQ(Bounds(*Graph->HRuler()), c.HRuler);
    else
      EXPECT_EQ(Graph->HRuler()->Top(), -50);
    if (c.VVisible)
      EXPECT_EQ(Bounds(*Graph->VRuler()), c.VRuler);
    else
      EXPECT_EQ(Graph->VRuler()->Left(), -50);
    EXPECT_EQ(Bounds(*Graph->PaintBox()), c.Box);
    EXPECT_EQ(Graph->HRuler()->Visible(), c.HVisible);
    EXPECT_EQ(Graph->VRuler()->Visible(), c.VVisible);
    EXPECT_EQ(Graph->AvailableWidth(), c.Box.Right - c.Box.Left);
    EXPECT_EQ(Graph->PaintBox()->Bitmap->Height(), c.Box.Bottom - c.Box.Top);
  }
}

TEST_F(Panel, WhichSettersPaint) {
  CountPaints();
  Graph->SetHRulerPosition(hrpTop);
  Graph->SetVRulerPosition(vrpLeft);
  EXPECT_EQ(Paints, 0);
  Graph->SetBackgroundColor(clWhite);
  EXPECT_EQ(Paints, 1);
  Graph->SetLengthUnits(Pbrulers::luActualMM);
  EXPECT_EQ(Paints, 2);
  EXPECT_FALSE(Graph->Proportional());
  EXPECT_EQ(Graph->HRuler()->LengthUnits(), Pbrulers::luActualMM);
  Graph->SetLengthUnits(Pbrulers::luCustom);
  EXPECT_FALSE(Graph->Proportional());
  Graph->SetXMin(-3); // the window does not paint by itself
  EXPECT_EQ(Paints, 3);
  EXPECT_EQ(Graph->XMin(), -3);
  Graph->SetVersion(7);
  EXPECT_EQ(Graph->Version(), 500);
  Graph->SetAvailableWidth(5);
  EXPECT_EQ(Graph->AvailableWidth(), Graph->PaintBox()->Width());
  Graph->SetHRulerDecimals(258); // the ruler keeps one byte
  EXPECT_EQ(Graph->HRulerDecimals(), 2);
}

TEST_F(Panel, TheOffScreenPictureReachesTheScreenOnlyThroughOnPaint) {
  Graph->SetProportional(false);
  Graph->AddShape(skLine);
  Graph->BeginShape(1, 5);
  Graph->ContinueShape(9, 5, false);
  Graph->Shape(1)->FPen.SetColor(clRed);
  Graph->Paint();
  const TPoint mid = Graph->PCxy(5, 5);
  const TPoint onForm = Graph->PaintBox()->ClientToForm(mid);
  EXPECT_EQ(Picture(mid.X, mid.Y), clRed);
  EXPECT_NE(Screen(onForm.X, onForm.Y), clRed);
  TColor seenInOnPaint = clBlack;
  Graph->OnPaint = [&](TObject *) {
    seenInOnPaint = Picture(mid.X, mid.Y); // shapes come first
    Graph->WorldMoveTo(5, 1);
    Graph->WorldLineTo(5, 9);
  };
  Graph->Paint();
  EXPECT_EQ(seenInOnPaint, clRed);
  EXPECT_EQ(Screen(onForm.X, onForm.Y), clBlack); // OnPaint's line over the shape
  EXPECT_EQ(Screen(onForm.X - 20, onForm.Y), clRed);
  // The shape gave the canvas its pen colour back.
  EXPECT_EQ(Graph->DrawingCanvas()->Pen().Color(), clBlack);
}

TEST_F(Panel, AnInteractiveGraphDrawsStraightOnTheScreen) {
  Graph->SetProportional(false);
  Graph->SetInteractiveApplication(true);
  Graph->OnPaint = [this](TObject *) {
    Graph->WorldMoveTo(5, 1);
    Graph->WorldLineTo(5, 9);
  };
  Graph->PaintBox()->Paint(); // the box takes its canvas from its owner when it paints
  Graph->Paint();
  // Graph and paint box agree on the screen canvas, and the line lands on the form with no copy.
  EXPECT_EQ(Graph->DrawingCanvas(), Graph->PaintBox()->Canvas());
  EXPECT_EQ(Graph->PaintBox()->DrawCanvas, Graph->PaintBox()->Canvas());
  const TPoint mid = Graph->PCxy(5, 5);
  const TPoint onForm = Graph->PaintBox()->ClientToForm(mid);
  EXPECT_EQ(Screen(onForm.X, onForm.Y), clBlack);
  EXPECT_NE(Picture(mid.X, mid.Y), clBlack);
}

TEST_F(Panel, RulerFontsFollowTheGraphFont) {
  Graph->Paint();
  Graph->Font().SetSize(16);
  Graph->Paint();
  EXPECT_EQ(Graph->HRulerFont().Size(), 16);
  EXPECT_EQ(Graph->HRuler()->Font().Size(), 16);
  EXPECT_EQ(Graph->VRuler()->Font().Size(), 16);
  Graph->Font().SetSize(0); // the default size, not a division by zero
  Graph->Paint();
  EXPECT_EQ(Graph->VRulerFont().Size(), 0);
}

TEST_F(Panel, InTheDesignerThePanelShowsItsColourAndNoDrawing) {
  CountPaints();
  Graph->SetColor(clYellow);
  Graph->SetDesigning(true);
  Graph->Paint();
  EXPECT_EQ(Paints, 0);
  EXPECT_TRUE(Graph->PaintBox()->RecalcOnPaint);
  const TPoint p = Graph->PaintBox()->ClientToForm({100, 100});
  EXPECT_EQ(Screen(p.X, p.Y), clYellow);
}
