#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Exceptions.h>
#include <platform/win32/Dib.h>
#include <platform/win32/GdiObjects.h>
#include <support/RecordingCanvas.h>
#include <vector>

using namespace Platform;

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF, Black = 0;

// A DIB in one block, header then colour table, as a file or GetDIB lays it out.
struct TDib {
  std::vector<unsigned char> Info;
  std::vector<unsigned char> Bits;

  TDib(int width, int height, int bitCount, std::vector<TColor> palette, std::vector<unsigned char> bits)
      : Info(sizeof(BITMAPINFOHEADER) + palette.size() * sizeof(RGBQUAD)), Bits(std::move(bits)) {
    BITMAPINFOHEADER header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biClrUsed = static_cast<DWORD>(palette.size());
    std::memcpy(Info.data(), &header, sizeof header);
    for (std::size_t i = 0; i < palette.size(); ++i) {
      const RGBQUAD quad{static_cast<BYTE>(palette[i] >> 16), static_cast<BYTE>(palette[i] >> 8),
                         static_cast<BYTE>(palette[i]), 0};
      std::memcpy(Info.data() + sizeof header + i * sizeof quad, &quad, sizeof quad);
    }
  }
  BITMAPINFOHEADER &Header() { return *reinterpret_cast<BITMAPINFOHEADER *>(Info.data()); }
  const BITMAPINFO *Bmi() const { return reinterpret_cast<const BITMAPINFO *>(Info.data()); }
};

// The pixels of a bitmap row by row, for comparing whole pictures.
std::vector<TColor> PixelsOf(TBitmap &bitmap) {
  std::vector<TColor> pixels;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      pixels.push_back(bitmap.Canvas()->Pixels(x, y));
  return pixels;
}

int Draw(TBitmap &target, int x, int y, int w, int h, const TDib &dib, int sx = 0, int sy = 0, int sw = 2, int sh = 2) {
  return StretchDIBits(CanvasHandle(*target.Canvas()), x, y, w, h, sx, sy, sw, sh, dib.Bits.data(), dib.Bmi(),
                       DIB_RGB_COLORS, SRCCOPY);
}

} // namespace

TEST(Dib, GetDIBReadsTheBitmapBottomUpAtThirtyTwoBits) {
  auto bitmap = std::make_unique<TBitmap>(3, 2);
  bitmap->Canvas()->SetPixels(0, 0, Red);
  bitmap->Canvas()->SetPixels(2, 1, Blue);
  const HBITMAP handle = bitmap->Handle();
  EXPECT_EQ(bitmap->Handle(), handle);
  DWORD infoSize = 0, imageSize = 0;
  GetDIBSizes(handle, infoSize, imageSize);
  EXPECT_EQ(infoSize, 40u);
  EXPECT_EQ(imageSize, 3u * 4 * 2);
  std::vector<unsigned char> info(infoSize), bits(imageSize, 0xAA);
  ASSERT_TRUE(GetDIB(handle, bitmap->Palette(), info.data(), bits.data()));
  BITMAPINFOHEADER header;
  std::memcpy(&header, info.data(), sizeof header);
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 3);
  EXPECT_EQ(header.biHeight, 2);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 32);
  EXPECT_EQ(header.biCompression, BI_RGB);
  EXPECT_EQ(header.biSizeImage, imageSize);
  // The first row in memory is the bitmap's bottom row; bytes are blue, green, red, unused.
  const std::vector<unsigned char> expected = {0xFF, 0xFF, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0xFF, 0,    0,    0,
                                               0,    0,    0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0};
  EXPECT_EQ(bits, expected);

  // A handle outlives no bitmap: the calls refuse it instead of reading freed memory.
  bitmap.reset();
  EXPECT_THROW(GetDIBSizes(handle, infoSize, imageSize), EInvalidGraphic);
  EXPECT_FALSE(GetDIB(handle, nullptr, info.data(), bits.data()));
  TBitmap other(1, 1);
  EXPECT_FALSE(GetDIB(other.Handle(), nullptr, nullptr, bits.data()));
  EXPECT_FALSE(GetDIB(other.Handle(), nullptr, info.data(), nullptr));
  EXPECT_EQ(DeleteObject(other.Handle()), FALSE) << "a bitmap's handle belongs to the bitmap";
}

// The same picture (red, green over blue, white; two colours for 1 bit) in every depth.
TEST(Dib, StretchDIBitsReadsEveryDepth) {
  const std::vector<TColor> four = {Red, Green, Blue, White};
  const struct {
    const char *Name;
    TDib Dib;
    std::vector<TColor> Expected; // top-left, top-right, bottom-left, bottom-right
  } cases[] = {
      {"32 bottom-up", TDib(2, 2, 32, {}, {0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0}), four},
      {"32 top-down", TDib(2, -2, 32, {}, {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0}), four},
      {"24 padded rows", TDib(2, 2, 24, {}, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0}), four},
      {"16 five bits a channel", TDib(2, 2, 16, {}, {0x1F, 0x00, 0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03}), four},
      {"8 with a table", TDib(2, 2, 8, four, {2, 3, 0, 0, 0, 1, 0, 0}), four},
      {"4 with a table", TDib(2, 2, 4, four, {0x23, 0, 0, 0, 0x01, 0, 0, 0}), four},
      {"1 with a table", TDib(2, 2, 1, {Red, Green}, {0x80, 0, 0, 0, 0x40, 0, 0, 0}), {Red, Green, Green, Red}},
      {"8 past the table is black",
       TDib(2, 2, 8, {Red, Green}, {200, 1, 0, 0, 0, 7, 0, 0}),
       {Red, Black, Black, Green}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Name);
    TBitmap target(4, 4);
    EXPECT_EQ(Draw(target, 1, 1, 2, 2, c.Dib), 2);
    const std::vector<TColor> expected = {White,         White, White, White,         White,         c.Expected[0],
                                          c.Expected[1], White, White, c.Expected[2], c.Expected[3], White,
                                          White,         White, White, White};
    EXPECT_EQ(PixelsOf(target), expected);
  }
}

TEST(Dib, StretchDIBitsScalesMirrorsAndCropsInOneImage) {
  const TDib dib(2, 2, 32, {}, {0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0});
  TBitmap scaled(4, 4);
  Draw(scaled, 0, 0, 4, 4, dib);
  EXPECT_EQ(PixelsOf(scaled), (std::vector<TColor>{Red, Red, Green, Green, Red, Red, Green, Green, Blue, Blue, White,
                                                   White, Blue, Blue, White, White}));
  // A negative width runs leftwards from x: the picture lands on columns x-2..x-1, mirrored.
  TBitmap mirrored(2, 2);
  Draw(mirrored, 2, 2, -2, -2, dib);
  EXPECT_EQ(PixelsOf(mirrored), (std::vector<TColor>{White, Blue, Green, Red}));
  // In a bottom-up image the source rectangle counts rows from the bottom.
  TBitmap cropped(1, 1);
  EXPECT_EQ(Draw(cropped, 0, 0, 1, 1, dib, 1, 0, 1, 1), 1);
  EXPECT_EQ(cropped.Canvas()->Pixels(0, 0), White);
  Draw(cropped, 0, 0, 1, 1, dib, 0, 1, 1, 1);
  EXPECT_EQ(cropped.Canvas()->Pixels(0, 0), Red);

  // The device gets the converted rows as a single image, never pixel by pixel.
  TRecordingCanvas recorder;
  EXPECT_EQ(StretchDIBits(CanvasHandle(recorder.Canvas), 10, 20, 30, 40, 0, 0, 2, 2, dib.Bits.data(), dib.Bmi(),
                          DIB_RGB_COLORS, SRCCOPY),
            2);
  ASSERT_EQ(recorder.Calls().size(), 1u);
  const TRecordedCall &call = recorder.Calls()[0];
  EXPECT_EQ(call.Kind, dcDrawImage);
  EXPECT_EQ(call.Box, (TRect{10, 20, 40, 60}));
  EXPECT_EQ(call.ImagePixels, (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
}

TEST(Dib, StretchDIBitsRefusesWhatItCannotDraw) {
  const TDib good(2, 2, 24, {}, std::vector<unsigned char>(16, 0));
  const struct {
    const char *Name;
    void (*Spoil)(TDib &);
    int SrcX, SrcY, SrcW, SrcH, DestW;
    UINT Usage;
    DWORD Rop;
  } cases[] = {
      {"core header", [](TDib &d) { d.Header().biSize = 12; }, 0, 0, 2, 2, 2, DIB_RGB_COLORS, SRCCOPY},
      {"two planes", [](TDib &d) { d.Header().biPlanes = 2; }, 0, 0, 2, 2, 2, DIB_RGB_COLORS, SRCCOPY},
      {"run-length", [](TDib &d) { d.Header().biCompression = 1; }, 0, 0, 2, 2, 2, DIB_RGB_COLORS, SRCCOPY},
      {"2 bits", [](TDib &d) { d.Header().biBitCount = 2; }, 0, 0, 2, 2, 2, DIB_RGB_COLORS, SRCCOPY},
      {"no width", [](TDib &d) { d.Header().biWidth = 0; }, 0, 0, 2, 2, 2, DIB_RGB_COLORS, SRCCOPY},
      {"huge", [](TDib &d) { d.Header().biWidth = d.Header().biHeight = 1 << 20; }, 0, 0, 2, 2, 2, DIB_RGB_COLORS,
       SRCCOPY},
      {"palette colours", [](TDib &) {}, 0, 0, 2, 2, 2, DIB_PAL_COLORS, SRCCOPY},
      {"another raster operation", [](TDib &) {}, 0, 0, 2, 2, 2, DIB_RGB_COLORS, 0x00EE0086},
      {"source past the right", [](TDib &) {}, 1, 0, 2, 2, 2, DIB_RGB_COLORS, SRCCOPY},
      {"source above the top", [](TDib &) {}, 0, -1, 2, 2, 2, DIB_RGB_COLORS, SRCCOPY},
      {"empty source", [](TDib &) {}, 0, 0, 0, 2, 2, DIB_RGB_COLORS, SRCCOPY},
      {"empty destination", [](TDib &) {}, 0, 0, 2, 2, 0, DIB_RGB_COLORS, SRCCOPY},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Name);
    TDib dib = good;
    c.Spoil(dib);
    TBitmap target(2, 2);
    EXPECT_EQ(StretchDIBits(CanvasHandle(*target.Canvas()), 0, 0, c.DestW, 2, c.SrcX, c.SrcY, c.SrcW, c.SrcH,
                            dib.Bits.data(), dib.Bmi(), c.Usage, c.Rop),
              0);
    EXPECT_EQ(PixelsOf(target), std::vector<TColor>(4, White));
  }
  TBitmap target(2, 2);
  const HDC dc = CanvasHandle(*target.Canvas());
  EXPECT_EQ(StretchDIBits(dc, 0, 0, 2, 2, 0, 0, 2, 2, nullptr, good.Bmi(), DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(StretchDIBits(dc, 0, 0, 2, 2, 0, 0, 2, 2, good.Bits.data(), nullptr, DIB_RGB_COLORS, SRCCOPY), 0);
  const HDC screen = GetDC(nullptr);
  EXPECT_EQ(StretchDIBits(screen, 0, 0, 2, 2, 0, 0, 2, 2, good.Bits.data(), good.Bmi(), DIB_RGB_COLORS, SRCCOPY), 0);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(StretchDIBits(screen, 0, 0, 2, 2, 0, 0, 2, 2, good.Bits.data(), good.Bmi(), DIB_RGB_COLORS, SRCCOPY), 0);
}

// Reading a bitmap out and drawing it back gives the same pixels, at any width's row padding.
TEST(Dib, ABitmapDrawnFromItsOwnDibIsUnchanged) {
  for (const int width : {1, 3, 7}) {
    TBitmap source(width, 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < width; ++x)
        source.Canvas()->SetPixels(x, y, static_cast<TColor>((x * 0x3B + y * 0x71) * 0x010307 & 0xFFFFFF));
    DWORD infoSize = 0, imageSize = 0;
    GetDIBSizes(source.Handle(), infoSize, imageSize);
    std::vector<unsigned char> info(infoSize), bits(imageSize);
    ASSERT_TRUE(GetDIB(source.Handle(), source.Palette(), info.data(), bits.data()));
    TBitmap copy(width, 5);
    EXPECT_EQ(StretchDIBits(CanvasHandle(*copy.Canvas()), 0, 0, width, 5, 0, 0, width, 5, bits.data(),
                            reinterpret_cast<const BITMAPINFO *>(info.data()), DIB_RGB_COLORS, SRCCOPY),
              5);
    EXPECT_EQ(PixelsOf(copy), PixelsOf(source)) << "width " << width;
  }
}
