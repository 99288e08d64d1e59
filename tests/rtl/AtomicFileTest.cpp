#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <platform/rtl/AtomicFile.h>
#include <platform/rtl/Exceptions.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace Platform;

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Everything in the folder, so that a left-over temporary file shows.
std::vector<std::string> Entries(const fs::path &folder) {
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void Write(TAtomicFile &file, const std::string &text) { std::fputs(text.c_str(), file.Handle()); }

} // namespace

// The target changes only on Commit, whole; a write abandoned part way (an exception) leaves the
// old file and nothing beside it, and a replaced file keeps its permissions.
TEST(AtomicFile, TheTargetChangesOnlyWhenComplete) {
  const fs::path folder = fs::path(testing::TempDir()) / ("velgraph-atomic-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path target = folder / "data.txt";
  {
    TAtomicFile file(target.string());
    Write(file, "first");
    EXPECT_FALSE(fs::exists(target));
    file.Commit();
  }
  EXPECT_EQ(Contents(target), "first");
  ::chmod(target.c_str(), 0640);

  try {
    TAtomicFile file(target.string());
    Write(file, "half");
    throw std::runtime_error("the writer failed");
  } catch (const std::runtime_error &) {
  }
  EXPECT_EQ(Contents(target), "first");
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"data.txt"});

  {
    TAtomicFile file(target.string());
    Write(file, "second");
    EXPECT_EQ(Contents(target), "first");
    file.Commit();
    EXPECT_THROW(file.Commit(), Exception);
  }
  EXPECT_EQ(Contents(target), "second");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"data.txt"});

  EXPECT_THROW(TAtomicFile((folder / "missing" / "x.txt").string()), Exception);
  EXPECT_THROW(TAtomicFile(target.string() + std::string(1, '\0') + "tail"), Exception);
  EXPECT_THROW(TAtomicFile(""), Exception);
  fs::remove_all(folder);
}
