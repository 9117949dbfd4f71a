#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "article_files.h"
#include "loader_settings.h"
#include "loader_settings.h"
#include "loader_failure.h"
#include "memory_host.h"
#include "run_loader.h"

namespace zelko {
namespace {

// A loader run whose diagnostics nobody reads.
std::int32_t RunWithoutDiagnostics(const HostServices& host) {
  std::ostringstream diagnostics;
  return RunLoader(host, diagnostics);
}

using testing::MemoryHost;

constexpr const char* kLoaderFolder = "C:\\LOADER";

struct SwitchCase {
  const char* commandLine;
  const char* articlePath;
  bool recordFileMode;
  double baud;
};

class SettingsFromCommandLineTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SettingsFromCommandLineTest, TakesSwitchesAndPath) {
  const LoaderSettings settings = SettingsFromCommandLine(GetParam().commandLine);
  EXPECT_EQ(settings.articlePath, GetParam().articlePath);
  EXPECT_EQ(settings.recordFileMode, GetParam().recordFileMode);
  EXPECT_EQ(settings.baud, GetParam().baud);
  EXPECT_EQ(settings.port, 1);
  EXPECT_EQ(settings.parity, "n");
  EXPECT_EQ(settings.databit, 8);
  EXPECT_EQ(settings.stopbit, 1);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SettingsFromCommandLineTest,
    ::testing::Values(
        SwitchCase{"", "", false, 115200}, SwitchCase{"   ", "", false, 115200},
        SwitchCase{"-CF -LS -HS", "", true, 115200},
        SwitchCase{"c:\\Dati\\Art.txt", "c:\\Dati\\Art.txt", false, 115200},     // no switch: case kept
        SwitchCase{"  c:\\My Dati\\Art.txt  ", "c:\\My Dati\\Art.txt", false, 115200},  // inner spaces kept
        SwitchCase{"\"c:\\Dati\\Art.txt\"", "\"c:\\Dati\\Art.txt\"", false, 115200},  // quotes kept
        SwitchCase{"c:\\Dati\\Art.txt -ls", "C:\\DATI\\ART.TXT", false, 9600},
        SwitchCase{"c:\\Dati\\Art.txt -Cf", "C:\\DATI\\ART.TXT", true, 115200},
        SwitchCase{"-LS c:\\Art.txt -HS", "C:\\ART.TXT", false, 115200},
        SwitchCase{"-hs c:\\Art.txt -ls", "C:\\ART.TXT", false, 115200},
        SwitchCase{"c:\\Dati-LS\\Art.txt", "C:\\DATI\\ART.TXT", false, 9600},  // inside the path
        SwitchCase{"c:\\Art.txt\t-cf-ls", "C:\\ART.TXT\t", true, 9600},        // tabs are not trimmed
        SwitchCase{"c:\\A--CFLS.txt", "C:\\A.TXT", true, 9600}));              // cutting one makes another

struct ConfigCase {
  const char* name;
  std::vector<std::string> lines;
  std::string speedLine;  // baud,parity,databit,stopbit after applying the lines
  std::int16_t port;
  friend void PrintTo(const ConfigCase& c, std::ostream* os) { *os << c.name; }
};

class ApplyConfigLineTest : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(ApplyConfigLineTest, SetsTheFields) {
  LoaderSettings settings;
  for (const auto& line : GetParam().lines) ApplyConfigLine(line, settings);
  EXPECT_EQ(settings.port, GetParam().port);
  EXPECT_EQ(std::to_string(static_cast<long long>(settings.baud)) + "," + settings.parity + "," +
                std::to_string(settings.databit) + "," + std::to_string(settings.stopbit),
            GetParam().speedLine);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ApplyConfigLineTest,
    ::testing::Values(
        ConfigCase{"Nothing", {}, "115200,n,8,1", 1},
        ConfigCase{"AllKeys", {"port=2", "baud=9600", "parity=e", "databit=7", "stopbit=2"}, "9600,e,7,2", 2},
        ConfigCase{"CapitalsAndSpaces", {"  PORT = 3 ", " Baud =  19200 ", "PARITY = O "}, "19200,O,8,1", 3},
        ConfigCase{"LinesWithoutEqualsSkipped", {"", "   ", "port 4", "rem port=COM1 is the default"}, "115200,n,8,1", 1},
        ConfigCase{"NotNumericSkipped", {"port=5", "port=COM2", "databit=", "stopbit=   ", "baud=fast"}, "115200,n,8,1", 5},
        ConfigCase{"LastValidWins", {"port=5", "port=6", "port=x"}, "115200,n,8,1", 6},
        ConfigCase{"SecondEqualsEndsTheValue", {"baud=19200=x", "port=7=8"}, "19200,n,8,1", 7},
        ConfigCase{"EmptyParity", {"parity="}, "115200,,8,1", 1},
        ConfigCase{"ParityKeepsTabs", {"parity=\tm "}, "115200,\tm,8,1", 1},
        ConfigCase{"HalfToEven", {"databit=7,5", "stopbit=2.5", "port=-3.5"}, "115200,n,8,2", -4},
        ConfigCase{"EightAndAHalfIsEight", {"databit=8,5"}, "115200,n,8,1", 1},
        ConfigCase{"UnknownKeysAndTabbedKeysSkipped", {"speed=1200", "\tport=9", "ports=9"}, "115200,n,8,1", 1},
        ConfigCase{"SixteenBitLimits", {"port=32767", "databit=-32768", "stopbit=32767.4"}, "115200,n,-32768,32767", 32767}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ApplyConfigLineTest, BaudKeepsItsFraction) {
  LoaderSettings settings;
  ApplyConfigLine("baud=1200,75", settings);
  EXPECT_EQ(settings.baud, 1200.75);
}

class ConfigOverflowTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ConfigOverflowTest, EndsWithOverflow) {
  LoaderSettings settings;
  try {
    ApplyConfigLine(GetParam(), settings);
    FAIL() << "no failure for " << GetParam();
  } catch (const LoaderFailure& failure) {
    EXPECT_EQ(failure.number, failure::kOverflow);
  }
}

INSTANTIATE_TEST_SUITE_P(Lines, ConfigOverflowTest,
                         ::testing::Values("port=40000", "databit=32767.5", "stopbit=-32768.6", "port=-99999",
                                           "baud=1" "000000000000000000000000000000000000000000000000000000000000"
                                           "0000000000000000000000000000000000000000000000000000000000000000"
                                           "0000000000000000000000000000000000000000000000000000000000000000"
                                           "0000000000000000000000000000000000000000000000000000000000000000"
                                           "0000000000000000000000000000000000000000000000000000000000000000"));

// The whole run against the fake host: exit codes and what reaches the file.
struct RunCase {
  const char* name;
  const char* commandLine;
  bool configExists;
  bool articleExists;
  std::string config;
  std::int32_t exitCode;
  const char* outputHead;  // the first two lines written, or nullptr when no file
  friend void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }
};

class RunLoaderTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunLoaderTest, EndsWithItsExitCode) {
  MemoryHost host{kLoaderFolder};
  host.commandLine = GetParam().commandLine;
  if (GetParam().configExists) host.files["C:\\LOADER\\config.cmd"] = GetParam().config;
  if (GetParam().articleExists) host.files["c:\\art.txt"] = testing::WorkedExampleLine();
  EXPECT_EQ(RunWithoutDiagnostics(host), GetParam().exitCode);
  const auto output = host.File("C:\\Scontrino.inp");
  if (GetParam().outputHead) {
    ASSERT_TRUE(output.has_value());
    EXPECT_EQ(output->substr(0, output->find("\r\n", output->find("\r\n") + 2)), GetParam().outputHead);
  } else {
    EXPECT_FALSE(output.has_value());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunLoaderTest,
    ::testing::Values(
        RunCase{"Converts", "c:\\art.txt", true, true, "", 0, "1\r\n115200,n,8,1"},
        RunCase{"NoCommandLineEvenWithoutConfig", "", false, true, "", -2, nullptr},
        RunCase{"OnlySwitches", "-cf -ls", true, true, "", -2, nullptr},
        RunCase{"ConfigMissingBeforeArticle", "c:\\missing.txt", false, false, "", -1, nullptr},
        RunCase{"ArticleMissing", "c:\\missing.txt", true, false, "", -2, nullptr},
        RunCase{"LowSpeedSwitch", "c:\\art.txt -ls", true, true, "", 0, "1\r\n9600,n,8,1"},
        RunCase{"BaudOverridesSwitches", "c:\\art.txt -ls", true, true, "baud=2400\r\n", 0, "1\r\n2400,n,8,1"},
        RunCase{"ConfigValues", "c:\\art.txt", true, true, "PORT = 3\rparity=\r\ndatabit=7,5", 0, "3\r\n115200,,8,1"},
        RunCase{"LoneLineFeedConfigIsOneLine", "c:\\art.txt", true, true, "port=3\nbaud=9600\n", 0, "1\r\n115200,n,8,1"},
        RunCase{"OverflowBeforeConversion", "c:\\art.txt", true, true, "port=40000", 6, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// A hidden file, a system file or a folder of that name counts as absent.
struct NotOrdinaryCase {
  const char* name;
  const char* path;
  std::int32_t exitCode;
  friend void PrintTo(const NotOrdinaryCase& c, std::ostream* os) { *os << c.name; }
};

class RunLoaderNotOrdinaryTest : public ::testing::TestWithParam<NotOrdinaryCase> {};

TEST_P(RunLoaderNotOrdinaryTest, CountsAsMissing) {
  MemoryHost host{kLoaderFolder};
  host.commandLine = "c:\\art.txt";
  host.files["C:\\LOADER\\CONFIG.CMD"] = "";
  host.files["c:\\art.txt"] = testing::WorkedExampleLine();
  host.MakeNotOrdinary(GetParam().path);
  EXPECT_EQ(RunWithoutDiagnostics(host), GetParam().exitCode);
}

INSTANTIATE_TEST_SUITE_P(Files, RunLoaderNotOrdinaryTest,
                         ::testing::Values(NotOrdinaryCase{"Config", "c:\\loader\\config.cmd", failure::kConfigMissing},
                                           NotOrdinaryCase{"Article", "C:\\ART.TXT", failure::kArticleFileMissing}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PlatformFailureCase {
  const char* name;
  void (*fault)(MemoryHost&);
  std::int32_t exitCode;
  friend void PrintTo(const PlatformFailureCase& c, std::ostream* os) { *os << c.name; }
};

class RunLoaderPlatformFailureTest : public ::testing::TestWithParam<PlatformFailureCase> {};

TEST_P(RunLoaderPlatformFailureTest, EndsWithTheFailureNumber) {
  MemoryHost host{kLoaderFolder};
  host.commandLine = "c:\\art.txt -cf";
  host.files["C:\\LOADER\\config.cmd"] = "port=2\r\n";
  host.files["c:\\art.txt"] = testing::WorkedExampleLine();
  GetParam().fault(host);
  EXPECT_EQ(RunWithoutDiagnostics(host), GetParam().exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RunLoaderPlatformFailureTest,
    ::testing::Values(
        PlatformFailureCase{"ConfigNotOpened", [](MemoryHost& h) { h.FailOpen("c:\\loader\\config.cmd"); },
                            failure::kConfigNotOpened},
        PlatformFailureCase{"ConfigNotRead", [](MemoryHost& h) { h.FailReadAfter("c:\\loader\\config.cmd", 3); },
                            failure::kConfigNotRead},
        PlatformFailureCase{"NoLongLine", [](MemoryHost& h) { h.files["c:\\art.txt"] = "short\r\n"; },
                            failure::kNoArticleLines},
        PlatformFailureCase{"RecordFileNotCreated", [](MemoryHost& h) { h.FailCreate("c:\\zelkoplu.txt"); },
                            failure::kOutputNotCreated},
        PlatformFailureCase{"ArticleNotOpened", [](MemoryHost& h) { h.FailOpen("c:\\art.txt"); },
                            failure::kArticleFileNotOpened},
        PlatformFailureCase{"ArticleNotRead", [](MemoryHost& h) { h.FailReadAfter("c:\\art.txt", 10); },
                            failure::kArticleFileNotRead},
        PlatformFailureCase{"WriteFails", [](MemoryHost& h) { h.FailWriteAfter("c:\\zelkoplu.txt", 3); }, failure::kOutputNotWritten}),
    [](const auto& info) { return std::string(info.param.name); });

// One run at a time per output file, on the lock the driver takes for the
// same command file; a failed start-up locks nothing.
TEST(RunLoaderLockTest, LocksTheOutputFileOfItsMode) {
  MemoryHost host{kLoaderFolder};
  host.files["C:\\LOADER\\config.cmd"] = "";
  host.files["c:\\art.txt"] = testing::WorkedExampleLine();
  std::ostringstream diagnostics;
  for (const char* commandLine : {"c:\\art.txt", "c:\\art.txt -CF", "c:\\missing.txt"}) {
    host.commandLine = commandLine;
    RunLoader(host, diagnostics);
  }
  EXPECT_EQ(host.Locked(), (std::vector<std::string>{"C:\\Scontrino.inp", "C:\\ZELKOPLU.TXT"}));
  EXPECT_EQ(diagnostics.str(), "");
}

TEST(RunLoaderLockTest, RunWithoutItsLockGoesOnAndSaysSo) {
  MemoryHost host{kLoaderFolder};
  host.commandLine = "c:\\art.txt";
  host.files["C:\\LOADER\\config.cmd"] = "";
  host.files["c:\\art.txt"] = testing::WorkedExampleLine();
  host.FailLock("C:\\Scontrino.inp");
  std::ostringstream diagnostics;
  EXPECT_EQ(RunLoader(host, diagnostics), 0);
  EXPECT_TRUE(host.File("C:\\Scontrino.inp").has_value());
  EXPECT_EQ(diagnostics.str(), "the run lock of \"C:\\Scontrino.inp\" cannot be had; running without it\n");
}

// The article file is the output (Windows ignores case): refused before the
// output is touched, after the lock that keeps other runs off it.
TEST(RunLoaderLockTest, ArticleFileThatIsTheOutputIsRefusedUnderTheLock) {
  for (const char* commandLine : {"c:\\SCONTRINO.INP", "C:\\zelkoplu.txt -cf"}) {
    SCOPED_TRACE(commandLine);
    MemoryHost host{kLoaderFolder};
    host.commandLine = commandLine;
    host.files["C:\\LOADER\\config.cmd"] = "";
    host.files["C:\\Scontrino.inp"] = testing::WorkedExampleLine();
    host.files["C:\\ZELKOPLU.TXT"] = testing::WorkedExampleLine();
    EXPECT_EQ(RunWithoutDiagnostics(host), failure::kArticleFileIsOutput);
    EXPECT_EQ(host.File("C:\\Scontrino.inp"), testing::WorkedExampleLine());
    EXPECT_EQ(host.File("C:\\ZELKOPLU.TXT"), testing::WorkedExampleLine());
    EXPECT_EQ(host.Locked().size(), 1u);
  }
}

TEST(FailureNumbersTest, StayDistinctInAnExitStatus) {
  const std::int32_t numbers[] = {0,
                                  failure::kConfigMissing,
                                  failure::kArticleFileMissing,
                                  failure::kOverflow,
                                  failure::kOutOfMemory,
                                  failure::kNoArticleLines,
                                  failure::kArticleFileNotOpened,
                                  failure::kArticleFileNotRead,
                                  failure::kArticleFileIsOutput,
                                  failure::kOutputNotWritten,
                                  failure::kConfigNotOpened,
                                  failure::kConfigNotRead,
                                  failure::kOutputNotCreated};
  std::set<std::uint8_t> statuses;
  for (const auto number : numbers) statuses.insert(static_cast<std::uint8_t>(number));
  EXPECT_EQ(statuses.size(), std::size(numbers));
}

}  // namespace
}  // namespace zelko
