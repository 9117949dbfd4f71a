#include "memory_files_host.h"

#include <algorithm>
#include <cstring>

#include "text.h"
#include "text_file.h"

namespace zelko::service {

struct CapturedFile {
  std::string written;  // bytes written so far
  bool committed = false;
};

namespace {

std::string Key(const std::string& path) { return ToLowerAscii(path); }

class StringSource final : public ByteSource {
 public:
  explicit StringSource(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min(size, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return count;
  }
  bool Failed() const override { return false; }

 private:
  std::string bytes_;
  std::size_t position_ = 0;
};

// Writes into the captured file; Truncate keeps what was written even without
// a commit, as a file on disk would.
class CaptureSink final : public ByteSink {
 public:
  CaptureSink(std::shared_ptr<CapturedFile> file, bool atomic) : file_(std::move(file)), atomic_(atomic) {
    if (!atomic_) {
      file_->written.clear();
      file_->committed = true;
    }
  }
  bool Write(std::string_view bytes) override {
    (atomic_ ? pending_ : file_->written).append(bytes);
    return true;
  }
  bool Commit() override {
    if (atomic_) file_->written = std::move(pending_);
    file_->committed = true;
    return true;
  }

 private:
  std::shared_ptr<CapturedFile> file_;
  bool atomic_;
  std::string pending_;
};

class NoRunLock final : public RunLock {};

}  // namespace

void MemoryFilesHost::Serve(const std::string& path, std::string bytes) { served_[Key(path)] = std::move(bytes); }

void MemoryFilesHost::Capture(const std::string& path) { captured_[Key(path)] = std::make_shared<CapturedFile>(); }

std::optional<std::vector<std::string>> MemoryFilesHost::CapturedLines(const std::string& path) const {
  const auto found = captured_.find(Key(path));
  if (found == captured_.end() || !found->second->committed) return std::nullopt;
  TextReader reader(std::make_unique<StringSource>(found->second->written));
  std::vector<std::string> lines;
  for (std::string line; reader.ReadLine(line);) lines.push_back(line);
  return lines;
}

std::string MemoryFilesHost::CapturedBytes(const std::string& path) const {
  const auto found = captured_.find(Key(path));
  return found == captured_.end() ? std::string() : found->second->written;
}

// A file in memory is the same file only as itself.
bool MemoryFilesHost::IsSameFile(const std::string& a, const std::string& b) const {
  const bool inMemory = served_.contains(Key(a)) || captured_.contains(Key(a)) || served_.contains(Key(b)) ||
                        captured_.contains(Key(b));
  if (inMemory) return Key(a) == Key(b);
  return host_.IsSameFile(a, b);
}

bool MemoryFilesHost::IsOrdinaryFile(const std::string& path) const {
  return served_.contains(Key(path)) || host_.IsOrdinaryFile(path);
}

std::unique_ptr<ByteSource> MemoryFilesHost::OpenRead(const std::string& path) const {
  const auto found = served_.find(Key(path));
  if (found != served_.end()) return std::make_unique<StringSource>(found->second);
  return host_.OpenRead(path);
}

std::unique_ptr<ByteSink> MemoryFilesHost::Create(const std::string& path, CreateMode mode) const {
  const auto found = captured_.find(Key(path));
  if (found == captured_.end()) return host_.Create(path, mode);
  return std::make_unique<CaptureSink>(found->second, mode == CreateMode::AtomicReplace);
}

bool MemoryFilesHost::EmptyFile(const std::string& path) const {
  const auto found = captured_.find(Key(path));
  if (found == captured_.end()) return host_.EmptyFile(path);
  found->second->written.clear();
  return true;
}

std::unique_ptr<RunLock> MemoryFilesHost::LockForRun(const std::string& path) const {
  if (skipRunLocks_) return std::make_unique<NoRunLock>();
  return host_.LockForRun(path);
}

}  // namespace zelko::service
