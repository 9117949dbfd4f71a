#pragma once

#include <string>

namespace zelko::service {

// What the service answers to one request: an HTTP status and a JSON body.
struct Reply {
  int status = 200;
  std::string body;
  bool replayed = false;  // the stored outcome of an earlier request with the same key
};

// {"error": message}, for requests that reach no register.
Reply ErrorReply(int status, const std::string& message);

}  // namespace zelko::service
