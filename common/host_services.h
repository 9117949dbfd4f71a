#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_stream.h"

namespace zelko {

// The four numbers of the Windows version call that the host name is chosen by.
struct WindowsVersion {
  std::uint32_t platformId = 0;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
};

// Held while a run must be the only one on its file; released when destroyed
// (by the thread that took it), and by the operating system when the process dies.
class RunLock {
 public:
  virtual ~RunLock() = default;
};

// Everything the programs need of the operating system except the register,
// the operator and the settings store; every file the programs touch is
// reached through it. Paths are Windows paths ("c:\dir\file"); a backend
// maps them to its own file system.
class HostServices {
 public:
  // How a file at a path could be written, as Create would write it.
  enum class WriteAccess {
    Replace,   // it exists and a file can be made beside it: replaced atomically
    InPlace,   // it exists, its folder takes no new file, and it may be written: in place
    Create,    // it is missing and its folder takes a new file
    None,      // it cannot be written or created, or something other than a file stands there
  };

  enum class CreateMode {
    Truncate,        // create or empty in place; what was written stays on failure
    // Written beside the target and renamed over it on Commit(). Where no file
    // can be made beside it (a folder that takes no new file, such as C:\ for
    // a standard user) an existing target that may be written is written in
    // place instead, whole on Commit(): emptied, written and flushed.
    AtomicReplace,
  };

  virtual ~HostServices() = default;

  // Empty when the host cannot tell (the host name is then empty).
  virtual std::optional<WindowsVersion> WindowsVersionNumbers() const = 0;
  // "NAME=value" entries in the order the process received them.
  virtual std::vector<std::string> EnvironmentEntries() const = 0;
  // The folder of the program's own executable, without a trailing separator.
  virtual std::string OwnFolder() const = 0;
  // The text that follows the program name on the command line.
  virtual std::string CommandLineText() const = 0;
  // A regular file that is neither hidden nor a system file.
  virtual bool IsOrdinaryFile(const std::string& path) const = 0;
  // Both paths name one existing file, by its identity on disk (whatever the
  // names, case or links that lead to it). False when either is missing.
  virtual bool IsSameFile(const std::string& a, const std::string& b) const = 0;
  // Null when the file cannot be opened.
  virtual std::unique_ptr<ByteSource> OpenRead(const std::string& path) const = 0;
  // Null when the file cannot be created.
  virtual std::unique_ptr<ByteSink> Create(const std::string& path, CreateMode mode) const = 0;
  // Appends to the file, creating it when missing; each Write goes to the
  // end. Null when it cannot be opened.
  virtual std::unique_ptr<ByteSink> OpenAppend(const std::string& path) const = 0;
  // Makes the folder and the missing folders above it; false when it is not
  // there then.
  virtual bool CreateFolders(const std::string& path) const = 0;
  // Leaves no earlier content readable at the path: a file there (links
  // followed) is emptied in place, or removed when it cannot be emptied;
  // nothing is created, and a folder, device or pipe is left alone. False
  // when a file stays there as it was.
  virtual bool EmptyFile(const std::string& path) const = 0;
  // How the file could be written, found without changing it: nothing is
  // left behind and no byte of it changes.
  virtual WriteAccess ProbeWrite(const std::string& path) const = 0;
  // Waits until this process alone runs on the file at `path`: one lock per
  // file however the case of its name is written (run_lock.h), made
  // without creating anything beside the file. Null when it cannot be had.
  virtual std::unique_ptr<RunLock> LockForRun(const std::string& path) const = 0;
  // The same lock when no other run holds it, without waiting; otherwise null,
  // with `held` telling whether a run holds it (false: it cannot be had at all).
  virtual std::unique_ptr<RunLock> TryLockForRun(const std::string& path, bool& held) const = 0;
};

}  // namespace zelko
