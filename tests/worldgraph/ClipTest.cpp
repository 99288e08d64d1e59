#include "GraphFixture.h"

#include <cmath>
#include <limits>

using namespace GraphTest;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

class LineClip : public RecordedGraph {
protected:
  // One section drawn through the graph's pen, as WorldLineTo does.
  std::vector<TDrawnLine> Section(double x1, double y1, double x2, double y2) {
    Graph->WorldMoveTo(x1, y1);
    Device.Clear();
    Graph->WorldLineTo(x2, y2);
    return Lines();
  }
};

struct TSectionCase {
  const char *Name;
  double X1, Y1, X2, Y2;
  std::vector<TDrawnLine> Drawn; // in pixels, 100 per world unit, y down from 10
};

} // namespace

TEST_F(LineClip, SectionsDrawTheirVisiblePartOnly) {
  const TSectionCase cases[] = {
      {"inside", 1, 1, 3, 3, {{{100, 900}, {300, 700}}}},
      {"leaves through XMax", 5, 5, 15, 5, {{{500, 500}, {1000, 500}}}},
      {"enters through XMax", 15, 5, 5, 5, {{{500, 500}, {1000, 500}}}},
      {"crosses from XMin to XMax", -5, 5, 15, 5, {{{0, 500}, {1000, 500}}}},
      {"crosses YMax then XMin", -2, 5, 5, 12, {{{300, 0}, {0, 300}}}},
      {"outside", 20, 20, 30, 25, {}},
      // Through two corners: every test crosses, and the diagonal is drawn.
      {"diagonal through corners", -5, -5, 15, 15, {{{0, 1000}, {1000, 0}}}},
      {"diagonal backwards", 15, 15, -5, -5, {{{0, 1000}, {1000, 0}}}},
      // Starting on the border: the section is drawn to where it leaves, not to its start.
      {"starts on the bottom border", 5, 0, 15, 5, {{{500, 1000}, {1000, 750}}}},
      {"ends on the left border", -5, 5, 0, 5, {}},
      {"NaN start", NaN, 5, 5, 5, {}},
      {"infinite end", 5, 5, Inf, 5, {{{500, 500}, {1000, 500}}}},
      {"both infinite", -Inf, 5, Inf, 5, {{{0, 500}, {1000, 500}}}},
  };
  for (const TSectionCase &c : cases) {
    SCOPED_TRACE(c.Name);
    const std::vector<TDrawnLine> drawn = Section(c.X1, c.Y1, c.X2, c.Y2);
    // Zero-length lines change no pixel; only lines with extent are compared.
    std::vector<TDrawnLine> visible;
    for (const TDrawnLine &l : drawn)
      if (!(l.From == l.To))
        visible.push_back(l);
    EXPECT_EQ(visible, c.Drawn);
    EXPECT_EQ(Graph->FLineX1, c.X2);
    EXPECT_EQ(Recorder.PenPos(), Pixel(Graph->FLineX2, Graph->FLineY2));
  }
}

TEST_F(LineClip, AVerticalSectionIsTiltedAndItsEndStaysMoved) {
  EXPECT_EQ(Section(5, 5, 5, 20), (std::vector<TDrawnLine>{{{500, 500}, {500, 0}}}));
  EXPECT_EQ(Graph->FLineX2, 5 + 1e-7);
  EXPECT_EQ(Graph->FLineX1, 5); // the next section starts where it was asked to
  // The YMin test alone tilts a vertical section and writes the crossing even when it misses.
  Graph->FLineX1 = 5, Graph->FLineY1 = 5, Graph->FLineX2 = 5, Graph->FLineY2 = 20;
  double x = NaN;
  EXPECT_FALSE(Graph->LineSectionInterceptsYMinLine(x));
  EXPECT_EQ(Graph->FLineX2, 5 + 1e-7);
  EXPECT_NEAR(x, 5 - 1e-7 / 3, 1e-12);
}

TEST_F(LineClip, CrossingTestsOnTheirOwn) {
  // The YMax test on a vertical section, without the YMin test before it, finds the crossing
  // instead of dividing by zero.
  Graph->FLineX1 = 5, Graph->FLineY1 = 5, Graph->FLineX2 = 5, Graph->FLineY2 = 20;
  double x = NaN;
  EXPECT_TRUE(Graph->LineSectionInterceptsYMaxLine(x));
  EXPECT_EQ(x, 5);
  // A horizontal section leaves the out argument alone.
  Graph->FLineY2 = 5, Graph->FLineX2 = 15;
  x = 42;
  EXPECT_FALSE(Graph->LineSectionInterceptsYMinLine(x));
  EXPECT_EQ(x, 42);
  double y = 0;
  EXPECT_TRUE(Graph->LineSectionInterceptsXMaxLine(y));
  EXPECT_EQ(y, 5);
  // The crossing is written also when it lies outside the section.
  EXPECT_FALSE(Graph->LineSectionInterceptsXMinLine(y));
  EXPECT_EQ(y, 5);
}

TEST_F(LineClip, FarEndsCrossADeepZoomToThePixel) {
  struct TDeep {
    double X0, Y0, Width; // frame corner and size
  } frames[] = {{0, 0, 10}, {1000, 2000, 1e-3}, {-3e4, 5e3, 1e-6}};
  for (const TDeep &d : frames) {
    SCOPED_TRACE(d.Width);
    SetFrame(d.X0, d.X0 + d.Width, d.Y0, d.Y0 + d.Width);
    // Through an inner point, with ends 1e9 frames away on either side.
    const long double qx = d.X0 + 0.4L * d.Width, qy = d.Y0 + 0.6L * d.Width, far = 1e9L * d.Width;
    const double x1 = static_cast<double>(qx - far), y1 = static_cast<double>(qy - 0.7L * far);
    const double x2 = static_cast<double>(qx + far), y2 = static_cast<double>(qy + 0.7L * far);
    const std::vector<TDrawnLine> drawn = Section(x1, y1, x2, y2);
    ASSERT_EQ(drawn.size(), 1u);
    // The exact crossings of the line through the stored ends, with the left and top edges.
    const long double slope = (static_cast<long double>(y2) - y1) / (static_cast<long double>(x2) - x1);
    const long double yAtLeft = y1 + (d.X0 - static_cast<long double>(x1)) * slope;
    const long double xAtTop = x1 + (d.Y0 + static_cast<long double>(d.Width) - y1) / slope;
    const double pixelsPerUnit = 1000 / d.Width;
    const TDrawnLine &l = drawn[0];
    // Drawn from the top crossing (found first) to the left one.
    EXPECT_NEAR(l.From.X, static_cast<double>((xAtTop - d.X0) * pixelsPerUnit), 1);
    EXPECT_EQ(l.From.Y, 0);
    EXPECT_EQ(l.To.X, 0);
    EXPECT_NEAR(l.To.Y, static_cast<double>((d.Y0 + d.Width - yAtLeft) * pixelsPerUnit), 1);
  }
}

TEST_F(RecordedGraph, FrameTests) {
  const double above = std::nextafter(10.0, 20.0), below = std::nextafter(0.0, -1.0);
  EXPECT_TRUE(Graph->InFrame(0, 0) && Graph->InFrame(10, 0) && Graph->InFrame(10, 10) && Graph->InFrame(0, 10));
  EXPECT_FALSE(Graph->InFrame(above, 5) || Graph->InFrame(5, above) || Graph->InFrame(below, 5) ||
               Graph->InFrame(5, below) || Graph->InFrame(NaN, 5) || Graph->InFrame(5, NaN));

  struct TRectCase {
    double X1, Y1, X2, Y2;
    bool Part, All;
  } rects[] = {
      {12, 12, -2, -2, true, true},  // covers the frame, corners reversed (compared as passed)
      {10, 10, 20, 20, true, false}, // touches a corner
      {11, 0, 20, 10, false, false}, // beside the frame
      {0, 0, 10, 10, true, true},    // the frame itself
      {0, 0, 10, 11, true, false},
      {12, 5, 5, 8, true, true},   // compared as passed: reaches x = 12 but counts as inside
      {-5, 4, 15, 6, true, false}, // a band across
      {NaN, 0, 5, 5, false, false},
  };
  for (const TRectCase &r : rects) {
    SCOPED_TRACE(testing::Message() << r.X1 << "," << r.Y1 << " " << r.X2 << "," << r.Y2);
    EXPECT_EQ(Graph->PartOfFrameShows(r.X1, r.Y1, r.X2, r.Y2), r.Part);
    EXPECT_EQ(Graph->AllOfFrameShows(r.X1, r.Y1, r.X2, r.Y2), r.All);
  }
}

TEST_F(RecordedGraph, AReversedWindowStillHasAnInside) {
  // Visible rulers put a reversed range right when they paint; hidden ones keep it.
  Graph->SetHRulerPosition(hrpHidden);
  Graph->SetVRulerPosition(vrpHidden);
  SetFrame(10, 0, 10, 0);
  EXPECT_TRUE(Graph->InFrame(5, 5));
  EXPECT_FALSE(Graph->InFrame(11, 5));
  SetFrame(3, 3, 0, 10); // no width: only its line is inside
  EXPECT_TRUE(Graph->InFrame(3, 5));
  EXPECT_FALSE(Graph->InFrame(3.5, 5));
}
