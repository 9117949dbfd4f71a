#include "standin_fixtures.h"  // Winsock's headers before windows.h

#include "activex_server_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "activex_text.h"
#include "file_bytes.h"
#include "temp_folder.h"

namespace zelko {
namespace {

std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

// The stand-in's DLL loads; a copy of it marked for x64 is named as such; a
// copy that imports a DLL found nowhere names that DLL and the file that
// wants it.
TEST(ServerFileTest, SaysWhyAServerFileCannotBeLoaded) {
  const std::string original = testing::ReadBytes(WideToBytes(test::ProgramFolder()) + "ZelkoStandIn.dll");
  ASSERT_GT(original.size(), 0x40u);
  std::string x64 = original;
  std::uint32_t headers = 0;
  std::memcpy(&headers, x64.data() + 0x3C, sizeof headers);
  const std::uint16_t amd64 = IMAGE_FILE_MACHINE_AMD64;
  std::memcpy(x64.data() + headers + 4, &amd64, sizeof amd64);
  std::string missing = original;
  const std::size_t import = missing.find(std::string("SHLWAPI.dll\0", 12));
  ASSERT_NE(import, std::string::npos);
  missing.replace(import, 11, "ZELKOMI.dll");

  struct Case {
    const char* file;
    const std::string& bytes;
    ServerLoad::Outcome outcome;
    const char* detail;
    const char* neededBy;
  };
  const Case cases[] = {
      {"ZelkoStandIn.dll", original, ServerLoad::Outcome::kLoaded, "", ""},
      {"x64.dll", x64, ServerLoad::Outcome::kOtherProcessor, "x64 (64 bit)", ""},
      {"wants.dll", missing, ServerLoad::Outcome::kMissingDependency, "ZELKOMI.dll", "wants.dll"},
  };
  testing::TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const ServerLoad load = CheckServerLoad(Wide(folder.Write(c.file, c.bytes)));
    EXPECT_EQ(load.outcome, c.outcome) << load.detail;
    EXPECT_EQ(load.detail, c.detail);
    EXPECT_EQ(load.neededBy, c.neededBy);
  }
}

}  // namespace
}  // namespace zelko
