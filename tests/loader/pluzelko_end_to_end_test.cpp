// Runs the built PLUZELKO from a temporary folder that holds its config.cmd,
// with its drives under a temporary ZELKO_ROOT.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "article_files.h"
#include "pluzelko_folders.h"
#include "file_bytes.h"

namespace zelko {
namespace {

using testing::PluzelkoFolders;
using testing::CommandFile;
using testing::kWorkedExampleCommand;
using testing::kWorkedExampleRecord;
using testing::WorkedExampleLine;

struct EndToEndCase {
  const char* name;
  std::optional<std::string> config;            // config.cmd beside the program, when given
  std::map<std::string, std::string> dataFiles;  // name in the data folder -> bytes
  std::vector<std::string> arguments;
  int exitStatus;
  std::optional<std::string> commandFile;  // C:\Scontrino.inp afterwards
  std::optional<std::string> recordFile;   // C:\ZELKOPLU.TXT afterwards
  friend void PrintTo(const EndToEndCase& c, std::ostream* os) { *os << c.name; }
};

class PluzelkoEndToEndTest : public ::testing::TestWithParam<EndToEndCase> {};

TEST_P(PluzelkoEndToEndTest, ExitsAndWrites) {
  const EndToEndCase& c = GetParam();
  PluzelkoFolders folders;
  if (c.config) testing::WriteBytes(folders.program() + "/config.cmd", *c.config);
  for (const auto& [name, bytes] : c.dataFiles) testing::WriteBytes(folders.data() + "/" + name, bytes);
  EXPECT_EQ(folders.Run(c.arguments).exitStatus, c.exitStatus);
  EXPECT_EQ(folders.DriveFile("Scontrino.inp"), c.commandFile);
  EXPECT_EQ(folders.DriveFile("ZELKOPLU.TXT"), c.recordFile);
}

const std::map<std::string, std::string> kArticles = {{"art.txt", WorkedExampleLine() + "\r\n"}};
const std::string kBody = CommandFile({kWorkedExampleCommand});

INSTANTIATE_TEST_SUITE_P(
    StartUp, PluzelkoEndToEndTest,
    ::testing::Values(
        EndToEndCase{"Converts", "", kArticles, {"{data}/art.txt"}, 0, kBody, std::nullopt},
        EndToEndCase{"RecordFile", "port=4", kArticles, {"{data}/art.txt", "-cf"}, 0, std::nullopt,
                     kWorkedExampleRecord + "\r\n"},
        EndToEndCase{"NoCommandLine", "", kArticles, {}, 254, std::nullopt, std::nullopt},
        EndToEndCase{"NoCommandLineNoConfig", std::nullopt, kArticles, {}, 254, std::nullopt, std::nullopt},
        EndToEndCase{"OnlySwitches", "", kArticles, {"-CF", "-ls"}, 254, std::nullopt, std::nullopt},
        EndToEndCase{"BothFilesMissing", std::nullopt, {}, {"{data}/art.txt"}, 255, std::nullopt, std::nullopt},
        EndToEndCase{"ConfigMissing", std::nullopt, kArticles, {"{data}/art.txt"}, 255, std::nullopt, std::nullopt},
        EndToEndCase{"ArticleMissing", "", {}, {"{data}/art.txt"}, 254, std::nullopt, std::nullopt},
        EndToEndCase{"QuotedPath", "", kArticles, {"\"{data}/art.txt\""}, 254, std::nullopt, std::nullopt},
        EndToEndCase{"HiddenArticleFile", "", {{".art.txt", WorkedExampleLine()}}, {"{data}/.art.txt"}, 254,
                     std::nullopt, std::nullopt},
        EndToEndCase{"SwitchInsidePath", "", {{"dati-ls", ""}}, {"{data}/dati-ls"}, 254, std::nullopt, std::nullopt},
        EndToEndCase{"SwitchUpperCasesThePath", "", kArticles, {"{data}/art.txt", "-ls"}, 0,
                     CommandFile({kWorkedExampleCommand}, "1", "9600,n,8,1"), std::nullopt},
        EndToEndCase{"BothSpeedSwitches", "", kArticles, {"-hs", "{data}/art.txt", "-LS"}, 0, kBody, std::nullopt},
        EndToEndCase{"KeysInCapitalsWithSpaces", " PORT = 3 \r\n BAUD = 19200 \r\n", kArticles, {"{data}/art.txt"}, 0,
                     CommandFile({kWorkedExampleCommand}, "3", "19200,n,8,1"), std::nullopt},
        EndToEndCase{"SecondEquals", "baud=19200=x\r\nport=COM2\r\n", kArticles, {"{data}/art.txt", "-ls"}, 0,
                     CommandFile({kWorkedExampleCommand}, "1", "19200,n,8,1"), std::nullopt},
        EndToEndCase{"EmptyParityAndHalves", "parity=\rdatabit=7,5\rstopbit=2.5\rbaud=9600.25", kArticles,
                     {"{data}/art.txt"}, 0, CommandFile({kWorkedExampleCommand}, "1", "9600.25,,8,2"), std::nullopt},
        EndToEndCase{"Overflow", "port=40000\r\n", kArticles, {"{data}/art.txt"}, 6, std::nullopt, std::nullopt},
        EndToEndCase{"LoneLineFeedConfig", "port=3\nbaud=9600\n", kArticles, {"{data}/art.txt"}, 0, kBody,
                     std::nullopt},
        EndToEndCase{"LoneLineFeedArticles", "", {{"art.txt", WorkedExampleLine() + "\n" + WorkedExampleLine()}},
                     {"{data}/art.txt"}, 0, kBody, std::nullopt},
        EndToEndCase{"NoArticleLine", "", {{"art.txt", "short\r\n"}}, {"{data}/art.txt"}, 9,
                     "1\r\n115200,n,8,1\r\n", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PluzelkoEndToEndTest, ConfigThatIsAFolderIsMissing) {
  PluzelkoFolders folders;
  std::filesystem::create_directory(folders.program() + "/config.cmd");
  testing::WriteBytes(folders.data() + "/art.txt", WorkedExampleLine());
  EXPECT_EQ(folders.Run({"{data}/art.txt"}).exitStatus, 255);
}

TEST(PluzelkoEndToEndTest, ReplacesAnOutputWhoseNameDiffersInCase) {
  PluzelkoFolders folders;
  testing::WriteBytes(folders.program() + "/config.cmd", "");
  testing::WriteBytes(folders.data() + "/art.txt", WorkedExampleLine());
  std::filesystem::create_directories(folders.drive());
  testing::WriteBytes(folders.drive() + "/SCONTRINO.INP", std::string(5000, 'x'));
  EXPECT_EQ(folders.Run({"{data}/art.txt"}).exitStatus, 0);
  EXPECT_EQ(folders.DriveFile("SCONTRINO.INP"), kBody);
  // The output alone: no second output, and no lock file beside it.
  EXPECT_EQ(testing::EntryCount(folders.drive()), 1u);
}

// An article file that is the output file, by whatever name, is refused
// with its own exit code before anything is written: the input is kept.
TEST(PluzelkoEndToEndTest, ArticleFileThatIsTheOutputIsRefusedAndKept) {
  const struct {
    const char* name;
    const char* output;  // on drive C:
    std::function<std::string(const PluzelkoFolders&)> argument;
  } cases[] = {
      {"the output's own name", "Scontrino.inp", [](const PluzelkoFolders&) { return "C:\\Scontrino.inp"; }},
      {"another case", "Scontrino.inp", [](const PluzelkoFolders&) { return "c:\\SCONTRINO.INP"; }},
      {"the host's path", "Scontrino.inp", [](const PluzelkoFolders& f) { return f.drive() + "/Scontrino.inp"; }},
      {"a symbolic link", "Scontrino.inp",
       [](const PluzelkoFolders& f) {
         std::filesystem::create_symlink(f.drive() + "/Scontrino.inp", f.data() + "/link.txt");
         return f.data() + "/link.txt";
       }},
      {"a hard link", "Scontrino.inp",
       [](const PluzelkoFolders& f) {
         std::filesystem::create_hard_link(f.drive() + "/Scontrino.inp", f.data() + "/hard.txt");
         return f.data() + "/hard.txt";
       }},
      {"the record file", "ZELKOPLU.TXT", [](const PluzelkoFolders&) { return "C:\\ZELKOPLU.TXT -CF"; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PluzelkoFolders folders;
    testing::WriteBytes(folders.program() + "/config.cmd", "");
    std::filesystem::create_directories(folders.drive());
    testing::WriteBytes(folders.drive() + "/" + c.output, WorkedExampleLine());
    EXPECT_EQ(folders.Run({c.argument(folders)}).exitStatus, 58);
    EXPECT_EQ(folders.DriveFile(c.output), WorkedExampleLine());
  }

  PluzelkoFolders folders;  // a copy is another file
  testing::WriteBytes(folders.program() + "/config.cmd", "");
  std::filesystem::create_directories(folders.drive());
  testing::WriteBytes(folders.drive() + "/Scontrino.inp", WorkedExampleLine());
  std::filesystem::copy_file(folders.drive() + "/Scontrino.inp", folders.data() + "/copy.txt");
  EXPECT_EQ(folders.Run({folders.data() + "/copy.txt"}).exitStatus, 0);
  EXPECT_EQ(folders.DriveFile("Scontrino.inp"), kBody);
}

}  // namespace
}  // namespace zelko
