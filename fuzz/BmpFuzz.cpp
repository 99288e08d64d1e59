// Loads arbitrary bytes as a BMP file.
#include "LoadFuzz.h"

namespace {
const FuzzLoad::TScratchFile Scratch(".bmp");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  return FuzzLoad::Run(Scratch, data, size,
                       [](Platform::TBitmap &bitmap, const std::string &path) { bitmap.LoadFromBmpFile(path); });
}
