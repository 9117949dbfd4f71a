#pragma once

#include <string>

namespace zelko {

// A "--listen" value split into host and port: "host:port", "[v6]:port", or a
// bare port on the loopback address. False when the host is empty or the port
// is not a number from 0 (any free port) to 65535 in decimal digits.
bool SplitListenAddress(const std::string& address, std::string& host, std::string& port);

// The address as "host:port", an IPv6 host in brackets ("[::1]:7300"), the
// form that SplitListenAddress and "tcp:<host>:<port>" take back.
std::string ListenAddressText(const std::string& host, const std::string& port);

}  // namespace zelko
