#pragma once

#include <cstddef>
#include <string>

#include "access_rules.h"
#include "host_services.h"
#include "idempotent_requests.h"
#include "receipt_runner.h"
#include "recent_outcomes.h"
#include "run_queue.h"
#include "till_diagnostics.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace zelko::service {

// The largest request body, and how many requests may wait behind the running one.
inline constexpr std::size_t kBodyLimit = 8 * 1024 * 1024;
inline constexpr std::size_t kQueueCapacity = 32;

// The HTTP face of the service: the routes, each behind the access rules.
class ServiceApi {
 public:
  ServiceApi(const AccessRules& rules, ReceiptRunner& runner, TillDiagnostics& diagnostics, const HostServices& host,
             OutcomeStore& store, std::string controlInUse);  // what the status names as the control

  void Mount(httplib::Server& server);

 private:
  Reply PostReceipt(const httplib::Request& request);
  Reply PostArticles(const httplib::Request& request);
  Reply Status() const;
  // The till's checks, in a turn of their own, as no run is then at the register.
  Reply Diagnose();
  // The register asked on a port, only while no receipt runs or waits.
  Reply Probe(const httplib::Request& request);
  // The job's reply in its turn, or 503 when the queue is full.
  Reply InTurn(const RunQueue::Job& job);
  // Runs the receipt in its turn; `what` names it on the status page.
  Reply RunInTurn(const Receipt& receipt, const std::function<bool()>& markStarted, const std::string& what);
  // Once per key when the request has one.
  Reply OncePerKey(const httplib::Request& request, const IdempotentRequests::Run& run);

  // The handler's reply behind the access rules, with CORS headers for allowed origins.
  void Guarded(const httplib::Request& request, httplib::Response& response,
               const std::function<Reply(const httplib::Request&)>& handler);
  void Preflight(const httplib::Request& request, httplib::Response& response) const;

  const AccessRules& rules_;
  ReceiptRunner& runner_;
  TillDiagnostics& diagnostics_;
  const HostServices& host_;
  IdempotentRequests idempotent_;
  RunQueue queue_{kQueueCapacity};
  RecentOutcomes recent_;
  std::string controlInUse_;
};

}  // namespace zelko::service
