#include "win32_run_lock.h"

#include <windows.h>

#include "run_lock.h"

namespace zelko {

namespace {

// A mutex belongs to the thread that waited for it: it is released there.
class Win32RunLock : public RunLock {
 public:
  explicit Win32RunLock(HANDLE mutex) : mutex_(mutex) {}
  ~Win32RunLock() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  Win32RunLock(const Win32RunLock&) = delete;
  Win32RunLock& operator=(const Win32RunLock&) = delete;

 private:
  HANDLE mutex_;
};

std::string FullPath(const std::string& path) {
  std::string full(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

}  // namespace

std::unique_ptr<RunLock> LockWin32RunOn(const std::string& path, bool* held) {
  if (held) *held = false;
  // Any user's run may open the mutex that another user's run made first.
  SECURITY_DESCRIPTOR everyone;
  InitializeSecurityDescriptor(&everyone, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&everyone, TRUE, nullptr, FALSE);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &everyone, FALSE};
  const std::string name = "Global\\ZelkoRun-" + RunLockName(FullPath(path));
  const HANDLE mutex = CreateMutexA(&attributes, FALSE, name.c_str());
  if (!mutex) return nullptr;
  // WAIT_ABANDONED: the holder died without letting go; the lock is ours now.
  const DWORD waited = WaitForSingleObject(mutex, held ? 0 : INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    if (held) *held = waited == WAIT_TIMEOUT;
    CloseHandle(mutex);
    return nullptr;
  }
  return std::make_unique<Win32RunLock>(mutex);
}

}  // namespace zelko
