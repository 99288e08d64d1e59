#pragma once

namespace Platform {

// What the window host knows of the display: the screen size in pixels and its pixels per inch.
// The headless host keeps the defaults; a desktop host writes what the display reports.
struct TDisplayMetrics {
  int Width = 1920;
  int Height = 1080;
  int PixelsPerInch = 96;
};

TDisplayMetrics &DisplayMetrics();

} // namespace Platform
