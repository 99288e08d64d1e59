#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

// A picture file open for reading at any offset, for loaders that read only the parts a header
// calls for. Failures raise EInvalidGraphic ("<format>: ...").
class TPictureFile {
public:
  // Raises when the file cannot be opened or is no regular file.
  TPictureFile(const std::string &fileName, const char *format);
  TPictureFile(const TPictureFile &) = delete;
  TPictureFile &operator=(const TPictureFile &) = delete;
  ~TPictureFile();

  std::uint64_t Size() const { return FSize; }

  // count bytes from offset into target; raises when the file ends before them.
  void ReadAt(std::uint64_t offset, std::uint8_t *target, std::size_t count) const;

private:
  [[noreturn]] void Fail(const std::string &message) const;

  std::string FName;
  const char *FFormat;
  int FHandle = -1;
  std::uint64_t FSize = 0;
};

// The whole content of a regular file of at most maxBytes. Raises EInvalidGraphic ("<format>:
// ...") when it cannot be opened, is no regular file or is larger, and EOutOfMemory when the heap
// cannot hold it.
std::vector<std::uint8_t> ReadPictureFile(const std::string &fileName, std::uint64_t maxBytes, const char *format);

} // namespace Platform
