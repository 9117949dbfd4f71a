#include "line_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelko {
namespace {

// Lines of these lengths, in order, each made of one repeated letter.
class LineStoreTest : public ::testing::TestWithParam<std::vector<std::size_t>> {};

TEST_P(LineStoreTest, KeepsEveryLineWholeAndInOrder) {
  LineStore store;
  std::string expected;
  char letter = 'a';
  for (const std::size_t length : GetParam()) {
    const std::string line(length, letter);
    store.Append({line.substr(0, length / 2), line.substr(length / 2)});
    expected += line + "\r\n";
    letter = letter == 'z' ? 'a' : static_cast<char>(letter + 1);
  }
  std::string joined;
  for (const auto block : store.Blocks()) {
    EXPECT_FALSE(block.ends_with("\r\n"));
    joined += std::string(block) + "\r\n";
  }
  EXPECT_EQ(joined, store.LineCount() == 0 ? "" : expected);
  EXPECT_EQ(store.LineCount(), GetParam().size());
}

constexpr std::size_t kMiB = 1 << 20;

INSTANTIATE_TEST_SUITE_P(
    Lengths, LineStoreTest,
    ::testing::Values(std::vector<std::size_t>{}, std::vector<std::size_t>{0}, std::vector<std::size_t>{54, 0, 54},
                      // Filling a block exactly, and missing it by the line end.
                      std::vector<std::size_t>{3 * kMiB, kMiB - 2, 1}, std::vector<std::size_t>{3 * kMiB, kMiB - 1, 1},
                      // Lines longer than a block get a block of their own.
                      std::vector<std::size_t>{10, 9 * kMiB, 10}, std::vector<std::size_t>{9 * kMiB}));

}  // namespace
}  // namespace zelko
