#include "data_log.h"

#include <gtest/gtest.h>

#include <sstream>

#include "memory_host.h"

namespace zelko {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;
const std::string kPath = "c:\\JQTZelkoData.OUT";

struct LimitCase {
  const char* name;
  std::size_t lineBytes;  // without CR LF
  std::size_t lines;      // sent
  std::size_t written;    // lines in the file
};

// A flood of data stops at the run's limits, with one line on stderr, and the next run starts afresh.
TEST(DataLog, OneRunWritesNoMoreThanItsLimits) {
  const LimitCase cases[] = {
      {"within the limits", 30, 1000, 1000},
      {"every line allowed", 0, kDataLogMaxLines, kDataLogMaxLines},
      {"one line too many", 0, kDataLogMaxLines + 1, kDataLogMaxLines},
      {"the bytes run out first", kMiB - 2, 20, kDataLogMaxBytes / kMiB},
      {"one line bigger than the whole file", kDataLogMaxBytes, 3, 0},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::MemoryHost host;
    std::ostringstream diagnostics;
    DataLog log(host, diagnostics);
    log.Start(kPath);
    const std::string line(c.lineBytes, 'd');
    for (std::size_t sent = 0; sent < c.lines; ++sent) log.Write(line);
    log.Close();
    EXPECT_EQ(host.files[kPath].size(), c.written * (c.lineBytes + 2));
    if (c.written == c.lines) {
      EXPECT_EQ(diagnostics.str(), "");
    } else {
      EXPECT_EQ(diagnostics.str(), "ZelkoDriver: the register sent more data than the data file \"" + kPath +
                                       "\" takes in one run (100000 lines, 16 MiB); the rest of this run's data is "
                                       "not written\n");
    }
    log.Start(kPath);
    log.Write("next run");
    log.Close();
    EXPECT_EQ(host.files[kPath], "next run\r\n");
  }
}

}  // namespace
}  // namespace zelko
