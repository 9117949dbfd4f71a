#include "posix_run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace zelko {

namespace {

class FileRunLock : public RunLock {
 public:
  explicit FileRunLock(int fd) : fd_(fd) {}
  ~FileRunLock() override { ::close(fd_); }  // closing the last descriptor releases the lock
  FileRunLock(const FileRunLock&) = delete;
  FileRunLock& operator=(const FileRunLock&) = delete;

 private:
  int fd_;
};

// The shared folder is sticky and open to all, its lock files readable and
// writable by all, so that the runs of every user on a machine meet there.
std::string SharedLockFolder() {
  const char* temporary = std::getenv("TMPDIR");
  const std::string folder = std::string(temporary && *temporary ? temporary : "/tmp") + "/zelko-locks";
  if (::mkdir(folder.c_str(), 0777) == 0) ::chmod(folder.c_str(), 01777);
  return folder;
}

// Waits for the lock, or with `held` set tries once and says whether another run holds it.
std::unique_ptr<RunLock> LockFileIn(const std::string& folder, const std::string& name, bool* held) {
  const std::string path = folder + "/" + name;
  // Without waiting: a FIFO at the lock's name would block the open forever.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  if (info.st_uid == ::geteuid()) ::fchmod(fd, 0666);
  int locked;
  do {
    locked = ::flock(fd, held ? LOCK_EX | LOCK_NB : LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    if (held) *held = errno == EWOULDBLOCK;
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<FileRunLock>(fd);
}

std::unique_ptr<RunLock> LockIn(const std::string& root, const std::string& name, bool* held) {
  const std::string own = root + "/locks";
  ::mkdir(root.c_str(), 0777);
  ::mkdir(own.c_str(), 0777);
  if (auto lock = LockFileIn(own, name, held)) return lock;
  if (held && *held) return nullptr;
  return LockFileIn(SharedLockFolder(), name, held);
}

}  // namespace

std::unique_ptr<RunLock> LockFileForRun(const std::string& root, const std::string& name) {
  return LockIn(root, name, nullptr);
}

std::unique_ptr<RunLock> TryLockFileForRun(const std::string& root, const std::string& name, bool& held) {
  held = false;
  return LockIn(root, name, &held);
}

}  // namespace zelko
