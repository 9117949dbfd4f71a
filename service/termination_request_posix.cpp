#include <signal.h>

#include <atomic>

#include "termination_request.h"

namespace zelko::service {
namespace {

std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnTerminationSignal(int) { requested = true; }

}  // namespace

void WatchTerminationRequests() {
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

bool TerminationRequested() { return requested; }

}  // namespace zelko::service
