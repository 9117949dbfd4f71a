#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <system_error>

#include "environment.h"
#include "host_backend.h"
#include "windows_on_posix.h"
#include "local_files.h"
#include "posix_run_lock.h"
#include "run_lock.h"

namespace zelko {

namespace {

std::string ExecutablePath(const char* argv0) {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length > 0 && static_cast<std::size_t>(length) < sizeof buffer) return std::string(buffer, length);
  if (argv0 && ::realpath(argv0, buffer)) return buffer;
  return argv0 ? argv0 : "";
}

std::string JoinArguments(int argc, char** argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

class PosixHostServices : public HostServices {
 public:
  PosixHostServices(std::string root, std::string executable, std::string commandLine)
      : root_(std::move(root)), executable_(std::move(executable)), commandLine_(std::move(commandLine)) {}

  std::optional<WindowsVersion> WindowsVersionNumbers() const override {
    const auto text = EnvironmentValue(ProcessEnvironment(), "ZELKO_WINDOWS_VERSION");
    return text ? ParseWindowsVersion(*text) : std::nullopt;
  }

  std::vector<std::string> EnvironmentEntries() const override { return ProcessEnvironment(); }

  std::string OwnFolder() const override {
    const auto slash = executable_.rfind('/');
    return slash == std::string::npos ? "." : executable_.substr(0, slash);
  }

  std::string CommandLineText() const override { return commandLine_; }

  bool IsOrdinaryFile(const std::string& path) const override {
    if (path.empty()) return false;
    const std::string local = LocalPath(path);
    struct stat info {};
    if (::stat(local.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    return local[local.rfind('/') + 1] != '.';
  }

  bool IsSameFile(const std::string& a, const std::string& b) const override {
    return IsSameLocalFile(LocalPath(a), LocalPath(b));
  }

  std::unique_ptr<ByteSource> OpenRead(const std::string& path) const override {
    return OpenFileForReading(LocalPath(path));
  }

  std::unique_ptr<ByteSink> Create(const std::string& path, CreateMode mode) const override {
    return CreateFileForWriting(LocalPath(path), mode);
  }

  std::unique_ptr<ByteSink> OpenAppend(const std::string& path) const override {
    return OpenFileForAppending(LocalPath(path));
  }

  bool CreateFolders(const std::string& path) const override {
    std::error_code failed;
    const std::string local = LocalPath(path);
    std::filesystem::create_directories(local, failed);
    return std::filesystem::is_directory(local, failed);
  }

  bool EmptyFile(const std::string& path) const override { return EmptyLocalFile(LocalPath(path)); }

  HostServices::WriteAccess ProbeWrite(const std::string& path) const override {
    return ProbeLocalWrite(LocalPath(path));
  }

  std::unique_ptr<RunLock> LockForRun(const std::string& path) const override {
    return LockFileForRun(root_, LockName(path));
  }

  std::unique_ptr<RunLock> TryLockForRun(const std::string& path, bool& held) const override {
    return TryLockFileForRun(root_, LockName(path), held);
  }

 private:
  // The host path of a Windows path; makes the drive folder on first use.
  std::string LocalPath(const std::string& windowsPath) const {
    const MappedPath mapped = MapWindowsPath(windowsPath, root_);
    if (!mapped.driveFolder.empty()) {
      std::error_code ignored;
      std::filesystem::create_directories(mapped.driveFolder, ignored);
    }
    return FindNameCase(mapped.path);
  }

  // The lock file's name, from the file's full path on this machine.
  std::string LockName(const std::string& windowsPath) const {
    std::error_code ignored;
    return RunLockName(std::filesystem::absolute(LocalPath(windowsPath), ignored).lexically_normal().string());
  }

  std::string root_;
  std::string executable_;
  std::string commandLine_;
};

}  // namespace

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

std::unique_ptr<HostServices> MakeHostServices(int argc, char** argv) {
  return std::make_unique<PosixHostServices>(ZelkoRoot(), ExecutablePath(argc > 0 ? argv[0] : nullptr),
                                             JoinArguments(argc, argv));
}

}  // namespace zelko
