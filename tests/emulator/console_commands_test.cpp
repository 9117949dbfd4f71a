#include "console_commands.h"

#include <gtest/gtest.h>

namespace zelko::emulator {
namespace {

TEST(ConsoleCommandsTest, CommandsChangeTheRegisterAndQueueTheirEvents) {
  struct Case {
    std::vector<std::string> commands;
    std::string status;  // status reply afterwards
    std::vector<std::int32_t> codes;  // status-update codes of the next answer
  };
  const Case cases[] = {
      {{"cover open"}, "0103001000000", {}},
      {{"c"}, "0103001000000", {}},
      {{"c", "c"}, "0000000000000", {}},
      {{"cover open", "cover close"}, "0000000000000", {}},
      {{"cover open", "cover closed"}, "0000000000000", {}},
      {{"receipt open"}, "0000010000000", {}},
      {{"o", "o"}, "0000000000000", {}},
      {{"paper receipt empty"}, "0000000100000", {24}},
      {{"r", "r"}, "0000000000000", {24, 26}},
      {{"paper journal empty", "paper journal refill"}, "0000000000000", {21, 23}},
      {{"j"}, "0000000010000", {21}},
      {{"cover ajar", "paper roll empty", "paper receipt", "x", "", "status", "help"}, "0000000000000", {}},
  };
  for (const Case& c : cases) {
    Journal journal;
    EmulatedRegister emulatedRegister({}, journal);
    std::string answer;
    for (const std::string& command : c.commands) {
      EXPECT_EQ(RunConsoleCommand(emulatedRegister, command, answer), ConsoleVerdict::Continue) << command;
    }
    EXPECT_EQ(FormatStatusReply(emulatedRegister.Status()), c.status) << c.commands.front();
    std::vector<std::int32_t> codes;
    for (const RegisterEvent& event : emulatedRegister.Perform({Operation::ClosePort, {}, false}).events) {
      codes.push_back(event.code);
    }
    EXPECT_EQ(codes, c.codes) << c.commands.front();
  }
}

TEST(ConsoleCommandsTest, AnswersAndQuit) {
  Journal journal;
  EmulatedRegister emulatedRegister({}, journal);
  std::string answer;
  EXPECT_EQ(RunConsoleCommand(emulatedRegister, "bogus", answer), ConsoleVerdict::Continue);
  EXPECT_EQ(answer, "unknown command \"bogus\"; h for help");
  RunConsoleCommand(emulatedRegister, "s", answer);
  EXPECT_EQ(answer, "status 0000000000000, display \"\", 0 article records");
  RunConsoleCommand(emulatedRegister, "data  due spazi", answer);
  const Outcome outcome = emulatedRegister.Perform({Operation::ClosePort, {}, false});
  ASSERT_EQ(outcome.events.size(), 1u);
  EXPECT_EQ(outcome.events[0].text, " due spazi");
  EXPECT_EQ(RunConsoleCommand(emulatedRegister, "q", answer), ConsoleVerdict::Quit);
  EXPECT_EQ(RunConsoleCommand(emulatedRegister, "quit", answer), ConsoleVerdict::Quit);
}

}  // namespace
}  // namespace zelko::emulator
