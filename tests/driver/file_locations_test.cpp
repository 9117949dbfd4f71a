#include "file_locations.h"

#include <gtest/gtest.h>

namespace zelko {
namespace {

struct LocationCase {
  const char* host;
  bool commandFileExists;
  std::vector<std::string> environment;
  FileLocations expected;
};

class FileLocationTable : public ::testing::TestWithParam<LocationCase> {};

TEST_P(FileLocationTable, PlacesTheThreeFiles) {
  const LocationCase& c = GetParam();
  const FileLocations got = LocateFilesFor(c.host, c.commandFileExists, "d:\\app", c.environment);
  EXPECT_EQ(got.commandFilePath, c.expected.commandFilePath);
  EXPECT_EQ(got.resultFilePath, c.expected.resultFilePath);
  EXPECT_EQ(got.dataFilePath, c.expected.dataFilePath);
}

const std::vector<std::string> kProfile = {"PATH=c:\\windows", "USERPROFILE=c:\\Users\\anna", "TEMP=c:\\t"};
const FileLocations kDefaults = {"c:\\SCONTRINO.INP", "c:\\SCONTRINO.OUT", "c:\\JQTZelkoData.OUT"};
const FileLocations kInProfile = {"c:\\Users\\anna\\Scontrino.inp", "c:\\Users\\anna\\SCONTRINO.OUT",
                                  "c:\\Users\\anna\\JQTZelkoData.OUT"};
const FileLocations kProfileOutputs = {"c:\\SCONTRINO.INP", "c:\\Users\\anna\\SCONTRINO.OUT",
                                       "c:\\Users\\anna\\JQTZelkoData.OUT"};

INSTANTIATE_TEST_SUITE_P(
    Hosts, FileLocationTable,
    ::testing::Values(
        LocationCase{"XP", true, kProfile, kDefaults},
        LocationCase{"XP", false, kProfile, {"d:\\app\\Scontrino.inp", "c:\\SCONTRINO.OUT", "c:\\JQTZelkoData.OUT"}},
        LocationCase{"VISTA", true, kProfile, kProfileOutputs}, LocationCase{"SEVEN", true, kProfile, kProfileOutputs},
        LocationCase{"VISTA", false, kProfile, kInProfile}, LocationCase{"SEVEN", false, kProfile, kInProfile},
        // No rule gives a path: the places of "XP" without its command-file fallback.
        LocationCase{"SEVEN", false, {"PATH=x"}, kDefaults}, LocationCase{"SEVEN", true, {}, kDefaults},
        LocationCase{"2000", false, kProfile, kDefaults}, LocationCase{"", true, kProfile, kDefaults},
        LocationCase{"Failed", false, kProfile, kDefaults},
        // The scan stops at the first empty entry.
        LocationCase{"SEVEN", false, {"A=1", "", "USERPROFILE=c:\\late"}, kDefaults},
        // The key is case-sensitive; the folder is taken unchanged from the 13th character.
        LocationCase{"VISTA", false, {"userprofile=c:\\low"}, kDefaults},
        LocationCase{"VISTA", true, {"USERPROFILE=c:\\Users\\b\\"},
                     {"c:\\SCONTRINO.INP", "c:\\Users\\b\\\\SCONTRINO.OUT", "c:\\Users\\b\\\\JQTZelkoData.OUT"}},
        // Every matching entry is applied; the last one wins.
        LocationCase{"SEVEN", false, {"USERPROFILE=c:\\first", "USERPROFILE=c:\\Users\\anna"}, kInProfile}));

struct CommandLineCase {
  const char* commandLine;
  const char* resultPath;
};

class ResultPathFromCommandLineTable : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(ResultPathFromCommandLineTable, TakesTheTrimmedUnquotedPath) {
  EXPECT_EQ(ResultPathFromCommandLine(GetParam().commandLine), GetParam().resultPath);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ResultPathFromCommandLineTable,
    ::testing::Values(CommandLineCase{"", ""}, CommandLineCase{"    ", ""},
                      CommandLineCase{"  d:\\out\\r.out  ", "d:\\out\\r.out"},
                      CommandLineCase{"\"d:\\my dir\\r.out\"", "d:\\my dir\\r.out"},
                      CommandLineCase{"  \"d:\\a b\\r.out\" ", "d:\\a b\\r.out"},
                      CommandLineCase{"\"\"d:\\x\"\"", "\"d:\\x\""}, CommandLineCase{"\"d:\\x", "\"d:\\x"},
                      CommandLineCase{"d:\\x\"", "d:\\x\""}, CommandLineCase{"\"\"", ""},
                      CommandLineCase{"\t d:\\tab", "\t d:\\tab"}));

}  // namespace
}  // namespace zelko
