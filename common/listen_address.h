#pragma once

#include <string>

namespace zelko {

// A "--listen" value split into host and port: "host:port", "[v6]:port", or a
// bare port on the loopback address. False when either part is empty.
bool SplitListenAddress(const std::string& address, std::string& host, std::string& port);

}  // namespace zelko
