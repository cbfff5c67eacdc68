#pragma once
// A tiny HTTP responder on 127.0.0.1 for the web page tests: "/page" is a small document,
// every other path a 404. One request per connection.
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

class LocalHttp : public QObject {
public:
    LocalHttp()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* peer = m_server.nextPendingConnection())
                QObject::connect(peer, &QTcpSocket::readyRead, peer, [this, peer] { Answer(peer); });
        });
    }

    bool Listening() const { return m_server.isListening(); }
    QString Url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    int Requests() const { return m_requests; }

private:
    void Answer(QTcpSocket* peer)
    {
        m_pending[peer] += peer->readAll();
        const QByteArray& request = m_pending[peer];
        if (!request.contains("\r\n\r\n"))
            return;
        ++m_requests;
        const QByteArray path = request.split(' ').value(1);
        QByteArray status = "404 Not Found";
        QByteArray body = "<html><body>not here</body></html>";
        if (path == "/page") {
            status = "200 OK";
            body = "<html><head><title>table</title></head>"
                   "<body style=\"margin:0;background:#f6c945\"><b>Quellor</b></body></html>";
        }
        peer->write("HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: "
                    + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        peer->disconnectFromHost();
        m_pending.remove(peer);
        QObject::connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_pending;
    int m_requests = 0;
};
