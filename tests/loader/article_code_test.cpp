#include "article_code.h"

#include <gtest/gtest.h>

#include <string>

#include "numeric_text.h"

namespace zelko {
namespace {

struct NumericCase {
  const char* text;
  bool numeric;
};

class IsNumericTextTest : public ::testing::TestWithParam<NumericCase> {};

TEST_P(IsNumericTextTest, Classifies) { EXPECT_EQ(IsNumericText(GetParam().text), GetParam().numeric) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(Texts, IsNumericTextTest,
                         ::testing::Values(NumericCase{"0", true}, NumericCase{"000001234567", true},
                                           NumericCase{"  123  ", true}, NumericCase{"+5", true},
                                           NumericCase{"-5", true}, NumericCase{"1.5", true},
                                           NumericCase{"1,5", true}, NumericCase{".5", true},
                                           NumericCase{"5.", true}, NumericCase{"      123456", true},
                                           NumericCase{"", false}, NumericCase{"   ", false},
                                           NumericCase{".", false}, NumericCase{"+", false},
                                           NumericCase{"-.", false}, NumericCase{"1.2.3", false},
                                           NumericCase{"1,2.3", false}, NumericCase{"1.234,5", false},
                                           NumericCase{"1e5", false}, NumericCase{"12 34", false},
                                           NumericCase{"\t12", false}, NumericCase{"5-", false},
                                           NumericCase{"--5", false}, NumericCase{"$5", false},
                                           NumericCase{"COM2", false}, NumericCase{"0x1A", false}));

struct ValueCase {
  const char* text;
  double value;
};

class NumericTextValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NumericTextValueTest, Reads) { EXPECT_EQ(NumericTextValue(GetParam().text), GetParam().value) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(Texts, NumericTextValueTest,
                         ::testing::Values(ValueCase{"000001234567", 1234567}, ValueCase{" +3 ", 3},
                                           ValueCase{"-12", -12}, ValueCase{"7,5", 7.5},
                                           ValueCase{"8.5", 8.5}, ValueCase{".25", 0.25},
                                           ValueCase{"999999,5", 999999.5}));

TEST(NumericTextValueTest, BeyondTheRangeOfADoubleIsInfiniteAndTinyIsZero) {
  const std::string huge(400, '9');
  EXPECT_EQ(NumericTextValue(huge), std::numeric_limits<double>::infinity());
  EXPECT_EQ(NumericTextValue("-" + huge), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(NumericTextValue("0." + std::string(400, '0') + "1"), 0.0);
}

// Published GS1 numbers: the last digit is the check digit of the others.
class GS1CheckDigitTest : public ::testing::TestWithParam<const char*> {};

TEST_P(GS1CheckDigitTest, MatchesThePublishedNumber) {
  const std::string number = GetParam();
  EXPECT_EQ(GS1CheckDigit(number.substr(0, number.size() - 1)), number.back()) << number;
}

INSTANTIATE_TEST_SUITE_P(Published, GS1CheckDigitTest,
                         ::testing::Values("9780072129519", "4025515373438", "036000291452", "96385074",
                                           "4006381333931", "5901234123457", "73513537"));

TEST(GS1CheckDigitTest, ASumEndingInZeroGivesZero) {
  EXPECT_EQ(GS1CheckDigit("0000000"), '0');
  EXPECT_EQ(GS1CheckDigit("5"), '5');   // 15: 10 - 5
  EXPECT_EQ(GS1CheckDigit("55"), '0');  // 5 + 15 = 20
}

struct CompletionCase {
  std::string (*member)(std::string_view);
  const char* text;
  const char* completed;
};

class CompletionTest : public ::testing::TestWithParam<CompletionCase> {};

TEST_P(CompletionTest, Completes) { EXPECT_EQ(GetParam().member(GetParam().text), GetParam().completed); }

INSTANTIATE_TEST_SUITE_P(
    Members, CompletionTest,
    ::testing::Values(
        CompletionCase{CompleteEan8, "9638507", "96385074"},
        CompletionCase{CompleteEan8, "1234567", "12345670"},
        CompletionCase{CompleteEan8, "123", "00001236"},            // zero-filled in front
        CompletionCase{CompleteEan8, "1234567999", "12345670"},     // only the first 7 characters
        CompletionCase{CompleteEan8, "12-45.7", "00124577"},        // digits only, of those 7
        CompletionCase{CompleteUpcA, "3600029145", "036000291452"},
        CompletionCase{CompleteUpcA, "12345678901", "123456789012"},
        CompletionCase{CompleteUpcA, "123456789012345", "123456789012"},  // the first 11 digits
        CompletionCase{CompleteUpcA, "-3600029145", "036000291452"},
        CompletionCase{CompleteEan13, "12345678", "0000123456784"},
        CompletionCase{CompleteEan13, "978007212951", "9780072129519"},
        CompletionCase{CompleteEan13, "402551537343", "4025515373438"},
        CompletionCase{CompleteEan13, "402551537343999", "4025515373438"},  // the first 12 digits
        CompletionCase{CompleteEan13, "1234567,5", "0000123456753"}));

struct FormatCase {
  const char* field;
  const char* formatted;
};

class FormatArticleCodeTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatArticleCodeTest, Formats) { EXPECT_EQ(FormatArticleCode(GetParam().field), GetParam().formatted); }

INSTANTIATE_TEST_SUITE_P(
    Fields, FormatArticleCodeTest,
    ::testing::Values(
        // The worked examples, one per completion path.
        FormatCase{"000001234567", "0000012345670"}, FormatCase{"     9638507", "0000096385074"},
        FormatCase{"003600029145", "0036000291452"}, FormatCase{"012345678901", "0123456789012"},
        FormatCase{"000012345678", "0000123456784"}, FormatCase{"000123456789", "0001234567895"},
        FormatCase{"400638133393", "4006381333931"},
        // Published numbers through the field.
        FormatCase{"978007212951", "9780072129519"}, FormatCase{"402551537343", "4025515373438"},
        // Blanks on both sides are dropped before the length is taken.
        FormatCase{"  1234567   ", "0000012345670"},
        // A sign or separator counts toward the length but is no digit.
        FormatCase{"+1234567", "0000012345670"}, FormatCase{"1234567,5", "0000123456753"},
        // No longer numeric after the clean-up: the text and "-".
        FormatCase{"00012A4567", "12A4567-"}, FormatCase{"  000  ", "-"}));

}  // namespace
}  // namespace zelko
