#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "temp_folder.h"

namespace zelko::emulator {

// ZelkoEmulator started on a free loopback port; its live lines go to a file
// of its own in `folder`.
class RunningEmulator {
 public:
  RunningEmulator(const TempFolder& folder, std::vector<std::string> arguments)
      : folder_(folder), output_("emulator-" + std::to_string(++started_) + ".out") {
    arguments.insert(arguments.begin(), {"--listen", "127.0.0.1:0"});
    process_ = ChildProcess::Start(ZELKO_EMULATOR_PATH, arguments, {}, folder.File(output_));
    if (process_ && WaitForOutput("listening on 127.0.0.1:")) {
      const std::string output = Output();
      const std::size_t start = output.find("127.0.0.1:") + 10;
      port_ = output.substr(start, output.find('\n', start) - start);
    }
  }

  ChildProcess& Process() { return *process_; }
  const std::string& Port() const { return port_; }
  std::string Output() const { return folder_.Read(output_); }

  // Types a console command and waits until the emulator has acted on it,
  // as its live line `confirmation` shows.
  bool Console(const std::string& command, const std::string& confirmation) {
    return process_->Write(command + "\n") && WaitForOutput(confirmation);
  }

  bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Output().find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  // Ends the emulator the way an operator does: end of input. Returns its exit status.
  std::optional<int> Stop() {
    process_->CloseInput();
    return process_->Wait(std::chrono::seconds(10));
  }

 private:
  static inline int started_ = 0;
  const TempFolder& folder_;
  std::string output_;
  std::unique_ptr<ChildProcess> process_;
  std::string port_;
};

}  // namespace zelko::emulator
