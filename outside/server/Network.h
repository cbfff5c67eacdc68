#pragma once
// The tables on TCP: accepts links on the address it is given (127.0.0.1 unless told), cuts the stream into 272-byte packets, answers
// entry and reconnect requests, hands everything else of a seated player to that player's
// table, and delivers what each table queues. One process holds one table or many; an entry
// takes the first table with a free seat. The tables' clocks are advanced by a short timer.
#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

#include "Accounts.h"
#include "OpenPort.h"
#include "Table.h"

class QTcpSocket;

namespace Server {

struct NetworkOptions {
    int outcome = 1;          // entry result byte 15
    int timeoutLimit = 0;     // entry result byte 9
    QByteArray webAddress;    // entry result bytes 16..115
    QString recordPath;       // every received packet, one hex line each
    // Faults to try a client's reconnect against.
    int dropAfterPlays = 0;   // cut the humans' links once, after this many plays of a round
    bool refuseReconnects = false;
    int tables = 1;           // tables in the process, each with its own seats, deals and clocks
    QHostAddress listen = QHostAddress(QHostAddress::LocalHost);
    std::optional<Accounts::Book> accounts;  // without it every key enters, as on one machine
    int maxLinks = 0;                 // 0: room for sixteen links a table
    int maxLinksPerAddress = 0;       // 0: no cap of its own
    int64_t entryLimitMs = 10000;     // a link with no complete entry request by then is closed
    qint64 outputLimit = 1 << 20;     // unsent bytes of one link before it is closed
    int chatLines = 5;                // chat lines of one link in any chatWindowMs; more are dropped
    int64_t chatWindowMs = 5000;
};

class TableServer : public QObject {
public:
    TableServer(NetworkOptions options, TableConfig table, QObject* parent = nullptr);
    ~TableServer() override;

    // Listens on the address of the options.
    bool Listen(quint16 port);
    // Tells every seated player at every table that the table closes.
    void CloseTable(const QString& notice);
    // One line typed to the server: `close <notice>` closes every table with that notice
    // (`close` alone with none); `table <n>` picks the table that the following commands address
    // (0 at start); the faults `drop [seat]`, `drop-after <plays>` (table 0), `silent [seat]`,
    // `refuse-reconnects on|off`, `stop-listening <seconds>`; `packets` prints how many
    // packets each human has been sent, `hand <seat>` the card identifiers a seat holds (between rounds:
    // what it was left with at the end of the last); `latency` the turn latency so far.
    // Anything else is logged and ignored.
    void Command(const QString& line);
    // Turn latency: from the moment a human's play or pass is read off its socket to the moment
    // the table's answers to it have been handed to the kernel. Count, 50th and 99th percentile
    // and the largest, in microseconds, on one line.
    void PrintLatency();

    // Cuts the links of the human in the seat (every human for -1) of the chosen table at once,
    // as a broken network would: the client sees a reset, the table keeps the seat for a reconnect.
    void Drop(int seat);
    // The human's link goes quiet without closing: nothing is read or written any more.
    void Silence(int seat);
    // No new links for a while; the port opens again afterwards.
    void StopListening(int seconds);

private:
    struct Connection {
        QTcpSocket* socket = nullptr;
        QByteArray pending;  // bytes of a packet not yet complete
        int table = -1;      // with seat: where the entry was accepted
        int seat = -1;       // -1 until an entry is accepted
        bool gone = false;
        bool silent = false; // neither read nor written any more, but left open
        std::string address; // of the remote end, as counted by the link caps
        int64_t openedAt = 0;
        bool entered = false;  // a complete entry request has come in
        OpenPort::ChatRate chat;
    };

    void Accept();
    void Read(QTcpSocket* socket);
    void Lost(QTcpSocket* socket);
    void Handle(Connection& c, const Packet& p);
    void Enter(Connection& c, const Packet& p);
    void Record(const Packet& p);
    void WriteTo(Connection& c, Packet p, bool stamp);
    void Attach(Connection& c, int table, int seat);
    // Writes what the table queued and hands it to the kernel at once rather than on the next
    // turn of the event loop.
    void Flush(int table);
    void FlushAll();
    void Sweep();
    Connection* Find(QTcpSocket* socket);
    Connection* OfSeat(int table, int seat);
    // The table an entry with this key goes to: where the key sits already, else the first
    // with an empty seat, else table 0 (which refuses it).
    int TableFor(const std::string& key) const;
    void DropWhenDue();
    // Closes the links still without an entry request when their time is up.
    void CloseLate();
    // Closes a link for a reason the log gives, as a lost one.
    void Close(Connection& c, const std::string& why);
    // A chat line within the link's rate; one beyond it is dropped with a log line.
    bool ChatAllowed(Connection& c);
    void PrintPackets();
    int64_t Now() const { return m_clock.elapsed(); }
    GameTable& Chosen() { return *m_tables[static_cast<size_t>(m_chosen)]; }

    NetworkOptions m_options;
    std::vector<std::unique_ptr<GameTable>> m_tables;
    int m_chosen = 0;  // the table operator commands address
    std::vector<int64_t> m_latencyNs;
    QTcpServer m_server;
    QTimer m_tick;
    quint16 m_port = 0;
    bool m_dropDone = false;
    QElapsedTimer m_clock;
    std::vector<std::unique_ptr<Connection>> m_connections;
    OpenPort::LinkCaps m_caps;
};

}  // namespace Server
