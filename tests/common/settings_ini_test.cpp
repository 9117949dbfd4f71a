#include "settings_ini.h"

#include <gtest/gtest.h>

namespace zelko {
namespace {

struct FindCase {
  const char* content;
  const char* key;
  std::optional<std::string> value;
};

class FindIniValueTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindIniValueTest, FindsTheValueOfTheKeyInTheSection) {
  EXPECT_EQ(FindIniValue(GetParam().content, "S\\Z", GetParam().key), GetParam().value) << GetParam().content;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FindIniValueTest,
    ::testing::Values(FindCase{"[S\\Z]\nK= spaced \n", "K", " spaced "}, FindCase{"[S\\Z]\r\nK=v\r\n", "K", "v"},
                      FindCase{"[S\\Z]\rK=v\rL=w", "L", "w"}, FindCase{"[s\\z]\nk=v", "K", "v"},
                      FindCase{"[S\\Z]\n  K\t=v", "k", "v"}, FindCase{" [S\\Z] \nK=v", "K", "v"},
                      FindCase{"[S\\Z]\nK=a=b", "K", "a=b"}, FindCase{"[S\\Z]\nK=", "K", ""},
                      FindCase{"[S\\Z]\nK=1\nK=2", "K", "1"}, FindCase{"[S\\Z]\nL=1\n[T]\nK=2\n[S\\Z]\nK=3", "K", "3"},
                      FindCase{"[T]\nK=v", "K", std::nullopt}, FindCase{"K=v\n[S\\Z]\n", "K", std::nullopt},
                      FindCase{"[S\\Z]\nK\n", "K", std::nullopt}, FindCase{"[S\\Z]\nKK=v\n", "K", std::nullopt},
                      FindCase{"", "K", std::nullopt}));

struct SetCase {
  const char* content;
  const char* expected;
};

class SetIniValueTest : public ::testing::TestWithParam<SetCase> {};

TEST_P(SetIniValueTest, ChangesOnlyTheKeyLine) {
  EXPECT_EQ(SetIniValue(GetParam().content, "S\\Z", "Key", " V "), GetParam().expected) << GetParam().content;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetIniValueTest,
    ::testing::Values(SetCase{"", "[S\\Z]\nKey= V \n"}, SetCase{"[S\\Z]\nKey=old\n", "[S\\Z]\nKey= V \n"},
                      SetCase{"[S\\Z]\r\nKey=old\r\nL=x\r\n", "[S\\Z]\r\nKey= V \nL=x\r\n"},
                      SetCase{"[S\\Z]\rkey=old\rX=1", "[S\\Z]\rkey= V \nX=1"},
                      SetCase{"[s\\z]\nKEY=old", "[s\\z]\nKEY= V \n"},
                      SetCase{"garbage\n[S\\Z]\nno equals\n key =old\n", "garbage\n[S\\Z]\nno equals\n key = V \n"},
                      SetCase{"[S\\Z]\nA=1\n\n[T]\nKey=t\n", "[S\\Z]\nA=1\nKey= V \n\n[T]\nKey=t\n"},
                      SetCase{"[S\\Z]", "[S\\Z]\nKey= V \n"}, SetCase{"[S\\Z]\r\nA=1", "[S\\Z]\r\nA=1\nKey= V \n"},
                      SetCase{"[T]\nKey=t", "[T]\nKey=t\n[S\\Z]\nKey= V \n"},
                      SetCase{"; comment\r\n", "; comment\r\n[S\\Z]\nKey= V \n"}));

TEST(SetIniValue, RefusesWhatCannotBeStoredOnOneLine) {
  EXPECT_FALSE(SetIniValue("", "S\\Z", "", "v").has_value());
  EXPECT_FALSE(SetIniValue("", "S\\Z", "A=B", "v").has_value());
  EXPECT_FALSE(SetIniValue("", "S\\Z", " K", "v").has_value());
  EXPECT_FALSE(SetIniValue("", "S\\Z", "[K]", "v").has_value());
  EXPECT_FALSE(SetIniValue("", "S\\Z", "K\n", "v").has_value());
  EXPECT_FALSE(SetIniValue("", "S\\Z", "K", "a\rb").has_value());
  EXPECT_FALSE(SetIniValue("", "S\\Z", "K", "a\nb").has_value());
}

}  // namespace
}  // namespace zelko
