#include "article_record.h"

#include <gtest/gtest.h>

#include "article_files.h"

namespace zelko {
namespace {

using testing::ArticleLine;

TEST(SplitArticleLineTest, TakesTheFixedColumns) {
  const ArticleRecord record = SplitArticleLine("11ccccccccccccDDDDDDDDDDDDDDDDDDDDpppppppp-12tail");
  EXPECT_EQ(record.recordType, "11");
  EXPECT_EQ(record.articleCode, "cccccccccccc");
  EXPECT_EQ(record.description, "DDDDDDDDDDDDDDDDDDDD");
  EXPECT_EQ(record.price, "pppppppp");
  EXPECT_EQ(record.oneDigitCode, "1");
  EXPECT_EQ(record.twoDigitCode, "2t");
}

TEST(SplitArticleLineTest, ABlankOneDigitCodeBecomesNine) {
  EXPECT_EQ(SplitArticleLine(ArticleLine("11", "000000000001", std::string(20, 'D'), "00000100", " ", "01"))
                .oneDigitCode,
            "9");
}

struct AcceptanceCase {
  const char* name;
  std::string line;
  bool accepted;
  friend void PrintTo(const AcceptanceCase& c, std::ostream* os) { *os << c.name; }
};

class AcceptanceTest : public ::testing::TestWithParam<AcceptanceCase> {};

TEST_P(AcceptanceTest, Decides) { EXPECT_EQ(IsAcceptedArticle(SplitArticleLine(GetParam().line)), GetParam().accepted); }

const std::string kDescription(20, 'D');

INSTANTIATE_TEST_SUITE_P(
    Lines, AcceptanceTest,
    ::testing::Values(
        AcceptanceCase{"WorkedExample", testing::WorkedExampleLine(), true},
        AcceptanceCase{"BlankOneDigitCode", ArticleLine("11", "000000000001", kDescription, "00000100", " ", "01"), true},
        AcceptanceCase{"SpacedCodeAndPrice", ArticleLine("11", "      123456", kDescription, "   1,50 ", "2", " 3"), true},
        AcceptanceCase{"AnyDescription", ArticleLine("11", "000000000001", "(a) =))\t;;          ", "00000100", "2", "03"), true},
        AcceptanceCase{"OtherRecordType", ArticleLine("12", "000000000001", kDescription, "00000100", "1", "01"), false},
        AcceptanceCase{"TypeThirteen", ArticleLine("13", "000000000001", kDescription, "00000100", "1", "01"), false},
        AcceptanceCase{"LowerCaseType", ArticleLine("1 ", "000000000001", kDescription, "00000100", "1", "01"), false},
        AcceptanceCase{"CodeNotNumeric", ArticleLine("11", "00000000000A", kDescription, "00000100", "1", "01"), false},
        AcceptanceCase{"CodeBlank", ArticleLine("11", "            ", kDescription, "00000100", "1", "01"), false},
        AcceptanceCase{"PriceNotNumeric", ArticleLine("11", "000000000001", kDescription, "0000010E", "1", "01"), false},
        AcceptanceCase{"PriceBlank", ArticleLine("11", "000000000001", kDescription, "        ", "1", "01"), false},
        AcceptanceCase{"OneDigitCodeNotNumeric", ArticleLine("11", "000000000001", kDescription, "00000100", "A", "01"), false},
        AcceptanceCase{"TwoDigitCodeBlank", ArticleLine("11", "000000000001", kDescription, "00000100", "1", "  "), false},
        AcceptanceCase{"TwoDigitCodeNotNumeric", ArticleLine("11", "000000000001", kDescription, "00000100", "1", "0x"), false}),
    [](const auto& info) { return std::string(info.param.name); });

struct RegisterCodeCase {
  const char* field;
  const char* code;
};

class RegisterCodeTest : public ::testing::TestWithParam<RegisterCodeCase> {};

TEST_P(RegisterCodeTest, Builds) { EXPECT_EQ(RegisterCode(GetParam().field), GetParam().code); }

INSTANTIATE_TEST_SUITE_P(Fields, RegisterCodeTest,
                         ::testing::Values(
                             // Up to 999999: "0" and the field as it stands, spaces kept.
                             RegisterCodeCase{"000000001234", "0000000001234"},
                             RegisterCodeCase{"      123456", "0      123456"},
                             RegisterCodeCase{"123456      ", "0123456      "},
                             RegisterCodeCase{"000000999999", "0000000999999"},
                             RegisterCodeCase{"-00001234567", "0-00001234567"},
                             // Above 999999: the completed bar code.
                             RegisterCodeCase{"000001000000", "0000010000007"},
                             RegisterCodeCase{"000001234567", "0000012345670"},
                             RegisterCodeCase{"0999999,5   ", "0000099999957"},
                             RegisterCodeCase{"400638133393", "4006381333931"}));

}  // namespace
}  // namespace zelko
