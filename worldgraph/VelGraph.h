#pragma once

// The world graph: a bevelled panel holding a world paint box between two rulers. Applications
// draw on it in world units; it keeps what they draw inside the visible world rectangle (the
// frame), zooms by rubber band with a history, measures distances and shows a crosshair.

#include <array>
#include <cstdint>
#include <memory>
#include <paintbox/VelPaintBoxOwner.h>
#include <paintbox/Velpaint.h>
#include <platform/controls/CustomPanel.h>
#include <platform/pictures/Picture.h>
#include <platform/rtl/Export.h>
#include <rulers/Pbrulers.h>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Velgraph {

using Pbrulers::TLengthUnits;
using Platform::TCanvas;
using Platform::TColor;
using Platform::TMouseEvent;
using Platform::TMouseMoveEvent;
using Platform::TNotifyEvent;
using Platform::TPenMode;
using Platform::TPenStyle;
using Platform::TPoint;
using Velpaint::TXIncrease;
using Velpaint::TYIncrease;

// A world point, X then Y. Left uninitialised by default so that the clipper's buffers cost
// nothing to set up; write `TWorldPoint p{}` for a zero point.
struct TWorldPoint {
  double X;
  double Y;
  friend constexpr bool operator==(const TWorldPoint &, const TWorldPoint &) = default;
};

// Every polygon of the graph lives in one of these, with a separate count of the points in use.
constexpr int MaxPolygonPoints = 1000;
using TWorldPointArray = std::array<TWorldPoint, MaxPolygonPoints>;

enum class THRulerPosition : std::uint8_t { hrpTop, hrpBottom, hrpHidden };
enum class TVRulerPosition : std::uint8_t { vrpLeft, vrpRight, vrpHidden };
using enum THRulerPosition;
using enum TVRulerPosition;

// The frame edge one clipping pass works against, with the whole frame.
enum class TEdgeKind : std::uint8_t { ekBottom, ekRight, ekTop, ekLeft };
using enum TEdgeKind;
struct TEdge {
  TEdgeKind Kind = ekLeft;
  double XMin = 0;
  double XMax = 0;
  double YMin = 0;
  double YMax = 0;
};

// The angle of the vector (DX, DY) in radians, 0 up to 2 pi; a zero component counts as 1e-10,
// so no vector lies exactly on an axis. NaN gives 0.
VELGRAPH_API double PolarAngle(double DX, double DY);
// Where the ray from the centre at angle T meets the ellipse of semi-axes A (along X) and B,
// relative to the centre.
VELGRAPH_API TWorldPoint EllipsePointAtAngle(double A, double B, double T);

class TShape;
enum class TShapeKind : std::uint8_t;

// One published property as the form designer stores it: Default is the text of the value a
// stored form leaves out, or null when the property is always stored.
struct TPublishedProperty {
  std::string_view Name;
  std::string_view Type;
  std::string_view Getter; // "platform": the inherited control accessor; "field": read directly
  std::string_view Setter;
  const char *Default;
};

class VELGRAPH_API TVelWorldGraph : public Platform::TCustomPanel, public Velpaint::IVelPaintBoxOwner {
public:
  // Creates the rulers and the paint box, sets the defaults and paints once. The owner becomes
  // the parent when it is a windowed control.
  explicit TVelWorldGraph(Platform::TComponent *AOwner);
  ~TVelWorldGraph() override;

  // The published properties in their declared order, with their stream defaults.
  static std::span<const TPublishedProperty> PublishedProperties();

  // Lays out the rulers and the paint box, establishes the mapping, draws the shapes, calls
  // OnPaint and shows the off-screen picture. Draws no bevel of its own.
  void Paint() override;
  void CMMouseEnter() override;
  void CMMouseLeave() override;
  // Leaving the drawing area takes the crosshair off, also when the pointer leaves the graph
  // straight from it and the graph itself never hears of it.
  void PaintBoxMouseLeft() override;

  // The frame: the world window shown, as the rulers hold it. Setting a bound does not
  // repaint; a proportional paint widens the window on one axis.
  double XMin() const { return FHRuler->XMin(); }
  double XMax() const { return FHRuler->XMax(); }
  double YMin() const { return FVRuler->YMin(); }
  double YMax() const { return FVRuler->YMax(); }
  void SetXMin(double v);
  void SetXMax(double v);
  void SetYMin(double v);
  void SetYMax(double v);
  bool Proportional() const { return FPaintBox->Proportional(); }
  void SetProportional(bool b) { FPaintBox->SetProportional(b); }
  TXIncrease XIncrease() const;
  void SetXIncrease(TXIncrease v);
  TYIncrease YIncrease() const;
  void SetYIncrease(TYIncrease v);

  // Published properties of the panel's own.
  TLengthUnits LengthUnits() const { return FLengthUnits; }
  // A physical scale turns Proportional off; paints when visible.
  void SetLengthUnits(TLengthUnits v);
  THRulerPosition HRulerPosition() const { return FHRulerPosition; }
  void SetHRulerPosition(THRulerPosition v);
  TVRulerPosition VRulerPosition() const { return FVRulerPosition; }
  void SetVRulerPosition(TVRulerPosition v);
  int HRulerDecimals() const { return FHRuler->Decimals(); }
  // Only the low byte reaches the ruler.
  void SetHRulerDecimals(int n);
  int VRulerDecimals() const { return FVRuler->Decimals(); }
  void SetVRulerDecimals(int n);
  TColor BackgroundColor() const { return FPaintBox->Color(); }
  // Always paints, also when the colour is unchanged.
  void SetBackgroundColor(TColor c);
  const Platform::TFont &HRulerFont() const { return *FHRulerFont; }
  void SetHRulerFont(const Platform::TFont &f);
  const Platform::TFont &VRulerFont() const { return *FVRulerFont; }
  void SetVRulerFont(const Platform::TFont &f);
  // The room left for drawing after the rulers; writing it has no effect.
  int AvailableWidth() const { return FPaintBox->Width(); }
  void SetAvailableWidth(int v) { FAvailableWidth = v; }
  int AvailableHeight() const { return FPaintBox->Height(); }
  void SetAvailableHeight(int v) { FAvailableHeight = v; }
  bool DetailedPosition() const { return FDetailedPosition; }
  // A plain field: clearing it leaves a crosshair on show where it is.
  void SetDetailedPosition(bool v) { FDetailedPosition = v; }
  int Version() const { return FVersion; }
  void SetVersion(int) { FVersion = 500; }
  bool InteractiveApplication() const override { return FInteractiveApplication; }
  void SetInteractiveApplication(bool v) { FInteractiveApplication = v; }

  // Fired only when assigned. The mouse events come from the paint box alone, with graph
  // client pixels, and with the paint box as Sender.
  TNotifyEvent OnPaint;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  Velpaint::TVelPaintBox *PaintBox() const { return FPaintBox; }
  Pbrulers::TVelPBHRuler *HRuler() const { return FHRuler; }
  Pbrulers::TVelPBVRuler *VRuler() const { return FVRuler; }
  TCanvas *DrawingCanvas() const { return FDrawingCanvas; }

  // Zoom history: up to 101 windows back. IncreaseZoom takes two opposite corners in any
  // order; once the history is full it forgets the oldest zoom (never the unzoomed window).
  void IncreaseZoom(double X1, double Y1, double X2, double Y2);
  void DecreaseZoom();
  void ResetZoom();
  // Steps forward again through the windows DecreaseZoom and ResetZoom left, until a new zoom
  // replaces them. False when there is none.
  bool RedoZoom();
  int ZoomLevel() const { return FZoomLevel; }
  bool ZoomedIn() const { return FZoomedIn; }
  bool CanRedoZoom() const { return FRedoCount > 0; }

  // Rubber-band selection in paint-box pixels, inverted on the screen; EndSelect zooms to the
  // band and is true when it did. Calls out of order draw nothing and zoom to nothing.
  void BeginSelect(int X, int Y);
  void ContinueSelect(int X, int Y);
  bool EndSelect(int X, int Y);
  // Distance measurement along a rubber line, in world units.
  void BeginDistance(int X, int Y, bool RepaintFirst);
  double ContinueDistance(int X, int Y);
  double EndDistance(int X, int Y, bool KeepLine);

  // Conversions through the mapping the last paint set up. Wxy gives (0, 0) while there is
  // no mapping.
  TWorldPoint Wxy(int X, int Y) const;
  TPoint PCxy(double X, double Y) const;
  // Moves the mouse pointer onto the world point.
  void SetCursorTo(double X, double Y);
  // Takes the crosshair off the screen.
  void RemoveDetailedPosition();

  // The paint box's mouse events, installed by the constructor.
  void DoOnMouseMove(Platform::TObject *Sender, Platform::TShiftState Shift, int X, int Y);
  void DoOnMouseDown(Platform::TObject *Sender, Platform::TMouseButton Button, Platform::TShiftState Shift, int X,
                     int Y);
  void DoOnMouseUp(Platform::TObject *Sender, Platform::TMouseButton Button, Platform::TShiftState Shift, int X, int Y);

  // Frame tests and line clipping.
  bool InFrame(double X, double Y) const;
  // Draws the visible part of the section FLineX1, FLineY1 - FLineX2, FLineY2 through the
  // paint box and leaves the paint box's pen at the section's end.
  void DrawLine();
  // Whether the section's line meets the frame line y = YMin (or YMax, x = XMin, x = XMax)
  // inside the frame; the crossing's free coordinate goes to the out argument.
  bool LineSectionInterceptsYMinLine(double &X);
  bool LineSectionInterceptsYMaxLine(double &X);
  bool LineSectionInterceptsXMinLine(double &Y);
  bool LineSectionInterceptsXMaxLine(double &Y);
  // The rectangle with these opposite corners shares a point with the frame.
  bool PartOfFrameShows(double X1, double Y1, double X2, double Y2) const;
  // The rectangle from lower-left (X1, Y1) to upper-right (X2, Y2) lies in the frame; the
  // corners are compared in the order given.
  bool AllOfFrameShows(double X1, double Y1, double X2, double Y2) const;

  // The polygon In[0..Count-1] clipped to the frame into Out[0..OutCount-1]. Counts above the
  // array's size are cut to it. A result of more points than the array holds is thinned by
  // dropping the vertices that change the figure least, so it always fits.
  void ClipPolygon(const TWorldPointArray &In, int Count, TWorldPointArray &Out, int &OutCount);

  // World drawing, clipped to the frame.
  void WorldMoveTo(double X, double Y);
  void WorldLineTo(double X, double Y);
  void WorldArc(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4);
  void WorldEllipse(double X1, double Y1, double X2, double Y2);
  void WorldQuad4(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4, TColor Color,
                  bool Outline);
  void WorldQuad8(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4, double X5,
                  double Y5, double X6, double Y6, double X7, double Y7, double X8, double Y8, TColor Color,
                  bool Outline);
  void WorldPolygon(std::uint16_t Count, const TWorldPointArray &Points, TColor OutlineColor, TColor FillColor,
                    bool Outline);
  // Markers: drawn whole when their centre lies in the frame; scaled with the drawing while
  // printing.
  void SquarePoint(int Size, double X, double Y, TColor Color);
  void TrianglePoint(int Size, double X, double Y, TColor Color);
  void CirclePoint(int Size, double X, double Y, TColor Color);
  void EmptySquarePoint(int Size, double X, double Y, TColor Color);
  void EmptyTrianglePoint(int Size, double X, double Y, TColor Color);
  void EmptyCirclePoint(int Size, double X, double Y, TColor Color);
  void CrossPoint(int Size, double X, double Y, TColor Color);
  void SetPen(TColor Color, TPenMode Mode, TPenStyle Style, int Width);
  void ResetPen();

  // A print job: BeginPrinting opens the printer's document and fixes the print scale (printer
  // pixels per graph pixel); the Print operations and the rulers' Print draw on the page in any
  // order; PrintUserGraphic repaints the drawing onto it and then the screen; EndPrinting writes
  // the document. Should opening the document or the drawing fail, printing is off again, the
  // screen drawing is back and a document BeginPrinting opened is dropped.
  void BeginPrinting();
  void EndPrinting();
  // Magnification 0 prints the drawing at the page-to-screen ratio. Without BeginPrinting the
  // print scale is fixed from the page first, so the drawing maps at a finite scale.
  void PrintUserGraphic(double Magnification);
  // Images at printer pixels (X, Y), scaled by Scale times the print scale; Scale 0 uses the
  // page-to-screen ratio. Null images print nothing.
  void PrintBitmap(Platform::TBitmap *Bitmap, int X, int Y, double Scale);
  void PrintPicture(const Platform::TPicture *Picture, int X, int Y, double Scale);
  // The graphic stretched over the home window as PrintUserGraphic with Magnification Scale
  // prints it, so that it lands under that drawing.
  void StretchPrintBitMap(const Platform::TGraphic *Graphic, double Scale);
  // On the screen, straight over the drawing: at its own size at the top-left corner, or
  // stretched over the home window as the screen shows it (the current paint then leaves the
  // off-screen picture where it is).
  void DrawBitMap(const Platform::TGraphic *Graphic);
  void StretchDrawBitMap(const Platform::TGraphic *Graphic);
  // Load any picture file into the graph's picture of that kind, and tell whether the file held
  // that kind. A missing file changes nothing; an unreadable one empties the picture.
  bool LoadBMP(const std::string &FileName);
  bool LoadWMF(const std::string &FileName);
  bool LoadJPeg(const std::string &FileName);
  // The graph's pictures, null until a load found its file; owned by the graph.
  Platform::TPicture *BmpPicture() const { return FBmpPicture.get(); }
  Platform::TPicture *WmfPicture() const { return FWmfPicture.get(); }
  Platform::TPicture *JpegPicture() const { return FJpegPicture.get(); }

  // Shapes formed point by point, drawn at every paint before OnPaint.
  // Adds an empty shape, makes it the current one and returns its 1-based number.
  int AddShape(TShapeKind Kind);
  // The current shape's first point. Does nothing while there is no shape.
  void BeginShape(double X, double Y);
  // Adds a point to the current shape; Close decides whether a polygon is drawn closed. False
  // for lines and ellipses (and when there is no shape), true for the other kinds.
  bool ContinueShape(double X, double Y, bool Close);
  int ShapeCount() const { return static_cast<int>(FShapes.size()); }
  // The shape of 1-based number n, or null.
  TShape *Shape(int n) const;

  // The zoom history, entry k the window left for level k + 1; entry 0 the unzoomed window.
  static constexpr int HistorySize = 101;
  std::array<double, HistorySize> FHistXMin{}, FHistXMax{}, FHistYMin{}, FHistYMax{};
  // The window of the last IncreaseZoom, ordered.
  double FNewXMin = 0, FNewXMax = 0, FNewYMin = 0, FNewYMax = 0;
  // Paint-box pixels of a selection or measurement: start, last drawn corner, accepted end.
  int FStartX = 0, FStartY = 0, FLastX = 0, FLastY = 0, FEndX = 0, FEndY = 0;
  TWorldPoint FDistStart{}, FDistEnd{};
  // The crosshair on show, or NoCross in both.
  static constexpr int NoCross = -9999;
  int FCrossX = NoCross, FCrossY = NoCross;
  // The last forwarded mouse event, in paint-box pixels and in world units.
  int FMouseX = 0, FMouseY = 0;
  TWorldPoint FMouseWorld{};
  // The current line section in world units (the graph's pen is at its start).
  double FLineX1 = 0, FLineY1 = 0, FLineX2 = 0, FLineY2 = 0;
  // Printing state: the markers read it, and Paint skips its layout while FPrinting is set.
  bool FPrinting = false;
  double FPrintScale = 0;
  double FPrintMagnification = 0;
  TCanvas *FSavedCanvas = nullptr;
  // Set by a drawing that puts a picture straight on the screen: the current Paint does not
  // copy the off-screen bitmap over it.
  bool FSkipBitmapCopy = false;
  // Ruler font size over the graph's Font size, captured at the first run-time paint.
  double FHRulerFontRatio = 0, FVRulerFontRatio = 0;

private:
  // The frame's bounds as read now, each axis ordered so that a reversed window still has an
  // inside.
  struct TFrame {
    double XMin, XMax, YMin, YMax;
  };
  TFrame Frame() const;
  // The section meets the frame line y = y inside the frame, at column X; or the line x = x,
  // at height Y.
  bool CrossesLevel(double y, double &X) const;
  bool CrossesUpright(double x, double &Y) const;
  // Work buffers of the polygon clipper, made once. A pass outputs at most half again as many
  // points as it reads (each run of outside points gives two crossings), so four passes over
  // MaxPolygonPoints stay within Capacity.
  struct TClipBuffers {
    static constexpr int Capacity = 5063;
    TWorldPoint First[Capacity];
    TWorldPoint Second[Capacity];
    // Scratch of the thinning of a result beyond MaxPolygonPoints.
    double Areas[Capacity];
    double Ranked[Capacity];
  };
  struct TWindow {
    double XMin, XMax, YMin, YMax;
  };

  Pbrulers::TVelPBHRuler *CreateHRuler();
  Pbrulers::TVelPBVRuler *CreateVRuler();
  Velpaint::TVelPaintBox *CreatePaintBox();
  // Stores a changed value and paints when visible.
  template <class T> void SetAndPaint(T &field, T v);
  // Records a mouse event of the paint box and gives its place in graph pixels.
  TPoint ForwardMouse(int X, int Y);
  void ChooseDrawingCanvas();
  void ApplyRulerFontSizes();
  void LayOut();
  void LayOutHRuler(int H);
  void LayOutVRuler(int W);
  void EstablishMapping();
  void ShowBitmap();
  // Printing helpers.
  double PageToScreenRatio() const;
  double PrintScaleForPage() const;
  double ImageScale(double Scale) const;
  void RestoreScreenDrawing();
  // The home window in paint-box pixels, through the screen's mapping or the printer's at
  // unit scale; the process-wide mapping is left as it was.
  Platform::TRect HomeRect(bool printerView);
  bool LoadPicture(std::unique_ptr<Platform::TPicture> &picture, const std::string &FileName,
                   bool (*isKind)(const Platform::TGraphic *));

  TWindow ShownWindow() const { return {XMin(), XMax(), YMin(), YMax()}; }
  void SetWindow(const TWindow &w);
  void SaveHistory(int level);
  TWindow History(int level) const;
  void ForgetOldestZoom();
  void PushRedo(const TWindow &w);
  // The outline of the rubber band from the start to a corner, drawn inverting.
  void DrawBand(int X, int Y);
  void DrawDistanceLine(int X, int Y);
  double MeasuredDistance() const;
  void DrawCross(int X, int Y);

  void DrawMarker(void (Velpaint::TVelPaintBox::*marker)(int, double, double, TColor), int Size, double X, double Y,
                  TColor Color);
  void DrawEllipseRing(double CX, double CY, double A, double B);
  void DrawShapes();
  TShape *CurrentShape() const;

  bool FZoomedIn = false;
  int FZoomLevel = 0;
  // Windows to step forward to, the next one last.
  std::array<TWindow, HistorySize> FRedo{};
  int FRedoCount = 0;
  // A band or a measuring line is on the screen (between Begin and End).
  bool FSelecting = false;
  bool FMeasuring = false;

  TCanvas *FDrawingCanvas = nullptr;
  Pbrulers::TVelPBHRuler *FHRuler = nullptr;
  Pbrulers::TVelPBVRuler *FVRuler = nullptr;
  Velpaint::TVelPaintBox *FPaintBox = nullptr;
  int FVersion = 0;
  TLengthUnits FLengthUnits = Pbrulers::luActualInches;
  THRulerPosition FHRulerPosition = hrpTop;
  TVRulerPosition FVRulerPosition = vrpLeft;
  std::unique_ptr<Platform::TFont> FHRulerFont, FVRulerFont;
  bool FCaptureFontRatios = false;
  int FAvailableWidth = 0, FAvailableHeight = 0;
  bool FDetailedPosition = false;
  bool FInteractiveApplication = false;
  std::vector<std::unique_ptr<TShape>> FShapes;
  int FCurrentShape = 0;
  std::unique_ptr<TClipBuffers> FClipBuffers;
  std::unique_ptr<Velpaint::TWPointArray> FPaintBoxPolygon;
  std::unique_ptr<Platform::TPicture> FBmpPicture, FWmfPicture, FJpegPicture;
  // BeginPrinting opened the printer's document and EndPrinting has not closed it yet.
  bool FOpenedDocument = false;
};

} // namespace Velgraph
