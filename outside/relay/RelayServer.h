#pragma once
// The relay on TCP: one link per component, messages cut by RelayWire::Reader and handed to
// the hub; what the hub sends is written back. A link whose peer does not read keeps at most
// a bounded backlog: frames beyond it are dropped, never queued without end. The computer
// players of the game server ("cpu" and a number) are played by the relay itself, with a
// moving test picture.
#include <QElapsedTimer>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

#include <map>
#include <memory>

#include "Hub.h"

class QTcpSocket;

namespace Relay {

class RelayServer : public QObject {
public:
    explicit RelayServer(QObject* parent = nullptr);
    bool Listen(quint16 port);
    quint16 Port() const { return m_server.serverPort(); }

    // Most bytes waiting to be written to one link before its frames are dropped.
    static constexpr qint64 MaxBacklog = 8 * 1024 * 1024;
    static constexpr int MaxLinks = 256;

private:
    struct Link {
        QTcpSocket* socket = nullptr;
        RelayWire::Reader reader;
        long long picturesSent = 0;  // pictures written to this link
    };

    void Accept();
    void Read(int id);
    void Drop(int id);
    void Send(int id, const RelayWire::Message& message);
    void PaintHosted();

    QTcpServer m_server;
    Hub m_hub;
    std::map<int, std::unique_ptr<Link>> m_links;
    int m_nextId = 1;
    QTimer m_hostedTimer;
    QElapsedTimer m_clock;
    int m_hostedTick = 0;
};

// One frame of the moving picture of a hosted user: a JPEG image.
QByteArray HostedPicture(const std::string& name, qint64 ms);

}  // namespace Relay
