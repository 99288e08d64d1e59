#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace E2e {

using Clock = std::chrono::steady_clock;

namespace {

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// In the child: never returns.
[[noreturn]] void Exec(const std::vector<std::string> &arguments, const std::vector<std::string> &environment,
                       const std::string &folder) {
  for (const std::string &entry : environment) {
    const auto equals = entry.find('=');
    if (equals != std::string::npos)
      ::setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
  }
  if (!folder.empty() && ::chdir(folder.c_str()) != 0)
    ::_exit(127);
  std::vector<char *> argv;
  for (const std::string &a : arguments)
    argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  ::execvp(argv[0], argv.data());
  ::_exit(127);
}

} // namespace

TChildProcess::TChildProcess(const std::vector<std::string> &arguments, const std::vector<std::string> &environment,
                             const std::string &folder, bool withErrors) {
  int pipeEnds[2];
  if (arguments.empty() || ::pipe2(pipeEnds, O_CLOEXEC) != 0)
    return;
  FPid = ::fork();
  if (FPid == 0) {
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    if (withErrors)
      ::dup2(pipeEnds[1], STDERR_FILENO);
    Exec(arguments, environment, folder);
  }
  ::close(pipeEnds[1]);
  FOutput = pipeEnds[0];
  if (FPid < 0) {
    ::close(FOutput);
    FOutput = -1;
  }
}

TChildProcess::~TChildProcess() {
  if (FPid > 0 && Wait(std::chrono::milliseconds(0)) == -1 && FPid > 0) {
    ::kill(FPid, SIGKILL);
    ::waitpid(FPid, nullptr, 0);
  }
  if (FOutput >= 0)
    ::close(FOutput);
}

std::optional<std::string> TChildProcess::ReadLine(std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    const auto end = FBuffer.find('\n');
    if (end != std::string::npos) {
      std::string line = FBuffer.substr(0, end);
      FBuffer.erase(0, end + 1);
      return line;
    }
    if (FEnded || FOutput < 0)
      return std::nullopt;
    pollfd ready{FOutput, POLLIN, 0};
    const int polled = ::poll(&ready, 1, MillisecondsLeft(deadline));
    if (polled < 0 && errno == EINTR)
      continue;
    if (polled <= 0)
      return std::nullopt;
    char chunk[4096];
    const ssize_t got = ::read(FOutput, chunk, sizeof chunk);
    if (got <= 0)
      FEnded = true;
    else
      FBuffer.append(chunk, static_cast<std::size_t>(got));
  }
}

std::optional<std::string> TChildProcess::WaitForLine(const std::string &prefix, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  while (auto line = ReadLine(std::chrono::milliseconds(MillisecondsLeft(deadline))))
    if (line->rfind(prefix, 0) == 0)
      return line;
  return std::nullopt;
}

int TChildProcess::Wait(std::chrono::milliseconds timeout) {
  if (FPid <= 0)
    return -1;
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(FPid, &status, WNOHANG);
    if (done == FPid) {
      FPid = 0;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (Clock::now() >= deadline)
      return -1;
    ::usleep(10000);
  }
}

TRunResult RunProgram(const std::vector<std::string> &arguments, const std::vector<std::string> &environment,
                      const std::string &folder, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  TChildProcess child(arguments, environment, folder, true);
  TRunResult result;
  while (auto line = child.ReadLine(std::chrono::milliseconds(MillisecondsLeft(deadline))))
    result.Output += *line + "\n";
  result.Status = child.Wait(std::chrono::milliseconds(MillisecondsLeft(deadline)));
  return result;
}

bool OnPath(const std::string &program) {
  const char *path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const std::string candidate = folders.substr(start, end - start) + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0)
      return true;
    start = end + 1;
  }
  return false;
}

} // namespace E2e
