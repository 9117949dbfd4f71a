#include "scripted_control.h"

#include <gtest/gtest.h>

namespace zelko::testing {

void ScriptedControl::Record(const std::string& operation) {
  operations.push_back(operation);
  if (beforeAnswer && events_ != nullptr) beforeAnswer(operation, *events_);
}

std::int32_t ScriptedControl::ClosePort() {
  Record("ClosePort");
  return 0;
}

std::int32_t ScriptedControl::OpenPort(std::string_view port) {
  Record("OpenPort " + std::string(port));
  return 0;
}

void ScriptedControl::SetHighSpeed(bool value) { Record(value ? "HighSpeed true" : "HighSpeed false"); }

std::int32_t ScriptedControl::SendCommand(std::string_view text) {
  Record("SendCommand " + std::string(text));
  const auto failing = failingCommands.find(std::string(text));
  return failing == failingCommands.end() ? 0 : failing->second;
}

QueryResult ScriptedControl::SendQuery(std::string_view text) {
  Record("SendQuery " + std::string(text));
  if (text != "<</?s") return {0, "?"};
  if (statusReplies.empty()) {
    ADD_FAILURE() << "the test gave no status replies";
    return {kResultNoHardware, {}};
  }
  const auto [result, statusReply] = statusReplies.front();
  if (statusReplies.size() > 1) statusReplies.pop_front();
  return {result, statusReply};
}

std::int32_t ScriptedControl::ResultCodeExtended() {
  Record("ResultCodeExtended");
  return extendedCode;
}

}  // namespace zelko::testing
