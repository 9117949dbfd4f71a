#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host_services.h"

namespace zelko::testing {

// Host services over in-memory files, with faults to inject. Paths match
// without regard to case, as on Windows.
class FakeHost : public HostServices {
 public:
  std::string commandLine;
  std::string ownFolder = "C:\\LOADER";

  void AddFile(const std::string& path, const std::string& bytes) { files_[Key(path)] = bytes; }
  // The bytes of a file, or nothing when it does not exist.
  std::optional<std::string> File(const std::string& path) const;
  // Present as a file, but not an ordinary one (a hidden file or a folder).
  void MakeNotOrdinary(const std::string& path) { notOrdinary_.insert(Key(path)); }
  void FailOpen(const std::string& path) { failOpen_.insert(Key(path)); }
  // Reading the file fails after its first `bytes` bytes.
  void FailReadAfter(const std::string& path, std::size_t bytes) { failReadAfter_[Key(path)] = bytes; }
  void FailCreate(const std::string& path) { failCreate_.insert(Key(path)); }
  // Writing fails once the file holds `bytes` bytes (a full disk).
  void FailWriteAfter(std::size_t bytes) { writeLimit_ = bytes; }
  void FailClose() { failClose_ = true; }
  void FailLock() { failLock_ = true; }
  // The paths locked for the run, in order.
  const std::vector<std::string>& Locked() const { return locked_; }

  std::optional<WindowsVersion> WindowsVersionNumbers() const override { return std::nullopt; }
  std::vector<std::string> EnvironmentEntries() const override { return {}; }
  std::string OwnFolder() const override { return ownFolder; }
  std::string CommandLineText() const override { return commandLine; }
  bool IsOrdinaryFile(const std::string& path) const override;
  // Paths that differ only in case name one file, as on Windows.
  bool IsSameFile(const std::string& a, const std::string& b) const override;
  std::unique_ptr<ByteSource> OpenRead(const std::string& path) const override;
  std::unique_ptr<ByteSink> Create(const std::string& path, CreateMode mode) const override;
  std::unique_ptr<RunLock> LockForRun(const std::string& path) const override;

 private:
  static std::string Key(const std::string& path);

  mutable std::map<std::string, std::string> files_;
  std::set<std::string> notOrdinary_;
  std::set<std::string> failOpen_;
  std::map<std::string, std::size_t> failReadAfter_;
  std::set<std::string> failCreate_;
  std::optional<std::size_t> writeLimit_;
  bool failClose_ = false;
  bool failLock_ = false;
  mutable std::vector<std::string> locked_;
};

}  // namespace zelko::testing
