#include "service_options.h"

#include <charconv>
#include <fstream>

#include "listen_address.h"

namespace zelko::service {

namespace {

std::optional<std::string> ReadToken(const std::string& path, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  std::string token;
  if (!file || !std::getline(file, token)) {
    error = "cannot read the token file " + path;
    return std::nullopt;
  }
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!token.empty() && blank(token.back())) token.pop_back();
  while (!token.empty() && blank(token.front())) token.erase(token.begin());
  if (token.empty()) {
    error = "the token file " + path + " holds no token on its first line";
    return std::nullopt;
  }
  return token;
}

}  // namespace

bool IsLoopbackHost(const std::string& host) {
  return host == "localhost" || host == "::1" || host.starts_with("127.");
}

std::optional<ListenPlan> PlanListening(const ServiceOptions& options, std::string& error) {
  ListenPlan plan;
  std::string port;
  int number = -1;
  if (!SplitListenAddress(options.listen, plan.host, port) ||
      std::from_chars(port.data(), port.data() + port.size(), number).ptr != port.data() + port.size() ||
      number < 0 || number > 65535) {
    error = "--listen wants HOST:PORT, not \"" + options.listen + "\"";
    return std::nullopt;
  }
  plan.port = number;
  plan.loopback = IsLoopbackHost(plan.host);
  if (!options.tokenFile.empty()) {
    plan.token = ReadToken(options.tokenFile, error);
    if (!plan.token) return std::nullopt;
  }
  if (!plan.loopback && !plan.token) {
    error = "listening on " + plan.host + ", which is not a loopback address, needs --token-file";
    return std::nullopt;
  }
  return plan;
}

}  // namespace zelko::service
