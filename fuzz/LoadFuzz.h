// The shared body of the loader fuzz targets: arbitrary bytes go through a scratch file into a
// bitmap loader, and anything but a clean load, EInvalidGraphic, or EOutOfMemory for a plausible
// file larger than the heap gives is a fault.
#pragma once

#include <cstdint>
#include <cstdio>
#include <platform/pictures/Bitmap.h>
#include <platform/rtl/Exceptions.h>
#include <string>
#include <unistd.h>

namespace FuzzLoad {

// The loaders read files, so each input goes through one scratch file per process.
struct TScratchFile {
  std::string Path;
  explicit TScratchFile(const char *extension) : Path("/tmp/velgraph-fuzz-" + std::to_string(::getpid()) + extension) {}
  ~TScratchFile() { std::remove(Path.c_str()); }
};

inline volatile std::uint32_t PixelSum;

template <typename TLoad> int Run(const TScratchFile &scratch, const std::uint8_t *data, std::size_t size, TLoad load) {
  std::FILE *file = std::fopen(scratch.Path.c_str(), "wb");
  if (!file)
    return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  Platform::TBitmap bitmap;
  try {
    load(bitmap, scratch.Path);
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

} // namespace FuzzLoad
