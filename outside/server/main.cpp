// quellor-server: a game server for one table of four seats on 127.0.0.1.
// It answers the entry request, stamps a changing session code on everything it sends and
// returns every chat line to all seats. It grows into a full game server with computer
// players; its table already has the shape of four seats.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>

#include <array>
#include <cstdio>

#include "session/Packet.h"

namespace {

struct Options {
    int outcome = 1;          // entry result byte 15
    int timeoutLimit = 0;     // entry result byte 9
    QByteArray webAddress;    // entry result bytes 16..115
    QString recordPath;       // every received packet, one hex line each
};

struct Seat {
    QTcpSocket* connection = nullptr;
    QByteArray key;
    QByteArray pending;  // bytes of a packet not yet complete
};

class TableServer : public QObject {
public:
    TableServer(Options options, QObject* parent = nullptr) : QObject(parent), m_options(std::move(options))
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] { Accept(); });
    }

    bool Listen(quint16 port)
    {
        if (!m_server.listen(QHostAddress::LocalHost, port))
            return false;
        std::printf("quellor-server listening on 127.0.0.1:%u\n", m_server.serverPort());
        std::fflush(stdout);
        return true;
    }

private:
    static uint8_t SeatBit(int seat) { return static_cast<uint8_t>(1 << seat); }

    void Accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            const int seat = FreeSeat();
            if (seat < 0) {
                // The table is full.
                socket->disconnectFromHost();
                socket->deleteLater();
                continue;
            }
            m_seats[static_cast<size_t>(seat)].connection = socket;
            connect(socket, &QTcpSocket::readyRead, this, [this, seat] { Read(seat); });
            connect(socket, &QTcpSocket::disconnected, this, [this, seat] { Leave(seat); });
        }
    }

    int FreeSeat() const
    {
        for (int i = 0; i < 4; ++i)
            if (!m_seats[static_cast<size_t>(i)].connection)
                return i;
        return -1;
    }

    void Leave(int seat)
    {
        Seat& s = m_seats[static_cast<size_t>(seat)];
        if (s.connection)
            s.connection->deleteLater();
        s = Seat{};
        std::printf("seat %d left\n", seat);
        std::fflush(stdout);
    }

    void Read(int seat)
    {
        Seat& s = m_seats[static_cast<size_t>(seat)];
        if (!s.connection)
            return;
        s.pending += s.connection->readAll();
        while (s.pending.size() >= PacketSize) {
            Packet p{};
            std::copy_n(reinterpret_cast<const uint8_t*>(s.pending.constData()), PacketSize, p.begin());
            s.pending.remove(0, PacketSize);
            Record(p);
            Handle(seat, p);
        }
    }

    void Record(const Packet& p)
    {
        if (m_options.recordPath.isEmpty())
            return;
        QFile file(m_options.recordPath);
        if (!file.open(QIODevice::Append))
            return;
        file.write(QByteArray(reinterpret_cast<const char*>(p.data()), PacketSize).toHex());
        file.write("\n");
    }

    void Handle(int seat, const Packet& p)
    {
        switch (p[Wire::CommandByte]) {
        case 18:
            Enter(seat, p);
            break;
        case 19: {
            Packet echo = p;
            for (int i = 0; i < 4; ++i)
                if (m_seats[static_cast<size_t>(i)].connection)
                    Send(i, echo);
            break;
        }
        default:
            break;
        }
    }

    void Enter(int seat, const Packet& request)
    {
        Seat& s = m_seats[static_cast<size_t>(seat)];
        const int keyLength = Wire::FieldLength(request, 16, 16);
        s.key = QByteArray(reinterpret_cast<const char*>(request.data()) + 16, keyLength);
        std::printf("entry from seat %d key %s at %lld us\n", seat, s.key.constData(),
                    static_cast<long long>(QDateTime::currentMSecsSinceEpoch()) * 1000);
        std::fflush(stdout);

        Packet reply = Wire::NewPacket(18);
        reply[6] = SeatBit(seat);
        reply[9] = static_cast<uint8_t>(m_options.timeoutLimit);
        reply[15] = static_cast<uint8_t>(m_options.outcome);
        const int n = static_cast<int>(std::min<qsizetype>(m_options.webAddress.size(), 100));
        for (int i = 0; i < n; ++i)
            reply[static_cast<size_t>(16 + i)] = static_cast<uint8_t>(m_options.webAddress[i]);
        Send(seat, reply);
    }

    void Send(int seat, Packet p)
    {
        QTcpSocket* c = m_seats[static_cast<size_t>(seat)].connection;
        if (!c)
            return;
        // A new session code with every packet; the clients echo the last one they saw.
        ++m_sessionCode;
        p[260] = static_cast<uint8_t>(m_sessionCode & 0xFF);
        p[261] = static_cast<uint8_t>(m_sessionCode >> 8);
        c->write(reinterpret_cast<const char*>(p.data()), PacketSize);
    }

    Options m_options;
    QTcpServer m_server;
    std::array<Seat, 4> m_seats{};
    uint16_t m_sessionCode = 0x1234;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quellor-server"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Game server stand-in for one Quellor table."));
    parser.addHelpOption();
    QCommandLineOption port(QStringLiteral("port"), QStringLiteral("TCP port on 127.0.0.1 (0 picks a free one)."),
                            QStringLiteral("port"), QStringLiteral("7430"));
    QCommandLineOption outcome(QStringLiteral("outcome"),
                               QStringLiteral("Entry result: 1 accepted, 2 start failed, other refused."),
                               QStringLiteral("n"), QStringLiteral("1"));
    QCommandLineOption timeoutLimit(QStringLiteral("timeout-limit"),
                                    QStringLiteral("Automatic-play limit sent in the entry result."),
                                    QStringLiteral("n"), QStringLiteral("0"));
    QCommandLineOption web(QStringLiteral("web"), QStringLiteral("Web page address of the table."),
                           QStringLiteral("url"));
    QCommandLineOption record(QStringLiteral("record"),
                              QStringLiteral("Append every received packet as a hex line to this file."),
                              QStringLiteral("file"));
    parser.addOptions({port, outcome, timeoutLimit, web, record});
    parser.process(app);

    Options options;
    bool ok = true;
    options.outcome = parser.value(outcome).toInt(&ok);
    const int limit = parser.value(timeoutLimit).toInt();
    const int portNumber = parser.value(port).toInt();
    if (!ok || options.outcome < 0 || options.outcome > 255 || limit < 0 || limit > 255 || portNumber < 0
        || portNumber > 65535) {
        std::fprintf(stderr, "quellor-server: bad option value\n");
        return 2;
    }
    options.timeoutLimit = limit;
    options.webAddress = parser.value(web).toLatin1();
    options.recordPath = parser.value(record);

    TableServer server(options);
    if (!server.Listen(static_cast<quint16>(portNumber))) {
        std::fprintf(stderr, "quellor-server: cannot listen on 127.0.0.1:%d\n", portNumber);
        return 1;
    }
    return app.exec();
}
