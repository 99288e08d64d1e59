#include <gtest/gtest.h>

#include <memory>
#include <paintbox/VelPaintBoxOwner.h>
#include <paintbox/Velpaint.h>
#include <platform/controls/Form.h>
#include <type_traits>
#include <wgraph/Wgraph.h>

using namespace Platform;
using namespace Velpaint;

namespace {

class PaintBoxView : public ::testing::Test {
protected:
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVelPaintBox *Box = new TVelPaintBox(Form.get());

  TPoint Pixel(double x, double y) {
    TPoint p;
    Wgraph::WorldToPC(x, y, p.X, p.Y);
    return p;
  }
};

} // namespace

// The drawing canvas may be the bitmap's, so the bitmap cannot be reset or replaced, only resized.
template <class T>
concept Resettable = requires(T &field) {
  field.reset();
};
using TBitmapField = decltype(TVelPaintBox::Bitmap);
static_assert(!std::is_assignable_v<TBitmapField &, std::unique_ptr<TBitmap>> &&
              !std::is_assignable_v<TBitmapField &, std::nullptr_t> && !Resettable<TBitmapField>);

TEST_F(PaintBoxView, NewBoxMapsItsWindowOntoItsPixels) {
  EXPECT_EQ(Box->Parent(), Form.get());
  EXPECT_EQ(Box->Color(), 0x808080);
  EXPECT_EQ(Box->BoundsRect(), (TRect{10, 10, 110, 110}));
  EXPECT_EQ(Box->Bitmap->Width(), 100);
  EXPECT_EQ(Box->Bitmap->Height(), 100);
  EXPECT_EQ(Box->DrawCanvas, Box->Bitmap->Canvas());
  EXPECT_TRUE(Box->Proportional());
  Box->Paint();
  EXPECT_EQ(Pixel(0, 0), (TPoint{0, 100}));
  EXPECT_EQ(Pixel(10, 10), (TPoint{100, 0}));
  const TWPoint w = Box->Wxy(50, 50);
  EXPECT_DOUBLE_EQ(w.X, 5);
  EXPECT_DOUBLE_EQ(w.Y, 5);
  EXPECT_EQ(Box->PCxy(2.5, 2.5), (TPoint{25, 75}));
}

TEST_F(PaintBoxView, WxyWithoutMappingGivesTheOrigin) {
  Wgraph::aa = 0;
  Wgraph::cc = 0;
  const TWPoint w = Box->Wxy(50, 50);
  EXPECT_EQ(w.X, 0);
  EXPECT_EQ(w.Y, 0);
}

TEST_F(PaintBoxView, ProportionalWidensOneAxisAboutItsCentre) {
  Box->SetWidth(200);
  Box->Paint();
  EXPECT_EQ(Box->ViewXMin, -5);
  EXPECT_EQ(Box->ViewXMax, 15);
  EXPECT_EQ(Box->ViewYMin, 0);
  EXPECT_EQ(Box->ViewYMax, 10);
  Box->SetBounds(0, 0, 100, 200);
  Box->Paint();
  EXPECT_EQ(Box->ViewXMin, 0);
  EXPECT_EQ(Box->ViewXMax, 10);
  EXPECT_EQ(Box->ViewYMin, -5);
  EXPECT_EQ(Box->ViewYMax, 15);
  // Equal world units per pixel on both axes.
  EXPECT_DOUBLE_EQ(Wgraph::aa, -Wgraph::cc);
}

TEST_F(PaintBoxView, WithoutProportionalTheViewIsTheAskedWindow) {
  Box->SetWidth(200);
  Box->SetProportional(false);
  EXPECT_EQ(Box->ViewXMin, 0);
  EXPECT_EQ(Box->ViewXMax, 10);
  EXPECT_DOUBLE_EQ(Wgraph::aa, 20);
  EXPECT_DOUBLE_EQ(Wgraph::cc, -10);
}

TEST_F(PaintBoxView, AxisDirections) {
  Box->XIncrease = RightToLeft;
  Box->Paint();
  EXPECT_EQ(Pixel(0, 0).X, 100);
  EXPECT_EQ(Pixel(10, 0).X, 0);
  Box->YIncrease = TopToBottom;
  Box->Paint();
  EXPECT_EQ(Pixel(0, 0).Y, 0);
  EXPECT_EQ(Pixel(0, 10).Y, 100);
}

TEST_F(PaintBoxView, ZoomOrdersItsCornersAndResetKeepsThem) {
  Box->Zoom(8, 9, 2, 1);
  EXPECT_TRUE(Box->Zoomed());
  EXPECT_EQ(Box->ZoomXMin(), 2);
  EXPECT_EQ(Box->ZoomXMax(), 8);
  EXPECT_EQ(Box->ZoomYMin(), 1);
  EXPECT_EQ(Box->ZoomYMax(), 9);
  // The 6 x 8 zoom window widens to 8 x 8 on the square box.
  EXPECT_EQ(Box->ViewXMin, 1);
  EXPECT_EQ(Box->ViewXMax, 9);
  EXPECT_EQ(Box->ViewYMax, 9);
  Box->SetXMax(20); // while zoomed the zoom window stays on show
  EXPECT_EQ(Box->ViewXMax, 9);
  Box->ResetZoom();
  EXPECT_FALSE(Box->Zoomed());
  EXPECT_EQ(Box->ZoomXMax(), 8);
  EXPECT_EQ(Box->ViewXMin, 0);
  EXPECT_EQ(Box->ViewXMax, 20);
}

TEST_F(PaintBoxView, SettersPaintOnlyOnChange) {
  Box->Paint();
  TCanvas *c = Box->Bitmap->Canvas();
  c->SetPixels(3, 3, clRed);
  Box->SetXMin(0); // unchanged: no paint, the pixel stays
  EXPECT_EQ(c->Pixels(3, 3), clRed);
  Box->SetXMin(1); // a paint clears the box with its colour
  EXPECT_EQ(c->Pixels(3, 3), 0x808080);
  EXPECT_EQ(Box->ViewXMin, 0.5); // 1..10 widened to 10 units about 5.5
  Box->SetYMax(12);
  EXPECT_EQ(Box->YMax(), 12);
}

TEST_F(PaintBoxView, WithoutRecalcOnPaintAPaintNeitherClearsNorMaps) {
  Box->Paint();
  const double aa = Wgraph::aa;
  Box->RecalcOnPaint = false;
  Box->Bitmap->Canvas()->SetPixels(3, 3, clRed);
  Box->SetWidth(50);
  Box->Paint();
  EXPECT_EQ(Box->Bitmap->Canvas()->Pixels(3, 3), clRed);
  EXPECT_EQ(Wgraph::aa, aa);
}

TEST_F(PaintBoxView, PrintFormScalesTheDeviceWindowAndClearsNothing) {
  Box->Paint();
  Box->Bitmap->Canvas()->SetPixels(3, 3, clRed);
  Box->SetPrintProportional(true, 4.5);
  EXPECT_EQ(Wgraph::PCRight, 450);
  EXPECT_EQ(Wgraph::PCTop, 450);
  EXPECT_EQ(Box->ViewXMin, 0);
  EXPECT_EQ(Box->ViewXMax, 10);
  EXPECT_EQ(Box->Bitmap->Canvas()->Pixels(3, 3), clRed);
  EXPECT_EQ(Pixel(10, 0), (TPoint{450, 450}));
}

TEST_F(PaintBoxView, DesignModeDrawsOnTheBoxItself) {
  Box->SetDesigning(true);
  Box->Paint();
  EXPECT_EQ(Box->DrawCanvas, Box->Canvas());
  Box->SetDesigning(false);
  Box->Paint();
  EXPECT_EQ(Box->DrawCanvas, Box->Bitmap->Canvas());
}

namespace {

// An owner that answers the paint box's question, as the graph does.
class TInteractiveOwner : public TForm, public IVelPaintBoxOwner {
public:
  TInteractiveOwner() : TForm(nullptr) {}
  bool InteractiveApplication() const override { return Interactive; }
  bool Interactive = true;
};

} // namespace

TEST(PaintBoxOwner, AnInteractiveOwnerHasTheBoxDrawOnItself) {
  TInteractiveOwner owner;
  auto *box = new TVelPaintBox(&owner);
  box->Paint();
  EXPECT_EQ(box->DrawCanvas, box->Canvas());
  owner.Interactive = false;
  box->Paint();
  EXPECT_EQ(box->DrawCanvas, box->Bitmap->Canvas());
  // Drawing goes where the owner said: here the clearing paint reached the bitmap.
  EXPECT_EQ(box->Bitmap->Canvas()->Pixels(0, 0), box->Color());
}

TEST_F(PaintBoxView, DegenerateWindowsAndBoxesStayFinite) {
  Box->SetXMax(0); // zero width
  EXPECT_EQ(Box->ViewXMin, 0);
  EXPECT_EQ(Box->ViewXMax, 0);
  EXPECT_EQ(Box->ViewYMax, 10);
  Box->SetXMax(10);
  Box->SetBounds(10, 10, 0, 0);
  Box->Paint();
  EXPECT_EQ(Box->ViewXMax, 10);
  EXPECT_EQ(Box->ViewYMax, 10);
  Box->SetYMin(std::numeric_limits<double>::quiet_NaN());
  TPoint p = Pixel(5, 5); // any mapping still yields pixels in range
  EXPECT_LE(std::abs(p.X), 32767);
  EXPECT_LE(std::abs(p.Y), 32767);
}
