#include "windows_on_posix.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "file_bytes.h"
#include "temp_folder.h"

namespace zelko {
namespace {

struct MappingCase {
  const char* windowsPath;
  const char* root;
  const char* driveFolder;
  const char* path;
};

class PathMappingTest : public ::testing::TestWithParam<MappingCase> {};

TEST_P(PathMappingTest, MapsDrivesToFoldersUnderTheRoot) {
  const MappingCase& c = GetParam();
  const MappedPath mapped = MapWindowsPath(c.windowsPath, c.root);
  EXPECT_EQ(mapped.driveFolder, c.driveFolder) << c.windowsPath;
  EXPECT_EQ(mapped.path, c.path) << c.windowsPath;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathMappingTest,
    ::testing::Values(MappingCase{"c:\\SCONTRINO.OUT", "/r", "/r/c", "/r/c/SCONTRINO.OUT"},
                      MappingCase{"C:\\Dir\\file.txt", "/r", "/r/c", "/r/c/Dir/file.txt"},
                      MappingCase{"X:", "/r", "/r/x", "/r/x"}, MappingCase{"x:\\", "/r/", "/r/x", "/r/x"},
                      MappingCase{"c:file", "/r", "/r/c", "/r/c/file"},
                      MappingCase{"c:/a/b", "/r", "/r/c", "/r/c/a/b"},
                      MappingCase{"c:\\a\\.\\b\\\\c", "/r", "/r/c", "/r/c/a/b/c"},
                      MappingCase{"c:\\a\\..\\..\\..\\b", "/r", "/r/c", "/r/c/b"},
                      MappingCase{"d:\\x", "rel", "rel/d", "rel/d/x"},
                      MappingCase{"dir\\file", "/r", "", "dir/file"},
                      MappingCase{"/abs/path", "/r", "", "/abs/path"},
                      MappingCase{"..\\up", "/r", "", "../up"},
                      MappingCase{"\\\\server\\share", "/r", "", "//server/share"},
                      MappingCase{"1:\\x", "/r", "", "1:/x"}, MappingCase{"", "/r", "", ""}));

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
