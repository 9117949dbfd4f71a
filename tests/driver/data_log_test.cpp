#include <gtest/gtest.h>

#include <sstream>

#include "fake_settings_store.h"
#include "file_run.h"
#include "memory_host.h"
#include "notifications.h"
#include "recording_operator.h"
#include "scripted_control.h"

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

// A flood of data stops at the run's limits, with one diagnostics line, and
// the next run starts afresh.
TEST(DataLog, OneRunWritesNoMoreThanItsLimits) {
  const LimitCase cases[] = {
      {"within the limits", 30, 1000, 1000},
      {"every line allowed", 0, kDataMaxLines, kDataMaxLines},
      {"one line too many", 0, kDataMaxLines + 1, kDataMaxLines},
      {"the bytes run out first", kMiB - 2, 20, kDataMaxBytes / kMiB},
      {"one line bigger than the whole file", kDataMaxBytes, 3, 0},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::MemoryHost host;
    testing::FakeSettingsStore store;
    testing::RecordingOperator person;
    testing::ScriptedControl control;
    std::ostringstream diagnostics;
    host.files["c:\\SCONTRINO.INP"] = "1\r\n9600\r\n1\r\n=S\r\n";
    std::size_t toSend = c.lines;
    const std::string line(c.lineBytes, 'd');
    control.beforeAnswer = [&](const std::string& operation, RegisterEvents& events) {
      if (operation != "SendCommand =S") return;
      for (; toSend > 0; --toSend) events.DataReceived(line);
    };
    DriverRun run(host, store, person, control, diagnostics);
    ASSERT_EQ(Main(run), kExitSuccess);
    EXPECT_EQ(host.files[kPath].size(), c.written * (c.lineBytes + 2));
    if (c.written == c.lines) {
      EXPECT_EQ(diagnostics.str(), "");
    } else {
      EXPECT_EQ(diagnostics.str(), "the register sent more data than one run keeps (100000 lines, 16 MiB); the rest "
                                   "of this run's data is dropped\n");
    }
    toSend = 1;
    control.beforeAnswer = [&](const std::string& operation, RegisterEvents& events) {
      if (operation == "SendCommand =S" && toSend-- > 0) events.DataReceived("next run");
    };
    ASSERT_EQ(Main(run), kExitSuccess);
    EXPECT_EQ(host.files[kPath], "next run\r\n");
  }
}

}  // namespace
}  // namespace zelko
