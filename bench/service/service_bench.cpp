// Receipts per second through ZelkoService, next to the same receipts run as
// ZelkoDriver processes, both on the built-in emulator:
//   1. ZelkoDriver, one process per receipt command file;
//   2. ZelkoService, one client posting one receipt after another;
//   3. ZelkoService, four clients at once (the runs still go one at a time).

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "running_service.h"
#include "temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReceipts = 200;
constexpr int kLinesPerReceipt = 12;
constexpr int kRepeats = 3;  // best of, so that other load on the machine counts least

std::vector<std::string> ReceiptCommands(int receipt) {
  std::vector<std::string> commands;
  for (int line = 0; line + 1 < kLinesPerReceipt; ++line) {
    commands.push_back("=R" + std::to_string(1 + line % 8) + "/$" + std::to_string(100 + receipt + line));
  }
  commands.push_back("=T1");
  return commands;
}

std::string CommandFile(int receipt) {
  const auto commands = ReceiptCommands(receipt);
  std::string file = "1\r\n115200,n,8,1\r\n" + std::to_string(commands.size()) + "\r\n";
  for (const auto& command : commands) file += command + "\r\n";
  return file;
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

using zelko::testing::TempFolder;

double DriverReceiptsPerSecond() {
  TempFolder root;
  const zelko::testing::Environment environment = {{"HOME", root.Path()},
                                                   {"ZELKO_ROOT", root.Path()},
                                                   {"ZELKO_CONTROL", "emulator"},
                                                   {"ZELKO_OPERATOR", "unattended"}};
  const auto start = Clock::now();
  for (int receipt = 0; receipt < kReceipts; ++receipt) {
    root.Write("c/SCONTRINO.INP", CommandFile(receipt));
    const auto outcome = zelko::testing::RunChild(ZELKO_DRIVER_PATH, {}, environment, root.Path());
    if (outcome.exitStatus != 0) throw std::runtime_error("driver run failed: " + outcome.output);
  }
  return kReceipts / Seconds(start);
}

void PostReceipts(int port, int first, int count) {
  httplib::Client client("127.0.0.1", port);
  client.set_read_timeout(120, 0);
  for (int receipt = first; receipt < first + count; ++receipt) {
    const nlohmann::json body{{"port", "1"}, {"speed", "115200,n,8,1"}, {"commands", ReceiptCommands(receipt)}};
    const auto result = client.Post("/v1/receipts", body.dump(), "application/json");
    if (!result || result->status != 200 || result->body.find("\"ok\":true") == std::string::npos) {
      throw std::runtime_error("receipt failed: " + (result ? result->body : httplib::to_string(result.error())));
    }
  }
}

double ServiceReceiptsPerSecond(int clients) {
  TempFolder folder;
  zelko::service::testing::RunningService service(folder, {{"ZELKO_CONTROL", "emulator"}});
  if (!service.Started()) throw std::runtime_error("the service did not start: " + service.Output());
  const auto start = Clock::now();
  std::vector<std::thread> threads;
  for (int client = 0; client < clients; ++client) {
    threads.emplace_back([&, client] { PostReceipts(service.Port(), client * kReceipts / clients, kReceipts / clients); });
  }
  for (auto& thread : threads) thread.join();
  return kReceipts / Seconds(start);
}

template <typename Measure>
double Best(Measure measure) {
  double best = measure();
  for (int i = 1; i < kRepeats; ++i) best = std::max(best, measure());
  return best;
}

}  // namespace

int main() {
  std::printf("%d receipts of %d command lines each, built-in emulator, best of %d\n", kReceipts, kLinesPerReceipt,
              kRepeats);
  std::printf("%-44s %8.1f receipts/s\n", "ZelkoDriver, one process per receipt", Best(DriverReceiptsPerSecond));
  std::printf("%-44s %8.1f receipts/s\n", "ZelkoService, one client", Best([] { return ServiceReceiptsPerSecond(1); }));
  std::printf("%-44s %8.1f receipts/s\n", "ZelkoService, four clients at once",
              Best([] { return ServiceReceiptsPerSecond(4); }));
}
