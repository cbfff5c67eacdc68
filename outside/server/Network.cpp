#include "Network.h"

#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QThreadPool>

#include <sys/socket.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "rules/Cards.h"

namespace Server {

namespace {

constexpr int TickMs = 20;

void PrintLine(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

TableServer::TableServer(NetworkOptions options, TableConfig table, QObject* parent)
    : QObject(parent),
      m_options(std::move(options)),
      m_links(m_options, table, PrintLine, Side())
{
    m_clock.start();
    // Each check holds its hash's memory (64 MiB at the program's cost): two at a time.
    m_checks.setMaxThreadCount(2);
    connect(&m_server, &QTcpServer::newConnection, this, [this] { Accept(); });
    connect(&m_tick, &QTimer::timeout, this, [this] {
        m_links.Advance();
        DropWhenDue();
        m_links.CloseLate();
    });
    m_tick.start(TickMs);
}

TableServer::~TableServer()
{
    // An answer that comes after this is never delivered: the server is gone.
    m_checks.waitForDone();
    for (auto& [link, socket] : m_sockets)
        socket->disconnect(this);
}

LinkSide TableServer::Side()
{
    auto socketOf = [this](int link) { return m_sockets.at(link); };
    return LinkSide{
        .now = [this] { return Now(); },
        .write = [socketOf](int link, const Packet& p) {
            socketOf(link)->write(reinterpret_cast<const char*>(p.data()), PacketSize);
        },
        .handOver = [socketOf](int link) { socketOf(link)->flush(); },
        .unsent = [socketOf](int link) { return static_cast<int64_t>(socketOf(link)->bytesToWrite()); },
        .close = [socketOf](int link, bool orderly) {
            QTcpSocket* socket = socketOf(link);
            if (orderly) {
                socket->flush();
                socket->disconnectFromHost();
            } else {
                socket->abort();
            }
        },
        .sweepLater = [this] { QMetaObject::invokeMethod(this, [this] { Sweep(); }, Qt::QueuedConnection); },
        .received = [this](int, const Packet& p) { Record(p); },
        .turnTaken = [this] { m_latencyNs.push_back(m_clock.nsecsElapsed() - m_readAtNs); },
        .checkAside = [this](std::function<bool()> check, std::function<void(bool)> done) {
            m_checks.start([this, check = std::move(check), done = std::move(done)]() mutable {
                const bool ok = check();
                QMetaObject::invokeMethod(this, [done = std::move(done), ok] { done(ok); }, Qt::QueuedConnection);
            });
        },
    };
}

bool TableServer::Listen(quint16 port)
{
    if (!m_server.listen(m_options.listen, port))
        return false;
    m_port = m_server.serverPort();
    PrintLine("quellor-server listening on " + OpenPort::Endpoint(m_options.listen, m_port)
              + (m_options.accounts ? ", " + std::to_string(m_options.accounts->Size()) + " accounts" : ""));
    return true;
}

void TableServer::CloseTable(const QString& notice)
{
    m_links.CloseTables(notice.toStdString());
    for (auto& [link, socket] : m_sockets)
        if (!m_links.StateOf(link)->gone)
            socket->flush();
}

void TableServer::Command(const QString& line)
{
    const QString text = line.trimmed();
    if (text.isEmpty())
        return;
    const qsizetype blank = text.indexOf(QRegularExpression(QStringLiteral("\\s")));
    const QString word = blank < 0 ? text : text.left(blank);
    const QString rest = blank < 0 ? QString() : text.mid(blank).trimmed();
    bool numeric = false;
    const int number = rest.toInt(&numeric);
    if (word == QLatin1String("close")) {
        CloseTable(rest);
    } else if (word == QLatin1String("table") && numeric && number >= 0
               && number < m_links.Tables()) {
        m_chosen = number;
        PrintLine("commands address table " + std::to_string(number));
    } else if (word == QLatin1String("latency")) {
        PrintLatency();
    } else if (word == QLatin1String("drop") && (rest.isEmpty() || (numeric && number >= 0 && number < 4))) {
        Drop(rest.isEmpty() ? -1 : number);
    } else if (word == QLatin1String("silent") && (rest.isEmpty() || (numeric && number >= 0 && number < 4))) {
        Silence(rest.isEmpty() ? -1 : number);
    } else if (word == QLatin1String("drop-after") && numeric && number >= 0) {
        m_options.dropAfterPlays = number;
        m_dropDone = false;
        PrintLine("the humans' links will be cut after play " + std::to_string(number) + " of a round");
    } else if (word == QLatin1String("refuse-reconnects") && (rest == "on" || rest == "off")) {
        m_links.RefuseReconnects(rest == QLatin1String("on"));
        PrintLine(std::string("reconnects are ") + (m_links.RefusingReconnects() ? "refused" : "accepted"));
    } else if (word == QLatin1String("stop-listening") && numeric && number > 0) {
        StopListening(number);
    } else if (word == QLatin1String("packets")) {
        PrintPackets();
    } else if (word == QLatin1String("hand") && numeric && number >= 0 && number < 4) {
        // Between rounds: what the seat was left with when the last round ended.
        const GameTable& table = Chosen();
        std::vector<CardValue> held(table.Hand(number).begin(), table.Hand(number).end());
        if (!table.RoundRunning() && !table.Rounds().empty())
            held = table.Rounds().back().results[static_cast<size_t>(number)].remaining;
        std::string cards;
        for (CardValue card : held)
            cards += (cards.empty() ? "" : ",") + std::to_string(Rules::CardIdentifier(card));
        PrintLine("hand of seat " + std::to_string(number) + ": " + cards);
    } else {
        const std::string known = "close <notice>, table <n> (of 0.." + std::to_string(m_links.Tables() - 1)
                                  + ", addressed by drop, silent, packets and hand), drop [seat], "
                                    "drop-after <plays> (table 0), silent [seat], refuse-reconnects on|off, "
                                    "stop-listening <seconds>, packets, hand <seat>, latency";
        if (word == QLatin1String("help"))
            PrintLine("commands: " + known);
        else
            PrintLine("unknown command \"" + text.toStdString() + "\"; known: " + known);
    }
}

void TableServer::PrintLatency()
{
    if (m_latencyNs.empty()) {
        PrintLine("turn latency: no turns yet");
        return;
    }
    std::vector<int64_t> sorted = m_latencyNs;
    std::sort(sorted.begin(), sorted.end());
    // Nearest rank: the smallest sample with at least p of all at or below it.
    auto rank = [&sorted](double p) {
        const auto k = static_cast<size_t>(std::ceil(p * static_cast<double>(sorted.size())));
        return sorted[std::clamp<size_t>(k, 1, sorted.size()) - 1];
    };
    auto us = [](int64_t ns) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", static_cast<double>(ns) / 1000.0);
        return std::string(text);
    };
    PrintLine("turn latency: " + std::to_string(sorted.size()) + " turns, p50 " + us(rank(0.50)) + " us, p99 "
              + us(rank(0.99)) + " us, max " + us(sorted.back()) + " us");
}

void TableServer::Drop(int seat)
{
    const std::vector<int> cut = m_links.Seated(m_chosen, seat);
    PrintLine("cutting " + std::to_string(cut.size()) + " link(s)");
    for (int link : cut) {
        QTcpSocket* socket = m_sockets.at(link);
        // A reset, not an orderly close: no goodbye reaches the client.
        const qintptr fd = socket->socketDescriptor();
        if (fd >= 0) {
            const linger hard{1, 0};
            ::setsockopt(static_cast<int>(fd), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        }
        socket->abort();
        m_links.Lost(link);
    }
}

void TableServer::Silence(int seat)
{
    m_links.Silence(m_chosen, seat);
}

void TableServer::StopListening(int seconds)
{
    m_server.close();
    PrintLine("not listening for " + std::to_string(seconds) + " s");
    QTimer::singleShot(seconds * 1000, this, [this] {
        if (m_server.isListening())
            return;
        const std::string endpoint = OpenPort::Endpoint(m_options.listen, m_port);
        if (m_server.listen(m_options.listen, m_port))
            PrintLine("listening again on " + endpoint);
        else
            PrintLine("cannot listen again on " + endpoint);
    });
}

void TableServer::DropWhenDue()
{
    const GameTable& table = m_links.Table(0);
    if (m_options.dropAfterPlays <= 0 || m_dropDone || !table.RoundRunning())
        return;
    if (table.PlaysThisRound() < static_cast<size_t>(m_options.dropAfterPlays))
        return;
    m_dropDone = true;
    PrintLine("play " + std::to_string(table.PlaysThisRound()) + " of the round: cutting the humans' links");
    const int chosen = std::exchange(m_chosen, 0);
    Drop(-1);
    m_chosen = chosen;
}

void TableServer::PrintPackets()
{
    const GameTable& table = Chosen();
    for (int seat = 0; seat < 4; ++seat) {
        const SeatKind kind = table.Kind(seat);
        if (kind == SeatKind::Human || kind == SeatKind::Away)
            PrintLine("packets for seat " + std::to_string(seat) + " " + table.Profile(seat).logName + ": "
                      + std::to_string(table.PacketsFor(seat)));
    }
}

void TableServer::Accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        const std::string address = socket->peerAddress().toString().toStdString();
        const int link = m_nextLink;
        if (const auto refusal = m_links.Open(link, address)) {
            PrintLine("link from " + address + " closed at once: " + *refusal);
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_nextLink;
        m_sockets[link] = socket;
        connect(socket, &QTcpSocket::readyRead, this, [this, link] { Read(link); });
        connect(socket, &QTcpSocket::disconnected, this, [this, link] { m_links.Lost(link); });
    }
}

void TableServer::Sweep()
{
    for (int link : m_links.Sweep()) {
        QTcpSocket* socket = m_sockets.at(link);
        m_sockets.erase(link);
        socket->disconnect(this);
        socket->deleteLater();
    }
}

void TableServer::Read(int link)
{
    if (!m_links.Reading(link))
        return;
    const QByteArray bytes = m_sockets.at(link)->readAll();
    m_readAtNs = m_clock.nsecsElapsed();
    m_links.Feed(link, bytes.constData(), static_cast<size_t>(bytes.size()));
}

void TableServer::Record(const Packet& p)
{
    if (m_options.recordPath.isEmpty())
        return;
    QFile file(m_options.recordPath);
    if (!file.open(QIODevice::Append))
        return;
    file.write(QByteArray(reinterpret_cast<const char*>(p.data()), PacketSize).toHex());
    file.write("\n");
}

}  // namespace Server
