#pragma once

#include <cstdio>
#include <string>

namespace Platform {

// A file written under a temporary name in its target's folder and renamed over the target only
// when complete, so that a failed or abandoned write leaves the target as it was. Errors are
// reported as errno values; the caller names the file in its own exception.
class TSafeFile {
public:
  // Creates the temporary file; check Error() (0: open).
  explicit TSafeFile(std::string target);
  // Removes the temporary file unless committed.
  ~TSafeFile();
  TSafeFile(const TSafeFile &) = delete;
  TSafeFile &operator=(const TSafeFile &) = delete;

  const std::string &Target() const { return FTarget; }
  const std::string &TemporaryName() const { return FTemporary; }
  // The first error met, 0 while there is none.
  int Error() const { return FError; }
  // Appends bytes; false (and Error() set) when they cannot be written.
  bool Write(const void *data, std::size_t size);
  // Flushes to the disk, closes and renames over `target` (empty: the target given at
  // construction); false when any step or an earlier write failed.
  bool Commit(const std::string &target = {});

private:
  void Fail(int error);

  std::string FTarget;
  std::string FTemporary;
  std::FILE *FStream = nullptr;
  int FError = 0;
  bool FCommitted = false;
};

} // namespace Platform
