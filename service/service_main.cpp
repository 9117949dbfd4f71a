// ZelkoService: the receipt driver for web and networked tills, over HTTP
// with JSON, with one run at a time and no duplicate after a lost reply.
#include <httplib.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "access_rules.h"
#include "control_selection.h"
#include "driver_environment.h"
#include "driver_receipt_runner.h"
#include "host_backend.h"
#include "listen_address.h"
#include "outcome_store.h"
#include "service_api.h"
#include "service_options.h"
#include "register_thread.h"
#include "termination_request.h"

namespace zelko::service {
namespace {

constexpr int kExitUsage = 2;
constexpr std::chrono::hours kRetention{24 * 7};

// A path as UTF-8, which SQLite takes on every system; unlike string(), it
// cannot fail on Windows for a name outside the ANSI code page.
std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

int Fail(const std::string& message) {
  std::cerr << "ZelkoService: " << message << "\n";
  return kExitUsage;
}

std::unique_ptr<OutcomeStore> OpenStore(const ServiceOptions& options, std::string& error) {
  const std::filesystem::path folder =
      options.store.empty() ? DefaultStoreFolder() : std::filesystem::path(options.store);
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  if (made) {
    error = "cannot make the store folder " + Utf8(folder) + ": " + made.message();
    return nullptr;
  }
  return OutcomeStore::Open(Utf8(folder / "outcomes.sqlite"), kRetention, error);
}

bool Bind(httplib::Server& server, ListenPlan& plan) {
  socket_t listener = INVALID_SOCKET;
  server.set_socket_options([&listener](socket_t socket) {
    httplib::default_socket_options(socket);
    listener = socket;
  });
  if (plan.port != 0) {
    if (!server.bind_to_port(plan.host, plan.port)) return false;
  } else if ((plan.port = server.bind_to_any_port(plan.host)) <= 0) {
    return false;
  }
  // cpp-httplib listens with a backlog of 5; a burst of tills connecting at
  // once overflows it and some connections are refused. Listening again on
  // the bound socket raises the backlog to the system's limit.
  ::listen(listener, SOMAXCONN);
  return true;
}

int Run(const ServiceOptions& options, int argc, char** argv) {
  std::string error;
  auto plan = PlanListening(options, error);
  if (!plan) return Fail(error);
  const auto store = OpenStore(options, error);
  if (!store) return Fail(error);

  httplib::Server server;
  // Every waiting request holds a thread; a few more serve status and page meanwhile.
  server.new_task_queue = [] { return new httplib::ThreadPool(kQueueCapacity + 8); };
  if (!Bind(server, *plan)) return Fail("cannot listen on " + options.listen);

  const auto host = MakeHostServices(argc, argv);
  const auto settings = MakeSettingsStore("JQT SPA", "ZELKO");
  const DriverEnvironment environment = ReadDriverEnvironment(host->EnvironmentEntries(), ZelkoRoot());
  const ControlSelection controls(environment, *host);
  DriverReceiptRunner driverRunner(*host, *settings, environment, controls);
  RegisterThread runner(driverRunner);
  const AccessRules rules(options.allowOrigins, plan->token,
                          plan->loopback ? LoopbackAuthorities(plan->host, plan->port) : std::vector<std::string>{});
  ServiceApi api(rules, runner, *host, *store, controls.Description());
  api.Mount(server);

  WatchTerminationRequests();
  std::atomic<bool> stopped{false};
  std::thread stopper([&] {
    while (!stopped && !TerminationRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    server.stop();
  });
  std::cout << "ZelkoService listening on http://" << ListenAddressText(plan->host, std::to_string(plan->port)) << "/"
            << std::endl;
  server.listen_after_bind();
  stopped = true;
  stopper.join();
  return 0;
}

}  // namespace
}  // namespace zelko::service

int main(int argc, char** argv) {
  zelko::service::ServiceOptions options;
  CLI::App app{"ZelkoService: the receipt driver over HTTP for web and networked tills"};
  app.add_option("--listen", options.listen, "HOST:PORT to listen on; port 0 picks a free one")->capture_default_str();
  app.add_option("--allow-origin", options.allowOrigins,
                 "a web page origin that may call the service, e.g. http://localhost:3000 (repeatable)");
  app.add_option("--token-file", options.tokenFile,
                 "file whose first line is the token every request must carry as Authorization: Bearer");
  app.add_option("--store", options.store, "folder for the outcomes of requests with an Idempotency-Key")
      ->default_str(zelko::service::Utf8(zelko::service::DefaultStoreFolder()));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : zelko::service::kExitUsage;
  }
  try {
    return zelko::service::Run(options, argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "ZelkoService: " << error.what() << "\n";
    return 1;
  }
}
