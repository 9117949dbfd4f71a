// ZelkoService: the receipt driver for web and networked tills, over HTTP
// with JSON, with one run at a time and no duplicate after a lost reply.
#include <httplib.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "access_rules.h"
#include "connection_front.h"
#include "connection_stream.h"
#include "control_selection.h"
#include "driver_environment.h"
#include "driver_receipt_runner.h"
#include "host_backend.h"
#include "listen_address.h"
#include "outcome_store.h"
#include "register_thread.h"
#include "request_server.h"
#include "service_api.h"
#include "service_options.h"
#include "service_sockets.h"
#include "store_lock.h"
#include "termination_request.h"
#include "worker_pool.h"

namespace zelko::service {
namespace {

constexpr int kExitUsage = 2;
constexpr std::chrono::hours kRetention{24 * 7};
constexpr std::chrono::seconds kListenPatience{2};

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

// The store's folder, made when missing; empty, with `error` set, when it cannot be.
std::filesystem::path StoreFolder(const ServiceOptions& options, std::string& error) {
  const std::filesystem::path folder =
      options.store.empty() ? DefaultStoreFolder() : std::filesystem::path(options.store);
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  if (made) {
    error = "cannot make the store folder " + Utf8(folder) + ": " + made.message();
    return {};
  }
  return folder;
}

// The store for this process alone. While another service holds it, waits,
// and says so once; nothing, with `error` empty, when told to end meanwhile.
std::unique_ptr<StoreLock> HoldStore(const std::filesystem::path& folder, std::string& error) {
  auto lock = StoreLock::Open(folder / "service.lock", error);
  if (!lock) {
    error = "cannot lock the store " + Utf8(folder) + ": " + error;
    return nullptr;
  }
  if (lock->TryTake()) return lock;
  std::cerr << "ZelkoService: the store " << Utf8(folder)
            << " is held by another ZelkoService; waiting for it to end" << std::endl;
  while (!lock->TryTake()) {
    if (TerminationRequested()) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return lock;
}

int Run(const ServiceOptions& options, int argc, char** argv) {
  std::string error;
  auto plan = PlanListening(options, error);
  if (!plan) return Fail(error);
  // The address before the store: a second service on an address in use ends
  // soon, and one that waits for the store takes no connection meanwhile. The
  // patience is for a restart, whose old process closes its listener on the
  // termination signal, a moment after the new one may have started.
  const socket_t listener = BindExclusively(plan->host, plan->port, kListenPatience, error);
  if (listener == INVALID_SOCKET) return Fail("cannot listen on " + options.listen + ": " + error);
  WatchTerminationRequests();
  const std::filesystem::path folder = StoreFolder(options, error);
  if (folder.empty()) return Fail(error);
  const auto lock = HoldStore(folder, error);
  if (!lock) return error.empty() ? 0 : Fail(error);
  const auto store = OutcomeStore::Open(Utf8(folder / "outcomes.sqlite"), kRetention, error);
  if (!store) return Fail(error);
  if (!StartListening(listener)) return Fail("cannot listen on " + options.listen + ": the address is in use");

  const auto host = MakeHostServices(argc, argv);
  const auto settings = MakeSettingsStore("JQT SPA", "ZELKO");
  const DriverEnvironment environment = ReadDriverEnvironment(host->EnvironmentEntries(), ZelkoRoot());
  const ControlSelection controls(environment, *host);
  DriverReceiptRunner driverRunner(*host, *settings, environment, controls);
  RegisterThread runner(driverRunner);
  const Till till{*host, *settings, environment, controls};
  TillDiagnostics diagnostics(till, runner);
  const AccessRules rules(options.allowOrigins, plan->token,
                          plan->loopback ? LoopbackAuthorities(plan->host, plan->port) : std::vector<std::string>{});
  ServiceApi api(rules, runner, diagnostics, *host, *store, controls.Description());
  RequestServer server;
  api.Mount(server);

  // Every waiting request holds a thread; a few more serve status and page meanwhile.
  WorkerPool workers(kQueueCapacity + 8);
  ConnectionFront front(listener, workers,
                        [&server](socket_t connection, std::string received, ConnectionFront::Clock::time_point deadline) {
                          ConnectionStream stream(connection, std::move(received), deadline);
                          server.Answer(stream);
                        });
  std::thread stopper([&front] {
    while (!TerminationRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    front.Stop();
  });
  std::cout << "ZelkoService listening on http://" << ListenAddressText(plan->host, std::to_string(plan->port)) << "/"
            << std::endl;
  front.Run();  // until the stopper stops it
  stopper.join();
  // The requests already taken finish: the running receipt and those waiting.
  workers.Finish();
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
