#include "emulated_register.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace zelko::emulator {
namespace {

using Kind = RegisterEvent::Kind;

struct Step {
  Operation operation;
  std::string text;
  std::int32_t result;
  std::optional<std::string> reply = std::nullopt;
};

class EmulatedRegisterTest : public ::testing::Test {
 protected:
  void Start(std::string_view scenarioText) {
    const ScenarioParse parse = ParseScenario(scenarioText);
    ASSERT_EQ(parse.error, "");
    journal_.SetEcho([this](const std::string& line) { journalLines_.push_back(line); });
    register_ = std::make_unique<EmulatedRegister>(parse.scenario, journal_);
  }

  Outcome Perform(Operation operation, const std::string& text = {}) {
    return register_->Perform({operation, text, false});
  }

  void OpenPort() {
    Perform(Operation::ClosePort);
    Perform(Operation::OpenPort, "1");
  }

  Journal journal_;
  std::vector<std::string> journalLines_;
  std::unique_ptr<EmulatedRegister> register_;
};

TEST_F(EmulatedRegisterTest, ScriptedExchanges) {
  struct Case {
    const char* name;
    const char* scenario;
    bool openPort;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"absent register",
       "absent",
       false,
       {{Operation::ClosePort, "", 107},
        {Operation::OpenPort, "1", 107},
        {Operation::SendCommand, "=K", 107},
        {Operation::SendQuery, "<</?s", 107, ""},
        {Operation::ResultCodeExtended, "", 0}}},
      {"port never opened", "", false, {{Operation::SendCommand, "=K", 107}, {Operation::SendQuery, "<</?s", 107, ""}}},
      {"n-th command fails with an extended code; queries do not count",
       "on command 3 fail 114 2001",
       true,
       {{Operation::SendCommand, "=K", 0},
        {Operation::SendQuery, "<</?s", 0, "0000000000001"},
        {Operation::SendCommand, "=D1/(x)", 0},
        {Operation::SendCommand, "=T1", 114},
        {Operation::ResultCodeExtended, "", 2001},
        {Operation::ResultCodeExtended, "", 2001},
        {Operation::SendCommand, "=T1", 0},
        {Operation::ResultCodeExtended, "", 0}}},
      {"numbers count again from OpenPort",
       "on command 1 fail 111",
       true,
       {{Operation::SendCommand, "=K", 111},
        {Operation::SendCommand, "=K", 0},
        {Operation::ClosePort, "", 0},
        {Operation::SendCommand, "=K", 107},
        {Operation::OpenPort, "1", 0},
        {Operation::SendCommand, "=K", 111}}},
      {"prefix fails every match, queries included",
       "on prefix <</?s fail 111\non prefix >>/?P fail 114 9",
       true,
       {{Operation::SendQuery, "<</?s", 111, ""},
        {Operation::SendQuery, "<</?f", 0, ""},
        {Operation::SendQuery, "<</?s", 111, ""},
        {Operation::SendCommand, ">>/?P/(x)", 114},
        {Operation::ResultCodeExtended, "", 9}}},
      {"the first matching failure wins",
       "on prefix = fail 111\non command 1 fail 114 5",
       true,
       {{Operation::SendCommand, "=K", 111}, {Operation::ResultCodeExtended, "", 0}}},
      {"n-th query",
       "on query 2 fail 112",
       true,
       {{Operation::SendQuery, "<</?s", 0, "0000000000000"}, {Operation::SendQuery, "<</?f", 112, ""}}},
      {"status steps in order, then the register's own reply",
       "status cover-open fault:2001 receipt-open \"12\" ready",
       true,
       {{Operation::SendQuery, "<</?s", 0, "0103001000000"},
        {Operation::SendQuery, "<</?f", 0, ""},
        {Operation::SendQuery, "<</?s", 0, "2001000000000"},
        {Operation::SendCommand, "=K", 0},
        {Operation::SendQuery, "<</?s", 0, "0000010000001"},
        {Operation::SendQuery, "<</?s", 0, "12"},
        {Operation::SendQuery, "<</?s", 0, "0000000000001"},
        {Operation::SendQuery, "<</?s", 0, "0000000000001"}}},
      {"ready step hides the register's state once",
       "cover open\nreceipt open\nstatus ready",
       true,
       {{Operation::SendQuery, "<</?s", 0, "0000000000000"}, {Operation::SendQuery, "<</?s", 0, "0103011000000"}}},
      {"open receipt cancelled",
       "receipt open\npaper journal empty",
       true,
       {{Operation::SendQuery, "<</?s", 0, "0000010010000"},
        {Operation::SendCommand, "=k", 0},
        {Operation::SendQuery, "<</?s", 0, "0000000010001"}}},
      {"a failed command changes nothing",
       "on prefix >>/?P fail 111",
       true,
       {{Operation::SendCommand, ">>/?P/(110000012345670ACQUA MINERALE 1,5L 00000050021)", 111},
        {Operation::SendQuery, "<</?s", 0, "0000000000000"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    journalLines_.clear();
    Start(c.scenario);
    if (c.openPort) OpenPort();
    for (const Step& step : c.steps) {
      const Outcome outcome = Perform(step.operation, step.text);
      EXPECT_EQ(outcome.result, step.result) << OperationName(step.operation) << " " << step.text;
      if (step.reply) {
        EXPECT_EQ(outcome.reply, *step.reply) << step.text;
      }
    }
  }
}

TEST_F(EmulatedRegisterTest, RuleEventsDelayAndDropComeWithTheirCommand) {
  Start(
      "on command 2 status-update 24\n"
      "on command 2 data Totale 12,50\n"
      "on prefix =D1 delay 100\n"
      "on command 2 delay 50\n"
      "on command 3 drop\n");
  OpenPort();
  EXPECT_TRUE(Perform(Operation::SendCommand, "=K").events.empty());
  const Outcome second = Perform(Operation::SendCommand, "=D1/(x)");
  ASSERT_EQ(second.events.size(), 2u);
  EXPECT_EQ(second.events[0].kind, Kind::StatusUpdate);
  EXPECT_EQ(second.events[0].code, 24);
  EXPECT_EQ(second.events[1].kind, Kind::DataReceived);
  EXPECT_EQ(second.events[1].text, "Totale 12,50");
  EXPECT_EQ(second.delay.count(), 150);
  EXPECT_FALSE(second.drop);
  const Outcome third = Perform(Operation::SendCommand, "=T1");
  EXPECT_TRUE(third.drop);
  EXPECT_EQ(third.result, 0);
  EXPECT_EQ(register_->Status().tail, 3);
}

TEST_F(EmulatedRegisterTest, ConsoleEventsGoOutWithTheNextAnswerFirst) {
  Start("on command 1 status-update 99");
  OpenPort();
  register_->SetPaperEmpty(Roll::Receipt, true);
  register_->SendData("riga");
  register_->SetPaperEmpty(Roll::Journal, false);
  const Outcome outcome = Perform(Operation::SendCommand, "=K");
  ASSERT_EQ(outcome.events.size(), 4u);
  EXPECT_EQ(outcome.events[0].code, kReceiptEmpty);
  EXPECT_EQ(outcome.events[1].text, "riga");
  EXPECT_EQ(outcome.events[2].code, kJournalPaperOk);
  EXPECT_EQ(outcome.events[3].code, 99);
  EXPECT_TRUE(Perform(Operation::SendCommand, "=K").events.empty());
}

TEST_F(EmulatedRegisterTest, ConsoleStateShowsInTheStatusReply) {
  Start("");
  OpenPort();
  register_->SetCoverOpen(true);
  register_->SetReceiptOpen(true);
  EXPECT_EQ(Perform(Operation::SendQuery, "<</?s").reply, "0103011000000");
  register_->SetCoverOpen(false);
  register_->SetReceiptOpen(false);
  EXPECT_EQ(Perform(Operation::SendQuery, "<</?s").reply, "0000000000000");
}

TEST_F(EmulatedRegisterTest, JournalHasOneLinePerOperationAndEvent) {
  Start("on command 2 fail 114 2001\non command 1 data D");
  Perform(Operation::ClosePort);
  register_->Perform({Operation::HighSpeed, {}, true});
  Perform(Operation::OpenPort, "COM1");
  Perform(Operation::SendCommand, "=K");
  Perform(Operation::SendQuery, "<</?s");
  Perform(Operation::SendCommand, "=T1");
  Perform(Operation::ResultCodeExtended);
  register_->SetCoverOpen(true);
  EXPECT_EQ(journalLines_, (std::vector<std::string>{
                               "ClosePort\t\t0",
                               "HighSpeed\ttrue\t0",
                               "OpenPort\tCOM1\t0",
                               "SendCommand\t=K\t0",
                               "event\tDataReceived\tD",
                               "SendQuery\t<</?s\t0\t0000000000001",
                               "SendCommand\t=T1\t114",
                               "ResultCodeExtended\t\t2001",
                               "console\tcover open",
                           }));
}

// Texts from the driver or the console cannot break a journal line or reach
// the operator's terminal as raw control bytes.
TEST_F(EmulatedRegisterTest, JournalEscapesTheTextsItRecords) {
  Start("");
  OpenPort();
  journalLines_.clear();
  Perform(Operation::SendCommand, "=T1\nSendCommand\t=S\t0");
  Perform(Operation::SendCommand, "C:\\dati\\tom");
  register_->SendData("x\ry");
  Perform(Operation::SendQuery, "\x1B");
  EXPECT_EQ(journalLines_, (std::vector<std::string>{
                               "SendCommand\t=T1\\nSendCommand\\t=S\\t0\t0",
                               "SendCommand\tC:\\\\dati\\\\tom\t0",
                               "console\tdata x\\ry",
                               "SendQuery\t\\x1B\t0\t",
                               "event\tDataReceived\tx\\ry",
                           }));
}

TEST(OperationNameTest, RoundTrip) {
  for (const Operation operation : {Operation::ClosePort, Operation::HighSpeed, Operation::OpenPort,
                                    Operation::SendCommand, Operation::SendQuery, Operation::ResultCodeExtended}) {
    EXPECT_EQ(OperationFromName(OperationName(operation)), operation);
  }
  EXPECT_EQ(OperationFromName("sendcommand"), std::nullopt);
}

}  // namespace
}  // namespace zelko::emulator
