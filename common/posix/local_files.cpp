#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

#include "local_files.h"

namespace zelko {

namespace {

class FileSource : public ByteSource {
 public:
  explicit FileSource(int fd) : fd_(fd) {}
  ~FileSource() override { ::close(fd_); }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override {
    if (failed_) return 0;
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) {
        failed_ = true;
        return 0;
      }
    }
  }

  bool Failed() const override { return failed_; }

 private:
  int fd_;
  bool failed_ = false;
};

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put >= 0) {
      bytes.remove_prefix(static_cast<std::size_t>(put));
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

// Writes straight into the target, or into a temporary beside it that
// Commit() renames over the target (`target` empty for the former).
class FileSink : public ByteSink {
 public:
  FileSink(int fd, std::string temporary, std::string target)
      : fd_(fd), temporary_(std::move(temporary)), target_(std::move(target)) {}
  ~FileSink() override {
    if (fd_ >= 0) ::close(fd_);
    if (!temporary_.empty() && !renamed_) ::unlink(temporary_.c_str());
  }
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  bool Write(std::string_view bytes) override {
    if (!failed_ && (fd_ < 0 || !WriteAll(fd_, bytes))) failed_ = true;
    return !failed_;
  }

  bool Commit() override {
    if (fd_ < 0) return false;
    if (!temporary_.empty() && ::fsync(fd_) != 0) failed_ = true;
    if (::close(fd_) != 0) failed_ = true;
    fd_ = -1;
    if (failed_ || temporary_.empty()) return !failed_;
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return false;
    renamed_ = true;
    SyncFolder(FolderOf(target_));
    return true;
  }

 private:
  int fd_;
  std::string temporary_;
  std::string target_;
  bool failed_ = false;
  bool renamed_ = false;
};

// The replacement of a file whose folder takes no new file: the file itself,
// opened for writing, gets the bytes on Commit(), emptied, written and
// flushed; a sink destroyed without Commit() leaves it as it was.
class InPlaceReplacement : public ByteSink {
 public:
  explicit InPlaceReplacement(int fd) : fd_(fd) {}
  ~InPlaceReplacement() override {
    if (fd_ >= 0) ::close(fd_);
  }
  InPlaceReplacement(const InPlaceReplacement&) = delete;
  InPlaceReplacement& operator=(const InPlaceReplacement&) = delete;

  bool Write(std::string_view bytes) override {
    bytes_.append(bytes);
    return fd_ >= 0;
  }

  bool Commit() override {
    if (fd_ < 0) return false;
    const bool written = ::ftruncate(fd_, 0) == 0 && WriteAll(fd_, bytes_) && ::fsync(fd_) == 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return written && closed;
  }

 private:
  int fd_;
  std::string bytes_;
};

// What stands at a path, symbolic links followed.
enum class Entry { Missing, Regular, Other };

Entry EntryAt(const std::string& path, struct stat& info) {
  if (::stat(path.c_str(), &info) != 0) return errno == ENOENT ? Entry::Missing : Entry::Other;
  return S_ISREG(info.st_mode) ? Entry::Regular : Entry::Other;
}

// Opens without waiting (opening a FIFO blocks until its other end opens)
// and keeps the descriptor only for a regular file, then back to blocking
// I/O. Something else at the path is not even opened, since opening some
// devices acts on them.
int OpenRegularFile(const std::string& path, int flags) {
  struct stat info {};
  if (EntryAt(path, info) == Entry::Other) return -1;
  const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  const int status = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || status < 0 ||
      ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// The path that symbolic links at the last component of `path` lead to;
// empty for a loop of links. Links among the folders need no following:
// the temporary is made through the same folders, so it lands beside the file.
std::optional<std::string> FollowLinks(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) return std::nullopt;
    const std::string link(target, static_cast<std::size_t>(length));
    path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
  }
  return std::nullopt;
}

// A fresh hidden file beside `target`; -1 when none can be made.
int CreateTemporaryBeside(const std::string& target, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  const std::string folder = FolderOf(target);
  const std::string name = target.substr(target.rfind('/') + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder + "/." + name + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

std::unique_ptr<ByteSink> CreateInPlace(const std::string& path) {
  const int fd = OpenRegularFile(path, O_WRONLY | O_CREAT);
  if (fd < 0) return nullptr;
  if (::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<FileSink>(fd, "", "");
}

std::unique_ptr<ByteSink> CreateReplacement(const std::string& path) {
  const auto target = FollowLinks(path);
  if (!target) return nullptr;
  struct stat targetInfo {};
  const Entry entry = EntryAt(*target, targetInfo);
  if (entry == Entry::Other) return nullptr;
  std::string temporary;
  const int fd = CreateTemporaryBeside(*target, temporary);
  if (fd < 0) {
    if (entry != Entry::Regular) return nullptr;
    const int file = OpenRegularFile(*target, O_WRONLY);
    if (file < 0) return nullptr;
    return std::make_unique<InPlaceReplacement>(file);
  }
  // The replacement keeps the permissions of the file it replaces.
  if (entry == Entry::Regular) ::fchmod(fd, targetInfo.st_mode & 07777);
  return std::make_unique<FileSink>(fd, temporary, *target);
}

}  // namespace

std::unique_ptr<ByteSource> OpenFileForReading(const std::string& path) {
  const int fd = OpenRegularFile(path, O_RDONLY);
  if (fd < 0) return nullptr;
  return std::make_unique<FileSource>(fd);
}

std::unique_ptr<ByteSink> CreateFileForWriting(const std::string& path, HostServices::CreateMode mode) {
  return mode == HostServices::CreateMode::Truncate ? CreateInPlace(path) : CreateReplacement(path);
}

bool IsSameLocalFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

bool EmptyLocalFile(const std::string& path) {
  const auto target = FollowLinks(path);
  struct stat info {};
  if (!target || EntryAt(*target, info) != Entry::Regular) return true;
  const int fd = OpenRegularFile(*target, O_WRONLY);
  const bool emptied = fd >= 0 && ::ftruncate(fd, 0) == 0 && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  return emptied || ::unlink(target->c_str()) == 0;
}

HostServices::WriteAccess ProbeLocalWrite(const std::string& path) {
  using Access = HostServices::WriteAccess;
  const auto target = FollowLinks(path);
  struct stat info {};
  const Entry entry = target ? EntryAt(*target, info) : Entry::Other;
  if (entry == Entry::Other) return Access::None;
  std::string temporary;
  if (const int fd = CreateTemporaryBeside(*target, temporary); fd >= 0) {
    ::close(fd);
    ::unlink(temporary.c_str());
    return entry == Entry::Regular ? Access::Replace : Access::Create;
  }
  if (entry == Entry::Missing) return Access::None;
  const int fd = OpenRegularFile(*target, O_WRONLY);
  if (fd < 0) return Access::None;
  ::close(fd);
  return Access::InPlace;
}

std::unique_ptr<ByteSink> OpenFileForAppending(const std::string& path) {
  const int fd = OpenRegularFile(path, O_WRONLY | O_CREAT | O_APPEND);
  if (fd < 0) return nullptr;
  return std::make_unique<FileSink>(fd, "", "");
}

}  // namespace zelko
