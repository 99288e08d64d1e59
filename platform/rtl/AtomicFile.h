#pragma once

#include <cstdio>
#include <string>

namespace Platform {

// A file written under a temporary name in the target's folder and renamed over the target only
// when Commit succeeds, so a failed write (a full disk, an exception half way) leaves the old file
// as it was and no truncated one. The temporary file is removed unless committed.
class TAtomicFile {
public:
  // Raises Exception when the name is refused (see CheckFileName) or the folder cannot take a
  // new file; the target is not touched.
  explicit TAtomicFile(const std::string &fileName);
  TAtomicFile(const TAtomicFile &) = delete;
  TAtomicFile &operator=(const TAtomicFile &) = delete;
  ~TAtomicFile();

  std::FILE *Handle() const { return FHandle; }
  const std::string &FileName() const { return FFileName; }

  // Flushes and closes the temporary file, then renames it over the target. Raises Exception,
  // leaving the target as it was, if anything written did not reach the disk.
  void Commit();

private:
  void Discard();

  std::string FFileName;
  std::string FTempName;
  std::FILE *FHandle = nullptr;
};

} // namespace Platform
