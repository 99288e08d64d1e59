#include <gtest/gtest.h>

#include <climits>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <png.h>
#include <string>
#include <support/TestFiles.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

using namespace Platform;

namespace {

using TestFiles::ReadBytes;
using TestFiles::TBytes;
using TestFiles::WriteBytes;

std::string TempPath(const std::string &name) { return TestFiles::TempPath("png", name); }

std::uint32_t BigEndian(const TBytes &bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
         bytes[at + 3];
}

// The formats our saver never writes, made with libpng itself: rows are given packed as the
// file stores them.
struct TPngContent {
  int Width, Height, ColorType, BitDepth;
  bool Interlaced = false;
  std::vector<TBytes> Rows;
  std::vector<png_color> Palette = {};
  TBytes PaletteAlpha = {};
  const png_color_16 *KeyColor = nullptr;
};

bool WritePng(const std::string &path, const TPngContent &content) {
  std::FILE *file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows;
  for (const TBytes &row : content.Rows)
    rows.push_back(const_cast<png_bytep>(row.data()));
  const bool written = [&] {
    if (setjmp(png_jmpbuf(png)))
      return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, content.Width, content.Height, content.BitDepth, content.ColorType,
                 content.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!content.Palette.empty())
      png_set_PLTE(png, info, content.Palette.data(), static_cast<int>(content.Palette.size()));
    if (!content.PaletteAlpha.empty() || content.KeyColor)
      png_set_tRNS(png, info, content.PaletteAlpha.data(), static_cast<int>(content.PaletteAlpha.size()),
                   content.KeyColor);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
  }();
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  return written;
}

std::vector<std::uint32_t> PixelsOf(const TBitmap &bitmap) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < bitmap.Height(); ++y)
    pixels.insert(pixels.end(), bitmap.Surface().Row(y), bitmap.Surface().Row(y) + bitmap.Width());
  return pixels;
}

class Png : public testing::Test {
protected:
  void TearDown() override {
    for (const std::string &path : Files)
      std::remove(path.c_str());
  }
  std::string Path(const std::string &name) { return Files.emplace_back(TempPath(name)); }

  // A 37 x 23 picture with a distinct colour almost everywhere, a filled block and lone pixels.
  void DrawPattern(TBitmap &bitmap) {
    bitmap.SetSize(37, 23);
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x)
        bitmap.ScanLine(y)[x] = static_cast<std::uint32_t>((x * 7) << 16 | (y * 11) << 8 | ((x * y) & 0xFF));
    bitmap.Canvas()->Brush().SetColor(RGB(0x12, 0x34, 0x56));
    bitmap.Canvas()->FillRect({5, 6, 15, 12});
    bitmap.Canvas()->SetPixels(0, 0, clWhite);
    bitmap.Canvas()->SetPixels(36, 22, clBlack);
  }

  // Saves a valid file and returns its bytes.
  TBytes SavedPattern() {
    TBitmap bitmap;
    DrawPattern(bitmap);
    const std::string path = Path("pattern.png");
    bitmap.SaveToPngFile(path);
    return ReadBytes(path);
  }

  void ExpectLoads(const TPngContent &content, const std::vector<std::uint32_t> &expected) {
    const std::string path = Path("format.png");
    ASSERT_TRUE(WritePng(path, content));
    TBitmap bitmap;
    bitmap.LoadFromPngFile(path);
    ASSERT_EQ(bitmap.Width(), content.Width);
    ASSERT_EQ(bitmap.Height(), content.Height);
    EXPECT_EQ(PixelsOf(bitmap), expected);
  }

  std::vector<std::string> Files;
};

std::string LoadError(const std::string &path) {
  TBitmap bitmap;
  try {
    bitmap.LoadFromPngFile(path);
  } catch (const EInvalidGraphic &error) {
    return error.Message();
  }
  return "loaded";
}

} // namespace

TEST_F(Png, SaveAndLoadKeepEveryPixel) {
  TBitmap source;
  DrawPattern(source);
  const std::string path = Path("roundtrip.png");
  source.SaveToPngFile(path);
  const TBytes bytes = ReadBytes(path);
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(bytes[24], 8); // bit depth
  EXPECT_EQ(bytes[25], 2); // RGB
  TBitmap loaded(5, 5);
  loaded.LoadFromPngFile(path);
  ASSERT_EQ(loaded.Width(), 37);
  ASSERT_EQ(loaded.Height(), 23);
  EXPECT_EQ(PixelsOf(loaded), PixelsOf(source));
  EXPECT_EQ(loaded.Canvas()->Pixels(10, 8), RGB(0x12, 0x34, 0x56));
  // The canvas draws on the loaded pixels.
  loaded.Canvas()->SetPixels(36, 22, clRed);
  EXPECT_EQ(loaded.ScanLine(22)[36], 0xFF0000u);
}

TEST_F(Png, GreyDepthsAndKeyColour) {
  ExpectLoads({8, 1, PNG_COLOR_TYPE_GRAY, 1, false, {{0b10110001}}},
              {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0, 0, 0, 0xFFFFFF});
  ExpectLoads({3, 1, PNG_COLOR_TYPE_GRAY, 16, false, {{0x00, 0x00, 0xAB, 0xAB, 0xFF, 0xFF}}},
              {0x000000, 0xABABAB, 0xFFFFFF});
  png_color_16 key{};
  key.gray = 50;
  ExpectLoads({3, 1, PNG_COLOR_TYPE_GRAY, 8, false, {{50, 51, 0}}, {}, {}, &key}, {0xFFFFFF, 0x333333, 0x000000});
  ExpectLoads({2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {{100, 255, 100, 0}}}, {0x646464, 0xFFFFFF});
}

TEST_F(Png, PaletteWithTransparencyIsCompositedOnWhite) {
  ExpectLoads({4,
               1,
               PNG_COLOR_TYPE_PALETTE,
               4,
               false,
               {{0x01, 0x23}},
               {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}},
               {0, 255, 128}},
              {0xFFFFFF, 0x00FF00, 0x7F7FFF, 0x000000});
}

TEST_F(Png, AlphaIsCompositedOnWhite) {
  ExpectLoads({2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, {{10, 20, 30, 255, 200, 100, 0, 51}}}, {0x0A141E, 0xF4E0CC});
}

TEST_F(Png, InterlacedSixteenBitColour) {
  TPngContent content{9, 9, PNG_COLOR_TYPE_RGB, 16, true, {}};
  std::vector<std::uint32_t> expected;
  for (int y = 0; y < 9; ++y) {
    TBytes &row = content.Rows.emplace_back();
    for (int x = 0; x < 9; ++x) {
      const int r = (x * 20 + y * 7) & 0xFF, g = 255 - r, b = x * y;
      for (int sample : {r, g, b}) // 16-bit samples that scale exactly to the 8-bit value
        row.insert(row.end(), {static_cast<unsigned char>(sample), static_cast<unsigned char>(sample)});
      expected.push_back(static_cast<std::uint32_t>(r << 16 | g << 8 | b));
    }
  }
  ExpectLoads(content, expected);
}

TEST_F(Png, EveryCorpusPngLoadsAtItsSize) {
  const std::filesystem::path root = VELGRAPH_CORPORA_DIR;
  if (!std::filesystem::is_directory(root))
    GTEST_SKIP() << "missing folder " << root.string() << " (the shared test corpora)";
  int loaded = 0;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.path().extension() != ".png")
      continue;
    SCOPED_TRACE(entry.path().string());
    const TBytes bytes = ReadBytes(entry.path());
    TBitmap bitmap;
    ASSERT_NO_THROW(bitmap.LoadFromPngFile(entry.path()));
    EXPECT_EQ(bitmap.Width(), static_cast<int>(BigEndian(bytes, 16)));
    EXPECT_EQ(bitmap.Height(), static_cast<int>(BigEndian(bytes, 20)));
    if (bytes[25] == PNG_COLOR_TYPE_GRAY || bytes[25] == PNG_COLOR_TYPE_GRAY_ALPHA) {
      for (std::uint32_t pixel : PixelsOf(bitmap))
        ASSERT_TRUE((pixel & 0xFF) == ((pixel >> 8) & 0xFF) && (pixel & 0xFF) == (pixel >> 16)) << std::hex << pixel;
    }
    ++loaded;
  }
  EXPECT_GT(loaded, 50);
}

TEST_F(Png, UnreadableFilesRaiseInvalidGraphic) {
  const std::string missing = TempPath("missing.png");
  EXPECT_EQ(LoadError(missing).rfind("PNG: cannot open '" + missing + "'", 0), 0u) << LoadError(missing);
  const std::string path = Path("bad.png");
  WriteBytes(path, {});
  EXPECT_EQ(LoadError(path), "PNG: '" + path + "' is empty");
  WriteBytes(path, {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0});
  EXPECT_NE(LoadError(path).find("not a PNG file"), std::string::npos);

  const TBytes good = SavedPattern();
  for (std::size_t length = 0; length < good.size(); ++length) {
    WriteBytes(path, TBytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)));
    const std::string message = LoadError(path);
    ASSERT_EQ(message.rfind("PNG: ", 0), 0u) << "length " << length << ": " << message;
  }
  TBytes corrupt = good;
  corrupt[good.size() / 2] ^= 0x55; // inside the image data: its checksum no longer matches
  WriteBytes(path, corrupt);
  EXPECT_EQ(LoadError(path).rfind("PNG: ", 0), 0u);
}

TEST_F(Png, OversizedHeaderIsRejectedBeforeDecoding) {
  TBytes bytes = SavedPattern();
  const auto setSize = [&](std::uint32_t width, std::uint32_t height) {
    for (int i = 0; i < 4; ++i) {
      bytes[16 + i] = static_cast<unsigned char>(width >> (24 - 8 * i));
      bytes[20 + i] = static_cast<unsigned char>(height >> (24 - 8 * i));
    }
    const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, bytes.data() + 12, 17));
    for (int i = 0; i < 4; ++i)
      bytes[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
    const std::string path = Path("huge.png");
    WriteBytes(path, bytes);
    return LoadError(path);
  };
  EXPECT_EQ(setSize(20000, 20000), "PNG: image of 20000 x 20000 pixels is too large");
  EXPECT_EQ(setSize(2000000, 1).rfind("PNG: ", 0), 0u);
  EXPECT_EQ(setSize(0, 5).rfind("PNG: ", 0), 0u);
  // A size within bounds whose data then runs short.
  EXPECT_EQ(setSize(16384, 16384).rfind("PNG: ", 0), 0u);
}

TEST_F(Png, FailedLoadLeavesTheBitmap) {
  TBitmap bitmap;
  DrawPattern(bitmap);
  const std::vector<std::uint32_t> before = PixelsOf(bitmap);
  TBytes bytes = SavedPattern();
  bytes.resize(bytes.size() - 20);
  const std::string path = Path("short.png");
  WriteBytes(path, bytes);
  EXPECT_THROW(bitmap.LoadFromPngFile(path), EInvalidGraphic);
  EXPECT_EQ(bitmap.Width(), 37);
  EXPECT_EQ(PixelsOf(bitmap), before);
}

// PNG has no empty images, so an empty bitmap is refused and no file is left behind.
TEST_F(Png, EmptyBitmapIsNotSaved) {
  const std::string path = Path("empty.png");
  TBitmap empty(0, 10);
  EXPECT_THROW(empty.SaveToPngFile(path), EInvalidGraphic);
  EXPECT_FALSE(std::filesystem::exists(path));
  TBitmap bitmap(3, 3);
  EXPECT_THROW(bitmap.SaveToPngFile(TempPath("no-such-folder/picture.png")), Exception);
}

namespace {

TBytes Chunk(const char (&type)[5], const TBytes &data) {
  // Length, type, data, then the checksum of type and data, all sizes fixed up front.
  TBytes chunk(12 + data.size());
  const auto put = [&](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      chunk[at + i] = static_cast<unsigned char>(value >> (24 - 8 * i));
  };
  put(0, static_cast<std::uint32_t>(data.size()));
  std::copy(type, type + 4, chunk.begin() + 4);
  std::copy(data.begin(), data.end(), chunk.begin() + 8);
  put(8 + data.size(), static_cast<std::uint32_t>(crc32(0, chunk.data() + 4, static_cast<uInt>(data.size() + 4))));
  return chunk;
}

TBytes Deflated(const TBytes &data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  TBytes out(size);
  compress(out.data(), &size, data.data(), static_cast<uLong>(data.size()));
  out.resize(size);
  return out;
}

// A signature and header: 8-bit RGBA, Adam7 interlaced when asked.
TBytes PngHead(std::uint32_t width, std::uint32_t height, bool interlaced) {
  TBytes bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  TBytes header;
  for (std::uint32_t value : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8)
      header.push_back(static_cast<unsigned char>(value >> shift));
  header.insert(header.end(), {8, PNG_COLOR_TYPE_RGB_ALPHA, 0, 0, static_cast<unsigned char>(interlaced)});
  const TBytes chunk = Chunk("IHDR", header);
  bytes.insert(bytes.end(), chunk.begin(), chunk.end());
  return bytes;
}

std::vector<std::string> FilesStartingWith(const std::string &folder, const std::string &prefix) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename().string().rfind(prefix, 0) == 0)
      names.push_back(entry.path().filename().string());
  return names;
}

} // namespace

// Headers and chunks that claim more than the file holds: each is refused or skipped before any
// memory is given to the claim.
TEST_F(Png, ClaimsBeyondTheFileAreNotTrusted) {
  // A colour profile whose header announces a 2 GB profile that never follows: the chunk is
  // skipped unread and the picture loads.
  const std::string palettePath = Path("palette.png");
  ASSERT_TRUE(WritePng(
      palettePath,
      {4, 4, PNG_COLOR_TYPE_PALETTE, 8, false, std::vector<TBytes>(4, {0, 1, 1, 0}), {{255, 0, 0}, {0, 0, 255}}}));
  TBytes bytes = ReadBytes(palettePath);
  TBytes profile = {0x7A, 0, 0, 0};
  profile.resize(200, 0x41);
  TBytes iccp = {'p', 0, 0};
  const TBytes packed = Deflated(profile);
  iccp.insert(iccp.end(), packed.begin(), packed.begin() + 40);
  const TBytes chunk = Chunk("iCCP", iccp);
  bytes.insert(bytes.begin() + 33, chunk.begin(), chunk.end());
  WriteBytes(palettePath, bytes);
  TBitmap bitmap;
  ASSERT_NO_THROW(bitmap.LoadFromPngFile(palettePath));
  EXPECT_EQ(PixelsOf(bitmap)[1], 0x0000FFu);
  EXPECT_EQ(PixelsOf(bitmap)[15], 0xFF0000u);

  // 16384 x 16384 pixels in a few dozen bytes: refused for what the file can deliver, plain or
  // interlaced, before a pixel store is made.
  for (bool interlaced : {false, true}) {
    TBytes tiny = PngHead(16384, 16384, interlaced);
    for (const TBytes &tail : {Chunk("IDAT", Deflated(TBytes(64, 0))), Chunk("IEND", {})})
      tiny.insert(tiny.end(), tail.begin(), tail.end());
    const std::string path = Path("tiny.png");
    WriteBytes(path, tiny);
    EXPECT_NE(LoadError(path).find("bytes of image data, more than the"), std::string::npos) << LoadError(path);
  }

  // Data compressed close to deflate's limit is within the bound and loads.
  TPngContent blank{2000, 2000, PNG_COLOR_TYPE_GRAY, 1, true, std::vector<TBytes>(2000, TBytes(250, 0))};
  const std::string blankPath = Path("blank.png");
  ASSERT_TRUE(WritePng(blankPath, blank));
  ASSERT_LT(ReadBytes(blankPath).size(), 2000u * 251 / 500);
  bitmap.LoadFromPngFile(blankPath);
  EXPECT_EQ(bitmap.Width(), 2000);
  EXPECT_EQ(bitmap.ScanLine(1999)[1999], 0u);
}

// A save that fails part way, here on a full disk, leaves the old file as it was and no
// temporary file beside it; names the system would cut short at a NUL byte are refused.
TEST_F(Png, FailedSavesKeepTheOldFile) {
  const std::string path = Path("keep.png");
  const TBytes old = SavedPattern();
  WriteBytes(path, old);
  TBitmap noise(300, 300);
  std::uint32_t state = 12345;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 300; ++x)
      noise.ScanLine(y)[x] = (state = state * 1664525u + 1013904223u) >> 8;

  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string message;
  try {
    noise.SaveToPngFile(path);
  } catch (const Exception &error) {
    message = error.Message();
  }
  const std::string fresh = Path("fresh.png");
  EXPECT_THROW(noise.SaveToPngFile(fresh), Exception);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_FALSE(std::filesystem::exists(fresh)); // no truncated picture either
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_NE(message.find("keep.png"), std::string::npos) << message;
  EXPECT_EQ(ReadBytes(path), old);
  const std::string name = std::filesystem::path(path).filename().string();
  EXPECT_EQ(FilesStartingWith(testing::TempDir(), "." + name), std::vector<std::string>{});

  // Unlimited, the same save replaces the file whole.
  noise.SaveToPngFile(path);
  TBitmap loaded;
  loaded.LoadFromPngFile(path);
  EXPECT_EQ(PixelsOf(loaded), PixelsOf(noise));

  const std::string cut = Path("cut.png");
  const std::string withNul = cut + std::string(1, '\0') + "rest";
  EXPECT_THROW(noise.SaveToPngFile(withNul), Exception);
  EXPECT_FALSE(std::filesystem::exists(cut));
  WriteBytes(cut, old);
  EXPECT_THROW(loaded.LoadFromPngFile(withNul), Exception);
  EXPECT_EQ(loaded.Width(), 300);
  EXPECT_TRUE(FileExists(cut));
  EXPECT_FALSE(FileExists(withNul));
}

TEST(Bitmap, ScanLineOutsideTheRowsRaises) {
  TBitmap bitmap(4, 3);
  bitmap.ScanLine(2)[3] = 0x123456;
  EXPECT_EQ(bitmap.Canvas()->Pixels(3, 2), RGB(0x12, 0x34, 0x56));
  for (int y : {-1, 3, INT_MIN, INT_MAX})
    EXPECT_THROW(bitmap.ScanLine(y), EInvalidGraphicOperation) << y;
  bitmap.SetSize(0, 0);
  EXPECT_THROW(bitmap.ScanLine(0), EInvalidGraphicOperation);
}
