#include <platform/rtl/SafeFile.h>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

TSafeFile::TSafeFile(std::string target) : FTarget(std::move(target)) {
  // A name with a NUL byte in it would name another file than the one asked for.
  if (FTarget.empty() || FTarget.find('\0') != std::string::npos) {
    FError = EINVAL;
    return;
  }
  std::string pattern = FTarget + ".XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) {
    FError = errno;
    return;
  }
  FTemporary = std::move(pattern);
  // mkstemp makes the file private; the finished file gets the permissions of any new file.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  FStream = fdopen(fd, "wb");
  if (!FStream) {
    Fail(errno);
    close(fd);
  }
}

TSafeFile::~TSafeFile() {
  if (FStream)
    std::fclose(FStream);
  if (!FCommitted && !FTemporary.empty())
    std::remove(FTemporary.c_str());
}

void TSafeFile::Fail(int error) {
  if (FError == 0)
    FError = error ? error : EIO;
}

bool TSafeFile::Write(const void *data, std::size_t size) {
  if (!FStream || FError)
    return false;
  if (std::fwrite(data, 1, size, FStream) != size) {
    Fail(errno);
    return false;
  }
  return true;
}

bool TSafeFile::Commit(const std::string &target) {
  if (!FStream || FError)
    return false;
  if (std::fflush(FStream) != 0 || fsync(fileno(FStream)) != 0)
    Fail(errno);
  if (std::fclose(FStream) != 0)
    Fail(errno);
  FStream = nullptr;
  if (FError)
    return false;
  const std::string &name = target.empty() ? FTarget : target;
  if (std::rename(FTemporary.c_str(), name.c_str()) != 0) {
    Fail(errno);
    return false;
  }
  FCommitted = true;
  return true;
}

} // namespace Platform
