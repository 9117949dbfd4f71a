#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "driver_run.h"
#include "operator.h"
#include "register_control.h"

namespace zelko {

// What one run keeps of the register's data at most, CR LF included: a
// register that floods the driver with data cannot fill the disk or memory.
inline constexpr std::size_t kDataMaxLines = 100000;
inline constexpr std::size_t kDataMaxBytes = 16 * 1024 * 1024;

// The driver's answer to the register's events: the paper notice, and the
// data lines handed to the run's outputs. The receipt does not depend on the
// data: lines beyond the limits above are dropped, and that is told once.
class RegisterNotifications final : public RegisterEvents {
 public:
  RegisterNotifications(Operator& theOperator, RunOutputs& outputs, std::ostream& diagnostics)
      : theOperator_(theOperator), outputs_(outputs), diagnostics_(diagnostics) {}

  void StatusUpdate(std::int32_t code) override;
  void DataReceived(const std::string& text) override;

 private:
  // Counts the line against the run's limits; false once they are reached.
  bool WithinLimits(std::size_t lineBytes);

  Operator& theOperator_;
  RunOutputs& outputs_;
  std::ostream& diagnostics_;
  std::size_t lines_ = 0;
  std::size_t bytes_ = 0;
  bool full_ = false;
};

}  // namespace zelko
