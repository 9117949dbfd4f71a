#include "name_case.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_files.h"

namespace zelko {
namespace {

using namespace test;

TEST(NameCaseTest, FindsEachComponentIgnoringCase) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "Dir");
  WriteBytes(folder / "Dir/File.TXT", "x");
  EXPECT_EQ(FindNameCase(folder / "dir/file.txt"), folder / "Dir/File.TXT");
  EXPECT_EQ(FindNameCase(folder / "DIR/new.txt"), folder / "Dir/new.txt");
  EXPECT_EQ(FindNameCase(folder / "missing/File.txt"), folder / "missing/File.txt");
  EXPECT_EQ(FindNameCase(folder / "Dir/File.TXT"), folder / "Dir/File.TXT");
}

TEST(NameCaseTest, ExactSpellingWinsOverOtherCases) {
  TempFolder folder;
  WriteBytes(folder / "B", "upper");
  WriteBytes(folder / "b", "lower");
  WriteBytes(folder / "Cc", "");
  WriteBytes(folder / "cC", "");
  EXPECT_EQ(FindNameCase(folder / "b"), folder / "b");
  EXPECT_EQ(FindNameCase(folder / "B"), folder / "B");
  EXPECT_EQ(FindNameCase(folder / "cc"), folder / "Cc");  // the first in byte order
}

}  // namespace
}  // namespace zelko
