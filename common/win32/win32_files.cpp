#include "win32_files.h"

#include <windows.h>

#include <climits>
#include <string_view>

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
    while (!failed_ && !bytes.empty()) {
      DWORD put = 0;
      const DWORD chunk = bytes.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes.size());
      if (file_ == INVALID_HANDLE_VALUE || !WriteFile(file_, bytes.data(), chunk, &put, nullptr) || put == 0) {
        failed_ = true;
      } else {
        bytes.remove_prefix(put);
      }
    }
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

HANDLE CreateForWriting(const std::string& path, DWORD disposition) {
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

// A fresh file beside `target`; INVALID_HANDLE_VALUE when none can be made.
HANDLE CreateTemporaryBeside(const std::string& target, std::string& temporary) {
  static LONG counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(InterlockedIncrement(&counter));
    const HANDLE file = CreateForWriting(temporary, CREATE_NEW);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::unique_ptr<ByteSource> OpenWin32FileForReading(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<HandleSource>(file);
}

std::unique_ptr<ByteSink> CreateWin32File(const std::string& path, HostServices::CreateMode mode) {
  if (mode == HostServices::CreateMode::Truncate) {
    const HANDLE file = CreateForWriting(path, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<HandleSink>(file, "", "");
  }
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return nullptr;
  std::string temporary;
  const HANDLE file = CreateTemporaryBeside(path, temporary);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<HandleSink>(file, temporary, path);
}

}  // namespace zelko
