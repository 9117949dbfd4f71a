#include <windows.h>

#include <atomic>

#include "termination_request.h"

namespace zelko::service {
namespace {

std::atomic<bool> requested{false};

// Runs on a thread of its own. Ctrl-C and Ctrl-Break are answered at once;
// for a closed console, logoff or shutdown Windows ends the process a few
// seconds after this returns, whatever the service is doing.
BOOL WINAPI OnConsoleControl(DWORD) {
  requested = true;
  return TRUE;
}

}  // namespace

void WatchTerminationRequests() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

bool TerminationRequested() { return requested; }

}  // namespace zelko::service
