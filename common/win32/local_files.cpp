#include <windows.h>

#include <climits>
#include <optional>
#include <string_view>

#include "local_files.h"
#include "win32_virtual_store.h"

namespace zelko {

namespace {

class HandleSource : public ByteSource {
 public:
  explicit HandleSource(HANDLE file) : file_(file) {}
  ~HandleSource() override { CloseHandle(file_); }
  HandleSource(const HandleSource&) = delete;
  HandleSource& operator=(const HandleSource&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override {
    if (failed_) return 0;
    DWORD got = 0;
    const DWORD wanted = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
    if (!ReadFile(file_, buffer, wanted, &got, nullptr)) {
      failed_ = true;
      return 0;
    }
    return got;
  }

  bool Failed() const override { return failed_; }

 private:
  HANDLE file_;
  bool failed_ = false;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD put = 0;
    const DWORD chunk = bytes.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes.size());
    if (!WriteFile(file, bytes.data(), chunk, &put, nullptr) || put == 0) return false;
    bytes.remove_prefix(put);
  }
  return true;
}

// Writes straight into the target, or into a temporary beside it that
// Commit() moves over the target (`target` empty for the former).
class HandleSink : public ByteSink {
 public:
  HandleSink(HANDLE file, std::string temporary, std::string target)
      : file_(file), temporary_(std::move(temporary)), target_(std::move(target)) {}
  ~HandleSink() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (!temporary_.empty() && !moved_) DeleteFileA(temporary_.c_str());
  }
  HandleSink(const HandleSink&) = delete;
  HandleSink& operator=(const HandleSink&) = delete;

  bool Write(std::string_view bytes) override {
    if (!failed_ && (file_ == INVALID_HANDLE_VALUE || !WriteAll(file_, bytes))) failed_ = true;
    return !failed_;
  }

  bool Commit() override {
    if (file_ == INVALID_HANDLE_VALUE) return false;
    if (!temporary_.empty() && !FlushFileBuffers(file_)) failed_ = true;
    if (!CloseHandle(file_)) failed_ = true;
    file_ = INVALID_HANDLE_VALUE;
    if (failed_ || temporary_.empty()) return !failed_;
    if (!MoveFileExA(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return false;
    }
    moved_ = true;
    return true;
  }

 private:
  HANDLE file_;
  std::string temporary_;
  std::string target_;
  bool failed_ = false;
  bool moved_ = false;
};

// The replacement of a file whose folder takes no new file (C:\ for a
// standard user): the file itself gets the bytes on Commit(), emptied,
// written and flushed; a sink destroyed without Commit() leaves it as it was.
class InPlaceReplacement : public ByteSink {
 public:
  explicit InPlaceReplacement(HANDLE file) : file_(file) {}
  ~InPlaceReplacement() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  InPlaceReplacement(const InPlaceReplacement&) = delete;
  InPlaceReplacement& operator=(const InPlaceReplacement&) = delete;

  bool Write(std::string_view bytes) override {
    bytes_.append(bytes);
    return file_ != INVALID_HANDLE_VALUE;
  }

  bool Commit() override {
    if (file_ == INVALID_HANDLE_VALUE) return false;
    const bool written = SetFilePointer(file_, 0, nullptr, FILE_BEGIN) == 0 && SetEndOfFile(file_) &&
                         WriteAll(file_, bytes_) && FlushFileBuffers(file_);
    const bool closed = CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return written && closed;
  }

 private:
  HANDLE file_;
  std::string bytes_;
};

// Keeps the handle only for a file on disk: a console, a printer port, a
// serial port or a pipe is not a file to read or replace.
HANDLE KeepDiskFile(HANDLE file) {
  if (file == INVALID_HANDLE_VALUE) return file;
  BY_HANDLE_FILE_INFORMATION information;
  if (GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information) &&
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return file;
  }
  CloseHandle(file);
  return INVALID_HANDLE_VALUE;
}

HANDLE OpenDiskFile(const std::string& path, DWORD access, DWORD disposition) {
  return KeepDiskFile(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The file that a symbolic link at `path` leads to (the path itself when it is
// none); empty when something other than a file on disk stands there. The
// final-path call is looked up at run time: Windows XP has neither it nor
// links to files.
std::optional<std::string> FollowLinks(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return path;
  const HANDLE file = OpenDiskFile(path, 0, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::string> target = path;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    using Function = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
    const auto finalPath = reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    char buffer[MAX_PATH * 4];
    const DWORD length = finalPath ? finalPath(file, buffer, sizeof buffer, 0) : 0;
    target = (length > 0 && length < sizeof buffer) ? std::optional<std::string>(std::string(buffer, length))
                                                     : std::nullopt;
  }
  CloseHandle(file);
  return target;
}

// A fresh file beside `target`; INVALID_HANDLE_VALUE when none can be made.
HANDLE CreateTemporaryBeside(const std::string& target, std::string& temporary) {
  static LONG counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(InterlockedIncrement(&counter));
    const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

std::unique_ptr<ByteSink> CreateInPlace(const std::string& path) {
  // Opened as it is and emptied only once it proved to be a file on disk.
  const HANDLE file = OpenDiskFile(path, GENERIC_WRITE, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  if (!SetEndOfFile(file)) {
    CloseHandle(file);
    return nullptr;
  }
  return std::make_unique<HandleSink>(file, "", "");
}

std::unique_ptr<ByteSink> CreateReplacement(const std::string& path) {
  const auto target = FollowLinks(path);
  if (!target) return nullptr;
  std::string temporary;
  const HANDLE file = CreateTemporaryBeside(*target, temporary);
  if (file == INVALID_HANDLE_VALUE) {
    const HANDLE existing = OpenDiskFile(*target, GENERIC_WRITE, OPEN_EXISTING);
    if (existing == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<InPlaceReplacement>(existing);
  }
  return std::make_unique<HandleSink>(file, temporary, *target);
}

// Empties a file on disk in place, or removes it; true when nothing of it is
// left to read there (a folder or a device is no file to empty).
bool EmptyOrRemove(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    const bool emptied = GetFileType(file) != FILE_TYPE_DISK || (SetEndOfFile(file) && FlushFileBuffers(file));
    CloseHandle(file);
    if (emptied) return true;
  }
  return DeleteFileA(path.c_str()) != 0;
}

}  // namespace

std::unique_ptr<ByteSource> OpenFileForReading(const std::string& path) {
  const HANDLE file = OpenDiskFile(path, GENERIC_READ, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<HandleSource>(file);
}

std::unique_ptr<ByteSink> CreateFileForWriting(const std::string& path, HostServices::CreateMode mode) {
  return mode == HostServices::CreateMode::Truncate ? CreateInPlace(path) : CreateReplacement(path);
}

bool IsSameLocalFile(const std::string& a, const std::string& b) {
  const auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& information) {
    const HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    return known;
  };
  BY_HANDLE_FILE_INFORMATION first;
  BY_HANDLE_FILE_INFORMATION second;
  return identity(a, first) && identity(b, second) && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

// The copy a virtualized caller would read instead of the file is removed,
// so that such a caller reads the file itself again; emptied when it cannot
// be removed.
bool EmptyLocalFile(const std::string& path) {
  const std::string copy = VirtualStoreCopy(path);
  const bool copyGone = copy.empty() || GetFileAttributesA(copy.c_str()) == INVALID_FILE_ATTRIBUTES ||
                        DeleteFileA(copy.c_str()) || EmptyOrRemove(copy);
  return copyGone && EmptyOrRemove(path);
}

HostServices::WriteAccess ProbeLocalWrite(const std::string& path) {
  using Access = HostServices::WriteAccess;
  const auto target = FollowLinks(path);
  if (!target) return Access::None;
  const DWORD attributes = GetFileAttributesA(target->c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return Access::None;
  std::string temporary;
  if (const HANDLE file = CreateTemporaryBeside(*target, temporary); file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    DeleteFileA(temporary.c_str());
    // A read-only file is not replaced: the move over it is refused.
    if (!exists) return Access::Create;
    return (attributes & FILE_ATTRIBUTE_READONLY) ? Access::None : Access::Replace;
  }
  if (!exists) return Access::None;
  const HANDLE file = OpenDiskFile(*target, GENERIC_WRITE, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return Access::None;
  CloseHandle(file);
  return Access::InPlace;
}

std::unique_ptr<ByteSink> OpenFileForAppending(const std::string& path) {
  const HANDLE file = OpenDiskFile(path, FILE_APPEND_DATA, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<HandleSink>(file, "", "");
}

}  // namespace zelko
