#include "posix_run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

}  // namespace

std::unique_ptr<RunLock> LockFileForRun(const std::string& path) {
  // Without waiting: a FIFO at the lock's name would block the open forever.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  int locked;
  do {
    locked = ::flock(fd, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<FileRunLock>(fd);
}

}  // namespace zelko
