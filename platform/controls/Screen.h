#pragma once

namespace Platform {

// The display the forms are shown on, as the host reports it (headless: 1920 x 1080 at 96
// pixels per inch). Read live, so a host that learns the real display changes every reader.
class TScreen {
public:
  // Makes this screen the source of the pixels per inch that off-screen surfaces follow.
  TScreen();
  int Width() const;
  int Height() const;
  int PixelsPerInch() const;
};

// The one screen of the process.
TScreen &Screen();

} // namespace Platform
