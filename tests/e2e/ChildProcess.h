#pragma once

// Programs run by the end-to-end tests: started with arguments and extra environment, their
// standard output read line by line with a deadline, ended when the test is done with them.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace E2e {

class TChildProcess {
public:
  // Starts the program (looked up on PATH when it has no slash) in `folder` (empty: this one),
  // with `environment` ("NAME=value") added to ours. Standard output comes through a pipe, with
  // standard error too when `withErrors` (otherwise that is the test's own).
  TChildProcess(const std::vector<std::string> &arguments, const std::vector<std::string> &environment = {},
                const std::string &folder = {}, bool withErrors = false);
  ~TChildProcess();
  TChildProcess(const TChildProcess &) = delete;
  TChildProcess &operator=(const TChildProcess &) = delete;

  bool Started() const { return FPid > 0; }
  // The next line of output, without its end; nothing when the deadline passes or the output
  // ends first.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
  // The first line to start with `prefix`, skipping others.
  std::optional<std::string> WaitForLine(const std::string &prefix, std::chrono::milliseconds timeout);
  // The exit status once the program has ended within the timeout; -1 when it had to be killed
  // (or was killed by a signal).
  int Wait(std::chrono::milliseconds timeout);

private:
  int FPid = -1;
  int FOutput = -1;
  std::string FBuffer;
  bool FEnded = false;
};

// Runs a program to its end and gives its exit status (-1 when killed at the timeout) and output,
// standard error included.
struct TRunResult {
  int Status = -1;
  std::string Output;
};
TRunResult RunProgram(const std::vector<std::string> &arguments, const std::vector<std::string> &environment = {},
                      const std::string &folder = {}, std::chrono::milliseconds timeout = std::chrono::seconds(60));

// Whether a program is on PATH.
bool OnPath(const std::string &program);

} // namespace E2e
