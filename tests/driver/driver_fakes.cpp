#include "driver_fakes.h"

#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

namespace zelko::testing {

namespace {

class StringSource : public ByteSource {
 public:
  StringSource(std::string bytes, bool failAfterFirstRead) : bytes_(std::move(bytes)), fail_(failAfterFirstRead) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    if (failed_) return 0;
    if (fail_ && position_ > 0) {
      failed_ = true;
      return 0;
    }
    // Small reads, so line ends straddle reads.
    const std::size_t count = std::min({size, bytes_.size() - position_, std::size_t{3}});
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return count;
  }
  bool Failed() const override { return failed_; }

 private:
  std::string bytes_;
  std::size_t position_ = 0;
  bool fail_;
  bool failed_ = false;
};

class FakeSink : public ByteSink {
 public:
  FakeSink(std::string& target, bool atomic, bool failWrites)
      : target_(target), atomic_(atomic), failWrites_(failWrites) {}
  bool Write(std::string_view bytes) override {
    if (failWrites_) return false;
    (atomic_ ? pending_ : target_).append(bytes);
    return true;
  }
  bool Commit() override {
    if (failWrites_) return false;
    if (atomic_) target_ = pending_;
    return true;
  }

 private:
  std::string& target_;
  std::string pending_;
  bool atomic_;
  bool failWrites_;
};

// Logs its release, so that tests see how long a run held it.
class LoggedLock : public RunLock {
 public:
  LoggedLock(std::vector<std::string>& events, std::string path) : events_(events), path_(std::move(path)) {
    events_.push_back("lock " + path_);
  }
  ~LoggedLock() override { events_.push_back("unlock " + path_); }

 private:
  std::vector<std::string>& events_;
  std::string path_;
};

}  // namespace

bool FakeHost::IsOrdinaryFile(const std::string& path) const {
  return files.contains(path) && !hidden.contains(path);
}

std::unique_ptr<ByteSource> FakeHost::OpenRead(const std::string& path) const {
  const auto file = files.find(path);
  if (file == files.end()) return nullptr;
  ++opensForReading;
  return std::make_unique<StringSource>(file->second, failReads.contains(path));
}

std::unique_ptr<ByteSink> FakeHost::Create(const std::string& path, CreateMode mode) const {
  if (refuseCreate.contains(path)) return nullptr;
  std::string& target = files[path];
  const bool atomic = mode == CreateMode::AtomicReplace;
  if (!atomic) target.clear();
  return std::make_unique<FakeSink>(target, atomic, failWrites.contains(path));
}

std::unique_ptr<RunLock> FakeHost::LockForRun(const std::string& path) const {
  if (refuseLock.contains(path)) return nullptr;
  return std::make_unique<LoggedLock>(lockEvents, path);
}

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
