// Printed files read back: PDF pages through pdftoppm, PNG pages through the bitmap loader.

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <platform/pictures/Bitmap.h>
#include <platform/printers/Printer.h>
#include <platform/win32/DeviceCaps.h>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace Platform;
namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class PrinterTest : public ::testing::Test {
protected:
  void SetUp() override {
    char name[] = "/tmp/velgraph-printer-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    FFolder = name;
  }
  void TearDown() override {
    FPrinter.Abort();
    fs::permissions(FFolder, fs::perms::owner_all);
    fs::remove_all(FFolder);
  }
  std::string File(const std::string &name) const { return (FFolder / name).string(); }
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(FFolder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // A small page at a low resolution, so that pages convert quickly: 197 x 157 pixels.
  void SmallPage(const std::string &name, TPrinterFormat format = pfPDF) {
    FPrinter.SetFileName(File(name));
    FPrinter.SetFormat(format);
    FPrinter.SetPaperSize(50, 40);
    FPrinter.SetResolution(100);
  }

  fs::path FFolder;
  TPrinter FPrinter;
};

// An RGB image read from a binary PPM.
struct TImage {
  int Width = 0;
  int Height = 0;
  std::vector<unsigned char> Rgb;
  TColor At(int x, int y) const {
    const unsigned char *p = &Rgb[(std::size_t(y) * Width + x) * 3];
    return RGB(p[0], p[1], p[2]);
  }
};

TImage PdfPage(const std::string &pdf, int page, int dpi) {
  const std::string prefix = pdf + "-page";
  const std::string command = "pdftoppm -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " +
                              std::to_string(page) + " -singlefile '" + pdf + "' '" + prefix + "'";
  TImage image;
  if (std::system(command.c_str()) != 0)
    return image;
  std::ifstream in(prefix + ".ppm", std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> image.Width >> image.Height >> maxValue;
  in.get();
  image.Rgb.resize(std::size_t(image.Width) * image.Height * 3);
  in.read(reinterpret_cast<char *>(image.Rgb.data()), static_cast<std::streamsize>(image.Rgb.size()));
  fs::remove(prefix + ".ppm");
  return image;
}

std::string Head(const std::string &file, std::size_t n) {
  std::ifstream in(file, std::ios::binary);
  std::string text(n, '\0');
  in.read(text.data(), static_cast<std::streamsize>(n));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

// The drawing every page test prints: a black box, a red line and a blue disc.
void DrawMarks(TCanvas &c, int page) {
  c.Brush().SetColor(clBlack);
  c.Rectangle(20, 20, 60, 50);
  c.Pen().SetColor(clRed);
  c.Pen().SetWidth(3);
  c.MoveTo(100, 30 + page * 10);
  c.LineTo(180, 30 + page * 10);
  c.Pen().SetWidth(1);
  c.Pen().SetColor(clBlue);
  c.Brush().SetColor(clBlue);
  c.Ellipse(120, 80, 160, 120);
}

void ExpectMarks(const TImage &image, int page) {
  ASSERT_EQ(image.Width, 197);
  ASSERT_EQ(image.Height, 157);
  EXPECT_EQ(image.At(40, 35), clBlack);
  EXPECT_EQ(image.At(21, 21), clBlack);
  EXPECT_EQ(image.At(18, 35), clWhite);
  EXPECT_EQ(image.At(62, 35), clWhite);
  EXPECT_EQ(image.At(140, 30 + page * 10), clRed);
  EXPECT_EQ(image.At(140, 36 + page * 10), clWhite);
  EXPECT_EQ(image.At(140, 100), clBlue);
  EXPECT_EQ(image.At(118, 100), clWhite);
  EXPECT_EQ(image.At(5, 150), clWhite);
}

TEST_F(PrinterTest, PdfPagesReadBackAsPixels) {
  SmallPage("marks.pdf");
  FPrinter.BeginDoc();
  EXPECT_EQ(FPrinter.PageWidth(), 197);
  EXPECT_EQ(FPrinter.PageHeight(), 157);
  DrawMarks(*FPrinter.Canvas(), 1);
  FPrinter.NewPage();
  DrawMarks(*FPrinter.Canvas(), 2);
  EXPECT_EQ(FPrinter.PageNumber(), 2);
  FPrinter.EndDoc();
  EXPECT_FALSE(FPrinter.Printing());
  EXPECT_EQ(Listing(), std::vector<std::string>{"marks.pdf"});
  ExpectMarks(PdfPage(File("marks.pdf"), 1, 100), 1);
  ExpectMarks(PdfPage(File("marks.pdf"), 2, 100), 2);
}

TEST_F(PrinterTest, PngPagesOneFileEach) {
  SmallPage("sheet.png", pfPNG);
  FPrinter.BeginDoc();
  DrawMarks(*FPrinter.Canvas(), 1);
  // On an image page the canvas reads its pixels back.
  EXPECT_EQ(FPrinter.Canvas()->Pixels(40, 35), clBlack);
  FPrinter.NewPage();
  DrawMarks(*FPrinter.Canvas(), 2);
  FPrinter.EndDoc();
  EXPECT_EQ(Listing(), (std::vector<std::string>{"sheet-1.png", "sheet-2.png"}));
  for (int page = 1; page <= 2; ++page) {
    TBitmap bitmap;
    bitmap.LoadFromPngFile(File("sheet-" + std::to_string(page) + ".png"));
    TImage image{bitmap.Width(), bitmap.Height(), {}};
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        for (int shift : {16, 8, 0})
          image.Rgb.push_back(static_cast<unsigned char>(bitmap.Surface().Row(y)[x] >> shift));
    ExpectMarks(image, page);
  }
  // A single page keeps the name as given.
  SmallPage("single.png", pfPNG);
  FPrinter.BeginDoc();
  FPrinter.EndDoc();
  EXPECT_TRUE(fs::exists(File("single.png")));
}

TEST_F(PrinterTest, PostScriptAndSvgFiles) {
  SmallPage("page.ps", pfPostScript);
  FPrinter.BeginDoc();
  DrawMarks(*FPrinter.Canvas(), 1);
  FPrinter.EndDoc();
  EXPECT_EQ(Head(File("page.ps"), 4), "%!PS");
  SmallPage("page.svg", pfSVG);
  FPrinter.BeginDoc();
  DrawMarks(*FPrinter.Canvas(), 1);
  FPrinter.Canvas()->TextOut(10, 100, "Label");
  FPrinter.EndDoc();
  EXPECT_NE(Head(File("page.svg"), 4096).find("<svg"), std::string::npos);
}

TEST_F(PrinterTest, DeviceCapsOfThePage) {
  struct TCase {
    double Width, Height;
    int Dpi;
    int Res[2], Size[2];
  };
  const TCase cases[] = {{210, 297, 600, {4961, 7016}, {210, 297}},
                         {210, 297, 300, {2480, 3508}, {210, 297}},
                         {215.9, 279.4, 72, {612, 792}, {216, 279}}};
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.Dpi);
    FPrinter.SetPaperSize(c.Width, c.Height);
    FPrinter.SetResolution(c.Dpi);
    FPrinter.SetFileName(File("caps.pdf"));
    // Between jobs and in one, the handle answers the same.
    for (bool printing : {false, true}) {
      if (printing)
        FPrinter.BeginDoc();
      const HDC dc = FPrinter.Handle();
      EXPECT_EQ(GetDeviceCaps(dc, HORZRES), c.Res[0]);
      EXPECT_EQ(GetDeviceCaps(dc, VERTRES), c.Res[1]);
      EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), c.Size[0]);
      EXPECT_EQ(GetDeviceCaps(dc, VERTSIZE), c.Size[1]);
      EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), c.Dpi);
      EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), c.Dpi);
      EXPECT_EQ(FPrinter.PageWidth(), c.Res[0]);
      EXPECT_EQ(FPrinter.PageHeight(), c.Res[1]);
      EXPECT_EQ(FPrinter.Canvas()->Font().PixelsPerInch(), printing ? c.Dpi : 96);
    }
    FPrinter.Abort();
  }
}

TEST_F(PrinterTest, DefaultsAndTheProcessPrinter) {
  TPrinter fresh;
  EXPECT_EQ(fresh.Format(), pfPDF);
  EXPECT_EQ(fresh.Resolution(), 600);
  EXPECT_EQ(fresh.PageWidth(), 4961);
  EXPECT_EQ(fresh.PageHeight(), 7016);
  EXPECT_EQ(Printer(), Printer());
  EXPECT_FALSE(Printer()->Printing());
}

TEST_F(PrinterTest, CallsOutOfOrder) {
  TCanvas *canvas = FPrinter.Canvas();
  // Outside a job the canvas has no device: it draws nothing and reads nothing.
  EXPECT_EQ(canvas->Device(), nullptr);
  canvas->Rectangle(0, 0, 10, 10);
  canvas->TextOut(0, 0, "nothing");
  EXPECT_EQ(canvas->Pixels(1, 1), -1);
  EXPECT_THROW(FPrinter.EndDoc(), EPrinter);
  EXPECT_THROW(FPrinter.NewPage(), EPrinter);
  FPrinter.Abort();
  EXPECT_TRUE(Listing().empty());

  SmallPage("twice.pdf");
  FPrinter.BeginDoc();
  DrawMarks(*canvas, 1);
  // A second BeginDoc and any change of the settings raise and leave the job as it was.
  EXPECT_THROW(FPrinter.BeginDoc(), EPrinter);
  EXPECT_THROW(FPrinter.SetFileName(File("other.pdf")), EPrinter);
  EXPECT_THROW(FPrinter.SetFormat(pfPNG), EPrinter);
  EXPECT_THROW(FPrinter.SetPaperSize(100, 100), EPrinter);
  EXPECT_THROW(FPrinter.SetResolution(300), EPrinter);
  EXPECT_TRUE(FPrinter.Printing());
  EXPECT_EQ(FPrinter.FileName(), File("twice.pdf"));
  EXPECT_EQ(FPrinter.Canvas(), canvas);
  FPrinter.EndDoc();
  ExpectMarks(PdfPage(File("twice.pdf"), 1, 100), 1);
  EXPECT_EQ(canvas->Device(), nullptr);

  EXPECT_THROW(FPrinter.SetPaperSize(0, 297), EPrinter);
  EXPECT_THROW(FPrinter.SetPaperSize(210, std::nan("")), EPrinter);
  EXPECT_THROW(FPrinter.SetResolution(71), EPrinter);
  EXPECT_THROW(FPrinter.SetResolution(9601), EPrinter);
  EXPECT_THROW(FPrinter.SetFormat(static_cast<TPrinterFormat>(9)), EPrinter);
  EXPECT_EQ(FPrinter.PaperWidth(), 50);
}

TEST_F(PrinterTest, AbortLeavesTheTargetAsItWas) {
  std::ofstream(File("keep.pdf")) << "old";
  SmallPage("keep.pdf");
  FPrinter.BeginDoc();
  DrawMarks(*FPrinter.Canvas(), 1);
  FPrinter.NewPage();
  FPrinter.Abort();
  EXPECT_FALSE(FPrinter.Printing());
  EXPECT_EQ(Listing(), std::vector<std::string>{"keep.pdf"});
  EXPECT_EQ(Head(File("keep.pdf"), 10), "old");
  SmallPage("pages.png", pfPNG);
  FPrinter.BeginDoc();
  FPrinter.NewPage();
  FPrinter.Abort();
  EXPECT_EQ(Listing(), std::vector<std::string>{"keep.pdf"});
}

// Every failure names the file and leaves no file behind.
void ExpectFailureNaming(TPrinter &printer, const std::string &file, const std::string &reason) {
  try {
    printer.BeginDoc();
    DrawMarks(*printer.Canvas(), 1);
    for (int i = 0; i < 20; ++i) {
      printer.Canvas()->TextOut(10, 10 + i, "Filling the page with text to write " + std::to_string(i));
      printer.NewPage();
    }
    printer.EndDoc();
    ADD_FAILURE() << "no exception";
  } catch (const EPrinter &e) {
    EXPECT_NE(e.Message().find("\"" + file + "\""), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find(reason), std::string::npos) << e.Message();
  }
  EXPECT_FALSE(printer.Printing());
  EXPECT_EQ(printer.Canvas()->Device(), nullptr);
}

TEST_F(PrinterTest, FilesThatCannotBeWritten) {
  const std::string missing = File("no/such/folder/out.pdf");
  SmallPage("no/such/folder/out.pdf");
  ExpectFailureNaming(FPrinter, missing, "No such file or directory");
  const std::string nul = File("bad") + std::string(1, '\0') + "name.pdf";
  FPrinter.SetFileName(nul);
  EXPECT_THROW(FPrinter.BeginDoc(), EPrinter);
  EXPECT_TRUE(Listing().empty());
}

// Runs the failing job in a child process set up by `prepare` (limits and users must not touch
// the test process) and exits 0 when it failed as ExpectFailureNaming wants, leaving no file.
template <class TPrepare>
void FailingChild(TPrepare prepare, TPrinter &printer, const std::string &target, const std::string &reason,
                  const fs::path &folder) {
  if (!prepare())
    std::_Exit(2);
  ExpectFailureNaming(printer, target, reason);
  // A folder the child cannot read is one it cannot have written to either.
  std::error_code unreadable;
  const bool left = !fs::is_empty(folder, unreadable) && !unreadable;
  std::_Exit(::testing::Test::HasFailure() || left ? 1 : 0);
}

TEST_F(PrinterTest, DiskFullDropsTheJob) {
  // A file size limit stands in for a full disk: writes past it fail with EFBIG.
  SmallPage("full.pdf");
  auto limitFileSize = [] {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 2000;
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
  };
  EXPECT_EXIT(FailingChild(limitFileSize, FPrinter, File("full.pdf"), "too large", FFolder),
              ::testing::ExitedWithCode(0), "");
}

TEST_F(PrinterTest, FolderWithoutPermission) {
  fs::create_directory(FFolder / "locked");
  fs::permissions(FFolder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  SmallPage("locked/out.pdf");
  // The superuser writes anywhere: the child drops to an ordinary user first.
  auto ordinaryUser = [] { return geteuid() != 0 || setuid(65534) == 0; };
  EXPECT_EXIT(FailingChild(ordinaryUser, FPrinter, File("locked/out.pdf"), "Permission denied", FFolder / "locked"),
              ::testing::ExitedWithCode(0), "");
}

} // namespace
