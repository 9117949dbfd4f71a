#include "temp_folder.h"

#include <filesystem>
#include <random>

#include "file_bytes.h"

namespace zelko::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::random_device random;
  const fs::path base = fs::temp_directory_path();
  for (;;) {
    const fs::path candidate = base / ("zelko-test-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // Read-only files cannot be removed on Windows until they are writable again.
  for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  }
  fs::remove_all(path_, ignored);
}

std::string TempFolder::File(const std::string& relative) const {
  return (fs::path(path_) / relative).make_preferred().string();
}

std::string TempFolder::Write(const std::string& relative, const std::string& bytes) const {
  const std::string path = File(relative);
  WriteBytes(path, bytes);
  return path;
}

std::string TempFolder::Read(const std::string& relative) const { return ReadBytes(File(relative)); }

bool TempFolder::Exists(const std::string& relative) const { return fs::exists(File(relative)); }

std::string TempFolder::MakeFolder(const std::string& relative) const {
  const std::string path = File(relative);
  fs::create_directories(path);
  return path;
}

}  // namespace zelko::testing
