#include "platform/posix/PortLoss.h"

#include <poll.h>

#include "platform/serialInterface.h"

namespace serial {

bool portLost(const serialInterface& port) {
    pollfd p{static_cast<int>(port.handle()), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace serial
