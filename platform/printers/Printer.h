#pragma once

#include <memory>
#include <platform/graphics/Canvas.h>
#include <platform/rtl/Exceptions.h>
#include <platform/win32/Win32Types.h>
#include <string>

namespace Platform {

// A print job that could not be started, written or finished, or a call out of order. The
// message names the output file when there is one.
class EPrinter : public Exception {
public:
  using Exception::Exception;
};

// PDF and PostScript hold every page in one file. PNG, and SVG (whose documents have one page),
// write a file per page: the file name itself for a one-page document, otherwise the name with
// "-1", "-2", ... before its extension.
enum TPrinterFormat { pfPDF, pfPostScript, pfSVG, pfPNG };

// The printer: a document of pages drawn through Canvas() and written to a file in the chosen
// format. Settings apply at the next BeginDoc; changing them during a job raises EPrinter.
// Everything goes to temporary files in the target's folder, renamed over the targets only by
// EndDoc, so a failed or aborted job leaves the targets as they were.
class TPrinter {
public:
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter &) = delete;
  TPrinter &operator=(const TPrinter &) = delete;

  void SetFileName(const std::string &name);
  std::string FileName() const { return FFileName; }
  void SetFormat(TPrinterFormat format);
  TPrinterFormat Format() const { return FFormat; }
  // Millimetres; default A4, 210 x 297. Sizes below 1 mm or above 10 m raise EPrinter.
  void SetPaperSize(double widthMM, double heightMM);
  double PaperWidth() const { return FPaperWidth; }
  double PaperHeight() const { return FPaperHeight; }
  // Printer pixels per inch, 72..9600; default 600.
  void SetResolution(int dpi);
  int Resolution() const { return FResolution; }

  // Opens the document and its first page; raises EPrinter naming the file when it cannot be
  // created, and when a job is already open.
  void BeginDoc();
  // Finishes the document and renames it over the target; raises EPrinter without a job, and
  // when the file cannot be completed (the job is then dropped and no file is left).
  void EndDoc();
  // Ends the page and starts the next; raises EPrinter without a job.
  void NewPage();
  // Drops the job and its temporary files; nothing happens without a job.
  void Abort();
  bool Printing() const;
  // Pages begun in the current (or last) job.
  int PageNumber() const { return FPageNumber; }

  // The page's canvas, the same object for the printer's whole life. Between jobs it has no
  // device and draws nothing.
  TCanvas *Canvas() { return &FCanvas; }
  // The page in printer pixels, for the settings in force (the job's during a job).
  int PageWidth() const;
  int PageHeight() const;
  // The canvas's device context: GetDeviceCaps answers the page's size and resolution on it,
  // in a job or not.
  HDC Handle();

private:
  struct TJob;
  void CheckIdle(const char *what) const;
  void CheckPrinting(const char *what) const;
  void UpdateHandleCaps();

  std::string FFileName = "print.pdf";
  TPrinterFormat FFormat = pfPDF;
  double FPaperWidth = 210;
  double FPaperHeight = 297;
  int FResolution = 600;
  int FPageNumber = 0;
  std::unique_ptr<TJob> FJob;
  TCanvas FCanvas;
};

// The one printer of the process.
TPrinter *Printer();

} // namespace Platform
