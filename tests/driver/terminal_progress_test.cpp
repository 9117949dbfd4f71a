#include "terminal_progress.h"

#include <gtest/gtest.h>

#include <sstream>

#include "child_process.h"
#include "temp_folder.h"

namespace zelko {
namespace {

TEST(TerminalProgressTest, RewritesOneLineAsThePercentageMovesAndEndsIt) {
  std::ostringstream terminal;
  {
    TerminalProgress progress(terminal);
    progress.CommandsToSend(200);
    for (int i = 0; i < 3; ++i) progress.CommandSent();
  }
  EXPECT_EQ(terminal.str(),
            "\rZelkoDriver: 0/200 command lines sent"
            "\rZelkoDriver: 2/200 command lines sent\n");
}

TEST(TerminalProgressTest, ShowsNothingForARunThatNeverCountedItsLines) {
  std::ostringstream terminal;
  { TerminalProgress progress(terminal); }
  EXPECT_EQ(terminal.str(), "");
}

// Only a person at a terminal sees it: a caller reading standard error gets nothing new.
TEST(TerminalProgressTest, TheDriverShowsProgressOnlyOnATerminal) {
  testing::TempFolder root;
  root.Write("c/SCONTRINO.INP", "1\r\n9600\r\n3\r\n=R1/$100\r\n=R1/$200\r\n=T1\r\n");
  const testing::Environment environment{{"HOME", root.Path()},
                                         {"ZELKO_ROOT", root.Path()},
                                         {"ZELKO_CONTROL", "emulator"},
                                         {"ZELKO_OPERATOR", "unattended"}};
  const auto onTerminal = testing::RunChildOnTerminal(ZELKO_DRIVER_PATH, {}, environment, root.Path());
  EXPECT_EQ(onTerminal.exitStatus, 0);
  EXPECT_NE(onTerminal.output.find("\rZelkoDriver: 0/3 command lines sent"), std::string::npos);
  EXPECT_NE(onTerminal.output.find("\rZelkoDriver: 3/3 command lines sent\r\n"), std::string::npos)
      << onTerminal.output;

  const auto captured = testing::RunChild(ZELKO_DRIVER_PATH, {}, environment, root.Path());
  EXPECT_EQ(captured.exitStatus, 0);
  EXPECT_EQ(captured.output.find("command lines sent"), std::string::npos) << captured.output;
}

}  // namespace
}  // namespace zelko
