// The built ZelkoService, reached over HTTP, on the built-in emulator and on
// ZelkoEmulator over TCP.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "running_emulator.h"
#include "service_requests.h"

namespace zelko::service::testing {
namespace {

using nlohmann::json;

using ServiceTest = ServiceFolderTest;

TEST_F(ServiceTest, ReceiptRunsOnTheRegisterAndRepliesWhatTheResultFileWouldHold) {
  RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"}});
  ASSERT_TRUE(service.Started()) << service.Output();
  const auto result = Post(service, "/v1/receipts", ReceiptBody({"=R1/$100", "=T1"}));
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(Body(result), json::parse(R"({"ok":true,"status":"0004","data":[]})"));
  const auto sent = SentCommands(Journal());
  EXPECT_EQ(sent, (std::vector<std::string>{"=K", "=D1/(  ZELKO  Collegato )", "=R1/$100", "=T1"}));
}

TEST_F(ServiceTest, FailuresCarryTheDriversCodesAndTexts) {
  struct Case {
    std::string name;
    std::map<std::string, std::string> environment;
    std::vector<std::string> commands;
    json reply;
  };
  const std::string scenario = Scenario("on prefix =BAD fail 114 2001\non prefix =R1 data riga \xE8 dati\n");
  const std::vector<Case> cases{
      {"no register", {{"ZELKO_CONTROL", "nothing-here"}}, {"=T1"},
       {{"ok", false}, {"code", 107}, {"message", "ZELKO NON Collegato!"}, {"data", json::array()}}},
      {"refused command",
       {{"ZELKO_CONTROL", "emulator"}, {"ZELKO_EMULATOR_SCENARIO", scenario}},
       {"=R1/$100", "  =BAD  "},
       {{"ok", false},
        {"code", 2001},
        {"message", "COMANDO scontrino NON Eseguito!  Linea: 0005 Comando:   =BAD  "},
        {"data", {"riga \u00e8 dati"}}}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    RunningService service(folder_, test.environment);
    ASSERT_TRUE(service.Started()) << service.Output();
    const auto result = Post(service, "/v1/receipts", ReceiptBody(test.commands));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(Body(result), test.reply);
  }
}

TEST_F(ServiceTest, MalformedBodiesGet400AndReachNoRegister) {
  RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"}});
  ASSERT_TRUE(service.Started()) << service.Output();
  const std::vector<std::pair<std::string, std::string>> cases{
      {"/v1/receipts", "{\"port\": \"1\", "},
      {"/v1/receipts", R"({"port":"1","speed":"9600","commands":"=T1"})"},
      {"/v1/receipts", R"({"port":"1","speed":"9600","commands":["=T1\r=K"]})"},
      {"/v1/articles", R"({"text":5})"},
  };
  for (const auto& [path, body] : cases) {
    SCOPED_TRACE(body);
    const auto result = Post(service, path, body);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400);
    EXPECT_FALSE(Body(result)["error"].get<std::string>().empty());
  }
  EXPECT_EQ(Journal(), "");
}

TEST_F(ServiceTest, ArticlesAreConvertedByTheLoaderAndRunAsAReceipt) {
  std::ifstream file(ZELKO_EXAMPLE_ARTICLES, std::ios::binary);
  const std::string articles((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"}});
  ASSERT_TRUE(service.Started()) << service.Output();

  const auto loaded = Post(service, "/v1/articles", json{{"text", articles}, {"lowSpeed", true}}.dump());
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->status, 200);
  EXPECT_TRUE(Body(loaded)["ok"].get<bool>()) << loaded->body;
  const std::string journal = Journal();
  EXPECT_EQ(journal.find("HighSpeed"), std::string::npos) << "-LS gives 9600";
  EXPECT_NE(journal.find("ACQUA MINERALE 1,5L"), std::string::npos);

  const auto empty = Post(service, "/v1/articles", R"({"text":""})");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->status, 422);
  EXPECT_EQ(Body(empty),
            json::parse(R"({"ok":false,"loaderExit":9,"message":"Errore nella creazione del file C:\\Scontrino.inp"})"));
  EXPECT_EQ(Journal(), journal);
}

TEST_F(ServiceTest, TwentyClientsAtOnceEachRunOnceAndAlone) {
  zelko::testing::RunningEmulator zelkoEmulator(folder_, {"--journal", folder_.File("tcp-journal.txt")});
  ASSERT_FALSE(zelkoEmulator.Port().empty());
  RunningService service(folder_, {{"ZELKO_CONTROL", "tcp:127.0.0.1:" + zelkoEmulator.Port()}});
  ASSERT_TRUE(service.Started()) << service.Output();

  constexpr int kClients = 20;
  constexpr int kLines = 4;
  std::vector<std::string> failures(kClients);
  std::vector<std::thread> clients;
  for (int client = 0; client < kClients; ++client) {
    clients.emplace_back([&, client] {
      std::vector<std::string> commands;
      for (int line = 0; line < kLines; ++line) commands.push_back("=R1/$" + std::to_string(client * 100 + line));
      const auto start = std::chrono::steady_clock::now();
      const auto result = Post(service, "/v1/receipts", ReceiptBody(commands));
      if (!result) {
        failures[client] = httplib::to_string(result.error()) + " after " +
                           std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - start).count()) + " ms";
      } else if (result->status != 200 || Body(result)["ok"] != true) {
        failures[client] = std::to_string(result->status) + " " + result->body;
      }
    });
  }
  for (auto& client : clients) client.join();
  const bool allSucceeded = std::all_of(failures.begin(), failures.end(), [](const auto& f) { return f.empty(); });
  for (int client = 0; client < kClients; ++client) EXPECT_EQ(failures[client], "") << "client " << client;
  if (!allSucceeded) ADD_FAILURE() << "the emulator's live lines:\n" << zelkoEmulator.Output();

  std::vector<int> order;
  for (const auto& command : SentCommands(folder_.Read("tcp-journal.txt"))) {
    if (command.starts_with("=R1/$")) order.push_back(std::stoi(command.substr(5)));
  }
  ASSERT_EQ(order.size(), std::size_t{kClients * kLines});
  std::set<int> seen;
  for (std::size_t start = 0; start < order.size(); start += kLines) {
    const int client = order[start] / 100;
    EXPECT_TRUE(seen.insert(client).second) << "client " << client << " ran twice";
    for (int line = 0; line < kLines; ++line) EXPECT_EQ(order[start + line], client * 100 + line) << "interleaved";
  }
}

TEST_F(ServiceTest, RepeatedKeyReturnsTheFirstOutcomeWithoutTheRegister) {
  const httplib::Headers key{{"Idempotency-Key", "till-7-receipt-42"}};
  const std::string body = ReceiptBody({"=R1/$100", "=T1"});
  std::string firstReply;
  std::string journal;
  {
    RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"}});
    ASSERT_TRUE(service.Started()) << service.Output();
    const auto first = Post(service, "/v1/receipts", body, key);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->status, 200);
    EXPECT_FALSE(first->has_header("Idempotent-Replayed"));
    firstReply = first->body;
    journal = Journal();

    const auto repeat = Post(service, "/v1/receipts", body, key);
    ASSERT_TRUE(repeat);
    EXPECT_EQ(repeat->status, 200);
    EXPECT_EQ(repeat->body, firstReply);
    EXPECT_EQ(repeat->get_header_value("Idempotent-Replayed"), "true");

    const auto reused = Post(service, "/v1/receipts", ReceiptBody({"=T1"}), key);
    ASSERT_TRUE(reused);
    EXPECT_EQ(reused->status, 422);
    EXPECT_EQ(Journal(), journal);
    EXPECT_EQ(service.Stop(), 0);
  }
  RunningService restarted(folder_, {{"ZELKO_CONTROL", "emulator"}});
  ASSERT_TRUE(restarted.Started()) << restarted.Output();
  const auto afterRestart = Post(restarted, "/v1/receipts", body, key);
  ASSERT_TRUE(afterRestart);
  EXPECT_EQ(afterRestart->status, 200);
  EXPECT_EQ(afterRestart->body, firstReply);
  EXPECT_EQ(Journal(), journal);
}

TEST_F(ServiceTest, RepeatsDuringTheRunWaitForItAndShareItsOutcome) {
  RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"},
                                   {"ZELKO_EMULATOR_SCENARIO", Scenario("on prefix =SLOW delay 300\n")}});
  ASSERT_TRUE(service.Started()) << service.Output();
  const httplib::Headers key{{"Idempotency-Key", "same-receipt"}};
  const std::string body = ReceiptBody({"=SLOW", "=SLOW", "=T1"});
  std::vector<std::string> replies(5);
  std::vector<std::thread> clients;
  for (auto& reply : replies) {
    clients.emplace_back([&] {
      const auto result = Post(service, "/v1/receipts", body, key);
      if (result && result->status == 200) reply = result->body;
    });
  }
  for (auto& client : clients) client.join();
  for (const auto& reply : replies) EXPECT_EQ(reply, replies[0]);
  EXPECT_EQ(Body(Post(service, "/v1/receipts", body, key))["ok"], true);
  const auto sent = SentCommands(Journal());
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "=T1"), 1);
}

TEST_F(ServiceTest, AKeyWhoseRunWasCutOffIsNeverRunAgain) {
  const std::map<std::string, std::string> environment{
      {"ZELKO_CONTROL", "emulator"}, {"ZELKO_EMULATOR_SCENARIO", Scenario("on prefix =SLOW delay 5000\n")}};
  const httplib::Headers key{{"Idempotency-Key", "cut-off"}};
  const std::string body = ReceiptBody({"=SLOW", "=T1"});
  {
    RunningService service(folder_, environment);
    ASSERT_TRUE(service.Started()) << service.Output();
    std::thread client([&] { Post(service, "/v1/receipts", body, key); });
    WaitForJournal("=SLOW");
    service.Process().Kill();
    client.join();
  }
  const std::string journal = Journal();
  RunningService restarted(folder_, environment);
  ASSERT_TRUE(restarted.Started()) << restarted.Output();
  const auto repeat = Post(restarted, "/v1/receipts", body, key);
  ASSERT_TRUE(repeat);
  EXPECT_EQ(repeat->status, 409);
  EXPECT_EQ(Journal(), journal);
}

TEST_F(ServiceTest, ATerminationSignalLetsTheRunningAndTheWaitingReceiptsFinish) {
  RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"},
                                   {"ZELKO_EMULATOR_SCENARIO", Scenario("on prefix =SLOW delay 1000\n")}});
  ASSERT_TRUE(service.Started()) << service.Output();
  auto first = std::async(std::launch::async, [&] { return Post(service, "/v1/receipts", ReceiptBody({"=SLOW"})); });
  WaitForJournal("=SLOW");
  auto second = std::async(std::launch::async, [&] { return Post(service, "/v1/receipts", ReceiptBody({"=SECOND"})); });
  while (Body(service.Client()->Get("/v1/status"))["waiting"] != 1) std::this_thread::yield();
  EXPECT_EQ(service.Stop(), 0);
  const auto running = first.get();
  const auto waiting = second.get();
  ASSERT_TRUE(running && waiting);
  EXPECT_EQ(Body(running)["ok"], true);
  EXPECT_EQ(Body(waiting)["ok"], true);
  const auto sent = SentCommands(Journal());
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "=SECOND"), 1);
}

TEST_F(ServiceTest, RunsFromFilesAndFromHttpTakeTurnsOnOneRegister) {
  const std::string root = folder_.File("root");
  const std::string scenario = Scenario("on prefix =SLOW delay 300\n");
  RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"}, {"ZELKO_EMULATOR_SCENARIO", scenario}});
  ASSERT_TRUE(service.Started()) << service.Output();
  std::filesystem::create_directories(folder_.File("root/c"));
  folder_.Write("root/c/SCONTRINO.INP", "1\r\n9600\r\n3\r\n=FILE1\r\n=SLOW\r\n=FILE2\r\n");
  std::thread fileRun([&] {
    zelko::testing::RunChild(ZELKO_DRIVER_PATH, {},
                             {{"HOME", root},
                              {"ZELKO_ROOT", root},
                              {"ZELKO_CONTROL", "emulator"},
                              {"ZELKO_OPERATOR", "unattended"},
                              {"ZELKO_EMULATOR_SCENARIO", scenario}},
                             root);
  });
  WaitForJournal("=FILE1");
  const auto result = Post(service, "/v1/receipts", ReceiptBody({"=HTTP1", "=HTTP2"}));
  fileRun.join();
  ASSERT_TRUE(result);
  EXPECT_EQ(Body(result)["ok"], true) << result->body;
  std::vector<std::string> order;
  for (const auto& command : SentCommands(Journal())) {
    if (command != "=K" && !command.starts_with("=D1/")) order.push_back(command);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"=FILE1", "=SLOW", "=FILE2", "=HTTP1", "=HTTP2"}));
}

TEST_F(ServiceTest, DiagnosticsShowTheChecksAndAskTheRegisterOnlyWhileNoReceiptRuns) {
  RunningService service(folder_, {{"ZELKO_CONTROL", "emulator"},
                                   {"ZELKO_EMULATOR_SCENARIO", Scenario("on prefix =SLOW delay 1000\n")}});
  ASSERT_TRUE(service.Started()) << service.Output();
  const auto checks = service.Client()->Get("/v1/diagnostics");
  ASSERT_TRUE(checks);
  EXPECT_EQ(checks->status, 200);
  const json report = Body(checks);
  std::set<std::string> ids;
  for (const json& check : report.at("checks")) ids.insert(check.at("id"));
  for (const char* id : {"host", "files", "settings", "lock", "control"}) EXPECT_TRUE(ids.contains(id)) << id;
  EXPECT_FALSE(report.contains("ports"));
  EXPECT_EQ(Journal(), "") << "the checks touch no register";

  const auto probe = Post(service, "/v1/diagnostics/probe", R"({"port":"2"})");
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->status, 200);
  const json ports = Body(probe).at("ports");
  ASSERT_EQ(ports.size(), 1u) << probe->body;
  EXPECT_EQ(ports[0]["port"], "2");
  EXPECT_TRUE(ports[0]["answered"]);
  EXPECT_TRUE(SentCommands(Journal()).empty()) << Journal();
  EXPECT_NE(Journal().find("SendQuery\t<</?s"), std::string::npos) << Journal();

  auto receipt = std::async(std::launch::async, [&] { return Post(service, "/v1/receipts", ReceiptBody({"=SLOW"})); });
  WaitForJournal("=SLOW");
  const std::string journal = Journal();
  const auto refused = Post(service, "/v1/diagnostics/probe", R"({"port":"2"})");
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 409);
  EXPECT_EQ(Body(receipt.get())["ok"], true);
  const std::string after = Journal();
  EXPECT_EQ(after.find("OpenPort\t2", journal.size()), std::string::npos) << "the probe stayed off: " << after;
}

}  // namespace
}  // namespace zelko::service::testing
