#include <platform/graphics/ScreenResolution.h>

#include <atomic>

namespace Platform {

namespace {

constexpr int DefaultPixelsPerInch = 96;

// Atomic because a source may be set while another thread renders off-screen.
std::atomic<TPixelsPerInchSource> Source{nullptr};

} // namespace

int ScreenPixelsPerInch() {
  const TPixelsPerInchSource source = Source.load(std::memory_order_acquire);
  const int value = source ? source() : DefaultPixelsPerInch;
  return value > 0 ? value : DefaultPixelsPerInch;
}

void SetScreenPixelsPerInchSource(TPixelsPerInchSource source) { Source.store(source, std::memory_order_release); }

} // namespace Platform
