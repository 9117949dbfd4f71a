#include <sys/socket.h>

#include "listen_backlog.h"

namespace zelko::service {

void WidenListenBacklog(int listeningSocket) { ::listen(listeningSocket, SOMAXCONN); }

}  // namespace zelko::service
