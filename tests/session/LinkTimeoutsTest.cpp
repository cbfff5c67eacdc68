// The dead-peer timings on a real connected socket, read back from the kernel.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include "session/LinkTimeouts.h"

namespace {

int Option(const QTcpSocket& socket, int level, int name)
{
    int value = -1;
    socklen_t size = sizeof value;
    if (::getsockopt(static_cast<int>(socket.socketDescriptor()), level, name, &value, &size) != 0)
        return -1;
    return value;
}

}  // namespace

TEST(LinkTimeoutsTest, AConnectedSocketGetsEveryTiming)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QTcpSocket socket;
    // Before the connection there is nothing to set.
    EXPECT_FALSE(LinkTimeouts::Apply(socket));
    socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
    ASSERT_TRUE(socket.waitForConnected(3000));
    EXPECT_EQ(Option(socket, SOL_SOCKET, SO_KEEPALIVE), 0);

    ASSERT_TRUE(LinkTimeouts::Apply(socket, {7, 3, 4, 21000}));
    EXPECT_EQ(Option(socket, SOL_SOCKET, SO_KEEPALIVE), 1);
    EXPECT_EQ(Option(socket, IPPROTO_TCP, TCP_KEEPIDLE), 7);
    EXPECT_EQ(Option(socket, IPPROTO_TCP, TCP_KEEPINTVL), 3);
    EXPECT_EQ(Option(socket, IPPROTO_TCP, TCP_KEEPCNT), 4);
    EXPECT_EQ(Option(socket, IPPROTO_TCP, TCP_USER_TIMEOUT), 21000);

    // The table's own: lost within about 25 s.
    ASSERT_TRUE(LinkTimeouts::Apply(socket));
    const int idle = Option(socket, IPPROTO_TCP, TCP_KEEPIDLE);
    const int interval = Option(socket, IPPROTO_TCP, TCP_KEEPINTVL);
    const int probes = Option(socket, IPPROTO_TCP, TCP_KEEPCNT);
    EXPECT_LE(idle + interval * probes, 30);
    EXPECT_LE(Option(socket, IPPROTO_TCP, TCP_USER_TIMEOUT), 30000);
}
