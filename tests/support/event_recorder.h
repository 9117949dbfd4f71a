#pragma once

#include <string>
#include <vector>

#include "register_control.h"

namespace zelko::testing {

// Keeps every event it is handed, in order, as "StatusUpdate 24" or "DataReceived <text>".
class EventRecorder final : public RegisterEvents {
 public:
  void StatusUpdate(std::int32_t code) override { seen.push_back("StatusUpdate " + std::to_string(code)); }
  void DataReceived(const std::string& text) override { seen.push_back("DataReceived " + text); }
  std::vector<std::string> seen;
};

}  // namespace zelko::testing
