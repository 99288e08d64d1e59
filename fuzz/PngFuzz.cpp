// Loads arbitrary bytes as a PNG file.
#include "LoadFuzz.h"

namespace {
const FuzzLoad::TScratchFile Scratch(".png");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  return FuzzLoad::Run(Scratch, data, size,
                       [](Platform::TBitmap &bitmap, const std::string &path) { bitmap.LoadFromPngFile(path); });
}
