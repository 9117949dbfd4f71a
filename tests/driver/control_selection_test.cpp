#include "control_selection_rules.h"

#include <gtest/gtest.h>

namespace zelko {
namespace {

using Kind = ControlChoice::Kind;

struct ChoiceCase {
  const char* value;  // nullptr: unset
  Kind kind;
  const char* host;
  const char* port;
};

class ControlChoiceTable : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ControlChoiceTable, ReadsZelkoControl) {
  const ChoiceCase& c = GetParam();
  const ControlChoice choice = ParseControlChoice(c.value);
  EXPECT_EQ(choice.kind, c.kind) << (c.value ? c.value : "(unset)");
  EXPECT_EQ(choice.host, c.host);
  EXPECT_EQ(choice.port, c.port);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ControlChoiceTable,
    ::testing::Values(ChoiceCase{nullptr, Kind::HostDefault, "", ""},
                      ChoiceCase{"emulator", Kind::BuiltInEmulator, "", ""},
                      ChoiceCase{"tcp:127.0.0.1:9100", Kind::Tcp, "127.0.0.1", "9100"},
                      ChoiceCase{"tcp:till.local:1", Kind::Tcp, "till.local", "1"},
                      ChoiceCase{"tcp:[::1]:65535", Kind::Tcp, "::1", "65535"},
                      ChoiceCase{"tcp:localhost:0", Kind::Absent, "", ""},
                      ChoiceCase{"tcp:localhost:65536", Kind::Absent, "", ""},
                      ChoiceCase{"tcp:localhost:", Kind::Absent, "", ""},
                      ChoiceCase{"tcp::9100", Kind::Absent, "", ""},
                      ChoiceCase{"tcp:localhost", Kind::Absent, "", ""},
                      ChoiceCase{"tcp:localhost:91a", Kind::Absent, "", ""},
                      ChoiceCase{"Emulator", Kind::Absent, "", ""}, ChoiceCase{"", Kind::Absent, "", ""},
                      ChoiceCase{"activex", Kind::Absent, "", ""}));

TEST(ControlTimeout, IsAPositiveNumberOfMillisecondsOrFifteenSeconds) {
  using std::chrono::milliseconds;
  EXPECT_EQ(ParseControlTimeout(nullptr), milliseconds(15000));
  EXPECT_EQ(ParseControlTimeout("250"), milliseconds(250));
  for (const char* bad : {"", "0", "-5", "1.5", "10s", "abc"}) {
    EXPECT_EQ(ParseControlTimeout(bad), milliseconds(15000)) << bad;
  }
}

TEST(EmulatorJournalPath, LiesUnderZelkoRootOrHome) {
  EXPECT_EQ(EmulatorJournalPath("/tmp/root", "/home/u"), "/tmp/root/emulator/journal.txt");
  EXPECT_EQ(EmulatorJournalPath(nullptr, "/home/u"), "/home/u/.zelko/emulator/journal.txt");
  EXPECT_EQ(EmulatorJournalPath("", "/home/u"), "/home/u/.zelko/emulator/journal.txt");
}

}  // namespace
}  // namespace zelko
