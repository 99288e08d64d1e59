// Loads arbitrary bytes as a JPEG file and draws the picture onto a bitmap, whose every pixel the
// harness then reads.
#include "LoadFuzz.h"

#include <platform/pictures/JpegImage.h>

namespace {
const FuzzLoad::TScratchFile Scratch(".jpg");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  return FuzzLoad::Run(Scratch, data, size, [](Platform::TBitmap &bitmap, const std::string &path) {
    Platform::TJPEGImage image;
    image.LoadFromFile(path);
    bitmap.SetSize(image.Width(), image.Height());
    bitmap.Canvas()->Draw(0, 0, image);
  });
}
