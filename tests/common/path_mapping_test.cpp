#include "path_mapping.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zelko
