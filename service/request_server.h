#pragma once

#include <httplib.h>

namespace zelko::service {

// cpp-httplib's routing and replies for requests that the service's own
// front has accepted, in place of cpp-httplib's accepting threads.
class RequestServer final : public httplib::Server {
 public:
  // Reads, routes and answers the one request on `stream`; the reply says the connection closes.
  void Answer(httplib::Stream& stream) {
    bool closed = false;
    process_request(stream, true, closed, nullptr);
  }
};

}  // namespace zelko::service
