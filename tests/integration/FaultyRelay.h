#pragma once
// A TCP relay between a client and a server on 127.0.0.1 that can stop passing bytes. While it
// black-holes, everything either side sends is read and thrown away and new links are taken
// but lead nowhere; when it ends, the links it held are reset, as by a router that lost their
// state, and new links are passed through again. Runs in the caller's event loop.
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <sys/socket.h>

#include <memory>
#include <vector>

namespace IntegrationTest {

class FaultyRelay : public QObject {
public:
    explicit FaultyRelay(quint16 serverPort) : m_serverPort(serverPort)
    {
        connect(&m_listener, &QTcpServer::newConnection, this, [this] { Accept(); });
        m_listener.listen(QHostAddress::LocalHost, 0);
    }

    ~FaultyRelay() override
    {
        for (auto& pair : m_pairs)
            for (QTcpSocket* s : {pair->client, pair->server})
                if (s != nullptr)
                    s->disconnect(this);
    }

    quint16 Port() const { return m_listener.serverPort(); }

    void StartBlackHole()
    {
        m_blackHole = true;
        for (auto& pair : m_pairs)
            pair->held = true;
    }

    // Resets every link held through the black hole and passes new links again.
    void EndBlackHole()
    {
        m_blackHole = false;
        for (auto& pair : m_pairs)
            if (pair->held)
                for (QTcpSocket* s : {pair->client, pair->server})
                    if (s != nullptr)
                        Reset(s);
    }

    int Links() const { return static_cast<int>(m_pairs.size()); }

private:
    struct Pair {
        QTcpSocket* client = nullptr;
        QTcpSocket* server = nullptr;
        bool held = false;  // lives in the black hole: nothing passes, ever
    };

    static void Reset(QTcpSocket* s)
    {
        if (s->socketDescriptor() >= 0) {
            const linger hard{1, 0};
            ::setsockopt(static_cast<int>(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        }
        s->abort();
    }

    void Accept()
    {
        while (QTcpSocket* client = m_listener.nextPendingConnection()) {
            auto pair = std::make_unique<Pair>();
            Pair* p = pair.get();
            p->client = client;
            p->held = m_blackHole;
            client->setParent(this);
            if (!p->held) {
                p->server = new QTcpSocket(this);
                p->server->connectToHost(QHostAddress::LocalHost, m_serverPort);
                connect(p->server, &QTcpSocket::readyRead, this, [p] { Pass(p, p->server, p->client); });
                connect(p->server, &QTcpSocket::disconnected, this, [p] { p->client->abort(); });
                connect(p->server, &QTcpSocket::connected, this, [p] { Pass(p, p->client, p->server); });
            }
            connect(client, &QTcpSocket::readyRead, this, [p] { Pass(p, p->client, p->server); });
            connect(client, &QTcpSocket::disconnected, this, [p] {
                if (p->server != nullptr)
                    p->server->abort();
            });
            m_pairs.push_back(std::move(pair));
        }
    }

    static void Pass(Pair* p, QTcpSocket* from, QTcpSocket* to)
    {
        if (p->held) {
            from->readAll();  // into the hole
            return;
        }
        if (to == nullptr || to->state() != QAbstractSocket::ConnectedState)
            return;  // read once the other side is up
        to->write(from->readAll());
    }

    quint16 m_serverPort;
    QTcpServer m_listener;
    bool m_blackHole = false;
    std::vector<std::unique_ptr<Pair>> m_pairs;
};

}  // namespace IntegrationTest
