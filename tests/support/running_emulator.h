#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "temp_folder.h"

namespace zelko::testing {

// ZelkoEmulator started on a free loopback port with `arguments`; its live
// lines go to a file of its own in `folder`.
class RunningEmulator {
 public:
  RunningEmulator(const TempFolder& folder, std::vector<std::string> arguments);

  ChildProcess& Process() { return *process_; }
  // Empty when the emulator did not start listening.
  const std::string& Port() const { return port_; }
  std::string Output() const { return folder_.Read(output_); }

  // Types a console command and waits until the emulator has acted on it,
  // as its live line `confirmation` shows.
  bool Console(const std::string& command, const std::string& confirmation);
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // Ends the emulator the way an operator does: end of input. Returns its exit status.
  std::optional<int> Stop();

 private:
  static inline int started_ = 0;
  const TempFolder& folder_;
  std::string output_;
  std::unique_ptr<ChildProcess> process_;
  std::string port_;
};

}  // namespace zelko::testing
