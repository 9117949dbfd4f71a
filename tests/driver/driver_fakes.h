#pragma once

// In-memory stand-ins for the driver's outside things, with faults on demand.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host_services.h"
#include "operator.h"
#include "register_control.h"
#include "settings_store.h"

namespace zelko::testing {

class FakeHost : public HostServices {
 public:
  std::optional<WindowsVersion> version;
  std::vector<std::string> environment;
  std::string ownFolder = "d:\\app";
  std::string commandLine;
  mutable std::map<std::string, std::string> files;  // written through Create
  std::set<std::string> hidden;         // present, but not ordinary files
  std::set<std::string> refuseCreate;   // Create gives null
  std::set<std::string> failWrites;     // writes to these fail
  std::set<std::string> failReads;      // reads of these fail after the first bytes
  std::set<std::string> refuseLock;     // LockForRun gives null
  mutable int opensForReading = 0;
  mutable std::vector<std::string> lockEvents;  // "lock <path>" and "unlock <path>", in order

  std::optional<WindowsVersion> WindowsVersionNumbers() const override { return version; }
  std::vector<std::string> EnvironmentEntries() const override { return environment; }
  std::string OwnFolder() const override { return ownFolder; }
  std::string CommandLineText() const override { return commandLine; }
  bool IsOrdinaryFile(const std::string& path) const override;
  bool IsSameFile(const std::string& a, const std::string& b) const override { return a == b && files.contains(a); }
  std::unique_ptr<ByteSource> OpenRead(const std::string& path) const override;
  std::unique_ptr<ByteSink> Create(const std::string& path, CreateMode mode) const override;
  std::unique_ptr<RunLock> LockForRun(const std::string& path) const override;
};

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
