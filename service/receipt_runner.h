#pragma once

#include <string>

#include "run_outcome.h"
#include "run_progress.h"

namespace zelko::service {

// Runs one receipt command file on the register, as ZelkoDriver would.
class ReceiptRunner {
 public:
  virtual ~ReceiptRunner() = default;
  virtual RunOutcome Run(const std::string& commandFile, RunProgress& progress) = 0;
};

}  // namespace zelko::service
