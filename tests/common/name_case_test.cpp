#include "name_case.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "file_bytes.h"
#include "temp_folder.h"

namespace zelko {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

TEST(NameCaseTest, FindsEachComponentIgnoringCase) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("Dir"));
  WriteBytes(folder.File("Dir/File.TXT"), "x");
  EXPECT_EQ(FindNameCase(folder.File("dir/file.txt")), folder.File("Dir/File.TXT"));
  EXPECT_EQ(FindNameCase(folder.File("DIR/new.txt")), folder.File("Dir/new.txt"));
  EXPECT_EQ(FindNameCase(folder.File("missing/File.txt")), folder.File("missing/File.txt"));
  EXPECT_EQ(FindNameCase(folder.File("Dir/File.TXT")), folder.File("Dir/File.TXT"));
}

TEST(NameCaseTest, ExactSpellingWinsOverOtherCases) {
  TempFolder folder;
  WriteBytes(folder.File("B"), "upper");
  WriteBytes(folder.File("b"), "lower");
  WriteBytes(folder.File("Cc"), "");
  WriteBytes(folder.File("cC"), "");
  EXPECT_EQ(FindNameCase(folder.File("b")), folder.File("b"));
  EXPECT_EQ(FindNameCase(folder.File("B")), folder.File("B"));
  EXPECT_EQ(FindNameCase(folder.File("cc")), folder.File("Cc"));  // the first in byte order
}

}  // namespace
}  // namespace zelko
