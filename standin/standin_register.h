#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "register_control.h"

namespace zelko {

// The register behind the stand-in control, reached over the emulator
// protocol at ZELKO_STANDIN_REGISTER=tcp:<host>:<port>. Without a usable
// address every operation finds no hardware (107). Events that arrive during
// an operation go to `events` before the operation returns.
class StandInRegister {
 public:
  struct Answer {
    std::int32_t code;
    std::string reply;
  };

  virtual ~StandInRegister() = default;
  virtual std::int32_t ClosePort() = 0;
  virtual std::int32_t OpenPort(const std::string& port) = 0;
  virtual void SetHighSpeed(bool value) = 0;
  virtual std::int32_t SendCommand(const std::string& text) = 0;
  virtual Answer SendQuery(const std::string& text) = 0;
  virtual std::int32_t ResultCodeExtended() = 0;
};

// Reads ZELKO_STANDIN_REGISTER and ZELKO_CONTROL_TIMEOUT_MS from the process environment.
std::unique_ptr<StandInRegister> MakeStandInRegister(RegisterEvents& events);

}  // namespace zelko
