#pragma once

namespace Platform {

// Asks the layer that knows the display for the screen's pixels per inch.
using TPixelsPerInchSource = int (*)();

// The screen's pixels per inch as its source answers now: 96, the headless screen's, while no
// source is set or the source answers a value that is not positive. Surfaces that serve the
// screen (form framebuffers, bitmaps) read it whenever they lay out text, so a display whose
// resolution is learnt or changes while they live sizes their text as it sizes the screen's.
int ScreenPixelsPerInch();
// The screen sets itself as the source; nullptr returns to the default.
void SetScreenPixelsPerInchSource(TPixelsPerInchSource source);

} // namespace Platform
