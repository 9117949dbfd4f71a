#include "running_emulator.h"

#include <thread>

namespace zelko::testing {

RunningEmulator::RunningEmulator(const TempFolder& folder, std::vector<std::string> arguments)
    : folder_(folder), output_("emulator-" + std::to_string(++started_) + ".out") {
  arguments.insert(arguments.begin(), {"--listen", "127.0.0.1:0"});
  process_ = ChildProcess::Start(ZELKO_EMULATOR_PATH, arguments, {}, folder.File(output_));
  if (process_ && WaitForOutput("listening on 127.0.0.1:")) {
    const std::string output = Output();
    const std::size_t start = output.find("127.0.0.1:") + 10;
    port_ = output.substr(start, output.find('\n', start) - start);
  }
}

bool RunningEmulator::Console(const std::string& command, const std::string& confirmation) {
  return process_ && process_->Write(command + "\n") && WaitForOutput(confirmation);
}

bool RunningEmulator::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (Output().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::optional<int> RunningEmulator::Stop() {
  if (!process_) return std::nullopt;
  process_->CloseInput();
  return process_->Wait(std::chrono::seconds(10));
}

}  // namespace zelko::testing
