#pragma once

#include <cstdint>
#include <string>

namespace zelko {

// UnifiedPOS result codes that the driver acts on.
inline constexpr std::int32_t kResultSuccess = 0;
inline constexpr std::int32_t kResultNoHardware = 107;
inline constexpr std::int32_t kResultTimeout = 112;
inline constexpr std::int32_t kResultExtended = 114;

// The two events of the register control. They are delivered on the thread
// that called the control, before the operation that raised them returns.
class RegisterEvents {
 public:
  virtual ~RegisterEvents() = default;
  virtual void StatusUpdate(std::int32_t code) = 0;
  virtual void DataReceived(const std::string& text) = 0;
};

// The register maker's control: six operations, nothing more.
class RegisterControl {
 public:
  virtual ~RegisterControl() = default;
  // Null detaches the handlers.
  virtual void SetEventHandler(RegisterEvents* events) = 0;

  virtual std::int32_t ClosePort() = 0;
  virtual std::int32_t OpenPort(std::string& port) = 0;
  virtual void SetHighSpeed(bool value) = 0;
  virtual std::int32_t SendCommand(std::int32_t first, std::int16_t second, const std::string& text) = 0;
  virtual std::int32_t SendQuery(std::int32_t first, std::int16_t second, const std::string& text,
                                 std::string& reply) = 0;
  virtual std::int32_t ResultCodeExtended() = 0;
};

}  // namespace zelko
