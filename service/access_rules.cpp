#include "access_rules.h"

#include <algorithm>
#include <cctype>

#include "listen_address.h"
#include "text.h"

namespace zelko::service {

namespace {

// "http://Host:Port/" and "http://host:port" are one origin.
std::string NormalOrigin(const std::string& origin) {
  std::string normal = ToLowerAscii(origin);
  while (!normal.empty() && normal.back() == '/') normal.pop_back();
  return normal;
}

// The media type without parameters: "application/json; charset=utf-8" is "application/json".
std::string MediaType(const std::string& contentType) {
  std::string type = contentType.substr(0, contentType.find(';'));
  const auto notBlank = [](unsigned char c) { return !std::isspace(c); };
  type.erase(type.begin(), std::find_if(type.begin(), type.end(), notBlank));
  type.erase(std::find_if(type.rbegin(), type.rend(), notBlank).base(), type.end());
  return ToLowerAscii(type);
}

// Compares every byte whatever the first difference, so that the time taken
// tells nothing about the token but its length.
bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char difference = 0;
  for (std::size_t i = 0; i < a.size(); ++i) difference |= static_cast<unsigned char>(a[i] ^ b[i]);
  return difference == 0;
}

}  // namespace

AccessRules::AccessRules(const std::vector<std::string>& allowedOrigins, std::optional<std::string> token,
                         std::vector<std::string> ownAuthorities)
    : token_(std::move(token)), ownAuthorities_(std::move(ownAuthorities)) {
  for (const auto& origin : allowedOrigins) allowedOrigins_.insert(NormalOrigin(origin));
  for (auto& authority : ownAuthorities_) authority = ToLowerAscii(authority);
}

std::optional<Refusal> AccessRules::Check(const RequestFacts& request) const {
  if (!token_ && !IsOwnAuthority(request.host)) {
    return Refusal{403, "the service answers only to its loopback names, not to \"" + request.host + "\""};
  }
  if (!request.origin.empty() && !IsOwnOrigin(request.origin, request.host) && !AllowsCrossOrigin(request.origin)) {
    return Refusal{403, "origin \"" + request.origin + "\" is not allowed (see --allow-origin)"};
  }
  if (token_ && !HasToken(request.authorization)) {
    return Refusal{401, "a valid \"Authorization: Bearer <token>\" header is required"};
  }
  if (request.method == "POST" && MediaType(request.contentType) != "application/json") {
    return Refusal{415, "the body must be sent as Content-Type: application/json"};
  }
  return std::nullopt;
}

bool AccessRules::AllowsCrossOrigin(const std::string& origin) const {
  return allowedOrigins_.contains(NormalOrigin(origin));
}

bool AccessRules::IsOwnAuthority(const std::string& host) const {
  return std::find(ownAuthorities_.begin(), ownAuthorities_.end(), ToLowerAscii(host)) != ownAuthorities_.end();
}

bool AccessRules::IsOwnOrigin(const std::string& origin, const std::string& host) const {
  const std::string normal = NormalOrigin(origin);
  if (token_) return normal == "http://" + ToLowerAscii(host);
  return std::any_of(ownAuthorities_.begin(), ownAuthorities_.end(),
                     [&](const std::string& authority) { return normal == "http://" + authority; });
}

bool AccessRules::HasToken(const std::string& authorization) const {
  constexpr std::string_view kScheme = "Bearer ";
  if (authorization.size() < kScheme.size() || ToLowerAscii(authorization.substr(0, kScheme.size())) != "bearer ") {
    return false;
  }
  return SameText(authorization.substr(kScheme.size()), *token_);
}

std::vector<std::string> LoopbackAuthorities(const std::string& host, int port) {
  // Built by appending, which GCC 12's optimiser does not mistake for overlapping copies.
  std::string suffix = ":";
  suffix.append(std::to_string(port));
  std::vector<std::string> names{"127.0.0.1", "localhost", "[::1]"};
  for (auto& name : names) name.append(suffix);
  const std::string own = ListenAddressText(host, std::to_string(port));
  if (std::find(names.begin(), names.end(), own) == names.end()) names.push_back(own);
  return names;
}

}  // namespace zelko::service
