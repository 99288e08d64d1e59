// Loads arbitrary bytes as a Windows metafile and plays them.
#include "MetafileFuzz.h"

namespace {
const FuzzLoad::TScratchFile Scratch(".wmf");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  return FuzzLoad::Run(Scratch, data, size, FuzzLoad::LoadAndPlayMetafile);
}
