#include "receipt.h"

#include <gtest/gtest.h>

#include "memory_host.h"

namespace zelko {
namespace {

constexpr const char* kPath = "c:\\SCONTRINO.INP";

std::optional<Receipt> Check(const std::string& content) {
  testing::MemoryHost host;
  host.files[kPath] = content;
  return ReadCommandFile(host, kPath);
}

struct CountCase {
  const char* content;
  double declared;
  std::size_t found;
};

class CommandFileCounting : public ::testing::TestWithParam<CountCase> {};

TEST_P(CommandFileCounting, ReadsTheDeclaredAndFoundLines) {
  const auto check = Check(GetParam().content);
  ASSERT_TRUE(check.has_value());
  EXPECT_EQ(check->declaredLines, GetParam().declared);
  EXPECT_EQ(check->FoundLines(), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CommandFileCounting,
    ::testing::Values(
        CountCase{"COM1\r\n9600\r\n0\r\n", 0, 0}, CountCase{"COM1\r\n9600\r\n0", 0, 0},
        CountCase{"COM1\r\n9600\r\n2\r\nA\r\nB\r\n", 2, 2}, CountCase{"COM1\r\n9600\r\n2\r\nA\r\nB", 2, 2},
        // An empty line before the end counts; the terminator of the last line makes none.
        CountCase{"COM1\r\n9600\r\n3\r\nA\r\nB\r\n\r\n", 3, 3},
        // A lone CR ends a line, a lone LF does not.
        CountCase{"COM1\r9600\r2\rA\rB\r", 2, 2}, CountCase{"COM1\r\n9600\r\n2\r\nA\nB\r\n", 2, 1},
        CountCase{"COM1\r\n9600\r\n1\r\n\r\r\n", 1, 2},
        // The count line is read leniently and rounded half to even.
        CountCase{"P\r\nS\r\n 1 2abc\r\n", 12, 0}, CountCase{"P\r\nS\r\n\t3\t\r\n", 3, 0},
        CountCase{"P\r\nS\r\n\r\n", 0, 0}, CountCase{"P\r\nS\r\nabc 7\r\n", 0, 0},
        CountCase{"P\r\nS\r\n2.5\r\n", 2, 0}, CountCase{"P\r\nS\r\n3.5\r\n", 4, 0},
        CountCase{"P\r\nS\r\n2.51\r\n", 3, 0}, CountCase{"P\r\nS\r\n-1\r\n", -1, 0}));

TEST(CommandFile, KeepsThePortAndSpeedTrimmedOfSpacesOnly) {
  const auto check = Check("  COM3 \r\n\t115200,n,8,1 \r\n0\r\n");
  ASSERT_TRUE(check.has_value());
  EXPECT_EQ(check->port, "COM3");
  EXPECT_EQ(check->speed, "\t115200,n,8,1");
}

TEST(CommandFile, LineCountMatchesOnlyWhenEqual) {
  EXPECT_TRUE(Check("P\r\nS\r\n2\r\nA\r\nB\r\n")->LineCountMatches());
  EXPECT_FALSE(Check("P\r\nS\r\n2\r\nA\r\nB\r\nC\r\n")->LineCountMatches());
  EXPECT_FALSE(Check("P\r\nS\r\n1.4\r\nA\r\nB\r\n")->LineCountMatches());
  EXPECT_TRUE(Check("P\r\nS\r\n1.4\r\nA\r\n")->LineCountMatches());
}

TEST(CommandFile, IsAbsentWhenMissingShortOrUnreadable) {
  testing::MemoryHost host;
  EXPECT_FALSE(ReadCommandFile(host, kPath).has_value());
  for (const char* content : {"", "COM1\r\n", "COM1\r\n9600\r\n", "COM1\r\n9600"}) {
    EXPECT_FALSE(Check(content).has_value()) << content;
  }
  host.files[kPath] = "COM1\r\n9600\r\n1\r\nA\r\n";
  host.FailReadAfter(kPath, 3);
  EXPECT_FALSE(ReadCommandFile(host, kPath).has_value());
}

TEST(CommandFile, HighSpeedWhenTheSpeedBeginsWith115200) {
  EXPECT_TRUE(AsksForHighSpeed("115200"));
  EXPECT_TRUE(AsksForHighSpeed("115200,n,8,1"));
  EXPECT_TRUE(AsksForHighSpeed("1152000"));
  EXPECT_FALSE(AsksForHighSpeed("11520"));
  EXPECT_FALSE(AsksForHighSpeed("9600,n,8,1"));
  EXPECT_FALSE(AsksForHighSpeed("\t115200"));
}

TEST(CommandFile, MessagesCarryTheCountWithFourDigits) {
  EXPECT_EQ(LineCountMessage(3), "Righe Scontrino NON uguali lette: 0003");
  EXPECT_EQ(LineCountMessage(12345), "Righe Scontrino NON uguali lette: 12345");
  EXPECT_EQ(MissingCommandFileMessage("c:\\SCONTRINO.INP"), "File Scontrino assente o incompleto: c:\\SCONTRINO.INP");
}

}  // namespace
}  // namespace zelko
