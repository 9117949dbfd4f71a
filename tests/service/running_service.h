#pragma once

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "temp_folder.h"

namespace zelko::service::testing {

using emulator::ChildProcess;
using emulator::TempFolder;

// The built ZelkoService, by default on a free loopback port, with its register, store and
// drives in `folder`; its output goes to a file of its own there.
class RunningService {
 public:
  RunningService(const TempFolder& folder, std::map<std::string, std::string> environment,
                 std::vector<std::string> arguments = {})
      : folder_(folder), output_("service-" + std::to_string(++started_) + ".out") {
    environment.emplace("ZELKO_ROOT", folder.File("root"));
    environment.emplace("ZELKO_OPERATOR", "unattended");
    arguments.insert(arguments.begin(), {"--store", folder.File("store")});
    if (std::find(arguments.begin(), arguments.end(), "--listen") == arguments.end()) {
      arguments.insert(arguments.begin(), {"--listen", "127.0.0.1:0"});
    }
    process_ = ChildProcess::Start(ZELKO_SERVICE_PATH, arguments, environment, folder.File(output_));
    // "ZelkoService listening on http://HOST:PORT/"
    if (process_ && WaitForOutput("/\n")) {
      const std::string output = Output();
      const std::size_t line = output.find("listening on http://");
      if (line != std::string::npos) port_ = std::stoi(output.substr(output.rfind(':', output.find("/\n", line)) + 1));
    }
  }

  bool Started() const { return port_ != 0; }
  int Port() const { return port_; }
  std::string Output() const { return folder_.Read(output_); }
  ChildProcess& Process() { return *process_; }

  std::unique_ptr<httplib::Client> Client() const {
    auto client = std::make_unique<httplib::Client>("127.0.0.1", port_);
    client->set_read_timeout(60, 0);
    return client;
  }

  // Ends the service as a termination signal does; its exit status.
  std::optional<int> Stop() {
    process_->Terminate();
    return process_->Wait(std::chrono::seconds(10));
  }

  bool WaitForOutput(const std::string& text) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Output().find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() >= deadline || process_->Wait(std::chrono::milliseconds(0))) {
        return Output().find(text) != std::string::npos;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

 private:
  static inline int started_ = 0;
  const TempFolder& folder_;
  std::string output_;
  std::unique_ptr<ChildProcess> process_;
  int port_ = 0;
};

}  // namespace zelko::service::testing
