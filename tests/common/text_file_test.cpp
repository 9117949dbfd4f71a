#include "text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace zelko {
namespace {

// Hands out `bytes` at most `chunk` bytes per read; fails once `failAt` bytes are given.
class MemorySource : public ByteSource {
 public:
  MemorySource(std::string bytes, std::size_t chunk, std::size_t failAt = std::string::npos)
      : bytes_(std::move(bytes)), chunk_(chunk), failAt_(failAt) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    if (position_ >= failAt_) {
      failed_ = true;
      return 0;
    }
    const std::size_t count = std::min({size, chunk_, bytes_.size() - position_, failAt_ - position_});
    std::copy_n(bytes_.data() + position_, count, buffer);
    position_ += count;
    return count;
  }
  bool Failed() const override { return failed_; }

 private:
  std::string bytes_;
  std::size_t chunk_;
  std::size_t failAt_;
  std::size_t position_ = 0;
  bool failed_ = false;
};

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

// Collects what is written; can refuse writes or the commit.
class MemorySink : public ByteSink {
 public:
  MemorySink(std::string& bytes, bool writeOk, bool commitOk)
      : bytes_(bytes), writeOk_(writeOk), commitOk_(commitOk) {}
  bool Write(std::string_view bytes) override {
    if (writeOk_) bytes_.append(bytes);
    return writeOk_;
  }
  bool Commit() override { return commitOk_; }

 private:
  std::string& bytes_;
  bool writeOk_;
  bool commitOk_;
};

TEST(TextWriterTest, EndsEveryLineWithCrLfAndPassesBytesThrough) {
  std::string bytes;
  TextWriter writer(std::make_unique<MemorySink>(bytes, true, true));
  EXPECT_TRUE(writer.WriteLine("0000"));
  EXPECT_TRUE(writer.WriteLine(""));
  EXPECT_TRUE(writer.WriteLine(std::string("\xe8\n\0", 3)));
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(bytes, std::string("0000\r\n\r\n\xe8\n\0\r\n", 13));
}

TEST(TextWriterTest, FailedWriteOrCloseIsReported) {
  std::string bytes;
  TextWriter refusing(std::make_unique<MemorySink>(bytes, false, true));
  EXPECT_FALSE(refusing.WriteLine("x"));
  EXPECT_FALSE(refusing.Close());
  TextWriter failingClose(std::make_unique<MemorySink>(bytes, true, false));
  EXPECT_TRUE(failingClose.WriteLine("x"));
  EXPECT_FALSE(failingClose.Close());
}

}  // namespace
}  // namespace zelko
