// JPEG files nobody here made: the reference tests decode to their PNG renderings, the rest load
// or are refused cleanly.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/JpegImage.h>
#include <platform/pictures/Picture.h>
#include <platform/rtl/Exceptions.h>
#include <set>
#include <string>

using namespace Platform;
namespace fs = std::filesystem;

namespace {

const fs::path JpegCorpus = fs::path(VELGRAPH_CORPORA_DIR) / "jpeg";

// Decoders differ in IDCT and chroma upsampling rounding: a channel within this many levels of
// the reference rendering counts as the same.
constexpr int ChannelTolerance = 2;

// The share of pixels whose every channel is within the tolerance; -1 when the sizes differ.
double ShareWithin(const TJPEGImage &image, TBitmap &reference) {
  const TRasterSurface &surface = image.Surface();
  if (surface.Width != reference.Width() || surface.Height != reference.Height())
    return -1;
  std::int64_t within = 0;
  for (int y = 0; y < surface.Height; ++y)
    for (int x = 0; x < surface.Width; ++x) {
      const std::uint32_t a = surface.Row(y)[x], b = reference.ScanLine(y)[x];
      int worst = 0;
      for (int shift : {0, 8, 16})
        worst =
            std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
      within += worst <= ChannelTolerance;
    }
  return static_cast<double>(within) / (static_cast<double>(surface.Width) * surface.Height);
}

// Loads a file through the picture loader: true for a picture, false for a clean refusal; any
// other exception escapes to fail the test.
bool Loads(const fs::path &path) {
  TPicture picture;
  try {
    picture.LoadFromFile(path.string());
    return picture.Width() > 0 && picture.Height() > 0;
  } catch (const EInvalidGraphic &) {
    return false;
  }
}

std::set<std::string> DisabledNames(const fs::path &list) {
  std::set<std::string> names;
  std::ifstream in(list);
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#')
      names.insert(line);
  return names;
}

} // namespace

TEST(JpegCorpus, ReferenceFilesMatchTheirRenderings) {
  const fs::path root = JpegCorpus / "jpeg-decoder" / "reftest";
  if (!fs::is_directory(root))
    GTEST_SKIP() << "missing folder " << root.string() << " (the shared test corpora)";
  const std::set<std::string> disabled = DisabledNames(root / "disabled.list");
  int files = 0, decoded = 0, matched = 0;
  for (const auto &entry : fs::recursive_directory_iterator(root)) {
    const fs::path png = fs::path(entry.path()).replace_extension(".png");
    const std::string name = fs::relative(entry.path(), root).generic_string();
    if (entry.path().extension() != ".jpg" || !fs::exists(png) || disabled.count(name))
      continue;
    SCOPED_TRACE(name);
    ++files;
    TJPEGImage image;
    ASSERT_NO_THROW(image.LoadFromFile(entry.path().string()));
    ++decoded;
    TBitmap reference;
    reference.LoadFromPngFile(png.string());
    const double share = ShareWithin(image, reference);
    EXPECT_GE(share, 0.99) << share * 100 << "% of pixels within " << ChannelTolerance;
    matched += share >= 0.99;
  }
  EXPECT_GE(files, 30);
  std::cout << "reference JPEG files: " << files << " decoded " << decoded << " matched " << matched << "\n";
}

TEST(JpegCorpus, OtherFilesLoadOrAreRefusedCleanly) {
  if (!fs::is_directory(JpegCorpus))
    GTEST_SKIP() << "missing folder " << JpegCorpus.string() << " (the shared test corpora)";
  struct TFolder {
    const char *Path;
    std::set<std::string> MustLoad, MustFail;
  };
  const TFolder folders[] = {
      {"libjpeg-turbo", {"testorig.jpg", "testimgint.jpg", "testimgari.jpg"}, {"monkey12.jpg"}},
      {"pillow", {"hopper.jpg", "hopper_gray.jpg", "pil_sample_cmyk.jpg", "ycck.jpg", "flower.jpg"}, {}},
      {"jpeg-decoder/crashtest", {}, {"empty.jpg"}},
      {"jpeg-decoder/reftest", {}, {}},
  };
  for (const TFolder &folder : folders) {
    int files = 0, decoded = 0, refused = 0;
    for (const auto &entry : fs::recursive_directory_iterator(JpegCorpus / folder.Path)) {
      if (entry.path().extension() != ".jpg")
        continue;
      const std::string name = entry.path().filename().string();
      SCOPED_TRACE(entry.path().string());
      ++files;
      bool loaded = false;
      EXPECT_NO_THROW(loaded = Loads(entry.path()));
      decoded += loaded;
      refused += !loaded;
      if (folder.MustLoad.count(name) || folder.MustFail.count(name)) {
        EXPECT_EQ(loaded, folder.MustLoad.count(name) > 0);
      }
    }
    EXPECT_GT(files, 0);
    std::cout << folder.Path << ": " << files << " files, " << decoded << " decoded, " << refused
              << " refused cleanly\n";
  }
}
