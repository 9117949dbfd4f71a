#include "win32_run_lock.h"

#include <windows.h>

namespace zelko {

namespace {

class Win32RunLock : public RunLock {
 public:
  explicit Win32RunLock(HANDLE file) : file_(file) {}
  ~Win32RunLock() override { CloseHandle(file_); }  // closing the handle releases the lock
  Win32RunLock(const Win32RunLock&) = delete;
  Win32RunLock& operator=(const Win32RunLock&) = delete;

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<RunLock> LockWin32FileForRun(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  // Blocks until the whole file (one byte is enough) is ours.
  OVERLAPPED at{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
    CloseHandle(file);
    return nullptr;
  }
  return std::make_unique<Win32RunLock>(file);
}

}  // namespace zelko
