#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "register_codes.h"

namespace zelko {

// The two events of the register control. They are delivered on the thread
// that called the control, before the operation that raised them returns.
class RegisterEvents {
 public:
  virtual ~RegisterEvents() = default;
  virtual void StatusUpdate(std::int32_t code) = 0;
  virtual void DataReceived(const std::string& text) = 0;
};

// What a query gives: the result code and the register's reply text.
struct QueryResult {
  std::int32_t code = kResultSuccess;
  std::string reply;
};

// The register control: six operations, nothing more. Results are UnifiedPOS
// result codes (register_codes.h).
class RegisterControl {
 public:
  virtual ~RegisterControl() = default;
  // Null detaches the handlers.
  virtual void SetEventHandler(RegisterEvents* events) = 0;

  virtual std::int32_t ClosePort() = 0;
  virtual std::int32_t OpenPort(std::string_view port) = 0;
  virtual void SetHighSpeed(bool value) = 0;
  virtual std::int32_t SendCommand(std::string_view text) = 0;
  virtual QueryResult SendQuery(std::string_view text) = 0;
  virtual std::int32_t ResultCodeExtended() = 0;
};

}  // namespace zelko
