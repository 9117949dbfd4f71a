#include <gtest/gtest.h>

#include "event_recorder.h"
#include "tcp_connection.h"
#include "running_emulator.h"
#include "tcp_register_control.h"

namespace zelko::emulator {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::EventRecorder;
using testing::RunningEmulator;
using testing::TempFolder;

const std::string kArticle = "110000012345670ACQUA MINERALE 1,5L 00000050021";

TEST(EmulatorProgramTest, ServesADriverAndTakesConsoleCommands) {
  TempFolder folder;
  RunningEmulator emulator(folder, {"--journal", folder.File("journal.txt"), "--articles", folder.File("articles.txt")});
  ASSERT_NE(emulator.Port(), "") << emulator.Output();

  auto client = MakeTcpRegisterControl("127.0.0.1", emulator.Port(), 5000ms);
  EventRecorder recorder;
  client->SetEventHandler(&recorder);
  std::string port = "1";
  EXPECT_EQ(client->OpenPort(port), 0);
  EXPECT_EQ(client->SendCommand(">>/?P/(" + kArticle + ")"), 0);

  ASSERT_TRUE(emulator.Console("cover open", "console\tcover open"));
  ASSERT_TRUE(emulator.Console("paper receipt empty", "console\treceipt paper empty"));
  ASSERT_TRUE(emulator.Console("data Totale 1,00", "console\tdata Totale 1,00"));
  ASSERT_TRUE(emulator.Console("receipt open", "console\treceipt open"));
  QueryResult query = client->SendQuery("<</?s");
  EXPECT_EQ(query.code, 0);
  EXPECT_EQ(query.reply, "0103011100001");
  EXPECT_EQ(recorder.seen, (std::vector<std::string>{"StatusUpdate 24", "DataReceived Totale 1,00"}));

  EXPECT_EQ(client->ClosePort(), 0);
  EXPECT_EQ(folder.Read("articles.txt"), kArticle + "\r\n");
  client.reset();
  EXPECT_EQ(emulator.Stop(), 0);
  const std::string journal = folder.Read("journal.txt");
  EXPECT_NE(journal.find("SendQuery\t<</?s\t0\t0103011100001\n"), std::string::npos) << journal;
  EXPECT_NE(journal.find("console\treceipt paper empty\n"), std::string::npos) << journal;
  EXPECT_TRUE(emulator.WaitForOutput("ZelkoEmulator stopped"));
}

TEST(EmulatorProgramTest, QuitAndTerminationSignalEndItCleanly) {
  TempFolder folder;
  RunningEmulator quitting(folder, {});
  ASSERT_NE(quitting.Port(), "");
  quitting.Process().Write("q\n");
  EXPECT_EQ(quitting.Process().Wait(10s), 0);

  RunningEmulator terminated(folder, {"--articles", folder.File("articles.txt")});
  ASSERT_NE(terminated.Port(), "");
  auto client = MakeTcpRegisterControl("127.0.0.1", terminated.Port(), 5000ms);
  std::string port = "1";
  client->OpenPort(port);
  client->SendCommand(">>/?P/(" + kArticle + ")");
  terminated.Process().Terminate();
  EXPECT_EQ(terminated.Process().Wait(10s), 0);
  EXPECT_EQ(folder.Read("articles.txt"), kArticle + "\r\n") << "the table is written on the way out";
}

// A client that sends requests without reading the answers fills every
// buffer between it and the emulator; quitting and the termination signals
// still end the emulator.
TEST(EmulatorProgramTest, StopsWhileAClientSendsWithoutReading) {
  struct Case {
    const char* name;
    void (*stop)(RunningEmulator&);
  };
  const Case cases[] = {
      {"q", [](RunningEmulator& e) { e.Process().Write("q\n"); }},
      {"SIGTERM", [](RunningEmulator& e) { e.Process().Terminate(); }},
  };
  TempFolder folder;
  folder.Write("flood.txt", "on prefix F data " + std::string(8192, 'x') + "\n");
  std::string requests = R"({"id":0,"op":"OpenPort","port":"1"})" "\n";
  for (int id = 1; id <= 4000; ++id) requests += "{\"id\":" + std::to_string(id) + R"(,"op":"SendCommand","text":"F"})" "\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunningEmulator emulator(folder, {"--quiet", "--scenario", folder.File("flood.txt")});
    ASSERT_NE(emulator.Port(), "");
    auto flood = ConnectTcp("127.0.0.1", emulator.Port(), TcpConnection::Clock::now() + 5s);
    ASSERT_NE(flood, nullptr);
    std::thread sending([&] { flood->SendAll(requests, TcpConnection::Clock::now() + 30s); });
    std::this_thread::sleep_for(500ms);
    c.stop(emulator);
    EXPECT_EQ(emulator.Process().Wait(10s), 0);
    sending.join();
  }
}

TEST(EmulatorProgramTest, UnusableOptionsExitWith2AndSayWhy) {
  TempFolder folder;
  folder.Write("bad-scenario.txt", "cover ajar\n");
  folder.Write("file", "");
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  const Case cases[] = {
      {{"--scenario", folder.File("bad-scenario.txt")}, "bad-scenario.txt, line 1: expected cover open|closed"},
      {{"--scenario", folder.File("missing.txt")}, "cannot read the scenario file"},
      {{"--journal", folder.File("file/journal.txt")}, "cannot write the journal"},
      {{"--listen", "127.0.0.1:"}, "--listen wants HOST:PORT"},
      {{"--listen", "127.0.0.1:72836"}, "--listen wants HOST:PORT with a port from 1 to 65535"},
      {{"--listen", "127.0.0.1:-1"}, "--listen wants HOST:PORT"},
      {{"--listen", "127.0.0.1:http"}, "--listen wants HOST:PORT"},
      {{"--idle-timeout-ms", "0"}, "--idle-timeout-ms"},
      {{"--listen", "no-such-host.invalid:1"}, "cannot resolve no-such-host.invalid:1"},
      {{"--bogus"}, "--bogus"},
  };
  for (const Case& c : cases) {
    const std::string output = "out-" + std::to_string(&c - cases) + ".txt";
    auto process = ChildProcess::Start(ZELKO_EMULATOR_PATH, c.arguments, {}, folder.File(output));
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(process->Wait(10s), 2) << c.message;
    EXPECT_NE(folder.Read(output).find(c.message), std::string::npos) << folder.Read(output);
  }
}

}  // namespace
}  // namespace zelko::emulator
