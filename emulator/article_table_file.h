#pragma once

#include <string>
#include <vector>

namespace zelko::emulator {

// Writes the article table as the loader's record file lays it out: one
// 46-character record per line, CR LF. The file is replaced whole (written
// beside it, then renamed), so a reader never sees half a table; a symbolic
// link at the path is followed, and a path that is no regular file is refused.
bool WriteArticleTable(const std::vector<std::string>& records, const std::string& path);

}  // namespace zelko::emulator
