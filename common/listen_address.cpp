#include "listen_address.h"

#include <charconv>

namespace zelko {

namespace {

bool IsPortNumber(const std::string& port) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
  return error == std::errc() && end == port.data() + port.size() && value <= 65535;
}

}  // namespace

bool SplitListenAddress(const std::string& address, std::string& host, std::string& port) {
  const std::size_t colon = address.rfind(':');
  if (colon == std::string::npos) {
    host = "127.0.0.1";
    port = address;
  } else {
    host = address.substr(0, colon);
    port = address.substr(colon + 1);
  }
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  return !host.empty() && IsPortNumber(port);
}

std::string ListenAddressText(const std::string& host, const std::string& port) {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + port;
}

}  // namespace zelko
