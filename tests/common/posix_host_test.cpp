#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "file_bytes.h"
#include "host_backend.h"
#include "scoped_env.h"
#include "temp_folder.h"
#include "text_file.h"
#include "windows_on_posix.h"

namespace zelko {
namespace {

using testing::EntryCount;
using testing::ReadBytes;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteBytes;

class PosixHostTest : public ::testing::Test {
 protected:
  std::unique_ptr<HostServices> MakeHost(std::vector<std::string> args = {"ZelkoDriver"}) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    return MakeHostServices(static_cast<int>(argv.size()), argv.data());
  }
  std::string Drive(const std::string& rest) const { return root_.File("c/" + rest); }
  // A file on drive C: made behind the host's back.
  void Put(const std::string& rest, const std::string& bytes) const {
    WriteBytes(Drive(rest), bytes);
  }

  static bool Write(const HostServices& host, const std::string& path, const std::string& bytes,
                    HostServices::CreateMode mode = HostServices::CreateMode::Truncate) {
    const auto sink = host.Create(path, mode);
    return sink && sink->Write(bytes) && sink->Commit();
  }

  TempFolder root_;
  ScopedEnv rootVariable_{"ZELKO_ROOT", root_.Path()};
};

TEST_F(PosixHostTest, DriveFolderIsCreatedOnFirstUse) {
  const auto host = MakeHost();
  EXPECT_TRUE(Write(*host, "C:\\SCONTRINO.OUT", "0000\r\nOK\r\n"));
  EXPECT_EQ(ReadBytes(Drive("SCONTRINO.OUT")), "0000\r\nOK\r\n");
}

TEST_F(PosixHostTest, OtherMissingFoldersAreNotCreated) {
  const auto host = MakeHost();
  EXPECT_EQ(host->Create("c:\\nofolder\\x.txt", HostServices::CreateMode::Truncate), nullptr);
  EXPECT_EQ(host->Create("c:\\nofolder\\x.txt", HostServices::CreateMode::AtomicReplace), nullptr);
  EXPECT_FALSE(std::filesystem::exists(Drive("nofolder")));
}

TEST_F(PosixHostTest, NamesAreFoundIgnoringCase) {
  const auto host = MakeHost();
  Put("Dati/Scontrino.INP", "COM1\r\n");
  const auto source = host->OpenRead("c:\\DATI\\scontrino.inp");
  ASSERT_NE(source, nullptr);
  TextReader reader(host->OpenRead("c:\\dati\\SCONTRINO.inp"));
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "COM1");
}

TEST_F(PosixHostTest, CreateReplacesACaseInsensitiveMatch) {
  const auto host = MakeHost();
  Put("SCONTRINO.OUT", "old");
  EXPECT_TRUE(Write(*host, "c:\\Scontrino.out", "new"));
  EXPECT_TRUE(Write(*host, "c:\\scontrino.OUT", "newer", HostServices::CreateMode::AtomicReplace));
  EXPECT_EQ(ReadBytes(Drive("SCONTRINO.OUT")), "newer");
  EXPECT_EQ(EntryCount(Drive("")), 1u);
}

TEST_F(PosixHostTest, CreateUsesTheNameAsWrittenWhenNothingMatches) {
  const auto host = MakeHost();
  EXPECT_TRUE(Write(*host, "c:\\JQTZelkoData.OUT", "x"));
  EXPECT_TRUE(std::filesystem::exists(Drive("JQTZelkoData.OUT")));
}

TEST_F(PosixHostTest, PathsWithoutDriveKeepTheirMeaning) {
  const auto host = MakeHost();
  TempFolder elsewhere;
  WriteBytes(elsewhere.File("config.cmd"), "port=1");
  EXPECT_TRUE(host->IsOrdinaryFile(elsewhere.File("CONFIG.CMD")));
  EXPECT_TRUE(Write(*host, elsewhere.Path() + "\\out.txt", "x"));
  EXPECT_EQ(ReadBytes(elsewhere.File("out.txt")), "x");
  EXPECT_FALSE(std::filesystem::exists(root_.File("c")));
}

TEST_F(PosixHostTest, OrdinaryFileIsARegularFileThatIsNotHidden) {
  const auto host = MakeHost();
  std::filesystem::create_directories(Drive("folder"));
  Put("file.txt", "");
  Put(".hidden", "");
  EXPECT_TRUE(host->IsOrdinaryFile("c:\\file.txt"));
  EXPECT_TRUE(host->IsOrdinaryFile("C:\\FILE.TXT"));
  EXPECT_FALSE(host->IsOrdinaryFile("c:\\.hidden"));
  EXPECT_FALSE(host->IsOrdinaryFile("c:\\folder"));
  EXPECT_FALSE(host->IsOrdinaryFile("c:\\missing.txt"));
  EXPECT_FALSE(host->IsOrdinaryFile(""));
}

TEST_F(PosixHostTest, OpenReadGivesNullForMissingFilesAndFolders) {
  const auto host = MakeHost();
  std::filesystem::create_directories(Drive("folder"));
  EXPECT_EQ(host->OpenRead("c:\\missing.txt"), nullptr);
  EXPECT_EQ(host->OpenRead("c:\\folder"), nullptr);
}

TEST_F(PosixHostTest, ReadErrorShowsInFailed) {
  if (::access("/proc/self/mem", R_OK) != 0) GTEST_SKIP() << "no /proc/self/mem";
  const auto host = MakeHost();
  const auto source = host->OpenRead("/proc/self/mem");  // reading at offset 0 fails with EIO
  ASSERT_NE(source, nullptr);
  char buffer[16];
  EXPECT_EQ(source->Read(buffer, sizeof buffer), 0u);
  EXPECT_TRUE(source->Failed());
}

TEST_F(PosixHostTest, AtomicReplaceLeavesTheTargetAloneUntilCommit) {
  const auto host = MakeHost();
  Put("target.txt", "old");
  auto sink = host->Create("c:\\target.txt", HostServices::CreateMode::AtomicReplace);
  ASSERT_NE(sink, nullptr);
  EXPECT_TRUE(sink->Write("new"));
  EXPECT_EQ(ReadBytes(Drive("target.txt")), "old");
  EXPECT_TRUE(sink->Commit());
  sink.reset();
  EXPECT_EQ(ReadBytes(Drive("target.txt")), "new");
  EXPECT_EQ(EntryCount(Drive("")), 1u);
}

// Dropped without Commit(): an atomic replacement leaves the target as it
// was (and no temporary); a truncating write keeps what it wrote.
TEST_F(PosixHostTest, WriteAbandonedWithoutCommit) {
  const auto host = MakeHost();
  for (const auto& [mode, expected] : {std::pair{HostServices::CreateMode::AtomicReplace, "a longer old content"},
                                       std::pair{HostServices::CreateMode::Truncate, "half"}}) {
    Put("target.txt", "a longer old content");
    {
      const auto sink = host->Create("c:\\target.txt", mode);
      ASSERT_NE(sink, nullptr);
      EXPECT_TRUE(sink->Write("half"));
    }
    EXPECT_EQ(ReadBytes(Drive("target.txt")), expected);
    EXPECT_EQ(EntryCount(Drive("")), 1u);
  }
}

TEST_F(PosixHostTest, CommandLineTextJoinsTheArguments) {
  EXPECT_EQ(MakeHost({"ZelkoDriver", "c:\\out dir\\r.out", "x"})->CommandLineText(), "c:\\out dir\\r.out x");
  EXPECT_EQ(MakeHost({"ZelkoDriver"})->CommandLineText(), "");
}

TEST_F(PosixHostTest, OwnFolderIsTheFolderOfTheExecutable) {
  const std::string folder = MakeHost()->OwnFolder();
  const std::string executable = std::filesystem::read_symlink("/proc/self/exe").string();
  EXPECT_EQ(folder, std::filesystem::path(executable).parent_path().string());
  EXPECT_NE(folder.back(), '/');
}

TEST_F(PosixHostTest, EnvironmentEntriesComeAsNameEqualsValue) {
  ScopedEnv marker("ZELKO_TEST_MARK", "a=b c");
  const auto entries = MakeHost()->EnvironmentEntries();
  EXPECT_NE(std::find(entries.begin(), entries.end(), "ZELKO_TEST_MARK=a=b c"), entries.end());
  EXPECT_NE(std::find(entries.begin(), entries.end(), "ZELKO_ROOT=" + root_.Path()), entries.end());
}

TEST_F(PosixHostTest, WindowsVersionComesFromTheEnvironment) {
  {
    ScopedEnv version("ZELKO_WINDOWS_VERSION", "2.6.1.7601");
    const auto numbers = MakeHost()->WindowsVersionNumbers();
    ASSERT_TRUE(numbers.has_value());
    EXPECT_EQ(numbers->platformId, 2u);
    EXPECT_EQ(numbers->major, 6u);
    EXPECT_EQ(numbers->minor, 1u);
    EXPECT_EQ(numbers->build, 7601u);
  }
  ScopedEnv unset("ZELKO_WINDOWS_VERSION", std::nullopt);
  EXPECT_FALSE(MakeHost()->WindowsVersionNumbers().has_value());
}

class ParseWindowsVersionTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ParseWindowsVersionTest, AnythingButFourNumbersIsEmpty) {
  EXPECT_FALSE(ParseWindowsVersion(GetParam()).has_value()) << '"' << GetParam() << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, ParseWindowsVersionTest,
                         ::testing::Values("", "2.5.1", "2.5.1.2600.1", "2.5.1.x", " 2.5.1.2600", "2.5.1.2600 ",
                                           "+2.5.1.2600", "2.-5.1.2600", "2..1.2600", "2.5.1.", ".2.5.1.2600",
                                           "2,5,1,2600", "4294967296.0.0.0", "XP"));

TEST(ParseWindowsVersion, ReadsFourNumbers) {
  const auto xp = ParseWindowsVersion("2.5.1.2600");
  ASSERT_TRUE(xp.has_value());
  EXPECT_EQ(xp->major, 5u);
  EXPECT_EQ(xp->minor, 1u);
  const auto largest = ParseWindowsVersion("4294967295.0.00.0");
  ASSERT_TRUE(largest.has_value());
  EXPECT_EQ(largest->platformId, 4294967295u);
}

}  // namespace
}  // namespace zelko
