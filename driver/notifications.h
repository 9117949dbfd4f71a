#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "data_log.h"
#include "host_services.h"
#include "operator.h"
#include "register_control.h"

namespace zelko {

// The driver's answer to the register's events: the paper notice and the data log.
class RegisterNotifications final : public RegisterEvents {
 public:
  RegisterNotifications(const HostServices& host, Operator& theOperator, std::ostream& diagnostics)
      : theOperator_(theOperator), dataLog_(host, diagnostics) {}

  void StatusUpdate(std::int32_t code) override;
  void DataReceived(const std::string& text) override;

  DataLog& Data() { return dataLog_; }

 private:
  Operator& theOperator_;
  DataLog dataLog_;
};

}  // namespace zelko
