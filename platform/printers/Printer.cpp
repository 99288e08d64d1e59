#include <platform/printers/Printer.h>

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <platform/graphics/cairo/CairoDevice.h>
#include <platform/rtl/Rtl.h>
#include <platform/rtl/SafeFile.h>
#include <platform/win32/HandleTable.h>
#include <vector>

namespace Platform {

namespace {

constexpr double PointsPerInch = 72;
constexpr double MillimetresPerInch = 25.4;
constexpr double MinPaperMM = 1;
constexpr double MaxPaperMM = 10000;
// Below 72 dpi a printer pixel would be larger than a point, and paper needs no coarser pages.
constexpr int MinResolution = 72;
constexpr int MaxResolution = 9600;
// cairo's image surfaces stop here.
constexpr int MaxImageSide = 32767;

int PagePixels(double mm, int dpi) { return static_cast<int>(Round(mm / MillimetresPerInch * dpi)); }

std::string Quoted(const std::string &name) { return "\"" + name + "\""; }

[[noreturn]] void Fail(const std::string &what) { throw EPrinter("Printer: " + what); }

[[noreturn]] void FailFile(const char *what, const std::string &name, int error) {
  Fail(std::string(what) + " " + Quoted(name) + ": " + std::strerror(error ? error : EIO));
}

cairo_status_t WriteToFile(void *closure, const unsigned char *data, unsigned int length) {
  return static_cast<TSafeFile *>(closure)->Write(data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

bool IsPagePerFile(TPrinterFormat format) { return format == pfPNG || format == pfSVG; }

// Page n of count: the name itself for a single page, otherwise "-n" before the extension.
std::string PageFileName(const std::string &target, int n, int count) {
  if (count == 1)
    return target;
  const std::size_t slash = target.find_last_of('/');
  std::size_t dot = target.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot == slash + 1)
    dot = target.size();
  return target.substr(0, dot) + "-" + std::to_string(n) + target.substr(dot);
}

} // namespace

// One document being printed: its files (one, or one per page), the page's surface and the device
// the canvas draws on.
struct TPrinter::TJob {
  TPrinterFormat Format = pfPDF;
  std::string Target;
  int Width = 0;
  int Height = 0;
  int Resolution = 0;
  std::vector<std::unique_ptr<TSafeFile>> Files;
  cairo_surface_t *Surface = nullptr;
  std::unique_ptr<TCairoDevice> Device;

  ~TJob() { DropSurface(); }

  void DropSurface() {
    Device.reset();
    if (Surface)
      cairo_surface_destroy(Surface);
    Surface = nullptr;
  }

  TSafeFile &NewFile() {
    auto file = std::make_unique<TSafeFile>(Target);
    if (file->Error())
      FailFile("cannot create", Target, file->Error());
    Files.push_back(std::move(file));
    return *Files.back();
  }

  double WidthPoints() const { return Width * PointsPerInch / Resolution; }
  double HeightPoints() const { return Height * PointsPerInch / Resolution; }

  // A surface on a new file for the document formats, or for one page of the others.
  void OpenSurface() {
    if (Format == pfPNG) {
      Surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, Width, Height);
    } else {
      TSafeFile &file = NewFile();
      switch (Format) {
      case pfPostScript:
        Surface = cairo_ps_surface_create_for_stream(WriteToFile, &file, WidthPoints(), HeightPoints());
        break;
      case pfSVG:
        Surface = cairo_svg_surface_create_for_stream(WriteToFile, &file, WidthPoints(), HeightPoints());
        cairo_svg_surface_set_document_unit(Surface, CAIRO_SVG_UNIT_PT);
        break;
      default: Surface = cairo_pdf_surface_create_for_stream(WriteToFile, &file, WidthPoints(), HeightPoints());
      }
      cairo_surface_set_fallback_resolution(Surface, Resolution, Resolution);
    }
    CheckSurface();
    cairo_t *cr = cairo_create(Surface);
    if (Format == pfPNG) {
      // Paper is white.
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_paint(cr);
    } else {
      cairo_scale(cr, PointsPerInch / Resolution, PointsPerInch / Resolution);
    }
    Device = std::make_unique<TCairoDevice>(cr, TRect{0, 0, Width, Height}, Resolution);
    cairo_destroy(cr);
  }

  void CheckSurface() {
    if (const cairo_status_t status = cairo_surface_status(Surface); status != CAIRO_STATUS_SUCCESS) {
      const int error = Files.empty() ? 0 : Files.back()->Error();
      if (error)
        FailFile("cannot write", Target, error);
      Fail("cannot make a page for " + Quoted(Target) + ": " + cairo_status_to_string(status));
    }
  }

  // Finishes the surface, writing what it holds to its file.
  void FinishSurface() {
    if (Format == pfPNG) {
      TSafeFile &file = NewFile();
      cairo_surface_flush(Surface);
      const cairo_status_t status = cairo_surface_write_to_png_stream(Surface, WriteToFile, &file);
      if (status != CAIRO_STATUS_SUCCESS)
        FailFile("cannot write", Target, file.Error());
    } else {
      cairo_surface_finish(Surface);
      CheckSurface();
    }
    DropSurface();
  }

  void NextPage() {
    if (IsPagePerFile(Format)) {
      FinishSurface();
      OpenSurface();
      return;
    }
    cairo_show_page(Device->Context());
    Device->ResetClip();
    CheckSurface();
  }

  void Finish() {
    FinishSurface();
    const int count = static_cast<int>(Files.size());
    for (int i = 0; i < count; ++i) {
      const std::string name = IsPagePerFile(Format) ? PageFileName(Target, i + 1, count) : Target;
      if (!Files[i]->Commit(name))
        FailFile("cannot write", name, Files[i]->Error());
    }
  }
};

TPrinter::TPrinter() = default;

TPrinter::~TPrinter() { Abort(); }

void TPrinter::CheckIdle(const char *what) const {
  if (FJob)
    Fail(std::string(what) + " while printing " + Quoted(FJob->Target));
}

void TPrinter::CheckPrinting(const char *what) const {
  if (!FJob)
    Fail(std::string(what) + " without BeginDoc");
}

void TPrinter::SetFileName(const std::string &name) {
  CheckIdle("cannot change the file name");
  FFileName = name;
}

void TPrinter::SetFormat(TPrinterFormat format) {
  CheckIdle("cannot change the format");
  if (format < pfPDF || format > pfPNG)
    Fail("unknown format " + std::to_string(static_cast<int>(format)));
  FFormat = format;
}

void TPrinter::SetPaperSize(double widthMM, double heightMM) {
  CheckIdle("cannot change the paper size");
  auto valid = [](double mm) { return std::isfinite(mm) && mm >= MinPaperMM && mm <= MaxPaperMM; };
  if (!valid(widthMM) || !valid(heightMM))
    Fail("paper size " + FloatToStrF(widthMM, ffGeneral, 15, 0) + " x " + FloatToStrF(heightMM, ffGeneral, 15, 0) +
         " mm is outside 1 mm to 10 m");
  FPaperWidth = widthMM;
  FPaperHeight = heightMM;
  UpdateHandleCaps();
}

void TPrinter::SetResolution(int dpi) {
  CheckIdle("cannot change the resolution");
  if (dpi < MinResolution || dpi > MaxResolution)
    Fail("resolution " + std::to_string(dpi) + " dpi is outside 72 to 9600");
  FResolution = dpi;
  UpdateHandleCaps();
}

int TPrinter::PageWidth() const { return FJob ? FJob->Width : PagePixels(FPaperWidth, FResolution); }
int TPrinter::PageHeight() const { return FJob ? FJob->Height : PagePixels(FPaperHeight, FResolution); }

bool TPrinter::Printing() const { return FJob != nullptr; }

void TPrinter::BeginDoc() {
  CheckIdle("BeginDoc");
  auto job = std::make_unique<TJob>();
  job->Format = FFormat;
  job->Target = FFileName;
  job->Width = std::max(1, PageWidth());
  job->Height = std::max(1, PageHeight());
  job->Resolution = FResolution;
  if (FFormat == pfPNG && (job->Width > MaxImageSide || job->Height > MaxImageSide))
    Fail("a page of " + std::to_string(job->Width) + " x " + std::to_string(job->Height) + " pixels for " +
         Quoted(FFileName) + " is too large for PNG; lower the resolution");
  job->OpenSurface();
  FJob = std::move(job);
  FPageNumber = 1;
  FCanvas.SetDevice(FJob->Device.get());
}

void TPrinter::NewPage() {
  CheckPrinting("NewPage");
  FCanvas.SetDevice(nullptr);
  try {
    FJob->NextPage();
  } catch (...) {
    Abort();
    throw;
  }
  ++FPageNumber;
  FCanvas.SetDevice(FJob->Device.get());
}

void TPrinter::EndDoc() {
  CheckPrinting("EndDoc");
  FCanvas.SetDevice(nullptr);
  std::unique_ptr<TJob> job = std::move(FJob);
  job->Finish();
}

void TPrinter::Abort() {
  FCanvas.SetDevice(nullptr);
  FJob.reset();
}

HDC TPrinter::Handle() {
  UpdateHandleCaps();
  return FCanvas.Handle();
}

void TPrinter::UpdateHandleCaps() {
  if (HandleTable::TDCObject *context = HandleTable::FindDC(FCanvas.Handle())) {
    context->PageWidth = PagePixels(FPaperWidth, FResolution);
    context->PageHeight = PagePixels(FPaperHeight, FResolution);
    context->PagePixelsPerInch = FResolution;
  }
}

TPrinter *Printer() {
  // Made on first use and never destroyed, so that it outlives every static that prints; a job
  // still open when the process exits is dropped, leaving no temporary file.
  static TPrinter *const printer = [] {
    auto *p = new TPrinter;
    std::atexit([] { Printer()->Abort(); });
    return p;
  }();
  return printer;
}

} // namespace Platform
