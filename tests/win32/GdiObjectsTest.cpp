#include <gtest/gtest.h>

#include "../fonts/Ink.h"
#include <cstring>
#include <platform/graphics/RecordingDevice.h>
#include <platform/win32/GdiObjects.h>
#include <platform/win32/HandleTable.h>

using namespace Platform;

namespace {

LOGFONTA LogFontOf(HGDIOBJ font) {
  LOGFONTA logFont;
  EXPECT_EQ(GetObjectA(font, sizeof(logFont), &logFont), static_cast<int>(sizeof(LOGFONTA)));
  return logFont;
}

} // namespace

TEST(GdiObjects, CanvasFontDescribesItself) {
  TBitmap bitmap(10, 10);
  TFont &font = bitmap.Canvas()->Font();
  font.SetName("arial");
  font.SetSize(8);
  font.SetStyle({fsBold, fsUnderline});
  const HFONT handle = font.Handle();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(font.Handle(), handle);
  const LOGFONTA logFont = LogFontOf(handle);
  EXPECT_EQ(logFont.lfHeight, -11);
  EXPECT_EQ(logFont.lfWeight, FW_BOLD);
  EXPECT_EQ(logFont.lfUnderline, 1);
  EXPECT_EQ(logFont.lfItalic, 0);
  EXPECT_EQ(logFont.lfEscapement, 0);
  EXPECT_STREQ(logFont.lfFaceName, "arial");
  // A changed font is a new object; the old handle is gone.
  font.SetSize(16);
  const HFONT larger = font.Handle();
  EXPECT_EQ(LogFontOf(larger).lfHeight, -21);
  EXPECT_EQ(GetObjectA(handle, sizeof(LOGFONTA), nullptr), 0);
  // A printer-like device converts points at its own resolution.
  TBitmap printer(10, 10);
  printer.SetPixelsPerInch(600);
  printer.Canvas()->Font().SetSize(12);
  EXPECT_EQ(LogFontOf(printer.Canvas()->Font().Handle()).lfHeight, -100);
}

TEST(GdiObjects, GetObjectCopiesWhatFits) {
  TFont font;
  font.SetName("A very long face name that does not fit in thirty-two characters");
  const HFONT handle = font.Handle();
  EXPECT_EQ(GetObjectA(handle, 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));
  LONG height = 0;
  EXPECT_EQ(GetObjectA(handle, sizeof(height), &height), static_cast<int>(sizeof(height)));
  EXPECT_EQ(height, -11);
  EXPECT_EQ(GetObjectA(handle, -4, &height), 0);
  const LOGFONTA logFont = LogFontOf(handle);
  EXPECT_EQ(std::strlen(logFont.lfFaceName), static_cast<std::size_t>(LF_FACESIZE - 1));
  // A description without its terminating zero is cut, not overrun.
  LOGFONTA unterminated = logFont;
  std::memset(unterminated.lfFaceName, 'x', LF_FACESIZE);
  const HFONT copy = CreateFontIndirectA(&unterminated);
  EXPECT_EQ(std::strlen(LogFontOf(copy).lfFaceName), static_cast<std::size_t>(LF_FACESIZE - 1));
  EXPECT_EQ(FontSpecOf(LogFontOf(copy)).Name, std::string(LF_FACESIZE - 1, 'x'));
  EXPECT_TRUE(DeleteObject(copy));
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

TEST(GdiObjects, RotatedTitleRoundTrip) {
  TBitmap direct(200, 200), viaHandles(200, 200);
  PrepareText(direct, "arial", 12);
  PrepareText(viaHandles, "arial", 12);
  TCanvas &canvas = *viaHandles.Canvas();
  canvas.Font().SetStyle({fsBold});
  direct.Canvas()->Font().SetStyle({fsBold});
  canvas.Handle();
  canvas.Font().Handle();
  const std::size_t objects = HandleTable::Count();

  LOGFONTA logFont;
  ASSERT_EQ(GetObjectA(canvas.Font().Handle(), sizeof(logFont), &logFont), static_cast<int>(sizeof(logFont)));
  logFont.lfEscapement = 900;
  logFont.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  const HFONT rotated = CreateFontIndirectA(&logFont);
  ASSERT_NE(rotated, nullptr);
  const HGDIOBJ previous = SelectObject(canvas.Handle(), rotated);
  EXPECT_EQ(previous, canvas.Font().Handle());
  EXPECT_EQ(canvas.TextFont().Escapement, 900);
  // Selecting a font that is already selected returns it as the previous one.
  EXPECT_EQ(SelectObject(canvas.Handle(), rotated), rotated);
  canvas.TextOut(100, 150, "Title");
  // A selected font cannot be deleted.
  EXPECT_FALSE(DeleteObject(rotated));
  EXPECT_EQ(SelectObject(canvas.Handle(), previous), rotated);
  EXPECT_EQ(canvas.TextFont().Escapement, 0);
  EXPECT_TRUE(DeleteObject(rotated));
  EXPECT_FALSE(DeleteObject(rotated));
  EXPECT_EQ(HandleTable::Count(), objects);

  // The title went upwards from the start point, exactly as an escaped font on the canvas writes it.
  TFontSpec escaped = direct.Canvas()->TextFont();
  escaped.Escapement = 900;
  direct.Canvas()->SetSelectedFont(&escaped);
  direct.Canvas()->TextOut(100, 150, "Title");
  const TInk want = InkOf(direct), got = InkOf(viaHandles);
  ASSERT_FALSE(got.Empty());
  EXPECT_EQ(got.Box, want.Box);
  EXPECT_EQ(got.Darkness, want.Darkness);
  EXPECT_LE(got.Box.Bottom, 150);
  EXPECT_GT(got.Box.Height(), got.Box.Width());

  // After the round trip the canvas writes with its own font again.
  viaHandles.Canvas()->Brush().SetStyle(bsSolid);
  PrepareText(viaHandles, "arial", 12);
  canvas.Font().SetStyle({fsBold});
  canvas.TextOut(10, 10, "Title");
  EXPECT_GT(InkOf(viaHandles).Box.Width(), InkOf(viaHandles).Box.Height());
}

TEST(GdiObjects, SelectionEndsWhenTheCanvasFontChanges) {
  TRecordingDevice device;
  TCanvas canvas(&device);
  LOGFONTA logFont = LogFontOf(canvas.Font().Handle());
  logFont.lfEscapement = 2700;
  logFont.lfHeight = -30;
  const HFONT rotated = CreateFontIndirectA(&logFont);
  SelectObject(canvas.Handle(), rotated);
  canvas.TextOut(1, 2, "a");
  canvas.Font().SetSize(20);
  canvas.TextOut(1, 2, "b");
  ASSERT_EQ(device.Calls().size(), 2u);
  EXPECT_EQ(device.Calls()[0].Font.Escapement, 2700);
  EXPECT_EQ(device.Calls()[0].Font.Height, -30);
  EXPECT_EQ(device.Calls()[1].Font.Escapement, 0);
  EXPECT_EQ(device.Calls()[1].Font.Height, 0);
  EXPECT_EQ(device.Calls()[1].Font.Size, 20);
  // The font is no longer selected anywhere, so it can go.
  EXPECT_TRUE(DeleteObject(rotated));
}

TEST(GdiObjects, StaleAndForeignHandlesFailCleanly) {
  const HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  TFont font;
  const HFONT live = font.Handle();
  const LOGFONTA description = LogFontOf(live);
  const HFONT dead = CreateFontIndirectA(&description);
  ASSERT_TRUE(DeleteObject(dead));
  const auto bogus = reinterpret_cast<HGDIOBJ>(std::uintptr_t{0xDEAD00000001});
  for (HGDIOBJ h : {static_cast<HGDIOBJ>(dead), bogus, HGDIOBJ{}, static_cast<HGDIOBJ>(screen)}) {
    LOGFONTA out;
    EXPECT_EQ(GetObjectA(h, sizeof(out), &out), 0);
    EXPECT_EQ(SelectObject(screen, h), nullptr);
    EXPECT_FALSE(DeleteObject(h));
  }
  EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(live), live), nullptr);
  EXPECT_EQ(SelectObject(nullptr, live), nullptr);
  // The screen context remembers its selection; its first font is the stock one.
  const HGDIOBJ stock = SelectObject(screen, live);
  EXPECT_EQ(stock, GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(SelectObject(screen, stock), live);
  EXPECT_TRUE(DeleteObject(stock));
  EXPECT_GT(GetObjectA(stock, sizeof(LOGFONTA), nullptr), 0);
  EXPECT_EQ(GetStockObject(12345), nullptr);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
  EXPECT_EQ(SelectObject(screen, live), nullptr);
  // A canvas's context is the canvas's: it is not released by ReleaseDC and dies with the canvas.
  HDC canvasDC;
  {
    TCanvas canvas;
    canvasDC = canvas.Handle();
    EXPECT_EQ(canvas.Handle(), canvasDC);
    EXPECT_EQ(ReleaseDC(nullptr, canvasDC), 0);
    EXPECT_FALSE(DeleteObject(canvasDC));
    EXPECT_EQ(SelectObject(canvasDC, live), canvas.Font().Handle());
  }
  EXPECT_EQ(SelectObject(canvasDC, live), nullptr);
  EXPECT_TRUE(DeleteObject(live));
  // The font notices its handle is gone and makes a new one.
  const HFONT renewed = font.Handle();
  EXPECT_NE(renewed, nullptr);
  EXPECT_NE(renewed, live);
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(std::uintptr_t{1})), nullptr);
}

TEST(GdiObjects, HandleTableIsBounded) {
  const std::size_t before = HandleTable::Count();
  LOGFONTA logFont;
  std::vector<HFONT> fonts;
  HFONT last;
  while ((last = CreateFontIndirectA(&logFont)) != nullptr && fonts.size() <= HandleTable::MaxObjects)
    fonts.push_back(last);
  EXPECT_EQ(last, nullptr);
  EXPECT_EQ(HandleTable::Count(), HandleTable::MaxObjects);
  EXPECT_EQ(GetDC(nullptr), nullptr);
  for (HFONT f : fonts)
    ASSERT_TRUE(DeleteObject(f));
  EXPECT_EQ(HandleTable::Count(), before);
  // Slots are reused with new generations, so old handles stay dead.
  const HFONT reused = CreateFontIndirectA(&logFont);
  EXPECT_NE(reused, fonts.back());
  EXPECT_EQ(GetObjectA(fonts.back(), sizeof(logFont), &logFont), 0);
  EXPECT_TRUE(DeleteObject(reused));
}
