#pragma once

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace TestFiles {

using TBytes = std::vector<unsigned char>;

// A scratch file name of this process, so parallel test programs never share one.
inline std::string TempPath(const std::string &prefix, const std::string &name) {
  return testing::TempDir() + "velgraph-" + prefix + "-" + std::to_string(::getpid()) + "-" + name;
}

inline TBytes ReadBytes(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string &path, const TBytes &bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace TestFiles
