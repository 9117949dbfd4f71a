#pragma once

// Requests to the built ZelkoService and what its built-in register saw of them,
// shared by the end-to-end tests.

#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "running_service.h"

namespace zelko::service::testing {

inline std::string ReceiptBody(const std::vector<std::string>& commands) {
  return nlohmann::json{{"port", "1"}, {"speed", "115200,n,8,1"}, {"commands", commands}}.dump();
}

inline httplib::Result Post(const RunningService& service, const std::string& path, const std::string& body,
                            const httplib::Headers& headers = {}, const char* type = "application/json") {
  return service.Client()->Post(path.c_str(), headers, body, type);
}

inline nlohmann::json Body(const httplib::Result& result) { return nlohmann::json::parse(result->body); }

// The journal lines of SendCommand operations, their text only.
inline std::vector<std::string> SentCommands(const std::string& journal) {
  std::vector<std::string> commands;
  std::istringstream lines(journal);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("SendCommand\t")) commands.push_back(line.substr(12, line.find('\t', 12) - 12));
  }
  return commands;
}

// A service's folder, its built-in register's journal and scenario.
class ServiceFolderTest : public ::testing::Test {
 protected:
  std::string Journal() const { return folder_.Read("root/emulator/journal.txt"); }
  long Sent(const std::string& command) const {
    const auto sent = SentCommands(Journal());
    return std::count(sent.begin(), sent.end(), command);
  }
  std::string Scenario(const std::string& text) const { return folder_.Write("scenario.txt", text); }
  // Waits, at most ten seconds, until the register has received `command`.
  void WaitForJournal(const std::string& command) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Journal().find(command) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  TempFolder folder_;
};

}  // namespace zelko::service::testing
