// ZelkoDriver and PLUZELKO run against ZelkoEmulator over loopback, each in a
// temporary ZELKO_ROOT, the way an integrator would run them.
#include <gtest/gtest.h>

#include <filesystem>

#include "running_emulator.h"
#include "tcp_server.h"

namespace zelko::emulator {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::RunningEmulator;
using testing::TempFolder;

const std::string kHeader = "1\r\n115200,n,8,1\r\n";

class EmulatorEndToEndTest : public ::testing::Test {
 protected:
  EmulatorEndToEndTest() { std::filesystem::create_directories(folder_.File("root/c")); }

  void WriteReceipt(const std::vector<std::string>& commands) {
    std::string text = kHeader + std::to_string(commands.size()) + "\r\n";
    for (const std::string& command : commands) text += command + "\r\n";
    folder_.Write("root/c/Scontrino.inp", text);
  }

  std::unique_ptr<RunningEmulator> StartEmulator(const std::string& scenario, std::vector<std::string> arguments = {}) {
    arguments.insert(arguments.end(), {"--scenario", folder_.Write("scenario.txt", scenario), "--journal",
                                       folder_.File("journal.txt")});
    auto emulator = std::make_unique<RunningEmulator>(folder_, arguments);
    EXPECT_NE(emulator->Port(), "") << emulator->Output();
    return emulator;
  }

  std::unique_ptr<ChildProcess> StartDriver(const std::string& port, const std::string& timeoutMs = "5000") {
    return ChildProcess::Start(ZELKO_DRIVER_PATH, {},
                               {{"ZELKO_ROOT", folder_.File("root")},
                                {"ZELKO_CONTROL", "tcp:127.0.0.1:" + port},
                                {"ZELKO_CONTROL_TIMEOUT_MS", timeoutMs},
                                {"ZELKO_OPERATOR", "unattended"},
                                {"ZELKO_OPERATOR_LOG", folder_.File("operator.log")}},
                               folder_.File("driver.out"));
  }

  std::optional<int> RunDriver(const std::string& port, const std::string& timeoutMs = "5000") {
    return StartDriver(port, timeoutMs)->Wait(30s);
  }

  std::string Result() const { return folder_.Read("root/c/SCONTRINO.OUT"); }
  std::string OperatorLog() const { return folder_.Read("operator.log"); }
  std::string Journal() const { return folder_.Read("journal.txt"); }

  TempFolder folder_;
};

TEST_F(EmulatorEndToEndTest, NormalReceipt) {
  WriteReceipt({"=T1/$100", "=S"});
  auto emulator = StartEmulator("on command 3 data Totale 1,00\non command 4 data Grazie\n");
  EXPECT_EQ(RunDriver(emulator->Port()), 0) << folder_.Read("driver.out");
  EXPECT_EQ(Result(), "0004\r\nOK\r\n");
  EXPECT_EQ(folder_.Read("root/c/JQTZelkoData.OUT"), "Totale 1,00\r\nGrazie\r\n");
  EXPECT_EQ(emulator->Stop(), 0);
  EXPECT_EQ(Journal(),
            "ClosePort\t\t0\n"
            "HighSpeed\ttrue\t0\n"
            "OpenPort\t1\t0\n"
            "SendCommand\t=K\t0\n"
            "SendQuery\t<</?s\t0\t0000000000001\n"
            "SendCommand\t=D1/(  ZELKO  Collegato )\t0\n"
            "SendQuery\t<</?f\t0\t\n"
            "SendQuery\t<</?s\t0\t0000000000002\n"
            "SendCommand\t=T1/$100\t0\n"
            "event\tDataReceived\tTotale 1,00\n"
            "SendCommand\t=S\t0\n"
            "event\tDataReceived\tGrazie\n"
            "SendQuery\t<</?s\t0\t0000000000004\n"
            "ClosePort\t\t0\n");
}

TEST_F(EmulatorEndToEndTest, FailuresReachTheResultFile) {
  struct Case {
    const char* name;
    std::string scenario;
    std::string result;
  };
  const Case cases[] = {
      {"register absent", "absent", "107\r\nZELKO NON Collegato!\r\n"},
      {"status query fails", "on prefix <</?s fail 111", "111\r\nZELKO NON Disponibile!\r\n"},
      {"register fault", "status fault:2001", "2001\r\nErrore Emissione Scontrino\r\n"},
      {"command fails with an extended code", "on prefix =S fail 114 2001",
       "2001\r\nCOMANDO scontrino NON Eseguito!  Linea: 0005 Comando: =S\r\n"},
      {"connection dropped", "on prefix =S drop", "107\r\nCOMANDO scontrino NON Eseguito!  Linea: 0005 Comando: =S\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteReceipt({"=T1/$100", "=S", "=T2"});
    auto emulator = StartEmulator(c.scenario);
    EXPECT_EQ(RunDriver(emulator->Port()), 1) << folder_.Read("driver.out");
    EXPECT_EQ(Result(), c.result);
    EXPECT_EQ(emulator->Stop(), 0);
    EXPECT_EQ(Journal().find("=T2"), std::string::npos) << "nothing is sent after a failure";
    std::filesystem::remove(folder_.File("journal.txt"));
  }
}

TEST_F(EmulatorEndToEndTest, NotConnected) {
  std::string error;
  std::string port = std::to_string(TcpServer::Listen("127.0.0.1", "0", error)->Port());
  WriteReceipt({"=S"});
  EXPECT_EQ(RunDriver(port), 1);
  EXPECT_EQ(Result(), "107\r\nZELKO NON Collegato!\r\n");
  EXPECT_NE(OperatorLog().find("box\t16\t"), std::string::npos) << OperatorLog();
}

TEST_F(EmulatorEndToEndTest, TimeoutIsReportedWithinTheTimeoutAndOneSecond) {
  WriteReceipt({"=S"});
  auto emulator = StartEmulator("on prefix <</?s delay 20000");
  const auto start = std::chrono::steady_clock::now();
  // The status query times out, then so does the ClosePort of the failure report.
  EXPECT_EQ(RunDriver(emulator->Port(), "200"), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1200ms);
  EXPECT_EQ(Result(), "112\r\nZELKO NON Disponibile!\r\n");
}

TEST_F(EmulatorEndToEndTest, CoverOpenedThenClosedFromTheConsoleWithAJournalRollChangeMeanwhile) {
  WriteReceipt({"=T1/$100", "=S"});
  auto emulator = StartEmulator("");
  ASSERT_TRUE(emulator->Console("cover open", "console\tcover open"));
  auto driver = StartDriver(emulator->Port());
  ASSERT_TRUE(emulator->WaitForOutput("SendQuery\t<</?s\t0\t0103")) << emulator->Output();
  ASSERT_TRUE(emulator->Console("paper journal empty", "console\tjournal paper empty"));
  ASSERT_TRUE(emulator->Console("paper journal refill", "console\tjournal paper refilled"));
  ASSERT_TRUE(emulator->Console("cover close", "console\tcover closed"));
  EXPECT_EQ(driver->Wait(30s), 0) << folder_.Read("driver.out");
  EXPECT_EQ(Result(), "0004\r\nOK\r\n");
  const std::string log = OperatorLog();
  const std::size_t cover = log.find("\tCoperchio APERTO! chiudere il COPERCHIO e premere OK\tOK\n");
  const std::size_t show = log.find("notice\tshow\tFine ROTOLO GIORNALE,   SOSTITUIRE la carta !\n");
  const std::size_t close = log.find("notice\tclose\n");
  EXPECT_NE(cover, std::string::npos) << log;
  EXPECT_LT(cover, show) << log;
  EXPECT_LT(show, close) << log;
  EXPECT_NE(close, std::string::npos) << log;
}

TEST_F(EmulatorEndToEndTest, ReceiptPaperEndAndBack) {
  WriteReceipt({"=T1/$100", "=T2/$200", "=S"});
  auto emulator = StartEmulator("on command 3 status-update 24\non command 4 status-update 26\n");
  EXPECT_EQ(RunDriver(emulator->Port()), 0);
  EXPECT_EQ(Result(), "0005\r\nOK\r\n");
  EXPECT_EQ(OperatorLog(), "notice\tshow\tFine ROTOLO SCONTRINO,   SOSTITUIRE la carta !\nnotice\tclose\n");
}

// The loader's command file loaded into the emulator; the table it writes
// equals the loader's own record file.
TEST_F(EmulatorEndToEndTest, LoaderArticlesLoadedAndReadBack) {
  const std::filesystem::path bin = folder_.File("bin");
  std::filesystem::create_directories(bin);
  std::filesystem::copy_file(ZELKO_LOADER_PATH, bin / "PLUZELKO");
  folder_.Write("bin/config.cmd", "");
  folder_.Write("articles.txt",
                "11000001234567ACQUA MINERALE 1,5L 00000050 102X\r\n"
                "13" + std::string(45, '0') + "\r\n"
                "11000000001234BIRRA               00000150  01X\r\n"
                "11ABCDEFGHIJKLNOT A NUMBER CODE   00000150 101X\r\n");
  const std::map<std::string, std::string> environment{{"ZELKO_ROOT", folder_.File("root")}};
  const std::string loader = (bin / "PLUZELKO").string();
  ASSERT_EQ(ChildProcess::Start(loader, {folder_.File("articles.txt"), "-CF"}, environment, folder_.File("loader.out"))
                ->Wait(30s),
            0)
      << folder_.Read("loader.out");
  ASSERT_EQ(ChildProcess::Start(loader, {folder_.File("articles.txt")}, environment, folder_.File("loader.out"))->Wait(30s),
            0)
      << folder_.Read("loader.out");

  auto emulator = StartEmulator("", {"--articles", folder_.File("table.txt")});
  EXPECT_EQ(RunDriver(emulator->Port()), 0) << folder_.Read("driver.out");
  EXPECT_EQ(Result().substr(4), "\r\nOK\r\n");
  EXPECT_EQ(folder_.Read("table.txt"),
            "13" + std::string(44, '0') + "\r\n"
            "110000012345670ACQUA MINERALE 1,5L 00000050021\r\n"
            "110000000001234BIRRA               00000150019\r\n");
  EXPECT_EQ(folder_.Read("table.txt"), folder_.Read("root/c/ZELKOPLU.TXT"));
  ASSERT_TRUE(emulator->Console("status", "display \"Carico Completato\", 3 article records"));
  EXPECT_EQ(emulator->Stop(), 0);
}

}  // namespace
}  // namespace zelko::emulator
