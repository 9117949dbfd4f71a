#pragma once

#include <string>
#include <vector>

#include "host_services.h"

namespace zelko::emulator {

// Writes the article table as the loader's record file lays it out: one
// 46-character record per line, CR LF, in a file of `host`. The file is
// replaced whole, so a reader never sees half a table.
bool WriteArticleTable(const HostServices& host, const std::vector<std::string>& records, const std::string& path);

}  // namespace zelko::emulator
