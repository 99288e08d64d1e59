#include <platform/pictures/PictureFile.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <sys/stat.h>

namespace Platform {

std::vector<std::uint8_t> ReadPictureFile(const std::string &fileName, std::uint64_t maxBytes, const char *format) {
  const std::string prefix = std::string(format) + ": ";
  std::FILE *file = std::fopen(fileName.c_str(), "rb");
  if (!file)
    throw EInvalidGraphic(prefix + "cannot open '" + fileName + "': " + std::strerror(errno));
  struct stat info {};
  if (::fstat(::fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
    std::fclose(file);
    throw EInvalidGraphic(prefix + "'" + fileName + "' is not a regular file");
  }
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > maxBytes) {
    std::fclose(file);
    throw EInvalidGraphic(prefix + "'" + fileName + "' is too large (" + IntToStr(static_cast<std::int64_t>(size)) +
                          " bytes)");
  }
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc &) {
    std::fclose(file);
    throw EOutOfMemory(prefix + "no memory to read '" + fileName + "'");
  }
  const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  bytes.resize(read);
  return bytes;
}

} // namespace Platform
