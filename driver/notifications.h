#pragma once

#include <cstdint>
#include <string>

#include "driver_run.h"
#include "register_control.h"

namespace zelko {

// The driver's answer to the register's events: the paper notice and the data log.
class RegisterNotifications final : public RegisterEvents {
 public:
  explicit RegisterNotifications(DriverRun& run) : run_(run) {}

  void StatusUpdate(std::int32_t code) override;
  void DataReceived(const std::string& text) override;

 private:
  DriverRun& run_;
};

// Closes the data log when this run opened it.
void CloseDataLog(DriverRun& run);

}  // namespace zelko
