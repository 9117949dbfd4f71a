#include "text.h"

#include <gtest/gtest.h>

namespace zelko {
namespace {

TEST(TextTest, TrimSpacesRemovesSpacesOnly) {
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
  EXPECT_EQ(TrimSpaces("    "), "");
  EXPECT_EQ(TrimSpaces(""), "");
}

TEST(TextTest, CaseHelpersTouchAsciiLettersOnly) {
  EXPECT_EQ(ToUpperAscii("null \xe8z"), "NULL \xe8Z");
  EXPECT_EQ(ToLowerAscii("NuLL \xc8Z"), "null \xc8z");
  EXPECT_TRUE(EqualsIgnoreCaseAscii("Scontrino.INP", "sCONTRINO.inp"));
  EXPECT_FALSE(EqualsIgnoreCaseAscii("\xe8", "\xc8"));
  EXPECT_FALSE(EqualsIgnoreCaseAscii("ab", "abc"));
}

struct NumberCase {
  const char* text;
  double expected;
};

class ReadLeadingNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReadLeadingNumberTest, ReadsLeniently) {
  EXPECT_DOUBLE_EQ(ReadLeadingNumber(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, ReadLeadingNumberTest,
                         ::testing::Values(NumberCase{"0103", 103}, NumberCase{" 1 03", 103}, NumberCase{"\t42", 42},
                                           NumberCase{"", 0}, NumberCase{"abc", 0}, NumberCase{"12ab", 12},
                                           NumberCase{"-5", -5}, NumberCase{"+7", 7}, NumberCase{"- 3", -3},
                                           NumberCase{"--5", 0}, NumberCase{"1.5", 1.5}, NumberCase{".5", 0.5},
                                           NumberCase{".", 0}, NumberCase{"1.2.3", 1.2}, NumberCase{"1e3", 1000},
                                           NumberCase{"1 e 2", 100}, NumberCase{"1E+2", 100},
                                           NumberCase{"25e-1", 2.5}, NumberCase{"1d2", 100}, NumberCase{"1e", 1},
                                           NumberCase{"1ex", 1}, NumberCase{"0000", 0}, NumberCase{"01  ", 1}));

struct RoundCase {
  double value;
  double expected;
};

class RoundHalfEvenTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenTest, HalvesGoToEven) {
  EXPECT_EQ(RoundHalfEven(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Table, RoundHalfEvenTest,
                         ::testing::Values(RoundCase{0, 0}, RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2},
                                           RoundCase{3.5, 4}, RoundCase{2.4999, 2}, RoundCase{2.5001, 3},
                                           RoundCase{-0.5, 0}, RoundCase{-1.5, -2}, RoundCase{-2.5, -2},
                                           RoundCase{-0.6, -1}, RoundCase{102.7, 103}));

TEST(TextTest, ZeroPaddedFillsToWidth) {
  EXPECT_EQ(ZeroPadded(3, 4), "0003");
  EXPECT_EQ(ZeroPadded(12345, 4), "12345");
  EXPECT_EQ(ZeroPadded(-5, 4), "-0005");
  EXPECT_EQ(ZeroPadded(0, 0), "0");
}

// Every log field reads back as exactly one text: no line break, no raw
// control byte, and no two texts that give the same field.
TEST(TextTest, EscapeForLogIsOneLineAndReversible) {
  using namespace std::string_literals;
  const struct {
    std::string text;
    std::string escaped;
  } cases[] = {
      {"C:\\Users\\tom", "C:\\\\Users\\\\tom"},
      {"a\tb", "a\\tb"},
      {"a\\tb", "a\\\\tb"},
      {"a\r\nb", "a\\r\\nb"},
      {"\\x1B", "\\\\x1B"},
      {"\x1B[2J"s, "\\x1B[2J"},
      {"\0\x01\x1F\x7F"s, "\\x00\\x01\\x1F\\x7F"},
      {"Caff\xE8 \x80\xFF ~", "Caff\xE8 \x80\xFF ~"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeForLog(c.text), c.escaped) << c.text;
    for (const auto& other : cases) {
      if (other.text != c.text) {
        EXPECT_NE(EscapeForLog(other.text), EscapeForLog(c.text));
      }
    }
  }
}

}  // namespace
}  // namespace zelko
