#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "register_control.h"

namespace zelko::testing {

// A register whose answers come from a script; every operation is recorded
// as "<op>" or "<op> <text>".
class ScriptedControl : public RegisterControl {
 public:
  // Replies to "<</?s" in turn, as (result, reply); the last one repeats.
  std::deque<std::pair<std::int32_t, std::string>> statusReplies{{0, "0000000000001234"}};
  std::map<std::string, std::int32_t> failingCommands;  // SendCommand text -> result
  std::int32_t extendedCode = 0;
  // Called with each operation before it is answered; may raise events.
  std::function<void(const std::string& operation, RegisterEvents& events)> beforeAnswer;
  std::vector<std::string> operations;

  void SetEventHandler(RegisterEvents* events) override { events_ = events; }
  std::int32_t ClosePort() override;
  std::int32_t OpenPort(std::string_view port) override;
  void SetHighSpeed(bool value) override;
  std::int32_t SendCommand(std::string_view text) override;
  QueryResult SendQuery(std::string_view text) override;
  std::int32_t ResultCodeExtended() override;

 private:
  void Record(const std::string& operation);
  RegisterEvents* events_ = nullptr;
};

}  // namespace zelko::testing
