#include "listen_address.h"

namespace zelko {

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
  return !host.empty() && !port.empty();
}

}  // namespace zelko
