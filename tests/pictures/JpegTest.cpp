// JPEG files made here with libjpeg's compressor, decoded, drawn, damaged and refused.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/JpegImage.h>
#include <platform/pictures/Picture.h>
#include <platform/rtl/Exceptions.h>
#include <string>
#include <support/TestFiles.h>
#include <vector>

#include <jpeglib.h>

using namespace Platform;

namespace {

using TestFiles::TBytes;
using TestFiles::WriteBytes;

std::string TempPath(const std::string &name) { return TestFiles::TempPath("jpeg", name); }

struct TJpegForm {
  int Width = 16, Height = 16;
  J_COLOR_SPACE Space = JCS_RGB;
  bool Progressive = false;
  bool AdobeMarker = true;
  bool Arithmetic = false;
};

// One pixel's samples as the file stores them (1, 3 or 4 of them), at quality 100 without chroma
// subsampling so that flat 8x8 blocks come back within a level or two.
using TSampler = std::function<std::vector<std::uint8_t>(int x, int y)>;

TBytes Encode(const TJpegForm &form, const TSampler &sample) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char *buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  const int components = form.Space == JCS_GRAYSCALE ? 1 : form.Space == JCS_CMYK ? 4 : 3;
  info.image_width = static_cast<JDIMENSION>(form.Width);
  info.image_height = static_cast<JDIMENSION>(form.Height);
  info.input_components = components;
  info.in_color_space = form.Space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  for (int c = 0; c < info.num_components; ++c)
    info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
  info.write_Adobe_marker = form.AdobeMarker && form.Space == JCS_CMYK;
  if (form.Progressive)
    jpeg_simple_progression(&info);
  info.arith_code = form.Arithmetic;
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(form.Width * components));
  for (int y = 0; y < form.Height; ++y) {
    for (int x = 0; x < form.Width; ++x) {
      const std::vector<std::uint8_t> samples = sample(x, y);
      std::copy(samples.begin(), samples.end(), row.begin() + x * components);
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  TBytes bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return bytes;
}

// Quadrants of 8x8 blocks: top left, top right, bottom left, bottom right.
TSampler Quadrants(const std::vector<std::vector<std::uint8_t>> &samples) {
  return [samples](int x, int y) { return samples[(y >= 8 ? 2 : 0) + (x >= 8 ? 1 : 0)]; };
}

TSampler Noise(int components) {
  return [components](int x, int y) {
    std::vector<std::uint8_t> samples;
    for (int c = 0; c < components; ++c)
      samples.push_back(static_cast<std::uint8_t>((x * 131 + y * 71 + c * 29) * 2654435761u >> 24));
    return samples;
  };
}

int ChannelDistance(std::uint32_t a, std::uint32_t b) {
  int worst = 0;
  for (int shift : {0, 8, 16})
    worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return worst + static_cast<int>((a | b) >> 24); // a fourth byte set counts as far off
}

std::size_t FindMarker(const TBytes &bytes, unsigned char code, std::size_t from = 2) {
  for (std::size_t i = from; i + 1 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == code)
      return i;
  return std::string::npos;
}

void SetSize(TBytes &bytes, int width, int height) {
  std::size_t sof = FindMarker(bytes, 0xC0);
  if (sof == std::string::npos)
    sof = FindMarker(bytes, 0xC2);
  ASSERT_NE(sof, std::string::npos);
  bytes[sof + 5] = static_cast<unsigned char>(height >> 8), bytes[sof + 6] = static_cast<unsigned char>(height);
  bytes[sof + 7] = static_cast<unsigned char>(width >> 8), bytes[sof + 8] = static_cast<unsigned char>(width);
}

std::string LoadError(TJPEGImage &image, const TBytes &bytes) {
  try {
    image.LoadFromMemory(bytes.data(), bytes.size());
  } catch (const EInvalidGraphic &error) {
    return error.what();
  }
  return "loaded";
}

} // namespace

TEST(Jpeg, EveryColourFormDecodesToItsPixels) {
  constexpr std::uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, Grey = 0x808080, Cyan = 0x00FFFF,
                          Yellow = 0xFFFF00, Black = 0, White = 0xFFFFFF;
  struct TCase {
    const char *Name;
    TJpegForm Form;
    std::vector<std::vector<std::uint8_t>> Samples;
    std::uint32_t Expected[4];
  };
  const TCase cases[] = {
      {"rgb", {}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {128, 128, 128}}, {Red, Green, Blue, Grey}},
      {"progressive",
       {.Progressive = true},
       {{0, 0, 255}, {255, 0, 0}, {128, 128, 128}, {0, 255, 0}},
       {Blue, Red, Grey, Green}},
      {"arithmetic",
       {.Arithmetic = true},
       {{255, 255, 255}, {0, 0, 0}, {0, 255, 0}, {255, 0, 0}},
       {White, Black, Green, Red}},
      {"grey", {.Space = JCS_GRAYSCALE}, {{0}, {255}, {128}, {0}}, {Black, White, Grey, Black}},
      // Ink amounts: the Adobe applications store them inverted and say so in their marker.
      {"cmyk inverted",
       {.Space = JCS_CMYK},
       {{0, 255, 255, 255}, {0, 0, 255, 255}, {255, 255, 255, 0}, {255, 255, 255, 127}},
       {Cyan, Blue, Black, Grey}},
      {"cmyk plain",
       {.Space = JCS_CMYK, .AdobeMarker = false},
       {{0, 0, 255, 0}, {255, 0, 0, 0}, {0, 0, 0, 255}, {0, 0, 0, 128}},
       {Yellow, Cyan, Black, Grey}},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.Name);
    const TBytes bytes = Encode(c.Form, Quadrants(c.Samples));
    TJPEGImage image;
    image.LoadFromMemory(bytes.data(), bytes.size());
    ASSERT_EQ(image.Width(), 16);
    ASSERT_EQ(image.Height(), 16);
    EXPECT_EQ(image.Grayscale(), c.Form.Space == JCS_GRAYSCALE);
    EXPECT_EQ(image.Warning(), "");
    for (int q = 0; q < 4; ++q)
      for (const auto &[dx, dy] : {std::pair{1, 1}, {6, 6}, {1, 6}}) {
        const int x = (q % 2) * 8 + dx, y = (q / 2) * 8 + dy;
        EXPECT_LE(ChannelDistance(image.Surface().Row(y)[x], c.Expected[q]), 2)
            << "quadrant " << q << " pixel " << std::hex << image.Surface().Row(y)[x];
      }
  }
}

TEST(Jpeg, PicturesOfJpegContentDrawLikeBitmaps) {
  const std::string path = TempPath("drawn.bmp"); // the content decides, not the name
  WriteBytes(path, Encode({}, Quadrants({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}})));
  TPicture picture;
  picture.LoadFromFile(path);
  ASSERT_NE(dynamic_cast<TJPEGImage *>(picture.Graphic()), nullptr);
  EXPECT_THROW(picture.Graphic()->SetWidth(3), EInvalidGraphicOperation);
  TBitmap target(40, 40);
  target.Canvas()->Draw(2, 3, *picture.Graphic());
  target.Canvas()->StretchDraw({0, 20, 8, 40}, *picture.Graphic()); // half as wide, 1.25 times as high
  const struct {
    int X, Y;
    std::uint32_t Expected;
  } probes[] = {{1, 1, 0xFFFFFF},  {3, 4, 0xFF0000},  {17, 4, 0x00FF00}, {3, 18, 0x0000FF}, {17, 18, 0xFFFFFF},
                {1, 21, 0xFF0000}, {6, 21, 0x00FF00}, {1, 38, 0x0000FF}, {6, 38, 0xFFFFFF}, {9, 30, 0xFFFFFF}};
  for (const auto &probe : probes)
    EXPECT_LE(ChannelDistance(target.ScanLine(probe.Y)[probe.X], probe.Expected), 2) << probe.X << "," << probe.Y;
  // Memory and file give the same pixels.
  TJPEGImage fromFile;
  fromFile.LoadFromFile(path);
  const auto *jpeg = static_cast<TJPEGImage *>(picture.Graphic());
  EXPECT_TRUE(std::equal(jpeg->Surface().Pixels, jpeg->Surface().Pixels + 256, fromFile.Surface().Pixels));
  std::remove(path.c_str());
}

TEST(Jpeg, DamagedStreamsDecodeWhatTheyHoldOrAreRefused) {
  const TBytes intact = Encode({.Width = 64, .Height = 256, .Space = JCS_GRAYSCALE}, Noise(1));
  TJPEGImage whole;
  whole.LoadFromMemory(intact.data(), intact.size());
  // Cut halfway: the top rows are there, the rest is worked around with a warning.
  const TBytes half(intact.begin(), intact.begin() + static_cast<std::ptrdiff_t>(intact.size() / 2));
  TJPEGImage image;
  image.LoadFromMemory(half.data(), half.size());
  EXPECT_EQ(image.Height(), 256);
  EXPECT_NE(image.Warning().find("Premature end"), std::string::npos) << image.Warning();
  EXPECT_TRUE(std::equal(whole.Surface().Pixels, whole.Surface().Pixels + 64 * 64, image.Surface().Pixels));

  // Marker bytes in a segment's payload are no scans: 300 of them do not reach the scan limit.
  TBytes annotated = intact;
  TBytes segment = {0xFF, 0xEF, 0x02, 0x5A}; // an application segment of 600 bytes
  for (int i = 0; i < 300; ++i)
    segment.insert(segment.end(), {0xFF, 0xDA});
  annotated.insert(annotated.begin() + 2, segment.begin(), segment.end());
  EXPECT_EQ(LoadError(image, annotated), "loaded");

  // A blank picture codes to almost nothing with the arithmetic coder: fewer bytes than a Huffman
  // stream would need for its blocks, yet a sound stream.
  const TBytes blank = Encode({.Width = 2048, .Height = 1024, .Space = JCS_GRAYSCALE, .Arithmetic = true},
                              [](int, int) { return std::vector<std::uint8_t>{200}; });
  ASSERT_LT(blank.size(), 2048u * 1024 / 64 / 8);
  TJPEGImage large;
  large.LoadFromMemory(blank.data(), blank.size());
  EXPECT_EQ(large.Width(), 2048);
  EXPECT_LE(ChannelDistance(large.Surface().Row(1000)[2000], 0xC8C8C8), 1);

  // Refusals name what is wrong and leave the image as it was.
  const std::size_t scanData =
      FindMarker(intact, 0xDA) + 2 + (intact[FindMarker(intact, 0xDA) + 2] << 8 | intact[FindMarker(intact, 0xDA) + 3]);
  TBytes huge = intact;
  SetSize(huge, 16000, 16000);
  TBytes tooLarge = intact;
  SetSize(tooLarge, 65000, 65000);
  TBytes manyScans = Encode({.Progressive = true}, Noise(3));
  const std::size_t firstScan = FindMarker(manyScans, 0xDA), nextMarker = FindMarker(manyScans, 0xC4, firstScan + 2);
  ASSERT_NE(nextMarker, std::string::npos);
  const TBytes scan(manyScans.begin() + static_cast<std::ptrdiff_t>(firstScan),
                    manyScans.begin() + static_cast<std::ptrdiff_t>(nextMarker));
  for (int i = 0; i < TJPEGImage::MaxScans; ++i)
    manyScans.insert(manyScans.begin() + static_cast<std::ptrdiff_t>(nextMarker), scan.begin(), scan.end());
  const struct {
    const char *Name;
    TBytes Bytes;
    const char *Message;
  } refusals[] = {
      {"no scan data", TBytes(intact.begin(), intact.begin() + static_cast<std::ptrdiff_t>(scanData + 3)),
       "JPEG: file truncated: 64 x 256 pixels need 256 blocks"},
      {"no complete row", TBytes(intact.begin(), intact.begin() + static_cast<std::ptrdiff_t>(scanData + 40)),
       "JPEG: file truncated before any image data"},
      {"more pixels than the data holds", huge, "blocks, more than the"},
      {"beyond the pixel limit", tooLarge, "is too large"},
      {"endless scans", manyScans, "JPEG: more than 256 scans"},
      {"no frame", TBytes{0xFF, 0xD8, 0xFF, 0xD9}, "contains no image"},
      {"not a JPEG stream", TBytes{'G', 'I', 'F', '8', '9', 'a'}, "Not a JPEG file"},
  };
  for (const auto &refusal : refusals) {
    SCOPED_TRACE(refusal.Name);
    EXPECT_NE(LoadError(image, refusal.Bytes).find(refusal.Message), std::string::npos)
        << LoadError(image, refusal.Bytes);
    EXPECT_EQ(image.Height(), 256);
    EXPECT_EQ(image.Surface().Row(0)[0], whole.Surface().Row(0)[0]);
  }
  EXPECT_THROW(image.LoadFromMemory(nullptr, 0), EInvalidGraphic);
  EXPECT_THROW(image.LoadFromFile(TempPath("missing.jpg")), EInvalidGraphic);
  EXPECT_THROW(image.LoadFromFile(std::string("a\0b.jpg", 7)), Exception);
  const std::string empty = TempPath("empty.jpg");
  WriteBytes(empty, {});
  EXPECT_THROW(image.LoadFromFile(empty), EInvalidGraphic);
  std::remove(empty.c_str());
  EXPECT_EQ(image.Width(), 64);
}
