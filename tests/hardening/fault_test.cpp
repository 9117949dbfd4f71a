// Faults met at a till, end to end: a register that stops answering or drops
// the line, files that cannot be written or read, and unusual command lines.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "hardening_test.h"
#include "tcp_server.h"
#include "text.h"

namespace zelko::hardening {
namespace {

using namespace std::string_literals;

const std::vector<std::string> kReceipt = {"=T1/$100", "=T2/$200", "=T3/$300", "=S"};

// Every file name under the folder, walked recursively, relative to it.
std::vector<std::string> FilesUnder(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    names.push_back(std::filesystem::relative(entry.path(), folder).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct SilentCase {
  const char* name;
  const char* scenario;  // nullptr: a listener that never accepts the connection
  int timeouts;          // operations that wait the whole timeout in vain
  int exitStatus;
  const char* result;
};

// Every operation waits the whole timeout; only the closing of the port right
// after one that timed out waits briefly. So a run on a register that falls
// silent takes one timeout for each operation whose result the run does not
// test, up to and including the first one it does.
TEST_F(HardeningTest, SilentRegisterEndsTheRunAfterOneTimeoutPerOperationWaitedOn) {
  const SilentCase cases[] = {
      // ClosePort, HighSpeed, OpenPort, "=K", then the status query fails the run.
      {"never answers", nullptr, 5, 1, "112\r\nZELKO NON Disponibile!\r\n"},
      {"silent from the reset", "on prefix =K delay 30000", 2, 1, "112\r\nZELKO NON Disponibile!\r\n"},
      {"silent in the receipt", "on prefix =T2 delay 30000", 1, 1,
       "112\r\nCOMANDO scontrino NON Eseguito!  Linea: 0005 Comando: =T2/$200\r\n"},
      // Every command was taken: the receipt is done, and only its closing status is missing.
      {"silent at the closing status", "on query 4 delay 30000", 1, 0, "\r\nOK\r\n"},
  };
  constexpr auto kTimeout = 1000ms;
  for (const SilentCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteReceipt(kReceipt);
    std::string error;
    const auto listener = emulator::TcpServer::Listen("127.0.0.1", "0", error);
    std::unique_ptr<RunningEmulator> emulator;
    if (c.scenario) emulator = StartEmulator(c.scenario);
    const std::string port = emulator ? emulator->Port() : std::to_string(listener->Port());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(StartDriver(port, "driver.out", std::to_string(kTimeout.count()))->Wait(30s), c.exitStatus)
        << DriverOutput();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, c.timeouts * kTimeout);
    EXPECT_LT(took, c.timeouts * kTimeout + 1000ms) << "the closing of the port waits briefly";
    EXPECT_EQ(Result(), c.result);
  }
}

struct DropCase {
  const char* name;
  std::vector<std::string> receipt;
  const char* dropAt;
  const char* result;
};

TEST_F(HardeningTest, ConnectionDroppedInTheReceiptNamesTheLineAndSendsNothingAfterIt) {
  const DropCase cases[] = {
      {"first line", kReceipt, "=T1", "107\r\nCOMANDO scontrino NON Eseguito!  Linea: 0004 Comando: =T1/$100\r\n"},
      {"middle line kept untrimmed", {"=T1/$100", "  =T2/$200 ", "=T3/$300", "=S"}, "=T2",
       "107\r\nCOMANDO scontrino NON Eseguito!  Linea: 0005 Comando:   =T2/$200 \r\n"},
      {"last line", kReceipt, "=S", "107\r\nCOMANDO scontrino NON Eseguito!  Linea: 0007 Comando: =S\r\n"},
  };
  for (const DropCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(folder_.File("journal.txt"));
    WriteReceipt(c.receipt);
    auto emulator = StartEmulator(std::string("on prefix ") + c.dropAt + " drop");
    EXPECT_EQ(StartDriver(emulator->Port())->Wait(30s), 1) << DriverOutput();
    EXPECT_EQ(Result(), c.result);
    EXPECT_EQ(emulator->Stop(), 0);
    const std::string journal = Journal();
    const std::size_t dropped = journal.find("\tconnection dropped\n");
    ASSERT_NE(dropped, std::string::npos) << journal;
    // After the drop only the failure report's closing of the port reaches the register.
    EXPECT_EQ(journal.substr(journal.find('\n', dropped) + 1), "ClosePort\t\t0\n") << journal;
  }
}

struct UnwritableResultCase {
  const char* name;
  void (*prepare)(const TempFolder&);
  const char* resultPath;  // the command-line argument
};

TEST_F(HardeningTest, UnwritableResultGivesExitStatusTwoAStderrLineAndNoFileLeft) {
  const UnwritableResultCase cases[] = {
      {"folder missing", [](const TempFolder&) {}, "c:\\missing\\r.out"},
      {"a path component is a file", [](const TempFolder& f) { f.Write("root/c/plain", "x"); }, "c:\\plain\\r.out"},
      {"the result path is a folder",
       [](const TempFolder& f) { std::filesystem::create_directories(f.File("root/c/r.out")); }, "c:\\r.out"},
  };
  for (const UnwritableResultCase& c : cases) {
    for (const bool failing : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (failing ? ", failed run" : ", successful run"));
      std::filesystem::remove_all(folder_.File("root"));
      std::filesystem::create_directories(folder_.File("root/c"));
      c.prepare(folder_);
      WriteReceipt({"=T1/$100", "=S"});
      const std::vector<std::string> before = FilesUnder(folder_.File("root/c"));
      EXPECT_EQ(RunDriverInProcess(failing ? "on prefix =S fail 111" : "", {c.resultPath}), 2);
      EXPECT_EQ(DriverOutput(), std::string("ZelkoDriver: the result file \"") + c.resultPath + "\" could not be written\n");
      EXPECT_EQ(FilesUnder(folder_.File("root/c")), before);
      std::filesystem::remove(folder_.File("driver.out"));
    }
  }
}

TEST_F(HardeningTest, SettingsFileThatIsAFolderIsLeftAloneAndTheRunGoesOn) {
  std::filesystem::create_directories(folder_.File("root/settings.ini"));
  WriteReceipt({"=S"});
  EXPECT_EQ(RunDriverInProcess(""), 0) << DriverOutput();
  EXPECT_EQ(Result().substr(4), "\r\nOK\r\n");
  EXPECT_TRUE(std::filesystem::is_directory(folder_.File("root/settings.ini")));
  EXPECT_TRUE(std::filesystem::is_empty(folder_.File("root/settings.ini")));
  EXPECT_NE(Root("emulator/journal.txt").find("SendCommand\t=D1/(  ZELKO  Collegato )\t0\n"), std::string::npos);
}

TEST_F(HardeningTest, GarbageInTheSettingsFileIsKeptAndTheReadableValuesAreUsed) {
  const std::string garbage = "\xff\xfe\0\x01 binary\r\n=\n[[\n"s;
  folder_.Write("root/settings.ini", garbage + "[JQT SPA\\ZELKO]\nMessaggio=Buongiorno\n\x80\x90=\x7f\n");
  WriteReceipt({"=S"});
  EXPECT_EQ(RunDriverInProcess(""), 0) << DriverOutput();
  EXPECT_NE(Root("emulator/journal.txt").find("SendCommand\t=D1/(Buongiorno)\t0\n"), std::string::npos);
  // The two missing keys are added, blank GestioneErrori first as the session set-up does.
  EXPECT_EQ(Root("settings.ini"), garbage +
                                      "[JQT SPA\\ZELKO]\nMessaggio=Buongiorno\n\x80\x90=\x7f\n"
                                      "GestioneErrori=S\nControlloTransazione=S\n");
}

TEST_F(HardeningTest, DataFileThatIsAFolderEndsTheRunOkWithOneStderrLine) {
  std::filesystem::create_directories(folder_.File("root/c/JQTZelkoData.OUT"));
  WriteReceipt({"=T1/$100", "=S"});
  EXPECT_EQ(RunDriverInProcess("on prefix =T1 data Totale\non prefix =S data Grazie\n"), 0);
  EXPECT_EQ(Result().substr(4), "\r\nOK\r\n");
  const std::string output = DriverOutput();
  EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
  EXPECT_NE(output.find("JQTZelkoData.OUT"), std::string::npos) << output;
}

// A scenario path that is no readable file (a folder, a FIFO) ends both
// emulators with a clear error: the built-in one leaves the register absent,
// so the run ends with a failure result, never an earlier run's "OK".
TEST_F(HardeningTest, ScenarioThatIsNoFileIsAClearErrorNotAStaleOk) {
  std::filesystem::create_directories(folder_.File("folder"));
  ::mkfifo(folder_.File("fifo").c_str(), 0600);
  WriteReceipt({"=T1/$100", "=S"});
  for (const char* name : {"folder", "fifo"}) {
    SCOPED_TRACE(name);
    const std::string scenario = folder_.File(name);
    folder_.Write("root/c/SCONTRINO.OUT", "0000\r\nOK\r\n");
    const auto driver = ChildProcess::Start(ZELKO_DRIVER_PATH, {},
                                            {{"ZELKO_ROOT", folder_.File("root")},
                                             {"ZELKO_CONTROL", "emulator"},
                                             {"ZELKO_EMULATOR_SCENARIO", scenario},
                                             {"ZELKO_OPERATOR", "unattended"}},
                                            folder_.File("driver.out"));
    EXPECT_EQ(driver->Wait(30s), 1) << DriverOutput();
    EXPECT_EQ(Result(), "107\r\nZELKO NON Collegato!\r\n");
    EXPECT_NE(DriverOutput().find("cannot read the scenario file " + scenario), std::string::npos) << DriverOutput();

    const auto emulator = ChildProcess::Start(ZELKO_EMULATOR_PATH, {"--listen", "127.0.0.1:0", "--scenario", scenario},
                                              {}, folder_.File(std::string(name) + ".out"));
    EXPECT_EQ(emulator->Wait(30s), 2);
    EXPECT_EQ(folder_.Read(std::string(name) + ".out"), "ZelkoEmulator: cannot read the scenario file " + scenario + "\n");
  }
}

// Command lines reach the register byte for byte: the journal holds them
// escaped, one line each.
TEST_F(HardeningTest, CommandLinesPassThroughUnchanged) {
  std::string everyByte;
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != '\r' && byte != ' ') everyByte += static_cast<char>(byte);
  }
  std::string megabyte(1024 * 1024, 'A');
  // Every other byte 8-bit: on the wire the line takes half as much again.
  for (std::size_t i = 0; i < megabyte.size(); i += 2) megabyte[i] = static_cast<char>(0x80 + i % 128);
  const std::vector<std::string> commands = {"=T1/\0NUL\0/$100"s, everyByte, megabyte, "=S"};
  WriteReceipt(commands);
  auto emulator = StartEmulator("");
  EXPECT_EQ(StartDriver(emulator->Port())->Wait(60s), 0) << DriverOutput();
  EXPECT_TRUE(Result().ends_with("\r\nOK\r\n")) << Result().substr(0, 80);
  EXPECT_EQ(emulator->Stop(), 0);
  const std::string journal = Journal();
  for (const std::string& command : commands) {
    EXPECT_NE(journal.find("SendCommand\t" + EscapeForLog(command) + "\t0\n"), std::string::npos)
        << command.substr(0, 40);
  }
}

}  // namespace
}  // namespace zelko::hardening
