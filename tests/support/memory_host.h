#pragma once

// Host services over files held in memory, with faults on demand. Paths match
// without regard to case, as on Windows.

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "byte_stream.h"
#include "host_services.h"

namespace zelko::testing {

// Orders paths as Windows compares them: ASCII letters in either case are equal.
struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view left, std::string_view right) const;
};

// Hands out a copy of `bytes` at most `piece` at a time, so that line ends
// fall on read boundaries; fails once `failAfter` bytes have been read.
class MemorySource : public ByteSource {
 public:
  MemorySource(std::string bytes, std::size_t piece, std::optional<std::size_t> failAfter = std::nullopt);
  std::size_t Read(char* buffer, std::size_t size) override;
  bool Failed() const override { return failed_; }

 private:
  std::string bytes_;
  std::size_t position_ = 0;
  std::size_t piece_;
  bool failing_;
  bool failed_ = false;
};

// Appends what is written to `target`. Writes fail once `writeLimit` bytes
// were written (what fits is kept); Commit() fails after a failed write or
// when `failCommit`.
class MemorySink : public ByteSink {
 public:
  explicit MemorySink(std::string& target, std::optional<std::size_t> writeLimit = std::nullopt,
                      bool failCommit = false);
  bool Write(std::string_view bytes) override;
  bool Commit() override { return !writeFailed_ && !failCommit_; }

 private:
  std::string& target_;
  std::optional<std::size_t> writeLimit_;
  bool failCommit_;
  std::size_t written_ = 0;
  bool writeFailed_ = false;
};

class MemoryHost : public HostServices {
 public:
  explicit MemoryHost(std::string ownFolder = "c:\\app") : ownFolder(std::move(ownFolder)) {}

  std::string ownFolder;
  std::string commandLine;
  std::vector<std::string> environment;
  std::optional<WindowsVersion> version;
  // Reads hand out at most this many bytes each.
  std::size_t readPiece = 3;
  // Files appear when created; an atomic replacement, on its commit.
  mutable std::map<std::string, std::string, CaseInsensitiveLess> files;

  // The bytes of a file, or nothing when there is none.
  std::optional<std::string> File(std::string_view path) const;

  // Faults, each on one path.
  void MakeNotOrdinary(std::string_view path);  // present, but hidden or a folder
  void FailOpen(std::string_view path);
  void FailReadAfter(std::string_view path, std::size_t bytes);
  void FailCreate(std::string_view path);
  void FailWriteAfter(std::string_view path, std::size_t bytes);  // 0: every write fails
  void FailCommit(std::string_view path);
  void FailEmpty(std::string_view path);
  void FailLock(std::string_view path);
  void HoldLock(std::string_view path);  // another run holds it: TryLockForRun finds it held
  void ClearFaults() { faults_.clear(); }

  // "lock <path>" and "unlock <path>" (the path of the file the run is on),
  // and "empty <path>", in the order they happened.
  const std::vector<std::string>& FileEvents() const { return fileEvents_; }
  void ClearFileEvents() { fileEvents_.clear(); }
  // The paths locked, in order.
  std::vector<std::string> Locked() const;

  std::optional<WindowsVersion> WindowsVersionNumbers() const override { return version; }
  std::vector<std::string> EnvironmentEntries() const override { return environment; }
  std::string OwnFolder() const override { return ownFolder; }
  std::string CommandLineText() const override { return commandLine; }
  bool IsOrdinaryFile(const std::string& path) const override;
  // Paths that differ only in case name one file, as on Windows.
  bool IsSameFile(const std::string& a, const std::string& b) const override;
  std::unique_ptr<ByteSource> OpenRead(const std::string& path) const override;
  std::unique_ptr<ByteSink> Create(const std::string& path, CreateMode mode) const override;
  // Appends to the file's bytes; faults as for Create.
  std::unique_ptr<ByteSink> OpenAppend(const std::string& path) const override;
  // Folders are not kept: every one is there, but where FailCreate says not.
  bool CreateFolders(const std::string& path) const override;
  bool EmptyFile(const std::string& path) const override;
  // Replace or Create; InPlace or None where FailCreate says so.
  WriteAccess ProbeWrite(const std::string& path) const override;
  std::unique_ptr<RunLock> LockForRun(const std::string& path) const override;
  std::unique_ptr<RunLock> TryLockForRun(const std::string& path, bool& held) const override;

 private:
  struct Faults {
    bool notOrdinary = false;
    bool failOpen = false;
    std::optional<std::size_t> readLimit;
    bool failCreate = false;
    std::optional<std::size_t> writeLimit;
    bool failCommit = false;
    bool failEmpty = false;
    bool failLock = false;
    bool lockHeld = false;
  };
  const Faults& FaultsOf(std::string_view path) const;

  std::map<std::string, Faults, CaseInsensitiveLess> faults_;
  mutable std::vector<std::string> fileEvents_;
};

}  // namespace zelko::testing
