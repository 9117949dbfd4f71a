#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "register_control.h"

namespace zelko {

// The register reached over TCP with the emulator protocol: one JSON object
// per line each way. It connects at the first operation; a failed or lost
// connection gives 107 and the next operation connects again; a response that
// does not come within `timeout` gives 112 and is dropped if it comes later.
// Until the register sends anything again, later operations wait at most 0.25 s.
std::unique_ptr<RegisterControl> MakeTcpRegisterControl(const std::string& host, const std::string& port,
                                                        std::chrono::milliseconds timeout);

}  // namespace zelko
