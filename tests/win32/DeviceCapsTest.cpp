#include <gtest/gtest.h>

#include <platform/graphics/RecordingDevice.h>
#include <platform/host/Display.h>
#include <platform/pictures/Bitmap.h>
#include <platform/win32/DeviceCaps.h>
#include <platform/win32/GdiObjects.h>

using namespace Platform;

TEST(DeviceCaps, ScreenFollowsTheDisplayMetrics) {
  const TDisplayMetrics saved = DisplayMetrics();
  DisplayMetrics() = {1920, 1080, 96};
  const HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1920);
  EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 1080);
  EXPECT_EQ(GetDeviceCaps(screen, HORZSIZE), 508);
  EXPECT_EQ(GetDeviceCaps(screen, VERTSIZE), 286);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  // Read at each call, so a host that learns the real display is seen at once.
  DisplayMetrics() = {2560, 1440, 144};
  EXPECT_EQ(GetDeviceCaps(screen, HORZSIZE), 452);
  EXPECT_EQ(GetDeviceCaps(screen, VERTSIZE), 254);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 144);
  DisplayMetrics() = {800, 600, 0};
  EXPECT_EQ(GetDeviceCaps(screen, HORZSIZE), 0);
  EXPECT_EQ(GetDeviceCaps(screen, 12345), 0);
  DisplayMetrics() = saved;
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 0);
  EXPECT_EQ(GetDeviceCaps(nullptr, HORZRES), 0);
}

TEST(DeviceCaps, CanvasContextsAnswerForTheirDevice) {
  TBitmap bitmap(800, 600);
  const HDC dc = bitmap.Canvas()->Handle();
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 800);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 600);
  EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), 212);
  EXPECT_EQ(GetDeviceCaps(dc, VERTSIZE), 159);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
  // A page-sized surface at 600 dpi: A4 is 210 x 297 mm.
  bitmap.SetPixelsPerInch(600);
  bitmap.SetSize(4961, 7016);
  EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), 210);
  EXPECT_EQ(GetDeviceCaps(dc, VERTSIZE), 297);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 600);
  // Devices without pixels have no size; a canvas without a device has the screen's resolution.
  TRecordingDevice recording;
  TCanvas recorder(&recording), none;
  EXPECT_EQ(GetDeviceCaps(recorder.Handle(), HORZRES), 0);
  EXPECT_EQ(GetDeviceCaps(recorder.Handle(), LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(none.Handle(), VERTSIZE), 0);
  EXPECT_EQ(GetDeviceCaps(none.Handle(), LOGPIXELSY), 96);
}
