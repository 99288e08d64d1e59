#include <platform/rtl/AtomicFile.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

std::string SystemError(const std::string &what, const std::string &fileName) {
  return "Cannot " + what + " '" + fileName + "': " + std::strerror(errno);
}

// A new file beside the target, so that the final rename never crosses file systems. It is made
// as open(2) makes any new file, so the process's umask applies; the name is hidden and unique.
int CreateBeside(const std::string &fileName, std::string &tempName) {
  static std::atomic<unsigned> serial{0};
  const std::size_t slash = fileName.rfind('/');
  const std::size_t baseAt = slash == std::string::npos ? 0 : slash + 1;
  const std::string prefix = fileName.substr(0, baseAt) + "." + fileName.substr(baseAt) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempName = prefix + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".tmp";
    const int descriptor = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0 || errno != EEXIST)
      return descriptor;
  }
  return -1;
}

} // namespace

TAtomicFile::TAtomicFile(const std::string &fileName) : FFileName(fileName) {
  CheckFileName(fileName);
  std::string name;
  const int descriptor = CreateBeside(fileName, name);
  if (descriptor < 0)
    throw Exception(SystemError("create", fileName));
  FTempName = std::move(name);
  // A file replaced keeps its permissions.
  struct stat target {};
  if (::stat(fileName.c_str(), &target) == 0)
    ::fchmod(descriptor, target.st_mode & 07777);
  FHandle = ::fdopen(descriptor, "wb");
  if (!FHandle) {
    const int error = errno;
    ::close(descriptor);
    Discard();
    errno = error;
    throw Exception(SystemError("create", fileName));
  }
}

TAtomicFile::~TAtomicFile() { Discard(); }

void TAtomicFile::Commit() {
  if (!FHandle)
    throw Exception("Cannot write '" + FFileName + "': the file was already closed");
  const bool written = std::fflush(FHandle) == 0 && ::fsync(::fileno(FHandle)) == 0;
  const int error = errno;
  const bool closed = std::fclose(FHandle) == 0;
  FHandle = nullptr;
  if (!written || !closed) {
    if (!written)
      errno = error;
    const std::string message = SystemError("write", FFileName);
    Discard();
    throw Exception(message);
  }
  if (::rename(FTempName.c_str(), FFileName.c_str()) != 0) {
    const std::string message = SystemError("replace", FFileName);
    Discard();
    throw Exception(message);
  }
  FTempName.clear();
}

void TAtomicFile::Discard() {
  if (FHandle)
    std::fclose(FHandle);
  FHandle = nullptr;
  if (!FTempName.empty())
    ::unlink(FTempName.c_str());
  FTempName.clear();
}

} // namespace Platform
