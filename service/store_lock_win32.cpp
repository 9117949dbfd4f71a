#include <windows.h>

#include "store_lock.h"
#include "win32_error_text.h"

namespace zelko::service {

namespace {

HANDLE HandleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

std::unique_ptr<StoreLock> StoreLock::Open(const std::filesystem::path& file, std::string& error) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = LastErrorText(GetLastError());
    return nullptr;
  }
  return std::unique_ptr<StoreLock>(new StoreLock(reinterpret_cast<std::intptr_t>(handle)));
}

// Closing the handle releases its lock.
StoreLock::~StoreLock() { CloseHandle(HandleOf(handle_)); }

bool StoreLock::TryTake() {
  OVERLAPPED start{};
  return LockFileEx(HandleOf(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start) != 0;
}

}  // namespace zelko::service
