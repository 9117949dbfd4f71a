#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host_services.h"

namespace zelko::service {

struct CapturedFile;

// The host's services, except that some paths are files in memory: files
// served for reading, and files whose writes are captured instead of reaching
// the disk. Paths match as Windows matches them, ignoring ASCII case.
class MemoryFilesHost final : public HostServices {
 public:
  explicit MemoryFilesHost(const HostServices& host) : host_(host) {}

  void Serve(const std::string& path, std::string bytes);
  void Capture(const std::string& path);
  void SetCommandLineText(std::string text) { commandLine_ = std::move(text); }
  // Runs that write only captured files need no run lock: LockForRun then
  // hands out one that holds nothing.
  void SkipRunLocks() { skipRunLocks_ = true; }

  // The lines last committed to a captured path; nothing when none were.
  std::optional<std::vector<std::string>> CapturedLines(const std::string& path) const;
  // The bytes last committed to a captured path, or written so far.
  std::string CapturedBytes(const std::string& path) const;

  std::optional<WindowsVersion> WindowsVersionNumbers() const override { return host_.WindowsVersionNumbers(); }
  std::vector<std::string> EnvironmentEntries() const override { return host_.EnvironmentEntries(); }
  std::string OwnFolder() const override { return host_.OwnFolder(); }
  std::string CommandLineText() const override { return commandLine_; }
  bool IsOrdinaryFile(const std::string& path) const override;
  bool IsSameFile(const std::string& a, const std::string& b) const override;
  std::unique_ptr<ByteSource> OpenRead(const std::string& path) const override;
  std::unique_ptr<ByteSink> Create(const std::string& path, CreateMode mode) const override;
  bool EmptyFile(const std::string& path) const override;
  std::unique_ptr<RunLock> LockForRun(const std::string& path) const override;

 private:
  const HostServices& host_;
  std::map<std::string, std::string> served_;                // by lower-case path
  std::map<std::string, std::shared_ptr<CapturedFile>> captured_;  // by lower-case path
  std::string commandLine_;
  bool skipRunLocks_ = false;
};

}  // namespace zelko::service
