// Metafiles written record by record and played onto bitmaps: the pixels a canvas would draw,
// mapping modes, objects, state, clipping and bitmaps, and bad files refused saying why.

#include <gtest/gtest.h>

#include "MetafileBuilder.h"
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/Metafile.h>
#include <platform/pictures/Picture.h>
#include <platform/rtl/Exceptions.h>
#include <sstream>
#include <string>
#include <support/TestFiles.h>

using namespace Platform;
using namespace MetafileBuilder;
using namespace Platform::Emf;

namespace {

constexpr int Width = 48, Height = 40;
constexpr std::int64_t Stock = StockObjectFlag;

// Two points of 16 bits packed as the 16-bit records hold them.
std::int32_t Pair(int x, int y) { return static_cast<std::int32_t>((x & 0xFFFF) | (y & 0xFFFF) << 16); }

std::unique_ptr<TMetafile> Loaded(const TBytes &bytes) {
  auto metafile = std::make_unique<TMetafile>();
  metafile->LoadFromMemory(bytes.data(), bytes.size());
  return metafile;
}

// The metafile drawn at its own size on a white bitmap of the given size.
void Play(const TBytes &bytes, TBitmap &bitmap, int width = Width, int height = Height, TPoint at = {}) {
  TMetafile metafile;
  metafile.LoadFromMemory(bytes.data(), bytes.size());
  bitmap.SetSize(width, height);
  bitmap.Canvas()->Draw(at.X, at.Y, metafile);
}

std::uint32_t Pixel(const TBitmap &bitmap, int x, int y) { return bitmap.Surface().Row(y)[x] & 0xFFFFFF; }

// The number of pixels of `a` that differ from those of `b` moved by (dx, dy).
int Differences(const TBitmap &a, const TBitmap &b, int dx = 0, int dy = 0) {
  int count = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      count += Pixel(a, x, y) != Pixel(b, x + dx, y + dy);
  return count;
}

struct TOneToOne {
  const char *Name;
  std::function<void(TCanvas &)> Direct;
  std::function<void(TEmf &)> Records;
};

const std::vector<TOneToOne> &OneToOneCases() {
  static const std::vector<TOneToOne> cases = {
      {"wide pen and a hatched brush",
       [](TCanvas &c) {
         c.Pen().SetWidth(3);
         c.Pen().SetColor(clNavy);
         c.Brush().SetColor(clRed);
         c.Brush().SetStyle(bsCross);
         c.Rectangle(4, 5, 30, 25);
       },
       [](TEmf &e) {
         e.Add(EMR_CREATEPEN, {1, Gdi::PS_SOLID, 3, 0, clNavy});
         e.Add(EMR_SELECTOBJECT, {1});
         e.Add(EMR_CREATEBRUSHINDIRECT, {2, Gdi::BS_HATCHED, clRed, Gdi::HS_CROSS});
         e.Add(EMR_SELECTOBJECT, {2});
         e.Add(EMR_RECTANGLE, {4, 5, 30, 25});
       }},
      {"lines continuing from the pen position and a 16-bit polyline",
       [](TCanvas &c) {
         c.MoveTo(2, 2);
         c.LineTo(40, 10);
         c.LineTo(5, 30);
         const TPoint points[] = {{1, 38}, {20, 20}, {39, 38}};
         c.Polyline(points);
       },
       [](TEmf &e) {
         // A record of a type nobody knows is passed over.
         e.Add(9999, {1, 2, 3});
         e.Add(EMR_MOVETOEX, {2, 2});
         e.Add(EMR_LINETO, {40, 10});
         e.Add(EMR_LINETO, {5, 30});
         e.Add(EMR_POLYLINE16, {0, 0, 0, 0, 3, Pair(1, 38), Pair(20, 20), Pair(39, 38)});
       }},
      {"dashed ellipse and arc",
       [](TCanvas &c) {
         c.Pen().SetStyle(psDash);
         c.Pen().SetColor(clGreen);
         c.Ellipse(3, 3, 30, 20);
         c.Arc(5, 22, 40, 39, 40, 22, 5, 39);
       },
       [](TEmf &e) {
         e.Add(EMR_CREATEPEN, {1, Gdi::PS_DASH, 1, 0, clGreen});
         e.Add(EMR_SELECTOBJECT, {1});
         e.Add(EMR_ELLIPSE, {3, 3, 30, 20});
         e.Add(EMR_ARC, {5, 22, 40, 39, 40, 22, 5, 39});
       }},
      {"xor pen over a black fill, hollow polygon",
       [](TCanvas &c) {
         c.Pen().SetStyle(psClear);
         c.Brush().SetColor(clBlack);
         c.Rectangle(0, 0, 24, 40);
         c.Pen().SetStyle(psSolid);
         c.Pen().SetMode(pmXor);
         c.Pen().SetColor(clWhite);
         c.Brush().SetStyle(bsClear);
         const TPoint star[] = {{24, 1}, {30, 36}, {2, 12}, {46, 12}, {17, 38}};
         c.Polygon(star);
       },
       [](TEmf &e) {
         e.Add(EMR_SELECTOBJECT, {Stock | Gdi::NULL_PEN});
         e.Add(EMR_SELECTOBJECT, {Stock | Gdi::BLACK_BRUSH});
         e.Add(EMR_RECTANGLE, {0, 0, 24, 40});
         e.Add(EMR_SELECTOBJECT, {Stock | Gdi::WHITE_PEN});
         e.Add(EMR_SELECTOBJECT, {Stock | Gdi::NULL_BRUSH});
         e.Add(EMR_SETROP2, {Gdi::R2_XORPEN});
         e.Add(EMR_POLYGON, {0, 0, 0, 0, 5, 24, 1, 30, 36, 2, 12, 46, 12, 17, 38});
       }},
  };
  return cases;
}

} // namespace

TEST(Metafile, RecordsOfADrawingPlayBackToItsPixels) {
  for (const TOneToOne &c : OneToOneCases()) {
    SCOPED_TRACE(c.Name);
    TBitmap direct(Width, Height), played;
    c.Direct(*direct.Canvas());
    TEmf emf(Width, Height);
    c.Records(emf);
    Play(emf.Finish(), played);
    EXPECT_EQ(Differences(direct, played), 0);
    // Drawn further in, the same pixels move with it (by whole hatch cells, which stay anchored
    // to the device).
    TBitmap shifted;
    Play(emf.Finish(), shifted, Width + 16, Height + 8, {16, 8});
    EXPECT_EQ(Differences(direct, shifted, 16, 8), 0);
  }
}

TEST(Metafile, SizesComeFromTheFrameOrTheBoxAtScreenResolution) {
  EXPECT_EQ(Loaded(TEmf(48, 40).Finish())->Width(), 48);
  const TBytes bytes = TEmf(48, 40).Finish();
  std::istringstream stream(std::string(bytes.begin(), bytes.end()));
  TMetafile streamed;
  streamed.LoadFromStream(stream);
  EXPECT_EQ(streamed.Height(), 40);
  // One inch by half an inch at 96 pixels per inch.
  const auto wmf = Loaded(TWmf(1440, 720, 1440).Finish());
  EXPECT_EQ(wmf->Width(), 96);
  EXPECT_EQ(wmf->Height(), 48);
  EXPECT_FALSE(wmf->Enhanced());
}

TEST(Metafile, MappingPlacesLogicalUnitsOnTheTarget) {
  struct TCase {
    const char *Name;
    TBytes Bytes;
    TRect Expected; // where the black fill lands on a 100 x 100 target
  };
  const TCase cases[] = {
      {"placeable box of 1000 units stretched to 100 pixels",
       TWmf(1000, 1000, 1000)
           .Add(Wmf::META_CREATEBRUSHINDIRECT, {Gdi::BS_SOLID, 0, 0, 0})
           .Add(Wmf::META_SELECTOBJECT, {0})
           .Add(Wmf::META_CREATEPENINDIRECT, {Gdi::PS_NULL, 0, 0, 0, 0})
           .Add(Wmf::META_SELECTOBJECT, {1})
           .Add(Wmf::META_RECTANGLE, {600, 500, 200, 100})
           .Finish(),
       {10, 20, 50, 60}},
      {"window origin moved by the records",
       TWmf(1000, 1000, 1000)
           .Add(Wmf::META_SETWINDOWORG, {-100, -200})
           .Add(Wmf::META_CREATEBRUSHINDIRECT, {Gdi::BS_SOLID, 0, 0, 0})
           .Add(Wmf::META_SELECTOBJECT, {0})
           .Add(Wmf::META_RECTANGLE, {600, 500, 200, 100})
           .Finish(),
       {30, 30, 70, 70}},
      {"objects of a Windows metafile take the lowest free slot",
       TWmf(1000, 1000, 1000)
           .Add(Wmf::META_CREATEBRUSHINDIRECT, {Gdi::BS_SOLID, 0xFFFF, 0x00FF, 0})
           .Add(Wmf::META_CREATEPENINDIRECT, {Gdi::PS_NULL, 0, 0, 0, 0})
           .Add(Wmf::META_DELETEOBJECT, {0})
           .Add(Wmf::META_CREATEBRUSHINDIRECT, {Gdi::BS_SOLID, 0, 0, 0})
           .Add(Wmf::META_SELECTOBJECT, {0})
           .Add(Wmf::META_SELECTOBJECT, {1})
           .Add(Wmf::META_RECTANGLE, {600, 500, 200, 100})
           .Finish(),
       {10, 20, 50, 60}},
      {"anisotropic mapping with y up",
       TEmf(100, 100)
           .Add(EMR_SETMAPMODE, {Gdi::MM_ANISOTROPIC})
           .Add(EMR_SETWINDOWEXTEX, {200, 200})
           .Add(EMR_SETVIEWPORTEXTEX, {100, -100})
           .Add(EMR_SETVIEWPORTORGEX, {0, 100})
           .Add(EMR_SELECTOBJECT, {Stock | Gdi::BLACK_BRUSH})
           .Add(EMR_SELECTOBJECT, {Stock | Gdi::NULL_PEN})
           .Add(EMR_RECTANGLE, {20, 20, 60, 100})
           .Finish(),
       {10, 50, 30, 90}},
      {"world transform scaling by 2 and moving by 5",
       TEmf(100, 100)
           .Add(EMR_SETWORLDTRANSFORM, {0x40000000, 0, 0, 0x40000000, 0x40A00000, 0x40A00000})
           .Add(EMR_SELECTOBJECT, {Stock | Gdi::BLACK_BRUSH})
           .Add(EMR_SELECTOBJECT, {Stock | Gdi::NULL_PEN})
           .Add(EMR_RECTANGLE, {0, 0, 10, 10})
           .Finish(),
       {5, 5, 25, 25}},
      {"state restored: brush and window origin of the saved level",
       TEmf(100, 100)
           .Add(EMR_SELECTOBJECT, {Stock | Gdi::BLACK_BRUSH})
           .Add(EMR_SELECTOBJECT, {Stock | Gdi::NULL_PEN})
           .Add(EMR_SAVEDC, {})
           .Add(EMR_SELECTOBJECT, {Stock | Gdi::WHITE_BRUSH})
           .Add(EMR_SETWINDOWORGEX, {-50, -50})
           .Add(EMR_RESTOREDC, {-1})
           .Add(EMR_RECTANGLE, {40, 40, 60, 60})
           .Finish(),
       {40, 40, 60, 60}},
      {"a deleted brush stays selected, a never created one is ignored",
       TEmf(100, 100)
           .Add(EMR_CREATEBRUSHINDIRECT, {1, Gdi::BS_SOLID, 0, 0})
           .Add(EMR_SELECTOBJECT, {1})
           .Add(EMR_DELETEOBJECT, {1})
           .Add(EMR_SELECTOBJECT, {7})
           .Add(EMR_SELECTOBJECT, {Stock | Gdi::NULL_PEN})
           .Add(EMR_RECTANGLE, {0, 0, 30, 20})
           .Finish(),
       {0, 0, 30, 20}},
      {"clipped to a rectangle less a band on its left",
       TEmf(100, 100)
           .Add(EMR_INTERSECTCLIPRECT, {10, 10, 60, 60})
           .Add(EMR_EXCLUDECLIPRECT, {0, 0, 30, 100})
           .Add(EMR_SELECTOBJECT, {Stock | Gdi::BLACK_BRUSH})
           .Add(EMR_RECTANGLE, {0, 0, 100, 100})
           .Finish(),
       {30, 10, 60, 60}},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.Name);
    TBitmap bitmap(100, 100);
    bitmap.Canvas()->StretchDraw({0, 0, 100, 100}, *Loaded(c.Bytes));
    int wrong = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) {
        const bool inside =
            x >= c.Expected.Left && x < c.Expected.Right && y >= c.Expected.Top && y < c.Expected.Bottom;
        wrong += (Pixel(bitmap, x, y) == 0) != inside;
      }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(Metafile, DrawingStaysInItsRectangleAndLeavesTheCanvasAsItWas) {
  TBitmap bitmap(60, 60);
  TCanvas &canvas = *bitmap.Canvas();
  canvas.Pen().SetColor(clRed);
  canvas.Pen().SetWidth(2);
  canvas.Brush().SetStyle(bsDiagCross);
  canvas.MoveTo(3, 4);
  const auto metafile = Loaded(
      TEmf(20, 20).Add(EMR_SELECTOBJECT, {Stock | Gdi::BLACK_BRUSH}).Add(EMR_RECTANGLE, {-50, -50, 100, 100}).Finish());
  canvas.Draw(20, 20, *metafile);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_EQ(Pixel(bitmap, x, y) == 0, x >= 20 && x < 40 && y >= 20 && y < 40) << x << ", " << y;
  EXPECT_EQ(canvas.Pen().Color(), clRed);
  EXPECT_EQ(canvas.Pen().Width(), 2);
  EXPECT_EQ(canvas.Brush().Style(), bsDiagCross);
  EXPECT_EQ(canvas.PenPos(), (TPoint{3, 4}));
  EXPECT_FALSE(canvas.HasSelectedFont());
}

TEST(Metafile, BitmapsAreStretchedRightWayUp) {
  // A 2 x 2 bottom-up 24-bit DIB: the first row in the data is the bottom one.
  TBytes body;
  for (std::int32_t v : {0, 0, 0, 0, /*dest*/ 4, 4, /*src*/ 0, 0, 2, 2, /*bmi*/ 80, 40, /*bits*/ 120, 16,
                         0 /* RGB colours */, static_cast<std::int32_t>(Gdi::SRCCOPY), /*dest size*/ 8, 8})
    Put32(body, static_cast<std::uint32_t>(v));
  for (std::uint32_t v : {40u, 2u, 2u, 0x00180001u, 0u, 16u, 0u, 0u, 0u, 0u})
    Put32(body, v);
  // Rows of blue, green | red, white (B, G, R bytes), each padded to 8 bytes.
  for (std::uint8_t v : {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0})
    body.push_back(v);
  TBytes emf = TEmf(20, 20).Raw(EMR_STRETCHDIBITS, body).Finish();
  TBitmap bitmap;
  Play(emf, bitmap, 20, 20);
  EXPECT_EQ(Pixel(bitmap, 4, 4), 0xFF0000u);   // red, top left
  EXPECT_EQ(Pixel(bitmap, 11, 4), 0xFFFFFFu);  // white, top right
  EXPECT_EQ(Pixel(bitmap, 4, 11), 0x0000FFu);  // blue, bottom left
  EXPECT_EQ(Pixel(bitmap, 11, 11), 0x00FF00u); // green, bottom right
  EXPECT_EQ(Pixel(bitmap, 12, 12), 0xFFFFFFu); // outside
  EXPECT_EQ(Pixel(bitmap, 3, 3), 0xFFFFFFu);
}

TEST(Metafile, TextIsAlignedOnItsReferencePoint) {
  // "Hi" right-aligned on its baseline at (40, 20): the ink lies left of and above that point.
  TBytes body;
  for (std::int32_t v : {0, 0, 0, 0, 1, 0, 0, /*reference*/ 40, 20, /*chars*/ 2, /*string at*/ 76, 0, 0, 0, 0, 0, 0})
    Put32(body, static_cast<std::uint32_t>(v));
  for (char c : {'H', 'i'})
    Put16(body, static_cast<std::uint32_t>(c));
  TBytes font;
  Put32(font, 1);
  for (std::int32_t v : {-16, 0, 0, 0, 700})
    Put32(font, static_cast<std::uint32_t>(v));
  font.resize(font.size() + 8 + 64, 0);
  TEmf emf(60, 30);
  emf.Raw(EMR_EXTCREATEFONTINDIRECTW, font).Add(EMR_SELECTOBJECT, {1});
  emf.Add(EMR_SETTEXTALIGN, {Gdi::TA_RIGHT | Gdi::TA_BASELINE}).Add(EMR_SETBKMODE, {Gdi::TRANSPARENT});
  emf.Raw(EMR_EXTTEXTOUTW, body);
  TBitmap bitmap;
  Play(emf.Finish(), bitmap, 60, 30);
  int ink = 0, right = 0, below = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x)
      if (Pixel(bitmap, x, y) != 0xFFFFFF) {
        ++ink;
        right += x > 40;
        below += y > 21;
      }
  EXPECT_GT(ink, 20);
  EXPECT_EQ(right, 0);
  EXPECT_EQ(below, 0);
}

TEST(Metafile, BadFilesAreRefusedSayingWhatIsWrong) {
  const TBytes good = TEmf(10, 10).Add(EMR_RECTANGLE, {1, 1, 5, 5}).Finish();
  auto withSize = [&](std::uint32_t size) {
    TBytes bytes = good;
    Set32(bytes, Header::BaseSize + 4, size);
    return bytes;
  };
  TBytes wmfWithoutSize = TWmf(10, 10, 96).Add(Wmf::META_RECTANGLE, {1, 1, 1, 1}).Finish();
  Set32(wmfWithoutSize, Wmf::Placeable::Size + Wmf::Header::Size, 0);
  struct TCase {
    const char *Name;
    TBytes Bytes;
    const char *Message;
  };
  const TCase cases[] = {
      {"empty", {}, "WMF: file is empty"},
      {"header cut short", TBytes(good.begin(), good.begin() + 60), "EMF: file of 60 bytes is too short for a header"},
      {"neither format", TBytes(good.begin() + 4, good.end()), "not a Windows metafile"},
      {"record smaller than its own header", withSize(4), "has a size of 4 bytes"},
      {"record past the end", withSize(1000), "runs past the end of the file"},
      {"points counted beyond the record", TEmf(10, 10).Add(EMR_POLYLINE16, {0, 0, 0, 0, 1000000, 0}).Finish(),
       "its parameters run past its end"},
      {"text longer than its record",
       TEmf(10, 10).Add(EMR_EXTTEXTOUTW, {0, 0, 0, 0, 1, 0, 0, 0, 0, 500, 76, 0, 0, 0, 0, 0, 0}).Finish(),
       "its parameters run past its end"},
      {"object index beyond the table", TEmf(10, 10).Add(EMR_CREATEBRUSHINDIRECT, {500, 0, 0, 0}).Finish(),
       "object index is outside the object table"},
      {"restoring a state never saved", TEmf(10, 10).Add(EMR_RESTOREDC, {-3}).Finish(), "restores a state never saved"},
      {"WMF record of no size", wmfWithoutSize, "has a size of 0 words"},
      {"WMF placeable box empty", TWmf(0, 10, 96).Finish(), "bounding box is empty"},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.Name);
    const auto metafile = Loaded(good);
    try {
      metafile->LoadFromMemory(c.Bytes.data(), c.Bytes.size());
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic &error) {
      EXPECT_NE(std::string(error.what()).find(c.Message), std::string::npos) << error.what();
    }
    // The metafile keeps what it had.
    EXPECT_EQ(metafile->Width(), 10);
    EXPECT_TRUE(metafile->Enhanced());
  }
}

TEST(Metafile, PicturesLoadMetafilesByContentNotName) {
  const std::string emfPath = TestFiles::TempPath("metafile", "drawing.bmp");
  const std::string wmfPath = TestFiles::TempPath("metafile", "drawing.png");
  const TBytes emf = TEmf(30, 20).Finish(), wmf = TWmf(1440, 1440, 1440).Finish();
  TestFiles::WriteBytes(emfPath, TestFiles::TBytes(emf.begin(), emf.end()));
  TestFiles::WriteBytes(wmfPath, TestFiles::TBytes(wmf.begin(), wmf.end()));
  TPicture picture;
  picture.LoadFromFile(emfPath);
  const auto *metafile = dynamic_cast<const TMetafile *>(picture.Graphic());
  ASSERT_NE(metafile, nullptr);
  EXPECT_TRUE(metafile->Enhanced());
  EXPECT_EQ(picture.Width(), 30);
  picture.LoadFromFile(wmfPath);
  metafile = dynamic_cast<const TMetafile *>(picture.Graphic());
  ASSERT_NE(metafile, nullptr);
  EXPECT_FALSE(metafile->Enhanced());
  EXPECT_EQ(picture.Height(), 96);
  std::remove(emfPath.c_str());
  std::remove(wmfPath.c_str());
}

// Inputs the fuzz targets found troublesome: each loads or is refused, and what loads plays onto
// a small canvas (one drew letters of a thousand pixels on a 48 x 40 picture).
TEST(Metafile, FuzzFindsLoadAndPlayOrFailCleanly) {
  const std::filesystem::path folder = std::filesystem::path(VELGRAPH_SOURCE_DIR) / "tests/pictures/metafiles";
  int files = 0, played = 0;
  for (const auto &entry : std::filesystem::directory_iterator(folder)) {
    SCOPED_TRACE(entry.path().string());
    ++files;
    TMetafile metafile;
    try {
      metafile.LoadFromFile(entry.path().string());
    } catch (const EInvalidGraphic &) {
      continue;
    }
    TBitmap bitmap(48, 40);
    bitmap.Canvas()->StretchDraw({0, 0, 48, 40}, metafile);
    ++played;
  }
  EXPECT_GT(files, 0);
  EXPECT_GT(played, 0);
}
