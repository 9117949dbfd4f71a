#include "journal.h"

#include <filesystem>
#include <system_error>

namespace zelko::emulator {

Journal::Journal(const std::string& path) {
  if (path.empty()) return;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
  file_.open(path, std::ios::binary | std::ios::app);
  ok_ = file_.is_open();
}

void Journal::Write(const std::string& line) {
  if (file_.is_open()) {
    file_ << line << '\n';
    file_.flush();
    ok_ = ok_ && file_.good();
  }
  if (echo_) echo_(line);
}

}  // namespace zelko::emulator
