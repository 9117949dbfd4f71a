#pragma once

// In-memory stand-ins for the driver's settings store, operator and register control.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "operator.h"
#include "register_control.h"
#include "settings_store.h"

namespace zelko::testing {

class FakeSettingsStore : public SettingsStore {
 public:
  std::map<std::string, std::string> values;
  bool unreadable = false;
  std::vector<std::pair<std::string, std::string>> writes;

  SettingValue Read(std::string_view key) const override;
  bool Write(std::string_view key, std::string_view value) override;
};

// Answers boxes from a queue (OK, or YES for the question, when it runs out)
// and logs every interaction in the operator log's line format.
class RecordingOperator : public Operator {
 public:
  std::deque<OperatorAnswer> answers;
  std::vector<std::string> log;
  int paces = 0;

  OperatorAnswer Ask(const std::string& text, BoxKind kind, const std::string& caption) override;
  void ShowNotice(const std::string& caption, const std::string& text) override;
  void CloseNotice() override;
  void PaceRepeatedPrompt() override { ++paces; }
};

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
