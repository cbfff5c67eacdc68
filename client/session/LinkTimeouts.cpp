#include "session/LinkTimeouts.h"

#include <QAbstractSocket>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace LinkTimeouts {

bool Apply(QAbstractSocket& socket, const Timings& timings)
{
    const qintptr fd = socket.socketDescriptor();
    if (fd < 0)
        return false;
    const auto set = [fd](int level, int name, int value) {
        return ::setsockopt(static_cast<int>(fd), level, name, &value, sizeof value) == 0;
    };
    bool ok = set(SOL_SOCKET, SO_KEEPALIVE, 1);
    ok = set(IPPROTO_TCP, TCP_KEEPIDLE, timings.idleSeconds) && ok;
    ok = set(IPPROTO_TCP, TCP_KEEPINTVL, timings.intervalSeconds) && ok;
    ok = set(IPPROTO_TCP, TCP_KEEPCNT, timings.probes) && ok;
    ok = set(IPPROTO_TCP, TCP_USER_TIMEOUT, timings.unacknowledgedMs) && ok;
    return ok;
}

}  // namespace LinkTimeouts
