#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zelko::service {

// The parts of a request that decide whether it may be served.
struct RequestFacts {
  std::string method;
  std::string origin;         // the Origin header; empty when absent
  std::string host;           // the Host header
  std::string authorization;  // the Authorization header
  std::string contentType;    // the Content-Type header
};

struct Refusal {
  int status;
  std::string message;
};

// Who may use the service. Without a token it answers only to names of this
// machine's loopback (so that a page on another site that resolves its own
// name to 127.0.0.1 is refused too); with one, every request but a preflight
// must carry it. Browser pages need their origin in the allowed list, apart
// from the service's own page.
class AccessRules {
 public:
  // `ownAuthorities`: the "host:port" names the service is reached by when it
  // has no token; with a token, whatever Host the request names is its own.
  AccessRules(const std::vector<std::string>& allowedOrigins, std::optional<std::string> token,
              std::vector<std::string> ownAuthorities);

  // Nothing when the request may go on to its handler.
  std::optional<Refusal> Check(const RequestFacts& request) const;
  // An origin named by --allow-origin: it gets preflights and CORS headers.
  bool AllowsCrossOrigin(const std::string& origin) const;

 private:
  bool IsOwnAuthority(const std::string& host) const;
  bool IsOwnOrigin(const std::string& origin, const std::string& host) const;
  bool HasToken(const std::string& authorization) const;

  std::set<std::string> allowedOrigins_;
  std::optional<std::string> token_;
  std::vector<std::string> ownAuthorities_;
};

// The names a loopback listener on `host`:`port` is reached by.
std::vector<std::string> LoopbackAuthorities(const std::string& host, int port);

}  // namespace zelko::service
