#include <platform/pictures/PictureFile.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

TPictureFile::TPictureFile(const std::string &fileName, const char *format)
    : FName(fileName), FFormat(format), FHandle(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC)) {
  if (FHandle < 0)
    Fail("cannot open '" + fileName + "': " + std::strerror(errno));
  struct stat info {};
  if (::fstat(FHandle, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(FHandle);
    Fail("'" + fileName + "' is not a regular file");
  }
  FSize = static_cast<std::uint64_t>(info.st_size);
}

TPictureFile::~TPictureFile() { ::close(FHandle); }

void TPictureFile::Fail(const std::string &message) const {
  throw EInvalidGraphic(std::string(FFormat) + ": " + message);
}

void TPictureFile::ReadAt(std::uint64_t offset, std::uint8_t *target, std::size_t count) const {
  while (count > 0) {
    const ssize_t read = ::pread(FHandle, target, count, static_cast<off_t>(offset));
    if (read < 0 && errno == EINTR)
      continue;
    if (read <= 0)
      Fail(read < 0 ? "cannot read '" + FName + "': " + std::strerror(errno) : "file truncated while reading");
    target += read, offset += static_cast<std::uint64_t>(read), count -= static_cast<std::size_t>(read);
  }
}

std::vector<std::uint8_t> ReadPictureFile(const std::string &fileName, std::uint64_t maxBytes, const char *format) {
  const TPictureFile file(fileName, format);
  if (file.Size() > maxBytes)
    throw EInvalidGraphic(std::string(format) + ": '" + fileName + "' is too large (" +
                          IntToStr(static_cast<std::int64_t>(file.Size())) + " bytes)");
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(static_cast<std::size_t>(file.Size()));
  } catch (const std::bad_alloc &) {
    throw EOutOfMemory(std::string(format) + ": no memory to read '" + fileName + "'");
  }
  file.ReadAt(0, bytes.data(), bytes.size());
  return bytes;
}

} // namespace Platform
