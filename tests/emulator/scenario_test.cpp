#include "scenario.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "host_backend.h"
#include "memory_host.h"

namespace zelko::emulator {
namespace {

Scenario Parsed(std::string_view text) {
  const ScenarioParse parse = ParseScenario(text);
  EXPECT_EQ(parse.error, "") << text;
  return parse.scenario;
}

Rule OnlyRule(std::string_view text) {
  const Scenario scenario = Parsed(text);
  EXPECT_EQ(scenario.rules.size(), 1u) << text;
  return scenario.rules.empty() ? Rule{} : scenario.rules.front();
}

TEST(ScenarioTest, StateLines) {
  const Scenario scenario = Parsed(
      "# register as found in the morning\r\n"
      "absent\n"
      "cover open\r"
      "receipt open\n"
      "  paper receipt empty\n"
      "\tpaper journal empty\n"
      "\n");
  EXPECT_TRUE(scenario.absent);
  EXPECT_TRUE(scenario.coverOpen);
  EXPECT_TRUE(scenario.receiptOpen);
  EXPECT_TRUE(scenario.receiptPaperEmpty);
  EXPECT_TRUE(scenario.journalPaperEmpty);

  const Scenario reset = Parsed("cover open\ncover closed\nreceipt closed\npaper receipt present\n");
  EXPECT_FALSE(reset.coverOpen);
  EXPECT_FALSE(reset.receiptOpen);
  EXPECT_FALSE(reset.receiptPaperEmpty);
}

TEST(ScenarioTest, StatusStepsInOrderAcrossLines) {
  const Scenario scenario = Parsed("status cover-open fault:2001\nstatus receipt-open \"0000  x\" ready\n");
  ASSERT_EQ(scenario.statusSteps.size(), 5u);
  EXPECT_EQ(scenario.statusSteps[0].kind, StatusStep::Kind::CoverOpen);
  EXPECT_EQ(scenario.statusSteps[1].kind, StatusStep::Kind::Fault);
  EXPECT_EQ(scenario.statusSteps[1].code, 2001);
  EXPECT_EQ(scenario.statusSteps[2].kind, StatusStep::Kind::ReceiptOpen);
  EXPECT_EQ(scenario.statusSteps[3].kind, StatusStep::Kind::Raw);
  EXPECT_EQ(scenario.statusSteps[3].raw, "0000  x");
  EXPECT_EQ(scenario.statusSteps[4].kind, StatusStep::Kind::Ready);
}

TEST(ScenarioTest, QuotedReadyIsARawReply) {
  const Scenario scenario = Parsed("status \"ready\"");
  ASSERT_EQ(scenario.statusSteps.size(), 1u);
  EXPECT_EQ(scenario.statusSteps[0].kind, StatusStep::Kind::Raw);
}

TEST(ScenarioTest, Rules) {
  struct Case {
    const char* line;
    Selector::Kind selector;
    int number;
    std::string prefix;
    Action::Kind action;
    std::int32_t code;
    std::int32_t extended;
    std::string text;
    long long delayMs;
  };
  const Case cases[] = {
      {"on command 5 fail 114 2001", Selector::Kind::CommandNumber, 5, "", Action::Kind::Fail, 114, 2001, "", 0},
      {"on query 1 fail 111", Selector::Kind::QueryNumber, 1, "", Action::Kind::Fail, 111, 0, "", 0},
      {"on prefix >>/?P fail 114 7", Selector::Kind::Prefix, 0, ">>/?P", Action::Kind::Fail, 114, 7, "", 0},
      {"on prefix \"=D1/(  ZELKO\" delay 250", Selector::Kind::Prefix, 0, "=D1/(  ZELKO", Action::Kind::Delay, 0, 0, "", 250},
      {"on command 3 status-update 24", Selector::Kind::CommandNumber, 3, "", Action::Kind::StatusUpdate, 24, 0, "", 0},
      {"on command 2 data  Totale  12,50 ", Selector::Kind::CommandNumber, 2, "", Action::Kind::DataReceived, 0, 0, " Totale  12,50 ", 0},
      {"on command 2 data", Selector::Kind::CommandNumber, 2, "", Action::Kind::DataReceived, 0, 0, "", 0},
      {"on command 7 drop", Selector::Kind::CommandNumber, 7, "", Action::Kind::Drop, 0, 0, "", 0},
      {"on prefix \"\" fail -1", Selector::Kind::Prefix, 0, "", Action::Kind::Fail, -1, 0, "", 0},
  };
  for (const Case& c : cases) {
    const Rule rule = OnlyRule(c.line);
    EXPECT_EQ(rule.when.kind, c.selector) << c.line;
    EXPECT_EQ(rule.when.number, c.number) << c.line;
    EXPECT_EQ(rule.when.prefix, c.prefix) << c.line;
    EXPECT_EQ(rule.action.kind, c.action) << c.line;
    EXPECT_EQ(rule.action.code, c.code) << c.line;
    EXPECT_EQ(rule.action.extended, c.extended) << c.line;
    EXPECT_EQ(rule.action.text, c.text) << c.line;
    EXPECT_EQ(rule.action.delay.count(), c.delayMs) << c.line;
  }
}

TEST(ScenarioTest, ErrorsNameTheLine) {
  struct Case {
    std::string text;
    std::string error;
  };
  const Case cases[] = {
      {"absent\nbogus", "line 2: unknown keyword \"bogus\""},
      {"cover ajar", "line 1: expected cover open|closed"},
      {"receipt", "line 1: expected receipt open|closed"},
      {"paper roll empty", "line 1: expected paper receipt|journal empty|present"},
      {"paper receipt gone", "line 1: expected paper receipt empty|present"},
      {"status", "line 1: status needs at least one reply"},
      {"status cover-closed", "line 1: unknown status reply \"cover-closed\""},
      {"status fault:", "line 1: unknown status reply \"fault:\""},
      {"status fault:12x", "line 1: unknown status reply \"fault:12x\""},
      {"status \"0000", "line 1: missing closing double quote"},
      {"on", "line 1: expected command <n>, query <n> or prefix <text> after \"on\""},
      {"on command 0 fail 1", "line 1: expected a number from 1 after \"command\""},
      {"on query x fail 1", "line 1: expected a number from 1 after \"query\""},
      {"on prefix", "line 1: expected the prefix text after \"prefix\""},
      {"on prefix \"=D1 fail 1", "line 1: missing closing double quote"},
      {"on command 1", "line 1: expected fail, status-update, data, delay or drop"},
      {"on command 1 explode", "line 1: expected fail, status-update, data, delay or drop"},
      {"on command 1 fail", "line 1: expected fail <code> [<extended code>]"},
      {"on command 1 fail 114 x", "line 1: expected fail <code> [<extended code>]"},
      {"on command 1 fail 99999999999", "line 1: expected fail <code> [<extended code>]"},
      {"on command 1 status-update", "line 1: expected status-update <code>"},
      {"on command 1 delay -5", "line 1: expected delay <milliseconds>"},
      {"on command 1 drop now", "line 1: unexpected text after the line's last field"},
      {"absent please", "line 1: unexpected text after the line's last field"},
      {"\n\n# c\ncover open\r\ncover", "line 5: expected cover open|closed"},
  };
  for (const Case& c : cases) {
    const ScenarioParse parse = ParseScenario(c.text);
    EXPECT_TRUE(parse.error.starts_with(c.error)) << c.text << " gave: " << parse.error;
  }
}

TEST(ScenarioTest, ShippedExamplesAreValid) {
  int examples = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ZELKO_SCENARIO_EXAMPLES)) {
    const ScenarioParse parse = ReadScenarioFile(*MakeHostServices(0, nullptr), entry.path().string());
    EXPECT_EQ(parse.error, "");
    EXPECT_TRUE(parse.scenario.absent || !parse.scenario.rules.empty() || !parse.scenario.statusSteps.empty())
        << entry.path();
    ++examples;
  }
  EXPECT_GE(examples, 5);
}

TEST(ScenarioTest, UnreadableFileIsNamed) {
  testing::MemoryHost host;
  host.FailOpen("c:\\scenario.txt");
  host.files["c:\\scenario.txt"] = "cover open\n";
  const ScenarioParse parse = ReadScenarioFile(host, "c:\\scenario.txt");
  EXPECT_EQ(parse.error, "cannot read the scenario file c:\\scenario.txt");
}

}  // namespace
}  // namespace zelko::emulator
