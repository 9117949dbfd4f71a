#pragma once

#include "receipt.h"
#include "run_outcome.h"
#include "run_progress.h"

namespace zelko::service {

// Runs one receipt on the register, as ZelkoDriver would.
class ReceiptRunner {
 public:
  virtual ~ReceiptRunner() = default;
  virtual RunOutcome Run(const Receipt& receipt, RunProgress& progress) = 0;
};

}  // namespace zelko::service
