// Time per receipt command of ZelkoDriver through ZelkoEmulator, against a
// bare loopback request/response round trip of the same size. One run of
// five interleaved rounds, so that a busy machine weighs on both figures
// alike; prints the medians and their ratio (goal: at most 1.2).
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "child_process.h"
#include "loopback.h"
#include "running_emulator.h"
#include "temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;
using zelko::testing::ChildProcess;
using zelko::testing::TempFolder;

constexpr int kRounds = 5;
constexpr int kCommands = 4000;
constexpr int kRoundTrips = 4000;
const std::string kRequest = R"({"id":12345,"op":"SendCommand","text":"=T1/$100/*1"})" "\n";
const std::string kResponse = R"({"id":12345,"result":0})" "\n";

void NoDelay(int fd) {
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool ReadLine(int fd, std::string& pending) {
  char chunk[4096];
  while (pending.find('\n') == std::string::npos) {
    const ssize_t count = recv(fd, chunk, sizeof chunk, 0);
    if (count <= 0) return false;
    pending.append(chunk, static_cast<std::size_t>(count));
  }
  pending.erase(0, pending.find('\n') + 1);
  return true;
}

void SendAll(int fd, const std::string& text) {
  std::size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t count = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (count <= 0) return;
    sent += static_cast<std::size_t>(count);
  }
}

// Seconds per request/response pair of a client that sends `requests` one by
// one to the loopback port and waits for each answer line.
double RoundTrips(std::uint16_t port, int requests) {
  const int client = zelko::testing::ConnectToLoopback(port);
  NoDelay(client);
  std::string pending;
  SendAll(client, R"({"id":1,"op":"OpenPort","port":"1"})" "\n");
  ReadLine(client, pending);
  const auto start = Clock::now();
  for (int i = 0; i < requests; ++i) {
    SendAll(client, kRequest);
    ReadLine(client, pending);
  }
  const std::chrono::duration<double> elapsed = Clock::now() - start;
  close(client);
  return elapsed.count() / requests;
}

// The bare round trip: an echo server in a process of its own (as the
// emulator is), answering each line with a fixed response, nothing else done.
double BareRoundTrip() {
  std::uint16_t port = 0;
  const int listener = zelko::testing::ListenOnLoopback(port);
  const pid_t server = fork();
  if (server == 0) {
    const int peer = accept(listener, nullptr, nullptr);
    NoDelay(peer);
    std::string pending;
    while (ReadLine(peer, pending)) SendAll(peer, kResponse);
    _exit(0);
  }
  close(listener);
  const double perRoundTrip = RoundTrips(port, kRoundTrips);
  waitpid(server, nullptr, 0);
  return perRoundTrip;
}

// Seconds of a whole driver run of `count` receipt commands; negative when it failed.
double DriverRun(const TempFolder& folder, const std::string& port, int count) {
  std::string commands = "1\r\n115200,n,8,1\r\n" + std::to_string(count) + "\r\n";
  for (int i = 0; i < count; ++i) commands += "=T1/$100/*1\r\n";
  folder.Write("root/c/Scontrino.inp", commands);
  const auto start = Clock::now();
  auto driver = ChildProcess::Start(ZELKO_DRIVER_PATH, {},
                                    {{"ZELKO_ROOT", folder.File("root")},
                                     {"ZELKO_CONTROL", "tcp:127.0.0.1:" + port},
                                     {"ZELKO_OPERATOR", "unattended"}},
                                    folder.File("driver.out"));
  const auto status = driver->Wait(std::chrono::minutes(5));
  const std::chrono::duration<double> elapsed = Clock::now() - start;
  if (status != 0 || folder.Read("root/c/SCONTRINO.OUT").find("\r\nOK\r\n") == std::string::npos) {
    std::cerr << "the driver run failed: " << folder.Read("driver.out") << "\n";
    return -1;
  }
  return elapsed.count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  const TempFolder folder;
  zelko::testing::RunningEmulator emulator(folder, {"--quiet"});
  const std::string port = emulator.Port();
  if (port.empty()) {
    std::cerr << "ZelkoEmulator did not start: " << emulator.Output() << "\n";
    return 1;
  }

  std::vector<double> bare;
  std::vector<double> emulatorOnly;
  std::vector<double> driver;
  for (int round = 0; round < kRounds; ++round) {
    bare.push_back(BareRoundTrip());
    emulatorOnly.push_back(RoundTrips(static_cast<std::uint16_t>(std::stoi(port)), kRoundTrips));
    // The run's fixed cost (start, session set-up, end) is taken out by an empty run.
    const double empty = DriverRun(folder, port, 0);
    const double full = DriverRun(folder, port, kCommands);
    if (empty < 0 || full < 0) return 1;
    driver.push_back((full - empty) / kCommands);
  }
  emulator.Stop();

  std::cout << "medians of " << kRounds << " rounds\n"
            << "bare loopback round trip, two processes:   " << Median(bare) * 1e6 << " us\n"
            << "bare client against ZelkoEmulator:         " << Median(emulatorOnly) * 1e6 << " us\n"
            << "ZelkoDriver per command via ZelkoEmulator: " << Median(driver) * 1e6 << " us\n"
            << "ratio driver/bare: " << Median(driver) / Median(bare) << " (goal: at most 1.2)\n";
  return 0;
}
