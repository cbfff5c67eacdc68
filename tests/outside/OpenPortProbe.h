#pragma once
// Checks of what a port open to a network needs, shared by the server's and the relay's tests:
// links from several loopback addresses against the link caps, and links that never finish
// their entry against the time limit. The program under test runs with --max-links 3
// --max-links-per-address 2 for the first, and with its entry limit set for the second.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>

#include <algorithm>
#include <functional>
#include <memory>

namespace OpenPortProbe {

// A link to host:port that leaves from `source` (any 127.x address is this machine's).
inline std::unique_ptr<QTcpSocket> LinkFrom(const QString& source, const QString& host, int port)
{
    auto socket = std::make_unique<QTcpSocket>();
    if (!socket->bind(QHostAddress(source)))
        return nullptr;
    socket->connectToHost(host, static_cast<quint16>(port));
    if (!socket->waitForConnected(3000))
        return nullptr;
    return socket;
}

// Whether the other end closes the link within `ms`; what it sends meanwhile is read and dropped.
inline bool ClosedWithin(QTcpSocket& socket, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(static_cast<int>(std::min<qint64>(50, std::max<qint64>(1, deadline.remainingTime()))));
        socket.readAll();
    }
    return socket.state() != QAbstractSocket::ConnectedState;
}

// Three links held at most, two of them from one address: past either cap a new link is closed
// at once, and a link that goes frees its place.
// Gives how many links from the third address were turned away while the program had not yet
// seen the first one go (each is one more "all links taken" line in its log).
inline int CheckLinkCaps(const QString& host, int port)
{
    int turnedAway = 0;
    auto first = LinkFrom("127.0.0.1", host, port);
    auto second = LinkFrom("127.0.0.1", host, port);
    auto third = LinkFrom("127.0.0.1", host, port);
    EXPECT_TRUE(first && second && third);
    if (!first || !second || !third)
        return -1;
    EXPECT_TRUE(ClosedWithin(*third, 2000)) << "a third link from one address";
    auto other = LinkFrom("127.0.0.2", host, port);
    auto fourth = LinkFrom("127.0.0.3", host, port);
    EXPECT_TRUE(other && fourth);
    if (!other || !fourth)
        return -1;
    EXPECT_TRUE(ClosedWithin(*fourth, 2000)) << "a fourth link in all";
    for (QTcpSocket* held : {first.get(), second.get(), other.get()})
        EXPECT_FALSE(ClosedWithin(*held, 200)) << "a link within the caps";

    // Once one goes, a link from the third address is held; the program may take a moment to
    // see the close.
    first->abort();
    QElapsedTimer waited;
    waited.start();
    bool admitted = false;
    while (!admitted && waited.elapsed() < 3000) {
        auto again = LinkFrom("127.0.0.3", host, port);
        EXPECT_TRUE(again);
        if (!again)
            return -1;
        admitted = !ClosedWithin(*again, 300);
        turnedAway += admitted ? 0 : 1;
    }
    EXPECT_TRUE(admitted);
    return turnedAway;
}

// A link that sends nothing and one that sends half an entry are closed once `limitMs` has
// passed, not before; a link that entered (by `enter`) stays. Gives how long the silent link was
// held.
inline qint64 CheckEntryLimit(const QString& host, int port, int limitMs,
                              const std::function<void(QTcpSocket&)>& enter)
{
    auto silent = LinkFrom("127.0.0.1", host, port);
    auto half = LinkFrom("127.0.0.1", host, port);
    auto entered = LinkFrom("127.0.0.1", host, port);
    EXPECT_TRUE(silent && half && entered);
    if (!silent || !half || !entered)
        return -1;
    QElapsedTimer held;
    held.start();
    half->write(QByteArray(3, '\0'));  // not even a length or a whole packet
    half->flush();
    enter(*entered);
    EXPECT_TRUE(ClosedWithin(*silent, limitMs + 3000));
    const qint64 closedAfter = held.elapsed();
    EXPECT_GE(closedAfter, limitMs - 50);
    EXPECT_TRUE(ClosedWithin(*half, 1000));
    EXPECT_FALSE(ClosedWithin(*entered, 300));
    return closedAfter;
}

}  // namespace OpenPortProbe
