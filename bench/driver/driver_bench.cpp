// How long the driver takes per receipt command, next to what a loopback
// request/response costs by itself:
//   1. ZelkoDriver, 10,000 commands, built-in emulator (net of an empty run);
//   2. ZelkoDriver, 10,000 commands, TCP control against a loopback responder;
//   3. the TCP control alone against the same responder;
//   4. a bare loopback TCP round trip of one line each way.

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>

#include "child_process.h"
#include "loopback.h"
#include "scripted_tcp_register.h"
#include "tcp_register_control.h"
#include "temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;
using zelko::testing::ScriptedTcpRegister;

constexpr int kCommands = 10000;
constexpr int kRoundTrips = 20000;
// Each figure is the best of this many runs, so that other load on the machine counts least.
constexpr int kRepeats = 5;

double MicrosecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

std::string CommandFile(int commands) {
  std::string file = "COM1\r\n115200,n,8,1\r\n" + std::to_string(commands) + "\r\n";
  for (int i = 0; i < commands; ++i) file += "=R" + std::to_string(1 + i % 8) + "/$" + std::to_string(100 + i) + "\r\n";
  return file;
}

// Wall time of one driver run over `commands` commands, in microseconds.
double TimeDriverRun(const std::string& control, int commands) {
  zelko::testing::TempFolder root;
  root.Write("c/SCONTRINO.INP", CommandFile(commands));
  const auto start = Clock::now();
  const auto outcome = zelko::testing::RunChild(ZELKO_DRIVER_PATH, {},
                                                {{"HOME", root.Path()},
                                                 {"ZELKO_ROOT", root.Path()},
                                                 {"ZELKO_CONTROL", control},
                                                 {"ZELKO_OPERATOR", "unattended"}},
                                                root.Path());
  const double elapsed = MicrosecondsSince(start);
  if (outcome.exitStatus != 0 || root.Read("c/SCONTRINO.OUT").find("\r\nOK\r\n") == std::string::npos) {
    throw std::runtime_error("driver run failed: " + outcome.output);
  }
  return elapsed;
}

template <typename Measure>
double Best(Measure measure) {
  double best = measure();
  for (int i = 1; i < kRepeats; ++i) best = std::min(best, measure());
  return best;
}

void ReportDriver(const char* what, const std::string& control) {
  const double empty = Best([&] { return TimeDriverRun(control, 0); });
  const double full = Best([&] { return TimeDriverRun(control, kCommands); });
  std::printf("%-52s %8.2f us/command  (run %.1f ms, empty run %.1f ms)\n", what, (full - empty) / kCommands,
              full / 1000, empty / 1000);
}

void ReportTcpControl() {
  const ScriptedTcpRegister responder;
  const auto control = zelko::MakeTcpRegisterControl("127.0.0.1", responder.Port(), std::chrono::seconds(15));
  control->SendCommand("warm-up");
  const double perOperation = Best([&] {
    const auto start = Clock::now();
    for (int i = 0; i < kRoundTrips; ++i) {
      if (control->SendCommand("=R1/$100") != 0) throw std::runtime_error("TCP control failed");
    }
    return MicrosecondsSince(start) / kRoundTrips;
  });
  std::printf("%-52s %8.2f us/operation\n", "TCP control, SendCommand, loopback responder", perOperation);
}

// A bare echo of one line each way over loopback, no protocol at all.
void ReportBareRoundTrip() {
  std::uint16_t port = 0;
  const int listener = zelko::testing::ListenOnLoopback(port);
  std::thread echo([listener] {
    const int fd = accept(listener, nullptr, nullptr);
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    char buffer[256];
    for (ssize_t got; (got = recv(fd, buffer, sizeof buffer, 0)) > 0;) send(fd, buffer, static_cast<std::size_t>(got), 0);
    close(fd);
  });
  const int fd = zelko::testing::ConnectToLoopback(port);
  if (fd < 0) throw std::runtime_error("connect");
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  const std::string line = R"({"id":1,"op":"SendCommand","text":"=R1/$100"})" "\n";
  char buffer[256];
  const double perTrip = Best([&] {
    const auto start = Clock::now();
    for (int i = 0; i < kRoundTrips; ++i) {
      send(fd, line.data(), line.size(), 0);
      for (std::size_t got = 0; got < line.size();) {
        const ssize_t part = recv(fd, buffer, sizeof buffer, 0);
        if (part <= 0) throw std::runtime_error("echo lost");
        got += static_cast<std::size_t>(part);
      }
    }
    return MicrosecondsSince(start) / kRoundTrips;
  });
  close(fd);
  echo.join();
  close(listener);
  std::printf("%-52s %8.2f us/round trip\n", "bare loopback TCP round trip (one line each way)", perTrip);
}

}  // namespace

int main() {
  try {
    ReportDriver("ZelkoDriver, built-in emulator, 10,000 commands", "emulator");
    {
      const ScriptedTcpRegister responder;
      ReportDriver("ZelkoDriver, TCP control, 10,000 commands", "tcp:127.0.0.1:" + responder.Port());
    }
    ReportTcpControl();
    ReportBareRoundTrip();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "driver_bench: %s\n", error.what());
    return 1;
  }
  return 0;
}
