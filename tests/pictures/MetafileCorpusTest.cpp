// Metafiles nobody here made, read in place from the shared corpora: the Windows renderings are
// matched, every file plays, and bad files fail cleanly.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/Metafile.h>
#include <platform/pictures/Picture.h>
#include <platform/rtl/Exceptions.h>
#include <string>

using namespace Platform;
namespace fs = std::filesystem;

namespace {

const fs::path Corpora = VELGRAPH_CORPORA_DIR;

// Plays the file into a white bitmap of the given size.
void Render(const fs::path &file, TBitmap &bitmap, int width, int height) {
  TMetafile metafile;
  metafile.LoadFromFile(file.string());
  bitmap.SetSize(width, height);
  bitmap.Canvas()->StretchDraw({0, 0, width, height}, metafile);
}

// The share of pixels whose every channel is within `tolerance` of the reference.
double ShareWithin(TBitmap &actual, TBitmap &expected, int tolerance) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
    return 0;
  std::int64_t within = 0;
  for (int y = 0; y < actual.Height(); ++y)
    for (int x = 0; x < actual.Width(); ++x) {
      const std::uint32_t a = actual.ScanLine(y)[x], e = expected.ScanLine(y)[x];
      bool close = true;
      for (int shift : {0, 8, 16})
        close = close && std::abs(int((a >> shift) & 0xFF) - int((e >> shift) & 0xFF)) <= tolerance;
      within += close;
    }
  return double(within) / (double(actual.Width()) * actual.Height());
}

} // namespace

TEST(MetafileCorpus, WindowsRenderingsAreMatched) {
  if (!fs::is_directory(Corpora / "wmf" / "pillow"))
    GTEST_SKIP() << "missing folder " << (Corpora / "wmf" / "pillow").string() << " (the shared test corpora)";
  struct TCase {
    const char *File, *Reference;
    double MinShare;
  };
  const TCase cases[] = {
      {"wmf/pillow/drawing.wmf", "wmf/pillow/drawing_wmf_ref.png", 0.975},
      {"wmf/pillow/drawing.wmf", "wmf/pillow/drawing_wmf_ref_144.png", 0.975},
      {"emf/pillow/drawing.emf", "emf/pillow/drawing_emf_ref.png", 0.995},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.Reference);
    TBitmap expected, actual;
    expected.LoadFromPngFile((Corpora / c.Reference).string());
    Render(Corpora / c.File, actual, expected.Width(), expected.Height());
    if (std::getenv("METAFILE_DUMP"))
      actual.SaveToPngFile(std::string("/tmp/mf/") + fs::path(c.Reference).filename().string());
    const double share = ShareWithin(actual, expected, 8);
    std::cout << c.Reference << ": " << share * 100 << "% of pixels within 8 per channel\n";
    EXPECT_GE(share, c.MinShare);
  }
}

namespace {

enum class TOutcome { Decoded, Refused };

// Loads through the picture, as an application would, and plays what loads onto a small bitmap.
TOutcome LoadAndPlay(const fs::path &path) {
  TPicture picture;
  try {
    picture.LoadFromFile(path.string());
  } catch (const EInvalidGraphic &) {
    return TOutcome::Refused;
  }
  TBitmap bitmap(160, 120);
  bitmap.Canvas()->StretchDraw({0, 0, 160, 120}, *picture.Graphic());
  return TOutcome::Decoded;
}

} // namespace

TEST(MetafileCorpus, EveryFolderLoadsOrFailsCleanly) {
  if (!fs::is_directory(Corpora / "emf" / "libemf2svg" / "good"))
    GTEST_SKIP() << "missing folder " << (Corpora / "emf").string() << " (the shared test corpora)";
  struct TFolder {
    const char *Path;
    // Good files must decode, bad ones must be refused, others may do either.
    enum { Good, Bad, Either } Rule;
  };
  const TFolder folders[] = {
      {"emf/libemf2svg/good", TFolder::Good},
      {"emf/pillow", TFolder::Good},
      {"emf/wmf2svg", TFolder::Good},
      {"wmf/pillow", TFolder::Good},
      {"wmf/wmf2svg", TFolder::Good},
      {"wmf/bad", TFolder::Either},
      {"emf/libemf2svg/corrupted", TFolder::Either},
  };
  for (const TFolder &folder : folders) {
    int files = 0, decoded = 0, refused = 0;
    for (const auto &entry : fs::directory_iterator(Corpora / folder.Path)) {
      const std::string extension = entry.path().extension().string();
      if (extension != ".emf" && extension != ".wmf")
        continue;
      SCOPED_TRACE(entry.path().string());
      ++files;
      const TOutcome outcome = LoadAndPlay(entry.path());
      decoded += outcome == TOutcome::Decoded;
      refused += outcome == TOutcome::Refused;
      if (folder.Rule == TFolder::Good) {
        EXPECT_EQ(outcome, TOutcome::Decoded);
      } else if (folder.Rule == TFolder::Bad) {
        EXPECT_EQ(outcome, TOutcome::Refused);
      }
    }
    EXPECT_GT(files, 0) << folder.Path;
    std::cout << folder.Path << ": " << files << " files, " << decoded << " decoded, " << refused
              << " refused cleanly, 0 crashed\n";
  }
}
