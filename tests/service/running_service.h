#pragma once

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "running_program.h"

namespace zelko::service::testing {

using zelko::testing::ChildProcess;
using zelko::testing::Environment;
using zelko::testing::RunningProgram;
using zelko::testing::TempFolder;

// The built ZelkoService, by default on a free loopback port, with its register, store and
// drives in `folder`; its output goes to a file of its own there.
class RunningService {
 public:
  // Waits up to `startTimeout` for the service to listen (none: see WaitUntilListening).
  RunningService(const TempFolder& folder, Environment environment, std::vector<std::string> arguments = {},
                 std::chrono::milliseconds startTimeout = std::chrono::seconds(10))
      : program_(folder, "service", ZELKO_SERVICE_PATH, ServiceArguments(folder, std::move(arguments)),
                 ServiceEnvironment(folder, std::move(environment))) {
    if (startTimeout.count() > 0) WaitUntilListening(startTimeout);
  }

  // True once the service says where it listens: "ZelkoService listening on http://HOST:PORT/".
  bool WaitUntilListening(std::chrono::milliseconds timeout) {
    if (port_ == 0 && program_.WaitForOutput("/\n", timeout)) {
      const std::string output = Output();
      const std::size_t line = output.find("listening on http://");
      if (line != std::string::npos) port_ = std::stoi(output.substr(output.rfind(':', output.find("/\n", line)) + 1));
    }
    return port_ != 0;
  }

  bool Started() const { return port_ != 0; }
  int Port() const { return port_; }
  std::string Output() const { return program_.Output(); }
  ChildProcess& Process() { return program_.Process(); }

  std::unique_ptr<httplib::Client> Client() const {
    auto client = std::make_unique<httplib::Client>("127.0.0.1", port_);
    client->set_read_timeout(60, 0);
    return client;
  }

  // Ends the service as a termination signal does; its exit status.
  std::optional<int> Stop() {
    Process().Terminate();
    return Process().Wait(std::chrono::seconds(10));
  }

  bool WaitForOutput(const std::string& text) const { return program_.WaitForOutput(text); }

 private:
  static std::vector<std::string> ServiceArguments(const TempFolder& folder, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--store", folder.File("store")});
    if (std::find(arguments.begin(), arguments.end(), "--listen") == arguments.end()) {
      arguments.insert(arguments.begin(), {"--listen", "127.0.0.1:0"});
    }
    return arguments;
  }
  static Environment ServiceEnvironment(const TempFolder& folder, Environment environment) {
    environment.emplace("ZELKO_ROOT", folder.File("root"));
    environment.emplace("ZELKO_OPERATOR", "unattended");
    return environment;
  }

  RunningProgram program_;
  int port_ = 0;
};

}  // namespace zelko::service::testing
