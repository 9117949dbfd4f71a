#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelko::emulator {

// A program started by a test: standard input from a pipe the test writes,
// standard output and error into a file. The environment is this process's
// own without any ZELKO_ entry, plus `environment`.
class ChildProcess {
 public:
  static std::unique_ptr<ChildProcess> Start(const std::string& program, const std::vector<std::string>& arguments,
                                             const std::map<std::string, std::string>& environment,
                                             const std::string& outputPath);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Write(std::string_view text);
  void CloseInput();
  // The exit status, or nothing when the program is still running at the deadline.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  void Terminate();
  // Ends it at once, as a crash would.
  void Kill();

 private:
  ChildProcess(pid_t pid, int input) : pid_(pid), input_(input) {}

  pid_t pid_;
  int input_;
  std::optional<int> status_;
};

}  // namespace zelko::emulator
