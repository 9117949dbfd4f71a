#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "store_lock.h"

namespace zelko::service {

std::unique_ptr<StoreLock> StoreLock::Open(const std::filesystem::path& file, std::string& error) {
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    error = std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<StoreLock>(new StoreLock(fd));
}

StoreLock::~StoreLock() { close(static_cast<int>(handle_)); }

bool StoreLock::TryTake() {
  int taken;
  while ((taken = flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  return taken == 0;
}

}  // namespace zelko::service
