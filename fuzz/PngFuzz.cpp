// Loads arbitrary bytes as a PNG file: anything but a clean load, EInvalidGraphic, or EOutOfMemory
// for a plausible file larger than the heap gives is a fault.
#include <cstdint>
#include <cstdio>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Exceptions.h>
#include <string>
#include <unistd.h>

namespace {
// The loader reads files, so each input goes through one scratch file per process.
struct TScratchFile {
  std::string Path = "/tmp/velgraph-png-fuzz-" + std::to_string(::getpid()) + ".png";
  ~TScratchFile() { std::remove(Path.c_str()); }
} Scratch;

volatile std::uint32_t PixelSum;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  std::FILE *file = std::fopen(Scratch.Path.c_str(), "wb");
  if (!file)
    return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  Platform::TBitmap bitmap;
  try {
    bitmap.LoadFromPngFile(Scratch.Path);
  } catch (const Platform::EInvalidGraphic &) {
    return 0;
  } catch (const Platform::EOutOfMemory &) {
    return 0;
  }
  // Read every pixel so that a memory sanitizer build would see uninitialised ones.
  std::uint32_t sum = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      sum += bitmap.ScanLine(y)[x];
  PixelSum = sum;
  return 0;
}
