#include "article_table_file.h"

namespace zelko::emulator {

bool WriteArticleTable(const HostServices& host, const std::vector<std::string>& records, const std::string& path) {
  const auto file = host.Create(path, HostServices::CreateMode::AtomicReplace);
  if (!file) return false;
  for (const std::string& record : records) {
    if (!file->Write(record + "\r\n")) return false;
  }
  return file->Commit();
}

}  // namespace zelko::emulator
