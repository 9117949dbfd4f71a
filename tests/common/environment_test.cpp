#include "environment.h"

#include <gtest/gtest.h>

namespace zelko {
namespace {

TEST(EnvironmentValue, EmptyCountsAsUnsetAndTheFirstEntryOfANameCounts) {
  const std::vector<std::string> entries = {"A=", "B=x=y", "B=z", "CC=1", "D"};
  EXPECT_EQ(EnvironmentValue(entries, "A"), std::nullopt);
  EXPECT_EQ(EnvironmentValue(entries, "B"), "x=y");
  EXPECT_EQ(EnvironmentValue(entries, "C"), std::nullopt);
  EXPECT_EQ(EnvironmentValue(entries, "D"), std::nullopt);
  EXPECT_EQ(EnvironmentValue(entries, "E"), std::nullopt);
}

// One rule for the folder of the drives, settings.ini and the emulator's journal.
TEST(ZelkoRootFrom, IsZelkoRootElseHomeElseTheAccountsHome) {
  struct Case {
    std::vector<std::string> entries;
    const char* accountHome;
    const char* root;
  };
  const Case cases[] = {
      {{"ZELKO_ROOT=/tmp/root", "HOME=/home/u"}, "/home/acct", "/tmp/root"},
      {{"HOME=/home/u"}, "/home/acct", "/home/u/.zelko"},
      {{"ZELKO_ROOT=", "HOME=/home/u"}, "/home/acct", "/home/u/.zelko"},
      {{"HOME="}, "/home/acct", "/home/acct/.zelko"},
      {{}, "/home/acct", "/home/acct/.zelko"},
      {{"ZELKO_ROOT=", "HOME="}, "", "./.zelko"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ZelkoRootFrom(c.entries, c.accountHome), c.root) << c.root;
  }
}

}  // namespace
}  // namespace zelko
