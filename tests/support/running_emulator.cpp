#include "running_emulator.h"

namespace zelko::testing {

namespace {

std::vector<std::string> OnFreeLoopbackPort(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"--listen", "127.0.0.1:0"});
  return arguments;
}

}  // namespace

RunningEmulator::RunningEmulator(const TempFolder& folder, std::vector<std::string> arguments)
    : program_(folder, "emulator", ZELKO_EMULATOR_PATH, OnFreeLoopbackPort(std::move(arguments))) {
  if (program_.WaitForOutput("listening on 127.0.0.1:")) {
    const std::string output = Output();
    const std::size_t start = output.find("127.0.0.1:") + 10;
    port_ = output.substr(start, output.find('\n', start) - start);
  }
}

bool RunningEmulator::Console(const std::string& command, const std::string& confirmation) {
  return program_.Started() && Process().Write(command + "\n") && WaitForOutput(confirmation);
}

std::optional<int> RunningEmulator::Stop() {
  if (!program_.Started()) return std::nullopt;
  Process().CloseInput();
  return Process().Wait(std::chrono::seconds(10));
}

}  // namespace zelko::testing
