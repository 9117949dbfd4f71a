#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zelko::service {

// The port the service listens on unless --listen names another: beside
// ZelkoEmulator's 7300.
inline constexpr int kDefaultPort = 7310;

struct ServiceOptions {
  std::string listen = "127.0.0.1:" + std::to_string(kDefaultPort);
  std::vector<std::string> allowOrigins;
  std::string tokenFile;
  std::string store;  // empty: the per-user default
};

// Where and how the service listens, once the options are checked.
struct ListenPlan {
  std::string host;
  int port = 0;
  bool loopback = true;
  std::optional<std::string> token;
};

// Checks the options: a port of 0 to 65535, a readable non-empty token file
// when one is named, and a token for any address that is not loopback.
// Nothing, with `error` set, when the service must not start.
std::optional<ListenPlan> PlanListening(const ServiceOptions& options, std::string& error);

bool IsLoopbackHost(const std::string& host);

// The per-user folder for the outcome store when --store names none.
std::filesystem::path DefaultStoreFolder();

}  // namespace zelko::service
