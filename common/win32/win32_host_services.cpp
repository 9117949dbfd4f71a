#include <windows.h>

#include <io.h>

#include <cstdio>
#include <cstring>

#include "environment.h"
#include "host_backend.h"
#include "win32_command_line.h"
#include "local_files.h"
#include "win32_run_lock.h"

namespace zelko {

namespace {

// The single-byte OSVERSIONINFO, set up the way the version call has always
// been made here: its size 148 and the service-pack text blank-filled.
WindowsVersion QueryWindowsVersion() {
  OSVERSIONINFOA info;
  static_assert(sizeof info == 148);
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = 148;
  std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
  GetVersionExA(&info);
  return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

std::string ExecutableFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto separator = path.find_last_of("\\/");
  return separator == std::string::npos ? "." : path.substr(0, separator);
}

class Win32HostServices : public HostServices {
 public:
  std::optional<WindowsVersion> WindowsVersionNumbers() const override { return QueryWindowsVersion(); }

  std::vector<std::string> EnvironmentEntries() const override { return ProcessEnvironment(); }

  std::string OwnFolder() const override { return ExecutableFolder(); }

  std::string CommandLineText() const override { return ArgumentsAfterProgramName(GetCommandLineA()); }

  bool IsOrdinaryFile(const std::string& path) const override {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotOrdinary) == 0;
  }

  bool IsSameFile(const std::string& a, const std::string& b) const override { return IsSameLocalFile(a, b); }

  std::unique_ptr<ByteSource> OpenRead(const std::string& path) const override {
    return OpenFileForReading(path);
  }

  std::unique_ptr<ByteSink> Create(const std::string& path, CreateMode mode) const override {
    return CreateFileForWriting(path, mode);
  }

  std::unique_ptr<ByteSink> OpenAppend(const std::string& path) const override { return OpenFileForAppending(path); }

  bool CreateFolders(const std::string& path) const override {
    for (std::size_t at = path.find_first_of("\\/", 3); at != std::string::npos;
         at = path.find_first_of("\\/", at + 1)) {
      CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool EmptyFile(const std::string& path) const override { return EmptyLocalFile(path); }

  WriteAccess ProbeWrite(const std::string& path) const override { return ProbeLocalWrite(path); }

  std::unique_ptr<RunLock> LockForRun(const std::string& path) const override {
    return LockWin32RunOn(path, nullptr);
  }

  std::unique_ptr<RunLock> TryLockForRun(const std::string& path, bool& held) const override {
    return LockWin32RunOn(path, &held);
  }
};

}  // namespace

std::vector<std::string> ProcessEnvironment() {
  std::vector<std::string> entries;
  char* block = GetEnvironmentStringsA();
  if (!block) return entries;
  for (const char* entry = block; *entry; entry += std::strlen(entry) + 1) entries.emplace_back(entry);
  FreeEnvironmentStringsA(block);
  return entries;
}

// The account's home folder here is the user's profile.
std::string ZelkoRoot() {
  const std::vector<std::string> entries = ProcessEnvironment();
  return ZelkoRootFrom(entries, EnvironmentValue(entries, "USERPROFILE").value_or(""));
}

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

std::unique_ptr<HostServices> MakeHostServices(int, char**) { return std::make_unique<Win32HostServices>(); }

}  // namespace zelko
