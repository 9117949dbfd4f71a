#include "convert_article_file.h"


#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "article_files.h"
#include "loader_failure.h"
#include "memory_host.h"

namespace zelko {
namespace {

using testing::ArticleLine;
using testing::CommandFile;
using testing::CrLfLines;
using testing::kWorkedExampleCommand;
using testing::kWorkedExampleRecord;
using testing::MemoryHost;
using testing::WorkedExampleLine;

const char kArticlePath[] = "C:\\DATI\\ARTICOLI.TXT";
const std::string kTypeThirteenLine = ArticleLine("13", std::string(12, '0'), std::string(20, ' '), "00000000", "0", "00");
const std::string kTypeThirteenCommand = ">>/?P/(1300000000000000000000000000000000000000000000)";

class ConvertArticleFileTest : public ::testing::Test {
 protected:
  ConvertArticleFileTest() { settings.articlePath = kArticlePath; }

  std::int32_t Convert(const std::string& articleFile) {
    host.files[kArticlePath] = articleFile;
    return ConvertArticleFile(settings, host);
  }
  std::string Output() const {
    return host.File(settings.recordFileMode ? "c:\\zeLKOplu.txt" : "c:\\SCONTRINO.INP").value_or("<absent>");
  }

  MemoryHost host;
  LoaderSettings settings;
};

struct LayoutCase {
  const char* name;
  std::vector<std::string> articleLines;
  std::vector<std::string> commands;  // body of the receipt command file
  std::vector<std::string> records;   // the record file
  friend void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }
};

class ConvertLayoutTest : public ConvertArticleFileTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(ConvertLayoutTest, WritesTheCommandFile) {
  ASSERT_EQ(Convert(CrLfLines(GetParam().articleLines)), 0);
  EXPECT_EQ(Output(), CommandFile(GetParam().commands));
}

TEST_P(ConvertLayoutTest, WritesTheRecordFile) {
  settings.recordFileMode = true;
  ASSERT_EQ(Convert(CrLfLines(GetParam().articleLines)), 0);
  EXPECT_EQ(Output(), CrLfLines(GetParam().records));
  EXPECT_FALSE(host.File("C:\\Scontrino.inp").has_value());
}

const std::string kDescription = "PANE                ";
const std::string kSmallCode = ArticleLine("11", "      123456", kDescription, "00000100", " ", "01");

INSTANTIATE_TEST_SUITE_P(
    ArticleFiles, ConvertLayoutTest,
    ::testing::Values(
        LayoutCase{"WorkedExample", {WorkedExampleLine()}, {kWorkedExampleCommand}, {kWorkedExampleRecord}},
        LayoutCase{"SmallCodeKeepsItsSpacesAndBlankOneDigitCodeIsNine",
                   {kSmallCode},
                   {">>/?P/(110      123456PANE                00000100019)"},
                   {"110      123456PANE                00000100019"}},
        LayoutCase{"OnlyTypeThirteen", {kTypeThirteenLine}, {kTypeThirteenCommand}, {std::string(kTypeThirteenCommand, 7, 46)}},
        LayoutCase{"TypeThirteenOnceAndFirstWherever",
                   {WorkedExampleLine(), kTypeThirteenLine, kSmallCode, kTypeThirteenLine},
                   {kTypeThirteenCommand, kWorkedExampleCommand, ">>/?P/(110      123456PANE                00000100019)"},
                   {std::string(kTypeThirteenCommand, 7, 46), kWorkedExampleRecord,
                    "110      123456PANE                00000100019"}},
        LayoutCase{"RejectedLinesLeaveNothing",
                   {"short", WorkedExampleLine().substr(0, 46), ArticleLine("12", "000000000001", kDescription, "1       ", "1", "01"),
                    WorkedExampleLine(), ArticleLine("11", "00000000000A", kDescription, "00000100", "1", "01"), ""},
                   {kWorkedExampleCommand},
                   {kWorkedExampleRecord}},
        LayoutCase{"LongLinesButNoArticle", {ArticleLine("12", "000000000001", kDescription, "00000100", "1", "01")}, {}, {}},
        LayoutCase{"ParenthesisInDescriptionUnchanged",
                   {ArticleLine("11", "000000000007", "OLIO (1L)) =        ", "00000350", "5", "22")},
                   {">>/?P/(110000000000007OLIO (1L)) =        00000350225)"},
                   {"110000000000007OLIO (1L)) =        00000350225"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct DecimalCase {
  double value;
  const char* text;
};

class ShortestDecimalTextTest : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(ShortestDecimalTextTest, Writes) { EXPECT_EQ(ShortestDecimalText(GetParam().value), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Speeds, ShortestDecimalTextTest,
                         ::testing::Values(DecimalCase{115200, "115200"}, DecimalCase{9600, "9600"},
                                           DecimalCase{1200.75, "1200.75"}, DecimalCase{0.1, "0.1"},
                                           DecimalCase{-300, "-300"}, DecimalCase{2.5e-7, "0.00000025"},
                                           DecimalCase{1e20, "100000000000000000000"}));

TEST_F(ConvertArticleFileTest, SettingsMakeThePortAndSpeedLines) {
  settings.port = 3;
  settings.baud = 9600;
  settings.parity = "";
  settings.databit = 7;
  settings.stopbit = 2;
  ASSERT_EQ(Convert(WorkedExampleLine()), 0);
  EXPECT_EQ(Output().substr(0, 15), "3\r\n9600,,7,2\r\n7");
}

TEST_F(ConvertArticleFileTest, LoneLineFeedsMakeOneLineSoOnlyTheFirstRecordCounts) {
  ASSERT_EQ(Convert(WorkedExampleLine() + "\n" + WorkedExampleLine() + "\n"), 0);
  EXPECT_EQ(Output(), CommandFile({kWorkedExampleCommand}));
}

TEST_F(ConvertArticleFileTest, LastLineWithoutTerminatorCountsAndLoneCrEndsALine) {
  ASSERT_EQ(Convert(WorkedExampleLine() + "\r" + WorkedExampleLine()), 0);
  EXPECT_EQ(Output(), CommandFile({kWorkedExampleCommand, kWorkedExampleCommand}));
}

TEST_F(ConvertArticleFileTest, ManyArticlesAreAllWrittenInOrderAndCounted) {
  // Enough lines to fill several of the store's blocks.
  std::string articleFile;
  std::vector<std::string> commands;
  for (int i = 0; i < 60000; ++i) {
    const std::string code = std::to_string(100000 + i);
    articleFile += ArticleLine("11", "000000" + code, kDescription, "00000100", "1", "01") + "\r\n";
    commands.push_back(">>/?P/(110000000" + code + kDescription + "00000100011)");
  }
  host.readPiece = 4096;  // a large file in large reads, so that it stays quick
  ASSERT_EQ(Convert(articleFile), 0);
  EXPECT_EQ(Output(), CommandFile(commands));
}

struct FailureCase {
  const char* name;
  bool recordFileMode;
  std::string articleFile;
  void (*fault)(MemoryHost&);
  std::int32_t number;
  std::string output;  // what the output file holds afterwards
  friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class ConvertFailureTest : public ConvertArticleFileTest, public ::testing::WithParamInterface<FailureCase> {};

const std::string kHead = "1\r\n115200,n,8,1\r\n";
const std::string kEarlier = "an earlier run's output\r\n";

// What the conversion wrote before a failure replaces the earlier output;
// a write that fails leaves the earlier output whole.
TEST_P(ConvertFailureTest, EndsWithTheNumberAndLeavesAWholeFile) {
  settings.recordFileMode = GetParam().recordFileMode;
  host.files[settings.recordFileMode ? "C:\\ZELKOPLU.TXT" : "C:\\Scontrino.inp"] = kEarlier;
  GetParam().fault(host);
  EXPECT_EQ(Convert(GetParam().articleFile), GetParam().number);
  EXPECT_EQ(Output(), GetParam().output);
}

void NoFault(MemoryHost&) {}

INSTANTIATE_TEST_SUITE_P(
    Faults, ConvertFailureTest,
    ::testing::Values(
        FailureCase{"EmptyArticleFile", false, "", NoFault, failure::kNoArticleLines, kHead},
        FailureCase{"EmptyArticleFileRecordMode", true, "", NoFault, failure::kNoArticleLines, ""},
        FailureCase{"OnlyShortLines", false, WorkedExampleLine().substr(0, 46) + "\r\nx\r\n", NoFault,
                    failure::kNoArticleLines, kHead},
        FailureCase{"OutputNotCreated", false, WorkedExampleLine(),
                    [](MemoryHost& h) { h.FailCreate("c:\\scontrino.inp"); }, failure::kOutputNotCreated, kEarlier},
        FailureCase{"ArticleFileNotOpened", false, WorkedExampleLine(),
                    [](MemoryHost& h) { h.FailOpen(kArticlePath); }, failure::kArticleFileNotOpened, kHead},
        FailureCase{"ArticleFileNotRead", false, WorkedExampleLine() + "\r\n" + WorkedExampleLine(),
                    [](MemoryHost& h) { h.FailReadAfter(kArticlePath, 50); }, failure::kArticleFileNotRead, kHead},
        FailureCase{"HeadNotWritten", false, WorkedExampleLine(), [](MemoryHost& h) { h.FailWriteAfter("c:\\scontrino.inp", 5); },
                    failure::kOutputNotWritten, kEarlier},
        FailureCase{"BodyNotWritten", false, WorkedExampleLine(), [](MemoryHost& h) { h.FailWriteAfter("c:\\scontrino.inp", 60); },
                    failure::kOutputNotWritten, kEarlier},
        FailureCase{"RecordNotWritten", true, WorkedExampleLine(), [](MemoryHost& h) { h.FailWriteAfter("c:\\zelkoplu.txt", 10); },
                    failure::kOutputNotWritten, kEarlier},
        FailureCase{"CloseFails", false, WorkedExampleLine(), [](MemoryHost& h) { h.FailCommit("c:\\scontrino.inp"); },
                    failure::kOutputNotWritten, kEarlier}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelko
