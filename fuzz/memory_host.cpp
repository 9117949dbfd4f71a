#include "memory_host.h"

#include <algorithm>

namespace zelko::fuzzing {

std::size_t MemorySource::Read(char* buffer, std::size_t size) {
  const std::size_t count = std::min({size, piece_, bytes_.size()});
  std::copy_n(bytes_.data(), count, buffer);
  bytes_.remove_prefix(count);
  return count;
}

bool MemorySink::Write(std::string_view bytes) {
  bytes_.append(bytes);
  return true;
}

std::unique_ptr<ByteSource> MemoryHost::OpenRead(const std::string& path) const {
  const auto file = files.find(path);
  if (file == files.end()) return nullptr;
  return std::make_unique<MemorySource>(file->second, readPiece);
}

std::unique_ptr<ByteSink> MemoryHost::Create(const std::string& path, CreateMode) const {
  std::string& bytes = files[path];
  bytes.clear();
  return std::make_unique<MemorySink>(bytes);
}

}  // namespace zelko::fuzzing
