#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace zelko::service {

// The lock file in the store's folder, which one process at a time holds
// until it ends (the system releases it also when the process is killed):
// flock on POSIX, LockFileEx on Windows.
class StoreLock {
 public:
  // Opens or makes the file; nothing, with `error` saying why, when it cannot.
  static std::unique_ptr<StoreLock> Open(const std::filesystem::path& file, std::string& error);
  ~StoreLock();
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

  // True once this process holds it; false, at once, while another does.
  bool TryTake();

 private:
  explicit StoreLock(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_;  // the file's descriptor or handle
};

}  // namespace zelko::service
