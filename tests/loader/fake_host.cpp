#include "fake_host.h"

#include <algorithm>
#include <cstring>

#include "text.h"

namespace zelko::testing {

namespace {

class StringSource : public ByteSource {
 public:
  StringSource(std::string bytes, std::optional<std::size_t> failAfter)
      : bytes_(std::move(bytes)), failAfter_(failAfter) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t end = failAfter_ ? std::min(*failAfter_, bytes_.size()) : bytes_.size();
    if (position_ == end) {
      failed_ = failAfter_.has_value();
      return 0;
    }
    const std::size_t count = std::min(size, end - position_);
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return count;
  }
  bool Failed() const override { return failed_; }

 private:
  std::string bytes_;
  std::optional<std::size_t> failAfter_;
  std::size_t position_ = 0;
  bool failed_ = false;
};

class StringSink : public ByteSink {
 public:
  StringSink(std::string& target, std::optional<std::size_t> limit, bool failClose)
      : target_(target), limit_(limit), failClose_(failClose) {}

  bool Write(std::string_view bytes) override {
    if (limit_ && target_.size() + bytes.size() > *limit_) {
      target_.append(bytes.substr(0, *limit_ - std::min(*limit_, target_.size())));
      return false;
    }
    target_.append(bytes);
    return true;
  }
  bool Commit() override { return !failClose_; }

 private:
  std::string& target_;
  std::optional<std::size_t> limit_;
  bool failClose_;
};

// Written aside and put in place whole by a commit that succeeds, as an
// atomic replacement is.
class ReplacingSink : public ByteSink {
 public:
  ReplacingSink(std::map<std::string, std::string>& files, std::string key, std::optional<std::size_t> limit,
                bool failClose)
      : files_(files), key_(std::move(key)), staged_(bytes_, limit, failClose) {}

  bool Write(std::string_view bytes) override {
    ok_ = ok_ && staged_.Write(bytes);
    return ok_;
  }
  bool Commit() override {
    if (!staged_.Commit() || !ok_) return false;
    files_[key_] = bytes_;
    return true;
  }

 private:
  std::map<std::string, std::string>& files_;
  std::string key_;
  std::string bytes_;
  StringSink staged_;
  bool ok_ = true;
};

}  // namespace

std::string FakeHost::Key(const std::string& path) { return ToLowerAscii(path); }

std::optional<std::string> FakeHost::File(const std::string& path) const {
  const auto found = files_.find(Key(path));
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

bool FakeHost::IsSameFile(const std::string& a, const std::string& b) const {
  return Key(a) == Key(b) && files_.count(Key(a)) != 0;
}

bool FakeHost::IsOrdinaryFile(const std::string& path) const {
  return files_.count(Key(path)) != 0 && notOrdinary_.count(Key(path)) == 0;
}

std::unique_ptr<ByteSource> FakeHost::OpenRead(const std::string& path) const {
  const auto found = files_.find(Key(path));
  if (found == files_.end() || failOpen_.count(Key(path)) != 0) return nullptr;
  const auto failAfter = failReadAfter_.find(Key(path));
  return std::make_unique<StringSource>(
      found->second, failAfter == failReadAfter_.end() ? std::nullopt : std::optional(failAfter->second));
}

std::unique_ptr<ByteSink> FakeHost::Create(const std::string& path, CreateMode mode) const {
  if (failCreate_.count(Key(path)) != 0) return nullptr;
  if (mode == CreateMode::AtomicReplace) return std::make_unique<ReplacingSink>(files_, Key(path), writeLimit_, failClose_);
  std::string& file = files_[Key(path)];
  file.clear();
  return std::make_unique<StringSink>(file, writeLimit_, failClose_);
}

std::unique_ptr<RunLock> FakeHost::LockForRun(const std::string& path) const {
  if (failLock_) return nullptr;
  locked_.push_back(path);
  return std::make_unique<RunLock>();
}

}  // namespace zelko::testing
