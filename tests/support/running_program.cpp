#include "running_program.h"

#include <thread>

namespace zelko::testing {

RunningProgram::RunningProgram(const TempFolder& folder, const std::string& name, const std::string& program,
                               const std::vector<std::string>& arguments, const Environment& environment)
    : folder_(folder), output_(name + "-" + std::to_string(++started_) + ".out") {
  process_ = ChildProcess::Start(program, arguments, environment, folder.File(output_));
}

bool RunningProgram::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (Output().find(text) == std::string::npos) {
    if (!process_ || std::chrono::steady_clock::now() >= deadline || process_->Wait(std::chrono::milliseconds(0))) {
      return Output().find(text) != std::string::npos;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace zelko::testing
