#include <platform/rtl/AtomicFile.h>

#include <cerrno>
#include <cstdlib>
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

// The target's folder, so that the final rename never crosses file systems.
std::string TempTemplate(const std::string &fileName) {
  const std::size_t slash = fileName.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  return folder + "." + base + ".XXXXXX";
}

// A new file gets the permissions open(2) would give it; an existing target keeps its own.
mode_t PermissionsFor(const std::string &fileName) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) == 0)
    return info.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

} // namespace

TAtomicFile::TAtomicFile(const std::string &fileName) : FFileName(fileName) {
  CheckFileName(fileName);
  std::string name = TempTemplate(fileName);
  const int descriptor = ::mkstemp(name.data());
  if (descriptor < 0)
    throw Exception(SystemError("create", fileName));
  FTempName = std::move(name);
  ::fchmod(descriptor, PermissionsFor(fileName));
  FHandle = ::fdopen(descriptor, "wb");
  if (!FHandle) {
    const int error = errno;
    ::close(descriptor);
    ::unlink(FTempName.c_str());
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
