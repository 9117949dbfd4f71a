#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "running_program.h"

namespace zelko::testing {

// ZelkoEmulator started on a free loopback port with `arguments`; its live
// lines go to a file of its own in `folder`.
class RunningEmulator {
 public:
  RunningEmulator(const TempFolder& folder, std::vector<std::string> arguments);

  ChildProcess& Process() { return program_.Process(); }
  // Empty when the emulator did not start listening.
  const std::string& Port() const { return port_; }
  std::string Output() const { return program_.Output(); }

  // Types a console command and waits until the emulator has acted on it,
  // as its live line `confirmation` shows.
  bool Console(const std::string& command, const std::string& confirmation);
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
    return program_.WaitForOutput(text, timeout);
  }
  // Ends the emulator the way an operator does: end of input. Returns its exit status.
  std::optional<int> Stop();

 private:
  RunningProgram program_;
  std::string port_;
};

}  // namespace zelko::testing
