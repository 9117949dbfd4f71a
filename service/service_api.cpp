#include "service_api.h"

#include <httplib.h>

#include <nlohmann/json.hpp>
#include <variant>

#include "article_conversion.h"
#include "driver_run.h"
#include "request_bodies.h"
#include "run_outcome.h"
#include "status_page.h"
#include "version.h"

namespace zelko::service {

namespace {

constexpr const char* kJson = "application/json";

RequestFacts FactsOf(const httplib::Request& request) {
  return {request.method, request.get_header_value("Origin"), request.get_header_value("Host"),
          request.get_header_value("Authorization"), request.get_header_value("Content-Type")};
}

void Send(httplib::Response& response, const Reply& reply) {
  response.status = reply.status;
  if (reply.replayed) response.set_header("Idempotent-Replayed", "true");
  response.set_content(reply.body, kJson);
}

std::string VersionText() {
  return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." + std::to_string(kVersionPatch) +
         "." + std::to_string(kVersionRevision);
}

}  // namespace

ServiceApi::ServiceApi(const AccessRules& rules, ReceiptRunner& runner, TillDiagnostics& diagnostics,
                       const HostServices& host, OutcomeStore& store,
                       std::string controlInUse)
    : rules_(rules),
      runner_(runner),
      diagnostics_(diagnostics),
      host_(host),
      idempotent_(store),
      controlInUse_(std::move(controlInUse)) {}

void ServiceApi::Mount(httplib::Server& server) {
  server.set_payload_max_length(kBodyLimit);
  server.Post("/v1/receipts", [this](const httplib::Request& request, httplib::Response& response) {
    Guarded(request, response, [this](const httplib::Request& r) { return PostReceipt(r); });
  });
  server.Post("/v1/articles", [this](const httplib::Request& request, httplib::Response& response) {
    Guarded(request, response, [this](const httplib::Request& r) { return PostArticles(r); });
  });
  server.Get("/v1/status", [this](const httplib::Request& request, httplib::Response& response) {
    Guarded(request, response, [this](const httplib::Request&) { return Status(); });
  });
  server.Get("/v1/diagnostics", [this](const httplib::Request& request, httplib::Response& response) {
    Guarded(request, response, [this](const httplib::Request&) { return Diagnose(); });
  });
  server.Post("/v1/diagnostics/probe", [this](const httplib::Request& request, httplib::Response& response) {
    Guarded(request, response, [this](const httplib::Request& r) { return Probe(r); });
  });
  server.Options(R"(/v1/.*)", [this](const httplib::Request& request, httplib::Response& response) {
    Preflight(request, response);
  });
  // The page carries no data and no token; what it shows it fetches from the API, behind the rules.
  server.Get("/", [this](const httplib::Request& request, httplib::Response& response) {
    RequestFacts facts = FactsOf(request);
    facts.authorization.clear();
    if (const auto refusal = rules_.Check(facts); refusal && refusal->status != 401) {
      Send(response, ErrorReply(refusal->status, refusal->message));
      return;
    }
    response.set_header("Content-Security-Policy", "default-src 'self'; script-src 'unsafe-inline'; style-src 'unsafe-inline'");
    response.set_content(std::string(StatusPage()), "text/html; charset=utf-8");
  });
}

void ServiceApi::Guarded(const httplib::Request& request, httplib::Response& response,
                         const std::function<Reply(const httplib::Request&)>& handler) {
  const std::string origin = request.get_header_value("Origin");
  if (!origin.empty() && rules_.AllowsCrossOrigin(origin)) {
    response.set_header("Access-Control-Allow-Origin", origin);
    response.set_header("Access-Control-Expose-Headers", "Idempotent-Replayed");
    response.set_header("Vary", "Origin");
  }
  if (const auto refusal = rules_.Check(FactsOf(request))) {
    Send(response, ErrorReply(refusal->status, refusal->message));
    return;
  }
  Send(response, handler(request));
}

void ServiceApi::Preflight(const httplib::Request& request, httplib::Response& response) const {
  const std::string origin = request.get_header_value("Origin");
  if (origin.empty() || !rules_.AllowsCrossOrigin(origin)) {
    Send(response, ErrorReply(403, "origin \"" + origin + "\" is not allowed (see --allow-origin)"));
    return;
  }
  response.status = 204;
  response.set_header("Access-Control-Allow-Origin", origin);
  response.set_header("Access-Control-Allow-Methods", "GET, POST");
  response.set_header("Access-Control-Allow-Headers", "Content-Type, Authorization, Idempotency-Key");
  response.set_header("Access-Control-Max-Age", "600");
  response.set_header("Vary", "Origin");
}

Reply ServiceApi::OncePerKey(const httplib::Request& request, const IdempotentRequests::Run& run) {
  if (!request.has_header("Idempotency-Key")) return run([] { return true; });
  const std::string key = request.get_header_value("Idempotency-Key");
  if (!IsValidIdempotencyKey(key)) {
    return ErrorReply(400, kInvalidKeyMessage);
  }
  return idempotent_.Handle(key, request.method + " " + request.path + "\n" + request.body, run);
}

Reply ServiceApi::PostReceipt(const httplib::Request& request) {
  auto parsed = ReceiptFromBody(request.body);
  if (const auto* bad = std::get_if<BadRequest>(&parsed)) return ErrorReply(400, bad->message);
  const Receipt receipt = std::get<Receipt>(std::move(parsed));
  return OncePerKey(request, [&](const std::function<bool()>& markStarted) {
    return RunInTurn(receipt, markStarted, "receipt");
  });
}

Reply ServiceApi::PostArticles(const httplib::Request& request) {
  auto parsed = ParseArticleBody(request.body);
  if (const auto* bad = std::get_if<BadRequest>(&parsed)) return ErrorReply(400, bad->message);
  const ArticleRequest articles = std::get<ArticleRequest>(std::move(parsed));
  return OncePerKey(request, [&](const std::function<bool()>& markStarted) {
    const auto converted = ReceiptFromArticles(host_, articles);
    if (const auto* failure = std::get_if<LoaderFailure>(&converted)) {
      return Reply{422,
                   nlohmann::json{{"ok", false}, {"loaderExit", failure->number}, {"message", failure->description}}
                       .dump(),
                   false};
    }
    return RunInTurn(std::get<Receipt>(converted), markStarted, "articles");
  });
}

Reply ServiceApi::RunInTurn(const Receipt& receipt, const std::function<bool()>& markStarted,
                            const std::string& what) {
  return InTurn([&](RunProgress& progress) {
    if (!markStarted()) {
      return ErrorReply(503, "the outcome store cannot be written, so the run was not started; nothing was sent");
    }
    const Reply outcome = ReceiptReply(runner_.Run(receipt, progress));
    recent_.Add(what, outcome);
    return outcome;
  });
}

Reply ServiceApi::Diagnose() {
  return InTurn([this](RunProgress&) { return Reply{200, diagnostics_.Checks(), false}; });
}

Reply ServiceApi::Probe(const httplib::Request& request) {
  const QueueState state = queue_.State();
  if (state.running || state.waiting > 0) {
    return ErrorReply(409, "a receipt is running or waiting; the register is asked only while none is");
  }
  const auto port = ParseProbeBody(request.body);
  if (const auto* bad = std::get_if<BadRequest>(&port)) return ErrorReply(400, bad->message);
  return InTurn([&](RunProgress&) { return Reply{200, diagnostics_.Probe(std::get<std::string>(port)), false}; });
}

Reply ServiceApi::InTurn(const RunQueue::Job& job) {
  if (const auto reply = queue_.RunInTurn(job)) return *reply;
  return ErrorReply(503, "the service is busy: " + std::to_string(kQueueCapacity) +
                             " requests already wait for the register; nothing was sent, try again later");
}

Reply ServiceApi::Status() const {
  const QueueState state = queue_.State();
  const nlohmann::json body = {{"version", VersionText()},
                               {"driverTitle", DriverTitle()},
                               {"control", controlInUse_},
                               {"running", state.running},
                               {"sent", state.sent},
                               {"total", state.total},
                               {"waiting", state.waiting},
                               {"recent", recent_.List()}};
  return {200, body.dump(), false};
}

}  // namespace zelko::service
