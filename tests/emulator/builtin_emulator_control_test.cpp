#include "builtin_emulator_control.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "event_recorder.h"
#include "memory_host.h"

namespace zelko {
namespace {

class BuiltInEmulatorControlTest : public ::testing::Test {
 protected:
  std::unique_ptr<RegisterControl> Make(const std::string& scenario) {
    if (!scenario.empty()) host_.files[kScenario] = scenario;
    auto control = MakeBuiltInEmulatorControl(host_, kJournal, scenario.empty() ? "" : kScenario, diagnostics_);
    control->SetEventHandler(&recorder_);
    return control;
  }
  std::string Journal() const { return host_.File(kJournal).value_or(""); }

  void Open(RegisterControl& control) {
    std::string port = "1";
    control.ClosePort();
    control.OpenPort(port);
  }

  static constexpr const char* kJournal = "c:\\emulator\\journal.txt";
  static constexpr const char* kScenario = "c:\\scenario.txt";
  testing::MemoryHost host_;
  std::ostringstream diagnostics_;
  testing::EventRecorder recorder_;
};

TEST_F(BuiltInEmulatorControlTest, AnswersTheStatusQueryAndJournalsEveryOperation) {
  auto control = Make("");
  Open(*control);
  control->SetHighSpeed(true);
  EXPECT_EQ(control->SendCommand("=K"), 0);
  QueryResult query = control->SendQuery("<</?s");
  EXPECT_EQ(query.code, 0);
  EXPECT_EQ(query.reply, "0000000000001");
  EXPECT_EQ(control->ResultCodeExtended(), 0);
  EXPECT_EQ(Journal(),
            "ClosePort\t\t0\nOpenPort\t1\t0\nHighSpeed\ttrue\t0\nSendCommand\t=K\t0\n"
            "SendQuery\t<</?s\t0\t0000000000001\nResultCodeExtended\t\t0\n");
}

TEST_F(BuiltInEmulatorControlTest, EventsArriveBeforeTheOperationReturns) {
  auto control = Make("on command 2 status-update 24\non command 2 data Totale\non command 3 status-update 26\n");
  Open(*control);
  control->SendCommand("=K");
  EXPECT_TRUE(recorder_.seen.empty());
  control->SendCommand("=T1");
  EXPECT_EQ(recorder_.seen, (std::vector<std::string>{"StatusUpdate 24", "DataReceived Totale"}));
  control->SetEventHandler(nullptr);
  control->SendCommand("=T1");
  EXPECT_EQ(recorder_.seen.size(), 2u);
}

TEST_F(BuiltInEmulatorControlTest, ScriptedFailureWithExtendedCodeAndDelay) {
  auto control = Make("on command 1 fail 114 2001\non command 1 delay 30\non command 2 drop\n");
  Open(*control);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(control->SendCommand("=K"), 114);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
  EXPECT_EQ(control->ResultCodeExtended(), 2001);
  EXPECT_EQ(control->SendCommand("=K"), 0) << "drop has no meaning in-process";
}

TEST_F(BuiltInEmulatorControlTest, UnusableScenarioLeavesTheRegisterAbsent) {
  auto control = Make("bogus line\n");
  Open(*control);
  QueryResult query = control->SendQuery("<</?s");
  EXPECT_EQ(query.code, 107);
  EXPECT_EQ(query.reply, "");
  auto missing = MakeBuiltInEmulatorControl(host_, kJournal, "c:\\no-such-scenario.txt", diagnostics_);
  std::string port = "1";
  EXPECT_EQ(missing->OpenPort(port), 107);
  EXPECT_EQ(diagnostics_.str(),
            "built-in emulator: c:\\scenario.txt, line 1: unknown keyword \"bogus\"; the register is absent\n"
            "built-in emulator: cannot read the scenario file c:\\no-such-scenario.txt; the register is absent\n");
}

TEST_F(BuiltInEmulatorControlTest, UnwritableJournalStillServes) {
  host_.FailCreate(kJournal);
  auto control = MakeBuiltInEmulatorControl(host_, kJournal, "", diagnostics_);
  std::string port = "1";
  EXPECT_EQ(control->OpenPort(port), 0);
  EXPECT_EQ(control->SendCommand("=K"), 0);
  EXPECT_EQ(diagnostics_.str(), "built-in emulator: cannot write the journal c:\\emulator\\journal.txt\n");
}

}  // namespace
}  // namespace zelko
