#include "listen_address.h"

#include <gtest/gtest.h>

namespace zelko {
namespace {

// The text an address is shown as must read back as the same host and port,
// so that the emulator's "listening on" line can be handed to a client as is.
TEST(ListenAddress, SplitsWhatItShowsAndBracketsIPv6Hosts) {
  struct Case {
    const char* address;
    bool valid;
    const char* host;
    const char* port;
    const char* shown;
  };
  const Case cases[] = {
      {"127.0.0.1:7300", true, "127.0.0.1", "7300", "127.0.0.1:7300"},
      {"7301", true, "127.0.0.1", "7301", "127.0.0.1:7301"},
      {"localhost:0", true, "localhost", "0", "localhost:0"},
      {"[::1]:7302", true, "::1", "7302", "[::1]:7302"},
      {"[fe80::1%eth0]:65535", true, "fe80::1%eth0", "65535", "[fe80::1%eth0]:65535"},
      {":7300", false, "", "", ""},
      {"127.0.0.1:65536", false, "", "", ""},
      {"127.0.0.1:-1", false, "", "", ""},
      {"127.0.0.1:", false, "", "", ""},
  };
  for (const Case& c : cases) {
    std::string host;
    std::string port;
    ASSERT_EQ(SplitListenAddress(c.address, host, port), c.valid) << c.address;
    if (!c.valid) continue;
    EXPECT_EQ(host, c.host) << c.address;
    EXPECT_EQ(port, c.port) << c.address;
    EXPECT_EQ(ListenAddressText(host, port), c.shown) << c.address;
  }
}

}  // namespace
}  // namespace zelko
