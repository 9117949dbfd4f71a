#include "journal.h"

#include <filesystem>
#include <system_error>

#include "local_files.h"

namespace zelko::emulator {

Journal::Journal(const std::string& path) {
  if (path.empty()) return;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
  file_ = OpenFileForAppending(path);
  ok_ = file_ != nullptr;
}

void Journal::Write(const std::string& line) {
  if (file_) ok_ = file_->Write(line + "\n") && ok_;
  if (echo_) echo_(line);
}

}  // namespace zelko::emulator
