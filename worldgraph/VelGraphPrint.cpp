// The world graph's print job, its pictures, and pictures drawn over the drawing.

#include <worldgraph/VelGraph.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <platform/controls/Screen.h>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/JpegImage.h>
#include <platform/pictures/Metafile.h>
#include <platform/printers/Printer.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Memory.h>
#include <platform/rtl/Rtl.h>
#include <platform/win32/Dib.h>
#include <wgraph/Wgraph.h>

namespace Velgraph {

using namespace Platform;

namespace {

int Pixels(double value) { return static_cast<int>(std::clamp<std::int64_t>(Round(value), INT_MIN, INT_MAX)); }

// The smaller of a / b and c / d in floating point. A side of no pixels sets no limit; with
// neither side left the quotient is Fallback, so no print scale is ever infinite or NaN.
double SmallerQuotient(int a, int b, int c, int d, double Fallback) {
  const double across = b > 0 ? static_cast<double>(a) / b : INFINITY;
  const double down = d > 0 ? static_cast<double>(c) / d : INFINITY;
  const double q = std::min(across, down);
  return std::isfinite(q) ? q : Fallback;
}

// The process-wide mapping, put back when a computation that set its own is done.
class TMappingKeeper {
public:
  TMappingKeeper() {
    for (std::size_t i = 0; i < RealFields.size(); ++i)
      FReals[i] = *RealFields[i];
    for (std::size_t i = 0; i < PixelFields.size(); ++i)
      FPixels[i] = *PixelFields[i];
  }
  ~TMappingKeeper() {
    for (std::size_t i = 0; i < RealFields.size(); ++i)
      *RealFields[i] = FReals[i];
    for (std::size_t i = 0; i < PixelFields.size(); ++i)
      *PixelFields[i] = FPixels[i];
  }
  TMappingKeeper(const TMappingKeeper &) = delete;
  TMappingKeeper &operator=(const TMappingKeeper &) = delete;

private:
  // Everything SetWorldWindow and SetPCWindow write.
  static constexpr std::array<double *, 8> RealFields{&Wgraph::WorldLeft,   &Wgraph::WorldRight, &Wgraph::WorldTop,
                                                      &Wgraph::WorldBottom, &Wgraph::aa,         &Wgraph::bb,
                                                      &Wgraph::cc,          &Wgraph::dd};
  static constexpr std::array<int *, 4> PixelFields{&Wgraph::PCLeft, &Wgraph::PCRight, &Wgraph::PCTop,
                                                    &Wgraph::PCBottom};
  std::array<double, RealFields.size()> FReals{};
  std::array<int, PixelFields.size()> FPixels{};
};

// A block of the run-time heap, zero-filled, freed when it goes out of scope.
struct TDibBlock {
  explicit TDibBlock(DWORD size) : Data(AllocMem(size)) {}
  ~TDibBlock() { FreeMem(Data); }
  TDibBlock(const TDibBlock &) = delete;
  TDibBlock &operator=(const TDibBlock &) = delete;
  void *Data;
};

bool IsBitmap(const TGraphic *graphic) { return dynamic_cast<const TBitmap *>(graphic) != nullptr; }

bool IsMetafile(const TGraphic *graphic) { return dynamic_cast<const TMetafile *>(graphic) != nullptr; }

bool IsJpegImage(const TGraphic *graphic) { return dynamic_cast<const TJPEGImage *>(graphic) != nullptr; }

} // namespace

double TVelWorldGraph::PageToScreenRatio() const {
  const TPrinter &printer = *Printer();
  const TDisplayMetrics &screen = Screen().Metrics();
  return SmallerQuotient(printer.PageWidth(), screen.Width, printer.PageHeight(), screen.Height, 1);
}

// A graph of no size has no proportion to keep: it prints at the page-to-screen ratio.
double TVelWorldGraph::PrintScaleForPage() const {
  const TPrinter &printer = *Printer();
  return SmallerQuotient(printer.PageWidth(), Width(), printer.PageHeight(), Height(), PageToScreenRatio());
}

double TVelWorldGraph::ImageScale(double Scale) const { return Scale == 0 ? PageToScreenRatio() : Scale * FPrintScale; }

// A document that cannot be opened leaves the graph as it was: idle, or in the job already open.
void TVelWorldGraph::BeginPrinting() {
  const bool wasPrinting = FPrinting;
  const double oldScale = FPrintScale;
  FPrinting = true;
  FPrintScale = PrintScaleForPage();
  try {
    Printer()->BeginDoc();
  } catch (...) {
    FPrinting = wasPrinting;
    FPrintScale = oldScale;
    throw;
  }
  FOpenedDocument = true;
}

void TVelWorldGraph::EndPrinting() {
  FPrinting = false;
  FOpenedDocument = false;
  Printer()->EndDoc();
}

void TVelWorldGraph::RestoreScreenDrawing() {
  FPrinting = false;
  FPaintBox->DrawCanvas = FSavedCanvas;
  ChooseDrawingCanvas();
}

void TVelWorldGraph::PrintUserGraphic(double Magnification) {
  // A print scale of 0 means no BeginPrinting fixed one; 0 would make the factor below NaN.
  if (!(FPrintScale > 0) || !std::isfinite(FPrintScale))
    FPrintScale = PrintScaleForPage();
  if (Magnification == 0)
    Magnification = PageToScreenRatio() / FPrintScale;
  FPrintMagnification = Magnification;
  FSavedCanvas = FPaintBox->DrawCanvas;
  FPaintBox->DrawCanvas = Printer()->Canvas();
  // Also without BeginPrinting: a paint that laid out the screen here would map the printer's
  // page with the screen's pixels.
  FPrinting = true;
  try {
    FPaintBox->SetPrintProportional(true, FPrintMagnification * FPrintScale);
    Paint();
  } catch (...) {
    RestoreScreenDrawing();
    EstablishMapping();
    if (FOpenedDocument && Printer()->Printing())
      Printer()->Abort();
    FOpenedDocument = false;
    throw;
  }
  RestoreScreenDrawing();
  SetProportional(true);
  Paint();
}

void TVelWorldGraph::PrintBitmap(TBitmap *Bitmap, int X, int Y, double Scale) {
  if (!Bitmap)
    return;
  const double S = ImageScale(Scale);
  const HBITMAP handle = Bitmap->Handle();
  DWORD infoSize = 0, imageSize = 0;
  GetDIBSizes(handle, infoSize, imageSize);
  // Declared in this order so that the bits go first, then the header, also on an exception.
  const TDibBlock header(infoSize);
  const TDibBlock bits(imageSize);
  if (!GetDIB(handle, Bitmap->Palette(), header.Data, bits.Data))
    throw EInvalidGraphic("PrintBitmap: the bitmap's pixels cannot be read");
  const auto *info = static_cast<const BITMAPINFO *>(header.Data);
  StretchDIBits(Printer()->Handle(), X, Y, Pixels(Bitmap->Width() * S), Pixels(Bitmap->Height() * S), 0, 0,
                info->bmiHeader.biWidth, info->bmiHeader.biHeight, bits.Data, info, DIB_RGB_COLORS, SRCCOPY);
}

void TVelWorldGraph::PrintPicture(const TPicture *Picture, int X, int Y, double Scale) {
  if (!Picture)
    return;
  TBitmap bitmap(Picture->Width(), Picture->Height());
  if (const TGraphic *graphic = Picture->Graphic())
    bitmap.Canvas()->Draw(0, 0, *graphic);
  PrintBitmap(&bitmap, X, Y, Scale);
}

TRect TVelWorldGraph::HomeRect(bool printerView) {
  const TMappingKeeper keeper;
  const auto mapHome = [this] {
    TRect r;
    Wgraph::WorldToPC(FHistXMin[0], FHistYMin[0], r.Left, r.Bottom);
    Wgraph::WorldToPC(FHistXMax[0], FHistYMax[0], r.Right, r.Top);
    return r;
  };
  if (!printerView) {
    EstablishMapping();
    return mapHome();
  }
  // PrintUserGraphic's view at unit scale; the box's own view and choice are put back after.
  Velpaint::TVelPaintBox &box = *FPaintBox;
  const double xMin = box.ViewXMin, xMax = box.ViewXMax, yMin = box.ViewYMin, yMax = box.ViewYMax;
  const bool proportional = box.Proportional();
  box.SetPrintProportional(true, 1);
  const TRect r = mapHome();
  box.SetPrintProportional(proportional, 1);
  box.ViewXMin = xMin;
  box.ViewXMax = xMax;
  box.ViewYMin = yMin;
  box.ViewYMax = yMax;
  return r;
}

void TVelWorldGraph::StretchPrintBitMap(const TGraphic *Graphic, double Scale) {
  if (!Graphic)
    return;
  const double S = ImageScale(Scale);
  const TRect home = HomeRect(true);
  Printer()->Canvas()->StretchDraw(
      {Pixels(home.Left * S), Pixels(home.Top * S), Pixels(home.Right * S), Pixels(home.Bottom * S)}, *Graphic);
}

void TVelWorldGraph::DrawBitMap(const TGraphic *Graphic) {
  if (Graphic)
    FPaintBox->Canvas()->Draw(0, 0, *Graphic);
}

void TVelWorldGraph::StretchDrawBitMap(const TGraphic *Graphic) {
  if (!Graphic)
    return;
  const TRect home = HomeRect(false);
  FSkipBitmapCopy = true;
  FPaintBox->Canvas()->StretchDraw(home, *Graphic);
}

bool TVelWorldGraph::LoadPicture(std::unique_ptr<TPicture> &picture, const std::string &FileName,
                                 bool (*isKind)(const TGraphic *)) {
  if (!FileExists(FileName))
    return false;
  if (!picture)
    picture = std::make_unique<TPicture>();
  try {
    picture->LoadFromFile(FileName);
  } catch (const EInvalidGraphic &) {
    picture->SetGraphic(nullptr);
  }
  return isKind(picture->Graphic());
}

bool TVelWorldGraph::LoadBMP(const std::string &FileName) { return LoadPicture(FBmpPicture, FileName, IsBitmap); }
bool TVelWorldGraph::LoadWMF(const std::string &FileName) { return LoadPicture(FWmfPicture, FileName, IsMetafile); }
bool TVelWorldGraph::LoadJPeg(const std::string &FileName) { return LoadPicture(FJpegPicture, FileName, IsJpegImage); }

} // namespace Velgraph
