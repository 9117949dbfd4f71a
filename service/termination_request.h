#pragma once

namespace zelko::service {

// Ctrl-C, or the system asking the service to end (SIGINT and SIGTERM on
// POSIX, the console's control events on Windows), sets a flag instead of
// ending the process, so that the running receipt can finish.
void WatchTerminationRequests();
bool TerminationRequested();

}  // namespace zelko::service
