#include "article_table_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace zelko::emulator {

bool WriteArticleTable(const std::vector<std::string>& records, const std::string& path) {
  const std::string temporary = path + ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    for (const std::string& record : records) file << record << "\r\n";
    file.close();
    if (!file) return false;
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  return !error;
}

}  // namespace zelko::emulator
