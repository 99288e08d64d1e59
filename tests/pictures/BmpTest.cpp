#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/Picture.h>
#include <platform/rtl/Exceptions.h>
#include <string>
#include <support/TestFiles.h>
#include <unistd.h>
#include <vector>

using namespace Platform;
namespace fs = std::filesystem;

namespace {

using TestFiles::ReadBytes;
using TestFiles::TBytes;
using TestFiles::WriteBytes;

std::string TempPath(const std::string &name) { return TestFiles::TempPath("bmp", name); }

void PutU32(TBytes &bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// An 8-bit palette BMP with the given compression around the given pixel data.
TBytes Bmp8(int width, int height, std::uint32_t compression, const std::vector<std::uint32_t> &palette,
            const TBytes &data) {
  TBytes bytes = {'B', 'M'};
  const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(palette.size());
  PutU32(bytes, offset + static_cast<std::uint32_t>(data.size()));
  PutU32(bytes, 0);
  PutU32(bytes, offset);
  for (std::uint32_t v :
       {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 0x00080001u, compression,
        static_cast<std::uint32_t>(data.size()), 0u, 0u, static_cast<std::uint32_t>(palette.size()), 0u})
    PutU32(bytes, v);
  for (std::uint32_t color : palette)
    PutU32(bytes, color);
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

// The largest channel difference between two bitmaps of the same size; -1 when sizes differ.
int MaxDifference(TBitmap &a, TBitmap &b) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return -1;
  int worst = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(static_cast<int>((a.ScanLine(y)[x] >> shift) & 0xFF) -
                                         static_cast<int>((b.ScanLine(y)[x] >> shift) & 0xFF)));
  return worst;
}

// The reference renderings a suite page shows for a file: the first image after its name, then
// any rendering named after it.
std::vector<fs::path> References(const fs::path &html, const std::string &name) {
  std::vector<fs::path> found;
  const std::string page(std::istreambuf_iterator<char>(std::ifstream(html / "bmpsuite.html").rdbuf()), {});
  const std::size_t at = page.find("g/" + name + ".bmp");
  const std::size_t src = at == std::string::npos ? at : page.find("src=\"", at);
  if (src != std::string::npos)
    found.push_back(html / page.substr(src + 5, page.find('"', src + 5) - src - 5));
  for (const char *suffix : {"", "-e", "-v"})
    found.push_back(html / (name + suffix + ".png"));
  return found;
}

bool LoadsOrRefusesCleanly(const fs::path &path, bool &decoded) {
  TPicture picture;
  try {
    picture.LoadFromFile(path.string());
    decoded = picture.Width() > 0 && picture.Height() > 0;
    return decoded;
  } catch (const EInvalidGraphic &) {
    decoded = false;
    return true;
  }
}

} // namespace

TEST(Bmp, GoodCorpusFilesMatchTheirReferenceRenderings) {
  const fs::path root = fs::path(VELGRAPH_CORPORA_DIR) / "bmp";
  if (!fs::is_directory(root / "g"))
    GTEST_SKIP() << "missing folder " << (root / "g").string() << " (the shared test corpora)";
  int files = 0, decoded = 0, matched = 0;
  for (const auto &entry : fs::directory_iterator(root / "g")) {
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    ++files;
    TBitmap bitmap;
    ASSERT_NO_THROW(bitmap.LoadFromFile(entry.path().string()));
    ++decoded;
    int best = -1;
    for (const fs::path &reference : References(root / "html", name)) {
      if (!fs::exists(reference))
        continue;
      TBitmap expected;
      expected.LoadFromPngFile(reference.string());
      const int difference = MaxDifference(bitmap, expected);
      if (difference >= 0 && (best < 0 || difference < best))
        best = difference;
    }
    // 16-bit channels widen to 8 bits by rounding, the renderings may have replicated bits.
    EXPECT_GE(best, 0) << "no reference rendering of the same size";
    EXPECT_LE(best, 4);
    matched += best >= 0 && best <= 4;
  }
  EXPECT_EQ(files, 27);
  std::cout << "good BMP files: " << files << " decoded " << decoded << " matched " << matched << "\n";
}

TEST(Bmp, BadAndQuestionableCorpusFilesDecodeOrFailCleanly) {
  const fs::path root = fs::path(VELGRAPH_CORPORA_DIR) / "bmp";
  if (!fs::is_directory(root / "b"))
    GTEST_SKIP() << "missing folder " << (root / "b").string() << " (the shared test corpora)";
  for (const char *folder : {"b", "q", "pillow-extra", "x"}) {
    int files = 0, decodedCount = 0, refused = 0;
    for (const auto &entry : fs::directory_iterator(root / folder)) {
      SCOPED_TRACE(entry.path().string());
      ++files;
      bool decoded = false;
      EXPECT_TRUE(LoadsOrRefusesCleanly(entry.path(), decoded));
      decodedCount += decoded;
      refused += !decoded;
    }
    EXPECT_GT(files, 0);
    std::cout << folder << ": " << files << " files, " << decodedCount << " decoded, " << refused
              << " refused cleanly\n";
  }
  // Huge sizes and truncated data are refused before pixels are allocated.
  for (const char *name : {"reallybig.bmp", "shortfile.bmp", "badwidth.bmp", "badbitcount.bmp", "badplanes.bmp"}) {
    SCOPED_TRACE(name);
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFromBmpFile((root / "b" / name).string()), EInvalidGraphic);
  }
}

TEST(Bmp, SavedFilesReadBackPixelForPixel) {
  struct TCase {
    int Width, Height, Bits;
  };
  // Widths 4 and 8 at 24 bits end the file on the last pixel's byte; 5, 6 and 9 straddle the
  // groups of four pixels converted together.
  for (const TCase c : {TCase{1, 1, 24}, TCase{3, 2, 24}, TCase{5, 7, 32}, TCase{33, 1, 24}, TCase{2, 9, 32},
                        TCase{4, 3, 24}, TCase{8, 2, 24}, TCase{5, 1, 24}, TCase{6, 2, 24}, TCase{9, 2, 24},
                        TCase{1001, 150, 24}, TCase{333, 211, 32}}) {
    SCOPED_TRACE(std::to_string(c.Width) + "x" + std::to_string(c.Height) + "@" + std::to_string(c.Bits));
    TBitmap source(c.Width, c.Height);
    for (int y = 0; y < c.Height; ++y)
      for (int x = 0; x < c.Width; ++x)
        source.ScanLine(y)[x] = static_cast<std::uint32_t>(x * 37 + y * 101) * 0x010305u & 0xFFFFFF;
    const std::string path = TempPath("round.bmp");
    source.SaveToBmpFile(path, c.Bits);
    const TBytes bytes = ReadBytes(path);
    const std::size_t stride = (static_cast<std::size_t>(c.Width) * c.Bits / 8 + 3) / 4 * 4;
    EXPECT_EQ(bytes.size(), 54 + stride * static_cast<std::size_t>(c.Height));
    TPicture picture;
    picture.LoadFromFile(path);
    auto *loaded = dynamic_cast<TBitmap *>(picture.Graphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(MaxDifference(source, *loaded), 0);
    std::remove(path.c_str());
  }
}

TEST(Bmp, RefusalsLeaveTheBitmapAsItWas) {
  TBitmap bitmap(4, 3);
  bitmap.ScanLine(0)[0] = 0x123456;
  const std::string path = TempPath("cut.bmp");
  bitmap.SaveToBmpFile(path);
  TBytes bytes = ReadBytes(path);
  bytes.resize(bytes.size() - 5);
  WriteBytes(path, bytes);
  EXPECT_THROW(bitmap.LoadFromFile(path), EInvalidGraphic);
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_EQ(bitmap.ScanLine(0)[0], 0x123456u);
  // Headers claiming more pixels than the data could hold, plain or RLE, are refused up front.
  for (const TBytes &claim :
       {Bmp8(10000, 10000, 0, {0}, TBytes(64)), Bmp8(16384, 16384, 1, {0}, {0, 1}), Bmp8(4, 4, 2, {0}, TBytes(16))}) {
    WriteBytes(path, claim);
    EXPECT_THROW(bitmap.LoadFromFile(path), EInvalidGraphic);
  }
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_THROW(bitmap.SaveToBmpFile(path, 16), EInvalidGraphic);
  EXPECT_THROW(bitmap.SaveToBmpFile(std::string("a\0b.bmp", 7)), Exception);
  EXPECT_THROW(bitmap.LoadFromBmpFile(std::string("a\0b.bmp", 7)), Exception);
  EXPECT_THROW(TBitmap().SaveToBmpFile(path), EInvalidGraphic);
  std::remove(path.c_str());
}

TEST(Bmp, ReadsWhatTheHeaderNeedsNotTheWholeFile) {
  // A picture followed by gigabytes (a sparse tail, so no disk is used): only the headers and
  // the pixel data the header calls for are read, plain or RLE.
  const std::string path = TempPath("tail.bmp");
  for (const TBytes &content : {Bmp8(2, 2, 0, {0x112233, 0x445566}, {0, 1, 0, 0, 1, 1, 0, 0}),
                                Bmp8(2, 2, 1, {0x112233, 0x445566}, {2, 0, 0, 0, 2, 1, 0, 1})}) {
    WriteBytes(path, content);
    fs::resize_file(path, std::uintmax_t{3} << 30);
    TBitmap bitmap;
    bitmap.LoadFromFile(path);
    EXPECT_EQ(bitmap.ScanLine(0)[1], 0x445566u);
    EXPECT_EQ(bitmap.ScanLine(1)[0], 0x112233u);
  }
  std::remove(path.c_str());
}

TEST(Bmp, Rle8RunsDeltasAndEndsPlacePixels) {
  // 4 x 3, bottom-up: row 0 gets a run of 2 then an absolute run of 3 (clipped at the width), an
  // end of line, a delta to (1, 2), one pixel, then the end of the bitmap leaves the rest white.
  const TBytes data = {2, 1, 0, 3, 2, 1, 2, 0, 0, 0, 0, 2, 1, 1, 1, 1, 0, 1};
  const std::string path = TempPath("rle8.bmp");
  WriteBytes(path, Bmp8(4, 3, 1, {0x000000, 0xFF0000, 0x00FF00}, data));
  TBitmap bitmap;
  bitmap.LoadFromFile(path);
  const std::uint32_t W = 0xFFFFFF, R = 0xFF0000, G = 0x00FF00;
  const std::uint32_t expected[3][4] = {{W, R, W, W}, {W, W, W, W}, {R, R, G, R}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(bitmap.ScanLine(y)[x], expected[y][x]) << x << "," << y;
  std::remove(path.c_str());
}

TEST(Picture, ContentChoosesTheFormat) {
  struct TCase {
    TBytes Head;
    const char *Named;
  };
  const std::string path = TempPath("sniff.png");
  for (const TCase &c :
       {TCase{{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F'}, "JPEG"},
        TCase{{0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0}, "WMF"}, TCase{{'h', 'e', 'l', 'l', 'o'}, "known format"}}) {
    SCOPED_TRACE(c.Named);
    WriteBytes(path, c.Head);
    TPicture picture;
    try {
      picture.LoadFromFile(path);
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic &error) {
      EXPECT_NE(std::string(error.what()).find(c.Named), std::string::npos) << error.what();
    }
    EXPECT_EQ(picture.Graphic(), nullptr);
  }
  // A BMP under a PNG name loads as what it is.
  TBitmap(6, 2).SaveToBmpFile(path);
  TPicture picture;
  picture.LoadFromFile(path);
  EXPECT_EQ(picture.Width(), 6);
  EXPECT_EQ(picture.Height(), 2);
  std::remove(path.c_str());
}
