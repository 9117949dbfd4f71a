#include "memory_host.h"

#include <algorithm>

namespace zelko::testing {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Written aside and put in place whole by a commit that succeeds.
class ReplacingSink : public ByteSink {
 public:
  ReplacingSink(std::map<std::string, std::string, CaseInsensitiveLess>& files, std::string path,
                std::optional<std::size_t> writeLimit, bool failCommit)
      : files_(files), path_(std::move(path)), staged_(bytes_, writeLimit, failCommit) {}
  bool Write(std::string_view bytes) override { return staged_.Write(bytes); }
  bool Commit() override {
    if (!staged_.Commit()) return false;
    files_[path_] = bytes_;
    return true;
  }

 private:
  std::map<std::string, std::string, CaseInsensitiveLess>& files_;
  std::string path_;
  std::string bytes_;
  MemorySink staged_;
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

bool CaseInsensitiveLess::operator()(std::string_view left, std::string_view right) const {
  return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                      [](char a, char b) { return LowerAscii(a) < LowerAscii(b); });
}

MemorySource::MemorySource(std::string bytes, std::size_t piece, std::optional<std::size_t> failAfter)
    : bytes_(failAfter ? bytes.substr(0, *failAfter) : std::move(bytes)), piece_(std::max<std::size_t>(piece, 1)),
      failing_(failAfter.has_value()) {}

std::size_t MemorySource::Read(char* buffer, std::size_t size) {
  if (position_ == bytes_.size()) {
    failed_ = failing_;
    return 0;
  }
  const std::size_t count = std::min({size, piece_, bytes_.size() - position_});
  std::copy_n(bytes_.data() + position_, count, buffer);
  position_ += count;
  return count;
}

MemorySink::MemorySink(std::string& target, std::optional<std::size_t> writeLimit, bool failCommit)
    : target_(target), writeLimit_(writeLimit), failCommit_(failCommit) {}

bool MemorySink::Write(std::string_view bytes) {
  if (writeLimit_ && written_ + bytes.size() > *writeLimit_) {
    const std::size_t fits = *writeLimit_ - std::min(*writeLimit_, written_);
    target_.append(bytes.substr(0, fits));
    written_ += fits;
    writeFailed_ = true;
    return false;
  }
  target_.append(bytes);
  written_ += bytes.size();
  return true;
}

std::optional<std::string> MemoryHost::File(std::string_view path) const {
  const auto found = files.find(path);
  if (found == files.end()) return std::nullopt;
  return found->second;
}

void MemoryHost::MakeNotOrdinary(std::string_view path) { faults_[std::string(path)].notOrdinary = true; }
void MemoryHost::FailOpen(std::string_view path) { faults_[std::string(path)].failOpen = true; }
void MemoryHost::FailReadAfter(std::string_view path, std::size_t bytes) { faults_[std::string(path)].readLimit = bytes; }
void MemoryHost::FailCreate(std::string_view path) { faults_[std::string(path)].failCreate = true; }
void MemoryHost::FailWriteAfter(std::string_view path, std::size_t bytes) {
  faults_[std::string(path)].writeLimit = bytes;
}
void MemoryHost::FailCommit(std::string_view path) { faults_[std::string(path)].failCommit = true; }
void MemoryHost::FailEmpty(std::string_view path) { faults_[std::string(path)].failEmpty = true; }
void MemoryHost::HoldLock(std::string_view path) { faults_[std::string(path)].lockHeld = true; }
void MemoryHost::FailLock(std::string_view path) { faults_[std::string(path)].failLock = true; }

const MemoryHost::Faults& MemoryHost::FaultsOf(std::string_view path) const {
  static const Faults kNone;
  const auto found = faults_.find(path);
  return found == faults_.end() ? kNone : found->second;
}

std::vector<std::string> MemoryHost::Locked() const {
  std::vector<std::string> paths;
  for (const std::string& event : fileEvents_) {
    if (event.starts_with("lock ")) paths.push_back(event.substr(5));
  }
  return paths;
}

bool MemoryHost::IsOrdinaryFile(const std::string& path) const {
  return files.contains(path) && !FaultsOf(path).notOrdinary;
}

bool MemoryHost::IsSameFile(const std::string& a, const std::string& b) const {
  const CaseInsensitiveLess less;
  return !less(a, b) && !less(b, a) && files.contains(a);
}

std::unique_ptr<ByteSource> MemoryHost::OpenRead(const std::string& path) const {
  const auto file = files.find(path);
  if (file == files.end() || FaultsOf(path).failOpen) return nullptr;
  return std::make_unique<MemorySource>(file->second, readPiece, FaultsOf(path).readLimit);
}

std::unique_ptr<ByteSink> MemoryHost::Create(const std::string& path, CreateMode mode) const {
  const Faults& faults = FaultsOf(path);
  if (faults.failCreate) return nullptr;
  if (mode == CreateMode::AtomicReplace) {
    return std::make_unique<ReplacingSink>(files, path, faults.writeLimit, faults.failCommit);
  }
  std::string& target = files[path];
  target.clear();
  return std::make_unique<MemorySink>(target, faults.writeLimit, faults.failCommit);
}

std::unique_ptr<ByteSink> MemoryHost::OpenAppend(const std::string& path) const {
  const Faults& faults = FaultsOf(path);
  if (faults.failCreate) return nullptr;
  return std::make_unique<MemorySink>(files[path], faults.writeLimit, faults.failCommit);
}

bool MemoryHost::CreateFolders(const std::string& path) const { return !FaultsOf(path).failCreate; }

bool MemoryHost::EmptyFile(const std::string& path) const {
  if (FaultsOf(path).failEmpty) return false;
  fileEvents_.push_back("empty " + path);
  if (const auto file = files.find(path); file != files.end()) file->second.clear();
  return true;
}

HostServices::WriteAccess MemoryHost::ProbeWrite(const std::string& path) const {
  const bool exists = files.contains(path);
  if (FaultsOf(path).failCreate) return exists ? WriteAccess::InPlace : WriteAccess::None;
  return exists ? WriteAccess::Replace : WriteAccess::Create;
}

std::unique_ptr<RunLock> MemoryHost::TryLockForRun(const std::string& path, bool& held) const {
  held = FaultsOf(path).lockHeld;
  if (held) return nullptr;
  return LockForRun(path);
}

std::unique_ptr<RunLock> MemoryHost::LockForRun(const std::string& path) const {
  if (FaultsOf(path).failLock) return nullptr;
  return std::make_unique<LoggedLock>(fileEvents_, path);
}

}  // namespace zelko::testing
