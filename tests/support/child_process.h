#pragma once

// Programs run by tests and benchmarks (POSIX).

#include <sys/types.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelko::testing {

// "NAME" -> value, put over this process's environment less its ZELKO_ entries.
using Environment = std::map<std::string, std::string>;

// A started program: standard input from a pipe the test writes, standard
// output and error appended to a file (or this process's own when no file is
// given). Killed when destroyed while still running.
class ChildProcess {
 public:
  // Null when the program cannot be started.
  static std::unique_ptr<ChildProcess> Start(const std::string& program, const std::vector<std::string>& arguments,
                                             const Environment& environment, const std::string& outputPath,
                                             const std::string& workingFolder = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Write(std::string_view text);
  void CloseInput();
  // The exit status (128 + the signal when killed by one), or nothing when
  // the program is still running at the deadline.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  void Terminate();
  // Ends it at once, as a crash would, and waits for it.
  void Kill();
  // The program's peak resident memory in KiB, once it has ended.
  long MaxResidentKb() const { return maxResidentKb_; }

 private:
  ChildProcess(pid_t pid, int input) : pid_(pid), input_(input) {}
  bool Reap(int options);

  pid_t pid_;
  int input_;
  std::optional<int> status_;
  long maxResidentKb_ = 0;
};

struct ChildResult {
  int exitStatus = -1;    // -1 when the program could not be started or ran past the deadline
  std::string output;     // standard output and error, when no output file was given
  long maxResidentKb = 0;
  double seconds = 0;     // wall-clock time from start to end
};

// A program and its arguments, as handed to ChildProcess::Start.
struct Command {
  std::string program;
  std::vector<std::string> arguments;
};

// The command that runs `program` as a user without privileges: through
// setpriv as "nobody" when this process is root (root ignores file
// permissions), else as it is. Files and folders it uses must be open to
// that user.
Command AsUnprivilegedUser(const std::string& program, std::vector<std::string> arguments);
// True when AsUnprivilegedUser runs programs as another user than this process's.
bool RunsAsAnotherUser();

// Runs a program to its end with empty standard input; a program still
// running after `timeout` is killed.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const Environment& environment, const std::string& workingFolder = {},
                     const std::string& outputPath = {},
                     std::chrono::milliseconds timeout = std::chrono::minutes(10));

// The same, with standard output and error on a pseudo-terminal, as when a
// person runs the program by hand; `output` is what the terminal showed.
ChildResult RunChildOnTerminal(const std::string& program, const std::vector<std::string>& arguments,
                               const Environment& environment, const std::string& workingFolder = {});

}  // namespace zelko::testing
