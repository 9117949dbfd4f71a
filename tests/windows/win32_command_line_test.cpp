#include "win32_command_line.h"

#include <gtest/gtest.h>

namespace zelko {
namespace {

TEST(ArgumentsAfterProgramNameTest, DropsTheProgramNameAndTheBlanksAfterIt) {
  const struct {
    const char* commandLine;
    const char* arguments;
  } cases[] = {
      {"ZelkoDriver.exe", ""},
      {"ZelkoDriver.exe ", ""},
      {"C:\\Cassa\\ZelkoDriver.exe c:\\out\\RES.OUT", "c:\\out\\RES.OUT"},
      {"ZelkoDriver.exe   \t  c:\\out\\RES.OUT  ", "c:\\out\\RES.OUT  "},
      {"\"C:\\Program Files\\Cassa\\PLUZELKO.exe\" c:\\dati\\plu.txt -LS", "c:\\dati\\plu.txt -LS"},
      {"\"C:\\Program Files\\Cassa\\PLUZELKO.exe\"", ""},
      {"PLUZELKO \"c:\\dati con spazi\\plu.txt\"", "\"c:\\dati con spazi\\plu.txt\""},
      {"\"unterminated quote c:\\x", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ArgumentsAfterProgramName(c.commandLine), c.arguments) << c.commandLine;
  }
}

}  // namespace
}  // namespace zelko
