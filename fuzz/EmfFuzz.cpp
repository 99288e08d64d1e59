// Loads arbitrary bytes as an enhanced metafile and plays them.
#include "MetafileFuzz.h"

namespace {
const FuzzLoad::TScratchFile Scratch(".emf");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  return FuzzLoad::Run(Scratch, data, size, FuzzLoad::LoadAndPlayMetafile);
}
