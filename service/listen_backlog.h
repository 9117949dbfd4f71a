#pragma once

namespace zelko::service {

// cpp-httplib listens with a backlog of 5; a burst of tills connecting at
// once overflows it and some connections are dropped. Listening again on the
// bound socket raises the backlog to the system's limit.
void WidenListenBacklog(int listeningSocket);

}  // namespace zelko::service
