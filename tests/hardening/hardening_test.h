#pragma once

// The built programs run as child processes in a temporary ZELKO_ROOT, against
// ZelkoEmulator over loopback or against the built-in emulator.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "running_emulator.h"

namespace zelko::hardening {

using testing::ChildProcess;
using testing::RunningEmulator;
using testing::TempFolder;
using namespace std::chrono_literals;

class HardeningTest : public ::testing::Test {
 protected:
  HardeningTest() { std::filesystem::create_directories(folder_.File("root/c")); }

  // "c:\Scontrino.inp" with the usual two header lines, the count and `commands`.
  void WriteReceipt(const std::vector<std::string>& commands) const {
    std::string text = "1\r\n115200,n,8,1\r\n" + std::to_string(commands.size()) + "\r\n";
    for (const std::string& command : commands) text += command + "\r\n";
    folder_.Write("root/c/Scontrino.inp", text);
  }

  std::unique_ptr<RunningEmulator> StartEmulator(const std::string& scenario) {
    auto emulator = std::make_unique<RunningEmulator>(
        folder_, std::vector<std::string>{"--scenario", folder_.Write("scenario.txt", scenario), "--journal",
                                          folder_.File("journal.txt")});
    EXPECT_NE(emulator->Port(), "") << emulator->Output();
    return emulator;
  }

  // The driver over TCP to `port`; `output` collects its standard output and error.
  std::unique_ptr<ChildProcess> StartDriver(const std::string& port, const std::string& output = "driver.out",
                                            const std::string& timeoutMs = "5000") const {
    return ChildProcess::Start(ZELKO_DRIVER_PATH, {},
                               {{"ZELKO_ROOT", folder_.File("root")},
                                {"ZELKO_CONTROL", "tcp:127.0.0.1:" + port},
                                {"ZELKO_CONTROL_TIMEOUT_MS", timeoutMs},
                                {"ZELKO_OPERATOR", "unattended"}},
                               folder_.File(output));
  }

  // The driver against the built-in emulator with `scenario`; its journal is Root("emulator/journal.txt").
  std::optional<int> RunDriverInProcess(const std::string& scenario, const std::vector<std::string>& arguments = {}) const {
    return ChildProcess::Start(ZELKO_DRIVER_PATH, arguments,
                               {{"ZELKO_ROOT", folder_.File("root")},
                                {"ZELKO_CONTROL", "emulator"},
                                {"ZELKO_EMULATOR_SCENARIO", folder_.Write("scenario.txt", scenario)},
                                {"ZELKO_OPERATOR", "unattended"}},
                               folder_.File("driver.out"))
        ->Wait(30s);
  }

  std::string Root(const std::string& relative) const { return folder_.Read("root/" + relative); }
  std::string Result() const { return Root("c/SCONTRINO.OUT"); }
  std::string Journal() const { return folder_.Read("journal.txt"); }
  std::string DriverOutput() const { return folder_.Read("driver.out"); }

  TempFolder folder_;
};

}  // namespace zelko::hardening
