// Enhanced metafiles written from recordings: the file's structure as any reader walks it (sizes,
// counts, object handles, saved contexts) and the records each drawing becomes.

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <platform/graphics/recording/RecordingDevice.h>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/EmfWriter.h>
#include <platform/pictures/MetafileRecords.h>
#include <platform/rtl/Exceptions.h>
#include <set>
#include <string>
#include <support/TestFiles.h>
#include <vector>

using namespace Platform;
using TestFiles::TBytes;

namespace {

std::uint32_t U32(const std::vector<std::uint8_t> &b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::int32_t I32(const std::vector<std::uint8_t> &b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }
std::int16_t I16(const std::vector<std::uint8_t> &b, std::size_t at) {
  return static_cast<std::int16_t>(b[at] | b[at + 1] << 8);
}

struct TRecord {
  std::uint32_t Type;
  std::size_t At;
  std::uint32_t Size;
};

// The file as a reader walks it; a malformed file fails the test and gives what was read.
struct TEmfFile {
  std::vector<std::uint8_t> Bytes;
  std::vector<TRecord> Records;

  explicit TEmfFile(std::vector<std::uint8_t> bytes) : Bytes(std::move(bytes)) {
    for (std::size_t at = 0; at + 8 <= Bytes.size();) {
      const std::uint32_t size = U32(Bytes, at + 4);
      if (size < 8 || size % 4 != 0 || size > Bytes.size() - at) {
        ADD_FAILURE() << "record " << Records.size() << " at " << at << " has size " << size;
        return;
      }
      Records.push_back({U32(Bytes, at), at, size});
      at += size;
    }
  }
  std::vector<std::uint32_t> Types() const {
    std::vector<std::uint32_t> types;
    for (const TRecord &r : Records)
      types.push_back(r.Type);
    return types;
  }
  // The records of one type.
  std::vector<TRecord> Of(std::uint32_t type) const {
    std::vector<TRecord> found;
    for (const TRecord &r : Records)
      if (r.Type == type)
        found.push_back(r);
    return found;
  }
  std::int32_t Field(const TRecord &r, std::uint32_t offset) const { return I32(Bytes, r.At + offset); }
};

// What every reader relies on: header counts and sizes, records back to back ending in EOF, and
// object handles that are created before use, within the table, never selected once deleted.
void ExpectWellFormed(const TEmfFile &file, int width, int height) {
  namespace H = Emf::Header;
  const auto &b = file.Bytes;
  ASSERT_GE(file.Records.size(), 2u);
  const TRecord &header = file.Records.front();
  ASSERT_EQ(header.Type, Emf::EMR_HEADER);
  ASSERT_GE(header.Size, H::Extension2Size);
  EXPECT_EQ(U32(b, H::Signature), H::SignatureValue);
  EXPECT_EQ(U32(b, H::Bytes), b.size());
  EXPECT_EQ(U32(b, H::Records), file.Records.size());
  EXPECT_EQ(file.Records.back().At + file.Records.back().Size, b.size());
  EXPECT_EQ(file.Records.back().Type, Emf::EMR_EOF);
  EXPECT_EQ(U32(b, file.Records.back().At + Emf::Eof::SizeLast), file.Records.back().Size);
  EXPECT_EQ(std::vector<std::int32_t>({I32(b, 8), I32(b, 12), I32(b, 16), I32(b, 20)}),
            std::vector<std::int32_t>({0, 0, width - 1, height - 1}));
  const std::uint32_t chars = U32(b, H::DescriptionChars), offset = U32(b, H::DescriptionOffset);
  EXPECT_LE(offset + 2 * chars, header.Size);
  // The reference device's pixels per millimetre give the picture's resolution.
  EXPECT_GT(I32(b, H::DevicePixels), 0);
  EXPECT_GT(I32(b, H::DeviceMillimeters), 0);

  const std::uint32_t handles = b[H::Handles] | b[H::Handles + 1] << 8;
  // Selections per object kind (pen, brush, font), one set per saved context.
  using TSelection = std::array<std::uint32_t, 3>;
  std::vector<TSelection> contexts(1, TSelection{});
  std::map<std::uint32_t, std::size_t> kindOf;
  const auto stockKind = [](std::uint32_t stock) -> std::size_t {
    return stock <= 5 || stock == 18 ? 1 : (stock >= 6 && stock <= 8) || stock == 19 ? 0 : 2;
  };
  std::set<std::uint32_t> live;
  for (const TRecord &r : file.Records) {
    const std::uint32_t handle = U32(b, r.At + 8);
    switch (r.Type) {
    case Emf::EMR_CREATEPEN:
    case Emf::EMR_CREATEBRUSHINDIRECT:
    case Emf::EMR_EXTCREATEFONTINDIRECTW:
      EXPECT_TRUE(handle > 0 && handle < handles) << "handle " << handle << " of " << handles;
      EXPECT_TRUE(live.insert(handle).second) << "handle " << handle << " created twice";
      kindOf[handle] = r.Type == Emf::EMR_CREATEPEN ? 0 : r.Type == Emf::EMR_CREATEBRUSHINDIRECT ? 1 : 2;
      break;
    case Emf::EMR_SELECTOBJECT:
      if (handle & Emf::StockObjectFlag) {
        contexts.back()[stockKind(handle & ~Emf::StockObjectFlag)] = handle;
      } else {
        EXPECT_TRUE(live.count(handle)) << "handle " << handle << " selected while not there";
        contexts.back()[kindOf[handle]] = handle;
      }
      break;
    case Emf::EMR_DELETEOBJECT:
      EXPECT_TRUE(live.erase(handle)) << "handle " << handle << " deleted while not there";
      for (const TSelection &selection : contexts)
        EXPECT_NE(selection[kindOf[handle]], handle) << "handle " << handle << " deleted while selected";
      break;
    case Emf::EMR_SAVEDC: contexts.push_back(contexts.back()); break;
    case Emf::EMR_RESTOREDC:
      EXPECT_EQ(I32(b, r.At + 8), -1);
      ASSERT_GT(contexts.size(), 1u);
      contexts.pop_back();
      break;
    default: break;
    }
  }
  EXPECT_TRUE(live.empty()) << live.size() << " objects left at the end";
  EXPECT_EQ(contexts.size(), 1u);
}

TEmfFile Write(const std::function<void(TCanvas &)> &draw, int width = 64, int height = 48) {
  TRecordingDevice recording;
  TCanvas canvas(&recording);
  draw(canvas);
  return TEmfFile(TEmfWriter(width, height).Write(recording.Calls()));
}

// Everything a canvas draws, with a clip and an origin part of the way.
void DrawEverything(TCanvas &c) {
  c.Pen().SetStyle(psDash);
  c.MoveTo(1, 1);
  c.LineTo(40, 5);
  const TPoint points[] = {{3, 3}, {60, 9}, {20, 40}};
  c.Polyline(points);
  c.Pen().SetStyle(psSolid);
  c.Pen().SetMode(pmXor);
  c.Polygon(points);
  c.Brush().SetStyle(bsDiagCross);
  c.Rectangle(2, 2, 30, 20);
  c.Ellipse(10, 10, 50, 40);
  c.Arc(0, 0, 40, 40, 40, 0, 0, 40);
  c.FillRect({5, 5, 9, 9});
  c.SetDeviceClip({4, 4, 30, 30});
  c.SetOrigin({3, -2});
  c.SetPixels(7, 7, clRed);
  TBitmap picture(3, 2);
  c.StretchDraw({0, 0, 12, 8}, picture);
  c.SetDeviceClip({0, 0, 20, 20});
  c.TextOut(2, 2, "Ab");
}

} // namespace

TEST(EmfWriter, FilesAreWellFormedForAnyReader) {
  struct TCase {
    const char *Name;
    std::function<void(TCanvas &)> Draw;
  } cases[] = {
      {"nothing drawn", [](TCanvas &) {}},
      {"every kind of call", DrawEverything},
      {"hundreds of distinct pens, brushes and fonts",
       [](TCanvas &c) {
         for (int i = 0; i < 300; ++i) {
           c.Pen().SetColor(RGB(i, i / 2, 0));
           c.Brush().SetColor(RGB(0, i, i / 3));
           c.Rectangle(i % 50, 1, i % 50 + 9, 20);
           c.Font().SetSize(6 + i % 40);
           c.TextOut(1, 25, "x");
         }
       }},
      {"coordinates at the ends of the 32-bit range, pushed past them by the origin",
       [](TCanvas &c) {
         c.SetOrigin({INT_MAX, INT_MIN});
         const TPoint far[] = {{INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, {0, 0}};
         c.Polygon(far);
         c.MoveTo(INT_MIN, INT_MIN);
         c.LineTo(INT_MAX, INT_MAX);
         c.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
         c.TextOut(INT_MAX, INT_MAX, "far");
       }},
      {"clips changing between objects",
       [](TCanvas &c) {
         for (int i = 0; i < 40; ++i) {
           c.SetDeviceClip({i, i, 60, 40});
           c.Pen().SetColor(RGB(0, 0, i * 5));
           c.MoveTo(0, i);
           c.LineTo(63, i);
         }
       }},
  };
  for (const TCase &test : cases) {
    SCOPED_TRACE(test.Name);
    const TEmfFile file = Write(test.Draw);
    ExpectWellFormed(file, 64, 48);
    // The object table stays small however many objects the drawing needs.
    const std::uint32_t handles = file.Bytes[Emf::Header::Handles] | file.Bytes[Emf::Header::Handles + 1] << 8;
    EXPECT_LE(handles, 1u + 3 * TEmfWriter::CachedObjectsPerKind);
  }
}

TEST(EmfWriter, CallsMadeByHandWithoutTheirDataAreSkipped) {
  TRecordingDevice recording;
  TCanvas canvas(&recording);
  canvas.MoveTo(1, 1);
  canvas.LineTo(4, 4);
  const TPoint points[] = {{0, 0}, {5, 5}, {9, 0}};
  canvas.Polyline(points);
  canvas.TextOut(2, 2, "t");
  std::vector<TRecordedCall> calls = recording.Calls();
  for (TRecordedCall &call : calls)
    call.Points.resize(call.Kind == dcPolyline ? 1 : 0);
  TRecordedCall image;
  image.Kind = dcDrawImage;
  image.ImageWidth = 100000;
  image.ImageHeight = 100000;
  image.Box = {0, 0, 8, 8};
  calls.push_back(image);
  const TEmfFile file(TEmfWriter(16, 16).Write(calls));
  ExpectWellFormed(file, 16, 16);
  EXPECT_EQ(file.Types(), (std::vector<std::uint32_t>{Emf::EMR_HEADER, Emf::EMR_SETMAPMODE, Emf::EMR_SETSTRETCHBLTMODE,
                                                      Emf::EMR_EOF}));
}

TEST(EmfWriter, DrawingsBecomeTheirRecords) {
  using namespace Emf;
  struct TCase {
    const char *Name;
    std::function<void(TCanvas &)> Draw;
    std::vector<std::uint32_t> Types; // after the header and the two mode records
  } cases[] = {
      {"a path moves once and a jump moves again",
       [](TCanvas &c) {
         c.MoveTo(1, 2);
         c.LineTo(5, 6);
         c.LineTo(9, 2);
         c.MoveTo(20, 20);
         c.LineTo(30, 20);
       },
       {EMR_CREATEPEN, EMR_SELECTOBJECT, EMR_SETBKMODE, EMR_MOVETOEX, EMR_LINETO, EMR_LINETO, EMR_MOVETOEX,
        EMR_LINETO}},
      {"objects made once and selected again",
       [](TCanvas &c) {
         for (TColor color : {clRed, clBlue, clRed, clBlue})
           c.Brush().SetColor(color), c.Ellipse(0, 0, 9, 9);
       },
       {EMR_CREATEPEN, EMR_SELECTOBJECT, EMR_SETBKMODE, EMR_CREATEBRUSHINDIRECT, EMR_SELECTOBJECT, EMR_ELLIPSE,
        EMR_CREATEBRUSHINDIRECT, EMR_SELECTOBJECT, EMR_ELLIPSE, EMR_SELECTOBJECT, EMR_ELLIPSE, EMR_SELECTOBJECT,
        EMR_ELLIPSE}},
      {"a clear pen or brush is a stock object; pen modes are raster operations",
       [](TCanvas &c) {
         c.Pen().SetStyle(psClear);
         c.Pen().SetMode(pmNotXor);
         c.Brush().SetStyle(bsCross);
         c.Rectangle(0, 0, 5, 5);
         c.Pen().SetStyle(psSolid);
         c.Brush().SetStyle(bsClear);
         c.Rectangle(0, 0, 5, 5);
       },
       {EMR_SELECTOBJECT, EMR_SETROP2, EMR_SETBKMODE, EMR_CREATEBRUSHINDIRECT, EMR_SELECTOBJECT, EMR_RECTANGLE,
        EMR_CREATEPEN, EMR_SELECTOBJECT, EMR_SELECTOBJECT, EMR_RECTANGLE}},
      {"a clip is a saved context, restored when it changes",
       [](TCanvas &c) {
         c.SetDeviceClip({2, 2, 10, 10});
         c.SetPixels(3, 3, clRed);
         c.SetDeviceClip({-5, -5, 100, 100}); // covers the picture: no clip
         c.SetPixels(3, 3, clRed);
         c.SetDeviceClip({20, 20, 30, 30});
         c.SetPixels(3, 3, clRed);
       },
       {EMR_SAVEDC, EMR_INTERSECTCLIPRECT, EMR_SETPIXELV, EMR_RESTOREDC, EMR_SETPIXELV, EMR_SAVEDC,
        EMR_INTERSECTCLIPRECT, EMR_SETPIXELV, EMR_RESTOREDC}},
      {"a clip outside the picture draws nothing",
       [](TCanvas &c) {
         c.SetDeviceClip({100, 100, 200, 200});
         c.Rectangle(0, 0, 300, 300);
       },
       {}},
  };
  for (const TCase &test : cases) {
    SCOPED_TRACE(test.Name);
    const TEmfFile file = Write(test.Draw);
    std::vector<std::uint32_t> types = file.Types();
    // The selections of stock objects and the deletions that close every file.
    while (types.size() > 3 &&
           (types[types.size() - 2] == EMR_SELECTOBJECT || types[types.size() - 2] == EMR_DELETEOBJECT))
      types.erase(types.end() - 2);
    ASSERT_GE(types.size(), 4u);
    EXPECT_EQ(std::vector<std::uint32_t>(types.begin() + 3, types.end() - 1), test.Types);
  }
}

TEST(EmfWriter, CoordinatesAreDevicePixelsInTheNarrowestForm) {
  const TEmfFile file = Write([](TCanvas &c) {
    c.SetOrigin({10, -20});
    const TPoint near[] = {{1, 2}, {-3, 4}};
    const TPoint far[] = {{1, 2}, {40000, -70000}};
    c.Polygon(near);
    c.Polygon(far);
    c.Rectangle(5, 25, 1, 22);
  });
  const auto narrow = file.Of(Emf::EMR_POLYGON16), wide = file.Of(Emf::EMR_POLYGON);
  ASSERT_EQ(narrow.size(), 1u);
  ASSERT_EQ(wide.size(), 1u);
  const std::size_t p16 = narrow[0].At + Emf::Poly::Points, p32 = wide[0].At + Emf::Poly::Points;
  EXPECT_EQ(file.Field(narrow[0], Emf::Poly::Count), 2);
  EXPECT_EQ(std::vector<int>(
                {I16(file.Bytes, p16), I16(file.Bytes, p16 + 2), I16(file.Bytes, p16 + 4), I16(file.Bytes, p16 + 6)}),
            std::vector<int>({11, -18, 7, -16}));
  EXPECT_EQ(std::vector<int>({I32(file.Bytes, p32 + 8), I32(file.Bytes, p32 + 12)}), std::vector<int>({40010, -70020}));
  // Bounds of the narrow polyline, inclusive.
  EXPECT_EQ(std::vector<int>({file.Field(narrow[0], 8), file.Field(narrow[0], 12), file.Field(narrow[0], 16),
                              file.Field(narrow[0], 20)}),
            std::vector<int>({7, -18, 11, -16}));
  const auto box = file.Of(Emf::EMR_RECTANGLE);
  ASSERT_EQ(box.size(), 1u);
  EXPECT_EQ(
      std::vector<int>({file.Field(box[0], 8), file.Field(box[0], 12), file.Field(box[0], 16), file.Field(box[0], 20)}),
      std::vector<int>({11, 2, 15, 5}));
}

TEST(EmfWriter, TextCarriesItsCharactersAdvancesAndFont) {
  const std::string text = "G\xC3\xA9 \xF0\x9D\x84\x9E!"; // "Gé 𝄞!": a pair of UTF-16 units
  int width = 0;
  const TEmfFile file = Write([&](TCanvas &c) {
    c.Font().SetName("A face name longer than thirty-one characters");
    c.Font().SetSize(12);
    c.Font().SetStyle({fsBold, fsUnderline});
    c.Font().SetColor(clGreen);
    width = c.TextWidth(text);
    c.TextOut(4, 5, text);
  });
  namespace X = Emf::ExtTextOut;
  const auto texts = file.Of(Emf::EMR_EXTTEXTOUTW);
  ASSERT_EQ(texts.size(), 1u);
  const TRecord &t = texts[0];
  const std::vector<char16_t> expected = {u'G', u'\u00E9', u' ', 0xD834, 0xDD1E, u'!'};
  ASSERT_EQ(file.Field(t, X::Chars), 6);
  const std::size_t chars = t.At + static_cast<std::uint32_t>(file.Field(t, X::StringOffset));
  const std::size_t dx = t.At + static_cast<std::uint32_t>(file.Field(t, X::DxOffset));
  int advances = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(static_cast<char16_t>(file.Bytes[chars + 2 * i] | file.Bytes[chars + 2 * i + 1] << 8), expected[i]);
    advances += I32(file.Bytes, dx + 4 * i);
  }
  EXPECT_EQ(I32(file.Bytes, dx + 4 * 4), 0); // the second unit of the pair
  EXPECT_EQ(advances, width);
  EXPECT_LE(dx + 4 * expected.size(), t.At + t.Size);
  EXPECT_EQ(file.Field(t, X::Reference), 4);

  const auto fonts = file.Of(Emf::EMR_EXTCREATEFONTINDIRECTW);
  ASSERT_EQ(fonts.size(), 1u);
  const std::size_t logFont = fonts[0].At + Emf::CreateFont::LogFont;
  EXPECT_EQ(I32(file.Bytes, logFont + Emf::LogFont::Height), -16); // 12 points at 96 per inch
  EXPECT_EQ(I32(file.Bytes, logFont + Emf::LogFont::Weight), 700);
  EXPECT_EQ(file.Bytes[logFont + Emf::LogFont::Underline], 1);
  EXPECT_EQ(file.Bytes[logFont + Emf::LogFont::Italic], 0);
  std::u16string face;
  for (std::size_t i = 0; i < Emf::LogFont::FaceNameChars; ++i)
    face.push_back(static_cast<char16_t>(file.Bytes[logFont + Emf::LogFont::FaceName + 2 * i] |
                                         file.Bytes[logFont + Emf::LogFont::FaceName + 2 * i + 1] << 8));
  EXPECT_EQ(face, std::u16string(u"A face name longer than thirty-") + u'\0');
  const auto colors = file.Of(Emf::EMR_SETTEXTCOLOR);
  ASSERT_EQ(colors.size(), 1u);
  EXPECT_EQ(file.Field(colors[0], 8), clGreen);
}

TEST(EmfWriter, ImagesAreBottomUpThirtyTwoBitDibs) {
  TBitmap picture(2, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x)
      picture.ScanLine(y)[x] = 0x101010u * static_cast<std::uint32_t>(y * 2 + x + 1);
  const TEmfFile file = Write([&](TCanvas &c) { c.StretchDraw({30, 20, 10, 26}, picture); });
  namespace S = Emf::StretchDIBits;
  const auto images = file.Of(Emf::EMR_STRETCHDIBITS);
  ASSERT_EQ(images.size(), 1u);
  const TRecord &r = images[0];
  EXPECT_EQ(std::vector<int>({file.Field(r, S::XDest), file.Field(r, S::YDest), file.Field(r, S::CxDest),
                              file.Field(r, S::CyDest), file.Field(r, S::CxSrc), file.Field(r, S::CySrc)}),
            std::vector<int>({10, 20, 20, 6, 2, 3}));
  const std::size_t info = r.At + static_cast<std::uint32_t>(file.Field(r, S::BmiOffset));
  EXPECT_EQ(I32(file.Bytes, info + 8), 3); // positive height: the last row first
  EXPECT_EQ(file.Bytes[info + 14], 32);
  const std::size_t bits = r.At + static_cast<std::uint32_t>(file.Field(r, S::BitsOffset));
  ASSERT_EQ(file.Field(r, S::BitsSize), 24);
  EXPECT_EQ(U32(file.Bytes, bits), 0x505050u);
  EXPECT_EQ(U32(file.Bytes, bits + 20), 0x202020u);
}

TEST(EmfWriter, SavingGoesThroughATemporaryFile) {
  TRecordingDevice recording;
  TCanvas canvas(&recording);
  DrawEverything(canvas);
  const TEmfWriter writer(64, 48, 120);
  const std::string path = TestFiles::TempPath("emf", "saved.emf");
  writer.SaveToFile(path, recording.Calls());
  const TBytes saved = TestFiles::ReadBytes(path);
  const std::vector<std::uint8_t> written = writer.Write(recording.Calls());
  EXPECT_EQ(std::vector<std::uint8_t>(saved.begin(), saved.end()), written);
  std::filesystem::remove(path);

  const std::string missing = TestFiles::TempPath("emf", "no-such-folder") + "/picture.emf";
  EXPECT_THROW(writer.SaveToFile(missing, recording.Calls()), Exception);
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_THROW(TEmfWriter(0, 10), EInvalidGraphic);
  EXPECT_THROW(TEmfWriter(10, -1), EInvalidGraphic);
}
