#include "driver_fakes.h"

#include <gtest/gtest.h>

namespace zelko::testing {

SettingValue FakeSettingsStore::Read(std::string_view key) const {
  if (unreadable) return {SettingValue::State::Unreadable, {}};
  const auto found = values.find(std::string(key));
  if (found == values.end()) return {SettingValue::State::Absent, {}};
  return {SettingValue::State::Present, found->second};
}

bool FakeSettingsStore::Write(std::string_view key, std::string_view value) {
  if (unreadable) return false;
  values[std::string(key)] = std::string(value);
  writes.emplace_back(key, value);
  return true;
}

OperatorAnswer RecordingOperator::Ask(const std::string& text, BoxKind kind, const std::string& caption) {
  OperatorAnswer answer = kind == BoxKind::Question ? OperatorAnswer::Yes : OperatorAnswer::Ok;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  const char* name = answer == OperatorAnswer::Ok ? "OK" : answer == OperatorAnswer::Yes ? "YES" : "NO";
  log.push_back("box\t" + std::to_string(BoxStyle(kind)) + "\t" + caption + "\t" + text + "\t" + name);
  return answer;
}

void RecordingOperator::ShowNotice(const std::string& caption, const std::string& text) {
  log.push_back("notice\tshow\t" + text + "\t(" + caption + ")");
}

void RecordingOperator::CloseNotice() { log.push_back("notice\tclose"); }

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
