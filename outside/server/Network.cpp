#include "Network.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>

#include <sys/socket.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "Messages.h"
#include "rules/Cards.h"
#include "wire/Commands.h"
#include "wire/Fields.h"

namespace Server {

namespace {

// Links per table: four seats, and room for reconnects and refused entries on the way.
constexpr size_t ConnectionsPerTable = 16;
constexpr int TickMs = 20;

void PrintLine(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string TextOf(const Packet& p, int at, int width)
{
    const int n = Wire::FieldLength(p, at, width);
    return std::string(reinterpret_cast<const char*>(p.data()) + at, static_cast<size_t>(n));
}

std::string KeyOf(const Packet& p)
{
    return TextOf(p, Field::EntryRequest::Key, Field::EntryRequest::KeyWidth);
}

std::string PasswordOf(const Packet& p)
{
    return TextOf(p, Field::EntryRequest::Password, Field::EntryRequest::PasswordWidth);
}

// A key as the log shows it: whatever a client sent, one line of plain characters.
std::string Printable(const std::string& key)
{
    std::string printable;
    for (char ch : key)
        printable += (ch >= 0x20 && ch < 0x7F) ? ch : '?';
    return printable;
}

}  // namespace

TableServer::TableServer(NetworkOptions options, TableConfig table, QObject* parent)
    : QObject(parent),
      m_options(std::move(options)),
      m_caps(m_options.maxLinks > 0 ? m_options.maxLinks
                                    : static_cast<int>(ConnectionsPerTable) * std::max(1, m_options.tables),
             m_options.maxLinksPerAddress)
{
    m_options.tables = std::max(1, m_options.tables);
    for (int t = 0; t < m_options.tables; ++t) {
        TableConfig config = table;
        // Tables of one seed deal alike only if they are told apart.
        if (config.seed)
            config.seed = *config.seed + static_cast<uint32_t>(t) * 1000003u;
        // Table 0 logs as the single table always has; the others say which they are.
        GameTable::LogSink sink = PrintLine;
        if (t > 0)
            sink = [prefix = "table " + std::to_string(t) + ": "](const std::string& line) { PrintLine(prefix + line); };
        m_tables.push_back(std::make_unique<GameTable>(std::move(config), std::move(sink)));
    }
    m_clock.start();
    connect(&m_server, &QTcpServer::newConnection, this, [this] { Accept(); });
    connect(&m_tick, &QTimer::timeout, this, [this] {
        const int64_t now = Now();
        for (auto& t : m_tables)
            t->Advance(now);
        FlushAll();
        DropWhenDue();
        CloseLate();
    });
    m_tick.start(TickMs);
}

TableServer::~TableServer()
{
    for (auto& c : m_connections)
        if (c->socket)
            c->socket->disconnect(this);
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
    for (auto& t : m_tables)
        t->CloseTable(notice.toStdString(), Now());
    FlushAll();
    for (auto& c : m_connections)
        if (c->socket && !c->gone)
            c->socket->flush();
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
               && number < static_cast<int>(m_tables.size())) {
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
        m_options.refuseReconnects = rest == QLatin1String("on");
        PrintLine(std::string("reconnects are ") + (m_options.refuseReconnects ? "refused" : "accepted"));
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
        const std::string known = "close <notice>, table <n> (of 0.." + std::to_string(m_tables.size() - 1)
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
    std::vector<QTcpSocket*> cut;
    for (auto& c : m_connections)
        if (!c->gone && c->seat >= 0 && c->table == m_chosen && (seat < 0 || c->seat == seat))
            cut.push_back(c->socket);
    PrintLine("cutting " + std::to_string(cut.size()) + " link(s)");
    for (QTcpSocket* socket : cut) {
        // A reset, not an orderly close: no goodbye reaches the client.
        const qintptr fd = socket->socketDescriptor();
        if (fd >= 0) {
            const linger hard{1, 0};
            ::setsockopt(static_cast<int>(fd), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        }
        socket->abort();
        Lost(socket);
    }
}

void TableServer::Silence(int seat)
{
    for (auto& c : m_connections)
        if (!c->gone && c->seat >= 0 && c->table == m_chosen && (seat < 0 || c->seat == seat)) {
            c->silent = true;
            PrintLine("the link of seat " + std::to_string(c->seat) + " goes quiet");
        }
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
    const GameTable& table = *m_tables.front();
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

TableServer::Connection* TableServer::Find(QTcpSocket* socket)
{
    for (auto& c : m_connections)
        if (c->socket == socket)
            return c.get();
    return nullptr;
}

TableServer::Connection* TableServer::OfSeat(int table, int seat)
{
    for (auto& c : m_connections)
        if (c->seat == seat && c->table == table && !c->gone)
            return c.get();
    return nullptr;
}

int TableServer::TableFor(const std::string& key) const
{
    for (size_t t = 0; t < m_tables.size(); ++t)
        for (int seat = 0; seat < 4; ++seat)
            if (m_tables[t]->Kind(seat) != SeatKind::Empty && m_tables[t]->Profile(seat).key == key)
                return static_cast<int>(t);
    for (size_t t = 0; t < m_tables.size(); ++t)
        for (int seat = 0; seat < 4; ++seat)
            if (m_tables[t]->Kind(seat) == SeatKind::Empty)
                return static_cast<int>(t);
    return 0;
}

void TableServer::Accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        const std::string address = socket->peerAddress().toString().toStdString();
        if (const auto refusal = m_caps.Admit(address)) {
            PrintLine("link from " + address + " closed at once: " + *refusal);
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto c = std::make_unique<Connection>(Connection{
            .socket = socket,
            .address = address,
            .openedAt = Now(),
            .chat = OpenPort::ChatRate(m_options.chatLines, m_options.chatWindowMs)});
        m_connections.push_back(std::move(c));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { Lost(socket); });
    }
}

void TableServer::Lost(QTcpSocket* socket)
{
    Connection* c = Find(socket);
    if (!c || c->gone)
        return;
    c->gone = true;
    m_caps.Release(c->address);
    const int seat = std::exchange(c->seat, -1);
    if (seat >= 0) {
        m_tables[static_cast<size_t>(c->table)]->Disconnected(seat, Now());
        Flush(c->table);
    }
    // Removed later: the link may go while one of its own packets is being handled.
    QMetaObject::invokeMethod(this, [this] { Sweep(); }, Qt::QueuedConnection);
}

void TableServer::Sweep()
{
    auto dead = std::stable_partition(m_connections.begin(), m_connections.end(),
                                      [](const auto& c) { return !c->gone; });
    for (auto it = dead; it != m_connections.end(); ++it) {
        (*it)->socket->disconnect(this);
        (*it)->socket->deleteLater();
    }
    m_connections.erase(dead, m_connections.end());
}

void TableServer::Read(QTcpSocket* socket)
{
    Connection* c = Find(socket);
    if (!c || c->gone || c->silent)
        return;
    c->pending += socket->readAll();
    const int64_t readAt = m_clock.nsecsElapsed();
    while (!c->gone && c->pending.size() >= PacketSize) {
        Packet p{};
        std::copy_n(reinterpret_cast<const uint8_t*>(c->pending.constData()), PacketSize, p.begin());
        c->pending.remove(0, PacketSize);
        Record(p);
        // A turn of a seated human: its latency counts from the read, so a packet that waited
        // behind others of the same read carries their time too.
        const bool turn = p[Wire::CommandByte] == Command::PlayRequest && c->seat >= 0;
        Handle(*c, p);
        if (c->table >= 0)
            Flush(c->table);
        if (turn)
            m_latencyNs.push_back(m_clock.nsecsElapsed() - readAt);
    }
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

void TableServer::Handle(Connection& c, const Packet& p)
{
    switch (p[Wire::CommandByte]) {
    case Command::Entry:
        Enter(c, p);
        break;
    case Command::Chat:
        if (c.seat >= 0 && ChatAllowed(c))
            m_tables[static_cast<size_t>(c.table)]->Receive(c.seat, p, Now());
        break;
    default:
        if (c.seat >= 0)
            m_tables[static_cast<size_t>(c.table)]->Receive(c.seat, p, Now());
        break;
    }
}

void TableServer::Enter(Connection& c, const Packet& p)
{
    const long long arrivedUs = static_cast<long long>(QDateTime::currentMSecsSinceEpoch()) * 1000;
    const std::string key = KeyOf(p);
    if (c.seat >= 0) {
        PrintLine("entry request from seat " + std::to_string(c.seat) + " that already sits; ignored");
        return;
    }
    c.entered = true;
    const bool reconnect = p[Field::EntryRequest::Reconnect] == Field::EntryRequest::ReconnectMark;
    if (m_options.accounts && !m_options.accounts->Check(key, PasswordOf(p))) {
        WriteTo(c, reconnect ? Msg::ReconnectResult(false) : Msg::EntryResult(0, 0, std::string(), 0), true);
        Close(c, std::string(reconnect ? "reconnect" : "entry") + " of key " + Printable(key)
                     + " refused: unknown key or wrong password");
        return;
    }
    if (reconnect) {
        if (m_options.refuseReconnects) {
            PrintLine("reconnect refused on request");
            WriteTo(c, Msg::ReconnectResult(false), true);
            return;
        }
        // The client puts the session code one byte later than its usual place.
        const int at = Field::EntryRequest::ReconnectSessionCode;
        const auto code = static_cast<uint16_t>(p[at] | p[at + 1] << 8);
        const int table = TableFor(key);
        const int seat = m_tables[static_cast<size_t>(table)]->Reconnect(key, code, Now());
        if (seat < 0) {
            WriteTo(c, Msg::ReconnectResult(false), true);
            return;
        }
        Attach(c, table, seat);
        return;
    }

    Packet reply = Msg::EntryResult(static_cast<uint8_t>(m_options.outcome),
                                    static_cast<uint8_t>(m_options.timeoutLimit),
                                    m_options.webAddress.toStdString(), 0);
    int seat = -1;
    int table = 0;
    if (m_options.outcome == 1) {
        table = TableFor(key);
        seat = m_tables[static_cast<size_t>(table)]->Enter(key, reply, Now());
        if (seat >= 0)
            Attach(c, table, seat);
        else {
            reply[Field::EntryResult::Outcome] = 0;  // no free seat, or the key sits here already
            WriteTo(c, reply, true);
        }
    } else {
        WriteTo(c, reply, true);
    }
    if (table > 0)
        std::printf("table %d: ", table);
    std::printf("entry from seat %d key %s at %lld us\n", seat, Printable(key).c_str(), arrivedUs);
    std::fflush(stdout);
}

void TableServer::Attach(Connection& c, int table, int seat)
{
    // A link still held for the seat is stale: its client has come back on this one.
    if (Connection* old = OfSeat(table, seat); old && old != &c) {
        old->seat = -1;
        old->gone = true;
        m_caps.Release(old->address);
        old->socket->abort();
        QMetaObject::invokeMethod(this, [this] { Sweep(); }, Qt::QueuedConnection);
    }
    c.table = table;
    c.seat = seat;
}

void TableServer::WriteTo(Connection& c, Packet p, bool stamp)
{
    // A quiet link loses what is written to it; the table keeps it for a reconnect.
    if (c.gone || !c.socket || c.silent)
        return;
    if (stamp)
        m_tables[static_cast<size_t>(std::max(c.table, 0))]->Stamp(p);
    c.socket->write(reinterpret_cast<const char*>(p.data()), PacketSize);
}

void TableServer::Flush(int table)
{
    GameTable& t = *m_tables[static_cast<size_t>(table)];
    std::vector<Connection*> written;
    for (const Outgoing& out : t.TakeOutgoing())
        if (Connection* c = OfSeat(table, out.seat)) {
            WriteTo(*c, out.packet, false);
            if (std::find(written.begin(), written.end(), c) == written.end())
                written.push_back(c);
        }
    for (Connection* c : written)
        if (!c->gone && !c->silent)
            c->socket->flush();
    for (int seat : t.TakeReleasedSeats())
        if (Connection* c = OfSeat(table, seat))
            c->seat = -1;
    // A client that does not read costs the server no more than the bound.
    for (Connection* c : written)
        if (!c->gone && c->socket->bytesToWrite() > m_options.outputLimit)
            Close(*c, "its unsent output passed " + std::to_string(m_options.outputLimit) + " bytes");
}

void TableServer::Close(Connection& c, const std::string& why)
{
    if (c.gone)
        return;
    const std::string seat = c.seat >= 0 ? " of seat " + std::to_string(c.seat) : std::string();
    PrintLine("closing the link" + seat + " from " + c.address + ": " + why);
    // What was written last (a refusal) still goes out before the end.
    c.socket->flush();
    c.socket->disconnectFromHost();
    Lost(c.socket);
}

void TableServer::CloseLate()
{
    const int64_t now = Now();
    for (auto& c : m_connections)
        if (!c->gone && !c->entered && now - c->openedAt >= m_options.entryLimitMs)
            Close(*c, "no entry request within " + std::to_string(m_options.entryLimitMs) + " ms");
}

bool TableServer::ChatAllowed(Connection& c)
{
    if (c.chat.Allow(Now()))
        return true;
    PrintLine("chat line of seat " + std::to_string(c.seat) + " from " + c.address + " dropped: more than "
              + std::to_string(m_options.chatLines) + " lines in " + std::to_string(m_options.chatWindowMs) + " ms");
    return false;
}

void TableServer::FlushAll()
{
    for (size_t t = 0; t < m_tables.size(); ++t)
        Flush(static_cast<int>(t));
}

}  // namespace Server
