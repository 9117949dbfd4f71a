#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "register_control.h"

namespace zelko {

// The maker's component as it is called: every operation is one
// IDispatch::Invoke by dispatch id with the argument types the component
// declares, the leading Long and Integer of SendCommand and SendQuery and the
// by-reference strings included.
class DispatchBinding {
 public:
  virtual ~DispatchBinding() = default;
  virtual void SetEventHandler(RegisterEvents* events) = 0;
  virtual std::int32_t ClosePort() = 0;
  virtual std::int32_t OpenPort(std::string& port) = 0;
  virtual void SetHighSpeed(bool value) = 0;
  virtual std::int32_t SendCommand(std::int32_t first, std::int16_t second, const std::string& text) = 0;
  virtual std::int32_t SendQuery(std::int32_t first, std::int16_t second, const std::string& text,
                                 std::string& reply) = 0;
  virtual std::int32_t ResultCodeExtended() = 0;
};

// A null `control` is a register that is not there (every operation 107).
// Takes its own reference to `control`.
std::unique_ptr<DispatchBinding> MakeDispatchBinding(IDispatch* control);

// The register control on top of the binding: SendCommand and SendQuery lead
// with Long 0 and Integer 0, and the port is passed by a reference of its own.
std::unique_ptr<RegisterControl> MakeDispatchRegisterControl(IDispatch* control);

}  // namespace zelko
