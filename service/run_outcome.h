#pragma once

#include <optional>
#include <string>
#include <vector>

#include "reply.h"

namespace zelko::service {

// What one driver run left behind: the result file's two lines (when it was
// written), the register's data lines and the driver's diagnostics.
struct RunOutcome {
  std::optional<std::vector<std::string>> resultLines;
  std::vector<std::string> dataLines;
  std::string diagnostics;
};

// The result file as JSON: {"ok":true,"status":...} or
// {"ok":false,"code":...,"message":...}, with "data" the data lines. A run
// that wrote no result file is an internal error (500).
Reply ReceiptReply(const RunOutcome& outcome);

}  // namespace zelko::service
