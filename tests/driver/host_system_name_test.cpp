#include "host_system_name.h"

#include <gtest/gtest.h>

#include "memory_host.h"

namespace zelko {
namespace {

struct NameCase {
  WindowsVersion version;
  const char* name;
};

class HostSystemNameTable : public ::testing::TestWithParam<NameCase> {};

TEST_P(HostSystemNameTable, NamesTheVersion) {
  const NameCase& c = GetParam();
  EXPECT_EQ(HostSystemNameFor(c.version), c.name)
      << c.version.platformId << "." << c.version.major << "." << c.version.minor << "." << c.version.build;
}

INSTANTIATE_TEST_SUITE_P(
    Versions, HostSystemNameTable,
    ::testing::Values(NameCase{{0, 9, 9, 0}, "31"}, NameCase{{1, 4, 0, 950}, "95"}, NameCase{{1, 7, 0, 0}, "95"},
                      NameCase{{1, 4, 10, 2222}, "98SE"}, NameCase{{1, 4, 10, 0x7FFF08AE}, "98SE"},
                      NameCase{{1, 4, 10, 1998}, "98"}, NameCase{{1, 4, 10, 2223}, "98"},
                      NameCase{{1, 4, 90, 3000}, "Me"}, NameCase{{1, 4, 11, 0}, ""},
                      NameCase{{2, 3, 51, 0}, "NT351"}, NameCase{{2, 4, 0, 1381}, "NT40"},
                      NameCase{{2, 5, 0, 2195}, "2000"}, NameCase{{2, 5, 1, 2600}, "XP"},
                      NameCase{{2, 5, 2, 3790}, "2003SVR"}, NameCase{{2, 5, 3, 0}, ""},
                      NameCase{{2, 6, 0, 6002}, "VISTA"}, NameCase{{2, 6, 1, 7601}, "SEVEN"},
                      NameCase{{2, 6, 2, 9200}, ""}, NameCase{{2, 10, 0, 19045}, ""},
                      NameCase{{2, 2, 0, 0}, ""}, NameCase{{3, 6, 1, 0}, "Failed"},
                      NameCase{{0xFFFFFFFF, 5, 1, 0}, "Failed"}));

TEST(HostSystemName, IsEmptyWhenTheHostHasNoVersionNumbers) {
  testing::MemoryHost host;
  EXPECT_EQ(HostSystemName(host), "");
  host.version = WindowsVersion{2, 6, 1, 7601};
  EXPECT_EQ(HostSystemName(host), "SEVEN");
}

}  // namespace
}  // namespace zelko
