#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "register_control.h"

namespace zelko {

// The register reached over TCP with the emulator protocol: one JSON object
// per line each way. It connects at the first operation; a failed or lost
// connection gives 107 and the next operation connects again; a response that
// does not come within `timeout` (at most one hour) of the operation's start
// gives 112, however much else the register sends meanwhile, and is dropped if
// it comes later. Every operation gets the whole timeout, except ClosePort
// right after an operation that ran out of time: it waits at most 0.25 s.
std::unique_ptr<RegisterControl> MakeTcpRegisterControl(const std::string& host, const std::string& port,
                                                        std::chrono::milliseconds timeout);

}  // namespace zelko
