#pragma once

// Plain TCP sockets on the loopback interface (POSIX).

#include <cstdint>

namespace zelko::testing {

// A socket listening on a free loopback port, which goes to `port`; -1 when
// none could be made.
int ListenOnLoopback(std::uint16_t& port);
// A socket connected to the loopback port; -1 on failure.
int ConnectToLoopback(std::uint16_t port);

}  // namespace zelko::testing
