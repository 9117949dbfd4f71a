// ZelkoEmulator: a Zelko register for the receipt driver, reached over TCP
// (ZELKO_CONTROL=tcp:<host>:<port>), with an operator's console on stdin.
#include <CLI/CLI.hpp>
#include <chrono>
#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

#include "console_commands.h"
#include "console_input.h"
#include "emulated_register.h"
#include "host_backend.h"
#include "journal.h"
#include "listen_address.h"
#include "scenario.h"
#include "stop_signal.h"
#include "tcp_server.h"

namespace zelko::emulator {
namespace {

constexpr int kExitUsage = 2;

struct Options {
  std::string listen = "127.0.0.1:7300";
  std::string scenario;
  std::string journal;
  std::string articles;
  long long idleTimeoutMs = kDefaultIdleLimit.count();
  bool quiet = false;
};

// Live lines from the serving thread and the console, one at a time.
class Screen {
 public:
  explicit Screen(bool quiet) : quiet_(quiet) {}
  void Line(const std::string& text) {
    if (quiet_) return;
    const std::lock_guard lock(mutex_);
    std::cout << text << std::endl;
  }

 private:
  bool quiet_;
  std::mutex mutex_;
};

// Writes the article table as the loader's record file lays it out: one
// 46-character record per line, CR LF, replaced whole so that a reader never
// sees half a table.
bool WriteArticleTable(const HostServices& host, const std::vector<std::string>& records, const std::string& path) {
  const auto file = host.Create(path, HostServices::CreateMode::AtomicReplace);
  if (!file) return false;
  for (const std::string& record : records) {
    if (!file->Write(record + "\r\n")) return false;
  }
  return file->Commit();
}

// Keeps --articles up to date whenever a driver closes the port or leaves.
class ArticleTableWriter {
 public:
  ArticleTableWriter(const HostServices& host, EmulatedRegister& emulatedRegister, std::string path, Screen& screen)
      : host_(host), register_(emulatedRegister), path_(std::move(path)), screen_(screen) {}

  void WriteIfChanged() {
    const unsigned version = register_.ArticleTableVersion();
    if (path_.empty() || version == writtenVersion_) return;
    if (WriteArticleTable(host_, register_.ArticleTable(), path_)) {
      writtenVersion_ = version;
      screen_.Line("article table written to " + path_);
    } else {
      screen_.Line("cannot write the article table to " + path_);
    }
  }

 private:
  const HostServices& host_;
  EmulatedRegister& register_;
  std::string path_;
  Screen& screen_;
  unsigned writtenVersion_ = 0;
};

class DriverConnection final : public ConnectionHandler {
 public:
  DriverConnection(EmulatedRegister& emulatedRegister, ArticleTableWriter& articles, Screen& screen)
      : register_(emulatedRegister), articles_(articles), screen_(screen) {}

  void Connected(const std::string& peer) override { screen_.Line("driver connected from " + peer); }

  SessionReply Answer(std::string_view line) override {
    SessionReply reply = AnswerRequestLine(register_, line);
    if (reply.operation == Operation::ClosePort) articles_.WriteIfChanged();
    return reply;
  }

  void Disconnected(const std::string& why) override {
    screen_.Line("driver disconnected: " + why);
    articles_.WriteIfChanged();
  }

  std::string TurnAway(const std::string& peer) override {
    screen_.Line("driver from " + peer + " turned away: another driver is connected");
    return BusyLine();
  }

 private:
  EmulatedRegister& register_;
  ArticleTableWriter& articles_;
  Screen& screen_;
};

void RunConsole(EmulatedRegister& emulatedRegister, const StopSignal& stop, Screen& screen) {
  ConsoleInput input(stop);
  screen.Line(std::string(kConsoleHelp));
  for (;;) {
    std::optional<std::string> command;
    if (input.KeyMode()) {
      const auto key = input.ReadKey();
      if (!key) return;
      if (*key == 'd') {
        screen.Line("data line:");
        const auto text = input.ReadLine();
        if (!text) return;
        command = "data " + *text;
      } else {
        command = std::string(1, *key);
      }
    } else {
      command = input.ReadLine();
      if (!command) return;
    }
    std::string answer;
    const ConsoleVerdict verdict = RunConsoleCommand(emulatedRegister, *command, answer);
    if (!answer.empty()) screen.Line(answer);
    if (verdict == ConsoleVerdict::Quit) return;
  }
}

int Run(const Options& options, const HostServices& files) {
  Scenario scenario;
  if (!options.scenario.empty()) {
    ScenarioParse parse = ReadScenarioFile(files, options.scenario);
    if (!parse.error.empty()) {
      std::cerr << "ZelkoEmulator: " << parse.error << "\n";
      return kExitUsage;
    }
    scenario = std::move(parse.scenario);
  }
  Journal journal(files, options.journal);
  if (!journal.Ok()) {
    std::cerr << "ZelkoEmulator: cannot write the journal " << options.journal << "\n";
    return kExitUsage;
  }
  std::string host;
  std::string port;
  if (!SplitListenAddress(options.listen, host, port)) {
    std::cerr << "ZelkoEmulator: --listen wants HOST:PORT with a port from 1 to 65535 (0: any free port), not \""
              << options.listen << "\"\n";
    return kExitUsage;
  }
  std::string error;
  const auto server = TcpServer::Listen(host, port, error);
  if (!server) {
    std::cerr << "ZelkoEmulator: " << error << "\n";
    return kExitUsage;
  }

  Screen screen(options.quiet);
  journal.SetEcho([&screen](const std::string& line) { screen.Line(line); });
  EmulatedRegister emulatedRegister(std::move(scenario), journal);
  ArticleTableWriter articles(files, emulatedRegister, options.articles, screen);
  DriverConnection connection(emulatedRegister, articles, screen);

  StopSignal stop;
  stop.TriggerOnTerminationSignals();
  // The first line always appears, so that scripts can learn the port.
  std::cout << "ZelkoEmulator listening on " << ListenAddressText(host, std::to_string(server->Port())) << std::endl;

  std::thread serving([&] { server->Serve(connection, stop, std::chrono::milliseconds(options.idleTimeoutMs)); });
  RunConsole(emulatedRegister, stop, screen);
  stop.Trigger();
  serving.join();
  articles.WriteIfChanged();
  screen.Line("ZelkoEmulator stopped");
  return 0;
}

}  // namespace
}  // namespace zelko::emulator

int main(int argc, char** argv) {
  zelko::emulator::Options options;
  CLI::App app{"ZelkoEmulator: a Zelko register for ZelkoDriver over TCP (ZELKO_CONTROL=tcp:HOST:PORT)"};
  app.add_option("--listen", options.listen, "HOST:PORT to listen on; port 0 picks a free one")
      ->capture_default_str();
  app.add_option("--scenario", options.scenario, "scenario file: faults and events to script");
  app.add_option("--journal", options.journal, "file to append every operation to");
  app.add_option("--articles", options.articles, "file to write the article table to");
  app.add_option("--idle-timeout-ms", options.idleTimeoutMs,
                 "drop a driver that sends no request, or reads nothing, for this long")
      ->capture_default_str()
      ->check(CLI::Range(1LL, 86400000LL));
  app.add_flag("--quiet", options.quiet, "no live lines, only the listening line");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : zelko::emulator::kExitUsage;
  }
  return zelko::emulator::Run(options, *zelko::MakeHostServices(argc, argv));
}
