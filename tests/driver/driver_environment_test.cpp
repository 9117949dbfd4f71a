#include "driver_environment.h"

#include <gtest/gtest.h>

namespace zelko {
namespace {

using Kind = ControlChoice::Kind;
using std::chrono::milliseconds;

struct ChoiceCase {
  const char* value;  // "": unset
  Kind kind;
  const char* host;
  const char* port;
};

class ControlChoiceTable : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ControlChoiceTable, ReadsZelkoControl) {
  const ChoiceCase& c = GetParam();
  const ControlChoice choice = ParseControlChoice(c.value);
  EXPECT_EQ(choice.kind, c.kind) << c.value;
  EXPECT_EQ(choice.host, c.host);
  EXPECT_EQ(choice.port, c.port);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ControlChoiceTable,
    ::testing::Values(ChoiceCase{"", Kind::HostDefault, "", ""},
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
                      ChoiceCase{"Emulator", Kind::Absent, "", ""}, ChoiceCase{" ", Kind::Absent, "", ""},
                      ChoiceCase{"activex", Kind::Absent, "", ""}));

TEST(ControlTimeout, IsAPositiveNumberOfMillisecondsAtMostAnHourOrFifteenSeconds) {
  EXPECT_EQ(ParseControlTimeout(""), milliseconds(15000));
  EXPECT_EQ(ParseControlTimeout("250"), milliseconds(250));
  for (const char* bad : {"0", "-5", "1.5", "10s", "abc", " 250", "+250"}) {
    EXPECT_EQ(ParseControlTimeout(bad), milliseconds(15000)) << bad;
  }
  EXPECT_EQ(ParseControlTimeout("3600000"), milliseconds(3600000));
  for (const char* long_ : {"3600001", "9223372036855", "9223372036854775807", "99999999999999999999999999"}) {
    EXPECT_EQ(ParseControlTimeout(long_), milliseconds(3600000)) << long_;
  }
}

// Every variable the driver reads, from the host's entries; empty is unset.
TEST(DriverEnvironment, ReadsEachVariableOnceFromTheEntries) {
  struct Case {
    const char* name;
    std::vector<std::string> entries;
    Kind control;
    milliseconds timeout;
    const char* scenario;
    OperatorChoice::Kind theOperator;
    const char* script;
    const char* log;
  };
  constexpr auto kDefault = OperatorChoice::Kind::HostDefault;
  const Case cases[] = {
      {"nothing set", {}, Kind::HostDefault, milliseconds(15000), "", kDefault, "", ""},
      {"all empty",
       {"ZELKO_CONTROL=", "ZELKO_CONTROL_TIMEOUT_MS=", "ZELKO_EMULATOR_SCENARIO=", "ZELKO_OPERATOR=",
        "ZELKO_OPERATOR_LOG="},
       Kind::HostDefault, milliseconds(15000), "", kDefault, "", ""},
      {"all set",
       {"ZELKO_CONTROL=tcp:h:7", "ZELKO_CONTROL_TIMEOUT_MS=900", "ZELKO_EMULATOR_SCENARIO=/s.txt",
        "ZELKO_OPERATOR=Script:/a b.txt", "ZELKO_OPERATOR_LOG=/log.txt"},
       Kind::Tcp, milliseconds(900), "/s.txt", OperatorChoice::Kind::Script, "/a b.txt", "/log.txt"},
      {"first entry of a name counts", {"ZELKO_CONTROL=emulator", "ZELKO_CONTROL=tcp:h:7"}, Kind::BuiltInEmulator,
       milliseconds(15000), "", kDefault, "", ""},
      {"names match whole", {"ZELKO_CONTROLX=emulator", "XZELKO_OPERATOR=unattended", "ZELKO_CONTROL"},
       Kind::HostDefault, milliseconds(15000), "", kDefault, "", ""},
      {"unattended in any case", {"ZELKO_OPERATOR=UNATTENDED"}, Kind::HostDefault, milliseconds(15000), "",
       OperatorChoice::Kind::Unattended, "", ""},
      {"unknown operator", {"ZELKO_OPERATOR=bogus", "ZELKO_CONTROL=bogus"}, Kind::Absent, milliseconds(15000), "",
       OperatorChoice::Kind::Unknown, "", ""},
      {"timeout clamped", {"ZELKO_CONTROL_TIMEOUT_MS=9223372036855"}, Kind::HostDefault, milliseconds(3600000), "",
       kDefault, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DriverEnvironment environment = ReadDriverEnvironment(c.entries, "/root");
    EXPECT_EQ(environment.control.kind, c.control);
    EXPECT_EQ(environment.controlTimeout, c.timeout);
    EXPECT_EQ(environment.emulatorScenario, c.scenario);
    EXPECT_EQ(environment.theOperator.kind, c.theOperator);
    EXPECT_EQ(environment.theOperator.script, c.script);
    EXPECT_EQ(environment.operatorLog, c.log);
    EXPECT_EQ(environment.emulatorJournal, "/root/emulator/journal.txt");
  }
}

TEST(DriverEnvironment, KeepsTheSettingsAsGivenForMessages) {
  const DriverEnvironment environment = ReadDriverEnvironment({"ZELKO_CONTROL=serial", "ZELKO_OPERATOR=bob"}, "/r");
  EXPECT_EQ(environment.controlSetting, "serial");
  EXPECT_EQ(environment.operatorSetting, "bob");
}

}  // namespace
}  // namespace zelko
