#pragma once

#include <platform/rtl/Export.h>

namespace Platform {

// What the window host knows of the display: the screen size in pixels and its pixels per inch.
struct TDisplayMetrics {
  int Width = 1920;
  int Height = 1080;
  int PixelsPerInch = 96;
  friend constexpr bool operator==(const TDisplayMetrics &, const TDisplayMetrics &) = default;
};

// The display the forms are shown on. The host that runs writes what the display reports (the
// headless host its own metrics, by default 1920 x 1080 at 96 pixels per inch); readers ask at
// each use, so a host that learns the real display changes every reader.
class VELGRAPH_API TScreen {
public:
  // Makes this screen the source of the pixels per inch that off-screen surfaces follow.
  TScreen();
  int Width() const { return FMetrics.Width; }
  int Height() const { return FMetrics.Height; }
  int PixelsPerInch() const { return FMetrics.PixelsPerInch; }
  const TDisplayMetrics &Metrics() const { return FMetrics; }
  void SetMetrics(const TDisplayMetrics &metrics) { FMetrics = metrics; }

private:
  TDisplayMetrics FMetrics;
};

// The one screen of the process.
VELGRAPH_API TScreen &Screen();

} // namespace Platform
