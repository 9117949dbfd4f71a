#include "journal.h"

namespace zelko::emulator {

Journal::Journal(const HostServices& host, const std::string& path) {
  if (path.empty()) return;
  file_ = host.OpenAppend(path);
  if (!file_) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator != std::string::npos && separator > 0) host.CreateFolders(path.substr(0, separator));
    file_ = host.OpenAppend(path);
  }
  ok_ = file_ != nullptr;
}

void Journal::Write(const std::string& line) {
  if (file_) ok_ = file_->Write(line + "\n") && ok_;
  if (echo_) echo_(line);
}

}  // namespace zelko::emulator
