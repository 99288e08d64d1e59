// The shared body of the metafile fuzz targets: bytes load as a metafile and what loads plays onto
// a small raster canvas, stretched and at its own size, through the loader harness.
#pragma once

#include "LoadFuzz.h"
#include <platform/pictures/Metafile.h>

// Metafiles draw text, and fontconfig's configuration parser leaks a few hundred bytes per
// configuration it loads, out of our reach (the tests' suppressions say the same).
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace FuzzLoad {

inline void LoadAndPlayMetafile(Platform::TBitmap &bitmap, const std::string &path) {
  Platform::TMetafile metafile;
  metafile.LoadFromFile(path);
  bitmap.SetSize(48, 40);
  bitmap.Canvas()->StretchDraw({0, 0, 48, 40}, metafile);
  bitmap.Canvas()->Draw(-3, 5, metafile);
}

} // namespace FuzzLoad
