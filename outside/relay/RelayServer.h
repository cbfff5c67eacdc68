#pragma once
// The relay on TCP: one link per component, messages cut by RelayWire::Reader and handed to
// the hub; what the hub sends is written back. A link whose peer does not read keeps at most
// a bounded backlog: frames beyond it are dropped, never queued without end. The computer
// players of the game server ("cpu" and a number) are played by the relay itself, with a
// moving test picture. Open to a network, it holds so many links in all and per remote
// address, closes a link that has not logged in within a time limit, and closes one whose
// unsent output passes a bound that dropping frames could not keep it under; with the game
// server's accounts, a login needs the key's password.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QThreadPool>
#include <QTimer>

#include <map>
#include <memory>
#include <optional>

#include "Accounts.h"
#include "Hub.h"
#include "OpenPort.h"

class QTcpSocket;

namespace Relay {

struct RelayOptions {
    QHostAddress listen = QHostAddress(QHostAddress::LocalHost);
    int maxLinks = 256;
    int maxLinksPerAddress = 0;       // 0: no cap of its own
    int64_t loginLimitMs = 10000;     // a link not logged in by then is closed
    qint64 outputLimit = 16 * 1024 * 1024;
    // The game server's accounts: only a key with its password logs in, so that nobody takes
    // another player's name and with it their video.
    std::optional<Accounts::Book> accounts;
};

class RelayServer : public QObject {
public:
    explicit RelayServer(RelayOptions options = {}, QObject* parent = nullptr);
    ~RelayServer() override;
    bool Listen(quint16 port);
    quint16 Port() const { return m_server.serverPort(); }

    // Most bytes waiting to be written to one link before its frames are dropped.
    static constexpr qint64 MaxBacklog = 8 * 1024 * 1024;

private:
    struct Link {
        QTcpSocket* socket = nullptr;
        RelayWire::Reader reader;
        long long picturesSent = 0;  // pictures written to this link
        std::string address;         // of the remote end, as counted by the link caps
        qint64 openedAt = 0;
        bool loggedIn = false;
        bool checking = false;       // its password is being checked: later messages wait
    };

    void Accept();
    void Read(int id);
    // Handles the link's whole messages, as long as it may.
    void Handle(int id);
    // A login whose password is known to be right or wrong.
    void LoggedIn(int id, const RelayWire::Message& login, bool passwordOk);
    void Drop(int id);
    void CloseLate();
    void Send(int id, const RelayWire::Message& message);
    void PaintHosted();

    RelayOptions m_options;
    OpenPort::LinkCaps m_caps;
    QTcpServer m_server;
    Hub m_hub;
    std::map<int, std::unique_ptr<Link>> m_links;
    int m_nextId = 1;
    QTimer m_hostedTimer;
    QElapsedTimer m_clock;
    int m_hostedTick = 0;
    QTimer m_lateTimer;
    // Password checks, off the thread that relays the pictures.
    QThreadPool m_checks;
};

// One frame of the moving picture of a hosted user: a JPEG image.
QByteArray HostedPicture(const std::string& name, qint64 ms);

}  // namespace Relay
