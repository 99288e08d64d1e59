// Loads arbitrary bytes as a JPEG file and draws the picture onto a bitmap, whose every pixel the
// harness then reads. The bitmap is at most 2048 pixels square: a small arithmetic-coded file may
// rightly hold a huge blank picture, and a full-size copy would only double its memory.
#include "LoadFuzz.h"

#include <algorithm>
#include <platform/pictures/JpegImage.h>

namespace {
const FuzzLoad::TScratchFile Scratch(".jpg");
constexpr int MaxSide = 2048;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  return FuzzLoad::Run(Scratch, data, size, [](Platform::TBitmap &bitmap, const std::string &path) {
    Platform::TJPEGImage image;
    image.LoadFromFile(path);
    bitmap.SetSize(std::min(image.Width(), MaxSide), std::min(image.Height(), MaxSide));
    bitmap.Canvas()->Draw(0, 0, image);
  });
}
