#include "text_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "memory_host.h"

namespace zelko {
namespace {

using testing::MemorySink;
using testing::MemorySource;

std::vector<std::string> ReadAll(std::string bytes, std::size_t chunk) {
  TextReader reader(std::make_unique<MemorySource>(std::move(bytes), chunk));
  std::vector<std::string> lines;
  for (std::string line; reader.ReadLine(line);) lines.push_back(line);
  EXPECT_FALSE(reader.Failed());
  return lines;
}

struct SplitCase {
  std::string bytes;
  std::vector<std::string> lines;
};

class TextReaderSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(TextReaderSplitTest, SplitsAtCrLfAndLoneCr) {
  for (const std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{1} << 20}) {
    EXPECT_EQ(ReadAll(GetParam().bytes, chunk), GetParam().lines) << "chunk " << chunk;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextReaderSplitTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a", {"a"}}, SplitCase{"a\r\n", {"a"}},
                      SplitCase{"a\r\nb", {"a", "b"}}, SplitCase{"a\rb\r", {"a", "b"}},
                      SplitCase{"a\nb\r\n", {"a\nb"}}, SplitCase{"a\n", {"a\n"}}, SplitCase{"\n", {"\n"}},
                      SplitCase{"a\r\n\r\n", {"a", ""}}, SplitCase{"\r\n", {""}}, SplitCase{"\r\r\n", {"", ""}},
                      SplitCase{"\n\r", {"\n"}}, SplitCase{"x\r\n\ry", {"x", "", "y"}}));

TEST(TextReaderTest, CrLfSplitAcrossReadChunkIsOneTerminator) {
  constexpr std::size_t kChunk = 64 * 1024;
  const std::string first(kChunk - 1, 'a');  // the CR is the last byte of the first chunk
  const std::string bytes = first + "\r\nb\r\n";
  EXPECT_EQ(ReadAll(bytes, kChunk), (std::vector<std::string>{first, "b"}));
  EXPECT_EQ(ReadAll(first + "\r", kChunk), (std::vector<std::string>{first}));
}

TEST(TextReaderTest, LongLinesSpanManyChunks) {
  const std::string longLine(200 * 1024, 'x');
  EXPECT_EQ(ReadAll(longLine + "\r\n" + longLine, 64 * 1024), (std::vector<std::string>{longLine, longLine}));
}

TEST(TextReaderTest, ReadErrorEndsReadingAndIsReported) {
  TextReader reader(std::make_unique<MemorySource>("a\r\nb\r\nc\r\n", 1, 4));
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "a");
  while (reader.ReadLine(line)) {
  }
  EXPECT_TRUE(reader.Failed());
}

TEST(TextWriterTest, EndsEveryLineWithCrLfAndPassesBytesThrough) {
  std::string bytes;
  TextWriter writer(std::make_unique<MemorySink>(bytes));
  EXPECT_TRUE(writer.WriteLine("0000"));
  EXPECT_TRUE(writer.WriteLine(""));
  EXPECT_TRUE(writer.WriteLine(std::string("\xe8\n\0", 3)));
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(bytes, std::string("0000\r\n\r\n\xe8\n\0\r\n", 13));
}

TEST(TextWriterTest, FailedWriteOrCloseIsReported) {
  std::string bytes;
  TextWriter refusing(std::make_unique<MemorySink>(bytes, 0));
  EXPECT_FALSE(refusing.WriteLine("x"));
  EXPECT_FALSE(refusing.Close());
  TextWriter failingClose(std::make_unique<MemorySink>(bytes, std::nullopt, true));
  EXPECT_TRUE(failingClose.WriteLine("x"));
  EXPECT_FALSE(failingClose.Close());
}

}  // namespace
}  // namespace zelko
