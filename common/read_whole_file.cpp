#include "local_files.h"

namespace zelko {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const auto file = OpenFileForReading(path);
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[16 * 1024];
  while (const std::size_t got = file->Read(buffer, sizeof buffer)) bytes.append(buffer, got);
  if (file->Failed()) return std::nullopt;
  return bytes;
}

}  // namespace zelko
